// The copy a program keeps of a file before it deletes it: "x.exe.back" in
// the backup folder, or "x.exe (2).back", "x.exe (3).back", ... when that
// name holds other bytes, so that no copy ever replaces an earlier one.
// Both programs keep their copies so, and the restore record names them.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Platform.h"
#include "platform/restore/RestoreRecord.h"

namespace platform::restore {

// "hosts.back" for number 1, "hosts (2).back" for 2, ...
std::string CopyName(const std::string& fileName, int number);

enum class BackupCopy {
  kMade,           // a new copy holds the file's bytes
  kAlreadyThere,   // a copy of an earlier attempt holds them already
  kSourceMissing,  // there is no such file
  kImpossible,     // no copy could be made: the file must stay
};

// Copies path into folder (ending with a backslash) as fileName's copy;
// *copyName is the name of the copy that holds its bytes.
BackupCopy MakeBackupCopy(Platform& platform, const std::string& path, const std::string& folder,
                          const std::string& fileName, std::string* copyName);

// The record's item for the file at path, deleted after its copy copyName
// in folder was made: the copy's size and digest, read back from the copy.
RemovedFile RemovedFileOf(Platform& platform, const std::string& path, std::uint32_t attributes,
                          const std::string& folder, const std::string& copyName);

}  // namespace platform::restore
