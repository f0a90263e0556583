// SimPlatform's handle table, fault lookup and change record; the calls
// themselves live in SimPlatform<Area>.cpp.
#include "platform/sim/SimPlatform.h"

#include <algorithm>
#include <sstream>

namespace platform::sim {

SimPlatform::SimPlatform(Machine& machine) : machine_(machine) {}

SimPlatform::~SimPlatform() {
  for (const std::string& name : claims_) {
    auto held = std::find(machine_.runningInstances.begin(), machine_.runningInstances.end(), name);
    if (held != machine_.runningInstances.end()) machine_.runningInstances.erase(held);
  }
}

std::vector<std::string> SimPlatform::OpenHandles() const {
  std::vector<std::string> lines;
  for (const auto& [handle, entry] : handles_) {
    std::ostringstream line;
    switch (entry.kind) {
      case Kind::kKey:
        line << "key " << FormatRegistryPath(entry.key);
        break;
      case Kind::kProcess:
        line << "process " << entry.pid;
        break;
      case Kind::kToken:
        line << "token";
        break;
      case Kind::kFile:
        line << "file " << entry.path;
        break;
      case Kind::kServiceManager:
        line << "service manager";
        break;
      case Kind::kService:
        line << "service " << entry.name;
        break;
      case Kind::kCryptProvider:
        line << "crypt provider";
        break;
      case Kind::kCryptHash:
        line << "crypt hash";
        break;
      case Kind::kCryptKey:
        line << "crypt key";
        break;
    }
    line << " (0x" << std::hex << handle << ")";
    lines.push_back(line.str());
  }
  return lines;
}

std::uint32_t SimPlatform::GetLastError() { return lastError_; }

void SimPlatform::SetLastError(std::uint32_t code) { lastError_ = code; }

Handle SimPlatform::AddHandle(HandleEntry entry) {
  // Handle values are never reused, so a stale handle is always caught.
  const Handle handle = nextHandle_;
  nextHandle_ += 4;
  handles_.emplace(handle, std::move(entry));
  return handle;
}

SimPlatform::HandleEntry* SimPlatform::FindHandle(Handle handle, Kind kind) {
  auto found = handles_.find(handle);
  if (found == handles_.end() || found->second.kind != kind) return nullptr;
  return &found->second;
}

bool SimPlatform::Fail(std::uint32_t error) {
  lastError_ = error;
  return false;
}

std::uint32_t SimPlatform::FailZero(std::uint32_t error) {
  lastError_ = error;
  return 0;
}

std::optional<std::uint32_t> SimPlatform::TakeFault(std::string_view call,
                                                    const std::vector<std::string>& targets) {
  return machine_.TakeFault(call, targets);
}

void SimPlatform::Record(std::string call, std::string target, std::string detail, long result,
                         bool missingTarget) {
  if (missingTarget && !machine_.recordMissingTargets) return;
  machine_.changes.push_back(Change{std::move(call), std::move(target), std::move(detail), result});
}

}  // namespace platform::sim
