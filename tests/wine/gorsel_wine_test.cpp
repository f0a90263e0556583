// Gorsel's logic against the real API of the throw-away Wine prefix: a
// stand-in worm started from the load value as winlogon.exe, the family's
// files, shortcuts and values, a program started from a documents folder,
// and the hosts file. Boxes are recorded, not shown.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "gorsel/Form1.h"
#include "gorsel/Paths.h"
#include "platform/win32/Win32Platform.h"
#include "quellix/restore/RestoreFolder.h"
#include "tests/support/GorselRecordingHost.h"
#include "tests/wine/registry_wine_support.h"

namespace gorsel::test {
namespace {

constexpr const char* kStandin = "C:\\qlxrun\\programs\\standin_worm.exe";
constexpr const char* kFolder = "C:\\gorsel-wine";
constexpr const char* kImpostor = "C:\\gorsel-wine\\Application Data\\winlogon.exe";
constexpr const char* kDocuments = "C:\\Documents and Settings\\tester\\My Documents";
constexpr const char* kAllUsersStartup =
    "C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Startup";
constexpr const char* kHosts = "c:\\windows\\system32\\drivers\\etc\\hosts";
constexpr const char* kBackups = "c:\\windows\\system32\\drivers\\etc\\";
constexpr const char* kWindowsNt = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
constexpr const char* kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kRestoredHosts =
    "# Hosts file restored by Quellix\r\n"
    "# ---------------------------------\r\n"
    "127.0.0.1      localhost\r\n";

class GorselOnWine : public testing::Test {
 protected:
  void SetUp() override {
    for (const std::string& folder : Folders()) system.CreateDirectoryA(folder);
    hostsBefore = Read(kHosts);
  }

  // The folders of the family's places, made for the test and removed after
  // it (the suites that follow in this prefix sweep such folders).
  static std::vector<std::string> Folders() {
    const std::string profiles = "C:\\Documents and Settings";
    return {kFolder,
            std::string(kFolder) + "\\Application Data",
            profiles,
            profiles + "\\tester",
            kDocuments,
            profiles + "\\All Users",
            profiles + "\\All Users\\Start Menu",
            profiles + "\\All Users\\Start Menu\\Programs",
            kAllUsersStartup};
  }

  void TearDown() override {
    for (const std::uint32_t pid : started) Stop(pid);
    const std::vector<std::string> folders = Folders();
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) {
      ::RemoveDirectoryA(folder->c_str());
    }
    // Other suites of this prefix read the hosts file: it goes back as it was.
    Write(kHosts, hostsBefore);
    for (const std::string& pattern :
         {std::string(kBackups) + "*.back", std::string(kBackups) + "Gorsel *.reg",
          std::string(kBackups) + "Restore record*.txt",
          std::string(kBackups) + "How to undo this run.txt"}) {
      std::vector<platform::FindEntry> entries;
      if (!system.FindFiles(pattern, &entries)) continue;
      for (const auto& entry : entries) {
        system.SetFileAttributesA(kBackups + entry.name, platform::kFileAttributeNormal);
        system.DeleteFileA(kBackups + entry.name);
      }
    }
  }

  std::string Read(const std::string& path) {
    const auto file = system.CreateFileA(path, platform::kGenericRead, platform::kFileShareRead,
                                         platform::kOpenExisting, 0);
    if (file == platform::kInvalidHandleValue) return "(missing)";
    std::vector<std::uint8_t> data;
    system.ReadFile(file, 1 << 20, &data);
    system.CloseHandle(file);
    return std::string(data.begin(), data.end());
  }

  void Write(const std::string& path, const std::string& text,
             std::uint32_t attributes = platform::kFileAttributeNormal) {
    system.SetFileAttributesA(path, platform::kFileAttributeNormal);
    const auto file =
        system.CreateFileA(path, platform::kGenericWrite, 0, platform::kCreateAlways, attributes);
    ASSERT_NE(file, platform::kInvalidHandleValue) << path << " error " << system.GetLastError();
    std::uint32_t written = 0;
    system.WriteFile(file, std::vector<std::uint8_t>(text.begin(), text.end()), &written);
    system.CloseHandle(file);
    system.SetFileAttributesA(path, attributes);
  }

  bool Exists(const std::string& path) {
    return system.GetFileAttributesA(path) != platform::kInvalidFileAttributes;
  }

  bool Running(std::uint32_t pid) {
    const auto process = system.OpenProcess(platform::kSynchronize, false, pid);
    if (process == platform::kNullHandle) return false;
    const bool running = system.WaitForSingleObject(process, 0) == platform::kWaitTimeout;
    system.CloseHandle(process);
    return running;
  }

  std::uint32_t StartWorm(const std::string& path) {
    EXPECT_TRUE(system.CopyFileA(kStandin, path, false)) << path << " " << system.GetLastError();
    const std::uint32_t pid = system.StartProcess("\"" + path + "\" -s", platform::kSwHide);
    EXPECT_NE(pid, 0u) << path << " error " << system.GetLastError();
    started.push_back(pid);
    for (int i = 0; i < 100 && !Running(pid); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return pid;
  }

  void Stop(std::uint32_t pid) {
    const auto process = system.OpenProcess(platform::kProcessTerminate, false, pid);
    if (process == platform::kNullHandle) return;
    system.TerminateProcess(process, 0);
    system.CloseHandle(process);
  }

  void SetString(platform::HKey root, const std::string& key, const std::string& name,
                 const std::string& value) {
    platform::HKey opened = 0;
    ASSERT_EQ(system.RegCreateKeyA(root, key, &opened), 0);
    std::vector<std::uint8_t> data(value.begin(), value.end());
    data.push_back(0);
    EXPECT_EQ(system.RegSetValueExA(opened, name, platform::kRegSz, data), 0);
    system.RegCloseKey(opened);
  }

  bool HasValue(platform::HKey root, const std::string& key, const std::string& name) {
    platform::HKey opened = 0;
    if (system.RegOpenKeyExA(root, key, platform::kKeyRead, &opened) != 0) return false;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    const bool found = system.RegQueryValueExA(opened, name, &type, &data) == 0;
    system.RegCloseKey(opened);
    return found;
  }

  // A string value's data, "" when it is missing.
  std::string ValueText(platform::HKey root, const std::string& key, const std::string& name) {
    platform::HKey opened = 0;
    if (system.RegOpenKeyExA(root, key, platform::kKeyRead, &opened) != 0) return "";
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    const bool found = system.RegQueryValueExA(opened, name, &type, &data) == 0;
    system.RegCloseKey(opened);
    if (!found) return "";
    std::string text(data.begin(), data.end());
    while (!text.empty() && text.back() == '\0') text.pop_back();
    return text;
  }

  void DeleteValue(platform::HKey root, const std::string& key, const std::string& name) {
    platform::HKey opened = 0;
    if (system.RegOpenKeyExA(root, key, platform::kKeyAllAccess, &opened) != 0) return;
    system.RegDeleteValueA(opened, name);
    system.RegCloseKey(opened);
  }

  platform::win32::Win32Platform system;
  RecordingFormHost host;
  std::vector<std::uint32_t> started;
  std::string hostsBefore;
};

// The whole family on one machine: every target of the fix goes, and what
// is not the family's stays.
TEST_F(GorselOnWine, RemovesTheFamilyAndKeepsTheRest) {
  const std::uint32_t impostor = StartWorm(kImpostor);
  const std::uint32_t byName = StartWorm("c:\\myspace.com.exe");
  const std::uint32_t fakeHost = StartWorm("C:\\windows\\svchost.exe");
  const std::string pics = std::string(kDocuments) + "\\pics.exe";
  const std::uint32_t fromDocuments = StartWorm(pics);
  SetString(platform::kHkeyCurrentUser, kWindowsNt, "load", kImpostor);
  SetString(platform::kHkeyCurrentUser, kWindowsNt, "run", "c:\\x.exe");
  SetString(platform::kHkeyLocalMachine, kWindowsNt, "load", "c:\\y.exe");
  SetString(platform::kHkeyLocalMachine, kRun, "SystemTray", "c:\\SysTray.exe");
  SetString(platform::kHkeyCurrentUser, kRun, "pics", "\"" + pics + "\" -s");
  SetString(platform::kHkeyLocalMachine, kRun, "GorselEditor", "C:\\Program Files\\editor.exe");
  const std::string allUsersLink = std::string(kAllUsersStartup) + "\\winlogon.lnk";
  Write(allUsersLink, "lnk",
        platform::kFileAttributeHidden | platform::kFileAttributeSystem |
            platform::kFileAttributeReadOnly);
  const std::string startMenu = GetStartMenuFolder(system);
  ASSERT_FALSE(startMenu.empty());
  const std::string userStartup = startMenu + "\\Programs\\Startup";
  Write(userStartup + "\\winlogon.lnk", "lnk");
  Write(userStartup + "\\services.lnk", "lnk");
  Write("C:\\windows\\KVste.exe", "MZ");
  Write("C:\\windows\\system32\\sysrcvr246.dll", "MZ", platform::kFileAttributeHidden);

  Form1 form(system, host);
  form.Form_Load();
  ASSERT_EQ(host.rows.size(), 1u) << "the list holds the impostor alone";
  EXPECT_EQ(host.rows[0].pid, impostor);
  EXPECT_EQ(LowerCase(host.rows[0].path), LowerCase(kImpostor));

  form.doFix_Click();

  EXPECT_FALSE(Running(impostor)) << "the load value's process is ended";
  EXPECT_FALSE(Exists(kImpostor)) << "and its program deleted";
  EXPECT_FALSE(Running(byName)) << "a family program is ended by its name";
  EXPECT_FALSE(Exists("c:\\myspace.com.exe"));
  EXPECT_FALSE(Running(fakeHost)) << "the Windows folder's svchost is ended";
  EXPECT_FALSE(Running(fromDocuments)) << "the documents folder's program is ended";
  for (const std::string& file :
       {allUsersLink, userStartup + "\\winlogon.lnk", userStartup + "\\services.lnk",
        std::string("C:\\windows\\KVste.exe"),
        std::string("C:\\windows\\system32\\sysrcvr246.dll")}) {
    EXPECT_FALSE(Exists(file)) << file;
  }
  EXPECT_FALSE(HasValue(platform::kHkeyCurrentUser, kWindowsNt, "load"));
  EXPECT_FALSE(HasValue(platform::kHkeyCurrentUser, kWindowsNt, "run"));
  EXPECT_FALSE(HasValue(platform::kHkeyLocalMachine, kWindowsNt, "load"));
  EXPECT_FALSE(HasValue(platform::kHkeyLocalMachine, kRun, "SystemTray"));
  EXPECT_FALSE(HasValue(platform::kHkeyCurrentUser, kRun, "pics"));
  EXPECT_TRUE(HasValue(platform::kHkeyLocalMachine, kRun, "GorselEditor"));
  EXPECT_NE(
      form.text1().find("Name: GorselEditor\r\n---->Value: C:\\Program Files\\editor.exe\r\n"),
      std::string::npos)
      << form.text1();
  EXPECT_NE(form.text1().find("Name: pics\r\n"), std::string::npos) << form.text1();

  ASSERT_EQ(host.boxes.size(), 3u);
  EXPECT_EQ(host.boxes[0].text, "\"" + pics + "\" -s");
  EXPECT_EQ(host.boxes[1].text, "HKCU\\" + std::string(kRun) + "\\pics");
  EXPECT_EQ(host.boxes[2].title, "Attempted to remove viruses...");
  EXPECT_EQ(Read(kHosts), kRestoredHosts);
  EXPECT_EQ(Read(std::string(kHosts) + ".back"), hostsBefore);
  // Every deleted file has its copy beside the hosts copy, and its line in
  // the restore record.
  EXPECT_EQ(Read(std::string(kBackups) + "winlogon.exe.back"), Read(kStandin));
  EXPECT_EQ(Read(std::string(kBackups) + "sysrcvr246.dll.back"), "MZ");
  const std::string record = Read(std::string(kBackups) + "Restore record.txt");
  for (const std::string& file : {std::string(kImpostor), std::string("C:\\WINDOWS\\KVste.exe"),
                                  userStartup + "\\services.lnk"}) {
    EXPECT_NE(record.find("\nfile\t" + file + "\t"), std::string::npos) << file << "\n" << record;
  }
  EXPECT_EQ(Read(std::string(kBackups) + "Gorsel HKCU pics.reg"),
            "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\" + std::string(kRun) +
                "]\r\n\"pics\"=\"\\\"C:\\\\Documents and Settings\\\\tester\\\\My "
                "Documents\\\\pics.exe\\\" -s\"\r\n\r\n");
  // Its program is deleted before it is ended (step 12 before 13), so the
  // file goes in the next run.
  form.doFix_Click();
  EXPECT_FALSE(Exists("C:\\windows\\svchost.exe"));
  DeleteValue(platform::kHkeyLocalMachine, kRun, "GorselEditor");
  for (int i = 0; i < 40 && !system.DeleteFileA(pics); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

// A fix is undone by the restore of its backup folder: the deleted program,
// shortcut and family file come back byte for byte with their marks, the
// values with their data, and the hosts file as it was.
TEST_F(GorselOnWine, AFixIsUndoneByTheRestoreOfItsBackupFolder) {
  const std::string link = std::string(kAllUsersStartup) + "\\winlogon.lnk";
  const std::string family = "C:\\windows\\KVste.exe";
  SetString(platform::kHkeyCurrentUser, kWindowsNt, "load", kImpostor);
  SetString(platform::kHkeyLocalMachine, kRun, "SystemTray", "c:\\SysTray.exe");
  Write(kImpostor, "MZ impostor");
  Write(link, "lnk",
        platform::kFileAttributeHidden | platform::kFileAttributeSystem |
            platform::kFileAttributeReadOnly);
  Write(family, "MZ family");
  const std::uint32_t linkMarks = system.GetFileAttributesA(link);
  Form1 form(system, host);
  form.Form_Load();
  form.doFix_Click();
  ASSERT_FALSE(Exists(kImpostor));
  ASSERT_FALSE(Exists(link));
  ASSERT_FALSE(HasValue(platform::kHkeyCurrentUser, kWindowsNt, "load"));

  std::ostringstream out;
  const quellix::restore::Summary summary =
      quellix::restore::RestoreFolder(system, kBackups, {}, out);
  SCOPED_TRACE(out.str());
  EXPECT_EQ(summary.failed, 0);
  EXPECT_EQ(summary.skipped, 0);
  EXPECT_EQ(Read(kImpostor), "MZ impostor");
  EXPECT_EQ(Read(link), "lnk");
  EXPECT_EQ(system.GetFileAttributesA(link), linkMarks);
  EXPECT_EQ(Read(family), "MZ family");
  EXPECT_EQ(ValueText(platform::kHkeyCurrentUser, kWindowsNt, "load"), kImpostor);
  EXPECT_EQ(ValueText(platform::kHkeyLocalMachine, kRun, "SystemTray"), "c:\\SysTray.exe");
  EXPECT_EQ(Read(kHosts), hostsBefore);

  DeleteValue(platform::kHkeyCurrentUser, kWindowsNt, "load");
  DeleteValue(platform::kHkeyLocalMachine, kRun, "SystemTray");
  for (const std::string& file : {std::string(kImpostor), link, family}) {
    system.SetFileAttributesA(file, platform::kFileAttributeNormal);
    system.DeleteFileA(file);
  }
}

// The name as the file system keeps it decides step 2: "Winlogon.exe" stays.
TEST_F(GorselOnWine, KeepsALoadProgramNamedInAnotherCase) {
  const std::string other = std::string(kFolder) + "\\Winlogon.exe";
  Write(other, "MZ");
  SetString(platform::kHkeyCurrentUser, kWindowsNt, "load", other);
  Form1 form(system, host);
  form.Form_Load();
  form.doFix_Click();
  EXPECT_TRUE(Exists(other));
  EXPECT_FALSE(HasValue(platform::kHkeyCurrentUser, kWindowsNt, "load"));
  system.DeleteFileA(other);
}

// Every file below a folder (name, size, attributes).
std::map<std::string, std::string> FilesBelow(platform::Platform& system,
                                              const std::string& folder) {
  std::map<std::string, std::string> files;
  std::vector<platform::FindEntry> entries;
  if (!system.FindFiles(folder + "\\*", &entries)) return files;
  for (const auto& entry : entries) {
    if (entry.name == "." || entry.name == "..") continue;
    const std::string path = folder + "\\" + entry.name;
    if (entry.attributes & platform::kFileAttributeDirectory) {
      const auto below = FilesBelow(system, path);
      files.insert(below.begin(), below.end());
    } else {
      files[LowerCase(path)] = std::to_string(entry.size) + " " + std::to_string(entry.attributes);
    }
  }
  return files;
}

// The files of the places the fix works in: the drive's root, the Windows
// folder, the profiles and programs, and the user's Start Menu. The rest of
// the user's folders are links into the Linux home and stay out of reach.
std::map<std::string, std::string> Files() {
  platform::win32::Win32Platform system;
  std::map<std::string, std::string> files;
  std::vector<platform::FindEntry> entries;
  system.FindFiles("C:\\*", &entries);
  for (const auto& entry : entries) {
    if ((entry.attributes & platform::kFileAttributeDirectory) == 0) {
      files["c:\\" + LowerCase(entry.name)] = std::to_string(entry.size);
    }
  }
  for (const std::string& folder :
       {std::string("C:\\windows"), std::string("C:\\Documents and Settings"),
        std::string("C:\\Program Files"), GetStartMenuFolder(system)}) {
    const auto below = FilesBelow(system, folder);
    files.insert(below.begin(), below.end());
  }
  return files;
}

std::vector<std::uint32_t> Processes(platform::Platform& system) {
  std::vector<platform::ProcessSnapshotEntry> entries;
  system.SnapshotProcesses(&entries);
  std::vector<std::uint32_t> pids;
  for (const auto& entry : entries) pids.push_back(entry.pid);
  std::sort(pids.begin(), pids.end());
  return pids;
}

// The start-up keys the fix looks at, read with the wide API.
std::vector<quellix::wine::SnapshotValue> StartupKeys() {
  std::vector<quellix::wine::SnapshotValue> values;
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    for (const wchar_t* key : {L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows",
                               L"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                               L"Software\\Microsoft\\Windows\\CurrentVersion\\RunServices"}) {
      quellix::wine::Snapshot(root, key,
                              std::wstring(root == HKEY_CURRENT_USER ? L"HKCU\\" : L"HKLM\\") + key,
                              &values);
    }
  }
  return values;
}

// On a clean prefix the fix writes the hosts file (after its copy), takes
// the load and run values, and changes nothing else: no other file, value
// or process.
TEST_F(GorselOnWine, OnACleanPrefixOnlyTheHostsFileAndTheLoadValuesChange) {
  SetString(platform::kHkeyCurrentUser, kWindowsNt, "run", "");
  auto before = Files();
  const auto processesBefore = Processes(system);
  auto keysBefore = StartupKeys();
  keysBefore.erase(std::remove_if(keysBefore.begin(), keysBefore.end(),
                                  [](const quellix::wine::SnapshotValue& value) {
                                    const std::wstring& name = std::get<1>(value);
                                    return std::get<0>(value).find(L"Windows NT") !=
                                               std::wstring::npos &&
                                           (name == L"load" || name == L"run");
                                  }),
                   keysBefore.end());
  Form1 form(system, host);
  form.Form_Load();
  EXPECT_TRUE(host.rows.empty());
  form.doFix_Click();
  auto after = Files();
  const std::string hosts = LowerCase(kHosts);
  EXPECT_EQ(after.erase(hosts + ".back"), 1u) << "the copy of the hosts file";
  EXPECT_EQ(after.erase(std::string(kBackups) + "gorsel hkcu run.reg"), 1u)
      << "the copy of the run value";
  after.erase(std::string(kBackups) + "gorsel hkcu load.reg");
  EXPECT_EQ(after.erase(std::string(kBackups) + "restore record.txt"), 1u);
  EXPECT_EQ(after.erase(std::string(kBackups) + "how to undo this run.txt"), 1u);
  before.erase(hosts);
  after.erase(hosts);
  EXPECT_EQ(after, before);
  EXPECT_EQ(Processes(system), processesBefore);
  EXPECT_TRUE(StartupKeys() == keysBefore) << "only the load and run values may go";
  EXPECT_FALSE(HasValue(platform::kHkeyCurrentUser, kWindowsNt, "run"));
  EXPECT_EQ(Read(kHosts), kRestoredHosts);
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].title, "Attempted to remove viruses...");
}

// Load values naming Windows' device host, one of its services in another
// spelling, the Windows folder or a script host list nothing, and the fix
// ends none of Windows' processes and deletes none of its files.
TEST_F(GorselOnWine, LoadValuesNamingWindowsEndNothingOfIt) {
  for (const char* value :
       {"C:\\windows\\system32\\..\\system32\\services.exe", "C:\\windows\\",
        "wscript.exe \"C:\\Documents and Settings\\tester\\My Documents\\x.vbs\"",
        "C:\\windows\\system32\\winedevice.exe"}) {
    SetString(platform::kHkeyCurrentUser, kWindowsNt, "load", value);
    Form1 form(system, host);
    form.Form_Load();
    EXPECT_TRUE(host.rows.empty()) << value << " lists " << host.rows.size();
  }
  const auto processesBefore = Processes(system);
  // The fix's own copies lie in drivers\etc, which is left out.
  const auto windowsFiles = [this] {
    auto files = FilesBelow(system, "C:\\windows\\system32");
    for (auto file = files.begin(); file != files.end();) {
      file = file->first.rfind(kBackups, 0) == 0 ? files.erase(file) : std::next(file);
    }
    return files;
  };
  const auto filesBefore = windowsFiles();
  Form1 form(system, host);
  form.Form_Load();
  form.doFix_Click();
  EXPECT_EQ(Processes(system), processesBefore);
  EXPECT_EQ(windowsFiles(), filesBefore);
}

}  // namespace
}  // namespace gorsel::test
