// Finds running worm processes by name and folder, terminates them, and sweeps
// a fixed set of folders for worm files named after every worm name, backing
// each one up before deleting it.
#pragma once

namespace quellix {

class Session;

// How the file sweep finds the worm files. Both give the same log lines,
// backups, deletions and progress.
enum class SweepStrategy {
  kListing,  // lists every sweep folder once and touches only names found there
  kLiteral,  // tries every path of the folder chain
};

// The whole pass: true when at least one termination was attempted.
bool KillVirusProcesses(Session& session, SweepStrategy strategy = SweepStrategy::kListing);

}  // namespace quellix
