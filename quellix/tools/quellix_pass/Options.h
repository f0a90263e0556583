// The command line of quellix-pass.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quellix::pass {

struct Options {
  std::string machineFile;               // --machine (scenario builds only)
  std::string saveMachineFile;           // --save-machine (scenario builds only)
  std::optional<std::string> backupDir;  // absent: the folder dialog is cancelled
  bool answerYes = false;
  std::optional<int> language;
  std::optional<std::string> restoreFolder;  // --restore: undo the runs recorded there
  bool dryRun = false;                       // --dry-run
  std::string only;                          // --only
  bool help = false;                         // --help
};

// Throws std::invalid_argument with a message for the user on bad arguments.
Options ParseOptions(const std::vector<std::string>& arguments, bool scenarioBuild);

extern const char* const kUsage;

}  // namespace quellix::pass
