// The two drawing routines every window uses on its picture-box buttons: a
// one-line frame and a centred Unicode caption. Neither clears the box first.
#pragma once

#include "quellix/ui/win32/PictureBox.h"

#include <windows.h>

#include <string>

namespace quellix::ui::win32 {

void DrawBorder(PictureBox& box, COLORREF colour);

// Centred on the box in its current font and fore colour; the box's window
// text becomes the caption too.
void WriteButtonText(PictureBox& box, const std::u16string& text);

}  // namespace quellix::ui::win32
