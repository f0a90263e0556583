#include "quellix/engine/run/mdlMainCode.h"

#include <cstdint>
#include <vector>

#include "platform/RuntimeError.h"
#include "platform/Wow64Redirection.h"
#include "quellix/engine/system/AnsiText.h"
#include "quellix/engine/run/ProductInfo.h"
#include "quellix/engine/session/Session.h"
#include "quellix/lang/Ansi.h"
#include "quellix/lang/KeptWindowsFileNotice.h"

namespace quellix {
namespace {

using platform::Platform;

// A folder from one of the A functions that fill a buffer: the buffer starts as
// 255 blanks, the blanks are trimmed and the terminating NUL is dropped.
template <typename Query>
std::string FolderFromBuffer(Query query) {
  std::string buffer(255, ' ');
  query(buffer);
  std::string folder = TrimBlanks(buffer);
  if (!folder.empty()) folder.pop_back();
  return LowerAnsi(folder);
}

}  // namespace

std::string QueryTempDir(platform::Platform& platform) {
  return FolderFromBuffer([&](std::string& buffer) { platform.GetTempPathA(buffer); });
}

namespace {

// Without its folders a run cannot tell the system's own programs and files
// from worms: the judging table would spare nothing in the system folder.
void StopWithoutFolder(Platform& platform, const char* folder) {
  const std::uint32_t error = platform.GetLastError();
  throw platform::RuntimeError(
      error, std::string("The ") + folder + " could not be learned from the system", "RunRemoval");
}

// The folder picker runs redirected: a 32-bit program's pick under system32
// is really in SysWOW64 (except the folders Windows does not redirect), while
// the run's file calls are made in the native view.
std::string NativeBackupFolder(Session& session, const std::string& picked) {
  const RunValues& run = session.run;
  bool wow64 = false;
  if (run.SysWow64Dir.empty() || !session.platform.IsWow64Process(&wow64) || !wow64) return picked;
  const std::string system = run.SystemDir + "\\";
  const std::string lower = LowerAnsi(picked);
  if (lower.compare(0, system.size(), system) != 0) return picked;
  if (platform::IsSharedByBothViews(lower.substr(system.size()))) return picked;
  return run.SysWow64Dir + "\\" + picked.substr(system.size());
}

void ComputeFolderValues(Session& session) {
  Platform& platform = session.platform;
  RunValues& run = session.run;
  run.FilesRemoved = false;
  run.WindowsFileMatchesWorm = false;
  session.systemFiles.Reset();
  run.SystemDir =
      FolderFromBuffer([&](std::string& buffer) { platform.GetSystemDirectoryA(buffer); });
  if (run.SystemDir.empty()) StopWithoutFolder(platform, "system folder");
  const auto fields = SplitText(run.SystemDir, "\\");
  run.WindowsDir = fields[0] + "\\" + (fields.size() > 1 ? fields[1] : std::string());
  run.TempDir = QueryTempDir(platform);
  if (run.TempDir.empty()) StopWithoutFolder(platform, "temporary folder");
  run.RootDir = run.TempDir.substr(0, 3);
  if (run.BackupDir.empty()) run.BackupDir = run.RootDir;
  run.DatabaseVersion = DatabaseVersionFromCaption(session.host.WindowCaption());
  run.SysWow64Dir =
      FolderFromBuffer([&](std::string& buffer) { platform.GetSystemWow64DirectoryA(buffer); });
  run.BackupDir = NativeBackupFolder(session, run.BackupDir);
}

std::vector<std::uint8_t> Utf16LeBytes(const std::u16string& text) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(text.size() * 2);
  for (char16_t unit : text) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  return bytes;
}

std::u16string RunLogText(Session& session, bool withErrorLine) {
  std::u16string text = u"\uFEFF";
  text += lang::AnsiToUtf16("Version: " + ProgramVersionText() +
                            " Virus DataBase: " + session.run.DatabaseVersion);
  text += u"\r\n\r\n";
  text += session.host.GetDetailsText();
  if (withErrorLine) text += u"\r\n" + lang::AnsiToUtf16(kRegistryErrorLine);
  return text;
}

// Writes the whole log at once. A log that cannot be written must not keep the
// run from its ending: the failure is reported in the details box instead.
void WriteRunLog(Session& session, const std::string& path, bool withErrorLine) {
  Platform& platform = session.platform;
  const auto bytes = Utf16LeBytes(RunLogText(session, withErrorLine));
  const auto file = platform.CreateFileA(path, platform::kGenericWrite, 0, platform::kCreateAlways,
                                         platform::kFileAttributeNormal);
  bool written = false;
  if (file != platform::kInvalidHandleValue) {
    std::uint32_t count = 0;
    written = platform.WriteFile(file, bytes, &count) && count == bytes.size();
    written = platform.CloseHandle(file) && written;
  }
  if (!written) session.WriteMessage(5, path);
}

void WriteVersionRecord(Session& session) {
  Platform& platform = session.platform;
  platform::HKey key = 0;
  if (platform.RegCreateKeyA(platform::kHkeyCurrentUser, kVersionKey, &key) !=
      platform::error::kSuccess) {
    return;
  }
  // The data length is the number of characters, without a terminating NUL.
  const auto setText = [&](const char* name, const std::string& text) {
    platform.RegSetValueExA(key, name, platform::kRegSz,
                            std::vector<std::uint8_t>(text.begin(), text.end()));
  };
  setText("QLX", ProgramVersionText());
  setText("VDB", session.run.DatabaseVersion);
  platform.RegCloseKey(key);
}

void NormalEnding(Session& session, const std::string& logPath, bool somethingRemoved) {
  WriteRunLog(session, logPath, false);
  session.WriteMessage(21);
  session.host.SetTerm(true);
  // A Windows file that holds a worm's bytes was kept: the run found
  // something, and only Windows can put its file right.
  if (session.run.WindowsFileMatchesWorm) {
    session.host.ShowMessageBox(lang::KeptWindowsFileBox(session.language));
  }
  if (somethingRemoved) {
    session.ShowMessageBox(5, 0);
    session.platform.StartProcess(kRestartCommand, platform::kSwShowMinimized);
  } else {
    if (!session.run.WindowsFileMatchesWorm) session.ShowMessageBox(6, 0);
    if (session.ShowMessageBox(7, 4) == 6) {
      session.platform.ShellExecuteA(0, "open", std::string("http://") + kVendorHost + "/?id=14",
                                     "", "", platform::kSwShowNormal);
    }
  }
  session.host.EnableGUI();
}

void RegistryErrorEnding(Session& session, const std::string& logPath) {
  WriteRunLog(session, logPath, true);
  session.ShowMessageBox(8, 0);
  session.host.SetTerm(true);
  session.host.EnableGUI();
}

}  // namespace

std::string RunLogPath(const std::string& backupDir, const platform::LocalTime& time,
                       const platform::LocalTime& date) {
  const auto n = [](int value) { return std::to_string(value); };
  return backupDir + "Quellix Log " + n(date.day) + "_" + n(date.month) + "_" + n(date.year) + " " +
         n(time.hour) + "_" + n(time.minute) + "_" + n(time.second) + ".txt";
}

void RunRemoval(Session& session) {
  ComputeFolderValues(session);
  session.removalRecord.Start(session.run.BackupDir);

  RemovalPhases& phases = session.phases;
  phases.SmartScan(session);
  const bool servicesFound = phases.RemoveVirusServices(session);
  const bool processesFound = phases.KillVirusProcesses(session);
  session.WriteMessage(9);
  RegistryFlags registry;
  phases.CleanStartupEntries(session, registry);
  phases.ResetPolicies(session);
  session.WriteMessage(15);
  phases.CleanHostsFile(session);
  session.WriteMessage(20);

  // The time is read first, then the date, each from the clock on its own.
  const auto time = session.platform.GetLocalTime();
  const auto date = session.platform.GetLocalTime();
  const std::string logPath = RunLogPath(session.run.BackupDir, time, date);

  if (registry.RegistryError) {
    RegistryErrorEnding(session, logPath);
  } else {
    // Worm files deleted by name or by digest are a find as much as a
    // process: such a pass must not end with "No virus detected.".
    NormalEnding(
        session, logPath,
        servicesFound || processesFound || registry.RegistryFound || session.run.FilesRemoved);
  }
  WriteVersionRecord(session);
  session.removalRecord.Close();
}

}  // namespace quellix
