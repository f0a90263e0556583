// Text conversions for the console output and the error messages, which are
// UTF-8 whatever the language of the windows read.
#pragma once

#include <string>
#include <vector>

namespace uidriver {

std::string Utf8(const std::wstring& text);

// Lines separated by CR LF, a lone LF or a lone CR; no final empty line.
std::vector<std::wstring> SplitLines(const std::wstring& text);

// For error messages: a window text in double quotes, its line breaks shown as " / ".
std::string Quoted(const std::wstring& text);

// A time limit for messages: "30 s", "0.5 s".
std::string Seconds(double seconds);

// The system error text for a failed call, with its number.
std::string SystemError(const char* call, unsigned long error);

}  // namespace uidriver
