// The platform object itself, the last error, and system information:
// version, locale, user, clock, messages, program resources, single instance.
#include "platform/win32/Win32Platform.h"

#include "platform/win32/HandleCasts.h"
#include "platform/win32/ScopedWin.h"

#include <algorithm>

namespace platform::win32 {

struct Win32Platform::InstanceClaims {
  std::vector<ScopedHandle> mutexes;
};

Win32Platform::Win32Platform() : instanceClaims_(std::make_unique<InstanceClaims>()) {}

Win32Platform::~Win32Platform() = default;

std::unique_ptr<Platform> MakeWin32Platform() { return std::make_unique<Win32Platform>(); }

std::uint32_t Win32Platform::GetLastError() { return ::GetLastError(); }

void Win32Platform::SetLastError(std::uint32_t code) { ::SetLastError(code); }

int Win32Platform::GetLocaleInfoA(std::uint32_t locale, std::uint32_t item, std::string& buffer) {
  return ::GetLocaleInfoA(locale, item, buffer.data(), static_cast<int>(buffer.size()));
}

bool Win32Platform::GetUserNameA(std::string* name) {
  // UNLEN (256) characters and the terminating NUL.
  char buffer[257] = {};
  DWORD length = sizeof(buffer);
  if (!::GetUserNameA(buffer, &length)) return false;
  name->assign(buffer);
  return true;
}

LocalTime Win32Platform::GetLocalTime() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  LocalTime time;
  time.year = now.wYear;
  time.month = now.wMonth;
  time.day = now.wDay;
  time.hour = now.wHour;
  time.minute = now.wMinute;
  time.second = now.wSecond;
  return time;
}

std::string Win32Platform::FormatMessageA(std::uint32_t errorCode) {
  char buffer[1024] = {};
  const DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, errorCode, 0, buffer, sizeof(buffer), nullptr);
  return std::string(buffer, std::min<std::size_t>(length, sizeof(buffer)));
}

bool Win32Platform::LoadProgramResource(const std::string& type, int id,
                                        std::vector<std::uint8_t>* bytes) {
  // An integer resource id is one 16-bit word; a larger value must not wrap
  // round to another resource.
  if (id < 1 || id > 0xFFFF) {
    ::SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return false;
  }
  const HMODULE program = ::GetModuleHandleA(nullptr);
  const HRSRC found = ::FindResourceA(program, MAKEINTRESOURCEA(id), type.c_str());
  if (!found) return false;
  const HGLOBAL loaded = ::LoadResource(program, found);
  if (!loaded) return false;
  const DWORD size = ::SizeofResource(program, found);
  const auto* first = static_cast<const std::uint8_t*>(::LockResource(loaded));
  if (!first) return false;
  bytes->assign(first, first + size);
  return true;
}

bool Win32Platform::ClaimInstance(const std::string& name, bool* anotherRuns) {
  ScopedHandle mutex(::CreateMutexA(nullptr, FALSE, name.c_str()));
  if (!mutex.IsValid()) return false;
  *anotherRuns = ::GetLastError() == ERROR_ALREADY_EXISTS;
  instanceClaims_->mutexes.push_back(std::move(mutex));
  return true;
}

}  // namespace platform::win32
