// What every window class of the program shares: registration, the routing
// of a window's messages to the object that owns it, the painting of a
// window that shows a DrawingSurface, and the showing of a modal window.
#pragma once

#include "quellix/ui/WindowPlacement.h"
#include "quellix/ui/win32/DrawingSurface.h"

#include <windows.h>

namespace quellix::ui::win32 {

void RegisterWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure,
                         bool withProgramIcon);

// From now on the window's messages reach owner (nullptr: no longer). Owners
// attach themselves once they can handle every message.
void AttachOwner(HWND window, void* owner);

// The window procedure of a class whose objects own their windows: a message
// goes to Owner::HandleMessage while an owner is attached.
template <typename Owner>
LRESULT CALLBACK RouteToOwner(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (owner == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  return owner->HandleMessage(message, wParam, lParam);
}

// WM_PAINT copies the surface to the window; WM_ERASEBKGND is skipped, since
// the surface covers the whole window. True when the message was one of them.
bool HandleSurfacePaint(HWND window, UINT message, const DrawingSurface& surface, LRESULT* result);

// Centres the window on its owner, or on the screen while the owner is
// hidden, inside the work area of the owner's monitor.
void CentreOnOwner(HWND window, HWND owner);

// Shows the window modally: the owner is disabled and the program's messages
// (timers and socket events of the owner too) run until a handler sets shown
// false or the program ends; then the window is hidden and the owner enabled
// and given the focus again.
void RunModal(HWND window, HWND owner, bool& shown);

}  // namespace quellix::ui::win32
