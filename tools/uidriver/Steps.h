// The script language: a list of steps with a fixed number of arguments each,
// so that a whole script parses without quoting rules of its own.
#pragma once

#include <string>
#include <vector>

namespace uidriver {

struct StepKind;

struct Step {
  const StepKind* kind;
  std::vector<std::wstring> args;
};

// Reads the whole script before anything runs; a mistake anywhere throws
// UsageError.
std::vector<Step> ParseScript(const std::vector<std::wstring>& words);

// Runs one step and prints its lines; a failure throws StepFailed.
void RunStep(const Step& step);

// The step as written, for error messages.
std::string Describe(const Step& step);

std::string Usage();

}  // namespace uidriver
