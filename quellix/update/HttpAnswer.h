// What the answer readers need of an HTTP answer: where its header block
// ends, the value of its Content-Length line, and a body collected up to that
// length. Everything here is outside input: lengths are checked against fixed
// limits before anything is kept.
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

// The first Content-Length field of the header block, its name in any case
// of letters (HTTP field names are case-insensitive, and proxies lower-case
// them): its decimal value up to CR LF, blanks around it allowed. A value
// above mostBytes is TooLarge.
ContentLength FindContentLength(std::string_view headerBlock,
                                std::uint32_t mostBytes = kMostFeedBytes);

enum class BodyState {
  Waiting,   // more is needed
  Broken,    // no usable answer; later pieces are ignored
  Complete,  // this piece made the body whole
  Ignored,   // the body was whole before this piece, which is not read
};

// The body of one answer: the header block is collected up to its blank line
// (it may straddle pieces), then exactly Content-Length bytes of body.
class AnswerBody {
 public:
  explicit AnswerBody(std::uint32_t mostBytes) : mostBytes_(mostBytes) {}

  // Complete is answered once, for the piece that makes the body whole.
  BodyState Add(std::string_view piece);
  // Waiting, Broken or Complete.
  BodyState State() const { return state_; }
  // Exactly the announced bytes once Complete.
  const std::string& Body() const { return body_; }
  // Gives the body's memory back; the state stays.
  void Release();

 private:
  std::uint32_t mostBytes_;
  BodyState state_ = BodyState::Waiting;
  std::string headerBlock_;
  bool headerDone_ = false;
  std::uint32_t length_ = 0;
  std::string body_;
};

}  // namespace quellix::update
