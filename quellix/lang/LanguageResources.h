// Reading the language tables and the title list out of the program's
// resources. Each piece of text gets U+FFFE in front when it is read, and keeps
// it for good: labels, captions, titles and message rows all begin with it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace quellix::lang {

constexpr char16_t kRowPrefix = 0xFFFE;

struct LanguageTable {
  // The text cut at every CR LF, each piece with U+FFFE in front; a table that
  // ends in CR LF, as every delivered one does, ends with a piece that is U+FFFE alone.
  std::vector<std::u16string> pieces;
  // The pieces that hold a row of the table: all but that last empty one.
  std::size_t rowCount = 0;
};

// "Language table 109 (Français)", for failure descriptions.
std::string DescribeTable(std::uint8_t index);

// Table 100 + index. Raises platform::RuntimeError (source "LoadLanguage")
// when the program does not include it or it is not UTF-16 text.
LanguageTable ReadLanguageTable(platform::Platform& platform, std::uint8_t index);

// The 23 native titles. Raises platform::RuntimeError (source
// "LoadLanguageTitles") when the list is missing or does not hold 23 titles.
std::vector<std::u16string> ReadTitleRows(platform::Platform& platform);

}  // namespace quellix::lang
