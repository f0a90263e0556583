// The numbers of the failures the language module raises as
// platform::RuntimeError. None of them is recovered from: a language that
// cannot be read or a row that is not there stops the operation.
#pragma once

#if defined(_WINDOWS_) || defined(_INC_WINDOWS)
#error "quellix/lang is portable: include its headers before <windows.h>"
#endif

#include <cstdint>

namespace quellix::lang::errors {

// A table or the title list is not among the program's resources
// (ERROR_RESOURCE_NAME_NOT_FOUND).
constexpr std::int64_t kResourceNotFound = 1814;
// A resource that is not whole UTF-16 text or does not hold what it must
// (ERROR_INVALID_DATA).
constexpr std::int64_t kMalformedResource = 13;
// The loaded table has no row for the message asked for ("Subscript out of
// range", what the original raised on a short table).
constexpr std::int64_t kRowMissing = 9;
// A box message number or style that does not exist ("Invalid procedure call
// or argument").
constexpr std::int64_t kInvalidArgument = 5;

}  // namespace quellix::lang::errors
