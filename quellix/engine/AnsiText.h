// Text helpers for the ANSI (Windows-1252) strings the engine works on, with
// the semantics of the classic string functions the routines are written in.
#pragma once

#include <string>
#include <vector>

namespace quellix {

// Lower case as the system does it for Windows-1252 text (ASCII letters, the
// accented capitals and the few capitals in 0x80-0x9F).
std::string LowerAnsi(const std::string& text);

// Blanks (only U+0020) removed from both ends.
std::string TrimBlanks(const std::string& text);

// Every field between delimiters; an empty text gives one empty field.
std::vector<std::string> SplitText(const std::string& text, const std::string& delimiter);

// Position of needle in text without regard to case, or npos.
std::size_t FindNoCase(const std::string& text, const std::string& needle);
bool ContainsNoCase(const std::string& text, const std::string& needle);

// Every occurrence of from replaced by to, left to right; the inserted text is
// not searched again.
std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to);

}  // namespace quellix
