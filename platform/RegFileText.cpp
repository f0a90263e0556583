#include "platform/RegFileText.h"

#include <algorithm>

#include "platform/Platform.h"

namespace platform {
namespace {

constexpr const char* kLineEnd = "\r\n";
constexpr const char* kHexDigits = "0123456789abcdef";
// The editor continues hex lines before they pass 80 columns.
constexpr std::size_t kHexWrapColumn = 76;

std::string Quoted(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

// A REG_SZ can be written as a quoted string only when it reads back to the
// same bytes: one terminating NUL, no other NUL and no line break.
bool QuotableString(const std::vector<std::uint8_t>& data) {
  if (data.empty() || data.back() != 0) return false;
  return std::none_of(data.begin(), data.end() - 1,
                      [](std::uint8_t byte) { return byte == 0 || byte == '\r' || byte == '\n'; });
}

std::string HexData(const std::string& prefix, const std::vector<std::uint8_t>& data) {
  std::string text = prefix;
  std::size_t column = prefix.size();
  for (std::size_t i = 0; i < data.size(); ++i) {
    text += kHexDigits[data[i] >> 4];
    text += kHexDigits[data[i] & 0xF];
    column += 2;
    if (i + 1 == data.size()) break;
    text += ',';
    ++column;
    if (column >= kHexWrapColumn) {
      text += "\\\r\n  ";
      column = 2;
    }
  }
  return text;
}

std::string HexTypeName(std::uint32_t type) {
  std::string digits;
  do {
    digits.insert(digits.begin(), kHexDigits[type & 0xF]);
    type >>= 4;
  } while (type != 0);
  return "hex(" + digits + "):";
}

}  // namespace

std::string RegValueLine(const std::string& name, std::uint32_t type,
                         const std::vector<std::uint8_t>& data) {
  const std::string prefix = (name.empty() ? std::string("@") : Quoted(name)) + "=";
  if (type == kRegSz && QuotableString(data)) {
    return prefix + Quoted(std::string(data.begin(), data.end() - 1));
  }
  if (type == kRegDword && data.size() == 4) {
    const std::uint32_t value =
        static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8 |
        static_cast<std::uint32_t>(data[2]) << 16 | static_cast<std::uint32_t>(data[3]) << 24;
    std::string digits;
    for (int shift = 28; shift >= 0; shift -= 4) digits += kHexDigits[(value >> shift) & 0xF];
    return prefix + "dword:" + digits;
  }
  if (type == kRegBinary) return HexData(prefix + "hex:", data);
  return HexData(prefix + HexTypeName(type), data);
}

std::string RegFileForValue(const std::string& keyPath, const std::string& name, std::uint32_t type,
                            const std::vector<std::uint8_t>& data) {
  return std::string(kRegFileHeader) + "[" + keyPath + "]" + kLineEnd +
         RegValueLine(name, type, data) + kLineEnd + kLineEnd;
}

}  // namespace platform
