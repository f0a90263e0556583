// What the socket object and its registry need from the platform. Two
// backends implement it: net/winsock (Windows Sockets 1.1 with window-message
// notification) and net/posix (non-blocking sockets, a poll loop and a
// resolver). Every call reports a classic socket error number (10004..11004),
// 0 meaning success, so that the portable code branches on the same numbers
// everywhere.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace net::sys {

using SocketNumber = std::int32_t;
using RequestHandle = std::intptr_t;
constexpr SocketNumber kNoSocket = -1;

// Addresses are IPv4 in network byte order, as the classic parser returns them.
using Address = std::uint32_t;

// The result area of an asynchronous lookup; the backend decides its layout.
using HostBuffer = std::array<char, 1024>;

// Notification messages and the event codes inside them.
constexpr std::uint32_t kMsgResolved = 0x800;
constexpr std::uint32_t kMsgSocket = 0x801;
constexpr int kEventRead = 1;
constexpr int kEventWrite = 2;
constexpr int kEventAccept = 8;
constexpr int kEventConnect = 16;
constexpr int kEventClose = 32;
constexpr int kEventMask = kEventRead | kEventWrite | kEventAccept | kEventConnect | kEventClose;

constexpr int kWouldBlock = 10035;
constexpr int kMessageTooLong = 10040;
constexpr int kAddressFamily = 10047;
constexpr int kAddressNotAvailable = 10049;

// The socket layer, started with the first socket object and stopped with the last.
int StartLayer();
int StopLayer();

// The notification window ("SOCKET_WINDOW") or, outside Windows, the event
// loop's registration; both deliver through modEventSocket::Dispatch.
bool CreateNotifier();
bool DestroyNotifier();

// Selects every notification of kEventMask for the socket, to arrive as
// kMsgSocket; the socket becomes non-blocking.
int SelectNotifications(SocketNumber socket);

// Starts an asynchronous lookup whose completion arrives as kMsgResolved with
// the request handle; request is 0 when it did not start.
int StartLookup(const std::string& host, HostBuffer& area, RequestHandle& request);
int CancelLookup(RequestHandle request);
// The first IPv4 address of a finished lookup's result area.
bool FirstAddress(const HostBuffer& area, Address& address);

// Runs the notifications that are due, waiting up to waitMilliseconds for the
// first one. The host's message pump calls it.
void DoEvents(int waitMilliseconds);

// The modal box for an Error event whose handler cleared cancel display.
void ShowErrorBox(const std::string& description, const std::string& title);

// Sockets.
int CreateSocket(bool datagram, SocketNumber& socket);
int CloseSocket(SocketNumber socket);
int Bind(SocketNumber socket, Address address, int port);
int Listen(SocketNumber socket, int backlog);
// The accepted socket reports with the notifications of the listening socket.
int Accept(SocketNumber listener, SocketNumber& socket);
// Non-blocking: kWouldBlock means the attempt runs and kEventConnect follows.
int Connect(SocketNumber socket, Address address, int port);
int Send(SocketNumber socket, const std::uint8_t* data, int length, int& sent);
int Receive(SocketNumber socket, std::uint8_t* data, int length, bool peek, int& received);
int SendTo(SocketNumber socket, const std::uint8_t* data, int length, Address address, int port);
// kMessageTooLong when the datagram was longer than length; the first length
// bytes are then in data and received is length.
int ReceiveFrom(SocketNumber socket, std::uint8_t* data, int length, bool peek, int& received,
                Address& address, int& port);
int LocalName(SocketNumber socket, Address& address, int& port);
int PeerName(SocketNumber socket, Address& address, int& port);
int SendBufferSize(SocketNumber socket, int& size);
int ReceiveBufferSize(SocketNumber socket, int& size);
int MaxDatagramSize(SocketNumber socket, int& size);
int EnableBroadcast(SocketNumber socket);
int BytesWaiting(SocketNumber socket, std::uint32_t& count);

// Names and addresses.
int HostName(std::string& name);
int LookupHost(const std::string& name, Address& address);
// The classic dotted-address parser; false where it returns its failure value
// (which is also the address 255.255.255.255).
bool ParseDotted(const std::string& text, Address& address);
std::string Dotted(Address address);

}  // namespace net::sys
