// The local host name: where the object asks for it and how a failing query
// reaches the application. The query is replaced for these tests, so the
// machine's own name is never touched.
#include <gtest/gtest.h>

#include "net/modEventSocket.h"
#include "tests/net/SocketTestSupport.h"

namespace net::test {
namespace {

constexpr int kNetworkDown = 10050;

// While it lives, every host-name query fails with kNetworkDown.
class FailingHostName {
 public:
  int Queries() const { return queries_; }

 private:
  int queries_ = 0;
  seams::ScopedHostNameQuery query_{[this](std::string&) {
    ++queries_;
    return kNetworkDown;
  }};
};

void ExpectHostNameFailure(const SocketError& error) {
  EXPECT_EQ(error.Number(), kNetworkDown);
  EXPECT_EQ(error.Description(), "Network is down.");
  EXPECT_EQ(error.Source(), "CEventSocket.GetLocalHostName");
}

TEST(SocketHostName, LocalHostNameIsWhatTheQueryGives) {
  const seams::ScopedHostNameQuery query([](std::string& name) {
    name = "qlx-test-host";
    return 0;
  });
  CEventSocket socket;
  EXPECT_EQ(socket.LocalHostName(), "qlx-test-host");
}

TEST(SocketHostName, FailingQueryFailsLocalHostNameWithThePlatformError) {
  const FailingHostName failing;
  CEventSocket socket;
  ExpectHostNameFailure(ErrorOf([&] { socket.LocalHostName(); }));
  EXPECT_EQ(failing.Queries(), 1);
}

TEST(SocketHostName, LocalIPNeedsTheNameOnlyWhileNothingIsBound) {
  const FailingHostName failing;
  CEventSocket socket;
  ExpectHostNameFailure(ErrorOf([&] { socket.LocalIP(); }));
  socket.Bind(0, "127.0.0.1");
  EXPECT_EQ(socket.LocalIP(), "127.0.0.1");
  EXPECT_EQ(failing.Queries(), 1);
}

TEST(SocketHostName, NothingTheObjectDoesWithoutALocalAddressAsksForTheName) {
  Recorder serverEvents, byAddressEvents, byNameEvents, receiverEvents;
  CEventSocket server(&serverEvents), byAddress(&byAddressEvents), byName(&byNameEvents);
  CEventSocket first, second, receiver(&receiverEvents), sender;
  serverEvents.onConnectionRequest = [&](std::int32_t id) {
    (first.State() == StateClosed ? first : second).Accept(id);
  };
  const FailingHostName failing;
  ListenOnLoopback(server);
  byAddress.Connect("127.0.0.1", server.LocalPort());
  byName.Connect("localhost", server.LocalPort());
  ASSERT_TRUE(PumpUntil(
      [&] { return byAddressEvents.Count("Connect") == 1 && byNameEvents.Count("Connect") == 1; }));
  // The system chose the source of each connection: loopback, for a loopback peer.
  EXPECT_EQ(first.RemoteHostIP(), "127.0.0.1");
  EXPECT_EQ(second.RemoteHostIP(), "127.0.0.1");
  receiver.Protocol(ProtocolUDP);
  receiver.Bind(0, "127.0.0.1");
  sender.Protocol(ProtocolUDP);
  sender.RemoteHost("127.0.0.1");
  sender.RemotePort(receiver.LocalPort());
  sender.SendData("datagram");
  ASSERT_TRUE(PumpUntil([&] { return receiverEvents.Count("DataArrival 8") == 1; }));
  EXPECT_EQ(sender.State(), StateOpen);
  EXPECT_EQ(failing.Queries(), 0);
  // Bound to every address, an object still names the machine's own address.
  ExpectHostNameFailure(ErrorOf([&] { sender.LocalIP(); }));
  EXPECT_EQ(receiver.LocalIP(), "127.0.0.1");
}

}  // namespace
}  // namespace net::test
