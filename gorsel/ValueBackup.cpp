#include "gorsel/ValueBackup.h"

#include <algorithm>

namespace gorsel {

namespace {

constexpr const char* kLineEnd = "\r\n";
constexpr const char* kHexDigits = "0123456789abcdef";
// The editor continues hex lines before they pass 80 columns.
constexpr std::size_t kHexWrapColumn = 76;
constexpr std::uint32_t kQueryAndSetValue = 0x0003;
constexpr int kMaxFileNumber = 999;
// Value names may be long; the file name keeps their start.
constexpr std::size_t kNameInFileName = 60;

std::string Quoted(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

// A string reads back to the same bytes only with one terminating NUL, no
// other NUL and no line break.
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
    if (++column >= kHexWrapColumn) {
      text += "\\\r\n  ";
      column = 2;
    }
  }
  return text;
}

std::string Hex(std::uint32_t value, int digits) {
  std::string text;
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
    text += kHexDigits[(value >> shift) & 0xF];
  return text;
}

std::string ValueLine(const std::string& name, std::uint32_t type,
                      const std::vector<std::uint8_t>& data) {
  const std::string prefix = (name.empty() ? std::string("@") : Quoted(name)) + "=";
  if (type == platform::kRegSz && QuotableString(data)) {
    return prefix + Quoted(std::string(data.begin(), data.end() - 1));
  }
  if (type == platform::kRegDword && data.size() == 4) {
    const std::uint32_t value =
        static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8 |
        static_cast<std::uint32_t>(data[2]) << 16 | static_cast<std::uint32_t>(data[3]) << 24;
    return prefix + "dword:" + Hex(value, 8);
  }
  if (type == platform::kRegBinary) return HexData(prefix + "hex:", data);
  std::string digits = Hex(type, 8);
  digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));
  return HexData(prefix + "hex(" + digits + "):", data);
}

std::string HiveName(platform::HKey hive) {
  return hive == platform::kHkeyLocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}

// "Gorsel HKCU load.reg", "Gorsel HKCU load (2).reg", ...: characters a file
// name cannot hold become "_".
std::string FileName(platform::HKey hive, const std::string& valueName, int number) {
  std::string name = valueName.empty() ? "(default)" : valueName.substr(0, kNameInFileName);
  for (char& c : name) {
    if (static_cast<unsigned char>(c) < 32 ||
        std::string("\\/:*?\"<>|").find(c) != std::string::npos) {
      c = '_';
    }
  }
  const std::string hiveName = hive == platform::kHkeyLocalMachine ? "HKLM" : "HKCU";
  const std::string suffix = number == 1 ? "" : " (" + std::to_string(number) + ")";
  return "Gorsel " + hiveName + " " + name + suffix + ".reg";
}

bool WriteNewFile(platform::Platform& system, const std::string& folder, platform::HKey hive,
                  const std::string& valueName, const std::string& text) {
  for (int number = 1; number <= kMaxFileNumber; ++number) {
    const std::string path = folder + FileName(hive, valueName, number);
    const platform::Handle file = system.CreateFileA(
        path, platform::kGenericWrite, 0, platform::kCreateNew, platform::kFileAttributeNormal);
    if (file == platform::kInvalidHandleValue || file == platform::kNullHandle) {
      const std::uint32_t error = system.GetLastError();
      if (error == platform::error::kFileExists || error == platform::error::kAlreadyExists) {
        continue;
      }
      return false;
    }
    std::uint32_t written = 0;
    const bool whole =
        system.WriteFile(file, std::vector<std::uint8_t>(text.begin(), text.end()), &written) &&
        written == text.size();
    system.CloseHandle(file);
    // A part of a copy would pass for a copy.
    if (!whole) system.DeleteFileA(path);
    return whole;
  }
  return false;
}

std::string KeyWithoutTrailingSlash(std::string subKey) {
  while (!subKey.empty() && subKey.back() == '\\') subKey.pop_back();
  return subKey;
}

}  // namespace

std::string RegFileForValue(const std::string& keyPath, const std::string& name, std::uint32_t type,
                            const std::vector<std::uint8_t>& data) {
  return std::string("REGEDIT4") + kLineEnd + kLineEnd + "[" + keyPath + "]" + kLineEnd +
         ValueLine(name, type, data) + kLineEnd + kLineEnd;
}

ValueBackup BackUpAndDeleteValue(platform::Platform& system, platform::HKey hive,
                                 const std::string& subKey, const std::string& valueName,
                                 const std::string& folder) {
  const std::string keyPath = KeyWithoutTrailingSlash(subKey);
  platform::HKey key = 0;
  if (system.RegOpenKeyExA(hive, keyPath, kQueryAndSetValue, &key) != platform::error::kSuccess) {
    return ValueBackup::kAbsent;
  }
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  const long read = system.RegQueryValueExA(key, valueName, &type, &data);
  ValueBackup outcome = ValueBackup::kAbsent;
  if (read == platform::error::kSuccess) {
    const std::string text =
        RegFileForValue(HiveName(hive) + "\\" + keyPath, valueName, type, data);
    outcome = WriteNewFile(system, folder, hive, valueName, text) ? ValueBackup::kSaved
                                                                  : ValueBackup::kNotSaved;
    if (outcome == ValueBackup::kSaved) system.RegDeleteValueA(key, valueName);
  } else if (read != platform::error::kFileNotFound) {
    outcome = ValueBackup::kNotSaved;
  }
  system.RegCloseKey(key);
  return outcome;
}

}  // namespace gorsel
