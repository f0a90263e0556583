// Finds worms by the MD5 digest of the programs that run or start: running
// processes, Run-key programs and drive autorun programs.
#pragma once

#include <string>

#include "platform/Platform.h"

namespace quellix {

class Session;

// The whole scan: running processes, Run-key programs and drive autorun
// programs whose digest is in KnownDigests are logged, their names learned into
// InfectionNames and their paths queued in lstIdentifiedByMD5.
void SmartScan(Session& session);

// The programs of the machine and user Run keys and the machine RunServices
// key; empties lstKeys at the end.
void ScanRunKeysByMD5(Session& session);

// The programs that an autorun.inf in the root folder of a drive points to.
// Errors of any kind skip the statement that met them.
void ScanAutorunFiles(Session& session);

// True when the file's digest is in KnownDigests; logs, learns and queues it.
bool CheckFileByMD5(Session& session, const std::string& path);

// A command line cut down to its program: quotes removed, and the text after
// the first ".exe ", else ".com ", else ".cmd " dropped.
std::string StripArguments(const std::string& text);

// Appends "name=data" (lower case, data without its terminating NUL) to
// lstKeys for every value of the open key that has data, in the order the
// platform lists them. The caller opens and closes the key.
void ListRegistryValues(Session& session, platform::HKey key);

}  // namespace quellix
