// Windows' file protection: SfcIsFileProtected, exported by sfc.dll (on
// Windows XP and later a forwarder to sfc_os.dll). The library is looked up
// when called, so that a system without it still runs the program.
#include "platform/win32/Win32Platform.h"

#include "platform/win32/ScopedWin.h"

#include <string>

namespace platform::win32 {
namespace {

using SfcIsFileProtectedCall = BOOL(WINAPI*)(HANDLE, LPCWSTR);

// The folder this program's own system libraries load from. The caller may
// have turned file system redirection off, so a 32-bit program names
// SysWOW64 itself rather than let system32 lead to the 64-bit libraries.
std::string LibraryFolder(Win32Platform& platform) {
  std::string buffer(MAX_PATH + 1, '\0');
  bool wow64 = false;
  const bool underWow64 = platform.IsWow64Process(&wow64) && wow64;
  const std::uint32_t length =
      underWow64 ? platform.GetSystemWow64DirectoryA(buffer) : platform.GetSystemDirectoryA(buffer);
  if (length == 0 || length >= buffer.size()) return "";
  buffer.resize(length);
  return buffer;
}

}  // namespace

bool Win32Platform::SfcIsFileProtected(const std::u16string& path) {
  const std::string folder = LibraryFolder(*this);
  for (const char* library : {"sfc.dll", "sfc_os.dll"}) {
    if (folder.empty()) break;
    ScopedLibrary module(::LoadLibraryA((folder + "\\" + library).c_str()));
    if (!module.IsValid()) continue;
    const auto call = reinterpret_cast<SfcIsFileProtectedCall>(
        reinterpret_cast<void*>(::GetProcAddress(module.Get(), "SfcIsFileProtected")));
    if (call == nullptr) continue;
    const std::wstring wide(path.begin(), path.end());
    const bool guarded = call(nullptr, wide.c_str()) != FALSE;
    const DWORD error = ::GetLastError();
    module.Reset();
    ::SetLastError(error);
    return guarded;
  }
  ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
  return false;
}

}  // namespace platform::win32
