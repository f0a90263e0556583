#include "gorsel/RegistryHelpers.h"

#include <cstdint>

namespace gorsel {

namespace {

constexpr std::uint32_t kKeySetValue = 0x0002;
constexpr std::uint32_t kEnumBufferSize = 2048;

struct ValuePath {
  platform::HKey hive = 0;
  std::string subKey;
  std::string valueName;
};

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    if (lower(text[i]) != lower(prefix[i])) return false;
  }
  return true;
}

bool SplitValuePath(const std::string& path, ValuePath* split) {
  static const struct {
    const char* prefix;
    platform::HKey hive;
  } kHives[] = {{"HKCU\\", platform::kHkeyCurrentUser},
                {"HKEY_CURRENT_USER\\", platform::kHkeyCurrentUser},
                {"HKLM\\", platform::kHkeyLocalMachine},
                {"HKEY_LOCAL_MACHINE\\", platform::kHkeyLocalMachine}};
  for (const auto& hive : kHives) {
    if (!StartsWithNoCase(path, hive.prefix)) continue;
    const std::string rest = path.substr(std::char_traits<char>::length(hive.prefix));
    const auto slash = rest.rfind('\\');
    if (slash == std::string::npos) return false;
    split->hive = hive.hive;
    split->subKey = rest.substr(0, slash);
    split->valueName = rest.substr(slash + 1);
    return true;
  }
  return false;
}

std::string KeyWithoutTrailingSlash(std::string subKey) {
  while (!subKey.empty() && subKey.back() == '\\') subKey.pop_back();
  return subKey;
}

}  // namespace

std::string TrimAtNull(const std::string& text) { return text.substr(0, text.find('\0')); }

std::string RegReadValue(platform::Platform& system, const std::string& path) {
  ValuePath value;
  if (!SplitValuePath(path, &value)) return "";
  platform::HKey key = 0;
  if (system.RegOpenKeyExA(value.hive, value.subKey, platform::kKeyQueryValue, &key) !=
      platform::error::kSuccess) {
    return "";
  }
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  const long result = system.RegQueryValueExA(key, value.valueName, &type, &data);
  system.RegCloseKey(key);
  if (result != platform::error::kSuccess) return "";
  return TrimAtNull(std::string(data.begin(), data.end()));
}

void RegDeleteValue(platform::Platform& system, const std::string& path) {
  ValuePath value;
  if (SplitValuePath(path, &value))
    RegDeleteValueIn(system, value.hive, value.subKey, value.valueName);
}

void RegDeleteValueIn(platform::Platform& system, platform::HKey hive, const std::string& subKey,
                      const std::string& valueName) {
  platform::HKey key = 0;
  if (system.RegOpenKeyExA(hive, KeyWithoutTrailingSlash(subKey), kKeySetValue, &key) !=
      platform::error::kSuccess) {
    return;
  }
  system.RegDeleteValueA(key, valueName);
  system.RegCloseKey(key);
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
  std::uint32_t index = 0;
  for (;; ++index) {
    std::string name;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    std::uint32_t dataLength = 0;
    long result = system.RegEnumValueA(key, index, kEnumBufferSize, kEnumBufferSize, &name, &type,
                                       &data, &dataLength);
    // A value longer than the buffers is read again whole: stopping there
    // would hide it and every value after it from the scan.
    if (result == platform::error::kMoreData) {
      result =
          system.RegEnumValueA(key, index, 16384, dataLength + 1, &name, &type, &data, &dataLength);
    }
    if (result != platform::error::kSuccess) break;
    (*names)[index] = TrimAtNull(name);
    std::string text = TrimAtNull(std::string(data.begin(), data.end()));
    (*values)[index] = text.empty() ? (*names)[index] : text;
    names->emplace_back();
    values->emplace_back();
  }
  system.RegCloseKey(key);
  return static_cast<int>(index) - 1;
}

}  // namespace gorsel
