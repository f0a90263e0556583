// Registry backups in the registry editor's own import format (REGEDIT4,
// ANSI text, CR LF lines), so that "regedit /s file" puts back exactly what
// was saved.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/RegFileText.h"

namespace quellix {

// "HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER", ... for a predefined root.
std::string RootKeyName(platform::HKey root);

// The value line and the one-value file of the editor's format.
using platform::RegFileForValue;
using platform::RegValueLine;

// The whole file for the key root\subKey with its values and every sub-key
// below it. False, with *text unchanged, when any key or value of the tree
// cannot be read: a partial export would pass for a backup.
bool RegFileForKeyTree(platform::Platform& platform, platform::HKey root, const std::string& subKey,
                       std::string* text);

// The value at index of the open key with all of its data, as RegEnumValueA
// reports it (kNoMoreItems after the last).
long EnumValueWhole(platform::Platform& platform, platform::HKey key, std::uint32_t index,
                    std::string* name, std::uint32_t* type, std::vector<std::uint8_t>* data);

// Finds the value named valueName (without regard to case) in the open key:
// its name as stored, its type and all of its data. kFileNotFound when the
// key has no such value, or the error that kept it from being read.
long ReadRegistryValue(platform::Platform& platform, platform::HKey key,
                       const std::string& valueName, std::string* storedName, std::uint32_t* type,
                       std::vector<std::uint8_t>* data);

// Writes text (ANSI) as the file path, replacing it when replaceExisting.
bool WriteRegFile(platform::Platform& platform, const std::string& path, const std::string& text,
                  bool replaceExisting);

}  // namespace quellix
