// The window pieces against the real window manager and GDI: the message
// box's layout, results and text, the details box, the picture boxes'
// clicks and the drawn captions and frames.
#include "quellix/ui/CaptionDrawing.h"
#include "quellix/ui/Twips.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/ScopedWin.h"
#include "quellix/ui/win32/ButtonDrawing.h"
#include "quellix/ui/win32/PictureBox.h"
#include "quellix/ui/win32/frmMultilingualMSGBOX.h"
#include "quellix/ui/win32/mdlUniCode.h"

namespace quellix::ui::win32 {
namespace {

constexpr COLORREF kInk = RGB(255, 255, 255);
constexpr COLORREF kPaper = RGB(0, 0, 0);

class WindowsOnWine : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    PictureBox::RegisterClass(GetModuleHandleW(nullptr));
    frmMultilingualMSGBOX::RegisterClass(GetModuleHandleW(nullptr));
  }

  void SetUp() override {
    parent.Reset(CreateWindowExW(0, L"STATIC", L"parent", WS_OVERLAPPEDWINDOW, 0, 0, 600, 500,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
    ASSERT_NE(parent.Get(), nullptr) << GetLastError();
  }

  // Posts a press and release at the centre of a child; they are handled by
  // the next message loop that runs.
  static void PostClick(HWND control) {
    RECT client{};
    GetClientRect(control, &client);
    const LPARAM centre = MAKELPARAM(client.right / 2, client.bottom / 2);
    PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, centre);
    PostMessageW(control, WM_LBUTTONUP, 0, centre);
  }

  static void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }

  static RECT RectIn(HWND window, HWND parentWindow) {
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, parentWindow, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }

  static std::wstring Text(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), text.size())));
    return text;
  }

  // The columns of a band of rows that hold ink, split at blank gaps.
  struct InkRun {
    int left = 0;
    int right = 0;  // inclusive
  };
  static std::vector<InkRun> InkRuns(const DrawingSurface& surface, int top, int bottom) {
    std::vector<InkRun> runs;
    for (int x = 0; x < surface.WidthPixels(); ++x) {
      bool inked = false;
      for (int y = top; y < bottom && !inked; ++y) inked = GetPixel(surface.Dc(), x, y) == kInk;
      if (!inked) continue;
      if (!runs.empty() && runs.back().right == x - 1) {
        runs.back().right = x;
      } else {
        runs.push_back({x, x});
      }
    }
    return runs;
  }

  // The bounding box of the pixels in ink on a surface, or an empty box.
  static RECT InkBounds(DrawingSurface& surface) {
    RECT bounds{surface.WidthPixels(), surface.HeightPixels(), -1, -1};
    for (int y = 0; y < surface.HeightPixels(); ++y) {
      for (int x = 0; x < surface.WidthPixels(); ++x) {
        if (GetPixel(surface.Dc(), x, y) != kInk) continue;
        bounds.left = std::min<LONG>(bounds.left, x);
        bounds.top = std::min<LONG>(bounds.top, y);
        bounds.right = std::max<LONG>(bounds.right, x);
        bounds.bottom = std::max<LONG>(bounds.bottom, y);
      }
    }
    return bounds;
  }

  Scale scale{15, 15};
  platform::win32::ScopedWindow parent;
};

TEST_F(WindowsOnWine, TwoButtonBoxCentresItsButtonsAndReturnsSixForYesAndSevenForNo) {
  {
    frmMultilingualMSGBOX yes(parent.Get(), scale);
    yes.Button1 = u"\xFFFEYes";
    yes.Button2 = u"\xFFFENo";
    PostClick(GetDlgItem(yes.Handle(), kBoxPicture1Id));
    EXPECT_EQ(yes.ShowModal({u"\xFFFEQuestion one?"}), 6);
  }
  frmMultilingualMSGBOX box(parent.Get(), scale);
  box.Button1 = u"\xFFFEYes";
  box.Button2 = u"\xFFFENo";
  PostClick(GetDlgItem(box.Handle(), kBoxPicture2Id));
  EXPECT_EQ(box.ShowModal({u"\xFFFEQuestion one?", u"\xFFFESecond line"}), 7);

  HWND picture1 = GetDlgItem(box.Handle(), kBoxPicture1Id);
  HWND picture2 = GetDlgItem(box.Handle(), kBoxPicture2Id);
  RECT outer{};
  GetWindowRect(box.Handle(), &outer);
  const RECT one = RectIn(picture1, box.Handle());
  const RECT two = RectIn(picture2, box.Handle());
  // 105 twips apart, symmetric about the middle of the box's outer width.
  EXPECT_EQ(two.left - one.right, 7);
  EXPECT_NEAR((one.left + two.right) / 2.0, (outer.right - outer.left) / 2.0, 1.0);
  EXPECT_EQ(one.top, two.top);
  EXPECT_EQ(Text(GetDlgItem(box.Handle(), kBoxTextId)), L"Question one?\r\nSecond line");
  EXPECT_EQ(Text(picture1), L"Yes");
  EXPECT_TRUE(IsWindowEnabled(parent.Get())) << "the owner is enabled again";
}

TEST_F(WindowsOnWine, OneButtonBoxShowsOneCentredButtonAndReturnsOne) {
  frmMultilingualMSGBOX box(parent.Get(), scale);
  box.Button1 = u"\xFFFEOK";
  box.OkOnly = true;
  PostClick(GetDlgItem(box.Handle(), kBoxPicture1Id));
  EXPECT_EQ(box.ShowModal({u"\xFFFENo virus detected."}), 1);
  RECT outer{};
  GetWindowRect(box.Handle(), &outer);
  const RECT one = RectIn(GetDlgItem(box.Handle(), kBoxPicture1Id), box.Handle());
  EXPECT_NEAR((one.left + one.right) / 2.0, (outer.right - outer.left) / 2.0, 1.0);
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(box.Handle(), kBoxPicture2Id)));
}

TEST_F(WindowsOnWine, BoxGrowsWithItsWidestLineAndItsLineCount) {
  auto measure = [&](const std::vector<std::u16string>& lines) {
    frmMultilingualMSGBOX box(parent.Get(), scale);
    box.Button1 = u"\xFFFEOK";
    box.OkOnly = true;
    PostMessageW(box.Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(box.ShowModal(lines), 0) << "closed without a button";
    RECT outer{};
    GetWindowRect(box.Handle(), &outer);
    return outer;
  };
  const RECT short1 = measure({u"\xFFFEOK?"});
  const RECT short3 = measure({u"\xFFFEOK?", u"\xFFFEOK?", u"\xFFFEOK?"});
  const RECT wide = measure({std::u16string(u"\xFFFE") + std::u16string(120, u'W')});
  EXPECT_GT(short3.bottom - short3.top, short1.bottom - short1.top);
  EXPECT_GT(wide.right - wide.left, short1.right - short1.left);
  // The design width stays for short lines.
  EXPECT_EQ(short1.right - short1.left, short3.right - short3.left);
}

TEST_F(WindowsOnWine, BoxWiderThanItsOwnerAtTheScreensLeftEdgeStaysOnTheScreen) {
  SetWindowPos(parent.Get(), nullptr, 0, 0, 300, 200, SWP_NOZORDER | SWP_SHOWWINDOW);
  frmMultilingualMSGBOX box(parent.Get(), scale);
  box.Button1 = u"\xFFFEOK";
  box.OkOnly = true;
  PostMessageW(box.Handle(), WM_CLOSE, 0, 0);
  box.ShowModal({std::u16string(u"\xFFFE") + std::u16string(60, u'W')});
  RECT outer{};
  GetWindowRect(box.Handle(), &outer);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(parent.Get(), MONITOR_DEFAULTTONEAREST), &monitor));
  const RECT& work = monitor.rcWork;
  EXPECT_GT(outer.right - outer.left, 300) << "the box is wider than its owner";
  EXPECT_GE(outer.left, work.left);
  EXPECT_GE(outer.top, work.top);
  EXPECT_LE(outer.right, work.right);
  EXPECT_LE(outer.bottom, work.bottom);
}

// A Hebrew word, a wide blank and a Latin name: read from right to left, the
// Hebrew word stands at the right end of the line and the name at its left.
const std::u16string kHebrewThenName = u"\x05E9\x05DC          Quellix";

TEST_F(WindowsOnWine, RightToLeftBoxDrawsItsLinesInReadingOrderAgainstTheRightMargin) {
  frmMultilingualMSGBOX box(parent.Get(), scale);
  box.Button1 = u"\xFFFE\x05D0\x05D9\x05E9\x05D5\x05E8";
  box.OkOnly = true;
  box.RightToLeft = true;
  PostMessageW(box.Handle(), WM_CLOSE, 0, 0);
  // The second line is joined Arabic, whose shaped letters can be narrower
  // than the extent measured for them.
  const std::u16string arabic =
      u"\xFFFE\x0628\x0631\x0646\x0627\x0645\x062C Quellix \x0642\x064A\x062F "
      u"\x0627\x0644\x062A\x0634\x063A\x064A\x0644";
  box.ShowModal({u"\xFFFE" + kHebrewThenName, arabic});
  const DrawingSurface& surface = box.Surface();
  const int lineHeight = surface.GetTextSize(arabic).height;
  const std::vector<InkRun> arabicRuns =
      InkRuns(surface, 16 + lineHeight + 7, 16 + 2 * lineHeight + 7);
  ASSERT_FALSE(arabicRuns.empty()) << "the Arabic line was drawn";
  EXPECT_NEAR(surface.WidthPixels() - 1 - arabicRuns.back().right, 16, 3) << "the right margin";

  const std::vector<InkRun> runs = InkRuns(surface, 16, 16 + lineHeight);
  ASSERT_GE(runs.size(), 2u) << "both words were drawn";
  // The widest blank between inked columns is the one between the words.
  std::size_t gapAfter = 0;
  for (std::size_t i = 1; i + 1 < runs.size(); ++i) {
    if (runs[i + 1].left - runs[i].right > runs[gapAfter + 1].left - runs[gapAfter].right) {
      gapAfter = i;
    }
  }
  const int leftWord = runs[gapAfter].right - runs.front().left;
  const int rightWord = runs.back().right - runs[gapAfter + 1].left;
  EXPECT_GT(leftWord, rightWord) << "the name stands left of the Hebrew word";
  EXPECT_NEAR(surface.WidthPixels() - 1 - runs.back().right, 16, 3) << "the right margin";
  EXPECT_GT(runs.front().left, 16 + 3) << "the line does not start at the left margin";
}

TEST_F(WindowsOnWine, RightToLeftDetailsKeepTheirReadingOrderAndTheExactText) {
  mdlUniCode uniCode;
  uniCode.CreateDetailsBox(130, 300, 7050, 1815, parent.Get(), scale);
  uniCode.SetRightToLeft(true);
  const std::u16string row = u"\xFFFE" + kHebrewThenName;
  uniCode.AppendDetails(row);
  EXPECT_EQ(uniCode.GetDetailsText(), row);
  const std::wstring shown = Text(uniCode.DetailsBox());
  // The last letter of each word: the first character of a run of the other
  // direction may be placed at the run's edge rather than at its letter.
  const std::size_t hebrewEnd = shown.find(L'\x05DC');
  const std::size_t nameEnd = shown.find(L'x');
  ASSERT_NE(hebrewEnd, std::wstring::npos);
  ASSERT_NE(nameEnd, std::wstring::npos);
  const auto x = [&](std::size_t at) {
    return static_cast<short>(
        LOWORD(SendMessageW(uniCode.DetailsBox(), EM_POSFROMCHAR, static_cast<WPARAM>(at), 0)));
  };
  EXPECT_GT(x(hebrewEnd), x(nameEnd)) << "the name stands left of the Hebrew word";
}

TEST_F(WindowsOnWine, DetailsBoxShowsCleanTextAndKeepsTheExactText) {
  mdlUniCode uniCode;
  uniCode.CreateCaptionLabels(parent.Get(), scale);
  uniCode.CreateDetailsBox(130, 300, 7050, 1815, parent.Get(), scale);
  uniCode.SetCaptionLabels(u"\xFFFE\x0422\x0435\x043A\x0443\x0449\x0430\x044F:",
                           u"\xFFFE"
                           u"B",
                           u"\xFFFE\x8BE6\x7EC6:");
  EXPECT_NE(FindWindowExW(parent.Get(), nullptr, L"STATIC", L"\x8BE6\x7EC6:"), nullptr);

  std::u16string expected;
  for (int line = 0; line < 60; ++line) {
    const std::u16string text = (line == 0 ? u"" : u"\r\n") + std::u16string(u"\xFFFELine ") +
                                std::u16string(1, static_cast<char16_t>(u'A' + line % 26)) +
                                u" \x0645\x0631";
    uniCode.AppendDetails(text);
    expected += text;
  }
  EXPECT_EQ(uniCode.GetDetailsText(), expected);
  const std::wstring shown = Text(uniCode.DetailsBox());
  EXPECT_EQ(shown.find(L'\xFFFE'), std::wstring::npos);
  EXPECT_EQ(shown.size() + 60, expected.size());

  const auto lines = SendMessageW(uniCode.DetailsBox(), EM_GETLINECOUNT, 0, 0);
  const auto first = SendMessageW(uniCode.DetailsBox(), EM_GETFIRSTVISIBLELINE, 0, 0);
  RECT client{};
  GetClientRect(uniCode.DetailsBox(), &client);
  EXPECT_EQ(lines, 60);
  EXPECT_GT(first, 0) << "the box scrolled";
  // The last line lies inside the visible area.
  const auto lastCharacter = SendMessageW(uniCode.DetailsBox(), EM_LINEINDEX, lines - 1, 0);
  const auto position = SendMessageW(uniCode.DetailsBox(), EM_POSFROMCHAR, lastCharacter, 0);
  EXPECT_GE(static_cast<short>(HIWORD(position)), 0);
  EXPECT_LT(static_cast<short>(HIWORD(position)), client.bottom);

  uniCode.ClearDetails();
  EXPECT_EQ(uniCode.GetDetailsText(), u"");
  EXPECT_EQ(Text(uniCode.DetailsBox()), L"");
}

TEST_F(WindowsOnWine, PictureBoxClicksOnlyWhileEnabled) {
  PictureBox box(parent.Get(), 7, scale, TwipsRect{0, 0, 1215, 375}, kPaper, FontSpec{});
  int clicks = 0;
  box.onClick = [&] { ++clicks; };
  PostClick(box.Handle());
  Pump();
  EXPECT_EQ(clicks, 1);

  box.SetEnabled(false);
  PostClick(box.Handle());
  Pump();
  EXPECT_EQ(clicks, 1) << "a disabled box ignores posted input";

  box.SetEnabled(true);
  PostMessageW(box.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessageW(box.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(500, 5));
  Pump();
  EXPECT_EQ(clicks, 1) << "released outside the box";
}

TEST_F(WindowsOnWine, CaptionIsCentredAndItsRowPrefixIsNotDrawn) {
  PictureBox plain(parent.Get(), 8, scale, TwipsRect{0, 0, 1215, 375}, kPaper, FontSpec{});
  PictureBox prefixed(parent.Get(), 9, scale, TwipsRect{0, 400, 1215, 375}, kPaper, FontSpec{});
  plain.Surface().foreColor = kInk;
  prefixed.Surface().foreColor = kInk;
  WriteButtonText(plain, u"START");
  WriteButtonText(prefixed, u"\xFFFESTART");
  const RECT ink = InkBounds(plain.Surface());
  const RECT prefixedInk = InkBounds(prefixed.Surface());
  ASSERT_GE(ink.right, ink.left) << "nothing was drawn";
  EXPECT_TRUE(EqualRect(&ink, &prefixedInk));
  const int leftRoom = ink.left;
  const int rightRoom = plain.Surface().WidthPixels() - 1 - ink.right;
  EXPECT_LE(std::abs(leftRoom - rightRoom), 2) << ink.left << ".." << ink.right;
  EXPECT_EQ(Text(prefixed.Handle()), L"START");
}

TEST_F(WindowsOnWine, FrameOfTheSelectorEndsAtItsLowerEdge) {
  PictureBox selector(parent.Get(), 10, scale, TwipsRect{0, 0, 1560, 330}, kPaper, FontSpec{});
  DrawBorder(selector, kInk);
  HDC dc = selector.Surface().Dc();
  EXPECT_EQ(GetPixel(dc, 50, 0), kInk);    // top
  EXPECT_EQ(GetPixel(dc, 50, 21), kInk);   // bottom at 322 twips
  EXPECT_EQ(GetPixel(dc, 0, 21), kInk);    // left, clipped at the edge
  EXPECT_EQ(GetPixel(dc, 103, 10), kInk);  // right at 1552 twips
  EXPECT_EQ(GetPixel(dc, 50, 10), kPaper);
}

}  // namespace
}  // namespace quellix::ui::win32
