// Saving what the screen shows, for people to look at after a test run.
#pragma once

#include <string>

namespace uidriver {

struct ScreenSize {
  int width;
  int height;
};

// Captures the whole (virtual) screen into a 24-bit bottom-up BMP file.
ScreenSize SaveScreenshot(const std::wstring& file);

}  // namespace uidriver
