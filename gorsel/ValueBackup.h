// Registry values are deleted only once a copy of each is saved as a
// REGEDIT4 file (ANSI text, CR LF lines), so that "regedit /s file" puts
// back exactly what was removed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/RegFileText.h"
#include "platform/restore/RestoreRecord.h"

namespace gorsel {

// The file text for one value of the key keyPath ("HKEY_CURRENT_USER\...").
using platform::RegFileForValue;

enum class ValueBackup {
  kAbsent,    // no such value: nothing to save or delete
  kSaved,     // saved in a new file of folder and deleted
  kNotSaved,  // there, but no copy could be made: left in place
};

// Saves the value valueName of hive\subKey into a new file of folder (with
// its trailing "\"), never replacing one, and then deletes it. Once it is
// gone, deleted says what it was and names its file, for the restore record
// (its view left to the caller); otherwise deleted->regFile stays empty.
ValueBackup BackUpAndDeleteValue(platform::Platform& system, platform::HKey hive,
                                 const std::string& subKey, const std::string& valueName,
                                 const std::string& folder,
                                 platform::restore::RemovedValue* deleted);

}  // namespace gorsel
