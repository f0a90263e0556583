#include "quellix/engine/RemovalPhases.h"

namespace quellix {

void BuiltPhases::SmartScan(Session&) {}

bool BuiltPhases::RemoveVirusServices(Session&) { return false; }

bool BuiltPhases::KillVirusProcesses(Session&) { return false; }

void BuiltPhases::CleanStartupEntries(Session&, RegistryFlags&) {}

void BuiltPhases::ResetPolicies(Session&) {}

bool BuiltPhases::CleanHostsFile(Session&) { return true; }

}  // namespace quellix
