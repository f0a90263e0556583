// The update exchange on a simulated Quellix with a window whose timers run
// on a clock the test moves: no test sleeps through the time-outs. The
// sockets are real (loopback); between the clock's steps the rig lets the
// network and the test host run for a moment of real time.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "quellix/engine/session/RemovalPhases.h"
#include "quellix/engine/session/Session.h"
#include "quellix/update/UpdateExchange.h"
#include "tests/support/SimQuellix.h"
#include "tests/update/TestUpdateHost.h"

namespace quellix::update::test {

class ClockWindow final : public ExchangeWindow {
 public:
  ClockWindow();

  std::vector<std::string> statuses;
  int enableCommandsCalls = 0;
  std::int64_t now = 0;  // milliseconds since the window was made

  void SetStatus(const std::string& text) override { statuses.push_back(text); }
  void SetTimerEnabled(UpdateTimer timer, bool enabled) override;
  void EnableCommands() override { ++enableCommandsCalls; }
  bool Enabled(UpdateTimer timer) const { return Slot(timer).enabled; }

  // The next tick due at or before limit: the timer and its time.
  std::optional<std::pair<UpdateTimer, std::int64_t>> NextTick(std::int64_t limit) const;
  // Takes that tick: its timer's next one is an interval later.
  void TakeTick(UpdateTimer timer);

 private:
  struct TimerSlot {
    bool enabled = false;
    std::int64_t due = 0;
    int interval = 0;
  };
  const TimerSlot& Slot(UpdateTimer timer) const;
  TimerSlot& Slot(UpdateTimer timer);

  TimerSlot timer1_;
  TimerSlot timer5_;
};

class ExchangeRig {
 public:
  ExchangeRig();
  ~ExchangeRig();

  quellix::test::SimQuellix sim;
  BuiltPhases phases;
  Session session{sim.platform, sim.host, sim.language, phases};
  ClockWindow window;
  TestUpdateHost host;
  std::unique_ptr<UpdateExchange> exchange;
  std::vector<std::string> digestsBefore;

  // The host of this rig, by address.
  UpdateTarget Loopback() const { return UpdateTarget{"127.0.0.1", host.Port(), {}}; }
  void Start(const UpdateTarget& target);
  // Runs the network and the host until done() holds (false when a real-time
  // guard of a few seconds ran out first).
  bool PumpUntil(const std::function<bool()>& done);
  // Runs them for a short moment of real time.
  void Settle();
  // Moves the program's clock on by milliseconds, taking every tick due on
  // the way in order, with the network settled before each.
  void Advance(std::int64_t milliseconds);

  bool Ready() const { return sim.host.term; }
  int EnableGuiCalls() const;
  // What the feed added to KnownDigests.
  std::vector<std::string> AddedDigests() const;
};

}  // namespace quellix::update::test
