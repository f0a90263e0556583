// The window's arithmetic: twips, bar fills, the START glow, the message box
// layout, the centring of drawn captions and the reading order of shown text.
#include <gtest/gtest.h>

#include <vector>

#include "quellix/ui/CaptionDrawing.h"
#include "quellix/ui/LanguagePicker.h"
#include "quellix/ui/MessageBoxLayout.h"
#include "quellix/ui/ProgressBar.h"
#include "quellix/ui/ReadingOrder.h"
#include "quellix/ui/StartGlow.h"
#include "quellix/ui/Twips.h"
#include "quellix/ui/WindowPlacement.h"

namespace quellix::ui {
namespace {

TEST(Twips, ScreenResolutionGivesWholeTwipsPerPixel) {
  EXPECT_EQ(TwipsPerPixelFromDpi(96), 15);
  EXPECT_EQ(TwipsPerPixelFromDpi(120), 12);
  EXPECT_EQ(TwipsPerPixelFromDpi(144), 10);
  EXPECT_EQ(TwipsPerPixelFromDpi(110), 13);  // 13.09 rounds down
  EXPECT_EQ(TwipsPerPixelFromDpi(0), 15);
}

TEST(Twips, ConversionTruncatesTowardZero) {
  EXPECT_EQ(TwipsToPixels(3585, 15), 239);
  EXPECT_EQ(TwipsToPixels(7050, 15), 470);
  EXPECT_EQ(TwipsToPixels(29, 15), 1);
  EXPECT_EQ(TwipsToPixels(-15, 15), -1);
  EXPECT_EQ(TwipsToPixels(-29, 15), -1);
  Scale scale{12, 10};
  EXPECT_EQ(scale.X(7260), 605);
  EXPECT_EQ(scale.Y(6420), 642);
}

TEST(ProgressBar, FillFollowsThePercentage) {
  const FillLayout half = LayoutFill(50);
  EXPECT_FLOAT_EQ(half.middleWidth, 3327.5f);
  EXPECT_FLOAT_EQ(half.rightCapLeft, 3627.5f);
  EXPECT_TRUE(half.visible);

  EXPECT_FLOAT_EQ(LayoutFill(100).middleWidth, 6655.0f);
  EXPECT_FLOAT_EQ(LayoutFill(120).middleWidth, 7986.0f);  // past the track, no error
  EXPECT_FLOAT_EQ(LayoutFill(12.5).middleWidth, 831.875f);
}

TEST(ProgressBar, OnlyZeroHidesTheFill) {
  EXPECT_FALSE(LayoutFill(0).visible);
  EXPECT_FLOAT_EQ(LayoutFill(0).rightCapLeft, 300.0f);
  EXPECT_TRUE(LayoutFill(0.01).visible);
  EXPECT_TRUE(LayoutFill(-5).visible);
}

std::vector<Rgb> Ticks(StartGlow& glow, int count) {
  std::vector<Rgb> colours;
  for (int i = 0; i < count; ++i) colours.push_back(glow.Tick());
  return colours;
}

TEST(StartGlow, WheelRunsThroughTheSixPhasesFromRed) {
  StartGlow glow;
  const auto colours = Ticks(glow, 601);
  // Ticks are counted from 1; each phase draws 50 colours and the tick that
  // completes it already makes the next phase's first step.
  EXPECT_EQ(colours[0], (Rgb{255, 5, 0}));
  EXPECT_EQ(colours[49], (Rgb{255, 250, 0}));
  EXPECT_EQ(colours[50], (Rgb{250, 255, 0}));
  EXPECT_EQ(colours[99], (Rgb{5, 255, 0}));
  EXPECT_EQ(colours[100], (Rgb{0, 255, 5}));
  EXPECT_EQ(colours[150], (Rgb{0, 250, 255}));
  EXPECT_EQ(colours[200], (Rgb{5, 0, 255}));
  EXPECT_EQ(colours[250], (Rgb{255, 0, 250}));
  EXPECT_EQ(colours[299], (Rgb{255, 0, 5}));
  EXPECT_EQ(colours[300], colours[0]);
  EXPECT_EQ(colours[600], colours[0]);
  for (const Rgb& colour : colours) {
    for (int channel : {colour.red, colour.green, colour.blue}) {
      ASSERT_GE(channel, 0);
      ASSERT_LE(channel, 255);
    }
  }
}

TEST(StartGlow, ResumesWhereItStoppedAndKeepsAnUnknownPhase) {
  // Stopped after 120 ticks (green to cyan, blue at 100), started again: the
  // next tick goes on from there, not from red.
  StartGlow glow;
  Ticks(glow, 120);
  EXPECT_EQ(glow.GlowPhase, 2);
  EXPECT_EQ(glow.Tick(), (Rgb{0, 255, 105}));
  EXPECT_EQ(glow.Tick(), (Rgb{0, 255, 110}));

  StartGlow odd;
  odd.GlowPhase = 9;
  odd.GlowRed = 17;
  EXPECT_EQ(odd.Tick(), (Rgb{17, 0, 0}));
  EXPECT_EQ(odd.GlowPhase, 9);
}

TEST(MessageBoxLayout, NarrowLinesKeepTheDesignWidth) {
  const Scale scale{15, 15};
  const auto layout = LayoutMessageBox({{100, 16}}, 3000, scale);
  EXPECT_DOUBLE_EQ(layout.outerWidth, 3000);
  ASSERT_EQ(layout.lineOrigins.size(), 1u);
  EXPECT_EQ(layout.lineOrigins[0].x, 16);
  EXPECT_EQ(layout.lineOrigins[0].y, 16);
  // y ends at 16 + 16 + 7 = 39 pixels = 585 twips.
  EXPECT_DOUBLE_EQ(layout.outerHeight, 720 + 120 + 375 + 585);
  EXPECT_DOUBLE_EQ(layout.buttonTop, 585 + 240);
}

TEST(MessageBoxLayout, WideLinesWidenAndEveryLineAddsItsHeight) {
  const Scale scale{15, 15};
  const auto layout = LayoutMessageBox({{150, 16}, {300, 18}, {200, 16}}, 3000, scale);
  EXPECT_DOUBLE_EQ(layout.outerWidth, 300 * 15 + 480);
  ASSERT_EQ(layout.lineOrigins.size(), 3u);
  EXPECT_EQ(layout.lineOrigins[1].y, 39);
  EXPECT_EQ(layout.lineOrigins[2].y, 64);
  const double y = (64 + 16 + 7) * 15;
  EXPECT_DOUBLE_EQ(layout.outerHeight, 1215 + y);
  EXPECT_DOUBLE_EQ(layout.buttonTop, y + 240);

  // Only wider than the box widens it: width + 480 equal to it does not.
  EXPECT_DOUBLE_EQ(LayoutMessageBox({{168, 16}}, 3000, scale).outerWidth, 3000);
  EXPECT_DOUBLE_EQ(LayoutMessageBox({{169, 16}}, 3000, scale).outerWidth, 2535 + 480);
}

TEST(MessageBoxLayout, ButtonsStandCentred) {
  EXPECT_DOUBLE_EQ(PlaceBoxButtons(3000, true).picture1, 892.5);
  EXPECT_DOUBLE_EQ(PlaceBoxButtons(2910, true).picture1, 847.5);

  // 105 twips apart, symmetric about the middle of the box.
  const ButtonLefts two = PlaceBoxButtons(4980, false);
  EXPECT_DOUBLE_EQ(two.picture1, 1222.5);
  EXPECT_DOUBLE_EQ(two.picture2, 2542.5);
  const ButtonLefts design = PlaceBoxButtons(2910, false);
  EXPECT_DOUBLE_EQ(design.picture1, 187.5);
  EXPECT_DOUBLE_EQ(design.picture2, 1507.5);
}

TEST(WindowPlacement, CentredOnTheOwnerButNeverOffTheWorkArea) {
  const ScreenRect work{0, 0, 1024, 740};
  auto place = [&](const ScreenRect& owner, int width, int height) {
    const ScreenRect rect = CentreInsideWorkArea(owner, width, height, work);
    EXPECT_EQ(rect.right - rect.left, width);
    EXPECT_EQ(rect.bottom - rect.top, height);
    return rect;
  };
  // Room enough: centred on the owner.
  EXPECT_EQ(place({100, 100, 600, 500}, 200, 100).left, 250);
  EXPECT_EQ(place({100, 100, 600, 500}, 200, 100).top, 250);
  // A box wider than its owner at the left edge of the screen starts at the edge.
  EXPECT_EQ(place({0, 0, 490, 690}, 560, 120).left, 0);
  // At the right and bottom edges it moves back inside.
  const ScreenRect corner = place({800, 600, 1024, 740}, 300, 200);
  EXPECT_EQ(corner.right, 1024);
  EXPECT_EQ(corner.bottom, 740);
  // An owner partly off the screen, and a box larger than the work area: its
  // left and top edges stay visible.
  EXPECT_EQ(place({-400, -300, 100, 200}, 200, 100).left, 0);
  EXPECT_EQ(place({-400, -300, 100, 200}, 200, 100).top, 0);
  const ScreenRect huge = place({0, 0, 1024, 740}, 1300, 900);
  EXPECT_EQ(huge.left, 0);
  EXPECT_EQ(huge.top, 0);
  // A work area that does not start at the origin (a task bar on the left,
  // a second monitor).
  EXPECT_EQ(CentreInsideWorkArea({1000, 0, 1400, 300}, 500, 100, {1024, 40, 2048, 768}).left, 1024);
  EXPECT_EQ(CentreInsideWorkArea({1000, 0, 1400, 300}, 500, 100, {1024, 40, 2048, 768}).top, 100);
}

TEST(CaptionDrawing, CentringRoundsHalvesToEven) {
  EXPECT_EQ(CentredTextOrigin(81, 25, 40, 15).x, 20);  // 20.5
  EXPECT_EQ(CentredTextOrigin(81, 25, 38, 15).x, 22);  // 21.5
  EXPECT_EQ(CentredTextOrigin(80, 25, 41, 15).x, 20);  // 19.5
  EXPECT_EQ(CentredTextOrigin(80, 25, 43, 15).x, 18);  // 18.5
  EXPECT_EQ(CentredTextOrigin(80, 25, 40, 16).y, 4);   // 4.5
  EXPECT_EQ(CentredTextOrigin(80, 25, 40, 14).y, 6);   // 5.5
  EXPECT_EQ(CentredTextOrigin(80, 26, 40, 16).y, 5);
}

TEST(CaptionDrawing, CaptionLargerThanItsBoxStartsBeforeItHalvesToEven) {
  EXPECT_EQ(CentredTextOrigin(81, 25, 101, 15).x, -10);
  EXPECT_EQ(CentredTextOrigin(80, 25, 101, 15).x, -10);  // -10.5
  EXPECT_EQ(CentredTextOrigin(80, 25, 103, 15).x, -12);  // -11.5
  EXPECT_EQ(CentredTextOrigin(80, 10, 40, 25).y, -8);    // -7.5
  EXPECT_EQ(CentredTextOrigin(80, 10, 40, 27).y, -8);    // -8.5
}

TEST(CaptionDrawing, FrameOfButtonsAndSelector) {
  const auto button = BorderLines(1215, 375);
  ASSERT_EQ(button.size(), 4u);
  EXPECT_DOUBLE_EQ(button[1].y1, 367);
  EXPECT_DOUBLE_EQ(button[2].y2, 367);  // the left line ends with the bottom one
  EXPECT_DOUBLE_EQ(button[3].x1, 1207);

  const auto selector = BorderLines(1560, 330);
  EXPECT_DOUBLE_EQ(selector[1].y1, 322);
  EXPECT_DOUBLE_EQ(selector[1].x2, 1560);
  EXPECT_DOUBLE_EQ(selector[2].y2, 367);  // longer than the box; clipped when drawn
  EXPECT_DOUBLE_EQ(selector[3].y2, 322);
}

TEST(CaptionDrawing, DropArrowIsTheDesignedTriangle) {
  // The top line, the strokes from x = 86 to 98 down to their ends, the tip.
  const int ends[] = {8, 10, 12, 14, 16, 18, 18, 18, 16, 14, 12, 10, 8};
  std::vector<LineSegment> expected{{85, 5, 100, 5}};
  for (int i = 0; i < 13; ++i) expected.push_back({86.0 + i, 5, 86.0 + i, double(ends[i])});
  expected.push_back({92, 18, 92, 18});

  const auto lines = DropArrowLines();
  ASSERT_EQ(lines.size(), expected.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_DOUBLE_EQ(lines[i].x1, expected[i].x1) << "line " << i;
    EXPECT_DOUBLE_EQ(lines[i].y1, expected[i].y1) << "line " << i;
    EXPECT_DOUBLE_EQ(lines[i].x2, expected[i].x2) << "line " << i;
    EXPECT_DOUBLE_EQ(lines[i].y2, expected[i].y2) << "line " << i;
  }
}

TEST(CaptionDrawing, VisibleTextDropsRowPrefixesAndByteOrderMarksOnly) {
  EXPECT_EQ(VisibleText(u"\xFFFEStart"), u"Start");
  EXPECT_EQ(VisibleText(u"\xFFFE\x0645\x0631\x062D\x0628\x0627\r\n\xFFFE\x4F60"),
            u"\x0645\x0631\x062D\x0628\x0627\r\n\x4F60");
  EXPECT_EQ(VisibleText(u"\xFFFE\xFEFFShqip"), u"Shqip");
  EXPECT_EQ(VisibleText(u"keep\xFFFD\xFFFF"), u"keep\xFFFD\xFFFF");
  EXPECT_EQ(VisibleText(u""), u"");
}

TEST(ReadingOrder, RightToLeftRowsAreEmbeddedLineByLineButFixedEnglishIsNot) {
  // A row broken in two (the first log message) and a row with a path,
  // then the program's fixed English line as it is appended on its own.
  const std::u16string log = u"\xFFFE\x05D0 Quellix.\r\n\x05D1\r\n\r\n\xFFFE\x05D2 \"c:\\a.exe\"";
  const std::u16string english = u"\r\nSmartScanning AutoRuns...";
  EXPECT_EQ(ShownText(log, false), VisibleText(log));
  EXPECT_EQ(ShownText(english, true), english);
  EXPECT_EQ(ShownText(log, true),
            u"\x202B\x05D0 Quellix.\x202C\r\n\x202B\x05D1\x202C\r\n\r\n"
            u"\x202B\x05D2 \"c:\\a.exe\"\x202C");
  EXPECT_EQ(ShownText(u"\xFFFE\xFEFF\x05D0:", true), u"\x202B\x05D0:\x202C");
  EXPECT_EQ(ShownText(u"", true), u"");
  EXPECT_EQ(EmbedLeftToRight(u"Denied (5, Run)"),
            u"\x202A"
            u"Denied (5, Run)\x202C");
}

TEST(LanguagePicker, TwoColumnsOfEntries360TwipsApart) {
  EXPECT_DOUBLE_EQ(LanguageEntryPlace(0).left, 60);
  EXPECT_DOUBLE_EQ(LanguageEntryPlace(0).top, 0);
  EXPECT_DOUBLE_EQ(LanguageEntryPlace(12).top, 4320);
  EXPECT_DOUBLE_EQ(LanguageEntryPlace(13).left, 1200);
  EXPECT_DOUBLE_EQ(LanguageEntryPlace(13).top, 0);
  EXPECT_DOUBLE_EQ(LanguageEntryPlace(22).left, 1200);
  EXPECT_DOUBLE_EQ(LanguageEntryPlace(22).top, 3240);
  EXPECT_DOUBLE_EQ(DropDownHeight(), 4682);
}

TEST(LanguagePicker, OnlyReleasesRightOfTheTitleAreaOpenTheList) {
  EXPECT_FALSE(InArrowArea(0));
  EXPECT_FALSE(InArrowArea(1215));
  EXPECT_TRUE(InArrowArea(1230));
  EXPECT_TRUE(InArrowArea(1215.5));
}

}  // namespace
}  // namespace quellix::ui
