#include "quellix/engine/detection/MD5Hash.h"

#include "platform/RuntimeError.h"

namespace quellix {
namespace {

constexpr const char* kProviderName = "Microsoft Base Cryptographic Provider v1.0";
constexpr std::uint64_t kBlockBytes = 16384;

// Closes an open file on every way out of HashFile.
class OpenFile {
 public:
  OpenFile(platform::Platform& platform, platform::Handle handle)
      : platform_(platform), handle_(handle) {}
  ~OpenFile() {
    if (IsOpen()) platform_.CloseHandle(handle_);
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;

  bool IsOpen() const { return handle_ != platform::kInvalidHandleValue; }
  platform::Handle Get() const { return handle_; }

 private:
  platform::Platform& platform_;
  platform::Handle handle_;
};

std::uint32_t LittleEndianValue(const std::vector<std::uint8_t>& bytes) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < bytes.size() && i < 4; ++i) {
    value |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
  }
  return value;
}

}  // namespace

MD5Hash::MD5Hash(platform::Platform& platform, Host& host) : platform_(platform), host_(host) {
  if (!platform_.CryptAcquireContextA(&provider_, "", kProviderName, platform::kProvRsaFull,
                                      platform::kCryptVerifyContext)) {
    provider_ = platform::kNullHandle;
    Raise(md5errors::kAcquireContext, "Failed to obtain access to CryptoAPI, system error ",
          "MD5Hash.Class_Initialize");
  }
}

MD5Hash::~MD5Hash() {
  DestroyHash();
  if (provider_ != platform::kNullHandle) platform_.CryptReleaseContext(provider_, 0);
}

std::string MD5Hash::HashFile(const std::string& path) {
  if (platform_.GetFileAttributesA(path) == platform::kInvalidFileAttributes) {
    host_.DoEvents();
    return std::string();
  }
  try {
    OpenFile file(platform_,
                  platform_.CreateFileA(path, platform::kGenericRead,
                                        platform::kFileShareRead | platform::kFileShareWrite,
                                        platform::kOpenExisting, platform::kFileAttributeNormal));
    std::uint64_t length = 0;
    if (!file.IsOpen() || !platform_.GetFileSizeEx(file.Get(), &length)) {
      host_.DoEvents();
      return std::string();
    }
    const std::uint64_t fullBlocks = length / kBlockBytes;
    const std::uint64_t rest = length - fullBlocks * kBlockBytes;
    StartDigest();
    std::vector<std::uint8_t> buffer;
    // A short read means the file changed or could not be read whole: its
    // digest would describe bytes that are not the file's.
    const auto readBlock = [&](std::uint64_t bytes) {
      return platform_.ReadFile(file.Get(), static_cast<std::uint32_t>(bytes), &buffer) &&
             buffer.size() == bytes;
    };
    for (std::uint64_t block = 0; block < fullBlocks; ++block) {
      if (!readBlock(kBlockBytes)) {
        DestroyHash();
        host_.DoEvents();
        return std::string();
      }
      AddBlock(buffer);
    }
    if (rest > 0) {
      if (!readBlock(rest)) {
        DestroyHash();
        host_.DoEvents();
        return std::string();
      }
      AddBlock(buffer);
    }
    return FinishDigest();
  } catch (const platform::RuntimeError&) {
    DestroyHash();
    host_.DoEvents();
    return std::string();
  }
}

std::string MD5Hash::HashBytes(const std::vector<std::uint8_t>& data) {
  StartDigest();
  try {
    AddBlock(data);
    return FinishDigest();
  } catch (const platform::RuntimeError&) {
    DestroyHash();
    throw;
  }
}

void MD5Hash::StartDigest() {
  DestroyHash();
  if (!platform_.CryptCreateHash(provider_, platform::kCalgMd5, 0, 0, &hash_)) {
    hash_ = platform::kNullHandle;
    Raise(md5errors::kCreateHash, "Failed to create CryptoAPI Hash object, system error ",
          "MD5Hash");
  }
}

void MD5Hash::AddBlock(const std::vector<std::uint8_t>& block) {
  if (!platform_.CryptHashData(hash_, block.data(), static_cast<std::uint32_t>(block.size()), 0)) {
    Raise(md5errors::kHashData, "Failed to hash data block, system error ", "MD5Hash");
  }
}

std::string MD5Hash::FinishDigest() {
  std::vector<std::uint8_t> sizeValue;
  if (!platform_.CryptGetHashParam(hash_, platform::kHpHashSize, &sizeValue)) {
    Raise(md5errors::kHashSize, "Failed to obtain hash value length, system error ", "MD5Hash");
  }
  std::vector<std::uint8_t> digest(LittleEndianValue(sizeValue));
  if (!platform_.CryptGetHashParam(hash_, platform::kHpHashVal, &digest)) {
    Raise(md5errors::kHashValue, "Failed to obtain hash value, system error ", "MD5Hash");
  }
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(digest.size() * 2);
  for (std::uint8_t byte : digest) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0xF];
  }
  DestroyHash();
  return text;
}

void MD5Hash::DestroyHash() {
  if (hash_ != platform::kNullHandle) platform_.CryptDestroyHash(hash_);
  hash_ = platform::kNullHandle;
}

void MD5Hash::Raise(std::int64_t number, const std::string& text, const char* source) {
  const std::uint32_t systemError = platform_.GetLastError();
  throw platform::RuntimeError(number, text + std::to_string(systemError), source);
}

}  // namespace quellix
