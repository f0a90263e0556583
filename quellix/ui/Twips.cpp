#include "quellix/ui/Twips.h"

#include "quellix/lang/Rounding.h"

namespace quellix::ui {

int TwipsPerPixelFromDpi(int dotsPerInch) {
  if (dotsPerInch <= 0) dotsPerInch = 96;
  const double exact = static_cast<double>(kTwipsPerInch) / dotsPerInch;
  const int rounded = static_cast<int>(lang::RoundHalfEven(exact));
  return rounded < 1 ? 1 : rounded;
}

int TwipsToPixels(double twips, int twipsPerPixel) {
  return static_cast<int>(twips / twipsPerPixel);
}

double PixelsToTwips(int pixels, int twipsPerPixel) {
  return static_cast<double>(pixels) * twipsPerPixel;
}

}  // namespace quellix::ui
