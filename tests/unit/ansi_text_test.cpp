#include <gtest/gtest.h>

#include "quellix/engine/system/AnsiText.h"
#include "quellix/engine/run/ProductInfo.h"

namespace quellix {
namespace {

TEST(AnsiText, LowerCasesTheWholeCodePage) {
  EXPECT_EQ(LowerAnsi("C:\\WINDOWS\\System32"), "c:\\windows\\system32");
  EXPECT_EQ(LowerAnsi("\xC9T\xC9"), "\xE9t\xE9");  // E-acute
  EXPECT_EQ(LowerAnsi("\x8A\x8C\x8E\x9F"), "\x9A\x9C\x9E\xFF");
  EXPECT_EQ(LowerAnsi("\xD7\xDF"), "\xD7\xDF");  // multiplication sign, sharp s
}

TEST(AnsiText, SplitsLikeTheClassicSplit) {
  EXPECT_EQ(SplitText("c:\\windows\\system32", "\\"),
            (std::vector<std::string>{"c:", "windows", "system32"}));
  EXPECT_EQ(SplitText("", "\\"), std::vector<std::string>{""});
  EXPECT_EQ(SplitText("a==b", "="), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(SplitText("ab", ""), std::vector<std::string>{"ab"});
}

TEST(AnsiText, TrimsOnlyBlanks) {
  EXPECT_EQ(TrimBlanks("  c:\\x  "), "c:\\x");
  EXPECT_EQ(TrimBlanks(std::string("x\0  ", 4)), std::string("x\0", 2));
  EXPECT_EQ(TrimBlanks("   "), "");
}

TEST(AnsiText, ReplacesLeftToRightWithoutSearchingTheInsertedText) {
  EXPECT_EQ(ReplaceAll("Found \"%%\"", "%%", "%%x%%"), "Found \"%%x%%\"");
  EXPECT_EQ(ReplaceAll("%%%", "%%", "y"), "y%");
  EXPECT_EQ(ReplaceAll("abc", "", "y"), "abc");
}

TEST(AnsiText, FindsWithoutRegardToCase) {
  EXPECT_TRUE(ContainsNoCase("C:\\Program Files\\X.EXE /s", ".exe "));
  EXPECT_EQ(FindNoCase("aXbX", "x"), 1u);
  EXPECT_FALSE(ContainsNoCase("abc", "abd"));
}

TEST(ProductInfo, CaptionCarriesTheDatabaseVersionAfterItsMarker) {
  const std::string caption = MainWindowCaption();
  EXPECT_EQ(caption.substr(0, 7), "Quellix");
  EXPECT_EQ(caption.find("Virus Database   "), 40u);
  EXPECT_EQ(DatabaseVersionFromCaption(caption), "7.00");
  EXPECT_EQ(DatabaseVersionFromCaption("no marker here"), "");
  EXPECT_EQ(ProgramVersionText(), "4.23");
}

}  // namespace
}  // namespace quellix
