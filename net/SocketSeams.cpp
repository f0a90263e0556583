#include "net/SocketSeams.h"

#include <utility>

#include "net/SocketPlatform.h"

namespace net::seams {

namespace {

HostNameQuery& CurrentHostNameQuery() {
  static HostNameQuery query;
  return query;
}

StateWatch& CurrentStateWatch() {
  static StateWatch watch;
  return watch;
}

PlatformCalls& CurrentPlatformCalls() {
  static PlatformCalls calls;
  return calls;
}

}  // namespace

ScopedHostNameQuery::ScopedHostNameQuery(HostNameQuery query)
    : previous_(std::exchange(CurrentHostNameQuery(), std::move(query))) {}

ScopedHostNameQuery::~ScopedHostNameQuery() { CurrentHostNameQuery() = std::move(previous_); }

ScopedStateWatch::ScopedStateWatch(StateWatch watch)
    : previous_(std::exchange(CurrentStateWatch(), std::move(watch))) {}

ScopedStateWatch::~ScopedStateWatch() { CurrentStateWatch() = std::move(previous_); }

ScopedPlatformCalls::ScopedPlatformCalls(PlatformCalls calls)
    : previous_(std::exchange(CurrentPlatformCalls(), std::move(calls))) {}

ScopedPlatformCalls::~ScopedPlatformCalls() { CurrentPlatformCalls() = std::move(previous_); }

int QueryHostName(std::string& name) {
  const HostNameQuery& query = CurrentHostNameQuery();
  return query ? query(name) : sys::HostName(name);
}

int CreateSocket(bool datagram, sys::SocketNumber& socket) {
  const auto& call = CurrentPlatformCalls().createSocket;
  return call ? call(datagram, socket) : sys::CreateSocket(datagram, socket);
}

int StartLookup(const std::string& host, sys::HostBuffer& area, sys::RequestHandle& request) {
  const auto& call = CurrentPlatformCalls().startLookup;
  return call ? call(host, area, request) : sys::StartLookup(host, area, request);
}

int Connect(sys::SocketNumber socket, sys::Address address, int port) {
  const auto& call = CurrentPlatformCalls().connect;
  return call ? call(socket, address, port) : sys::Connect(socket, address, port);
}

int Send(sys::SocketNumber socket, const std::uint8_t* data, int length, int& sent) {
  const auto& call = CurrentPlatformCalls().send;
  return call ? call(socket, data, length, sent) : sys::Send(socket, data, length, sent);
}

int BytesWaiting(sys::SocketNumber socket, std::uint32_t& count) {
  const auto& call = CurrentPlatformCalls().bytesWaiting;
  return call ? call(socket, count) : sys::BytesWaiting(socket, count);
}

bool DestroyNotifier() {
  const auto& call = CurrentPlatformCalls().destroyNotifier;
  return call ? call() : sys::DestroyNotifier();
}

void NoteState(const CEventSocket& object, std::int32_t state) {
  if (const StateWatch& watch = CurrentStateWatch()) watch(object, state);
}

}  // namespace net::seams
