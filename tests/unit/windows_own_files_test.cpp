// Which files Windows owns: the system's own answer wherever it gives one,
// asked in the native view, and the fallback table per release and bitness
// only where it cannot answer.
#include <gtest/gtest.h>

#include <string>

#include "platform/WindowsOwnFiles.h"
#include "platform/sim/SimMachine.h"
#include "platform/sim/SimPlatform.h"

namespace {

using platform::sim::FileProtection;
using platform::sim::Machine;

constexpr const char* kSystem32 = "C:\\WINDOWS\\system32\\";
constexpr const char* kSysWow64 = "C:\\WINDOWS\\SysWOW64\\";

Machine Windows10x64(FileProtection protection) {
  Machine machine = platform::sim::MakeStandardMachine();
  machine.windows64 = true;
  machine.version = {10, 0, 19045};
  machine.fileProtection = protection;
  machine.files.AddFolder("C:\\WINDOWS\\SysWOW64");
  return machine;
}

TEST(WindowsOwnFiles, TheSystemsAnswerDecidesWhereItGivesOne) {
  Machine machine = platform::sim::MakeStandardMachine();
  // A worm under a name the XP table lists, and a genuine file it does not.
  machine.files.AddTextFile(std::string(kSystem32) + "wscntfy.exe", "worm");
  machine.files.AddTextFile(std::string(kSystem32) + "msgina.dll", "gina").windowsProtected = true;
  platform::sim::SimPlatform sim(machine);
  const platform::WindowsOwnFiles identity(sim);
  ASSERT_TRUE(identity.SystemAnswers());
  EXPECT_FALSE(identity.IsWindowsOwn(std::string(kSystem32) + "wscntfy.exe"));
  EXPECT_TRUE(identity.IsWindowsOwn(std::string(kSystem32) + "msgina.dll"));
  EXPECT_TRUE(identity.IsWindowsOwn("C:\\WINDOWS\\notepad.exe"));
}

TEST(WindowsOwnFiles, AWow64ProgramAsksInTheNativeViewAndLeavesRedirectionOn) {
  Machine machine = Windows10x64(FileProtection::kAnswers);
  machine.files.AddTextFile(std::string(kSystem32) + "dwm.exe", "dwm").windowsProtected = true;
  machine.files.AddTextFile(std::string(kSysWow64) + "kernel32.dll", "32").windowsProtected = true;
  machine.files.AddTextFile(std::string(kSysWow64) + "dwm.exe", "a worm in SysWOW64");
  platform::sim::SimPlatform sim(machine);
  const platform::WindowsOwnFiles identity(sim);
  EXPECT_TRUE(identity.SystemAnswers());
  EXPECT_TRUE(identity.IsWindowsOwn(std::string(kSystem32) + "dwm.exe"));
  EXPECT_FALSE(identity.IsWindowsOwn(std::string(kSysWow64) + "dwm.exe"));
  EXPECT_EQ(sim.GetFileAttributesA(std::string(kSystem32) + "ntdll.dll"),
            platform::kInvalidFileAttributes)
      << "redirection is back on: system32 leads to SysWOW64 again";
}

TEST(WindowsOwnFiles, WithoutAnAnswerTheTableDecidesByReleaseBitnessAndPlace) {
  for (FileProtection protection : {FileProtection::kStub, FileProtection::kMissing}) {
    Machine machine = Windows10x64(protection);
    platform::sim::SimPlatform sim(machine);
    const platform::WindowsOwnFiles identity(sim);
    EXPECT_FALSE(identity.SystemAnswers());
    const auto own = [&](const std::string& path) { return identity.IsWindowsOwn(path); };
    EXPECT_TRUE(own(std::string(kSystem32) + "conhost.exe"));
    EXPECT_TRUE(own(std::string(kSystem32) + "wininit.exe"));
    EXPECT_TRUE(own(std::string(kSysWow64) + "userinit.exe"));
    EXPECT_TRUE(own("C:\\WINDOWS\\notepad.exe"));
    EXPECT_TRUE(own("c:/windows/./SYSTEM32/wbem/../Userinit.EXE. "));
    EXPECT_FALSE(own(std::string(kSysWow64) + "lsass.exe")) << "no lsass in SysWOW64";
    EXPECT_FALSE(own(std::string(kSysWow64) + "conhost.exe"));
    EXPECT_FALSE(own(std::string(kSystem32) + "wscntfy.exe")) << "Windows 10 ships none";
    EXPECT_FALSE(own("C:\\WINDOWS\\ehome\\ehsched.exe")) << "Media Center ended with 7";
    EXPECT_FALSE(own("C:\\WINDOWS\\system\\lsass.exe"));
    EXPECT_FALSE(own("C:\\lsass.exe"));
  }

  Machine xp = platform::sim::MakeStandardMachine();
  xp.fileProtection = FileProtection::kStub;
  platform::sim::SimPlatform sim(xp);
  const platform::WindowsOwnFiles identity(sim);
  EXPECT_TRUE(identity.IsWindowsOwn(std::string(kSystem32) + "wscntfy.exe"));
  EXPECT_TRUE(identity.IsWindowsOwn(std::string(kSystem32) + "ctfmon.exe"));
  EXPECT_TRUE(identity.IsWindowsOwn("C:\\WINDOWS\\ehome\\ehsched.exe"));
  EXPECT_FALSE(identity.IsWindowsOwn(std::string(kSystem32) + "conhost.exe"));
  EXPECT_FALSE(identity.IsWindowsOwn(std::string(kSystem32) + "wininit.exe"));
}

TEST(WindowsOwnFiles, ReleasesFollowTheVersionNumbers) {
  using platform::ReleaseOf;
  using platform::WindowsRelease;
  EXPECT_EQ(ReleaseOf({5, 0, 2195}), WindowsRelease::k2000);
  EXPECT_EQ(ReleaseOf({5, 1, 2600}), WindowsRelease::kXp);
  EXPECT_EQ(ReleaseOf({5, 2, 3790}), WindowsRelease::k2003);
  EXPECT_EQ(ReleaseOf({6, 0, 6002}), WindowsRelease::kVista);
  EXPECT_EQ(ReleaseOf({6, 1, 7601}), WindowsRelease::k7);
  EXPECT_EQ(ReleaseOf({6, 2, 9200}), WindowsRelease::k8);
  EXPECT_EQ(ReleaseOf({6, 3, 9600}), WindowsRelease::k8_1);
  EXPECT_EQ(ReleaseOf({10, 0, 19045}), WindowsRelease::k10);
  EXPECT_EQ(ReleaseOf({10, 0, 22631}), WindowsRelease::k11);
}

}  // namespace
