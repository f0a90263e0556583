#include "tests/support/RunLog.h"

namespace quellix::test {

std::vector<std::uint8_t> ReadWholeFile(platform::Platform& platform, const std::string& path) {
  std::vector<std::uint8_t> bytes;
  const auto file = platform.CreateFileA(path, platform::kGenericRead, platform::kFileShareRead,
                                         platform::kOpenExisting, platform::kFileAttributeNormal);
  if (file == platform::kInvalidHandleValue) return bytes;
  std::uint64_t size = 0;
  if (platform.GetFileSizeEx(file, &size)) {
    platform.ReadFile(file, static_cast<std::uint32_t>(size), &bytes);
  }
  platform.CloseHandle(file);
  return bytes;
}

std::vector<std::uint8_t> ExpectedRunLogBytes(const std::string& databaseVersion,
                                              const std::u16string& body, bool withErrorLine) {
  std::u16string text = u"\uFEFFVersion: 4.23 Virus DataBase: ";
  text.append(databaseVersion.begin(), databaseVersion.end());
  text += u"\r\n\r\n" + body;
  if (withErrorLine) text += u"\r\n!!Registry connection error!!";
  std::vector<std::uint8_t> bytes;
  for (char16_t unit : text) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  return bytes;
}

std::u16string LastLine(const std::u16string& text) {
  const auto lastBreak = text.rfind(u"\r\n");
  return lastBreak == std::u16string::npos ? text : text.substr(lastBreak + 2);
}

std::u16string WithoutLastLine(const std::u16string& text) {
  const auto lastBreak = text.rfind(u"\r\n");
  return lastBreak == std::u16string::npos ? std::u16string() : text.substr(0, lastBreak);
}

std::string ReadRegistryText(platform::Platform& platform, platform::HKey root,
                             const std::string& key, const std::string& value) {
  platform::HKey handle = 0;
  if (platform.RegOpenKeyA(root, key, &handle) != platform::error::kSuccess) return "<missing>";
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  const long result = platform.RegQueryValueExA(handle, value, &type, &data);
  platform.RegCloseKey(handle);
  if (result != platform::error::kSuccess) return "<missing>";
  std::string text(data.begin(), data.end());
  while (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

}  // namespace quellix::test
