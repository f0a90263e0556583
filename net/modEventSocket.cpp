#include "net/modEventSocket.h"

#include <map>
#include <optional>
#include <set>
#include <vector>

#include "net/CEventSocket.h"
#include "net/SocketError.h"
#include "net/SocketSeams.h"

namespace net::modEventSocket {

namespace {

// One slot of a table; a freed slot holds -1 and is reused by the next entry.
template <typename Key>
struct Slot {
  Key key;
  CEventSocket* object;
};

template <typename Key>
class Table {
 public:
  void Enter(Key key, CEventSocket* object) {
    if (Find(key) != nullptr) return;
    for (auto& slot : slots_) {
      if (slot.key == -1) {
        slot = {key, object};
        return;
      }
    }
    slots_.push_back({key, object});
  }
  void Free(Key key) {
    if (Slot<Key>* slot = Find(key)) *slot = {-1, nullptr};
  }
  Slot<Key>* Find(Key key) {
    if (key == -1) return nullptr;
    for (auto& slot : slots_) {
      if (slot.key == key) return &slot;
    }
    return nullptr;
  }
  void Clear() { slots_.clear(); }

 private:
  std::vector<Slot<Key>> slots_;
};

struct Registry {
  std::int32_t users = 0;
  bool started = false;
  bool notifier = false;
  Table<sys::SocketNumber> sockets;
  Table<sys::RequestHandle> resolutions;
  // Registered sockets; its emptiness decides when the notifier goes away.
  std::optional<std::set<std::string>> socketCollection;
  // Accepted connections nobody has claimed yet, owned here until then.
  std::optional<std::map<std::string, std::shared_ptr<CEventSocket>>> pendingAccepts;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

std::string Key(sys::SocketNumber socket) { return std::to_string(socket) + "S"; }

[[noreturn]] void Fail(long number, const std::string& source) {
  throw SocketError(number, GetErrorDescription(number), source);
}

}  // namespace

std::int32_t InitiateProcesses() {
  Registry& registry = TheRegistry();
  registry.users += 1;
  if (registry.started) return 0;
  registry.started = true;
  const int result = sys::StartLayer();
  if (result != 0) {
    // The creator never comes to life, so it will not end either: take back
    // its count now, or the layer would never be started again.
    registry.users -= 1;
    registry.started = false;
    Fail(result, "modEventSocket.InitiateProcesses");
  }
  return 0;
}

std::int32_t FinalizeProcesses() {
  Registry& registry = TheRegistry();
  registry.users -= 1;
  if (!registry.started || registry.users != 0) return 0;
  const int result = sys::StopLayer();
  if (result != 0) Fail(result, "modEventSocket.FinalizeProcesses");
  if (registry.notifier) {
    sys::DestroyNotifier();
    registry.notifier = false;
  }
  registry.socketCollection.reset();
  registry.sockets.Clear();
  registry.resolutions.Clear();
  registry.started = false;
  return 0;
}

bool RegisterSocket(sys::SocketNumber socket, CEventSocket* object, bool withNotifications) {
  Registry& registry = TheRegistry();
  if (!registry.socketCollection) {
    registry.socketCollection.emplace();
    if (!sys::CreateNotifier()) {
      registry.socketCollection.reset();
      throw SocketError(kErrOutOfMemory, kTextOutOfMemory, "modEventSocket.RegisterSocket");
    }
    registry.notifier = true;
  }
  registry.sockets.Enter(socket, object);
  if (withNotifications) {
    const int result = sys::SelectNotifications(socket);
    if (result != 0) Fail(result, "modEventSocket.RegisterSocket");
  }
  registry.socketCollection->insert(Key(socket));
  return true;
}

void UnregisterSocket(sys::SocketNumber socket) {
  Registry& registry = TheRegistry();
  registry.sockets.Free(socket);
  if (!registry.socketCollection) return;
  registry.socketCollection->erase(Key(socket));
  if (!registry.socketCollection->empty()) return;
  registry.socketCollection.reset();
  if (registry.notifier) {
    registry.notifier = false;
    // A notifier that will not go away no longer dispatches, and the next
    // registration makes a new one. Failing here would leave the caller
    // holding a handle that is already closed and may soon be another's.
    seams::DestroyNotifier();
  }
}

bool IsSocketRegistered(sys::SocketNumber socket) {
  const Registry& registry = TheRegistry();
  return registry.socketCollection && registry.socketCollection->count(Key(socket)) != 0;
}

sys::RequestHandle StartResolution(const std::string& host, sys::HostBuffer& area,
                                   CEventSocket* object, int* error) {
  sys::RequestHandle request = 0;
  const int result = seams::StartLookup(host, area, request);
  if (error != nullptr) *error = result;
  if (request != 0) TheRegistry().resolutions.Enter(request, object);
  return request;
}

void UnregisterResolution(sys::RequestHandle request) { TheRegistry().resolutions.Free(request); }

void RegisterAccept(sys::SocketNumber socket) {
  Registry& registry = TheRegistry();
  auto holder = std::make_shared<CEventSocket>();
  holder->Accept(socket);
  if (!registry.pendingAccepts) registry.pendingAccepts.emplace();
  (*registry.pendingAccepts)[Key(socket)] = std::move(holder);
}

bool IsAcceptPending(sys::SocketNumber socket) {
  const Registry& registry = TheRegistry();
  return registry.pendingAccepts && registry.pendingAccepts->count(Key(socket)) != 0;
}

void UnregisterAccept(sys::SocketNumber socket) {
  Registry& registry = TheRegistry();
  if (!registry.pendingAccepts) return;
  // The holder may end here; take it out of the collection first so that its
  // destructor sees a consistent registry.
  std::shared_ptr<CEventSocket> holder;
  auto found = registry.pendingAccepts->find(Key(socket));
  if (found != registry.pendingAccepts->end()) {
    holder = std::move(found->second);
    registry.pendingAccepts->erase(found);
  }
  if (registry.pendingAccepts->empty()) registry.pendingAccepts.reset();
}

std::shared_ptr<CEventSocket> GetAcceptHolder(sys::SocketNumber socket) {
  const Registry& registry = TheRegistry();
  if (!registry.pendingAccepts) return nullptr;
  auto found = registry.pendingAccepts->find(Key(socket));
  return found == registry.pendingAccepts->end() ? nullptr : found->second;
}

void RepointSocket(sys::SocketNumber socket, CEventSocket* object) {
  if (auto* slot = TheRegistry().sockets.Find(socket)) slot->object = object;
}

void Dispatch(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  Registry& registry = TheRegistry();
  CEventSocket* object = nullptr;
  if (message == sys::kMsgResolved) {
    if (auto* slot = registry.resolutions.Find(static_cast<sys::RequestHandle>(wParam))) {
      object = slot->object;
    }
  } else if (message == sys::kMsgSocket) {
    if (auto* slot = registry.sockets.Find(static_cast<sys::SocketNumber>(wParam))) {
      object = slot->object;
    }
  }
  if (object == nullptr) return;
  // Whatever a notification's handling raises, its own failures or an event
  // handler's, has nobody to go to: it ends that notification here, on every
  // platform, and the pump goes on.
  try {
    object->WndProc(0, message, wParam, lParam);
  } catch (...) {
  }
}

bool IsLayerStarted() { return TheRegistry().started; }
bool HasNotifier() { return TheRegistry().notifier; }

}  // namespace net::modEventSocket
