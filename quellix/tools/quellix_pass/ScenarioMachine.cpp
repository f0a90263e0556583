// The native build runs on a simulated machine loaded from a scenario file.
#include <algorithm>
#include <stdexcept>

#include "platform/sim/SimMachine.h"
#include "platform/sim/SimPlatform.h"
#include "platform/sim/scenario/Scenario.h"
#include "quellix/lang/EmbeddedResources.h"
#include "quellix/tools/quellix_pass/PassMachine.h"

namespace quellix::pass {

const bool kScenarioBuild = true;

namespace {

class ScenarioMachine : public PassMachine {
 public:
  explicit ScenarioMachine(platform::sim::Machine machine)
      : machine_(std::move(machine)), platform_(machine_) {
    // The program carries its language tables; the machine only lends them out.
    for (const auto& resource : lang::EmbeddedLanguageResources()) {
      machine_.AddResource(
          resource.type, resource.id,
          std::vector<std::uint8_t>(resource.bytes, resource.bytes + resource.size));
    }
  }

  platform::Platform& Platform() override { return platform_; }
  bool MayChangeMachine() override { return true; }

  // The program's own resources are not part of the machine it ran on.
  void Save(const std::string& file) override {
    platform::sim::Machine saved = machine_;
    auto& resources = saved.resources;
    resources.erase(std::remove_if(resources.begin(), resources.end(),
                                   [](const platform::sim::Resource& resource) {
                                     return IsProgramResource(resource);
                                   }),
                    resources.end());
    platform::sim::SaveScenarioFile(saved, file);
  }

 private:
  static bool IsProgramResource(const platform::sim::Resource& resource) {
    for (const auto& own : lang::EmbeddedLanguageResources()) {
      if (resource.id == own.id && resource.type == own.type) return true;
    }
    return false;
  }

  platform::sim::Machine machine_;
  platform::sim::SimPlatform platform_;
};

}  // namespace

std::unique_ptr<PassMachine> OpenMachine(const Options& options) {
  return std::make_unique<ScenarioMachine>(platform::sim::LoadScenarioFile(options.machineFile));
}

}  // namespace quellix::pass
