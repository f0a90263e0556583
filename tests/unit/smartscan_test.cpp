#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "quellix/engine/detection/MD5Hash.h"
#include "quellix/engine/cleanup/mdlProcesses.h"
#include "quellix/engine/detection/mdlSmartScan.h"
#include "tests/unit/process_fixture.h"

namespace quellix {
namespace {

using Lines = std::vector<std::string>;
constexpr const char* kRun = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kUserRun = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kRunServices =
    "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\RunServices";

class SmartScanTest : public testing::Test {
 protected:
  SmartScanTest() {
    f.session.KnownDigests.clear();
    f.session.frmMain.lstKeys.clear();
  }

  // Puts a worm file on the machine and lists the digest of its bytes.
  void AddKnownWorm(const std::string& path, const std::string& bytes) {
    f.sim.machine.files.AddTextFile(path, bytes);
    MD5Hash md5(f.sim.platform, f.sim.host);
    f.session.KnownDigests.push_back(
        md5.HashBytes(std::vector<std::uint8_t>(bytes.begin(), bytes.end())));
  }

  bool Knows(const std::string& name) const {
    const auto& names = f.session.InfectionNames;
    return std::find(names.begin(), names.end(), name) != names.end();
  }

  Lines ScanLines() {
    const Lines all = f.Lines();
    Lines lines;
    for (const auto& line : all) {
      if (line.find("SmartScanning") == std::string::npos &&
          line != "Looking For Virus Services...") {
        lines.push_back(line);
      }
    }
    return lines;
  }

  test::DetectionFixture f;
};

TEST_F(SmartScanTest, WithoutKnownDigestsNothingIsIdentifiedAndTheStepsAreLogged) {
  f.sim.machine.registry.SetString(kRun, "tray", "c:\\windows\\tray.exe");
  SmartScan(f.session);
  EXPECT_EQ(f.Lines(), (Lines{"SmartScanning Registry Items...", "SmartScanning AutoRuns...",
                              "Looking For Virus Services..."}));
  EXPECT_TRUE(f.session.frmMain.lstIdentifiedByMD5.empty());
  EXPECT_TRUE(f.session.frmMain.lstKeys.empty());
}

TEST_F(SmartScanTest, ARunningWormIsIdentifiedLearnedAndThenTerminatedAndDeleted) {
  AddKnownWorm("C:\\Program Files\\Tools\\Zmsgr.exe", "a new worm");
  f.sim.machine.AddProcess(3000, "C:\\Program Files\\Tools\\Zmsgr.exe");
  SmartScan(f.session);
  EXPECT_EQ(ScanLines(), (Lines{"c:\\program files\\tools\\zmsgr.exe ...Identified"}));
  EXPECT_TRUE(Knows("zmsgr"));
  EXPECT_TRUE(std::is_sorted(f.session.InfectionNames.begin(), f.session.InfectionNames.end()));
  EXPECT_EQ(f.session.frmMain.lstIdentifiedByMD5, (Lines{"c:\\program files\\tools\\zmsgr.exe"}));

  EXPECT_TRUE(KillVirusProcesses(f.session));
  EXPECT_EQ(f.sim.machine.FindProcess(3000), nullptr);
  EXPECT_FALSE(f.Exists("C:\\Program Files\\Tools\\Zmsgr.exe"));
  const auto lines = f.Lines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "zmsgr.exe ...Terminated"), lines.end());
  EXPECT_NE(
      std::find(lines.begin(), lines.end(), "Found c:\\program files\\tools\\zmsgr.exe ...Removed"),
      lines.end());
}

TEST_F(SmartScanTest, AKnownNameIsNotLearnedTwiceAndADoubleDigestCountsTwice) {
  AddKnownWorm("C:\\RECYCLER\\svchost.exe", "fake svchost");
  f.session.KnownDigests.push_back(f.session.KnownDigests.back());
  f.sim.machine.AddProcess(3000, "C:\\RECYCLER\\svchost.exe");
  f.session.InfectionNames = {"svchost"};
  SmartScan(f.session);
  EXPECT_EQ(ScanLines(), (Lines{"c:\\recycler\\svchost.exe ...Identified",
                                "c:\\recycler\\svchost.exe ...Identified"}));
  EXPECT_EQ(f.session.InfectionNames, (Lines{"svchost"}));
  EXPECT_EQ(f.session.frmMain.lstIdentifiedByMD5.size(), 2u);
}

TEST_F(SmartScanTest, RunKeyProgramsAreHashedUnquotedAndCutAfterExe) {
  AddKnownWorm("C:\\Program Files\\Bad App\\Bad Worm.exe", "quoted worm");
  AddKnownWorm("C:\\WINDOWS\\svc host.exe", "service worm");
  f.sim.machine.registry.SetString(kUserRun, "Bad",
                                   "\"C:\\Program Files\\Bad App\\Bad Worm.exe\" /start now");
  f.sim.machine.registry.SetString(kRunServices, "Svc", "c:\\windows\\svc host.exe");
  f.sim.machine.registry.SetString(kRun, "Fine", "c:\\windows\\notepad.exe");
  SmartScan(f.session);
  EXPECT_EQ(ScanLines(), (Lines{"bad worm.exe ...Identified", "svc host.exe ...Identified"}));
  EXPECT_EQ(f.session.frmMain.lstIdentifiedByMD5,
            (Lines{"c:\\program files\\bad app\\bad worm.exe", "c:\\windows\\svc host.exe"}));
  EXPECT_TRUE(Knows("bad worm"));
  EXPECT_TRUE(Knows("svc host"));
  EXPECT_TRUE(f.session.frmMain.lstKeys.empty());
}

// A blank line of a digest list is no digest: an empty or unreadable file,
// whose digest reads as blank, matches nothing.
TEST_F(SmartScanTest, AnEmptyFileNamedByARunValueMatchesNoBlankEntry) {
  f.session.KnownDigests.push_back("");
  f.sim.machine.files.AddTextFile("C:\\WINDOWS\\hollow.exe", "");
  f.sim.machine.registry.SetString(kRun, "hollow", "c:\\windows\\hollow.exe");
  f.sim.machine.registry.SetString(kRun, "gone", "c:\\windows\\gone.exe");
  ScanRunKeysByMD5(f.session);
  EXPECT_TRUE(f.Lines().empty());
  EXPECT_TRUE(f.session.frmMain.lstIdentifiedByMD5.empty());
  EXPECT_FALSE(Knows("hollow"));
  EXPECT_FALSE(Knows("gone"));
}

TEST_F(SmartScanTest, ARunProgramWhoseNameIsKnownIsSkippedEntirely) {
  AddKnownWorm("C:\\WINDOWS\\winmgrs.exe", "winmgrs");
  f.session.KnownDigests.push_back(f.session.KnownDigests.back());
  f.session.InfectionNames = {"winmgrs"};
  f.sim.machine.registry.SetString(kRun, "winmgrs", "c:\\windows\\WinMgrs.exe -s");
  ScanRunKeysByMD5(f.session);
  EXPECT_TRUE(f.Lines().empty());
  EXPECT_TRUE(f.session.frmMain.lstIdentifiedByMD5.empty());
  EXPECT_EQ(f.session.InfectionNames, (Lines{"winmgrs"}));
}

TEST_F(SmartScanTest, ANewRunProgramListedTwiceIsReportedOnce) {
  AddKnownWorm("C:\\WINDOWS\\newbie.exe", "newbie");
  f.session.KnownDigests.push_back(f.session.KnownDigests.back());
  f.sim.machine.registry.SetString(kRun, "n", "c:\\windows\\newbie.exe");
  ScanRunKeysByMD5(f.session);
  EXPECT_EQ(f.Lines(), (Lines{"newbie.exe ...Identified"}));
}

TEST_F(SmartScanTest, AutorunTargetsOfScannableDrivesAreChecked) {
  f.sim.machine.AddDrive('E', platform::kDriveRemovable);
  f.sim.machine.AddDrive('F', platform::kDriveCdrom);
  AddKnownWorm("E:\\setup.exe", "setup worm");
  AddKnownWorm("E:\\x.bat", "bat worm");
  AddKnownWorm("C:\\tools\\run.com", "com worm");
  f.sim.machine.files.AddTextFile("E:\\autorun.inf",
                                  "[autorun]\r\nopen=setup.exe /auto\r\nicon=setup.ico\r\n"
                                  "shell\\open\\command=x.bat\r\nlabel=Stick\r\n");
  f.sim.machine.files.FindPath("E:\\autorun.inf")->attributes |= platform::kFileAttributeHidden;
  f.sim.machine.files.AddTextFile("C:\\AUTORUN.INF", "[AutoRun]\r\nOpen=C:\\tools\\run.com x\r\n");
  f.sim.machine.files.AddTextFile("F:\\autorun.inf", "open=setup.exe\r\n");
  AddKnownWorm("F:\\setup.exe", "cd worm");
  ScanAutorunFiles(f.session);
  EXPECT_EQ(f.Lines(), (Lines{"C:\\tools\\run.com ...Identified", "e:\\setup.exe ...Identified",
                              "e:\\x.bat ...Identified"}));
  EXPECT_TRUE(Knows("setup"));
  EXPECT_TRUE(Knows("x"));
  EXPECT_FALSE(Knows("tools\\run")) << "a stem with a folder in it is no worm name";
  EXPECT_EQ(f.session.frmMain.lstIdentifiedByMD5,
            (Lines{"C:\\tools\\run.com", "e:\\setup.exe", "e:\\x.bat"}));
}

// A stick's autorun.inf names the copy of a system program that it carries;
// the names it teaches must not lead the sweep to the system's own file of
// that path, whose digest is not listed.
TEST_F(SmartScanTest, AnAutorunTargetInASubFolderTeachesNoNameAndTheSystemFileSurvives) {
  f.sim.machine.AddDrive('E', platform::kDriveRemovable);
  AddKnownWorm("E:\\WINDOWS\\system32\\userinit.exe", "worm posing as userinit");
  AddKnownWorm("E:\\dots..name.exe", "worm with two dots");
  f.sim.machine.files.AddTextFile("E:\\autorun.inf",
                                  "[autorun]\r\nopen=windows\\system32\\userinit.exe\r\n"
                                  "shell\\a\\command=..\\WINDOWS\\system32\\userinit.exe\r\n"
                                  "shell\\b\\command=e:/windows/system32/userinit.exe\r\n"
                                  "shell\\c\\command=dots..name.exe\r\n");
  const auto namesBefore = f.session.InfectionNames;
  SmartScan(f.session);
  EXPECT_EQ(f.session.InfectionNames, namesBefore);
  EXPECT_EQ(f.session.frmMain.lstIdentifiedByMD5,
            (Lines{"e:\\windows\\system32\\userinit.exe", "e:\\..\\WINDOWS\\system32\\userinit.exe",
                   "e:/windows/system32/userinit.exe", "e:\\dots..name.exe"}));

  const auto systemCopy = f.Bytes("C:\\WINDOWS\\system32\\userinit.exe");
  ASSERT_FALSE(systemCopy.empty());
  KillVirusProcesses(f.session);
  EXPECT_EQ(f.Bytes("C:\\WINDOWS\\system32\\userinit.exe"), systemCopy);
  EXPECT_FALSE(f.Exists("E:\\WINDOWS\\system32\\userinit.exe"));
}

TEST_F(SmartScanTest, OnlyAutorunInfIsReadAmongTheInfFilesOfADriveRoot) {
  f.sim.machine.AddDrive('E', platform::kDriveRemovable);
  AddKnownWorm("E:\\driver.exe", "driver worm");
  f.sim.machine.files.AddTextFile("E:\\setup.inf", "[x]\r\nopen=driver.exe\r\n");
  f.sim.machine.files.AddTextFile("E:\\autorun.inf.inf", "open=driver.exe\r\n");
  ScanAutorunFiles(f.session);
  EXPECT_TRUE(f.session.frmMain.lstIdentifiedByMD5.empty());
}

// A program too short to have a stem, or one named drive-relative ("e:x.exe",
// whose stem keeps the drive), teaches no name and must not be queued once
// per matching signature.
TEST_F(SmartScanTest, RunProgramsWithoutABareStemAreQueuedOnceAndTeachNoName) {
  f.sim.machine.AddDrive('E', platform::kDriveFixed);
  AddKnownWorm("C:\\ab", "short worm");
  f.session.KnownDigests.push_back(f.session.KnownDigests.back());
  AddKnownWorm("E:\\wormy.exe", "drive-relative worm");
  f.session.KnownDigests.push_back(f.session.KnownDigests.back());
  f.sim.machine.registry.SetString(kRun, "short", "c:\\ab");
  f.sim.machine.registry.SetString(kRun, "relative", "e:wormy.exe");
  const auto namesBefore = f.session.InfectionNames;
  ScanRunKeysByMD5(f.session);
  EXPECT_EQ(f.session.frmMain.lstIdentifiedByMD5, (Lines{"c:\\ab", "e:wormy.exe"}));
  EXPECT_EQ(f.Lines(), (Lines{"ab ...Identified", "e:wormy.exe ...Identified"}));
  EXPECT_EQ(f.session.InfectionNames, namesBefore);
}

TEST_F(SmartScanTest, StripArgumentsCutsAfterTheFirstProgramExtension) {
  EXPECT_EQ(StripArguments("\"C:\\A B\\x.EXE\" -s"), "C:\\A B\\x.EXE");
  EXPECT_EQ(StripArguments("c:\\x.com /y"), "c:\\x.com");
  EXPECT_EQ(StripArguments("c:\\x.cmd a.exe b"), "c:\\x.cmd a.exe");
  EXPECT_EQ(StripArguments("c:\\x.bat y"), "c:\\x.bat y");
  EXPECT_EQ(StripArguments("c:\\x.exe"), "c:\\x.exe");
}

}  // namespace
}  // namespace quellix
