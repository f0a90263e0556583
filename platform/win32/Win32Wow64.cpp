// The calls of 64-bit Windows (kernel32): WOW64 detection, the 32-bit system
// folder, file system redirection and process image paths across bitness.
// They are looked up when called, so that the program still starts on the
// systems that lack them (Windows XP), where they fail with 120.
#include "platform/win32/Win32Platform.h"

#include "platform/win32/HandleCasts.h"

#include <algorithm>
#include <vector>

namespace platform::win32 {
namespace {

using IsWow64ProcessCall = BOOL(WINAPI*)(HANDLE, PBOOL);
using GetSystemWow64DirectoryCall = UINT(WINAPI*)(LPSTR, UINT);
using DisableRedirectionCall = BOOL(WINAPI*)(PVOID*);
using RevertRedirectionCall = BOOL(WINAPI*)(PVOID);
using QueryFullProcessImageNameCall = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);

template <typename Call>
Call Kernel32Call(const char* name) {
  const HMODULE kernel32 = ::GetModuleHandleA("kernel32.dll");
  if (kernel32 == nullptr) return nullptr;
  return reinterpret_cast<Call>(reinterpret_cast<void*>(::GetProcAddress(kernel32, name)));
}

}  // namespace

bool Win32Platform::IsWow64Process(bool* wow64) {
  *wow64 = false;
  const auto call = Kernel32Call<IsWow64ProcessCall>("IsWow64Process");
  if (call == nullptr) {
    ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return false;
  }
  BOOL answer = FALSE;
  if (!call(::GetCurrentProcess(), &answer)) return false;
  *wow64 = answer != FALSE;
  return true;
}

std::uint32_t Win32Platform::GetSystemWow64DirectoryA(std::string& buffer) {
  const auto call = Kernel32Call<GetSystemWow64DirectoryCall>("GetSystemWow64DirectoryA");
  if (call == nullptr) {
    ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return 0;
  }
  return call(buffer.data(), static_cast<UINT>(buffer.size()));
}

bool Win32Platform::Wow64DisableWow64FsRedirection(std::uintptr_t* oldValue) {
  const auto call = Kernel32Call<DisableRedirectionCall>("Wow64DisableWow64FsRedirection");
  if (call == nullptr) {
    ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return false;
  }
  PVOID old = nullptr;
  if (!call(&old)) return false;
  *oldValue = reinterpret_cast<std::uintptr_t>(old);
  return true;
}

bool Win32Platform::Wow64RevertWow64FsRedirection(std::uintptr_t oldValue) {
  const auto call = Kernel32Call<RevertRedirectionCall>("Wow64RevertWow64FsRedirection");
  if (call == nullptr) {
    ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return false;
  }
  return call(reinterpret_cast<PVOID>(oldValue)) != FALSE;
}

bool Win32Platform::QueryFullProcessImageNameA(Handle process, std::uint32_t capacity,
                                               std::string* path) {
  const auto call = Kernel32Call<QueryFullProcessImageNameCall>("QueryFullProcessImageNameA");
  if (call == nullptr) {
    ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return false;
  }
  std::vector<char> buffer(std::max<std::uint32_t>(capacity, 1), '\0');
  DWORD length = capacity;
  if (!call(ToHandle(process), 0, buffer.data(), &length)) return false;
  path->assign(buffer.data(), std::min<std::size_t>(length, buffer.size()));
  return true;
}

}  // namespace platform::win32
