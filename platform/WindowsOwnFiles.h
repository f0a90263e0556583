// Which files Windows owns, for both programs: nothing Windows owns may be
// ended or deleted on a name or a digest. Windows answers itself through its
// file protection (Windows File Protection on 2000/XP, Windows Resource
// Protection from Vista on). Where it cannot (the call missing, or a stub that
// says "no" to everything, as under Wine), a compiled-in table of the programs
// each release ships in its own folders answers instead.
#pragma once

#include <string>

#include "platform/Platform.h"
#include "platform/WindowsOwnFilesTable.h"

namespace platform {

// The release a version number names; older ones count as 2000, newer ones
// as the last release the table knows.
WindowsRelease ReleaseOf(const OsVersion& version);

// The path as the file system resolves it, lower case in the system's code
// page: "/" read as "\", a "\\?\" or "\??\" prefix dropped, "." and ".." and
// doubled separators gone, the trailing dots and blanks of each name removed.
std::string ResolvedLowerPath(Platform& platform, const std::string& path);

class WindowsOwnFiles {
 public:
  // Asks the control question once: whether kernel32.dll in the system
  // folder, which every Windows protects, is protected.
  explicit WindowsOwnFiles(Platform& platform);
  // The same with the system folder and the 32-bit system folder of a 64-bit
  // Windows ("" on a 32-bit one) as the caller already learned them.
  WindowsOwnFiles(Platform& platform, const std::string& systemFolder,
                  const std::string& sysWow64Folder);

  // True when Windows owns the file at this path (a full path as the native
  // view names it): Windows' file protection says so, or, only where the
  // system cannot answer, the fallback table for this Windows release and
  // bitness says so. Where not even the system folder can be learned, no file
  // can be told apart from Windows' own, and every file counts as one.
  bool IsWindowsOwn(const std::string& path) const;
  bool SystemAnswers() const { return systemAnswers_; }

 private:
  void Learn(const std::string& systemFolder, const std::string& sysWow64Folder);
  // SfcIsFileProtected in the native view; false when the view cannot be had.
  bool ProtectedBySystem(const std::string& path) const;
  bool InFallbackTable(const std::string& resolvedPath) const;
  std::string PlaceFolder(OwnPlace place) const;

  Platform& platform_;
  bool wow64_ = false;
  bool windows64_ = false;
  // Unknown when the system will not tell its version: then a row of any
  // release counts.
  WindowsRelease release_ = WindowsRelease::kXp;
  bool releaseKnown_ = false;
  std::string windowsFolder_;   // resolved, lower case
  std::string systemFolder_;    // resolved, lower case
  std::string sysWow64Folder_;  // resolved, lower case; "" on a 32-bit Windows
  bool systemAnswers_ = false;
};

}  // namespace platform
