// The notice START shows when the removal run stopped on an unexpected
// failure: in the chosen language, through the program's own message box,
// like every other notice.
#pragma once

#include "quellix/ui/Portable.h"

#include <string>

#include "platform/RuntimeError.h"
#include "quellix/Host.h"
#include "quellix/lang/Language.h"

namespace quellix::ui {

// The failure as the notice names it: its own description, then its number
// and source in brackets without words, "(70, Source)", so that the line
// holds no English beyond what the failure itself says.
std::string NameRunFailure(const platform::RuntimeError& error);

// Two lines in the loaded language, the first naming the failure (ANSI
// text, as NameRunFailure gives it), and the language's OK button. In a
// right-to-left language the failure is held as one left-to-right piece.
MessageBoxRequest RunFailureBox(const lang::Language& language, const std::string& failure);

}  // namespace quellix::ui
