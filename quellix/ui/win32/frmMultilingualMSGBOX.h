// The program's own modal message box: lines in any script drawn with wide
// text, one or two drawn buttons, and a modal loop in which the main
// window's timers and socket events keep running.
#pragma once

#include "quellix/ui/MessageBoxLayout.h"
#include "quellix/engine/run/ProductInfo.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/ScopedWin.h"
#include "quellix/ui/win32/DrawingSurface.h"
#include "quellix/ui/win32/PictureBox.h"

namespace quellix::ui::win32 {

constexpr const wchar_t* kMessageBoxClass = L"QuellixMessageBox";
// Child IDs the UI driver and assistive tools rely on.
constexpr int kBoxPicture1Id = 1;
constexpr int kBoxPicture2Id = 2;
constexpr int kBoxTextId = 100;

class frmMultilingualMSGBOX {
 public:
  frmMultilingualMSGBOX(HWND owner, const Scale& scale);

  std::u16string Button1;
  std::u16string Button2;
  std::int16_t ReturnVal = 0;
  bool OkOnly = false;
  // The lines and captions are in a right-to-left language: each line is
  // drawn in right-to-left reading order against the right margin.
  bool RightToLeft = false;

  // Prepares the buttons (Form_Load), draws the lines and shows the box
  // modally; returns ReturnVal once a button was pressed or the box closed.
  std::int16_t ShowModal(const std::vector<std::u16string>& lines);

  HWND Handle() const { return window_.Get(); }
  // The drawn lines, as the box paints them.
  const DrawingSurface& Surface() const { return *surface_; }

  static void RegisterClass(HINSTANCE instance);

  // The box's messages, routed here by its window class.
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void FormLoad();
  void DrawLines(const std::vector<std::u16string>& lines);
  void FormActivate();
  void Picture1Click();
  void Picture2Click();
  void Hide();

  double OuterWidth() const;
  void SetOuterSize(double widthTwips, double heightTwips);

  HWND owner_;
  Scale scale_;
  double frameWidth_ = 0;  // twips the frame adds to the client area
  double frameHeight_ = 0;
  platform::win32::ScopedWindow window_;
  std::unique_ptr<DrawingSurface> surface_;
  std::unique_ptr<PictureBox> picture1_;
  std::unique_ptr<PictureBox> picture2_;
  bool shown_ = false;
};

}  // namespace quellix::ui::win32
