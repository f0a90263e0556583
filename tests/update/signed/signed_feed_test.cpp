// The feed with the publisher's key set: its signature is asked for after
// the feed's answer, and only a feed whose exact body the publisher signed
// adds anything; every other answer ends with the refusal, once.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "quellix/update/FeedSignature.h"
#include "quellix/update/UpdateRequests.h"
#include "tests/update/ExchangeRig.h"
#include "tests/update/signed/TestPublisher.h"

namespace quellix::update::test {
namespace {

using Texts = std::vector<std::string>;

const std::string kDigestA = "0123456789ABCDEF0123456789ABCDEF";
const std::string kDigestB = "FEDCBA9876543210FEDCBA9876543210";
const std::string kFeedBody = kDigestA + "\r\n" + kDigestB + "\r\n\r\r\n";

HostAnswer Whole(const std::string& body) { return HostAnswer{{OkAnswer(body)}}; }

UpdateTarget Signed(const ExchangeRig& rig, std::vector<std::uint8_t> key) {
  UpdateTarget target = rig.Loopback();
  target.feedKey = std::move(key);
  return target;
}

void ServeCheck(ExchangeRig& rig) {
  rig.host.Serve(kVersionCheckPath, Whole("Version: 4.23\r\nVDB: 7.00\r\n"));
}

TEST(SignedFeed, AFeedTheKeySignedIsAddedAfterItsSignatureWasAsked) {
  const TestPublisher& publisher = TestPublisher::Get();
  ExchangeRig rig;
  ServeCheck(rig);
  rig.host.Serve(kFeedPath, Whole(kFeedBody));
  rig.host.Serve(kFeedSignaturePath, Whole(publisher.SignatureText(kFeedBody)));
  rig.Start(Signed(rig, publisher.PublicKeyBlob()));
  ASSERT_TRUE(rig.PumpUntil([&] { return rig.Ready(); }));

  const std::string hostLine = "127.0.0.1:" + std::to_string(rig.host.Port());
  EXPECT_EQ(rig.host.Requests(), (Texts{VersionCheckRequest(hostLine), FeedRequest(hostLine),
                                        SignatureRequest(hostLine)}));
  EXPECT_EQ(rig.window.statuses.back(), "Success. 2 KESTREL detections added!");
  EXPECT_EQ(rig.AddedDigests(), (Texts{kDigestA, kDigestB}));
  EXPECT_FALSE(rig.window.Enabled(UpdateTimer::Timer5));
  EXPECT_TRUE(rig.sim.platform.OpenHandles().empty());
  rig.Advance(10000);
  EXPECT_EQ(rig.EnableGuiCalls(), 1);
}

TEST(SignedFeed, AFeedTheKeyDidNotSignAddsNothing) {
  const TestPublisher& publisher = TestPublisher::Get();
  const std::string signature = publisher.SignatureText(kFeedBody);
  std::string changed = kFeedBody;
  changed[7] = changed[7] == '7' ? '8' : '7';  // still a digest, no longer the one signed
  struct Case {
    std::string name;
    std::string feed;
    HostAnswer signature;
    std::vector<std::uint8_t> key;
  };
  const std::vector<Case> cases = {
      {"one byte changed", changed, Whole(signature), publisher.PublicKeyBlob()},
      {"another feed's signature", kFeedBody, Whole(publisher.SignatureText("\r\r\n")),
       publisher.PublicKeyBlob()},
      {"a truncated signature", kFeedBody,
       Whole(signature.substr(0, signature.size() - 6) + "\r\n"), publisher.PublicKeyBlob()},
      {"no signature", kFeedBody,
       HostAnswer{{"HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nNot Found"}},
       publisher.PublicKeyBlob()},
      {"a signature file that is no signature", kFeedBody, Whole("unsigned\r\n"),
       publisher.PublicKeyBlob()},
      {"the host closing instead", kFeedBody, HostAnswer{{}, {}, true}, publisher.PublicKeyBlob()},
      {"a key that is set but unusable", kFeedBody, Whole(signature), {}},
  };
  for (const Case& c : cases) {
    ExchangeRig rig;
    ServeCheck(rig);
    rig.host.Serve(kFeedPath, Whole(c.feed));
    rig.host.Serve(kFeedSignaturePath, c.signature);
    rig.Start(Signed(rig, c.key));
    ASSERT_TRUE(rig.PumpUntil([&] { return rig.Ready(); })) << c.name;
    EXPECT_EQ(rig.window.statuses.back(), kStatusFeedRefused) << c.name;
    EXPECT_TRUE(rig.AddedDigests().empty()) << c.name;
    EXPECT_EQ(rig.host.Requests().size(), 3u) << c.name;
    EXPECT_TRUE(rig.sim.platform.OpenHandles().empty()) << c.name;
    rig.Advance(10000);
    EXPECT_EQ(rig.window.statuses.back(), kStatusFeedRefused) << c.name;
    EXPECT_EQ(rig.EnableGuiCalls(), 1) << c.name;
  }
}

TEST(SignedFeed, ASignatureThatNeverComesEndsByTheFeedsTimeOut) {
  const TestPublisher& publisher = TestPublisher::Get();
  ExchangeRig rig;
  ServeCheck(rig);
  rig.host.Serve(kFeedPath, Whole(kFeedBody));
  rig.Start(Signed(rig, publisher.PublicKeyBlob()));
  ASSERT_TRUE(rig.PumpUntil([&] { return rig.host.Requests().size() == 3; }));
  rig.Advance(4999);
  EXPECT_FALSE(rig.Ready());
  rig.Advance(1);
  EXPECT_TRUE(rig.Ready());
  EXPECT_EQ(rig.window.statuses.back(), kStatusFeedFailed);
  EXPECT_TRUE(rig.AddedDigests().empty());
}

}  // namespace
}  // namespace quellix::update::test
