// The files that Windows itself ships under the names of the process judging
// table, at the places where it ships them. A worm copy is looked for under
// such names (the sweep's group A looks for explorer.exe and regedit.exe in
// the system folder, where 32-bit Windows has none but 64-bit Windows keeps
// its 32-bit ones in SysWOW64), and a digest list may name one; such a file is
// kept and reported, never deleted.
#pragma once

#include <string>

#include "quellix/engine/system/RunValues.h"

namespace quellix {

// The path as the file system resolves it, lower case: "/" read as "\", a
// "\\?\" or "\??\" prefix dropped, "." and ".." and doubled separators gone,
// the trailing dots and blanks of each name removed.
std::string ResolvedLowerPath(const std::string& path);

// True when the path names a file that Windows ships there: in the Windows
// folder, the system folder, and on a 64-bit Windows its SysWOW64 folder.
bool IsWindowsOwnFile(const std::string& path, const RunValues& run);

}  // namespace quellix
