// UDP: datagrams addressed by the remote values, announced by DataArrival,
// read whole or cut short with 10040.
#include <gtest/gtest.h>

#include "tests/net/SocketTestSupport.h"

namespace net::test {
namespace {

struct UdpPair {
  Recorder receiverEvents, senderEvents;
  CEventSocket receiver{&receiverEvents};
  CEventSocket sender{&senderEvents};

  void Open() {
    receiver.Protocol(ProtocolUDP);
    receiver.Bind(0, "127.0.0.1");
    sender.Protocol(ProtocolUDP);
    sender.Bind(0, "127.0.0.1");
    sender.RemoteHost("127.0.0.1");
    sender.RemotePort(receiver.LocalPort());
  }
};

TEST(SocketUdp, DatagramArrivesWithItsSender) {
  UdpPair pair;
  pair.Open();
  Variant text;
  pair.receiverEvents.onDataArrival = [&](std::int32_t) { pair.receiver.GetData(text, vbString); };
  pair.sender.SendData("hello udp");
  EXPECT_EQ(pair.sender.State(), StateOpen);
  ASSERT_TRUE(PumpUntil([&] { return !text.IsEmpty(); }));
  EXPECT_EQ(text, Variant("hello udp"));
  EXPECT_EQ(pair.receiverEvents.events, std::vector<std::string>{"DataArrival 9"});
  EXPECT_EQ(pair.receiver.RemoteHostIP(), "127.0.0.1");
  EXPECT_EQ(pair.receiver.RemotePort(), pair.sender.LocalPort());
  EXPECT_EQ(pair.senderEvents.events, std::vector<std::string>{});
}

TEST(SocketUdp, ShortMaximumLengthGivesTheFirstBytesThen10040) {
  UdpPair pair;
  pair.Open();
  Variant text;
  SocketError error(0, "", "");
  pair.receiverEvents.onDataArrival = [&](std::int32_t) {
    error = ErrorOf([&] { pair.receiver.GetData(text, vbString, 4); });
  };
  pair.sender.SendData("0123456789");
  ASSERT_TRUE(PumpUntil([&] { return !text.IsEmpty(); }));
  EXPECT_EQ(text, Variant("0123"));
  EXPECT_EQ(error.Number(), 10040);
  EXPECT_EQ(error.Description(), "Message too long.");
  EXPECT_EQ(error.Source(), "CEventSocket.RecvData");
  EXPECT_EQ(pair.receiver.BytesReceived(), 0);
}

TEST(SocketUdp, PeekLeavesTheDatagramAndUnreadOnesAreDropped) {
  UdpPair pair;
  pair.Open();
  std::vector<std::string> seen;
  pair.receiverEvents.onDataArrival = [&](std::int32_t bytes) {
    EXPECT_EQ(pair.receiver.BytesReceived(), bytes);
    Variant text;
    pair.receiver.PeekData(text, vbString);
    seen.push_back(text.Get<std::string>());
  };
  pair.sender.SendData("first");
  ASSERT_TRUE(PumpUntil([&] { return seen.size() == 1; }));
  // The peeked datagram was dropped after the event: the next one is new.
  pair.sender.SendData("second");
  ASSERT_TRUE(PumpUntil([&] { return seen.size() == 2; }));
  EXPECT_EQ(seen, (std::vector<std::string>{"first", "second"}));
}

TEST(SocketUdp, ReadingOrDroppingADatagramNeverDropsTheNextOne) {
  UdpPair pair;
  pair.Open();
  std::vector<std::string> seen;
  pair.receiverEvents.onDataArrival = [&](std::int32_t) {
    Variant text;
    if (seen.empty()) {
      // A maximum length of 0 drops the datagram and fails.
      const SocketError error = ErrorOf([&] { pair.receiver.GetData(text, vbString, 0); });
      EXPECT_EQ(text, Variant(Bytes{}));
      seen.push_back(std::to_string(error.Number()) + " " + error.Source());
      return;
    }
    pair.receiver.GetData(text, vbString);
    seen.push_back(text.Get<std::string>());
  };
  pair.sender.SendData("one");
  pair.sender.SendData("two");
  pair.sender.SendData("three");
  pair.sender.SendData("four");
  ASSERT_TRUE(PumpUntil([&] { return seen.size() == 4; }));
  EXPECT_EQ(seen,
            (std::vector<std::string>{"10040 CEventSocket.RecvData", "two", "three", "four"}));
}

TEST(SocketUdp, DataIsWhatTheDatagramBroughtWhateverTheCountOfBytesWaiting) {
  UdpPair pair;
  pair.Open();
  // Windows counts the bytes of every datagram queued, not of the first one.
  seams::PlatformCalls calls;
  calls.bytesWaiting = [](sys::SocketNumber socket, std::uint32_t& count) {
    const int result = sys::BytesWaiting(socket, count);
    if (result == 0 && count > 0) count += 6;
    return result;
  };
  const seams::ScopedPlatformCalls windowsCount(calls);
  std::vector<Variant> seen;
  pair.receiverEvents.onDataArrival = [&](std::int32_t) {
    Variant value;
    if (seen.empty()) {
      pair.receiver.GetData(value, vbString);
    } else {
      value = std::int32_t{99};
      pair.receiver.GetData(value, vbLong);
    }
    seen.push_back(value);
  };
  pair.sender.SendData("one");
  ASSERT_TRUE(PumpUntil([&] { return seen.size() == 1; }));
  // Two bytes cannot make a 32-bit integer, whatever the count says.
  pair.sender.SendData(Bytes{1, 0});
  ASSERT_TRUE(PumpUntil([&] { return seen.size() == 2; }));
  EXPECT_EQ(seen, (std::vector<Variant>{Variant("one"), Variant(std::int32_t{99})}));
}

TEST(SocketUdp, FailedSendLeavesTheObjectInTheErrorStateUntilCloseSck) {
  UdpPair pair;
  pair.Open();
  pair.senderEvents.socket = &pair.sender;
  // One byte more than an IPv4 datagram can carry.
  pair.sender.SendData(Bytes(65508, 'x'));
  EXPECT_EQ(pair.senderEvents.events,
            std::vector<std::string>{
                "Error 10040 Message too long. CEventSocket.SendBufferedDataUDP 0 [] 0 cancel"});
  EXPECT_EQ(pair.senderEvents.statesAtEvents, std::vector<std::int32_t>{StateError});
  // A datagram for it is neither announced nor readable, and the pump sleeps.
  pair.receiver.RemoteHost("127.0.0.1");
  pair.receiver.RemotePort(pair.sender.LocalPort());
  pair.receiver.SendData("late");
  EXPECT_LE(PumpRoundsInHalfASecond(), kSleepingPumpRounds);
  EXPECT_EQ(pair.senderEvents.events.size(), 1u);
  Variant data;
  EXPECT_EQ(ErrorOf([&] { pair.sender.GetData(data); }).Number(), 40006);
  pair.sender.CloseSck();
  EXPECT_EQ(pair.sender.State(), StateClosed);
  pair.sender.SendData("again");
  ASSERT_TRUE(PumpUntil([&] { return pair.receiverEvents.Count("DataArrival 5") == 1; }));
}

TEST(SocketUdp, FixedSizeValueInADatagram) {
  UdpPair pair;
  pair.Open();
  Variant value;
  pair.receiverEvents.onDataArrival = [&](std::int32_t) { pair.receiver.GetData(value, vbDouble); };
  pair.sender.SendData(6.5);
  ASSERT_TRUE(PumpUntil([&] { return !value.IsEmpty(); }));
  EXPECT_EQ(value, Variant(6.5));
}

TEST(SocketUdp, SendingNeedsAnAddress) {
  CEventSocket sender;
  sender.Protocol(ProtocolUDP);
  sender.RemotePort(9);
  SocketError error = ErrorOf([&] { sender.SendData("x"); });
  EXPECT_EQ(error.Number(), 10047);
  EXPECT_EQ(error.Description(), "Address family not supported by protocol family.");
  EXPECT_EQ(error.Source(), "CEventSocket.SendBufferedDataUDP");
  sender.RemoteHost("qlx-no-such-host.invalid");
  error = ErrorOf([&] { sender.SendData("x"); });
  EXPECT_EQ(error.Number(), 40014);
  EXPECT_EQ(error.Description(), "Invalid argument");
  // The UDP remote values may change at any time.
  sender.RemoteHost("127.0.0.1");
  sender.RemotePort(10);
  EXPECT_EQ(sender.State(), StateOpen);
}

TEST(SocketUdp, ConnectOnlyBinds) {
  CEventSocket socket;
  socket.Protocol(ProtocolUDP);
  socket.Connect("127.0.0.1", 9);
  EXPECT_EQ(socket.State(), StateOpen);
  EXPECT_NE(socket.LocalPort(), 0);
  Variant data = std::string("unchanged");
  socket.GetData(data);
  EXPECT_EQ(data, Variant("unchanged"));
}

}  // namespace
}  // namespace net::test
