// The glow of the START button's frame: one step of a colour wheel every
// tick, red -> yellow -> green -> cyan -> blue -> magenta -> red.
#pragma once

#include "quellix/ui/Portable.h"

#include <cstdint>

namespace quellix::ui {

struct Rgb {
  int red = 0;
  int green = 0;
  int blue = 0;
  bool operator==(const Rgb& other) const {
    return red == other.red && green == other.green && blue == other.blue;
  }
};

class StartGlow {
 public:
  // One tick: the colour to draw the frame in. A tick that completes a phase
  // also makes the first step of the next one. The state survives a stop of
  // the timer, so the glow resumes where it stopped.
  Rgb Tick();

  std::uint8_t GlowPhase = 0;
  std::int16_t GlowRed = 0;
  std::int16_t GlowGreen = 0;
  std::int16_t GlowBlue = 0;

 private:
  // One step of the current phase; false when the phase has just completed.
  bool StepPhase();
};

}  // namespace quellix::ui
