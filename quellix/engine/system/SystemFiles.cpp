#include "quellix/engine/system/SystemFiles.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

#include "quellix/engine/system/AnsiText.h"

namespace quellix {
namespace {

bool IsOneOf(const std::string& name, std::initializer_list<const char*> names) {
  return std::any_of(names.begin(), names.end(),
                     [&](const char* listed) { return name == listed; });
}

// Windows of either bitness (the 32-bit NT family from NT 4 to today, and
// 64-bit Windows in its native system folder). The table does not tell
// versions apart: a name here at its place is Windows' own on every version
// that has it, and no version leaves a worm's copy there.
bool InSystemFolder(const std::string& file) {
  return IsOneOf(
      file, {"svchost.exe", "smss.exe", "services.exe", "winlogon.exe", "lsass.exe", "csrss.exe",
             "rundll32.exe", "ctfmon.exe", "dllhost.exe", "spoolsv.exe", "dumprep.exe",
             "wscntfy.exe", "ups.exe", "wdfmgr.exe", "mstask.exe", "ntvdm.exe"});
}

// The 32-bit programs that 64-bit Windows keeps in SysWOW64.
bool InSysWow64Folder(const std::string& file) {
  return IsOneOf(file, {"explorer.exe", "regedit.exe", "svchost.exe", "rundll32.exe", "dllhost.exe",
                        "ctfmon.exe"});
}

bool InWindowsFolder(const std::string& file) {
  return IsOneOf(file, {"explorer.exe", "regedit.exe"});
}

std::string TrimDotsAndBlanks(std::string name) {
  while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
  return name;
}

}  // namespace

std::string ResolvedLowerPath(const std::string& path) {
  std::string text = LowerAnsi(path);
  std::replace(text.begin(), text.end(), '/', '\\');
  for (const char* prefix : {"\\\\?\\", "\\??\\"}) {
    if (text.rfind(prefix, 0) == 0) text.erase(0, std::string(prefix).size());
  }
  std::vector<std::string> names;
  for (const std::string& field : SplitText(text, "\\")) {
    const std::string name = field == "." || field == ".." ? field : TrimDotsAndBlanks(field);
    if (name.empty() || name == ".") continue;
    if (name == "..") {
      if (names.size() > 1) names.pop_back();
      continue;
    }
    names.push_back(name);
  }
  std::string resolved;
  for (const std::string& name : names) resolved += (resolved.empty() ? "" : "\\") + name;
  return resolved;
}

bool IsWindowsOwnFile(const std::string& path, const RunValues& run) {
  const std::string resolved = ResolvedLowerPath(path);
  const std::size_t slash = resolved.rfind('\\');
  if (slash == std::string::npos) return false;
  const std::string folder = resolved.substr(0, slash);
  const std::string file = resolved.substr(slash + 1);
  const auto is = [&](const std::string& place) {
    return !place.empty() && folder == ResolvedLowerPath(place);
  };
  return (is(run.WindowsDir) && InWindowsFolder(file)) ||
         (is(run.WindowsDir + "\\ehome") && file == "ehsched.exe") ||
         (is(run.SystemDir) && InSystemFolder(file)) ||
         (is(run.SysWow64Dir) && InSysWow64Folder(file));
}

}  // namespace quellix
