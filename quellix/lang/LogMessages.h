// The log message numbers: which row of the loaded table each one selects and
// what is done with the row. Numbers are single-precision values and match
// exactly; any other value is written as an empty line.
#pragma once

#if defined(_WINDOWS_) || defined(_INC_WINDOWS)
#error "quellix/lang is portable: include its headers before <windows.h>"
#endif

#include <cstddef>
#include <optional>

namespace quellix::lang {

enum class LogTreatment {
  kLineBreaks,    // " >> " becomes CR LF, nothing in front (number 1 only)
  kArgument,      // "%%" becomes the argument, CR LF in front
  kUnchanged,     // the row as it is, CR LF in front
  kFixedEnglish,  // fixedText whatever the language, "%%" the argument, CR LF in front
};

struct LogMessage {
  float number;
  std::size_t rowIndex;  // index into MessageRows; unused for kFixedEnglish
  LogTreatment treatment;
  const char16_t* fixedText = nullptr;  // kFixedEnglish only
};

// Numbers 2.75, 12.5 and 14.5 to 14.7 have no row in any table: every
// language writes these texts. 14.5 reports a file that Windows itself owns
// at the place a worm copy was looked for, 14.6 one whose bytes match a
// worm's digest, 14.7 this program's own file or process, 14.8 the process
// that owns the desktop window: none of them is ever deleted or ended. 12.5 reports a process left
// running because its id named another image by the time it was to be ended.
constexpr const char16_t* kAutoRunsText = u"SmartScanning AutoRuns...";
constexpr const char16_t* kSystemFileKeptText = u"Kept Windows system file %%";
constexpr const char16_t* kMatchingSystemFileKeptText =
    u"Kept Windows system file %% ...its contents match a worm";
constexpr const char16_t* kProgramKeptText = u"Kept %% ...it is Quellix itself";
constexpr const char16_t* kDesktopKeptText =
    u"Left %% running ...it holds the desktop, and every window with it";
constexpr const char16_t* kProcessChangedText =
    u"Skipped %% ...its process id names another program now";

// The listed message of this number, or nothing for an unlisted number.
std::optional<LogMessage> FindLogMessage(float number);

}  // namespace quellix::lang
