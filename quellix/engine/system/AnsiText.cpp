#include "quellix/engine/system/AnsiText.h"

namespace quellix {
namespace {

// The platform whose system lower-cases ANSI text, while a SystemAnsiCase lives.
platform::Platform* systemCasePlatform = nullptr;

unsigned char LowerAnsiByte(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
  switch (c) {
    case 0x8A:
      return 0x9A;  // S caron
    case 0x8C:
      return 0x9C;  // OE ligature
    case 0x8E:
      return 0x9E;  // Z caron
    case 0x9F:
      return 0xFF;  // Y diaeresis
    default:
      return c;
  }
}

}  // namespace

SystemAnsiCase::SystemAnsiCase(platform::Platform& platform) : replaced_(systemCasePlatform) {
  systemCasePlatform = &platform;
}

SystemAnsiCase::~SystemAnsiCase() { systemCasePlatform = replaced_; }

std::string LowerAnsi(const std::string& text) {
  if (systemCasePlatform != nullptr) return systemCasePlatform->CharLowerBuffA(text);
  std::string lower = text;
  for (char& c : lower) c = static_cast<char>(LowerAnsiByte(static_cast<unsigned char>(c)));
  return lower;
}

std::string TrimBlanks(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  const auto last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

std::vector<std::string> SplitText(const std::string& text, const std::string& delimiter) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (auto found = text.find(delimiter); !delimiter.empty() && found != std::string::npos;
       found = text.find(delimiter, start)) {
    fields.push_back(text.substr(start, found - start));
    start = found + delimiter.size();
  }
  fields.push_back(text.substr(start));
  return fields;
}

std::size_t FindNoCase(const std::string& text, const std::string& needle) {
  return LowerAnsi(text).find(LowerAnsi(needle));
}

bool ContainsNoCase(const std::string& text, const std::string& needle) {
  return FindNoCase(text, needle) != std::string::npos;
}

std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to) {
  if (from.empty()) return text;
  std::string result;
  std::size_t start = 0;
  for (auto found = text.find(from); found != std::string::npos; found = text.find(from, start)) {
    result.append(text, start, found - start).append(to);
    start = found + from.size();
  }
  return result.append(text, start, std::string::npos);
}

std::string GetField(const std::string& text, const std::string& delimiter, int index) {
  if (index < 0) return std::string();
  const std::vector<std::string> fields = SplitText(text, delimiter);
  return static_cast<std::size_t>(index) < fields.size() ? fields[static_cast<std::size_t>(index)]
                                                         : std::string();
}

std::int16_t CountFields(const std::string& text, const std::string& delimiter) {
  if (text.empty()) return 0;
  return static_cast<std::int16_t>(SplitText(text, delimiter).size());
}

}  // namespace quellix
