#include "tests/contract/ContractTest.h"

#include <cctype>

namespace contract {

const char* BackendName(BackendKind kind) {
  switch (kind) {
    case BackendKind::kSimulated:
      return "the simulated machine";
    case BackendKind::kWine:
      return "Wine";
    case BackendKind::kWindows:
      return "Windows";
  }
  return "an unknown backend";
}

std::string ContractTest::CaseName() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return std::string(info->test_suite_name()) + "." + info->name();
}

std::vector<std::uint8_t> Bytes(const std::string& text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::vector<std::uint8_t> StringValue(const std::string& text) {
  auto bytes = Bytes(text);
  bytes.push_back(0);
  return bytes;
}

std::vector<std::uint8_t> DwordValue(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

std::string LowerAscii(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool EndsWithNoCase(const std::string& text, const std::string& ending) {
  return text.size() >= ending.size() &&
         LowerAscii(text.substr(text.size() - ending.size())) == LowerAscii(ending);
}

bool StartsWithDriveRoot(const std::string& path) {
  return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
         path[2] == '\\';
}

}  // namespace contract
