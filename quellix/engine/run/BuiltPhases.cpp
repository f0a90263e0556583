#include "quellix/engine/session/RemovalPhases.h"
#include "quellix/engine/cleanup/mdlProcesses.h"
#include "quellix/engine/detection/mdlSmartScan.h"

#include "quellix/engine/cleanup/mdlHosts.h"
#include "quellix/engine/cleanup/mdlServices.h"
#include "quellix/engine/cleanup/mdlStartupEntries.h"

namespace quellix {

void BuiltPhases::SmartScan(Session& session) { quellix::SmartScan(session); }

bool BuiltPhases::RemoveVirusServices(Session& session) {
  return quellix::RemoveVirusServices(session);
}

bool BuiltPhases::KillVirusProcesses(Session& session) {
  return quellix::KillVirusProcesses(session);
}

void BuiltPhases::CleanStartupEntries(Session& session, RegistryFlags& flags) {
  quellix::CleanStartupEntries(session, flags);
}

void BuiltPhases::ResetPolicies(Session& session) { quellix::ResetPolicies(session); }

bool BuiltPhases::CleanHostsFile(Session& session) { return quellix::CleanHostsFile(session); }

}  // namespace quellix
