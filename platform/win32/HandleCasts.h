// Conversions between the interface's integer handles and the Win32 handle
// types, and the one text conversion the wrappers share.
#pragma once

#include "platform/Platform.h"

#include <windows.h>
#include <wincrypt.h>
#include <winsvc.h>

namespace platform::win32 {

// The predefined roots are mapped by name: their Win32 values are sign-extended
// on 64-bit builds, where the interface's constants are not.
inline HKEY ToHkey(HKey key) {
  switch (key) {
    case kHkeyClassesRoot:
      return HKEY_CLASSES_ROOT;
    case kHkeyCurrentUser:
      return HKEY_CURRENT_USER;
    case kHkeyLocalMachine:
      return HKEY_LOCAL_MACHINE;
    case kHkeyUsers:
      return HKEY_USERS;
    default:
      return reinterpret_cast<HKEY>(key);
  }
}

inline HKey FromHkey(HKEY key) { return reinterpret_cast<HKey>(key); }

inline HANDLE ToHandle(Handle handle) { return reinterpret_cast<HANDLE>(handle); }
inline Handle FromHandle(HANDLE handle) { return reinterpret_cast<Handle>(handle); }

inline SC_HANDLE ToServiceHandle(Handle handle) { return reinterpret_cast<SC_HANDLE>(handle); }
inline Handle FromServiceHandle(SC_HANDLE handle) { return reinterpret_cast<Handle>(handle); }

inline HCRYPTPROV ToCryptProvider(Handle handle) { return static_cast<HCRYPTPROV>(handle); }
inline HCRYPTHASH ToCryptHash(Handle handle) { return static_cast<HCRYPTHASH>(handle); }
inline HCRYPTKEY ToCryptKey(Handle handle) { return static_cast<HCRYPTKEY>(handle); }

// Optional string arguments: the interface passes "" where the caller of the
// A function passes NULL (the local machine, the default database or verb).
inline const char* NullWhenEmpty(const std::string& text) {
  return text.empty() ? nullptr : text.c_str();
}

}  // namespace platform::win32
