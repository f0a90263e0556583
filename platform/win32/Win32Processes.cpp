// Process listing, termination and privileges (kernel32, psapi, advapi32).
#include "platform/win32/Win32Platform.h"

#include "platform/win32/HandleCasts.h"

#include <psapi.h>

#include <algorithm>

namespace platform::win32 {
namespace {

// Element count of a buffer of the given byte size, rounded up so that the
// call never writes past it, and at least one so that it has an address.
template <typename Element>
std::size_t ElementsFor(std::uint32_t bufferBytes) {
  const std::size_t count = bufferBytes / sizeof(Element) + (bufferBytes % sizeof(Element) != 0);
  return std::max<std::size_t>(1, count);
}

}  // namespace

bool Win32Platform::EnumProcesses(std::uint32_t bufferBytes, std::vector<std::uint32_t>* ids,
                                  std::uint32_t* bytesReturned) {
  std::vector<DWORD> buffer(ElementsFor<DWORD>(bufferBytes));
  DWORD returned = 0;
  if (!::EnumProcesses(buffer.data(), bufferBytes, &returned)) return false;
  const std::size_t count = std::min<std::size_t>(returned / sizeof(DWORD), buffer.size());
  ids->assign(buffer.begin(), buffer.begin() + count);
  *bytesReturned = returned;
  return true;
}

Handle Win32Platform::OpenProcess(std::uint32_t access, bool inheritHandle, std::uint32_t pid) {
  return FromHandle(::OpenProcess(access, inheritHandle ? TRUE : FALSE, pid));
}

bool Win32Platform::EnumProcessModules(Handle process, std::uint32_t bufferBytes,
                                       std::vector<std::uintptr_t>* modules,
                                       std::uint32_t* bytesNeeded) {
  std::vector<HMODULE> buffer(ElementsFor<HMODULE>(bufferBytes));
  DWORD needed = 0;
  if (!::EnumProcessModules(ToHandle(process), buffer.data(), bufferBytes, &needed)) return false;
  const std::size_t filled =
      std::min<std::size_t>(std::min<DWORD>(needed, bufferBytes) / sizeof(HMODULE), buffer.size());
  modules->clear();
  for (std::size_t i = 0; i < filled; ++i) {
    modules->push_back(reinterpret_cast<std::uintptr_t>(buffer[i]));
  }
  *bytesNeeded = needed;
  return true;
}

std::uint32_t Win32Platform::GetModuleFileNameExA(Handle process, std::uintptr_t module,
                                                  std::uint32_t capacity, std::string* path) {
  if (capacity == 0) {
    ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::vector<char> buffer(capacity, '\0');
  const DWORD copied = ::GetModuleFileNameExA(ToHandle(process), reinterpret_cast<HMODULE>(module),
                                              buffer.data(), capacity);
  if (copied == 0) return 0;
  // Wine reports a truncated name with the whole capacity as its length, NUL
  // included; the caller is promised at most capacity - 1 characters.
  const auto limit = buffer.begin() + std::min<std::size_t>(copied, capacity - 1);
  path->assign(buffer.begin(), std::find(buffer.begin(), limit, '\0'));
  return static_cast<std::uint32_t>(path->size());
}

bool Win32Platform::GetProcessTimes(Handle process, std::uint64_t* creationTime) {
  FILETIME created{};
  FILETIME exited{};
  FILETIME kernel{};
  FILETIME user{};
  if (!::GetProcessTimes(ToHandle(process), &created, &exited, &kernel, &user)) return false;
  *creationTime =
      (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
  return true;
}

bool Win32Platform::TerminateProcess(Handle process, std::uint32_t exitCode) {
  return ::TerminateProcess(ToHandle(process), exitCode) != FALSE;
}

bool Win32Platform::CloseHandle(Handle handle) { return ::CloseHandle(ToHandle(handle)) != FALSE; }

bool Win32Platform::OpenProcessToken(std::uint32_t access, Handle* token) {
  HANDLE opened = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), access, &opened)) return false;
  *token = FromHandle(opened);
  return true;
}

bool Win32Platform::LookupPrivilegeValueA(const std::string& systemName,
                                          const std::string& privilegeName, Luid* luid) {
  LUID found{};
  if (!::LookupPrivilegeValueA(NullWhenEmpty(systemName), privilegeName.c_str(), &found)) {
    return false;
  }
  luid->low = found.LowPart;
  luid->high = found.HighPart;
  return true;
}

bool Win32Platform::AdjustTokenPrivileges(Handle token, const Luid& luid,
                                          std::uint32_t attributes) {
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Luid.LowPart = luid.low;
  privileges.Privileges[0].Luid.HighPart = luid.high;
  privileges.Privileges[0].Attributes = attributes;
  return ::AdjustTokenPrivileges(ToHandle(token), FALSE, &privileges, 0, nullptr, nullptr) != FALSE;
}

std::uint32_t Win32Platform::GetPlatformId() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof(version);
  static_assert(sizeof(OSVERSIONINFOA) == 148, "GetVersionExA expects the 148-byte record");
  if (!::GetVersionExA(&version)) return 0;
  return version.dwPlatformId;
}

std::uint32_t Win32Platform::GetCurrentProcessId() { return ::GetCurrentProcessId(); }

std::uint32_t Win32Platform::GetDesktopWindowProcessId() {
  DWORD pid = 0;
  if (::GetWindowThreadProcessId(::GetDesktopWindow(), &pid) == 0) return 0;
  return pid;
}

bool Win32Platform::GetOwnModuleFileNameA(std::string* path) {
  // Long enough for any path the ANSI call can give back.
  std::string buffer(32768, '\0');
  const DWORD length =
      ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  if (length == 0 || length >= buffer.size()) return false;
  path->assign(buffer.data(), length);
  return true;
}

bool Win32Platform::GetVersionExA(OsVersion* version) {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (!::GetVersionExA(&info)) return false;
  version->major = info.dwMajorVersion;
  version->minor = info.dwMinorVersion;
  version->build = info.dwBuildNumber;
  return true;
}

}  // namespace platform::win32
