// The two ways a script can go wrong: it is not understood (nothing has run
// yet), or one of its steps fails while running.
#pragma once

#include <stdexcept>
#include <string>

namespace uidriver {

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class StepFailed : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace uidriver
