#include "tests/support/SimQuellix.h"

#include "quellix/lang/EmbeddedResources.h"

namespace quellix::test {

void InstallLanguageResources(platform::sim::Machine& machine) {
  for (const auto& resource : lang::EmbeddedLanguageResources()) {
    machine.AddResource(resource.type, resource.id,
                        std::vector<std::uint8_t>(resource.bytes, resource.bytes + resource.size));
  }
}

SimQuellix::SimQuellix(platform::sim::Machine startingMachine, std::uint8_t languageIndex)
    : machine(std::move(startingMachine)), platform(machine), language(platform, host) {
  InstallLanguageResources(machine);
  language.LoadLanguageTitles();
  language.SetCurrentLanguage(languageIndex);
  language.LoadLanguage(languageIndex);
}

}  // namespace quellix::test
