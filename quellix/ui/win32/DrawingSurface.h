// The persistent image of a window that the program draws on itself (a
// picture box, the message box): drawing goes to a memory bitmap, which the
// window copies to the screen whenever it paints, so what was drawn stays
// until it is cleared.
#pragma once

#include "quellix/ui/CaptionDrawing.h"
#include "quellix/ui/MessageBoxLayout.h"
#include "quellix/ui/Twips.h"

#include <windows.h>

#include <string>

#include "platform/win32/ScopedWin.h"

namespace quellix::ui::win32 {

struct FontSpec {
  const wchar_t* face = L"Times New Roman";
  int tenthsOfPoint = 98;  // 9.75 pt, as 98 tenths rounded
};

class DrawingSurface {
 public:
  DrawingSurface(HWND window, const Scale& scale, int widthPixels, int heightPixels,
                 COLORREF backColor, const FontSpec& font);
  ~DrawingSurface();
  DrawingSurface(const DrawingSurface&) = delete;
  DrawingSurface& operator=(const DrawingSurface&) = delete;

  // A new size keeps nothing of the old image: the caller redraws.
  void Resize(int widthPixels, int heightPixels);

  // Fills with the stored picture, or the background colour when none is stored.
  void Cls();
  // The current image becomes the picture that Cls returns to.
  void StorePicture();

  // A line in twips (or in pixels); a line of no length sets its one point.
  void Line(const LineSegment& twips, COLORREF color);
  void LinePixels(const LineSegment& pixels, COLORREF color);
  // A rectangle with a black outline filled with fillColor, corners in twips.
  void FilledBox(double x1, double y1, double x2, double y2, COLORREF fillColor);

  // The extent of the whole text in the surface's font, in pixels.
  TextExtent GetTextSize(const std::u16string& text) const;
  // Draws text in the fore colour on a transparent background.
  void TextOut(int x, int y, const std::u16string& text);
  // The same with the text's right edge at x.
  void TextOutEndingAt(int x, int y, const std::u16string& text);

  // Copies the image to the window's device context.
  void Paint(HDC target) const;

  // The memory context that holds the image, as a picture box's hDC.
  HDC Dc() const { return dc_.Get(); }
  int WidthPixels() const { return width_; }
  int HeightPixels() const { return height_; }
  const Scale& GetScale() const { return scale_; }

  COLORREF foreColor = RGB(0, 0, 0);
  COLORREF backColor;
  // Text is drawn in right-to-left reading order (the language's direction).
  bool rightToLeft = false;

 private:
  void Refresh();

  HWND window_;
  Scale scale_;
  int width_ = 0;
  int height_ = 0;
  platform::win32::ScopedGdiObject font_;
  platform::win32::ScopedMemoryDc dc_;
  platform::win32::ScopedGdiObject bitmap_;
  platform::win32::ScopedMemoryDc pictureDc_;
  platform::win32::ScopedGdiObject picture_;
  HGDIOBJ originalBitmap_ = nullptr;
  HGDIOBJ originalPicture_ = nullptr;
  HGDIOBJ originalFont_ = nullptr;
};

// A font of the given face and size for this screen.
HFONT CreatePointFont(const FontSpec& font);

}  // namespace quellix::ui::win32
