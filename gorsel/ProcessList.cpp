#include "gorsel/ProcessList.h"

#include <algorithm>
#include <set>

#include "gorsel/Paths.h"

namespace gorsel {

namespace {

constexpr std::uint32_t kQueryAndRead =
    platform::kProcessQueryInformation | platform::kProcessVmRead;  // 1040
constexpr std::uint32_t kEndAndCheck =
    platform::kProcessTerminate | platform::kSynchronize | kQueryAndRead;
constexpr std::uint32_t kModuleNameCapacity = 260;
constexpr std::uint32_t kForcedExitCode = 1;
// TerminateProcess only starts the end of a process; its program file stays
// in use until the end is complete, and the steps after a kill delete it.
constexpr std::uint32_t kExitWaitMilliseconds = 5000;

// The path of an open process's first module, or where its modules cannot be
// read (a 64-bit process), its image name; "" when neither can be read.
std::string ImagePathOfHandle(platform::Platform& system, platform::Handle process) {
  std::string path;
  std::vector<std::uintptr_t> modules;
  std::uint32_t needed = 0;
  if (system.EnumProcessModules(process, sizeof(std::uintptr_t), &modules, &needed) &&
      !modules.empty()) {
    system.GetModuleFileNameExA(process, modules.front(), kModuleNameCapacity, &path);
  } else if (!system.QueryFullProcessImageNameA(process, kModuleNameCapacity, &path)) {
    path.clear();
  }
  return path;
}

std::uint64_t CreatedOfHandle(platform::Platform& system, platform::Handle process) {
  std::uint64_t created = 0;
  return system.GetProcessTimes(process, &created) ? created : 0;
}

// What the process of pid is now; a row with an empty path when it cannot be
// opened or read.
ProcessRow Identify(platform::Platform& system, std::uint32_t pid) {
  ProcessRow row;
  row.pid = pid;
  const platform::Handle process = system.OpenProcess(kQueryAndRead, false, pid);
  if (process == platform::kNullHandle) return row;
  row.path = ImagePathOfHandle(system, process);
  row.created = CreatedOfHandle(system, process);
  system.CloseHandle(process);
  return row;
}

bool SameProcess(const ProcessRow& judged, const std::string& path, std::uint64_t created) {
  if (path != judged.path) return false;
  return judged.created == 0 || created == 0 || created == judged.created;
}

// Ends the process of row when it is still that process. *error is the
// failure's code, or 0.
bool EndIfStill(platform::Platform& system, const ProcessRow& row, bool inherit,
                std::uint32_t exitCode, std::uint32_t* error) {
  *error = 0;
  const platform::Handle process = system.OpenProcess(kEndAndCheck, inherit, row.pid);
  if (process == platform::kNullHandle) {
    *error = system.GetLastError();
    return false;
  }
  bool ended = false;
  if (SameProcess(row, ImagePathOfHandle(system, process), CreatedOfHandle(system, process))) {
    ended = system.TerminateProcess(process, exitCode);
    if (ended) {
      system.WaitForSingleObject(process, kExitWaitMilliseconds);
    } else {
      *error = system.GetLastError();
    }
  }
  system.CloseHandle(process);
  return ended;
}

}  // namespace

std::vector<ProcessRow> ListMatchingProcesses(platform::Platform& system,
                                              const ProcessFilter& filter) {
  std::vector<std::uint32_t> ids;
  std::uint32_t bufferBytes = 16;
  std::uint32_t returned = 0;
  for (;;) {
    if (!system.EnumProcesses(bufferBytes, &ids, &returned)) return {};
    if (returned < bufferBytes) break;
    bufferBytes *= 2;
  }
  ids.resize(std::min<std::size_t>(ids.size(), returned / 4));
  std::vector<ProcessRow> rows;
  for (const std::uint32_t pid : ids) {
    ProcessRow row = Identify(system, pid);
    if (filter.Selects(row.path)) rows.push_back(std::move(row));
  }
  return rows;
}

std::string KillProcessById(platform::Platform& system, const ProcessRow& row) {
  std::uint32_t error = 0;
  if (EndIfStill(system, row, true, 0, &error) || error == 0) return "";
  return system.FormatMessageA(error);
}

void KillProcessesByImageName(platform::Platform& system, const std::string& imageName,
                              const SystemGuard& guard,
                              const std::vector<std::string>& namedByFix) {
  std::vector<platform::ProcessSnapshotEntry> processes;
  if (!system.SnapshotProcesses(&processes)) return;
  const auto spared = [&](const ProcessRow& row, const std::string& exeFile) {
    // Where the image cannot be read, the name alone decides.
    return row.path.empty() ? SystemGuard::ProtectsName(exeFile)
                            : guard.Protects(row.path, namedByFix);
  };
  const std::string wanted = LowerCase(imageName);
  std::vector<ProcessRow> tree;
  for (const auto& process : processes) {
    if (LowerCase(process.exeFile) != wanted) continue;
    const ProcessRow row = Identify(system, process.pid);
    if (!spared(row, process.exeFile)) tree.push_back(row);
  }
  // The descendants of every matched process, breadth first; a process is
  // taken once even where parent ids form a loop.
  std::set<std::uint32_t> taken;
  for (const ProcessRow& row : tree) taken.insert(row.pid);
  for (std::size_t next = 0; next < tree.size(); ++next) {
    for (const auto& process : processes) {
      if (process.parentPid != tree[next].pid || process.pid == 0 ||
          taken.count(process.pid) != 0) {
        continue;
      }
      const ProcessRow child = Identify(system, process.pid);
      const bool startedByIt = tree[next].created != 0 && child.created >= tree[next].created;
      if (!startedByIt || spared(child, process.exeFile)) continue;
      taken.insert(process.pid);
      tree.push_back(child);
    }
  }
  std::uint32_t error = 0;
  for (const ProcessRow& row : tree) EndIfStill(system, row, false, kForcedExitCode, &error);
}

}  // namespace gorsel
