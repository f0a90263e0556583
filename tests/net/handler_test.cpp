// What an event handler may do to the object that raised its event: end it,
// or fail. Neither reaches past the handler: the object raises nothing more,
// and the pump goes on.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "net/modEventSocket.h"
#include "tests/net/RefusingPort.h"
#include "tests/net/SocketTestSupport.h"

namespace net::test {
namespace {

bool StartsWith(const std::string& text, const std::string& start) {
  return text.compare(0, start.size(), start) == 0;
}

TEST(SocketHandlers, ClientMayEndItselfInEachOfItsHandlers) {
  for (const std::string ending :
       {"Connect", "SendProgress", "SendComplete", "DataArrival", "CloseSck"}) {
    SCOPED_TRACE(ending);
    Recorder serverEvents, events;
    CEventSocket server(&serverEvents), accepted;
    serverEvents.onConnectionRequest = [&](std::int32_t id) { accepted.Accept(id); };
    ListenOnLoopback(server);
    auto client = std::make_unique<CEventSocket>(&events);
    events.onEvent = [&](const std::string& event) {
      if (StartsWith(event, ending)) client.reset();
    };
    client->Connect("127.0.0.1", server.LocalPort());
    ASSERT_TRUE(PumpUntil([&] {
      return !client || (client->State() == StateConnected && accepted.State() == StateConnected);
    }));
    if (client) client->SendData("x");
    if (client) {
      accepted.SendData("data");
      ASSERT_TRUE(PumpUntil([&] { return !client || client->BytesReceived() == 4; }));
    }
    if (client) {
      accepted.CloseSck();
      ASSERT_TRUE(PumpUntil([&] { return !client; }));
    }
    ASSERT_FALSE(events.events.empty());
    EXPECT_TRUE(StartsWith(events.events.back(), ending)) << events.events.back();
  }
}

TEST(SocketHandlers, ObjectEndedInItsErrorHandlerShowsNoBox) {
  Recorder events;
  auto client = std::make_unique<CEventSocket>(&events);
  events.onError = [&](bool& cancelDisplay) {
    cancelDisplay = false;
    client.reset();
  };
  const RefusingPort refusing;
  client->Connect("127.0.0.1", refusing.Port());
  ASSERT_TRUE(PumpUntil([&] { return !client; }));
  EXPECT_EQ(events.Count("Error 10061 Connection refused. CEventSocket.PostSocket 0 [] 0 cancel"),
            1);
  EXPECT_TRUE(events.boxes.empty());
}

TEST(SocketHandlers, ListenerEndedInConnectionRequestLeavesNoConnectionOpen) {
  Recorder serverEvents, clientEvents;
  auto server = std::make_unique<CEventSocket>(&serverEvents);
  CEventSocket client(&clientEvents);
  ListenOnLoopback(*server);
  std::int32_t request = -1;
  serverEvents.onConnectionRequest = [&](std::int32_t id) {
    request = id;
    server.reset();
  };
  client.Connect("127.0.0.1", server->LocalPort());
  ASSERT_TRUE(PumpUntil([&] { return clientEvents.Count("CloseSck") == 1; }));
  EXPECT_FALSE(modEventSocket::IsAcceptPending(request));
  EXPECT_FALSE(modEventSocket::IsSocketRegistered(request));
}

TEST(SocketHandlers, ObjectEndedInADataArrivalRaisedByAcceptHearsNoClose) {
  Recorder serverEvents, clientEvents, claimedEvents;
  CEventSocket server(&serverEvents), client(&clientEvents);
  auto claimed = std::make_unique<CEventSocket>(&claimedEvents);
  claimedEvents.onDataArrival = [&](std::int32_t) { claimed.reset(); };
  ListenOnLoopback(server);
  serverEvents.onConnectionRequest = [&](std::int32_t id) {
    ASSERT_TRUE(PumpUntil([&] { return client.State() == StateConnected; }));
    client.SendData("held back");
    client.CloseSck();
    ASSERT_TRUE(PumpUntil([&] {
      auto holder = modEventSocket::GetAcceptHolder(id);
      return holder && holder->State() == StateClosing;
    }));
    claimed->Accept(id);
  };
  client.Connect("127.0.0.1", server.LocalPort());
  ASSERT_TRUE(PumpUntil([&] { return !claimed; }));
  EXPECT_EQ(claimedEvents.events, std::vector<std::string>{"DataArrival 9"});
}

TEST(SocketHandlers, UdpReceiverMayEndItselfInDataArrival) {
  Recorder receiverEvents;
  auto receiver = std::make_unique<CEventSocket>(&receiverEvents);
  receiver->Protocol(ProtocolUDP);
  receiver->Bind(0, "127.0.0.1");
  receiverEvents.onDataArrival = [&](std::int32_t) { receiver.reset(); };
  CEventSocket sender;
  sender.Protocol(ProtocolUDP);
  sender.Bind(0, "127.0.0.1");
  sender.RemoteHost("127.0.0.1");
  sender.RemotePort(receiver->LocalPort());
  sender.SendData("one");
  sender.SendData("two");
  ASSERT_TRUE(PumpUntil([&] { return !receiver; }));
  EXPECT_EQ(receiverEvents.events, std::vector<std::string>{"DataArrival 3"});
}

TEST(SocketHandlers, FailureInAHandlerEndsOnlyThatNotification) {
  Pair pair;
  ASSERT_TRUE(pair.Open());
  pair.acceptedEvents.onDataArrival = [&](std::int32_t bytes) {
    if (bytes == 3) throw std::runtime_error("the handler failed");
    Variant data;
    pair.accepted.GetData(data, vbString, -1);
  };
  // The pump must not throw, and what comes next must still arrive.
  const auto sendAndPump = [&](const std::string& text, std::int32_t total) {
    pair.client.SendData(text);
    bool arrived = false;
    EXPECT_NO_THROW(arrived = PumpUntil([&] { return pair.accepted.BytesReceived() == total; }));
    return arrived;
  };
  ASSERT_TRUE(sendAndPump("one", 3));
  ASSERT_TRUE(sendAndPump("two", 6));
  ASSERT_TRUE(sendAndPump("three", 11));
  EXPECT_EQ(pair.acceptedEvents.events,
            (std::vector<std::string>{"DataArrival 3", "DataArrival 6", "DataArrival 11"}));
}

}  // namespace
}  // namespace net::test
