// Conversions between the text forms the program meets: ANSI bytes in the
// system code page (Windows-1252, as in the data files and the simulated
// machine), the UTF-16 of the wide window texts, and UTF-8 for a console.
#pragma once

#if defined(_WINDOWS_) || defined(_INC_WINDOWS)
#error "quellix/lang is portable: include its headers before <windows.h>"
#endif

#include <string>

namespace quellix::lang {

// Windows-1252 bytes to UTF-16, as MultiByteToWideChar(1252) converts them:
// the five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// become the code units of the same value.
std::u16string AnsiToUtf16(const std::string& ansi);

// UTF-16 to UTF-8. A surrogate without its partner becomes U+FFFD; every other
// code unit, the U+FFFE line prefix included, is kept.
std::string Utf16ToUtf8(const std::u16string& text);

}  // namespace quellix::lang
