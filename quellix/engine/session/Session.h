// Everything one program instance holds for its removal runs: the platform and
// window it works with, the language, the hidden lists, the signature arrays
// and the run-wide values that each run recomputes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "quellix/Host.h"
#include "quellix/engine/NativeFiles.h"
#include "quellix/engine/AnsiText.h"
#include "quellix/engine/RemovalPhases.h"
#include "quellix/engine/frmMain.h"

namespace quellix {

namespace lang {
class Language;
}

// Lower case, recomputed by every run.
struct RunValues {
  std::string SystemDir;   // no trailing backslash
  std::string WindowsDir;  // no trailing backslash
  std::string TempDir;     // trailing backslash
  std::string RootDir;     // the drive root of TempDir, e.g. c:\ .
  std::string BackupDir;   // chosen at START with a trailing backslash; RootDir when none
  std::string DatabaseVersion;
  // The 32-bit system folder of a 64-bit Windows (c:\windows\syswow64), no
  // trailing backslash; empty on a 32-bit Windows.
  std::string SysWow64Dir;
  bool FilesRemoved = false;  // a worm file was backed up and deleted in this run
};

class Session {
  // Made before platform, which refers to it.
  NativeFiles nativeFiles_;

 public:
  Session(platform::Platform& platform, Host& host, lang::Language& language,
          RemovalPhases& phases);

  // The system as the run sees it: files in their real places (NativeFiles).
  platform::Platform& platform;
  Host& host;
  lang::Language& language;
  RemovalPhases& phases;

  FrmMain frmMain;
  std::vector<std::string> InfectionNames;
  std::vector<std::string> KnownDigests;
  RunValues run;

  // The two ways in which a run reports, in the current language.
  void WriteMessage(float number, const std::string& argument = std::string());
  std::int16_t ShowMessageBox(float number, std::int16_t style);

 private:
  SystemAnsiCase ansiCase_;
};

}  // namespace quellix
