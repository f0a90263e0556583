// Reading the engine's output the way a test compares it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quellix::test {

// The non-empty lines of a details text, without the U+FFFE marks, as ASCII.
std::vector<std::string> NonEmptyDetailLines(const std::u16string& details);

// The digest text (32 upper-case hex digits) of bytes, by the simulated
// machine's own MD5, which the RFC 1321 vectors pin down.
std::string ReferenceMd5Text(const std::vector<std::uint8_t>& bytes);

}  // namespace quellix::test
