// Conversions between what a scenario file holds (UTF-8 JSON text, names for
// types and attributes) and what the machine holds (Windows-1252 bytes,
// numbers). Shared by the reader and the writer so that they agree.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::sim::scenario {

// Windows-1252 bytes to UTF-8. The five bytes the code page leaves undefined
// become U+0081, U+008D, U+008F, U+0090, U+009D, as MultiByteToWideChar does.
std::string Utf8FromAnsi(std::string_view ansi);
// UTF-8 (already validated) to Windows-1252; nullopt and the first code point
// that has no byte in the code page when the text cannot be stored.
std::optional<std::string> AnsiFromUtf8(std::string_view utf8, std::uint32_t* badCodePoint);

// The same for a machine of another ANSI code page (1251, 936; 1252 as above).
std::string Utf8FromAnsi(std::string_view ansi, std::uint32_t codePage);
std::optional<std::string> AnsiFromUtf8(std::string_view utf8, std::uint32_t codePage,
                                        std::uint32_t* badCodePoint);

// UTF-16LE bytes to UTF-8; nullopt for an odd length or a lone surrogate.
std::optional<std::string> Utf8FromUtf16(const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> Utf16FromUtf8(std::string_view utf8);

// Text cut after every line feed, so that a long text becomes one JSON
// string per line and file comparisons show the lines that changed.
std::vector<std::string> SplitAfterLineFeeds(std::string_view text);

std::string EncodeBase64(const std::vector<std::uint8_t>& bytes);
std::optional<std::vector<std::uint8_t>> DecodeBase64(std::string_view text);
// Pairs of hexadecimal digits; blanks between bytes are allowed.
std::optional<std::vector<std::uint8_t>> DecodeHex(std::string_view text);
std::string EncodeHex(const std::vector<std::uint8_t>& bytes);

// "REG_SZ" ... "REG_QWORD"; nullopt for an unknown name.
std::optional<std::uint32_t> RegistryTypeFromName(std::string_view name);

// "readonly", "hidden", "system", "archive", "normal", "temporary",
// "offline", "notContentIndexed".
std::optional<std::uint32_t> AttributeFromName(std::string_view name);
// The names of the bits, or nullopt when a bit has no name.
std::optional<std::vector<std::string>> AttributeNames(std::uint32_t attributes);

// "unknown", "noRootDir", "removable", "fixed", "remote", "cdrom", "ramdisk".
std::optional<std::uint32_t> DriveTypeFromName(std::string_view name);
std::string DriveTypeName(std::uint32_t type);

// True when bytes read best as text in a file: no NUL and no control
// characters other than tab, CR, LF and the end-of-file mark 0x1A.
bool LooksLikeText(const std::vector<std::uint8_t>& bytes);

}  // namespace platform::sim::scenario
