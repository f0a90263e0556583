#include "tests/support/RegImport.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace quellix::test {
namespace {

// A quoted text at text[*at] with \\ and \" escapes; *at ends after the quote.
std::optional<std::string> Quoted(const std::string& text, std::size_t* at) {
  if (*at >= text.size() || text[*at] != '"') return std::nullopt;
  std::string out;
  for (std::size_t i = *at + 1; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      out += text[++i];
    } else if (text[i] == '"') {
      *at = i + 1;
      return out;
    } else {
      out += text[i];
    }
  }
  return std::nullopt;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<std::vector<std::uint8_t>> HexBytes(const std::string& text) {
  std::vector<std::uint8_t> bytes;
  std::size_t i = 0;
  while (i < text.size()) {
    if (i + 1 >= text.size()) return std::nullopt;
    const int high = HexDigit(text[i]);
    const int low = HexDigit(text[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    i += 2;
    if (i < text.size() && text[i++] != ',') return std::nullopt;
  }
  return bytes;
}

// The lines of the file with the "\" continuations joined.
std::vector<std::string> LogicalLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string current;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!current.empty()) line.erase(0, line.find_first_not_of(' '));
    current += line;
    // Only hex data is continued: a quoted text always ends with its quote.
    if (!current.empty() && current.back() == '\\' && current.find("=hex") != std::string::npos) {
      current.pop_back();
    } else {
      lines.push_back(current);
      current.clear();
    }
    start = end + 2;
  }
  if (!current.empty()) lines.push_back(current);
  return lines;
}

}  // namespace

bool ImportRegFile(platform::sim::Registry& registry, const std::string& text) {
  const auto lines = LogicalLines(text);
  if (lines.empty() || lines[0] != "REGEDIT4") return false;
  std::optional<platform::sim::RegPath> key;
  for (std::size_t n = 1; n < lines.size(); ++n) {
    const std::string& line = lines[n];
    if (line.empty()) continue;
    if (line.front() == '[') {
      if (line.back() != ']') return false;
      key = platform::sim::ParseRegistryPath(line.substr(1, line.size() - 2));
      if (!key) return false;
      registry.Create(*key);
      continue;
    }
    if (!key) return false;
    std::size_t at = 0;
    std::string name;
    if (line.front() == '@') {
      at = 1;
    } else {
      auto quoted = Quoted(line, &at);
      if (!quoted) return false;
      name = *quoted;
    }
    if (at >= line.size() || line[at] != '=') return false;
    ++at;
    std::uint32_t type = platform::kRegSz;
    std::vector<std::uint8_t> data;
    const std::string rest = line.substr(at);
    if (!rest.empty() && rest.front() == '"') {
      std::size_t end = 0;
      auto value = Quoted(rest, &end);
      if (!value || end != rest.size()) return false;
      data.assign(value->begin(), value->end());
      data.push_back(0);
    } else if (rest.rfind("dword:", 0) == 0 && rest.size() == 14) {
      auto bytes = HexBytes(rest.substr(6, 2) + "," + rest.substr(8, 2) + "," + rest.substr(10, 2) +
                            "," + rest.substr(12, 2));
      if (!bytes) return false;
      type = platform::kRegDword;
      data.assign(bytes->rbegin(), bytes->rend());
    } else if (rest.rfind("hex", 0) == 0) {
      std::size_t colon = rest.find(':');
      if (colon == std::string::npos) return false;
      const std::string kind = rest.substr(3, colon - 3);
      if (kind.empty()) {
        type = platform::kRegBinary;
      } else if (kind.size() > 2 && kind.front() == '(' && kind.back() == ')') {
        type = static_cast<std::uint32_t>(std::stoul(kind.substr(1, kind.size() - 2), nullptr, 16));
      } else {
        return false;
      }
      auto bytes = HexBytes(rest.substr(colon + 1));
      if (!bytes) return false;
      data = *bytes;
    } else {
      return false;
    }
    platform::sim::PutValue(*registry.Find(*key), name, type, std::move(data));
  }
  return true;
}

}  // namespace quellix::test
