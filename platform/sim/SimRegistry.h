// The simulated registry: four root trees of keys with typed values. Names
// compare without case and keep the case they were created with. Sub-keys
// are kept sorted without regard to case, because that is the order in which
// Windows (and Wine) enumerate them; values keep the order in which they were
// first set, as Windows enumerates them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

namespace platform::sim {

struct RegValue {
  std::string name;  // "" is the key's default value
  std::uint32_t type = kRegNone;
  std::vector<std::uint8_t> data;  // raw bytes; a REG_SZ normally ends with its NUL
};

struct RegKey {
  std::string name;
  std::vector<RegValue> values;
  std::vector<RegKey> subKeys;
  // Tells a key apart from a later key of the same name, so that a handle to
  // a deleted key does not reach its successor.
  std::uint64_t serial = 0;

  RegKey* FindSubKey(std::string_view subName);
  const RegKey* FindSubKey(std::string_view subName) const;
  RegValue* FindValue(std::string_view valueName);
  const RegValue* FindValue(std::string_view valueName) const;
};

// The roots, indexed as the predefined handles 0x80000000 + index.
enum RegRoot : int { kClassesRoot = 0, kCurrentUser = 1, kLocalMachine = 2, kUsers = 3 };

struct RegPath {
  int root = kLocalMachine;
  std::vector<std::string> names;  // key names below the root, in order
};

// "HKLM", "HKCU", "HKCR", "HKU" (or the long HKEY_... names) followed by
// "\"-separated key names; empty names are skipped. nullopt for an unknown root.
std::optional<RegPath> ParseRegistryPath(std::string_view path);
std::string FormatRegistryPath(const RegPath& path);
std::string RootAbbreviation(int root);
// The root index of a predefined handle (kHkeyLocalMachine ...), or -1.
int RootOfHandle(HKey key);

// "REG_SZ", "REG_DWORD", ... for the usual types, the number otherwise.
std::string RegistryTypeName(std::uint32_t type);
// A short readable form of a value's data for records: text in quotes for the
// string types (without the terminating NUL), decimal for REG_DWORD, hex bytes
// otherwise.
std::string DescribeRegistryData(std::uint32_t type, const std::vector<std::uint8_t>& data);

// Data as RegSetValueExA stores a string: the ANSI bytes and a NUL.
std::vector<std::uint8_t> StringData(std::string_view text);
std::vector<std::uint8_t> DwordData(std::uint32_t value);
// REG_MULTI_SZ data: each string with its NUL, then one more NUL.
std::vector<std::uint8_t> MultiStringData(const std::vector<std::string>& strings);

class Registry {
 public:
  Registry();

  RegKey& Root(int root) { return roots_.at(static_cast<std::size_t>(root)); }
  const RegKey& Root(int root) const { return roots_.at(static_cast<std::size_t>(root)); }

  RegKey* Find(const RegPath& path);
  const RegKey* Find(const RegPath& path) const;
  // Creates the key and every missing key above it; returns the key.
  RegKey& Create(const RegPath& path);
  // Removes the key with everything below it; false when it does not exist
  // or is a root.
  bool Remove(const RegPath& path);

  // Test and scenario helpers taking a text path such as
  // "HKLM\Software\Microsoft\Windows\CurrentVersion\Run". They throw
  // std::invalid_argument for an unknown root.
  RegKey* FindKey(std::string_view path);
  const RegKey* FindKey(std::string_view path) const;
  RegKey& CreateKey(std::string_view path);
  bool RemoveKey(std::string_view path);
  // Sets (adds or replaces in place) a value, creating the key when missing.
  void SetValue(std::string_view keyPath, std::string_view name, std::uint32_t type,
                std::vector<std::uint8_t> data);
  void SetString(std::string_view keyPath, std::string_view name, std::string_view text);
  void SetExpandString(std::string_view keyPath, std::string_view name, std::string_view text);
  void SetDword(std::string_view keyPath, std::string_view name, std::uint32_t value);
  bool RemoveValue(std::string_view keyPath, std::string_view name);
  const RegValue* FindValue(std::string_view keyPath, std::string_view name) const;

 private:
  std::array<RegKey, 4> roots_;
  std::uint64_t nextSerial_ = 4;
};

// Adds a value at the end, or replaces an existing one in place.
void PutValue(RegKey& key, std::string_view name, std::uint32_t type,
              std::vector<std::uint8_t> data);

}  // namespace platform::sim
