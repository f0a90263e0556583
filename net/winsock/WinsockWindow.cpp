// The socket layer and the hidden "SOCKET_WINDOW": WSAStartup 1.1 for the
// layer, a message-only STATIC window whose procedure is replaced by the
// dispatcher for the two notification messages, and the message pump.
#include <winsock2.h>
#include <windows.h>

#include "net/SocketPlatform.h"
#include "net/modEventSocket.h"
#include "net/winsock/WinsockLookup.h"

namespace net::winsock {

namespace {

struct Notifier {
  HWND window = nullptr;
  WNDPROC original = nullptr;
};

Notifier& TheNotifier() {
  static Notifier notifier;
  return notifier;
}

LRESULT CALLBACK DispatchProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == sys::kMsgResolved || message == sys::kMsgSocket) {
    if (message == sys::kMsgResolved) CompleteLookup(wParam, lParam);
    modEventSocket::Dispatch(message, wParam, lParam);
    return 0;
  }
  return CallWindowProcA(TheNotifier().original, window, message, wParam, lParam);
}

}  // namespace

HWND NotifierWindow() { return TheNotifier().window; }

}  // namespace net::winsock

namespace net::sys {

int StartLayer() {
  WSADATA data;
  return WSAStartup(MAKEWORD(1, 1), &data);
}

int StopLayer() {
  const int result = WSACleanup() == 0 ? 0 : WSAGetLastError();
  if (result == 0) winsock::ReleaseLookups();
  return result;
}

bool CreateNotifier() {
  auto& notifier = winsock::TheNotifier();
  // A message-only window: it is never shown, so it needs neither the desktop
  // nor a display driver. A top-level window cannot be made where the desktop
  // process is missing (a service, or a Wine prefix whose explorer.exe has been
  // removed), and the socket layer must work there too.
  HWND window = CreateWindowExA(0, "STATIC", "SOCKET_WINDOW", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  if (window == nullptr) return false;
  notifier.window = window;
  notifier.original = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&winsock::DispatchProc)));
  return true;
}

bool DestroyNotifier() {
  auto& notifier = winsock::TheNotifier();
  if (notifier.window == nullptr) return true;
  SetWindowLongPtrA(notifier.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(notifier.original));
  if (!DestroyWindow(notifier.window)) return false;
  notifier.window = nullptr;
  notifier.original = nullptr;
  return true;
}

int SelectNotifications(SocketNumber socket) {
  const int result = WSAAsyncSelect(static_cast<SOCKET>(socket), winsock::NotifierWindow(),
                                    kMsgSocket, kEventMask);
  return result == 0 ? 0 : WSAGetLastError();
}

void DoEvents(int waitMilliseconds) {
  MSG message;
  if (waitMilliseconds > 0 && !PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(waitMilliseconds), QS_ALLINPUT);
  }
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void ShowErrorBox(const std::string& description, const std::string& title) {
  MessageBoxA(nullptr, description.c_str(), title.c_str(), MB_OK);
}

}  // namespace net::sys
