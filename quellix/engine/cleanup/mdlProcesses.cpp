#include "quellix/engine/cleanup/mdlProcesses.h"

#include <cstdint>
#include <optional>
#include <vector>

#include "quellix/engine/cleanup/BackupAndDeleteFile.h"
#include "quellix/engine/cleanup/WormFileSweep.h"
#include "quellix/engine/detection/ProcessJudging.h"
#include "quellix/engine/detection/ProcessList.h"
#include "quellix/engine/session/Session.h"

namespace quellix {
namespace {

using platform::Platform;

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

// Ends the judged process only: the listing lies behind a loop that lets
// window messages run, and meanwhile the process may have ended and its id
// gone to another program. The id is opened once and its image read through
// that handle, so what is checked is what is ended: the same image, started
// when the listed one was.
void Terminate(Session& session, const ProcessEntry& candidate) {
  Platform& platform = session.platform;
  const auto pid = static_cast<std::uint32_t>(candidate.PID);
  const platform::Handle process = platform.OpenProcess(platform::kProcessAllAccess, false, pid);
  bool terminated = false;
  if (process != platform::kNullHandle) {
    const ProcessEntry now = EntryOfOpenProcess(session, process, pid);
    const bool restarted = candidate.Started != 0 && now.Started != candidate.Started;
    if (now.Name != candidate.Name || now.Folder != candidate.Folder || restarted) {
      platform.CloseHandle(process);
      session.WriteMessage(12.5f, ImagePathOf(candidate, session.run.WindowsDir));
      return;
    }
    terminated = platform.TerminateProcess(process, 0);
    platform.CloseHandle(process);
  }
  session.WriteMessage(terminated ? 11 : 12, candidate.Name);
}

// The log line that tells why a candidate is never ended, whatever named it:
// its image is Windows' own or this program, it is this program's process, or
// it owns the desktop window. 0 for a candidate that may be ended.
float KeptReason(Session& session, const ProcessEntry& candidate, const std::string& image,
                 bool windowsOwn) {
  const auto pid = static_cast<std::uint32_t>(candidate.PID);
  if (windowsOwn) return 14.5f;
  if (session.systemFiles.IsProgramProcess(pid) || session.systemFiles.IsKept(image)) return 14.7f;
  if (session.systemFiles.IsDesktopProcess(pid)) return 14.8f;
  return 0;
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
    const ProcessEntry& candidate = candidates[index];
    const std::string image = ImagePathOf(candidate, session.run.WindowsDir);
    const bool windowsOwn = !candidate.Name.empty() && session.systemFiles.IsWindowsOwn(image);
    if (!IsSpared(candidate, session.run, windowsOwn)) {
      const float kept = KeptReason(session, candidate, image, windowsOwn);
      if (kept != 0) {
        session.WriteMessage(kept, image);
      } else {
        Terminate(session, candidate);
        attempted = true;
      }
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

}  // namespace quellix
