#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "quellix/engine/system/AnsiText.h"
#include "quellix/engine/cleanup/WormFileSweep.h"
#include "quellix/engine/cleanup/mdlProcesses.h"
#include "tests/unit/process_fixture.h"

namespace quellix {
namespace {

using Paths = std::vector<std::string>;

// The paths that the literal sweep tries for one worm name, in order, as the
// machine records the deletions it was asked for.
Paths LiteralPaths(const std::string& name) {
  test::DetectionFixture f;
  f.sim.machine.recordMissingTargets = true;
  f.session.InfectionNames = {name};
  KillVirusProcesses(f.session, SweepStrategy::kLiteral);
  Paths paths;
  for (const auto& change : f.sim.machine.ChangesBy("DeleteFileA")) {
    paths.push_back(LowerAnsi(change.target));
  }
  return paths;
}

TEST(SweepGroups, EachGroupTriesItsFoldersInOrder) {
  EXPECT_EQ(LiteralPaths("regedit"),
            (Paths{"c:\\windows\\system\\regedit.exe", "c:\\windows\\system32\\regedit.exe",
                   "c:\\regedit.exe"}));
  EXPECT_EQ(
      LiteralPaths("services"),
      (Paths{"c:\\windows\\services.exe", "c:\\windows\\system\\services.exe",
             "c:\\windows\\temp\\services.exe", "c:\\windows\\system32\\drivers\\services.exe"}));
  EXPECT_EQ(LiteralPaths("setup"), (Paths{"c:\\setup.exe"}));
  EXPECT_EQ(LiteralPaths("lsass"), (Paths{"c:\\windows\\temp\\lsass.exe"}));
  EXPECT_EQ(LiteralPaths("help"),
            (Paths{"c:\\windows\\help.exe", "c:\\windows\\help\\help.exe",
                   "c:\\windows\\system\\help.exe", "c:\\windows\\temp\\help.exe"}));
}

TEST(SweepGroups, AnyOtherNameTriesTheExeComAndScrLists) {
  const std::string s = "c:\\windows\\system32\\";
  const Paths exe = {"c:\\recycler\\w.exe",
                     "c:\\windows\\recycler\\w.exe",
                     "c:\\w.exe",
                     "c:\\windows\\w.exe",
                     "c:\\windows\\system\\w.exe",
                     s + "w.exe",
                     "c:\\windows\\fonts\\svchost.exe",
                     "c:\\windows\\temp\\w.exe",
                     s + "drivers\\w.exe",
                     s + "drivers\\etc\\w.exe",
                     s + "wbem\\w.exe",
                     s + "fonts\\w.exe",
                     "c:\\windows\\java\\java.log\\w.exe",
                     s + "drivers\\helpsys\\w.exe"};
  const Paths com = {"c:\\recycler\\w.com",
                     "c:\\windows\\recycler\\w.com",
                     "c:\\windows\\w.com",
                     "c:\\windows\\system\\w.com",
                     s + "w.com",
                     s + "dllcache\\w.com",
                     "c:\\windows\\temp\\w.com",
                     s + "drivers\\w.com",
                     s + "wbem\\w.com",
                     s + "fonts\\w.com"};
  const Paths scr = {"c:\\windows\\w.scr",
                     "c:\\windows\\system\\w.scr",
                     s + "w.scr",
                     s + "dllcache\\w.scr",
                     "c:\\windows\\temp\\w.scr",
                     s + "drivers\\w.scr",
                     s + "wbem\\w.scr",
                     s + "fonts\\w.scr"};
  Paths all = exe;
  all.insert(all.end(), com.begin(), com.end());
  all.insert(all.end(), scr.begin(), scr.end());
  EXPECT_EQ(LiteralPaths("w"), all);
}

// A 32-bit worm that drops itself into system32 on a 64-bit Windows lands in
// SysWOW64, except in drivers\etc, which Windows does not redirect.
TEST(SweepGroups, On64BitWindowsEachSystemPlaceIsFollowedByItsSysWow64TwinButDriversEtc) {
  RunValues run;
  run.SystemDir = "c:\\windows\\system32";
  run.WindowsDir = "c:\\windows";
  run.TempDir = "c:\\windows\\temp\\";
  run.RootDir = "c:\\";
  run.SysWow64Dir = "c:\\windows\\syswow64";
  const std::string s = "c:\\windows\\system32\\";
  const std::string wow = "c:\\windows\\syswow64\\";
  Paths twins;
  std::string previous;
  for (const SweepTarget& target : SweepTargets("w", run)) {
    const std::string path = target.Path();
    if (path.compare(0, wow.size(), wow) == 0) {
      twins.push_back(path.substr(wow.size()));
      EXPECT_EQ(previous, s + twins.back()) << "a twin comes right after its original";
    }
    previous = path;
  }
  EXPECT_EQ(twins, (Paths{"w.exe", "drivers\\w.exe", "wbem\\w.exe", "fonts\\w.exe",
                          "drivers\\helpsys\\w.exe", "w.com", "dllcache\\w.com", "drivers\\w.com",
                          "wbem\\w.com", "fonts\\w.com", "w.scr", "dllcache\\w.scr",
                          "drivers\\w.scr", "wbem\\w.scr", "fonts\\w.scr"}));
}

TEST(SweepGroups, ExceptionsOfTheComAndScrLists) {
  const Paths command = LiteralPaths("command");
  EXPECT_EQ(command.size(), 14u + 8u) << "no .com files for command";
  for (const std::string& path : command) EXPECT_EQ(path.find(".com"), std::string::npos) << path;
  const Paths logon = LiteralPaths("logon");
  EXPECT_EQ(logon.size(), 14u + 10u + 6u);
  EXPECT_EQ(std::count(logon.begin(), logon.end(), "c:\\windows\\system32\\logon.scr"), 0);
  EXPECT_EQ(std::count(logon.begin(), logon.end(), "c:\\windows\\system32\\dllcache\\logon.scr"),
            0);
}

TEST(SweepGroups, SweepsWormNamesNotSeedNamesAndEveryFoundFileInOrder) {
  test::DetectionFixture f;
  f.session.InfectionNames = {"aaa", "services"};
  for (const char* path : {"C:\\WINDOWS\\TEMP\\services.exe", "C:\\WINDOWS\\aaa.scr", "C:\\aaa.exe",
                           "C:\\WINDOWS\\explorer.exe.bak", "C:\\WINDOWS\\system32\\ctfmon.exe"}) {
    f.sim.machine.files.AddTextFile(path, path);
  }
  KillVirusProcesses(f.session);
  EXPECT_EQ(f.Lines(),
            (std::vector<std::string>{
                "Looking For Virus Processes...", "Looking For Virus Files...",
                "Successfully backed up \"aaa.exe\"", "Found c:\\aaa.exe ...Removed",
                "Successfully backed up \"aaa.scr\"", "Found c:\\windows\\aaa.scr ...Removed",
                "Successfully backed up \"services.exe\"",
                "Found c:\\windows\\temp\\services.exe ...Removed"}));
  EXPECT_TRUE(f.Exists("C:\\WINDOWS\\system32\\ctfmon.exe"));
}

}  // namespace
}  // namespace quellix
