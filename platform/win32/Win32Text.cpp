// ANSI text in the system's code page.
#include "platform/win32/Win32Platform.h"

#include <windows.h>

namespace platform::win32 {

std::uint32_t Win32Platform::GetACP() { return ::GetACP(); }

std::u16string Win32Platform::MultiByteToWideChar(std::uint32_t codePage, const std::string& text) {
  if (text.empty()) return std::u16string();
  const int size = static_cast<int>(text.size());
  const int length = ::MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  if (length <= 0) return std::u16string();
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
  return std::u16string(wide.begin(), wide.end());
}

std::string Win32Platform::CharLowerBuffA(const std::string& text) {
  std::string lower = text;
  if (!lower.empty()) ::CharLowerBuffA(lower.data(), static_cast<DWORD>(lower.size()));
  return lower;
}

}  // namespace platform::win32
