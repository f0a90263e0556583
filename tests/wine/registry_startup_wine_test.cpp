// Run-key values and restriction policies on the real registry of the
// throw-away prefix: the rules remove what they must, keep what they must,
// and the backups of removed values import back with the registry editor.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/Win32Platform.h"
#include "quellix/engine/system/AnsiText.h"
#include "quellix/engine/session/Session.h"
#include "quellix/engine/cleanup/mdlStartupEntries.h"
#include "quellix/lang/Language.h"
#include "tests/support/RecordingHost.h"
#include "tests/support/RunLog.h"
#include "tests/wine/registry_wine_support.h"

namespace quellix {
namespace {

constexpr const char* kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kSystemPolicies =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

void SetText(HKEY root, const char* key, const char* name, const std::string& text) {
  HKEY handle = nullptr;
  ASSERT_EQ(RegCreateKeyA(root, key, &handle), ERROR_SUCCESS);
  RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>(text.size() + 1));
  RegCloseKey(handle);
}

void SetNumber(HKEY root, const char* key, const char* name, DWORD number) {
  HKEY handle = nullptr;
  ASSERT_EQ(RegCreateKeyA(root, key, &handle), ERROR_SUCCESS);
  RegSetValueExA(handle, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4);
  RegCloseKey(handle);
}

class StartupEntriesOnWine : public testing::Test {
 protected:
  void SetUp() override {
    language.LoadLanguageTitles();
    language.LoadLanguage(7);
    char buffer[MAX_PATH];
    GetTempPathA(MAX_PATH, buffer);
    session.run.BackupDir = LowerAnsi(std::string(buffer) + "qlx-startup\\");
    CreateDirectoryA(session.run.BackupDir.c_str(), nullptr);
    const UINT length = GetSystemDirectoryA(buffer, MAX_PATH);
    session.run.SystemDir = LowerAnsi(std::string(buffer, length));
  }

  platform::win32::Win32Platform platform;
  test::RecordingHost host;
  lang::Language language{platform, host};
  BuiltPhases phases;
  Session session{platform, host, language, phases};
};

TEST_F(StartupEntriesOnWine, RunValuesAndPoliciesAreRemovedAfterTheirBackups) {
  SetText(HKEY_LOCAL_MACHINE, kRun, "WinMgrs", "C:\\WINDOWS\\winmgrs.exe -start");
  SetText(HKEY_CURRENT_USER, kRun, "ctfmon", session.run.SystemDir + "\\ctfmon.exe");
  SetText(HKEY_CURRENT_USER, kRun, "worm", "c:\\windows\\winmgrs.com");
  SetNumber(HKEY_CURRENT_USER, kSystemPolicies, "DisableTaskMgr", 1);
  SetNumber(HKEY_CURRENT_USER, kSystemPolicies, "Unrelated", 1);

  RegistryFlags flags;
  CleanStartupEntries(session, flags);
  ResetPolicies(session);
  EXPECT_TRUE(flags.RegistryFound);
  EXPECT_FALSE(flags.RegistryError);
  const std::u16string& details = host.details;
  EXPECT_NE(details.find(u"Found HKLM\\..\\Run\\winmgrs = c:\\windows\\winmgrs.exe ...Removed"),
            std::u16string::npos);
  EXPECT_NE(details.find(u"Found HKCU\\..\\Run\\worm=c:\\windows\\winmgrs.com ...Removed"),
            std::u16string::npos);

  const auto text = [&](platform::HKey root, const char* key, const char* name) {
    return test::ReadRegistryText(platform, root, key, name);
  };
  EXPECT_EQ(text(platform::kHkeyLocalMachine, kRun, "WinMgrs"), "<missing>");
  EXPECT_EQ(text(platform::kHkeyCurrentUser, kRun, "worm"), "<missing>");
  EXPECT_NE(text(platform::kHkeyCurrentUser, kRun, "ctfmon"), "<missing>");
  HKEY policies = nullptr;
  ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, kSystemPolicies, &policies), ERROR_SUCCESS);
  EXPECT_EQ(RegQueryValueExA(policies, "DisableTaskMgr", nullptr, nullptr, nullptr, nullptr),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegQueryValueExA(policies, "Unrelated", nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(policies);

  // The backups put the removed values back as they were.
  const std::string regedit = wine::WindowsFolder() + "\\regedit.exe /s \"";
  for (const char* file :
       {"HKLM Run WinMgrs.reg", "HKCU Run worm.reg", "HKCU Policies System DisableTaskMgr.reg"}) {
    EXPECT_EQ(wine::RunAndWait(regedit + session.run.BackupDir + file + "\""), 0u) << file;
  }
  EXPECT_EQ(text(platform::kHkeyLocalMachine, kRun, "WinMgrs"), "C:\\WINDOWS\\winmgrs.exe -start");
  EXPECT_EQ(text(platform::kHkeyCurrentUser, kRun, "worm"), "c:\\windows\\winmgrs.com");
  std::vector<wine::SnapshotValue> restored;
  wine::Snapshot(HKEY_CURRENT_USER,
                 L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System", L"", &restored);
  const DWORD one = 1;
  const std::vector<BYTE> oneBytes(reinterpret_cast<const BYTE*>(&one),
                                   reinterpret_cast<const BYTE*>(&one) + 4);
  EXPECT_NE(std::find(restored.begin(), restored.end(),
                      wine::SnapshotValue(L"", L"DisableTaskMgr", REG_DWORD, oneBytes)),
            restored.end());

  wine::DeleteValue(HKEY_LOCAL_MACHINE, kRun, "WinMgrs");
  for (const char* name : {"worm", "ctfmon"}) wine::DeleteValue(HKEY_CURRENT_USER, kRun, name);
  wine::DeleteTree(HKEY_CURRENT_USER,
                   L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System");
}

}  // namespace
}  // namespace quellix
