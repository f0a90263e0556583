#include "quellix/update/HttpAnswer.h"

namespace quellix::update {
namespace {

constexpr std::string_view kBlankLine = "\r\n\r\n";
constexpr std::string_view kLengthHeader = "Content-Length: ";

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

}  // namespace

std::size_t BodyStart(std::string_view text) {
  const auto blank = text.find(kBlankLine);
  return blank == std::string_view::npos ? blank : blank + kBlankLine.size();
}

ContentLength FindContentLength(std::string_view headerBlock) {
  const auto at = headerBlock.find(kLengthHeader);
  if (at == std::string_view::npos) return {};
  const auto start = at + kLengthHeader.size();
  const auto end = headerBlock.find("\r\n", start);
  if (end == std::string_view::npos) return {LengthKind::Invalid, 0};
  const std::string_view digits = TrimBlanks(headerBlock.substr(start, end - start));
  if (digits.empty()) return {LengthKind::Invalid, 0};
  std::uint64_t value = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return {LengthKind::Invalid, 0};
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
    if (value > kMostFeedBytes) return {LengthKind::TooLarge, 0};
  }
  return {LengthKind::Given, static_cast<std::uint32_t>(value)};
}

}  // namespace quellix::update
