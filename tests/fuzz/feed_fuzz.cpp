// The detection feed's answer comes from the network: whatever the bytes and
// wherever the network cuts them, the reader gives the same result, keeps
// within its limits, and only a complete answer adds anything to the digest
// array; a broken one leaves it as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "quellix/update/DetectionFeed.h"
#include "quellix/update/HttpAnswer.h"

namespace {

using quellix::update::FeedAnswer;
using quellix::update::FeedState;

void Require(bool holds) {
  if (!holds) std::abort();
}

// What the exchange does with an answer: add a complete list's new digests.
std::vector<std::string> Apply(const FeedAnswer& answer, std::vector<std::string> digests) {
  if (answer.State() != FeedState::Complete) return digests;
  auto list = quellix::update::ReadFeedList(answer.Body());
  if (list) quellix::update::AddFeedDigests(digests, std::move(*list));
  return digests;
}

bool IsDigestText(const std::string& entry) {
  if (entry.size() != 32) return false;
  for (const char c : entry) {
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::size_t cut = text.empty() ? 0 : data[0] % (text.size() + 1);

  FeedAnswer whole;
  whole.Add(text);
  FeedAnswer pieces;
  pieces.Add(text.substr(0, cut));
  pieces.Add(text.substr(cut));
  Require(whole.State() == pieces.State());
  Require(whole.Body() == pieces.Body());
  Require(whole.Body().size() <= quellix::update::kMostFeedBytes);

  const std::vector<std::string> known = {"0123456789ABCDEF0123456789ABCDEF"};
  const std::vector<std::string> after = Apply(whole, known);
  if (whole.State() != FeedState::Complete) Require(after == known);
  // Only new digest texts are added, each once.
  Require(after.size() >= known.size());
  for (std::size_t i = known.size(); i < after.size(); ++i) {
    Require(IsDigestText(after[i]));
    for (std::size_t j = 0; j < i; ++j) Require(after[j] != after[i]);
  }
  // A complete answer is complete once: a later piece is not read.
  if (pieces.State() == FeedState::Complete) {
    Require(pieces.Add(text) == FeedState::Ignored);
    Require(pieces.Body() == whole.Body());
  }
  return 0;
}
