// The language resources compiled into the portable build as plain arrays.
// The bytes are exactly those of the Windows resources "LANGUAGE" 100 + index
// and "LANGUAGETITLES" 1; tools/gen_lang.py writes both forms from the same
// sources. Whoever builds a simulated machine installs them as its program
// resources, so that the lookup code reads them the way it does on Windows.
#pragma once

#if defined(_WINDOWS_) || defined(_INC_WINDOWS)
#error "quellix/lang is portable: include its headers before <windows.h>"
#endif

#include <cstddef>
#include <vector>

namespace quellix::lang {

struct EmbeddedResource {
  const char* type;  // "LANGUAGE" or "LANGUAGETITLES"
  int id;
  const unsigned char* bytes;
  std::size_t size;
};

// Every table that exists, in ascending id order, then the title list.
const std::vector<EmbeddedResource>& EmbeddedLanguageResources();

}  // namespace quellix::lang
