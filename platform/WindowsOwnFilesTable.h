// The fallback table of Windows' own files, compiled in from
// platform/data/windows-own-files.txt by tools/gen_windows_own_files.py.
#pragma once

#include <cstddef>

namespace platform {

// The Windows releases the table tells apart, in order.
enum class WindowsRelease { k2000, kXp, k2003, kVista, k7, k8, k8_1, k10, k11 };

// The folder a row names: the Windows folder, the native system folder, or
// the 32-bit system folder of a 64-bit Windows.
enum class OwnPlace { kWindows, kSystem32, kSysWow64 };

// The Windows bitness a row holds for.
enum class OwnBitness { kAny, k32, k64 };

struct WindowsOwnFileEntry {
  const char* name;  // lower case
  OwnPlace place;
  const char* subfolder;  // lower case, "" for the place itself
  WindowsRelease first;
  WindowsRelease last;
  OwnBitness bitness;
};

extern const WindowsOwnFileEntry kWindowsOwnFiles[];
extern const std::size_t kWindowsOwnFileCount;

}  // namespace platform
