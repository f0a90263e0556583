// The CryptoAPI provider of SimPlatform: MD5 only, through verify contexts,
// as the base and enhanced RSA providers offer it.
#include "platform/sim/SimPlatform.h"
#include "platform/sim/SimText.h"

namespace platform::sim {

namespace {

constexpr std::uint32_t kCryptSilent = 0x40;
constexpr std::uint32_t kHpAlgId = 1;
constexpr std::size_t kMd5Size = 16;

bool IsKnownProvider(const std::string& name) {
  return name.empty() || EqualsNoCase(name, "Microsoft Base Cryptographic Provider v1.0") ||
         EqualsNoCase(name, "Microsoft Enhanced Cryptographic Provider v1.0") ||
         EqualsNoCase(name, "Microsoft Strong Cryptographic Provider");
}

std::vector<std::uint8_t> LittleEndian(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

}  // namespace

bool SimPlatform::CryptAcquireContextA(Handle* provider, const std::string& container,
                                       const std::string& providerName, std::uint32_t providerType,
                                       std::uint32_t flags) {
  if (auto fault = TakeFault("CryptAcquireContextA", {providerName})) return Fail(*fault);
  if (providerType != kProvRsaFull) return Fail(simerror::kNteProvTypeNotDef);
  if (!IsKnownProvider(providerName)) return Fail(simerror::kNteKeysetNotDef);
  if ((flags & ~(kCryptVerifyContext | kCryptSilent)) != 0) return Fail(simerror::kNteBadFlags);
  // The sim keeps no key containers: only a verify context can be had.
  if ((flags & kCryptVerifyContext) == 0 || !container.empty()) {
    return Fail(simerror::kNteBadKeyset);
  }
  HandleEntry entry;
  entry.kind = Kind::kCryptProvider;
  *provider = AddHandle(std::move(entry));
  return true;
}

bool SimPlatform::CryptCreateHash(Handle provider, std::uint32_t algorithm, Handle key,
                                  std::uint32_t flags, Handle* hash) {
  if (FindHandle(provider, Kind::kCryptProvider) == nullptr) return Fail(error::kInvalidHandle);
  if (auto fault = TakeFault("CryptCreateHash")) return Fail(*fault);
  if (algorithm != kCalgMd5) return Fail(simerror::kNteBadAlgId);
  if (key != 0) return Fail(simerror::kNteBadKey);
  if (flags != 0) return Fail(simerror::kNteBadFlags);
  HandleEntry entry;
  entry.kind = Kind::kCryptHash;
  *hash = AddHandle(std::move(entry));
  return true;
}

bool SimPlatform::CryptHashData(Handle hash, const std::uint8_t* data, std::uint32_t length,
                                std::uint32_t flags) {
  HandleEntry* entry = FindHandle(hash, Kind::kCryptHash);
  if (entry == nullptr) return Fail(error::kInvalidHandle);
  if (auto fault = TakeFault("CryptHashData")) return Fail(*fault);
  if (flags != 0) return Fail(simerror::kNteBadFlags);
  if (data == nullptr && length > 0) return Fail(error::kInvalidParameter);
  // Once its value has been read, a hash takes no more data.
  if (entry->digest) return Fail(simerror::kNteBadHashState);
  entry->md5.Update(data, length);
  return true;
}

bool SimPlatform::CryptGetHashParam(Handle hash, std::uint32_t param,
                                    std::vector<std::uint8_t>* value) {
  HandleEntry* entry = FindHandle(hash, Kind::kCryptHash);
  if (entry == nullptr) return Fail(error::kInvalidHandle);
  if (auto fault = TakeFault("CryptGetHashParam")) return Fail(*fault);
  switch (param) {
    case kHpAlgId:
      *value = LittleEndian(kCalgMd5);
      return true;
    case kHpHashSize:
      *value = LittleEndian(kMd5Size);
      return true;
    case kHpHashVal:
      if (!entry->digest) entry->digest = entry->md5.Finish();
      value->assign(entry->digest->begin(), entry->digest->end());
      return true;
    default:
      return Fail(simerror::kNteBadType);
  }
}

bool SimPlatform::CryptDestroyHash(Handle hash) {
  if (FindHandle(hash, Kind::kCryptHash) == nullptr) return Fail(error::kInvalidHandle);
  handles_.erase(hash);
  return true;
}

bool SimPlatform::CryptReleaseContext(Handle provider, std::uint32_t flags) {
  if (FindHandle(provider, Kind::kCryptProvider) == nullptr) return Fail(error::kInvalidHandle);
  if (flags != 0) return Fail(simerror::kNteBadFlags);
  handles_.erase(provider);
  return true;
}

}  // namespace platform::sim
