// Quellix: the messenger-worm remover's window program.
#include "quellix/ui/win32/frmGUI.h"

#include <windows.h>
#include <ole2.h>

#include "platform/win32/Win32Platform.h"

namespace {

// The folder dialog's new style needs OLE on the window's thread.
class OleSession {
 public:
  OleSession() : initialized_(SUCCEEDED(OleInitialize(nullptr))) {}
  ~OleSession() {
    if (initialized_) OleUninitialize();
  }
  OleSession(const OleSession&) = delete;
  OleSession& operator=(const OleSession&) = delete;

 private:
  bool initialized_;
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  OleSession ole;
  platform::win32::Win32Platform platform;
  quellix::ui::win32::frmGUI form(platform, instance);
  return form.Run();
}
