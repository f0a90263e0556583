#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "quellix/engine/detection/ProcessJudging.h"
#include "quellix/engine/cleanup/mdlProcesses.h"
#include "quellix/engine/detection/ProcessList.h"
#include "quellix/engine/system/AnsiText.h"
#include "tests/unit/process_fixture.h"

namespace quellix {
namespace {

using test::DetectionFixture;

struct JudgingCase {
  const char* wormName;  // added to InfectionNames; "" for none
  const char* image;     // the process's image path
  bool terminated;
};

class ProcessJudging : public testing::TestWithParam<JudgingCase> {};

// Every name of every row of the judging table that spares, each in a folder
// where its row spares it (the image Windows' own there) and, where there is
// one, a folder where it does not; and no Windows name is spared at Windows'
// places when Windows does not own the image.
TEST(ProcessJudgingTable, EveryNameOfEachSparingRowIsSparedWhereItsRowSays) {
  RunValues run;
  run.SystemDir = "c:\\windows\\system32";
  run.WindowsDir = "c:\\windows";
  const std::string system = "c:\\windows\\system32\\";
  const std::string root = "\\systemroot\\system32\\";
  const std::string windows = "c:\\windows\\";
  const std::string elsewhere = "c:\\recycler\\";
  struct Row {
    std::vector<std::string> names;
    std::vector<std::string> sparedIn;
    std::vector<std::string> endedIn;
  };
  const std::vector<Row> rows = {
      {{"ehsched.exe"}, {"c:\\windows\\ehome\\"}, {}},
      {{"dumprep.exe", "dllhost.exe", "java.exe"}, {system, root}, {elsewhere}},
      {{"firefox.exe", "realplayer.exe", "avp.exe", "nod32.exe", "msmsgs.exe", "usnsvc.exe",
        "mcvsshld.exe"},
       {elsewhere},
       {windows, system}},
      {{"mstask.exe", "ups.exe", "csrss.exe", "spoolsv.exe", "wscntfy.exe", "wdfmgr.exe"},
       {system, root},
       {elsewhere, windows}},
      {{"mdm.exe"}, {root, elsewhere}, {system, windows}},
      {{"iexplore.exe"}, {system, windows, elsewhere}, {}},
      {{"ntvdm.exe", "svchost.exe", "smss.exe", "services.exe", "winlogon.exe", "ctfmon.exe",
        "lsass.exe", "rundll32.exe"},
       {system, root},
       {elsewhere, windows}},
      {{"explorer.exe", "regedit.exe"}, {system, root, windows}, {elsewhere}},
      {{"msnmsgr.exe", "wmplayer.exe", "msimn.exe", "dumeter.exe"}, {elsewhere}, {windows}},
      {{"winhelp.exe"}, {system, elsewhere}, {windows}},
  };
  for (const Row& row : rows) {
    for (const std::string& name : row.names) {
      for (const std::string& folder : row.sparedIn) {
        const ProcessEntry entry{name, 3000, folder};
        EXPECT_TRUE(IsSpared(entry, run, true)) << folder << name;
        const bool applicationRule = folder == elsewhere || name == "iexplore.exe" ||
                                     name == "java.exe" || name == "winhelp.exe" ||
                                     name == "mdm.exe";
        EXPECT_EQ(IsSpared(entry, run, false), applicationRule)
            << "not Windows' own: " << folder << name;
      }
      for (const std::string& folder : row.endedIn) {
        EXPECT_FALSE(IsSpared(ProcessEntry{name, 3000, folder}, run, true)) << folder << name;
      }
    }
  }
}

TEST_P(ProcessJudging, SparesOrTerminatesByNameAndFolder) {
  const JudgingCase& c = GetParam();
  DetectionFixture f;
  f.session.InfectionNames.clear();
  if (*c.wormName != '\0') f.session.InfectionNames.push_back(c.wormName);
  f.sim.machine.AddProcess(3000, c.image);
  const bool attempted = KillVirusProcesses(f.session);
  EXPECT_EQ(f.sim.machine.FindProcess(3000) == nullptr, c.terminated) << c.image;
  EXPECT_EQ(attempted, c.terminated) << c.image;
  std::string name = c.image;
  name = name.substr(name.rfind('\\') + 1);
  for (char& ch : name) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  const auto lines = f.Lines();
  const bool logged = std::find(lines.begin(), lines.end(), name + " ...Terminated") != lines.end();
  EXPECT_EQ(logged, c.terminated) << c.image;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ProcessJudging,
    testing::Values(JudgingCase{"", "C:\\WINDOWS\\explorer.exe", false},
                    JudgingCase{"", "C:\\explorer.exe", true},
                    // No regedit.exe of Windows' own there: judged as any other.
                    JudgingCase{"", "C:\\WINDOWS\\system32\\regedit.exe", true},
                    JudgingCase{"", "C:\\Tools\\regedit.exe", true},
                    JudgingCase{"", "C:\\Tools\\ntvdm.exe", true},
                    JudgingCase{"", "C:\\WINDOWS\\ntvdm.exe", true},
                    JudgingCase{"", "\\SystemRoot\\System32\\ctfmon.exe", false},
                    JudgingCase{"svchost", "C:\\WINDOWS\\system32\\svchost.exe", false},
                    JudgingCase{"svchost", "\\SystemRoot\\System32\\svchost.exe", false},
                    JudgingCase{"svchost", "C:\\WINDOWS\\Fonts\\svchost.exe", true},
                    JudgingCase{"csrss", "\\??\\C:\\WINDOWS\\system32\\csrss.exe", false},
                    JudgingCase{"csrss", "\\??\\C:\\RECYCLER\\csrss.exe", true},
                    JudgingCase{"firefox", "C:\\Program Files\\Mozilla Firefox\\firefox.exe",
                                false},
                    JudgingCase{"firefox", "C:\\WINDOWS\\firefox.exe", true},
                    JudgingCase{"", "C:\\WINDOWS\\firefox.exe", false},
                    JudgingCase{"mdm", "C:\\WINDOWS\\system32\\mdm.exe", true},
                    JudgingCase{"mdm", "\\SystemRoot\\System32\\mdm.exe", false},
                    JudgingCase{"mdm", "C:\\Program Files\\Debug\\mdm.exe", false},
                    JudgingCase{"spoolsv", "C:\\WINDOWS\\system32\\spoolsv.exe", false},
                    JudgingCase{"spoolsv", "C:\\WINDOWS\\spoolsv.exe", true},
                    JudgingCase{"iexplore", "C:\\RECYCLER\\iexplore.exe", false},
                    // Windows' own winhelp.exe is never ended, whatever names it.
                    JudgingCase{"winhelp", "C:\\WINDOWS\\winhelp.exe", false},
                    JudgingCase{"winhelp", "C:\\WINDOWS\\system32\\winhelp.exe", false},
                    // This XP has no Media Center: no ehsched.exe of Windows' own.
                    JudgingCase{"ehsched", "C:\\WINDOWS\\ehome\\ehsched.exe", true},
                    JudgingCase{"ehsched", "C:\\WINDOWS\\ehsched.exe", true},
                    JudgingCase{"java", "C:\\WINDOWS\\system32\\java.exe", false},
                    JudgingCase{"java", "C:\\Program Files\\Java\\bin\\java.exe", true},
                    JudgingCase{"msnmsgr", "C:\\Program Files\\MSN Messenger\\msnmsgr.exe", false},
                    JudgingCase{"msnmsgr", "C:\\WINDOWS\\system32\\msnmsgr.exe", true},
                    JudgingCase{"wormy", "C:\\WINDOWS\\system32\\wormy.scr", true},
                    JudgingCase{"wormy", "C:\\Anywhere\\WORMY.COM", true},
                    JudgingCase{"wormy", "C:\\Anywhere\\wormy.pif", false}));

TEST(ProcessPass, AWormNameThatIsAlsoASeedNameIsJudgedAndTerminatedTwice) {
  DetectionFixture f;
  f.session.InfectionNames = {"explorer"};
  f.sim.machine.AddProcess(3000, "C:\\explorer.exe").terminateSucceeds = false;
  EXPECT_TRUE(KillVirusProcesses(f.session));
  const auto lines = f.Lines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "explorer.exe ...Unable To Terminate!!"), 2);
  EXPECT_EQ(f.sim.machine.ChangesBy("TerminateProcess").size(), 2u);
}

TEST(ProcessPass, LogsTheStepsAndAFailedTerminationAndStillReportsAnAttempt) {
  DetectionFixture f;
  f.session.InfectionNames = {"aaa", "wormy"};
  f.sim.machine.AddProcess(3000, "C:\\WINDOWS\\wormy.exe").terminateSucceeds = false;
  f.sim.machine.AddProcess(3001, "C:\\RECYCLER\\aaa.exe");
  EXPECT_TRUE(KillVirusProcesses(f.session));
  EXPECT_EQ(f.Lines(), (std::vector<std::string>{
                           "Looking For Virus Processes...", "aaa.exe ...Terminated",
                           "wormy.exe ...Unable To Terminate!!", "Looking For Virus Files..."}));
  EXPECT_EQ(f.sim.host.prog2, (std::vector<double>{40, 60, 80}));
  ASSERT_FALSE(f.sim.host.prog1.empty());
  EXPECT_EQ(f.sim.host.prog1.back(), 0);
}

TEST(ProcessPass, CleanMachineAttemptsNothing) {
  DetectionFixture f;
  EXPECT_FALSE(KillVirusProcesses(f.session));
  EXPECT_TRUE(f.sim.machine.ChangesBy("TerminateProcess").empty());
  for (const auto& change : f.sim.machine.changes) {
    if (change.call == "AdjustTokenPrivileges") continue;
    EXPECT_NE(change.result, 0) << change.call << " " << change.target << " changed the machine";
  }
  EXPECT_EQ(f.Lines(), (std::vector<std::string>{"Looking For Virus Processes...",
                                                 "Looking For Virus Files..."}));
}

TEST(ProcessPass, ProgressOfASingleNameAndOfAnEmptyCandidateListEndsAtAHundred) {
  DetectionFixture f;
  f.session.InfectionNames = {"wormy"};
  f.sim.machine.platformId = platform::kPlatformWin32Windows;
  KillVirusProcesses(f.session);
  // seed 0, one name, 40, 0, one candidate (slot 0), 60, 0, one sweep name, 80, 0
  EXPECT_EQ(f.sim.host.prog1, (std::vector<double>{0, 100, 0, 100, 0, 100, 0}));
}

TEST(ProcessPass, EnablesTheDebugPrivilegeForThePassOnly) {
  DetectionFixture f;
  f.sim.machine.heldPrivileges.push_back("SeDebugPrivilege");
  KillVirusProcesses(f.session);
  const auto changes = f.sim.machine.ChangesBy("AdjustTokenPrivileges");
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_EQ(changes[0].target, "SeDebugPrivilege");
  EXPECT_EQ(changes[0].detail, "enable");
  EXPECT_EQ(changes[1].detail, "disable");
  EXPECT_TRUE(f.sim.machine.enabledPrivileges.empty() ||
              std::find(f.sim.machine.enabledPrivileges.begin(),
                        f.sim.machine.enabledPrivileges.end(),
                        "SeDebugPrivilege") == f.sim.machine.enabledPrivileges.end());
}

TEST(ProcessPass, APrivilegeThatCannotBeHadChangesNothingElse) {
  for (const char* call : {"OpenProcessToken", "LookupPrivilegeValueA"}) {
    DetectionFixture f;
    f.session.InfectionNames = {"wormy"};
    f.sim.machine.AddProcess(3000, "C:\\WINDOWS\\wormy.exe");
    f.sim.machine.InjectFault(call, "", 5);
    EXPECT_TRUE(KillVirusProcesses(f.session)) << call;
    EXPECT_TRUE(f.sim.machine.ChangesBy("AdjustTokenPrivileges").empty()) << call;
    EXPECT_EQ(f.sim.machine.FindProcess(3000), nullptr) << call;
  }
}

TEST(ProcessPass, OnThe9xFamilyOnlyTheFilePassesRun) {
  DetectionFixture f;
  f.sim.machine.platformId = platform::kPlatformWin32Windows;
  f.session.InfectionNames = {"wormy"};
  f.sim.machine.AddProcess(3000, "C:\\WINDOWS\\wormy.exe");
  f.sim.machine.files.AddTextFile("C:\\WINDOWS\\wormy.exe", "worm");
  f.sim.machine.files.AddTextFile("C:\\odd\\found.exe", "found by digest");
  f.session.frmMain.lstIdentifiedByMD5 = {"c:\\odd\\found.exe"};
  EXPECT_FALSE(KillVirusProcesses(f.session));
  EXPECT_NE(f.sim.machine.FindProcess(3000), nullptr);
  EXPECT_TRUE(f.sim.machine.ChangesBy("AdjustTokenPrivileges").empty());
  EXPECT_FALSE(f.Exists("C:\\odd\\found.exe"));
  const auto lines = f.Lines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Found c:\\odd\\found.exe ...Removed"),
            lines.end());
  // The image of the running worm cannot be deleted.
  EXPECT_NE(
      std::find(lines.begin(), lines.end(), "Found c:\\windows\\wormy.exe ...Unable To Remove!!"),
      lines.end());
}

TEST(Enumeration, ListsEveryOpenableProcessInOrderWithItsFolderFromTheDriveOn) {
  DetectionFixture f;
  f.sim.machine.processes.clear();
  f.sim.machine.AddProcess(0, "").openable = false;
  f.sim.machine.AddProcess(8, "\\SystemRoot\\System32\\smss.exe");
  f.sim.machine.AddProcess(12, "\\??\\C:\\WINDOWS\\system32\\csrss.exe");
  f.sim.machine.AddProcess(16, "C:\\Program Files\\App\\App.EXE");
  f.sim.machine.AddProcess(20, "C:\\WINDOWS\\denied.exe").openable = false;
  for (std::uint32_t pid = 100; pid < 160; ++pid) {
    f.sim.machine.AddProcess(pid, "C:\\many\\p" + std::to_string(pid) + ".exe");
  }
  ProcessLists lists;
  lists.CandidateList.push_back(ProcessEntry{"stale.exe", 1, "c:\\"});
  EnumerateProcesses(f.session, lists);
  ASSERT_EQ(lists.ProcessTable.size(), 1u + 3u + 60u);
  EXPECT_EQ(lists.CandidateList.size(), 1u);
  EXPECT_EQ(lists.ProcessTable[0].Name, "");
  EXPECT_EQ(lists.ProcessTable[0].PID, 0);
  EXPECT_EQ(lists.ProcessTable[1].Name, "smss.exe");
  EXPECT_EQ(lists.ProcessTable[1].Folder, "\\systemroot\\system32\\");
  EXPECT_EQ(lists.ProcessTable[2].Name, "csrss.exe");
  EXPECT_EQ(lists.ProcessTable[2].Folder, "c:\\windows\\system32\\");
  EXPECT_EQ(lists.ProcessTable[3].Name, "app.exe");
  EXPECT_EQ(lists.ProcessTable[3].Folder, "c:\\program files\\app\\");
  EXPECT_EQ(lists.ProcessTable[3].PID, 16);
  EXPECT_EQ(lists.ProcessTable.back().Name, "p159.exe");

  AddProcessCandidates(f.session, lists, "  P101.EXE ");
  AddProcessCandidates(f.session, lists, "p101.exe");
  ASSERT_EQ(lists.CandidateList.size(), 3u);
  EXPECT_EQ(lists.CandidateList[1].PID, 101);
  EXPECT_EQ(lists.CandidateList[2].PID, 101);
  AddProcessCandidates(f.session, lists, "*");
  EXPECT_EQ(lists.CandidateList.size(), 3u + lists.ProcessTable.size());
}

TEST(Fields, CountAndPickDelimitedFields) {
  EXPECT_EQ(CountFields("", "\\"), 0);
  EXPECT_EQ(CountFields("abc", "\\"), 1);
  EXPECT_EQ(CountFields("c:\\a\\b.exe", "\\"), 3);
  EXPECT_EQ(CountFields("c:\\a\\", "\\"), 3);
  EXPECT_EQ(GetField("c:\\a\\b.exe", "\\", 2), "b.exe");
  EXPECT_EQ(GetField("c:\\a\\b.exe", "\\", 0), "c:");
  EXPECT_EQ(GetField("c:\\a\\b.exe", "\\", 3), "");
  EXPECT_EQ(GetField("a=b=c", "=", 1), "b");
}

}  // namespace
}  // namespace quellix
