// The window is laid out in twips (1/1440 inch); the screen works in pixels.
#pragma once

#include "quellix/ui/Portable.h"

namespace quellix::ui {

constexpr int kTwipsPerInch = 1440;

// The screen's twips per pixel for one axis, rounded to a whole number
// (15 at 96 dots per inch). A nonsensical resolution counts as 96.
int TwipsPerPixelFromDpi(int dotsPerInch);

// Pixels = twips / twips-per-pixel, truncated toward zero.
int TwipsToPixels(double twips, int twipsPerPixel);

double PixelsToTwips(int pixels, int twipsPerPixel);

// Twips and pixels per axis of one screen.
struct Scale {
  int twipsPerPixelX = 15;
  int twipsPerPixelY = 15;

  int X(double twips) const { return TwipsToPixels(twips, twipsPerPixelX); }
  int Y(double twips) const { return TwipsToPixels(twips, twipsPerPixelY); }
};

}  // namespace quellix::ui
