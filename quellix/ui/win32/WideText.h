// Wide-character text on a device context. The U+FFFE that language texts
// carry in front stays in the data but is never drawn or measured: most fonts
// show it as a box, and a caption must be centred on what the user sees.
#pragma once

#include "quellix/ui/MessageBoxLayout.h"

#include <windows.h>

#include <string>

namespace quellix::ui::win32 {

// The extent of the visible text in the context's current font, in pixels.
TextExtent MeasureText(HDC dc, const std::u16string& text);

// The visible text with its left edge at x; a right-to-left line is laid
// out in right-to-left reading order.
void DrawWideText(HDC dc, int x, int y, const std::u16string& text, bool rightToLeft);
// The same with its right edge at x, as the drawn glyphs end there: shaped
// Arabic can be narrower than its measured extent.
void DrawWideTextEndingAt(HDC dc, int x, int y, const std::u16string& text, bool rightToLeft);

// UTF-16 text as the W functions take it.
std::wstring ToWide(const std::u16string& text);
std::u16string FromWide(const std::wstring& text);

}  // namespace quellix::ui::win32
