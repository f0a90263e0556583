// A picture box that acts as a button or a selector: a child window that
// shows its DrawingSurface and reports a click (press and release inside it)
// while it is enabled. Its window text is its caption without the row
// prefix, so that assistive tools and the UI driver can read it.
#pragma once

#include "quellix/ui/win32/DrawingSurface.h"

#include <functional>
#include <memory>

namespace quellix::ui::win32 {

struct TwipsRect {
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;
};

class PictureBox {
 public:
  PictureBox(HWND parent, int id, const Scale& scale, const TwipsRect& place, COLORREF backColor,
             const FontSpec& font);

  HWND Handle() const { return window_.Get(); }
  DrawingSurface& Surface() { return *surface_; }

  double Width() const { return place_.width; }
  double Height() const { return place_.height; }
  void Move(double left, double top);
  void SetVisible(bool visible);

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  void SetCaption(const std::u16string& caption);

  std::function<void()> onClick;
  // The release of the left button, x in twips from the box's left edge.
  std::function<void(double)> onMouseUp;
  std::function<void()> onMouseMove;

  static void RegisterClass(HINSTANCE instance);

  // The box's messages, routed here by its window class.
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  Scale scale_;
  TwipsRect place_;
  bool enabled_ = true;
  bool pressed_ = false;
  platform::win32::ScopedWindow window_;
  std::unique_ptr<DrawingSurface> surface_;
};

constexpr const wchar_t* kPictureBoxClass = L"QuellixPictureBox";

}  // namespace quellix::ui::win32
