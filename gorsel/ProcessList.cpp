#include "gorsel/ProcessList.h"

#include <algorithm>
#include <set>

namespace gorsel {

namespace {

constexpr std::uint32_t kQueryAndRead =
    platform::kProcessQueryInformation | platform::kProcessVmRead;  // 1040
constexpr std::uint32_t kModuleNameCapacity = 260;
constexpr std::uint32_t kForcedExitCode = 1;
// TerminateProcess only starts the end of a process; its program file stays
// in use until the end is complete, and the steps after a kill delete it.
constexpr std::uint32_t kExitWaitMilliseconds = 5000;

// The path of a process's first module; "" when it cannot be opened or read.
std::string ImagePathOf(platform::Platform& system, std::uint32_t pid) {
  const platform::Handle process = system.OpenProcess(kQueryAndRead, false, pid);
  if (process == platform::kNullHandle) return "";
  std::string path;
  std::vector<std::uintptr_t> modules;
  std::uint32_t needed = 0;
  if (system.EnumProcessModules(process, sizeof(std::uintptr_t), &modules, &needed) &&
      !modules.empty()) {
    system.GetModuleFileNameExA(process, modules.front(), kModuleNameCapacity, &path);
  }
  system.CloseHandle(process);
  return path;
}

void Terminate(platform::Platform& system, std::uint32_t pid) {
  const platform::Handle process =
      system.OpenProcess(platform::kProcessTerminate | platform::kSynchronize, false, pid);
  if (process == platform::kNullHandle) return;
  if (system.TerminateProcess(process, kForcedExitCode)) {
    system.WaitForSingleObject(process, kExitWaitMilliseconds);
  }
  system.CloseHandle(process);
}

}  // namespace

std::vector<ProcessRow> ListMatchingProcesses(platform::Platform& system, const std::string& filter,
                                              const SystemFolders& folders) {
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
    const std::string path = ImagePathOf(system, pid);
    if (ProcessMatchesFilter(path, filter, folders)) rows.push_back({path, pid});
  }
  return rows;
}

std::string KillProcessById(platform::Platform& system, std::uint32_t pid) {
  const platform::Handle process =
      system.OpenProcess(platform::kProcessTerminate | platform::kSynchronize, true, pid);
  if (process == platform::kNullHandle) return system.FormatMessageA(system.GetLastError());
  const bool ended = system.TerminateProcess(process, 0);
  const std::uint32_t error = system.GetLastError();
  if (ended) system.WaitForSingleObject(process, kExitWaitMilliseconds);
  system.CloseHandle(process);
  return ended ? "" : system.FormatMessageA(error);
}

void KillProcessesByImageName(platform::Platform& system, const std::string& imageName,
                              const SystemFolders& folders) {
  std::vector<platform::ProcessSnapshotEntry> processes;
  if (!system.SnapshotProcesses(&processes)) return;
  const std::string wanted = LowerCase(imageName);
  std::vector<std::uint32_t> tree;
  for (const auto& process : processes) {
    if (LowerCase(process.exeFile) != wanted) continue;
    // Where the image cannot be read, the name alone decides.
    const std::string path = ImagePathOf(system, process.pid);
    if (path.empty() ? IsSystemProgramName(process.exeFile) : IsSystemProgram(path, folders)) {
      continue;
    }
    tree.push_back(process.pid);
  }
  // The descendants of every matched process, breadth first; a process is
  // taken once even where parent ids form a loop.
  std::set<std::uint32_t> taken(tree.begin(), tree.end());
  for (std::size_t next = 0; next < tree.size(); ++next) {
    for (const auto& process : processes) {
      if (process.parentPid == tree[next] && process.pid != 0 && taken.insert(process.pid).second) {
        tree.push_back(process.pid);
      }
    }
  }
  for (const std::uint32_t pid : tree) Terminate(system, pid);
}

}  // namespace gorsel
