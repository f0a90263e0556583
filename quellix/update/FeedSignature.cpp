#include "quellix/update/FeedSignature.h"

namespace quellix::update {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Each CryptoAPI object is given back by the scope that made it.
class Provider {
 public:
  explicit Provider(platform::Platform& platform) : platform_(platform) {
    if (!platform_.CryptAcquireContextA(&handle_, "", "", platform::kProvRsaAes,
                                        platform::kCryptVerifyContext)) {
      handle_ = platform::kNullHandle;
    }
  }
  ~Provider() {
    if (handle_ != platform::kNullHandle) platform_.CryptReleaseContext(handle_, 0);
  }
  Provider(const Provider&) = delete;
  Provider& operator=(const Provider&) = delete;
  platform::Handle handle() const { return handle_; }

 private:
  platform::Platform& platform_;
  platform::Handle handle_ = platform::kNullHandle;
};

class PublicKey {
 public:
  PublicKey(platform::Platform& platform, const Provider& provider,
            const std::vector<std::uint8_t>& blob)
      : platform_(platform) {
    if (provider.handle() == platform::kNullHandle ||
        !platform_.CryptImportKey(provider.handle(), blob, 0, &handle_)) {
      handle_ = platform::kNullHandle;
    }
  }
  ~PublicKey() {
    if (handle_ != platform::kNullHandle) platform_.CryptDestroyKey(handle_);
  }
  PublicKey(const PublicKey&) = delete;
  PublicKey& operator=(const PublicKey&) = delete;
  platform::Handle handle() const { return handle_; }

 private:
  platform::Platform& platform_;
  platform::Handle handle_ = platform::kNullHandle;
};

class Sha256 {
 public:
  Sha256(platform::Platform& platform, const Provider& provider) : platform_(platform) {
    if (provider.handle() == platform::kNullHandle ||
        !platform_.CryptCreateHash(provider.handle(), platform::kCalgSha256, platform::kNullHandle,
                                   0, &handle_)) {
      handle_ = platform::kNullHandle;
    }
  }
  ~Sha256() {
    if (handle_ != platform::kNullHandle) platform_.CryptDestroyHash(handle_);
  }
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;
  platform::Handle handle() const { return handle_; }

 private:
  platform::Platform& platform_;
  platform::Handle handle_ = platform::kNullHandle;
};

}  // namespace

std::optional<std::vector<std::uint8_t>> ReadSignatureText(std::string_view text) {
  if (text.size() >= 2 && text.substr(text.size() - 2) == "\r\n") {
    text.remove_suffix(2);
  } else if (!text.empty() && text.back() == '\n') {
    text.remove_suffix(1);
  }
  if (text.empty() || text.size() % 2 != 0) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  bytes.reserve(text.size() / 2);
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int high = HexValue(text[i]);
    const int low = HexValue(text[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
  }
  return bytes;
}

bool FeedSignatureHolds(platform::Platform& platform, const std::vector<std::uint8_t>& publicKey,
                        std::string_view body, const std::vector<std::uint8_t>& signature) {
  const Provider provider(platform);
  const PublicKey key(platform, provider, publicKey);
  const Sha256 hash(platform, provider);
  if (key.handle() == platform::kNullHandle || hash.handle() == platform::kNullHandle) {
    return false;
  }
  // Hashed in blocks: the call takes a 32-bit length.
  constexpr std::size_t kBlock = 1 << 20;
  for (std::size_t at = 0; at < body.size(); at += kBlock) {
    const std::string_view block = body.substr(at, kBlock);
    if (!platform.CryptHashData(hash.handle(), reinterpret_cast<const std::uint8_t*>(block.data()),
                                static_cast<std::uint32_t>(block.size()), 0)) {
      return false;
    }
  }
  // CryptoAPI takes the signature least significant byte first.
  const std::vector<std::uint8_t> reversed(signature.rbegin(), signature.rend());
  return platform.CryptVerifySignatureA(hash.handle(), reversed, key.handle(), 0);
}

}  // namespace quellix::update
