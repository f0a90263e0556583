// The one way a file is removed: no file is deleted without a copy of its
// bytes in BackupDir.
#pragma once

#include <string>

namespace quellix {

class Session;

// Backs the file up into BackupDir and deletes it, writing log messages 6, 13
// and 14. True when the file was deleted.
bool BackupAndDeleteFile(Session& session, const std::string& path);

}  // namespace quellix
