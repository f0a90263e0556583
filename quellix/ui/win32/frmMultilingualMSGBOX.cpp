#include "quellix/ui/win32/frmMultilingualMSGBOX.h"

#include "quellix/ui/win32/ButtonDrawing.h"
#include "quellix/ui/win32/Colors.h"
#include "quellix/ui/win32/WideText.h"
#include "quellix/ui/win32/WindowClass.h"

namespace quellix::ui::win32 {
namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;
const FontSpec kBoxFont{L"Arial", 98};
const FontSpec kButtonFont{L"Times New Roman", 98};

std::u16string JoinLines(const std::vector<std::u16string>& lines) {
  std::u16string joined;
  for (const auto& line : lines) {
    if (!joined.empty()) joined += u"\r\n";
    joined += VisibleText(line);
  }
  return joined;
}

}  // namespace

void frmMultilingualMSGBOX::RegisterClass(HINSTANCE instance) {
  RegisterWindowClass(instance, kMessageBoxClass, RouteToOwner<frmMultilingualMSGBOX>, true);
}

frmMultilingualMSGBOX::frmMultilingualMSGBOX(HWND owner, const Scale& scale)
    : owner_(owner), scale_(scale) {
  const auto instance = reinterpret_cast<HINSTANCE>(GetModuleHandleW(nullptr));
  RECT frame{0, 0, scale.X(kBoxClientWidth), scale.Y(kBoxClientHeight)};
  AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  const int outerWidth = frame.right - frame.left;
  const int outerHeight = frame.bottom - frame.top;
  frameWidth_ = PixelsToTwips(outerWidth - scale.X(kBoxClientWidth), scale.twipsPerPixelX);
  frameHeight_ = PixelsToTwips(outerHeight - scale.Y(kBoxClientHeight), scale.twipsPerPixelY);
  const std::string product = kProductName;
  const std::wstring title(product.begin(), product.end());
  window_.Reset(CreateWindowExW(kExStyle, kMessageBoxClass, title.c_str(), kStyle, CW_USEDEFAULT,
                                CW_USEDEFAULT, outerWidth, outerHeight, owner, nullptr, instance,
                                nullptr));
  surface_ = std::make_unique<DrawingSurface>(window_.Get(), scale, scale.X(kBoxClientWidth),
                                              scale.Y(kBoxClientHeight), kFormBack, kBoxFont);
  AttachOwner(window_.Get(), this);
  surface_->foreColor = RGB(255, 255, 255);
  picture1_ = std::make_unique<PictureBox>(
      window_.Get(), kBoxPicture1Id, scale,
      TwipsRect{kBoxPicture1Left, kBoxButtonTop, kBoxButtonWidth, kBoxButtonHeight}, kButtonBack,
      kButtonFont);
  picture2_ = std::make_unique<PictureBox>(
      window_.Get(), kBoxPicture2Id, scale,
      TwipsRect{kBoxPicture2Left, kBoxButtonTop, kBoxButtonWidth, kBoxButtonHeight}, kButtonBack,
      kButtonFont);
  picture1_->Surface().foreColor = RGB(255, 255, 255);
  picture2_->Surface().foreColor = RGB(255, 255, 255);
  picture1_->onClick = [this] { Picture1Click(); };
  picture2_->onClick = [this] { Picture2Click(); };
  CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 0, 0, window_.Get(),
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kBoxTextId)), instance, nullptr);
}

std::int16_t frmMultilingualMSGBOX::ShowModal(const std::vector<std::u16string>& lines) {
  FormLoad();
  DrawLines(lines);
  SetDlgItemTextW(window_.Get(), kBoxTextId, ToWide(JoinLines(lines)).c_str());

  // Centred on the owner, as a message box stands.
  CentreOnOwner(window_.Get(), owner_);
  // Placed once before showing too, so the buttons stand right even where
  // the box is never activated.
  FormActivate();
  RunModal(window_.Get(), owner_, shown_);
  return ReturnVal;
}

void frmMultilingualMSGBOX::FormLoad() {
  surface_->rightToLeft = RightToLeft;
  picture1_->Surface().rightToLeft = RightToLeft;
  picture2_->Surface().rightToLeft = RightToLeft;
  WriteButtonText(*picture2_, Button2);
  WriteButtonText(*picture1_, Button1);
  DrawBorder(*picture2_, RGB(0, 0, 0));
  DrawBorder(*picture1_, RGB(0, 0, 0));
  picture1_->SetCaption(Button1);
  picture2_->SetCaption(Button2);
  picture2_->SetVisible(!OkOnly);
}

void frmMultilingualMSGBOX::DrawLines(const std::vector<std::u16string>& lines) {
  std::vector<TextExtent> extents;
  for (const auto& line : lines) extents.push_back(surface_->GetTextSize(line));
  const double designWidth = OuterWidth();
  const MessageBoxLayout layout = LayoutMessageBox(extents, designWidth, scale_);
  SetOuterSize(layout.outerWidth, layout.outerHeight);
  surface_->Resize(scale_.X(layout.outerWidth - frameWidth_),
                   scale_.Y(layout.outerHeight - frameHeight_));
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const Point origin = layout.lineOrigins[i];
    // A right-to-left line keeps the same margin from the right edge.
    if (RightToLeft) {
      surface_->TextOutEndingAt(surface_->WidthPixels() - origin.x, origin.y, lines[i]);
    } else {
      surface_->TextOut(origin.x, origin.y, lines[i]);
    }
  }
  picture1_->Move(kBoxPicture1Left, layout.buttonTop);
  picture2_->Move(kBoxPicture2Left, layout.buttonTop);
}

void frmMultilingualMSGBOX::FormActivate() {
  const ButtonLefts lefts = PlaceBoxButtons(OuterWidth(), OkOnly);
  // The top stays where the text layout put the buttons.
  RECT place{};
  GetWindowRect(picture1_->Handle(), &place);
  MapWindowPoints(nullptr, window_.Get(), reinterpret_cast<POINT*>(&place), 2);
  const double top = PixelsToTwips(place.top, scale_.twipsPerPixelY);
  picture1_->Move(lefts.picture1, top);
  if (!OkOnly) picture2_->Move(lefts.picture2, top);
}

void frmMultilingualMSGBOX::Picture1Click() {
  ReturnVal = Button2.empty() ? 1 : 6;
  Hide();
}

void frmMultilingualMSGBOX::Picture2Click() {
  ReturnVal = Button2.empty() ? 0 : 7;
  Hide();
}

void frmMultilingualMSGBOX::Hide() {
  shown_ = false;
  ShowWindow(window_.Get(), SW_HIDE);
}

double frmMultilingualMSGBOX::OuterWidth() const {
  RECT rect{};
  GetWindowRect(window_.Get(), &rect);
  return PixelsToTwips(rect.right - rect.left, scale_.twipsPerPixelX);
}

void frmMultilingualMSGBOX::SetOuterSize(double widthTwips, double heightTwips) {
  SetWindowPos(window_.Get(), nullptr, 0, 0, scale_.X(widthTwips), scale_.Y(heightTwips),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT frmMultilingualMSGBOX::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND window = window_.Get();
  LRESULT painted = 0;
  if (HandleSurfacePaint(window, message, *surface_, &painted)) return painted;
  switch (message) {
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && shown_) FormActivate();
      return DefWindowProcW(window, message, wParam, lParam);
    case WM_CLOSE:
      // Closed without a button: ReturnVal stays as it is (0 until a press).
      Hide();
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace quellix::ui::win32
