// The whole exchange against a host on loopback, the timers on the test's
// clock: what the status line says and in which order, what KnownDigests
// gains, when the window becomes ready, and what the host was asked.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "quellix/update/UpdateRequests.h"
#include "tests/net/RefusingPort.h"
#include "tests/update/ExchangeRig.h"

namespace quellix::update::test {
namespace {

using Texts = std::vector<std::string>;
using std::chrono::milliseconds;

const std::string kDigestA = "0123456789ABCDEF0123456789ABCDEF";
const std::string kDigestB = "FEDCBA9876543210FEDCBA9876543210";

std::string CheckBody(const std::string& version, const std::string& database) {
  return "Version: " + version + "\r\nVDB: " + database + "\r\n";
}

HostAnswer Whole(const std::string& body) { return HostAnswer{{OkAnswer(body)}}; }

// The answer cut at the given positions, sent with pauses so that each piece
// arrives on its own.
HostAnswer Pieces(const std::string& text, const std::vector<std::size_t>& cuts) {
  HostAnswer answer;
  std::size_t from = 0;
  for (const std::size_t cut : cuts) {
    answer.pieces.push_back(text.substr(from, cut - from));
    from = cut;
  }
  answer.pieces.push_back(text.substr(from));
  answer.pause = milliseconds(40);
  return answer;
}

TEST(UpdateExchange, CurrentProgramThenAFeedOfTwoNewDigestsFromAHostByName) {
  ExchangeRig rig;
  // The check's answer comes again after a pause: the closed socket never reads it.
  const std::string check = OkAnswer(CheckBody("4.23", "7.00"));
  rig.host.Serve(kVersionCheckPath, HostAnswer{{check, check}, milliseconds(40)});
  // Of these lines only A and B are new digests: a repeat, a lower-case text,
  // a shipped digest and lines of another form add nothing.
  const std::string shipped = rig.session.KnownDigests.front();
  std::string lower = kDigestB;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  rig.host.Serve(kFeedPath,
                 Whole(kDigestA + "\r\n" + kDigestA + "\r\n" + lower + "\r\n\r\n" + shipped +
                       "\r\nnot a digest\r\n" + kDigestB + "\r\n" + kDigestA + "\r\n\r\r\n"));
  rig.Start(UpdateTarget{"localhost", rig.host.Port(), {}});
  ASSERT_TRUE(rig.PumpUntil([&] { return rig.Ready(); }));
  rig.Settle();

  const std::string hostLine = "localhost:" + std::to_string(rig.host.Port());
  EXPECT_EQ(rig.host.Requests(), (Texts{VersionCheckRequest(hostLine), FeedRequest(hostLine)}));
  EXPECT_EQ(rig.window.statuses,
            (Texts{"Checking for Updates....", "Conected to server, requesting data...",
                   "Update Check Success - No Update Available.", "Checking for KESTREL updates...",
                   "Success. 2 KESTREL detections added!"}));
  EXPECT_EQ(rig.AddedDigests(), (Texts{kDigestA, kDigestB}));
  EXPECT_EQ(rig.window.now, 0);
  EXPECT_EQ(rig.window.enableCommandsCalls, 1);
  EXPECT_EQ(rig.sim.host.events, (Texts{"Term=1", "EnableGUI"}));
  EXPECT_EQ(rig.sim.host.prog1, (std::vector<double>{0, 0}));
  EXPECT_FALSE(rig.window.Enabled(UpdateTimer::Timer1));
  EXPECT_FALSE(rig.window.Enabled(UpdateTimer::Timer5));

  // Both timers were stopped: nothing more happens, ever.
  rig.Advance(10000);
  EXPECT_EQ(rig.window.statuses.size(), 5u);
  EXPECT_EQ(rig.EnableGuiCalls(), 1);
  EXPECT_TRUE(rig.sim.host.boxes.empty());
  // The exchange keeps what it learnt in memory only.
  EXPECT_TRUE(rig.sim.machine.changes.empty());
}

TEST(UpdateExchange, NewerProgramShowsBox4AfterTheFeedStartedAndYesOpensTheDownloadPage) {
  ExchangeRig rig;
  rig.sim.host.yesNoAnswers = {6};
  rig.host.Serve(kVersionCheckPath, Whole(CheckBody("4.24", "7.00")));
  rig.host.Serve(kFeedPath, Whole("\r\r\n"));
  // The feed ends while the box is still open, as its message loop lets it.
  bool readyWhileBoxOpen = false;
  rig.sim.host.whileBoxOpen = [&] {
    readyWhileBoxOpen = rig.PumpUntil([&] { return rig.Ready(); });
  };
  rig.Start(rig.Loopback());
  ASSERT_TRUE(rig.PumpUntil([&] { return !rig.sim.host.boxes.empty(); }));
  EXPECT_TRUE(readyWhileBoxOpen);
  EXPECT_EQ(rig.EnableGuiCalls(), 1);
  EXPECT_FALSE(rig.window.Enabled(UpdateTimer::Timer5));

  EXPECT_EQ(
      rig.window.statuses,
      (Texts{"Checking for Updates....", "Conected to server, requesting data...",
             "Checking for KESTREL updates...", "Update Check Success - An Update is Available.",
             "Success. No KESTREL detections available"}));
  ASSERT_EQ(rig.sim.host.BoxNumbers(), (std::vector<double>{4}));
  EXPECT_FALSE(rig.sim.host.boxes[0].okOnly);
  ASSERT_EQ(rig.sim.machine.shellOpens.size(), 1u);
  const auto& open = rig.sim.machine.shellOpens[0];
  EXPECT_EQ(open.verb, "open");
  EXPECT_EQ(open.file, "https://127.0.0.1:" + std::to_string(rig.host.Port()) + "/download.php");
  EXPECT_EQ(open.showWindow, platform::kSwShowNormal);
  EXPECT_TRUE(rig.AddedDigests().empty());
}

TEST(UpdateExchange, AnswersInPiecesAreEachJudgedOnce) {
  ExchangeRig rig;
  rig.sim.host.yesNoAnswers = {7};
  // Header and body apart, as nginx sends a static file, and the database
  // line cut in its middle.
  const std::string check = OkAnswer(CheckBody("4.23", "7.01"));
  rig.host.Serve(kVersionCheckPath, Pieces(check, {check.find("Version"), check.size() - 3}));
  // The header block whole in the first piece, the body in three, the second
  // entry glued to the end marker.
  const std::string feed = OkAnswer(kDigestA + "\r\n" + kDigestB + "\r\r\n");
  const std::size_t body = feed.find(kDigestA);
  rig.host.Serve(kFeedPath, Pieces(feed, {body + 5, body + 40}));
  rig.Start(rig.Loopback());
  ASSERT_TRUE(rig.PumpUntil([&] { return rig.Ready(); }));

  EXPECT_EQ(
      rig.window.statuses,
      (Texts{"Checking for Updates....", "Conected to server, requesting data...",
             "Checking for KESTREL updates...", "Update Check Success - An Update is Available.",
             "Success. 1 KESTREL detections added!"}));
  EXPECT_EQ(rig.AddedDigests(), (Texts{kDigestA}));
  EXPECT_TRUE(rig.sim.machine.shellOpens.empty());
}

TEST(UpdateExchange, NoAnswerAtAllMakesTheWindowReadyAfter17SecondsOfItsClock) {
  ExchangeRig rig;
  rig.Start(rig.Loopback());
  ASSERT_TRUE(rig.PumpUntil([&] { return rig.host.Requests().size() == 1; }));
  rig.Advance(16999);
  EXPECT_FALSE(rig.Ready());
  EXPECT_EQ(rig.host.Requests().size(), 2u);
  rig.Advance(1);
  EXPECT_TRUE(rig.Ready());

  EXPECT_EQ(rig.window.statuses,
            (Texts{"Checking for Updates....", "Conected to server, requesting data...",
                   "Checking for Update Failed", "Checking for KESTREL updates...",
                   "Downloading KESTREL updates failed."}));
  EXPECT_EQ(rig.sim.host.prog1,
            (std::vector<double>{0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 0, 0}));
  EXPECT_EQ(rig.exchange->CheckTicks(), 11);
  EXPECT_EQ(rig.EnableGuiCalls(), 1);
  EXPECT_TRUE(rig.AddedDigests().empty());
}

TEST(UpdateExchange, HostClosingTheFeedEarlyEndsItOnceAndNothingReachesALaterRun) {
  ExchangeRig rig;
  rig.host.Serve(kVersionCheckPath, Whole(CheckBody("4.23", "7.00")));
  HostAnswer cut = Whole(kDigestA + "\r\n" + kDigestB + "\r\n\r\r\n");
  cut.pieces[0].resize(cut.pieces[0].size() - 20);
  cut.close = true;
  rig.host.Serve(kFeedPath, cut);
  rig.Start(rig.Loopback());
  ASSERT_TRUE(rig.PumpUntil([&] { return rig.Ready(); }));
  EXPECT_EQ(rig.window.now, 0);
  EXPECT_EQ(rig.window.statuses.back(), "Downloading KESTREL updates failed.");
  EXPECT_FALSE(rig.window.Enabled(UpdateTimer::Timer5));

  // START: the run makes the window busy and pumps messages for a while.
  rig.sim.host.SetTerm(false);
  rig.Advance(10000);
  EXPECT_FALSE(rig.Ready());
  EXPECT_EQ(rig.EnableGuiCalls(), 1);
  EXPECT_EQ(rig.window.enableCommandsCalls, 1);
  EXPECT_EQ(rig.window.statuses.size(), 5u);
  EXPECT_TRUE(rig.AddedDigests().empty());
}

TEST(UpdateExchange, BrokenAnswersFailWithoutChangingKnownDigests) {
  // The check cut short by the host, or closed before any data, fails at
  // once; the feed lacks its end marker (with and without any CR LF) and is
  // reported by its time-out.
  const std::vector<HostAnswer> checks = {
      HostAnswer{{"HTTP/1.1 200 OK\r\n\r\nVersion: 4.2"}, {}, true},
      HostAnswer{{}, {}, true},
  };
  for (const HostAnswer& check : checks) {
    for (const std::string& feed : {kDigestA + "\r\n" + kDigestB + "\r\n", kDigestA}) {
      ExchangeRig rig;
      rig.host.Serve(kVersionCheckPath, check);
      rig.host.Serve(kFeedPath, Whole(feed));
      rig.Start(rig.Loopback());
      ASSERT_TRUE(rig.PumpUntil([&] { return rig.window.statuses.size() == 4; })) << feed;
      rig.Settle();
      EXPECT_EQ(rig.window.statuses.size(), 4u) << feed;
      EXPECT_FALSE(rig.Ready()) << feed;
      EXPECT_EQ(rig.window.now, 0);
      rig.Advance(5000);
      EXPECT_EQ(rig.window.statuses,
                (Texts{"Checking for Updates....", "Conected to server, requesting data...",
                       "Checking for Update Failed", "Checking for KESTREL updates...",
                       "Downloading KESTREL updates failed."}))
          << feed;
      EXPECT_EQ(rig.host.Requests().size(), 2u);
      EXPECT_TRUE(rig.AddedDigests().empty());
    }
  }
}

TEST(UpdateExchange, ACheckAnswerAfterItsTimeOutChangesNothing) {
  ExchangeRig rig;
  HostAnswer late = Whole(CheckBody("4.24", "7.00"));
  late.held = true;
  rig.host.Serve(kVersionCheckPath, late);
  rig.Start(rig.Loopback());
  ASSERT_TRUE(rig.PumpUntil([&] { return rig.host.Requests().size() == 1; }));
  rig.Advance(12000);
  ASSERT_EQ(rig.window.statuses.back(), "Checking for KESTREL updates...");
  // Let go, the answer would reach a check socket that was left open.
  rig.host.ReleaseHeld();
  rig.Settle();
  rig.Settle();
  EXPECT_EQ(rig.window.statuses,
            (Texts{"Checking for Updates....", "Conected to server, requesting data...",
                   "Checking for Update Failed", "Checking for KESTREL updates..."}));
  EXPECT_TRUE(rig.sim.host.boxes.empty());
  EXPECT_EQ(rig.host.Requests().size(), 2u);
}

TEST(UpdateExchange, RefusedUnresolvableOrUnusableHostsEndByBothTimeOuts) {
  const net::test::RefusingPort refusing;
  for (const UpdateTarget& target :
       {UpdateTarget{"127.0.0.1", refusing.Port(), {}},
        UpdateTarget{"qlx-no-such-host.invalid", 80, {}}, UpdateTarget{"", 0, {}}}) {
    ExchangeRig rig;
    rig.Start(target);
    rig.Advance(16999);
    EXPECT_FALSE(rig.Ready()) << target.host;
    rig.Advance(1);
    EXPECT_TRUE(rig.Ready()) << target.host;
    EXPECT_EQ(rig.window.statuses,
              (Texts{"Checking for Updates....", "Checking for Update Failed",
                     "Checking for KESTREL updates...", "Downloading KESTREL updates failed."}))
        << target.host;
    EXPECT_TRUE(rig.host.Requests().empty());
  }
}

}  // namespace
}  // namespace quellix::update::test
