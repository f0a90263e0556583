// What both answer readers need of an HTTP answer: where its header block
// ends and the value of its Content-Length line. Everything here is outside
// input: lengths are checked against fixed limits before anything is kept.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quellix::update {

// A header block longer than this is no answer of an update host.
constexpr std::size_t kMostHeaderBytes = 64 * 1024;
// The largest feed body accepted: the real feed is a few kilobytes, so this
// is thousands of times more than it ever needs, and memory stays bounded.
constexpr std::uint32_t kMostFeedBytes = 4 * 1024 * 1024;

// The position after the first CR LF CR LF, or npos when it has not come yet.
std::size_t BodyStart(std::string_view text);

enum class LengthKind { Missing, Invalid, TooLarge, Given };

struct ContentLength {
  LengthKind kind = LengthKind::Missing;
  std::uint32_t value = 0;  // when Given
};

// The first "Content-Length: " line of the header block (exact letters and
// case): its decimal value up to CR LF, blanks around it allowed.
ContentLength FindContentLength(std::string_view headerBlock);

}  // namespace quellix::update
