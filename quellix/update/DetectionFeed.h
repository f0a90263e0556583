// The detection feed's answer: a header block with a Content-Length line, a
// body of that many characters, and in it one digest per CR LF line up to the
// end marker CR CR LF. The header block is collected until its blank line and
// the body until its length, each within a fixed limit; anything broken
// yields no entries at all.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quellix::update {

enum class FeedState {
  Waiting,   // more is needed
  Broken,    // no usable answer; later pieces are ignored
  Complete,  // the entries are known; later pieces are ignored
};

struct FeedList {
  bool empty = true;  // nothing at all before the end marker
  std::vector<std::string> entries;
};

// The list of a whole body: the lines before the first end marker, each
// taken as it is. nullopt when the body has no end marker.
std::optional<FeedList> ReadFeedList(std::string_view body);

class FeedAnswer {
 public:
  FeedState Add(const std::string& piece);
  FeedState State() const { return state_; }
  // The list of a complete answer, entries in the feed's order.
  const FeedList& List() const { return list_; }

 private:
  FeedState Finish();

  FeedState state_ = FeedState::Waiting;
  std::string headerBlock_;
  bool headerDone_ = false;
  std::uint32_t FeedLength = 0;
  std::string FeedBody;
  FeedList list_;
};

}  // namespace quellix::update
