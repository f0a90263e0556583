// Win32 path handling of the simulated file system. Every path the platform
// is given is first brought into one canonical form, "C:\WINDOWS\system32":
// an upper-case drive letter, backslashes, no "." or ".." or doubled
// separators, no separator at the end except at a drive root ("C:\").
#pragma once

#include <string>
#include <string_view>

namespace platform::sim {

struct CanonicalPath {
  std::string path;  // empty when the path was refused
  long error = 0;    // 0, or the Win32 error the call reports (3, 123)
  bool endsWithSeparator = false;
};

// Resolves path the way the Win32 path functions do: forward slashes count as
// backslashes, a "\\?\" or "\??\" prefix is dropped, a path that starts with
// "\" or is relative is taken from currentDirectory (itself canonical), and
// the trailing dots and blanks of the last name are removed. Characters that
// no file name may hold (< > : " | ? * and control characters) give error 123;
// UNC paths give error 3 (the sim has no network).
CanonicalPath Canonicalize(std::string_view path, std::string_view currentDirectory);

// "C:\WINDOWS\system32" -> "C:\WINDOWS"; "C:\WINDOWS" -> "C:\"; "C:\" -> "".
std::string ParentPath(std::string_view canonical);
// "C:\WINDOWS\system32" -> "system32"; "C:\" -> "".
std::string LeafName(std::string_view canonical);
bool IsDriveRoot(std::string_view canonical);
// The canonical drive root of a canonical path: "C:\".
std::string DriveRoot(std::string_view canonical);
std::string JoinPath(std::string_view folder, std::string_view name);

}  // namespace platform::sim
