// Names on systems whose ANSI code page is not Western: the engine lower-cases
// and the log decodes them as the system's code page does, and the trail
// bytes of double-byte characters are never taken for letters.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "quellix/engine/detection/MD5Hash.h"
#include "quellix/engine/cleanup/mdlProcesses.h"
#include "quellix/engine/detection/mdlSmartScan.h"
#include "tests/unit/process_fixture.h"

#if QLX_HAS_SCENARIOS
#include "platform/sim/scenario/Scenario.h"
#endif

namespace quellix {
namespace {

platform::sim::Machine MachineOfCodePage(std::uint32_t codePage) {
  platform::sim::Machine machine = platform::sim::MakeStandardMachine();
  machine.ansiCodePage = codePage;
  return machine;
}

bool Shows(const test::DetectionFixture& f, const std::u16string& line) {
  return f.sim.host.details.find(line) != std::u16string::npos;
}

// "ЁЖИК.exe" in Windows-1251; Ё (0xA8) lower-cases to ё (0xB8), which no
// Western rule knows.
TEST(CodePage, ACyrillicWormIsFoundByItsLowerCaseNameAndLoggedInCyrillic) {
  test::DetectionFixture f(MachineOfCodePage(1251));
  f.session.InfectionNames = {"\xB8\xE6\xE8\xEA"};  // ёжик
  f.sim.machine.AddProcess(3000, "C:\\WINDOWS\\\xA8\xC6\xC8\xCA.exe");
  EXPECT_TRUE(KillVirusProcesses(f.session));
  EXPECT_EQ(f.sim.machine.FindProcess(3000), nullptr);
  EXPECT_TRUE(Shows(f, u"\u0451\u0436\u0438\u043A.exe ...Terminated")) << f.Lines().size();
}

// "並" is 0x81 0x4B in Windows-936: its trail byte is the letter K of ASCII,
// which a byte-wise lower case would turn into another character.
TEST(CodePage, AChineseFolderKeepsItsTrailBytesFromDigestToDeletion) {
  test::DetectionFixture f(MachineOfCodePage(936));
  f.session.KnownDigests.clear();
  const std::string worm = "C:\\\x81\x4B\\Worm.exe";
  f.sim.machine.files.AddTextFile(worm, "chinese worm");
  f.sim.machine.AddProcess(3000, worm);
  MD5Hash md5(f.sim.platform, f.sim.host);
  const std::string bytes = "chinese worm";
  f.session.KnownDigests.push_back(md5.HashBytes({bytes.begin(), bytes.end()}));
  SmartScan(f.session);
  EXPECT_EQ(f.session.frmMain.lstIdentifiedByMD5,
            std::vector<std::string>{"c:\\\x81\x4B\\worm.exe"});
  EXPECT_TRUE(Shows(f, u"c:\\\u4E26\\worm.exe ...Identified"));
  KillVirusProcesses(f.session);
  EXPECT_TRUE(Shows(f, u"Found c:\\\u4E26\\worm.exe ...Removed"));
  EXPECT_EQ(f.Bytes("C:\\backup\\worm.exe.back"),
            std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
  EXPECT_EQ(LowerAnsi("\x81\x4B\xC1\xAA.EXE"), "\x81\x4B\xC1\xAA.exe");
}

#if QLX_HAS_SCENARIOS
TEST(CodePage, AScenarioDeclaresItsCodePageAndKeepsItsTextsInIt) {
  const auto machine = platform::sim::LoadScenario(
      "{\"base\": \"standard\", \"codePage\": 936, \"files\": ["
      "{\"path\": \"C:\\\\\xE4\xB8\xA6\\\\a.exe\", \"text\": \"x\"}]}");
  EXPECT_EQ(machine.ansiCodePage, 936u);
  EXPECT_NE(machine.files.FindPath("C:\\\x81\x4B\\a.exe"), nullptr);
  const std::string saved = platform::sim::SaveScenario(machine);
  EXPECT_NE(saved.find("\"codePage\": 936"), std::string::npos);
  EXPECT_NE(saved.find("\xE4\xB8\xA6"), std::string::npos);
  EXPECT_EQ(platform::sim::SaveScenario(platform::sim::LoadScenario(saved)), saved);
}
#endif

}  // namespace
}  // namespace quellix
