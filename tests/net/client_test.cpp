// The TCP client: states, the Connect event, failures through the Error event.
#include <gtest/gtest.h>

#include "net/modEventSocket.h"
#include "tests/net/RefusingPort.h"
#include "tests/net/SocketTestSupport.h"

namespace net::test {
namespace {

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
  const RefusingPort refusing;
  client.Connect("127.0.0.1", refusing.Port());
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
  const RefusingPort refusing;
  left.Connect("127.0.0.1", refusing.Port());
  cleared.Connect("127.0.0.1", refusing.Port());
  ASSERT_TRUE(PumpUntil([&] { return !quiet.events.empty() && !showing.events.empty(); }));
  EXPECT_TRUE(quiet.boxes.empty());
  EXPECT_EQ(showing.boxes,
            std::vector<std::string>{"CEventSocket.PostSocket: Connection refused."});
}

TEST(SocketClient, CloseDuringLookupCancelsIt) {
  Recorder serverEvents, events, controlEvents;
  CEventSocket server(&serverEvents), client(&events), control(&controlEvents), accepted;
  serverEvents.onConnectionRequest = [&](std::int32_t id) { accepted.Accept(id); };
  ListenOnLoopback(server);
  client.Connect("localhost", server.LocalPort());
  ASSERT_EQ(client.State(), StateResolvingHost);
  client.CloseSck();
  EXPECT_EQ(client.State(), StateClosed);
  {
    // The next lookup never finishes, so the object waits in state 4, where a
    // completion of the cancelled lookup would make it connect.
    seams::PlatformCalls calls;
    calls.startLookup = [](const std::string&, sys::HostBuffer&, sys::RequestHandle& request) {
      request = 0x7200;
      return 0;
    };
    const seams::ScopedPlatformCalls stalled(calls);
    client.Connect("localhost", server.LocalPort());
  }
  // A lookup of the same name started later has finished: the cancelled one
  // has had its time.
  const RefusingPort refusing;
  control.Connect("localhost", refusing.Port());
  ASSERT_TRUE(PumpUntil([&] { return !controlEvents.events.empty(); }));
  for (int round = 0; round < 10; ++round) sys::DoEvents(10);
  EXPECT_EQ(client.State(), StateResolvingHost);
  EXPECT_EQ(events.events, std::vector<std::string>{});
  EXPECT_EQ(serverEvents.Count("ConnectionRequest"), 0);
  // The object connects again.
  client.CloseSck();
  client.Connect("localhost", server.LocalPort());
  ASSERT_TRUE(PumpUntil([&] { return events.Count("Connect") == 1; }));
  EXPECT_EQ(events.events, std::vector<std::string>{"Connect"});
}

TEST(SocketClient, SocketOrLookupThatCannotStartRaisesError) {
  seams::PlatformCalls calls;
  calls.createSocket = [](bool, sys::SocketNumber&) { return 10024; };
  Recorder noSocketEvents, noLookupEvents;
  CEventSocket noSocket(&noSocketEvents), noLookup(&noLookupEvents);
  noSocketEvents.socket = &noSocket;
  noLookupEvents.socket = &noLookup;
  {
    const seams::ScopedPlatformCalls failing(calls);
    noSocket.Connect("127.0.0.1", 80);
  }
  EXPECT_EQ(noSocketEvents.events,
            std::vector<std::string>{
                "Error 10024 Too many open files. CEventSocket.SocketExists 0 [] 0 cancel"});
  EXPECT_EQ(noSocketEvents.statesAtEvents, std::vector<std::int32_t>{StateError});
  EXPECT_EQ(noSocket.SocketHandle(), -1);
  EXPECT_FALSE(modEventSocket::HasNotifier());

  calls = {};
  calls.startLookup = [](const std::string&, sys::HostBuffer&, sys::RequestHandle& request) {
    request = 0;
    return 10055;
  };
  {
    const seams::ScopedPlatformCalls failing(calls);
    noLookup.Connect("localhost", 80);
  }
  EXPECT_EQ(noLookupEvents.events,
            std::vector<std::string>{"Error 10055 No buffer space available. "
                                     "CEventSocket.ResolveIfHostname 0 [] 0 cancel"});
  EXPECT_EQ(noLookupEvents.statesAtEvents, std::vector<std::int32_t>{StateError});
  // Its socket exists, so CloseSck leaves the error state.
  noLookup.CloseSck();
  EXPECT_EQ(noLookup.State(), StateClosed);
}

TEST(SocketClient, AddressThatCannotBeAssignedFailsTheCallerNotTheEvent) {
  Recorder serverEvents, byAddressEvents, byNameEvents;
  CEventSocket server(&serverEvents), byAddress(&byAddressEvents), byName(&byNameEvents);
  ListenOnLoopback(server);
  seams::PlatformCalls calls;
  calls.connect = [](sys::SocketNumber, sys::Address, int) { return 10049; };
  const seams::ScopedPlatformCalls refusing(calls);
  const SocketError error = ErrorOf([&] { byAddress.Connect("127.0.0.1", server.LocalPort()); });
  EXPECT_EQ(error.Number(), 10049);
  EXPECT_EQ(error.Description(), "Cannot assign requested address.");
  EXPECT_EQ(error.Source(), "CEventSocket.ConnectToIP");
  EXPECT_EQ(byAddress.State(), StateConnecting);
  // After a lookup nobody can be told: the notification ends silently.
  const StateTrail trail(byName);
  byName.Connect("localhost", server.LocalPort());
  ASSERT_TRUE(PumpUntil([&] { return byName.State() == StateConnecting; }));
  for (int round = 0; round < 10; ++round) sys::DoEvents(10);
  EXPECT_EQ(trail.States(), (std::vector<std::int32_t>{StateClosed, StateResolvingHost,
                                                       StateHostResolved, StateConnecting}));
  EXPECT_TRUE(byAddressEvents.events.empty());
  EXPECT_TRUE(byNameEvents.events.empty());
  EXPECT_EQ(serverEvents.Count("ConnectionRequest"), 0);
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
