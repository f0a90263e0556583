#include "gorsel/ProcessFilter.h"

#include <algorithm>

namespace gorsel {

namespace {

// Programs of the NT family that live in the system folder, and the shell of
// the Windows folder: names a worm copies to hide among them.
constexpr const char* kSystemFolderPrograms[] = {
    "alg.exe",      "conhost.exe",  "csrss.exe",    "ctfmon.exe",    "dllhost.exe",
    "dwm.exe",      "explorer.exe", "lsass.exe",    "lsm.exe",       "msiexec.exe",
    "rundll32.exe", "services.exe", "sihost.exe",   "smss.exe",      "spoolsv.exe",
    "svchost.exe",  "systray.exe",  "taskhost.exe", "taskhostw.exe", "taskmgr.exe",
    "userinit.exe", "wininit.exe",  "winlogon.exe", "wmiprvse.exe",  "wuauclt.exe"};
constexpr const char* kWindowsFolderPrograms[] = {"explorer.exe", "regedit.exe", "notepad.exe"};

constexpr const char* kProgramExtensions[] = {".exe", ".com", ".scr", ".pif", ".bat", ".cmd"};

bool EndsWithProgramExtension(const std::string& lowerWord) {
  return std::any_of(
      std::begin(kProgramExtensions), std::end(kProgramExtensions), [&](const char* extension) {
        const std::string ending(extension);
        return lowerWord.size() > ending.size() &&
               lowerWord.compare(lowerWord.size() - ending.size(), ending.size(), ending) == 0;
      });
}

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

void SplitPath(const std::string& lowerPath, std::string* folder, std::string* name) {
  const auto slash = lowerPath.find_last_of('\\');
  *folder = slash == std::string::npos ? "" : lowerPath.substr(0, slash);
  *name = slash == std::string::npos ? lowerPath : lowerPath.substr(slash + 1);
}

bool IsOneOf(const std::string& name, const char* const* first, const char* const* last) {
  return std::any_of(first, last, [&](const char* entry) { return name == entry; });
}

}  // namespace

std::string LowerCase(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

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
    if (EndsWithProgramExtension(lower.substr(0, end))) return text.substr(0, end);
  }
  if (EndsWithProgramExtension(lower)) return text;
  return text.substr(0, text.find(' '));
}

SystemFolders SystemFoldersFrom(const std::string& systemDirectory) {
  SystemFolders folders;
  folders.system = LowerCase(systemDirectory);
  while (!folders.system.empty() && folders.system.back() == '\\') folders.system.pop_back();
  const auto slash = folders.system.find_last_of('\\');
  folders.windows = slash == std::string::npos ? "" : folders.system.substr(0, slash);
  return folders;
}

namespace {

// Core processes report their image in NT forms ("\??\C:\...",
// "\SystemRoot\System32\smss.exe"); these are the same files.
std::string Win32Form(const std::string& lowerPath, const SystemFolders& folders) {
  const std::string nt = "\\??\\";
  const std::string systemRoot = "\\systemroot\\";
  if (lowerPath.compare(0, nt.size(), nt) == 0) return lowerPath.substr(nt.size());
  if (lowerPath.compare(0, systemRoot.size(), systemRoot) == 0) {
    return folders.windows + "\\" + lowerPath.substr(systemRoot.size());
  }
  return lowerPath;
}

}  // namespace

bool IsSystemProgram(const std::string& imagePath, const SystemFolders& folders) {
  std::string folder;
  std::string name;
  SplitPath(Win32Form(LowerCase(imagePath), folders), &folder, &name);
  if (folders.system.empty()) return false;
  const bool inSystemFolder = folder == folders.system || folder == folders.windows + "\\syswow64";
  if (inSystemFolder) {
    return IsOneOf(name, std::begin(kSystemFolderPrograms), std::end(kSystemFolderPrograms));
  }
  return folder == folders.windows &&
         IsOneOf(name, std::begin(kWindowsFolderPrograms), std::end(kWindowsFolderPrograms));
}

bool IsSystemProgramName(const std::string& fileName) {
  return IsOneOf(LowerCase(fileName), std::begin(kSystemFolderPrograms),
                 std::end(kSystemFolderPrograms));
}

bool ProcessMatchesFilter(const std::string& imagePath, const std::string& filter,
                          const SystemFolders& folders) {
  const std::string program = LowerCase(ProgramOfValue(filter));
  if (program.empty() || imagePath.empty()) return false;
  if (IsSystemProgram(imagePath, folders)) return false;
  const std::string image = Win32Form(LowerCase(imagePath), folders);
  if (program.find('\\') != std::string::npos) return image == program;
  std::string folder;
  std::string name;
  SplitPath(image, &folder, &name);
  return name == program;
}

}  // namespace gorsel
