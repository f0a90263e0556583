// Text rules of the simulated machine. Registry names, file names and most
// system names compare without case the way Windows does for ANSI text in the
// Windows-1252 code page: both sides are upper-cased, then compared as bytes.
// A machine of another code page (SimCodePages.h) compares its names by the
// same Western rules: only its ASCII letters fold as they would on Windows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform::sim {

// The upper-case form of one Windows-1252 character (a-z, the accented
// letters, and the few upper/lower pairs in 0x8A-0x9F).
char UpperCase1252(char c);
std::string UpperCase1252(std::string_view text);

bool EqualsNoCase(std::string_view a, std::string_view b);
// Orders as Windows sorts names without case: by the upper-cased bytes.
bool LessNoCase(std::string_view a, std::string_view b);

// A pattern with '*' (any run of characters) and '?' (exactly one), without
// regard to case. Used for fault targets and command rules of the sim.
bool MatchesPattern(std::string_view pattern, std::string_view text);

// FindFirstFileA's matching of a file name against the name part of its
// pattern: "*" and "*.*" match every name, "*." only names without a dot,
// '?' also matches nothing at the end of the name or before a dot.
bool MatchesFileName(std::string_view pattern, std::string_view name);

// The 8.3 short name Windows XP gives a long file name ("autorun.info" ->
// "AUTORU~1.INF", "joy start.exe" -> "JOYSTA~1.EXE"), numbered ~1 as the
// first of its kind; "" when the name is a valid short name already.
// FindFirstFileA matches a pattern against both names.
std::string ShortName(std::string_view name);

// Two upper-case hexadecimal digits per byte, separated by blanks.
std::string HexBytes(const std::vector<std::uint8_t>& bytes);

std::vector<std::uint8_t> ToBytes(std::string_view text);

}  // namespace platform::sim
