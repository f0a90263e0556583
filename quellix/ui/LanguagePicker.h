// The grid of the language drop-down and the selector's arrow area.
#pragma once

#include "quellix/ui/Portable.h"

#include <cstddef>

namespace quellix::ui {

constexpr double kLanguageEntryWidth = 975;
constexpr double kLanguageEntryHeight = 330;
constexpr double kDropDownWidth = 2400;
// The selector's title area ends here; releases right of it open the list.
constexpr double kSelectorArrowStart = 1215;

struct EntryPlace {
  double left = 0;
  double top = 0;
};

// Entries 0-12 in the first column at Left 60, the rest in the second at
// Left 1200, each 360 twips below the one before.
EntryPlace LanguageEntryPlace(std::size_t index);

// The drop-down reaches 32 twips below the last entry of the first column
// (4682 twips for the 23 languages).
double DropDownHeight();

// A release at x twips in the selector opens or closes the list.
bool InArrowArea(double x);

}  // namespace quellix::ui
