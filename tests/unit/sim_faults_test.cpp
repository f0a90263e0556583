// Fault injection and the change record of the simulated machine.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "platform/sim/SimPlatform.h"
#include "platform/sim/SimText.h"

namespace platform::sim {
namespace {

constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

using ChangeRow = std::tuple<std::string, std::string, long>;

std::vector<ChangeRow> Rows(const std::vector<Change>& changes) {
  std::vector<ChangeRow> rows;
  for (const Change& change : changes) rows.emplace_back(change.call, change.target, change.result);
  return rows;
}

class SimFaults : public ::testing::Test {
 protected:
  SimFaults() : machine(MakeStandardMachine()), platform(machine) {}

  long OpenAndClose(HKey root, const std::string& subKey) {
    HKey key = 0;
    const long result = platform.RegOpenKeyA(root, subKey, &key);
    if (result == error::kSuccess) platform.RegCloseKey(key);
    return result;
  }

  Machine machine;
  SimPlatform platform;
};

TEST_F(SimFaults, ADeniedKeyFailsOnlyForItsTargetAndCall) {
  machine.InjectFault("RegOpenKeyA", "hkcu\\SOFTWARE\\microsoft\\windows\\currentversion\\run", 5);
  EXPECT_EQ(OpenAndClose(kHkeyCurrentUser, kRunKey), error::kAccessDenied);
  EXPECT_EQ(OpenAndClose(kHkeyCurrentUser, kRunKey), error::kAccessDenied) << "for ever";
  EXPECT_EQ(OpenAndClose(kHkeyLocalMachine, kRunKey), error::kSuccess);
  HKey key = 0;
  EXPECT_EQ(platform.RegOpenKeyExA(kHkeyCurrentUser, kRunKey, kKeyRead, &key), error::kSuccess)
      << "another call is not denied";
  platform.RegCloseKey(key);
}

TEST_F(SimFaults, CountedFaultsSpendThemselves) {
  machine.InjectFault("OpenProcess", "*\\explorer.exe", 5, 2);
  EXPECT_EQ(platform.OpenProcess(kProcessAllAccess, false, 1680), kNullHandle);
  EXPECT_EQ(platform.GetLastError(), 5u);
  EXPECT_EQ(platform.OpenProcess(kProcessAllAccess, false, 1680), kNullHandle);
  const Handle third = platform.OpenProcess(kProcessAllAccess, false, 1680);
  EXPECT_NE(third, kNullHandle);
  platform.CloseHandle(third);
  EXPECT_EQ(machine.faults[0].times, 0);
}

TEST_F(SimFaults, AStarCallAndAnEmptyTargetMatchEverything) {
  machine.InjectFault("*", "C:\\WINDOWS\\system32\\drivers\\etc\\hosts", 5);
  EXPECT_EQ(platform.GetFileAttributesA("c:\\windows\\system32\\drivers\\etc\\hosts"),
            kInvalidFileAttributes);
  EXPECT_FALSE(platform.SetFileAttributesA("c:\\windows\\system32\\drivers\\etc\\hosts",
                                           kFileAttributeNormal));
  EXPECT_NE(platform.GetFileAttributesA("c:\\boot.ini"), kInvalidFileAttributes);

  machine.InjectFault("GetUserNameA", "", 1332);
  std::string name;
  EXPECT_FALSE(platform.GetUserNameA(&name));
  EXPECT_EQ(platform.GetLastError(), 1332u);
}

TEST_F(SimFaults, AValueCanBeDeniedOnItsOwn) {
  machine.registry.SetString(std::string("HKLM\\") + kRunKey, "winmgrs",
                             "c:\\windows\\winmgrs.exe");
  machine.InjectFault("RegDeleteValueA", std::string("HKLM\\") + kRunKey + "\\winmgrs", 5);
  HKey key = 0;
  ASSERT_EQ(platform.RegOpenKeyA(kHkeyLocalMachine, kRunKey, &key), error::kSuccess);
  EXPECT_EQ(platform.RegDeleteValueA(key, "winmgrs"), error::kAccessDenied);
  EXPECT_EQ(platform.RegDeleteValueA(key, "SynTPEnh"), error::kSuccess);
  platform.RegCloseKey(key);
  EXPECT_NE(machine.registry.FindValue(std::string("HKLM\\") + kRunKey, "winmgrs"), nullptr);
}

TEST_F(SimFaults, AFullDiskFailsWritesAndCopiesWithoutChangingFiles) {
  machine.FillDisk();
  EXPECT_FALSE(platform.CopyFileA("c:\\boot.ini", "c:\\boot.ini.back", true));
  EXPECT_EQ(platform.GetLastError(), 112u);
  EXPECT_EQ(machine.files.FindPath("c:\\boot.ini.back"), nullptr);

  const Handle file =
      platform.CreateFileA("c:\\log.txt", kGenericWrite, 0, kCreateAlways, kFileAttributeNormal);
  ASSERT_NE(file, kInvalidHandleValue) << "creating an empty file needs no space";
  std::uint32_t written = 7;
  EXPECT_FALSE(platform.WriteFile(file, ToBytes("Version: 4.23"), &written));
  EXPECT_EQ(platform.GetLastError(), 112u);
  EXPECT_EQ(written, 0u);
  platform.CloseHandle(file);
  EXPECT_TRUE(machine.files.FindPath("c:\\log.txt")->contents.empty());
}

TEST_F(SimFaults, DeniedDeletionLeavesTheFile) {
  machine.files.AddTextFile("C:\\WINDOWS\\winmgrs.exe", "worm");
  machine.InjectFault("DeleteFileA", "C:\\WINDOWS\\winmgrs.exe", 5);
  EXPECT_FALSE(platform.DeleteFileA("c:\\windows\\winmgrs.exe"));
  EXPECT_EQ(platform.GetLastError(), 5u);
  EXPECT_NE(machine.files.FindPath("C:\\WINDOWS\\winmgrs.exe"), nullptr);
}

TEST_F(SimFaults, EveryChangeIsRecordedInOrderWithItsOutcome) {
  machine.files.AddTextFile("C:\\WINDOWS\\winmgrs.exe", "worm", kFileAttributeReadOnly);
  machine.InjectFault("TerminateProcess", "", 5, 1);

  // Reading never shows up in the record.
  std::string buffer(255, ' ');
  platform.GetSystemDirectoryA(buffer);
  platform.GetFileAttributesA("c:\\windows\\winmgrs.exe");
  std::vector<FindEntry> entries;
  platform.FindFiles("c:\\windows\\*", &entries);
  EXPECT_TRUE(machine.changes.empty());

  platform.DeleteFileA("c:\\windows\\winmgrs.exe");
  platform.SetFileAttributesA("c:\\windows\\winmgrs.exe", kFileAttributeNormal);
  platform.CopyFileA("c:\\windows\\winmgrs.exe", "c:\\winmgrs.exe.back", true);
  platform.DeleteFileA("c:\\windows\\winmgrs.exe");
  const Handle process = platform.OpenProcess(kProcessAllAccess, false, 1844);
  platform.TerminateProcess(process, 0);
  platform.TerminateProcess(process, 0);
  platform.CloseHandle(process);
  HKey key = 0;
  platform.RegCreateKeyA(kHkeyCurrentUser, "Software\\Quellix\\QLX\\Ver", &key);
  platform.RegSetValueExA(key, "VDB", kRegSz, {'7', '.', '0', '0'});
  platform.RegCloseKey(key);
  platform.StartProcess("shutdown.exe -r -t 120", kSwShowMinimized);

  const std::string msn = "C:\\Program Files\\MSN Messenger\\msnmsgr.exe";
  EXPECT_EQ(Rows(machine.changes),
            (std::vector<ChangeRow>{
                {"DeleteFileA", "C:\\WINDOWS\\winmgrs.exe", 5},
                {"SetFileAttributesA", "C:\\WINDOWS\\winmgrs.exe", 0},
                {"CopyFileA", "C:\\winmgrs.exe.back", 0},
                {"DeleteFileA", "C:\\WINDOWS\\winmgrs.exe", 0},
                {"TerminateProcess", msn, 5},
                {"TerminateProcess", msn, 0},
                {"RegCreateKeyA", "HKCU\\Software\\Quellix\\QLX\\Ver", 0},
                {"RegSetValueExA", "HKCU\\Software\\Quellix\\QLX\\Ver\\VDB", 0},
                {"StartProcess", "shutdown.exe -r -t 120", 0},
            }));
  EXPECT_EQ(machine.changes[2].detail, "from C:\\WINDOWS\\winmgrs.exe, fail if exists");
  EXPECT_EQ(machine.changes[6].detail, "created key");
  EXPECT_EQ(machine.changes[7].detail, "REG_SZ \"7.00\" without its NUL");
  EXPECT_EQ(machine.ChangesBy("TerminateProcess").size(), 2u);
}

TEST_F(SimFaults, RefusalsForMissingTargetsAreRecordedOnlyWhenAsked) {
  HKey run = 0;
  ASSERT_EQ(platform.RegOpenKeyA(kHkeyLocalMachine, kRunKey, &run), error::kSuccess);
  auto sweep = [&] {
    platform.SetFileAttributesA("c:\\windows\\winmgrs.exe", kFileAttributeNormal);
    platform.CopyFileA("c:\\windows\\winmgrs.exe", "c:\\winmgrs.exe.back", true);
    platform.DeleteFileA("c:\\windows\\winmgrs.exe");
    platform.DeleteFileA("c:\\recycler\\nowhere\\winmgrs.exe");
    platform.RegDeleteValueA(run, "winmgrs");
    platform.CreateFileA("c:\\missing.txt", kGenericWrite, 0, kOpenExisting, 0);
  };
  sweep();
  EXPECT_TRUE(machine.changes.empty()) << "nothing was there to change";

  // A refusal that is not about a missing target is always recorded.
  platform.CopyFileA("c:\\boot.ini", "c:\\nowhere\\boot.ini", true);
  machine.InjectFault("DeleteFileA", "", 2, 1);
  platform.DeleteFileA("c:\\boot.ini");
  EXPECT_EQ(Rows(machine.changes),
            (std::vector<ChangeRow>{{"CopyFileA", "C:\\nowhere\\boot.ini", 3},
                                    {"DeleteFileA", "C:\\boot.ini", 2}}));

  machine.changes.clear();
  machine.recordMissingTargets = true;
  sweep();
  EXPECT_EQ(Rows(machine.changes),
            (std::vector<ChangeRow>{
                {"SetFileAttributesA", "C:\\WINDOWS\\winmgrs.exe", 2},
                {"CopyFileA", "C:\\winmgrs.exe.back", 2},
                {"DeleteFileA", "C:\\WINDOWS\\winmgrs.exe", 2},
                {"DeleteFileA", "C:\\RECYCLER\\nowhere\\winmgrs.exe", 3},
                {"RegDeleteValueA",
                 "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\winmgrs", 2},
                {"CreateFileA", "C:\\missing.txt", 2},
            }));
  platform.RegCloseKey(run);
}

}  // namespace
}  // namespace platform::sim
