// Reading the engine's output the way a test compares it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quellix::test {

// The non-empty lines of a details text, without the U+FFFE marks, as ASCII.
std::vector<std::string> NonEmptyDetailLines(const std::u16string& details);

// The digest text (32 upper-case hex digits) of bytes, by the simulated
// machine's own MD5, which the RFC 1321 vectors pin down.
std::string ReferenceMd5Text(const std::vector<std::uint8_t>& bytes);

// Little-endian UTF-16 bytes as code units; an odd last byte is left out.
std::u16string DecodeUtf16Le(const std::uint8_t* bytes, std::size_t size);

// The pieces between the separators, empty ones included: an independent cut
// for checking the language module's own.
std::vector<std::u16string> Split(const std::u16string& text, const std::u16string& separator);

}  // namespace quellix::test
