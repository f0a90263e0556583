#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/SimRegistry.h"
#include "quellix/engine/cleanup/RegExport.h"
#include "tests/support/SimQuellix.h"

namespace quellix {
namespace {

using Bytes = std::vector<std::uint8_t>;
using platform::sim::StringData;

TEST(RegValueLine, WritesEachTypeInTheEditorsForm) {
  EXPECT_EQ(RegValueLine("Run \"x\"\\y", platform::kRegSz, StringData("c:\\a \"b\".exe")),
            "\"Run \\\"x\\\"\\\\y\"=\"c:\\\\a \\\"b\\\".exe\"");
  EXPECT_EQ(RegValueLine("", platform::kRegSz, StringData("default")), "@=\"default\"");
  EXPECT_EQ(RegValueLine("d", platform::kRegDword, {0x78, 0x56, 0x34, 0x12}),
            "\"d\"=dword:12345678");
  EXPECT_EQ(RegValueLine("d", platform::kRegDword, {1, 2}), "\"d\"=hex(4):01,02");
  EXPECT_EQ(RegValueLine("e", platform::kRegExpandSz, StringData("%a%")),
            "\"e\"=hex(2):25,61,25,00");
  EXPECT_EQ(RegValueLine("m", platform::kRegMultiSz, {'a', 0, 0}), "\"m\"=hex(7):61,00,00");
  EXPECT_EQ(RegValueLine("b", platform::kRegBinary, {0xDE, 0xAD}), "\"b\"=hex:de,ad");
  EXPECT_EQ(RegValueLine("n", platform::kRegNone, {}), "\"n\"=hex(0):");
  EXPECT_EQ(RegValueLine("q", 11, {1}), "\"q\"=hex(b):01");
}

TEST(RegValueLine, StringsThatCannotBeQuotedExactlyAreWrittenAsHex) {
  EXPECT_EQ(RegValueLine("s", platform::kRegSz, StringData("a\r\nb")),
            "\"s\"=hex(1):61,0d,0a,62,00");
  EXPECT_EQ(RegValueLine("s", platform::kRegSz, {'a'}), "\"s\"=hex(1):61");
  EXPECT_EQ(RegValueLine("s", platform::kRegSz, {'a', 0, 'b', 0}), "\"s\"=hex(1):61,00,62,00");
  EXPECT_EQ(RegValueLine("s", platform::kRegSz, {}), "\"s\"=hex(1):");
}

TEST(RegValueLine, LongHexDataIsContinuedOnIndentedLines) {
  const std::string line = RegValueLine("b", platform::kRegBinary, Bytes(40, 0xAB));
  std::vector<std::string> rows;
  std::size_t start = 0;
  for (auto end = line.find("\r\n"); end != std::string::npos; end = line.find("\r\n", start)) {
    rows.push_back(line.substr(start, end - start));
    start = end + 2;
  }
  rows.push_back(line.substr(start));
  ASSERT_GT(rows.size(), 1u);
  std::string joined;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_LE(rows[i].size(), 80u);
    if (i + 1 < rows.size()) {
      ASSERT_FALSE(rows[i].empty()) << "row " << i;
      EXPECT_EQ(rows[i].back(), '\\');
      rows[i].pop_back();
    }
    if (i > 0) {
      EXPECT_EQ(rows[i].substr(0, 2), "  ");
      rows[i] = rows[i].substr(2);
    }
    joined += rows[i];
  }
  std::string expected = "\"b\"=hex:ab";
  for (int i = 1; i < 40; ++i) expected += ",ab";
  EXPECT_EQ(joined, expected);
}

TEST(RegFileForKeyTree, ExportsTheKeyAndItsSubKeysDepthFirst) {
  test::SimQuellix sim;
  auto& reg = sim.machine.registry;
  reg.SetString("HKLM\\Software\\T", "A", "1");
  reg.SetDword("HKLM\\Software\\T\\b", "B", 2);
  reg.SetString("HKLM\\Software\\T\\b\\c", "", "3");
  reg.CreateKey("HKLM\\Software\\T\\d");
  std::string text;
  ASSERT_TRUE(RegFileForKeyTree(sim.platform, platform::kHkeyLocalMachine, "Software\\T", &text));
  EXPECT_EQ(text,
            "REGEDIT4\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\T]\r\n\"A\"=\"1\"\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\T\\b]\r\n\"B\"=dword:00000002\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\T\\b\\c]\r\n@=\"3\"\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\T\\d]\r\n\r\n");
}

TEST(RegFileForKeyTree, APartlyUnreadableTreeIsNoBackup) {
  test::SimQuellix sim;
  sim.machine.registry.SetString("HKLM\\Software\\T\\b", "B", "x");
  sim.machine.InjectFault("RegEnumValueA", "*\\T\\b", 5);
  std::string text = "untouched";
  EXPECT_FALSE(RegFileForKeyTree(sim.platform, platform::kHkeyLocalMachine, "Software\\T", &text));
  EXPECT_EQ(text, "untouched");
  EXPECT_FALSE(
      RegFileForKeyTree(sim.platform, platform::kHkeyLocalMachine, "Software\\None", &text));
}

TEST(ReadRegistryValue, FindsTheValueWithoutRegardToCaseAndWhole) {
  test::SimQuellix sim;
  const std::string longText(5000, 'q');
  sim.machine.registry.SetString("HKCU\\Software\\T", "MixedCase", longText);
  platform::HKey key = 0;
  ASSERT_EQ(sim.platform.RegOpenKeyA(platform::kHkeyCurrentUser, "Software\\T", &key), 0);
  std::string name;
  std::uint32_t type = 0;
  Bytes data;
  EXPECT_EQ(ReadRegistryValue(sim.platform, key, "mixedcase", &name, &type, &data), 0);
  EXPECT_EQ(name, "MixedCase");
  EXPECT_EQ(type, platform::kRegSz);
  EXPECT_EQ(data, StringData(longText));
  EXPECT_EQ(ReadRegistryValue(sim.platform, key, "other", &name, &type, &data),
            platform::error::kFileNotFound);
  sim.platform.RegCloseKey(key);
}

}  // namespace
}  // namespace quellix
