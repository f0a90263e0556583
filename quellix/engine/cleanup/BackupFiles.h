// Names and writes the files a run leaves in the backup folder, so that no
// backup ever replaces an earlier one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace quellix {

// text with every character that a file name cannot hold (\ / : * ? " < > |
// and control characters) replaced by "_".
std::string FileNamePart(const std::string& text);

// folder + stem + extension when nothing is there yet, otherwise the first of
// folder + stem + " (2)" + extension, " (3)", ... that is free.
std::string FreeBackupPath(platform::Platform& platform, const std::string& folder,
                           const std::string& stem, const std::string& extension);

// Writes bytes as the whole content of path (created, or replaced when
// replaceExisting is set). True only when every byte was written and the file
// closed.
bool WriteWholeFile(platform::Platform& platform, const std::string& path,
                    const std::vector<std::uint8_t>& bytes, bool replaceExisting);

}  // namespace quellix
