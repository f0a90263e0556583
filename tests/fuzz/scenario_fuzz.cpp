// Scenario files are written by people: whatever the text, the reader either
// builds a machine or refuses with a ScenarioError, and a machine it built
// saves and loads again.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/sim/scenario/Scenario.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    const auto machine = platform::sim::LoadScenario(text);
    platform::sim::LoadScenario(platform::sim::SaveScenario(machine));
  } catch (const platform::sim::ScenarioError&) {
  }
  return 0;
}
