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

TEST(SocketHostName, BindWithoutAnAddressFailsBeforeASocketIsMade) {
  Recorder events;
  CEventSocket socket(&events);
  const FailingHostName failing;
  ExpectHostNameFailure(ErrorOf([&] { socket.Bind(); }));
  EXPECT_EQ(socket.SocketHandle(), -1);
  EXPECT_EQ(socket.State(), StateClosed);
  EXPECT_FALSE(modEventSocket::HasNotifier());
  EXPECT_TRUE(events.events.empty());
}

TEST(SocketHostName, ConnectToAnAddressRaisesTheFailureToTheCaller) {
  Recorder serverEvents, events;
  CEventSocket server(&serverEvents), client(&events), accepted;
  serverEvents.onConnectionRequest = [&](std::int32_t id) { accepted.Accept(id); };
  ListenOnLoopback(server);
  {
    const FailingHostName failing;
    ExpectHostNameFailure(ErrorOf([&] { client.Connect("127.0.0.1", server.LocalPort()); }));
  }
  EXPECT_EQ(client.State(), StateClosed);
  EXPECT_TRUE(events.events.empty());
  // The object is still closed, so the same call can be made again.
  client.Connect("127.0.0.1", server.LocalPort());
  ASSERT_TRUE(PumpUntil([&] { return events.Count("Connect") == 1; }));
  EXPECT_EQ(events.events, std::vector<std::string>{"Connect"});
}

TEST(SocketHostName, AfterALookupTheFailureEndsTheNotificationInTheResolvedState) {
  Recorder serverEvents, events;
  CEventSocket server(&serverEvents), client(&events), accepted;
  serverEvents.onConnectionRequest = [&](std::int32_t id) { accepted.Accept(id); };
  ListenOnLoopback(server);
  const StateTrail trail(client);
  {
    const FailingHostName failing;
    client.Connect("localhost", server.LocalPort());
    ASSERT_TRUE(PumpUntil([&] { return failing.Queries() == 1; }));
  }
  // Nobody is told: the failure happened inside the lookup's notification, and
  // no connection was started. A full connection of another object runs every
  // notification that could still be on its way.
  Pair pair;
  ASSERT_TRUE(pair.Open());
  EXPECT_EQ(trail.States(),
            (std::vector<std::int32_t>{StateClosed, StateResolvingHost, StateHostResolved}));
  EXPECT_TRUE(events.events.empty());
  // CloseSck leaves that state, and the object connects by name again.
  client.CloseSck();
  EXPECT_EQ(client.State(), StateClosed);
  client.Connect("localhost", server.LocalPort());
  ASSERT_TRUE(PumpUntil([&] { return events.Count("Connect") == 1; }));
  EXPECT_EQ(events.events, std::vector<std::string>{"Connect"});
}

}  // namespace
}  // namespace net::test
