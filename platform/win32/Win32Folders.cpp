// System folders, special folders and drives (kernel32, shell32).
#include "platform/win32/Win32Platform.h"

#include "platform/win32/HandleCasts.h"

#include <shlobj.h>

namespace platform::win32 {

std::uint32_t Win32Platform::GetSystemDirectoryA(std::string& buffer) {
  return ::GetSystemDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
}

std::uint32_t Win32Platform::GetTempPathA(std::string& buffer) {
  return ::GetTempPathA(static_cast<DWORD>(buffer.size()), buffer.data());
}

bool Win32Platform::SHGetSpecialFolderPathA(int csidl, bool create, std::string* path) {
  char buffer[MAX_PATH + 1] = {};
  if (!::SHGetSpecialFolderPathA(nullptr, buffer, csidl, create ? TRUE : FALSE)) return false;
  path->assign(buffer);
  return true;
}

std::vector<std::string> Win32Platform::GetLogicalDriveStringsA() {
  std::vector<char> buffer(1);
  DWORD length = ::GetLogicalDriveStringsA(0, buffer.data());
  // A drive mounted between the size query and the read makes the list longer.
  while (length >= buffer.size()) {
    buffer.assign(length + 1, '\0');
    length = ::GetLogicalDriveStringsA(static_cast<DWORD>(buffer.size()), buffer.data());
  }
  std::vector<std::string> drives;
  for (const char* entry = buffer.data(); *entry != '\0'; entry += drives.back().size() + 1) {
    drives.emplace_back(entry);
  }
  return drives;
}

std::uint32_t Win32Platform::GetDriveTypeA(const std::string& rootPath) {
  return ::GetDriveTypeA(rootPath.c_str());
}

}  // namespace platform::win32
