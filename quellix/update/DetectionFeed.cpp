#include "quellix/update/DetectionFeed.h"

#include <unordered_set>

namespace quellix::update {
namespace {

constexpr std::string_view kEndMarker = "\r\r\n";
constexpr std::size_t kDigestLength = 32;

bool IsDigestText(std::string_view line) {
  if (line.size() != kDigestLength) return false;
  for (const char c : line) {
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
  }
  return true;
}

}  // namespace

std::optional<FeedList> ReadFeedList(std::string_view body) {
  const auto marker = body.find(kEndMarker);
  if (marker == std::string_view::npos) return std::nullopt;
  std::string_view list = body.substr(0, marker);
  FeedList result;
  result.empty = list.empty();
  std::unordered_set<std::string_view> seen;
  // Every piece before the last CR LF is an entry; the piece after it (empty
  // in a well-formed body, an entry glued to the marker otherwise) is not.
  for (auto lineEnd = list.find("\r\n"); lineEnd != std::string_view::npos;
       lineEnd = list.find("\r\n")) {
    const std::string_view line = list.substr(0, lineEnd);
    list.remove_prefix(lineEnd + 2);
    if (IsDigestText(line) && seen.insert(line).second) result.entries.emplace_back(line);
  }
  return result;
}

std::size_t AddFeedDigests(std::vector<std::string>& known, FeedList list) {
  std::unordered_set<std::string> held(known.begin(), known.end());
  std::size_t added = 0;
  for (std::string& entry : list.entries) {
    if (held.count(entry) != 0) continue;
    known.push_back(std::move(entry));
    ++added;
  }
  return added;
}

FeedState FeedAnswer::Add(std::string_view piece) {
  if (state_ == FeedState::Complete) return FeedState::Ignored;
  if (state_ != FeedState::Waiting) return state_;
  state_ = answer_.Add(piece);
  // A body without its end marker is no list: nothing of it is kept.
  if (state_ == FeedState::Complete && Body().find(kEndMarker) == std::string::npos) {
    state_ = FeedState::Broken;
    Release();
  }
  return state_;
}

}  // namespace quellix::update
