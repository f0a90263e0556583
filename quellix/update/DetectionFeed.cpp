#include "quellix/update/DetectionFeed.h"

#include "quellix/update/HttpAnswer.h"

namespace quellix::update {
namespace {

constexpr std::string_view kEndMarker = "\r\r\n";

}  // namespace

std::optional<FeedList> ReadFeedList(std::string_view body) {
  const auto marker = body.find(kEndMarker);
  if (marker == std::string_view::npos) return std::nullopt;
  std::string_view list = body.substr(0, marker);
  FeedList result;
  result.empty = list.empty();
  // Every piece before the last CR LF is an entry; the piece after it (empty
  // in a well-formed body, an entry glued to the marker otherwise) is not.
  for (auto lineEnd = list.find("\r\n"); lineEnd != std::string_view::npos;
       lineEnd = list.find("\r\n")) {
    result.entries.emplace_back(list.substr(0, lineEnd));
    list.remove_prefix(lineEnd + 2);
  }
  return result;
}

FeedState FeedAnswer::Add(const std::string& piece) {
  if (state_ != FeedState::Waiting) return state_;
  std::string_view rest = piece;
  if (!headerDone_) {
    // The blank line may straddle two pieces: look again from three bytes back.
    const std::size_t before = headerBlock_.size();
    const std::size_t searchFrom = before < 3 ? 0 : before - 3;
    headerBlock_.append(piece, 0, kMostHeaderBytes - headerBlock_.size());
    const auto bodyStart = BodyStart(std::string_view(headerBlock_).substr(searchFrom));
    if (bodyStart == std::string::npos) {
      if (headerBlock_.size() >= kMostHeaderBytes) state_ = FeedState::Broken;
      return state_;
    }
    const std::size_t headerEnd = searchFrom + bodyStart;
    const std::size_t bodyInPiece = headerEnd - before;
    headerBlock_.resize(headerEnd);
    headerDone_ = true;
    const ContentLength length = FindContentLength(headerBlock_);
    if (length.kind != LengthKind::Given) {
      state_ = FeedState::Broken;
      return state_;
    }
    FeedLength = length.value;
    rest = rest.substr(bodyInPiece);
  }
  FeedBody.append(rest.substr(0, FeedLength - FeedBody.size()));
  if (FeedBody.size() < FeedLength) return state_;
  return Finish();
}

FeedState FeedAnswer::Finish() {
  auto list = ReadFeedList(FeedBody);
  FeedBody.clear();
  if (!list) {
    state_ = FeedState::Broken;
    return state_;
  }
  list_ = std::move(*list);
  state_ = FeedState::Complete;
  return state_;
}

}  // namespace quellix::update
