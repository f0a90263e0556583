#include "quellix/engine/cleanup/RegExport.h"

#include <algorithm>

#include "quellix/engine/system/AnsiText.h"
#include "quellix/engine/cleanup/BackupFiles.h"

namespace quellix {
namespace {

constexpr const char* kLineEnd = "\r\n";
// Key names hold at most 255 characters, value names at most 16,383.
constexpr std::uint32_t kKeyNameCharacters = 256;
constexpr std::uint32_t kValueNameCharacters = 16384;
constexpr std::uint32_t kFirstDataBytes = 4096;

bool AppendKeyTree(platform::Platform& platform, platform::HKey root, const std::string& subKey,
                   std::string* text) {
  platform::HKey key = 0;
  if (platform.RegOpenKeyExA(root, subKey, platform::kKeyRead, &key) != platform::error::kSuccess) {
    return false;
  }
  bool complete = true;
  std::string block = "[" + RootKeyName(root) + "\\" + subKey + "]" + kLineEnd;
  for (std::uint32_t index = 0;; ++index) {
    std::string name;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    const long result = EnumValueWhole(platform, key, index, &name, &type, &data);
    if (result == platform::error::kNoMoreItems) break;
    if (result != platform::error::kSuccess) {
      complete = false;
      break;
    }
    block += RegValueLine(name, type, data) + kLineEnd;
  }
  *text += block + kLineEnd;
  for (std::uint32_t index = 0; complete; ++index) {
    std::string child;
    const long result = platform.RegEnumKeyExA(key, index, kKeyNameCharacters, &child);
    if (result == platform::error::kNoMoreItems) break;
    complete = result == platform::error::kSuccess &&
               AppendKeyTree(platform, root, subKey + "\\" + child, text);
  }
  platform.RegCloseKey(key);
  return complete;
}

}  // namespace

long EnumValueWhole(platform::Platform& platform, platform::HKey key, std::uint32_t index,
                    std::string* name, std::uint32_t* type, std::vector<std::uint8_t>* data) {
  std::uint32_t length = 0;
  long result = platform.RegEnumValueA(key, index, kValueNameCharacters, kFirstDataBytes, name,
                                       type, data, &length);
  if (result == platform::error::kMoreData) {
    result =
        platform.RegEnumValueA(key, index, kValueNameCharacters, length, name, type, data, &length);
  }
  if (result == platform::error::kSuccess)
    data->resize(std::min<std::size_t>(data->size(), length));
  return result;
}

std::string RootKeyName(platform::HKey root) {
  switch (root) {
    case platform::kHkeyClassesRoot:
      return "HKEY_CLASSES_ROOT";
    case platform::kHkeyCurrentUser:
      return "HKEY_CURRENT_USER";
    case platform::kHkeyLocalMachine:
      return "HKEY_LOCAL_MACHINE";
    case platform::kHkeyUsers:
      return "HKEY_USERS";
    default:
      return std::string();
  }
}

bool RegFileForKeyTree(platform::Platform& platform, platform::HKey root, const std::string& subKey,
                       std::string* text) {
  std::string tree;
  if (!AppendKeyTree(platform, root, subKey, &tree)) return false;
  *text = platform::kRegFileHeader + tree;
  return true;
}

long ReadRegistryValue(platform::Platform& platform, platform::HKey key,
                       const std::string& valueName, std::string* storedName, std::uint32_t* type,
                       std::vector<std::uint8_t>* data) {
  const std::string wanted = LowerAnsi(valueName);
  for (std::uint32_t index = 0;; ++index) {
    const long result = EnumValueWhole(platform, key, index, storedName, type, data);
    if (result == platform::error::kNoMoreItems) return platform::error::kFileNotFound;
    if (result != platform::error::kSuccess) return result;
    if (LowerAnsi(*storedName) == wanted) return platform::error::kSuccess;
  }
}

bool WriteRegFile(platform::Platform& platform, const std::string& path, const std::string& text,
                  bool replaceExisting) {
  return WriteWholeFile(platform, path, std::vector<std::uint8_t>(text.begin(), text.end()),
                        replaceExisting);
}

}  // namespace quellix
