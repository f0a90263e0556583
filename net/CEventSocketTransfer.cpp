// The data side of CEventSocket: queueing and sending, buffering what arrives,
// and handing it back converted to the type the application asks for.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "net/CEventSocket.h"
#include "net/SocketError.h"
#include "net/SocketSeams.h"
#include "net/modEventSocket.h"

namespace net {

namespace {

// Some stacks report a buffer size of 0 (no buffering); sending in pieces of
// 0 bytes would never end, so such a socket is fed in pieces of this size.
constexpr std::int32_t kFallbackChunkSize = 8192;

std::int32_t ChunkSize(int reported) { return reported > 0 ? reported : kFallbackChunkSize; }

}  // namespace

void CEventSocket::ProcessOptions() {
  const char* source = "CEventSocket.ProcessOptions";
  int size = 0;
  if (protocol_ == ProtocolUDP) {
    sys::EnableBroadcast(socket_);
    const int result = sys::MaxDatagramSize(socket_, size);
    if (result != 0) Fail(result, source);
    sendChunkSize_ = recvChunkSize_ = ChunkSize(size);
    return;
  }
  int result = sys::ReceiveBufferSize(socket_, size);
  if (result != 0) Fail(result, source);
  recvChunkSize_ = ChunkSize(size);
  result = sys::SendBufferSize(socket_, size);
  if (result != 0) Fail(result, source);
  sendChunkSize_ = ChunkSize(size);
}

std::int32_t CEventSocket::BytesReceived() const {
  if (protocol_ == ProtocolUDP) return static_cast<std::int32_t>(WaitingDatagramSize());
  return static_cast<std::int32_t>(recvBuffer_.size());
}

void CEventSocket::SendData(const Variant& data) {
  if (protocol_ == ProtocolUDP) {
    if (!SocketExists() || !BindInternal()) return;
    SetState(StateOpen);
  } else if (state_ != StateConnected) {
    throw SocketError(kErrWrongState, kTextWrongState, "CEventSocket.SendData");
  }
  Bytes bytes;
  if (!ToBytes(data, bytes)) {
    throw SocketError(kErrVariantType, kTextVariantType, "CEventSocket.SendData");
  }
  if (bytes.empty()) return;
  const bool idle = sendBuffer_.empty();
  sendBuffer_.insert(sendBuffer_.end(), bytes.begin(), bytes.end());
  if (idle) SendNextChunk();
}

void CEventSocket::SendNextChunk() {
  if (protocol_ == ProtocolUDP) {
    SendBufferedDataUDP();
  } else {
    SendBufferedData();
  }
}

void CEventSocket::SendBufferedData() {
  std::int32_t count = 0;
  while (!sendBuffer_.empty()) {
    const int length = static_cast<int>(std::min<std::size_t>(sendChunkSize_, sendBuffer_.size()));
    int sent = 0;
    const int result = seams::Send(socket_, sendBuffer_.data(), length, sent);
    if (result == sys::kWouldBlock) {
      const auto remaining = static_cast<std::int32_t>(sendBuffer_.size());
      if (count > 0) {
        Raise([&](CEventSocketEvents& owner) { owner.SendProgress(count, remaining); });
      }
      return;
    }
    if (result != 0) {
      RaiseError(result, "CEventSocket.SendBufferedData");
      return;
    }
    count += sent;
    if (static_cast<std::size_t>(sent) >= sendBuffer_.size()) {
      sendBuffer_.clear();
      if (Raise([count](CEventSocketEvents& owner) { owner.SendProgress(count, 0); })) {
        Raise([](CEventSocketEvents& owner) { owner.SendComplete(); });
      }
      return;
    }
    sendBuffer_.erase(sendBuffer_.begin(), sendBuffer_.begin() + sent);
  }
}

void CEventSocket::SendBufferedDataUDP() {
  const char* source = "CEventSocket.SendBufferedDataUDP";
  std::string dotted;
  sys::Address address = 0;
  if (GetIPFromHost(remoteHost_, dotted, address) != 0) {
    sendBuffer_.clear();
    if (remoteHost_.empty()) Fail(sys::kAddressFamily, source);
    throw SocketError(kErrArgument, kTextInvalidArgument, source);
  }
  Bytes datagram;
  datagram.swap(sendBuffer_);
  const int result = sys::SendTo(socket_, datagram.data(), static_cast<int>(datagram.size()),
                                 address, remotePort_);
  if (result != 0) RaiseError(result, source);
}

void CEventSocket::OnRead() {
  if (protocol_ == ProtocolUDP) {
    if (state_ != StateOpen) return;
    const std::uint32_t waiting = WaitingDatagramSize();
    const std::uint64_t takenBefore = datagramsTaken_;
    if (waiting > 0) {
      const auto total = static_cast<std::int32_t>(waiting);
      if (!Raise([total](CEventSocketEvents& owner) { owner.DataArrival(total); })) return;
    }
    // Drop the announced datagram if the handler left it, but never the one
    // behind it: a handler that read or dropped its datagram must not lose the
    // next.
    if (socket_ != sys::kNoSocket && protocol_ == ProtocolUDP && datagramsTaken_ == takenBefore) {
      DiscardDatagram();
    }
    return;
  }
  if (state_ != StateConnected) return;
  if (RecvDataToBuffer() > 0) {
    const auto total = static_cast<std::int32_t>(recvBuffer_.size());
    Raise([total](CEventSocketEvents& owner) { owner.DataArrival(total); });
  }
}

int CEventSocket::RecvDataToBuffer() {
  Bytes chunk(static_cast<std::size_t>(recvChunkSize_));
  int received = 0;
  const int result =
      sys::Receive(socket_, chunk.data(), static_cast<int>(chunk.size()), false, received);
  // A read notification may find the data already taken; that is no failure.
  if (result == sys::kWouldBlock) return 0;
  if (result != 0) {
    SetState(StateError);
    Fail(result, "CEventSocket.RecvDataToBuffer");
  }
  recvBuffer_.insert(recvBuffer_.end(), chunk.begin(), chunk.begin() + received);
  return received;
}

void CEventSocket::GetData(Variant& data, Variant& type, const Variant& maxLen) {
  CheckedRecv(data, type, maxLen, false, "CEventSocket.GetData");
}

void CEventSocket::GetData(Variant& data, const Variant& type, const Variant& maxLen) {
  Variant typeCopy = type;
  GetData(data, typeCopy, maxLen);
}

void CEventSocket::PeekData(Variant& data, Variant& type, const Variant& maxLen) {
  CheckedRecv(data, type, maxLen, true, "CEventSocket.PeekData");
}

void CEventSocket::PeekData(Variant& data, const Variant& type, const Variant& maxLen) {
  Variant typeCopy = type;
  PeekData(data, typeCopy, maxLen);
}

void CEventSocket::CheckedRecv(Variant& data, Variant& type, const Variant& maxLen, bool peek,
                               const char* source) {
  std::size_t available = 0;
  if (protocol_ == ProtocolUDP) {
    if (state_ != StateOpen) throw SocketError(kErrWrongState, kTextWrongState, source);
    available = WaitingDatagramSize();
    if (available == 0) return;
  } else {
    const bool allowed = state_ == StateConnected || (!peek && holder_);
    if (!allowed) throw SocketError(kErrWrongState, kTextWrongState, source);
    available = recvBuffer_.size();
  }
  std::optional<std::size_t> length;
  if (!maxLen.IsEmpty()) {
    if (!maxLen.IsNumeric()) {
      length = available;
    } else {
      const double value = std::nearbyint(maxLen.ToNumber());
      if (!std::isfinite(value) || value < 0) {
        throw SocketError(kErrArgument, kTextArgumentRange, source);
      }
      length = static_cast<std::size_t>(std::min<double>(value, 4294967295.0));
    }
  }
  RecvData(data, peek, type, length);
}

int CEventSocket::RecvData(Variant& data, bool peek, Variant& type,
                           std::optional<std::size_t> maxLen) {
  const char* source = "CEventSocket.RecvData";
  const std::size_t available =
      protocol_ == ProtocolUDP ? WaitingDatagramSize() : recvBuffer_.size();
  std::int32_t effective = vbByteArray;
  if (!data.IsEmpty()) {
    effective = data.Type();
    type = Variant(effective);
  } else if (!type.IsEmpty()) {
    // A type code that no integer holds is no type at all.
    const double code = type.IsNumeric() ? type.ToNumber() : double{vbEmpty};
    effective = code >= INT32_MIN && code <= INT32_MAX ? static_cast<std::int32_t>(code) : vbEmpty;
  }
  Bytes bytes;
  if (effective == vbString || effective == vbByteArray) {
    const std::size_t count = ReadLength(effective, available, maxLen);
    if (count == 0) {
      data = data.Type() == vbString ? Variant(std::string()) : Variant(Bytes());
      // A datagram that a zero maximum length cannot hold is too long for it.
      if (maxLen && protocol_ == ProtocolUDP) {
        DiscardDatagram();
        Fail(sys::kMessageTooLong, source);
      }
      return 0;
    }
    const int result = TakeBytes(count, peek, bytes);
    data = FromBytes(effective, bytes);
    if (result != 0) Fail(result, source);
    return static_cast<int>(bytes.size());
  }
  const std::size_t size = FixedSize(effective);
  if (size == 0) throw SocketError(kErrVariantType, kTextVariantType, source);
  const std::size_t count = ReadLength(effective, available, maxLen);
  if (count == 0) return 0;
  const int result = TakeBytes(count, peek, bytes);
  // A datagram shorter than the value leaves data as it was, like a short buffer.
  if (bytes.size() == size) data = FromBytes(effective, bytes);
  if (result != 0) Fail(result, source);
  return static_cast<int>(bytes.size());
}

int CEventSocket::TakeBytes(std::size_t count, bool peek, Bytes& bytes) {
  if (protocol_ != ProtocolUDP) {
    bytes.assign(recvBuffer_.begin(), recvBuffer_.begin() + count);
    if (!peek) recvBuffer_.erase(recvBuffer_.begin(), recvBuffer_.begin() + count);
    return 0;
  }
  bytes.assign(count, 0);
  int received = 0;
  sys::Address address = 0;
  int port = 0;
  const int result = sys::ReceiveFrom(socket_, bytes.data(), static_cast<int>(count), peek,
                                      received, address, port);
  const bool taken = result == 0 || result == sys::kMessageTooLong;
  // The area was sized by the bytes waiting, which on some platforms count
  // every datagram queued: only what this datagram brought is data.
  bytes.resize(taken ? static_cast<std::size_t>(received) : 0);
  if (taken) {
    remotePort_ = port;
    remoteHostIP_ = sys::Dotted(address);
    remoteHost_.clear();
    if (!peek) ++datagramsTaken_;
  }
  return result;
}

std::uint32_t CEventSocket::WaitingDatagramSize() const {
  std::uint32_t count = 0;
  if (socket_ == sys::kNoSocket || seams::BytesWaiting(socket_, count) != 0) return 0;
  return count;
}

void CEventSocket::DiscardDatagram() {
  std::uint8_t byte = 0;
  int received = 0;
  sys::Address address = 0;
  int port = 0;
  const int result = sys::ReceiveFrom(socket_, &byte, 1, false, received, address, port);
  if (result == 0 || result == sys::kMessageTooLong) ++datagramsTaken_;
}

}  // namespace net
