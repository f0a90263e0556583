// The processes the fixer lists and ends. A process is ended only while its
// id still names the image that was judged: ids are reused.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gorsel/ProcessFilter.h"
#include "gorsel/SystemGuard.h"
#include "platform/Platform.h"

namespace gorsel {

struct ProcessRow {
  std::string path;  // the image path as the system reports it
  std::uint32_t pid = 0;
  std::uint64_t created = 0;  // its creation time; 0 where it cannot be read
};

// Every process the filter selects, in the system's order. A process that
// cannot be opened, or whose image cannot be read, is left out.
std::vector<ProcessRow> ListMatchingProcesses(platform::Platform& system,
                                              const ProcessFilter& filter);

// Ends the process of row while its id still names that image (and, where
// known, that creation time). Returns "" when it ended or is no longer
// there, else the system's text for why not.
std::string KillProcessById(platform::Platform& system, const ProcessRow& row);

// Ends every process whose executable is named imageName (without regard to
// case) together with the processes it started, as "TASKKILL /F /IM name /T"
// does, except what the guard protects (the paths the fix names excepted). A
// child is ended only when it started after its parent, so a process that
// merely holds an old parent's id is never taken for its child. Failures are
// silent.
void KillProcessesByImageName(platform::Platform& system, const std::string& imageName,
                              const SystemGuard& guard, const std::vector<std::string>& namedByFix);

}  // namespace gorsel
