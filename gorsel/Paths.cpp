#include "gorsel/Paths.h"

#include <cstdint>
#include <vector>

#include "platform/Wow64Redirection.h"

namespace gorsel {

namespace {

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

bool IsDriveLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

constexpr std::uint32_t kPathCapacity = 260;

template <typename Query>
std::string FolderFrom(Query query) {
  std::string folder(kPathCapacity, '\0');
  const std::uint32_t length = query(folder);
  folder.resize(length < kPathCapacity ? length : 0);
  return ResolvedPath(folder);
}

}  // namespace

std::string LowerCase(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

std::string ResolvedPath(const std::string& path) {
  std::string text = path;
  for (char& c : text) {
    if (c == '/') c = '\\';
  }
  for (const char* prefix : {"\\\\?\\", "\\\\.\\", "\\??\\"}) {
    if (StartsWith(text, prefix)) {
      text.erase(0, std::char_traits<char>::length(prefix));
      break;
    }
  }
  std::string root;
  if (text.size() >= 2 && IsDriveLetter(text[0]) && text[1] == ':') {
    root = text.substr(0, 2);
    text.erase(0, 2);
  } else if (StartsWith(text, "\\\\")) {
    root = "\\";
  }
  const bool rooted = !text.empty() && text.front() == '\\';
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\\', start);
    if (end == std::string::npos) end = text.size();
    std::string name = text.substr(start, end - start);
    start = end + 1;
    if (name == "..") {
      if (!names.empty()) names.pop_back();
      continue;
    }
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
    if (!name.empty()) names.push_back(name);
  }
  std::string resolved = root;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0 || rooted) resolved += '\\';
    resolved += names[i];
  }
  if (names.empty() && rooted) resolved += '\\';
  return resolved;
}

std::string ImagePath(const std::string& reported, const std::string& windowsFolder) {
  std::string lower = LowerCase(reported);
  const std::string systemRoot = "\\systemroot\\";
  if (StartsWith(lower, systemRoot)) lower = windowsFolder + "\\" + lower.substr(systemRoot.size());
  return ResolvedPath(lower);
}

void SplitPath(const std::string& path, std::string* folder, std::string* name) {
  const auto slash = path.find_last_of('\\');
  *folder = slash == std::string::npos ? "" : path.substr(0, slash);
  *name = slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsFullPath(const std::string& path) {
  return path.size() > 3 && IsDriveLetter(path[0]) && path.compare(1, 2, ":\\") == 0;
}

std::string LongPath(platform::Platform& system, const std::string& resolvedFullPath) {
  if (!IsFullPath(resolvedFullPath)) return "";
  std::string path = resolvedFullPath.substr(0, 2);
  std::size_t start = 3;
  while (start <= resolvedFullPath.size()) {
    std::size_t end = resolvedFullPath.find('\\', start);
    if (end == std::string::npos) end = resolvedFullPath.size();
    std::string name = resolvedFullPath.substr(start, end - start);
    start = end + 1;
    if (name.find_first_of("*?") != std::string::npos) return "";
    if (name.find('~') != std::string::npos) {
      std::vector<platform::FindEntry> entries;
      if (!system.FindFiles(path + "\\" + name, &entries) || entries.size() != 1) return "";
      name = entries.front().name;
    }
    path += "\\" + name;
  }
  return path;
}

std::string NativePlace(platform::Platform& system, const std::string& path) {
  bool wow64 = false;
  if (!system.IsWow64Process(&wow64) || !wow64) return path;
  const std::string systemFolder =
      FolderFrom([&](std::string& buffer) { return system.GetSystemDirectoryA(buffer); });
  const std::string wow64Folder =
      FolderFrom([&](std::string& buffer) { return system.GetSystemWow64DirectoryA(buffer); });
  if (!IsFullPath(systemFolder + "\\") || !IsFullPath(wow64Folder + "\\")) return path;
  const std::string resolved = ResolvedPath(path);
  const std::string below = LowerCase(resolved) + "\\";
  const std::string prefix = LowerCase(systemFolder) + "\\";
  if (!StartsWith(below, prefix)) return path;
  if (platform::IsSharedByBothViews(below.substr(prefix.size()))) return path;
  return wow64Folder + resolved.substr(systemFolder.size());
}

}  // namespace gorsel
