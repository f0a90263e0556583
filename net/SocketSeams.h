// Two entries into the socket object for its tests. The local host-name query
// can be replaced, so that its failures are reached without renaming the
// machine. And every state an object takes can be watched, including those it
// leaves again within the same notification: a resolved name is state 5 only
// until its connection starts, before the lookup's notification returns, so
// no caller between notifications ever sees it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace net {

class CEventSocket;

namespace seams {

// Fills name and returns 0, or returns a classic socket error number.
using HostNameQuery = std::function<int(std::string& name)>;
// Called after the object's state has changed to state.
using StateWatch = std::function<void(const CEventSocket& object, std::int32_t state)>;

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

// The object's side: the platform's query unless a test replaced it.
int QueryHostName(std::string& name);
void NoteState(const CEventSocket& object, std::int32_t state);

}  // namespace seams
}  // namespace net
