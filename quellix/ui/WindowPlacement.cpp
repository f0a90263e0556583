#include "quellix/ui/WindowPlacement.h"

#include <algorithm>

namespace quellix::ui {
namespace {

// The start of an extent centred on [ownerStart, ownerEnd) and kept inside
// [areaStart, areaEnd); the start wins over the end when both cannot hold.
int PlaceAxis(int ownerStart, int ownerEnd, int extent, int areaStart, int areaEnd) {
  const int centred = (ownerStart + ownerEnd - extent) / 2;
  return std::max(std::min(centred, areaEnd - extent), areaStart);
}

}  // namespace

ScreenRect CentreInsideWorkArea(const ScreenRect& owner, int width, int height,
                                const ScreenRect& workArea) {
  const int left = PlaceAxis(owner.left, owner.right, width, workArea.left, workArea.right);
  const int top = PlaceAxis(owner.top, owner.bottom, height, workArea.top, workArea.bottom);
  return ScreenRect{left, top, left + width, top + height};
}

}  // namespace quellix::ui
