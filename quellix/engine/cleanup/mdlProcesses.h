// Finds running worm processes by name and folder, terminates them, and sweeps
// a fixed set of folders for worm files named after every worm name, backing
// each one up before deleting it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quellix {

class Session;

struct ProcessEntry {
  std::string Name;  // executable file name, lower case
  std::int32_t PID = 0;
  std::string Folder;  // lower case, trailing "\"; begins with the drive letter when it has one
};

// The process snapshot and the processes chosen from it. Slot 0 of each list
// is an empty entry; real entries start at slot 1.
struct ProcessLists {
  std::vector<ProcessEntry> ProcessTable{ProcessEntry{}};
  std::vector<ProcessEntry> CandidateList{ProcessEntry{}};
};

// How the file sweep finds the worm files. Both give the same log lines,
// backups, deletions and progress.
enum class SweepStrategy {
  kListing,  // lists every sweep folder once and touches only names found there
  kLiteral,  // tries every path of the folder chain
};

// The whole pass: true when at least one termination was attempted.
bool KillVirusProcesses(Session& session, SweepStrategy strategy = SweepStrategy::kListing);

// Rebuilds ProcessTable from the running processes and empties CandidateList.
void EnumerateProcesses(Session& session, ProcessLists& lists);

// Appends a copy of every ProcessTable entry whose Name equals the trimmed,
// lower-cased name; "*" appends every entry, slot 0 included.
void AddProcessCandidates(Session& session, ProcessLists& lists, const std::string& name);

// Backs the file up into BackupDir and deletes it, writing log messages 6, 13
// and 14. A file is deleted only when a copy of its bytes is in BackupDir.
// True when the file was deleted.
bool BackupAndDeleteFile(Session& session, const std::string& path);

// GetVersionExA's platform id: 2 for the NT family.
std::int32_t GetPlatformId(Session& session);

// Splitting helpers: the field at a 0-based index ("" past the last) and the
// number of fields (0 for an empty text).
std::string GetField(const std::string& text, const std::string& delimiter, int index);
std::int16_t CountFields(const std::string& text, const std::string& delimiter);

}  // namespace quellix
