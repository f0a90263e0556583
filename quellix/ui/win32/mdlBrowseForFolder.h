// The folder dialog in which the user picks where the run log and the backups go.
#pragma once

#include <windows.h>

#include <string>

namespace quellix::ui::win32 {

// The chosen folder as the platform gives it (a drive root keeps its
// backslash, any other folder has none), or "" when the user cancels or the
// choice has no file-system path.
std::string BrowseForFolder(HWND owner, const std::string& title);

}  // namespace quellix::ui::win32
