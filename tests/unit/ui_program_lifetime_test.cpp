// The single-instance test and what CLOSE tidies up, on the simulated machine.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/SimMachine.h"
#include "platform/sim/SimPlatform.h"
#include "quellix/ui/ProgramLifetime.h"

namespace quellix::ui {
namespace {

using platform::sim::Machine;
using platform::sim::SimPlatform;

constexpr const char* kTemp = "C:\\WINDOWS\\Temp\\";

TEST(ProgramLifetime, SecondCopyIsSeenUntilTheFirstEnds) {
  Machine machine = platform::sim::MakeStandardMachine();
  {
    SimPlatform first(machine);
    EXPECT_FALSE(AnotherCopyRuns(first));
    SimPlatform second(machine);
    EXPECT_TRUE(AnotherCopyRuns(second));
    // The first copy asking again is still the only one.
    EXPECT_FALSE(AnotherCopyRuns(first));
  }
  machine.runningInstances.clear();  // the first copy has ended
  SimPlatform third(machine);
  EXPECT_FALSE(AnotherCopyRuns(third));
}

TEST(ProgramLifetime, ProgramStartsWhenTheTestCannotBeMade) {
  Machine machine = platform::sim::MakeStandardMachine();
  machine.runningInstances.push_back(kInstanceName);
  machine.InjectFault("ClaimInstance", kInstanceName, 5);
  SimPlatform platform(machine);
  EXPECT_FALSE(AnotherCopyRuns(platform));
}

TEST(ProgramLifetime, CloseStopsTheTuneAndDeletesOnlyItsFile) {
  Machine machine = platform::sim::MakeStandardMachine();
  const std::string tune = std::string(kTemp) + "4660.mid";
  machine.files.AddTextFile(tune, "MThd");
  machine.files.AddTextFile(std::string(kTemp) + "46600.mid", "MThd");
  SimPlatform platform(machine);

  EXPECT_EQ(TuneFilePath(platform, 4660), "c:\\windows\\temp\\4660.mid");
  StopTuneAndRemoveFile(platform, 4660);
  EXPECT_EQ(machine.mciCommands, (std::vector<std::string>{"stop midi", "close midi"}));
  EXPECT_EQ(machine.files.FindPath(tune), nullptr);
  EXPECT_NE(machine.files.FindPath(std::string(kTemp) + "46600.mid"), nullptr);
}

TEST(ProgramLifetime, CloseWithoutTuneOrFileStillRunsEveryStep) {
  Machine machine = platform::sim::MakeStandardMachine();
  machine.InjectFault("MciSendStringA", "stop midi", 263);
  SimPlatform platform(machine);
  StopTuneAndRemoveFile(platform, 77);
  EXPECT_EQ(machine.mciCommands.size(), 2u);
  machine.recordMissingTargets = true;
  StopTuneAndRemoveFile(platform, 77);
  const auto deletes = machine.ChangesBy("DeleteFileA");
  ASSERT_EQ(deletes.size(), 1u);
}

}  // namespace
}  // namespace quellix::ui
