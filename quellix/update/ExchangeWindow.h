// What the update exchange needs from the main window beyond the engine's
// Host: the status line, its two timers and the two buttons.
#pragma once

#include <string>

namespace quellix::update {

enum class UpdateTimer {
  Timer1,  // 1000 ms, enabled when the window is made: the version check's time-out
  Timer5,  // 5000 ms, enabled by the feed start: the feed's time-out
};

constexpr int kTimer1Interval = 1000;
constexpr int kTimer5Interval = 5000;

class ExchangeWindow {
 public:
  virtual ~ExchangeWindow() = default;

  // Replaces the text of the status line (Label2).
  virtual void SetStatus(const std::string& text) = 0;
  // Enabling a stopped timer starts its interval anew; a stopped timer
  // delivers no tick, not even one that was already due.
  virtual void SetTimerEnabled(UpdateTimer timer, bool enabled) = 0;
  // Enables Command1 (CLOSE) and Command2 (START).
  virtual void EnableCommands() = 0;
};

}  // namespace quellix::update
