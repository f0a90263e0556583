// The detection and removal phases that a run calls in order. Each phase is
// its own module; this seam lets the run be assembled from the ones built.
#pragma once

namespace quellix {

class Session;

// The two flags that the startup-entry cleaning hands back to the run.
struct RegistryFlags {
  bool RegistryFound = false;
  bool RegistryError = false;
};

class RemovalPhases {
 public:
  virtual ~RemovalPhases() = default;
  virtual void SmartScan(Session& session) = 0;
  virtual bool RemoveVirusServices(Session& session) = 0;
  virtual bool KillVirusProcesses(Session& session) = 0;
  virtual void CleanStartupEntries(Session& session, RegistryFlags& flags) = 0;
  virtual void ResetPolicies(Session& session) = 0;
  virtual bool CleanHostsFile(Session& session) = 0;
};

// The phases of this build. A phase that this build does not have yet does
// nothing at all: it writes no lines and finds nothing, so the run's outcome
// never claims work that was not done.
class BuiltPhases : public RemovalPhases {
 public:
  void SmartScan(Session& session) override;
  bool RemoveVirusServices(Session& session) override;
  bool KillVirusProcesses(Session& session) override;
  void CleanStartupEntries(Session& session, RegistryFlags& flags) override;
  void ResetPolicies(Session& session) override;
  bool CleanHostsFile(Session& session) override;
};

}  // namespace quellix
