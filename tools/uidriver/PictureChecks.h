// What every screenshot must show of the windows in it, checked on its pixels:
// the title bar of each window that has one, and the whole text of each of
// the system's message boxes.
#pragma once

#include "tools/uidriver/Screenshot.h"

namespace uidriver {

// Fails the step when a window with a title bar shows none in the picture
// (the strip above its client area is one flat colour: nothing drew the
// frame) or when a message box's text is cut at the edge of its area (a
// glyph reaches the area's last column or row).
void CheckPicture(const Picture& picture);

}  // namespace uidriver
