#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/RuntimeError.h"
#include "quellix/engine/session/Session.h"
#include "quellix/engine/run/StartButton.h"
#include "quellix/engine/run/mdlMainCode.h"
#include "tests/support/RunLog.h"
#include "tests/support/SimQuellix.h"

namespace quellix {
namespace {

using platform::sim::Machine;
using platform::sim::MakeStandardMachine;

// Phases that record the order of the calls in the details box's terms and
// report what a test tells them to find.
class ScriptedPhases : public RemovalPhases {
 public:
  std::vector<std::string>* trace = nullptr;
  bool servicesFound = false;
  bool processesFound = false;
  RegistryFlags registry;
  RunValues valuesAtSmartScan;

  void SmartScan(Session& session) override {
    Note("SmartScan", session);
    valuesAtSmartScan = session.run;
  }
  bool RemoveVirusServices(Session& session) override {
    Note("RemoveVirusServices", session);
    return servicesFound;
  }
  bool KillVirusProcesses(Session& session) override {
    Note("KillVirusProcesses", session);
    return processesFound;
  }
  void CleanStartupEntries(Session& session, RegistryFlags& flags) override {
    Note("CleanStartupEntries", session);
    flags = registry;
  }
  void ResetPolicies(Session& session) override { Note("ResetPolicies", session); }
  bool CleanHostsFile(Session& session) override {
    Note("CleanHostsFile", session);
    return true;
  }

 private:
  void Note(const char* phase, Session&) {
    if (trace) trace->push_back(phase);
  }
};

class RemovalRun : public testing::Test {
 protected:
  explicit RemovalRun(Machine machine = MakeStandardMachine()) : sim(std::move(machine)) {
    sim.platform.CreateDirectoryA("C:\\Saved");
    sim.host.folderChoice = "C:\\Saved";
  }

  void Run() {
    sim.host.events.clear();
    Session session(sim.platform, sim.host, sim.language, phases);
    StartButtonRun(session);
    values = session.run;
  }

  std::vector<std::string> DetailLines() const {
    std::vector<std::string> lines;
    std::string line;
    for (char16_t unit : sim.host.details) {
      if (unit == u'\uFFFE') continue;
      if (unit == u'\n') {
        lines.push_back(line);
        line.clear();
      } else if (unit != u'\r') {
        line += static_cast<char>(unit);
      }
    }
    lines.push_back(line);
    return lines;
  }

  // The window's last event, "<none>" before the first, so that a run that
  // never reached the window fails its check rather than the test binary.
  std::string LastEvent() const {
    return sim.host.events.empty() ? "<none>" : sim.host.events.back();
  }

  std::vector<std::uint8_t> LogBytes(const std::string& path) {
    return test::ReadWholeFile(sim.platform, path);
  }

  test::SimQuellix sim;
  ScriptedPhases phases;
  RunValues values;
};

TEST_F(RemovalRun, CleanMachineEndsWithNoVirusAndThePasswordQuestion) {
  Run();
  EXPECT_EQ(sim.host.BoxNumbers(), (std::vector<double>{2, 6, 7}));
  EXPECT_EQ(DetailLines(),
            (std::vector<std::string>{"Starting Scan...", "SmartScanning Processes...",
                                      "Scanning Registry...", "Scanning Hosts File...",
                                      "Saving Log...", "Done!"}));
  EXPECT_TRUE(sim.machine.startedProcesses.empty()) << "no restart when nothing was found";
  EXPECT_TRUE(sim.machine.shellOpens.empty()) << "the answer No opens nothing";
  EXPECT_TRUE(sim.host.term);
  ASSERT_FALSE(sim.host.events.empty());
  EXPECT_EQ(sim.host.events.front(), "DisableGUI");
  EXPECT_EQ(LastEvent(), "EnableGUI");
}

TEST_F(RemovalRun, RunLogIsTheHeaderThenTheDetailsUpToSavingLog) {
  Run();
  const std::string path = "C:\\Saved\\Quellix Log 6_12_2026 9_5_7.txt";
  const auto body = test::WithoutLastLine(sim.host.details);
  EXPECT_EQ(test::LastLine(body), u"\uFFFESaving Log...");
  EXPECT_EQ(LogBytes(path), test::ExpectedRunLogBytes("7.00", body, false));
  const auto bytes = LogBytes(path);
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_EQ(bytes[1], 0xFE);
}

TEST_F(RemovalRun, VersionRecordHoldsProgramAndDatabaseVersions) {
  Run();
  const char* key = "Software\\Quellix\\QLX\\Ver";
  EXPECT_EQ(test::ReadRegistryText(sim.platform, platform::kHkeyCurrentUser, key, "QLX"), "4.23");
  EXPECT_EQ(test::ReadRegistryText(sim.platform, platform::kHkeyCurrentUser, key, "VDB"), "7.00");
  // The data length is the number of characters, without a terminating NUL.
  const auto writes = sim.machine.ChangesBy("RegSetValueExA");
  ASSERT_EQ(writes.size(), 2u);
  EXPECT_EQ(writes[0].target, "HKCU\\Software\\Quellix\\QLX\\Ver\\QLX");
  EXPECT_EQ(writes[0].detail, "REG_SZ \"4.23\" without its NUL");
  EXPECT_EQ(writes[1].detail, "REG_SZ \"7.00\" without its NUL");
  for (const auto& change : writes) EXPECT_EQ(change.result, 0) << change.target;
  platform::HKey handle = 0;
  ASSERT_EQ(sim.platform.RegOpenKeyA(platform::kHkeyCurrentUser, key, &handle), 0);
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  ASSERT_EQ(sim.platform.RegQueryValueExA(handle, "QLX", &type, &data), 0);
  sim.platform.RegCloseKey(handle);
  EXPECT_EQ(type, platform::kRegSz);
  EXPECT_EQ(std::string(data.begin(), data.end()).substr(0, 4), "4.23");
}

TEST_F(RemovalRun, PhasesRunInOrderBetweenTheRunsOwnMessages) {
  std::vector<std::string> trace;
  phases.trace = &trace;
  Run();
  EXPECT_EQ(trace,
            (std::vector<std::string>{"SmartScan", "RemoveVirusServices", "KillVirusProcesses",
                                      "CleanStartupEntries", "ResetPolicies", "CleanHostsFile"}));
}

TEST_F(RemovalRun, FolderValuesAreLowerCaseAndReadyBeforeTheFirstPhase) {
  Run();
  const RunValues& seen = phases.valuesAtSmartScan;
  EXPECT_EQ(seen.SystemDir, "c:\\windows\\system32");
  EXPECT_EQ(seen.WindowsDir, "c:\\windows");
  EXPECT_EQ(seen.TempDir, "c:\\windows\\temp\\");
  EXPECT_EQ(seen.RootDir, "c:\\");
  EXPECT_EQ(seen.BackupDir, "C:\\Saved\\");
  EXPECT_EQ(seen.DatabaseVersion, "7.00");
}

TEST_F(RemovalRun, SomethingFoundRestartsTheComputerInTwoMinutes) {
  for (int found = 0; found < 3; ++found) {
    test::SimQuellix run(MakeStandardMachine());
    ScriptedPhases scripted;
    scripted.servicesFound = found == 0;
    scripted.processesFound = found == 1;
    scripted.registry.RegistryFound = found == 2;
    Session session(run.platform, run.host, run.language, scripted);
    StartButtonRun(session);
    EXPECT_EQ(run.host.BoxNumbers(), (std::vector<double>{2, 3, 5})) << "case " << found;
    ASSERT_EQ(run.machine.startedProcesses.size(), 1u) << "case " << found;
    EXPECT_EQ(run.machine.startedProcesses[0].commandLine,
              "shutdown.exe -r -t 120 -c \"Virus removal process\"");
    EXPECT_EQ(run.machine.startedProcesses[0].showWindow, platform::kSwShowMinimized);
    EXPECT_FALSE(run.machine.startedProcesses[0].waited);
    EXPECT_EQ(test::LastLine(run.host.details), u"\uFFFEDone!");
  }
}

TEST_F(RemovalRun, AnswerYesOpensThePasswordPage) {
  sim.host.yesNoAnswers = {6};
  Run();
  ASSERT_EQ(sim.machine.shellOpens.size(), 1u);
  EXPECT_EQ(sim.machine.shellOpens[0].verb, "open");
  EXPECT_EQ(sim.machine.shellOpens[0].file, "http://www.quellix.example/?id=14");
  EXPECT_EQ(sim.machine.shellOpens[0].showWindow, platform::kSwShowNormal);
  EXPECT_EQ(LastEvent(), "EnableGUI");
}

TEST_F(RemovalRun, RegistryErrorEndingWinsOverEveryFind) {
  phases.processesFound = true;
  phases.servicesFound = true;
  phases.registry = {true, true};
  Run();
  EXPECT_EQ(sim.host.BoxNumbers(), (std::vector<double>{2, 8}));
  EXPECT_TRUE(sim.machine.startedProcesses.empty()) << "no restart in the registry-error ending";
  EXPECT_EQ(test::LastLine(sim.host.details), u"\uFFFESaving Log...") << "no Done!";
  EXPECT_EQ(LogBytes("C:\\Saved\\Quellix Log 6_12_2026 9_5_7.txt"),
            test::ExpectedRunLogBytes("7.00", sim.host.details, true));
  EXPECT_EQ(test::ReadRegistryText(sim.platform, platform::kHkeyCurrentUser,
                                   "Software\\Quellix\\QLX\\Ver", "QLX"),
            "4.23");
  EXPECT_TRUE(sim.host.term);
  EXPECT_EQ(LastEvent(), "EnableGUI");
}

TEST_F(RemovalRun, CancelledDialogPutsTheLogInTheTempDrivesRoot) {
  sim.host.folderChoice.clear();
  Run();
  EXPECT_EQ(sim.host.BoxNumbers(), (std::vector<double>{2, 3, 6, 7}));
  EXPECT_EQ(values.BackupDir, "c:\\");
  EXPECT_NE(sim.platform.GetFileAttributesA("c:\\Quellix Log 6_12_2026 9_5_7.txt"),
            platform::kInvalidFileAttributes);
  ASSERT_GE(sim.host.boxes.size(), 2u);
  const auto& box3 = sim.host.boxes[1];
  ASSERT_EQ(box3.lines.size(), 2u);
  EXPECT_EQ(box3.lines[0], u"\uFFFEYou have not selected a folder.");
  EXPECT_EQ(box3.lines[1],
            u"\uFFFEYour log and backup files will be saved to your root directory (usually C:\\)");
}

TEST_F(RemovalRun, ChosenFolderGetsABackslashButADriveRootKeepsItsOwn) {
  sim.host.folderChoice = "C:\\";
  Run();
  EXPECT_EQ(values.BackupDir, "C:\\");
  EXPECT_NE(sim.platform.GetFileAttributesA("C:\\Quellix Log 6_12_2026 9_5_7.txt"),
            platform::kInvalidFileAttributes);
}

TEST_F(RemovalRun, UnwritableLogIsReportedAndTheRunStillEnds) {
  sim.host.folderChoice = "C:\\Vanished";
  Run();
  const auto lines = DetailLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      "Unable to backup \"C:\\Vanished\\Quellix Log 6_12_2026 9_5_7.txt\""),
            lines.end());
  EXPECT_EQ(lines.back(), "Done!");
  EXPECT_EQ(sim.host.BoxNumbers(), (std::vector<double>{2, 6, 7}));
  EXPECT_EQ(test::ReadRegistryText(sim.platform, platform::kHkeyCurrentUser,
                                   "Software\\Quellix\\QLX\\Ver", "VDB"),
            "7.00");
}

TEST_F(RemovalRun, FullDiskLeavesNoHalfLogUnreported) {
  sim.machine.FillDisk();
  Run();
  const auto lines = DetailLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      "Unable to backup \"C:\\Saved\\Quellix Log 6_12_2026 9_5_7.txt\""),
            lines.end());
  EXPECT_EQ(LastEvent(), "EnableGUI");
}

TEST_F(RemovalRun, VersionKeyThatCannotBeCreatedIsPassedOver) {
  sim.machine.InjectFault("RegCreateKeyA", "HKCU\\Software\\Quellix\\QLX\\Ver", 5);
  Run();
  EXPECT_EQ(sim.host.BoxNumbers(), (std::vector<double>{2, 6, 7}));
  EXPECT_EQ(test::ReadRegistryText(sim.platform, platform::kHkeyCurrentUser,
                                   "Software\\Quellix\\QLX\\Ver", "QLX"),
            "<missing>");
}

TEST_F(RemovalRun, FailedRestartStillCompletesTheEnding) {
  phases.processesFound = true;
  sim.machine.InjectFault("StartProcess", "shutdown.exe*", 2);
  Run();
  EXPECT_EQ(sim.host.BoxNumbers(), (std::vector<double>{2, 5}));
  EXPECT_EQ(LastEvent(), "EnableGUI");
  EXPECT_EQ(test::ReadRegistryText(sim.platform, platform::kHkeyCurrentUser,
                                   "Software\\Quellix\\QLX\\Ver", "QLX"),
            "4.23");
}

TEST(RunLogPath, UsesPlainNumbersTimeFirstThenDate) {
  EXPECT_EQ(RunLogPath("c:\\", {2026, 12, 6, 9, 5, 7}, {2026, 12, 6, 9, 5, 7}),
            "c:\\Quellix Log 6_12_2026 9_5_7.txt");
  // Read across midnight: the time belongs to the old day, the date to the new.
  EXPECT_EQ(RunLogPath("d:\\saved\\", {2026, 12, 6, 23, 59, 59}, {2026, 12, 7, 0, 0, 0}),
            "d:\\saved\\Quellix Log 7_12_2026 23_59_59.txt");
}

TEST(RemovalRunClock, ReadsTheTimeBeforeTheDate) {
  Machine machine = MakeStandardMachine();
  machine.clock = {2026, 12, 6, 23, 59, 59};
  machine.clockAdvanceSeconds = 1;
  test::SimQuellix sim(std::move(machine));
  sim.host.folderChoice = "C:\\";
  ScriptedPhases phases;
  Session session(sim.platform, sim.host, sim.language, phases);
  StartButtonRun(session);
  EXPECT_NE(sim.platform.GetFileAttributesA("C:\\Quellix Log 7_12_2026 23_59_59.txt"),
            platform::kInvalidFileAttributes);
}

TEST(RemovalRunFolders, FollowTheSystemFolderOfTheMachine) {
  Machine machine = MakeStandardMachine();
  machine.systemDirectory = "D:\\WINNT\\System32";
  machine.tempPath = "E:\\Tmp\\";
  machine.AddDrive('E', platform::kDriveFixed);
  test::SimQuellix sim(std::move(machine));
  ScriptedPhases phases;
  Session session(sim.platform, sim.host, sim.language, phases);
  StartButtonRun(session);
  EXPECT_EQ(phases.valuesAtSmartScan.SystemDir, "d:\\winnt\\system32");
  EXPECT_EQ(phases.valuesAtSmartScan.WindowsDir, "d:\\winnt");
  EXPECT_EQ(phases.valuesAtSmartScan.TempDir, "e:\\tmp\\");
  EXPECT_EQ(phases.valuesAtSmartScan.RootDir, "e:\\");
}

// A run that cannot learn its folders would judge the system's own processes
// and files against an empty system folder.
TEST(RemovalRunFolders, AFolderThatCannotBeLearnedStopsTheRunBeforeItsFirstPhase) {
  for (const char* call : {"GetSystemDirectoryA", "GetTempPathA"}) {
    test::SimQuellix sim;
    sim.host.folderChoice = "C:\\";
    sim.machine.InjectFault(call, "", 5);
    std::vector<std::string> trace;
    ScriptedPhases phases;
    phases.trace = &trace;
    Session session(sim.platform, sim.host, sim.language, phases);
    try {
      StartButtonRun(session);
      ADD_FAILURE() << call << ": the run went on";
    } catch (const platform::RuntimeError& error) {
      EXPECT_EQ(error.Number(), 5) << call;
      EXPECT_EQ(error.Source(), "RunRemoval") << call;
    }
    EXPECT_TRUE(trace.empty()) << call;
    EXPECT_TRUE(sim.machine.changes.empty()) << call;
  }
}

// Worm files removed by the sweep with nothing running, no service and no
// start-up value: the "Found ... Removed" lines must not be followed by "No
// virus detected.".
TEST(RemovalRunEnding, AWormFileRemovedWithoutAnythingElseEndsAsAFind) {
  test::SimQuellix sim;
  sim.host.folderChoice = "C:\\";
  sim.machine.files.AddTextFile("C:\\WINDOWS\\system32\\msblast.exe", "worm at rest");
  BuiltPhases phases;
  Session session(sim.platform, sim.host, sim.language, phases);
  StartButtonRun(session);
  ASSERT_EQ(sim.platform.GetFileAttributesA("C:\\WINDOWS\\system32\\msblast.exe"),
            platform::kInvalidFileAttributes);
  EXPECT_EQ(sim.host.BoxNumbers(), (std::vector<double>{2, 5}));
  ASSERT_EQ(sim.machine.startedProcesses.size(), 1u);
}

TEST(RemovalRunRepeat, SecondRunStartsFromAnEmptyDetailsBoxAndFreshValues) {
  test::SimQuellix sim;
  sim.host.folderChoice = "C:\\";
  ScriptedPhases phases;
  Session session(sim.platform, sim.host, sim.language, phases);
  StartButtonRun(session);
  session.frmMain.lstKeys = {"stale=value"};
  sim.host.folderChoice.clear();
  StartButtonRun(session);
  EXPECT_EQ(session.run.BackupDir, "c:\\") << "the dialog was cancelled the second time";
  EXPECT_TRUE(session.frmMain.lstKeys.empty());
  EXPECT_EQ(sim.host.details.substr(0, 17), u"\uFFFEStarting Scan...");
}

}  // namespace
}  // namespace quellix
