// MD5 digests of files and byte arrays through the platform's cryptographic
// provider, as the 32-character upper-case hexadecimal text that the signature
// lists hold. The empty text means that no digest could be made.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "quellix/Host.h"

namespace quellix {

// Error numbers raised by MD5Hash (object-defined errors, as 32-bit values).
namespace md5errors {
constexpr std::int64_t kAcquireContext = static_cast<std::int32_t>(0x8004C352u);
constexpr std::int64_t kCreateHash = static_cast<std::int32_t>(0x8004C332u);
constexpr std::int64_t kHashData = static_cast<std::int32_t>(0x8004C312u);
constexpr std::int64_t kHashSize = static_cast<std::int32_t>(0x8004C322u);
constexpr std::int64_t kHashValue = static_cast<std::int32_t>(0x8004C324u);
}  // namespace md5errors

class MD5Hash {
 public:
  // Acquires a verify context of the base provider; raises
  // platform::RuntimeError (kAcquireContext) when it cannot be had.
  MD5Hash(platform::Platform& platform, Host& host);
  ~MD5Hash();
  MD5Hash(const MD5Hash&) = delete;
  MD5Hash& operator=(const MD5Hash&) = delete;

  // The digest of the file's contents, read in blocks of 16384 bytes; "" when
  // the file does not exist or cannot be read, or the provider fails.
  std::string HashFile(const std::string& path);
  // The digest of the bytes; provider failures raise platform::RuntimeError.
  std::string HashBytes(const std::vector<std::uint8_t>& data);

 private:
  void StartDigest();
  void AddBlock(const std::vector<std::uint8_t>& block);
  std::string FinishDigest();
  void DestroyHash();
  [[noreturn]] void Raise(std::int64_t number, const std::string& text, const char* source);

  platform::Platform& platform_;
  Host& host_;
  platform::Handle provider_ = platform::kNullHandle;
  platform::Handle hash_ = platform::kNullHandle;
};

}  // namespace quellix
