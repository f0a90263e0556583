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

bool IsSpared(const ProcessEntry& candidate, const RunValues& run) {
  const std::string& n = candidate.Name;
  const std::string& f = candidate.Folder;
  const std::string windows = run.WindowsDir + "\\";
  const std::string system = run.SystemDir + "\\";
  const bool inWindows = f == windows;
  // On a 64-bit Windows the 32-bit system folder is a system folder too.
  const bool inSystem = f == system || (!run.SysWow64Dir.empty() && f == run.SysWow64Dir + "\\");
  const bool inSystemRoot = f == kSystemRootFolder;
  const bool inAnyOfThem = inWindows || inSystem || inSystemRoot;

  if (n.empty()) return true;
  if (n == "ehsched.exe" && f == run.WindowsDir + "\\ehome\\") return true;
  if (IsOneOf(n, {"dumprep.exe", "dllhost.exe", "ctfmon.exe", "java.exe"}) &&
      (inSystem || inSystemRoot)) {
    return true;
  }
  if (IsOneOf(n, {"firefox.exe", "realplayer.exe", "avp.exe", "wmplayer.exe", "nod32.exe",
                  "msmsgs.exe", "usnsvc.exe", "mcvsshld.exe"}) &&
      !inAnyOfThem) {
    return true;
  }
  if (IsOneOf(n, {"mdm.exe", "mstask.exe", "ups.exe", "csrss.exe", "spoolsv.exe", "wscntfy.exe",
                  "wdfmgr.exe"}) &&
      (inSystemRoot || (inSystem && n != "mdm.exe"))) {
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
