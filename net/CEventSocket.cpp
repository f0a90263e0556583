#include "net/CEventSocket.h"

#include <cmath>
#include <functional>
#include <new>

#include "net/SocketError.h"
#include "net/SocketSeams.h"
#include "net/modEventSocket.h"

namespace net {

namespace {

// Marks "no address yet": a lookup is running. Never connected to.
constexpr sys::Address kPendingAddress = 1;

// A port argument: numeric and within [low, 65535], else the object's failures.
std::int32_t PortArgument(const Variant& value, std::int32_t low, const std::string& source) {
  if (!value.IsNumeric()) throw SocketError(kErrVariantType, kTextVariantType, source);
  const double port = std::nearbyint(value.ToNumber());
  // Written so that NaN fails too: it compares false with everything.
  if (!(port >= low && port <= 65535)) {
    throw SocketError(kErrArgument, kTextArgumentRange, source);
  }
  return static_cast<std::int32_t>(port);
}

}  // namespace

CEventSocket::CEventSocket(CEventSocketEvents* owner) : owner_(owner) {
  modEventSocket::InitiateProcesses();
}

CEventSocket::~CEventSocket() {
  // Ending must not throw; a socket that will not close is left to the layer.
  // A holder hands its connection over when it is claimed; one it still holds
  // was never claimed, and nobody else will close it.
  try {
    CancelResolutions();
    DestroySocket();
  } catch (const SocketError&) {
    modEventSocket::UnregisterSocket(socket_);
  }
  try {
    modEventSocket::FinalizeProcesses();
  } catch (const SocketError&) {
    // The layer stays started; the next object to end tries again.
  }
}

void CEventSocket::Fail(long number, const std::string& source) const {
  throw SocketError(number, modEventSocket::GetErrorDescription(number), source);
}

void CEventSocket::SetState(std::int32_t state) {
  if (state == state_) return;
  state_ = state;
  seams::NoteState(*this, state);
}

bool CEventSocket::Raise(const std::function<void(CEventSocketEvents&)>& event) {
  if (owner_ == nullptr) return true;
  const std::weak_ptr<void> alive = lifetime_;
  event(*owner_);
  return !alive.expired();
}

void CEventSocket::RaiseError(int number, const std::string& source) {
  SetState(StateError);
  const std::string description = modEventSocket::GetErrorDescription(number);
  bool cancelDisplay = true;
  const bool alive = Raise([&](CEventSocketEvents& owner) {
    owner.Error(static_cast<std::int16_t>(number), description, 0, source, std::string(), 0,
                cancelDisplay);
  });
  if (alive && !cancelDisplay && owner_ != nullptr) owner_->ShowErrorBox(description, source);
}

void CEventSocket::WndProc(std::uintptr_t /*window*/, std::uint32_t message, std::uintptr_t wParam,
                           std::intptr_t lParam) {
  const auto high = static_cast<int>((static_cast<std::uintptr_t>(lParam) >> 16) & 0xFFFF);
  const auto low = static_cast<int>(static_cast<std::uintptr_t>(lParam) & 0xFFFF);
  if (message == sys::kMsgResolved) {
    PostResolution(static_cast<sys::RequestHandle>(wParam), high);
  } else if (message == sys::kMsgSocket) {
    PostSocket(low, high);
  }
}

void CEventSocket::RemotePort(std::int32_t value) {
  if (protocol_ == ProtocolTCP && state_ != StateClosed) {
    throw SocketError(kErrInvalidState, kTextInvalidState, "CEventSocket.RemotePort");
  }
  if (value < 0 || value > 65535) {
    throw SocketError(kErrArgument, kTextArgumentRange, "CEventSocket.RemotePort");
  }
  remotePort_ = value;
}

void CEventSocket::RemoteHost(const std::string& value) {
  if (protocol_ == ProtocolTCP && state_ != StateClosed) {
    throw SocketError(kErrInvalidState, kTextInvalidState, "CEventSocket.RemoteHost");
  }
  remoteHost_ = value;
}

void CEventSocket::LocalPort(std::int32_t value) {
  if (state_ != StateClosed) {
    throw SocketError(kErrInvalidState, kTextInvalidState, "CEventSocket.LocalPort");
  }
  if (value < 0 || value > 65535) {
    throw SocketError(kErrArgument, kTextArgumentRange, "CEventSocket.LocalPort");
  }
  localPort_ = value;
}

void CEventSocket::Protocol(std::int32_t value) {
  if (state_ != StateClosed) {
    throw SocketError(kErrInvalidState, kTextInvalidState, "CEventSocket.Protocol");
  }
  protocol_ = value;
}

std::string CEventSocket::LocalHostName() const {
  std::string name;
  const int result = seams::QueryHostName(name);
  if (result != 0) Fail(result, "CEventSocket.GetLocalHostName");
  return name;
}

std::string CEventSocket::GetLocalIP() const {
  sys::Address address = 0;
  const int result = sys::LookupHost(LocalHostName(), address);
  if (result != 0) Fail(result, "CEventSocket.GetLocalIP");
  return sys::Dotted(address);
}

std::string CEventSocket::LocalIP() const {
  // Bound to the wildcard address, the object is on every address of the
  // machine; it then names the machine's own, as when it has no socket.
  const bool bound = state_ == StateOpen || state_ == StateListening;
  return bound && !boundLocalIP_.empty() ? boundLocalIP_ : GetLocalIP();
}

int CEventSocket::GetIPFromHost(const std::string& text, std::string& dotted,
                                sys::Address& address) {
  dotted.clear();
  address = kPendingAddress;
  if (text.empty()) return sys::kAddressFamily;
  if (sys::ParseDotted(text, address)) {
    dotted = text;
    return 0;
  }
  const int result = sys::LookupHost(text, address);
  if (result != 0) {
    address = kPendingAddress;
    return result;
  }
  dotted = sys::Dotted(address);
  return 0;
}

CEventSocket::Remote CEventSocket::GetRemoteInfo(sys::SocketNumber socket) {
  Remote remote;
  sys::Address address = 0;
  int port = 0;
  if (sys::PeerName(socket, address, port) == 0) {
    remote.port = port;
    remote.hostIP = sys::Dotted(address);
  }
  return remote;
}

bool CEventSocket::SocketExists() {
  if (socket_ != sys::kNoSocket) return true;
  sys::SocketNumber socket = sys::kNoSocket;
  const int result = seams::CreateSocket(protocol_ == ProtocolUDP, socket);
  if (result != 0) {
    RaiseError(result, "CEventSocket.SocketExists");
    return false;
  }
  socket_ = socket;
  ProcessOptions();
  return modEventSocket::RegisterSocket(socket_, this, true);
}

void CEventSocket::Connect(const Variant& remoteHost, const Variant& remotePort) {
  if (state_ != StateClosed) {
    throw SocketError(kErrInvalidState, kTextInvalidState, "CEventSocket.Connect");
  }
  if (!remoteHost.IsEmpty()) remoteHost_ = remoteHost.ToText();
  if (!remotePort.IsEmpty()) remotePort_ = PortArgument(remotePort, 1, "CEventSocket.Connect");
  if (!SocketExists()) return;
  if (protocol_ == ProtocolUDP) {
    if (BindInternal()) SetState(StateOpen);
    return;
  }
  const sys::Address address = ResolveIfHostname(remoteHost_);
  if (address != kPendingAddress) ConnectToIP(address, 0);
}

sys::Address CEventSocket::ResolveIfHostname(const std::string& host) {
  sys::Address address = 0;
  if (sys::ParseDotted(host, address)) return address;
  SetState(StateResolvingHost);
  try {
    hostBuffer_ = std::make_unique<sys::HostBuffer>();
  } catch (const std::bad_alloc&) {
    SetState(StateError);
    throw SocketError(kErrOutOfMemory, kTextOutOfMemory, "CEventSocket.ResolveIfHostname");
  }
  int error = 0;
  const sys::RequestHandle request =
      modEventSocket::StartResolution(host, *hostBuffer_, this, &error);
  if (request != 0) {
    pendingResolutions_.insert(request);
    return kPendingAddress;
  }
  hostBuffer_.reset();
  RaiseError(error, "CEventSocket.ResolveIfHostname");
  return kPendingAddress;
}

void CEventSocket::PostResolution(sys::RequestHandle request, int error) {
  if (state_ != StateResolvingHost) return;
  pendingResolutions_.erase(request);
  modEventSocket::UnregisterResolution(request);
  if (error != 0) {
    hostBuffer_.reset();
    ConnectToIP(0, error);
    return;
  }
  SetState(StateHostResolved);
  sys::Address address = 0;
  const bool found = hostBuffer_ && sys::FirstAddress(*hostBuffer_, address);
  hostBuffer_.reset();
  // A name with addresses of other families only: no IPv4 address to use.
  constexpr int kNoData = 11004;
  ConnectToIP(address, found ? 0 : kNoData);
}

void CEventSocket::ConnectToIP(sys::Address address, int error) {
  if (error != 0) {
    RaiseError(error, "CEventSocket.ConnectToIP");
    return;
  }
  if (!BindInternal()) return;
  SetState(StateConnecting);
  constexpr int kAlreadyConnected = 10056;
  const int result = seams::Connect(socket_, address, remotePort_);
  if (result == 0 || result == sys::kWouldBlock || result == kAlreadyConnected) return;
  if (result == sys::kAddressNotAvailable) Fail(result, "CEventSocket.ConnectToIP");
  RaiseError(result, "CEventSocket.ConnectToIP");
}

bool CEventSocket::BindInternal(const Variant& port, const Variant& address) {
  if (state_ == StateOpen) return true;
  const char* source = "CEventSocket.BindInternal";
  const std::int32_t localPort = port.IsEmpty() ? localPort_ : PortArgument(port, 0, source);
  // Without an address the system chooses one for each connection: the first
  // address of the machine's name may be an adapter that reaches nowhere, and
  // the name may not resolve at all.
  const std::string text = address.ToText();
  std::string dotted;
  sys::Address bindAddress = 0;
  if (!text.empty() && GetIPFromHost(text, dotted, bindAddress) != 0) {
    throw SocketError(kErrArgument, kTextInvalidArgument, source);
  }
  if (!SocketExists()) return false;
  int result = sys::Bind(socket_, bindAddress, localPort);
  if (result != 0) Fail(result, source);
  boundLocalIP_ = dotted;
  if (localPort != 0) {
    localPort_ = localPort;
  } else {
    sys::Address bound = 0;
    int boundPort = 0;
    result = sys::LocalName(socket_, bound, boundPort);
    if (result != 0) Fail(result, source);
    boundLocalPort_ = boundPort;
  }
  return true;
}

void CEventSocket::Bind(const Variant& localPort, const Variant& localIP) {
  if (state_ != StateClosed) {
    throw SocketError(kErrInvalidState, kTextInvalidState, "CEventSocket.Bind");
  }
  if (BindInternal(localPort, localIP)) SetState(StateOpen);
}

void CEventSocket::Listen() {
  if (state_ != StateClosed && state_ != StateOpen) {
    throw SocketError(kErrInvalidState, kTextInvalidState, "CEventSocket.Listen");
  }
  if (!SocketExists() || !BindInternal()) return;
  const int result = sys::Listen(socket_, 5);
  if (result != 0) Fail(result, "CEventSocket.Listen");
  SetState(StateListening);
}

void CEventSocket::PostSocket(int event, int error) {
  if (error != 0) {
    RaiseError(error, "CEventSocket.PostSocket");
    return;
  }
  switch (event) {
    case sys::kEventRead:
      OnRead();
      break;
    case sys::kEventWrite:
      if (state_ == StateConnected && !sendBuffer_.empty()) SendBufferedData();
      break;
    case sys::kEventAccept:
      if (state_ == StateListening) PostAccept();
      break;
    case sys::kEventConnect:
      if (state_ == StateConnecting) {
        const Remote peer = GetRemoteInfo(socket_);
        if (!peer.hostIP.empty()) {
          remotePort_ = peer.port;
          remoteHostIP_ = peer.hostIP;
        }
        SetState(StateConnected);
        Raise([](CEventSocketEvents& owner) { owner.Connect(); });
      }
      break;
    case sys::kEventClose:
      if (state_ == StateConnected) {
        SetState(StateClosing);
        Raise([](CEventSocketEvents& owner) { owner.CloseSck(); });
      }
      break;
    default:
      break;
  }
}

void CEventSocket::PostAccept() {
  sys::SocketNumber socket = sys::kNoSocket;
  const int result = sys::Accept(socket_, socket);
  if (result != 0) Fail(result, "CEventSocket.PostSocket");
  try {
    modEventSocket::RegisterAccept(socket);
  } catch (const SocketError&) {
    // Nobody holds the new connection: close it rather than leak it.
    sys::CloseSocket(socket);
    modEventSocket::UnregisterSocket(socket);
    throw;
  }
  const Remote saved{remotePort_, remoteHostIP_, remoteHost_};
  const Remote peer = GetRemoteInfo(socket);
  remotePort_ = peer.port;
  remoteHostIP_ = peer.hostIP;
  remoteHost_ = peer.host;
  const bool alive =
      Raise([socket](CEventSocketEvents& owner) { owner.ConnectionRequest(socket); });
  if (alive && state_ == StateListening) {
    remotePort_ = saved.port;
    remoteHostIP_ = saved.hostIP;
    remoteHost_ = saved.host;
  }
  // Also when the handler ended this object: the connection is nobody's.
  if (modEventSocket::IsAcceptPending(socket)) {
    const std::shared_ptr<CEventSocket> holder = modEventSocket::GetAcceptHolder(socket);
    modEventSocket::UnregisterAccept(socket);
    holder->CloseSck();
  }
}

void CEventSocket::Accept(std::int32_t requestID) {
  if (state_ != StateClosed) {
    throw SocketError(kErrInvalidState, kTextInvalidState, "CEventSocket.Accept");
  }
  protocol_ = ProtocolTCP;
  socket_ = requestID;
  try {
    ProcessOptions();
  } catch (const SocketError&) {
    // Not a socket we may use: keep none, so that ending closes nothing of others.
    socket_ = sys::kNoSocket;
    sendChunkSize_ = recvChunkSize_ = 0;
    throw;
  }
  if (modEventSocket::IsAcceptPending(requestID)) {
    const std::shared_ptr<CEventSocket> holder = modEventSocket::GetAcceptHolder(requestID);
    modEventSocket::UnregisterAccept(requestID);
    // Point the socket here before anything can fail, so that no notification
    // ever reaches the holder once it is dropped, and it closes nothing.
    modEventSocket::RepointSocket(requestID, this);
    holder->socket_ = sys::kNoSocket;
    sys::Address local = 0;
    int localPort = 0;
    const int result = sys::LocalName(socket_, local, localPort);
    if (result != 0) Fail(result, "CEventSocket.Accept");
    boundLocalPort_ = localPort;
    boundLocalIP_ = sys::Dotted(local);
    const Remote peer = GetRemoteInfo(socket_);
    remotePort_ = peer.port;
    remoteHostIP_ = peer.hostIP;
    remoteHost_ = peer.host;
    SetState(StateConnected);
    recvBuffer_.insert(recvBuffer_.end(), holder->recvBuffer_.begin(), holder->recvBuffer_.end());
    holder->recvBuffer_.clear();
    if (!recvBuffer_.empty()) {
      const auto total = static_cast<std::int32_t>(recvBuffer_.size());
      if (!Raise([total](CEventSocketEvents& owner) { owner.DataArrival(total); })) return;
    }
    // The DataArrival handler may have closed the connection already.
    if (holder->state_ == StateClosing && socket_ == requestID && state_ == StateConnected) {
      SetState(StateClosing);
      Raise([](CEventSocketEvents& owner) { owner.CloseSck(); });
    }
    return;
  }
  if (modEventSocket::IsSocketRegistered(requestID)) {
    socket_ = sys::kNoSocket;
    sendChunkSize_ = recvChunkSize_ = 0;
    throw SocketError(kErrWrongState, kTextWrongState, "CEventSocket.Accept");
  }
  holder_ = true;
  SetState(StateConnected);
  try {
    modEventSocket::RegisterSocket(socket_, this, false);
  } catch (const SocketError&) {
    // The caller keeps the connection it could not hand over, and closes it.
    socket_ = sys::kNoSocket;
    throw;
  }
}

void CEventSocket::CloseSck() {
  if (socket_ == sys::kNoSocket) return;
  SetState(StateClosing);
  CancelResolutions();
  DestroySocket();
  boundLocalPort_ = 0;
  remoteHostIP_.clear();
  recvBuffer_.clear();
  sendBuffer_.clear();
  sendChunkSize_ = recvChunkSize_ = 0;
  SetState(StateClosed);
}

void CEventSocket::DestroySocket() {
  if (socket_ == sys::kNoSocket) return;
  const int result = sys::CloseSocket(socket_);
  if (result != 0) {
    SetState(StateError);
    Fail(result, "CEventSocket.DestroySocket");
  }
  modEventSocket::UnregisterSocket(socket_);
  socket_ = sys::kNoSocket;
}

void CEventSocket::CancelResolutions() {
  for (const sys::RequestHandle request : pendingResolutions_) {
    sys::CancelLookup(request);
    modEventSocket::UnregisterResolution(request);
  }
  pendingResolutions_.clear();
  hostBuffer_.reset();
}

}  // namespace net
