#include "quellix/ui/win32/WideText.h"

namespace quellix::ui::win32 {

std::wstring ToWide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

std::u16string FromWide(const std::wstring& text) {
  return std::u16string(text.begin(), text.end());
}

TextExtent MeasureText(HDC dc, const std::u16string& text) {
  const std::wstring visible = ToWide(VisibleText(text));
  SIZE size{0, 0};
  if (visible.empty()) {
    // An empty text is as high as a line of the font.
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    return TextExtent{0, static_cast<int>(metrics.tmHeight)};
  }
  GetTextExtentPoint32W(dc, visible.c_str(), static_cast<int>(visible.size()), &size);
  return TextExtent{static_cast<int>(size.cx), static_cast<int>(size.cy)};
}

void DrawWideText(HDC dc, int x, int y, const std::u16string& text, bool rightToLeft) {
  const std::wstring visible = ToWide(VisibleText(text));
  ExtTextOutW(dc, x, y, rightToLeft ? ETO_RTLREADING : 0, nullptr, visible.c_str(),
              static_cast<UINT>(visible.size()), nullptr);
}

void DrawWideTextEndingAt(HDC dc, int x, int y, const std::u16string& text, bool rightToLeft) {
  const UINT alignment = SetTextAlign(dc, TA_RIGHT | TA_TOP | TA_NOUPDATECP);
  DrawWideText(dc, x, y, text, rightToLeft);
  SetTextAlign(dc, alignment);
}

}  // namespace quellix::ui::win32
