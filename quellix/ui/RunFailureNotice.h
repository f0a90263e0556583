// The notice START shows when the removal run stopped on an unexpected
// failure: in the chosen language, through the program's own message box,
// like every other notice.
#pragma once

#include "quellix/ui/Portable.h"

#include <string>

#include "quellix/Host.h"
#include "quellix/lang/Language.h"

namespace quellix::ui {

// Two lines in the current language, the first naming the failure (ANSI
// text: what failed, its number and source, as the failure reports them),
// and the language's OK button.
MessageBoxRequest RunFailureBox(const lang::Language& language, const std::string& failure);

}  // namespace quellix::ui
