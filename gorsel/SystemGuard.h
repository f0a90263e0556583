// What Gorsel must never end or delete: anything whose file lies in the
// system folders (system32, SysWOW64) unless the fix itself names that exact
// path, any file that Windows says is its own, and Gorsel itself. The family lives
// elsewhere, so the guard costs the fix nothing.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace gorsel {

// The folders of the system, lower case, resolved, without a trailing "\".
struct SystemFolders {
  std::string windows;  // "c:\windows"
  std::string system;   // "c:\windows\system32"
};

SystemFolders SystemFoldersFrom(const std::string& systemDirectory);

class SystemGuard {
 public:
  // Answers for a resolved, lower-case full path: Windows' own file, or
  // this program's.
  using WindowsOwnCheck = std::function<bool(const std::string&)>;

  // Knows no system folder, and so protects everything.
  SystemGuard() = default;
  SystemGuard(SystemFolders folders, WindowsOwnCheck isWindowsOwn);

  bool KnowsTheSystem() const { return !folders_.system.empty(); }
  const SystemFolders& folders() const { return folders_; }

  // path in any form a process or a value reports.
  bool Protects(const std::string& path) const;
  // The same, except for the system folders' files at the paths given
  // (the fix's own targets), which only Windows' ownership protects.
  bool Protects(const std::string& path, const std::vector<std::string>& namedByFix) const;
  // For a process whose image cannot be read: a core program's name.
  static bool ProtectsName(const std::string& fileName);

 private:
  bool InSystemFolders(const std::string& imagePath) const;

  SystemFolders folders_;
  WindowsOwnCheck isWindowsOwn_;
};

}  // namespace gorsel
