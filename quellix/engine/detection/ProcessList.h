// The running processes as the run sees them: each one's executable name,
// id and folder, and the candidates chosen from them by name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace quellix {

class Session;

struct ProcessEntry {
  std::string Name;  // executable file name, lower case
  std::int32_t PID = 0;
  std::string Folder;  // lower case, trailing "\"; begins with the drive letter when it has one
  // When the process started (GetProcessTimes), telling it from a later one
  // given the same id; 0 when it could not be read.
  std::uint64_t Started = 0;
};

// The process snapshot and the processes chosen from it. Slot 0 of each list
// is an empty entry; real entries start at slot 1.
struct ProcessLists {
  std::vector<ProcessEntry> ProcessTable{ProcessEntry{}};
  std::vector<ProcessEntry> CandidateList{ProcessEntry{}};
};

// Rebuilds ProcessTable from the running processes and empties CandidateList.
void EnumerateProcesses(Session& session, ProcessLists& lists);

// Appends a copy of every ProcessTable entry whose Name equals the trimmed,
// lower-cased name; "*" appends every entry, slot 0 included.
void AddProcessCandidates(Session& session, ProcessLists& lists, const std::string& name);

// The full path of a process's image: the "\systemroot\" form that some
// core processes report is read as the Windows folder.
std::string ImagePathOf(const ProcessEntry& entry, const std::string& windowsDir);

// An open process as the listing reads it; the entry's Name is empty when
// its image cannot be read. The handle needs query and read access.
ProcessEntry EntryOfOpenProcess(Session& session, platform::Handle process, std::uint32_t pid);

// GetVersionExA's platform id: 2 for the NT family.
std::int32_t GetPlatformId(Session& session);

}  // namespace quellix
