#include "tools/uidriver/PictureChecks.h"

#include "tools/uidriver/Errors.h"
#include "tools/uidriver/WindowFinder.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace uidriver {

namespace {

// The text of the system's message box is the static with this ID.
constexpr int kSystemBoxTextId = 0xFFFF;

// The part of `area` that lies in the picture.
RECT InPicture(const Picture& picture, RECT area) {
  area.left = std::max<LONG>(area.left, picture.origin.x);
  area.top = std::max<LONG>(area.top, picture.origin.y);
  area.right = std::min<LONG>(area.right, picture.origin.x + picture.width);
  area.bottom = std::min<LONG>(area.bottom, picture.origin.y + picture.height);
  return area;
}

bool IsEmpty(const RECT& area) { return area.left >= area.right || area.top >= area.bottom; }

// The windows above one in Z order hide parts of it; the picture shows them there.
using Covering = std::vector<RECT>;

bool IsCovered(const Covering& above, LONG x, LONG y) {
  const POINT point{x, y};
  return std::any_of(above.begin(), above.end(),
                     [&](const RECT& rect) { return ::PtInRect(&rect, point) != FALSE; });
}

bool Overlaps(const Covering& above, const RECT& area) {
  RECT common{};
  return std::any_of(above.begin(), above.end(),
                     [&](const RECT& rect) { return ::IntersectRect(&common, &rect, &area); });
}

// One colour wherever the area is not hidden; an area hidden whole cannot be
// judged and does not count as flat.
bool IsFlat(const Picture& picture, const RECT& area, const Covering& above) {
  bool seen = false;
  std::uint32_t first = 0;
  for (LONG y = area.top; y < area.bottom; ++y) {
    for (LONG x = area.left; x < area.right; ++x) {
      if (IsCovered(above, x, y)) continue;
      const std::uint32_t colour = picture.ColourAt(x, y);
      if (!seen) first = colour;
      seen = true;
      if (colour != first) return false;
    }
  }
  return seen;
}

// The strip between the top of the window's frame and its client area: the
// border, the title bar and any menu bar.
void CheckTitleBar(const Picture& picture, HWND window, const Covering& above) {
  RECT frame{};
  POINT client{0, 0};
  if (!::GetWindowRect(window, &frame) || !::ClientToScreen(window, &client)) return;
  const RECT strip = InPicture(picture, {frame.left, frame.top, frame.right, client.y});
  if (IsEmpty(strip)) return;
  if (IsFlat(picture, strip, above)) {
    throw StepFailed("the picture shows the " + Describe(window) +
                     " without a title bar (the strip above its client area is one colour)");
  }
}

// The colour most of the area shows: the background behind the text.
std::uint32_t Background(const Picture& picture, const RECT& area) {
  std::map<std::uint32_t, int> counts;
  for (LONG y = area.top; y < area.bottom; ++y) {
    for (LONG x = area.left; x < area.right; ++x) ++counts[picture.ColourAt(x, y)];
  }
  return std::max_element(counts.begin(), counts.end(),
                          [](const auto& a, const auto& b) { return a.second < b.second; })
      ->first;
}

// Text laid out to fit its area never reaches the area's last column or last
// row; a line cut by the edge does. A text partly hidden by another window or
// by the screen's edge cannot be judged.
void CheckBoxText(const Picture& picture, HWND box, const Covering& above) {
  HWND text = DescendantWithId(box, kSystemBoxTextId);
  RECT area{};
  if (text == nullptr || !::IsWindowVisible(text) || !::GetWindowRect(text, &area)) return;
  const RECT shown = InPicture(picture, area);
  if (IsEmpty(shown) || !::EqualRect(&shown, &area) || Overlaps(above, area)) return;
  const std::uint32_t background = Background(picture, shown);
  for (LONG y = shown.top; y < shown.bottom; ++y) {
    for (LONG x = shown.left; x < shown.right; ++x) {
      const bool on_edge = x == shown.right - 1 || y == shown.bottom - 1;
      if (on_edge && picture.ColourAt(x, y) != background) {
        throw StepFailed("the picture shows the text of the " + Describe(box) +
                         " cut at the edge of its area (" + std::to_string(x - area.left) + "," +
                         std::to_string(y - area.top) + " of " +
                         std::to_string(area.right - area.left) + "x" +
                         std::to_string(area.bottom - area.top) + ")");
      }
    }
  }
}

}  // namespace

void CheckPicture(const Picture& picture) {
  Covering above;
  for (HWND window : VisibleTopLevelWindows()) {
    if ((::GetWindowLongW(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION) {
      CheckTitleBar(picture, window, above);
    }
    if (ClassName(window) == L"#32770") CheckBoxText(picture, window, above);
    RECT frame{};
    if (::GetWindowRect(window, &frame)) above.push_back(frame);
  }
}

}  // namespace uidriver
