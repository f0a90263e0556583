#include "quellix/engine/cleanup/RemovalRecord.h"

#include "platform/restore/BackupCopy.h"
#include "quellix/engine/cleanup/RegExport.h"
#include "quellix/engine/session/Session.h"

namespace quellix {
namespace {

namespace restore = platform::restore;

// Key names hold at most 255 characters.
constexpr std::uint32_t kKeyNameCharacters = 256;

void Append(Session& session, const restore::Item& item) {
  // The removal stands; only its undoing is lost, and the log says so.
  if (!session.removalRecord.Append(item)) session.WriteMessage(5, session.removalRecord.Path());
}

restore::View RecordedView(KeyView view) {
  switch (view) {
    case KeyView::k64Bit:
      return restore::View::k64Bit;
    case KeyView::kWow6432Node:
      return restore::View::k32Bit;
    case KeyView::kOnly:
      break;
  }
  return restore::View::kNative;
}

bool AppendTree(platform::Platform& platform, platform::HKey root, const std::string& base,
                const std::string& below, restore::RemovedKey* key) {
  platform::HKey open = 0;
  const std::string path = below.empty() ? base : base + "\\" + below;
  if (platform.RegOpenKeyExA(root, path, platform::kKeyRead, &open) != platform::error::kSuccess)
    return false;
  key->entries.push_back(restore::RemovedKey::Entry{below, false, {}});
  bool complete = true;
  for (std::uint32_t index = 0; complete; ++index) {
    restore::RegistryValue value;
    const long result =
        EnumValueWhole(platform, open, index, &value.name, &value.type, &value.data);
    if (result == platform::error::kNoMoreItems) break;
    complete = result == platform::error::kSuccess;
    if (complete) key->entries.push_back(restore::RemovedKey::Entry{below, true, value});
  }
  for (std::uint32_t index = 0; complete; ++index) {
    std::string child;
    const long result = platform.RegEnumKeyExA(open, index, kKeyNameCharacters, &child);
    if (result == platform::error::kNoMoreItems) break;
    complete = result == platform::error::kSuccess &&
               AppendTree(platform, root, base, below.empty() ? child : below + "\\" + child, key);
  }
  platform.RegCloseKey(open);
  return complete;
}

}  // namespace

std::string BackupFileName(const std::string& path) { return path.substr(path.rfind('\\') + 1); }

void RecordRemovedFile(Session& session, const std::string& path, std::uint32_t attributes,
                       const std::string& copyName) {
  Append(session, restore::RemovedFileOf(session.platform, path, attributes, session.run.BackupDir,
                                         copyName));
}

void RecordRemovedValue(Session& session, platform::HKey root, KeyView view,
                        const std::string& subKey, const restore::RegistryValue& value,
                        const std::string& regFile) {
  Append(session,
         restore::RemovedValue{root, RecordedView(view), subKey, value, BackupFileName(regFile)});
}

bool ReadRemovedKey(platform::Platform& platform, platform::HKey root, const std::string& subKey,
                    restore::RemovedKey* key) {
  key->root = root;
  key->view = restore::View::kNative;
  key->key = subKey;
  key->entries.clear();
  return AppendTree(platform, root, subKey, std::string(), key);
}

void RecordRemovedKey(Session& session, const restore::RemovedKey& key) { Append(session, key); }

void RecordRemovedHostsLines(Session& session, const restore::RemovedHostsLines& hosts) {
  Append(session, hosts);
}

}  // namespace quellix
