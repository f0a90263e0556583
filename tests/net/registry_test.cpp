// The registry's life: the layer follows the live objects, the notifier the
// registered sockets; error texts.
#include <gtest/gtest.h>

#include <memory>

#include "net/modEventSocket.h"
#include "tests/net/SocketTestSupport.h"

namespace net::test {
namespace {

TEST(SocketRegistry, LayerRunsFromFirstObjectToLastAndStartsAgain) {
  ASSERT_FALSE(modEventSocket::IsLayerStarted());
  auto first = std::make_unique<CEventSocket>();
  EXPECT_TRUE(modEventSocket::IsLayerStarted());
  auto second = std::make_unique<CEventSocket>();
  first.reset();
  EXPECT_TRUE(modEventSocket::IsLayerStarted());
  second.reset();
  EXPECT_FALSE(modEventSocket::IsLayerStarted());
  CEventSocket third;
  EXPECT_TRUE(modEventSocket::IsLayerStarted());
}

TEST(SocketRegistry, NotifierFollowsTheRegisteredSockets) {
  CEventSocket first, second;
  EXPECT_FALSE(modEventSocket::HasNotifier());
  first.Bind(0, "127.0.0.1");
  EXPECT_TRUE(modEventSocket::HasNotifier());
  EXPECT_TRUE(modEventSocket::IsSocketRegistered(first.SocketHandle()));
  second.Bind(0, "127.0.0.1");
  const auto handle = first.SocketHandle();
  first.CloseSck();
  EXPECT_FALSE(modEventSocket::IsSocketRegistered(handle));
  EXPECT_TRUE(modEventSocket::HasNotifier());
  second.CloseSck();
  EXPECT_FALSE(modEventSocket::HasNotifier());
  // A later socket gets a new notifier, and it delivers.
  Pair pair;
  ASSERT_TRUE(pair.Open());
  EXPECT_TRUE(modEventSocket::HasNotifier());
}

TEST(SocketRegistry, ErrorTexts) {
  EXPECT_EQ(modEventSocket::GetErrorDescription(10059), "Unknown error.");
  EXPECT_EQ(modEventSocket::GetErrorDescription(11001), "Host not found.");
  EXPECT_EQ(modEventSocket::GetErrorDescription(10061), "Connection refused.");
  EXPECT_EQ(modEventSocket::GetErrorDescription(10040), "Message too long.");
  EXPECT_EQ(modEventSocket::GetErrorDescription(11004),
            "Valid name, no data record of requested type.");
  EXPECT_EQ(modEventSocket::GetErrorDescription(0), "Unknown error.");
}

TEST(SocketRegistry, NotificationsOfClosedSocketsReachNoObject) {
  Pair pair;
  ASSERT_TRUE(pair.Open());
  // Data is on its way to the accepted object, which closes before it is pumped.
  pair.client.SendData("late");
  pair.accepted.CloseSck();
  // Unread data makes the close abortive: the client sees a reset or a close.
  ASSERT_TRUE(PumpUntil([&] { return pair.client.State() != StateConnected; }));
  EXPECT_EQ(pair.acceptedEvents.events, std::vector<std::string>{});
}

}  // namespace
}  // namespace net::test
