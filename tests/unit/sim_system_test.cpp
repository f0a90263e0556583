// System values, folders, drives, programs, resources and the instance claim
// of the simulated machine.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/sim/SimPlatform.h"

namespace platform::sim {
namespace {

class SimSystem : public ::testing::Test {
 protected:
  SimSystem() : machine(MakeStandardMachine()), platform(machine) {}

  Machine machine;
  SimPlatform platform;
};

TEST_F(SimSystem, FolderCallsWriteIntoTheBufferLikeTheAFunctions) {
  // The run computes SystemDir from a buffer of 255 blanks.
  std::string buffer(255, ' ');
  const std::uint32_t length = platform.GetSystemDirectoryA(buffer);
  ASSERT_EQ(length, 19u);
  EXPECT_EQ(buffer.substr(0, 19), "C:\\WINDOWS\\system32");
  EXPECT_EQ(buffer[19], '\0');
  EXPECT_EQ(buffer.substr(20), std::string(235, ' ')) << "the rest of the buffer is untouched";

  std::string temp(255, ' ');
  ASSERT_EQ(platform.GetTempPathA(temp), 16u);
  EXPECT_EQ(temp.substr(0, 17), std::string("C:\\WINDOWS\\TEMP\\") + '\0');

  std::string small(19, '#');
  EXPECT_EQ(platform.GetSystemDirectoryA(small), 20u) << "too small: the size needed, NUL included";
  EXPECT_EQ(small, std::string(19, '#'));
  std::string exact(20, '#');
  EXPECT_EQ(platform.GetSystemDirectoryA(exact), 19u);
}

TEST_F(SimSystem, LocaleNameComesWithItsNulCounted) {
  std::string buffer(100, ' ');
  EXPECT_EQ(platform.GetLocaleInfoA(kLocaleUserDefault, kLocaleSEngLanguage, buffer), 8);
  EXPECT_EQ(buffer.substr(0, 8), std::string("English") + '\0');

  std::string none;
  EXPECT_EQ(platform.GetLocaleInfoA(kLocaleUserDefault, kLocaleSEngLanguage, none), 8)
      << "a zero-sized buffer asks for the size";
  std::string small(7, ' ');
  EXPECT_EQ(platform.GetLocaleInfoA(kLocaleUserDefault, kLocaleSEngLanguage, small), 0);
  EXPECT_EQ(platform.GetLastError(), 122u);
  EXPECT_EQ(platform.GetLocaleInfoA(kLocaleUserDefault, 0x1002, buffer), 0);
  EXPECT_EQ(platform.GetLastError(), simerror::kInvalidFlags);

  machine.localeLanguageName.clear();
  EXPECT_EQ(platform.GetLocaleInfoA(kLocaleUserDefault, kLocaleSEngLanguage, buffer), 0);
}

TEST_F(SimSystem, DrivesAreListedInLetterOrderWithTheirTypes) {
  EXPECT_EQ(platform.GetLogicalDriveStringsA(), (std::vector<std::string>{"A:\\", "C:\\", "D:\\"}));
  EXPECT_EQ(platform.GetDriveTypeA("c:\\"), kDriveFixed);
  EXPECT_EQ(platform.GetDriveTypeA("C:"), kDriveFixed);
  EXPECT_EQ(platform.GetDriveTypeA("a:\\"), kDriveRemovable);
  EXPECT_EQ(platform.GetDriveTypeA("d:\\"), kDriveCdrom);
  EXPECT_EQ(platform.GetDriveTypeA("q:\\"), kDriveNoRootDir);
  EXPECT_EQ(platform.GetDriveTypeA("c:\\windows"), kDriveNoRootDir);
  EXPECT_EQ(platform.GetDriveTypeA("c: [SYSTEM]"), kDriveNoRootDir)
      << "a drive list box entry is not a root path";
  EXPECT_EQ(platform.GetDriveTypeA(""), kDriveFixed) << "the current folder's drive";
}

TEST_F(SimSystem, SpecialFoldersAndTheirCreation) {
  std::string path;
  ASSERT_TRUE(platform.SHGetSpecialFolderPathA(0x0B, false, &path));
  EXPECT_EQ(path, "C:\\Documents and Settings\\User\\Start Menu");
  EXPECT_FALSE(platform.SHGetSpecialFolderPathA(0x3F, false, &path));

  machine.specialFolders[0x05] = "C:\\Documents and Settings\\User\\Eigene Dateien";
  ASSERT_TRUE(platform.SHGetSpecialFolderPathA(0x05, true, &path));
  EXPECT_NE(machine.files.FindPath(path), nullptr);
  ASSERT_EQ(machine.changes.size(), 1u);
  EXPECT_EQ(machine.changes[0].call, "SHGetSpecialFolderPathA");
}

TEST_F(SimSystem, TheClockAdvancesAcrossMonthsAndLeapDays) {
  machine.clock = LocalTime{2024, 2, 28, 23, 59, 30};
  machine.clockAdvanceSeconds = 45;
  const LocalTime first = platform.GetLocalTime();
  const LocalTime second = platform.GetLocalTime();
  EXPECT_EQ(first.day, 28);
  EXPECT_EQ(first.second, 30);
  EXPECT_EQ(second.month, 2);
  EXPECT_EQ(second.day, 29);
  EXPECT_EQ(second.hour, 0);
  EXPECT_EQ(second.minute, 0);
  EXPECT_EQ(second.second, 15);

  const LocalTime newYear = AddSeconds(LocalTime{2026, 12, 31, 23, 0, 0}, 3600);
  EXPECT_EQ(newYear.year, 2027);
  EXPECT_EQ(newYear.month, 1);
  EXPECT_EQ(newYear.day, 1);
  const LocalTime noLeap = AddSeconds(LocalTime{2100, 2, 28, 12, 0, 0}, 86400);
  EXPECT_EQ(noLeap.month, 3) << "2100 is not a leap year";
}

TEST_F(SimSystem, ResourcesAreFoundWithoutCaseOfTheirType) {
  machine.AddResource("EEGG", 1, {'M', 'T', 'h', 'd'});
  std::vector<std::uint8_t> bytes;
  ASSERT_TRUE(platform.LoadProgramResource("eegg", 1, &bytes));
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{'M', 'T', 'h', 'd'}));
  EXPECT_FALSE(platform.LoadProgramResource("EEGG", 2, &bytes));
  EXPECT_EQ(platform.GetLastError(), simerror::kResourceNameNotFound);
  EXPECT_FALSE(platform.LoadProgramResource("LANGUAGE", 100, &bytes));
  EXPECT_EQ(platform.GetLastError(), simerror::kResourceTypeNotFound);
}

TEST_F(SimSystem, AnInstanceNameIsHeldUntilItsPlatformEnds) {
  bool another = true;
  ASSERT_TRUE(platform.ClaimInstance("Quellix", &another));
  EXPECT_FALSE(another);
  ASSERT_TRUE(platform.ClaimInstance("Quellix", &another));
  EXPECT_FALSE(another) << "a copy's own claim is no other copy";
  {
    SimPlatform second(machine);
    ASSERT_TRUE(second.ClaimInstance("Quellix", &another));
    EXPECT_TRUE(another);
  }
  auto third = std::make_unique<SimPlatform>(machine);
  ASSERT_TRUE(third->ClaimInstance("Gorsel", &another));
  EXPECT_FALSE(another);
  third.reset();
  SimPlatform fourth(machine);
  ASSERT_TRUE(fourth.ClaimInstance("Gorsel", &another));
  EXPECT_FALSE(another) << "the claim ended with the platform object that held it";
}

TEST_F(SimSystem, StartedProgramsAreFoundLikeCreateProcessFindsThemAndNeverRun) {
  const std::size_t processes = machine.processes.size();
  const std::uint32_t pid = platform.StartProcess(
      "shutdown.exe -r -t 120 -c \"Virus removal process\"", kSwShowMinimized);
  EXPECT_NE(pid, 0u);
  EXPECT_EQ(machine.processes.size(), processes) << "nothing runs";
  ASSERT_EQ(machine.startedProcesses.size(), 1u);
  EXPECT_EQ(machine.startedProcesses[0].showWindow, kSwShowMinimized);
  EXPECT_FALSE(machine.startedProcesses[0].waited);

  EXPECT_NE(platform.StartProcess("TASKKILL /F /IM msnmsg.exe /T", kSwShowMinNoActive), 0u)
      << "the search path finds system32 programs without extension and case";
  EXPECT_NE(platform.StartProcess("\"C:\\Program Files\\MSN Messenger\\msnmsgr.exe\" /background",
                                  kSwShowNormal),
            0u);
  EXPECT_NE(platform.StartProcess("C:\\Program Files\\MSN Messenger\\msnmsgr.exe /x", kSwHide), 0u)
      << "an unquoted path with blanks is tried blank by blank";

  EXPECT_EQ(platform.StartProcess("c:\\windows\\regedt99.exe /e x", kSwHide), 0u);
  EXPECT_EQ(platform.GetLastError(), 2u);
  machine.files.RemovePath("C:\\WINDOWS\\system32\\shutdown.exe");
  EXPECT_EQ(platform.StartProcess("shutdown.exe -r -t 120", kSwShowMinimized), 0u);
  EXPECT_EQ(machine.startedProcesses.size(), 4u) << "failed starts are not in the list";
}

TEST_F(SimSystem, WaitedProgramsReportTheExitCodeOfTheirRule) {
  machine.commandRules.push_back(CommandRule{"*regedit.exe /e *", 1});
  std::uint32_t exitCode = 99;
  ASSERT_TRUE(platform.RunProcessAndWait(
      "c:\\windows\\regedit.exe /e \"c:\\avserve.reg\" "
      "\"HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\avserve\"",
      kSwHide, &exitCode));
  EXPECT_EQ(exitCode, 1u);
  ASSERT_TRUE(platform.RunProcessAndWait("attrib -R -S -H c:\\x", kSwHide, &exitCode));
  EXPECT_EQ(exitCode, 0u);
  EXPECT_TRUE(machine.startedProcesses.back().waited);
}

TEST_F(SimSystem, ShellOpensAreRecordedNotPerformed) {
  EXPECT_GT(
      platform.ShellExecuteA(0, "open", "http://www.quellix.example/?id=14", "", "", kSwShowNormal),
      32u);
  ASSERT_EQ(machine.shellOpens.size(), 1u);
  EXPECT_EQ(machine.shellOpens[0].file, "http://www.quellix.example/?id=14");
  EXPECT_EQ(machine.shellOpens[0].verb, "open");
  EXPECT_GT(platform.ShellExecuteA(0, "open", "boot.ini", "", "c:\\", kSwShowNormal), 32u)
      << "a relative document is found from the given folder";

  EXPECT_EQ(
      platform.ShellExecuteA(0, "open", "c:\\windows\\temp\\missing.txt", "", "", kSwShowNormal),
      2u);
  EXPECT_EQ(platform.ShellExecuteA(0, "open", "c:\\nowhere\\missing.txt", "", "", kSwShowNormal),
            3u);
  machine.InjectFault("ShellExecuteA", "", 1155);
  EXPECT_LE(platform.ShellExecuteA(0, "open", "http://x/", "", "", kSwShowNormal), 32u);
  EXPECT_EQ(machine.shellOpens.size(), 2u);
  EXPECT_EQ(machine.ChangesBy("ShellExecuteA").size(), 5u) << "refused opens are recorded too";
}

TEST_F(SimSystem, MciDevicesMustBeOpenedBeforeUse) {
  // The About window's tune: written to the temporary folder, opened, played;
  // CLOSE stops and closes it whether or not it was opened.
  EXPECT_EQ(platform.MciSendStringA("close midi"), simerror::kMciInvalidDeviceName);
  EXPECT_EQ(platform.MciSendStringA("open C:\\WINDOWS\\TEMP\\1234.mid type sequencer alias midi"),
            simerror::kMciFileNotFound);
  machine.files.AddFile("C:\\WINDOWS\\TEMP\\1234.mid", {'M', 'T', 'h', 'd'});
  EXPECT_EQ(platform.MciSendStringA("open C:\\WINDOWS\\TEMP\\1234.mid type sequencer alias midi"),
            0u);
  EXPECT_EQ(platform.MciSendStringA("open C:\\WINDOWS\\TEMP\\1234.mid type sequencer alias midi"),
            simerror::kMciDuplicateAlias);
  EXPECT_EQ(platform.MciSendStringA("play midi"), 0u);
  EXPECT_EQ(platform.MciSendStringA("stop MIDI"), 0u);
  EXPECT_EQ(platform.MciSendStringA("close midi"), 0u);
  EXPECT_EQ(platform.MciSendStringA("play midi"), simerror::kMciInvalidDeviceName);
  EXPECT_EQ(platform.MciSendStringA("close all"), 0u);
  EXPECT_EQ(platform.MciSendStringA("dance midi"), simerror::kMciUnrecognizedCommand);
  EXPECT_EQ(machine.mciCommands.size(), 10u);
  EXPECT_EQ(machine.mciCommands[4], "play midi");
}

TEST_F(SimSystem, SystemMessagesAndUnknownCodes) {
  EXPECT_EQ(platform.FormatMessageA(5), "Access is denied.\r\n");
  EXPECT_EQ(platform.FormatMessageA(2), "The system cannot find the file specified.\r\n");
  EXPECT_EQ(platform.FormatMessageA(0x7FFFFFF0u), "");
  EXPECT_EQ(platform.GetLastError(), simerror::kMessageNotFound);
}

TEST_F(SimSystem, UserAndPlatform) {
  std::string user;
  ASSERT_TRUE(platform.GetUserNameA(&user));
  EXPECT_EQ(user, "User");
  EXPECT_EQ(platform.GetPlatformId(), kPlatformWin32Nt);
  machine.platformId = kPlatformWin32Windows;
  EXPECT_EQ(platform.GetPlatformId(), kPlatformWin32Windows);
}

}  // namespace
}  // namespace platform::sim
