// Services, processes and privileges of SimPlatform.
#include <algorithm>
#include <string>

#include "platform/sim/SimPlatform.h"
#include "platform/sim/SimText.h"

namespace platform::sim {

namespace {

constexpr std::uint32_t kServiceStop = 0x0020;
constexpr std::uint32_t kServiceInterrogate = 0x0080;
constexpr std::uint32_t kServiceControlInterrogate = 4;
constexpr std::uint32_t kModuleHandleBytes = 4;
constexpr std::uintptr_t kExecutableBase = 0x00400000;
constexpr std::uintptr_t kNtdllBase = 0x7C900000;
constexpr std::uintptr_t kKernel32Base = 0x7C800000;
constexpr std::uint32_t kGenFailure = 31;

struct PrivilegeName {
  const char* name;
  std::uint32_t luid;
};

// The privilege LUIDs of the NT family.
constexpr PrivilegeName kPrivileges[] = {
    {"SeCreateTokenPrivilege", 2},
    {"SeAssignPrimaryTokenPrivilege", 3},
    {"SeLockMemoryPrivilege", 4},
    {"SeIncreaseQuotaPrivilege", 5},
    {"SeMachineAccountPrivilege", 6},
    {"SeTcbPrivilege", 7},
    {"SeSecurityPrivilege", 8},
    {"SeTakeOwnershipPrivilege", 9},
    {"SeLoadDriverPrivilege", 10},
    {"SeSystemProfilePrivilege", 11},
    {"SeSystemtimePrivilege", 12},
    {"SeProfileSingleProcessPrivilege", 13},
    {"SeIncreaseBasePriorityPrivilege", 14},
    {"SeCreatePagefilePrivilege", 15},
    {"SeCreatePermanentPrivilege", 16},
    {"SeBackupPrivilege", 17},
    {"SeRestorePrivilege", 18},
    {"SeShutdownPrivilege", 19},
    {"SeDebugPrivilege", 20},
    {"SeAuditPrivilege", 21},
    {"SeSystemEnvironmentPrivilege", 22},
    {"SeChangeNotifyPrivilege", 23},
    {"SeRemoteShutdownPrivilege", 24},
    {"SeUndockPrivilege", 25},
    {"SeSyncAgentPrivilege", 26},
    {"SeEnableDelegationPrivilege", 27},
    {"SeManageVolumePrivilege", 28},
    {"SeImpersonatePrivilege", 29},
    {"SeCreateGlobalPrivilege", 30},
};

const char* PrivilegeOfLuid(const Luid& luid) {
  if (luid.high != 0) return nullptr;
  for (const PrivilegeName& privilege : kPrivileges) {
    if (privilege.luid == luid.low) return privilege.name;
  }
  return nullptr;
}

bool Contains(const std::vector<std::string>& names, std::string_view name) {
  return std::any_of(names.begin(), names.end(),
                     [&](const std::string& held) { return EqualsNoCase(held, name); });
}

}  // namespace

// ------------------------------------------------------------------- services

Handle SimPlatform::OpenSCManagerA(const std::string& machineName, const std::string& database,
                                   std::uint32_t access) {
  if (auto fault = TakeFault("OpenSCManagerA", {database})) {
    Fail(*fault);
    return kNullHandle;
  }
  if (!machineName.empty()) {
    Fail(simerror::kRpcServerUnavailable);  // the sim has no network
    return kNullHandle;
  }
  if (!database.empty() && !EqualsNoCase(database, "ServicesActive")) {
    Fail(simerror::kDatabaseDoesNotExist);
    return kNullHandle;
  }
  HandleEntry entry;
  entry.kind = Kind::kServiceManager;
  entry.access = access;
  return AddHandle(std::move(entry));
}

Handle SimPlatform::OpenServiceA(Handle manager, const std::string& serviceName,
                                 std::uint32_t access) {
  if (FindHandle(manager, Kind::kServiceManager) == nullptr) {
    Fail(error::kInvalidHandle);
    return kNullHandle;
  }
  if (auto fault = TakeFault("OpenServiceA", {serviceName})) {
    Fail(*fault);
    return kNullHandle;
  }
  const Service* service = machine_.FindService(serviceName);
  if (service == nullptr) {
    Fail(error::kServiceDoesNotExist);
    return kNullHandle;
  }
  HandleEntry entry;
  entry.kind = Kind::kService;
  entry.access = access;
  entry.name = service->name;
  return AddHandle(std::move(entry));
}

bool SimPlatform::ControlService(Handle serviceHandle, std::uint32_t control) {
  const std::string detail =
      control == kServiceControlStop ? "stop" : "control " + std::to_string(control);
  HandleEntry* entry = FindHandle(serviceHandle, Kind::kService);
  if (entry == nullptr) {
    Record("ControlService", "(invalid handle)", detail, error::kInvalidHandle);
    return Fail(error::kInvalidHandle);
  }
  const std::string name = entry->name;
  auto finish = [&](long result) {
    if (control != kServiceControlInterrogate) Record("ControlService", name, detail, result);
    return result == error::kSuccess ? true : Fail(static_cast<std::uint32_t>(result));
  };
  if (auto fault = TakeFault("ControlService", {name})) return finish(static_cast<long>(*fault));
  Service* service = machine_.FindService(name);
  if (service == nullptr) return finish(error::kServiceDoesNotExist);
  if (control == kServiceControlInterrogate) {
    if ((entry->access & kServiceInterrogate) == 0) return finish(error::kAccessDenied);
    return finish(service->running ? error::kSuccess : error::kServiceNotActive);
  }
  if (control != kServiceControlStop) return finish(error::kInvalidServiceControl);
  if ((entry->access & kServiceStop) == 0) return finish(error::kAccessDenied);
  if (!service->running) return finish(error::kServiceNotActive);
  if (!service->stopSucceeds) return finish(error::kInvalidServiceControl);
  service->running = false;
  // The service's process ends with the last running service it hosts.
  const std::uint32_t pid = service->pid;
  const bool hostStillNeeded =
      std::any_of(machine_.services.begin(), machine_.services.end(),
                  [pid](const Service& other) { return other.running && other.pid == pid; });
  if (pid != 0 && !hostStillNeeded) machine_.RemoveProcess(pid);
  return finish(error::kSuccess);
}

bool SimPlatform::CloseServiceHandle(Handle handle) {
  if (FindHandle(handle, Kind::kService) == nullptr &&
      FindHandle(handle, Kind::kServiceManager) == nullptr) {
    return Fail(error::kInvalidHandle);
  }
  handles_.erase(handle);
  return true;
}

// ------------------------------------------------------------------ processes

const Process* SimPlatform::ProcessOfHandle(const HandleEntry& entry) const {
  return machine_.FindProcess(entry.pid);
}

bool SimPlatform::EnumProcesses(std::uint32_t bufferBytes, std::vector<std::uint32_t>* ids,
                                std::uint32_t* bytesReturned) {
  if (auto fault = TakeFault("EnumProcesses")) return Fail(*fault);
  const std::size_t fits = bufferBytes / 4;
  const std::size_t count = std::min(fits, machine_.processes.size());
  ids->clear();
  for (std::size_t i = 0; i < count; ++i) ids->push_back(machine_.processes[i].pid);
  *bytesReturned = static_cast<std::uint32_t>(count * 4);
  return true;
}

Handle SimPlatform::OpenProcess(std::uint32_t access, bool inheritHandle, std::uint32_t pid) {
  (void)inheritHandle;
  const Process* process = machine_.FindProcess(pid);
  std::vector<std::string> targets;
  if (process != nullptr) targets.push_back(process->imagePath);
  if (auto fault = TakeFault("OpenProcess", targets)) {
    Fail(*fault);
    return kNullHandle;
  }
  // Process id 0 (the idle process) is refused as a bad parameter, like an
  // id that no process has.
  if (pid == 0 || process == nullptr) {
    Fail(error::kInvalidParameter);
    return kNullHandle;
  }
  if (!process->openable) {
    Fail(error::kAccessDenied);
    return kNullHandle;
  }
  HandleEntry entry;
  entry.kind = Kind::kProcess;
  entry.access = access;
  entry.pid = pid;
  return AddHandle(std::move(entry));
}

bool SimPlatform::EnumProcessModules(Handle processHandle, std::uint32_t bufferBytes,
                                     std::vector<std::uintptr_t>* modules,
                                     std::uint32_t* bytesNeeded) {
  HandleEntry* entry = FindHandle(processHandle, Kind::kProcess);
  if (entry == nullptr) return Fail(error::kInvalidHandle);
  const std::uint32_t needed = kProcessQueryInformation | kProcessVmRead;
  if ((entry->access & needed) != needed) return Fail(error::kAccessDenied);
  const Process* process = ProcessOfHandle(*entry);
  if (auto fault = TakeFault("EnumProcessModules",
                             {process != nullptr ? process->imagePath : std::string()})) {
    return Fail(*fault);
  }
  // An ended process, or one without modules, has no module list to read;
  // nor has a 64-bit process for a 32-bit program.
  if (process == nullptr || process->imagePath.empty()) return Fail(simerror::kPartialCopy);
  if (process->is64Bit && machine_.Wow64()) return Fail(simerror::kPartialCopy);
  const std::vector<std::uintptr_t> all = {kExecutableBase, kNtdllBase, kKernel32Base};
  const std::size_t fits = std::min<std::size_t>(bufferBytes / kModuleHandleBytes, all.size());
  modules->assign(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(fits));
  *bytesNeeded = static_cast<std::uint32_t>(all.size() * kModuleHandleBytes);
  return true;
}

std::uint32_t SimPlatform::GetModuleFileNameExA(Handle processHandle, std::uintptr_t module,
                                                std::uint32_t capacity, std::string* path) {
  HandleEntry* entry = FindHandle(processHandle, Kind::kProcess);
  if (entry == nullptr) return FailZero(error::kInvalidHandle);
  const std::uint32_t needed = kProcessQueryInformation | kProcessVmRead;
  if ((entry->access & needed) != needed) return FailZero(error::kAccessDenied);
  const Process* process = ProcessOfHandle(*entry);
  if (auto fault = TakeFault("GetModuleFileNameExA",
                             {process != nullptr ? process->imagePath : std::string()})) {
    return FailZero(*fault);
  }
  if (process == nullptr || process->imagePath.empty() || (process->is64Bit && machine_.Wow64())) {
    return FailZero(simerror::kPartialCopy);
  }
  std::string full;
  if (module == 0 || module == kExecutableBase) {
    full = process->imagePath;
  } else if (module == kNtdllBase) {
    full = machine_.systemDirectory + "\\ntdll.dll";
  } else if (module == kKernel32Base) {
    full = machine_.systemDirectory + "\\kernel32.dll";
  } else {
    return FailZero(error::kInvalidHandle);
  }
  if (capacity == 0) return FailZero(error::kInsufficientBuffer);
  // Windows XP truncates a long path to the buffer, keeping room for the NUL.
  const std::size_t copied = std::min<std::size_t>(full.size(), capacity - 1);
  *path = full.substr(0, copied);
  return static_cast<std::uint32_t>(copied);
}

bool SimPlatform::QueryFullProcessImageNameA(Handle processHandle, std::uint32_t capacity,
                                             std::string* path) {
  if (!machine_.windows64) return Fail(error::kCallNotImplemented);
  HandleEntry* entry = FindHandle(processHandle, Kind::kProcess);
  if (entry == nullptr) return Fail(error::kInvalidHandle);
  if ((entry->access & (kProcessQueryInformation | kProcessQueryLimitedInformation)) == 0) {
    return Fail(error::kAccessDenied);
  }
  const Process* process = ProcessOfHandle(*entry);
  if (auto fault = TakeFault("QueryFullProcessImageNameA",
                             {process != nullptr ? process->imagePath : std::string()})) {
    return Fail(*fault);
  }
  // The Win32 form of the image path; System and the idle process have none.
  const std::string full = process != nullptr ? machine_.ImageFilePath(*process) : std::string();
  if (full.empty()) return Fail(kGenFailure);
  if (full.size() + 1 > capacity) return Fail(error::kInsufficientBuffer);
  *path = full;
  return true;
}

bool SimPlatform::GetProcessTimes(Handle processHandle, std::uint64_t* creationTime) {
  HandleEntry* entry = FindHandle(processHandle, Kind::kProcess);
  if (entry == nullptr) return Fail(error::kInvalidHandle);
  if ((entry->access & (kProcessQueryInformation | kProcessQueryLimitedInformation)) == 0) {
    return Fail(error::kAccessDenied);
  }
  const Process* process = ProcessOfHandle(*entry);
  if (process == nullptr) return Fail(error::kInvalidHandle);
  *creationTime = process->creationTime;
  return true;
}

bool SimPlatform::TerminateProcess(Handle processHandle, std::uint32_t exitCode) {
  HandleEntry* entry = FindHandle(processHandle, Kind::kProcess);
  if (entry == nullptr) {
    Record("TerminateProcess", "(invalid handle)", "exit code " + std::to_string(exitCode),
           error::kInvalidHandle);
    return Fail(error::kInvalidHandle);
  }
  const std::uint32_t pid = entry->pid;
  const Process* process = ProcessOfHandle(*entry);
  const std::string target = process != nullptr ? process->imagePath : "(ended process)";
  const std::string detail =
      "pid " + std::to_string(pid) + ", exit code " + std::to_string(exitCode);
  auto finish = [&](long result) {
    Record("TerminateProcess", target, detail, result);
    return result == error::kSuccess ? true : Fail(static_cast<std::uint32_t>(result));
  };
  if ((entry->access & kProcessTerminate) == 0) return finish(error::kAccessDenied);
  if (auto fault = TakeFault("TerminateProcess", {target}))
    return finish(static_cast<long>(*fault));
  // A process that has ended already refuses termination with access denied.
  if (process == nullptr || !process->terminateSucceeds) return finish(error::kAccessDenied);
  for (Service& service : machine_.services) {
    if (service.pid == pid) service.running = false;
  }
  machine_.RemoveProcess(pid);
  return finish(error::kSuccess);
}

bool SimPlatform::CloseHandle(Handle handle) {
  auto found = handles_.find(handle);
  if (found == handles_.end()) return Fail(error::kInvalidHandle);
  const Kind kind = found->second.kind;
  if (kind != Kind::kProcess && kind != Kind::kToken && kind != Kind::kFile) {
    return Fail(error::kInvalidHandle);
  }
  handles_.erase(found);
  return true;
}

bool SimPlatform::OpenProcessToken(std::uint32_t access, Handle* token) {
  if (auto fault = TakeFault("OpenProcessToken")) return Fail(*fault);
  HandleEntry entry;
  entry.kind = Kind::kToken;
  entry.access = access;
  *token = AddHandle(std::move(entry));
  return true;
}

bool SimPlatform::LookupPrivilegeValueA(const std::string& systemName,
                                        const std::string& privilegeName, Luid* luid) {
  if (auto fault = TakeFault("LookupPrivilegeValueA", {privilegeName})) return Fail(*fault);
  if (!systemName.empty()) return Fail(simerror::kRpcServerUnavailable);
  for (const PrivilegeName& privilege : kPrivileges) {
    if (EqualsNoCase(privilege.name, privilegeName)) {
      luid->low = privilege.luid;
      luid->high = 0;
      return true;
    }
  }
  return Fail(error::kNoSuchPrivilege);
}

bool SimPlatform::AdjustTokenPrivileges(Handle token, const Luid& luid, std::uint32_t attributes) {
  const bool enable = (attributes & kSePrivilegeEnabled) != 0;
  const char* name = PrivilegeOfLuid(luid);
  const std::string target = name != nullptr ? name : "(unknown privilege)";
  const std::string detail = enable ? "enable" : "disable";
  auto finish = [&](long result) {
    Record("AdjustTokenPrivileges", target, detail, result);
    return Fail(static_cast<std::uint32_t>(result));
  };
  HandleEntry* entry = FindHandle(token, Kind::kToken);
  if (entry == nullptr) return finish(error::kInvalidHandle);
  if ((entry->access & kTokenAdjustPrivileges) == 0) return finish(error::kAccessDenied);
  if (name == nullptr) return finish(error::kNoSuchPrivilege);
  if (auto fault = TakeFault("AdjustTokenPrivileges", {target})) {
    return finish(static_cast<long>(*fault));
  }
  if (!Contains(machine_.heldPrivileges, name)) {
    // The call succeeds but reports that the privilege was not assigned.
    Record("AdjustTokenPrivileges", target, detail, error::kNotAllAssigned);
    lastError_ = error::kNotAllAssigned;
    return true;
  }
  std::vector<std::string>& enabled = machine_.enabledPrivileges;
  enabled.erase(std::remove_if(enabled.begin(), enabled.end(),
                               [&](const std::string& held) { return EqualsNoCase(held, name); }),
                enabled.end());
  if (enable) enabled.push_back(name);
  Record("AdjustTokenPrivileges", target, detail, error::kSuccess);
  lastError_ = error::kSuccess;
  return true;
}

std::uint32_t SimPlatform::GetPlatformId() { return machine_.platformId; }

std::uint32_t SimPlatform::GetCurrentProcessId() { return machine_.programPid; }

std::uint32_t SimPlatform::GetDesktopWindowProcessId() {
  for (const Process& process : machine_.processes) {
    if (process.ownsDesktop) return process.pid;
  }
  return 0;
}

bool SimPlatform::GetOwnModuleFileNameA(std::string* path) {
  *path = machine_.programPath;
  return true;
}

bool SimPlatform::GetVersionExA(OsVersion* version) {
  *version = machine_.version;
  return true;
}

}  // namespace platform::sim
