// Registry reads, deletions and listings as the fixer uses them. Values are
// named either by a hive path ("HKCU\Software\...\Windows\load") or by hive,
// key and value name; every failure is kept silent.
#pragma once

#include <string>
#include <vector>

#include "platform/Platform.h"

namespace gorsel {

// The text before the first NUL, or the whole text when it has none.
std::string TrimAtNull(const std::string& text);

// The data of the value named by a hive path, as text cut at its first NUL;
// empty when the value or its key is missing or the path names no hive.
std::string RegReadValue(platform::Platform& system, const std::string& path);
void RegDeleteValue(platform::Platform& system, const std::string& path);
// The same deletion for a value whose name may itself contain backslashes.
void RegDeleteValueIn(platform::Platform& system, platform::HKey hive, const std::string& subKey,
                      const std::string& valueName);

// Lists the values of a key into two parallel arrays and returns the index of
// the last entry filled: -1 when the key holds no values or cannot be opened.
// A value whose data reads as empty text is reported with its name as data.
int EnumRegistryValues(platform::Platform& system, platform::HKey hive, const std::string& subKey,
                       std::vector<std::string>* names, std::vector<std::string>* values);

}  // namespace gorsel
