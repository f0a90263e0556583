#include "quellix/lang/Utf16Text.h"

namespace quellix::lang {

std::u16string Utf16FromLittleEndian(const std::vector<std::uint8_t>& bytes) {
  std::u16string text;
  text.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    text += static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
  }
  return text;
}

std::vector<std::u16string> CutAt(const std::u16string& text, const std::u16string& separator) {
  if (separator.empty()) return {text};
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

std::u16string ReplaceAll(const std::u16string& text, const std::u16string& marker,
                          const std::u16string& replacement) {
  if (marker.empty()) return text;
  std::u16string result;
  std::size_t start = 0;
  for (auto found = text.find(marker); found != std::u16string::npos;
       found = text.find(marker, start)) {
    result.append(text, start, found - start);
    result += replacement;
    start = found + marker.size();
  }
  result.append(text, start, std::u16string::npos);
  return result;
}

}  // namespace quellix::lang
