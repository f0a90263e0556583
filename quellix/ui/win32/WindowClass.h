// What every window class of the program shares: registration, the routing
// of a window's messages to the object that owns it, and the painting of a
// window that shows a DrawingSurface.
#pragma once

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

}  // namespace quellix::ui::win32
