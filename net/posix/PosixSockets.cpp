// The socket calls of the object on POSIX sockets, reporting classic numbers.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "net/SocketPlatform.h"
#include "net/posix/PosixErrors.h"
#include "net/posix/PosixLoop.h"

namespace net::sys {

namespace {

// The largest payload of one IPv4 UDP datagram; POSIX has no option to ask.
constexpr int kMaxDatagram = 65507;

int LastError() { return posix::MapErrno(errno); }

sockaddr_in MakeAddress(Address address, int port) {
  sockaddr_in result{};
  result.sin_family = AF_INET;
  result.sin_addr.s_addr = address;
  result.sin_port = htons(static_cast<std::uint16_t>(port));
  return result;
}

int IntOption(SocketNumber socket, int name, int& value) {
  socklen_t length = sizeof(value);
  return ::getsockopt(socket, SOL_SOCKET, name, &value, &length) == 0 ? 0 : LastError();
}

using NameCall = int (*)(int, sockaddr*, socklen_t*);

int ReadName(NameCall call, SocketNumber socket, Address& address, int& port) {
  sockaddr_in name{};
  socklen_t length = sizeof(name);
  if (call(socket, reinterpret_cast<sockaddr*>(&name), &length) != 0) return LastError();
  address = name.sin_addr.s_addr;
  port = ntohs(name.sin_port);
  return 0;
}

}  // namespace

int CreateSocket(bool datagram, SocketNumber& socket) {
  const int fd = ::socket(AF_INET, (datagram ? SOCK_DGRAM : SOCK_STREAM) | SOCK_CLOEXEC, 0);
  if (fd < 0) return LastError();
  socket = fd;
  return 0;
}

int CloseSocket(SocketNumber socket) {
  posix::Forget(socket);
  return ::close(socket) == 0 ? 0 : LastError();
}

int Bind(SocketNumber socket, Address address, int port) {
  const sockaddr_in name = MakeAddress(address, port);
  if (::bind(socket, reinterpret_cast<const sockaddr*>(&name), sizeof(name)) != 0) {
    return LastError();
  }
  return 0;
}

int Listen(SocketNumber socket, int backlog) {
  if (::listen(socket, backlog) != 0) return LastError();
  posix::NoteListening(socket);
  return 0;
}

int Accept(SocketNumber listener, SocketNumber& socket) {
  const int fd = ::accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
  posix::NoteAccepted(listener, fd);
  if (fd < 0) return LastError();
  socket = fd;
  return 0;
}

int Connect(SocketNumber socket, Address address, int port) {
  const sockaddr_in name = MakeAddress(address, port);
  if (::connect(socket, reinterpret_cast<const sockaddr*>(&name), sizeof(name)) == 0) {
    posix::PostConnectResult(socket, 0);
    return kWouldBlock;
  }
  const int error = errno;
  switch (error) {
    case EINPROGRESS:
    case EAGAIN:
      posix::NoteConnecting(socket);
      return kWouldBlock;
    case ECONNREFUSED:
    case ETIMEDOUT:
    case ECONNRESET:
    case ENETUNREACH:
    case EHOSTUNREACH:
      // Winsock reports these through the connect notification.
      posix::PostConnectResult(socket, posix::MapErrno(error));
      return kWouldBlock;
    default:
      return posix::MapErrno(error);
  }
}

int Send(SocketNumber socket, const std::uint8_t* data, int length, int& sent) {
  const ssize_t result = ::send(socket, data, static_cast<std::size_t>(length), MSG_NOSIGNAL);
  if (result < 0) {
    const int error = LastError();
    if (error == kWouldBlock) posix::NoteSendBlocked(socket);
    return error;
  }
  sent = static_cast<int>(result);
  return 0;
}

int Receive(SocketNumber socket, std::uint8_t* data, int length, bool peek, int& received) {
  const ssize_t result =
      ::recv(socket, data, static_cast<std::size_t>(length), peek ? MSG_PEEK : 0);
  posix::NoteReceived(socket);
  if (result < 0) return LastError();
  received = static_cast<int>(result);
  return 0;
}

int SendTo(SocketNumber socket, const std::uint8_t* data, int length, Address address, int port) {
  const sockaddr_in name = MakeAddress(address, port);
  const ssize_t result = ::sendto(socket, data, static_cast<std::size_t>(length), MSG_NOSIGNAL,
                                  reinterpret_cast<const sockaddr*>(&name), sizeof(name));
  return result < 0 ? LastError() : 0;
}

int ReceiveFrom(SocketNumber socket, std::uint8_t* data, int length, bool peek, int& received,
                Address& address, int& port) {
  sockaddr_in from{};
  iovec piece{data, static_cast<std::size_t>(length)};
  msghdr header{};
  header.msg_name = &from;
  header.msg_namelen = sizeof(from);
  header.msg_iov = &piece;
  header.msg_iovlen = 1;
  const ssize_t result = ::recvmsg(socket, &header, peek ? MSG_PEEK : 0);
  posix::NoteReceived(socket);
  if (result < 0) return LastError();
  received = static_cast<int>(result);
  address = from.sin_addr.s_addr;
  port = ntohs(from.sin_port);
  // Winsock fails a receive that cut a datagram short; report it the same way.
  return (header.msg_flags & MSG_TRUNC) != 0 ? kMessageTooLong : 0;
}

int LocalName(SocketNumber socket, Address& address, int& port) {
  return ReadName(&::getsockname, socket, address, port);
}

int PeerName(SocketNumber socket, Address& address, int& port) {
  return ReadName(&::getpeername, socket, address, port);
}

int SendBufferSize(SocketNumber socket, int& size) { return IntOption(socket, SO_SNDBUF, size); }

int ReceiveBufferSize(SocketNumber socket, int& size) { return IntOption(socket, SO_RCVBUF, size); }

int MaxDatagramSize(SocketNumber socket, int& size) {
  int type = 0;
  const int result = IntOption(socket, SO_TYPE, type);
  if (result != 0) return result;
  if (type != SOCK_DGRAM) return 10042;
  size = kMaxDatagram;
  return 0;
}

int EnableBroadcast(SocketNumber socket) {
  const int on = 1;
  return ::setsockopt(socket, SOL_SOCKET, SO_BROADCAST, &on, sizeof(on)) == 0 ? 0 : LastError();
}

int BytesWaiting(SocketNumber socket, std::uint32_t& count) {
  int waiting = 0;
  if (::ioctl(socket, FIONREAD, &waiting) != 0) return LastError();
  count = static_cast<std::uint32_t>(waiting);
  return 0;
}

int HostName(std::string& name) {
  char buffer[256] = {};
  if (::gethostname(buffer, sizeof(buffer) - 1) != 0) return LastError();
  name = buffer;
  return 0;
}

int LookupHost(const std::string& name, Address& address) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const int result = ::getaddrinfo(name.c_str(), nullptr, &hints, &found);
  if (result != 0) return posix::MapLookupError(result, errno);
  address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
  ::freeaddrinfo(found);
  return 0;
}

bool ParseDotted(const std::string& text, Address& address) {
  address = ::inet_addr(text.c_str());
  return address != INADDR_NONE;
}

std::string Dotted(Address address) {
  in_addr value{};
  value.s_addr = address;
  char text[INET_ADDRSTRLEN] = {};
  ::inet_ntop(AF_INET, &value, text, sizeof(text));
  return text;
}

}  // namespace net::sys
