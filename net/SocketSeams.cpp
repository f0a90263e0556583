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

}  // namespace

ScopedHostNameQuery::ScopedHostNameQuery(HostNameQuery query)
    : previous_(std::exchange(CurrentHostNameQuery(), std::move(query))) {}

ScopedHostNameQuery::~ScopedHostNameQuery() { CurrentHostNameQuery() = std::move(previous_); }

ScopedStateWatch::ScopedStateWatch(StateWatch watch)
    : previous_(std::exchange(CurrentStateWatch(), std::move(watch))) {}

ScopedStateWatch::~ScopedStateWatch() { CurrentStateWatch() = std::move(previous_); }

int QueryHostName(std::string& name) {
  const HostNameQuery& query = CurrentHostNameQuery();
  return query ? query(name) : sys::HostName(name);
}

void NoteState(const CEventSocket& object, std::int32_t state) {
  if (const StateWatch& watch = CurrentStateWatch()) watch(object, state);
}

}  // namespace net::seams
