#include "quellix/ui/StartGlow.h"

namespace quellix::ui {
namespace {

constexpr std::int16_t kStep = 5;
constexpr std::int16_t kFull = 255;
constexpr std::uint8_t kPhaseCount = 6;

}  // namespace

bool StartGlow::StepPhase() {
  switch (GlowPhase) {
    case 0:
      GlowRed = kFull;
      GlowGreen += kStep;
      if (GlowGreen >= kFull) return false;
      GlowBlue = 0;
      return true;
    case 1:
      GlowGreen = kFull;
      GlowRed -= kStep;
      if (GlowRed <= 0) return false;
      GlowBlue = 0;
      return true;
    case 2:
      GlowBlue += kStep;
      if (GlowBlue >= kFull) return false;
      GlowRed = 0;
      return true;
    case 3:
      GlowBlue = kFull;
      GlowGreen -= kStep;
      if (GlowGreen <= 0) return false;
      GlowRed = 0;
      return true;
    case 4:
      GlowBlue = kFull;
      GlowRed += kStep;
      if (GlowRed >= kFull) return false;
      GlowGreen = 0;
      return true;
    case 5:
      GlowRed = kFull;
      GlowBlue -= kStep;
      if (GlowBlue <= 0) return false;
      GlowGreen = 0;
      return true;
    default:
      return true;
  }
}

Rgb StartGlow::Tick() {
  // Every completed phase fixes a channel at 255 or 0 for the next one, so
  // the next phase always makes a step; the bound only guards that reasoning.
  for (std::uint8_t turn = 0; turn <= kPhaseCount && !StepPhase(); ++turn) {
    GlowPhase = static_cast<std::uint8_t>((GlowPhase + 1) % kPhaseCount);
  }
  return Rgb{GlowRed, GlowGreen, GlowBlue};
}

}  // namespace quellix::ui
