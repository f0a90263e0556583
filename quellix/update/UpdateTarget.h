// Where the update exchange connects. The program carries the name of its
// update host, chosen when it is built (QLX_UPDATE_HOST); a site can point
// its machines elsewhere through one registry value under HKLM, which only
// an administrator can change, so an ordinary user or a worm running as one
// cannot redirect the feed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Platform.h"

namespace quellix::update {

constexpr std::int32_t kUpdatePort = 80;
// HKEY_LOCAL_MACHINE\Software\Quellix\QLX, value UpdateHost (REG_SZ):
// "name" or "name:port". A 32-bit Quellix on 64-bit Windows reads it under
// Software\Wow6432Node.
constexpr const char* kUpdateSettingKey = "Software\\Quellix\\QLX";
constexpr const char* kUpdateSettingValue = "UpdateHost";

struct UpdateTarget {
  // Empty when the setting names no usable host: then no connection is made
  // and the exchange ends by its time-outs.
  std::string host;
  std::int32_t port = kUpdatePort;

  // The name as the Host line and the download page's address carry it:
  // with ":port" unless the port is 80.
  std::string HostHeader() const;
  // "http://" + host + "/download.php".
  std::string DownloadPage() const;
};

// The update host the program was built with.
const char* BuiltInUpdateHost();

// "name" or "name:port" with a port of 1 to 65535. A name is letters, digits,
// '-', '_' and '.', so nothing can be smuggled into the request's Host line.
std::optional<UpdateTarget> ParseUpdateHostSetting(const std::string& text);

// The setting when the value exists, else the built-in host.
UpdateTarget ReadUpdateTarget(platform::Platform& platform);

}  // namespace quellix::update
