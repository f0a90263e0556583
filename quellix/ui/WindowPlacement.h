// Where a modal window of the program opens: centred on its owner, as a
// message box stands, but moved into the work area of the monitor it opens
// on, as the platform's own boxes are, so that no part of it is off the screen.
#pragma once

#include "quellix/ui/Portable.h"

namespace quellix::ui {

// A rectangle in screen pixels; right and bottom lie just outside it.
struct ScreenRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// The screen rectangle of a window of width x height pixels centred on owner
// and then moved the least distance that puts it inside workArea. A window
// larger than the work area keeps its left and top edges (the title bar and
// the start of its lines) inside it.
ScreenRect CentreInsideWorkArea(const ScreenRect& owner, int width, int height,
                                const ScreenRect& workArea);

}  // namespace quellix::ui
