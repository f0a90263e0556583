// Gorsel: the one-button fixer's window program.
#include "gorsel/win32/Form1Window.h"
#include "platform/win32/Win32Platform.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  platform::win32::Win32Platform platform;
  gorsel::win32::Form1Window form(platform, instance);
  return form.Run();
}
