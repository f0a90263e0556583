// The exchange against a real web server serving what tools/quellix-feed
// wrote. tests/update/nginx_test.sh starts nginx on loopback and names it in
// QLX_WEB_SERVER ("127.0.0.1:port"), with the digests it serves, in order,
// in QLX_WEB_DIGESTS (separated by commas). The program finds the server
// through its machine-wide setting, as a site would point it there.
#include <gtest/gtest.h>

#include <cstdlib>
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

TEST(UpdateExchangeThroughAWebServer, ReadsTheAnswersQuellixFeedWrote) {
  const char* server = std::getenv("QLX_WEB_SERVER");
  const char* digests = std::getenv("QLX_WEB_DIGESTS");
  if (server == nullptr || digests == nullptr) GTEST_SKIP() << "run by tests/update/nginx_test.sh";
  ExchangeRig rig;
  rig.sim.machine.registry.SetString("HKLM\\Software\\Quellix\\QLX", "UpdateHost", server);
  rig.Start(ReadUpdateTarget(rig.sim.platform));
  ASSERT_TRUE(rig.PumpUntil([&] { return rig.Ready(); }));

  const std::vector<std::string> expected = SplitAtCommas(digests);
  EXPECT_EQ(rig.window.statuses,
            (std::vector<std::string>{
                "Checking for Updates....", "Conected to server, requesting data...",
                "Update Check Success - No Update Available.", "Checking for KESTREL updates...",
                FeedAddedStatus(expected.size())}));
  EXPECT_EQ(rig.AddedDigests(), expected);
}

}  // namespace
}  // namespace quellix::update::test
