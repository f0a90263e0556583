// Reading a list view of the program under test (Gorsel's process list).
#pragma once

#include <string>
#include <vector>
#include <windows.h>

namespace uidriver {

// Every row of the report-view list, its columns joined by a tab.
std::vector<std::wstring> ListViewRows(HWND list, int columns);

}  // namespace uidriver
