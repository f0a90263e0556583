// Registry reads and listings as the fixer uses them. Values are named either
// by a hive path ("HKCU\Software\...\Windows\load") or by hive, key and
// value name; every failure is kept silent.
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
// Splits a hive path into its hive, key and value name; false when it names
// no hive or no key.
bool SplitValuePath(const std::string& path, platform::HKey* hive, std::string* subKey,
                    std::string* valueName);

// Lists the values of a key into two parallel arrays and returns the index of
// the last entry filled: -1 when the key holds no values or cannot be opened.
// A value whose data reads as empty text is reported with its name as data;
// a value that cannot be read even with buffers of its own size is left out,
// and the listing goes on with the next.
int EnumRegistryValues(platform::Platform& system, platform::HKey hive, const std::string& subKey,
                       std::vector<std::string>* names, std::vector<std::string>* values);

}  // namespace gorsel
