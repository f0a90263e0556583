#include "gorsel/SystemGuard.h"

#include <algorithm>

#include "gorsel/Paths.h"

namespace gorsel {

namespace {

// Programs of the NT family that live in the system folder: the names a worm
// copies to hide among them, and what a process is judged by when its image
// cannot be read.
constexpr const char* kSystemFolderPrograms[] = {
    "alg.exe",      "conhost.exe",  "csrss.exe",    "ctfmon.exe",    "dllhost.exe",
    "dwm.exe",      "explorer.exe", "lsass.exe",    "lsm.exe",       "msiexec.exe",
    "rundll32.exe", "services.exe", "sihost.exe",   "smss.exe",      "spoolsv.exe",
    "svchost.exe",  "systray.exe",  "taskhost.exe", "taskhostw.exe", "taskmgr.exe",
    "userinit.exe", "wininit.exe",  "winlogon.exe", "wmiprvse.exe",  "wuauclt.exe"};

// The shell and the tools Windows keeps in its own folder.
constexpr const char* kWindowsFolderPrograms[] = {"explorer.exe", "regedit.exe", "notepad.exe",
                                                  "hh.exe", "winhlp32.exe"};

bool IsOneOf(const std::string& name, const char* const* first, const char* const* last) {
  return std::any_of(first, last, [&](const char* entry) { return name == entry; });
}

bool Below(const std::string& path, const std::string& folder) {
  return !folder.empty() && path.size() > folder.size() + 1 &&
         path.compare(0, folder.size(), folder) == 0 && path[folder.size()] == '\\';
}

}  // namespace

SystemFolders SystemFoldersFrom(const std::string& systemDirectory) {
  SystemFolders folders;
  folders.system = ResolvedPath(LowerCase(systemDirectory));
  if (!IsFullPath(folders.system)) return {};
  std::string name;
  SplitPath(folders.system, &folders.windows, &name);
  return folders;
}

SystemGuard::SystemGuard(SystemFolders folders, WindowsOwnCheck isWindowsOwn)
    : folders_(std::move(folders)), isWindowsOwn_(std::move(isWindowsOwn)) {}

bool SystemGuard::InSystemFolders(const std::string& imagePath) const {
  return Below(imagePath, folders_.system) || Below(imagePath, folders_.windows + "\\syswow64");
}

bool SystemGuard::Protects(const std::string& path) const { return Protects(path, {}); }

bool SystemGuard::Protects(const std::string& path,
                           const std::vector<std::string>& namedByFix) const {
  if (!KnowsTheSystem()) return true;
  const std::string image = ImagePath(path, folders_.windows);
  if (!IsFullPath(image)) return true;
  if (isWindowsOwn_ && isWindowsOwn_(image)) return true;
  std::string folder;
  std::string name;
  SplitPath(image, &folder, &name);
  if (folder == folders_.windows &&
      IsOneOf(name, std::begin(kWindowsFolderPrograms), std::end(kWindowsFolderPrograms))) {
    return true;
  }
  if (!InSystemFolders(image)) return false;
  return std::none_of(namedByFix.begin(), namedByFix.end(), [&](const std::string& named) {
    return ImagePath(named, folders_.windows) == image;
  });
}

bool SystemGuard::ProtectsName(const std::string& fileName) {
  return IsOneOf(LowerCase(fileName), std::begin(kSystemFolderPrograms),
                 std::end(kSystemFolderPrograms));
}

}  // namespace gorsel
