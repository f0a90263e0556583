#include "quellix/ui/ProgressBar.h"

namespace quellix::ui {

FillLayout LayoutFill(double value) {
  FillLayout layout;
  layout.middleWidth = static_cast<float>(value / 100 * (kTrackMiddleWidth + 400));
  layout.rightCapLeft = static_cast<float>(kFillMiddleLeft) + layout.middleWidth;
  layout.visible = value != 0;
  return layout;
}

}  // namespace quellix::ui
