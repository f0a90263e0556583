// The whole pass on a 64-bit Windows infected in both of its worlds
// (scenarios/windows64-infected.json), run by the shipped 32-bit program
// under WOW64 and by a 64-bit build: both remove every seeded worm, name the
// real places, back every file up byte for byte and keep the genuine 32-bit
// explorer.exe and regedit.exe of SysWOW64, also when a digest list names
// one. On a 32-bit Windows the same machine gets the designed pass.
#include <gtest/gtest.h>

#if QLX_HAS_SCENARIOS
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "platform/sim/scenario/Scenario.h"
#include "quellix/engine/session/RemovalPhases.h"
#include "quellix/engine/session/Session.h"
#include "quellix/engine/run/StartButton.h"
#include "tests/support/RunLog.h"
#include "tests/support/SimQuellix.h"
#include "tests/support/TestText.h"

namespace quellix {
namespace {

using platform::sim::Machine;

const std::string kScenario = std::string(QLX_SOURCE_DIR) + "/scenarios/windows64-infected.json";
const char* const kWormFiles[] = {
    "C:\\WINDOWS\\system32\\winmgrs.exe",          "C:\\WINDOWS\\SysWOW64\\winmgrs.exe",
    "C:\\WINDOWS\\system32\\drivers\\winmgrs.exe", "C:\\WINDOWS\\system32\\msblast.exe",
    "C:\\WINDOWS\\SysWOW64\\taskmon.exe",          "C:\\WINDOWS\\SysWOW64\\avserve.exe"};

struct Pass {
  explicit Pass(Machine machine) : sim(std::move(machine)) {
    sim.platform.CreateDirectoryA("C:\\Saved");
    sim.host.folderChoice = "C:\\Saved";
    before = sim.machine;
  }

  // A run whose digest list may also name the genuine 32-bit explorer.
  void Run(bool listGenuineExplorer) {
    Session session(sim.platform, sim.host, sim.language, phases);
    const auto* explorer = sim.machine.files.FindPath("C:\\WINDOWS\\SysWOW64\\explorer.exe");
    if (listGenuineExplorer && explorer != nullptr) {
      session.KnownDigests.push_back(test::ReferenceMd5Text(explorer->contents));
    }
    StartButtonRun(session);
    lines = test::NonEmptyDetailLines(sim.host.details);
  }

  std::size_t Count(const std::string& line) const {
    return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
  }

  bool Exists(const std::string& path) const { return sim.machine.files.FindPath(path) != nullptr; }

  // The contents of every backup of a file in C:\Saved, by contents.
  std::map<std::string, int> Backups() const {
    std::map<std::string, int> found;
    for (const auto& [key, node] : sim.machine.files.Nodes()) {
      const std::string& path = node.path;
      if (path.rfind("C:\\Saved\\", 0) == 0 && path.size() > 5 &&
          path.compare(path.size() - 5, 5, ".back") == 0) {
        ++found[std::string(node.contents.begin(), node.contents.end())];
      }
    }
    return found;
  }

  test::SimQuellix sim;
  Machine before;
  BuiltPhases phases;
  std::vector<std::string> lines;
};

class Windows64Pass : public testing::TestWithParam<bool> {};

TEST_P(Windows64Pass, RemovesEveryWormOfBothWorldsAndKeepsWindowsOwnFiles) {
  Machine machine = platform::sim::LoadScenarioFile(kScenario);
  machine.program64 = GetParam();
  Pass pass(std::move(machine));
  pass.Run(true);
  SCOPED_TRACE(testing::PrintToString(pass.lines));

  std::map<std::string, int> originals;
  for (const char* path : kWormFiles) {
    const auto* node = pass.before.files.FindPath(path);
    ASSERT_NE(node, nullptr) << path;
    ++originals[std::string(node->contents.begin(), node->contents.end())];
    EXPECT_FALSE(pass.Exists(path)) << path;
  }
  EXPECT_EQ(pass.Backups(), originals) << "every removed file, byte for byte, and nothing else";
  for (const char* path :
       {"c:\\windows\\system32\\winmgrs.exe", "c:\\windows\\syswow64\\winmgrs.exe",
        "c:\\windows\\system32\\drivers\\winmgrs.exe"}) {
    EXPECT_EQ(pass.Count(std::string("Found ") + path + " ...Removed"), 1u) << path;
  }

  for (const char* genuine :
       {"C:\\WINDOWS\\SysWOW64\\explorer.exe", "C:\\WINDOWS\\SysWOW64\\regedit.exe",
        "C:\\WINDOWS\\explorer.exe", "C:\\WINDOWS\\regedit.exe"}) {
    EXPECT_TRUE(pass.Exists(genuine)) << genuine;
  }
  EXPECT_EQ(pass.Count("Kept Windows system file c:\\windows\\syswow64\\regedit.exe"), 1u);
  // The sweep looks for explorer.exe there; the digest list names its bytes,
  // which teaches nothing and is reported as a kept match.
  EXPECT_EQ(pass.Count("Kept Windows system file c:\\windows\\syswow64\\explorer.exe"), 1u);
  EXPECT_EQ(pass.Count("Kept Windows system file c:\\windows\\syswow64\\explorer.exe ...its "
                       "contents match a worm"),
            1u);
  EXPECT_EQ(pass.Count("c:\\windows\\syswow64\\explorer.exe ...Identified"), 0u);
  EXPECT_NE(pass.sim.machine.FindProcess(3303), nullptr) << "the 32-bit explorer runs on";

  for (std::uint32_t pid : {3300u, 3301u, 3302u}) {
    EXPECT_EQ(pass.sim.machine.FindProcess(pid), nullptr) << pid;
  }
  EXPECT_EQ(pass.Count("msblast.exe ...Terminated"), 1u);
  EXPECT_EQ(pass.Count("taskmon.exe ...Terminated"), 1u);
  EXPECT_EQ(
      pass.sim.machine.registry.FindKey(std::string(platform::sim::kServicesKey) + "\\avserve"),
      nullptr);

  EXPECT_EQ(
      pass.Count("Found HKLM\\..\\Run\\winmgrs = c:\\windows\\system32\\winmgrs.exe ...Removed"),
      1u);
  EXPECT_EQ(pass.Count("Found HKLM\\..\\Wow6432Node\\..\\Run\\taskmon = "
                       "c:\\windows\\syswow64\\taskmon.exe ...Removed"),
            1u);
  EXPECT_EQ(pass.sim.machine.registry.FindValue(
                "HKLM\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run", "taskmon"),
            nullptr);
  // Windows keeps RunServices apart for 32-bit programs too; each backup
  // names the key the value was taken from, so that it goes back there.
  EXPECT_EQ(pass.Count("Found HKLM\\..\\Wow6432Node\\..\\RunServices\\avserve="
                       "c:\\windows\\syswow64\\avserve.exe ...Removed"),
            1u);
  for (const auto& [backup, key] : std::map<std::string, std::string>{
           {"C:\\Saved\\HKLM Wow6432Node Run taskmon.reg", "Run"},
           {"C:\\Saved\\HKLM Wow6432Node RunServices avserve.reg", "RunServices"}}) {
    const auto* node = pass.sim.machine.files.FindPath(backup);
    ASSERT_NE(node, nullptr) << backup;
    EXPECT_NE(std::string(node->contents.begin(), node->contents.end())
                  .find("[HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Microsoft\\Windows\\"
                        "CurrentVersion\\" +
                        key + "]"),
              std::string::npos)
        << backup;
  }

  // The restart is ordered; the 32-bit program leaves redirection on, as it
  // found it: its system32 still leads to SysWOW64's regedit.exe. (A 64-bit
  // program has no redirection to leave on.)
  EXPECT_EQ(pass.sim.machine.startedProcesses.size(), 1u);
  if (!GetParam()) {
    EXPECT_NE(pass.sim.platform.GetFileAttributesA("C:\\WINDOWS\\system32\\regedit.exe"),
              platform::kInvalidFileAttributes);
  }
}

INSTANTIATE_TEST_SUITE_P(ProgramBitness, Windows64Pass, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                           return info.param ? "Program64" : "Program32UnderWow64";
                         });

TEST(Windows64Pass, TheScenarioKeepsItsBitnessWhenSaved) {
  const Machine machine = platform::sim::LoadScenarioFile(kScenario);
  const Machine again = platform::sim::LoadScenario(platform::sim::SaveScenario(machine));
  EXPECT_TRUE(again.windows64);
  EXPECT_FALSE(again.program64);
  ASSERT_NE(again.FindProcess(3300), nullptr);
  ASSERT_NE(again.FindProcess(3301), nullptr);
  EXPECT_TRUE(again.FindProcess(3300)->is64Bit);
  EXPECT_FALSE(again.FindProcess(3301)->is64Bit);
  EXPECT_EQ(platform::sim::SaveScenario(again), platform::sim::SaveScenario(machine));
}

TEST(Windows64Pass, ThirtyTwoBitWindowsGetsTheDesignedPass) {
  Machine machine = platform::sim::LoadScenarioFile(kScenario);
  machine.windows64 = false;
  machine.RemoveProcess(3303);
  // A worm copy under a system program's name where 32-bit Windows has none.
  machine.files.AddTextFile("C:\\WINDOWS\\system32\\explorer.exe", "MZ worm copy");
  Pass pass(std::move(machine));
  pass.Run(false);
  SCOPED_TRACE(testing::PrintToString(pass.lines));
  EXPECT_EQ(pass.Count("Found c:\\windows\\system32\\explorer.exe ...Removed"), 1u);
  EXPECT_EQ(pass.Count("Found c:\\windows\\system32\\winmgrs.exe ...Removed"), 1u);
  for (const std::string& line : pass.lines) {
    EXPECT_EQ(line.find("Wow6432Node"), std::string::npos) << line;
    EXPECT_EQ(line.find("Kept"), std::string::npos) << line;
  }
  // SysWOW64 is an ordinary folder there, outside the sweep.
  EXPECT_TRUE(pass.Exists("C:\\WINDOWS\\SysWOW64\\winmgrs.exe"));
  EXPECT_TRUE(pass.Exists("C:\\WINDOWS\\SysWOW64\\regedit.exe"));
  EXPECT_TRUE(pass.Exists("C:\\WINDOWS\\explorer.exe"));
}

}  // namespace
}  // namespace quellix
#endif
