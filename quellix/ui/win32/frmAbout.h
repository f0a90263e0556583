// The About window: title, icon and description, the people and sites
// behind the program as links, the scrolling credits of the translations,
// the redistribution note and OK. Its icon plays the hidden tune. Shown
// modally; the main window's timers keep running in its loop.
#pragma once

// The portable headers stop the build if <windows.h> came before them.
#include "quellix/engine/run/ProductInfo.h"
#include "quellix/lang/Language.h"
#include "quellix/ui/About.h"
#include "quellix/ui/HiddenTune.h"
#include "quellix/ui/Twips.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>

#include "platform/win32/ScopedWin.h"
#include "quellix/ui/win32/DrawingSurface.h"
#include "quellix/ui/win32/PictureBox.h"

namespace quellix::ui::win32 {

constexpr const wchar_t* kAboutClass = L"QuellixAbout";
constexpr const wchar_t* kCreditsClass = L"QuellixAboutCredits";
// Child IDs the UI driver and assistive tools rely on.
constexpr int kAboutPicture1Id = 1;  // OK
constexpr int kAboutIconId = 2;
constexpr int kAboutTitleId = 3;
constexpr int kScrollContainerId = 4;
constexpr int kScrollContentsId = 5;

class CreditsPanel;

class frmAbout {
 public:
  // frmMainHandle names the tune's temporary file, as CLOSE expects it.
  frmAbout(HWND owner, const Scale& scale, platform::Platform& platform,
           const lang::Language& language, std::uintptr_t frmMainHandle);
  ~frmAbout();
  frmAbout(const frmAbout&) = delete;
  frmAbout& operator=(const frmAbout&) = delete;

  // Form_Load, then the window until OK or the close box ends it.
  void ShowModal();

  HWND Handle() const { return window_.Get(); }

  static void RegisterClass(HINSTANCE instance);

  // The window's messages, routed here by its window class.
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  struct Link {
    RECT area{};
    int redirect = 0;
  };

  void FormLoad();
  void DrawLabels();
  void DrawLabel(double left, double top, const std::string& text, COLORREF colour);
  Link DrawLink(double left, double top, const std::string& text, int redirect);
  void DrawTitle();
  void DrawIcon();
  void DrawCredits();
  void Form_MouseMove();
  void Form_Click(int x, int y);
  void ScrollContents_MouseMove(double x, double y);
  void ScrollContents_Click(double x, double y);
  void lblTranslator_Click(std::size_t index);
  void tmrScroll_Timer();
  void StartScroll();
  void StopScroll();
  void Unload();

  HWND owner_;
  Scale scale_;
  platform::Platform& platform_;
  const lang::Language& language_;
  HiddenTune tune_;
  std::array<Link, 2> links_{};  // Label11 and Label2
  std::array<double, kCreditRowCount> translatorWidths_{};
  int contentsTop_ = 0;
  bool scrolling_ = false;
  bool pressed_ = false;
  bool shown_ = false;

  platform::win32::ScopedWindow window_;
  std::unique_ptr<DrawingSurface> surface_;
  std::unique_ptr<PictureBox> picture2_;
  std::unique_ptr<PictureBox> picIcon_;
  std::unique_ptr<PictureBox> scrollContainer_;
  std::unique_ptr<CreditsPanel> scrollContents_;
  std::unique_ptr<PictureBox> picture1_;
};

}  // namespace quellix::ui::win32
