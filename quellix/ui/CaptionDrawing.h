// The arithmetic of the custom-drawn captions and frames of the picture-box
// buttons, the language selector and the message box.
#pragma once

#include "quellix/ui/Portable.h"

#include <string>
#include <vector>

namespace quellix::ui {

// Every language text carries U+FFFE in front, and the first row of a
// resource its byte-order mark U+FEFF. They stay in the data, but most fonts
// draw them as boxes, so what is drawn or shown on screen leaves them out.
std::u16string VisibleText(const std::u16string& text);

struct Point {
  int x = 0;
  int y = 0;
};

// Where a text of tw x th pixels starts when centred in a box of w x h pixels:
// w/2 - tw/2 and h/2 - th/2, halves rounded to even. A text wider than the
// box starts left of it and is cut at both sides equally.
Point CentredTextOrigin(int boxWidth, int boxHeight, int textWidth, int textHeight);

struct LineSegment {
  double x1 = 0;
  double y1 = 0;
  double x2 = 0;
  double y2 = 0;
};

// The one-line frame of a button, in the box's units (twips): top, bottom at
// height - 8, left of a fixed length 367 (clipped on lower boxes), right at
// width - 8.
std::vector<LineSegment> BorderLines(double width, double height);

// The drop-down arrow of the language selector, in pixels: a downward
// pointing triangle of vertical strokes under a top line, and one point.
std::vector<LineSegment> DropArrowLines();

}  // namespace quellix::ui
