#include "quellix/ui/win32/frmGUI.h"

#include <exception>

#include "quellix/ui/win32/ButtonDrawing.h"
#include "quellix/ui/win32/Colors.h"
#include "quellix/ui/win32/WideText.h"
#include "quellix/ui/win32/WindowClass.h"
#include "quellix/ui/win32/frmAbout.h"
#include "quellix/ui/win32/frmMultilingualMSGBOX.h"
#include "quellix/ui/win32/mdlBrowseForFolder.h"

namespace quellix::ui::win32 {
namespace {

using platform::win32::ScopedGdiObject;
using platform::win32::ScopedMemoryDc;
using platform::win32::ScopedSelection;

constexpr DWORD kMainStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr double kClientWidth = 7260;
constexpr double kClientHeight = 6420;
constexpr UINT_PTR kTimer1 = 1;
constexpr UINT_PTR kTimer5 = 5;
constexpr UINT_PTR kTimer3 = 3;
constexpr UINT kTimer3Interval = 10;
constexpr UINT_PTR kTimer4 = 4;
constexpr UINT kTimer4Interval = 100;
constexpr double kLangSelectTitleWidth = 1207;
constexpr double kLangSelectSplit = 1215;
constexpr int kHeaderWidth = 478;
constexpr int kHeaderHeight = 95;

const FontSpec kButtonFont{L"Times New Roman", 98};
const FontSpec kSelectorFont{L"Times New Roman", 120};
const FontSpec kLabelFont{L"Arial", 98};
// Stands in for MS Sans Serif: Wine and Windows link it to fonts for the
// Arabic, Hebrew, Chinese and Korean titles.
const FontSpec kEntryFont{L"Tahoma", 83};

// The artwork resources, by the index of artwork_.
enum Artwork { kHeader, kTrackLeft, kTrackMiddle, kTrackRight, kFillLeft, kFillMiddle, kFillRight };
constexpr const wchar_t* kArtworkNames[] = {L"HEADER",     L"TRACKLEFT", L"TRACKMIDDLE",
                                            L"TRACKRIGHT", L"FILLLEFT",  L"FILLMIDDLE",
                                            L"FILLRIGHT"};

// Tracks first, then the fills over them.
constexpr int kPaintOrder[] = {2, 1, 3, 11, 12, 10, 4, 5, 6, 7, 8, 9};

Scale ScreenScale() {
  platform::win32::ScopedWindowDc screen(nullptr);
  return Scale{TwipsPerPixelFromDpi(GetDeviceCaps(screen.Get(), LOGPIXELSX)),
               TwipsPerPixelFromDpi(GetDeviceCaps(screen.Get(), LOGPIXELSY))};
}

COLORREF ToColorRef(const Rgb& colour) { return RGB(colour.red, colour.green, colour.blue); }

}  // namespace

frmGUI::frmGUI(platform::Platform& platform, HINSTANCE instance)
    : platform_(platform), instance_(instance), scale_(ScreenScale()), language_(platform, *this) {
  RegisterWindowClass(instance, kMainWindowClass, RouteToOwner<frmGUI>, true);
  PictureBox::RegisterClass(instance);
  frmMultilingualMSGBOX::RegisterClass(instance);
  frmAbout::RegisterClass(instance);
  LoadArtwork();
  CreateWindows();
}

void frmGUI::LoadArtwork() {
  for (std::size_t i = 0; i < artwork_.size(); ++i) {
    artwork_[i].Reset(
        LoadImageW(instance_, kArtworkNames[i], IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  }
}

void frmGUI::CreateWindows() {
  RECT frame{0, 0, scale_.X(kClientWidth), scale_.Y(kClientHeight)};
  AdjustWindowRectEx(&frame, kMainStyle, FALSE, 0);
  window_.Reset(CreateWindowExW(0, kMainWindowClass, L"", kMainStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                nullptr, instance_, nullptr));
  HWND window = window_.Get();
  AttachOwner(window, this);
  SetWindowTextA(window, MainWindowCaption().c_str());
  frmMain_.Reset(CreateWindowExW(0, L"STATIC", L"frmMain", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 instance_, nullptr));

  command2_ = std::make_unique<PictureBox>(
      window, kCommand2Id, scale_, TwipsRect{2100, 5580, 1215, 375}, kButtonBack, kButtonFont);
  command1_ = std::make_unique<PictureBox>(
      window, kCommand1Id, scale_, TwipsRect{3810, 5580, 1215, 375}, kButtonBack, kButtonFont);
  cmdAbout_ = std::make_unique<PictureBox>(
      window, kAboutId, scale_, TwipsRect{5280, 1080, 1695, 375}, kButtonBack, kButtonFont);
  pctLangSelect_ = std::make_unique<PictureBox>(
      window, kLangSelectId, scale_, TwipsRect{2760, 1110, 1560, 330}, kButtonBack, kSelectorFont);
  pctDropDown_ = std::make_unique<PictureBox>(
      window, kDropDownId, scale_, TwipsRect{2760, 1110 + 330, kDropDownWidth, DropDownHeight()},
      kBlack, kEntryFont);
  pctDropDown_->SetVisible(false);
  pctLangSelect_->onMouseUp = [this](double x) { pctLangSelect_MouseUp(x); };
  SetTimer(window, kTimer4, kTimer4Interval, nullptr);
  SetTimerEnabled(update::UpdateTimer::Timer1, true);
  cmdAbout_->Surface().foreColor = kWhite;
  command1_->SetEnabled(false);
  command2_->onClick = [this] { Command2Click(); };
  command1_->onClick = [this] { Command1Click(); };
  cmdAbout_->onClick = [this] { cmdAbout_Click(); };

  labelFont_.Reset(CreatePointFont(kLabelFont));
  labelBrush_.Reset(CreateSolidBrush(kButtonBack));
  auto makeLabel = [&](int id, const TwipsRect& place, const wchar_t* text) {
    HWND label =
        CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE, scale_.X(place.left),
                        scale_.Y(place.top), scale_.X(place.width), scale_.Y(place.height), window,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(labelFont_.Get()), FALSE);
    return label;
  };
  label1_.Reset(makeLabel(kLabel1Id, TwipsRect{-15, 6120, 825, 375}, L"Status:  "));
  label2_.Reset(makeLabel(kLabel2Id, TwipsRect{795, 6120, 6780, 375}, L"Checking for Updates...."));

  auto picture = [&](Artwork art) { return static_cast<HBITMAP>(artwork_[art].Get()); };
  images_[2] = {picture(kTrackLeft), {120, 1920, 480, 480}};
  images_[1] = {picture(kTrackMiddle), {480, 1920, 6255, 480}};
  images_[3] = {picture(kTrackRight), {6720, 1920, 480, 480}};
  images_[4] = {picture(kFillLeft), {240, 1950, 60, 375}};
  images_[5] = {picture(kFillMiddle), {300, 1950, 0, 375}};
  images_[6] = {picture(kFillRight), {300, 1950, 60, 375}};
  images_[11] = {nullptr, {120, 2760, 480, 480}};
  images_[12] = {nullptr, {480, 2760, 6255, 480}};
  images_[10] = {nullptr, {6720, 2760, 480, 480}};
  images_[7] = {picture(kFillLeft), {240, 2790, 60, 375}};
  images_[8] = {nullptr, {300, 2790, 0, 375}};
  images_[9] = {picture(kFillRight), {300, 2790, 60, 375}};
}

int frmGUI::Run() {
  try {
    if (!FormLoad()) return 0;
  } catch (const platform::RuntimeError& error) {
    const std::string text = "Quellix cannot start: " + error.Description() + " (error " +
                             std::to_string(error.Number()) + " in " + error.Source() + ")";
    MessageBoxA(nullptr, text.c_str(), kProductName, MB_ICONERROR | MB_OK);
    return 1;
  }
  MSG message;
  BOOL got;
  while ((got = GetMessageW(&message, nullptr, 0, 0)) != 0 && got != -1) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return got == 0 ? static_cast<int>(message.wParam) : 1;
}

bool frmGUI::FormLoad() {
  const std::uint8_t chosen = lang::ChooseDefaultLanguage(platform_);
  language_.LoadLanguageTitles();
  BuildLanguageEntries();
  uniCode_.CreateCaptionLabels(window_.Get(), scale_);
  language_.SetCurrentLanguage(chosen);
  language_.LoadLanguage(chosen);
  DrawLangSelect();
  pctLanguage_Click(chosen);
  uniCode_.CreateDetailsBox(130, 3585, 7050, 1815, window_.Get(), scale_);

  if (AnotherCopyRuns(platform_)) {
    language_.ShowMessageBox(1, lang::kStyleOkOnly);
    return false;
  }
  session_.emplace(platform_, *this, language_, phases_);
  update_ = std::make_unique<update::UpdateExchange>(*session_, *this,
                                                     update::ReadUpdateTarget(platform_));
  SetProg1(0);
  SetProg2(0);

  HWND window = window_.Get();
  SetWindowLongW(window, GWL_EXSTYLE, GetWindowLongW(window, GWL_EXSTYLE) | WS_EX_LAYERED);
  SetLayeredWindowAttributes(window, 0, 0, 0);
  images_[8].picture = images_[5].picture;
  images_[11].picture = images_[2].picture;
  images_[12].picture = images_[1].picture;
  images_[10].picture = images_[3].picture;
  DisableGUI();
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  DoEvents();
  update_->Start();
  return true;
}

void frmGUI::FormUnload() {
  if (!term_) return;
  // The title bar ends the program as CLOSE does: no tune plays on, no file stays.
  StopTuneAndRemoveFile(platform_, reinterpret_cast<std::uintptr_t>(frmMain_.Get()));
  DestroyWindow(window_.Get());
}

void frmGUI::Command1Click() {
  term_ = true;
  // Ends through the close request, after this click has been handled; the
  // tune is stopped and its file deleted there.
  PostMessageW(window_.Get(), WM_CLOSE, 0, 0);
}

void frmGUI::cmdAbout_Click() {
  Form_Click();
  frmAbout about(window_.Get(), scale_, platform_, language_,
                 reinterpret_cast<std::uintptr_t>(frmMain_.Get()));
  about.ShowModal();
}

void frmGUI::Command2Click() {
  Form_Click();
  KillTimer(window_.Get(), kTimer3);
  try {
    StartButtonRun(*session_);
  } catch (const platform::RuntimeError& error) {
    ReportRunFailure(NameRunFailure(error));
  } catch (const std::exception& error) {
    ReportRunFailure(error.what());
  }
}

void frmGUI::ReportRunFailure(const std::string& what) {
  ShowMessageBox(RunFailureBox(language_, what));
  term_ = true;
  EnableGUI();
}

void frmGUI::Timer3Timer() { DrawBorder(*command2_, ToColorRef(glow_.Tick())); }

void frmGUI::Timer4Timer() {
  if (GetActiveWindow() != window_.Get()) Form_Click();
}

void frmGUI::Form_Click() { pctDropDown_->SetVisible(false); }

void frmGUI::BuildLanguageEntries() {
  const auto& titles = language_.TitleRows();
  constexpr std::size_t kMostEntries = 256;
  for (std::size_t i = 0; i < titles.size() && i < kMostEntries; ++i) {
    const EntryPlace place = LanguageEntryPlace(i);
    auto entry = std::make_unique<PictureBox>(
        pctDropDown_->Handle(), kFirstLanguageEntryId + static_cast<int>(i), scale_,
        TwipsRect{place.left, place.top, kLanguageEntryWidth, kLanguageEntryHeight}, kBlack,
        kEntryFont);
    entry->Surface().foreColor = kWhite;
    entry->onMouseMove = [this, i] { pctLanguage_MouseMove(i); };
    entry->onClick = [this, i] { pctLanguage_Click(i); };
    pctLanguage_.push_back(std::move(entry));
    DrawEntryTitle(i);
  }
}

void frmGUI::DrawEntryTitle(std::size_t index) {
  PictureBox& entry = *pctLanguage_[index];
  DrawingSurface& surface = entry.Surface();
  const std::u16string& title = language_.TitleRows()[index];
  surface.Cls();
  const TextExtent extent = surface.GetTextSize(title);
  const Point origin =
      CentredTextOrigin(surface.WidthPixels(), surface.HeightPixels(), extent.width, extent.height);
  surface.TextOut(origin.x, origin.y, title);
  entry.SetCaption(title);
}

void frmGUI::pctLangSelect_MouseUp(double x) {
  if (!InArrowArea(x)) return;
  SetWindowPos(pctDropDown_->Handle(), HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  pctDropDown_->SetVisible(!IsWindowVisible(pctDropDown_->Handle()));
}

void frmGUI::pctLanguage_MouseMove(std::size_t index) {
  for (std::size_t k = 0; k < pctLanguage_.size(); ++k) {
    pctLanguage_[k]->Surface().backColor = k == index ? kFormBack : kBlack;
    DrawEntryTitle(k);
  }
}

void frmGUI::pctLanguage_Click(std::size_t index) {
  const auto language = static_cast<std::uint8_t>(index);
  const std::uint8_t previous = language_.CurrentLanguage();
  language_.SetCurrentLanguage(language);
  DrawLanguageTitle(language);
  Form_Click();
  try {
    language_.LoadLanguage(language);
  } catch (const platform::RuntimeError& error) {
    const std::string text = "This language cannot be shown: " + error.Description() + " (error " +
                             std::to_string(error.Number()) + " in " + error.Source() + ")";
    MessageBoxA(window_.Get(), text.c_str(), kProductName, MB_ICONERROR | MB_OK);
    // The loaded language stays, and the selector says so again.
    language_.SetCurrentLanguage(previous);
    DrawLanguageTitle(previous);
  }
}

void frmGUI::DrawLangSelect() {
  DrawingSurface& surface = pctLangSelect_->Surface();
  const double width = pctLangSelect_->Width();
  const double height = pctLangSelect_->Height();
  surface.FilledBox(0, 0, kLangSelectSplit, height - 8, kButtonBack);
  surface.FilledBox(kLangSelectSplit, 0, width - 8, height - 8, kFormBack);
  surface.foreColor = kButtonBack;
  DrawDropArrow();
  surface.StorePicture();
}

void frmGUI::DrawLanguageTitle(std::uint8_t index) {
  DrawingSurface& surface = pctLangSelect_->Surface();
  surface.Cls();
  surface.foreColor = pctLangSelect_->Enabled() ? kWhite : kBusyGrey;
  const auto& titles = language_.TitleRows();
  if (index >= titles.size()) return;
  const int width =
      static_cast<int>(lang::RoundHalfEven(kLangSelectTitleWidth / scale_.twipsPerPixelX));
  const int height =
      static_cast<int>(lang::RoundHalfEven(pctLangSelect_->Height() / scale_.twipsPerPixelY));
  const TextExtent extent = surface.GetTextSize(titles[index]);
  const Point origin = CentredTextOrigin(width, height, extent.width, extent.height);
  surface.TextOut(origin.x, origin.y, titles[index]);
  pctLangSelect_->SetCaption(titles[index]);
}

void frmGUI::DrawDropArrow() {
  DrawingSurface& surface = pctLangSelect_->Surface();
  for (const LineSegment& line : DropArrowLines()) surface.LinePixels(line, surface.foreColor);
}

void frmGUI::DisableGUI() {
  command2_->SetEnabled(false);
  command1_->SetEnabled(false);
  command2_->Surface().foreColor = kBusyGrey;
  command1_->Surface().foreColor = kBusyGrey;
  WriteButtonText(*command2_, language_.CaptionStart());
  WriteButtonText(*command1_, language_.CaptionClose());
  DrawBorder(*command2_, kBusyGrey);
  DrawBorder(*command1_, kBusyGrey);
  pctLangSelect_->SetEnabled(false);
  DrawLanguageTitle(language_.CurrentLanguage());
  DrawBorder(*pctLangSelect_, kBusyGrey);
  pctLangSelect_->Surface().foreColor = kBusyGrey;
  DrawDropArrow();
}

void frmGUI::EnableGUI() {
  command2_->SetEnabled(true);
  command1_->SetEnabled(true);
  command2_->Surface().foreColor = kStartGreen;
  command1_->Surface().foreColor = kWhite;
  WriteButtonText(*command2_, language_.CaptionStart());
  WriteButtonText(*command1_, language_.CaptionClose());
  DrawBorder(*command1_, kBlack);
  pctLangSelect_->Surface().foreColor = kButtonBack;
  DrawDropArrow();
  pctLangSelect_->SetEnabled(true);
  DrawBorder(*pctLangSelect_, kButtonBack);
  DrawLanguageTitle(language_.CurrentLanguage());
  SetTimer(window_.Get(), kTimer3, kTimer3Interval, nullptr);
  command1_->SetEnabled(true);
}

void frmGUI::ApplyLanguage(const std::u16string& labelOperation,
                           const std::u16string& labelProgress,
                           const std::u16string& labelDetails) {
  const bool rightToLeft = language_.RightToLeft();
  uniCode_.SetRightToLeft(rightToLeft);
  uniCode_.SetCaptionLabels(labelOperation, labelProgress, labelDetails);
  for (PictureBox* button : {cmdAbout_.get(), command1_.get(), command2_.get()}) {
    button->Surface().rightToLeft = rightToLeft;
  }
  cmdAbout_->Surface().Cls();
  WriteButtonText(*cmdAbout_, language_.CaptionAbout());
  command1_->Surface().Cls();
  command2_->Surface().Cls();
  if (command1_->Enabled()) {
    EnableGUI();
  } else {
    DisableGUI();
  }
}

void frmGUI::AppendDetails(const std::u16string& text) { uniCode_.AppendDetails(text); }

std::u16string frmGUI::GetDetailsText() { return uniCode_.GetDetailsText(); }

void frmGUI::ClearDetails() { uniCode_.ClearDetails(); }

std::int16_t frmGUI::ShowMessageBox(const MessageBoxRequest& request) {
  frmMultilingualMSGBOX box(window_.Get(), scale_);
  box.Button1 = request.button1;
  box.Button2 = request.button2;
  box.OkOnly = request.okOnly;
  box.RightToLeft = language_.RightToLeft();
  return box.ShowModal(request.lines);
}

std::string frmGUI::BrowseForFolder(const std::string& title) {
  return win32::BrowseForFolder(window_.Get(), title);
}

void frmGUI::SetProg1(double value) { SetProg(5, 6, 4, value); }

void frmGUI::SetProg2(double value) { SetProg(8, 9, 7, value); }

void frmGUI::SetProg(int middle, int rightCap, int leftCap, double value) {
  const FillLayout fill = LayoutFill(value);
  images_[middle].place.width = fill.middleWidth;
  images_[rightCap].place.left = images_[middle].place.left + fill.middleWidth;
  for (int image : {leftCap, middle, rightCap}) images_[image].visible = fill.visible;
  InvalidateRect(window_.Get(), nullptr, FALSE);
  DoEvents();
}

void frmGUI::DoEvents() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Left for the main loop, which ends the program.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void frmGUI::SetTerm(bool term) { term_ = term; }

std::string frmGUI::WindowCaption() {
  const int length = GetWindowTextLengthA(window_.Get());
  std::string caption(static_cast<std::size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(window_.Get(), caption.data(), length + 1);
  caption.resize(static_cast<std::size_t>(copied < 0 ? 0 : copied));
  return caption;
}

void frmGUI::SetStatus(const std::string& text) { SetWindowTextA(label2_.Get(), text.c_str()); }

void frmGUI::SetTimerEnabled(update::UpdateTimer timer, bool enabled) {
  const bool timer1 = timer == update::UpdateTimer::Timer1;
  bool& running = timer1 ? timer1Enabled_ : timer5Enabled_;
  const UINT_PTR id = timer1 ? kTimer1 : kTimer5;
  // Setting a running timer again would restart its interval.
  if (enabled && !running) {
    SetTimer(window_.Get(), id, timer1 ? update::kTimer1Interval : update::kTimer5Interval,
             nullptr);
  } else if (!enabled && running) {
    KillTimer(window_.Get(), id);
  }
  running = enabled;
}

void frmGUI::EnableCommands() {
  command1_->SetEnabled(true);
  command2_->SetEnabled(true);
}

void frmGUI::Paint(HDC target) {
  RECT client{};
  GetClientRect(window_.Get(), &client);
  ScopedMemoryDc dc(CreateCompatibleDC(target));
  ScopedGdiObject bitmap(CreateCompatibleBitmap(target, client.right, client.bottom));
  ScopedSelection bitmapSelected(dc.Get(), bitmap.Get());
  ScopedGdiObject background(CreateSolidBrush(kFormBack));
  FillRect(dc.Get(), &client, static_cast<HBRUSH>(background.Get()));

  ScopedMemoryDc pictureDc(CreateCompatibleDC(target));
  auto blit = [&](HBITMAP picture, int x, int y, int width, int height) {
    if (picture == nullptr || width <= 0 || height <= 0) return;
    BITMAP info{};
    GetObjectW(picture, sizeof(info), &info);
    ScopedSelection pictureSelected(pictureDc.Get(), picture);
    SetStretchBltMode(dc.Get(), COLORONCOLOR);
    StretchBlt(dc.Get(), x, y, width, height, pictureDc.Get(), 0, 0, info.bmWidth, info.bmHeight,
               SRCCOPY);
  };
  blit(static_cast<HBITMAP>(artwork_[kHeader].Get()), 0, 0, kHeaderWidth, kHeaderHeight);

  // Shape1: the frame around the details box.
  ScopedGdiObject pen(CreatePen(PS_SOLID, 1, kBlack));
  ScopedSelection penSelected(dc.Get(), pen.Get());
  ScopedSelection hollow(dc.Get(), GetStockObject(NULL_BRUSH));
  Rectangle(dc.Get(), scale_.X(90), scale_.Y(3570), scale_.X(90 + 6810), scale_.Y(3570 + 1860));

  for (int index : kPaintOrder) {
    const ImageControl& image = images_[index];
    if (!image.visible) continue;
    blit(image.picture, scale_.X(image.place.left), scale_.Y(image.place.top),
         scale_.X(image.place.width), scale_.Y(image.place.height));
  }
  BitBlt(target, 0, 0, client.right, client.bottom, dc.Get(), 0, 0, SRCCOPY);
}

LRESULT frmGUI::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND window = window_.Get();
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      Paint(dc);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_CTLCOLORSTATIC: {
      const auto control = reinterpret_cast<HWND>(lParam);
      if (control != label1_.Get() && control != label2_.Get()) break;
      const auto dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, kWhite);
      SetBkColor(dc, kButtonBack);
      return reinterpret_cast<LRESULT>(labelBrush_.Get());
    }
    case WM_TIMER:
      if (wParam == kTimer3) Timer3Timer();
      if (wParam == kTimer4) Timer4Timer();
      // A tick posted before its timer was stopped is not delivered, and
      // none before the exchange exists (a second copy never starts one).
      if (wParam == kTimer1 && timer1Enabled_ && update_) update_->Timer1_Timer();
      if (wParam == kTimer5 && timer5Enabled_ && update_) update_->Timer5_Timer();
      return 0;
    case WM_LBUTTONUP:
      Form_Click();
      return 0;
    case WM_CLOSE:
      FormUnload();
      return 0;
    case WM_DESTROY:
      AttachOwner(window, nullptr);
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace quellix::ui::win32
