// The removal pass: folder values, the phases in order, the run log, the
// outcome shown to the user and the version record.
#pragma once

#include <string>

#include "platform/Platform.h"

namespace quellix {

class Session;

void RunRemoval(Session& session);

// The temporary folder as the run keeps it: lower case, with its backslash.
std::string QueryTempDir(platform::Platform& platform);

// BackupDir + "Quellix Log " + day_month_year + " " + hour_minute_second + ".txt".
std::string RunLogPath(const std::string& backupDir, const platform::LocalTime& time,
                       const platform::LocalTime& date);

constexpr const char* kRestartCommand = "shutdown.exe -r -t 120 -c \"Virus removal process\"";
constexpr const char* kVersionKey = "Software\\Quellix\\QLX\\Ver";
constexpr const char* kRegistryErrorLine = "!!Registry connection error!!";

}  // namespace quellix
