#include "platform/WindowsOwnFiles.h"

#include <algorithm>
#include <vector>

#include "platform/NativeView.h"

namespace platform {
namespace {

constexpr std::size_t kPathCapacity = 261;

std::string TrimDotsAndBlanks(std::string name) {
  while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
  return name;
}

std::string FolderFromBuffer(std::string buffer, std::uint32_t length) {
  if (length == 0 || length >= buffer.size()) return "";
  buffer.resize(length);
  return buffer;
}

}  // namespace

WindowsRelease ReleaseOf(const OsVersion& version) {
  const std::uint32_t number = version.major * 10 + std::min<std::uint32_t>(version.minor, 9);
  if (number >= 100) return version.build >= 22000 ? WindowsRelease::k11 : WindowsRelease::k10;
  if (number >= 63) return WindowsRelease::k8_1;
  if (number == 62) return WindowsRelease::k8;
  if (number == 61) return WindowsRelease::k7;
  if (number == 60) return WindowsRelease::kVista;
  if (number == 52) return WindowsRelease::k2003;
  if (number == 51) return WindowsRelease::kXp;
  return WindowsRelease::k2000;
}

std::string ResolvedLowerPath(Platform& platform, const std::string& path) {
  std::string text = platform.CharLowerBuffA(path);
  std::replace(text.begin(), text.end(), '/', '\\');
  for (const std::string prefix : {"\\\\?\\", "\\??\\"}) {
    if (text.compare(0, prefix.size(), prefix) == 0) text.erase(0, prefix.size());
  }
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find('\\', start), text.size());
    const std::string field = text.substr(start, end - start);
    start = end + 1;
    const std::string name = field == "." || field == ".." ? field : TrimDotsAndBlanks(field);
    if (name.empty() || name == ".") continue;
    if (name == "..") {
      if (names.size() > 1) names.pop_back();
      continue;
    }
    names.push_back(name);
  }
  std::string resolved;
  for (const std::string& name : names) resolved += (resolved.empty() ? "" : "\\") + name;
  return resolved;
}

WindowsOwnFiles::WindowsOwnFiles(Platform& platform) : platform_(platform) {
  std::string buffer(kPathCapacity, '\0');
  const std::string systemFolder = FolderFromBuffer(buffer, platform_.GetSystemDirectoryA(buffer));
  std::string wow64Buffer(kPathCapacity, '\0');
  Learn(systemFolder,
        FolderFromBuffer(wow64Buffer, platform_.GetSystemWow64DirectoryA(wow64Buffer)));
}

WindowsOwnFiles::WindowsOwnFiles(Platform& platform, const std::string& systemFolder,
                                 const std::string& sysWow64Folder)
    : platform_(platform) {
  Learn(systemFolder, sysWow64Folder);
}

void WindowsOwnFiles::Learn(const std::string& systemFolder, const std::string& sysWow64Folder) {
  bool wow64 = false;
  wow64_ = platform_.IsWow64Process(&wow64) && wow64;
  windows64_ = !sysWow64Folder.empty();
  systemFolder_ = ResolvedLowerPath(platform_, systemFolder);
  sysWow64Folder_ = ResolvedLowerPath(platform_, sysWow64Folder);
  const std::size_t slash = systemFolder_.rfind('\\');
  if (slash != std::string::npos) windowsFolder_ = systemFolder_.substr(0, slash);
  OsVersion version;
  if (platform_.GetVersionExA(&version)) {
    release_ = ReleaseOf(version);
    releaseKnown_ = true;
  }
  systemAnswers_ = !systemFolder.empty() && ProtectedBySystem(systemFolder + "\\kernel32.dll");
}

bool WindowsOwnFiles::IsWindowsOwn(const std::string& path) const {
  if (systemFolder_.empty()) return true;
  if (systemAnswers_) return ProtectedBySystem(path);
  return InFallbackTable(ResolvedLowerPath(platform_, path));
}

bool WindowsOwnFiles::ProtectedBySystem(const std::string& path) const {
  const NativeView native(platform_, wow64_);
  if (!native.Entered()) return false;
  return platform_.SfcIsFileProtected(platform_.MultiByteToWideChar(kCpAcp, path));
}

std::string WindowsOwnFiles::PlaceFolder(OwnPlace place) const {
  switch (place) {
    case OwnPlace::kWindows:
      return windowsFolder_;
    case OwnPlace::kSystem32:
      return systemFolder_;
    case OwnPlace::kSysWow64:
      return sysWow64Folder_;
  }
  return "";
}

bool WindowsOwnFiles::InFallbackTable(const std::string& resolvedPath) const {
  const std::size_t slash = resolvedPath.rfind('\\');
  if (slash == std::string::npos) return false;
  const std::string folder = resolvedPath.substr(0, slash);
  const std::string name = resolvedPath.substr(slash + 1);
  const OwnBitness bitness = windows64_ ? OwnBitness::k64 : OwnBitness::k32;
  return std::any_of(kWindowsOwnFiles, kWindowsOwnFiles + kWindowsOwnFileCount,
                     [&](const WindowsOwnFileEntry& entry) {
                       if (name != entry.name) return false;
                       if (entry.bitness != OwnBitness::kAny && entry.bitness != bitness) {
                         return false;
                       }
                       if (releaseKnown_ && (release_ < entry.first || release_ > entry.last)) {
                         return false;
                       }
                       const std::string place = PlaceFolder(entry.place);
                       if (place.empty()) return false;
                       const std::string subfolder = entry.subfolder;
                       return folder == (subfolder.empty() ? place : place + "\\" + subfolder);
                     });
}

}  // namespace platform
