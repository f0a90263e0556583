#include "gorsel/ProcessFilter.h"

#include <algorithm>

#include "gorsel/Paths.h"

namespace gorsel {

namespace {

constexpr const char* kProgramExtensions[] = {".exe", ".com", ".scr", ".pif", ".bat", ".cmd"};

constexpr const char* kScriptHosts[] = {"cmd",        "command",  "wscript", "cscript", "mshta",
                                        "powershell", "pwsh",     "java",    "javaw",   "python",
                                        "pythonw",    "perl",     "wperl",   "node",    "hh",
                                        "rundll32",   "regsvr32", "msiexec", "wmic",    "start"};

// True when the lower-case text of [0, end) ends in a program extension.
bool EndsWithProgramExtension(const std::string& lower, std::size_t end) {
  return std::any_of(std::begin(kProgramExtensions), std::end(kProgramExtensions),
                     [&](const char* extension) {
                       const std::size_t length = std::char_traits<char>::length(extension);
                       return end > length && lower.compare(end - length, length, extension) == 0;
                     });
}

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

std::string ProgramOfValue(const std::string& value) {
  const std::string text = Trim(value);
  if (text.empty()) return "";
  if (text.front() == '"') {
    const auto close = text.find('"', 1);
    return Trim(text.substr(1, close == std::string::npos ? std::string::npos : close - 1));
  }
  const std::string lower = LowerCase(text);
  for (std::size_t end = lower.find(' '); end != std::string::npos;
       end = lower.find(' ', end + 1)) {
    if (EndsWithProgramExtension(lower, end)) return text.substr(0, end);
  }
  if (EndsWithProgramExtension(lower, lower.size())) return text;
  return text.substr(0, text.find(' '));
}

bool IsScriptHostName(const std::string& fileName) {
  std::string name = LowerCase(fileName);
  for (const char* extension : {".exe", ".com"}) {
    const std::string ending(extension);
    if (name.size() > ending.size() &&
        name.compare(name.size() - ending.size(), ending.size(), ending) == 0) {
      name.resize(name.size() - ending.size());
      break;
    }
  }
  return std::any_of(std::begin(kScriptHosts), std::end(kScriptHosts),
                     [&](const char* host) { return name == host; });
}

ProcessFilter::ProcessFilter(const std::string& value, const SystemGuard& guard)
    : guard_(guard), program_(ProgramOfValue(value)) {
  if (program_.empty()) return;
  byName_ = program_.find_first_of("\\/") == std::string::npos;
  wanted_ = byName_ ? LowerCase(program_) : ImagePath(program_, guard_.folders().windows);
  std::string folder;
  std::string name;
  SplitPath(wanted_, &folder, &name);
  startsAHost_ = IsScriptHostName(name) ||
                 (byName_ ? SystemGuard::ProtectsName(name) : guard_.Protects(wanted_));
}

bool ProcessFilter::Selects(const std::string& imagePath) const {
  if (wanted_.empty() || startsAHost_ || imagePath.empty()) return false;
  if (guard_.Protects(imagePath)) return false;
  const std::string image = ImagePath(imagePath, guard_.folders().windows);
  if (!byName_) return image == wanted_;
  std::string folder;
  std::string name;
  SplitPath(image, &folder, &name);
  return name == wanted_;
}

}  // namespace gorsel
