#include "quellix/ui/win32/ButtonDrawing.h"

#include "quellix/ui/CaptionDrawing.h"

namespace quellix::ui::win32 {

void DrawBorder(PictureBox& box, COLORREF colour) {
  for (const LineSegment& line : BorderLines(box.Width(), box.Height())) {
    box.Surface().Line(line, colour);
  }
}

void WriteButtonText(PictureBox& box, const std::u16string& text) {
  DrawingSurface& surface = box.Surface();
  const TextExtent extent = surface.GetTextSize(text);
  const Point origin =
      CentredTextOrigin(surface.WidthPixels(), surface.HeightPixels(), extent.width, extent.height);
  surface.TextOut(origin.x, origin.y, text);
  box.SetCaption(text);
}

}  // namespace quellix::ui::win32
