// Gorsel's fix button on the simulated machine: the steps in their order and
// with their targets, the Run-key scan, the hosts file and its copy.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/unit/gorsel_fixture.h"

namespace gorsel::test {
namespace {

constexpr const char* kHostsLower = "c:\\windows\\system32\\drivers\\etc\\hosts";
constexpr const char* kAllUsersLink =
    "C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Startup\\winlogon.lnk";
constexpr const char* kUserStartup =
    "C:\\Documents and Settings\\User\\Start Menu\\Programs\\Startup";
constexpr const char* kHklmWindowsNt =
    "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
constexpr const char* kRestoredHosts =
    "# Hosts file restored by Quellix\r\n"
    "# ---------------------------------\r\n"
    "127.0.0.1      localhost\r\n";
constexpr std::uint32_t kHiddenSystem = platform::kFileAttributeHidden |
                                        platform::kFileAttributeSystem |
                                        platform::kFileAttributeArchive;

std::string Text(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

void Append(std::vector<std::string>* list, std::initializer_list<std::string> items) {
  list->insert(list->end(), items);
}

TEST(GorselFix, RunsEveryStepInOrderOnItsTargets) {
  GorselMachine m;
  m.Infect(2500);
  m.machine.files.AddTextFile(kAllUsersLink, "lnk", kHiddenSystem);
  m.machine.files.AddTextFile(std::string(kUserStartup) + "\\winlogon.lnk", "lnk");
  m.machine.files.AddTextFile(std::string(kUserStartup) + "\\services.lnk", "lnk");
  m.machine.registry.SetString(kWindowsNtKey, "run", "x");
  m.machine.registry.SetString(kHklmWindowsNt, "load", "y");
  m.machine.registry.SetString(kHklmWindowsNt, "run", "z");
  m.machine.registry.SetString(kHklmRun, "SystemTray", "c:\\SysTray.exe");
  m.machine.registry.SetString(kHkcuRun, "curb iso", "c:\\x.exe");
  // A worm under one of the family's names with a process it started, and
  // the system's own tray program, which keeps running.
  m.machine.files.AddTextFile("c:\\myspace.com.exe", "MZ");
  m.machine.AddProcess(2600, "c:\\myspace.com.exe");
  m.machine.AddProcess(2601, "C:\\WINDOWS\\notepad.exe").parentPid = 2600;
  m.machine.AddProcess(2700, "C:\\WINDOWS\\system32\\systray.exe");
  m.machine.AddProcess(2710, "C:\\Temp\\SYSTRAY.EXE");
  m.machine.files.AddTextFile("C:\\WINDOWS\\system32\\sysrcvr246.dll", "MZ", kHiddenSystem);
  m.machine.AddProcess(2800, "C:\\WINDOWS\\svchost.exe");
  Form1 form = m.Load();
  m.system.Forget();

  form.doFix_Click();

  std::vector<std::string> expected;
  const std::string userLink = std::string(kUserStartup) + "\\winlogon.lnk";
  Append(&expected,
         {"TerminateProcess(2500)", "DeleteFileA(" + std::string(kImpostor) + ")",
          "SetFileAttributesA(" + std::string(kAllUsersLink) + ", 32)",
          "DeleteFileA(" + std::string(kAllUsersLink) + ")", "DeleteFileA(" + userLink + ")",
          "RegDeleteValueA(" + std::string(kWindowsNtKey) + "\\load)",
          "RegDeleteValueA(" + std::string(kWindowsNtKey) + "\\run)",
          "RegDeleteValueA(" + std::string(kHklmWindowsNt) + "\\load)",
          "RegDeleteValueA(" + std::string(kHklmWindowsNt) + "\\run)",
          "CopyFileA(" + std::string(kHostsLower) + ", " + kHostsLower + ".back, true)",
          "DeleteFileA(" + std::string(kHostsLower) + ")", "TerminateProcess(2600)",
          "TerminateProcess(2601)", "TerminateProcess(2710)",
          "RegDeleteValueA(" + std::string(kHklmRun) + "\\SystemTray)",
          "RegDeleteValueA(" + std::string(kHklmRun) + "\\WINDOWS SYSTEM)",
          "RegDeleteValueA(" + std::string(kHkcuRun) + "\\curb iso)"});
  for (int pass = 0; pass < 6; ++pass) {
    Append(&expected,
           {"DeleteFileA(c:\\myspace.com.exe)", "DeleteFileA(C:\\WINDOWS\\System32\\ctech.exe)"});
  }
  Append(&expected, {"SetFileAttributesA(C:\\WINDOWS\\system32\\sysrcvr246.dll, 32)"});
  for (int pass = 0; pass < 6; ++pass) {
    for (const char* file :
         {"C:\\WINDOWS\\KVste.exe", "C:\\Program Files\\Ipwindows\\ipwins.exe",
          "C:\\Program Files\\Common Files\\{F8960F25-0BB0-1033-1028-05050622002c}\\Update.exe",
          "C:\\WINDOWS\\msnmsg.exe", "C:\\WINDOWS\\system32\\msnmsg.exe",
          "C:\\WINDOWS\\svchost.exe", "C:\\WINDOWS\\system32\\sysrcvr246.dll",
          "C:\\WINDOWS\\system32\\prodigys323.dll"}) {
      expected.push_back("DeleteFileA(" + std::string(file) + ")");
    }
  }
  Append(&expected,
         {"TerminateProcess(2800)", "DeleteFileA(" + std::string(kUserStartup) + "\\services.lnk)",
          "CreateFileA(" + std::string(kHostsLower) + ", 1073741824, 0, 2, 128)"});
  const std::vector<std::string> changes = m.Changes();
  ASSERT_GE(changes.size(), 1u);
  EXPECT_EQ(std::vector<std::string>(changes.begin(), changes.end() - 1), expected);
  EXPECT_EQ(changes.back().rfind("WriteFile(", 0), 0u) << changes.back();

  EXPECT_NE(m.machine.FindProcess(2700), nullptr) << "the system's tray program runs on";
  EXPECT_EQ(m.machine.FindProcess(2601), nullptr) << "the worm's child process is ended";
  // Step 13 ended the Windows folder's svchost, never the system's own.
  EXPECT_EQ(std::count_if(m.machine.processes.begin(), m.machine.processes.end(),
                          [](const platform::sim::Process& p) {
                            return p.imagePath == "C:\\WINDOWS\\system32\\svchost.exe";
                          }),
            5);
  EXPECT_EQ(form.processFilter(), "c:\\windows\\svchost.exe");
  EXPECT_EQ(m.sim.OpenHandles(), std::vector<std::string>{});
}

TEST(GorselFix, KeepsALoadProgramOfAnotherCaseAndTheSystemsWinlogon) {
  for (const char* program : {"C:\\Temp\\Winlogon.exe", "C:\\WINDOWS\\system32\\winlogon.exe"}) {
    GorselMachine m;
    if (m.machine.files.FindPath(program) == nullptr) m.machine.files.AddTextFile(program, "MZ");
    m.machine.registry.SetString(kWindowsNtKey, "load", program);
    Form1 form = m.Load();
    form.doFix_Click();
    EXPECT_NE(m.machine.files.FindPath(program), nullptr) << program;
    EXPECT_EQ(m.system.CallsOf("DeleteFileA").front().find(program), std::string::npos);
  }
}

TEST(GorselFix, WithoutAStartMenuFolderNoShortcutIsAimedAt) {
  GorselMachine m;
  m.machine.InjectFault("SHGetSpecialFolderPathA", "", platform::error::kFileNotFound);
  m.machine.files.AddTextFile("C:\\Programs\\Startup\\winlogon.lnk", "lnk");
  Form1 form = m.Load();
  form.doFix_Click();
  EXPECT_NE(m.machine.files.FindPath("C:\\Programs\\Startup\\winlogon.lnk"), nullptr);
  for (const std::string& call : m.system.calls()) {
    EXPECT_EQ(call.find("(\\Programs"), std::string::npos) << call;
  }
}

// A Run value that starts a program from a documents folder is shown, its
// process ended and the value deleted; the others stay, and both keys'
// values are listed.
TEST(GorselFix, RunScanRemovesProgramsStartedFromDocuments) {
  GorselMachine m;
  const std::string worm = "C:\\Documents and Settings\\User\\My Documents\\pics.exe";
  m.machine.files.AddTextFile(worm, "MZ");
  m.machine.AddProcess(2900, worm);
  m.machine.registry.SetString(kHkcuRun, "pics", "\"" + worm + "\" -s");
  m.machine.registry.SetString(kHklmRun, "Editor", "C:\\Program Files\\Editor\\editor.exe");
  Form1 form = m.Load();

  form.doFix_Click();

  ASSERT_EQ(m.host.boxes.size(), 3u);
  EXPECT_EQ(m.host.boxes[0].text, "\"" + worm + "\" -s");
  EXPECT_EQ(m.host.boxes[0].title, "");
  EXPECT_EQ(m.host.boxes[1].text, "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\pics");
  EXPECT_EQ(m.host.boxes[2].title, "Attempted to remove viruses...");
  EXPECT_EQ(m.machine.FindProcess(2900), nullptr);
  EXPECT_EQ(m.machine.registry.FindValue(kHkcuRun, "pics"), nullptr);
  EXPECT_NE(m.machine.registry.FindValue(kHkcuRun, "CTFMON.EXE"), nullptr);
  EXPECT_NE(m.machine.registry.FindValue(kHklmRun, "Editor"), nullptr);
  EXPECT_NE(form.text1().find("Name: pics\r\n---->Value: \"" + worm + "\" -s\r\n"),
            std::string::npos);
  EXPECT_NE(form.text1().find("Name: CTFMON.EXE\r\n"), std::string::npos);
  EXPECT_NE(form.text1().find("Name: Editor\r\n---->Value: C:\\Program Files\\Editor\\editor.exe"),
            std::string::npos);
  EXPECT_EQ(m.host.text1, form.text1());
}

// On a clean machine the hosts file is the only thing written (after its
// copy), nothing ends, and the last box says where the copy is.
TEST(GorselFix, OnACleanMachineOnlyTheHostsFileChanges) {
  GorselMachine m;
  const std::string oldHosts = Text(m.machine.files.FindPath(kHosts)->contents);
  const std::size_t processes = m.machine.processes.size();
  Form1 form = m.Load();
  form.doFix_Click();

  std::vector<std::string> calls;
  for (const auto& change : m.machine.changes) calls.push_back(change.call + " " + change.target);
  EXPECT_EQ(calls, (std::vector<std::string>{
                       "CopyFileA " + std::string(kHosts) + ".back",
                       "DeleteFileA " + std::string(kHosts),
                       "CreateFileA " + std::string(kHosts),
                       "WriteFile " + std::string(kHosts),
                   }));
  EXPECT_EQ(Text(m.machine.files.FindPath(kHosts)->contents), kRestoredHosts);
  EXPECT_EQ(Text(m.machine.files.FindPath(std::string(kHosts) + ".back")->contents), oldHosts);
  EXPECT_EQ(m.machine.processes.size(), processes);
  ASSERT_EQ(m.host.boxes.size(), 1u);
  EXPECT_EQ(m.host.boxes[0].icon, BoxIcon::kInformation);
  EXPECT_EQ(m.host.boxes[0].text.rfind(
                "Gorsel has just tried to kill the little monsters which are eating up your "
                "computer.\r\n\r\nLet's hope they died, okay?\r\n\r\n",
                0),
            0u);
  EXPECT_NE(m.host.boxes[0].text.find(std::string(kHostsLower) + ".back"), std::string::npos);
}

TEST(GorselFix, TheHostsCopyNeverReplacesAnEarlierOneAndNoCopyMeansNoRewrite) {
  GorselMachine m;
  m.machine.files.AddTextFile(std::string(kHosts) + ".back", "earlier copy");
  const std::string oldHosts = Text(m.machine.files.FindPath(kHosts)->contents);
  Form1 form = m.Load();
  form.doFix_Click();
  EXPECT_EQ(Text(m.machine.files.FindPath(std::string(kHosts) + ".back")->contents),
            "earlier copy");
  EXPECT_EQ(Text(m.machine.files.FindPath(std::string(kHosts) + " (2).back")->contents), oldHosts);
  EXPECT_NE(m.host.boxes.back().text.find(std::string(kHostsLower) + " (2).back"),
            std::string::npos);

  GorselMachine full;
  full.machine.InjectFault("CopyFileA", "*hosts*", platform::error::kDiskFull);
  Form1 second = full.Load();
  second.doFix_Click();
  EXPECT_EQ(Text(full.machine.files.FindPath(kHosts)->contents), oldHosts);
  EXPECT_NE(full.host.boxes.back().text.find("left as it was"), std::string::npos);
}

}  // namespace
}  // namespace gorsel::test
