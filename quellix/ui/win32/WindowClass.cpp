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

}  // namespace quellix::ui::win32
