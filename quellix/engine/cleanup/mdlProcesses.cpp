#include "quellix/engine/mdlProcesses.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "quellix/engine/AnsiText.h"
#include "quellix/engine/ProcessJudging.h"
#include "quellix/engine/Session.h"
#include "quellix/engine/WormFileSweep.h"

namespace quellix {
namespace {

using platform::Platform;

constexpr std::uint32_t kFirstIdBufferBytes = 16;
// Far more processes than any system runs; the doubling stops here.
constexpr std::uint32_t kLargestIdBufferBytes = 1u << 22;
constexpr std::uint32_t kModuleBufferBytes = 200;
constexpr std::uint32_t kPathBufferCharacters = 260;

// The debug privilege, enabled for one pass and given back at its end.
class DebugPrivilege {
 public:
  explicit DebugPrivilege(Platform& platform) : platform_(platform) {
    if (!platform_.OpenProcessToken(platform::kTokenAdjustPrivileges | platform::kTokenQuery,
                                    &token_)) {
      token_ = platform::kNullHandle;
      return;
    }
    if (!platform_.LookupPrivilegeValueA("", "SeDebugPrivilege", &luid_) ||
        !platform_.AdjustTokenPrivileges(token_, luid_, platform::kSePrivilegeEnabled)) {
      Close();
    }
  }
  ~DebugPrivilege() { Close(); }
  DebugPrivilege(const DebugPrivilege&) = delete;
  DebugPrivilege& operator=(const DebugPrivilege&) = delete;

  void Release() {
    if (token_ == platform::kNullHandle) return;
    platform_.AdjustTokenPrivileges(token_, luid_, 0);
    Close();
  }

 private:
  void Close() {
    if (token_ != platform::kNullHandle) platform_.CloseHandle(token_);
    token_ = platform::kNullHandle;
  }

  Platform& platform_;
  platform::Handle token_ = platform::kNullHandle;
  platform::Luid luid_;
};

// index / last × 100; a list with a single entry counts as done.
double Percent(std::size_t index, std::size_t last) {
  return last == 0 ? 100.0 : static_cast<double>(index) / static_cast<double>(last) * 100.0;
}

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

// The main module's path of a process, or "" when it cannot be read. On a
// 64-bit Windows a 32-bit program cannot list a 64-bit process's modules;
// its image path is asked for instead, so that both bitnesses are judged.
std::string ModulePath(Platform& platform, std::uint32_t pid, bool windows64) {
  const platform::Handle process = platform.OpenProcess(
      platform::kProcessQueryInformation | platform::kProcessVmRead, false, pid);
  if (process == platform::kNullHandle) return std::string();
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
  platform.CloseHandle(process);
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

void Terminate(Session& session, const ProcessEntry& candidate) {
  Platform& platform = session.platform;
  const platform::Handle process = platform.OpenProcess(platform::kProcessAllAccess, false,
                                                        static_cast<std::uint32_t>(candidate.PID));
  bool terminated = false;
  if (process != platform::kNullHandle) {
    terminated = platform.TerminateProcess(process, 0);
    platform.CloseHandle(process);
  }
  session.WriteMessage(terminated ? 11 : 12, candidate.Name);
}

void SweepFiles(Session& session, SweepStrategy strategy) {
  SweepFolderListings listings(session.platform);
  const std::vector<std::string>& names = session.InfectionNames;
  for (std::size_t index = 0; index < names.size(); ++index) {
    for (const SweepTarget& target : SweepTargets(names[index], session.run)) {
      if (strategy == SweepStrategy::kListing && !listings.MayExist(target)) continue;
      if (BackupAndDeleteFile(session, target.Path())) listings.Deleted(target);
    }
    session.host.SetProg1(Percent(index, names.size() - 1));
    session.host.DoEvents();
  }
  // Literal probing meets a file that came after its folder was listed; the
  // listing meets it only in a last look at the folders.
  if (strategy != SweepStrategy::kListing || !listings.Relist()) return;
  for (const std::string& name : names) {
    for (const SweepTarget& target : SweepTargets(name, session.run)) {
      if (listings.Appeared(target) && BackupAndDeleteFile(session, target.Path())) {
        listings.Deleted(target);
      }
    }
  }
}

}  // namespace

std::int32_t GetPlatformId(Session& session) {
  return static_cast<std::int32_t>(session.platform.GetPlatformId());
}

void EnumerateProcesses(Session& session, ProcessLists& lists) {
  lists.ProcessTable.assign(1, ProcessEntry{});
  lists.CandidateList.assign(1, ProcessEntry{});
  for (std::uint32_t pid : ProcessIds(session)) {
    session.host.DoEvents();
    const std::string path = ModulePath(session.platform, pid, !session.run.SysWow64Dir.empty());
    if (path.empty()) continue;
    lists.ProcessTable.push_back(EntryOf(path, pid));
  }
}

void AddProcessCandidates(Session& session, ProcessLists& lists, const std::string& name) {
  if (GetPlatformId(session) != static_cast<std::int32_t>(platform::kPlatformWin32Nt)) return;
  const std::string wanted = LowerAnsi(TrimBlanks(name));
  for (const ProcessEntry& entry : lists.ProcessTable) {
    if (wanted == "*" || entry.Name == wanted) lists.CandidateList.push_back(entry);
  }
}

bool KillVirusProcesses(Session& session, SweepStrategy strategy) {
  Host& host = session.host;
  const bool nt = GetPlatformId(session) == static_cast<std::int32_t>(platform::kPlatformWin32Nt);
  ProcessLists lists;
  std::optional<DebugPrivilege> privilege;
  if (nt) privilege.emplace(session.platform);
  if (nt) EnumerateProcesses(session, lists);

  session.WriteMessage(7);
  host.SetProg1(0);
  for (const char* seed : {"ntvdm.exe", "regedit.exe", "ctfmon.exe", "explorer.exe"}) {
    AddProcessCandidates(session, lists, seed);
  }
  const std::vector<std::string>& names = session.InfectionNames;
  for (std::size_t index = 0; index < names.size(); ++index) {
    for (const char* extension : {".exe", ".com", ".scr"}) {
      AddProcessCandidates(session, lists, names[index] + extension);
    }
    host.SetProg1(Percent(index, names.size() - 1));
  }
  host.SetProg2(40);
  host.SetProg1(0);

  bool attempted = false;
  const std::vector<ProcessEntry>& candidates = lists.CandidateList;
  for (std::size_t index = 0; index < candidates.size(); ++index) {
    if (!IsSpared(candidates[index], session.run)) {
      Terminate(session, candidates[index]);
      attempted = true;
    }
    host.SetProg1(Percent(index, candidates.size() - 1));
    host.DoEvents();
  }

  host.SetProg2(60);
  host.SetProg1(0);
  session.WriteMessage(8);
  SweepFiles(session, strategy);
  for (const std::string& path : session.frmMain.lstIdentifiedByMD5) {
    BackupAndDeleteFile(session, path);
  }
  if (privilege) privilege->Release();
  host.SetProg2(80);
  host.SetProg1(0);
  host.DoEvents();
  return attempted;
}

std::string GetField(const std::string& text, const std::string& delimiter, int index) {
  if (index < 0) return std::string();
  const std::vector<std::string> fields = SplitText(text, delimiter);
  return static_cast<std::size_t>(index) < fields.size() ? fields[static_cast<std::size_t>(index)]
                                                         : std::string();
}

std::int16_t CountFields(const std::string& text, const std::string& delimiter) {
  if (text.empty()) return 0;
  return static_cast<std::int16_t>(SplitText(text, delimiter).size());
}

}  // namespace quellix
