#include "quellix/engine/detection/ProcessJudging.h"

#include <algorithm>
#include <initializer_list>
#include <string>

namespace quellix {
namespace {

// The folder form without a drive letter that some core processes report.
constexpr const char* kSystemRootFolder = "\\systemroot\\system32\\";

bool IsOneOf(const std::string& name, std::initializer_list<const char*> names) {
  return std::any_of(names.begin(), names.end(),
                     [&](const char* listed) { return name == listed; });
}

}  // namespace

bool IsSpared(const ProcessEntry& candidate, const RunValues& run, bool windowsOwn) {
  const std::string& n = candidate.Name;
  const std::string& f = candidate.Folder;
  const bool inSystemFolder = f == run.SystemDir + "\\" || f == kSystemRootFolder ||
                              (!run.SysWow64Dir.empty() && f == run.SysWow64Dir + "\\");
  const bool inAnyOfThem = f == run.WindowsDir + "\\" || inSystemFolder;
  // Windows' places count for Windows' names only where Windows owns the file.
  const bool inWindows = windowsOwn && f == run.WindowsDir + "\\";
  const bool inSystem = windowsOwn && inSystemFolder;
  const bool inSystemRoot = windowsOwn && f == kSystemRootFolder;

  if (n.empty()) return true;
  if (n == "ehsched.exe" && windowsOwn && f == run.WindowsDir + "\\ehome\\") return true;
  if (n == "java.exe" && inSystemFolder) return true;
  if (IsOneOf(n, {"dumprep.exe", "dllhost.exe", "ctfmon.exe"}) && (inSystem || inSystemRoot)) {
    return true;
  }
  if (IsOneOf(n, {"firefox.exe", "realplayer.exe", "avp.exe", "wmplayer.exe", "nod32.exe",
                  "msmsgs.exe", "usnsvc.exe", "mcvsshld.exe"}) &&
      !inAnyOfThem) {
    return true;
  }
  // The debug manager is an application that installs into the system folder.
  if (n == "mdm.exe" && f == kSystemRootFolder) return true;
  if (IsOneOf(n,
              {"mstask.exe", "ups.exe", "csrss.exe", "spoolsv.exe", "wscntfy.exe", "wdfmgr.exe"}) &&
      (inSystemRoot || inSystem)) {
    return true;
  }
  if (n == "iexplore.exe") return true;
  if (IsOneOf(n, {"ntvdm.exe", "svchost.exe", "smss.exe", "services.exe", "winlogon.exe",
                  "ctfmon.exe", "lsass.exe", "explorer.exe", "rundll32.exe", "regedit.exe"}) &&
      (inSystem || inSystemRoot || (inWindows && (n == "regedit.exe" || n == "explorer.exe")))) {
    return true;
  }
  if (IsOneOf(n, {"mdm.exe", "msnmsgr.exe", "wmplayer.exe", "msimn.exe", "dumeter.exe"}) &&
      !inAnyOfThem) {
    return true;
  }
  if (n == "winhelp.exe" && !inWindows) return true;
  return false;
}

}  // namespace quellix
