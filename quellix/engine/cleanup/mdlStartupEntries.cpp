#include "quellix/engine/cleanup/mdlStartupEntries.h"

#include <optional>
#include <string>
#include <vector>

#include "quellix/engine/system/AnsiText.h"
#include "quellix/engine/cleanup/BackupFiles.h"
#include "quellix/engine/cleanup/RegExport.h"
#include "quellix/engine/cleanup/RemovalRecord.h"
#include "quellix/engine/system/RegistryViews.h"
#include "quellix/engine/session/Session.h"
#include "quellix/engine/detection/mdlSmartScan.h"

namespace quellix {
namespace {

using platform::HKey;
namespace error = platform::error;

struct KeyInfo {
  HKey root;
  const char* subKey;
  const char* label;       // how the key is named in the log
  const char* backupStem;  // the first part of its values' backup file names
};

const KeyInfo& InfoOf(RunKey which) {
  static const KeyInfo kKeys[] = {
      {platform::kHkeyLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
       "HKLM\\..\\Run\\", "HKLM Run"},
      {platform::kHkeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
       "HKCU\\..\\Run\\", "HKCU Run"},
      {platform::kHkeyLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices",
       "HKLM\\..\\RunServices\\", "HKLM RunServices"},
      {platform::kHkeyLocalMachine,
       "Software\\Microsoft\\Windows\\Currentversion\\Policies\\Explorer\\Run",
       "HKLM\\..\\Policies\\Explorer\\Run\\", "HKLM Policies Explorer Run"},
  };
  return kKeys[static_cast<int>(which)];
}

struct PolicyKey {
  HKey root;
  const char* subKey;
  const char* backupStem;
  std::vector<const char*> values;
};

const std::vector<PolicyKey>& PolicyKeys() {
  static const std::vector<PolicyKey> kPolicies = {
      {platform::kHkeyCurrentUser,
       "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer",
       "HKCU Policies Explorer",
       {"NoFolderOptions", "NoRun"}},
      {platform::kHkeyCurrentUser,
       "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System",
       "HKCU Policies System",
       {"Disabletaskmgr", "Disableregistrytools"}},
      {platform::kHkeyCurrentUser,
       "Software\\Microsoft\\Windows\\System",
       "HKCU System",
       {"DisableCMD"}},
      {platform::kHkeyLocalMachine,
       "Software\\Policies\\Microsoft\\Windows NT\\SystemRestore",
       "HKLM SystemRestore",
       {"DisableConfig"}},
  };
  return kPolicies;
}

// A name rule's extension and the separator its finds are reported with.
struct Extension {
  const char* text;
  const char* separator;
};

// What a rule decided to remove.
struct Removal {
  std::string valueName;       // the value to delete
  std::string reported;        // name, separator and data, after the key's label
  std::string reportedIfGone;  // the same when the deletion succeeded
};

Removal RemoveAs(const std::string& valueName, const std::string& reported) {
  return Removal{valueName, reported, reported};
}

// Data cut just after its first ".exe" that a blank follows.
std::string CutAfterExe(const std::string& data) {
  const auto found = FindNoCase(data, ".exe ");
  return found == std::string::npos ? data : data.substr(0, found + 4);
}

std::string FileNameOf(const std::string& data) {
  const auto slash = data.rfind('\\');
  return slash == std::string::npos ? data : data.substr(slash + 1);
}

// The separator of the first name rule that fires: the listed names in order,
// each with the key's extensions in order.
std::optional<std::string> FiringNameRule(const Session& session, const std::string& data,
                                          const std::vector<Extension>& extensions,
                                          bool passOverMessenger) {
  const std::string fileName = FileNameOf(data);
  const std::string lowerData = LowerAnsi(data);
  for (const std::string& listed : session.InfectionNames) {
    if (passOverMessenger && LowerAnsi(listed) == "msmsgs") continue;
    for (const Extension& extension : extensions) {
      const std::string program = listed + extension.text;
      if (fileName.size() == program.size() &&
          lowerData.find(LowerAnsi(program)) != std::string::npos) {
        return std::string(extension.separator);
      }
    }
  }
  return std::nullopt;
}

std::optional<Removal> ByNameRules(const Session& session, const std::string& name,
                                   const std::string& data,
                                   const std::vector<Extension>& extensions,
                                   bool passOverMessenger) {
  const auto separator = FiringNameRule(session, data, extensions, passOverMessenger);
  if (!separator) return std::nullopt;
  return RemoveAs(name, name + *separator + data);
}

std::optional<Removal> JudgeMachineRun(const Session& session, const std::string& item,
                                       const std::string& name, std::string data) {
  data = CutAfterExe(data);
  if (ContainsNoCase(data, "rundll32.exe")) {
    if (!ContainsNoCase(item, "msmsgs.txt,ini")) return std::nullopt;
    return Removal{name, name + "=" + data, item};
  }
  if (data.size() == std::string("regedit.exe").size() && ContainsNoCase(data, "regedit.exe")) {
    return RemoveAs("Microsoft Regestry Edit Manager", name + "=" + data);
  }
  if (ContainsNoCase(data, "Kaspersky Lab\\Kaspersky Internet Security") ||
      ContainsNoCase(data, "\\Essentials Codec Pack")) {
    return std::nullopt;
  }
  return ByNameRules(session, name, data, {{".exe", " = "}, {".com", " = "}}, false);
}

std::optional<Removal> JudgeUserRun(const Session& session, const std::string& name,
                                    std::string data) {
  if (ContainsNoCase(data, "rundll32.exe")) {
    if (LowerAnsi(name) != "windows firewall") return std::nullopt;
    return RemoveAs(name, name + "=" + data);
  }
  // Messenger keeps its arguments, so its file name never reduces to a
  // bare program name.
  if (!ContainsNoCase(data, "msnmsgr.exe ")) data = CutAfterExe(data);
  // The language bar's loader, from either system folder of a 64-bit Windows.
  if (ContainsNoCase(data, session.run.SystemDir + "\\ctfmon.exe")) return std::nullopt;
  if (!session.run.SysWow64Dir.empty() &&
      ContainsNoCase(data, session.run.SysWow64Dir + "\\ctfmon.exe")) {
    return std::nullopt;
  }
  return ByNameRules(session, name, data, {{".exe", " = "}, {".com", "="}, {".tmp", "="}}, true);
}

std::optional<Removal> Judge(const Session& session, RunKey which, const std::string& item,
                             const std::string& name, const std::string& data) {
  switch (which) {
    case RunKey::kMachineRun:
      return JudgeMachineRun(session, item, name, data);
    case RunKey::kUserRun:
      return JudgeUserRun(session, name, data);
    default:
      return ByNameRules(session, name, CutAfterExe(data), {{".exe", "="}, {".com", "="}}, false);
  }
}

// What a value's backup saved: the value, and its export's path ("" when
// there was no such value).
struct SavedValue {
  platform::restore::RegistryValue value;
  std::string regFile;
};

// Writes the value to a file of its own in the backup folder before it is
// deleted. True when it is saved, or when there is no such value to lose.
bool BackUpValue(Session& session, HKey key, HKey root, const std::string& subKey,
                 const std::string& backupStem, const std::string& valueName, SavedValue* saved) {
  platform::Platform& platform = session.platform;
  std::string& storedName = saved->value.name;
  std::uint32_t& type = saved->value.type;
  std::vector<std::uint8_t>& data = saved->value.data;
  const long found = ReadRegistryValue(platform, key, valueName, &storedName, &type, &data);
  if (found == error::kFileNotFound) return true;
  const std::string keyPath = RootKeyName(root) + "\\" + subKey;
  if (found != error::kSuccess) {
    session.WriteMessage(5, keyPath + "\\" + valueName);
    return false;
  }
  const std::string path =
      FreeBackupPath(platform, session.run.BackupDir,
                     FileNamePart(std::string(backupStem) + " " + storedName), ".reg");
  if (!WriteRegFile(platform, path, RegFileForValue(keyPath, storedName, type, data), false)) {
    session.WriteMessage(5, path);
    return false;
  }
  saved->regFile = path;
  return true;
}

// The backup file names of a view's values: "HKLM Run winmgrs.reg", and
// "HKLM Wow6432Node Run winmgrs.reg" for the 32-bit view.
std::string BackupStemInView(const std::string& stem, KeyView view) {
  if (view != KeyView::kWow6432Node) return stem;
  const std::size_t blank = stem.find(' ');
  return stem.substr(0, blank) + " Wow6432Node" + stem.substr(blank);
}

void Remove(Session& session, RunKey which, KeyView view, HKey key, const Removal& removal,
            RegistryFlags& flags) {
  const KeyInfo& info = InfoOf(which);
  const std::string label = LabelInView(info.label, view);
  // A value whose backup failed is kept: nothing leaves the registry unsaved.
  SavedValue saved;
  const bool removed =
      BackUpValue(session, key, info.root, StoredSubKey(info.subKey, view),
                  BackupStemInView(info.backupStem, view), removal.valueName, &saved) &&
      session.platform.RegDeleteValueA(key, removal.valueName) == error::kSuccess;
  if (removed) {
    if (!saved.regFile.empty()) {
      RecordRemovedValue(session, info.root, view, info.subKey, saved.value, saved.regFile);
    }
    session.WriteMessage(14, label + removal.reportedIfGone);
  } else {
    session.WriteMessage(13, label + removal.reported);
    flags.RegistryError = true;
  }
  flags.RegistryFound = true;
}

void ScanKeyInView(Session& session, RunKey which, KeyView view, RegistryFlags& flags) {
  platform::Platform& platform = session.platform;
  ItemList& lstKeys = session.frmMain.lstKeys;
  const KeyInfo& info = InfoOf(which);
  HKey key = 0;
  const long opened = OpenKeyInView(platform, info.root, info.subKey, view, &key);
  if (opened != error::kSuccess) {
    // The 32-bit view of a key is missing when no 32-bit program made it.
    const bool missingSecondView = view == KeyView::kWow6432Node && opened == error::kFileNotFound;
    if ((which == RunKey::kMachineRun || which == RunKey::kUserRun) && !missingSecondView) {
      flags.RegistryError = true;
    }
    if (which == RunKey::kMachineRunServices && view != KeyView::kWow6432Node) {
      session.WriteMessage(10);
    }
    lstKeys.clear();
    return;
  }
  // The list holds this key's values only.
  lstKeys.clear();
  ListRegistryValues(session, key);
  for (const std::string& item : lstKeys) {
    const std::vector<std::string> fields = SplitText(item, "=");
    if (fields.size() != 2) continue;
    const std::string data = ReplaceAll(fields[1], "\"", "");
    if (const auto removal = Judge(session, which, item, fields[0], data)) {
      Remove(session, which, view, key, *removal, flags);
      platform.RegCloseKey(key);
      lstKeys.clear();
      return;
    }
  }
  platform.RegCloseKey(key);
  if (which != RunKey::kMachinePoliciesRun) lstKeys.clear();
}

}  // namespace

void RunKeyScan(Session& session, RunKey which, RegistryFlags& flags) {
  const bool keptApart = which == RunKey::kMachineRun || which == RunKey::kMachineRunServices;
  for (KeyView view : ViewsOf(session.run, InfoOf(which).root, keptApart)) {
    ScanKeyInView(session, which, view, flags);
  }
}

void CleanStartupEntries(Session& session, RegistryFlags& flags) {
  for (RunKey which : {RunKey::kMachineRun, RunKey::kUserRun, RunKey::kMachineRunServices,
                       RunKey::kMachinePoliciesRun}) {
    RunKeyScan(session, which, flags);
  }
}

void ResetPolicies(Session& session) {
  platform::Platform& platform = session.platform;
  session.WriteMessage(22);
  for (const PolicyKey& policy : PolicyKeys()) {
    HKey key = 0;
    // The policy keys are shared by both views: one view reads them.
    const KeyView view = ViewsOf(session.run, policy.root, false).front();
    if (OpenKeyInView(platform, policy.root, policy.subKey, view, &key) != error::kSuccess) {
      continue;
    }
    for (const char* value : policy.values) {
      // A missing value is normal, and its deletion fails quietly.
      SavedValue saved;
      if (BackUpValue(session, key, policy.root, policy.subKey, policy.backupStem, value, &saved) &&
          platform.RegDeleteValueA(key, value) == error::kSuccess && !saved.regFile.empty()) {
        RecordRemovedValue(session, policy.root, view, policy.subKey, saved.value, saved.regFile);
      }
    }
    platform.RegCloseKey(key);
  }
}

}  // namespace quellix
