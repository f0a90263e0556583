// Gorsel's fix button on the simulated machine: the steps in their order and
// with their targets, the Run-key scan, the hosts file and its copy.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "gorsel/Paths.h"
#include "platform/ForwardingPlatform.h"
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
constexpr const char* kHklmRunServices =
    "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\RunServices";
constexpr const char* kBackups = "c:\\windows\\system32\\drivers\\etc\\";
constexpr const char* kRestoredHosts =
    "# Hosts file restored by Quellix\r\n"
    "# ---------------------------------\r\n"
    "127.0.0.1      localhost\r\n";
constexpr std::uint32_t kHiddenSystem = platform::kFileAttributeHidden |
                                        platform::kFileAttributeSystem |
                                        platform::kFileAttributeArchive;

std::string Text(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

// Writes all but the last byte of the new hosts file and reports that, as a
// full disk may.
class ShortHostsWrite : public platform::ForwardingPlatform {
 public:
  using ForwardingPlatform::ForwardingPlatform;
  platform::Handle CreateFileA(const std::string& path, std::uint32_t access, std::uint32_t share,
                               std::uint32_t disposition, std::uint32_t attributes) override {
    const platform::Handle file =
        ForwardingPlatform::CreateFileA(path, access, share, disposition, attributes);
    if (LowerCase(path) == kHostsLower) hostsFile_ = file;
    return file;
  }
  bool WriteFile(platform::Handle file, const std::vector<std::uint8_t>& data,
                 std::uint32_t* written) override {
    if (file != hostsFile_ || data.empty())
      return ForwardingPlatform::WriteFile(file, data, written);
    return ForwardingPlatform::WriteFile(file, {data.begin(), data.end() - 1}, written);
  }

 private:
  platform::Handle hostsFile_ = platform::kNullHandle;
};

void Append(std::vector<std::string>* list, std::initializer_list<std::string> items) {
  list->insert(list->end(), items);
}

// The restore record, made with its header and the note beside it by the
// first removal.
void AppendRecordMade(std::vector<std::string>* list) {
  const std::string record = std::string(kBackups) + "Restore record.txt";
  const std::string note = std::string(kBackups) + "How to undo this run.txt";
  Append(list, {"CreateFileA(" + record + ", 1073741824, 1, 1, 128)", "WriteFile(" + record + ")",
                "CreateFileA(" + note + ", 1073741824, 0, 1, 128)", "WriteFile(" + note + ")"});
}

// The saved copy of a value, its deletion, and then its line in the record.
void AppendDeletion(std::vector<std::string>* list, const std::string& value,
                    const std::string& regFile) {
  const std::string path = std::string(kBackups) + regFile;
  list->push_back("CreateFileA(" + path + ", 1073741824, 0, 1, 128)");
  list->push_back("WriteFile(" + path + ")");
  list->push_back("RegDeleteValueA(" + value + ")");
  list->push_back("WriteFile(" + std::string(kBackups) + "Restore record.txt)");
}

// One try to delete a file: its copy first (a try after the first finds the
// copy there and compares the two) and only then the deletion.
void AppendFileTry(std::vector<std::string>* list, const std::string& path, const std::string& copy,
                   bool copiedBefore = false) {
  const std::string copyPath = std::string(kBackups) + copy;
  list->push_back("CopyFileA(" + path + ", " + copyPath + ", true)");
  if (copiedBefore) {
    Append(list, {"CreateFileA(" + path + ", 2147483648, 3, 3, 128)",
                  "CreateFileA(" + copyPath + ", 2147483648, 3, 3, 128)"});
  }
  list->push_back("DeleteFileA(" + path + ")");
}

// A deleted file's line in the record, with its copy read for its digest.
void AppendFileRecorded(std::vector<std::string>* list, const std::string& copy,
                        bool makesRecord = false) {
  list->push_back("CreateFileA(" + std::string(kBackups) + copy + ", 2147483648, 3, 3, 128)");
  if (makesRecord) AppendRecordMade(list);
  list->push_back("WriteFile(" + std::string(kBackups) + "Restore record.txt)");
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
  m.machine.registry.SetString(kHklmRunServices, "WINDOWS SYSTEM", "c:\\ws.exe");
  m.machine.registry.SetString(kHkcuRun, "curb iso", "c:\\x.exe");
  // A worm under each of the family's names, one with a process it started;
  // the system's own tray program (one of them unreadable, judged by its
  // name) and a Windows program the worm started keep running. Two of them
  // end only at a later pass.
  m.machine.files.AddTextFile("c:\\myspace.com.exe", "MZ");
  m.machine.AddProcess(2600, "c:\\myspace.com.exe");
  m.machine.AddProcess(2601, "C:\\Temp\\helper.exe").parentPid = 2600;
  m.machine.AddProcess(2602, "C:\\WINDOWS\\system32\\cmd.exe").parentPid = 2600;
  m.machine.AddProcess(2700, "C:\\WINDOWS\\system32\\systray.exe");
  m.machine.AddProcess(2701, "C:\\WINDOWS\\system32\\systray.exe").is64Bit = true;
  std::uint32_t pid = 2710;
  for (const char* name : {"ctech.exe", "SYSTRAY.EXE", "Jumpgrid.exe", "msnmsg.exe",
                           "WLSetupSvc.exe", "Update.exe", "ipwins.exe", "KVste.exe"}) {
    m.machine.AddProcess(pid++, std::string("C:\\Temp\\") + name);
  }
  m.machine.InjectFault("TerminateProcess", "*Jumpgrid.exe", platform::error::kAccessDenied, 5);
  m.machine.InjectFault("TerminateProcess", "*Update.exe", platform::error::kAccessDenied, 5);
  m.machine.files.AddTextFile("C:\\WINDOWS\\system32\\sysrcvr246.dll", "MZ", kHiddenSystem);
  m.machine.files.AddTextFile("C:\\WINDOWS\\system32\\prodigys323.dll", "MZ", kHiddenSystem);
  m.machine.files.AddTextFile("C:\\WINDOWS\\svchost.exe", "MZ");
  m.machine.AddProcess(2800, "C:\\WINDOWS\\svchost.exe");
  m.machine.AddProcess(2810, "\\SystemRoot\\svchost.exe");
  // Every other file of the family, each with its own bytes; ctech.exe can
  // be deleted only at the last pass.
  const std::string updater =
      "C:\\Program Files\\Common Files\\{F8960F25-0BB0-1033-1028-05050622002c}\\Update.exe";
  for (const std::string& file :
       {std::string("C:\\WINDOWS\\System32\\ctech.exe"), std::string("C:\\WINDOWS\\KVste.exe"),
        std::string("C:\\Program Files\\Ipwindows\\ipwins.exe"), updater,
        std::string("C:\\WINDOWS\\msnmsg.exe"), std::string("C:\\WINDOWS\\system32\\msnmsg.exe")}) {
    m.machine.files.AddTextFile(file, file);
  }
  m.machine.InjectFault("DeleteFileA", "*ctech.exe", platform::error::kAccessDenied, 5);
  Form1 form = m.Load();
  m.system.Forget();

  form.doFix_Click();

  std::vector<std::string> expected;
  const std::string userLink = std::string(kUserStartup) + "\\winlogon.lnk";
  expected.push_back("TerminateProcess(2500)");
  AppendFileTry(&expected, kImpostor, "winlogon.exe.back");
  AppendFileRecorded(&expected, "winlogon.exe.back", true);
  expected.push_back("SetFileAttributesA(" + std::string(kAllUsersLink) + ", 32)");
  AppendFileTry(&expected, kAllUsersLink, "winlogon.lnk.back");
  AppendFileRecorded(&expected, "winlogon.lnk.back");
  // The user's shortcut holds the same bytes: one copy serves both.
  AppendFileTry(&expected, userLink, "winlogon.lnk.back", true);
  AppendFileRecorded(&expected, "winlogon.lnk.back");
  AppendDeletion(&expected, std::string(kWindowsNtKey) + "\\load", "Gorsel HKCU load.reg");
  AppendDeletion(&expected, std::string(kWindowsNtKey) + "\\run", "Gorsel HKCU run.reg");
  AppendDeletion(&expected, std::string(kHklmWindowsNt) + "\\load", "Gorsel HKLM load.reg");
  AppendDeletion(&expected, std::string(kHklmWindowsNt) + "\\run", "Gorsel HKLM run.reg");
  Append(&expected, {"CopyFileA(" + std::string(kHostsLower) + ", " + kHostsLower + ".back, true)",
                     "DeleteFileA(" + std::string(kHostsLower) + ")"});
  AppendFileRecorded(&expected, "hosts.back");
  Append(&expected, {"TerminateProcess(2600)", "TerminateProcess(2601)", "TerminateProcess(2710)",
                     "TerminateProcess(2711)"});
  // Jumpgrid.exe refuses to end until the sixth pass.
  for (int pass = 0; pass < 6; ++pass) expected.push_back("TerminateProcess(2712)");
  AppendDeletion(&expected, std::string(kHklmRun) + "\\SystemTray", "Gorsel HKLM SystemTray.reg");
  AppendDeletion(&expected, std::string(kHklmRunServices) + "\\WINDOWS SYSTEM",
                 "Gorsel HKLM WINDOWS SYSTEM.reg");
  AppendDeletion(&expected, std::string(kHkcuRun) + "\\curb iso", "Gorsel HKCU curb iso.reg");
  AppendFileTry(&expected, "c:\\myspace.com.exe", "myspace.com.exe.back");
  AppendFileRecorded(&expected, "myspace.com.exe.back");
  for (int pass = 0; pass < 6; ++pass) {
    AppendFileTry(&expected, "C:\\WINDOWS\\System32\\ctech.exe", "ctech.exe.back", pass > 0);
  }
  AppendFileRecorded(&expected, "ctech.exe.back");
  // The first pass ends all but Update.exe, which ends only at the sixth.
  Append(&expected, {"TerminateProcess(2713)", "TerminateProcess(2714)", "TerminateProcess(2715)",
                     "TerminateProcess(2716)", "TerminateProcess(2717)"});
  for (int pass = 1; pass < 6; ++pass) expected.push_back("TerminateProcess(2715)");
  Append(&expected, {"SetFileAttributesA(C:\\WINDOWS\\system32\\sysrcvr246.dll, 32)",
                     "SetFileAttributesA(C:\\WINDOWS\\system32\\prodigys323.dll, 32)"});
  for (const auto& [file, copy] :
       {std::make_pair(std::string("C:\\WINDOWS\\KVste.exe"), "KVste.exe.back"),
        std::make_pair(std::string("C:\\Program Files\\Ipwindows\\ipwins.exe"), "ipwins.exe.back"),
        std::make_pair(updater, "Update.exe.back"),
        std::make_pair(std::string("C:\\WINDOWS\\msnmsg.exe"), "msnmsg.exe.back")}) {
    AppendFileTry(&expected, file, copy);
    AppendFileRecorded(&expected, copy);
  }
  // A second program of that name finds the copy's name taken by other
  // bytes: its copy is numbered.
  const std::string systemMsnmsg = "C:\\WINDOWS\\system32\\msnmsg.exe";
  Append(&expected,
         {"CopyFileA(" + systemMsnmsg + ", " + kBackups + "msnmsg.exe.back, true)",
          "CreateFileA(" + systemMsnmsg + ", 2147483648, 3, 3, 128)",
          "CreateFileA(" + std::string(kBackups) + "msnmsg.exe.back, 2147483648, 3, 3, 128)"});
  AppendFileTry(&expected, systemMsnmsg, "msnmsg.exe (2).back");
  AppendFileRecorded(&expected, "msnmsg.exe (2).back");
  // The Windows folder's svchost still runs: every pass tries it again.
  AppendFileTry(&expected, "C:\\WINDOWS\\svchost.exe", "svchost.exe.back");
  for (const char* dll : {"sysrcvr246.dll", "prodigys323.dll"}) {
    AppendFileTry(&expected, std::string("C:\\WINDOWS\\system32\\") + dll,
                  std::string(dll) + ".back");
    AppendFileRecorded(&expected, std::string(dll) + ".back");
  }
  for (int pass = 1; pass < 6; ++pass) {
    AppendFileTry(&expected, "C:\\WINDOWS\\svchost.exe", "svchost.exe.back", true);
  }
  Append(&expected, {"TerminateProcess(2800)", "TerminateProcess(2810)"});
  AppendFileTry(&expected, std::string(kUserStartup) + "\\services.lnk", "services.lnk.back");
  AppendFileRecorded(&expected, "services.lnk.back");
  expected.push_back("CreateFileA(" + std::string(kHostsLower) + ", 1073741824, 0, 2, 128)");
  const std::vector<std::string> changes = m.Changes();
  ASSERT_GE(changes.size(), 1u);
  EXPECT_EQ(std::vector<std::string>(changes.begin(), changes.end() - 1), expected);
  EXPECT_EQ(changes.back(), "WriteFile(" + std::string(kHostsLower) + ")");

  for (std::uint32_t kept : {2602u, 2700u, 2701u}) {
    EXPECT_NE(m.machine.FindProcess(kept), nullptr) << kept << " is Windows' own";
  }
  EXPECT_EQ(m.machine.FindProcess(2601), nullptr) << "the worm's child process is ended";
  // Step 13 ended the Windows folder's svchost, never the system's own.
  EXPECT_EQ(std::count_if(m.machine.processes.begin(), m.machine.processes.end(),
                          [](const platform::sim::Process& p) {
                            return p.imagePath == "C:\\WINDOWS\\system32\\svchost.exe";
                          }),
            5);
  EXPECT_EQ(form.processFilter(), "c:\\windows\\svchost.exe");
  EXPECT_EQ(m.sim.OpenHandles(), std::vector<std::string>{});
  const platform::sim::FileNode* saved =
      m.machine.files.FindPath(std::string(kBackups) + "Gorsel HKCU load.reg");
  ASSERT_NE(saved, nullptr);
  EXPECT_EQ(Text(saved->contents),
            "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows "
            "NT\\CurrentVersion\\Windows]\r\n\"load\"=\"C:\\\\Documents and "
            "Settings\\\\User\\\\Application Data\\\\winlogon.exe\"\r\n\r\n");
  ASSERT_FALSE(m.host.boxes.empty());
  EXPECT_NE(
      m.host.boxes.back().text.find(std::string("saved first as a .reg file, in ") + kBackups),
      std::string::npos)
      << m.host.boxes.back().text;

  // The Windows folder's svchost was still running when step 12 came; the
  // second click deletes its program and saves nothing twice.
  ASSERT_NE(m.machine.files.FindPath("C:\\WINDOWS\\svchost.exe"), nullptr);
  form.doFix_Click();
  EXPECT_EQ(m.machine.files.FindPath("C:\\WINDOWS\\svchost.exe"), nullptr);
  EXPECT_EQ(m.machine.files.FindPath(std::string(kBackups) + "Gorsel HKCU load (2).reg"), nullptr);
  EXPECT_NE(m.machine.files.FindPath(std::string(kHosts) + " (2).back"), nullptr);
}

// Step 2 judges the file the value reaches: another case, or the system's
// winlogon in any spelling (here not running, so only the guard keeps it).
TEST(GorselFix, KeepsALoadProgramOfAnotherCaseAndTheSystemsWinlogon) {
  for (const char* program :
       {"C:\\Temp\\Winlogon.exe", "C:\\WINDOWS\\system32\\..\\system32\\winlogon.exe",
        "C:\\WINDOWS\\.\\system32\\\\winlogon.exe", "C:/WINDOWS/system32/winlogon.exe.",
        "C:\\Temp\\..\\..\\WINDOWS\\system32\\winlogon.exe"}) {
    GorselMachine m;
    m.machine.RemoveProcess(612);
    m.machine.files.AddTextFile("C:\\Temp\\Winlogon.exe", "MZ");
    m.machine.registry.SetString(kWindowsNtKey, "load", program);
    Form1 form = m.Load();
    form.doFix_Click();
    EXPECT_NE(m.machine.files.FindPath("C:\\Temp\\Winlogon.exe"), nullptr) << program;
    EXPECT_NE(m.machine.files.FindPath("C:\\WINDOWS\\system32\\winlogon.exe"), nullptr) << program;
    for (const std::string& call : m.system.CallsOf("DeleteFileA")) {
      EXPECT_EQ(LowerCase(call).find("winlogon.exe"), std::string::npos) << program << ": " << call;
    }
  }
  // Short names are looked up: the impostor named so is still deleted
  // (once it no longer runs).
  GorselMachine m;
  m.Infect();
  m.machine.RemoveProcess(2500);
  m.machine.registry.SetString(kWindowsNtKey, "load", "C:\\DOCUME~1\\User\\APPLIC~1\\winlogon.exe");
  Form1 form = m.Load();
  form.doFix_Click();
  EXPECT_EQ(m.machine.files.FindPath(kImpostor), nullptr);
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

// Whatever names a file, Gorsel deletes none that Windows says is its own:
// a start-up shortcut under protection stays, its unprotected twin goes.
TEST(GorselFix, AShortcutWindowsOwnsStays) {
  GorselMachine m;
  const std::string userLink = std::string(kUserStartup) + "\\winlogon.lnk";
  m.machine.files.AddTextFile(kAllUsersLink, "lnk");
  m.machine.files.AddTextFile(userLink, "lnk");
  m.machine.files.FindPath(kAllUsersLink)->windowsProtected = true;
  Form1 form = m.Load();
  form.doFix_Click();
  EXPECT_NE(m.machine.files.FindPath(kAllUsersLink), nullptr);
  EXPECT_EQ(m.machine.files.FindPath(userLink), nullptr);
}

// A Run value that starts a program from a documents folder is shown, its
// process ended and the value deleted, in either hive; one that starts a
// script host with a script there ends no process of the host; the others
// stay, and both keys' values are listed.
TEST(GorselFix, RunScanRemovesProgramsStartedFromDocuments) {
  GorselMachine m;
  const std::string worm = "C:\\Documents and Settings\\User\\My Documents\\pics.exe";
  const std::string machineWorm = "C:\\Documents and Settings\\All Users\\Documents\\m.exe";
  const std::string script =
      "wscript.exe \"C:\\Documents and Settings\\User\\My Documents\\x.vbs\"";
  m.machine.files.AddTextFile(worm, "MZ");
  m.machine.AddProcess(2900, worm);
  m.machine.AddProcess(2901, machineWorm);
  m.machine.AddProcess(2902, "C:\\WINDOWS\\system32\\wscript.exe");
  m.machine.AddProcess(2903, "C:\\Tools\\wscript.exe");
  m.machine.registry.SetString(kHkcuRun, "pics", "\"" + worm + "\" -s");
  m.machine.registry.SetString(kHkcuRun, "vbs", script);
  m.machine.registry.SetString(kHklmRun, "Editor", "C:\\Program Files\\Editor\\editor.exe");
  m.machine.registry.SetString(kHklmRun, "m", machineWorm);
  Form1 form = m.Load();

  form.doFix_Click();

  ASSERT_EQ(m.host.boxes.size(), 7u);
  EXPECT_EQ(m.host.boxes[0].text, "\"" + worm + "\" -s");
  EXPECT_EQ(m.host.boxes[0].title, "");
  EXPECT_EQ(m.host.boxes[1].text, "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\pics");
  EXPECT_EQ(m.host.boxes[2].text, script);
  EXPECT_EQ(m.host.boxes[5].text, "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\m");
  EXPECT_EQ(m.host.boxes[6].title, "Attempted to remove viruses...");
  EXPECT_EQ(m.machine.FindProcess(2900), nullptr);
  EXPECT_EQ(m.machine.FindProcess(2901), nullptr);
  EXPECT_NE(m.machine.FindProcess(2902), nullptr);
  EXPECT_NE(m.machine.FindProcess(2903), nullptr);
  for (const char* name : {"pics", "vbs"}) {
    EXPECT_EQ(m.machine.registry.FindValue(kHkcuRun, name), nullptr) << name;
  }
  EXPECT_EQ(m.machine.registry.FindValue(kHklmRun, "m"), nullptr);
  EXPECT_NE(m.machine.registry.FindValue(kHkcuRun, "CTFMON.EXE"), nullptr);
  EXPECT_NE(m.machine.registry.FindValue(kHklmRun, "Editor"), nullptr);
  EXPECT_NE(form.text1().find("Name: pics\r\n---->Value: \"" + worm + "\" -s\r\n"),
            std::string::npos);
  EXPECT_NE(form.text1().find("---->Value: " + script + "\r\n(wscript.exe is a program of Windows"),
            std::string::npos)
      << form.text1();
  EXPECT_NE(form.text1().find("Name: CTFMON.EXE\r\n"), std::string::npos);
  EXPECT_NE(form.text1().find("Name: Editor\r\n---->Value: C:\\Program Files\\Editor\\editor.exe"),
            std::string::npos);
  EXPECT_EQ(m.host.text1, form.text1());
}

// On a clean machine the hosts file is the only thing written (after its
// copy, and with its line in the restore record), nothing ends, and the last
// box says where the copy is.
TEST(GorselFix, OnACleanMachineOnlyTheHostsFileChanges) {
  GorselMachine m;
  const std::string oldHosts = Text(m.machine.files.FindPath(kHosts)->contents);
  const std::size_t processes = m.machine.processes.size();
  Form1 form = m.Load();
  form.doFix_Click();

  std::vector<std::string> calls;
  for (const auto& change : m.machine.changes) calls.push_back(change.call + " " + change.target);
  const std::string record = "C:\\WINDOWS\\system32\\drivers\\etc\\Restore record.txt";
  const std::string note = "C:\\WINDOWS\\system32\\drivers\\etc\\How to undo this run.txt";
  EXPECT_EQ(calls, (std::vector<std::string>{
                       "CopyFileA " + std::string(kHosts) + ".back",
                       "DeleteFileA " + std::string(kHosts),
                       "CreateFileA " + record,
                       "WriteFile " + record,
                       "CreateFileA " + note,
                       "WriteFile " + note,
                       "WriteFile " + record,
                       "CreateFileA " + std::string(kHosts),
                       "WriteFile " + std::string(kHosts),
                   }));
  ASSERT_NE(m.machine.files.FindPath(kHosts), nullptr);
  EXPECT_EQ(Text(m.machine.files.FindPath(kHosts)->contents), kRestoredHosts);
  ASSERT_NE(m.machine.files.FindPath(std::string(kHosts) + ".back"), nullptr);
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

// The hosts file is never lost: an earlier copy is never replaced; without
// a copy the file keeps its content and its marks; when the rewrite fails
// the copy goes back; a missing file is written, an unreadable one is not.
TEST(GorselFix, TheHostsFileIsNeverLost) {
  const std::string back = std::string(kHosts) + ".back";
  GorselMachine m;
  m.machine.files.AddTextFile(back, "earlier copy");
  const std::string oldHosts = Text(m.machine.files.FindPath(kHosts)->contents);
  Form1 form = m.Load();
  form.doFix_Click();
  ASSERT_NE(m.machine.files.FindPath(back), nullptr);
  EXPECT_EQ(Text(m.machine.files.FindPath(back)->contents), "earlier copy");
  ASSERT_NE(m.machine.files.FindPath(std::string(kHosts) + " (2).back"), nullptr);
  EXPECT_EQ(Text(m.machine.files.FindPath(std::string(kHosts) + " (2).back")->contents), oldHosts);
  ASSERT_FALSE(m.host.boxes.empty());
  EXPECT_NE(m.host.boxes.back().text.find(std::string(kHostsLower) + " (2).back"),
            std::string::npos);

  GorselMachine full;
  const std::uint32_t marks = platform::kFileAttributeReadOnly | kHiddenSystem;
  full.machine.files.FindPath(kHosts)->attributes = marks;
  full.machine.InjectFault("CopyFileA", "*hosts*", platform::error::kDiskFull);
  Form1 second = full.Load();
  second.doFix_Click();
  ASSERT_NE(full.machine.files.FindPath(kHosts), nullptr);
  EXPECT_EQ(Text(full.machine.files.FindPath(kHosts)->contents), oldHosts);
  EXPECT_EQ(full.machine.files.FindPath(kHosts)->attributes, marks);
  ASSERT_FALSE(full.host.boxes.empty());
  EXPECT_NE(full.host.boxes.back().text.find("left as it was"), std::string::npos);

  for (const char* failing : {"CreateFileA", "WriteFile"}) {
    GorselMachine broken;
    broken.machine.InjectFault(failing, "*\\hosts", platform::error::kDiskFull);
    Form1 third = broken.Load();
    third.doFix_Click();
    ASSERT_NE(broken.machine.files.FindPath(kHosts), nullptr) << failing;
    EXPECT_EQ(Text(broken.machine.files.FindPath(kHosts)->contents), oldHosts) << failing;
    ASSERT_FALSE(broken.host.boxes.empty());
    EXPECT_NE(broken.host.boxes.back().text.find("previous one was put back"), std::string::npos)
        << failing;
  }

  GorselMachine shortWrite;
  ShortHostsWrite shortWriting(shortWrite.system);
  Form1 written(shortWriting, shortWrite.host);
  written.Form_Load();
  written.doFix_Click();
  ASSERT_NE(shortWrite.machine.files.FindPath(kHosts), nullptr);
  EXPECT_EQ(Text(shortWrite.machine.files.FindPath(kHosts)->contents), oldHosts);

  GorselMachine missing;
  missing.machine.files.RemovePath(kHosts);
  Form1 fourth = missing.Load();
  fourth.doFix_Click();
  ASSERT_NE(missing.machine.files.FindPath(kHosts), nullptr);
  EXPECT_EQ(Text(missing.machine.files.FindPath(kHosts)->contents), kRestoredHosts);

  GorselMachine unreadable;
  unreadable.machine.InjectFault("GetFileAttributesA", "*\\hosts", platform::error::kAccessDenied);
  Form1 fifth = unreadable.Load();
  fifth.doFix_Click();
  ASSERT_NE(unreadable.machine.files.FindPath(kHosts), nullptr);
  EXPECT_EQ(Text(unreadable.machine.files.FindPath(kHosts)->contents), oldHosts);
}

}  // namespace
}  // namespace gorsel::test
