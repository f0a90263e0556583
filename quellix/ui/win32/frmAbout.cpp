#include "quellix/ui/win32/frmAbout.h"

#include <windowsx.h>

#include <functional>
#include <string>

#include "quellix/ui/win32/ButtonDrawing.h"
#include "quellix/ui/win32/Colors.h"
#include "quellix/ui/win32/WideText.h"
#include "quellix/ui/win32/WindowClass.h"

namespace quellix::ui::win32 {
namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;
constexpr UINT_PTR kScrollTimer = 1;
constexpr UINT kScrollInterval = 80;
constexpr COLORREF kLinkColour = RGB(120, 190, 255);
constexpr int kIconPixels = 32;
constexpr double kLabelLeft = 840;

const FontSpec kLabelFont{L"Tahoma", 83};
const FontSpec kTitleFont{L"Times New Roman", 120};
const FontSpec kButtonFont{L"Times New Roman", 98};

std::u16string Text(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

bool Inside(const RECT& area, int x, int y) {
  return x >= area.left && x < area.right && y >= area.top && y < area.bottom;
}

}  // namespace

// The credits inside the panel: drawn once, moved by the timer, and telling
// the window where the mouse moves and clicks (in twips of the credits).
class CreditsPanel {
 public:
  CreditsPanel(HWND parent, const Scale& scale, const TwipsRect& place) : scale_(scale) {
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    window_.Reset(CreateWindowExW(
        0, kCreditsClass, L"", WS_CHILD | WS_VISIBLE, scale.X(place.left), scale.Y(place.top),
        scale.X(place.width), scale.Y(place.height), parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kScrollContentsId)), instance, nullptr));
    surface_ = std::make_unique<DrawingSurface>(window_.Get(), scale, scale.X(place.width),
                                                scale.Y(place.height), kFormBack, kLabelFont);
    AttachOwner(window_.Get(), this);
  }
  ~CreditsPanel() { AttachOwner(window_.Get(), nullptr); }
  CreditsPanel(const CreditsPanel&) = delete;
  CreditsPanel& operator=(const CreditsPanel&) = delete;

  HWND Handle() const { return window_.Get(); }
  DrawingSurface& Surface() { return *surface_; }

  void MoveTo(int topPixels) {
    SetWindowPos(window_.Get(), nullptr, 0, topPixels, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  std::function<void(double, double)> onMouseMove;
  std::function<void(double, double)> onClick;

  static void RegisterClass(HINSTANCE instance) {
    RegisterWindowClass(instance, kCreditsClass, RouteToOwner<CreditsPanel>, false);
  }

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = window_.Get();
    LRESULT painted = 0;
    if (HandleSurfacePaint(window, message, *surface_, &painted)) return painted;
    const double x = PixelsToTwips(GET_X_LPARAM(lParam), scale_.twipsPerPixelX);
    const double y = PixelsToTwips(GET_Y_LPARAM(lParam), scale_.twipsPerPixelY);
    switch (message) {
      case WM_MOUSEMOVE:
        if (onMouseMove) onMouseMove(x, y);
        return 0;
      case WM_LBUTTONDOWN:
        pressed_ = true;
        return 0;
      case WM_LBUTTONUP:
        if (pressed_ && onClick) onClick(x, y);
        pressed_ = false;
        return 0;
      default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
  }

  Scale scale_;
  bool pressed_ = false;
  platform::win32::ScopedWindow window_;
  std::unique_ptr<DrawingSurface> surface_;
};

void frmAbout::RegisterClass(HINSTANCE instance) {
  RegisterWindowClass(instance, kAboutClass, RouteToOwner<frmAbout>, true);
  CreditsPanel::RegisterClass(instance);
}

frmAbout::frmAbout(HWND owner, const Scale& scale, platform::Platform& platform,
                   const lang::Language& language, std::uintptr_t frmMainHandle)
    : owner_(owner),
      scale_(scale),
      platform_(platform),
      language_(language),
      tune_(platform, frmMainHandle) {
  const auto instance = reinterpret_cast<HINSTANCE>(GetModuleHandleW(nullptr));
  RECT frame{0, 0, scale.X(kAboutClientWidth), scale.Y(kAboutClientHeight)};
  AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  window_.Reset(CreateWindowExW(kExStyle, kAboutClass, L"About", kStyle, CW_USEDEFAULT,
                                CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                                owner, nullptr, instance, nullptr));
  HWND window = window_.Get();
  surface_ = std::make_unique<DrawingSurface>(window, scale, scale.X(kAboutClientWidth),
                                              scale.Y(kAboutClientHeight), kFormBack, kLabelFont);
  AttachOwner(window, this);

  picture2_ = std::make_unique<PictureBox>(window, kAboutTitleId, scale,
                                           TwipsRect{-15, 0, 5775, 375}, kButtonBack, kTitleFont);
  picIcon_ = std::make_unique<PictureBox>(window, kAboutIconId, scale,
                                          TwipsRect{165, 600, 540, 540}, kFormBack, kLabelFont);
  scrollContainer_ =
      std::make_unique<PictureBox>(window, kScrollContainerId, scale,
                                   TwipsRect{kScrollContainerLeft, kScrollContainerTop,
                                             kScrollContainerWidth, kScrollContainerHeight},
                                   kFormBack, kLabelFont);
  HWND container = scrollContainer_->Handle();
  // The container's own picture must not be painted over the moving credits.
  SetWindowLongPtrW(container, GWL_STYLE,
                    GetWindowLongPtrW(container, GWL_STYLE) | WS_CLIPCHILDREN);
  scrollContents_ = std::make_unique<CreditsPanel>(
      container, scale, TwipsRect{0, -240, kScrollContainerWidth, kScrollContentsHeight});
  picture1_ = std::make_unique<PictureBox>(
      window, kAboutPicture1Id, scale, TwipsRect{4305, 5040, 1215, 375}, kButtonBack, kButtonFont);

  picture2_->Surface().foreColor = kWhite;
  picture1_->Surface().foreColor = kWhite;
  picIcon_->SetCaption(u"Quellix");
  picIcon_->onClick = [this] { tune_.Play(); };
  picture1_->onClick = [this] { Unload(); };
  scrollContainer_->onMouseMove = [this] { StartScroll(); };
  scrollContents_->onMouseMove = [this](double x, double y) { ScrollContents_MouseMove(x, y); };
  scrollContents_->onClick = [this](double x, double y) { ScrollContents_Click(x, y); };
}

frmAbout::~frmAbout() {
  KillTimer(window_.Get(), kScrollTimer);
  AttachOwner(window_.Get(), nullptr);
}

void frmAbout::ShowModal() {
  FormLoad();
  CentreOnOwner(window_.Get(), owner_);
  RunModal(window_.Get(), owner_, shown_);
  StopScroll();
}

void frmAbout::FormLoad() {
  const LineSegment outline[] = {
      {0, 0, 4000, 0}, {4000, 0, 4000, 1000}, {4000, 1000, 0, 1000}, {0, 1000, 0, 0}};
  for (const LineSegment& line : outline) surface_->Line(line, kWhite);
  DrawLabels();
  DrawTitle();
  DrawIcon();
  DrawCredits();

  RECT inner{};
  GetClientRect(scrollContainer_->Handle(), &inner);
  contentsTop_ = inner.bottom;
  scrollContents_->MoveTo(contentsTop_);
  StartScroll();

  DrawBorder(*picture1_, kBlack);
  picture1_->Surface().rightToLeft = language_.RightToLeft();
  WriteButtonText(*picture1_, language_.CaptionOK());
}

void frmAbout::DrawLabels() {
  const std::string author = kAboutAuthor;
  const std::string artist = kAboutArtist;
  DrawLabel(kLabelLeft, 1080, "Program: " + author, kWhite);
  DrawLabel(kLabelLeft, 1320, "Site: ", kWhite);
  links_[0] = DrawLink(1200, 1320, kAboutPartnerSite, kPartnerRedirect);
  DrawLabel(kLabelLeft, 1560, "Progress Bars: " + artist, kWhite);
  DrawLabel(kLabelLeft, 2040, "Translators:", kWhite);
  DrawLabel(kLabelLeft, 4365, "Sponsored by:", kWhite);
  links_[1] = DrawLink(2070, 4365, kAboutSponsorSite, kSponsorRedirect);
  DrawLabel(480, 5340, kVendorHost, kWhite);

  // lblDescription, wrapped beside the icon inside the outline.
  const std::wstring description = ToWide(Text(kAboutDescription));
  RECT area{scale_.X(kLabelLeft), scale_.Y(420), scale_.X(3960), scale_.Y(990)};
  SetTextColor(surface_->Dc(), kWhite);
  DrawTextW(surface_->Dc(), description.c_str(), static_cast<int>(description.size()), &area,
            DT_WORDBREAK | DT_NOPREFIX);

  // lblDisclaimer: two lines.
  const std::u16string first = Text(kAboutDisclaimerFirstLine);
  DrawLabel(120, 4890, kAboutDisclaimerFirstLine, kWhite);
  const int lineHeight = surface_->GetTextSize(first).height;
  surface_->foreColor = kWhite;
  surface_->TextOut(scale_.X(120), scale_.Y(4890) + lineHeight, Text(kAboutDisclaimerSecondLine));
}

void frmAbout::DrawLabel(double left, double top, const std::string& text, COLORREF colour) {
  surface_->foreColor = colour;
  surface_->TextOut(scale_.X(left), scale_.Y(top), Text(text));
}

frmAbout::Link frmAbout::DrawLink(double left, double top, const std::string& text, int redirect) {
  DrawLabel(left, top, text, kLinkColour);
  const TextExtent extent = surface_->GetTextSize(Text(text));
  const int x = scale_.X(left);
  const int y = scale_.Y(top);
  return Link{RECT{x, y, x + extent.width, y + extent.height}, redirect};
}

void frmAbout::DrawTitle() {
  DrawingSurface& strip = picture2_->Surface();
  strip.rightToLeft = language_.RightToLeft();
  strip.Cls();
  const std::u16string title = AboutTitle(language_.CaptionAbout());
  const TextExtent extent = strip.GetTextSize(title);
  strip.TextOut(0, AboutTitleTop(strip.HeightPixels(), extent.height), title);
  picture2_->SetCaption(title);
}

void frmAbout::DrawIcon() {
  const auto instance = reinterpret_cast<HINSTANCE>(GetModuleHandleW(nullptr));
  // A shared icon belongs to the system and is not destroyed by us.
  const auto icon = static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, kIconPixels, kIconPixels, LR_SHARED));
  if (icon == nullptr) return;
  DrawingSurface& surface = picIcon_->Surface();
  const int x = (surface.WidthPixels() - kIconPixels) / 2;
  const int y = (surface.HeightPixels() - kIconPixels) / 2;
  DrawIconEx(surface.Dc(), x, y, icon, kIconPixels, kIconPixels, 0, nullptr, DI_NORMAL);
  InvalidateRect(picIcon_->Handle(), nullptr, FALSE);
}

void frmAbout::DrawCredits() {
  DrawingSurface& surface = scrollContents_->Surface();
  const auto& rows = CreditRows();
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const CreditRow& row = rows[r];
    const bool link = TranslatorRedirect(row.labelIndex).has_value();
    const std::u16string translator = Text(kAboutTranslator);
    surface.foreColor = kWhite;
    surface.TextOut(scale_.X(kCreditLanguageLeft), scale_.Y(row.top), Text(row.language));
    surface.foreColor = link ? kLinkColour : kWhite;
    surface.TextOut(scale_.X(kCreditTranslatorLeft), scale_.Y(row.top), translator);
    translatorWidths_[r] =
        PixelsToTwips(surface.GetTextSize(translator).width, scale_.twipsPerPixelX);
  }
}

void frmAbout::Form_MouseMove() { StartScroll(); }

void frmAbout::Form_Click(int x, int y) {
  for (const Link& link : links_) {
    if (Inside(link.area, x, y)) OpenRedirect(platform_, link.redirect);
  }
}

void frmAbout::ScrollContents_MouseMove(double x, double y) {
  // Over a name the list stands still, so that the name can be clicked.
  if (TranslatorLabelAt(x, y, translatorWidths_)) {
    StopScroll();
  } else {
    StartScroll();
  }
}

void frmAbout::ScrollContents_Click(double x, double y) {
  if (const auto index = TranslatorLabelAt(x, y, translatorWidths_)) lblTranslator_Click(*index);
}

void frmAbout::lblTranslator_Click(std::size_t index) {
  if (const auto redirect = TranslatorRedirect(index)) OpenRedirect(platform_, *redirect);
}

void frmAbout::tmrScroll_Timer() {
  RECT inner{};
  GetClientRect(scrollContainer_->Handle(), &inner);
  contentsTop_ =
      NextScrollTop(contentsTop_, scrollContents_->Surface().HeightPixels(), inner.bottom);
  scrollContents_->MoveTo(contentsTop_);
}

void frmAbout::StartScroll() {
  if (scrolling_) return;
  scrolling_ = SetTimer(window_.Get(), kScrollTimer, kScrollInterval, nullptr) != 0;
}

void frmAbout::StopScroll() {
  if (!scrolling_) return;
  KillTimer(window_.Get(), kScrollTimer);
  scrolling_ = false;
}

void frmAbout::Unload() {
  // A tune that plays keeps playing.
  shown_ = false;
  ShowWindow(window_.Get(), SW_HIDE);
}

LRESULT frmAbout::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND window = window_.Get();
  LRESULT painted = 0;
  if (HandleSurfacePaint(window, message, *surface_, &painted)) return painted;
  switch (message) {
    case WM_TIMER:
      if (wParam == kScrollTimer) tmrScroll_Timer();
      return 0;
    case WM_MOUSEMOVE:
      Form_MouseMove();
      return 0;
    case WM_LBUTTONDOWN:
      pressed_ = true;
      return 0;
    case WM_LBUTTONUP:
      if (pressed_) Form_Click(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      pressed_ = false;
      return 0;
    case WM_CLOSE:
      Unload();
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace quellix::ui::win32
