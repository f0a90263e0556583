// The processes the fixer lists and ends.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gorsel/ProcessFilter.h"
#include "platform/Platform.h"

namespace gorsel {

struct ProcessRow {
  std::string path;  // the image path as the system reports it
  std::uint32_t pid = 0;
};

// Every process whose image is the program of filter, in the system's order.
// A process that cannot be opened, or whose first module cannot be read, is
// left out.
std::vector<ProcessRow> ListMatchingProcesses(platform::Platform& system, const std::string& filter,
                                              const SystemFolders& folders);

// Ends one process. Returns "" when it ended, else the system's text for why
// not.
std::string KillProcessById(platform::Platform& system, std::uint32_t pid);

// Ends every process whose executable is named imageName (without regard to
// case) together with the processes it started, as "TASKKILL /F /IM name /T"
// does; a system program in the system's folders is spared. Failures are
// silent.
void KillProcessesByImageName(platform::Platform& system, const std::string& imageName,
                              const SystemFolders& folders);

}  // namespace gorsel
