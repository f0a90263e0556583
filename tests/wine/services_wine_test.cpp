// A worm service on the real service manager of the throw-away prefix: our
// stand-in service, registered under a listed worm's name, is stopped,
// exported, deleted with its sub-keys, and the registry editor's import of
// the export restores its key exactly.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/Win32Platform.h"
#include "quellix/engine/system/AnsiText.h"
#include "quellix/engine/session/Session.h"
#include "quellix/engine/cleanup/mdlServices.h"
#include "quellix/lang/Language.h"
#include "tests/support/RecordingHost.h"
#include "tests/wine/registry_wine_support.h"

namespace quellix {
namespace {

constexpr const char* kWorm = "avserve";
constexpr const char* kProgram = "C:\\qlxrun\\programs\\avserve.exe";
const std::wstring kKeyPath = L"System\\CurrentControlSet\\Services\\avserve";

DWORD ServiceState(SC_HANDLE service) {
  SERVICE_STATUS status = {};
  return QueryServiceStatus(service, &status) ? status.dwCurrentState : 0;
}

bool WaitForState(SC_HANDLE service, DWORD state) {
  for (int i = 0; i < 100 && ServiceState(service) != state; ++i) Sleep(100);
  return ServiceState(service) == state;
}

class ServicesOnWine : public testing::Test {
 protected:
  void SetUp() override {
    language.LoadLanguageTitles();
    language.LoadLanguage(7);
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    backupDir = LowerAnsi(std::string(temp) + "qlx-services\\");
    CreateDirectoryA(backupDir.c_str(), nullptr);
    DeleteFileA((backupDir + "avserve.reg").c_str());
    ASSERT_TRUE(CopyFileA("C:\\qlxrun\\programs\\standin_service.exe", kProgram, FALSE));
    manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    ASSERT_NE(manager, nullptr);
    service = CreateServiceA(manager, kWorm, "Stand-in worm", SERVICE_ALL_ACCESS,
                             SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                             (std::string(kProgram) + " -run").c_str(), nullptr, nullptr, nullptr,
                             nullptr, nullptr);
    ASSERT_NE(service, nullptr) << GetLastError();
  }

  void TearDown() override {
    if (service != nullptr) {
      SERVICE_STATUS status = {};
      ControlService(service, SERVICE_CONTROL_STOP, &status);
      WaitForState(service, SERVICE_STOPPED);
      DeleteService(service);
      CloseServiceHandle(service);
    }
    if (manager != nullptr) CloseServiceHandle(manager);
    wine::DeleteTree(HKEY_LOCAL_MACHINE, kKeyPath);
  }

  platform::win32::Win32Platform platform;
  test::RecordingHost host;
  lang::Language language{platform, host};
  BuiltPhases phases;
  std::string backupDir;
  SC_HANDLE manager = nullptr;
  SC_HANDLE service = nullptr;
};

TEST_F(ServicesOnWine, WormServiceIsStoppedExportedDeletedAndRestorable) {
  ASSERT_TRUE(StartServiceA(service, 0, nullptr)) << GetLastError();
  ASSERT_TRUE(WaitForState(service, SERVICE_RUNNING));

  // Sub-keys with values of every usual type, two levels deep.
  HKEY deep = nullptr;
  ASSERT_EQ(RegCreateKeyW(HKEY_LOCAL_MACHINE, (kKeyPath + L"\\Parameters\\Deep").c_str(), &deep),
            ERROR_SUCCESS);
  const DWORD number = 0x12345678;
  const BYTE binary[] = {0, 1, 0xFE, 0xFF};
  const wchar_t expand[] = L"%SystemRoot%\\x \"quoted\"";
  const wchar_t multi[] = L"one\0two\0";
  RegSetValueExW(deep, L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4);
  RegSetValueExW(deep, L"Binary", 0, REG_BINARY, binary, sizeof(binary));
  RegSetValueExW(deep, L"Expand", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(expand),
                 sizeof(expand));
  RegSetValueExW(deep, L"Multi", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(multi),
                 sizeof(multi));
  RegSetValueExW(deep, L"", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"back\\slash"), 22);
  RegCloseKey(deep);
  HKEY security = nullptr;
  ASSERT_EQ(RegCreateKeyW(HKEY_LOCAL_MACHINE, (kKeyPath + L"\\Security").c_str(), &security),
            ERROR_SUCCESS);
  RegCloseKey(security);
  std::vector<wine::SnapshotValue> before;
  wine::Snapshot(HKEY_LOCAL_MACHINE, kKeyPath, L"", &before);
  ASSERT_GT(before.size(), 8u);

  Session session(platform, host, language, phases);
  session.run.BackupDir = backupDir;
  EXPECT_TRUE(RemoveVirusServices(session));
  const std::u16string details = host.details;
  EXPECT_NE(details.find(u"Found \"avserve\" c:\\qlxrun\\programs\\avserve.exe ...Stopped\""),
            std::u16string::npos);
  EXPECT_NE(details.find(u"Successfully backed up \"avserve\""), std::u16string::npos);
  EXPECT_TRUE(WaitForState(service, SERVICE_STOPPED));

  HKEY gone = nullptr;
  EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKeyPath.c_str(), 0, KEY_READ, &gone),
            ERROR_FILE_NOT_FOUND);

  const std::string exportPath = backupDir + "avserve.reg";
  ASSERT_NE(GetFileAttributesA(exportPath.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(wine::RunAndWait(wine::WindowsFolder() + "\\regedit.exe /s \"" + exportPath + "\""),
            0u);
  std::vector<wine::SnapshotValue> after;
  wine::Snapshot(HKEY_LOCAL_MACHINE, kKeyPath, L"", &after);
  EXPECT_EQ(after, before);
}

}  // namespace
}  // namespace quellix
