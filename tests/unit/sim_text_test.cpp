// The sim's text rules: case folding in Windows-1252, the two kinds of
// wildcard matching, and Win32 path resolution.
#include <gtest/gtest.h>

#include "platform/sim/SimPath.h"
#include "platform/sim/SimText.h"

namespace platform::sim {
namespace {

TEST(SimText, FoldsCaseOfWindows1252Letters) {
  EXPECT_TRUE(EqualsNoCase("C:\\WINDOWS\\System32", "c:\\windows\\SYSTEM32"));
  EXPECT_TRUE(EqualsNoCase("caf\xE9", "CAF\xC9"));                    // é / É
  EXPECT_TRUE(EqualsNoCase("\x9A\x9C\x9E\xFF", "\x8A\x8C\x8E\x9F"));  // š œ ž ÿ
  EXPECT_FALSE(EqualsNoCase("\xF7", "\xD7"));  // ÷ and × are not a case pair
  EXPECT_FALSE(EqualsNoCase("\xDF", "SS"));    // ß has no one-letter upper case
  EXPECT_FALSE(EqualsNoCase("abc", "abcd"));
}

TEST(SimText, SortsWithoutCaseByUpperCasedBytes) {
  EXPECT_TRUE(LessNoCase("alpha", "Beta"));
  EXPECT_FALSE(LessNoCase("Beta", "alpha"));
  EXPECT_TRUE(LessNoCase("Run", "RunOnce"));
  // '_' (0x5F) sorts after the upper-case letters it is compared with.
  EXPECT_TRUE(LessNoCase("Zeta", "_x"));
  EXPECT_FALSE(LessNoCase("same", "SAME"));
}

TEST(SimText, PatternsMatchWholeTextWithoutCase) {
  EXPECT_TRUE(MatchesPattern("HKCU\\*\\Run", "hkcu\\Software\\Microsoft\\Run"));
  EXPECT_TRUE(MatchesPattern("shutdown.exe *", "SHUTDOWN.EXE -r -t 120"));
  EXPECT_TRUE(MatchesPattern("c:\\windows\\?.exe", "C:\\WINDOWS\\a.exe"));
  EXPECT_FALSE(MatchesPattern("c:\\windows\\?.exe", "C:\\WINDOWS\\ab.exe"));
  EXPECT_FALSE(MatchesPattern("winmgrs", "winmgrs.exe"));
  EXPECT_TRUE(MatchesPattern("*", ""));
}

TEST(SimText, FileNamePatternsFollowFindFirstFile) {
  EXPECT_TRUE(MatchesFileName("*.inf", "AUTORUN.INF"));
  EXPECT_FALSE(MatchesFileName("*.inf", "autorun.info"));
  EXPECT_FALSE(MatchesFileName("*.inf", "autorun"));
  EXPECT_TRUE(MatchesFileName("*.*", "README"));
  EXPECT_TRUE(MatchesFileName("*", ".."));
  EXPECT_TRUE(MatchesFileName("*.", "README"));
  EXPECT_FALSE(MatchesFileName("*.", "readme.txt"));
  EXPECT_TRUE(MatchesFileName("win????.exe", "winmgrs.exe"));
  // A '?' stands for nothing at the end of the name or before its dot.
  EXPECT_TRUE(MatchesFileName("win????.exe", "win.exe"));
  EXPECT_TRUE(MatchesFileName("ab??", "ab"));
  EXPECT_FALSE(MatchesFileName("a?c", "ac"));
}

TEST(SimText, LongNamesGetWindowsShortNames) {
  EXPECT_EQ(ShortName("autorun.info"), "AUTORU~1.INF");
  EXPECT_EQ(ShortName("joy start.exe"), "JOYSTA~1.EXE");
  EXPECT_EQ(ShortName("Quellix Log 6_12_2026 9_5_7.txt"), "QUELLI~1.TXT");
  EXPECT_EQ(ShortName("a+b.c;d"), "A_B~1.C_D");
  EXPECT_EQ(ShortName(".profile"), "PROFIL~1");
  EXPECT_EQ(ShortName("winmgrs.exe"), "") << "already a valid short name";
  EXPECT_EQ(ShortName("NTLDR"), "");
  EXPECT_EQ(ShortName(".."), "");
}

TEST(SimPath, CanonicalFormIsDriveBackslashesAndNoDots) {
  EXPECT_EQ(Canonicalize("c:/windows//system32/./drivers/../", "C:\\").path,
            "C:\\windows\\system32");
  EXPECT_EQ(Canonicalize("c:\\", "C:\\").path, "C:\\");
  EXPECT_EQ(Canonicalize("c:\\..\\..", "C:\\").path, "C:\\");
  EXPECT_EQ(Canonicalize("C:\\file.txt. . ", "C:\\").path, "C:\\file.txt");
  EXPECT_EQ(Canonicalize("\\\\?\\C:\\x", "C:\\").path, "C:\\x");
  EXPECT_EQ(Canonicalize("\\??\\C:\\WINDOWS\\system32\\csrss.exe", "C:\\").path,
            "C:\\WINDOWS\\system32\\csrss.exe");
}

TEST(SimPath, RelativePathsStartFromTheCurrentFolder) {
  EXPECT_EQ(Canonicalize("notes.txt", "C:\\WINDOWS").path, "C:\\WINDOWS\\notes.txt");
  EXPECT_EQ(Canonicalize("..\\boot.ini", "C:\\WINDOWS").path, "C:\\boot.ini");
  EXPECT_EQ(Canonicalize("\\boot.ini", "C:\\WINDOWS").path, "C:\\boot.ini");
  EXPECT_EQ(Canonicalize("c:x", "C:\\WINDOWS").path, "C:\\WINDOWS\\x");
  EXPECT_EQ(Canonicalize("e:x", "C:\\WINDOWS").path, "E:\\x");
}

TEST(SimPath, RefusesNamesWindowsRefuses) {
  EXPECT_EQ(Canonicalize("c:\\a*b.exe", "C:\\").error, 123);
  EXPECT_EQ(Canonicalize("c:\\dir\\x?.txt", "C:\\").error, 123);
  EXPECT_EQ(Canonicalize("c:\\a\"b", "C:\\").error, 123);
  EXPECT_EQ(Canonicalize("c:\\a|b", "C:\\").error, 123);
  EXPECT_EQ(Canonicalize("\\\\server\\share\\x", "C:\\").error, 3);
  EXPECT_EQ(Canonicalize("", "C:\\").error, 3);
}

TEST(SimPath, SplitsParentAndLeaf) {
  EXPECT_EQ(ParentPath("C:\\WINDOWS\\system32"), "C:\\WINDOWS");
  EXPECT_EQ(ParentPath("C:\\WINDOWS"), "C:\\");
  EXPECT_EQ(ParentPath("C:\\"), "");
  EXPECT_EQ(LeafName("C:\\WINDOWS\\joy start.exe"), "joy start.exe");
  EXPECT_EQ(LeafName("C:\\"), "");
  EXPECT_EQ(JoinPath("C:\\", "x"), "C:\\x");
  EXPECT_EQ(JoinPath("C:\\a", "x"), "C:\\a\\x");
}

}  // namespace
}  // namespace platform::sim
