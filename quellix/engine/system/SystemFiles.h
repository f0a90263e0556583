// The files and processes that no evidence ends or deletes, whatever a name,
// a digest or a rule says: Windows' own files (asked of Windows itself, see
// platform/WindowsOwnFiles.h) and the processes started from them, and this
// program's own process and file. A worm copy is looked for under Windows'
// names (the sweep looks for explorer.exe and regedit.exe in the system
// folder, where 32-bit Windows has none), so a candidate at such a place is
// judged by what Windows says it owns, never by its name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Platform.h"
#include "platform/WindowsOwnFiles.h"
#include "quellix/engine/system/RunValues.h"

namespace quellix {

class SystemFiles {
 public:
  // Asks nothing until the first question; the folders are those the run
  // learned.
  SystemFiles(platform::Platform& platform, const RunValues& run)
      : platform_(platform), run_(run) {}

  // Forgets every answer: a new run asks again.
  void Reset() {
    windowsOwn_.reset();
    programFile_.reset();
  }

  // A full path as the native view names it.
  bool IsWindowsOwn(const std::string& path);
  bool IsProgramFile(const std::string& path);
  bool IsProgramProcess(std::uint32_t pid) { return pid == platform_.GetCurrentProcessId(); }
  // Ending it would end every window, this program's too; on Windows it is
  // the system's own subsystem, which no worm can be.
  bool IsDesktopProcess(std::uint32_t pid) {
    return pid != 0 && pid == platform_.GetDesktopWindowProcessId();
  }
  // Either of the two: a file no evidence deletes.
  bool IsKept(const std::string& path) { return IsProgramFile(path) || IsWindowsOwn(path); }

 private:
  platform::Platform& platform_;
  const RunValues& run_;
  std::optional<platform::WindowsOwnFiles> windowsOwn_;
  std::optional<std::string> programFile_;  // resolved, lower case
};

}  // namespace quellix
