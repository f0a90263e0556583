#include "quellix/ui/CaptionDrawing.h"

#include "quellix/lang/Rounding.h"

namespace quellix::ui {
namespace {

constexpr char16_t kRowPrefix = u'\xFFFE';
constexpr char16_t kByteOrderMark = u'\xFEFF';
constexpr double kFrameInset = 8;
constexpr double kLeftFrameLength = 367;

int CentreStart(int room, int extent) {
  return static_cast<int>(lang::RoundHalfEven(room / 2.0 - extent / 2.0));
}

}  // namespace

std::u16string VisibleText(const std::u16string& text) {
  std::u16string visible;
  visible.reserve(text.size());
  for (char16_t unit : text) {
    if (unit != kRowPrefix && unit != kByteOrderMark) visible.push_back(unit);
  }
  return visible;
}

Point CentredTextOrigin(int boxWidth, int boxHeight, int textWidth, int textHeight) {
  return Point{CentreStart(boxWidth, textWidth), CentreStart(boxHeight, textHeight)};
}

std::vector<LineSegment> BorderLines(double width, double height) {
  return {
      {0, 0, width, 0},
      {0, height - kFrameInset, width, height - kFrameInset},
      {0, 0, 0, kLeftFrameLength},
      {width - kFrameInset, 0, width - kFrameInset, height - kFrameInset},
  };
}

std::vector<LineSegment> DropArrowLines() {
  static constexpr int kStrokeEnds[] = {8, 10, 12, 14, 16, 18, 18, 18, 16, 14, 12, 10, 8};
  std::vector<LineSegment> lines{{85, 5, 100, 5}};
  int x = 86;
  for (int end : kStrokeEnds) {
    lines.push_back({static_cast<double>(x), 5, static_cast<double>(x), static_cast<double>(end)});
    ++x;
  }
  lines.push_back({92, 18, 92, 18});
  return lines;
}

}  // namespace quellix::ui
