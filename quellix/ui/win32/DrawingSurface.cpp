#include "quellix/ui/win32/DrawingSurface.h"

#include "quellix/ui/win32/WideText.h"

namespace quellix::ui::win32 {

using platform::win32::ScopedGdiObject;
using platform::win32::ScopedSelection;
using platform::win32::ScopedWindowDc;

HFONT CreatePointFont(const FontSpec& font) {
  ScopedWindowDc screen(nullptr);
  const int height = -MulDiv(font.tenthsOfPoint, GetDeviceCaps(screen.Get(), LOGPIXELSY), 720);
  return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, font.face);
}

DrawingSurface::DrawingSurface(HWND window, const Scale& scale, int widthPixels, int heightPixels,
                               COLORREF backColor, const FontSpec& font)
    : backColor(backColor), window_(window), scale_(scale), font_(CreatePointFont(font)) {
  ScopedWindowDc screen(window);
  dc_.Reset(CreateCompatibleDC(screen.Get()));
  pictureDc_.Reset(CreateCompatibleDC(screen.Get()));
  originalFont_ = SelectObject(dc_.Get(), font_.Get());
  SetBkMode(dc_.Get(), TRANSPARENT);
  Resize(widthPixels, heightPixels);
}

DrawingSurface::~DrawingSurface() {
  // A bitmap or font still selected into a context cannot be deleted.
  if (originalBitmap_ != nullptr) SelectObject(dc_.Get(), originalBitmap_);
  if (originalPicture_ != nullptr) SelectObject(pictureDc_.Get(), originalPicture_);
  if (originalFont_ != nullptr) SelectObject(dc_.Get(), originalFont_);
}

void DrawingSurface::Resize(int widthPixels, int heightPixels) {
  width_ = widthPixels < 1 ? 1 : widthPixels;
  height_ = heightPixels < 1 ? 1 : heightPixels;
  ScopedWindowDc screen(window_);
  // The old bitmaps must leave their contexts before they are deleted.
  if (originalBitmap_ != nullptr) SelectObject(dc_.Get(), originalBitmap_);
  if (originalPicture_ != nullptr) SelectObject(pictureDc_.Get(), originalPicture_);
  originalPicture_ = nullptr;
  picture_.Reset();
  bitmap_.Reset(CreateCompatibleBitmap(screen.Get(), width_, height_));
  originalBitmap_ = SelectObject(dc_.Get(), bitmap_.Get());
  Cls();
}

void DrawingSurface::Cls() {
  if (picture_.IsValid()) {
    BitBlt(dc_.Get(), 0, 0, width_, height_, pictureDc_.Get(), 0, 0, SRCCOPY);
  } else {
    ScopedGdiObject brush(CreateSolidBrush(backColor));
    RECT all{0, 0, width_, height_};
    FillRect(dc_.Get(), &all, static_cast<HBRUSH>(brush.Get()));
  }
  Refresh();
}

void DrawingSurface::StorePicture() {
  ScopedWindowDc screen(window_);
  if (originalPicture_ != nullptr) SelectObject(pictureDc_.Get(), originalPicture_);
  picture_.Reset(CreateCompatibleBitmap(screen.Get(), width_, height_));
  originalPicture_ = SelectObject(pictureDc_.Get(), picture_.Get());
  BitBlt(pictureDc_.Get(), 0, 0, width_, height_, dc_.Get(), 0, 0, SRCCOPY);
}

void DrawingSurface::Line(const LineSegment& twips, COLORREF color) {
  LinePixels(
      LineSegment{static_cast<double>(scale_.X(twips.x1)), static_cast<double>(scale_.Y(twips.y1)),
                  static_cast<double>(scale_.X(twips.x2)), static_cast<double>(scale_.Y(twips.y2))},
      color);
}

void DrawingSurface::LinePixels(const LineSegment& pixels, COLORREF color) {
  const int x1 = static_cast<int>(pixels.x1);
  const int y1 = static_cast<int>(pixels.y1);
  const int x2 = static_cast<int>(pixels.x2);
  const int y2 = static_cast<int>(pixels.y2);
  if (x1 == x2 && y1 == y2) {
    SetPixel(dc_.Get(), x1, y1, color);
  } else {
    ScopedGdiObject pen(CreatePen(PS_SOLID, 1, color));
    ScopedSelection selected(dc_.Get(), pen.Get());
    MoveToEx(dc_.Get(), x1, y1, nullptr);
    LineTo(dc_.Get(), x2, y2);
  }
  Refresh();
}

void DrawingSurface::FilledBox(double x1, double y1, double x2, double y2, COLORREF fillColor) {
  ScopedGdiObject brush(CreateSolidBrush(fillColor));
  ScopedGdiObject pen(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
  ScopedSelection brushSelected(dc_.Get(), brush.Get());
  ScopedSelection penSelected(dc_.Get(), pen.Get());
  // Rectangle leaves out the right and bottom edges; the box includes them.
  Rectangle(dc_.Get(), scale_.X(x1), scale_.Y(y1), scale_.X(x2) + 1, scale_.Y(y2) + 1);
  Refresh();
}

TextExtent DrawingSurface::GetTextSize(const std::u16string& text) const {
  return MeasureText(dc_.Get(), text);
}

void DrawingSurface::TextOut(int x, int y, const std::u16string& text) {
  SetTextColor(dc_.Get(), foreColor);
  DrawWideText(dc_.Get(), x, y, text, rightToLeft);
  Refresh();
}

void DrawingSurface::TextOutEndingAt(int x, int y, const std::u16string& text) {
  SetTextColor(dc_.Get(), foreColor);
  DrawWideTextEndingAt(dc_.Get(), x, y, text, rightToLeft);
  Refresh();
}

void DrawingSurface::Paint(HDC target) const {
  BitBlt(target, 0, 0, width_, height_, dc_.Get(), 0, 0, SRCCOPY);
}

void DrawingSurface::Refresh() {
  if (window_ != nullptr) InvalidateRect(window_, nullptr, FALSE);
}

}  // namespace quellix::ui::win32
