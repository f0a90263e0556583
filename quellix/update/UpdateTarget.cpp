#include "quellix/update/UpdateTarget.h"

#include <algorithm>

#include "quellix/update/UpdateRequests.h"

#ifndef QLX_UPDATE_HOST
#error "QLX_UPDATE_HOST names the update host; CMake sets it"
#endif

namespace quellix::update {
namespace {

bool IsNameCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_' || c == '.';
}

std::optional<std::int32_t> ParsePort(const std::string& text) {
  if (text.empty() || text.size() > 5) return std::nullopt;
  std::int32_t port = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    port = port * 10 + (c - '0');
  }
  if (port < 1 || port > 65535) return std::nullopt;
  return port;
}

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

}  // namespace

std::string UpdateTarget::HostHeader() const {
  return port == kUpdatePort ? host : host + ":" + std::to_string(port);
}

std::string UpdateTarget::DownloadPage() const { return "https://" + HostHeader() + kDownloadPath; }

const char* BuiltInUpdateHost() { return QLX_UPDATE_HOST; }

std::optional<UpdateTarget> ParseUpdateHostSetting(const std::string& text) {
  const std::string setting = Trimmed(text);
  UpdateTarget target;
  const auto colon = setting.find(':');
  target.host = setting.substr(0, colon);
  if (colon != std::string::npos) {
    const auto port = ParsePort(setting.substr(colon + 1));
    if (!port) return std::nullopt;
    target.port = *port;
  }
  if (target.host.empty() || target.host.size() > 253 ||
      !std::all_of(target.host.begin(), target.host.end(), IsNameCharacter)) {
    return std::nullopt;
  }
  return target;
}

namespace {

struct SettingValue {
  long result = platform::error::kFileNotFound;
  std::uint32_t type = platform::kRegNone;
  std::vector<std::uint8_t> data;
};

SettingValue ReadSetting(platform::Platform& platform, platform::HKey key, const char* name) {
  SettingValue value;
  if (key != 0) value.result = platform.RegQueryValueExA(key, name, &value.type, &value.data);
  return value;
}

// The value is there but unusable: the administrator meant another host, so
// the built-in one is not asked either.
UpdateTarget TargetOf(const SettingValue& value) {
  if (value.result == platform::error::kFileNotFound) {
    return UpdateTarget{BuiltInUpdateHost(), kUpdatePort, {}};
  }
  if (value.result != platform::error::kSuccess || value.type != platform::kRegSz) {
    return UpdateTarget{"", 0, {}};
  }
  std::string text(value.data.begin(), value.data.end());
  text = text.substr(0, text.find('\0'));
  return ParseUpdateHostSetting(text).value_or(UpdateTarget{"", 0, {}});
}

// A key value that is there but unusable still says that a key is required:
// it refuses every feed rather than let an unsigned one through.
std::optional<std::vector<std::uint8_t>> FeedKeyOf(const SettingValue& value) {
  if (value.result == platform::error::kFileNotFound) return BuiltInFeedKey();
  if (value.result != platform::error::kSuccess || value.type != platform::kRegBinary) {
    return std::vector<std::uint8_t>();
  }
  return value.data;
}

}  // namespace

UpdateTarget ReadUpdateTarget(platform::Platform& platform) {
  platform::HKey key = 0;
  if (platform.RegOpenKeyExA(platform::kHkeyLocalMachine, kUpdateSettingKey,
                             platform::kKeyQueryValue, &key) != platform::error::kSuccess) {
    key = 0;
  }
  UpdateTarget target = TargetOf(ReadSetting(platform, key, kUpdateSettingValue));
  target.feedKey = FeedKeyOf(ReadSetting(platform, key, kFeedKeySettingValue));
  if (key != 0) platform.RegCloseKey(key);
  return target;
}

}  // namespace quellix::update
