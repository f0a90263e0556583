// The run-wide folder values: where this machine keeps Windows, its
// temporary files and the run's backups, as every run computes them anew.
#pragma once

#include <string>

namespace quellix {

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
  // A file Windows owns holds a worm's bytes: it was kept, and the user is
  // told how to have Windows repair it.
  bool WindowsFileMatchesWorm = false;
};

}  // namespace quellix
