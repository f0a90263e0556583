// Owners for the handles the driver opens beyond the platform layer's kinds:
// device contexts, GDI objects and memory inside the program under test.
#pragma once

#include "platform/win32/ScopedWin.h"

#include <cstddef>
#include <windows.h>

namespace uidriver {

using platform::win32::Scoped;
using platform::win32::ScopedHandle;

// A device context made with CreateCompatibleDC.
struct MemoryDcTraits {
  using Value = HDC;
  static Value Empty() { return nullptr; }
  static bool IsValid(Value value) { return value != nullptr; }
  static void Close(Value value) { ::DeleteDC(value); }
};
using ScopedMemoryDc = Scoped<MemoryDcTraits>;

struct GdiObjectTraits {
  using Value = HGDIOBJ;
  static Value Empty() { return nullptr; }
  static bool IsValid(Value value) { return value != nullptr; }
  static void Close(Value value) { ::DeleteObject(value); }
};
using ScopedGdiObject = Scoped<GdiObjectTraits>;

// A window's device context from GetDC; it goes back with ReleaseDC, which
// needs the window as well.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
  ~WindowDc() {
    if (dc_ != nullptr) ::ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// Puts an object into a device context and restores the previous one, so the
// object can be deleted afterwards.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
  ~Selection() {
    if (previous_ != nullptr && previous_ != HGDI_ERROR) ::SelectObject(dc_, previous_);
  }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;
  bool Succeeded() const { return previous_ != nullptr && previous_ != HGDI_ERROR; }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// Memory committed in another process, for the parameters of messages that
// carry pointers: the receiving window reads them in its own address space.
class RemoteMemory {
 public:
  RemoteMemory(HANDLE process, std::size_t size)
      : process_(process),
        address_(
            ::VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
  ~RemoteMemory() {
    if (address_ != nullptr) ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  }
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;
  void* Address() const { return address_; }
  bool IsValid() const { return address_ != nullptr; }

 private:
  HANDLE process_;
  void* address_;
};

}  // namespace uidriver
