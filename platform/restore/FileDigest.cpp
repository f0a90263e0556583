#include "platform/restore/FileDigest.h"

#include <algorithm>
#include <vector>

namespace platform::restore {
namespace {

constexpr std::uint32_t kReadBlock = 65536;

class ScopedFile {
 public:
  ScopedFile(Platform& platform, Handle handle) : platform_(platform), handle_(handle) {}
  ~ScopedFile() {
    if (handle_ != kInvalidHandleValue) platform_.CloseHandle(handle_);
  }
  ScopedFile(const ScopedFile&) = delete;
  ScopedFile& operator=(const ScopedFile&) = delete;
  Handle get() const { return handle_; }

 private:
  Platform& platform_;
  Handle handle_;
};

class ScopedProvider {
 public:
  explicit ScopedProvider(Platform& platform) : platform_(platform) {
    if (!platform_.CryptAcquireContextA(&provider_, "", "", kProvRsaFull, kCryptVerifyContext))
      provider_ = kNullHandle;
  }
  ~ScopedProvider() {
    if (hash_ != kNullHandle) platform_.CryptDestroyHash(hash_);
    if (provider_ != kNullHandle) platform_.CryptReleaseContext(provider_, 0);
  }
  ScopedProvider(const ScopedProvider&) = delete;
  ScopedProvider& operator=(const ScopedProvider&) = delete;

  std::string Digest(const std::string& bytes) {
    if (provider_ == kNullHandle || !platform_.CryptCreateHash(provider_, kCalgMd5, 0, 0, &hash_))
      return std::string();
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    for (std::size_t done = 0; done < bytes.size(); done += kReadBlock) {
      const auto length =
          static_cast<std::uint32_t>(std::min<std::size_t>(kReadBlock, bytes.size() - done));
      if (!platform_.CryptHashData(hash_, data + done, length, 0)) return std::string();
    }
    std::vector<std::uint8_t> value;
    if (!platform_.CryptGetHashParam(hash_, kHpHashVal, &value) || value.size() != 16)
      return std::string();
    static const char* const kDigits = "0123456789ABCDEF";
    std::string text;
    for (std::uint8_t byte : value) {
      text += kDigits[byte >> 4];
      text += kDigits[byte & 0xF];
    }
    return text;
  }

 private:
  Platform& platform_;
  Handle provider_ = kNullHandle;
  Handle hash_ = kNullHandle;
};

}  // namespace

bool ReadWholeFile(Platform& platform, const std::string& path, std::string* bytes) {
  ScopedFile file(platform,
                  platform.CreateFileA(path, kGenericRead, kFileShareRead | kFileShareWrite,
                                       kOpenExisting, kFileAttributeNormal));
  if (file.get() == kInvalidHandleValue) return false;
  bytes->clear();
  std::vector<std::uint8_t> block;
  for (;;) {
    if (!platform.ReadFile(file.get(), kReadBlock, &block)) return false;
    if (block.empty()) return true;
    bytes->append(block.begin(), block.end());
  }
}

std::string Md5Of(Platform& platform, const std::string& bytes) {
  ScopedProvider provider(platform);
  return provider.Digest(bytes);
}

}  // namespace platform::restore
