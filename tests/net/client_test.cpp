// The TCP client: states, the Connect event, failures through the Error event.
#include <gtest/gtest.h>

#include "net/modEventSocket.h"
#include "tests/net/SocketTestSupport.h"

namespace net::test {
namespace {

// A port on 127.0.0.1 where nothing listens.
int RefusingPort() {
  sys::SocketNumber socket = sys::kNoSocket;
  EXPECT_EQ(sys::CreateSocket(false, socket), 0);
  sys::Address loopback = 0;
  EXPECT_TRUE(sys::ParseDotted("127.0.0.1", loopback));
  EXPECT_EQ(sys::Bind(socket, loopback, 0), 0);
  sys::Address bound = 0;
  int port = 0;
  EXPECT_EQ(sys::LocalName(socket, bound, port), 0);
  sys::CloseSocket(socket);
  return port;
}

TEST(SocketClient, ConnectByNameResolvesThenConnects) {
  Recorder serverEvents, events;
  CEventSocket server(&serverEvents), client(&events), accepted;
  events.socket = &client;
  serverEvents.onConnectionRequest = [&](std::int32_t id) { accepted.Accept(id); };
  ListenOnLoopback(server);
  const StateTrail trail(client);
  client.Connect("localhost", server.LocalPort());
  EXPECT_EQ(client.State(), StateResolvingHost);
  ASSERT_TRUE(PumpUntil([&] { return events.Count("Connect") == 1; }));
  EXPECT_EQ(trail.States(),
            (std::vector<std::int32_t>{StateClosed, StateResolvingHost, StateHostResolved,
                                       StateConnecting, StateConnected}));
  EXPECT_EQ(events.events, std::vector<std::string>{"Connect"});
  EXPECT_EQ(events.statesAtEvents, std::vector<std::int32_t>{StateConnected});
  EXPECT_EQ(client.RemoteHostIP(), "127.0.0.1");
  EXPECT_EQ(client.RemotePort(), server.LocalPort());
  EXPECT_EQ(client.RemoteHost(), "localhost");
}

TEST(SocketClient, ConnectionByNameReportsDataAndThePeersClose) {
  Recorder serverEvents, events;
  CEventSocket server(&serverEvents), client(&events), accepted;
  events.socket = &client;
  serverEvents.onConnectionRequest = [&](std::int32_t id) { accepted.Accept(id); };
  Variant text;
  events.onDataArrival = [&](std::int32_t) { client.GetData(text, vbString); };
  ListenOnLoopback(server);
  client.Connect("localhost", server.LocalPort());
  ASSERT_TRUE(PumpUntil(
      [&] { return client.State() == StateConnected && accepted.State() == StateConnected; }));
  accepted.SendData("hello");
  accepted.CloseSck();
  ASSERT_TRUE(PumpUntil([&] { return events.Count("CloseSck") == 1; }));
  EXPECT_EQ(events.events, (std::vector<std::string>{"Connect", "DataArrival 5", "CloseSck"}));
  EXPECT_EQ(text, Variant("hello"));
}

TEST(SocketClient, NameIsResolvingWhileTheLookupRunsAndResolvedUntilTheConnectionStarts) {
  Recorder serverEvents, events;
  CEventSocket server(&serverEvents), client(&events), accepted;
  serverEvents.onConnectionRequest = [&](std::int32_t id) { accepted.Accept(id); };
  ListenOnLoopback(server);
  // The local address the connection is bound to is looked up after the name
  // is resolved and before the attempt starts; note the state at that moment.
  std::vector<std::int32_t> statesAtBind;
  const seams::ScopedHostNameQuery query([&](std::string& name) {
    statesAtBind.push_back(client.State());
    return sys::HostName(name);
  });
  client.Connect("localhost", server.LocalPort());
  EXPECT_EQ(client.State(), StateResolvingHost);
  // Nothing is bound while the lookup runs.
  EXPECT_TRUE(statesAtBind.empty());
  ASSERT_TRUE(PumpUntil([&] { return events.Count("Connect") == 1; }));
  EXPECT_EQ(statesAtBind, std::vector<std::int32_t>{StateHostResolved});
}

TEST(SocketClient, ConnectByAddressSkipsTheLookup) {
  Recorder serverEvents, events;
  CEventSocket server(&serverEvents), client(&events), accepted;
  serverEvents.onConnectionRequest = [&](std::int32_t id) { accepted.Accept(id); };
  ListenOnLoopback(server);
  const StateTrail trail(client);
  client.Connect("127.0.0.1", server.LocalPort());
  EXPECT_EQ(client.State(), StateConnecting);
  ASSERT_TRUE(PumpUntil([&] { return events.Count("Connect") == 1; }));
  EXPECT_EQ(trail.States(),
            (std::vector<std::int32_t>{StateClosed, StateConnecting, StateConnected}));
  EXPECT_NE(client.LocalPort(), 0);
}

TEST(SocketClient, RefusedConnectionRaisesErrorFromPostSocket) {
  Recorder events;
  CEventSocket client(&events);
  events.socket = &client;
  client.Connect("127.0.0.1", RefusingPort());
  ASSERT_TRUE(PumpUntil([&] { return !events.events.empty(); }));
  EXPECT_EQ(events.events, std::vector<std::string>{
                               "Error 10061 Connection refused. CEventSocket.PostSocket 0 [] 0 "
                               "cancel"});
  EXPECT_EQ(client.State(), StateError);
  EXPECT_TRUE(events.boxes.empty());
  // Only CloseSck leaves the error state, and the object can be used again.
  client.CloseSck();
  EXPECT_EQ(client.State(), StateClosed);
  EXPECT_EQ(client.SocketHandle(), -1);
}

TEST(SocketClient, UnresolvableNameRaisesHostNotFound) {
  Recorder events;
  CEventSocket client(&events);
  client.Connect("qlx-no-such-host.invalid", 80);
  ASSERT_TRUE(PumpUntil([&] { return !events.events.empty(); }));
  EXPECT_EQ(events.events,
            std::vector<std::string>{
                "Error 11001 Host not found. CEventSocket.ConnectToIP 0 [] 0 cancel"});
  EXPECT_EQ(client.State(), StateError);
}

TEST(SocketClient, ErrorHandlerThatClearsCancelDisplayGetsTheBox) {
  Recorder quiet, showing;
  showing.onError = [](bool& cancelDisplay) { cancelDisplay = false; };
  CEventSocket left(&quiet), cleared(&showing);
  const int port = RefusingPort();
  left.Connect("127.0.0.1", port);
  cleared.Connect("127.0.0.1", port);
  ASSERT_TRUE(PumpUntil([&] { return !quiet.events.empty() && !showing.events.empty(); }));
  EXPECT_TRUE(quiet.boxes.empty());
  EXPECT_EQ(showing.boxes,
            std::vector<std::string>{"CEventSocket.PostSocket: Connection refused."});
}

TEST(SocketClient, CloseDuringLookupCancelsIt) {
  Recorder serverEvents, events;
  CEventSocket server(&serverEvents), client(&events), first, second;
  serverEvents.onConnectionRequest = [&](std::int32_t id) {
    (first.State() == StateClosed ? first : second).Accept(id);
  };
  ListenOnLoopback(server);
  client.Connect("localhost", server.LocalPort());
  ASSERT_EQ(client.State(), StateResolvingHost);
  client.CloseSck();
  EXPECT_EQ(client.State(), StateClosed);
  // Connect again by name: exactly one connection comes of the two lookups.
  client.Connect("localhost", server.LocalPort());
  ASSERT_TRUE(PumpUntil([&] { return events.Count("Connect") == 1; }));
  ASSERT_TRUE(PumpUntil([&] { return serverEvents.Count("ConnectionRequest") == 1; }));
  client.CloseSck();
  // A third round proves the stale completion did not start a second attempt.
  client.Connect("127.0.0.1", server.LocalPort());
  ASSERT_TRUE(PumpUntil([&] { return events.Count("Connect") == 2; }));
  ASSERT_TRUE(PumpUntil([&] { return serverEvents.Count("ConnectionRequest") == 2; }));
  EXPECT_EQ(events.events, (std::vector<std::string>{"Connect", "Connect"}));
}

TEST(SocketClient, PeerCloseGivesClosingThenCloseSckReturnsToClosed) {
  Pair pair;
  ASSERT_TRUE(pair.Open());
  pair.accepted.CloseSck();
  ASSERT_TRUE(PumpUntil([&] { return pair.clientEvents.Count("CloseSck") == 1; }));
  EXPECT_EQ(pair.client.State(), StateClosing);
  pair.client.CloseSck();
  EXPECT_EQ(pair.client.State(), StateClosed);
  EXPECT_EQ(pair.client.RemoteHostIP(), "");
  EXPECT_EQ(pair.client.RemoteHost(), "127.0.0.1");
  EXPECT_EQ(pair.client.RemotePort(), pair.server.LocalPort());
  // Reusable: a second connection on the same object.
  pair.client.Connect();
  ASSERT_TRUE(PumpUntil([&] { return pair.clientEvents.Count("Connect") == 2; }));
}

TEST(SocketClient, HandlerMayCloseTheObjectThatRaisedTheEvent) {
  Pair pair;
  pair.acceptedEvents.onDataArrival = [&](std::int32_t) { pair.accepted.CloseSck(); };
  ASSERT_TRUE(pair.Open());
  pair.client.SendData("one");
  ASSERT_TRUE(PumpUntil([&] { return pair.client.State() == StateClosing; }));
  EXPECT_EQ(pair.accepted.State(), StateClosed);
  EXPECT_EQ(pair.acceptedEvents.events, std::vector<std::string>{"DataArrival 3"});
}

}  // namespace
}  // namespace net::test
