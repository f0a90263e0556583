// The files that the sweep looks for under each worm name, and the folder
// listings that let it touch only files that exist.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "quellix/engine/system/RunValues.h"

namespace quellix {

struct SweepTarget {
  std::string folder;  // with its trailing "\"
  std::string file;    // worm name and extension
  std::string Path() const { return folder + file; }
};

// The paths of the folder chain for one worm name, in the order they are tried.
std::vector<SweepTarget> SweepTargets(const std::string& name, const RunValues& run);

// True when a folder listing can tell whether the file is there: names with
// wildcard, stream or path characters, device names, short-name forms ("~")
// and non-ASCII names are left to the file calls themselves.
bool ListingCanFind(const std::string& file);

// Each sweep folder is listed once, at its first use, and the names deleted
// since are taken out. A folder that cannot be listed for a reason other than
// being missing or empty is not trusted: every name in it may exist.
class SweepFolderListings {
 public:
  explicit SweepFolderListings(platform::Platform& platform) : platform_(platform) {}

  bool MayExist(const SweepTarget& target);
  void Deleted(const SweepTarget& target);

  // Lists every folder listed so far once more and notes the names that came
  // since its listing (a worm's watchdog writing it back in the middle of the
  // sweep). True when any did.
  bool Relist();
  // True when the target's file is among the names that came and is still there.
  bool Appeared(const SweepTarget& target) const;

 private:
  struct Listing {
    bool trusted = true;
    std::string folder;                // as first asked for
    std::map<std::string, int> names;  // lower case -> entries of that name
    std::set<std::string> appeared;    // lower case, since the last listing
  };
  bool ListInto(const std::string& folder, std::map<std::string, int>* names, bool* trusted);
  Listing& ListingOf(const std::string& folder);

  platform::Platform& platform_;
  std::map<std::string, Listing> listings_;  // by lower-case folder
};

}  // namespace quellix
