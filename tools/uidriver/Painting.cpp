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

BOOL CALLBACK CollectVisible(HWND window, LPARAM context) {
  if (::IsWindowVisible(window)) reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
  return TRUE;
}

std::vector<HWND> VisibleWindows() {
  std::vector<HWND> top_level;
  ::EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&top_level));
  std::vector<HWND> windows = top_level;
  for (HWND window : top_level) {
    ::EnumChildWindows(window, CollectVisible, reinterpret_cast<LPARAM>(&windows));
  }
  return windows;
}

bool HasPaintPending(HWND window) { return ::GetUpdateRect(window, nullptr, FALSE) != FALSE; }

std::string Describe(HWND window) {
  // GetWindowText asks no other process, so a hung program cannot hang this.
  wchar_t title[256] = {};
  ::GetWindowTextW(window, title, 256);
  return Utf8(ClassName(window)) + " " + Quoted(title);
}

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
