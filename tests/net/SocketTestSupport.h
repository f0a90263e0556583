// Shared pieces of the socket suite: an owner that records every event (with
// the state the object was in), optional actions run inside the handlers, the
// trail of states one object takes, a pump that runs notifications until a
// condition holds, and a count of how often the pump wakes.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "net/CEventSocket.h"
#include "net/SocketError.h"
#include "net/SocketPlatform.h"
#include "net/SocketSeams.h"

namespace net::test {

class Recorder : public CEventSocketEvents {
 public:
  CEventSocket* socket = nullptr;
  std::vector<std::string> events;
  std::vector<std::int32_t> statesAtEvents;

  std::function<void()> onConnect;
  std::function<void()> onClose;
  std::function<void(std::int32_t)> onConnectionRequest;
  std::function<void(std::int32_t)> onDataArrival;
  std::function<void(bool&)> onError;
  // Runs after every event has been noted, with its text.
  std::function<void(const std::string&)> onEvent;
  std::vector<std::string> boxes;

  void CloseSck() override {
    Note("CloseSck");
    if (onClose) onClose();
    Noted();
  }
  void Connect() override {
    Note("Connect");
    if (onConnect) onConnect();
    Noted();
  }
  void ConnectionRequest(std::int32_t requestID) override {
    Note("ConnectionRequest");
    if (onConnectionRequest) onConnectionRequest(requestID);
    Noted();
  }
  void DataArrival(std::int32_t bytesTotal) override {
    Note("DataArrival " + std::to_string(bytesTotal));
    if (onDataArrival) onDataArrival(bytesTotal);
    Noted();
  }
  void Error(std::int16_t number, const std::string& description, std::int32_t scode,
             const std::string& source, const std::string& helpFile, std::int32_t helpContext,
             bool& cancelDisplay) override {
    Note("Error " + std::to_string(number) + " " + description + " " + source + " " +
         std::to_string(scode) + " [" + helpFile + "] " + std::to_string(helpContext) + " " +
         (cancelDisplay ? "cancel" : "show"));
    if (onError) onError(cancelDisplay);
    Noted();
  }
  void SendComplete() override {
    Note("SendComplete");
    Noted();
  }
  void SendProgress(std::int32_t bytesSent, std::int32_t bytesRemaining) override {
    Note("SendProgress " + std::to_string(bytesSent) + " " + std::to_string(bytesRemaining));
    Noted();
  }
  void ShowErrorBox(const std::string& description, const std::string& source) override {
    boxes.push_back(source + ": " + description);
  }

  int Count(const std::string& event) const {
    int count = 0;
    for (const auto& e : events) count += e == event ? 1 : 0;
    return count;
  }

 private:
  void Note(const std::string& event) {
    events.push_back(event);
    statesAtEvents.push_back(socket != nullptr ? socket->State() : -1);
  }
  void Noted() {
    if (onEvent) onEvent(events.back());
  }
};

// Every state one object takes, in order, starting with the one it is in.
// States it passes through inside one notification are caught as well, which
// no look between notifications can do.
class StateTrail {
 public:
  explicit StateTrail(const CEventSocket& object)
      : object_(object),
        states_{object.State()},
        watch_([this](const CEventSocket& changed, std::int32_t state) {
          if (&changed == &object_) states_.push_back(state);
        }) {}

  const std::vector<std::int32_t>& States() const { return states_; }

 private:
  const CEventSocket& object_;
  std::vector<std::int32_t> states_;
  seams::ScopedStateWatch watch_;
};

// Runs notifications until done() holds; false when the hang guard ran out.
inline bool PumpUntil(const std::function<bool()>& done,
                      std::chrono::seconds guard = std::chrono::seconds(20)) {
  const auto deadline = std::chrono::steady_clock::now() + guard;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    sys::DoEvents(10);
  }
  return true;
}

// Rounds of DoEvents(100) in half a second. A pump with nothing to deliver
// sleeps in each round, so about five; one that spins runs thousands. A slow
// machine only lowers the count.
inline int PumpRoundsInHalfASecond() {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
  int rounds = 0;
  while (std::chrono::steady_clock::now() < end) {
    sys::DoEvents(100);
    ++rounds;
  }
  return rounds;
}
constexpr int kSleepingPumpRounds = 50;

// Runs a call that must fail and returns its error.
template <typename Call>
SocketError ErrorOf(Call call) {
  try {
    call();
  } catch (const SocketError& error) {
    return error;
  }
  return SocketError(0, "no error", "");
}

// A listening object on 127.0.0.1 with a port the platform chose.
inline void ListenOnLoopback(CEventSocket& server) {
  server.Bind(0, "127.0.0.1");
  server.Listen();
}

// A connected pair: a client and the object that claimed its connection.
struct Pair {
  Recorder serverEvents, clientEvents, acceptedEvents;
  CEventSocket server{&serverEvents};
  CEventSocket client{&clientEvents};
  CEventSocket accepted{&acceptedEvents};

  // Returns false when the connection did not come up.
  bool Open() {
    serverEvents.socket = &server;
    clientEvents.socket = &client;
    acceptedEvents.socket = &accepted;
    ListenOnLoopback(server);
    serverEvents.onConnectionRequest = [this](std::int32_t id) { accepted.Accept(id); };
    client.Connect("127.0.0.1", server.LocalPort());
    return PumpUntil(
        [this] { return client.State() == StateConnected && accepted.State() == StateConnected; });
  }
};

}  // namespace net::test
