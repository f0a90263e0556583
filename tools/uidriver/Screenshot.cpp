#include "tools/uidriver/Screenshot.h"

#include "tools/uidriver/Errors.h"
#include "tools/uidriver/Handles.h"
#include "tools/uidriver/Text.h"

#include <cstring>

namespace uidriver {

namespace {

void WriteAll(HANDLE file, const void* data, DWORD size) {
  DWORD written = 0;
  if (!::WriteFile(file, data, size, &written, nullptr) || written != size) {
    throw StepFailed(SystemError("WriteFile", ::GetLastError()));
  }
}

BITMAPINFOHEADER HeaderOf(const Picture& picture) {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = picture.width;
  header.biHeight = picture.height;  // positive: bottom-up rows, as BMP files store them
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  header.biSizeImage = static_cast<DWORD>(picture.bits.size());
  return header;
}

}  // namespace

std::uint32_t Picture::ColourAt(int screen_x, int screen_y) const {
  const std::size_t row = static_cast<std::size_t>(height - 1 - (screen_y - origin.y));
  const std::uint8_t* pixel =
      bits.data() + row * Stride() + static_cast<std::size_t>(screen_x - origin.x) * 3;
  return (std::uint32_t{pixel[2]} << 16) | (std::uint32_t{pixel[1]} << 8) | pixel[0];
}

Picture CaptureScreen() {
  Picture picture{{::GetSystemMetrics(SM_XVIRTUALSCREEN), ::GetSystemMetrics(SM_YVIRTUALSCREEN)},
                  ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
                  ::GetSystemMetrics(SM_CYVIRTUALSCREEN),
                  {}};
  if (picture.width <= 0 || picture.height <= 0) throw StepFailed("the screen has no size");
  picture.bits.resize(picture.Stride() * static_cast<std::size_t>(picture.height));

  BITMAPINFO info{};
  info.bmiHeader = HeaderOf(picture);
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
    if (!::BitBlt(memory.Get(), 0, 0, picture.width, picture.height, screen.Get(), picture.origin.x,
                  picture.origin.y, SRCCOPY | CAPTUREBLT)) {
      throw StepFailed(SystemError("BitBlt", ::GetLastError()));
    }
    ::GdiFlush();
  }
  std::memcpy(picture.bits.data(), bits, picture.bits.size());
  return picture;
}

void SavePicture(const Picture& picture, const std::wstring& file) {
  const BITMAPINFOHEADER info = HeaderOf(picture);
  BITMAPFILEHEADER header{};
  header.bfType = 0x4D42;  // "BM"
  header.bfOffBits = sizeof header + sizeof info;
  header.bfSize = header.bfOffBits + info.biSizeImage;

  ScopedHandle out(::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!out.IsValid()) {
    throw StepFailed("cannot write " + Utf8(file) + ": " +
                     SystemError("CreateFile", ::GetLastError()));
  }
  WriteAll(out.Get(), &header, sizeof header);
  WriteAll(out.Get(), &info, sizeof info);
  WriteAll(out.Get(), picture.bits.data(), info.biSizeImage);
}

}  // namespace uidriver
