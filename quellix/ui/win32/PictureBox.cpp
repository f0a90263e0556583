#include "quellix/ui/win32/PictureBox.h"

#include <windowsx.h>

#include "quellix/ui/win32/WideText.h"
#include "quellix/ui/win32/WindowClass.h"

namespace quellix::ui::win32 {

void PictureBox::RegisterClass(HINSTANCE instance) {
  RegisterWindowClass(instance, kPictureBoxClass, RouteToOwner<PictureBox>, false);
}

PictureBox::PictureBox(HWND parent, int id, const Scale& scale, const TwipsRect& place,
                       COLORREF backColor, const FontSpec& font)
    : scale_(scale), place_(place) {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
  window_.Reset(CreateWindowExW(
      0, kPictureBoxClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, scale.X(place.left),
      scale.Y(place.top), scale.X(place.width), scale.Y(place.height), parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr));
  surface_ = std::make_unique<DrawingSurface>(window_.Get(), scale, scale.X(place.width),
                                              scale.Y(place.height), backColor, font);
  AttachOwner(window_.Get(), this);
}

void PictureBox::Move(double left, double top) {
  place_.left = left;
  place_.top = top;
  SetWindowPos(window_.Get(), nullptr, scale_.X(left), scale_.Y(top), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PictureBox::SetVisible(bool visible) {
  ShowWindow(window_.Get(), visible ? SW_SHOWNA : SW_HIDE);
}

void PictureBox::SetEnabled(bool enabled) {
  enabled_ = enabled;
  if (!enabled) pressed_ = false;
  EnableWindow(window_.Get(), enabled ? TRUE : FALSE);
}

void PictureBox::SetCaption(const std::u16string& caption) {
  SetWindowTextW(window_.Get(), ToWide(VisibleText(caption)).c_str());
}

LRESULT PictureBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND window = window_.Get();
  LRESULT painted = 0;
  if (HandleSurfacePaint(window, message, *surface_, &painted)) return painted;
  switch (message) {
    case WM_MOUSEMOVE:
      if (enabled_ && onMouseMove) onMouseMove();
      return 0;
    case WM_LBUTTONDOWN:
      // Posted input reaches a disabled window too; a disabled box ignores it.
      if (!enabled_) return 0;
      pressed_ = true;
      SetCapture(window);
      return 0;
    case WM_LBUTTONUP: {
      if (GetCapture() == window) ReleaseCapture();
      if (!enabled_ || !pressed_) return 0;
      pressed_ = false;
      const int x = GET_X_LPARAM(lParam);
      const int y = GET_Y_LPARAM(lParam);
      const bool inside =
          x >= 0 && y >= 0 && x < surface_->WidthPixels() && y < surface_->HeightPixels();
      // The handlers may run a whole removal pass with its own message loop.
      if (onMouseUp) onMouseUp(PixelsToTwips(x, scale_.twipsPerPixelX));
      if (inside && onClick) onClick();
      return 0;
    }
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace quellix::ui::win32
