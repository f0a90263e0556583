#include "quellix/tools/quellix_pass/Options.h"

#include <stdexcept>

namespace quellix::pass {

const char* const kUsage =
    "usage: quellix-pass [--machine FILE] [--save-machine FILE] [--backup-dir DIR]\n"
    "                    [--answer yes|no] [--language INDEX]\n"
    "       quellix-pass [--machine FILE] [--save-machine FILE] --restore FOLDER\n"
    "                    [--dry-run] [--only TEXT]\n"
    "       quellix-pass --help\n"
    "(--machine and --save-machine only in the native build; see docs/quellix-pass.md)\n";

namespace {

int ParseLanguageIndex(const std::string& text) {
  if (text.empty() || text.size() > 2 || text.find_first_not_of("0123456789") != std::string::npos)
    throw std::invalid_argument("--language takes an index from 0 to 22, not '" + text + "'");
  const int index = std::stoi(text);
  if (index > 22)
    throw std::invalid_argument("--language takes an index from 0 to 22, not '" + text + "'");
  return index;
}

}  // namespace

Options ParseOptions(const std::vector<std::string>& arguments, bool scenarioBuild) {
  Options options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& name = arguments[i];
    if (name == "--help") {
      options.help = true;
      return options;
    }
    if (name == "--dry-run") {
      options.dryRun = true;
      continue;
    }
    static const char* const kKnown[] = {"--machine",  "--save-machine", "--backup-dir", "--answer",
                                         "--language", "--restore",      "--only"};
    bool known = false;
    for (const char* option : kKnown) known = known || name == option;
    if (!known) throw std::invalid_argument("unknown option '" + name + "'");
    if (i + 1 >= arguments.size()) throw std::invalid_argument(name + " needs a value");
    const std::string& value = arguments[++i];
    if (name == "--machine" || name == "--save-machine") {
      if (!scenarioBuild)
        throw std::invalid_argument(name + " is only available in the native build");
      (name == "--machine" ? options.machineFile : options.saveMachineFile) = value;
    } else if (name == "--backup-dir") {
      options.backupDir = value;
    } else if (name == "--restore") {
      if (value.empty()) throw std::invalid_argument("--restore needs a folder");
      options.restoreFolder = value;
    } else if (name == "--only") {
      if (value.empty()) throw std::invalid_argument("--only needs a text to look for");
      options.only = value;
    } else if (name == "--answer") {
      if (value != "yes" && value != "no")
        throw std::invalid_argument("--answer takes yes or no, not '" + value + "'");
      options.answerYes = value == "yes";
    } else {
      options.language = ParseLanguageIndex(value);
    }
  }
  if (!options.restoreFolder && (options.dryRun || !options.only.empty()))
    throw std::invalid_argument("--dry-run and --only go with --restore");
  if (scenarioBuild && options.machineFile.empty())
    throw std::invalid_argument("--machine FILE is required");
  return options;
}

}  // namespace quellix::pass
