// The rounding of the original's Round and CInt: to nearest, halves to even,
// independent of the floating-point unit's mode.
#pragma once

#if defined(_WINDOWS_) || defined(_INC_WINDOWS)
#error "quellix/lang is portable: include its headers before <windows.h>"
#endif

namespace quellix::lang {

// NaN stays NaN, so that a range check after it rejects the value.
double RoundHalfEven(double value);

}  // namespace quellix::lang
