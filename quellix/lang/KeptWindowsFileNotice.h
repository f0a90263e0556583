// The end box of a run that kept a Windows file holding a worm's bytes: such
// a run found something, so it must not end with "No virus detected.", and
// only Windows can put its own file right. The 40 rows of the tables are
// fixed, so the box's two lines in all 23 languages live here, like the
// notice of a stopped run.
#pragma once

#include "quellix/Host.h"
#include "quellix/lang/Language.h"

namespace quellix::lang {

// Two lines in the current language (what was kept, how to have Windows
// repair it) and the language's OK button.
MessageBoxRequest KeptWindowsFileBox(const Language& language);

}  // namespace quellix::lang
