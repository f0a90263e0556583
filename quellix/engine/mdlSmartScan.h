// Finds worms by the MD5 digest of the programs that run or start: running
// processes, Run-key programs and drive autorun programs.
#pragma once

#include <string>

#include "platform/Platform.h"

namespace quellix {

class Session;

// Appends "name=data" (lower case, data without its terminating NUL) to
// lstKeys for every value of the open key that has data, in the order the
// platform lists them. The caller opens and closes the key.
void ListRegistryValues(Session& session, platform::HKey key);

}  // namespace quellix
