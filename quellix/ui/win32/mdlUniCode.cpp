#include "quellix/ui/win32/mdlUniCode.h"

#include "quellix/ui/win32/WideText.h"

namespace quellix::ui::win32 {
namespace {

constexpr double kLabelLeft = 120;
constexpr double kLabelWidth = 3015;
constexpr double kLabelHeight = 285;

HWND CreateChild(const wchar_t* windowClass, DWORD style, int left, int top, int width, int height,
                 HWND parent) {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
  return CreateWindowExW(0, windowClass, L"", WS_CHILD | WS_VISIBLE | style, left, top, width,
                         height, parent, nullptr, instance, nullptr);
}

HWND CreateLabel(HWND parent, const Scale& scale, double top) {
  return CreateChild(L"STATIC", 0, scale.X(kLabelLeft), scale.Y(top), scale.X(kLabelWidth),
                     scale.Y(kLabelHeight), parent);
}

void SetShownText(HWND window, const std::u16string& text, bool rightToLeft) {
  SetWindowTextW(window, ToWide(ShownText(text, rightToLeft)).c_str());
}

}  // namespace

void mdlUniCode::CreateCaptionLabels(HWND parent, const Scale& scale) {
  labelOperation_.Reset(CreateLabel(parent, scale, 1645));
  labelProgress_.Reset(CreateLabel(parent, scale, 2485));
  labelDetails_.Reset(CreateLabel(parent, scale, 3295));
}

void mdlUniCode::CreateDetailsBox(double left, double top, double width, double height, HWND parent,
                                  const Scale& scale) {
  detailsBox_.Reset(CreateChild(L"EDIT", ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL | WS_VSCROLL,
                                scale.X(left), scale.Y(top), scale.X(width), scale.Y(height),
                                parent));
  ShowScrollBar(detailsBox_.Get(), SB_VERT, TRUE);
  SendMessageW(detailsBox_.Get(), EM_SETREADONLY, TRUE, 0);
  // Appended text counts against the box's limit (about 30,000 characters
  // unless raised); a long run writes far more.
  SendMessageW(detailsBox_.Get(), EM_SETLIMITTEXT, 0, 0);
}

void mdlUniCode::SetCaptionLabels(const std::u16string& operation, const std::u16string& progress,
                                  const std::u16string& details) {
  SetShownText(labelOperation_.Get(), operation, rightToLeft_);
  SetShownText(labelProgress_.Get(), progress, rightToLeft_);
  SetShownText(labelDetails_.Get(), details, rightToLeft_);
}

void mdlUniCode::AppendDetails(const std::u16string& text) {
  details_ += text;
  HWND box = detailsBox_.Get();
  if (box == nullptr) return;
  // Only the new text goes into the box: rewriting the whole text for every
  // line would make each line slower than the one before.
  const int length = GetWindowTextLengthW(box);
  SendMessageW(box, EM_SETSEL, static_cast<WPARAM>(length), static_cast<LPARAM>(length));
  SendMessageW(box, EM_REPLACESEL, FALSE,
               reinterpret_cast<LPARAM>(ToWide(ShownText(text, rightToLeft_)).c_str()));
  SendMessageW(box, EM_SCROLLCARET, 0, 0);
  SendMessageW(box, WM_VSCROLL, SB_BOTTOM, 0);
}

void mdlUniCode::ClearDetails() {
  details_.clear();
  ShowDetails();
}

void mdlUniCode::ShowDetails() {
  HWND box = detailsBox_.Get();
  if (box == nullptr) return;
  SetShownText(box, details_, rightToLeft_);
  // The caret goes to the end, and the view with it, so the newest line shows.
  const int length = GetWindowTextLengthW(box);
  SendMessageW(box, EM_SETSEL, static_cast<WPARAM>(length), static_cast<LPARAM>(length));
  SendMessageW(box, EM_SCROLLCARET, 0, 0);
  SendMessageW(box, WM_VSCROLL, SB_BOTTOM, 0);
}

}  // namespace quellix::ui::win32
