#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "quellix/engine/session/Session.h"
#include "quellix/engine/cleanup/mdlServices.h"
#include "tests/support/RunLog.h"
#include "tests/support/SimQuellix.h"
#include "tests/support/TestText.h"

namespace quellix {
namespace {

using Lines = std::vector<std::string>;
using platform::sim::kServicesKey;

std::string ServiceKey(const std::string& name) { return std::string(kServicesKey) + "\\" + name; }

class ServicesTest : public testing::Test {
 protected:
  ServicesTest() {
    session.run.BackupDir = "c:\\saved\\";
    sim.machine.files.AddFolder("C:\\saved");
  }

  Lines DetailLines() const { return test::NonEmptyDetailLines(sim.host.details); }

  bool KeyExists(const std::string& name) const {
    return sim.machine.registry.FindKey(ServiceKey(name)) != nullptr;
  }

  std::string FileText(const std::string& path) {
    const auto bytes = test::ReadWholeFile(sim.platform, path);
    return std::string(bytes.begin(), bytes.end());
  }

  test::SimQuellix sim;
  BuiltPhases phases;
  Session session{sim.platform, sim.host, sim.language, phases};
};

TEST_F(ServicesTest, TheStandardMachinesServicesAreLeftAlone) {
  // svchost, services, lsass and spoolsv are listed names as well.
  EXPECT_FALSE(RemoveVirusServices(session));
  EXPECT_TRUE(DetailLines().empty());
  EXPECT_TRUE(sim.machine.changes.empty());
  ASSERT_FALSE(sim.host.prog1.empty());
  EXPECT_EQ(sim.host.prog1.front(), 0);
  EXPECT_EQ(sim.host.prog1.back(), 100);
  EXPECT_EQ(sim.host.prog2, (std::vector<double>{20}));
}

// A sub-key whose name does not fit the buffer is passed over, not taken for
// the end of the list.
TEST_F(ServicesTest, AServicesListingReportingMoreDataBeforeTheWormStillFindsIt) {
  session.InfectionNames = {"zzworm"};
  sim.machine.AddService("ZzWorm", "C:\\WINDOWS\\zzworm.exe");
  sim.machine.InjectFault("RegEnumKeyExA", kServicesKey, platform::error::kMoreData, 1);
  EXPECT_TRUE(RemoveVirusServices(session));
  EXPECT_FALSE(KeyExists("ZzWorm"));
}

// Only a value of the image-path name that has data gives the path.
TEST_F(ServicesTest, ALaterEmptyImagePathValueKeepsTheRealPath) {
  sim.machine.AddService("AvServe", "C:\\WINDOWS\\avserve.exe");
  sim.machine.registry.SetValue(ServiceKey("AvServe"), "ImagePathBackup", platform::kRegSz, {});
  EXPECT_TRUE(RemoveVirusServices(session));
  EXPECT_FALSE(KeyExists("AvServe"));
}

TEST_F(ServicesTest, WormServiceIsStoppedBackedUpAndDeletedWithItsSubKeys) {
  sim.machine.AddService("AvServe", "C:\\WINDOWS\\avserve.exe -service");
  auto& reg = sim.machine.registry;
  reg.SetDword(ServiceKey("AvServe\\Security"), "Security", 1);
  reg.SetString(ServiceKey("AvServe\\Enum"), "0", "Root\\LEGACY_AVSERVE\\0000");
  reg.SetDword(ServiceKey("AvServe\\Enum\\Deeper\\Deepest"), "Count", 2);
  EXPECT_TRUE(RemoveVirusServices(session));
  EXPECT_EQ(DetailLines(), (Lines{"Found \"AvServe\" c:\\windows\\avserve.exe ...Stopped\"",
                                  "Successfully backed up \"AvServe\""}));
  EXPECT_FALSE(KeyExists("AvServe"));
  ASSERT_NE(sim.machine.FindService("AvServe"), nullptr);
  EXPECT_FALSE(sim.machine.FindService("AvServe")->running);
  EXPECT_EQ(session.frmMain.lstInfectedKeys, (ItemList{"lstInfectedKeys", "AvServe"}));

  const std::string backup = FileText("c:\\saved\\AvServe.reg");
  EXPECT_EQ(
      backup.rfind("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\"
                   "AvServe]\r\n",
                   0),
      0u);
  for (const char* block :
       {"\r\n[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\AvServe\\Enum]\r\n"
        "\"0\"=\"Root\\\\LEGACY_AVSERVE\\\\0000\"\r\n\r\n",
        "\r\n[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\AvServe\\Enum\\Deeper\\"
        "Deepest]\r\n\"Count\"=dword:00000002\r\n\r\n",
        "\r\n[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\AvServe\\Security]\r\n"
        "\"Security\"=dword:00000001\r\n\r\n"}) {
    EXPECT_NE(backup.find(block), std::string::npos) << block;
  }
  // The export was finished before the first deletion.
  const auto& changes = sim.machine.changes;
  const auto written = std::find_if(changes.begin(), changes.end(),
                                    [](const auto& c) { return c.call == "WriteFile"; });
  const auto deleted = std::find_if(changes.begin(), changes.end(),
                                    [](const auto& c) { return c.call == "RegDeleteKeyA"; });
  ASSERT_NE(written, changes.end());
  EXPECT_LT(written - changes.begin(), deleted - changes.begin());
}

TEST_F(ServicesTest, ServiceThatWillNotStopIsStillRemovedButDoesNotCountAsStopped) {
  sim.machine.AddService("avserve", "c:\\windows\\avserve.exe").stopSucceeds = false;
  EXPECT_FALSE(RemoveVirusServices(session));
  ASSERT_FALSE(DetailLines().empty());
  EXPECT_EQ(DetailLines().front(),
            "Found \"avserve\" c:\\windows\\avserve.exe ...Unable to Stop!!\"");
  EXPECT_FALSE(KeyExists("avserve"));

  sim.machine.AddService("avserve", "c:\\windows\\avserve.exe");
  sim.machine.InjectFault("OpenSCManagerA", "", 5);
  sim.host.details.clear();
  EXPECT_FALSE(RemoveVirusServices(session));
  ASSERT_FALSE(DetailLines().empty());
  EXPECT_EQ(DetailLines().front(),
            "Found \"avserve\" c:\\windows\\avserve.exe ...Unable to Stop!!\"");
}

TEST_F(ServicesTest, OnlyProgramImagePathsOfListedNonSystemNamesAreJudged) {
  struct Case {
    const char* imagePath;
    bool judged;
  };
  const Case cases[] = {
      {"%SystemRoot%\\System32\\svchost.exe -k netsvcs", false},
      {"c:\\windows\\avserve.sys", false},
      {"system32\\drivers\\avserve", false},
      {"\"c:\\windows\\avserve.exe\" -service", false},
      {"\"c:\\windows\\avserve.exe\"", false},
      {"c:\\windows\\notlisted.exe", false},
      {"c:\\windows\\AVSERVE.COM /x", true},
      {"c:\\windows\\avserve.exe /a /b", true},
      {"avserve.exe", true},
      {"c:\\dir.exe x\\avserve.exe", false},
  };
  // Each case has a service of its own: a name once found is deleted again
  // by every later run.
  int number = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.imagePath);
    const std::string name = "candidate" + std::to_string(++number);
    sim.machine.AddService(name, c.imagePath);
    RemoveVirusServices(session);
    EXPECT_EQ(!KeyExists(name), c.judged);
  }
}

TEST_F(ServicesTest, ServiceWithoutImagePathOrWithEmptyOneIsNotJudged) {
  sim.machine.AddService("noimage", "");
  sim.machine.registry.SetExpandString(ServiceKey("emptyimage"), "ImagePath", "");
  RemoveVirusServices(session);
  EXPECT_TRUE(KeyExists("noimage"));
  EXPECT_TRUE(KeyExists("emptyimage"));
  EXPECT_TRUE(DetailLines().empty());
}

TEST_F(ServicesTest, LaterImagePathValuesWinAndLongPathsAreReadWhole) {
  sim.machine.AddService("two", "c:\\windows\\avserve.exe");
  sim.machine.registry.SetString(ServiceKey("two"), "OldIMAGEPATH", "c:\\windows\\harmless.exe");
  sim.machine.AddService("long", "c:\\" + std::string(300, 'd') + "\\avserve.exe");
  RemoveVirusServices(session);
  EXPECT_TRUE(KeyExists("two"));
  EXPECT_FALSE(KeyExists("long"));
}

TEST_F(ServicesTest, TheLastServiceKeyIsJudgedAndTheBarReachesItsEnd) {
  sim.machine.AddService("zzzzworm", "c:\\windows\\avserve.exe");
  RemoveVirusServices(session);
  EXPECT_FALSE(KeyExists("zzzzworm"));
  const auto& prog1 = sim.host.prog1;
  ASSERT_FALSE(prog1.empty());
  EXPECT_EQ(prog1.back(), 100);
  for (std::size_t i = 1; i < prog1.size(); ++i) EXPECT_GE(prog1[i], prog1[i - 1]);
  EXPECT_EQ(sim.host.doEventsCalls, static_cast<int>(prog1.size()) - 1);
}

TEST_F(ServicesTest, ASingleServiceKeyDoesNotDivideByZero) {
  sim.machine.registry.RemoveKey(kServicesKey);
  sim.machine.services.clear();
  sim.machine.AddService("avserve", "c:\\windows\\avserve.exe");
  EXPECT_TRUE(RemoveVirusServices(session));
  EXPECT_EQ(sim.host.prog1, (std::vector<double>{0, 100}));
}

TEST_F(ServicesTest, UnreadableServicesKeyShowsBoxEightAndJudgesNothing) {
  sim.machine.AddService("avserve", "c:\\windows\\avserve.exe");
  sim.machine.InjectFault("RegOpenKeyA", kServicesKey, 5, 1);
  EXPECT_FALSE(RemoveVirusServices(session));
  EXPECT_EQ(sim.host.BoxNumbers(), (std::vector<double>{8}));
  EXPECT_TRUE(KeyExists("avserve"));
  EXPECT_EQ(sim.host.prog2, (std::vector<double>{20}));
}

TEST_F(ServicesTest, KeyWhoseBackupFailsIsKeptAndRetriedByTheNextRun) {
  sim.machine.AddService("avserve", "c:\\windows\\avserve.exe");
  session.run.BackupDir = "c:\\missing\\";
  EXPECT_TRUE(RemoveVirusServices(session));
  ASSERT_FALSE(DetailLines().empty());
  EXPECT_EQ(DetailLines().back(), "Unable to backup \"avserve\"");
  EXPECT_TRUE(KeyExists("avserve"));

  // The next run finds it stopped, and still backs it up and deletes it.
  session.run.BackupDir = "c:\\saved\\";
  sim.host.details.clear();
  RemoveVirusServices(session);
  EXPECT_FALSE(KeyExists("avserve"));
  ASSERT_FALSE(DetailLines().empty());
  EXPECT_EQ(DetailLines().back(), "Successfully backed up \"avserve\"");
  EXPECT_NE(FileText("c:\\saved\\avserve.reg").find("Services\\avserve]"), std::string::npos);
}

TEST_F(ServicesTest, EarlierFindsAreDeletedAgainWhenTheirKeysCameBack) {
  session.frmMain.lstInfectedKeys.push_back("gone");
  session.frmMain.lstInfectedKeys.push_back("returned");
  sim.machine.registry.SetString(ServiceKey("returned"), "ImagePath", "c:\\harmless.exe");
  RemoveVirusServices(session);
  EXPECT_FALSE(KeyExists("returned"));
  EXPECT_EQ(DetailLines(), (Lines{"Successfully backed up \"returned\""}));
}

TEST_F(ServicesTest, BackupDoesNotReplaceAnEarlierExportOfTheSameName) {
  sim.machine.files.AddTextFile("c:\\saved\\avserve.reg", "earlier");
  sim.machine.AddService("avserve", "c:\\windows\\avserve.exe");
  RemoveVirusServices(session);
  EXPECT_EQ(FileText("c:\\saved\\avserve.reg"), "earlier");
  EXPECT_NE(FileText("c:\\saved\\avserve (2).reg").find("[HKEY_LOCAL_MACHINE"), std::string::npos);
}

class DeleteKeyTreeTest : public ServicesTest {
 protected:
  void Build() {
    auto& reg = sim.machine.registry;
    for (const char* key : {"tree\\a\\a1", "tree\\a\\a2\\deep", "tree\\b", "tree\\c\\c1"}) {
      reg.CreateKey(ServiceKey(key));
    }
  }

  void DeleteTree() {
    platform::HKey key = 0;
    ASSERT_EQ(sim.platform.RegOpenKeyA(platform::kHkeyLocalMachine,
                                       std::string(kServicesKeyPath) + "tree", &key),
              0);
    DeleteKeyTree(session, key, "tree");
    sim.platform.RegCloseKey(key);
  }
};

TEST_F(DeleteKeyTreeTest, DeletesEveryNestedSubKey) {
  Build();
  DeleteTree();
  EXPECT_TRUE(KeyExists("tree"));
  ASSERT_NE(sim.machine.registry.FindKey(ServiceKey("tree")), nullptr);
  EXPECT_TRUE(sim.machine.registry.FindKey(ServiceKey("tree"))->subKeys.empty());
}

TEST_F(DeleteKeyTreeTest, EndsWhenASubKeyKeepsRefusingDeletion) {
  for (long refusal : {5L, 1L}) {
    SCOPED_TRACE(refusal);
    Build();
    sim.machine.faults.clear();
    sim.machine.InjectFault("RegDeleteKeyA", ServiceKey("tree\\a\\a2"),
                            static_cast<std::uint32_t>(refusal));
    DeleteTree();
    const auto* tree = sim.machine.registry.FindKey(ServiceKey("tree"));
    // Everything else went; the refusing key and its parent stay.
    ASSERT_NE(tree, nullptr);
    ASSERT_EQ(tree->subKeys.size(), 1u);
    EXPECT_EQ(tree->subKeys[0].name, "a");
    EXPECT_EQ(tree->subKeys[0].subKeys.size(), 1u);
    // Access denied means "has sub-keys": those are emptied first.
    EXPECT_EQ(sim.machine.registry.FindKey(ServiceKey("tree\\a\\a2\\deep")) == nullptr,
              refusal == 5);
  }
}

TEST_F(DeleteKeyTreeTest, EndsWhenASubKeyCannotBeOpened) {
  Build();
  sim.machine.InjectFault("RegOpenKeyA", ServiceKey("tree\\c"), 5);
  DeleteTree();
  const auto* tree = sim.machine.registry.FindKey(ServiceKey("tree"));
  ASSERT_NE(tree, nullptr);
  ASSERT_EQ(tree->subKeys.size(), 1u);
  EXPECT_EQ(tree->subKeys[0].name, "c");
}

}  // namespace
}  // namespace quellix
