// Service control manager calls (advapi32).
#include "platform/win32/Win32Platform.h"

#include "platform/win32/HandleCasts.h"

namespace platform::win32 {

Handle Win32Platform::OpenSCManagerA(const std::string& machine, const std::string& database,
                                     std::uint32_t access) {
  return FromServiceHandle(
      ::OpenSCManagerA(NullWhenEmpty(machine), NullWhenEmpty(database), access));
}

Handle Win32Platform::OpenServiceA(Handle manager, const std::string& serviceName,
                                   std::uint32_t access) {
  return FromServiceHandle(::OpenServiceA(ToServiceHandle(manager), serviceName.c_str(), access));
}

bool Win32Platform::ControlService(Handle service, std::uint32_t control) {
  SERVICE_STATUS status{};
  return ::ControlService(ToServiceHandle(service), control, &status) != FALSE;
}

bool Win32Platform::CloseServiceHandle(Handle handle) {
  return ::CloseServiceHandle(ToServiceHandle(handle)) != FALSE;
}

}  // namespace platform::win32
