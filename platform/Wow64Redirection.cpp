#include "platform/Wow64Redirection.h"

#include <algorithm>
#include <cctype>

namespace platform {
namespace {

constexpr const char* kSharedFolders[] = {"catroot",  "catroot2", "drivers\\etc",
                                          "logfiles", "spool",    "driverstore"};

}  // namespace

bool IsSharedByBothViews(const std::string& below) {
  std::string lower = below;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return std::any_of(std::begin(kSharedFolders), std::end(kSharedFolders),
                     [&](const std::string& folder) {
                       return lower.compare(0, folder.size(), folder) == 0 &&
                              (lower.size() == folder.size() || lower[folder.size()] == '\\');
                     });
}

}  // namespace platform
