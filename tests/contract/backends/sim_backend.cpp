// The contract cases against the simulated machine: one standard machine per
// case, holding the program's language resources as the Windows build links
// them; every platform made by the backend works on that machine.
#include "platform/sim/SimMachine.h"
#include "platform/sim/SimPlatform.h"
#include "quellix/lang/EmbeddedResources.h"
#include "tests/contract/Backend.h"

namespace contract {
namespace {

// A process whose image path is an ordinary file path (not an NT form).
bool HasPlainImagePath(const platform::sim::Process& process) {
  return process.imagePath.size() > 3 && process.imagePath[1] == ':' &&
         process.imagePath[2] == '\\';
}

class SimBackend final : public Backend {
 public:
  SimBackend() : machine_(platform::sim::MakeStandardMachine()) {
    for (const auto& resource : quellix::lang::EmbeddedLanguageResources()) {
      machine_.AddResource(
          resource.type, resource.id,
          std::vector<std::uint8_t>(resource.bytes, resource.bytes + resource.size));
    }
  }

  BackendKind Kind() const override { return BackendKind::kSimulated; }

  std::unique_ptr<platform::Platform> NewPlatform() override {
    return std::make_unique<platform::sim::SimPlatform>(machine_);
  }

  RunningProcess KnownProcess() override {
    for (const auto& process : machine_.processes) {
      if (!HasPlainImagePath(process)) continue;
      const auto slash = process.imagePath.find_last_of('\\');
      return RunningProcess{process.pid, process.imagePath.substr(slash + 1)};
    }
    return RunningProcess{};
  }

  bool RunsPrograms() const override { return false; }

  void RemoveFolder(const std::string& path) override { machine_.files.RemovePath(path); }

  bool SixtyFourBitWindows() override {
    machine_.windows64 = true;
    machine_.program64 = true;
    return true;
  }

 private:
  platform::sim::Machine machine_;
};

}  // namespace

std::unique_ptr<Backend> MakeBackendUnderTest() { return std::make_unique<SimBackend>(); }

}  // namespace contract
