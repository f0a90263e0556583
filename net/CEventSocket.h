// An event-driven IPv4 socket for TCP and UDP. Operations never wait for the
// network: connecting, accepting, sending and receiving complete through
// notifications that modEventSocket delivers on the thread that runs the
// message pump, and the object reports them to its owner as events.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "net/ByteForms.h"
#include "net/CEventSocketEvents.h"
#include "net/SocketPlatform.h"
#include "net/Variant.h"

namespace net {

enum ProtocolConstants : std::int32_t {
  ProtocolTCP = 0,
  ProtocolUDP = 1,
};

enum StateConstants : std::int32_t {
  StateClosed = 0,
  StateOpen = 1,
  StateListening = 2,
  StateResolvingHost = 4,
  StateHostResolved = 5,
  StateConnecting = 6,
  StateConnected = 7,
  StateClosing = 8,
  StateError = 9,
};

class CEventSocket {
 public:
  explicit CEventSocket(CEventSocketEvents* owner = nullptr);
  ~CEventSocket();
  CEventSocket(const CEventSocket&) = delete;
  CEventSocket& operator=(const CEventSocket&) = delete;

  void SetOwner(CEventSocketEvents* owner) { owner_ = owner; }

  // The dispatcher's entry: kMsgResolved and kMsgSocket; others are ignored.
  void WndProc(std::uintptr_t window, std::uint32_t message, std::uintptr_t wParam,
               std::intptr_t lParam);

  std::int32_t RemotePort() const { return remotePort_; }
  void RemotePort(std::int32_t value);
  const std::string& RemoteHost() const { return remoteHost_; }
  void RemoteHost(const std::string& value);
  const std::string& RemoteHostIP() const { return remoteHostIP_; }
  std::int32_t LocalPort() const { return boundLocalPort_ != 0 ? boundLocalPort_ : localPort_; }
  void LocalPort(std::int32_t value);
  std::int32_t State() const { return state_; }
  std::string LocalHostName() const;
  std::string LocalIP() const;
  std::int32_t BytesReceived() const;
  std::int32_t SocketHandle() const { return socket_; }
  const std::string& Tag() const { return tag_; }
  void Tag(const std::string& value) { tag_ = value; }
  std::int32_t Protocol() const { return protocol_; }
  void Protocol(std::int32_t value);

  void CloseSck();
  void Connect(const Variant& remoteHost = Variant(), const Variant& remotePort = Variant());
  void Bind(const Variant& localPort = Variant(), const Variant& localIP = Variant());
  void SendData(const Variant& data);
  // A type passed as a variable receives the type code actually used.
  void GetData(Variant& data, Variant& type, const Variant& maxLen = Variant());
  void GetData(Variant& data, const Variant& type = Variant(), const Variant& maxLen = Variant());
  void PeekData(Variant& data, Variant& type, const Variant& maxLen = Variant());
  void PeekData(Variant& data, const Variant& type = Variant(), const Variant& maxLen = Variant());
  void Listen();
  void Accept(std::int32_t requestID);

 private:
  struct Remote {
    std::int32_t port = 0;
    std::string hostIP;
    std::string host;
  };

  // Creation, connection and the notifications (CEventSocket.cpp).
  bool SocketExists();
  sys::Address ResolveIfHostname(const std::string& host);
  void PostResolution(sys::RequestHandle request, int error);
  void ConnectToIP(sys::Address address, int error);
  bool BindInternal(const Variant& port = Variant(), const Variant& address = Variant());
  void PostSocket(int event, int error);
  void PostAccept();
  void DestroySocket();
  void CancelResolutions();
  static Remote GetRemoteInfo(sys::SocketNumber socket);
  static int GetIPFromHost(const std::string& text, std::string& dotted, sys::Address& address);
  std::string GetLocalIP() const;
  // Raises one event; false when its handler ended this object, which must
  // then not be touched again.
  bool Raise(const std::function<void(CEventSocketEvents&)>& event);
  void RaiseError(int number, const std::string& source);
  // Every change of state goes through here, where the tests can watch it.
  void SetState(std::int32_t state);
  [[noreturn]] void Fail(long number, const std::string& source) const;

  // Data transfer (CEventSocketTransfer.cpp).
  void ProcessOptions();
  void SendNextChunk();
  void SendBufferedData();
  void SendBufferedDataUDP();
  void OnRead();
  int RecvDataToBuffer();
  void CheckedRecv(Variant& data, Variant& type, const Variant& maxLen, bool peek,
                   const char* source);
  int RecvData(Variant& data, bool peek, Variant& type, std::optional<std::size_t> maxLen);
  int TakeBytes(std::size_t count, bool peek, Bytes& bytes);
  std::uint32_t WaitingDatagramSize() const;
  void DiscardDatagram();

  CEventSocketEvents* owner_;
  sys::SocketNumber socket_ = sys::kNoSocket;
  std::int32_t state_ = StateClosed;
  std::string tag_;
  std::string remoteHost_;
  std::int32_t remotePort_ = 0;
  std::string remoteHostIP_;
  std::int32_t localPort_ = 0;
  std::int32_t boundLocalPort_ = 0;
  std::string boundLocalIP_;
  std::int32_t protocol_ = ProtocolTCP;
  std::int32_t sendChunkSize_ = 0;
  std::int32_t recvChunkSize_ = 0;
  Bytes sendBuffer_;
  Bytes recvBuffer_;
  bool holder_ = false;
  std::set<sys::RequestHandle> pendingResolutions_;
  std::unique_ptr<sys::HostBuffer> hostBuffer_;
  // Datagrams taken by the application; the read notification compares it to
  // know whether the announced datagram is still waiting.
  std::uint64_t datagramsTaken_ = 0;
  // Expires with the object: a handler may end the object that raised its event.
  std::shared_ptr<int> lifetime_ = std::make_shared<int>();
};

}  // namespace net
