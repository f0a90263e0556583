// Polling until a window reaches the state a step waits for. The programs
// under test give no notice of their state changes, so the driver looks again
// every few milliseconds until the step's time limit.
#pragma once

#include <chrono>
#include <windows.h>

namespace uidriver {

// Calls probe until it returns something true or the time is up, and returns
// its last result (false-like on timeout).
template <typename Probe>
auto WaitFor(double seconds, Probe probe) -> decltype(probe()) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  for (;;) {
    auto result = probe();
    if (result || std::chrono::steady_clock::now() >= deadline) return result;
    ::Sleep(50);
  }
}

}  // namespace uidriver
