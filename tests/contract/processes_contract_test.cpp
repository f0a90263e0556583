// Processes as the process pass sees them: the id list and its doubling
// buffer, the image path of a process, the errors of a process that is not
// there, the debug privilege, the platform id, and programs started with and
// without waiting.
#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "tests/contract/ContractTest.h"

namespace contract {
namespace {

namespace error = platform::error;
using platform::Handle;

// What the process pass asks for when it lists modules.
constexpr std::uint32_t kQueryAndRead =
    platform::kProcessQueryInformation | platform::kProcessVmRead;
constexpr std::uint32_t kModuleBuffer = 200;
constexpr std::uint32_t kPathBuffer = 260;

class ProcessesContract : public ContractTest {
 protected:
  std::vector<std::uint32_t> ListProcesses() {
    std::vector<std::uint32_t> ids;
    std::uint32_t returned = 0;
    EXPECT_TRUE(sys().EnumProcesses(64 * 1024, &ids, &returned));
    return ids;
  }

  // The image path of a process, read as the process pass reads it.
  std::string ImagePath(std::uint32_t pid, std::uint32_t capacity) {
    const auto process =
        Observe(sys(), [&] { return sys().OpenProcess(kQueryAndRead, false, pid); });
    EXPECT_NE(process.value, platform::kNullHandle) << "pid " << pid << ": " << process;
    if (process.value == platform::kNullHandle) return std::string();
    std::vector<std::uintptr_t> modules;
    std::uint32_t needed = 0;
    const auto listed = Observe(sys(), [&] {
      return sys().EnumProcessModules(process.value, kModuleBuffer, &modules, &needed);
    });
    EXPECT_TRUE(listed.value) << listed;
    EXPECT_FALSE(modules.empty()) << "bytes needed " << needed;
    std::string path;
    if (listed.value && !modules.empty()) {
      const auto copied = Observe(sys(), [&] {
        return sys().GetModuleFileNameExA(process.value, modules.front(), capacity, &path);
      });
      EXPECT_GT(copied.value, 0u) << copied;
      EXPECT_LT(copied.value, capacity) << copied;
      EXPECT_EQ(copied.value, path.size()) << path;
    }
    EXPECT_TRUE(sys().CloseHandle(process.value));
    return path;
  }
};

// Holds a started program from its start and ends it when the case ends,
// passed or not. Holding the handle keeps the pid from going to another
// process before the termination.
class TerminateAtEnd {
 public:
  TerminateAtEnd(platform::Platform& platform, std::uint32_t pid)
      : platform_(platform),
        process_(platform.OpenProcess(platform::kProcessTerminate, false, pid)) {}
  ~TerminateAtEnd() {
    if (process_ == platform::kNullHandle) return;
    platform_.TerminateProcess(process_, 0);
    platform_.CloseHandle(process_);
  }
  TerminateAtEnd(const TerminateAtEnd&) = delete;
  TerminateAtEnd& operator=(const TerminateAtEnd&) = delete;

  Handle process() const { return process_; }

 private:
  platform::Platform& platform_;
  Handle process_;
};

TEST_F(ProcessesContract, ProcessListHoldsARunningProcess) {
  const RunningProcess known = backend().KnownProcess();
  std::vector<std::uint32_t> ids;
  std::uint32_t returned = 0;
  const std::uint32_t buffer = 64 * 1024;
  const auto listed = Observe(sys(), [&] { return sys().EnumProcesses(buffer, &ids, &returned); });
  ASSERT_TRUE(listed.value) << listed;
  EXPECT_LT(returned, buffer) << "a list that fits comes back shorter than the buffer";
  EXPECT_EQ(returned % 4, 0u) << returned;
  EXPECT_EQ(ids.size(), returned / 4);
  EXPECT_NE(std::find(ids.begin(), ids.end(), known.pid), ids.end())
      << "pid " << known.pid << " (" << known.imageFileName << ") is not listed";
}

// The process pass doubles its buffer for as long as the list comes back as
// long as the buffer.
TEST_F(ProcessesContract, ListThatDoesNotFitFillsTheWholeBuffer) {
  ASSERT_GT(ListProcesses().size(), 4u) << "the case needs more than four processes";
  std::vector<std::uint32_t> ids;
  std::uint32_t returned = 0;
  const auto listed = Observe(sys(), [&] { return sys().EnumProcesses(16, &ids, &returned); });
  ASSERT_TRUE(listed.value) << listed;
  EXPECT_EQ(returned, 16u);
  EXPECT_EQ(ids.size(), 4u);
}

TEST_F(ProcessesContract, FirstModuleNamesTheProcessImage) {
  const RunningProcess known = backend().KnownProcess();
  const std::string path = ImagePath(known.pid, kPathBuffer);
  EXPECT_TRUE(EndsWithNoCase(path, "\\" + known.imageFileName))
      << "\"" << path << "\" for pid " << known.pid << ", expected a path ending in "
      << known.imageFileName;
}

TEST_F(ProcessesContract, ModuleFileNameIsCutToTheBuffer) {
  const RunningProcess known = backend().KnownProcess();
  const std::string full = ImagePath(known.pid, kPathBuffer);
  ASSERT_GT(full.size(), 5u);
  const std::string cut = ImagePath(known.pid, 5);
  EXPECT_EQ(cut, full.substr(0, 4)) << "a buffer of 5 holds 4 characters and the NUL";
}

TEST_F(ProcessesContract, ProcessThatIsNotListedCannotBeOpened) {
  const std::vector<std::uint32_t> ids = ListProcesses();
  std::uint32_t unlisted = 0x7FF0;
  while (std::find(ids.begin(), ids.end(), unlisted) != ids.end()) unlisted -= 4;

  const auto opened = Observe(
      sys(), [&] { return sys().OpenProcess(platform::kProcessAllAccess, false, unlisted); });
  EXPECT_EQ(opened.value, platform::kNullHandle) << opened;
  EXPECT_EQ(opened.lastError, static_cast<std::uint32_t>(error::kInvalidParameter)) << opened;

  // The pass goes on to terminate through the handle it did not get.
  const auto terminated =
      Observe(sys(), [&] { return sys().TerminateProcess(platform::kNullHandle, 0); });
  EXPECT_FALSE(terminated.value) << terminated;
  EXPECT_EQ(terminated.lastError, static_cast<std::uint32_t>(error::kInvalidHandle)) << terminated;
}

TEST_F(ProcessesContract, DebugPrivilegeIsEnabledAndDisabledThroughTheToken) {
  Handle token = platform::kNullHandle;
  const auto opened = Observe(sys(), [&] {
    return sys().OpenProcessToken(platform::kTokenAdjustPrivileges | platform::kTokenQuery, &token);
  });
  ASSERT_TRUE(opened.value) << opened;

  platform::Luid debug;
  const auto looked =
      Observe(sys(), [&] { return sys().LookupPrivilegeValueA("", "SeDebugPrivilege", &debug); });
  EXPECT_TRUE(looked.value) << looked;
  const auto enabled = Observe(sys(), [&] {
    return sys().AdjustTokenPrivileges(token, debug, platform::kSePrivilegeEnabled);
  });
  EXPECT_TRUE(enabled.value) << enabled;
  const auto disabled =
      Observe(sys(), [&] { return sys().AdjustTokenPrivileges(token, debug, 0); });
  EXPECT_TRUE(disabled.value) << disabled;
  EXPECT_TRUE(sys().CloseHandle(token));

  platform::Luid unknown;
  const auto missing = Observe(
      sys(), [&] { return sys().LookupPrivilegeValueA("", "SeNoSuchPrivilege", &unknown); });
  EXPECT_FALSE(missing.value) << missing;
  EXPECT_EQ(missing.lastError, static_cast<std::uint32_t>(error::kNoSuchPrivilege)) << missing;
}

TEST_F(ProcessesContract, PlatformIsTheNtFamily) {
  const auto id = Observe(sys(), [&] { return sys().GetPlatformId(); });
  EXPECT_EQ(id.value, platform::kPlatformWin32Nt) << id;
}

TEST_F(ProcessesContract, StartedProgramRunsOnAfterStartReturns) {
  // Counts for a long while and does nothing else; the case ends it.
  const std::string lingering = "cmd.exe /c for /l %i in (1,1,2000000000) do rem";
  const auto clock = std::chrono::steady_clock::now();
  const auto started =
      Observe(sys(), [&] { return sys().StartProcess(lingering, platform::kSwHide); });
  const auto took = std::chrono::steady_clock::now() - clock;
  ASSERT_NE(started.value, 0u) << started;
  TerminateAtEnd ender(sys(), started.value);
  EXPECT_LT(took, std::chrono::seconds(10)) << "the start waited for the program";
  if (!backend().RunsPrograms()) {
    GTEST_SKIP() << BackendName(backend().Kind())
                 << " records started programs without running them";
  }

  const std::vector<std::uint32_t> ids = ListProcesses();
  EXPECT_NE(std::find(ids.begin(), ids.end(), started.value), ids.end())
      << "pid " << started.value << " is not running";
  ASSERT_NE(ender.process(), platform::kNullHandle) << "pid " << started.value;
  const auto terminated =
      Observe(sys(), [&] { return sys().TerminateProcess(ender.process(), 0); });
  EXPECT_TRUE(terminated.value) << terminated;
}

// The service pass logs a failed backup when the registry editor does not start.
TEST_F(ProcessesContract, ProgramThatDoesNotExistDoesNotStart) {
  const auto started = Observe(
      sys(), [&] { return sys().StartProcess("qlx-no-such-program.exe /e", platform::kSwHide); });
  EXPECT_EQ(started.value, 0u) << started;
  EXPECT_EQ(started.lastError, static_cast<std::uint32_t>(error::kFileNotFound)) << started;
}

TEST_F(ProcessesContract, WaitedProgramReportsItsExitCode) {
  if (!backend().RunsPrograms()) {
    GTEST_SKIP() << BackendName(backend().Kind())
                 << " records started programs without running them";
  }
  std::uint32_t exitCode = 0;
  const auto ran = Observe(sys(), [&] {
    return sys().RunProcessAndWait("cmd.exe /c exit 7", platform::kSwHide, &exitCode);
  });
  ASSERT_TRUE(ran.value) << ran;
  EXPECT_EQ(exitCode, 7u);

  const auto missing = Observe(sys(), [&] {
    return sys().RunProcessAndWait("qlx-no-such-program.exe", platform::kSwHide, &exitCode);
  });
  EXPECT_FALSE(missing.value) << missing;
  EXPECT_EQ(missing.lastError, static_cast<std::uint32_t>(error::kFileNotFound)) << missing;
}

bool SameNameNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && EndsWithNoCase(a, b);
}

// The fixer ends a program by its image name with the processes it started,
// and waits for each to end before it deletes the program's file.
TEST_F(ProcessesContract, SnapshotNamesProcessesAndWaitTellsRunningFromEnded) {
  const RunningProcess known = backend().KnownProcess();
  std::vector<platform::ProcessSnapshotEntry> entries;
  const auto taken = Observe(sys(), [&] { return sys().SnapshotProcesses(&entries); });
  ASSERT_TRUE(taken.value) << taken;
  const auto found = std::find_if(entries.begin(), entries.end(),
                                  [&](const auto& entry) { return entry.pid == known.pid; });
  ASSERT_NE(found, entries.end()) << "pid " << known.pid;
  EXPECT_TRUE(SameNameNoCase(found->exeFile, known.imageFileName)) << found->exeFile;

  const Handle running = sys().OpenProcess(platform::kSynchronize, false, known.pid);
  ASSERT_NE(running, platform::kNullHandle);
  const auto waited = Observe(sys(), [&] { return sys().WaitForSingleObject(running, 0); });
  EXPECT_EQ(waited.value, platform::kWaitTimeout) << waited;
  sys().CloseHandle(running);
  const Handle queryOnly = sys().OpenProcess(platform::kProcessQueryInformation, false, known.pid);
  ASSERT_NE(queryOnly, platform::kNullHandle);
  const auto refused = Observe(sys(), [&] { return sys().WaitForSingleObject(queryOnly, 0); });
  EXPECT_EQ(refused.value, platform::kWaitFailed) << refused;
  EXPECT_EQ(refused.lastError, static_cast<std::uint32_t>(error::kAccessDenied)) << refused;
  sys().CloseHandle(queryOnly);

  if (!backend().RunsPrograms()) {
    GTEST_SKIP() << BackendName(backend().Kind())
                 << " records started programs without running them";
  }
  const std::uint32_t child =
      sys().StartProcess("cmd.exe /c for /l %i in (1,1,2000000000) do rem", platform::kSwHide);
  ASSERT_NE(child, 0u);
  const Handle process =
      sys().OpenProcess(platform::kProcessTerminate | platform::kSynchronize, false, child);
  ASSERT_NE(process, platform::kNullHandle);
  ASSERT_TRUE(sys().SnapshotProcesses(&entries));
  const auto started = std::find_if(entries.begin(), entries.end(),
                                    [&](const auto& entry) { return entry.pid == child; });
  ASSERT_NE(started, entries.end());
  EXPECT_EQ(started->parentPid, known.pid) << "the starter is the parent";
  EXPECT_TRUE(SameNameNoCase(started->exeFile, "cmd.exe")) << started->exeFile;
  ASSERT_TRUE(sys().TerminateProcess(process, 0));
  EXPECT_EQ(sys().WaitForSingleObject(process, 5000), platform::kWaitObject0);
  sys().CloseHandle(process);
}

}  // namespace
}  // namespace contract
