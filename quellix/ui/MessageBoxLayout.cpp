#include "quellix/ui/MessageBoxLayout.h"

namespace quellix::ui {
namespace {

constexpr int kTextMargin = 16;
constexpr int kLineGap = 7;
constexpr double kSideRoom = 480;
constexpr double kButtonGap = 105;

}  // namespace

MessageBoxLayout LayoutMessageBox(const std::vector<TextExtent>& lines, double designOuterWidth,
                                  const Scale& scale) {
  MessageBoxLayout layout;
  layout.outerWidth = designOuterWidth;
  int y = kTextMargin;
  for (const TextExtent& line : lines) {
    const double widthTwips = PixelsToTwips(line.width, scale.twipsPerPixelX);
    if (widthTwips + kSideRoom > layout.outerWidth) layout.outerWidth = widthTwips + kSideRoom;
    layout.lineOrigins.push_back(Point{kTextMargin, y});
    y += line.height + kLineGap;
  }
  const double textHeight = PixelsToTwips(y, scale.twipsPerPixelY);
  layout.outerHeight = kBoxButtonTop + 120 + kBoxButtonHeight + textHeight;
  layout.buttonTop = textHeight + 240;
  return layout;
}

ButtonLefts PlaceBoxButtons(double boxWidth, bool okOnly) {
  ButtonLefts lefts;
  if (okOnly) {
    lefts.picture1 = boxWidth / 2 - kBoxButtonWidth / 2;
    lefts.picture2 = kBoxPicture2Left;
  } else {
    lefts.picture1 = boxWidth / 2 - kButtonGap / 2 - kBoxButtonWidth;
    lefts.picture2 = boxWidth / 2 + kButtonGap / 2;
  }
  return lefts;
}

}  // namespace quellix::ui
