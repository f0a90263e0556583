#include "platform/sim/SimText.h"

namespace platform::sim {

char UpperCase1252(char c) {
  const auto byte = static_cast<unsigned char>(c);
  if (byte >= 'a' && byte <= 'z') return static_cast<char>(byte - 0x20);
  // à..þ map to À..Þ, except the division sign 0xF7.
  if (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7) return static_cast<char>(byte - 0x20);
  switch (byte) {
    case 0x9A:  // š
      return static_cast<char>(0x8A);
    case 0x9C:  // œ
      return static_cast<char>(0x8C);
    case 0x9E:  // ž
      return static_cast<char>(0x8E);
    case 0xFF:  // ÿ
      return static_cast<char>(0x9F);
    default:
      return c;
  }
}

std::string UpperCase1252(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = UpperCase1252(c);
  return result;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (UpperCase1252(a[i]) != UpperCase1252(b[i])) return false;
  }
  return true;
}

bool LessNoCase(std::string_view a, std::string_view b) {
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(UpperCase1252(a[i]));
    const auto y = static_cast<unsigned char>(UpperCase1252(b[i]));
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

namespace {

bool MatchGlob(std::string_view pattern, std::string_view text) {
  // Iterative glob with one back-tracking point: the last '*' seen.
  std::size_t p = 0;
  std::size_t t = 0;
  std::size_t starP = std::string_view::npos;
  std::size_t starT = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starT = t;
    } else if (p < pattern.size() &&
               (pattern[p] == '?' || UpperCase1252(pattern[p]) == UpperCase1252(text[t]))) {
      ++p;
      ++t;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      t = ++starT;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool MatchDosName(std::string_view pattern, std::string_view name) {
  if (pattern.empty()) return name.empty();
  const char head = pattern.front();
  if (head == '*') {
    for (std::size_t skip = 0; skip <= name.size(); ++skip) {
      if (MatchDosName(pattern.substr(1), name.substr(skip))) return true;
    }
    return false;
  }
  if (head == '?') {
    if (!name.empty() && name.front() != '.' && MatchDosName(pattern.substr(1), name.substr(1))) {
      return true;
    }
    // At the end of the name or before its dot a '?' stands for nothing.
    if (name.empty() || name.front() == '.') return MatchDosName(pattern.substr(1), name);
    return false;
  }
  if (name.empty() || UpperCase1252(head) != UpperCase1252(name.front())) return false;
  return MatchDosName(pattern.substr(1), name.substr(1));
}

}  // namespace

bool MatchesPattern(std::string_view pattern, std::string_view text) {
  return MatchGlob(pattern, text);
}

bool MatchesFileName(std::string_view pattern, std::string_view name) {
  if (pattern == "*" || pattern == "*.*") return true;
  if (pattern.size() > 1 && pattern.back() == '.') {
    if (name.find('.') != std::string_view::npos) return false;
    return MatchDosName(pattern.substr(0, pattern.size() - 1), name);
  }
  return MatchDosName(pattern, name);
}

namespace {

bool IsShortNamePart(std::string_view part, std::size_t limit) {
  if (part.size() > limit) return false;
  for (char c : part) {
    if (c == ' ' || c == '.' || std::string_view("+,;=[]").find(c) != std::string_view::npos) {
      return false;
    }
  }
  return true;
}

// Drops blanks and dots, turns the characters 8.3 names cannot hold into '_'.
std::string ShortNamePart(std::string_view part, std::size_t limit) {
  std::string out;
  for (char c : part) {
    if (out.size() == limit) break;
    if (c == ' ' || c == '.') continue;
    out += std::string_view("+,;=[]").find(c) != std::string_view::npos ? '_' : UpperCase1252(c);
  }
  return out;
}

}  // namespace

std::string ShortName(std::string_view name) {
  if (name == "." || name == "..") return "";
  const std::size_t dot = name.rfind('.');
  const std::string_view base = dot == std::string_view::npos ? name : name.substr(0, dot);
  const std::string_view extension =
      dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
  if (!base.empty() && IsShortNamePart(base, 8) && IsShortNamePart(extension, 3)) return "";
  if (base.empty()) return ShortNamePart(extension, 6) + "~1";  // ".profile"
  const std::string shortExtension = ShortNamePart(extension, 3);
  return ShortNamePart(base, 6) + "~1" + (shortExtension.empty() ? "" : "." + shortExtension);
}

std::string HexBytes(const std::vector<std::uint8_t>& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0) text += ' ';
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 0x0F];
  }
  return text;
}

std::vector<std::uint8_t> ToBytes(std::string_view text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

}  // namespace platform::sim
