// The start-up rule for the first language: the user's default language as
// Windows names it in English, matched against the locale names of the
// languages.
#pragma once

#include <cstdint>

#include "platform/Platform.h"

namespace quellix::lang {

// The index of the first language whose locale name equals the user's
// language name exactly (case counts); English (7) when none does or the
// platform cannot name the language.
std::uint8_t ChooseDefaultLanguage(platform::Platform& platform);

}  // namespace quellix::lang
