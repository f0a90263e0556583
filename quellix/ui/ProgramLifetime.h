// The beginning and the end of the program that do not need a window: the
// test for a copy that already runs, and what CLOSE leaves tidy.
#pragma once

#include "quellix/ui/Portable.h"

#include <cstdint>
#include <string>

#include "platform/Platform.h"

namespace quellix::ui {

constexpr const char* kInstanceName = "Quellix.Remover.Instance";

// True when another copy of the program runs. The name stays claimed for as
// long as the platform object lives. When the test cannot be made the
// program runs: refusing to start would leave the user without a remover.
bool AnotherCopyRuns(platform::Platform& platform);

// The About window's tune file: temporary folder + the hidden form's handle
// in decimal + ".mid".
std::string TuneFilePath(platform::Platform& platform, std::uintptr_t frmMainHandle);

// CLOSE: stops the tune if it plays and deletes its temporary file; every
// step ignores its own failure.
void StopTuneAndRemoveFile(platform::Platform& platform, std::uintptr_t frmMainHandle);

}  // namespace quellix::ui
