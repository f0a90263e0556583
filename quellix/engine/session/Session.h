// Everything one program instance holds for its removal runs: the platform and
// window it works with, the language, the hidden lists, the signature arrays
// and the run-wide values that each run recomputes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/restore/RecordWriter.h"
#include "quellix/Host.h"
#include "quellix/engine/system/NativeFiles.h"
#include "quellix/engine/system/AnsiText.h"
#include "quellix/engine/system/RunValues.h"
#include "quellix/engine/system/SystemFiles.h"
#include "quellix/engine/session/RemovalPhases.h"
#include "quellix/engine/session/frmMain.h"

namespace quellix {

namespace lang {
class Language;
}

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
  RunValues run;
  // What no evidence ends or deletes: Windows' own files, this program.
  SystemFiles systemFiles;

  FrmMain frmMain;
  std::vector<std::string> InfectionNames;
  std::vector<std::string> KnownDigests;
  // What this run removed, for its undoing; started by each run.
  platform::restore::RecordWriter removalRecord;

  // The two ways in which a run reports, in the current language.
  void WriteMessage(float number, const std::string& argument = std::string());
  std::int16_t ShowMessageBox(float number, std::int16_t style);

 private:
  SystemAnsiCase ansiCase_;
};

}  // namespace quellix
