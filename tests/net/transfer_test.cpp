// Data transfer over TCP: byte forms of every type code, buffering and the
// DataArrival totals, GetData and PeekData, and chunked sending.
#include <gtest/gtest.h>

#include "tests/net/SocketTestSupport.h"

namespace net::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Sends a value from the client and returns the bytes the accepted side got.
Bytes WireForm(Pair& pair, const Variant& value, std::size_t expected) {
  pair.client.SendData(value);
  EXPECT_TRUE(PumpUntil(
      [&] { return static_cast<std::size_t>(pair.accepted.BytesReceived()) >= expected; }));
  Variant bytes;
  pair.accepted.GetData(bytes, vbByteArray);
  return bytes.IsEmpty() ? Bytes() : bytes.Get<Bytes>();
}

TEST(SocketTransfer, ValuesGoOutInTheirByteForms) {
  Pair pair;
  ASSERT_TRUE(pair.Open());
  EXPECT_EQ(WireForm(pair, std::int32_t{1}, 4), (Bytes{1, 0, 0, 0}));
  EXPECT_EQ(WireForm(pair, true, 2), (Bytes{0xFF, 0xFF}));
  EXPECT_EQ(WireForm(pair, false, 2), (Bytes{0, 0}));
  EXPECT_EQ(WireForm(pair, "GET /", 5), (Bytes{'G', 'E', 'T', ' ', '/'}));
  EXPECT_EQ(WireForm(pair, std::int16_t{-2}, 2), (Bytes{0xFE, 0xFF}));
  EXPECT_EQ(WireForm(pair, Currency{15000}, 8), (Bytes{0x98, 0x3A, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(WireForm(pair, 1.0, 8), (Bytes{0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));
  EXPECT_EQ(WireForm(pair, std::uint8_t{0xAB}, 1), (Bytes{0xAB}));
}

TEST(SocketTransfer, EveryTypeCodeRoundTrips) {
  Pair pair;
  ASSERT_TRUE(pair.Open());
  const std::vector<Variant> values = {Variant(std::int16_t{-12345}),
                                       Variant(std::int32_t{-123456789}),
                                       Variant(1.5f),
                                       Variant(-2.25),
                                       Variant(Currency{-987654321}),
                                       Variant(Date{36526.5}),
                                       Variant("text value"),
                                       Variant(true),
                                       Variant(false),
                                       Variant(std::uint8_t{200}),
                                       Variant(Bytes{0, 1, 2, 255})};
  for (const Variant& value : values) {
    pair.client.SendData(value);
    Bytes expected;
    ASSERT_TRUE(ToBytes(value, expected));
    ASSERT_TRUE(PumpUntil([&] {
      return static_cast<std::size_t>(pair.accepted.BytesReceived()) == expected.size();
    }));
    Variant received;
    Variant type = value.Type();
    pair.accepted.GetData(received, type);
    EXPECT_EQ(received.Type(), value.Type());
    EXPECT_EQ(received, value) << "type " << value.Type();
    EXPECT_EQ(pair.accepted.BytesReceived(), 0);
  }
}

TEST(SocketTransfer, EmptyValuesSendNothing) {
  Pair pair;
  ASSERT_TRUE(pair.Open());
  pair.client.SendData("");
  pair.client.SendData(Bytes{});
  pair.client.SendData("x");
  ASSERT_TRUE(PumpUntil([&] { return pair.accepted.BytesReceived() == 1; }));
  EXPECT_EQ(pair.clientEvents.events,
            (std::vector<std::string>{"Connect", "SendProgress 1 0", "SendComplete"}));
}

TEST(SocketTransfer, DataArrivalReportsTheWholeBuffer) {
  Pair pair;
  ASSERT_TRUE(pair.Open());
  pair.client.SendData("0123456789");
  ASSERT_TRUE(PumpUntil([&] { return pair.acceptedEvents.Count("DataArrival 10") == 1; }));
  pair.client.SendData("abcde");
  ASSERT_TRUE(PumpUntil([&] { return pair.acceptedEvents.Count("DataArrival 15") == 1; }));
  EXPECT_EQ(pair.acceptedEvents.events,
            (std::vector<std::string>{"DataArrival 10", "DataArrival 15"}));
}

TEST(SocketTransfer, GetAndPeekTakeWhatIsAskedFor) {
  Pair pair;
  ASSERT_TRUE(pair.Open());
  pair.client.SendData("0123456789");
  ASSERT_TRUE(PumpUntil([&] { return pair.accepted.BytesReceived() == 10; }));

  Variant peeked = std::string();
  pair.accepted.PeekData(peeked);
  EXPECT_EQ(peeked, Variant("0123456789"));
  EXPECT_EQ(pair.accepted.BytesReceived(), 10);

  Variant four;
  pair.accepted.GetData(four, vbString, 4);
  EXPECT_EQ(four, Variant("0123"));
  EXPECT_EQ(pair.accepted.BytesReceived(), 6);

  // A variable that already holds a type decides, and a type variable learns it.
  Variant bytes = Bytes{};
  Variant type = vbString;
  pair.accepted.GetData(bytes, type, 2);
  EXPECT_EQ(bytes, Variant(Bytes{'4', '5'}));
  EXPECT_EQ(type, Variant(std::int32_t{vbByteArray}));

  // A length that is not a number means everything there is.
  Variant rest;
  pair.accepted.GetData(rest, vbString, "all");
  EXPECT_EQ(rest, Variant("6789"));
  EXPECT_EQ(pair.accepted.BytesReceived(), 0);

  // Nothing there: an empty byte array.
  Variant nothing = std::int32_t{7};
  nothing = Variant();
  pair.accepted.GetData(nothing);
  EXPECT_EQ(nothing, Variant(Bytes{}));

  // A maximum length of 0 takes nothing, and is no failure over TCP.
  pair.client.SendData("xyz");
  ASSERT_TRUE(PumpUntil([&] { return pair.accepted.BytesReceived() == 3; }));
  Variant none;
  pair.accepted.GetData(none, vbString, 0);
  EXPECT_EQ(none, Variant(Bytes{}));
  EXPECT_EQ(pair.accepted.BytesReceived(), 3);
}

TEST(SocketTransfer, FixedSizeTypesWaitForAllTheirBytes) {
  Pair pair;
  ASSERT_TRUE(pair.Open());
  pair.client.SendData(Bytes{1, 0, 0});
  ASSERT_TRUE(PumpUntil([&] { return pair.accepted.BytesReceived() == 3; }));
  Variant value = std::int32_t{99};
  pair.accepted.GetData(value, vbLong);
  EXPECT_EQ(value, Variant(std::int32_t{99}));
  EXPECT_EQ(pair.accepted.BytesReceived(), 3);
  pair.client.SendData(Bytes{0});
  ASSERT_TRUE(PumpUntil([&] { return pair.accepted.BytesReceived() == 4; }));
  Variant fresh;
  pair.accepted.GetData(fresh, vbLong, 1);
  EXPECT_EQ(fresh, Variant(std::int32_t{1}));
}

TEST(SocketTransfer, FailedSendLeavesTheObjectInTheErrorStateUntilCloseSck) {
  Pair pair;
  ASSERT_TRUE(pair.Open());
  EXPECT_LE(PumpRoundsInHalfASecond(), kSleepingPumpRounds);
  pair.clientEvents.events.clear();
  pair.clientEvents.statesAtEvents.clear();
  {
    seams::PlatformCalls calls;
    calls.send = [](sys::SocketNumber, const std::uint8_t*, int, int&) { return 10053; };
    const seams::ScopedPlatformCalls failing(calls);
    pair.client.SendData("request");
  }
  EXPECT_EQ(pair.clientEvents.events,
            std::vector<std::string>{"Error 10053 Software caused connection abort. "
                                     "CEventSocket.SendBufferedData 0 [] 0 cancel"});
  EXPECT_EQ(pair.clientEvents.statesAtEvents, std::vector<std::int32_t>{StateError});
  // In the error state the object reads nothing and reports nothing, and the
  // pump sleeps while data waits for it and after the peer has closed.
  pair.accepted.SendData("reply");
  EXPECT_LE(PumpRoundsInHalfASecond(), kSleepingPumpRounds);
  pair.accepted.CloseSck();
  EXPECT_LE(PumpRoundsInHalfASecond(), kSleepingPumpRounds);
  EXPECT_EQ(pair.clientEvents.events.size(), 1u);
  EXPECT_EQ(pair.client.State(), StateError);
  Variant data;
  EXPECT_EQ(ErrorOf([&] { pair.client.GetData(data); }).Number(), 40006);
  EXPECT_EQ(ErrorOf([&] { pair.client.SendData("more"); }).Number(), 40006);
  pair.client.CloseSck();
  EXPECT_EQ(pair.client.State(), StateClosed);
  pair.client.Connect();
  ASSERT_TRUE(PumpUntil([&] { return pair.clientEvents.Count("Connect") == 1; }));
}

// Checks one send run's events: every SendProgress accounts for the bytes
// still queued before it, the run ends with (count, 0) and one SendComplete.
void ExpectCompleteRun(const std::vector<std::string>& events, std::size_t total) {
  std::size_t remaining = total;
  std::size_t sent = 0;
  int partial = 0;
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events.back(), "SendComplete");
  for (std::size_t i = 0; i + 1 < events.size(); ++i) {
    long count = 0, left = 0;
    ASSERT_EQ(std::sscanf(events[i].c_str(), "SendProgress %ld %ld", &count, &left), 2)
        << events[i];
    EXPECT_EQ(static_cast<std::size_t>(count + left), remaining) << events[i];
    sent += static_cast<std::size_t>(count);
    remaining = static_cast<std::size_t>(left);
    if (left > 0) ++partial;
  }
  EXPECT_EQ(remaining, 0u);
  EXPECT_EQ(sent, total);
  EXPECT_EQ(partial + 2, static_cast<int>(events.size()));
}

TEST(SocketTransfer, LargeSendGoesOutInChunksAndResumesAfterWouldBlock) {
  Pair pair;
  ASSERT_TRUE(pair.Open());
  Bytes received;
  pair.acceptedEvents.onDataArrival = [&](std::int32_t) {
    Variant piece;
    pair.accepted.GetData(piece);
    const Bytes& bytes = piece.Get<Bytes>();
    received.insert(received.end(), bytes.begin(), bytes.end());
  };
  pair.clientEvents.events.clear();
  constexpr std::size_t kTotal = 32u << 20;
  Bytes data(kTotal);
  for (std::size_t i = 0; i < kTotal; ++i) data[i] = static_cast<std::uint8_t>(i * 7 + i / 4096);
  pair.client.SendData(data);
  // The peer has read nothing yet, so the first run stops on a would-block.
  ASSERT_FALSE(pair.clientEvents.events.empty());
  EXPECT_NE(pair.clientEvents.events.back(), "SendComplete");
  ASSERT_TRUE(PumpUntil([&] { return pair.clientEvents.Count("SendComplete") == 1; },
                        std::chrono::seconds(120)));
  ASSERT_TRUE(PumpUntil([&] { return received.size() >= kTotal; }, std::chrono::seconds(120)));
  EXPECT_TRUE(received == data);
  ExpectCompleteRun(pair.clientEvents.events, kTotal);
}

TEST(SocketTransfer, SendsQueuedDuringARunFollowInOrder) {
  Pair pair;
  ASSERT_TRUE(pair.Open());
  Bytes received;
  pair.acceptedEvents.onDataArrival = [&](std::int32_t) {
    Variant piece;
    pair.accepted.GetData(piece);
    const Bytes& bytes = piece.Get<Bytes>();
    received.insert(received.end(), bytes.begin(), bytes.end());
  };
  Bytes first(16u << 20, 0x11);
  pair.client.SendData(first);
  pair.client.SendData("tail");
  ASSERT_TRUE(
      PumpUntil([&] { return received.size() >= first.size() + 4; }, std::chrono::seconds(120)));
  ASSERT_EQ(received.size(), first.size() + 4);
  EXPECT_EQ(std::string(received.end() - 4, received.end()), "tail");
  EXPECT_EQ(received[first.size() - 1], 0x11);
}

}  // namespace
}  // namespace net::test
