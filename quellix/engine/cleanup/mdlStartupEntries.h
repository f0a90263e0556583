// Removes worm start-up values from the four Run-type keys and deletes the
// restriction policies that worms set to keep the user from their tools.
#pragma once

#include "quellix/engine/session/RemovalPhases.h"

namespace quellix {

class Session;

// The four Run-type keys, each with its own rules. The first removal in a
// key ends that key's scan; the remaining values are judged on the next run.
enum class RunKey { kMachineRun, kUserRun, kMachineRunServices, kMachinePoliciesRun };

// Scans the four keys in order. Sets flags, never clears them.
void CleanStartupEntries(Session& session, RegistryFlags& flags);

// Scans one key.
void RunKeyScan(Session& session, RunKey which, RegistryFlags& flags);

// Deletes the six restriction values, each backed up first.
void ResetPolicies(Session& session);

}  // namespace quellix
