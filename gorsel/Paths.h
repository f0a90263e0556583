// Paths as the file system reads them. A start-up value or a process's
// image may name a file in many spellings ("..", "\.\", doubled separators,
// trailing dots, NT forms, short names); Gorsel judges the file they reach.
#pragma once

#include <string>

#include "platform/Platform.h"

namespace gorsel {

std::string LowerCase(std::string text);

// The path with '/' read as '\', the "\\?\", "\\.\" and "\??\" prefixes
// dropped, empty and "." names skipped, ".." taking back the name before it
// (never the drive), and the trailing dots and blanks of each name dropped,
// as Windows does before it opens a file. Case is kept.
std::string ResolvedPath(const std::string& path);

// An image path as a process reports it, in lower case and resolved;
// "\SystemRoot\..." lies under windowsFolder.
std::string ImagePath(const std::string& reported, const std::string& windowsFolder);

// "c:\a\b.exe" -> "c:\a" and "b.exe"; a path without a folder is all name.
void SplitPath(const std::string& path, std::string* folder, std::string* name);

// True for "X:\..." (a drive letter, a colon and a separator).
bool IsFullPath(const std::string& path);

// The resolved full path with every short ("~") name replaced by the long
// name the file system keeps; "" when a name cannot be found.
std::string LongPath(platform::Platform& system, const std::string& resolvedFullPath);

// The real place of a file this program reaches at path. A 32-bit program
// on a 64-bit Windows that names system32 reaches SysWOW64 (apart from the
// folders Windows leaves shared, such as drivers\etc), while the restore
// record names files as a 64-bit program sees them; path as given wherever
// no redirection applies or the folders cannot be learned.
std::string NativePlace(platform::Platform& system, const std::string& path);

}  // namespace gorsel
