// What replacing the hosts file takes away, as the restore record keeps it:
// every line of the file as it was, and the text written in its place as
// what the fix added, so that undoing the fix gives back the file itself.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Platform.h"
#include "platform/restore/RestoreRecord.h"

namespace gorsel {

// path the hosts file, attributes its own before the fix, copyPath its copy
// and newText what is written in its place. False when the copy cannot be
// read, which leaves nothing to record.
bool HostsRemoval(platform::Platform& system, const std::string& path, std::uint32_t attributes,
                  const std::string& copyPath, const std::string& newText,
                  platform::restore::RemovedHostsLines* removal);

}  // namespace gorsel
