#include "quellix/ui/About.h"

#include "quellix/engine/run/ProductInfo.h"
#include "quellix/lang/Rounding.h"

namespace quellix::ui {
namespace {

struct TranslatorLink {
  std::size_t labelIndex;
  int redirect;
};

constexpr TranslatorLink kTranslatorLinks[] = {
    {1, 10},  // Arabic
    {3, 8},   // Dutch
    {4, 7},   // Estonian
    {5, 24},  // French
    {8, 3},   // Italian
    {15, 5},  // Turkish
};

// The English name, the label index and the row from the top.
constexpr CreditRow Row(const char* language, std::size_t labelIndex, int row) {
  return CreditRow{language, labelIndex, kCreditRowSpacing * row};
}

}  // namespace

std::string RedirectAddress(int number) {
  return std::string("http://") + kVendorHost + "/?id=" + std::to_string(number);
}

void OpenRedirect(platform::Platform& platform, int number) {
  platform.ShellExecuteA(0, "open", RedirectAddress(number), "", "", platform::kSwShowNormal);
}

const std::array<CreditRow, kCreditRowCount>& CreditRows() {
  static constexpr std::array<CreditRow, kCreditRowCount> kRows = {
      Row("Albanian", 0, 0),     Row("Arabic", 1, 1),      Row("Brazilian", 2, 2),
      Row("Danish", 19, 3),      Row("Dutch", 3, 4),       Row("Estonian", 4, 5),
      Row("French", 5, 6),       Row("German", 6, 7),      Row("Greek", 7, 8),
      Row("Hebrew", 9, 9),       Row("Hungarian", 10, 10), Row("Italian", 8, 11),
      Row("Korean", 11, 12),     Row("Norwegian", 12, 13), Row("Polish", 13, 14),
      Row("Portuguese", 14, 15), Row("Russian", 16, 16),   Row("Spanish", 17, 17),
      Row("Swedish", 18, 18),    Row("Turkish", 15, 19),
  };
  return kRows;
}

std::optional<int> TranslatorRedirect(std::size_t labelIndex) {
  for (const TranslatorLink& link : kTranslatorLinks) {
    if (link.labelIndex == labelIndex) return link.redirect;
  }
  return std::nullopt;
}

std::optional<std::size_t> TranslatorLabelAt(
    double x, double y, const std::array<double, kCreditRowCount>& nameWidths) {
  const auto& rows = CreditRows();
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const bool across = x >= kCreditTranslatorLeft && x < kCreditTranslatorLeft + nameWidths[r];
    const bool down = y >= rows[r].top && y < rows[r].top + kCreditLabelHeight;
    if (across && down) return rows[r].labelIndex;
  }
  return std::nullopt;
}

int NextScrollTop(int top, int contentsHeight, int containerHeight) {
  const int next = top - 1;
  if (next <= -contentsHeight) return containerHeight + 20;
  return next;
}

std::u16string AboutTitle(const std::u16string& captionAbout) {
  const std::string product = kProductName;
  return captionAbout + u"    " + u"    " + std::u16string(product.begin(), product.end());
}

int AboutTitleTop(int stripHeight, int textHeight) {
  return static_cast<int>(lang::RoundHalfEven(static_cast<double>(stripHeight) / 2 -
                                              static_cast<double>(textHeight) / 2));
}

}  // namespace quellix::ui
