// The ANSI code pages a simulated machine can have: Windows-1252 (Western),
// Windows-1251 (Cyrillic) and Windows-936 (Simplified Chinese, double-byte).
// Tables come from tools/gen_sim_code_pages.py at build time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform::sim {

bool IsSupportedCodePage(std::uint32_t codePage);

// MultiByteToWideChar without flags: a lead byte without its trail byte, or a
// pair the code page leaves undefined, becomes "?".
std::u16string DecodeAnsi(std::uint32_t codePage, std::string_view text);

// CharLowerBuffA: every character that has a lower-case form in the same code
// page gets it; the trail byte of a double-byte character is never read as a
// character of its own.
std::string LowerAnsiText(std::uint32_t codePage, std::string_view text);

// The bytes of one UTF-16 unit in the code page (one or two); false when the
// code page has no character for it.
bool EncodeAnsiUnit(std::uint32_t codePage, char16_t unit, std::string* bytes);

namespace codepages {
constexpr unsigned kFirstLead = 0x81;
constexpr unsigned kLastLead = 0xFE;
constexpr unsigned kFirstTrail = 0x40;
constexpr unsigned kLastTrail = 0xFE;
constexpr unsigned kTrailsPerLead = kLastTrail - kFirstTrail + 1;
extern const char16_t kCp1252Units[256];
extern const unsigned char kCp1252Lower[256];
extern const char16_t kCp1251Units[256];
extern const unsigned char kCp1251Lower[256];
extern const char16_t kCp936Pairs[(kLastLead - kFirstLead + 1) * kTrailsPerLead];
}  // namespace codepages

}  // namespace platform::sim
