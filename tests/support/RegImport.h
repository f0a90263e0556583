// The registry editor's import of a REGEDIT4 file, into a simulated registry:
// the check that a ".reg" backup really puts back what it saved.
#pragma once

#include <string>

#include "platform/sim/SimRegistry.h"

namespace quellix::test {

// Creates every [key] and sets every value line of text. False at the first
// line that is not in the editor's format.
bool ImportRegFile(platform::sim::Registry& registry, const std::string& text);

}  // namespace quellix::test
