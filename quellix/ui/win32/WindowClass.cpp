#include "quellix/ui/win32/WindowClass.h"

namespace quellix::ui::win32 {

void RegisterWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure,
                         bool withProgramIcon) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  if (withProgramIcon) windowClass.hIcon = LoadIcon(instance, MAKEINTRESOURCE(1));
  windowClass.lpszClassName = name;
  RegisterClassExW(&windowClass);
}

void AttachOwner(HWND window, void* owner) {
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
}

bool HandleSurfacePaint(HWND window, UINT message, const DrawingSurface& surface, LRESULT* result) {
  if (message == WM_ERASEBKGND) {
    *result = 1;
    return true;
  }
  if (message != WM_PAINT) return false;
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  surface.Paint(dc);
  EndPaint(window, &paint);
  *result = 0;
  return true;
}

void CentreOnOwner(HWND window, HWND owner) {
  RECT ownerRect{};
  RECT windowRect{};
  GetWindowRect(owner != nullptr && IsWindowVisible(owner) ? owner : GetDesktopWindow(),
                &ownerRect);
  GetWindowRect(window, &windowRect);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (!GetMonitorInfoW(MonitorFromRect(&ownerRect, MONITOR_DEFAULTTONEAREST), &monitor)) {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &monitor.rcWork, 0);
  }
  const RECT& work = monitor.rcWork;
  const ScreenRect place = CentreInsideWorkArea(
      ScreenRect{ownerRect.left, ownerRect.top, ownerRect.right, ownerRect.bottom},
      windowRect.right - windowRect.left, windowRect.bottom - windowRect.top,
      ScreenRect{work.left, work.top, work.right, work.bottom});
  SetWindowPos(window, nullptr, place.left, place.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void RunModal(HWND window, HWND owner, bool& shown) {
  const bool ownerWasEnabled = owner != nullptr && IsWindowEnabled(owner);
  if (ownerWasEnabled) EnableWindow(owner, FALSE);
  shown = true;
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  MSG message;
  while (shown) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) {
      // The program is ending: leave the window and let the outer loop see it.
      if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (ownerWasEnabled) EnableWindow(owner, TRUE);
  ShowWindow(window, SW_HIDE);
  if (owner != nullptr && IsWindowVisible(owner)) SetForegroundWindow(owner);
}

}  // namespace quellix::ui::win32
