// Processes, privileges and services of the simulated machine, exercised the
// way the process pass and the service removal use them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/sim/SimPlatform.h"

namespace platform::sim {
namespace {

constexpr std::uint32_t kQueryAndRead = kProcessQueryInformation | kProcessVmRead;
constexpr std::uint32_t kServiceInterrogateOnly = 0x80;

class SimProcesses : public ::testing::Test {
 protected:
  SimProcesses() : machine(MakeStandardMachine()), platform(machine) {}

  // The enumeration loop of the programs: a buffer of 16 bytes, doubled for
  // as long as the call fills it.
  std::vector<std::uint32_t> AllIds() {
    std::vector<std::uint32_t> ids;
    std::uint32_t bufferBytes = 16;
    std::uint32_t returned = 0;
    for (;; bufferBytes *= 2) {
      EXPECT_TRUE(platform.EnumProcesses(bufferBytes, &ids, &returned));
      if (returned < bufferBytes) break;
    }
    EXPECT_EQ(ids.size(), returned / 4);
    return ids;
  }

  std::string MainModulePath(std::uint32_t pid) {
    const Handle process = platform.OpenProcess(kQueryAndRead, false, pid);
    if (process == kNullHandle)
      return "<open error " + std::to_string(platform.GetLastError()) + ">";
    std::vector<std::uintptr_t> modules;
    std::uint32_t needed = 0;
    std::string path;
    if (platform.EnumProcessModules(process, 200, &modules, &needed) && !modules.empty()) {
      platform.GetModuleFileNameExA(process, modules[0], 260, &path);
    }
    platform.CloseHandle(process);
    return path;
  }

  bool Terminate(std::uint32_t pid) {
    const Handle process = platform.OpenProcess(kProcessAllAccess, false, pid);
    if (process == kNullHandle) return false;
    const bool ended = platform.TerminateProcess(process, 0);
    platform.CloseHandle(process);
    return ended;
  }

  Machine machine;
  SimPlatform platform;
};

TEST_F(SimProcesses, EnumerationFillsASmallBufferCompletely) {
  std::vector<std::uint32_t> ids;
  std::uint32_t returned = 0;
  ASSERT_TRUE(platform.EnumProcesses(16, &ids, &returned));
  EXPECT_EQ(returned, 16u) << "a full buffer means: there may be more";
  EXPECT_EQ(ids, (std::vector<std::uint32_t>{0, 4, 368, 588}));

  const std::vector<std::uint32_t> all = AllIds();
  ASSERT_EQ(all.size(), machine.processes.size());
  for (std::size_t i = 0; i < all.size(); ++i) EXPECT_EQ(all[i], machine.processes[i].pid);
}

TEST_F(SimProcesses, CoreProcessesReportTheirNtPathForms) {
  EXPECT_EQ(MainModulePath(368), "\\SystemRoot\\System32\\smss.exe");
  EXPECT_EQ(MainModulePath(588), "\\??\\C:\\WINDOWS\\system32\\csrss.exe");
  EXPECT_EQ(MainModulePath(1680), "C:\\WINDOWS\\Explorer.EXE");
  EXPECT_EQ(MainModulePath(0), "<open error 87>") << "the idle process";
  EXPECT_EQ(MainModulePath(4), "<open error 5>") << "System";
  EXPECT_EQ(MainModulePath(9999), "<open error 87>");
}

TEST_F(SimProcesses, ModuleCallsNeedQueryAndReadAccessAndHonourBuffers) {
  const Handle limited = platform.OpenProcess(kProcessTerminate, false, 1680);
  ASSERT_NE(limited, kNullHandle);
  std::vector<std::uintptr_t> modules;
  std::uint32_t needed = 0;
  EXPECT_FALSE(platform.EnumProcessModules(limited, 200, &modules, &needed));
  EXPECT_EQ(platform.GetLastError(), 5u);
  platform.CloseHandle(limited);

  const Handle process = platform.OpenProcess(kQueryAndRead, false, 1680);
  ASSERT_TRUE(platform.EnumProcessModules(process, 4, &modules, &needed));
  EXPECT_EQ(modules.size(), 1u) << "a 4-byte buffer holds the executable's handle only";
  EXPECT_GT(needed, 4u);
  std::string path;
  EXPECT_EQ(platform.GetModuleFileNameExA(process, modules[0], 11, &path), 10u);
  EXPECT_EQ(path, "C:\\WINDOWS") << "a short buffer gets the path cut, room kept for the NUL";
  EXPECT_EQ(platform.GetModuleFileNameExA(process, 0x12345, 260, &path), 0u);
  EXPECT_EQ(platform.GetLastError(), 6u);
  platform.CloseHandle(process);
}

TEST_F(SimProcesses, TerminationEndsTheProcessUnlessItRefuses) {
  machine.AddProcess(2212, "C:\\WINDOWS\\winmgrs.exe");
  machine.AddProcess(2260, "C:\\WINDOWS\\system32\\mbsmon32.exe").terminateSucceeds = false;

  EXPECT_TRUE(Terminate(2212));
  EXPECT_EQ(machine.FindProcess(2212), nullptr);
  EXPECT_FALSE(Terminate(2212)) << "an ended process cannot be opened again";
  EXPECT_EQ(platform.GetLastError(), 87u);

  EXPECT_FALSE(Terminate(2260));
  EXPECT_EQ(platform.GetLastError(), 5u);
  EXPECT_NE(machine.FindProcess(2260), nullptr);

  const Handle queryOnly = platform.OpenProcess(kQueryAndRead, false, 1680);
  EXPECT_FALSE(platform.TerminateProcess(queryOnly, 0));
  EXPECT_EQ(platform.GetLastError(), 5u);
  platform.CloseHandle(queryOnly);
  EXPECT_NE(machine.FindProcess(1680), nullptr);
}

TEST_F(SimProcesses, AHandleOutlivesItsProcess) {
  machine.AddProcess(2212, "C:\\WINDOWS\\winmgrs.exe");
  const Handle first = platform.OpenProcess(kProcessAllAccess, false, 2212);
  const Handle second = platform.OpenProcess(kProcessAllAccess, false, 2212);
  ASSERT_TRUE(platform.TerminateProcess(first, 0));
  EXPECT_FALSE(platform.TerminateProcess(second, 0));
  EXPECT_EQ(platform.GetLastError(), 5u);
  std::vector<std::uintptr_t> modules;
  std::uint32_t needed = 0;
  EXPECT_FALSE(platform.EnumProcessModules(second, 200, &modules, &needed));
  EXPECT_EQ(platform.GetLastError(), simerror::kPartialCopy);
  EXPECT_TRUE(platform.CloseHandle(first));
  EXPECT_TRUE(platform.CloseHandle(second));
  EXPECT_TRUE(platform.OpenHandles().empty());
}

TEST_F(SimProcesses, DebugPrivilegeIsLookedUpAndEnabled) {
  Handle token = kNullHandle;
  ASSERT_TRUE(platform.OpenProcessToken(kTokenAdjustPrivileges | kTokenQuery, &token));
  Luid luid;
  ASSERT_TRUE(platform.LookupPrivilegeValueA("", "SeDebugPrivilege", &luid));
  EXPECT_EQ(luid.low, 20u);
  EXPECT_EQ(luid.high, 0);
  ASSERT_TRUE(platform.AdjustTokenPrivileges(token, luid, kSePrivilegeEnabled));
  EXPECT_EQ(platform.GetLastError(), 0u);
  EXPECT_NE(std::find(machine.enabledPrivileges.begin(), machine.enabledPrivileges.end(),
                      "SeDebugPrivilege"),
            machine.enabledPrivileges.end());
  ASSERT_TRUE(platform.AdjustTokenPrivileges(token, luid, 0));
  EXPECT_EQ(std::find(machine.enabledPrivileges.begin(), machine.enabledPrivileges.end(),
                      "SeDebugPrivilege"),
            machine.enabledPrivileges.end());
  EXPECT_FALSE(platform.LookupPrivilegeValueA("", "SeNoSuchPrivilege", &luid));
  EXPECT_EQ(platform.GetLastError(), 1313u);
  EXPECT_TRUE(platform.CloseHandle(token));
}

TEST_F(SimProcesses, APrivilegeTheUserLacksIsReportedAsNotAllAssigned) {
  machine.heldPrivileges = {"SeChangeNotifyPrivilege"};
  Handle token = kNullHandle;
  ASSERT_TRUE(platform.OpenProcessToken(kTokenAdjustPrivileges | kTokenQuery, &token));
  Luid luid;
  ASSERT_TRUE(platform.LookupPrivilegeValueA("", "SeDebugPrivilege", &luid));
  EXPECT_TRUE(platform.AdjustTokenPrivileges(token, luid, kSePrivilegeEnabled));
  EXPECT_EQ(platform.GetLastError(), 1300u);
  platform.CloseHandle(token);

  ASSERT_TRUE(platform.OpenProcessToken(kTokenQuery, &token));
  EXPECT_FALSE(platform.AdjustTokenPrivileges(token, luid, kSePrivilegeEnabled));
  EXPECT_EQ(platform.GetLastError(), 5u);
  platform.CloseHandle(token);
}

class SimServices : public SimProcesses {
 protected:
  // StopService as the service pass does it; false with the error kept.
  bool Stop(const std::string& name, std::uint32_t access = kServiceAllAccess) {
    const Handle manager = platform.OpenSCManagerA("", "ServicesActive", kScManagerAllAccess);
    if (manager == kNullHandle) return false;
    bool stopped = false;
    const Handle service = platform.OpenServiceA(manager, name, access);
    std::uint32_t lastError = platform.GetLastError();
    if (service != kNullHandle) {
      stopped = platform.ControlService(service, kServiceControlStop);
      lastError = platform.GetLastError();
      platform.CloseServiceHandle(service);
    }
    platform.CloseServiceHandle(manager);
    platform.SetLastError(lastError);
    return stopped;
  }
};

TEST_F(SimServices, StoppingARunningServiceEndsItsOwnProcess) {
  machine.AddService("avserve", "C:\\WINDOWS\\avserve.exe").pid = 2436;
  machine.AddProcess(2436, "C:\\WINDOWS\\avserve.exe");
  EXPECT_TRUE(Stop("AVSERVE"));
  EXPECT_FALSE(machine.FindService("avserve")->running);
  EXPECT_EQ(machine.FindProcess(2436), nullptr);
  EXPECT_FALSE(Stop("avserve"));
  EXPECT_EQ(platform.GetLastError(), 1062u) << "a stopped service is not active";
  EXPECT_TRUE(platform.OpenHandles().empty());
}

TEST_F(SimServices, ASharedHostRunsOnWhileItHostsOtherServices) {
  EXPECT_TRUE(Stop("AudioSrv"));
  EXPECT_NE(machine.FindProcess(1060), nullptr) << "Schedule still runs in the same svchost";
}

TEST_F(SimServices, RefusedStopsAndMissingServices) {
  EXPECT_FALSE(Stop("Eventlog"));
  EXPECT_EQ(platform.GetLastError(), 1052u);
  EXPECT_TRUE(machine.FindService("Eventlog")->running);
  EXPECT_FALSE(Stop("NoSuchService"));
  EXPECT_EQ(platform.GetLastError(), 1060u);
  EXPECT_FALSE(Stop("Spooler", kServiceInterrogateOnly));
  EXPECT_EQ(platform.GetLastError(), 5u);
}

TEST_F(SimServices, ManagerAndServiceHandlesAreTheirOwnKind) {
  EXPECT_EQ(platform.OpenSCManagerA("", "NoSuchDatabase", kScManagerAllAccess), kNullHandle);
  EXPECT_EQ(platform.GetLastError(), simerror::kDatabaseDoesNotExist);
  const Handle manager = platform.OpenSCManagerA("", "", kScManagerAllAccess);
  ASSERT_NE(manager, kNullHandle);
  EXPECT_FALSE(platform.CloseHandle(manager)) << "service handles are not kernel handles";
  EXPECT_EQ(platform.GetLastError(), 6u);
  EXPECT_TRUE(platform.CloseServiceHandle(manager));
  EXPECT_FALSE(platform.CloseServiceHandle(manager));
  EXPECT_EQ(platform.GetLastError(), 6u);
  EXPECT_EQ(platform.OpenServiceA(manager, "Spooler", kServiceAllAccess), kNullHandle);
  EXPECT_EQ(platform.GetLastError(), 6u);
}

}  // namespace
}  // namespace platform::sim
