#include "tests/update/ExchangeRig.h"

#include <algorithm>
#include <chrono>

#include "net/SocketPlatform.h"

namespace quellix::update::test {

ClockWindow::ClockWindow() {
  timer1_ = {true, kTimer1Interval, kTimer1Interval};
  timer5_ = {false, 0, kTimer5Interval};
}

const ClockWindow::TimerSlot& ClockWindow::Slot(UpdateTimer timer) const {
  return timer == UpdateTimer::Timer1 ? timer1_ : timer5_;
}

ClockWindow::TimerSlot& ClockWindow::Slot(UpdateTimer timer) {
  return timer == UpdateTimer::Timer1 ? timer1_ : timer5_;
}

void ClockWindow::SetTimerEnabled(UpdateTimer timer, bool enabled) {
  TimerSlot& slot = Slot(timer);
  if (enabled && !slot.enabled) slot.due = now + slot.interval;
  slot.enabled = enabled;
}

std::optional<std::pair<UpdateTimer, std::int64_t>> ClockWindow::NextTick(
    std::int64_t limit) const {
  std::optional<std::pair<UpdateTimer, std::int64_t>> next;
  for (const UpdateTimer timer : {UpdateTimer::Timer1, UpdateTimer::Timer5}) {
    const TimerSlot& slot = Slot(timer);
    if (slot.enabled && slot.due <= limit && (!next || slot.due < next->second)) {
      next = std::make_pair(timer, slot.due);
    }
  }
  return next;
}

void ClockWindow::TakeTick(UpdateTimer timer) { Slot(timer).due += Slot(timer).interval; }

ExchangeRig::ExchangeRig() : digestsBefore(session.KnownDigests) {}

ExchangeRig::~ExchangeRig() { exchange.reset(); }

void ExchangeRig::Start(const UpdateTarget& target) {
  sim.host.events.clear();
  exchange = std::make_unique<UpdateExchange>(session, window, target);
  exchange->Start();
}

void ExchangeRig::Settle() {
  for (int round = 0; round < 10; ++round) {
    net::sys::DoEvents(5);
    host.Pump();
  }
}

bool ExchangeRig::PumpUntil(const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    net::sys::DoEvents(5);
    host.Pump();
  }
  return true;
}

void ExchangeRig::Advance(std::int64_t milliseconds) {
  const std::int64_t end = window.now + milliseconds;
  while (window.now < end) {
    Settle();
    const std::int64_t step = std::min(end, window.now + kTimer1Interval);
    const auto tick = window.NextTick(step);
    if (!tick) {
      window.now = step;
      continue;
    }
    window.now = tick->second;
    window.TakeTick(tick->first);
    if (tick->first == UpdateTimer::Timer1) {
      exchange->Timer1_Timer();
    } else {
      exchange->Timer5_Timer();
    }
  }
}

int ExchangeRig::EnableGuiCalls() const {
  return static_cast<int>(
      std::count(sim.host.events.begin(), sim.host.events.end(), std::string("EnableGUI")));
}

std::vector<std::string> ExchangeRig::AddedDigests() const {
  const auto& now = session.KnownDigests;
  if (now.size() < digestsBefore.size() ||
      !std::equal(digestsBefore.begin(), digestsBefore.end(), now.begin())) {
    return {"<the old entries changed>"};
  }
  return std::vector<std::string>(now.begin() + static_cast<std::ptrdiff_t>(digestsBefore.size()),
                                  now.end());
}

}  // namespace quellix::update::test
