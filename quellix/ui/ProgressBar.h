// The two progress bars: a track of three pictures and a fill of three
// pictures drawn over it, whose middle grows with the percentage.
#pragma once

#include "quellix/ui/Portable.h"

namespace quellix::ui {

// Positions in twips. The track middle is the width both fills are measured on.
constexpr double kTrackMiddleWidth = 6255;
constexpr double kFillMiddleLeft = 300;

struct FillLayout {
  float middleWidth = 0;   // single precision, as the picture width is stored
  float rightCapLeft = 0;  // the right cap stands right after the middle
  bool visible = false;    // a value of exactly 0 hides the fill
};

// Value is the percentage; it is not limited, so above 100 the fill reaches
// past the track (100 gives 6655 twips).
FillLayout LayoutFill(double value);

}  // namespace quellix::ui
