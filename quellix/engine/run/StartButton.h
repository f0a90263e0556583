// What START does before and around the removal pass: the folder question,
// the busy state, an empty details box with the first log line, then the pass.
#pragma once

namespace quellix {

class Session;

constexpr const char* kFolderDialogTitle =
    "Please select a folder to save Log and Backup Files to...";

void StartButtonRun(Session& session);

}  // namespace quellix
