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

TEST(SocketRegistry, UnregisteringForgetsTheSocketEvenWhenTheNotifierWillNotGo) {
  CEventSocket socket;
  socket.Bind(0, "127.0.0.1");
  const auto handle = socket.SocketHandle();
  {
    seams::PlatformCalls calls;
    calls.destroyNotifier = [] {
      sys::DestroyNotifier();
      return false;
    };
    const seams::ScopedPlatformCalls refusing(calls);
    EXPECT_NO_THROW(socket.CloseSck());
  }
  EXPECT_EQ(socket.SocketHandle(), -1);
  EXPECT_EQ(socket.State(), StateClosed);
  EXPECT_FALSE(modEventSocket::IsSocketRegistered(handle));
  EXPECT_FALSE(modEventSocket::HasNotifier());
  // The next socket gets a notifier of its own, which delivers.
  Pair pair;
  ASSERT_TRUE(pair.Open());
}

TEST(SocketRegistry, NotificationsOfClosedSocketsReachNoObject) {
  Pair pair;
  ASSERT_TRUE(pair.Open());
  const auto closed = pair.accepted.SocketHandle();
  pair.accepted.CloseSck();
  // The object takes a new connection at once, while its old number is kept
  // busy so that the new socket cannot have it.
  sys::SocketNumber busy = sys::kNoSocket;
  ASSERT_EQ(sys::CreateSocket(false, busy), 0);
  CEventSocket second;
  second.Connect("127.0.0.1", pair.server.LocalPort());
  ASSERT_TRUE(PumpUntil([&] { return pair.accepted.State() == StateConnected; }));
  ASSERT_NE(pair.accepted.SocketHandle(), closed);
  pair.acceptedEvents.events.clear();
  // A late close and read of the old socket, as the platform may still bring them.
  modEventSocket::Dispatch(sys::kMsgSocket, static_cast<std::uintptr_t>(closed), sys::kEventClose);
  modEventSocket::Dispatch(sys::kMsgSocket, static_cast<std::uintptr_t>(closed), sys::kEventRead);
  EXPECT_EQ(pair.accepted.State(), StateConnected);
  EXPECT_EQ(pair.acceptedEvents.events, std::vector<std::string>{});
  sys::CloseSocket(busy);
}

TEST(SocketRegistry, CancelledLookupsReachNoObject) {
  // Lookups that never finish on their own: the object stays in state 4 and
  // would act on any completion that reached it.
  std::vector<sys::RequestHandle> started;
  seams::PlatformCalls calls;
  calls.startLookup = [&](const std::string&, sys::HostBuffer&, sys::RequestHandle& request) {
    request = static_cast<sys::RequestHandle>(0x7100 + started.size());
    started.push_back(request);
    return 0;
  };
  const seams::ScopedPlatformCalls lookups(calls);
  Recorder events;
  CEventSocket client(&events);
  client.Connect("qlx-first.invalid", 80);
  client.CloseSck();
  client.Connect("qlx-second.invalid", 80);
  ASSERT_EQ(started.size(), 2u);
  ASSERT_EQ(client.State(), StateResolvingHost);
  modEventSocket::Dispatch(sys::kMsgResolved, static_cast<std::uintptr_t>(started[0]), 0);
  EXPECT_EQ(client.State(), StateResolvingHost);
  EXPECT_EQ(events.events, std::vector<std::string>{});
  // The running one does reach it: a failed lookup ends in the error state.
  modEventSocket::Dispatch(sys::kMsgResolved, static_cast<std::uintptr_t>(started[1]),
                           static_cast<std::intptr_t>(11001) << 16);
  EXPECT_EQ(client.State(), StateError);
  EXPECT_EQ(events.events,
            std::vector<std::string>{
                "Error 11001 Host not found. CEventSocket.ConnectToIP 0 [] 0 cancel"});
}

TEST(SocketRegistry, HolderDroppedBeforeAnyoneClaimedItClosesItsConnection) {
  Recorder serverEvents, clientEvents;
  CEventSocket server(&serverEvents), client(&clientEvents);
  ListenOnLoopback(server);
  std::weak_ptr<CEventSocket> dropped;
  serverEvents.onConnectionRequest = [&](std::int32_t id) {
    ASSERT_TRUE(modEventSocket::IsAcceptPending(id));
    dropped = modEventSocket::GetAcceptHolder(id);
    modEventSocket::UnregisterAccept(id);
    EXPECT_FALSE(modEventSocket::IsAcceptPending(id));
    EXPECT_TRUE(dropped.expired());
  };
  client.Connect("127.0.0.1", server.LocalPort());
  ASSERT_TRUE(PumpUntil([&] { return clientEvents.Count("CloseSck") == 1; }));
  EXPECT_EQ(clientEvents.events, (std::vector<std::string>{"Connect", "CloseSck"}));
}

}  // namespace
}  // namespace net::test
