#include "tests/support/TestText.h"

#include "platform/sim/SimMd5.h"

namespace quellix::test {

std::vector<std::string> NonEmptyDetailLines(const std::u16string& details) {
  std::vector<std::string> lines;
  std::string line;
  for (char16_t unit : details + u"\n") {
    if (unit == u'\uFFFE' || unit == u'\r') continue;
    if (unit != u'\n') {
      line += static_cast<char>(unit);
    } else if (!line.empty()) {
      lines.push_back(line);
      line.clear();
    }
  }
  return lines;
}

std::string ReferenceMd5Text(const std::vector<std::uint8_t>& bytes) {
  platform::sim::Md5 md5;
  md5.Update(bytes.data(), bytes.size());
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (std::uint8_t byte : md5.Finish()) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0xF];
  }
  return text;
}

std::u16string DecodeUtf16Le(const std::uint8_t* bytes, std::size_t size) {
  std::u16string text;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    text += static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
  }
  return text;
}

std::vector<std::u16string> Split(const std::u16string& text, const std::u16string& separator) {
  std::vector<std::u16string> pieces;
  std::size_t start = 0;
  for (auto found = text.find(separator); found != std::u16string::npos;
       found = text.find(separator, start)) {
    pieces.push_back(text.substr(start, found - start));
    start = found + separator.size();
  }
  pieces.push_back(text.substr(start));
  return pieces;
}

}  // namespace quellix::test
