#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/ForwardingPlatform.h"
#include "quellix/engine/session/Session.h"
#include "quellix/engine/cleanup/mdlHosts.h"
#include "tests/support/RunLog.h"
#include "tests/support/SimQuellix.h"
#include "tests/support/TestText.h"

namespace quellix {
namespace {

using Lines = std::vector<std::string>;
constexpr const char* kHosts = "c:\\windows\\system32\\drivers\\etc\\hosts";
constexpr const char* kLocalhost = "127.0.0.1       localhost\r\n";

class HostsTest : public testing::Test {
 protected:
  HostsTest() {
    session.run.SystemDir = "c:\\windows\\system32";
    session.run.BackupDir = "c:\\saved\\";
    sim.machine.files.AddFolder("C:\\saved");
    session.frmMain.lstHostInfections = {"www.symantec.com", "update.symantec.com",
                                         "www.mcafee.com", "Mixed.Case.Example"};
  }

  Lines DetailLines() const { return test::NonEmptyDetailLines(sim.host.details); }

  void SetHosts(const std::string& text) { sim.machine.files.AddTextFile(kHosts, text); }

  std::string FileText(const std::string& path) {
    const auto* node = sim.machine.files.FindPath(path);
    return node == nullptr ? "<missing>"
                           : std::string(node->contents.begin(), node->contents.end());
  }

  std::string Clean(const std::string& text) {
    SetHosts(text);
    sim.host.details.clear();
    EXPECT_TRUE(CleanHostsFile(session));
    return FileText(kHosts);
  }

  test::SimQuellix sim;
  BuiltPhases phases;
  Session session{sim.platform, sim.host, sim.language, phases};
};

TEST(SplitHostsLines, SplitsAtEveryLineFeedAndKeepsEachBreak) {
  const auto lines = SplitHostsLines("a\r\nb\nc\r\rd\n\r\ne");
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0].text + "|" + lines[0].ending, "a|\r\n");
  EXPECT_EQ(lines[1].text + "|" + lines[1].ending, "b|\n");
  EXPECT_EQ(lines[2].text + "|" + lines[2].ending, "c\r\rd|\n");
  EXPECT_EQ(lines[3].text + "|" + lines[3].ending, "|\r\n");
  EXPECT_EQ(lines[4].text + "|" + lines[4].ending, "e|");
  EXPECT_EQ(SplitHostsLines("x\r\n").size(), 1u);
  EXPECT_TRUE(SplitHostsLines("").empty());
}

TEST_F(HostsTest, FileNamingNoListedHostIsOnlyReadButLosesItsAttributes) {
  const std::string text = "# Mine\r\n127.0.0.1       LocalHost\r\n10.0.0.1 Server\n";
  sim.machine.files.AddTextFile(kHosts, text,
                                platform::kFileAttributeReadOnly | platform::kFileAttributeHidden);
  EXPECT_TRUE(CleanHostsFile(session));
  EXPECT_EQ(FileText(kHosts), text);
  EXPECT_EQ(sim.platform.GetFileAttributesA(kHosts), platform::kFileAttributeNormal);
  EXPECT_TRUE(DetailLines().empty());
  EXPECT_EQ(FileText("c:\\saved\\hosts.back"), "<missing>");
  ASSERT_FALSE(sim.host.prog1.empty());
  EXPECT_EQ(sim.host.prog1.back(), 0);
  EXPECT_EQ(sim.host.prog2, (std::vector<double>{100}));
}

TEST_F(HostsTest, ListedLinesAreDroppedAndLoggedLowerCaseWhileKeptLinesKeepTheirBytes) {
  const std::string text =
      "# Kept Comment\r\n"
      "127.0.0.1 WWW.Symantec.COM\r\n"
      "127.0.0.1       localhost\r\n"
      "0.0.0.0 x # see www.mcafee.com\r\n"
      "1.2.3.4 Other.Host\r\n"
      "1.2.3.4 myupdate.symantec.com.evil\r\n";
  const std::string original = text;
  EXPECT_EQ(Clean(text), "# Kept Comment\r\n127.0.0.1       localhost\r\n1.2.3.4 Other.Host\r\n");
  EXPECT_EQ(DetailLines(), (Lines{"Found Entry 127.0.0.1 www.symantec.com",
                                  "Found Entry 0.0.0.0 x # see www.mcafee.com",
                                  "Found Entry 1.2.3.4 myupdate.symantec.com.evil"}));
  EXPECT_EQ(FileText("c:\\saved\\hosts.back"), original);
}

TEST_F(HostsTest, HostsWithCapitalsNeverMatch) {
  const std::string text = "127.0.0.1 mixed.case.example\r\n127.0.0.1 Mixed.Case.Example\r\n";
  EXPECT_EQ(Clean(text), text);
}

TEST_F(HostsTest, LineFeedFilesAreSplitAndKeepTheirEndings) {
  EXPECT_EQ(Clean("# a\n127.0.0.1 localhost\n127.0.0.1 www.mcafee.com\n10.1.1.1 Keep\n"),
            "# a\n127.0.0.1 localhost\n10.1.1.1 Keep\n");
  EXPECT_EQ(Clean("# a\r\n127.0.0.1 www.mcafee.com\n10.1.1.1 Keep\nlocalhost\r\n"),
            "# a\r\n10.1.1.1 Keep\nlocalhost\r\n");
}

TEST_F(HostsTest, LastLineWithoutBreakStaysSoUnlessALineFollowsIt) {
  EXPECT_EQ(Clean("127.0.0.1 www.mcafee.com\r\n127.0.0.1 localhost"), "127.0.0.1 localhost");
  EXPECT_EQ(Clean("127.0.0.1 www.mcafee.com\r\n# end"), std::string("# end\r\n") + kLocalhost);
  EXPECT_EQ(Clean("# start\r\n127.0.0.1 www.mcafee.com"), std::string("# start\r\n") + kLocalhost);
}

TEST_F(HostsTest, LocalhostLineIsAddedWhenNoKeptLineNamesLocalhost) {
  EXPECT_EQ(Clean("# x\r\n127.0.0.1 localhost www.symantec.com\r\n"),
            std::string("# x\r\n") + kLocalhost);
  EXPECT_EQ(Clean("127.0.0.1 www.symantec.com\r\n"), kLocalhost);
}

TEST_F(HostsTest, RepeatedRewritesDoNotGrowEmptyLines) {
  std::string text = "# x\r\n";
  for (int run = 0; run < 3; ++run) {
    text = Clean(text + "127.0.0.1 www.symantec.com\r\n");
    EXPECT_EQ(text, std::string("# x\r\n") + kLocalhost);
  }
}

TEST_F(HostsTest, BackupsOfEarlierRewritesAreKept) {
  Clean("127.0.0.1 www.symantec.com\r\n");
  Clean("127.0.0.1 www.mcafee.com\r\n");
  EXPECT_EQ(FileText("c:\\saved\\hosts.back"), "127.0.0.1 www.symantec.com\r\n");
  EXPECT_EQ(FileText("c:\\saved\\hosts (2).back"), "127.0.0.1 www.mcafee.com\r\n");
}

TEST_F(HostsTest, ThousandLinesMoveTheBarInSmallStepsAndOneLineNotAtAll) {
  std::string text;
  for (int i = 0; i < 1000; ++i) text += "10.0.0." + std::to_string(i % 250) + " host\r\n";
  const std::string kept = text;
  text += "127.0.0.1 www.symantec.com\r\n";
  EXPECT_EQ(Clean(text), kept + kLocalhost);
  const auto& prog1 = sim.host.prog1;
  ASSERT_EQ(prog1.size(), 1002u);
  EXPECT_EQ(prog1.front(), 0);
  EXPECT_DOUBLE_EQ(prog1[1000], 100);
  EXPECT_NEAR(prog1[1] - prog1[0], 0.1, 0.001);
  EXPECT_EQ(prog1.back(), 0);
  EXPECT_EQ(sim.host.prog2, std::vector<double>{100});
  EXPECT_EQ(sim.host.doEventsCalls, 1001);

  // A single line has no last index to divide by: the bar stays where it was.
  sim.host.prog1.clear();
  EXPECT_EQ(Clean("127.0.0.1 www.symantec.com"), kLocalhost);
  EXPECT_EQ(sim.host.prog1, std::vector<double>{0});
}

TEST_F(HostsTest, MissingFileIsCreatedEmptyAfterMessageSixteen) {
  sim.machine.files.RemovePath(kHosts);
  EXPECT_TRUE(CleanHostsFile(session));
  EXPECT_EQ(DetailLines(), (Lines{"Unable to remove read-only from Hosts File"}));
  EXPECT_EQ(FileText(kHosts), "");
}

TEST_F(HostsTest, ReadOnlyFileIsCleaned) {
  sim.machine.files.AddTextFile(kHosts, "127.0.0.1 www.symantec.com\r\n",
                                platform::kFileAttributeReadOnly | platform::kFileAttributeSystem);
  CleanHostsFile(session);
  EXPECT_EQ(FileText(kHosts), kLocalhost);
}

TEST_F(HostsTest, FileThatStaysReadOnlyIsLeftAsItWas) {
  const std::string text = "127.0.0.1 www.symantec.com\r\n";
  sim.machine.files.AddTextFile(kHosts, text, platform::kFileAttributeReadOnly);
  sim.machine.InjectFault("SetFileAttributesA", "", 5);
  CleanHostsFile(session);
  EXPECT_EQ(DetailLines(), (Lines{"Unable to remove read-only from Hosts File",
                                  "Found Entry 127.0.0.1 www.symantec.com",
                                  "Unable to open Hosts File for Cleaning"}));
  EXPECT_EQ(FileText(kHosts), text);
}

// A file system that takes only the first half of each write and tells so
// only through the count of bytes written.
class HalfWritingPlatform : public platform::ForwardingPlatform {
 public:
  using ForwardingPlatform::ForwardingPlatform;
  bool WriteFile(platform::Handle file, const std::vector<std::uint8_t>& data,
                 std::uint32_t* bytesWritten) override {
    const std::vector<std::uint8_t> half(data.begin(), data.begin() + data.size() / 2);
    return ForwardingPlatform::WriteFile(file, half, bytesWritten);
  }
};

TEST_F(HostsTest, FailedOrShortWriteRestoresTheFileFromItsBackup) {
  const std::string text = "# x\r\n127.0.0.1 www.symantec.com\r\n";
  SetHosts(text);
  sim.machine.InjectFault("WriteFile", "*\\hosts", 112, 1);
  CleanHostsFile(session);
  ASSERT_FALSE(DetailLines().empty());
  EXPECT_EQ(DetailLines().back(), "Unable to open Hosts File for Cleaning");
  EXPECT_EQ(FileText(kHosts), text);

  SetHosts(text);
  sim.host.details.clear();
  HalfWritingPlatform halfWriting(sim.platform);
  Session halfWritten{halfWriting, sim.host, sim.language, phases};
  halfWritten.run = session.run;
  halfWritten.frmMain.lstHostInfections = session.frmMain.lstHostInfections;
  CleanHostsFile(halfWritten);
  ASSERT_FALSE(DetailLines().empty());
  EXPECT_EQ(DetailLines().back(), "Unable to open Hosts File for Cleaning");
  EXPECT_EQ(FileText(kHosts), text);
}

TEST_F(HostsTest, UnreadableFileIsNeitherScannedNorChanged) {
  const std::string text = "127.0.0.1 www.symantec.com\r\n";
  sim.machine.files.AddTextFile(kHosts, text).locked = true;
  CleanHostsFile(session);
  EXPECT_EQ(DetailLines(), (Lines{"Unable to open Hosts File for Scanning"}));
  EXPECT_EQ(FileText(kHosts), text);

  ASSERT_NE(sim.machine.files.FindPath(kHosts), nullptr);
  sim.machine.files.FindPath(kHosts)->locked = false;
  sim.machine.InjectFault("ReadFile", "", 5, 1);
  sim.host.details.clear();
  CleanHostsFile(session);
  EXPECT_EQ(DetailLines(), (Lines{"Unable to open Hosts File for Scanning"}));
  EXPECT_EQ(FileText(kHosts), text);
}

TEST_F(HostsTest, FileIsNotRewrittenWithoutABackup) {
  session.run.BackupDir = "c:\\missing\\";
  const std::string text = "127.0.0.1 www.symantec.com\r\n";
  EXPECT_EQ(Clean(text), text);
  ASSERT_FALSE(DetailLines().empty());
  EXPECT_EQ(DetailLines().back(), std::string("Unable to backup \"") + kHosts + "\"");
}

// The oracle's own lower case, written apart from the cleaner's: ASCII and the
// Latin-1 capitals of Windows-1252, which are all the pieces below hold.
std::string OracleLower(std::string text) {
  for (char& c : text) {
    const auto byte = static_cast<unsigned char>(c);
    const bool capital =
        (byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7);
    if (capital) c = static_cast<char>(byte + 0x20);
  }
  return text;
}

// For random files and host lists, every line naming no listed host comes
// back byte for byte and in order, and every line naming one is gone.
TEST_F(HostsTest, LinesNamingNoListedHostSurviveByteForByte) {
  std::mt19937 random(20261206);
  const std::vector<std::string> hosts = {"bad.one", "worse.example", "x.y", "ads.site.net"};
  const std::vector<std::string> pieces = {"127.0.0.1",
                                           "0.0.0.0",
                                           "Bad.One",
                                           "bad.one",
                                           "worse.example",
                                           "WORSE.example.org",
                                           "localhost",
                                           "LocalHost",
                                           "# comment",
                                           "x",
                                           ".y",
                                           "x.y",
                                           "\t",
                                           "ads.site",
                                           ".net",
                                           "good.host",
                                           "\xC4"
                                           "BAD.ONE",
                                           "\r"};
  const std::vector<std::string> endings = {"\r\n", "\n"};
  for (int iteration = 0; iteration < 300; ++iteration) {
    std::vector<std::string> listed;
    for (const auto& host : hosts) {
      if (random() % 2) listed.push_back(host);
    }
    session.frmMain.lstHostInfections = listed;
    struct OracleLine {
      std::string text;
      std::string ending;
    };
    std::vector<OracleLine> lines(random() % 12);
    for (auto& line : lines) {
      for (auto count = random() % 4; count > 0; --count) {
        line.text += pieces[random() % pieces.size()] + (random() % 2 ? " " : "");
      }
      if (!line.text.empty() && line.text.back() == '\r') line.text += "z";
      line.ending = endings[random() % endings.size()];
    }
    if (!lines.empty() && random() % 3 == 0) lines.back().ending.clear();
    std::string text;
    std::string expected;
    bool changed = false;
    bool keptLocalhost = false;
    for (const auto& line : lines) {
      text += line.text + line.ending;
      const std::string lower = OracleLower(line.text);
      bool names = false;
      for (const auto& host : listed) names = names || lower.find(host) != std::string::npos;
      changed = changed || names;
      if (names) continue;
      keptLocalhost = keptLocalhost || lower.find("localhost") != std::string::npos;
      expected += line.text + line.ending;
    }
    if (changed && !keptLocalhost) {
      if (!expected.empty() && expected.back() != '\n') expected += "\r\n";
      expected += kLocalhost;
    }
    if (!changed) expected = text;
    SCOPED_TRACE(text);
    ASSERT_EQ(Clean(text), expected);
  }
}

}  // namespace
}  // namespace quellix
