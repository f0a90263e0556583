// Which processes a filter selects. A filter names a program as a start-up
// value holds it (quotes, arguments); a process is selected when its image
// is that program, never by a mere part of its path, and never when it is a
// program of the system running from the system's own folders.
#pragma once

#include <string>

namespace gorsel {

std::string LowerCase(std::string text);

// The program a start-up value starts: the quoted part, or the text up to
// the end of its first blank-separated word that ends in a program
// extension, or else its first word. Empty for a value without a program.
std::string ProgramOfValue(const std::string& value);

// The folders of the system, lower case without a trailing "\".
struct SystemFolders {
  std::string windows;  // "c:\windows"
  std::string system;   // "c:\windows\system32"
};

SystemFolders SystemFoldersFrom(const std::string& systemDirectory);

// True for a program the system ships at that place: a core program's name
// in the system folder (or its 32-bit twin), or the shell in the Windows
// folder. Such a process is never listed or ended, such a file never deleted.
bool IsSystemProgram(const std::string& imagePath, const SystemFolders& folders);

// True for the name of a core program of the system folder.
bool IsSystemProgramName(const std::string& fileName);

// True when a process with this image path is started from the program of
// filter. A filter without a folder compares file names only.
bool ProcessMatchesFilter(const std::string& imagePath, const std::string& filter,
                          const SystemFolders& folders);

}  // namespace gorsel
