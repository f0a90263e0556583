// Reading back what a run leaves behind: the run log's bytes, its lines, and
// registry texts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace quellix::test {

std::vector<std::uint8_t> ReadWholeFile(platform::Platform& platform, const std::string& path);

// FF FE, the header line, an empty line, the body and, when asked for, the
// registry-error line: the run log as the run must write it.
std::vector<std::uint8_t> ExpectedRunLogBytes(const std::string& databaseVersion,
                                              const std::u16string& body, bool withErrorLine);

// The text after the last CR LF, and the text before it.
std::u16string LastLine(const std::u16string& text);
std::u16string WithoutLastLine(const std::u16string& text);

// A REG_SZ value as text without its terminating NUL; "<missing>" when absent.
std::string ReadRegistryText(platform::Platform& platform, platform::HKey root,
                             const std::string& key, const std::string& value);

}  // namespace quellix::test
