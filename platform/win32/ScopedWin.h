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

using ScopedHandle = Scoped<KernelHandleTraits>;
using ScopedFindHandle = Scoped<FindHandleTraits>;
using ScopedRegKey = Scoped<RegistryKeyTraits>;
using ScopedServiceHandle = Scoped<ServiceHandleTraits>;
using ScopedCryptProvider = Scoped<CryptProviderTraits>;
using ScopedCryptHash = Scoped<CryptHashTraits>;

}  // namespace platform::win32
