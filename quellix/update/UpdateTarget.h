// Where the update exchange connects and whose feed it takes. The program
// carries the name of its update host and the publisher's public key, chosen
// when it is built (QLX_UPDATE_HOST, QLX_FEED_KEY); a site can point its
// machines elsewhere, or trust another publisher, through registry values
// under HKLM, which only an administrator can change, so an ordinary user or
// a worm running as one cannot redirect the feed or sign one of its own.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace quellix::update {

constexpr std::int32_t kUpdatePort = 80;
// HKEY_LOCAL_MACHINE\Software\Quellix\QLX, value UpdateHost (REG_SZ):
// "name" or "name:port". A 32-bit Quellix on 64-bit Windows reads it under
// Software\Wow6432Node.
constexpr const char* kUpdateSettingKey = "Software\\Quellix\\QLX";
constexpr const char* kUpdateSettingValue = "UpdateHost";
// Beside it, value FeedKey (REG_BINARY): the publisher's public key as a
// PUBLICKEYBLOB (RSA, written by quellix-feed keygen).
constexpr const char* kFeedKeySettingValue = "FeedKey";

struct UpdateTarget {
  // Empty when the setting names no usable host: then no connection is made
  // and the exchange ends by its time-outs.
  std::string host;
  std::int32_t port = kUpdatePort;
  // Set when the feed must be signed: the publisher's PUBLICKEYBLOB. A key
  // that is set but unusable (empty, or no key at all) refuses every feed.
  std::optional<std::vector<std::uint8_t>> feedKey;

  // The name as the Host line and the download page's address carry it:
  // with ":port" unless the port is 80.
  std::string HostHeader() const;
  // "https://" + host + "/download.php": the browser checks the page's
  // origin, which a page over plain HTTP could not prove.
  std::string DownloadPage() const;
};

// The update host the program was built with.
const char* BuiltInUpdateHost();
// The publisher's key the program was built with; nullopt without one.
std::optional<std::vector<std::uint8_t>> BuiltInFeedKey();

// "name" or "name:port" with a port of 1 to 65535. A name is letters, digits,
// '-', '_' and '.', so nothing can be smuggled into the request's Host line.
std::optional<UpdateTarget> ParseUpdateHostSetting(const std::string& text);

// The settings where their values exist, else what the program was built with.
UpdateTarget ReadUpdateTarget(platform::Platform& platform);

}  // namespace quellix::update
