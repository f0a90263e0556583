// Removes the hosts-file lines that send security and help sites nowhere.
#pragma once

#include <string>
#include <vector>

namespace quellix {

class Session;

// One line of the hosts file as read: its bytes without the line break, and
// the break itself ("\r\n", "\n", or "" for a last line without one).
struct HostsLine {
  std::string text;
  std::string ending;
};

// Splits at LF, a CR in front of it belonging to the break. A file ending in
// a break has no empty line after it; joining text + ending of every line
// gives back the bytes.
std::vector<HostsLine> SplitHostsLines(const std::string& bytes);

// Rewrites the hosts file without the lines naming a host of
// lstHostInfections, after copying it to the backup folder. Always true.
bool CleanHostsFile(Session& session);

}  // namespace quellix
