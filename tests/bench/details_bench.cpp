// The details box at 10,000 lines: appending each line (what the window
// does) against rewriting the whole text for every line, in the same run.
// Prints both timings and their ratio; exit status 1 when the two boxes do
// not show the same text.
#include "quellix/ui/CaptionDrawing.h"
#include "quellix/ui/win32/WideText.h"
#include "quellix/ui/win32/mdlUniCode.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;
using quellix::ui::win32::mdlUniCode;

std::u16string Line(int i) {
  const std::string number = std::to_string(i);
  return u"\r\n\uFFFEFound c:\\windows\\system32\\worm" +
         std::u16string(number.begin(), number.end()) + u".exe ...Removed";
}

std::wstring BoxText(HWND box) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(box)) + 1, L'\0');
  GetWindowTextW(box, text.data(), static_cast<int>(text.size()));
  text.pop_back();
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  const int lines = argc > 1 ? std::atoi(argv[1]) : 10000;
  HWND parent = CreateWindowExW(0, L"STATIC", L"details bench", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  const quellix::ui::Scale scale{};
  mdlUniCode appending;
  appending.CreateDetailsBox(0, 0, 5000, 5000, parent, scale);
  mdlUniCode rewriting;
  rewriting.CreateDetailsBox(0, 0, 5000, 5000, parent, scale);

  const auto appendStart = Clock::now();
  for (int i = 0; i < lines; ++i) appending.AppendDetails(Line(i));
  const double appendSeconds = std::chrono::duration<double>(Clock::now() - appendStart).count();

  std::u16string all;
  const auto rewriteStart = Clock::now();
  for (int i = 0; i < lines; ++i) {
    all += Line(i);
    HWND box = rewriting.DetailsBox();
    SetWindowTextW(box, quellix::ui::win32::ToWide(quellix::ui::VisibleText(all)).c_str());
    const int length = GetWindowTextLengthW(box);
    SendMessageW(box, EM_SETSEL, static_cast<WPARAM>(length), static_cast<LPARAM>(length));
    SendMessageW(box, EM_SCROLLCARET, 0, 0);
    SendMessageW(box, WM_VSCROLL, SB_BOTTOM, 0);
  }
  const double rewriteSeconds = std::chrono::duration<double>(Clock::now() - rewriteStart).count();

  const bool same = BoxText(appending.DetailsBox()) == BoxText(rewriting.DetailsBox());
  std::printf("lines %d\nrewrite %.3f s\nappend %.3f s\nratio rewrite/append %.1f\nsame text %s\n",
              lines, rewriteSeconds, appendSeconds, rewriteSeconds / appendSeconds,
              same ? "yes" : "NO");
  DestroyWindow(parent);
  return same ? 0 : 1;
}
