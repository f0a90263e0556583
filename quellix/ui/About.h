// The About window's arithmetic and tables: its texts, the credit rows and
// their translator links, the redirect pages, the scrolling of the credits
// and the centring of the title.
#pragma once

#include "quellix/ui/Portable.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace quellix::ui {

constexpr double kAboutClientWidth = 5745;
constexpr double kAboutClientHeight = 5685;

// The people and sites the window names. Nobody is named who has not agreed
// to it (docs/translations.md), and every site is on the reserved host.
constexpr const char* kAboutAuthor = "Quellix team";
constexpr const char* kAboutArtist = "Quellix team";
constexpr const char* kAboutTranslator = "Quellix community";
constexpr const char* kAboutPartnerSite = "community.quellix.example";
constexpr const char* kAboutSponsorSite = "help.quellix.example";
constexpr const char* kAboutDescription =
    "Quellix is a free tool that removes worms spreading through instant messengers.";
constexpr const char* kAboutDisclaimerFirstLine =
    "Feel free to mirror this program and redistribute it for FREE.";
constexpr const char* kAboutDisclaimerSecondLine = "Made with care by the Quellix team.";

// The redirect numbers of the two site links.
constexpr int kPartnerRedirect = 1;
constexpr int kSponsorRedirect = 9;

// The address of the vendor's redirect page with this number.
std::string RedirectAddress(int number);

// Opens that page with the shell's "open" verb in a normal window. Whether a
// browser opened is not checked.
void OpenRedirect(platform::Platform& platform, int number);

constexpr std::size_t kCreditRowCount = 20;
constexpr double kCreditRowSpacing = 285;
constexpr double kCreditLanguageLeft = 120;
constexpr double kCreditTranslatorLeft = 1200;
constexpr double kCreditLabelHeight = 255;

// The credits panel (the visible part) and the credits inside it.
constexpr double kScrollContainerLeft = 1740;
constexpr double kScrollContainerTop = 2280;
constexpr double kScrollContainerWidth = 2895;
constexpr double kScrollContainerHeight = 2055;
constexpr double kScrollContentsHeight = 5865;

struct CreditRow {
  const char* language;        // its English name
  std::size_t labelIndex = 0;  // of LangList and lblTranslator
  double top = 0;              // twips inside the credits
};

// The 20 rows in alphabetical order of the English names, 285 twips apart.
// The label indexes are those the translator links are known by.
const std::array<CreditRow, kCreditRowCount>& CreditRows();

// The redirect page of a translator's label, or none for a name that is no link.
std::optional<int> TranslatorRedirect(std::size_t labelIndex);

// The translator label under a point of the credits (twips); widths holds
// the drawn width of each row's name (twips), by row.
std::optional<std::size_t> TranslatorLabelAt(double x, double y,
                                             const std::array<double, kCreditRowCount>& nameWidths);

// One timer tick: the credits rise one pixel; once they have left the panel
// at the top they start again 20 pixels below it.
int NextScrollTop(int top, int contentsHeight, int containerHeight);

// CaptionAbout, eight blanks and the product name.
std::u16string AboutTitle(const std::u16string& captionAbout);

// Where the title starts vertically in a strip of that height (pixels),
// rounded halves to even.
int AboutTitleTop(int stripHeight, int textHeight);

}  // namespace quellix::ui
