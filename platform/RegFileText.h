// Registry values in the registry editor's own import format (REGEDIT4,
// ANSI text, CR LF lines), so that "regedit /s file" puts back exactly what
// was saved. Both programs keep their removed values this way.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// The first line of every file and the empty line after it.
constexpr const char* kRegFileHeader = "REGEDIT4\r\n\r\n";

// One value line: "name"=... (or @=... for the default value), with strings
// quoted when they can be and every other type in the hex forms the editor
// writes, long lines continued with "\".
std::string RegValueLine(const std::string& name, std::uint32_t type,
                         const std::vector<std::uint8_t>& data);

// The whole file for one value of the key keyPath (a full path such as
// HKEY_CURRENT_USER\Software\...\Run).
std::string RegFileForValue(const std::string& keyPath, const std::string& name, std::uint32_t type,
                            const std::vector<std::uint8_t>& data);

}  // namespace platform
