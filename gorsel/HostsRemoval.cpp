#include "gorsel/HostsRemoval.h"

#include "platform/restore/FileDigest.h"

namespace gorsel {

bool HostsRemoval(platform::Platform& system, const std::string& path, std::uint32_t attributes,
                  const std::string& copyPath, const std::string& newText,
                  platform::restore::RemovedHostsLines* removal) {
  std::string bytes;
  if (!platform::restore::ReadWholeFile(system, copyPath, &bytes)) return false;
  removal->path = path;
  removal->attributes = attributes;
  removal->copy = copyPath.substr(copyPath.rfind('\\') + 1);
  removal->md5 = platform::restore::Md5Of(system, bytes);
  removal->addedLine = newText;
  removal->endingAdded = false;
  removal->removed.clear();
  // Lines split as the restore splits the file it puts them back into.
  for (std::size_t start = 0; start < bytes.size();) {
    const std::size_t index = removal->removed.size();
    const std::size_t lineFeed = bytes.find('\n', start);
    if (lineFeed == std::string::npos) {
      removal->removed.push_back({index, bytes.substr(start), std::string()});
      break;
    }
    const bool crlf = lineFeed > start && bytes[lineFeed - 1] == '\r';
    const std::size_t textEnd = crlf ? lineFeed - 1 : lineFeed;
    removal->removed.push_back({index, bytes.substr(start, textEnd - start),
                                bytes.substr(textEnd, lineFeed + 1 - textEnd)});
    start = lineFeed + 1;
  }
  return true;
}

}  // namespace gorsel
