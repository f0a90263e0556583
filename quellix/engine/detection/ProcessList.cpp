#include "quellix/engine/detection/ProcessList.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "quellix/engine/session/Session.h"
#include "quellix/engine/system/AnsiText.h"

namespace quellix {
namespace {

using platform::Platform;

constexpr std::uint32_t kFirstIdBufferBytes = 16;
// Far more processes than any system runs; the doubling stops here.
constexpr std::uint32_t kLargestIdBufferBytes = 1u << 22;
constexpr std::uint32_t kModuleBufferBytes = 200;
constexpr std::uint32_t kPathBufferCharacters = 260;

std::vector<std::uint32_t> ProcessIds(Session& session) {
  Platform& platform = session.platform;
  std::vector<std::uint32_t> ids;
  std::uint32_t returned = 0;
  for (std::uint32_t size = kFirstIdBufferBytes;; size *= 2) {
    session.host.DoEvents();
    if (!platform.EnumProcesses(size, &ids, &returned)) returned = 0;
    if (returned < size || size >= kLargestIdBufferBytes) break;
  }
  ids.resize(std::min<std::size_t>(ids.size(), returned / 4));
  return ids;
}

// The main module's path of an open process, or "" when it cannot be read.
// On a 64-bit Windows a 32-bit program cannot list a 64-bit process's
// modules; its image path is asked for instead, so that both bitnesses are
// judged.
std::string ModulePathOfHandle(Platform& platform, platform::Handle process, bool windows64) {
  std::string path;
  std::vector<std::uintptr_t> modules;
  std::uint32_t needed = 0;
  if (platform.EnumProcessModules(process, kModuleBufferBytes, &modules, &needed) &&
      !modules.empty()) {
    const std::uint32_t length =
        platform.GetModuleFileNameExA(process, modules[0], kPathBufferCharacters, &path);
    path.resize(std::min<std::size_t>(path.size(), length));
  }
  if (path.empty() && windows64 &&
      !platform.QueryFullProcessImageNameA(process, kPathBufferCharacters, &path)) {
    path.clear();
  }
  return path;
}

ProcessEntry EntryOf(std::string path, std::uint32_t pid) {
  path = TrimBlanks(path);
  path.erase(std::remove(path.begin(), path.end(), '\0'), path.end());
  path = LowerAnsi(TrimBlanks(path));
  ProcessEntry entry;
  entry.PID = static_cast<std::int32_t>(pid);
  const std::size_t slash = path.rfind('\\');
  entry.Name = slash == std::string::npos ? path : path.substr(slash + 1);
  entry.Folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  // A device prefix in front of the drive (\??\c:\...) is dropped: the
  // folder begins with the drive letter.
  const std::size_t colon = path.find(':');
  if (colon != std::string::npos) {
    const std::size_t start = colon == 0 ? 0 : colon - 1;
    entry.Folder = start < entry.Folder.size() ? entry.Folder.substr(start) : std::string();
  }
  return entry;
}

// Nothing when the image cannot be read.
std::optional<ProcessEntry> ReadEntry(Session& session, platform::Handle process,
                                      std::uint32_t pid) {
  const std::string path =
      ModulePathOfHandle(session.platform, process, !session.run.SysWow64Dir.empty());
  if (path.empty()) return std::nullopt;
  ProcessEntry entry = EntryOf(path, pid);
  if (!session.platform.GetProcessTimes(process, &entry.Started)) entry.Started = 0;
  return entry;
}

}  // namespace

std::string ImagePathOf(const ProcessEntry& entry, const std::string& windowsDir) {
  const std::string systemRoot = "\\systemroot\\";
  if (entry.Folder.compare(0, systemRoot.size(), systemRoot) == 0) {
    return windowsDir + "\\" + entry.Folder.substr(systemRoot.size()) + entry.Name;
  }
  return entry.Folder + entry.Name;
}

ProcessEntry EntryOfOpenProcess(Session& session, platform::Handle process, std::uint32_t pid) {
  return ReadEntry(session, process, pid).value_or(ProcessEntry{});
}

std::int32_t GetPlatformId(Session& session) {
  return static_cast<std::int32_t>(session.platform.GetPlatformId());
}

void EnumerateProcesses(Session& session, ProcessLists& lists) {
  lists.ProcessTable.assign(1, ProcessEntry{});
  lists.CandidateList.assign(1, ProcessEntry{});
  for (std::uint32_t pid : ProcessIds(session)) {
    session.host.DoEvents();
    const platform::Handle process = session.platform.OpenProcess(
        platform::kProcessQueryInformation | platform::kProcessVmRead, false, pid);
    if (process == platform::kNullHandle) continue;
    const std::optional<ProcessEntry> entry = ReadEntry(session, process, pid);
    session.platform.CloseHandle(process);
    if (entry) lists.ProcessTable.push_back(*entry);
  }
}

void AddProcessCandidates(Session& session, ProcessLists& lists, const std::string& name) {
  if (GetPlatformId(session) != static_cast<std::int32_t>(platform::kPlatformWin32Nt)) return;
  const std::string wanted = LowerAnsi(TrimBlanks(name));
  for (const ProcessEntry& entry : lists.ProcessTable) {
    if (wanted == "*" || entry.Name == wanted) lists.CandidateList.push_back(entry);
  }
}

}  // namespace quellix
