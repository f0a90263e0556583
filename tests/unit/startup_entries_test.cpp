#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "quellix/engine/session/Session.h"
#include "quellix/engine/system/AnsiText.h"
#include "quellix/engine/cleanup/mdlStartupEntries.h"
#include "tests/support/RecordingPlatform.h"
#include "tests/support/RunLog.h"
#include "tests/support/SimQuellix.h"
#include "tests/support/TestText.h"

namespace quellix {
namespace {

constexpr const char* kMachineRun = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kUserRun = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kRunServices =
    "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\RunServices";
constexpr const char* kPoliciesRun =
    "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\Run";

using Lines = std::vector<std::string>;

class StartupEntriesTest : public testing::Test {
 protected:
  StartupEntriesTest() {
    session.run.SystemDir = "c:\\windows\\system32";
    session.run.WindowsDir = "c:\\windows";
    session.run.BackupDir = "c:\\saved\\";
    sim.machine.files.AddFolder("C:\\saved");
    // Start from empty keys, so that each case sees only its own values;
    // RunServices is missing, as usual on the NT family.
    for (const char* key : {kMachineRun, kUserRun, kPoliciesRun}) {
      sim.machine.registry.RemoveKey(key);
      sim.machine.registry.CreateKey(key);
    }
    sim.machine.registry.RemoveKey(kRunServices);
  }

  // The details box's lines without the U+FFFE marks and the empty lines.
  Lines DetailLines() const { return test::NonEmptyDetailLines(sim.host.details); }

  Lines Clean() {
    CleanStartupEntries(session, flags);
    return DetailLines();
  }

  bool Has(const char* key, const char* value) const {
    return sim.machine.registry.FindValue(key, value) != nullptr;
  }

  std::string FileText(const std::string& path) {
    const auto bytes = test::ReadWholeFile(sim.platform, path);
    return std::string(bytes.begin(), bytes.end());
  }

  test::SimQuellix sim;
  BuiltPhases phases;
  Session session{sim.platform, sim.host, sim.language, phases};
  RegistryFlags flags;
};

TEST_F(StartupEntriesTest, MachineRunValueIsCutBackedUpRemovedAndReported) {
  sim.machine.registry.SetString(kMachineRun, "WinMgrs", "C:\\WINDOWS\\winmgrs.exe -start");
  EXPECT_EQ(Clean(), (Lines{"Found HKLM\\..\\Run\\winmgrs = c:\\windows\\winmgrs.exe ...Removed",
                            "Unable to open RunServices Registry"}));
  EXPECT_FALSE(Has(kMachineRun, "WinMgrs"));
  EXPECT_TRUE(flags.RegistryFound);
  EXPECT_FALSE(flags.RegistryError);
  EXPECT_EQ(
      FileText("c:\\saved\\HKLM Run WinMgrs.reg"),
      "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]"
      "\r\n\"WinMgrs\"=\"C:\\\\WINDOWS\\\\winmgrs.exe -start\"\r\n\r\n");
}

TEST_F(StartupEntriesTest, TheCleanStandardMachineLosesNothing) {
  test::SimQuellix clean;
  Session standard{clean.platform, clean.host, clean.language, phases};
  standard.run.SystemDir = "c:\\windows\\system32";
  ASSERT_NE(clean.machine.registry.FindKey(kUserRun), nullptr);
  const auto before = clean.machine.registry.FindKey(kUserRun)->values.size();
  CleanStartupEntries(standard, flags);
  EXPECT_FALSE(flags.RegistryFound);
  EXPECT_FALSE(flags.RegistryError);
  ASSERT_NE(clean.machine.registry.FindKey(kUserRun), nullptr);
  EXPECT_EQ(clean.machine.registry.FindKey(kUserRun)->values.size(), before);
  EXPECT_TRUE(clean.machine.ChangesBy("RegDeleteValueA").empty());
}

TEST_F(StartupEntriesTest, EachKeyReportsWithItsOwnSeparatorPerExtension) {
  struct Case {
    const char* key;
    const char* data;
    const char* line;
  };
  const Case cases[] = {
      {kMachineRun, "c:\\windows\\winmgrs.exe",
       "Found HKLM\\..\\Run\\w = c:\\windows\\winmgrs.exe"},
      {kMachineRun, "c:\\windows\\winmgrs.com",
       "Found HKLM\\..\\Run\\w = c:\\windows\\winmgrs.com"},
      {kUserRun, "c:\\windows\\winmgrs.exe", "Found HKCU\\..\\Run\\w = c:\\windows\\winmgrs.exe"},
      {kUserRun, "c:\\windows\\winmgrs.com", "Found HKCU\\..\\Run\\w=c:\\windows\\winmgrs.com"},
      {kUserRun, "c:\\temp\\winmgrs.tmp", "Found HKCU\\..\\Run\\w=c:\\temp\\winmgrs.tmp"},
      {kRunServices, "c:\\windows\\winmgrs.exe",
       "Found HKLM\\..\\RunServices\\w=c:\\windows\\winmgrs.exe"},
      {kRunServices, "c:\\windows\\winmgrs.com",
       "Found HKLM\\..\\RunServices\\w=c:\\windows\\winmgrs.com"},
      {kPoliciesRun, "c:\\windows\\winmgrs.exe",
       "Found HKLM\\..\\Policies\\Explorer\\Run\\w=c:\\windows\\winmgrs.exe"},
      {kPoliciesRun, "winmgrs.com", "Found HKLM\\..\\Policies\\Explorer\\Run\\w=winmgrs.com"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.key) + " " + c.data);
    sim.host.details.clear();
    sim.machine.registry.SetString(c.key, "w", c.data);
    const Lines lines = Clean();
    EXPECT_NE(std::find(lines.begin(), lines.end(), std::string(c.line) + " ...Removed"),
              lines.end());
    EXPECT_FALSE(Has(c.key, "w"));
  }
}

TEST_F(StartupEntriesTest, TmpProgramsCountOnlyInTheUsersRunKey) {
  sim.machine.registry.SetString(kMachineRun, "w", "c:\\temp\\winmgrs.tmp");
  sim.machine.registry.SetString(kRunServices, "w", "c:\\temp\\winmgrs.tmp");
  Clean();
  EXPECT_TRUE(Has(kMachineRun, "w"));
  EXPECT_TRUE(Has(kRunServices, "w"));
  EXPECT_FALSE(flags.RegistryFound);
}

TEST_F(StartupEntriesTest, NameRulesNeedTheWholeFileNameAndIgnoreCaseAndQuotes) {
  sim.machine.registry.SetString(kMachineRun, "longer", "c:\\windows\\xwinmgrs.exe");
  sim.machine.registry.SetString(kMachineRun, "folder", "c:\\winmgrs.exe\\other.exe");
  sim.machine.registry.SetString(kMachineRun, "unlisted", "c:\\windows\\notepad.exe");
  sim.machine.registry.SetString(kMachineRun, "equals", "c:\\windows\\winmgrs.exe a=b");
  sim.machine.registry.SetString(kUserRun, "Quoted", "\"C:\\Program Files\\WINMGRS.EXE\" /x");
  const Lines lines = Clean();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(),
            "Found HKCU\\..\\Run\\quoted = c:\\program files\\winmgrs.exe ...Removed");
  ASSERT_NE(sim.machine.registry.FindKey(kMachineRun), nullptr);
  EXPECT_EQ(sim.machine.registry.FindKey(kMachineRun)->values.size(), 4u);
  EXPECT_FALSE(Has(kUserRun, "Quoted"));
}

TEST_F(StartupEntriesTest, OnlyTheFirstFindOfAKeyIsRemovedPerScan) {
  sim.machine.registry.SetString(kMachineRun, "first", "c:\\windows\\winmgrs.exe");
  sim.machine.registry.SetString(kMachineRun, "second", "c:\\windows\\taskmon.exe");
  sim.machine.registry.SetString(kUserRun, "third", "c:\\windows\\taskmon.exe");
  Clean();
  EXPECT_FALSE(Has(kMachineRun, "first"));
  EXPECT_TRUE(Has(kMachineRun, "second"));
  EXPECT_FALSE(Has(kUserRun, "third")) << "a find in one key does not stop the next key";
  sim.host.details.clear();
  {
    const auto cleaned = Clean();
    ASSERT_FALSE(cleaned.empty());
    EXPECT_EQ(cleaned.front(), "Found HKLM\\..\\Run\\second = c:\\windows\\taskmon.exe ...Removed");
  }
  EXPECT_FALSE(Has(kMachineRun, "second"));
}

TEST_F(StartupEntriesTest, UsersRunKeyExemptsCtfmonMessengerAndTheMessengerClient) {
  sim.machine.registry.SetString(kUserRun, "ctfmon", "C:\\WINDOWS\\system32\\ctfmon.exe");
  sim.machine.registry.SetString(kUserRun, "msn",
                                 "C:\\Program Files\\MSN Messenger\\msnmsgr.exe /background");
  sim.machine.registry.SetString(kUserRun, "messenger", "c:\\program files\\messenger\\msmsgs.exe");
  Clean();
  EXPECT_TRUE(Has(kUserRun, "ctfmon"));
  EXPECT_TRUE(Has(kUserRun, "msn"));
  EXPECT_TRUE(Has(kUserRun, "messenger"));
  EXPECT_FALSE(flags.RegistryFound);
  // Only the system folder's program is exempt, not a copy beside it.
  sim.machine.registry.SetString(kUserRun, "copy", "C:\\WINDOWS\\ctfmon.exe");
  Clean();
  EXPECT_FALSE(Has(kUserRun, "copy"));
  EXPECT_TRUE(Has(kUserRun, "ctfmon"));
  // The same programs started machine-wide are worms.
  for (const char* data : {"c:\\windows\\system32\\ctfmon.exe", "c:\\x\\msmsgs.exe"}) {
    sim.machine.registry.SetString(kMachineRun, "m", data);
    Clean();
    EXPECT_FALSE(Has(kMachineRun, "m")) << data;
  }
  // Without its blank the messenger program is cut and judged like any other.
  sim.machine.registry.SetString(kUserRun, "cut", "c:\\msn\\msnmsgr.exe");
  Clean();
  EXPECT_FALSE(Has(kUserRun, "cut"));
  // A 64-bit Windows starts the 32-bit loader from SysWOW64.
  sim.machine.windows64 = true;
  sim.machine.registry.SetString(kUserRun, "ctfmon32", "C:\\WINDOWS\\SysWOW64\\ctfmon.exe");
  session.run.SysWow64Dir = "c:\\windows\\syswow64";
  Clean();
  EXPECT_TRUE(Has(kUserRun, "ctfmon32"));
}

// A worm that names the messenger client after itself is cut at its own
// ".exe ", not kept whole as the client's line would be.
TEST_F(StartupEntriesTest, AWormStartingTheMessengerClientIsCutAndRemoved) {
  session.InfectionNames = {"worm"};
  sim.machine.registry.SetString(kUserRun, "w",
                                 "c:\\worm.exe c:\\program files\\msn messenger\\msnmsgr.exe");
  EXPECT_EQ(Clean(), (Lines{"Found HKCU\\..\\Run\\w = c:\\worm.exe ...Removed",
                            "Unable to open RunServices Registry"}));
  EXPECT_FALSE(Has(kUserRun, "w"));
}

TEST_F(StartupEntriesTest, SecurityProductsInTheMachineRunKeyAreExempt) {
  sim.machine.registry.SetString(
      kMachineRun, "kis", "C:\\Program Files\\Kaspersky Lab\\Kaspersky Internet Security\\avp.exe");
  sim.machine.registry.SetString(kMachineRun, "kis2",
                                 "c:\\kaspersky lab\\kaspersky internet security\\winmgrs.exe");
  sim.machine.registry.SetString(kMachineRun, "codec", "c:\\x\\Essentials Codec Pack\\taskmon.exe");
  Clean();
  ASSERT_NE(sim.machine.registry.FindKey(kMachineRun), nullptr);
  EXPECT_EQ(sim.machine.registry.FindKey(kMachineRun)->values.size(), 3u);
  // The exemption is the machine-wide key's own.
  sim.machine.registry.SetString(kUserRun, "kis2",
                                 "c:\\kaspersky lab\\kaspersky internet security\\winmgrs.exe");
  Clean();
  EXPECT_FALSE(Has(kUserRun, "kis2"));
}

TEST_F(StartupEntriesTest, Rundll32ValuesAreDecidedByTheirOwnRules) {
  sim.machine.registry.SetString(kMachineRun, "loader", "rundll32.exe c:\\winmgrs.exe,start");
  sim.machine.registry.SetString(kUserRun, "other", "rundll32.exe c:\\winmgrs.exe,start");
  Clean();
  EXPECT_TRUE(Has(kMachineRun, "loader"));
  EXPECT_TRUE(Has(kUserRun, "other"));
  EXPECT_FALSE(flags.RegistryFound);

  sim.machine.registry.SetString(kMachineRun, "msgs", "rundll32.exe c:\\msmsgs.txt,ini x");
  sim.machine.registry.SetString(kUserRun, "Windows Firewall", "RunDll32.exe fw.dll,go");
  sim.host.details.clear();
  EXPECT_EQ(Clean(),
            (Lines{"Found HKLM\\..\\Run\\msgs=rundll32.exe c:\\msmsgs.txt,ini x ...Removed",
                   "Found HKCU\\..\\Run\\windows firewall=rundll32.exe fw.dll,go ...Removed",
                   "Unable to open RunServices Registry"}));
  EXPECT_FALSE(Has(kMachineRun, "msgs"));
  EXPECT_FALSE(Has(kUserRun, "Windows Firewall"));
}

TEST_F(StartupEntriesTest, FailedRundll32RemovalReportsTheCutData) {
  sim.machine.registry.SetString(kMachineRun, "msgs", "\"rundll32.exe\" c:\\msmsgs.txt,ini x");
  sim.machine.InjectFault("RegDeleteValueA", "*", 5);
  {
    const auto cleaned = Clean();
    ASSERT_FALSE(cleaned.empty());
    EXPECT_EQ(cleaned.front(), "Found HKLM\\..\\Run\\msgs=rundll32.exe ...Unable To Remove!!");
  }
  EXPECT_TRUE(flags.RegistryError);
}

TEST_F(StartupEntriesTest, RegeditValueLeadsToTheDeletionOfTheEditManagerValue) {
  sim.machine.registry.SetString(kMachineRun, "Microsoft Regestry Edit Manager", "c:\\x\\y.dll");
  sim.machine.registry.SetString(kMachineRun, "editor", "\"REGEDIT.EXE\"");
  {
    const auto cleaned = Clean();
    ASSERT_FALSE(cleaned.empty());
    EXPECT_EQ(cleaned.front(), "Found HKLM\\..\\Run\\editor=regedit.exe ...Removed");
  }
  EXPECT_FALSE(Has(kMachineRun, "Microsoft Regestry Edit Manager"));
  EXPECT_TRUE(Has(kMachineRun, "editor"));
  EXPECT_FALSE(flags.RegistryError);

  sim.host.details.clear();
  sim.machine.changes.clear();
  sim.machine.recordMissingTargets = true;
  {
    const auto cleaned = Clean();
    ASSERT_FALSE(cleaned.empty());
    EXPECT_EQ(cleaned.front(), "Found HKLM\\..\\Run\\editor=regedit.exe ...Unable To Remove!!");
  }
  EXPECT_TRUE(flags.RegistryError);
  EXPECT_TRUE(flags.RegistryFound);
  // A value that is gone needs no backup: its deletion is asked for and decides.
  const auto deletions = sim.machine.ChangesBy("RegDeleteValueA");
  ASSERT_EQ(deletions.size(), 1u);
  EXPECT_EQ(LowerAnsi(deletions.front().target),
            LowerAnsi(std::string(kMachineRun) + "\\Microsoft Regestry Edit Manager"));
  EXPECT_EQ(deletions.front().result, platform::error::kFileNotFound);
}

TEST_F(StartupEntriesTest, RegeditWithAPathIsJudgedByTheNameRules) {
  sim.machine.registry.SetString(kMachineRun, "Microsoft Regestry Edit Manager", "c:\\x\\y.dll");
  sim.machine.registry.SetString(kMachineRun, "e", "c:\\windows\\regedit.exe");
  {
    const auto cleaned = Clean();
    ASSERT_FALSE(cleaned.empty());
    EXPECT_EQ(cleaned.front(), "Found HKLM\\..\\Run\\e = c:\\windows\\regedit.exe ...Removed");
  }
  EXPECT_FALSE(Has(kMachineRun, "e"));
  EXPECT_TRUE(Has(kMachineRun, "Microsoft Regestry Edit Manager"));
}

TEST_F(StartupEntriesTest, KeysThatDoNotOpenAreHandledAsTheirRowSays) {
  sim.machine.registry.RemoveKey(kRunServices);
  sim.machine.registry.RemoveKey(kPoliciesRun);
  EXPECT_EQ(Clean(), (Lines{"Unable to open RunServices Registry"}));
  EXPECT_FALSE(flags.RegistryError);
  EXPECT_FALSE(flags.RegistryFound);

  sim.machine.registry.RemoveKey(kMachineRun);
  RegistryFlags machineMissing;
  CleanStartupEntries(session, machineMissing);
  EXPECT_TRUE(machineMissing.RegistryError);

  sim.machine.registry.CreateKey(kMachineRun);
  sim.machine.InjectFault("RegOpenKeyA", kUserRun, 5);
  RegistryFlags userDenied;
  CleanStartupEntries(session, userDenied);
  EXPECT_TRUE(userDenied.RegistryError);
}

TEST_F(StartupEntriesTest, FailedDeletionSetsBothFlagsAndTheFlagsAreNeverCleared) {
  sim.machine.registry.SetString(kUserRun, "w", "c:\\windows\\winmgrs.exe");
  sim.machine.InjectFault("RegDeleteValueA", "*\\w", 5);
  {
    const auto cleaned = Clean();
    ASSERT_FALSE(cleaned.empty());
    EXPECT_EQ(cleaned.front(),
              "Found HKCU\\..\\Run\\w = c:\\windows\\winmgrs.exe ...Unable To Remove!!");
  }
  EXPECT_TRUE(flags.RegistryError);
  EXPECT_TRUE(flags.RegistryFound);
  sim.machine.faults.clear();
  sim.machine.registry.RemoveValue(kUserRun, "w");
  Clean();
  EXPECT_TRUE(flags.RegistryError);
  EXPECT_TRUE(flags.RegistryFound);
}

TEST_F(StartupEntriesTest, ValueWhoseBackupCannotBeWrittenIsKept) {
  session.run.BackupDir = "c:\\missing folder\\";
  sim.machine.registry.SetString(kMachineRun, "w", "c:\\windows\\winmgrs.exe");
  EXPECT_EQ(Clean(),
            (Lines{"Unable to backup \"c:\\missing folder\\HKLM Run w.reg\"",
                   "Found HKLM\\..\\Run\\w = c:\\windows\\winmgrs.exe ...Unable To Remove!!",
                   "Unable to open RunServices Registry"}));
  EXPECT_TRUE(Has(kMachineRun, "w"));
  EXPECT_TRUE(flags.RegistryError);
}

TEST_F(StartupEntriesTest, BackupsNeverReplaceEarlierOnes) {
  sim.machine.registry.SetString(kMachineRun, "w", "c:\\windows\\winmgrs.exe");
  Clean();
  sim.machine.registry.SetString(kMachineRun, "w", "c:\\again\\winmgrs.exe");
  Clean();
  EXPECT_NE(FileText("c:\\saved\\HKLM Run w.reg").find("c:\\\\windows"), std::string::npos);
  EXPECT_NE(FileText("c:\\saved\\HKLM Run w (2).reg").find("c:\\\\again"), std::string::npos);
}

TEST_F(StartupEntriesTest, WorkListHoldsOnlyThePoliciesRunValuesAfterTheScan) {
  sim.machine.registry.SetString(kUserRun, "harmless", "c:\\tools\\tool.exe");
  sim.machine.registry.SetString(kPoliciesRun, "kept", "c:\\tools\\other.exe");
  session.frmMain.lstKeys = {"stale=c:\\windows\\winmgrs.exe"};
  Clean();
  EXPECT_EQ(session.frmMain.lstKeys, (ItemList{"kept=c:\\tools\\other.exe"}));
  EXPECT_FALSE(flags.RegistryFound) << "an item left by an earlier step is not this key's value";

  sim.machine.registry.SetString(kPoliciesRun, "worm", "c:\\windows\\winmgrs.exe");
  Clean();
  EXPECT_TRUE(session.frmMain.lstKeys.empty());
}

TEST_F(StartupEntriesTest, ResetPoliciesDeletesTheSixValuesAfterBackingThemUp) {
  const char* explorer = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
  const char* system = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
  const char* cmd = "HKCU\\Software\\Microsoft\\Windows\\System";
  const char* restore = "HKLM\\Software\\Policies\\Microsoft\\Windows NT\\SystemRestore";
  auto& reg = sim.machine.registry;
  reg.SetDword(explorer, "NoFolderOptions", 1);
  reg.SetDword(explorer, "NoRun", 1);
  reg.SetDword(system, "DisableTaskMgr", 1);
  reg.SetDword(system, "DisableRegistryTools", 1);
  reg.SetDword(cmd, "DisableCMD", 2);
  reg.SetDword(restore, "DisableConfig", 1);
  reg.SetDword(system, "Other", 1);
  ResetPolicies(session);
  EXPECT_EQ(DetailLines(), (Lines{"Enabling: Task Manager, Regedit, System Restore Config, "
                                  "Command Prompt, Folder Options, Run"}));
  for (const auto& [key, value] :
       std::vector<std::pair<const char*, const char*>>{{explorer, "NoFolderOptions"},
                                                        {explorer, "NoRun"},
                                                        {system, "DisableTaskMgr"},
                                                        {system, "DisableRegistryTools"},
                                                        {cmd, "DisableCMD"},
                                                        {restore, "DisableConfig"}}) {
    EXPECT_FALSE(Has(key, value)) << value;
  }
  EXPECT_TRUE(Has(explorer, "NoDriveTypeAutoRun"));
  EXPECT_TRUE(Has(system, "Other"));
  EXPECT_EQ(FileText("c:\\saved\\HKCU Policies System DisableTaskMgr.reg"),
            "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\"
            "Policies\\System]\r\n\"DisableTaskMgr\"=dword:00000001\r\n\r\n");
  EXPECT_NE(FileText("c:\\saved\\HKCU System DisableCMD.reg").find("\"DisableCMD\"=dword:00000002"),
            std::string::npos);
}

// Windows shares the policy keys between its two registry views: on a 64-bit
// Windows each is opened once, in the 64-bit view, whose name it is logged
// and backed up under.
TEST_F(StartupEntriesTest, On64BitWindowsTheSharedKeysAreReadOnceInThe64BitView) {
  const char* restore = "HKLM\\Software\\Policies\\Microsoft\\Windows NT\\SystemRestore";
  sim.machine.windows64 = true;
  sim.machine.registry.SetString(kPoliciesRun, "first", "c:\\windows\\winmgrs.exe");
  sim.machine.registry.SetString(kPoliciesRun, "second", "c:\\windows\\taskmon.exe");
  sim.machine.registry.SetDword(restore, "DisableConfig", 1);
  test::RecordingPlatform recording(sim.platform);
  Session wow64{recording, sim.host, sim.language, phases};
  wow64.run = session.run;
  wow64.run.SysWow64Dir = "c:\\windows\\syswow64";
  CleanStartupEntries(wow64, flags);
  ResetPolicies(wow64);

  const std::string in64BitView =
      ", " + std::to_string(platform::kMaximumAllowed | platform::kKeyWow64_64Key) + ")";
  for (const char* shared : {"policies\\explorer\\run,", "systemrestore,"}) {
    Lines opens;
    for (const std::string& call : recording.calls()) {
      if (call.rfind("RegOpenKey", 0) == 0 && LowerAnsi(call).find(shared) != std::string::npos) {
        opens.push_back(call);
      }
    }
    ASSERT_EQ(opens.size(), 1u) << shared;
    EXPECT_EQ(opens.front().rfind("RegOpenKeyExA(", 0), 0u) << opens.front();
    EXPECT_EQ(opens.front().substr(opens.front().size() - in64BitView.size()), in64BitView)
        << opens.front();
  }
  EXPECT_FALSE(Has(kPoliciesRun, "first"));
  EXPECT_TRUE(Has(kPoliciesRun, "second")) << "one find per key and scan";
  EXPECT_FALSE(Has(restore, "DisableConfig"));
  const Lines lines = DetailLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      "Found HKLM\\..\\Policies\\Explorer\\Run\\first=c:\\windows\\winmgrs.exe "
                      "...Removed"),
            lines.end());
  EXPECT_NE(FileText("c:\\saved\\HKLM Policies Explorer Run first.reg")
                .find("[HKEY_LOCAL_MACHINE\\Software\\Microsoft"),
            std::string::npos);
}

TEST_F(StartupEntriesTest, ResetPoliciesIsSilentAboutMissingKeysAndValues) {
  sim.machine.registry.RemoveKey("HKCU\\Software\\Microsoft\\Windows\\System");
  ResetPolicies(session);
  EXPECT_EQ(DetailLines().size(), 1u);
  EXPECT_TRUE(sim.machine.ChangesBy("CreateFileA").empty()) << "nothing to back up";
}

TEST_F(StartupEntriesTest, ResetPoliciesKeepsARestrictionWhoseBackupFails) {
  const char* system = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
  sim.machine.registry.SetDword(system, "DisableTaskMgr", 1);
  session.run.BackupDir = "c:\\missing folder\\";
  ResetPolicies(session);
  EXPECT_TRUE(Has(system, "DisableTaskMgr"));
  ASSERT_FALSE(DetailLines().empty());
  EXPECT_EQ(DetailLines().back(),
            "Unable to backup \"c:\\missing folder\\HKCU Policies System DisableTaskMgr.reg\"");
}

}  // namespace
}  // namespace quellix
