// Finding the windows of the program under test and reading them from the
// outside: the main window, its controls by ID, the About window, the
// message boxes.
#pragma once

#include <string>
#include <vector>
#include <windows.h>

namespace uidriver {

std::wstring ClassName(HWND window);

// SendMessage to a window of the program under test; a program that does not
// answer within a few seconds fails the step instead of hanging the driver.
LRESULT Ask(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// WM_GETTEXT across processes (GetWindowText does not ask another process's
// controls, so an edit box would read as its creation text).
std::wstring WindowText(HWND window);

// The visible top-level windows of a class, in Z order.
std::vector<HWND> VisibleTopLevelWindows(const wchar_t* class_name);
// Every visible top-level window, in Z order (the topmost first).
std::vector<HWND> VisibleTopLevelWindows();
// A window's visible descendants.
std::vector<HWND> VisibleDescendants(HWND window);

// A window's class and title for messages; GetWindowText asks no other
// process, so a program that hangs cannot hang the driver here.
std::string Describe(HWND window);

// The visible main window of the program under test ("QuellixMain", or
// Gorsel's "GorselMain"), or nullptr.
HWND FindMainWindow();
// As FindMainWindow, but a missing window fails the step.
HWND RequireMainWindow();

// The visible "QuellixAbout" window, or nullptr.
HWND FindAboutWindow();

// The first descendant with this control ID, or nullptr.
HWND DescendantWithId(HWND parent, int id);
// The first descendant of this window class, or nullptr.
HWND DescendantOfClass(HWND parent, const wchar_t* class_name);

// What a user can click: the window and every ancestor visible and enabled.
bool IsUsable(HWND window);

DWORD ProcessOf(HWND window);

}  // namespace uidriver
