// Text helpers for the ANSI strings the engine works on (bytes in the
// system's code page), with the semantics of the classic string functions the
// routines are written in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace quellix {

// Lower case as the system does it for text of its ANSI code page (whole
// characters; the trail bytes of double-byte characters stay as they are).
// Without a SystemAnsiCase alive: Windows-1252's rules (ASCII letters, the
// accented capitals and the few capitals in 0x80-0x9F).
std::string LowerAnsi(const std::string& text);

// While it lives, LowerAnsi lower-cases as the platform's system does. The
// ANSI code page belongs to the system and so holds for the whole process;
// the session that works on a platform keeps one of these.
class SystemAnsiCase {
 public:
  explicit SystemAnsiCase(platform::Platform& platform);
  ~SystemAnsiCase();  // the rules it replaced hold again
  SystemAnsiCase(const SystemAnsiCase&) = delete;
  SystemAnsiCase& operator=(const SystemAnsiCase&) = delete;

 private:
  platform::Platform* replaced_;
};

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

// Splitting helpers: the field at a 0-based index ("" past the last) and the
// number of fields (0 for an empty text).
std::string GetField(const std::string& text, const std::string& delimiter, int index);
std::int16_t CountFields(const std::string& text, const std::string& delimiter);

}  // namespace quellix
