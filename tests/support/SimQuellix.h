// A Quellix instance on a simulated machine: the machine (with the program's
// language resources installed), its platform, a recording host and the
// English language loaded. Tests build a Session on top with the phases they need.
#pragma once

#include "platform/sim/SimMachine.h"
#include "platform/sim/SimPlatform.h"
#include "quellix/lang/Language.h"
#include "tests/support/RecordingHost.h"

namespace quellix::test {

// Installs the language tables and titles that the program carries.
void InstallLanguageResources(platform::sim::Machine& machine);

struct SimQuellix {
  explicit SimQuellix(platform::sim::Machine startingMachine = platform::sim::MakeStandardMachine(),
                      std::uint8_t languageIndex = 7);

  platform::sim::Machine machine;
  platform::sim::SimPlatform platform;
  RecordingHost host;
  lang::Language language;
};

}  // namespace quellix::test
