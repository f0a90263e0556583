// The update exchange's texts on their own: the three requests, the update
// host's settings, and the answer readers fed whole answers, answers in
// pieces and broken ones.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Platform.h"
#include "quellix/update/DetectionFeed.h"
#include "quellix/update/FeedSignature.h"
#include "quellix/update/HttpAnswer.h"
#include "quellix/update/UpdateRequests.h"
#include "quellix/update/UpdateTarget.h"
#include "quellix/update/VersionCheck.h"
#include "tests/support/SimQuellix.h"

namespace quellix::update {
namespace {

using Entries = std::vector<std::string>;

constexpr const char* kSettingKey = "HKLM\\Software\\Quellix\\QLX";
const OwnVersions kOwn{4, 23, "7.00"};

std::string CheckBody(const std::string& version, const std::string& database) {
  return "Version: " + version + "\r\nVDB: " + database + "\r\n";
}

std::string HttpAnswer(const std::string& body) {
  return "HTTP/1.1 200 OK\r\nServer: test\r\nContent-Length: " + std::to_string(body.size()) +
         "\r\n\r\n" + body;
}

TEST(UpdateRequests, BothRequestsAreExactlyTheseBytes) {
  EXPECT_EQ(VersionCheckRequest("www.quellix.example"),
            "GET /app/checkupdates.php HTTP/1.1\r\nHost: www.quellix.example\r\n\r\n");
  EXPECT_EQ(FeedRequest("www.quellix.example"),
            "GET /app/kestrel/updates.php HTTP/1.1\r\nHost: www.quellix.example\r\n\r\n");
  EXPECT_EQ(SignatureRequest("www.quellix.example"),
            "GET /app/kestrel/updates.sig HTTP/1.1\r\nHost: www.quellix.example\r\n\r\n");
  const UpdateTarget standard{"updates.site.example", 80, {}};
  EXPECT_EQ(standard.HostHeader(), "updates.site.example");
  EXPECT_EQ(standard.DownloadPage(), "https://updates.site.example/download.php");
  const UpdateTarget local{"127.0.0.1", 8080, {}};
  EXPECT_EQ(local.HostHeader(), "127.0.0.1:8080");
  EXPECT_EQ(local.DownloadPage(), "https://127.0.0.1:8080/download.php");
}

TEST(UpdateHostSetting, NameWithOptionalPortAndNothingThatCouldReachTheRequest) {
  const auto plain = ParseUpdateHostSetting("updates.site.example");
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->host, "updates.site.example");
  EXPECT_EQ(plain->port, 80);
  const auto ported = ParseUpdateHostSetting(" localhost:8080 ");
  ASSERT_TRUE(ported);
  EXPECT_EQ(ported->host, "localhost");
  EXPECT_EQ(ported->port, 8080);
  for (const char* refused : {"", "   ", ":8080", "host:", "host:0", "host:65536", "host:8o",
                              "host:80:1", "two words", "host\r\nX-Other: 1", "host/app"}) {
    EXPECT_FALSE(ParseUpdateHostSetting(refused)) << '"' << refused << '"';
  }
}

TEST(UpdateHostSetting, OnlyTheMachineWideValuesCountAndABadOneAsksNobodyOrRefusesAll) {
  test::SimQuellix sim;
  EXPECT_EQ(ReadUpdateTarget(sim.platform).host, BuiltInUpdateHost());
  EXPECT_EQ(ReadUpdateTarget(sim.platform).port, 80);
  EXPECT_EQ(ReadUpdateTarget(sim.platform).feedKey, BuiltInFeedKey());

  // A user's own values are no setting: any program the user runs could write them.
  const std::vector<std::uint8_t> key = {0x06, 0x02, 0x00, 0x00, 0x00, 0x24};
  sim.machine.registry.SetString("HKCU\\Software\\Quellix\\QLX", "UpdateHost", "evil.example");
  sim.machine.registry.SetValue("HKCU\\Software\\Quellix\\QLX", "FeedKey", platform::kRegBinary,
                                key);
  EXPECT_EQ(ReadUpdateTarget(sim.platform).host, BuiltInUpdateHost());
  EXPECT_EQ(ReadUpdateTarget(sim.platform).feedKey, BuiltInFeedKey());

  sim.machine.registry.SetValue(kSettingKey, "FeedKey", platform::kRegBinary, key);
  EXPECT_EQ(ReadUpdateTarget(sim.platform).feedKey, key);
  EXPECT_EQ(ReadUpdateTarget(sim.platform).host, BuiltInUpdateHost());
  // A key of the wrong type still requires a signature, which nothing has.
  sim.machine.registry.SetString(kSettingKey, "FeedKey", "06020000");
  EXPECT_EQ(ReadUpdateTarget(sim.platform).feedKey, std::vector<std::uint8_t>());

  sim.machine.registry.SetString(kSettingKey, "UpdateHost", "127.0.0.1:8080");
  const UpdateTarget target = ReadUpdateTarget(sim.platform);
  EXPECT_EQ(target.host, "127.0.0.1");
  EXPECT_EQ(target.port, 8080);

  sim.machine.registry.SetString(kSettingKey, "UpdateHost", "127.0.0.1:http");
  EXPECT_EQ(ReadUpdateTarget(sim.platform).host, "");
  sim.machine.registry.SetDword(kSettingKey, "UpdateHost", 8080);
  EXPECT_EQ(ReadUpdateTarget(sim.platform).host, "");
}

TEST(VersionCheckAnswer, ProgramByNumberThenDatabaseByTextOrder) {
  struct Case {
    std::string version, database;
    CheckVerdict verdict;
  };
  const std::vector<Case> cases = {
      {"4.23", "7.00", CheckVerdict::NothingNewer},
      {"4.24", "7.00", CheckVerdict::UpdateAvailable},
      {"5.0", "7.00", CheckVerdict::UpdateAvailable},
      {"3.99", "7.00", CheckVerdict::NothingNewer},
      {"3.99", "7.01", CheckVerdict::UpdateAvailable},
      {"4.23", "7.01", CheckVerdict::UpdateAvailable},
      {"4.23", "10.00", CheckVerdict::NothingNewer},
      {"4.9", "7.00", CheckVerdict::NothingNewer},
      {"4.100", "7.00", CheckVerdict::UpdateAvailable},
      {"4.23.9", "7.00", CheckVerdict::NothingNewer},
      {"4.23beta", "7.00", CheckVerdict::NothingNewer},
      {"x.y", "7.00", CheckVerdict::NothingNewer},
      {"99999999999999999999.0", "", CheckVerdict::UpdateAvailable},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(JudgeVersionCheck(CheckBody(c.version, c.database), kOwn, true), c.verdict)
        << c.version << " / " << c.database;
  }
  // A newer program needs no database line; the first "Version: " counts.
  EXPECT_EQ(JudgeVersionCheck("Version: 4.24\r\n", kOwn, true), CheckVerdict::UpdateAvailable);
  EXPECT_EQ(JudgeVersionCheck(CheckBody("4.23", "7.00") + CheckBody("9.0", "9"), kOwn, true),
            CheckVerdict::NothingNewer);
}

TEST(VersionCheckAnswer, UnusableAnswersFail) {
  for (const std::string& text :
       {std::string("HTTP/1.1 404 Not Found\r\n\r\n"), std::string("Version: 4\r\nVDB: 7.00\r\n"),
        std::string("Version: 4.23\r\n"), std::string("Version: 4.23\r\nVDB: 7.01"),
        std::string("Version: 5.0"),
        // The database line must come after the version line.
        std::string("VDB: 7.01\r\nVersion: 4.23\r\n")}) {
    EXPECT_EQ(JudgeVersionCheck(text, kOwn, true), CheckVerdict::Failed) << text;
  }
  EXPECT_EQ(JudgeVersionCheck("Version: 4\r\n", kOwn, false), CheckVerdict::Failed);
}

TEST(VersionCheckAnswer, PiecesAreCollectedUntilTheAnswerCanBeJudged) {
  const std::string answer = HttpAnswer(CheckBody("4.23", "7.01"));
  for (std::size_t cut = 1; cut < answer.size(); ++cut) {
    VersionCheckAnswer collected(kOwn);
    EXPECT_EQ(collected.Add(answer.substr(0, cut)), CheckVerdict::Incomplete) << cut;
    EXPECT_EQ(collected.Add(answer.substr(cut)), CheckVerdict::UpdateAvailable) << cut;
  }
  // A whole answer by its Content-Length is judged at once, usable or not.
  VersionCheckAnswer notFound(kOwn);
  EXPECT_EQ(notFound.Add("HTTP/1.1 404 Not Found\r\nContent-Length: 3\r\n\r\nNo"),
            CheckVerdict::Incomplete);
  EXPECT_EQ(notFound.Add("!"), CheckVerdict::Failed);
  // A closed connection ends the collecting.
  VersionCheckAnswer cut(kOwn);
  EXPECT_EQ(cut.Add("HTTP/1.1 200 OK\r\n\r\nVersion: 4.23\r\nVDB: 7.0"), CheckVerdict::Incomplete);
  EXPECT_EQ(cut.Close(), CheckVerdict::Failed);
  // So does the size limit: an endless answer is judged as far as it is kept.
  VersionCheckAnswer endless(kOwn);
  const std::string chunk(4096, 'x');
  CheckVerdict verdict = CheckVerdict::Incomplete;
  int pieces = 0;
  while (verdict == CheckVerdict::Incomplete && pieces < 1000) {
    verdict = endless.Add(chunk);
    ++pieces;
  }
  EXPECT_EQ(verdict, CheckVerdict::Failed);
  EXPECT_EQ(pieces * chunk.size(), kMostCheckBytes);
}

FeedState FeedOf(const std::vector<std::string>& pieces, FeedAnswer& answer) {
  FeedState state = FeedState::Waiting;
  for (const std::string& piece : pieces) state = answer.Add(piece);
  return state;
}

Entries EntriesOf(const FeedAnswer& answer) {
  const auto list = ReadFeedList(answer.Body());
  return list ? list->entries : Entries{"<no list>"};
}

TEST(FeedAnswer, DigestsUpToTheEndMarkerEachOnce) {
  const std::string a(32, 'A'), b = "0123456789ABCDEF0123456789ABCDEF";
  struct Case {
    std::string body;
    bool empty;
    Entries entries;
  };
  const std::vector<Case> cases = {
      {a + "\r\n" + b + "\r\n\r\r\n", false, {a, b}},
      {"\r\r\n", true, {}},
      // The second entry glued to the marker has no CR LF of its own.
      {a + "\r\n" + b + "\r\r\n", false, {a}},
      {a + "\r\n\r\r\n" + b + "\r\n", false, {a}},
      // Only digest texts: no other line could ever match a file.
      {"lower case\r\n\r\n0123456789abcdef0123456789abcdef\r\n" + a + "x\r\n" + a.substr(1) +
           "\r\n \r\n\r\r\n",
       false,
       {}},
      {b + "\r\n" + a + "\r\n" + b + "\r\n" + a + "\r\n\r\r\n", false, {b, a}},
  };
  for (const Case& c : cases) {
    FeedAnswer answer;
    ASSERT_EQ(answer.Add(HttpAnswer(c.body)), FeedState::Complete) << c.body;
    const auto list = ReadFeedList(answer.Body());
    ASSERT_TRUE(list) << c.body;
    EXPECT_EQ(list->empty, c.empty) << c.body;
    EXPECT_EQ(list->entries, c.entries) << c.body;
  }
  // However often a feed repeats one digest, it is one entry.
  std::string repeated;
  for (int i = 0; i < 120000; ++i) repeated += a + "\r\n";
  EXPECT_EQ(ReadFeedList(repeated + "\r\r\n")->entries, (Entries{a}));
}

TEST(FeedAnswer, OnlyDigestsNotYetKnownAreAddedAndCounted) {
  const std::string a(32, 'A'), b(32, 'B'), c(32, 'C');
  std::vector<std::string> known = {b, "shipped"};
  EXPECT_EQ(AddFeedDigests(known, FeedList{false, {a, b, c}}), 2u);
  EXPECT_EQ(known, (Entries{b, "shipped", a, c}));
  EXPECT_EQ(AddFeedDigests(known, FeedList{false, {c}}), 0u);
  EXPECT_EQ(known.size(), 4u);
}

TEST(FeedAnswer, AnswersInPiecesAreReadOnceWhole) {
  const std::string a(32, 'A'), b(32, 'B');
  const std::string body = a + "\r\n" + b + "\r\n\r\r\n";
  const std::string answer = HttpAnswer(body);
  const std::size_t bodyAt = answer.size() - body.size();
  // The header whole in the first piece, the body in two.
  FeedAnswer three;
  EXPECT_EQ(three.Add(answer.substr(0, bodyAt + 10)), FeedState::Waiting);
  EXPECT_EQ(three.Add(answer.substr(bodyAt + 10, 40)), FeedState::Waiting);
  EXPECT_EQ(three.Add(answer.substr(bodyAt + 50)), FeedState::Complete);
  EXPECT_EQ(EntriesOf(three), (Entries{a, b}));
  // Every cut, the header block's own blank line included.
  for (std::size_t cut = 1; cut < answer.size(); ++cut) {
    FeedAnswer two;
    EXPECT_EQ(FeedOf({answer.substr(0, cut), answer.substr(cut)}, two), FeedState::Complete) << cut;
    EXPECT_EQ(two.Body(), body) << cut;
  }
  // What follows the announced length is not read, in the same piece or a
  // later one: a complete answer says so once.
  FeedAnswer longer;
  EXPECT_EQ(longer.Add(answer + b + "\r\n\r\r\n"), FeedState::Complete);
  EXPECT_EQ(longer.Add(answer), FeedState::Ignored);
  EXPECT_EQ(longer.State(), FeedState::Complete);
  EXPECT_EQ(longer.Body(), body);
  // The field name in any case of letters, as proxies may send it.
  for (const char* name : {"content-length", "CONTENT-LENGTH", "Content-length"}) {
    FeedAnswer lowered;
    EXPECT_EQ(lowered.Add("HTTP/1.1 200 OK\r\n" + std::string(name) + ":" +
                          std::to_string(body.size()) + "\r\n\r\n" + body),
              FeedState::Complete)
        << name;
    EXPECT_EQ(lowered.Body(), body) << name;
  }
}

TEST(FeedSignatureText, HexadecimalDigitsInPairsWithAnOptionalLineEnd) {
  const std::vector<std::uint8_t> bytes = {0x00, 0xAB, 0xCD, 0xEF};
  for (const char* text : {"00abcdef", "00ABCDEF\r\n", "00AbCdEf\n"}) {
    EXPECT_EQ(ReadSignatureText(text), bytes) << text;
  }
  for (const char* text :
       {"", "\r\n", "00abcde", "00abcdeg", " 00abcdef", "00ab cdef", "00abcdef\r\n\r\n"}) {
    EXPECT_FALSE(ReadSignatureText(text)) << text;
  }
}

TEST(FeedAnswer, BrokenAnswersGiveNothingAndKeepNothing) {
  const std::string list = std::string(32, 'A') + "\r\n\r\r\n";
  for (const std::string& text : std::vector<std::string>{
           "HTTP/1.1 200 OK\r\n\r\n" + list,
           "HTTP/1.1 200 OK\r\nContent-Lengths: 37\r\n\r\n" + list,
           "HTTP/1.1 200 OK\r\nContent-Length: 3x\r\n\r\n" + list,
           "HTTP/1.1 200 OK\r\nContent-Length: -37\r\n\r\n" + list,
           "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n" + list,
           HttpAnswer(std::string(32, 'A') + "\r\n"),
           // The length line must be in the header block, not in the body.
           std::string("HTTP/1.1 200 OK\r\n\r\nContent-Length: 3\r\n\r\r\n")}) {
    FeedAnswer answer;
    EXPECT_EQ(answer.Add(text), FeedState::Broken) << text;
    EXPECT_EQ(answer.Add(HttpAnswer(list)), FeedState::Broken) << text;
    EXPECT_TRUE(answer.Body().empty()) << text;
  }
  // A huge length is refused before anything of the body is collected.
  FeedAnswer huge;
  EXPECT_EQ(huge.Add("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(kMostFeedBytes + 1) +
                     "\r\n\r\n"),
            FeedState::Broken);
  FeedAnswer largest;
  EXPECT_EQ(largest.Add("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(kMostFeedBytes) +
                        "\r\n\r\n"),
            FeedState::Waiting);
  // So is a header block that never ends.
  FeedAnswer endless;
  const std::string chunk = "X-Filler: " + std::string(1000, 'x') + "\r\n";
  FeedState state = FeedState::Waiting;
  std::size_t sent = 0;
  while (state == FeedState::Waiting && sent < 2 * kMostHeaderBytes) {
    state = endless.Add(chunk);
    sent += chunk.size();
  }
  EXPECT_EQ(state, FeedState::Broken);
  EXPECT_LT(sent, kMostHeaderBytes + chunk.size());
}

}  // namespace
}  // namespace quellix::update
