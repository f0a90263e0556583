// Where WOW64 leaves a 32-bit program's system32 alone: the few folders
// below it that both bitnesses share. Everything else below system32 is
// SysWOW64 for a 32-bit program on a 64-bit Windows.
#pragma once

#include <string>

namespace platform {

// below: a path below the system folder, without the leading backslash
// ("drivers\etc\hosts"), in any case.
bool IsSharedByBothViews(const std::string& below);

}  // namespace platform
