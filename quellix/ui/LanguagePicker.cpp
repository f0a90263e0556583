#include "quellix/ui/LanguagePicker.h"

namespace quellix::ui {
namespace {

constexpr std::size_t kFirstColumnEntries = 13;
constexpr double kRowStep = 360;

}  // namespace

EntryPlace LanguageEntryPlace(std::size_t index) {
  if (index < kFirstColumnEntries) return EntryPlace{60, kRowStep * static_cast<double>(index)};
  return EntryPlace{1200, kRowStep * static_cast<double>(index - kFirstColumnEntries)};
}

double DropDownHeight() {
  return LanguageEntryPlace(kFirstColumnEntries - 1).top + kLanguageEntryHeight + 32;
}

bool InArrowArea(double x) { return x > kSelectorArrowStart; }

}  // namespace quellix::ui
