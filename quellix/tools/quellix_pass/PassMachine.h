// The machine a pass runs on: a scenario in the native build, the real system
// in the Windows build.
#pragma once

#include <memory>
#include <string>

#include "platform/Platform.h"
#include "quellix/tools/quellix_pass/Options.h"

namespace quellix::pass {

class PassMachine {
 public:
  virtual ~PassMachine() = default;
  virtual platform::Platform& Platform() = 0;
  // Writes the machine as the run left it (scenario builds only).
  virtual void Save(const std::string& file) = 0;
  // Whether the pass may change the machine: a real Windows lets a program
  // without an administrator's rights write to protected folders and
  // machine-wide keys only in a private copy, so such a pass would report
  // removals that did not happen.
  virtual bool MayChangeMachine() = 0;
};

// True where the pass runs on scenario files (the native build).
extern const bool kScenarioBuild;

// Throws std::runtime_error with a message for the user when the machine
// cannot be opened (an unreadable or malformed scenario).
std::unique_ptr<PassMachine> OpenMachine(const Options& options);

}  // namespace quellix::pass
