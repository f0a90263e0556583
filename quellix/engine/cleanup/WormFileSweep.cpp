#include "quellix/engine/cleanup/WormFileSweep.h"

#include <algorithm>
#include <initializer_list>

#include "quellix/engine/system/AnsiText.h"

namespace quellix {
namespace {

bool IsOneOf(const std::string& name, std::initializer_list<const char*> names) {
  return std::any_of(names.begin(), names.end(),
                     [&](const char* listed) { return name == listed; });
}

// Names that Windows takes for a device whatever folder and extension they have.
bool IsDeviceName(const std::string& file) {
  std::string stem = LowerAnsi(file.substr(0, file.find('.')));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  if (IsOneOf(stem, {"con", "prn", "aux", "nul", "clock$", "conin$", "conout$"})) return true;
  return stem.size() == 4 && (stem.compare(0, 3, "com") == 0 || stem.compare(0, 3, "lpt") == 0) &&
         stem[3] >= '0' && stem[3] <= '9';
}

// On a 64-bit Windows a 32-bit worm that drops itself into "system32" lands
// in SysWOW64: each place under the system folder is also looked at there,
// right after it, except drivers\etc, which Windows does not redirect.
std::vector<SweepTarget> WithSysWow64Twins(const std::vector<SweepTarget>& targets,
                                           const RunValues& run) {
  const std::string system = run.SystemDir + "\\";
  const std::string exempt = system + "drivers\\etc\\";
  std::vector<SweepTarget> twinned;
  for (const SweepTarget& target : targets) {
    twinned.push_back(target);
    if (target.folder.compare(0, system.size(), system) != 0 || target.folder == exempt) continue;
    twinned.push_back(
        SweepTarget{run.SysWow64Dir + "\\" + target.folder.substr(system.size()), target.file});
  }
  return twinned;
}

}  // namespace

std::vector<SweepTarget> SweepTargets(const std::string& n, const RunValues& run) {
  const std::string w = run.WindowsDir;
  const std::string s = run.SystemDir;
  const std::string& root = run.RootDir;
  const std::string& temp = run.TempDir;
  std::vector<SweepTarget> targets;
  const auto add = [&](const std::string& folder, const std::string& file) {
    targets.push_back(SweepTarget{folder, file});
  };
  const std::string exe = n + ".exe";

  if (IsOneOf(n, {"wmplayer", "explorer", "winhelp", "ehsched", "autorun", "regedit"})) {
    add(w + "\\system\\", exe);
    add(s + "\\", exe);
    add(root, exe);
  } else if (IsOneOf(n, {"csrss", "svchost", "smss", "services", "mstask", "mdm", "iexplore",
                         "spoolsv", "wdfmgr", "dumprep", "java"})) {
    add(w + "\\", exe);
    add(w + "\\system\\", exe);
    add(temp, exe);
    add(s + "\\drivers\\", exe);
  } else if (IsOneOf(n, {"taskmgr32", "taskmgr", "lol", "setup"})) {
    add(root, exe);
  } else if (IsOneOf(n, {"winlogon", "ctfmon", "lsass"})) {
    add(temp, exe);
  } else if (IsOneOf(n, {"msconfig", "defrag", "rundll32", "ups", "dllhost", "msimn", "usnsvc",
                         "wscntfy", "acer", "help"})) {
    add(w + "\\", exe);
    add(w + "\\Help\\", exe);
    add(w + "\\system\\", exe);
    add(temp, exe);
  } else {
    add(root + "RECYCLER\\", exe);
    add(w + "\\RECYCLER\\", exe);
    add(root, exe);
    add(w + "\\", exe);
    add(w + "\\system\\", exe);
    add(s + "\\", exe);
    add(w + "\\Fonts\\", "svchost.exe");
    add(temp, exe);
    add(s + "\\drivers\\", exe);
    add(s + "\\drivers\\etc\\", exe);
    add(s + "\\wbem\\", exe);
    add(s + "\\fonts\\", exe);
    add(w + "\\java\\java.log\\", exe);
    add(s + "\\drivers\\helpsys\\", exe);

    if (!IsOneOf(n, {"win", "chcp", "command"})) {
      const std::string com = n + ".com";
      add(root + "RECYCLER\\", com);
      add(w + "\\RECYCLER\\", com);
      add(w + "\\", com);
      add(w + "\\system\\", com);
      add(s + "\\", com);
      add(s + "\\dllcache\\", com);
      add(temp, com);
      add(s + "\\drivers\\", com);
      add(s + "\\wbem\\", com);
      add(s + "\\fonts\\", com);
    }

    const std::string scr = n + ".scr";
    add(w + "\\", scr);
    add(w + "\\system\\", scr);
    if (!IsOneOf(n, {"acer", "logon"})) {
      add(s + "\\", scr);
      add(s + "\\dllcache\\", scr);
    }
    add(temp, scr);
    add(s + "\\drivers\\", scr);
    add(s + "\\wbem\\", scr);
    add(s + "\\fonts\\", scr);
  }
  return run.SysWow64Dir.empty() ? targets : WithSysWow64Twins(targets, run);
}

bool ListingCanFind(const std::string& file) {
  for (char c : file) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte >= 0x80) return false;
    if (std::string("\\/:*?\"<>|~").find(c) != std::string::npos) return false;
  }
  return !IsDeviceName(file);
}

// False when the listing proves nothing; a missing or empty folder is listed
// as holding nothing.
bool SweepFolderListings::ListInto(const std::string& folder, std::map<std::string, int>* names,
                                   bool* trusted) {
  std::vector<platform::FindEntry> entries;
  platform_.SetLastError(0);
  *trusted = true;
  if (!platform_.FindFiles(folder + "*", &entries)) {
    const std::uint32_t error = platform_.GetLastError();
    // Any failure but "missing" (a folder that may not be listed, a drive
    // that is not ready) proves nothing.
    *trusted = error == platform::error::kFileNotFound || error == platform::error::kPathNotFound;
    return *trusted;
  }
  for (const platform::FindEntry& entry : entries) {
    // A name that the code page cannot show comes back with '?' in it: the
    // listing no longer tells which names the folder holds.
    if (entry.name.find('?') != std::string::npos) *trusted = false;
    if (entry.name == "." || entry.name == "..") continue;
    ++(*names)[LowerAnsi(entry.name)];
  }
  return *trusted;
}

SweepFolderListings::Listing& SweepFolderListings::ListingOf(const std::string& folder) {
  const std::string key = LowerAnsi(folder);
  auto found = listings_.find(key);
  if (found != listings_.end()) return found->second;
  Listing& listing = listings_[key];
  listing.folder = folder;
  ListInto(folder, &listing.names, &listing.trusted);
  return listing;
}

bool SweepFolderListings::Relist() {
  bool any = false;
  for (auto& [key, listing] : listings_) {
    listing.appeared.clear();
    // A folder that was not trusted had every name tried already.
    if (!listing.trusted) continue;
    std::map<std::string, int> now;
    bool trusted = false;
    if (!ListInto(listing.folder, &now, &trusted)) continue;
    for (const auto& [name, count] : now) {
      int& before = listing.names[name];
      if (count > before) listing.appeared.insert(name);
      before = count;
    }
    any = any || !listing.appeared.empty();
  }
  return any;
}

bool SweepFolderListings::Appeared(const SweepTarget& target) const {
  const auto listing = listings_.find(LowerAnsi(target.folder));
  if (listing == listings_.end()) return false;
  const std::string file = LowerAnsi(target.file);
  const auto name = listing->second.names.find(file);
  return listing->second.appeared.count(file) != 0 && name != listing->second.names.end() &&
         name->second > 0;
}

bool SweepFolderListings::MayExist(const SweepTarget& target) {
  // Paths beyond MAX_PATH fail in the file calls in ways of their own.
  constexpr std::size_t kMaxPath = 260;
  if (!ListingCanFind(target.file) || target.Path().size() >= kMaxPath) return true;
  const Listing& listing = ListingOf(target.folder);
  if (!listing.trusted) return true;
  const auto found = listing.names.find(LowerAnsi(target.file));
  return found != listing.names.end() && found->second > 0;
}

void SweepFolderListings::Deleted(const SweepTarget& target) {
  auto listing = listings_.find(LowerAnsi(target.folder));
  if (listing == listings_.end()) return;
  auto name = listing->second.names.find(LowerAnsi(target.file));
  if (name != listing->second.names.end() && name->second > 0) --name->second;
}

}  // namespace quellix
