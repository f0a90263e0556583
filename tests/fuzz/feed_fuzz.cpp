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

// What the exchange does with an answer: append a complete list's entries.
std::vector<std::string> Apply(const FeedAnswer& answer, std::vector<std::string> digests) {
  if (answer.State() != FeedState::Complete) return digests;
  const auto& entries = answer.List().entries;
  digests.insert(digests.end(), entries.begin(), entries.end());
  return digests;
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
  Require(whole.List().entries == pieces.List().entries);

  const std::vector<std::string> known = {"0123456789ABCDEF0123456789ABCDEF"};
  const std::vector<std::string> after = Apply(whole, known);
  if (whole.State() != FeedState::Complete) Require(after == known);
  std::size_t listed = 0;
  for (const std::string& entry : whole.List().entries) {
    Require(entry.find("\r\n") == std::string::npos);
    listed += entry.size() + 2;
  }
  Require(listed <= quellix::update::kMostFeedBytes);
  return 0;
}
