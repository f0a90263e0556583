// Included first by the portable headers of the window code: the arithmetic
// of the window is tested natively, so it must not depend on <windows.h>.
#pragma once

#if defined(_WINDOWS_) || defined(_INC_WINDOWS)
#error "the portable parts of quellix/ui must be included before <windows.h>"
#endif
