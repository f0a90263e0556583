// Owners for every kind of Win32 handle the platform layer opens: each closes
// its handle with the matching call when it goes out of scope, so that no
// error path can leak a key, a service handle or a crypto context.
#pragma once

#include <windows.h>
#include <wincrypt.h>
#include <winsvc.h>

namespace platform::win32 {

// One owned handle; Traits names its type, its empty value and how it closes.
template <typename Traits>
class Scoped {
 public:
  using Value = typename Traits::Value;

  Scoped() = default;
  explicit Scoped(Value value) : value_(value) {}
  ~Scoped() { Reset(); }

  Scoped(const Scoped&) = delete;
  Scoped& operator=(const Scoped&) = delete;
  Scoped(Scoped&& other) noexcept : value_(other.Release()) {}
  Scoped& operator=(Scoped&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }

  Value Get() const { return value_; }
  bool IsValid() const { return Traits::IsValid(value_); }

  // For the out-parameter of a call that opens a handle: closes the current one.
  Value* Receive() {
    Reset();
    return &value_;
  }

  // Hands the handle to the caller, who closes it from now on.
  Value Release() {
    Value value = value_;
    value_ = Traits::Empty();
    return value;
  }

  void Reset(Value value = Traits::Empty()) {
    if (Traits::IsValid(value_)) Traits::Close(value_);
    value_ = value;
  }

 private:
  Value value_ = Traits::Empty();
};

// Kernel objects: processes, threads, files, tokens, mutexes. CreateFile
// reports failure with INVALID_HANDLE_VALUE, the others with NULL.
struct KernelHandleTraits {
  using Value = HANDLE;
  static Value Empty() { return nullptr; }
  static bool IsValid(Value value) { return value != nullptr && value != INVALID_HANDLE_VALUE; }
  static void Close(Value value) { ::CloseHandle(value); }
};

// A FindFirstFile search; it is closed with FindClose, not CloseHandle.
struct FindHandleTraits {
  using Value = HANDLE;
  static Value Empty() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Value value) { return value != INVALID_HANDLE_VALUE; }
  static void Close(Value value) { ::FindClose(value); }
};

struct RegistryKeyTraits {
  using Value = HKEY;
  static Value Empty() { return nullptr; }
  static bool IsValid(Value value) { return value != nullptr; }
  static void Close(Value value) { ::RegCloseKey(value); }
};

struct ServiceHandleTraits {
  using Value = SC_HANDLE;
  static Value Empty() { return nullptr; }
  static bool IsValid(Value value) { return value != nullptr; }
  static void Close(Value value) { ::CloseServiceHandle(value); }
};

struct CryptProviderTraits {
  using Value = HCRYPTPROV;
  static Value Empty() { return 0; }
  static bool IsValid(Value value) { return value != 0; }
  static void Close(Value value) { ::CryptReleaseContext(value, 0); }
};

struct CryptHashTraits {
  using Value = HCRYPTHASH;
  static Value Empty() { return 0; }
  static bool IsValid(Value value) { return value != 0; }
  static void Close(Value value) { ::CryptDestroyHash(value); }
};

// A library loaded with LoadLibrary for the calls looked up in it.
struct LibraryTraits {
  using Value = HMODULE;
  static Value Empty() { return nullptr; }
  static bool IsValid(Value value) { return value != nullptr; }
  static void Close(Value value) { ::FreeLibrary(value); }
};

// Fonts, bitmaps, brushes and pens of the windows' drawing.
struct GdiObjectTraits {
  using Value = HGDIOBJ;
  static Value Empty() { return nullptr; }
  static bool IsValid(Value value) { return value != nullptr; }
  static void Close(Value value) { ::DeleteObject(value); }
};

// A memory device context made with CreateCompatibleDC.
struct MemoryDcTraits {
  using Value = HDC;
  static Value Empty() { return nullptr; }
  static bool IsValid(Value value) { return value != nullptr; }
  static void Close(Value value) { ::DeleteDC(value); }
};

// A window the program created and destroys when its owner object goes.
struct WindowTraits {
  using Value = HWND;
  static Value Empty() { return nullptr; }
  static bool IsValid(Value value) { return value != nullptr && ::IsWindow(value); }
  static void Close(Value value) { ::DestroyWindow(value); }
};

using ScopedHandle = Scoped<KernelHandleTraits>;
using ScopedFindHandle = Scoped<FindHandleTraits>;
using ScopedRegKey = Scoped<RegistryKeyTraits>;
using ScopedServiceHandle = Scoped<ServiceHandleTraits>;
using ScopedCryptProvider = Scoped<CryptProviderTraits>;
using ScopedCryptHash = Scoped<CryptHashTraits>;
using ScopedLibrary = Scoped<LibraryTraits>;
using ScopedGdiObject = Scoped<GdiObjectTraits>;
using ScopedMemoryDc = Scoped<MemoryDcTraits>;
using ScopedWindow = Scoped<WindowTraits>;

// Selects an object into a device context for one scope and puts the
// previous one back, so that the object can be deleted afterwards.
class ScopedSelection {
 public:
  ScopedSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
  ~ScopedSelection() { ::SelectObject(dc_, previous_); }
  ScopedSelection(const ScopedSelection&) = delete;
  ScopedSelection& operator=(const ScopedSelection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// The device context of a window (GetDC), released with the scope.
class ScopedWindowDc {
 public:
  explicit ScopedWindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
  ~ScopedWindowDc() {
    if (dc_ != nullptr) ::ReleaseDC(window_, dc_);
  }
  ScopedWindowDc(const ScopedWindowDc&) = delete;
  ScopedWindowDc& operator=(const ScopedWindowDc&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

}  // namespace platform::win32
