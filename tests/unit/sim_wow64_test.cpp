// The simulated 64-bit Windows as a 32-bit program sees it (WOW64): folder
// redirection and its exemptions, the Sysnative alias, redirection turned off
// and back, the two registry views with their shared keys, and 64-bit
// processes whose modules cannot be listed. The Wine tier runs only 64-bit
// programs, which WOW64 never touches, so these cases pin the model here.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/SimPlatform.h"

namespace platform::sim {
namespace {

constexpr const char* kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

Machine Wow64Machine() {
  Machine machine = MakeStandardMachine();
  machine.windows64 = true;
  machine.files.AddFolder("C:\\WINDOWS\\SysWOW64\\drivers");
  machine.files.AddTextFile("C:\\WINDOWS\\system32\\native.txt", "64");
  machine.files.AddTextFile("C:\\WINDOWS\\SysWOW64\\native.txt", "32");
  return machine;
}

std::string Contents(SimPlatform& platform, const std::string& path) {
  const Handle file = platform.CreateFileA(path, kGenericRead, kFileShareRead, kOpenExisting, 0);
  if (file == kInvalidHandleValue) return "(error " + std::to_string(platform.GetLastError()) + ")";
  std::vector<std::uint8_t> bytes;
  platform.ReadFile(file, 4096, &bytes);
  platform.CloseHandle(file);
  return std::string(bytes.begin(), bytes.end());
}

TEST(SimWow64, FoldersAreRedirectedUnlessExemptOrTurnedOff) {
  Machine machine = Wow64Machine();
  SimPlatform platform(machine);
  bool wow64 = false;
  ASSERT_TRUE(platform.IsWow64Process(&wow64));
  EXPECT_TRUE(wow64);
  std::string buffer(255, ' ');
  ASSERT_EQ(platform.GetSystemDirectoryA(buffer), 19u);
  EXPECT_EQ(buffer.substr(0, 19), "C:\\WINDOWS\\system32");
  ASSERT_EQ(platform.GetSystemWow64DirectoryA(buffer), 19u);
  EXPECT_EQ(buffer.substr(0, 19), "C:\\WINDOWS\\SysWOW64");

  EXPECT_EQ(Contents(platform, "c:\\windows\\system32\\native.txt"), "32");
  EXPECT_EQ(Contents(platform, "c:\\windows\\sysnative\\native.txt"), "64");
  // drivers\etc is exempt, drivers itself is not.
  EXPECT_NE(Contents(platform, "C:\\WINDOWS\\system32\\drivers\\etc\\hosts").find("localhost"),
            std::string::npos);
  ASSERT_TRUE(platform.CopyFileA("c:\\windows\\system32\\native.txt",
                                 "c:\\windows\\system32\\drivers\\copy.txt", true));
  EXPECT_NE(machine.files.FindPath("C:\\WINDOWS\\SysWOW64\\drivers\\copy.txt"), nullptr);
  EXPECT_EQ(machine.files.FindPath("C:\\WINDOWS\\system32\\drivers\\copy.txt"), nullptr);
  // The record names the real place.
  EXPECT_EQ(machine.changes.back().target, "C:\\WINDOWS\\SysWOW64\\drivers\\copy.txt");

  std::uintptr_t previous = 7;
  ASSERT_TRUE(platform.Wow64DisableWow64FsRedirection(&previous));
  EXPECT_EQ(Contents(platform, "c:\\windows\\system32\\native.txt"), "64");
  EXPECT_EQ(Contents(platform, "c:\\windows\\syswow64\\native.txt"), "32");
  // Sysnative exists only for a redirected program.
  EXPECT_EQ(Contents(platform, "c:\\windows\\sysnative\\native.txt"), "(error 3)");
  std::vector<FindEntry> listing;
  ASSERT_TRUE(platform.FindFiles("c:\\windows\\system32\\native.*", &listing));
  ASSERT_TRUE(platform.Wow64RevertWow64FsRedirection(previous));
  EXPECT_EQ(Contents(platform, "c:\\windows\\system32\\native.txt"), "32");
}

TEST(SimWow64, ThirtyTwoBitWindowsHasNoSecondWorld) {
  Machine machine = MakeStandardMachine();
  SimPlatform platform(machine);
  bool wow64 = true;
  ASSERT_TRUE(platform.IsWow64Process(&wow64));
  EXPECT_FALSE(wow64);
  std::string buffer(255, ' ');
  EXPECT_EQ(platform.GetSystemWow64DirectoryA(buffer), 0u);
  EXPECT_EQ(platform.GetLastError(), static_cast<std::uint32_t>(error::kCallNotImplemented));
  std::uintptr_t previous = 0;
  EXPECT_FALSE(platform.Wow64DisableWow64FsRedirection(&previous));
  // The sim's 32-bit Windows is XP, which lacks the image path call.
  machine.AddProcess(2212, "C:\\WINDOWS\\worm.exe");
  const Handle process = platform.OpenProcess(kProcessQueryInformation, false, 2212);
  std::string path;
  EXPECT_FALSE(platform.QueryFullProcessImageNameA(process, 260, &path));
  EXPECT_EQ(platform.GetLastError(), static_cast<std::uint32_t>(error::kCallNotImplemented));
  platform.CloseHandle(process);
}

TEST(SimWow64, RegistryViewsAndSharedKeys) {
  Machine machine = Wow64Machine();
  machine.registry.SetString(std::string("HKLM\\") + kRun, "native", "c:\\a64.exe");
  machine.registry.SetString("HKLM\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run",
                             "wow", "c:\\a32.exe");
  SimPlatform platform(machine);
  // Which of the two values the key holds.
  const auto firstValue = [&](HKey key) {
    std::string held;
    for (const char* name : {"native", "wow"}) {
      std::uint32_t type = 0;
      std::vector<std::uint8_t> data;
      if (platform.RegQueryValueExA(key, name, &type, &data) == error::kSuccess) held += name;
    }
    platform.RegCloseKey(key);
    return held;
  };
  HKey key = 0;
  ASSERT_EQ(platform.RegOpenKeyA(kHkeyLocalMachine, kRun, &key), error::kSuccess);
  EXPECT_EQ(firstValue(key), "wow");
  ASSERT_EQ(platform.RegOpenKeyExA(kHkeyLocalMachine, kRun, kKeyRead | kKeyWow64_64Key, &key),
            error::kSuccess);
  EXPECT_EQ(firstValue(key), "native");

  // A key that a 32-bit program creates under HKLM\Software lands in
  // Wow6432Node; the policies and the user's keys are one for both views.
  ASSERT_EQ(platform.RegCreateKeyA(kHkeyLocalMachine, "Software\\Qlx32", &key), error::kSuccess);
  platform.RegCloseKey(key);
  EXPECT_NE(machine.registry.FindKey("HKLM\\Software\\Wow6432Node\\Qlx32"), nullptr);
  EXPECT_EQ(machine.registry.FindKey("HKLM\\Software\\Qlx32"), nullptr);
  for (const char* shared : {"Software\\Policies\\Microsoft\\Windows NT\\SystemRestore",
                             "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer"}) {
    ASSERT_EQ(platform.RegCreateKeyA(kHkeyLocalMachine, shared, &key), error::kSuccess) << shared;
    platform.RegCloseKey(key);
    EXPECT_NE(machine.registry.FindKey(std::string("HKLM\\") + shared), nullptr) << shared;
  }
  ASSERT_EQ(platform.RegCreateKeyA(kHkeyCurrentUser, "Software\\Qlx32", &key), error::kSuccess);
  platform.RegCloseKey(key);
  EXPECT_NE(machine.registry.FindKey("HKCU\\Software\\Qlx32"), nullptr);
  // A 64-bit program sees the 64-bit keys by default.
  machine.program64 = true;
  ASSERT_EQ(platform.RegOpenKeyA(kHkeyLocalMachine, kRun, &key), error::kSuccess);
  EXPECT_EQ(firstValue(key), "native");
}

TEST(SimWow64, SixtyFourBitProcessesGiveOnlyTheirImagePath) {
  Machine machine = Wow64Machine();
  machine.AddProcess(3300, "C:\\WINDOWS\\system32\\worm64.exe").is64Bit = true;
  machine.AddProcess(3301, "C:\\WINDOWS\\SysWOW64\\worm32.exe");
  SimPlatform platform(machine);
  const auto modulePath = [&](std::uint32_t pid, bool* listed) {
    const Handle process =
        platform.OpenProcess(kProcessQueryInformation | kProcessVmRead, false, pid);
    std::vector<std::uintptr_t> modules;
    std::uint32_t needed = 0;
    *listed = platform.EnumProcessModules(process, 200, &modules, &needed);
    const std::uint32_t listError = platform.GetLastError();
    std::string path;
    EXPECT_TRUE(platform.QueryFullProcessImageNameA(process, 260, &path)) << pid;
    platform.CloseHandle(process);
    return *listed ? path : path + " (" + std::to_string(listError) + ")";
  };
  bool listed = true;
  EXPECT_EQ(modulePath(3300, &listed), "C:\\WINDOWS\\system32\\worm64.exe (299)");
  EXPECT_EQ(modulePath(3301, &listed), "C:\\WINDOWS\\SysWOW64\\worm32.exe");
  // A 64-bit program lists both.
  machine.program64 = true;
  EXPECT_EQ(modulePath(3300, &listed), "C:\\WINDOWS\\system32\\worm64.exe");
}

}  // namespace
}  // namespace platform::sim
