#include "tools/uidriver/Screenshot.h"

#include "tools/uidriver/Errors.h"
#include "tools/uidriver/Handles.h"
#include "tools/uidriver/Text.h"

#include <windows.h>

namespace uidriver {

namespace {

void WriteAll(HANDLE file, const void* data, DWORD size) {
  DWORD written = 0;
  if (!::WriteFile(file, data, size, &written, nullptr) || written != size) {
    throw StepFailed(SystemError("WriteFile", ::GetLastError()));
  }
}

}  // namespace

ScreenSize SaveScreenshot(const std::wstring& file) {
  const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
  const ScreenSize size{::GetSystemMetrics(SM_CXVIRTUALSCREEN),
                        ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  if (size.width <= 0 || size.height <= 0) throw StepFailed("the screen has no size");

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = size.width;
  info.bmiHeader.biHeight = size.height;  // positive: bottom-up rows, as BMP files store them
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  const DWORD stride = (static_cast<DWORD>(size.width) * 3 + 3) & ~3u;
  const DWORD pixel_bytes = stride * static_cast<DWORD>(size.height);
  info.bmiHeader.biSizeImage = pixel_bytes;

  WindowDc screen(nullptr);
  if (screen.Get() == nullptr) throw StepFailed(SystemError("GetDC", ::GetLastError()));
  ScopedMemoryDc memory(::CreateCompatibleDC(screen.Get()));
  if (!memory.IsValid()) throw StepFailed(SystemError("CreateCompatibleDC", ::GetLastError()));
  void* bits = nullptr;
  ScopedGdiObject bitmap(
      ::CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap.IsValid()) throw StepFailed(SystemError("CreateDIBSection", ::GetLastError()));
  {
    Selection selection(memory.Get(), bitmap.Get());
    if (!selection.Succeeded()) throw StepFailed("SelectObject failed for the screenshot bitmap");
    if (!::BitBlt(memory.Get(), 0, 0, size.width, size.height, screen.Get(), left, top,
                  SRCCOPY | CAPTUREBLT)) {
      throw StepFailed(SystemError("BitBlt", ::GetLastError()));
    }
    ::GdiFlush();
  }

  BITMAPFILEHEADER header{};
  header.bfType = 0x4D42;  // "BM"
  header.bfOffBits = sizeof header + sizeof info.bmiHeader;
  header.bfSize = header.bfOffBits + pixel_bytes;

  ScopedHandle out(::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!out.IsValid()) {
    throw StepFailed("cannot write " + Utf8(file) + ": " +
                     SystemError("CreateFile", ::GetLastError()));
  }
  WriteAll(out.Get(), &header, sizeof header);
  WriteAll(out.Get(), &info.bmiHeader, sizeof info.bmiHeader);
  WriteAll(out.Get(), bits, pixel_bytes);
  return size;
}

}  // namespace uidriver
