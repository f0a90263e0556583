// Which candidate processes the pass spares: the system and application
// programs that share a name with a worm are left alone where they belong.
#pragma once

#include "quellix/engine/system/RunValues.h"
#include "quellix/engine/detection/ProcessList.h"

namespace quellix {

// True when a rule of the judging table spares the candidate. The rules for
// Windows' names at Windows' places hold only where Windows owns the image
// (windowsOwn): a worm under such a name, or in SysWOW64 where Windows keeps
// none of that name, is judged like any other.
bool IsSpared(const ProcessEntry& candidate, const RunValues& run, bool windowsOwn);

}  // namespace quellix
