// Clicks on the picture-box buttons of the main window, the About window and
// the message boxes, the way the mouse would deliver them.
#pragma once

#include <string>
#include <windows.h>

namespace uidriver {

// Where a posted click lands in a control.
enum class ClickPlace { kCentre, kRightEdge };

// Posts a left button press and release at that place of the window's client area.
void PostClick(HWND target, ClickPlace place);

// Clicks the main window's control with this ID; fails when a user could not
// click it now (hidden, or disabled itself or by a modal box).
// Returns its caption.
std::wstring ClickMainControl(int id, ClickPlace place);

// The same for a control of the About window.
std::wstring ClickAboutControl(int id);

struct AnsweredBox {
  std::wstring text;     // the box's lines joined with CR LF
  std::wstring caption;  // of the button clicked
};

// Waits for a visible message box whose text contains `must_contain` (any box
// when empty) and whose `button` can be clicked, clicks it, and waits until
// the box has gone.
AnsweredBox AnswerMessageBox(int button, const std::wstring& must_contain, double seconds);

// Waits for a visible message box whose text contains `must_contain`, without
// answering it (to take its picture first). Returns its text.
std::wstring WaitForMessageBox(const std::wstring& must_contain, double seconds);

}  // namespace uidriver
