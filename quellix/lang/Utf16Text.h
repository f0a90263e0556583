// The few operations on UTF-16 text that the table format needs.
#pragma once

#if defined(_WINDOWS_) || defined(_INC_WINDOWS)
#error "quellix/lang is portable: include its headers before <windows.h>"
#endif

#include <cstdint>
#include <string>
#include <vector>

namespace quellix::lang {

// The code units of little-endian bytes, taken as they are. An odd trailing
// byte is not part of any unit; callers reject such data before converting.
std::u16string Utf16FromLittleEndian(const std::vector<std::uint8_t>& bytes);

// The pieces between the occurrences of separator, left to right; n
// occurrences give n + 1 pieces, empty ones included. An empty separator
// leaves the text whole.
std::vector<std::u16string> CutAt(const std::u16string& text, const std::u16string& separator);

// Every occurrence of marker replaced, left to right; the inserted text is not
// searched again. An empty marker changes nothing.
std::u16string ReplaceAll(const std::u16string& text, const std::u16string& marker,
                          const std::u16string& replacement);

}  // namespace quellix::lang
