// Entries into the socket object for its tests. The local host-name query and
// a few platform calls can be replaced, so that failures the machine will not
// produce on demand are reached, and so that a count another platform reports
// differently can be given. And every state an object takes can be watched,
// including those it leaves again within the same notification: a resolved
// name is state 5 only until its connection starts, before the lookup's
// notification returns, so no caller between notifications ever sees it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "net/SocketPlatform.h"

namespace net {

class CEventSocket;

namespace seams {

// Fills name and returns 0, or returns a classic socket error number.
using HostNameQuery = std::function<int(std::string& name)>;
// Called after the object's state has changed to state.
using StateWatch = std::function<void(const CEventSocket& object, std::int32_t state)>;

// Platform calls that replace the real ones; an empty member leaves the real
// call in place. They take and return what the calls of SocketPlatform.h do.
struct PlatformCalls {
  std::function<int(bool datagram, sys::SocketNumber& socket)> createSocket;
  std::function<int(const std::string& host, sys::HostBuffer& area, sys::RequestHandle& request)>
      startLookup;
  std::function<int(sys::SocketNumber socket, sys::Address address, int port)> connect;
  std::function<int(sys::SocketNumber socket, const std::uint8_t* data, int length, int& sent)>
      send;
  std::function<int(sys::SocketNumber socket, std::uint32_t& count)> bytesWaiting;
  std::function<bool()> destroyNotifier;
};

// Each replaces the one in force for as long as it lives.
class ScopedHostNameQuery {
 public:
  explicit ScopedHostNameQuery(HostNameQuery query);
  ~ScopedHostNameQuery();
  ScopedHostNameQuery(const ScopedHostNameQuery&) = delete;
  ScopedHostNameQuery& operator=(const ScopedHostNameQuery&) = delete;

 private:
  HostNameQuery previous_;
};

class ScopedStateWatch {
 public:
  explicit ScopedStateWatch(StateWatch watch);
  ~ScopedStateWatch();
  ScopedStateWatch(const ScopedStateWatch&) = delete;
  ScopedStateWatch& operator=(const ScopedStateWatch&) = delete;

 private:
  StateWatch previous_;
};

class ScopedPlatformCalls {
 public:
  explicit ScopedPlatformCalls(PlatformCalls calls);
  ~ScopedPlatformCalls();
  ScopedPlatformCalls(const ScopedPlatformCalls&) = delete;
  ScopedPlatformCalls& operator=(const ScopedPlatformCalls&) = delete;

 private:
  PlatformCalls previous_;
};

// The object's and the registry's side: the platform's calls unless a test
// replaced them.
int QueryHostName(std::string& name);
int CreateSocket(bool datagram, sys::SocketNumber& socket);
int StartLookup(const std::string& host, sys::HostBuffer& area, sys::RequestHandle& request);
int Connect(sys::SocketNumber socket, sys::Address address, int port);
int Send(sys::SocketNumber socket, const std::uint8_t* data, int length, int& sent);
int BytesWaiting(sys::SocketNumber socket, std::uint32_t& count);
bool DestroyNotifier();
void NoteState(const CEventSocket& object, std::int32_t state);

}  // namespace seams
}  // namespace net
