#include "tools/uidriver/Painting.h"

#include "tools/uidriver/Errors.h"
#include "tools/uidriver/Text.h"
#include "tools/uidriver/Waiting.h"
#include "tools/uidriver/WindowFinder.h"

#include <map>
#include <string>
#include <vector>
#include <windows.h>

namespace uidriver {

namespace {

// A window just made visible may not have its update region yet; a window
// counts as painted only when two looks in a row find nothing to paint.
constexpr int kCleanLooks = 2;
// Wine passes a window's painted pixels to the X server when its program is
// next idle, within a few tens of milliseconds.
constexpr DWORD kReachScreenMilliseconds = 300;

std::vector<HWND> VisibleWindows() {
  std::vector<HWND> windows = VisibleTopLevelWindows();
  const std::size_t top_level = windows.size();
  for (std::size_t i = 0; i < top_level; ++i) {
    const std::vector<HWND> descendants = VisibleDescendants(windows[i]);
    windows.insert(windows.end(), descendants.begin(), descendants.end());
  }
  return windows;
}

bool HasPaintPending(HWND window) { return ::GetUpdateRect(window, nullptr, FALSE) != FALSE; }

}  // namespace

void WaitUntilPainted(double seconds) {
  std::map<HWND, int> clean_looks;
  std::vector<HWND> unpainted;
  const bool painted = WaitFor(seconds, [&] {
    unpainted.clear();
    for (HWND window : VisibleWindows()) {
      int& looks = clean_looks[window];
      if (looks >= kCleanLooks) continue;
      looks = HasPaintPending(window) ? 0 : looks + 1;
      if (looks < kCleanLooks) unpainted.push_back(window);
    }
    return unpainted.empty();
  });
  if (!painted) {
    std::string names;
    for (HWND window : unpainted) names += (names.empty() ? "" : ", ") + Describe(window);
    throw StepFailed("these windows had still not painted after " + Seconds(seconds) + ": " +
                     names);
  }
  ::Sleep(kReachScreenMilliseconds);
}

}  // namespace uidriver
