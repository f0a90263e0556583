// The publisher's signature of the detection feed. The publisher signs the
// feed's exact body (its Content-Length bytes) with RSA and SHA-256 (PKCS #1
// v1.5) and serves the signature as a file of its own beside the feed, so any
// static web server can serve it; the program asks for it after the feed's
// answer and adds nothing unless it holds under the publisher's public key.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

namespace quellix::update {

constexpr const char* kFeedSignaturePath = "/app/kestrel/updates.sig";
// The signature file: the signature in hexadecimal, most significant byte
// first, a line end after it allowed. 16384-bit keys fit.
constexpr std::uint32_t kMostSignatureBytes = 4 * 1024 + 2;

// The signature's bytes from the signature file's text; nullopt when it is
// not an even number of hexadecimal digits.
std::optional<std::vector<std::uint8_t>> ReadSignatureText(std::string_view text);

// True when signature (most significant byte first) is the signature of body
// under the public key, a PUBLICKEYBLOB, as the system's AES provider checks
// it. Any failure of the provider counts as a signature that does not hold.
bool FeedSignatureHolds(platform::Platform& platform, const std::vector<std::uint8_t>& publicKey,
                        std::string_view body, const std::vector<std::uint8_t>& signature);

}  // namespace quellix::update
