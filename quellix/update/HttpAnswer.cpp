#include "quellix/update/HttpAnswer.h"

namespace quellix::update {
namespace {

constexpr std::string_view kBlankLine = "\r\n\r\n";
constexpr std::string_view kLengthField = "content-length";

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsLengthField(std::string_view name) {
  if (name.size() != kLengthField.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (LowerAscii(name[i]) != kLengthField[i]) return false;
  }
  return true;
}

}  // namespace

std::size_t BodyStart(std::string_view text) {
  const auto blank = text.find(kBlankLine);
  return blank == std::string_view::npos ? blank : blank + kBlankLine.size();
}

ContentLength FindContentLength(std::string_view headerBlock, std::uint32_t mostBytes) {
  // Field lines follow the status line; each ends with CR LF.
  for (auto lineStart = headerBlock.find("\r\n"); lineStart != std::string_view::npos;) {
    lineStart += 2;
    const auto lineEnd = headerBlock.find("\r\n", lineStart);
    const std::string_view line = headerBlock.substr(
        lineStart, lineEnd == std::string_view::npos ? lineEnd : lineEnd - lineStart);
    lineStart = lineEnd;
    const auto colon = line.find(':');
    if (colon == std::string_view::npos || !IsLengthField(line.substr(0, colon))) continue;
    if (lineEnd == std::string_view::npos) return {LengthKind::Invalid, 0};
    const std::string_view digits = TrimBlanks(line.substr(colon + 1));
    if (digits.empty()) return {LengthKind::Invalid, 0};
    std::uint64_t value = 0;
    for (const char c : digits) {
      if (c < '0' || c > '9') return {LengthKind::Invalid, 0};
      value = value * 10 + static_cast<std::uint64_t>(c - '0');
      if (value > mostBytes) return {LengthKind::TooLarge, 0};
    }
    return {LengthKind::Given, static_cast<std::uint32_t>(value)};
  }
  return {};
}

BodyState AnswerBody::Add(std::string_view piece) {
  if (state_ == BodyState::Complete) return BodyState::Ignored;
  if (state_ != BodyState::Waiting) return state_;
  if (!headerDone_) {
    // The blank line may straddle two pieces: look again from three bytes back.
    const std::size_t before = headerBlock_.size();
    const std::size_t searchFrom = before < 3 ? 0 : before - 3;
    headerBlock_.append(piece.substr(0, kMostHeaderBytes - headerBlock_.size()));
    const auto bodyStart = BodyStart(std::string_view(headerBlock_).substr(searchFrom));
    if (bodyStart == std::string::npos) {
      if (headerBlock_.size() >= kMostHeaderBytes) state_ = BodyState::Broken;
      return state_;
    }
    const std::size_t headerEnd = searchFrom + bodyStart;
    const std::size_t bodyInPiece = headerEnd - before;
    headerBlock_.resize(headerEnd);
    headerDone_ = true;
    const ContentLength length = FindContentLength(headerBlock_, mostBytes_);
    headerBlock_ = std::string();
    if (length.kind != LengthKind::Given) {
      state_ = BodyState::Broken;
      return state_;
    }
    length_ = length.value;
    // Within the limit: one block, rather than a string grown by doubling.
    body_.reserve(length_);
    piece.remove_prefix(bodyInPiece);
  }
  body_.append(piece.substr(0, length_ - body_.size()));
  if (body_.size() == length_) state_ = BodyState::Complete;
  return state_;
}

void AnswerBody::Release() { body_ = std::string(); }

}  // namespace quellix::update
