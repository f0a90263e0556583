// Evidence before removal, over whole passes: neither a digest, nor a learned
// or shipped name, nor an autorun.inf ends or deletes Quellix itself or a
// file Windows owns; a worm under a Windows name that Windows does not own at
// that place is removed; a Windows file holding a worm's bytes is kept and
// reported, and the run does not end with "No virus detected.".
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "quellix/engine/cleanup/mdlProcesses.h"
#include "quellix/engine/run/StartButton.h"
#include "quellix/engine/session/Session.h"
#include "tests/support/TestText.h"
#include "tests/unit/process_fixture.h"

#if QLX_HAS_SCENARIOS
#include "platform/sim/scenario/Scenario.h"
#endif

namespace quellix {
namespace {

using platform::sim::Machine;

struct Pass {
  explicit Pass(Machine machine) : sim(std::move(machine)) {
    sim.platform.CreateDirectoryA("C:\\Saved");
    sim.host.folderChoice = "C:\\Saved";
  }

  void List(const std::string& path) {
    const auto* file = sim.machine.files.FindPath(path);
    ASSERT_NE(file, nullptr) << path;
    digests.push_back(test::ReferenceMd5Text(file->contents));
  }

  void Run(const std::vector<std::string>& learnedNames = {}) {
    Session session(sim.platform, sim.host, sim.language, phases);
    session.KnownDigests.insert(session.KnownDigests.end(), digests.begin(), digests.end());
    session.InfectionNames.insert(session.InfectionNames.end(), learnedNames.begin(),
                                  learnedNames.end());
    StartButtonRun(session);
    names = session.InfectionNames;
    lines = test::NonEmptyDetailLines(sim.host.details);
  }

  bool Logged(const std::string& line) const {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
  bool Learned(const std::string& name) const {
    return std::find(names.begin(), names.end(), name) != names.end();
  }
  bool Exists(const std::string& path) const { return sim.machine.files.FindPath(path) != nullptr; }
  bool Runs(std::uint32_t pid) const { return sim.machine.FindProcess(pid) != nullptr; }
  bool ShowedBox(double number) const {
    const auto shown = sim.host.BoxNumbers();
    return std::find(shown.begin(), shown.end(), number) != shown.end();
  }
  bool ShowedRepairAdvice() const {
    return std::any_of(sim.host.boxes.begin(), sim.host.boxes.end(), [](const auto& box) {
      return std::any_of(box.lines.begin(), box.lines.end(), [](const std::u16string& line) {
        return line.find(u"sfc /scannow") != std::u16string::npos;
      });
    });
  }

  test::SimQuellix sim;
  BuiltPhases phases;
  std::vector<std::string> digests;
  std::vector<std::string> names;
  std::vector<std::string> lines;
};

constexpr std::uint32_t kUserinitPid = 3200;
constexpr std::uint32_t kWormPid = 3300;

TEST(EvidencePass, ADigestListNamingQuellixAndAWindowsProgramLeavesBothAndRemovesTheWorm) {
  Machine machine = platform::sim::MakeStandardMachine();
  machine.files.AddTextFile(machine.programPath, "MZ quellix");
  machine.AddProcess(machine.programPid, machine.programPath);
  machine.AddProcess(kUserinitPid, "C:\\WINDOWS\\system32\\userinit.exe");
  machine.files.AddTextFile("C:\\WINDOWS\\system32\\wupdmgr32.exe", "MZ listed worm");
  machine.AddProcess(kWormPid, "C:\\WINDOWS\\system32\\wupdmgr32.exe");
  const std::string programPath = machine.programPath;
  const std::uint32_t programPid = machine.programPid;
  Pass pass(std::move(machine));
  pass.List(programPath);
  pass.List("C:\\WINDOWS\\system32\\userinit.exe");
  pass.List("C:\\WINDOWS\\system32\\wupdmgr32.exe");
  pass.Run();
  SCOPED_TRACE(testing::PrintToString(pass.lines));

  EXPECT_TRUE(pass.Runs(programPid));
  EXPECT_TRUE(pass.Exists(programPath));
  EXPECT_TRUE(pass.Runs(kUserinitPid));
  EXPECT_TRUE(pass.Exists("C:\\WINDOWS\\system32\\userinit.exe"));
  EXPECT_FALSE(pass.Learned("quellix"));
  EXPECT_FALSE(pass.Learned("userinit"));
  EXPECT_TRUE(
      pass.Logged("Kept c:\\documents and settings\\user\\desktop\\quellix.exe ...it is "
                  "Quellix itself"));
  EXPECT_TRUE(
      pass.Logged("Kept Windows system file c:\\windows\\system32\\userinit.exe ...its "
                  "contents match a worm"));

  EXPECT_FALSE(pass.Runs(kWormPid));
  EXPECT_FALSE(pass.Exists("C:\\WINDOWS\\system32\\wupdmgr32.exe"));
  EXPECT_TRUE(pass.Logged("Done!")) << "the run reaches its end";
  EXPECT_TRUE(pass.ShowedRepairAdvice());
}

TEST(EvidencePass, AKeptMatchingWindowsFileIsNoCleanBillOfHealth) {
  Pass pass(platform::sim::MakeStandardMachine());
  pass.List("C:\\WINDOWS\\system32\\svchost.exe");
  pass.Run();
  SCOPED_TRACE(testing::PrintToString(pass.lines));
  EXPECT_TRUE(pass.Exists("C:\\WINDOWS\\system32\\svchost.exe"));
  EXPECT_TRUE(pass.Runs(840));
  EXPECT_FALSE(pass.ShowedBox(6)) << "\"No virus detected.\"";
  EXPECT_TRUE(pass.ShowedRepairAdvice());

  Pass clean(platform::sim::MakeStandardMachine());
  clean.Run();
  EXPECT_TRUE(clean.ShowedBox(6));
  EXPECT_FALSE(clean.ShowedRepairAdvice());
}

TEST(EvidencePass, AnAutorunWormUnderAWindowsNameLeavesTheGenuineOneAlone) {
  Machine machine = platform::sim::MakeStandardMachine();
  machine.AddDrive('E', platform::kDriveRemovable);
  machine.files.AddTextFile("E:\\autorun.inf", "[autorun]\r\nopen=userinit.exe\r\n");
  machine.files.AddTextFile("E:\\userinit.exe", "MZ stick worm");
  machine.AddProcess(kUserinitPid, "C:\\WINDOWS\\system32\\userinit.exe");
  Pass pass(std::move(machine));
  pass.List("E:\\userinit.exe");
  pass.Run();
  SCOPED_TRACE(testing::PrintToString(pass.lines));
  EXPECT_FALSE(pass.Exists("E:\\userinit.exe"));
  EXPECT_TRUE(pass.Exists("C:\\WINDOWS\\system32\\userinit.exe"));
  EXPECT_TRUE(pass.Runs(kUserinitPid));
}

// Between listing and ending, the worm ends and its id goes to another
// program: the user's editor, or a new process of the same image, which the
// listing never judged (its start time tells it apart).
TEST(EvidencePass, AReusedProcessIdIsNotEnded) {
  for (const std::string successor :
       {"C:\\Program Files\\Editor\\editor.exe", "C:\\WINDOWS\\system32\\wormy.exe"}) {
    SCOPED_TRACE(successor);
    test::DetectionFixture f;
    f.session.InfectionNames = {"wormy"};
    f.sim.machine.files.AddTextFile("C:\\WINDOWS\\system32\\wormy.exe", "MZ worm");
    f.sim.machine.AddProcess(kWormPid, "C:\\WINDOWS\\system32\\wormy.exe");
    bool replaced = false;
    f.sim.host.onDoEvents = [&] {
      if (!replaced && !f.sim.host.prog2.empty() && f.sim.host.prog2.back() == 40) {
        f.sim.machine.AddProcess(kWormPid, successor);
        replaced = true;
      }
    };
    KillVirusProcesses(f.session);
    const auto lines = f.Lines();
    EXPECT_TRUE(f.sim.machine.FindProcess(kWormPid) != nullptr);
    EXPECT_TRUE(f.sim.machine.ChangesBy("TerminateProcess").empty());
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "Skipped c:\\windows\\system32\\wormy.exe ...its process id names "
                        "another program now"),
              lines.end())
        << testing::PrintToString(lines);
  }
}

// Wine's desktop program is an explorer.exe in system32, where no Windows
// keeps one: ending it would close every window, this program's too. An
// Explorer there that does not hold the desktop is a worm's.
TEST(EvidencePass, TheDesktopsOwnerIsLeftRunningWhereAnImpostorUnderItsNameIsEnded) {
  constexpr std::uint32_t kDesktopPid = 3400;
  test::DetectionFixture f;
  f.sim.machine.files.AddTextFile("C:\\WINDOWS\\system32\\explorer.exe", "MZ desktop");
  f.sim.machine.AddProcess(kDesktopPid, "C:\\WINDOWS\\system32\\explorer.exe").ownsDesktop = true;
  f.sim.machine.AddProcess(kWormPid, "C:\\WINDOWS\\system32\\explorer.exe");
  KillVirusProcesses(f.session);
  const auto lines = f.Lines();
  EXPECT_TRUE(f.sim.machine.FindProcess(kDesktopPid) != nullptr);
  EXPECT_TRUE(f.sim.machine.FindProcess(kWormPid) == nullptr);
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      "Left c:\\windows\\system32\\explorer.exe running ...it holds the "
                      "desktop, and every window with it"),
            lines.end())
      << testing::PrintToString(lines);
}

#if QLX_HAS_SCENARIOS
// A 32-bit program started from Wow6432Node\...\Run as
// c:\windows\system32\x.exe runs SysWOW64\x.exe: that is the file judged.
TEST(EvidencePass, AThirtyTwoBitRunValueIsHashedWhereA32BitProgramFindsIt) {
  Machine machine = platform::sim::LoadScenarioFile(std::string(QLX_SOURCE_DIR) +
                                                    "/scenarios/windows10-x64.json");
  machine.files.AddTextFile("C:\\WINDOWS\\SysWOW64\\qzupd.exe", "MZ 32-bit worm");
  machine.registry.SetString("HKLM\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run",
                             "qzupd", "c:\\windows\\system32\\qzupd.exe");
  Pass pass(machine);
  pass.List("C:\\WINDOWS\\SysWOW64\\qzupd.exe");
  pass.Run();
  SCOPED_TRACE(testing::PrintToString(pass.lines));
  EXPECT_TRUE(pass.Logged("qzupd.exe ...Identified"));
  EXPECT_FALSE(pass.Exists("C:\\WINDOWS\\SysWOW64\\qzupd.exe"));
}

// The folder picker runs redirected: a 32-bit program's pick of
// system32\Saved is SysWOW64\Saved, and the backups go there.
// The picker shows a 32-bit program system32\Saved where SysWOW64\Saved is,
// but system32\drivers\etc as it is: WOW64 leaves that folder shared.
TEST(EvidencePass, ABackupFolderPickedUnderSystem32IsUsedWhereThePickerShowedIt) {
  const std::pair<const char*, const char*> picks[] = {
      {"C:\\WINDOWS\\system32\\Saved", "C:\\WINDOWS\\SysWOW64\\Saved\\wscntfy.exe.back"},
      {"C:\\WINDOWS\\system32\\drivers\\etc",
       "C:\\WINDOWS\\system32\\drivers\\etc\\wscntfy.exe.back"}};
  for (const auto& [picked, backup] : picks) {
    SCOPED_TRACE(picked);
    Machine machine = platform::sim::LoadScenarioFile(std::string(QLX_SOURCE_DIR) +
                                                      "/scenarios/windows10-x64.json");
    machine.files.AddFolder("C:\\WINDOWS\\SysWOW64\\Saved");
    machine.files.AddFolder("C:\\WINDOWS\\system32\\drivers\\etc");
    Pass pass(machine);
    pass.sim.host.folderChoice = picked;
    pass.List("C:\\WINDOWS\\system32\\wscntfy.exe");
    pass.Run();
    SCOPED_TRACE(testing::PrintToString(pass.lines));
    EXPECT_FALSE(pass.Exists("C:\\WINDOWS\\system32\\wscntfy.exe"));
    EXPECT_TRUE(pass.Exists(backup));
  }
}

// A hostile list of learned names on a Windows 10 x64: every core process
// survives, while the worms under Windows' names where Windows has no such
// file are ended, and removed by their digests; and so when Windows cannot
// say what it owns.
TEST(EvidencePass, Windows10CoreProcessesSurviveEveryWindowsNameWhileImpostorsGo) {
  for (auto protection :
       {platform::sim::FileProtection::kAnswers, platform::sim::FileProtection::kStub}) {
    Machine machine = platform::sim::LoadScenarioFile(std::string(QLX_SOURCE_DIR) +
                                                      "/scenarios/windows10-x64.json");
    machine.fileProtection = protection;
    Pass pass(machine);
    pass.List("C:\\WINDOWS\\system32\\wscntfy.exe");
    pass.List("C:\\WINDOWS\\SysWOW64\\lsass.exe");
    pass.Run({"svchost", "csrss", "lsass", "winlogon", "explorer", "wininit", "dwm", "smss",
              "services", "conhost", "userinit", "wscntfy"});
    SCOPED_TRACE(testing::PrintToString(pass.lines));
    for (const auto& process : machine.processes) {
      if (process.pid == 3400 || process.pid == 3401) continue;
      EXPECT_TRUE(pass.Runs(process.pid)) << process.imagePath;
    }
    for (const auto& [key, node] : machine.files.Nodes()) {
      const bool worm = node.path == "C:\\WINDOWS\\system32\\wscntfy.exe" ||
                        node.path == "C:\\WINDOWS\\SysWOW64\\lsass.exe";
      if (node.directory || worm) continue;
      EXPECT_TRUE(pass.Exists(node.path)) << node.path;
    }
    EXPECT_FALSE(pass.Runs(3400));
    EXPECT_FALSE(pass.Runs(3401));
    EXPECT_FALSE(pass.Exists("C:\\WINDOWS\\system32\\wscntfy.exe"));
    EXPECT_FALSE(pass.Exists("C:\\WINDOWS\\SysWOW64\\lsass.exe"));
  }
}
#endif

}  // namespace
}  // namespace quellix
