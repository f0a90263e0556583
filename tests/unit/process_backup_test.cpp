#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "quellix/engine/cleanup/BackupAndDeleteFile.h"
#include "tests/unit/process_fixture.h"

namespace quellix {
namespace {

using Lines = std::vector<std::string>;

constexpr const char* kWorm = "C:\\WINDOWS\\wormy.exe";
constexpr const char* kWormLower = "c:\\windows\\wormy.exe";

std::vector<std::uint8_t> Text(const std::string& text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

class BackupAndDelete : public testing::Test {
 protected:
  bool Run(const std::string& path = kWormLower) { return BackupAndDeleteFile(f.session, path); }
  test::DetectionFixture f;
};

TEST_F(BackupAndDelete, BacksUpAsDotBackThenDeletesReadOnlyAndHiddenFilesToo) {
  f.sim.machine.files.AddTextFile(
      kWorm, "worm bytes", platform::kFileAttributeReadOnly | platform::kFileAttributeHidden);
  EXPECT_TRUE(Run());
  EXPECT_FALSE(f.Exists(kWorm));
  EXPECT_EQ(f.Bytes("C:\\backup\\wormy.exe.back"), Text("worm bytes"));
  EXPECT_EQ(f.Lines(), (Lines{"Successfully backed up \"wormy.exe\"",
                              "Found c:\\windows\\wormy.exe ...Removed"}));
}

// A Run value may name its program drive-relative ("e:wormy.exe") or with
// forward slashes: the copy is named after the file alone, or no copy can be
// made and the worm stays.
TEST_F(BackupAndDelete, AProgramNamedDriveRelativeOrWithSlashesIsBackedUpUnderItsFileName) {
  f.sim.machine.AddDrive('E', platform::kDriveFixed);
  f.sim.machine.files.AddTextFile("E:\\wormy.exe", "relative worm");
  f.sim.machine.files.AddTextFile("C:\\WINDOWS\\slashed.exe", "slashed worm");
  EXPECT_TRUE(Run("e:wormy.exe"));
  EXPECT_TRUE(Run("c:/windows/slashed.exe"));
  EXPECT_FALSE(f.Exists("E:\\wormy.exe"));
  EXPECT_FALSE(f.Exists("C:\\WINDOWS\\slashed.exe"));
  EXPECT_EQ(f.Bytes("C:\\backup\\wormy.exe.back"), Text("relative worm"));
  EXPECT_EQ(f.Bytes("C:\\backup\\slashed.exe.back"), Text("slashed worm"));
}

TEST_F(BackupAndDelete, MissingFileIsSilentAndLeavesNoTrace) {
  EXPECT_FALSE(Run());
  EXPECT_FALSE(Run("c:\\no such folder\\wormy.exe"));
  EXPECT_TRUE(f.Lines().empty());
  EXPECT_TRUE(f.sim.machine.changes.empty());
}

TEST_F(BackupAndDelete, AnExistingBackupWithTheSameBytesCountsAsTheBackup) {
  f.sim.machine.files.AddTextFile(kWorm, "worm bytes");
  f.sim.machine.files.AddTextFile("C:\\backup\\wormy.exe.back", "worm bytes");
  EXPECT_TRUE(Run());
  EXPECT_FALSE(f.Exists(kWorm));
  EXPECT_FALSE(f.Exists("C:\\backup\\wormy.exe (2).back"));
  EXPECT_EQ(f.Lines(), (Lines{"Found c:\\windows\\wormy.exe ...Removed"}));
}

// A taken backup name answers "file exists" or, from some file systems,
// "already exists"; either leads to the next number, never to a deletion
// without a copy.
TEST_F(BackupAndDelete, AnExistingBackupWithOtherBytesIsKeptAndANumberedOneMade) {
  for (const long takenAnswer : {platform::error::kFileExists, platform::error::kAlreadyExists}) {
    SCOPED_TRACE(takenAnswer);
    test::DetectionFixture g;
    g.sim.machine.files.AddTextFile(kWorm, "new worm");
    g.sim.machine.files.AddTextFile("C:\\backup\\wormy.exe.back", "old worm");
    g.sim.machine.files.AddTextFile("C:\\backup\\wormy.exe (2).back", "older worm");
    for (const char* taken : {"C:\\backup\\wormy.exe.back", "C:\\backup\\wormy.exe (2).back"}) {
      g.sim.machine.InjectFault("CopyFileA", taken, static_cast<std::uint32_t>(takenAnswer));
    }
    EXPECT_TRUE(BackupAndDeleteFile(g.session, kWormLower));
    EXPECT_FALSE(g.Exists(kWorm));
    EXPECT_EQ(g.Bytes("C:\\backup\\wormy.exe.back"), Text("old worm"));
    EXPECT_EQ(g.Bytes("C:\\backup\\wormy.exe (2).back"), Text("older worm"));
    EXPECT_EQ(g.Bytes("C:\\backup\\wormy.exe (3).back"), Text("new worm"));
    EXPECT_EQ(g.Lines(), (Lines{"Successfully backed up \"wormy.exe\"",
                                "Found c:\\windows\\wormy.exe ...Removed"}));

    // The same bytes met again under a numbered backup count as backed up.
    g.sim.machine.files.AddTextFile(kWorm, "new worm");
    EXPECT_TRUE(BackupAndDeleteFile(g.session, kWormLower));
    EXPECT_FALSE(g.Exists("C:\\backup\\wormy.exe (4).back"));
  }
}

TEST_F(BackupAndDelete, NoBackupNoDeletion) {
  struct Case {
    const char* what;
    void (*breakIt)(platform::sim::Machine&);
  };
  const Case cases[] = {
      {"backup folder gone", [](platform::sim::Machine& m) { m.files.RemovePath("C:\\backup"); }},
      {"disk full", [](platform::sim::Machine& m) { m.FillDisk(); }},
      {"copy refused", [](platform::sim::Machine& m) { m.InjectFault("CopyFileA", "", 5); }},
      {"file locked", [](platform::sim::Machine& m) { m.files.FindPath(kWorm)->locked = true; }},
      // Only "not found" from the attribute query means the file is gone.
      {"copy refused, attribute query refused",
       [](platform::sim::Machine& m) {
         m.InjectFault("CopyFileA", "", 32);
         m.InjectFault("GetFileAttributesA", "", 5);
       }},
  };
  constexpr std::uint32_t kMarks = platform::kFileAttributeReadOnly |
                                   platform::kFileAttributeHidden | platform::kFileAttributeSystem;
  for (const Case& c : cases) {
    test::DetectionFixture g;
    g.sim.machine.files.AddTextFile(kWorm, "worm bytes", kMarks);
    c.breakIt(g.sim.machine);
    EXPECT_FALSE(BackupAndDeleteFile(g.session, kWormLower)) << c.what;
    ASSERT_TRUE(g.Exists(kWorm)) << c.what;
    if (std::string(c.what).find("attribute query") == std::string::npos) {
      EXPECT_EQ(g.sim.machine.files.FindPath(kWorm)->attributes, kMarks) << c.what;
    }
    EXPECT_TRUE(g.sim.machine.ChangesBy("DeleteFileA").empty()) << c.what;
    EXPECT_EQ(g.Lines(), (Lines{"Found c:\\windows\\wormy.exe ...Unable To Remove!!"})) << c.what;
  }
}

TEST_F(BackupAndDelete, ARunningImageIsBackedUpAndReportedAsNotRemoved) {
  f.sim.machine.files.AddTextFile(kWorm, "worm bytes");
  f.sim.machine.AddProcess(3000, kWorm);
  f.sim.machine.files.FindPath(kWorm)->attributes = platform::kFileAttributeHidden;
  EXPECT_FALSE(Run());
  ASSERT_TRUE(f.Exists(kWorm));
  EXPECT_EQ(f.sim.machine.files.FindPath(kWorm)->attributes, platform::kFileAttributeHidden);
  EXPECT_EQ(f.Bytes("C:\\backup\\wormy.exe.back"), Text("worm bytes"));
  EXPECT_EQ(f.Lines(), (Lines{"Successfully backed up \"wormy.exe\"",
                              "Found c:\\windows\\wormy.exe ...Unable To Remove!!"}));
}

TEST_F(BackupAndDelete, ADeleteFailingForAnotherReasonIsNotLogged) {
  f.sim.machine.files.AddTextFile(kWorm, "worm bytes");
  f.sim.machine.InjectFault("DeleteFileA", "", 32);
  EXPECT_FALSE(Run());
  EXPECT_EQ(f.Lines(), (Lines{"Successfully backed up \"wormy.exe\""}));
}

}  // namespace
}  // namespace quellix
