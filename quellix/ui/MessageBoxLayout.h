// The layout arithmetic of the multilingual message box: the box grows to its
// widest line and to its number of lines; the buttons stand centred below.
#pragma once

#include "quellix/ui/Portable.h"

#include <vector>

#include "quellix/ui/CaptionDrawing.h"
#include "quellix/ui/Twips.h"

namespace quellix::ui {

// Design values in twips.
constexpr double kBoxClientWidth = 2910;
constexpr double kBoxClientHeight = 1200;
constexpr double kBoxButtonTop = 720;
constexpr double kBoxButtonWidth = 1215;
constexpr double kBoxButtonHeight = 375;
constexpr double kBoxPicture1Left = 188;
constexpr double kBoxPicture2Left = 1508;

struct TextExtent {
  int width = 0;  // pixels
  int height = 0;
};

struct MessageBoxLayout {
  double outerWidth = 0;           // twips
  double outerHeight = 0;          // twips
  double buttonTop = 0;            // twips, both buttons
  std::vector<Point> lineOrigins;  // pixels
};

// The lines start at x 16 and y 16 pixels, each h + 7 below the one before.
// The outer width never shrinks below designOuterWidth; a line of w twips
// widens it to w + 480.
MessageBoxLayout LayoutMessageBox(const std::vector<TextExtent>& lines, double designOuterWidth,
                                  const Scale& scale);

struct ButtonLefts {
  double picture1 = 0;
  double picture2 = 0;
};

// One button centred (the hidden second one keeps its design place); two
// buttons 105 twips apart, symmetric about the centre.
ButtonLefts PlaceBoxButtons(double boxWidth, bool okOnly);

}  // namespace quellix::ui
