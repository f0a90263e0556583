#include "platform/sim/SimPath.h"

#include <vector>

namespace platform::sim {

namespace {

constexpr long kPathNotFound = 3;
constexpr long kInvalidName = 123;

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool HasDrivePrefix(std::string_view path) {
  return path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':';
}

bool IsForbiddenNameChar(char c) {
  const auto byte = static_cast<unsigned char>(c);
  if (byte < 0x20) return true;
  switch (c) {
    case '<':
    case '>':
    case ':':
    case '"':
    case '|':
    case '?':
    case '*':
      return true;
    default:
      return false;
  }
}

std::vector<std::string> SplitNames(std::string_view text) {
  std::vector<std::string> names;
  std::string current;
  for (char c : text) {
    if (c == '\\') {
      names.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  names.push_back(current);
  return names;
}

}  // namespace

CanonicalPath Canonicalize(std::string_view rawPath, std::string_view currentDirectory) {
  CanonicalPath result;
  std::string path(rawPath);
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  if (path.rfind("\\\\?\\", 0) == 0 || path.rfind("\\??\\", 0) == 0) path.erase(0, 4);
  if (path.rfind("\\\\", 0) == 0) {
    result.error = kPathNotFound;
    return result;
  }
  if (path.empty()) {
    result.error = kPathNotFound;
    return result;
  }
  result.endsWithSeparator = path.back() == '\\';

  std::string drive;
  std::string rest;
  if (HasDrivePrefix(path)) {
    drive = path.substr(0, 2);
    rest = path.substr(2);
    // "C:name" is relative to the drive's current folder; the sim keeps one
    // current folder, so a drive other than its own starts at the root.
    if (rest.empty() || rest.front() != '\\') {
      const bool sameDrive =
          currentDirectory.size() >= 2 && (currentDirectory[0] & ~0x20) == (drive[0] & ~0x20);
      const std::string base = sameDrive ? std::string(currentDirectory.substr(2)) : "\\";
      rest = base + "\\" + rest;
    }
  } else if (path.front() == '\\') {
    drive = std::string(currentDirectory.substr(0, 2));
    rest = path;
  } else {
    drive = std::string(currentDirectory.substr(0, 2));
    rest = std::string(currentDirectory.substr(2)) + "\\" + path;
  }
  drive[0] = static_cast<char>(drive[0] & ~0x20);

  std::vector<std::string> kept;
  const std::vector<std::string> names = SplitNames(rest);
  for (std::size_t i = 0; i < names.size(); ++i) {
    std::string name = names[i];
    const bool last = i + 1 == names.size();
    if (name.empty() || name == ".") continue;
    if (name == "..") {
      if (!kept.empty()) kept.pop_back();
      continue;
    }
    if (last) {
      while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
      if (name.empty()) continue;
    }
    for (char c : name) {
      if (IsForbiddenNameChar(c)) {
        result.error = kInvalidName;
        return result;
      }
    }
    kept.push_back(name);
  }

  result.path = drive + "\\";
  for (std::size_t i = 0; i < kept.size(); ++i) {
    if (i > 0) result.path += '\\';
    result.path += kept[i];
  }
  return result;
}

std::string ParentPath(std::string_view canonical) {
  if (IsDriveRoot(canonical)) return "";
  const std::size_t slash = canonical.rfind('\\');
  if (slash == std::string_view::npos) return "";
  if (slash == 2) return std::string(canonical.substr(0, 3));
  return std::string(canonical.substr(0, slash));
}

std::string LeafName(std::string_view canonical) {
  if (IsDriveRoot(canonical)) return "";
  const std::size_t slash = canonical.rfind('\\');
  return std::string(slash == std::string_view::npos ? canonical : canonical.substr(slash + 1));
}

bool IsDriveRoot(std::string_view canonical) {
  return canonical.size() == 3 && canonical[1] == ':' && canonical[2] == '\\';
}

std::string DriveRoot(std::string_view canonical) { return std::string(canonical.substr(0, 3)); }

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (!path.empty() && path.back() != '\\') path += '\\';
  path += name;
  return path;
}

}  // namespace platform::sim
