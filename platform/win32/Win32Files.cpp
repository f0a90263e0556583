// File calls (kernel32): attributes, copy, delete, listing and raw I/O.
#include "platform/win32/Win32Platform.h"

#include "platform/win32/HandleCasts.h"
#include "platform/win32/ScopedWin.h"

#include <algorithm>

namespace platform::win32 {
namespace {

FindEntry ToFindEntry(const WIN32_FIND_DATAA& found) {
  FindEntry entry;
  entry.name = found.cFileName;
  entry.attributes = found.dwFileAttributes;
  entry.size = (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
  return entry;
}

}  // namespace

std::uint32_t Win32Platform::GetFileAttributesA(const std::string& path) {
  return ::GetFileAttributesA(path.c_str());
}

bool Win32Platform::SetFileAttributesA(const std::string& path, std::uint32_t attributes) {
  return ::SetFileAttributesA(path.c_str(), attributes) != FALSE;
}

bool Win32Platform::CopyFileA(const std::string& existing, const std::string& target,
                              bool failIfExists) {
  return ::CopyFileA(existing.c_str(), target.c_str(), failIfExists ? TRUE : FALSE) != FALSE;
}

bool Win32Platform::DeleteFileA(const std::string& path) {
  return ::DeleteFileA(path.c_str()) != FALSE;
}

bool Win32Platform::CreateDirectoryA(const std::string& path) {
  return ::CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

bool Win32Platform::FindFiles(const std::string& pattern, std::vector<FindEntry>* entries) {
  entries->clear();
  WIN32_FIND_DATAA found{};
  ScopedFindHandle search(::FindFirstFileA(pattern.c_str(), &found));
  if (!search.IsValid()) return false;
  do {
    entries->push_back(ToFindEntry(found));
  } while (::FindNextFileA(search.Get(), &found));
  // The listing is whole only when it ended for want of more entries.
  return ::GetLastError() == ERROR_NO_MORE_FILES;
}

Handle Win32Platform::CreateFileA(const std::string& path, std::uint32_t access,
                                  std::uint32_t shareMode, std::uint32_t disposition,
                                  std::uint32_t attributes) {
  return FromHandle(
      ::CreateFileA(path.c_str(), access, shareMode, nullptr, disposition, attributes, nullptr));
}

bool Win32Platform::ReadFile(Handle file, std::uint32_t bytesToRead,
                             std::vector<std::uint8_t>* data) {
  std::vector<std::uint8_t> buffer(std::max<std::uint32_t>(bytesToRead, 1));
  DWORD read = 0;
  if (!::ReadFile(ToHandle(file), buffer.data(), bytesToRead, &read, nullptr)) return false;
  data->assign(buffer.begin(), buffer.begin() + read);
  return true;
}

bool Win32Platform::WriteFile(Handle file, const std::vector<std::uint8_t>& data,
                              std::uint32_t* bytesWritten) {
  DWORD written = 0;
  const BOOL ok =
      ::WriteFile(ToHandle(file), data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
  if (bytesWritten) *bytesWritten = written;
  return ok != FALSE;
}

bool Win32Platform::GetFileSizeEx(Handle file, std::uint64_t* size) {
  LARGE_INTEGER length{};
  if (!::GetFileSizeEx(ToHandle(file), &length)) return false;
  *size = static_cast<std::uint64_t>(length.QuadPart);
  return true;
}

}  // namespace platform::win32
