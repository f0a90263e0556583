#include "quellix/ui/ReadingOrder.h"

#include "quellix/ui/CaptionDrawing.h"

namespace quellix::ui {
namespace {

constexpr char16_t kRowPrefix = u'\xFFFE';

bool IsLineEnd(char16_t unit) { return unit == u'\r' || unit == u'\n'; }

}  // namespace

std::u16string ShownText(const std::u16string& text, bool rightToLeft) {
  if (!rightToLeft) return VisibleText(text);
  std::u16string shown;
  shown.reserve(text.size() + 8);
  bool inRow = false;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = start;
    while (end < text.size() && !IsLineEnd(text[end])) ++end;
    const std::u16string line = text.substr(start, end - start);
    if (line.find(kRowPrefix) != std::u16string::npos) inRow = true;
    const std::u16string visible = VisibleText(line);
    if (inRow && !visible.empty()) {
      shown += kRightToLeftEmbedding + visible + kPopDirectionalFormatting;
    } else {
      shown += visible;
    }
    std::size_t next = end;
    while (next < text.size() && IsLineEnd(text[next])) ++next;
    shown.append(text, end, next - end);
    if (next == end) break;
    start = next;
  }
  return shown;
}

std::u16string EmbedLeftToRight(const std::u16string& text) {
  return kLeftToRightEmbedding + text + kPopDirectionalFormatting;
}

}  // namespace quellix::ui
