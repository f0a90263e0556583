// The detection feed's answer: a header block with a Content-Length line, a
// body of that many characters, and in it one digest per CR LF line up to the
// end marker CR CR LF. The header block is collected until its blank line and
// the body until its length, each within a fixed limit; anything broken
// yields no entries at all.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "quellix/update/HttpAnswer.h"

namespace quellix::update {

using FeedState = BodyState;

struct FeedList {
  bool empty = true;  // nothing at all before the end marker
  // The digest texts among the lines, each once, in the feed's order.
  std::vector<std::string> entries;
};

// The list of a whole body: of the lines before the first end marker, those
// that are digest texts (32 upper-case hexadecimal characters); any other
// line could never match a file. nullopt when the body has no end marker.
std::optional<FeedList> ReadFeedList(std::string_view body);

// Moves the entries that known does not hold yet to its end; returns how many.
std::size_t AddFeedDigests(std::vector<std::string>& known, FeedList list);

class FeedAnswer {
 public:
  // Complete once, for the piece that completes a usable answer; later
  // pieces are Ignored, so the list cannot be taken twice.
  FeedState Add(std::string_view piece);
  FeedState State() const { return state_; }
  // The body of a complete answer, exactly its Content-Length bytes: what
  // the publisher signed.
  const std::string& Body() const { return answer_.Body(); }
  // Gives the body's memory back once it has been read.
  void Release() { answer_.Release(); }

 private:
  AnswerBody answer_{kMostFeedBytes};
  FeedState state_ = FeedState::Waiting;
};

}  // namespace quellix::update
