// Writes each removal to the run's restore record once its copy is made and
// the thing itself is gone, so that the run can be undone.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Platform.h"
#include "platform/restore/RestoreRecord.h"
#include "quellix/engine/system/RegistryViews.h"

namespace quellix {

class Session;

// A deleted file and the name of its copy in the backup folder.
void RecordRemovedFile(Session& session, const std::string& path, std::uint32_t attributes,
                       const std::string& copyName);

// A deleted value of root\subKey as opened in view; regFile the full path of
// its export.
void RecordRemovedValue(Session& session, platform::HKey root, KeyView view,
                        const std::string& subKey, const platform::restore::RegistryValue& value,
                        const std::string& regFile);

// Reads root\subKey with every value and sub-key below it, before it is
// deleted. False when any part of it cannot be read.
bool ReadRemovedKey(platform::Platform& platform, platform::HKey root, const std::string& subKey,
                    platform::restore::RemovedKey* key);

void RecordRemovedKey(Session& session, const platform::restore::RemovedKey& key);

void RecordRemovedHostsLines(Session& session, const platform::restore::RemovedHostsLines& hosts);

// The file name of a path in the backup folder.
std::string BackupFileName(const std::string& path);

}  // namespace quellix
