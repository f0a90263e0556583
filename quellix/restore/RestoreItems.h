// Puts back one item of a restore record, never over something that is
// there again, and says what it did.
#pragma once

#include <string>

#include "platform/Platform.h"
#include "platform/restore/RestoreRecord.h"

namespace quellix::restore {

enum class Result { kRestored, kSkipped, kFailed };

struct Outcome {
  Result result = Result::kFailed;
  std::string note;  // why it was skipped or failed, or what was left as it was
};

// folder ends with a backslash and holds the item's copy; dryRun checks
// everything but changes nothing. platform sees files in their native view.
Outcome RestoreItem(platform::Platform& platform, const std::string& folder,
                    const platform::restore::Item& item, bool dryRun);

// How the item is named in the output: "file c:\windows\winmgrs.exe", ...
std::string Describe(const platform::restore::Item& item);

// True when the item's path, name or text data contains text (without case).
bool Matches(const platform::restore::Item& item, const std::string& text);

}  // namespace quellix::restore
