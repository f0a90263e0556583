// The ANSI and UTF-8 conversions of the language module.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "quellix/lang/Ansi.h"

namespace quellix::lang {
namespace {

TEST(AnsiToUtf16, LatinOneBytesKeepTheirValue) {
  for (int byte = 0; byte <= 0xFF; ++byte) {
    if (byte >= 0x80 && byte <= 0x9F) continue;
    const std::string ansi(1, static_cast<char>(byte));
    EXPECT_EQ(AnsiToUtf16(ansi), std::u16string(1, static_cast<char16_t>(byte)))
        << "byte 0x" << std::hex << byte;
  }
}

TEST(AnsiToUtf16, WindowsCodePageRangeMapsToItsCharacters) {
  // Pairs from the Windows-1252 code chart, the five undefined bytes among them.
  const std::vector<std::pair<unsigned char, char16_t>> chart = {
      {0x80, u'\u20AC'}, {0x81, u'\u0081'}, {0x82, u'\u201A'}, {0x83, u'\u0192'}, {0x85, u'\u2026'},
      {0x8A, u'\u0160'}, {0x8C, u'\u0152'}, {0x8D, u'\u008D'}, {0x8E, u'\u017D'}, {0x8F, u'\u008F'},
      {0x90, u'\u0090'}, {0x91, u'\u2018'}, {0x93, u'\u201C'}, {0x96, u'\u2013'}, {0x97, u'\u2014'},
      {0x99, u'\u2122'}, {0x9C, u'\u0153'}, {0x9D, u'\u009D'}, {0x9E, u'\u017E'}, {0x9F, u'\u0178'},
  };
  for (const auto& [byte, character] : chart) {
    EXPECT_EQ(AnsiToUtf16(std::string(1, static_cast<char>(byte))), std::u16string(1, character))
        << "byte 0x" << std::hex << int{byte};
  }
}

TEST(AnsiToUtf16, ConvertsWholeTextInOrder) {
  EXPECT_EQ(AnsiToUtf16("C:\\caf\xE9\\\x80 \x93x\x94.exe"), u"C:\\café\\€ “x”.exe");
  EXPECT_EQ(AnsiToUtf16(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
  EXPECT_EQ(AnsiToUtf16(""), u"");
}

TEST(Utf16ToUtf8, EncodesEveryPlaneAndKeepsTheRowPrefix) {
  EXPECT_EQ(Utf16ToUtf8(u"Français"),
            "Fran\xC3\xA7"
            "ais");
  EXPECT_EQ(Utf16ToUtf8(u"\uFFFE\uFEFFShqip"), "\xEF\xBF\xBE\xEF\xBB\xBFShqip");
  EXPECT_EQ(Utf16ToUtf8(u"한국어"), "\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4");
  EXPECT_EQ(Utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf16ToUtf8(u"\u007F\u0080\u07FF\u0800"), "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80");
}

TEST(Utf16ToUtf8, LoneSurrogatesBecomeReplacementCharacters) {
  const std::u16string highAtEnd = {u'a', static_cast<char16_t>(0xD83D)};
  const std::u16string lowAlone = {static_cast<char16_t>(0xDE00), u'b'};
  const std::u16string highThenText = {static_cast<char16_t>(0xD83D), u'c'};
  EXPECT_EQ(Utf16ToUtf8(highAtEnd), "a\xEF\xBF\xBD");
  EXPECT_EQ(Utf16ToUtf8(lowAlone),
            "\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(Utf16ToUtf8(highThenText),
            "\xEF\xBF\xBD"
            "c");
}

}  // namespace
}  // namespace quellix::lang
