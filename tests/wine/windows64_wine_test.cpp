// The whole pass on the 64-bit Windows of a win64 prefix, infected in both of
// its worlds: worm copies in the real system32, in SysWOW64 and (read-only) in
// system32\drivers, a worm value in the 64-bit Run key and one in
// Wow6432Node, a worm service and a worm process, and the 32-bit explorer.exe
// and regedit.exe at their place in SysWOW64. This build is the 64-bit one
// (this kernel runs no 32-bit Wine), so nothing here is redirected: the
// 32-bit program's view is the sim's (tests/unit/windows64_pass_test.cpp).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/Win32Platform.h"
#include "quellix/engine/session/Session.h"
#include "quellix/engine/run/StartButton.h"
#include "quellix/lang/Language.h"
#include "tests/support/RecordingHost.h"
#include "tests/support/RunLog.h"
#include "tests/support/TestText.h"
#include "tests/wine/registry_wine_support.h"

#include <windows.h>

namespace quellix {
namespace {

constexpr const char* kStandin = "C:\\qlxrun\\programs\\standin_worm.exe";
constexpr const char* kStandinService = "C:\\qlxrun\\programs\\standin_service.exe";
constexpr const char* kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kSystemWorm = "c:\\windows\\system32\\qlxwow.exe";
constexpr const char* kSysWow64Worm = "c:\\windows\\syswow64\\qlxwow.exe";
constexpr const char* kDriversWorm = "c:\\windows\\system32\\drivers\\qlxwow.exe";
constexpr const char* kProcessWorm = "c:\\windows\\system32\\qlxwowproc.exe";
constexpr const char* kServiceWorm = "c:\\windows\\syswow64\\qlxwowsvc.exe";
constexpr const char* kGenuineExplorer = "c:\\windows\\syswow64\\explorer.exe";
constexpr const char* kGenuineRegedit = "c:\\windows\\syswow64\\regedit.exe";

std::vector<std::uint8_t> Bytes(const std::string& text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes,
                    DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path << " error " << GetLastError();
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  SetFileAttributesA(path.c_str(), attributes);
}

void SetRunValue(REGSAM view, const char* name, const std::string& data) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRun, 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                 static_cast<DWORD>(data.size() + 1));
  RegCloseKey(key);
}

bool HasRunValue(REGSAM view, const char* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRun, 0, KEY_READ | view, &key) != ERROR_SUCCESS) {
    return false;
  }
  const bool found = RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr) == 0;
  RegCloseKey(key);
  return found;
}

class Windows64OnWine : public testing::Test {
 protected:
  void SetUp() override {
    char folder[MAX_PATH] = {};
    if (GetSystemWow64DirectoryA(folder, MAX_PATH) == 0) {
      GTEST_SKIP() << "a 32-bit Windows: the designed pass is the other Wine tests' subject";
    }
    language.LoadLanguageTitles();
    language.LoadLanguage(7);
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    backupDir = std::string(temp) + "qlx-windows64";
    CreateDirectoryA(backupDir.c_str(), nullptr);
    host.folderChoice = backupDir;
  }

  void TearDown() override {
    if (service != nullptr) {
      SERVICE_STATUS status = {};
      ControlService(service, SERVICE_CONTROL_STOP, &status);
      DeleteService(service);
      CloseServiceHandle(service);
    }
    if (manager != nullptr) CloseServiceHandle(manager);
    for (const char* path : {kGenuineExplorer, kGenuineRegedit}) DeleteFileA(path);
  }

  // Starts the stand-in worm as the given program and waits until it runs.
  DWORD StartWorm(const std::string& path) {
    EXPECT_TRUE(CopyFileA(kStandin, path.c_str(), FALSE)) << path << " " << GetLastError();
    const std::uint32_t pid = platform.StartProcess("\"" + path + "\"", platform::kSwHide);
    EXPECT_NE(pid, 0u) << path;
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    return pid;
  }

  bool Running(DWORD pid) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (process == nullptr) return false;
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
  }

  std::size_t Count(const std::string& line) const {
    const auto lines = test::NonEmptyDetailLines(host.details);
    return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
  }

  // A program that has just ended may keep its image mapped for a moment
  // under Wine, where Windows releases it with the termination: the sweep
  // then reports "Unable To Remove". Either way the file must go.
  void ExpectRemovedOrStillMapped(const std::string& path) {
    if (Count("Found " + path + " ...Removed") == 1u) {
      EXPECT_FALSE(Exists(path)) << path;
      return;
    }
    EXPECT_EQ(Count("Found " + path + " ...Unable To Remove!!"), 1u) << path;
    for (int i = 0; i < 40 && Exists(path); ++i) {
      DeleteFileA(path.c_str());
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }

  platform::win32::Win32Platform platform;
  test::RecordingHost host;
  lang::Language language{platform, host};
  BuiltPhases phases;
  std::string backupDir;
  SC_HANDLE manager = nullptr;
  SC_HANDLE service = nullptr;
};

TEST_F(Windows64OnWine, BothWorldsAreCleanedAndSysWow64sOwnFilesKept) {
  const std::vector<std::pair<std::string, std::vector<std::uint8_t>>> wormFiles = {
      {kSystemWorm, Bytes("MZ worm in the real system32")},
      {kSysWow64Worm, Bytes("MZ worm in SysWOW64")},
      {kDriversWorm, Bytes("MZ worm in drivers")}};
  for (const auto& [path, bytes] : wormFiles) WriteFileBytes(path, bytes);
  SetFileAttributesA(kDriversWorm, FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(CopyFileA("c:\\windows\\regedit.exe", kGenuineRegedit, FALSE)) << GetLastError();
  const auto genuineRegedit = test::ReadWholeFile(platform, kGenuineRegedit);

  SetRunValue(KEY_WOW64_64KEY, "qlxwow", std::string(kSystemWorm) + " -start");
  SetRunValue(KEY_WOW64_32KEY, "qlxwow32", std::string("\"") + kSysWow64Worm + "\"");
  ASSERT_TRUE(HasRunValue(KEY_WOW64_32KEY, "qlxwow32"));
  ASSERT_FALSE(HasRunValue(KEY_WOW64_64KEY, "qlxwow32")) << "the two views are two keys";

  ASSERT_TRUE(CopyFileA(kStandinService, kServiceWorm, FALSE)) << GetLastError();
  manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  ASSERT_NE(manager, nullptr);
  service = CreateServiceA(manager, "qlxwowsvc", "Stand-in worm service", SERVICE_ALL_ACCESS,
                           SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                           (std::string(kServiceWorm) + " -run").c_str(), nullptr, nullptr, nullptr,
                           nullptr, nullptr);
  ASSERT_NE(service, nullptr) << GetLastError();
  ASSERT_TRUE(StartServiceA(service, 0, nullptr)) << GetLastError();

  const DWORD worm = StartWorm(kProcessWorm);
  // The stand-in under explorer's name at its place in SysWOW64, with its
  // digest listed: judged there as a system program and kept as a file.
  const DWORD explorer = StartWorm(kGenuineExplorer);
  const auto genuineExplorer = test::ReadWholeFile(platform, kGenuineExplorer);

  {
    Session session(platform, host, language, phases);
    for (const char* name : {"qlxwow", "qlxwowproc", "qlxwowsvc"}) {
      session.InfectionNames.push_back(name);
    }
    std::sort(session.InfectionNames.begin(), session.InfectionNames.end());
    session.KnownDigests.push_back(test::ReferenceMd5Text(genuineExplorer));
    StartButtonRun(session);
    EXPECT_EQ(session.run.SystemDir, "c:\\windows\\system32");
    EXPECT_EQ(session.run.SysWow64Dir, "c:\\windows\\syswow64");
  }
  SCOPED_TRACE(testing::PrintToString(test::NonEmptyDetailLines(host.details)));

  for (const auto& [path, bytes] : wormFiles) {
    EXPECT_EQ(Count("Found " + path + " ...Removed"), 1u) << path;
    EXPECT_FALSE(Exists(path)) << path;
  }
  // Backups byte for byte; the three copies share one name.
  std::vector<std::vector<std::uint8_t>> backups;
  for (const char* name : {"qlxwow.exe.back", "qlxwow.exe (2).back", "qlxwow.exe (3).back"}) {
    backups.push_back(test::ReadWholeFile(platform, backupDir + "\\" + name));
  }
  for (const auto& [path, bytes] : wormFiles) {
    EXPECT_NE(std::find(backups.begin(), backups.end(), bytes), backups.end()) << path;
  }

  EXPECT_FALSE(Running(worm));
  EXPECT_EQ(Count("qlxwowproc.exe ...Terminated"), 1u);
  ExpectRemovedOrStillMapped(kProcessWorm);
  EXPECT_EQ(Count("Found \"qlxwowsvc\" " + std::string(kServiceWorm) + " ...Stopped\""), 1u);
  ExpectRemovedOrStillMapped(kServiceWorm);

  EXPECT_EQ(Count("Found HKLM\\..\\Run\\qlxwow = " + std::string(kSystemWorm) + " ...Removed"), 1u);
  EXPECT_EQ(Count("Found HKLM\\..\\Wow6432Node\\..\\Run\\qlxwow32 = " + std::string(kSysWow64Worm) +
                  " ...Removed"),
            1u);
  EXPECT_FALSE(HasRunValue(KEY_WOW64_64KEY, "qlxwow"));
  EXPECT_FALSE(HasRunValue(KEY_WOW64_32KEY, "qlxwow32"));

  EXPECT_TRUE(Running(explorer)) << "explorer.exe in SysWOW64 is a system program there";
  EXPECT_EQ(test::ReadWholeFile(platform, kGenuineExplorer), genuineExplorer);
  EXPECT_EQ(test::ReadWholeFile(platform, kGenuineRegedit), genuineRegedit);
  EXPECT_EQ(Count(std::string("Kept Windows system file ") + kGenuineRegedit), 1u);
  // By the sweep; and the digest list's match is kept and teaches nothing.
  EXPECT_EQ(Count(std::string("Kept Windows system file ") + kGenuineExplorer), 1u);
  EXPECT_EQ(Count(std::string("Kept Windows system file ") + kGenuineExplorer +
                  " ...its contents match a worm"),
            1u);

  HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, explorer);
  if (process != nullptr) {
    TerminateProcess(process, 0);
    WaitForSingleObject(process, 5000);
    CloseHandle(process);
  }
}

}  // namespace
}  // namespace quellix
