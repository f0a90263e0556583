// The registry calls of SimPlatform. Like advapi32, they return their error
// code and leave GetLastError alone.
#include <algorithm>

#include "platform/sim/SimPlatform.h"
#include "platform/sim/SimText.h"

namespace platform::sim {

namespace {

constexpr std::uint32_t kKeySetValue = 0x0002;
constexpr std::uint32_t kKeyCreateSubKey = 0x0004;
constexpr std::uint32_t kKeyEnumerateSubKeys = 0x0008;
constexpr std::uint32_t kDeleteAccess = 0x00010000;
constexpr std::uint32_t kKeyWrite = 0x20006;
constexpr std::uint32_t kGenericAll = 0x10000000;
constexpr std::uint32_t kMaximumAllowed = 0x02000000;
constexpr const char* kInvalidHandleTarget = "(invalid handle)";

// The specific key rights a requested access mask grants.
std::uint32_t GrantedKeyAccess(std::uint32_t access) {
  std::uint32_t granted = access & kKeyAllAccess;
  if (access & kGenericRead) granted |= kKeyRead;
  if (access & kGenericWrite) granted |= kKeyWrite;
  if (access & (kGenericAll | kMaximumAllowed)) granted |= kKeyAllAccess;
  return granted;
}

std::vector<std::string> SplitKeyNames(const std::string& text) {
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

RegPath Below(const RegPath& base, const std::string& subKey) {
  RegPath path = base;
  for (std::string& name : SplitKeyNames(subKey)) path.names.push_back(std::move(name));
  return path;
}

// The 32-bit view unless the call asks for the 64-bit one: a 32-bit
// program's default, and what KEY_WOW64_32KEY asks for.
bool WantsWow64View(const Machine& machine, std::uint32_t access) {
  if ((access & kKeyWow64_32Key) != 0) return true;
  return (access & kKeyWow64_64Key) == 0 && machine.Wow64();
}

std::string ValueTarget(const RegPath& key, const std::string& valueName) {
  return FormatRegistryPath(key) + "\\" + valueName;
}

}  // namespace

RegPath SimPlatform::InView(const RegPath& path, const RegPath& base, bool wow64View) const {
  // An empty sub-key names the key of the handle itself, in its own view.
  return path.names.size() > base.names.size() ? machine_.RegistryView(path, wow64View) : path;
}

RegPath SimPlatform::StoredPath(const RegPath& path) const {
  RegPath stored = path;
  const RegKey* key = &machine_.registry.Root(path.root);
  for (std::string& name : stored.names) {
    key = key == nullptr ? nullptr : key->FindSubKey(name);
    if (key != nullptr) name = key->name;
  }
  return stored;
}

long SimPlatform::ResolveKey(HKey key, std::uint32_t neededAccess, RegPath* path, RegKey** node) {
  const int root = RootOfHandle(key);
  if (root >= 0) {
    *path = RegPath{root, {}};
    *node = &machine_.registry.Root(root);
    return error::kSuccess;
  }
  HandleEntry* entry = FindHandle(key, Kind::kKey);
  if (entry == nullptr) return error::kInvalidHandle;
  *path = entry->key;
  *node = machine_.registry.Find(entry->key);
  if (*node == nullptr || (*node)->serial != entry->serial) {
    return static_cast<long>(simerror::kKeyDeleted);
  }
  if ((entry->access & neededAccess) != neededAccess) return error::kAccessDenied;
  return error::kSuccess;
}

long SimPlatform::OpenKey(const char* call, HKey root, const std::string& subKey,
                          std::uint32_t access, HKey* result) {
  RegPath base;
  RegKey* baseNode = nullptr;
  const long resolved = ResolveKey(root, 0, &base, &baseNode);
  if (resolved != error::kSuccess) return resolved;
  const RegPath path =
      StoredPath(InView(Below(base, subKey), base, WantsWow64View(machine_, access)));
  if (auto fault = TakeFault(call, {FormatRegistryPath(path)})) return static_cast<long>(*fault);
  const RegKey* node = machine_.registry.Find(path);
  if (node == nullptr) return error::kFileNotFound;
  HandleEntry entry;
  entry.kind = Kind::kKey;
  entry.access = GrantedKeyAccess(access);
  entry.key = path;
  entry.serial = node->serial;
  *result = AddHandle(std::move(entry));
  return error::kSuccess;
}

long SimPlatform::RegOpenKeyA(HKey root, const std::string& subKey, HKey* result) {
  // With no sub-key, RegOpenKeyA hands back the very handle it was given.
  if (SplitKeyNames(subKey).empty()) {
    RegPath path;
    RegKey* node = nullptr;
    const long resolved = ResolveKey(root, 0, &path, &node);
    if (resolved == error::kSuccess) *result = root;
    return resolved;
  }
  return OpenKey("RegOpenKeyA", root, subKey, kMaximumAllowed, result);
}

long SimPlatform::RegOpenKeyExA(HKey root, const std::string& subKey, std::uint32_t access,
                                HKey* result) {
  return OpenKey("RegOpenKeyExA", root, subKey, access, result);
}

long SimPlatform::RegCreateKeyA(HKey root, const std::string& subKey, HKey* result) {
  RegPath base;
  RegKey* baseNode = nullptr;
  const long resolved = ResolveKey(root, 0, &base, &baseNode);
  if (resolved != error::kSuccess) {
    Record("RegCreateKeyA", kInvalidHandleTarget, subKey, resolved);
    return resolved;
  }
  const RegPath path = StoredPath(InView(Below(base, subKey), base, WantsWow64View(machine_, 0)));
  const std::string target = FormatRegistryPath(path);
  if (auto fault = TakeFault("RegCreateKeyA", {target})) {
    Record("RegCreateKeyA", target, "create key", static_cast<long>(*fault));
    return static_cast<long>(*fault);
  }
  if (path.names.size() == base.names.size()) {
    // An empty sub-key: the same handle comes back, as RegCreateKeyA does.
    *result = root;
    Record("RegCreateKeyA", target, "existing key", error::kSuccess);
    return error::kSuccess;
  }
  const RegKey* existing = machine_.registry.Find(path);
  if (existing == nullptr && RootOfHandle(root) < 0) {
    const HandleEntry* parent = FindHandle(root, Kind::kKey);
    if ((parent->access & kKeyCreateSubKey) == 0) {
      Record("RegCreateKeyA", target, "create key", error::kAccessDenied);
      return error::kAccessDenied;
    }
  }
  const RegKey& node = machine_.registry.Create(path);
  HandleEntry entry;
  entry.kind = Kind::kKey;
  entry.access = kKeyAllAccess;
  entry.key = path;
  entry.serial = node.serial;
  *result = AddHandle(std::move(entry));
  Record("RegCreateKeyA", target, existing == nullptr ? "created key" : "existing key",
         error::kSuccess);
  return error::kSuccess;
}

long SimPlatform::RegEnumKeyExA(HKey key, std::uint32_t index, std::uint32_t nameCapacity,
                                std::string* name) {
  RegPath path;
  RegKey* node = nullptr;
  const long resolved = ResolveKey(key, kKeyEnumerateSubKeys, &path, &node);
  if (resolved != error::kSuccess) return resolved;
  if (auto fault = TakeFault("RegEnumKeyExA", {FormatRegistryPath(path)})) {
    return static_cast<long>(*fault);
  }
  if (index >= node->subKeys.size()) return error::kNoMoreItems;
  const std::string& found = node->subKeys[index].name;
  if (found.size() + 1 > nameCapacity) return error::kMoreData;
  *name = found;
  return error::kSuccess;
}

long SimPlatform::RegEnumValueA(HKey key, std::uint32_t index, std::uint32_t nameCapacity,
                                std::uint32_t dataCapacity, std::string* name, std::uint32_t* type,
                                std::vector<std::uint8_t>* data, std::uint32_t* dataLength) {
  RegPath path;
  RegKey* node = nullptr;
  const long resolved = ResolveKey(key, kKeyQueryValue, &path, &node);
  if (resolved != error::kSuccess) return resolved;
  if (auto fault = TakeFault("RegEnumValueA", {FormatRegistryPath(path)})) {
    return static_cast<long>(*fault);
  }
  if (index >= node->values.size()) return error::kNoMoreItems;
  const RegValue& value = node->values[index];
  const bool nameFits = value.name.size() + 1 <= nameCapacity;
  const bool dataFits = data == nullptr || value.data.size() <= dataCapacity;
  if (type != nullptr) *type = value.type;
  if (dataLength != nullptr) *dataLength = static_cast<std::uint32_t>(value.data.size());
  if (!nameFits || !dataFits) {
    name->clear();
    if (data != nullptr) data->clear();
    return error::kMoreData;
  }
  *name = value.name;
  if (data != nullptr) *data = value.data;
  return error::kSuccess;
}

long SimPlatform::RegQueryValueExA(HKey key, const std::string& valueName, std::uint32_t* type,
                                   std::vector<std::uint8_t>* data) {
  RegPath path;
  RegKey* node = nullptr;
  const long resolved = ResolveKey(key, kKeyQueryValue, &path, &node);
  if (resolved != error::kSuccess) return resolved;
  if (auto fault =
          TakeFault("RegQueryValueExA", {FormatRegistryPath(path), ValueTarget(path, valueName)})) {
    return static_cast<long>(*fault);
  }
  const RegValue* value = node->FindValue(valueName);
  if (value == nullptr) return error::kFileNotFound;
  if (type != nullptr) *type = value->type;
  if (data != nullptr) *data = value->data;
  return error::kSuccess;
}

long SimPlatform::RegSetValueExA(HKey key, const std::string& valueName, std::uint32_t type,
                                 const std::vector<std::uint8_t>& data) {
  const bool isString = type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
  // The record shows what the caller passed: a text given without its NUL says so.
  const std::string detail =
      RegistryTypeName(type) + " " + DescribeRegistryData(type, data) +
      (isString && !data.empty() && data.back() != 0 ? " without its NUL" : "");
  RegPath path;
  RegKey* node = nullptr;
  const long resolved = ResolveKey(key, kKeySetValue, &path, &node);
  if (resolved != error::kSuccess) {
    const bool known = resolved != error::kInvalidHandle;
    Record("RegSetValueExA", known ? ValueTarget(path, valueName) : kInvalidHandleTarget, detail,
           resolved);
    return resolved;
  }
  const std::string target = ValueTarget(path, valueName);
  if (auto fault = TakeFault("RegSetValueExA", {FormatRegistryPath(path), target})) {
    Record("RegSetValueExA", target, detail, static_cast<long>(*fault));
    return static_cast<long>(*fault);
  }
  // A string given without its NUL is stored with it: NT counts the NUL that
  // follows the text in the caller's memory, and the programs' texts have one.
  std::vector<std::uint8_t> stored = data;
  if (isString && !stored.empty() && stored.back() != 0) stored.push_back(0);
  PutValue(*node, valueName, type, std::move(stored));
  Record("RegSetValueExA", target, detail, error::kSuccess);
  return error::kSuccess;
}

long SimPlatform::RegDeleteValueA(HKey key, const std::string& valueName) {
  RegPath path;
  RegKey* node = nullptr;
  const long resolved = ResolveKey(key, kKeySetValue, &path, &node);
  if (resolved != error::kSuccess) {
    const bool known = resolved != error::kInvalidHandle;
    Record("RegDeleteValueA", known ? ValueTarget(path, valueName) : kInvalidHandleTarget,
           "delete value", resolved);
    return resolved;
  }
  const std::string target = ValueTarget(path, valueName);
  if (auto fault = TakeFault("RegDeleteValueA", {FormatRegistryPath(path), target})) {
    Record("RegDeleteValueA", target, "delete value", static_cast<long>(*fault));
    return static_cast<long>(*fault);
  }
  auto found = std::find_if(node->values.begin(), node->values.end(), [&](const RegValue& value) {
    return EqualsNoCase(value.name, valueName);
  });
  if (found == node->values.end()) {
    Record("RegDeleteValueA", target, "delete value", error::kFileNotFound, true);
    return error::kFileNotFound;
  }
  node->values.erase(found);
  Record("RegDeleteValueA", target, "delete value", error::kSuccess);
  return error::kSuccess;
}

long SimPlatform::RegDeleteKeyA(HKey key, const std::string& subKey) {
  const bool deletesItself = SplitKeyNames(subKey).empty();
  RegPath base;
  RegKey* baseNode = nullptr;
  const long resolved = ResolveKey(key, deletesItself ? kDeleteAccess : 0, &base, &baseNode);
  if (resolved != error::kSuccess) {
    const bool known = resolved != error::kInvalidHandle;
    Record("RegDeleteKeyA", known ? FormatRegistryPath(Below(base, subKey)) : kInvalidHandleTarget,
           "delete key", resolved);
    return resolved;
  }
  const RegPath path = StoredPath(Below(base, subKey));
  const std::string target = FormatRegistryPath(path);
  if (auto fault = TakeFault("RegDeleteKeyA", {target})) {
    Record("RegDeleteKeyA", target, "delete key", static_cast<long>(*fault));
    return static_cast<long>(*fault);
  }
  long result = error::kSuccess;
  const RegKey* node = machine_.registry.Find(path);
  if (path.names.empty()) {
    result = error::kAccessDenied;  // a root cannot be deleted
  } else if (node == nullptr) {
    result = error::kFileNotFound;
  } else if (!node->subKeys.empty()) {
    // The NT family deletes only keys without sub-keys.
    result = error::kAccessDenied;
  } else {
    machine_.registry.Remove(path);
  }
  Record("RegDeleteKeyA", target, "delete key", result, node == nullptr && !path.names.empty());
  return result;
}

long SimPlatform::RegCloseKey(HKey key) {
  if (RootOfHandle(key) >= 0) return error::kSuccess;
  if (FindHandle(key, Kind::kKey) == nullptr) return error::kInvalidHandle;
  handles_.erase(key);
  return error::kSuccess;
}

}  // namespace platform::sim
