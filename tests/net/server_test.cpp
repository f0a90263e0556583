// The TCP server: connection requests, claiming them with Accept, what
// happens to connections nobody claims and to data that comes before Accept.
#include <gtest/gtest.h>

#include "net/modEventSocket.h"
#include "tests/net/SocketTestSupport.h"

namespace net::test {
namespace {

TEST(SocketServer, AcceptedConnectionCarriesDataBothWays) {
  Pair pair;
  std::string seenInHandler;
  pair.serverEvents.onConnectionRequest = [&](std::int32_t id) {
    seenInHandler = pair.server.RemoteHostIP() + ":" + std::to_string(pair.server.RemotePort());
    pair.accepted.Accept(id);
  };
  pair.serverEvents.socket = &pair.server;
  ListenOnLoopback(pair.server);
  pair.client.Connect("127.0.0.1", pair.server.LocalPort());
  ASSERT_TRUE(PumpUntil([&] {
    return pair.client.State() == StateConnected && pair.accepted.State() == StateConnected;
  }));
  EXPECT_EQ(seenInHandler, "127.0.0.1:" + std::to_string(pair.client.LocalPort()));
  EXPECT_EQ(pair.server.State(), StateListening);
  EXPECT_EQ(pair.accepted.RemotePort(), pair.client.LocalPort());
  EXPECT_EQ(pair.accepted.LocalPort(), pair.server.LocalPort());
  EXPECT_FALSE(modEventSocket::IsAcceptPending(pair.accepted.SocketHandle()));
  pair.accepted.SendData("ping");
  ASSERT_TRUE(PumpUntil([&] { return pair.client.BytesReceived() == 4; }));
  Variant text;
  pair.client.GetData(text, vbString);
  EXPECT_EQ(text, Variant("ping"));
}

TEST(SocketServer, UnclaimedConnectionIsClosedAndListenerValuesRestored) {
  Recorder serverEvents, clientEvents;
  CEventSocket server(&serverEvents), client(&clientEvents);
  server.RemotePort(4321);
  server.RemoteHost("before");
  ListenOnLoopback(server);
  std::string inHandler;
  serverEvents.onConnectionRequest = [&](std::int32_t id) {
    inHandler = server.RemoteHostIP() + ":" + std::to_string(server.RemotePort()) + " " +
                server.RemoteHost();
    EXPECT_TRUE(modEventSocket::IsAcceptPending(id));
  };
  client.Connect("127.0.0.1", server.LocalPort());
  ASSERT_TRUE(PumpUntil([&] { return client.State() == StateClosing; }));
  EXPECT_EQ(inHandler, "127.0.0.1:" + std::to_string(client.LocalPort()) + " ");
  EXPECT_EQ(server.RemotePort(), 4321);
  EXPECT_EQ(server.RemoteHost(), "before");
  EXPECT_EQ(server.RemoteHostIP(), "");
  EXPECT_EQ(clientEvents.events, (std::vector<std::string>{"Connect", "CloseSck"}));
  EXPECT_EQ(server.State(), StateListening);
}

TEST(SocketServer, DataAndCloseBeforeAcceptAreDeliveredByIt) {
  Recorder serverEvents, clientEvents, claimedEvents;
  CEventSocket server(&serverEvents), client(&clientEvents), claimed(&claimedEvents);
  claimedEvents.socket = &claimed;
  std::string received;
  claimedEvents.onDataArrival = [&](std::int32_t) {
    Variant text;
    claimed.GetData(text, vbString);
    received += text.Get<std::string>();
  };
  ListenOnLoopback(server);
  serverEvents.onConnectionRequest = [&](std::int32_t id) {
    // The client sends and closes while the request is still unclaimed.
    ASSERT_TRUE(PumpUntil([&] { return client.State() == StateConnected; }));
    client.SendData("held back");
    client.CloseSck();
    ASSERT_TRUE(PumpUntil([&] {
      auto holder = modEventSocket::GetAcceptHolder(id);
      return holder && holder->State() == StateClosing;
    }));
    claimed.Accept(id);
  };
  client.Connect("127.0.0.1", server.LocalPort());
  ASSERT_TRUE(PumpUntil([&] { return claimedEvents.Count("CloseSck") == 1; }));
  EXPECT_EQ(claimedEvents.events, (std::vector<std::string>{"DataArrival 9", "CloseSck"}));
  EXPECT_EQ(claimedEvents.statesAtEvents,
            (std::vector<std::int32_t>{StateConnected, StateClosing}));
  EXPECT_EQ(received, "held back");
  EXPECT_EQ(claimed.State(), StateClosing);
}

TEST(SocketServer, AcceptOfASocketOwnedByAnotherObjectFails) {
  Pair pair;
  ASSERT_TRUE(pair.Open());
  CEventSocket intruder;
  const SocketError error = ErrorOf([&] { intruder.Accept(pair.accepted.SocketHandle()); });
  EXPECT_EQ(error.Number(), 40006);
  EXPECT_EQ(error.Source(), "CEventSocket.Accept");
  EXPECT_EQ(intruder.SocketHandle(), -1);
  EXPECT_EQ(intruder.State(), StateClosed);
  // The owner still has its connection.
  pair.client.SendData("still here");
  ASSERT_TRUE(PumpUntil([&] { return pair.accepted.BytesReceived() == 10; }));
}

TEST(SocketServer, ListenerServesSeveralRequests) {
  Recorder serverEvents;
  CEventSocket server(&serverEvents), first, second, claimedFirst, claimedSecond;
  ListenOnLoopback(server);
  int claimed = 0;
  serverEvents.onConnectionRequest = [&](std::int32_t id) {
    (claimed++ == 0 ? claimedFirst : claimedSecond).Accept(id);
  };
  first.Connect("127.0.0.1", server.LocalPort());
  second.Connect("127.0.0.1", server.LocalPort());
  ASSERT_TRUE(PumpUntil([&] {
    return claimedFirst.State() == StateConnected && claimedSecond.State() == StateConnected;
  }));
  EXPECT_EQ(server.State(), StateListening);
}

}  // namespace
}  // namespace net::test
