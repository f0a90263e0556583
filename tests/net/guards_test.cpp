// The object's own failures: state guards, argument checks, their numbers,
// texts and sources, and that a refused call changes nothing.
#include <gtest/gtest.h>

#include <limits>

#include "tests/net/SocketTestSupport.h"

namespace net::test {
namespace {

const char* kRange =
    "The argument passed to a function was not in the correct format or in the specified range.";

void ExpectError(const SocketError& error, long number, const std::string& description,
                 const std::string& source) {
  EXPECT_EQ(error.Number(), number) << error.what();
  EXPECT_EQ(error.Description(), description) << error.what();
  EXPECT_EQ(error.Source(), source) << error.what();
}

TEST(SocketGuards, ConnectChecksItsPort) {
  CEventSocket socket;
  ExpectError(ErrorOf([&] { socket.Connect("127.0.0.1", 0); }), 40014, kRange,
              "CEventSocket.Connect");
  ExpectError(ErrorOf([&] { socket.Connect("127.0.0.1", 65536); }), 40014, kRange,
              "CEventSocket.Connect");
  ExpectError(ErrorOf([&] { socket.Connect("127.0.0.1", "http"); }), 40018,
              "Unsupported variant type.", "CEventSocket.Connect");
  EXPECT_EQ(socket.State(), StateClosed);
  EXPECT_EQ(socket.SocketHandle(), -1);
  socket.RemotePort(0);
  EXPECT_EQ(socket.RemotePort(), 0);
  ExpectError(ErrorOf([&] { socket.RemotePort(65536); }), 40014, kRange, "CEventSocket.RemotePort");
  ExpectError(ErrorOf([&] { socket.LocalPort(-1); }), 40014, kRange, "CEventSocket.LocalPort");
  ExpectError(ErrorOf([&] { socket.Bind("any"); }), 40018, "Unsupported variant type.",
              "CEventSocket.BindInternal");
  ExpectError(ErrorOf([&] { socket.Bind(70000); }), 40014, kRange, "CEventSocket.BindInternal");
  ExpectError(ErrorOf([&] { socket.Bind(0, "qlx-no-such-host.invalid"); }), 40014,
              "Invalid argument", "CEventSocket.BindInternal");
}

TEST(SocketGuards, OperationsOnAnObjectThatIsNotClosedFailWith40020) {
  CEventSocket socket;
  socket.Bind(0, "127.0.0.1");
  ASSERT_EQ(socket.State(), StateOpen);
  const int port = socket.LocalPort();
  const char* text = "Invalid operation at current state";
  ExpectError(ErrorOf([&] { socket.Connect("127.0.0.1", 80); }), 40020, text,
              "CEventSocket.Connect");
  ExpectError(ErrorOf([&] { socket.Bind(0, "127.0.0.1"); }), 40020, text, "CEventSocket.Bind");
  ExpectError(ErrorOf([&] { socket.LocalPort(1234); }), 40020, text, "CEventSocket.LocalPort");
  ExpectError(ErrorOf([&] { socket.Protocol(ProtocolUDP); }), 40020, text, "CEventSocket.Protocol");
  ExpectError(ErrorOf([&] { socket.RemotePort(80); }), 40020, text, "CEventSocket.RemotePort");
  ExpectError(ErrorOf([&] { socket.RemoteHost("x"); }), 40020, text, "CEventSocket.RemoteHost");
  ExpectError(ErrorOf([&] { socket.Accept(0); }), 40020, text, "CEventSocket.Accept");
  socket.Listen();
  ExpectError(ErrorOf([&] { socket.Listen(); }), 40020, text, "CEventSocket.Listen");
  EXPECT_EQ(socket.State(), StateListening);
  EXPECT_EQ(socket.LocalPort(), port);
  EXPECT_EQ(socket.LocalIP(), "127.0.0.1");
  EXPECT_EQ(socket.Protocol(), ProtocolTCP);
}

TEST(SocketGuards, LocalPortReadsBackThePortThePlatformChose) {
  CEventSocket socket;
  EXPECT_EQ(socket.LocalPort(), 0);
  socket.Bind(0, "127.0.0.1");
  EXPECT_GT(socket.LocalPort(), 0);
  socket.CloseSck();
  EXPECT_EQ(socket.LocalPort(), 0);
}

TEST(SocketGuards, DataCallsNeedAConnection) {
  CEventSocket socket;
  Variant data;
  ExpectError(ErrorOf([&] { socket.SendData("x"); }), 40006,
              "Wrong protocol or connection state for the requested transaction or request",
              "CEventSocket.SendData");
  ExpectError(ErrorOf([&] { socket.GetData(data); }), 40006,
              "Wrong protocol or connection state for the requested transaction or request",
              "CEventSocket.GetData");
  ExpectError(ErrorOf([&] { socket.PeekData(data); }), 40006,
              "Wrong protocol or connection state for the requested transaction or request",
              "CEventSocket.PeekData");
  EXPECT_TRUE(data.IsEmpty());
}

TEST(SocketGuards, UnsupportedTypesAndNegativeLengthsAreRefused) {
  Pair pair;
  ASSERT_TRUE(pair.Open());
  ExpectError(ErrorOf([&] {
                pair.client.SendData(std::vector<std::int32_t>{1, 2});
              }),
              40018, "Unsupported variant type.", "CEventSocket.SendData");
  pair.client.SendData("abc");
  ASSERT_TRUE(PumpUntil([&] { return pair.accepted.BytesReceived() == 3; }));
  Variant data;
  ExpectError(ErrorOf([&] { pair.accepted.GetData(data, vbString, -1); }), 40014, kRange,
              "CEventSocket.GetData");
  ExpectError(ErrorOf([&] { pair.accepted.PeekData(data, vbString, -1); }), 40014, kRange,
              "CEventSocket.PeekData");
  ExpectError(ErrorOf([&] { pair.accepted.GetData(data, vbLongArray); }), 40018,
              "Unsupported variant type.", "CEventSocket.RecvData");
  EXPECT_EQ(pair.accepted.BytesReceived(), 3);
}

TEST(SocketGuards, NaNAndInfinityAreOutOfRange) {
  const double kBad[] = {std::numeric_limits<double>::quiet_NaN(),
                         std::numeric_limits<double>::infinity(),
                         -std::numeric_limits<double>::infinity()};
  CEventSocket socket;
  for (const double bad : kBad) {
    ExpectError(ErrorOf([&] { socket.Connect("127.0.0.1", bad); }), 40014, kRange,
                "CEventSocket.Connect");
    ExpectError(ErrorOf([&] { socket.Bind(bad, "127.0.0.1"); }), 40014, kRange,
                "CEventSocket.BindInternal");
  }
  EXPECT_EQ(socket.State(), StateClosed);
  EXPECT_EQ(socket.SocketHandle(), -1);
  Pair pair;
  ASSERT_TRUE(pair.Open());
  pair.client.SendData("abc");
  ASSERT_TRUE(PumpUntil([&] { return pair.accepted.BytesReceived() == 3; }));
  Variant data;
  for (const double bad : kBad) {
    ExpectError(ErrorOf([&] { pair.accepted.GetData(data, vbString, bad); }), 40014, kRange,
                "CEventSocket.GetData");
    ExpectError(ErrorOf([&] { pair.accepted.PeekData(data, vbString, bad); }), 40014, kRange,
                "CEventSocket.PeekData");
    ExpectError(ErrorOf([&] { pair.accepted.GetData(data, bad); }), 40018,
                "Unsupported variant type.", "CEventSocket.RecvData");
  }
  EXPECT_TRUE(data.IsEmpty());
  EXPECT_EQ(pair.accepted.BytesReceived(), 3);
}

TEST(SocketGuards, GetDataAfterThePeerClosedFails) {
  Pair pair;
  ASSERT_TRUE(pair.Open());
  pair.accepted.CloseSck();
  ASSERT_TRUE(PumpUntil([&] { return pair.client.State() == StateClosing; }));
  Variant data;
  EXPECT_EQ(ErrorOf([&] { pair.client.GetData(data); }).Number(), 40006);
  EXPECT_EQ(ErrorOf([&] { pair.client.SendData("x"); }).Number(), 40006);
}

}  // namespace
}  // namespace net::test
