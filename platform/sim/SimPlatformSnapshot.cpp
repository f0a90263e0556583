// The Toolhelp process snapshot of SimPlatform, and waiting for a process.
#include <string>

#include "platform/sim/SimPlatform.h"

namespace platform::sim {

bool SimPlatform::SnapshotProcesses(std::vector<ProcessSnapshotEntry>* entries) {
  if (auto fault = TakeFault("SnapshotProcesses")) return Fail(*fault);
  entries->clear();
  for (const Process& process : machine_.processes) {
    ProcessSnapshotEntry entry;
    entry.pid = process.pid;
    entry.parentPid = process.parentPid;
    if (process.imagePath.empty()) {
      entry.exeFile = process.pid == 0 ? "[System Process]" : "System";
    } else {
      entry.exeFile = process.imagePath.substr(process.imagePath.find_last_of('\\') + 1);
    }
    entries->push_back(entry);
  }
  return true;
}

std::uint32_t SimPlatform::WaitForSingleObject(Handle handle, std::uint32_t) {
  HandleEntry* entry = FindHandle(handle, Kind::kProcess);
  if (entry == nullptr || (entry->access & kSynchronize) == 0) {
    Fail(entry == nullptr ? error::kInvalidHandle : error::kAccessDenied);
    return kWaitFailed;
  }
  return ProcessOfHandle(*entry) == nullptr ? kWaitObject0 : kWaitTimeout;
}

}  // namespace platform::sim
