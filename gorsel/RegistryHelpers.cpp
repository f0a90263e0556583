#include "gorsel/RegistryHelpers.h"

#include <cstdint>

namespace gorsel {

namespace {

constexpr std::uint32_t kEnumBufferSize = 2048;
// Value names hold at most 16,383 characters.
constexpr std::uint32_t kValueNameCharacters = 16384;

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    if (lower(text[i]) != lower(prefix[i])) return false;
  }
  return true;
}

std::string KeyWithoutTrailingSlash(std::string subKey) {
  while (!subKey.empty() && subKey.back() == '\\') subKey.pop_back();
  return subKey;
}

}  // namespace

bool SplitValuePath(const std::string& path, platform::HKey* hive, std::string* subKey,
                    std::string* valueName) {
  static const struct {
    const char* prefix;
    platform::HKey hive;
  } kHives[] = {{"HKCU\\", platform::kHkeyCurrentUser},
                {"HKEY_CURRENT_USER\\", platform::kHkeyCurrentUser},
                {"HKLM\\", platform::kHkeyLocalMachine},
                {"HKEY_LOCAL_MACHINE\\", platform::kHkeyLocalMachine}};
  for (const auto& known : kHives) {
    if (!StartsWithNoCase(path, known.prefix)) continue;
    const std::string rest = path.substr(std::char_traits<char>::length(known.prefix));
    const auto slash = rest.rfind('\\');
    if (slash == std::string::npos) return false;
    *hive = known.hive;
    *subKey = rest.substr(0, slash);
    *valueName = rest.substr(slash + 1);
    return true;
  }
  return false;
}

std::string TrimAtNull(const std::string& text) { return text.substr(0, text.find('\0')); }

std::string RegReadValue(platform::Platform& system, const std::string& path) {
  platform::HKey hive = 0;
  std::string subKey;
  std::string valueName;
  if (!SplitValuePath(path, &hive, &subKey, &valueName)) return "";
  platform::HKey key = 0;
  if (system.RegOpenKeyExA(hive, subKey, platform::kKeyQueryValue, &key) !=
      platform::error::kSuccess) {
    return "";
  }
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  const long result = system.RegQueryValueExA(key, valueName, &type, &data);
  system.RegCloseKey(key);
  if (result != platform::error::kSuccess) return "";
  return TrimAtNull(std::string(data.begin(), data.end()));
}

int EnumRegistryValues(platform::Platform& system, platform::HKey hive, const std::string& subKey,
                       std::vector<std::string>* names, std::vector<std::string>* values) {
  names->assign(1, "");
  values->assign(1, "");
  platform::HKey key = 0;
  if (system.RegOpenKeyExA(hive, KeyWithoutTrailingSlash(subKey), platform::kKeyAllAccess, &key) !=
      platform::error::kSuccess) {
    return -1;
  }
  std::size_t filled = 0;
  for (std::uint32_t index = 0;; ++index) {
    std::string name;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    std::uint32_t dataLength = 0;
    long result = system.RegEnumValueA(key, index, kEnumBufferSize, kEnumBufferSize, &name, &type,
                                       &data, &dataLength);
    // A value longer than the buffers is read again whole; one that still
    // does not fit is passed over alone: stopping there would hide every
    // value after it from the scan.
    if (result == platform::error::kMoreData) {
      result = system.RegEnumValueA(key, index, kValueNameCharacters, dataLength + 1, &name, &type,
                                    &data, &dataLength);
      if (result != platform::error::kSuccess && result != platform::error::kNoMoreItems) continue;
    }
    if (result != platform::error::kSuccess) break;
    (*names)[filled] = TrimAtNull(name);
    std::string text = TrimAtNull(std::string(data.begin(), data.end()));
    (*values)[filled] = text.empty() ? (*names)[filled] : text;
    ++filled;
    names->emplace_back();
    values->emplace_back();
  }
  system.RegCloseKey(key);
  return static_cast<int>(filled) - 1;
}

}  // namespace gorsel
