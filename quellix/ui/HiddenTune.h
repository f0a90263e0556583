// The tune behind the About window's icon: the program's MIDI resource
// written to a temporary file once per opening of the window, and played by
// the multimedia sequencer under the alias that CLOSE also stops.
#pragma once

#include "quellix/ui/Portable.h"

#include <cstdint>

#include "platform/Platform.h"

namespace quellix::ui {

constexpr const char* kTuneResourceType = "EEGG";
constexpr int kTuneResourceId = 1;

class HiddenTune {
 public:
  // frmMainHandle names the file, as CLOSE expects it (TuneFilePath).
  HiddenTune(platform::Platform& platform, std::uintptr_t frmMainHandle);

  // The icon's click: ends a tune that plays, writes the file if this window
  // has not yet, opens it and plays it from the beginning. Nothing is
  // reported: without a sequencer or a file nothing plays.
  void Play();

  bool TuneWritten() const { return tuneWritten_; }

 private:
  bool WriteTuneFile(const std::string& path);

  platform::Platform& platform_;
  std::uintptr_t frmMainHandle_;
  bool tuneWritten_ = false;
};

}  // namespace quellix::ui
