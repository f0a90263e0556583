// The run's file calls under WOW64: made in the native view, redirection put
// back after each, the call's own error kept, and never made redirected.
#include <gtest/gtest.h>

#include <new>

#include "platform/ForwardingPlatform.h"
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
  ASSERT_TRUE(files.CreateDirectoryA("c:\\windows\\system32\\made"));
  EXPECT_NE(machine.files.FindPath("C:\\WINDOWS\\system32\\made"), nullptr);
  EXPECT_EQ(machine.files.FindPath("C:\\WINDOWS\\SysWOW64\\made"), nullptr);
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

// A Windows whose redirection calls misbehave as they may: a revert that
// clears the last error or fails, and a file call that throws.
class UnrulyWindows : public platform::ForwardingPlatform {
 public:
  using ForwardingPlatform::ForwardingPlatform;
  bool failRevert = false;
  bool throwOnAttributes = false;
  int fileCalls = 0;

  bool Wow64RevertWow64FsRedirection(std::uintptr_t oldValue) override {
    const bool reverted = !failRevert && inner().Wow64RevertWow64FsRedirection(oldValue);
    inner().SetLastError(reverted ? 0 : platform::error::kAccessDenied);
    return reverted;
  }
  std::uint32_t GetFileAttributesA(const std::string& path) override {
    ++fileCalls;
    if (throwOnAttributes) throw std::bad_alloc();
    return inner().GetFileAttributesA(path);
  }
  bool DeleteFileA(const std::string& path) override {
    ++fileCalls;
    return inner().DeleteFileA(path);
  }
};

TEST(NativeFiles, RedirectionComesBackOnEveryExitAndNoFileCallFollowsAFailedRevert) {
  Machine machine = Wow64Machine();
  platform::sim::SimPlatform sim(machine);
  UnrulyWindows windows(sim);
  NativeFiles files(windows);
  const auto redirectedSees = [&](const char* path) {
    return sim.GetFileAttributesA(path) != platform::kInvalidFileAttributes;
  };

  // The failing call's error survives a revert that clears the last error.
  EXPECT_FALSE(files.DeleteFileA("c:\\windows\\system32\\absent.exe"));
  EXPECT_EQ(files.GetLastError(), static_cast<std::uint32_t>(platform::error::kFileNotFound));

  windows.throwOnAttributes = true;
  EXPECT_THROW(files.GetFileAttributesA("c:\\windows\\system32\\same.exe"), std::bad_alloc);
  windows.throwOnAttributes = false;
  machine.files.RemovePath("C:\\WINDOWS\\system32\\same.exe");
  EXPECT_TRUE(redirectedSees("c:\\windows\\system32\\same.exe"))
      << "redirected again after the exception: system32 leads to SysWOW64";

  windows.failRevert = true;
  EXPECT_NE(files.GetFileAttributesA("c:\\windows\\syswow64\\same.exe"),
            platform::kInvalidFileAttributes);
  const int callsBefore = windows.fileCalls;
  EXPECT_FALSE(files.DeleteFileA("c:\\windows\\syswow64\\same.exe"));
  EXPECT_EQ(windows.fileCalls, callsBefore) << "no file call once the thread stays native";
  EXPECT_NE(machine.files.FindPath("C:\\WINDOWS\\SysWOW64\\same.exe"), nullptr);
}

}  // namespace
}  // namespace quellix
