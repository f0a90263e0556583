// The socket calls of the object on Windows Sockets; the stack already
// reports the classic numbers.
#include <winsock2.h>
#include <windows.h>

#include <cstring>

#include "net/SocketPlatform.h"

namespace net::sys {

namespace {

SOCKET Native(SocketNumber socket) { return static_cast<SOCKET>(socket); }

int Result(int callResult) { return callResult == SOCKET_ERROR ? WSAGetLastError() : 0; }

sockaddr_in MakeAddress(Address address, int port) {
  sockaddr_in result{};
  result.sin_family = AF_INET;
  result.sin_addr.s_addr = address;
  result.sin_port = htons(static_cast<u_short>(port));
  return result;
}

int IntOption(SocketNumber socket, int name, int& value) {
  int length = sizeof(value);
  return Result(
      getsockopt(Native(socket), SOL_SOCKET, name, reinterpret_cast<char*>(&value), &length));
}

using NameCall = int(WSAAPI*)(SOCKET, sockaddr*, int*);

int ReadName(NameCall call, SocketNumber socket, Address& address, int& port) {
  sockaddr_in name{};
  int length = sizeof(name);
  const int result = Result(call(Native(socket), reinterpret_cast<sockaddr*>(&name), &length));
  if (result != 0) return result;
  address = name.sin_addr.s_addr;
  port = ntohs(name.sin_port);
  return 0;
}

}  // namespace

int CreateSocket(bool datagram, SocketNumber& socket) {
  const SOCKET created =
      ::socket(AF_INET, datagram ? SOCK_DGRAM : SOCK_STREAM, datagram ? IPPROTO_UDP : IPPROTO_TCP);
  if (created == INVALID_SOCKET) return WSAGetLastError();
  socket = static_cast<SocketNumber>(created);
  return 0;
}

int CloseSocket(SocketNumber socket) { return Result(closesocket(Native(socket))); }

int Bind(SocketNumber socket, Address address, int port) {
  const sockaddr_in name = MakeAddress(address, port);
  return Result(bind(Native(socket), reinterpret_cast<const sockaddr*>(&name), sizeof(name)));
}

int Listen(SocketNumber socket, int backlog) { return Result(listen(Native(socket), backlog)); }

int Accept(SocketNumber listener, SocketNumber& socket) {
  const SOCKET accepted = accept(Native(listener), nullptr, nullptr);
  if (accepted == INVALID_SOCKET) return WSAGetLastError();
  socket = static_cast<SocketNumber>(accepted);
  return 0;
}

int Connect(SocketNumber socket, Address address, int port) {
  const sockaddr_in name = MakeAddress(address, port);
  return Result(connect(Native(socket), reinterpret_cast<const sockaddr*>(&name), sizeof(name)));
}

int Send(SocketNumber socket, const std::uint8_t* data, int length, int& sent) {
  const int result = send(Native(socket), reinterpret_cast<const char*>(data), length, 0);
  if (result == SOCKET_ERROR) return WSAGetLastError();
  sent = result;
  return 0;
}

int Receive(SocketNumber socket, std::uint8_t* data, int length, bool peek, int& received) {
  const int result =
      recv(Native(socket), reinterpret_cast<char*>(data), length, peek ? MSG_PEEK : 0);
  if (result == SOCKET_ERROR) return WSAGetLastError();
  received = result;
  return 0;
}

int SendTo(SocketNumber socket, const std::uint8_t* data, int length, Address address, int port) {
  const sockaddr_in name = MakeAddress(address, port);
  return Result(sendto(Native(socket), reinterpret_cast<const char*>(data), length, 0,
                       reinterpret_cast<const sockaddr*>(&name), sizeof(name)));
}

int ReceiveFrom(SocketNumber socket, std::uint8_t* data, int length, bool peek, int& received,
                Address& address, int& port) {
  sockaddr_in from{};
  int fromLength = sizeof(from);
  const int result = recvfrom(Native(socket), reinterpret_cast<char*>(data), length,
                              peek ? MSG_PEEK : 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
  const int error = result == SOCKET_ERROR ? WSAGetLastError() : 0;
  if (error != 0 && error != kMessageTooLong) return error;
  received = error == 0 ? result : length;
  address = from.sin_addr.s_addr;
  port = ntohs(from.sin_port);
  return error;
}

int LocalName(SocketNumber socket, Address& address, int& port) {
  return ReadName(&getsockname, socket, address, port);
}

int PeerName(SocketNumber socket, Address& address, int& port) {
  return ReadName(&getpeername, socket, address, port);
}

int SendBufferSize(SocketNumber socket, int& size) { return IntOption(socket, SO_SNDBUF, size); }

int ReceiveBufferSize(SocketNumber socket, int& size) { return IntOption(socket, SO_RCVBUF, size); }

int MaxDatagramSize(SocketNumber socket, int& size) {
  return IntOption(socket, SO_MAX_MSG_SIZE, size);
}

int EnableBroadcast(SocketNumber socket) {
  const BOOL on = TRUE;
  return Result(setsockopt(Native(socket), SOL_SOCKET, SO_BROADCAST,
                           reinterpret_cast<const char*>(&on), sizeof(on)));
}

int BytesWaiting(SocketNumber socket, std::uint32_t& count) {
  u_long waiting = 0;
  const int result = Result(ioctlsocket(Native(socket), FIONREAD, &waiting));
  if (result == 0) count = static_cast<std::uint32_t>(waiting);
  return result;
}

int HostName(std::string& name) {
  char buffer[256] = {};
  const int result = Result(gethostname(buffer, sizeof(buffer) - 1));
  if (result == 0) name = buffer;
  return result;
}

int LookupHost(const std::string& name, Address& address) {
  const hostent* host = gethostbyname(name.c_str());
  if (host == nullptr) return WSAGetLastError();
  if (host->h_addrtype != AF_INET || host->h_addr_list[0] == nullptr) return WSANO_DATA;
  std::memcpy(&address, host->h_addr_list[0], sizeof(address));
  return 0;
}

bool ParseDotted(const std::string& text, Address& address) {
  address = inet_addr(text.c_str());
  return address != INADDR_NONE;
}

std::string Dotted(Address address) {
  in_addr value{};
  value.s_addr = address;
  return inet_ntoa(value);
}

}  // namespace net::sys
