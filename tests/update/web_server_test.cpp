// The exchange against a real web server serving what tools/quellix-feed
// wrote, signed. tests/update/nginx_test.sh starts nginx on loopback and
// names it in QLX_WEB_SERVER ("127.0.0.1:port"), with the digests it serves,
// in order, in QLX_WEB_DIGESTS (separated by commas), the publisher's public
// key file in QLX_WEB_FEED_KEY, and a second server whose feed was changed
// by one byte after signing in QLX_WEB_TAMPERED_SERVER. The program finds
// the server and the key through its machine-wide settings, as a site would
// point it there.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "tests/update/ExchangeRig.h"

namespace quellix::update::test {
namespace {

std::vector<std::string> SplitAtCommas(const std::string& text) {
  std::vector<std::string> parts;
  std::istringstream stream(text);
  for (std::string part; std::getline(stream, part, ',');) parts.push_back(part);
  return parts;
}

std::string Setting(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : value;
}

// Runs the exchange against the server with the publisher's key set.
void RunAgainst(ExchangeRig& rig, const std::string& server) {
  std::ifstream keyFile(Setting("QLX_WEB_FEED_KEY"), std::ios::binary);
  const std::vector<std::uint8_t> key{std::istreambuf_iterator<char>(keyFile),
                                      std::istreambuf_iterator<char>()};
  ASSERT_FALSE(key.empty()) << "no key in QLX_WEB_FEED_KEY";
  rig.sim.machine.registry.SetString("HKLM\\Software\\Quellix\\QLX", "UpdateHost", server);
  rig.sim.machine.registry.SetValue("HKLM\\Software\\Quellix\\QLX", "FeedKey", platform::kRegBinary,
                                    key);
  rig.Start(ReadUpdateTarget(rig.sim.platform));
  ASSERT_TRUE(rig.PumpUntil([&] { return rig.Ready(); }));
}

TEST(UpdateExchangeThroughAWebServer, ReadsTheSignedAnswersQuellixFeedWrote) {
  if (Setting("QLX_WEB_SERVER").empty()) GTEST_SKIP() << "run by tests/update/nginx_test.sh";
  ExchangeRig rig;
  RunAgainst(rig, Setting("QLX_WEB_SERVER"));
  const std::vector<std::string> expected = SplitAtCommas(Setting("QLX_WEB_DIGESTS"));
  EXPECT_EQ(rig.window.statuses,
            (std::vector<std::string>{
                "Checking for Updates....", "Conected to server, requesting data...",
                "Update Check Success - No Update Available.", "Checking for KESTREL updates...",
                FeedAddedStatus(expected.size())}));
  EXPECT_EQ(rig.AddedDigests(), expected);
}

TEST(UpdateExchangeThroughAWebServer, RefusesAFeedChangedAfterItWasSigned) {
  if (Setting("QLX_WEB_TAMPERED_SERVER").empty()) {
    GTEST_SKIP() << "run by tests/update/nginx_test.sh";
  }
  ExchangeRig rig;
  RunAgainst(rig, Setting("QLX_WEB_TAMPERED_SERVER"));
  EXPECT_EQ(rig.window.statuses.back(), kStatusFeedRefused);
  EXPECT_TRUE(rig.AddedDigests().empty());
}

}  // namespace
}  // namespace quellix::update::test
