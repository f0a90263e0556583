// The Toolhelp process snapshot (ids, parents and executable names), and
// waiting for a process to end.
#include "platform/win32/Win32Platform.h"

#include "platform/win32/HandleCasts.h"
#include "platform/win32/ScopedWin.h"

#include <tlhelp32.h>

namespace platform::win32 {

bool Win32Platform::SnapshotProcesses(std::vector<ProcessSnapshotEntry>* entries) {
  ScopedHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot.IsValid()) return false;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  entries->clear();
  for (BOOL more = ::Process32First(snapshot.Get(), &entry); more;
       more = ::Process32Next(snapshot.Get(), &entry)) {
    entries->push_back({entry.th32ProcessID, entry.th32ParentProcessID, entry.szExeFile});
  }
  // The walk ends with ERROR_NO_MORE_FILES; anything else lost processes.
  return ::GetLastError() == ERROR_NO_MORE_FILES;
}

std::uint32_t Win32Platform::WaitForSingleObject(Handle handle, std::uint32_t milliseconds) {
  return ::WaitForSingleObject(ToHandle(handle), milliseconds);
}

}  // namespace platform::win32
