// The colours of the windows.
#pragma once

#include <windows.h>

namespace quellix::ui::win32 {

constexpr COLORREF kFormBack = RGB(46, 52, 58);
constexpr COLORREF kButtonBack = RGB(19, 23, 26);  // also the selector's dark frame and arrow
constexpr COLORREF kBusyGrey = RGB(153, 168, 172);
constexpr COLORREF kStartGreen = RGB(7, 173, 65);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

}  // namespace quellix::ui::win32
