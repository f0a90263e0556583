#include "platform/sim/SimRegistry.h"

#include <algorithm>
#include <stdexcept>

#include "platform/sim/SimText.h"

namespace platform::sim {

namespace {

struct RootName {
  const char* abbreviation;
  const char* longName;
};

constexpr RootName kRootNames[] = {
    {"HKCR", "HKEY_CLASSES_ROOT"},
    {"HKCU", "HKEY_CURRENT_USER"},
    {"HKLM", "HKEY_LOCAL_MACHINE"},
    {"HKU", "HKEY_USERS"},
};

std::vector<std::string> SplitKeyNames(std::string_view text) {
  std::vector<std::string> names;
  std::string current;
  for (char c : text) {
    if (c == '\\') {
      if (!current.empty()) names.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) names.push_back(current);
  return names;
}

RegPath ParseOrThrow(std::string_view path) {
  std::optional<RegPath> parsed = ParseRegistryPath(path);
  if (!parsed) throw std::invalid_argument("unknown registry root in '" + std::string(path) + "'");
  return *parsed;
}

}  // namespace

RegKey* RegKey::FindSubKey(std::string_view subName) {
  for (RegKey& key : subKeys) {
    if (EqualsNoCase(key.name, subName)) return &key;
  }
  return nullptr;
}

const RegKey* RegKey::FindSubKey(std::string_view subName) const {
  return const_cast<RegKey*>(this)->FindSubKey(subName);
}

RegValue* RegKey::FindValue(std::string_view valueName) {
  for (RegValue& value : values) {
    if (EqualsNoCase(value.name, valueName)) return &value;
  }
  return nullptr;
}

const RegValue* RegKey::FindValue(std::string_view valueName) const {
  return const_cast<RegKey*>(this)->FindValue(valueName);
}

std::optional<RegPath> ParseRegistryPath(std::string_view path) {
  std::vector<std::string> names = SplitKeyNames(path);
  if (names.empty()) return std::nullopt;
  for (int root = 0; root < 4; ++root) {
    if (EqualsNoCase(names.front(), kRootNames[root].abbreviation) ||
        EqualsNoCase(names.front(), kRootNames[root].longName)) {
      RegPath result;
      result.root = root;
      result.names.assign(names.begin() + 1, names.end());
      return result;
    }
  }
  return std::nullopt;
}

std::string RootAbbreviation(int root) {
  return root >= 0 && root < 4 ? kRootNames[root].abbreviation : "?";
}

std::string FormatRegistryPath(const RegPath& path) {
  std::string text = RootAbbreviation(path.root);
  for (const std::string& name : path.names) text += "\\" + name;
  return text;
}

int RootOfHandle(HKey key) {
  if (key >= kHkeyClassesRoot && key <= kHkeyUsers) return static_cast<int>(key - kHkeyClassesRoot);
  return -1;
}

std::string RegistryTypeName(std::uint32_t type) {
  switch (type) {
    case 0:
      return "REG_NONE";
    case 1:
      return "REG_SZ";
    case 2:
      return "REG_EXPAND_SZ";
    case 3:
      return "REG_BINARY";
    case 4:
      return "REG_DWORD";
    case 5:
      return "REG_DWORD_BIG_ENDIAN";
    case 6:
      return "REG_LINK";
    case 7:
      return "REG_MULTI_SZ";
    case 8:
      return "REG_RESOURCE_LIST";
    case 9:
      return "REG_FULL_RESOURCE_DESCRIPTOR";
    case 10:
      return "REG_RESOURCE_REQUIREMENTS_LIST";
    case 11:
      return "REG_QWORD";
    default:
      return std::to_string(type);
  }
}

std::string DescribeRegistryData(std::uint32_t type, const std::vector<std::uint8_t>& data) {
  if (type == kRegSz || type == kRegExpandSz) {
    std::string text(data.begin(), data.end());
    if (!text.empty() && text.back() == '\0') text.pop_back();
    return "\"" + text + "\"";
  }
  if (type == kRegDword && data.size() == 4) {
    const std::uint32_t value =
        static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8 |
        static_cast<std::uint32_t>(data[2]) << 16 | static_cast<std::uint32_t>(data[3]) << 24;
    return std::to_string(value);
  }
  return "[" + HexBytes(data) + "]";
}

std::vector<std::uint8_t> StringData(std::string_view text) {
  std::vector<std::uint8_t> data(text.begin(), text.end());
  data.push_back(0);
  return data;
}

std::vector<std::uint8_t> DwordData(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

std::vector<std::uint8_t> MultiStringData(const std::vector<std::string>& strings) {
  std::vector<std::uint8_t> data;
  for (const std::string& text : strings) {
    data.insert(data.end(), text.begin(), text.end());
    data.push_back(0);
  }
  data.push_back(0);
  return data;
}

void PutValue(RegKey& key, std::string_view name, std::uint32_t type,
              std::vector<std::uint8_t> data) {
  if (RegValue* existing = key.FindValue(name)) {
    existing->type = type;
    existing->data = std::move(data);
    return;
  }
  key.values.push_back(RegValue{std::string(name), type, std::move(data)});
}

Registry::Registry() {
  for (int root = 0; root < 4; ++root) {
    roots_[static_cast<std::size_t>(root)].name = kRootNames[root].abbreviation;
    roots_[static_cast<std::size_t>(root)].serial = static_cast<std::uint64_t>(root);
  }
}

RegKey* Registry::Find(const RegPath& path) {
  if (path.root < 0 || path.root > 3) return nullptr;
  RegKey* key = &Root(path.root);
  for (const std::string& name : path.names) {
    key = key->FindSubKey(name);
    if (key == nullptr) return nullptr;
  }
  return key;
}

const RegKey* Registry::Find(const RegPath& path) const {
  return const_cast<Registry*>(this)->Find(path);
}

RegKey& Registry::Create(const RegPath& path) {
  RegKey* key = &Root(path.root);
  for (const std::string& name : path.names) {
    RegKey* next = key->FindSubKey(name);
    if (next == nullptr) {
      auto place = std::lower_bound(key->subKeys.begin(), key->subKeys.end(), name,
                                    [](const RegKey& existing, const std::string& wanted) {
                                      return LessNoCase(existing.name, wanted);
                                    });
      RegKey fresh;
      fresh.name = name;
      fresh.serial = nextSerial_++;
      next = &*key->subKeys.insert(place, std::move(fresh));
    }
    key = next;
  }
  return *key;
}

bool Registry::Remove(const RegPath& path) {
  if (path.names.empty()) return false;
  RegPath parentPath = path;
  parentPath.names.pop_back();
  RegKey* parent = Find(parentPath);
  if (parent == nullptr) return false;
  auto found = std::find_if(parent->subKeys.begin(), parent->subKeys.end(), [&](const RegKey& key) {
    return EqualsNoCase(key.name, path.names.back());
  });
  if (found == parent->subKeys.end()) return false;
  parent->subKeys.erase(found);
  return true;
}

RegKey* Registry::FindKey(std::string_view path) { return Find(ParseOrThrow(path)); }

const RegKey* Registry::FindKey(std::string_view path) const { return Find(ParseOrThrow(path)); }

RegKey& Registry::CreateKey(std::string_view path) { return Create(ParseOrThrow(path)); }

bool Registry::RemoveKey(std::string_view path) { return Remove(ParseOrThrow(path)); }

void Registry::SetValue(std::string_view keyPath, std::string_view name, std::uint32_t type,
                        std::vector<std::uint8_t> data) {
  PutValue(CreateKey(keyPath), name, type, std::move(data));
}

void Registry::SetString(std::string_view keyPath, std::string_view name, std::string_view text) {
  SetValue(keyPath, name, kRegSz, StringData(text));
}

void Registry::SetExpandString(std::string_view keyPath, std::string_view name,
                               std::string_view text) {
  SetValue(keyPath, name, kRegExpandSz, StringData(text));
}

void Registry::SetDword(std::string_view keyPath, std::string_view name, std::uint32_t value) {
  SetValue(keyPath, name, kRegDword, DwordData(value));
}

bool Registry::RemoveValue(std::string_view keyPath, std::string_view name) {
  RegKey* key = FindKey(keyPath);
  if (key == nullptr) return false;
  auto found = std::find_if(key->values.begin(), key->values.end(),
                            [&](const RegValue& value) { return EqualsNoCase(value.name, name); });
  if (found == key->values.end()) return false;
  key->values.erase(found);
  return true;
}

const RegValue* Registry::FindValue(std::string_view keyPath, std::string_view name) const {
  const RegKey* key = FindKey(keyPath);
  return key == nullptr ? nullptr : key->FindValue(name);
}

}  // namespace platform::sim
