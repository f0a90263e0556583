#include "quellix/restore/RestoreItems.h"

#include <algorithm>
#include <vector>

#include "platform/restore/FileDigest.h"
#include "quellix/engine/cleanup/RegExport.h"
#include "quellix/engine/cleanup/mdlHosts.h"
#include "quellix/engine/system/AnsiText.h"
#include "quellix/engine/system/RegistryViews.h"

namespace quellix::restore {
namespace {

namespace record = platform::restore;
using platform::Platform;

Outcome Restored(std::string note = std::string()) { return {Result::kRestored, std::move(note)}; }
Outcome Skipped(std::string note) { return {Result::kSkipped, std::move(note)}; }
Outcome Failed(std::string note) { return {Result::kFailed, std::move(note)}; }

std::string ErrorText(std::uint32_t error) { return " (error " + std::to_string(error) + ")"; }

std::string TextData(const record::RegistryValue& value) {
  if (value.type != platform::kRegSz && value.type != platform::kRegExpandSz) return std::string();
  return std::string(value.data.begin(), value.data.end());
}

// The copy's bytes, when they are what the run copied.
Outcome CheckCopy(Platform& platform, const std::string& copyPath, const std::string& md5,
                  std::string* bytes) {
  if (!record::ReadWholeFile(platform, copyPath, bytes)) {
    return Skipped("its copy " + copyPath + " is missing or cannot be read");
  }
  if (md5.empty()) return Skipped("its copy " + copyPath + " was never given a digest to check");
  if (record::Md5Of(platform, *bytes) != md5) {
    return Skipped("its copy " + copyPath + " has changed since the run");
  }
  return Restored();
}

// Makes the folders above path that are missing, from the drive down.
void MakeFoldersAbove(Platform& platform, const std::string& path) {
  for (auto slash = path.find('\\', 3); slash != std::string::npos;
       slash = path.find('\\', slash + 1)) {
    const std::string folder = path.substr(0, slash);
    if (platform.GetFileAttributesA(folder) == platform::kInvalidFileAttributes) {
      platform.CreateDirectoryA(folder);
    }
  }
}

Outcome RestoreFile(Platform& platform, const std::string& folder, const record::RemovedFile& file,
                    bool dryRun) {
  if (platform.GetFileAttributesA(file.path) != platform::kInvalidFileAttributes) {
    return Skipped("a file is there again; it is left as it is");
  }
  const std::string copyPath = folder + file.copy;
  std::string bytes;
  const Outcome copy = CheckCopy(platform, copyPath, file.md5, &bytes);
  if (copy.result != Result::kRestored || dryRun) return copy;
  MakeFoldersAbove(platform, file.path);
  platform.SetLastError(0);
  if (!platform.CopyFileA(copyPath, file.path, true)) {
    return Failed("it could not be written" + ErrorText(platform.GetLastError()));
  }
  if (file.attributes != platform::kInvalidFileAttributes &&
      !platform.SetFileAttributesA(file.path, file.attributes)) {
    return Restored("its attributes could not be set" + ErrorText(platform.GetLastError()));
  }
  return Restored();
}

KeyView EngineView(record::View view) {
  switch (view) {
    case record::View::k64Bit:
      return KeyView::k64Bit;
    case record::View::k32Bit:
      return KeyView::kWow6432Node;
    case record::View::kNative:
      break;
  }
  return KeyView::kOnly;
}

// Opens root\subKey in its view, making it when it is missing and the view
// is the one as designed.
long OpenOrMakeKey(Platform& platform, platform::HKey root, const std::string& subKey,
                   record::View view, bool dryRun, platform::HKey* key, bool* made) {
  *made = false;
  long result = OpenKeyInView(platform, root, subKey, EngineView(view), key);
  if (result != platform::error::kFileNotFound || view != record::View::kNative) return result;
  *made = true;
  if (dryRun) return platform::error::kSuccess;
  return platform.RegCreateKeyA(root, subKey, key);
}

enum class ValueState { kThere, kMissing, kUnreadable };

ValueState ValueThere(Platform& platform, platform::HKey key, const std::string& name) {
  std::string stored;
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  const long found = ReadRegistryValue(platform, key, name, &stored, &type, &data);
  if (found == platform::error::kSuccess) return ValueState::kThere;
  return found == platform::error::kFileNotFound ? ValueState::kMissing : ValueState::kUnreadable;
}

Outcome RestoreValue(Platform& platform, const record::RemovedValue& removed, bool dryRun) {
  platform::HKey key = 0;
  bool made = false;
  const long opened =
      OpenOrMakeKey(platform, removed.root, removed.key, removed.view, dryRun, &key, &made);
  if (opened != platform::error::kSuccess) {
    return Failed("its key cannot be opened" + ErrorText(static_cast<std::uint32_t>(opened)));
  }
  if (made && dryRun) return Restored();
  Outcome outcome = Restored();
  switch (ValueThere(platform, key, removed.value.name)) {
    case ValueState::kThere:
      outcome = Skipped("a value of that name is there again; it is left as it is");
      break;
    case ValueState::kUnreadable:
      outcome = Failed("its key cannot be read");
      break;
    case ValueState::kMissing:
      if (!dryRun) {
        const long set = platform.RegSetValueExA(key, removed.value.name, removed.value.type,
                                                 removed.value.data);
        if (set != platform::error::kSuccess) {
          outcome = Failed("it could not be written" + ErrorText(static_cast<std::uint32_t>(set)));
        }
      }
      break;
  }
  platform.RegCloseKey(key);
  return outcome;
}

// Re-creates every key and value of the tree that is missing; what is there
// again stays as it is.
Outcome RestoreKey(Platform& platform, const record::RemovedKey& removed, bool dryRun) {
  int made = 0;
  int there = 0;
  std::string failure;
  for (const record::RemovedKey::Entry& entry : removed.entries) {
    const std::string path = entry.subKey.empty() ? removed.key : removed.key + "\\" + entry.subKey;
    platform::HKey key = 0;
    bool keyMade = false;
    const long opened =
        OpenOrMakeKey(platform, removed.root, path, removed.view, dryRun, &key, &keyMade);
    if (opened != platform::error::kSuccess) {
      failure = path + " cannot be made" + ErrorText(static_cast<std::uint32_t>(opened));
      break;
    }
    if (!entry.isValue) {
      (keyMade ? made : there) += 1;
    } else if (keyMade && dryRun) {
      ++made;
    } else {
      const ValueState state = ValueThere(platform, key, entry.value.name);
      if (state == ValueState::kThere) {
        ++there;
      } else if (state == ValueState::kUnreadable) {
        failure = path + " cannot be read";
      } else if (!dryRun &&
                 platform.RegSetValueExA(key, entry.value.name, entry.value.type,
                                         entry.value.data) != platform::error::kSuccess) {
        failure = "a value of " + path + " could not be written";
      } else {
        ++made;
      }
    }
    if (!keyMade || !dryRun) platform.RegCloseKey(key);
    if (!failure.empty()) break;
  }
  if (!failure.empty()) return Failed(failure);
  if (made == 0) return Skipped("the key is there again with all its values; it is left as it is");
  if (there == 0) return Restored();
  return Restored(std::to_string(there) + " of its keys and values were there again and were left");
}

bool WriteWhole(Platform& platform, const std::string& path, const std::string& bytes) {
  const bool exists = platform.GetFileAttributesA(path) != platform::kInvalidFileAttributes;
  const platform::Handle file = platform.CreateFileA(
      path, platform::kGenericWrite, 0, exists ? platform::kTruncateExisting : platform::kCreateNew,
      platform::kFileAttributeNormal);
  if (file == platform::kInvalidHandleValue) return false;
  std::uint32_t written = 0;
  const bool complete =
      platform.WriteFile(file, std::vector<std::uint8_t>(bytes.begin(), bytes.end()), &written) &&
      written == bytes.size();
  return platform.CloseHandle(file) && complete;
}

// Puts the removed lines back at their places among the lines there now,
// without what the run added; a line that is there again is not doubled.
Outcome RestoreHosts(Platform& platform, const std::string& folder,
                     const record::RemovedHostsLines& hosts, bool dryRun) {
  std::string current;
  if (!record::ReadWholeFile(platform, hosts.path, &current) &&
      platform.GetFileAttributesA(hosts.path) != platform::kInvalidFileAttributes) {
    return Failed("the hosts file cannot be read");
  }
  // What the run added is taken out while the file still ends with it: one
  // line, or the whole text of a file the run wrote anew.
  const std::string& added = hosts.addedLine;
  const std::size_t kept = current.size() - std::min(current.size(), added.size());
  const bool addedThere = !added.empty() && current.size() >= added.size() &&
                          current.compare(kept, added.size(), added) == 0 &&
                          (kept == 0 || current[kept - 1] == '\n');
  if (addedThere) current.resize(kept);
  std::vector<HostsLine> lines = SplitHostsLines(current);
  if (addedThere && hosts.endingAdded && !lines.empty() && lines.back().ending == "\r\n") {
    lines.back().ending.clear();
  }
  int putBack = 0;
  int there = 0;
  // A line is there again when the file held it before the restore: lines
  // the run took out twice (two blank lines, two "#") both go back.
  const std::vector<HostsLine> before = lines;
  for (const record::RemovedHostsLines::Line& removed : hosts.removed) {
    const bool again = std::any_of(before.begin(), before.end(), [&](const HostsLine& line) {
      return LowerAnsi(line.text) == LowerAnsi(removed.text);
    });
    if (again) {
      ++there;
      continue;
    }
    const std::size_t at = std::min(removed.index, lines.size());
    // A line put back after an unterminated last line needs a break first.
    if (at == lines.size() && !lines.empty() && lines.back().ending.empty()) {
      lines.back().ending = "\r\n";
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at),
                 HostsLine{removed.text, removed.ending});
    ++putBack;
  }
  if (putBack == 0) return Skipped("its lines are there again; the file is left as it is");
  std::string copy;
  const Outcome checked = CheckCopy(platform, folder + hosts.copy, hosts.md5, &copy);
  const std::string copyNote =
      checked.result == Result::kRestored ? std::string() : " (" + checked.note + ")";
  if (dryRun) return Restored(copyNote.empty() ? copyNote : copyNote.substr(1));
  std::string bytes;
  for (const HostsLine& line : lines) bytes += line.text + line.ending;
  if (!WriteWhole(platform, hosts.path, bytes)) {
    return Failed("the hosts file could not be written" + ErrorText(platform.GetLastError()));
  }
  if (hosts.attributes != platform::kInvalidFileAttributes &&
      hosts.attributes != platform::kFileAttributeNormal) {
    platform.SetFileAttributesA(hosts.path, hosts.attributes);
  }
  if (there == 0) return Restored();
  return Restored(std::to_string(there) + " of its lines were there again");
}

std::string KeyName(platform::HKey root, const std::string& key, record::View view) {
  const std::string name = record::RootName(root) + "\\" + key;
  switch (view) {
    case record::View::k64Bit:
      return name + " (64-bit view)";
    case record::View::k32Bit:
      return name + " (32-bit view)";
    case record::View::kNative:
      break;
  }
  return name;
}

bool Contains(const std::string& text, const std::string& part) {
  return LowerAnsi(text).find(LowerAnsi(part)) != std::string::npos;
}

}  // namespace

Outcome RestoreItem(Platform& platform, const std::string& folder, const record::Item& item,
                    bool dryRun) {
  if (const auto* file = std::get_if<record::RemovedFile>(&item))
    return RestoreFile(platform, folder, *file, dryRun);
  if (const auto* value = std::get_if<record::RemovedValue>(&item))
    return RestoreValue(platform, *value, dryRun);
  if (const auto* key = std::get_if<record::RemovedKey>(&item))
    return RestoreKey(platform, *key, dryRun);
  return RestoreHosts(platform, folder, std::get<record::RemovedHostsLines>(item), dryRun);
}

std::string Describe(const record::Item& item) {
  if (const auto* file = std::get_if<record::RemovedFile>(&item)) return "file " + file->path;
  if (const auto* value = std::get_if<record::RemovedValue>(&item)) {
    return "value \"" + value->value.name + "\" of " +
           KeyName(value->root, value->key, value->view);
  }
  if (const auto* key = std::get_if<record::RemovedKey>(&item))
    return "key " + KeyName(key->root, key->key, key->view);
  const auto& hosts = std::get<record::RemovedHostsLines>(item);
  return std::to_string(hosts.removed.size()) + " line(s) of " + hosts.path;
}

bool Matches(const record::Item& item, const std::string& text) {
  if (const auto* file = std::get_if<record::RemovedFile>(&item)) return Contains(file->path, text);
  if (const auto* value = std::get_if<record::RemovedValue>(&item)) {
    return Contains(value->key + "\\" + value->value.name, text) ||
           Contains(TextData(value->value), text);
  }
  if (const auto* key = std::get_if<record::RemovedKey>(&item)) {
    return Contains(key->key, text) || std::any_of(key->entries.begin(), key->entries.end(),
                                                   [&](const record::RemovedKey::Entry& entry) {
                                                     return Contains(TextData(entry.value), text);
                                                   });
  }
  const auto& hosts = std::get<record::RemovedHostsLines>(item);
  return Contains(hosts.path, text) ||
         std::any_of(hosts.removed.begin(), hosts.removed.end(),
                     [&](const record::RemovedHostsLines::Line& line) {
                       return Contains(line.text, text);
                     });
}

}  // namespace quellix::restore
