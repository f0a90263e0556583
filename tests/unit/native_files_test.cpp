// The run's file calls under WOW64: made in the native view, redirection put
// back after each, the call's own error kept, and never made redirected.
#include <gtest/gtest.h>

#include "platform/sim/SimPlatform.h"
#include "quellix/engine/system/NativeFiles.h"

namespace quellix {
namespace {

using platform::sim::Machine;

Machine Wow64Machine() {
  Machine machine = platform::sim::MakeStandardMachine();
  machine.windows64 = true;
  machine.files.AddTextFile("C:\\WINDOWS\\system32\\same.exe", "64");
  machine.files.AddTextFile("C:\\WINDOWS\\SysWOW64\\same.exe", "32");
  return machine;
}

TEST(NativeFiles, FileCallsReachTheRealPlaceAndRedirectionComesBack) {
  Machine machine = Wow64Machine();
  platform::sim::SimPlatform sim(machine);
  NativeFiles files(sim);
  ASSERT_TRUE(files.DeleteFileA("c:\\windows\\system32\\same.exe"));
  EXPECT_EQ(machine.files.FindPath("C:\\WINDOWS\\system32\\same.exe"), nullptr);
  EXPECT_NE(machine.files.FindPath("C:\\WINDOWS\\SysWOW64\\same.exe"), nullptr);
  // The failing call's error survives turning redirection back on.
  files.SetLastError(0);
  EXPECT_FALSE(files.DeleteFileA("c:\\windows\\system32\\same.exe"));
  EXPECT_EQ(files.GetLastError(), static_cast<std::uint32_t>(platform::error::kFileNotFound));
  // The program's own calls are redirected again.
  EXPECT_NE(sim.GetFileAttributesA("c:\\windows\\system32\\same.exe"),
            platform::kInvalidFileAttributes);
}

TEST(NativeFiles, NoFileCallIsMadeWhenRedirectionCannotBeTurnedOff) {
  Machine machine = Wow64Machine();
  machine.InjectFault("Wow64DisableWow64FsRedirection", "", platform::error::kAccessDenied);
  platform::sim::SimPlatform sim(machine);
  NativeFiles files(sim);
  EXPECT_FALSE(files.DeleteFileA("c:\\windows\\system32\\same.exe"));
  EXPECT_EQ(files.GetLastError(), static_cast<std::uint32_t>(platform::error::kAccessDenied));
  EXPECT_EQ(files.GetFileAttributesA("c:\\windows\\system32\\same.exe"),
            platform::kInvalidFileAttributes);
  EXPECT_NE(machine.files.FindPath("C:\\WINDOWS\\SysWOW64\\same.exe"), nullptr)
      << "the redirected file must not be deleted in the real one's place";
  EXPECT_NE(machine.files.FindPath("C:\\WINDOWS\\system32\\same.exe"), nullptr);
}

}  // namespace
}  // namespace quellix
