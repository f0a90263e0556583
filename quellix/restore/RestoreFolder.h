// Undoes the runs whose restore records are in a backup folder: the newest
// record first and each record's items in the reverse order of their
// removal, marking in the record what was put back so that nothing is put
// back twice.
#pragma once

#include <ostream>
#include <string>

#include "platform/Platform.h"

namespace quellix::restore {

struct Options {
  bool dryRun = false;  // check and print, change nothing
  std::string only;     // when set, just the items whose path or name contains it
};

struct Summary {
  int records = 0;  // records read
  int restored = 0;
  int skipped = 0;
  int failed = 0;
  int unreadableRecords = 0;
};

// Prints one line per item and the summary to out. platform is the machine
// as the program sees it; files are taken in their native view.
Summary RestoreFolder(platform::Platform& platform, const std::string& folder,
                      const Options& options, std::ostream& out);

}  // namespace quellix::restore
