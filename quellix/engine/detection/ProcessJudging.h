// Which candidate processes the pass spares: the system and application
// programs that share a name with a worm are left alone where they belong.
#pragma once

#include "quellix/engine/system/RunValues.h"
#include "quellix/engine/detection/ProcessList.h"

namespace quellix {

// True when a rule of the judging table spares the candidate.
bool IsSpared(const ProcessEntry& candidate, const RunValues& run);

}  // namespace quellix
