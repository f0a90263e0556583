#include "quellix/engine/cleanup/RegExport.h"

#include <algorithm>

#include "quellix/engine/system/AnsiText.h"
#include "quellix/engine/cleanup/BackupFiles.h"

namespace quellix {
namespace {

constexpr const char* kHeader = "REGEDIT4\r\n\r\n";
constexpr const char* kLineEnd = "\r\n";
// The editor continues hex lines before they pass 80 columns.
constexpr std::size_t kHexWrapColumn = 76;
// Key names hold at most 255 characters, value names at most 16,383.
constexpr std::uint32_t kKeyNameCharacters = 256;
constexpr std::uint32_t kValueNameCharacters = 16384;
constexpr std::uint32_t kFirstDataBytes = 4096;
constexpr const char* kHexDigits = "0123456789abcdef";

std::string Quoted(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

// A REG_SZ can be written as a quoted string only when it reads back to the
// same bytes: one terminating NUL, no other NUL and no line break.
bool QuotableString(const std::vector<std::uint8_t>& data) {
  if (data.empty() || data.back() != 0) return false;
  return std::none_of(data.begin(), data.end() - 1,
                      [](std::uint8_t byte) { return byte == 0 || byte == '\r' || byte == '\n'; });
}

std::string HexData(const std::string& prefix, const std::vector<std::uint8_t>& data) {
  std::string text = prefix;
  std::size_t column = prefix.size();
  for (std::size_t i = 0; i < data.size(); ++i) {
    text += kHexDigits[data[i] >> 4];
    text += kHexDigits[data[i] & 0xF];
    column += 2;
    if (i + 1 == data.size()) break;
    text += ',';
    ++column;
    if (column >= kHexWrapColumn) {
      text += "\\\r\n  ";
      column = 2;
    }
  }
  return text;
}

std::string HexTypeName(std::uint32_t type) {
  std::string digits;
  do {
    digits.insert(digits.begin(), kHexDigits[type & 0xF]);
    type >>= 4;
  } while (type != 0);
  return "hex(" + digits + "):";
}

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

std::string RegValueLine(const std::string& name, std::uint32_t type,
                         const std::vector<std::uint8_t>& data) {
  const std::string prefix = (name.empty() ? std::string("@") : Quoted(name)) + "=";
  if (type == platform::kRegSz && QuotableString(data)) {
    return prefix + Quoted(std::string(data.begin(), data.end() - 1));
  }
  if (type == platform::kRegDword && data.size() == 4) {
    const std::uint32_t value =
        static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8 |
        static_cast<std::uint32_t>(data[2]) << 16 | static_cast<std::uint32_t>(data[3]) << 24;
    std::string digits;
    for (int shift = 28; shift >= 0; shift -= 4) digits += kHexDigits[(value >> shift) & 0xF];
    return prefix + "dword:" + digits;
  }
  if (type == platform::kRegBinary) return HexData(prefix + "hex:", data);
  return HexData(prefix + HexTypeName(type), data);
}

std::string RegFileForValue(const std::string& keyPath, const std::string& name, std::uint32_t type,
                            const std::vector<std::uint8_t>& data) {
  return std::string(kHeader) + "[" + keyPath + "]" + kLineEnd + RegValueLine(name, type, data) +
         kLineEnd + kLineEnd;
}

bool RegFileForKeyTree(platform::Platform& platform, platform::HKey root, const std::string& subKey,
                       std::string* text) {
  std::string tree;
  if (!AppendKeyTree(platform, root, subKey, &tree)) return false;
  *text = kHeader + tree;
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
