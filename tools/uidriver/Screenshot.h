// Saving what the screen shows, for people to look at after a test run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>
#include <windows.h>

namespace uidriver {

// The whole (virtual) screen as 24-bit rows, bottom-up as BMP files store
// them; `origin` is the screen point of the picture's top-left pixel.
struct Picture {
  POINT origin;
  int width;
  int height;
  std::vector<std::uint8_t> bits;

  std::size_t Stride() const { return (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3}; }
  // The colour at a screen point, as 0xRRGGBB; the point must lie in the picture.
  std::uint32_t ColourAt(int screen_x, int screen_y) const;
};

Picture CaptureScreen();

// Writes the picture as a 24-bit bottom-up BMP file.
void SavePicture(const Picture& picture, const std::wstring& file);

}  // namespace uidriver
