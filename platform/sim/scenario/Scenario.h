// Scenario files: a simulated machine written down as JSON by people (see
// docs/scenario.md). LoadScenario builds a Machine from one; SaveScenario
// writes a Machine back in the same format, complete and in a fixed order, so
// that saving a machine before and after a run and comparing the two files
// shows every change the run made.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/sim/SimMachine.h"

namespace platform::sim {

// A scenario that cannot be used. place is a JSON pointer to the offending
// element ("/registry/3/values/1"; "" for the whole document) or, for text
// that is not JSON at all, "line L, column C"; problem says what is wrong
// ("unknown value type 'REG_FOO'").
class ScenarioError : public std::runtime_error {
 public:
  ScenarioError(std::string place, std::string problem, std::string file = "");

  const std::string& place() const { return place_; }
  const std::string& problem() const { return problem_; }
  const std::string& file() const { return file_; }

 private:
  std::string place_;
  std::string problem_;
  std::string file_;
};

// Throws ScenarioError.
Machine LoadScenario(std::string_view json);
Machine LoadScenarioFile(const std::string& path);

std::string SaveScenario(const Machine& machine);
// Throws ScenarioError when the file cannot be written.
void SaveScenarioFile(const Machine& machine, const std::string& path);

}  // namespace platform::sim
