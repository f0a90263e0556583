// The CryptoAPI providers of SimPlatform, through verify contexts only: MD5
// as the base and enhanced RSA providers offer it, and in the AES provider
// also SHA-256 and the check of RSA signatures with an imported public key.
#include "platform/sim/SimPlatform.h"
#include "platform/sim/SimSignatures.h"
#include "platform/sim/SimText.h"

namespace platform::sim {

namespace {

constexpr std::uint32_t kCryptSilent = 0x40;
constexpr std::uint32_t kHpAlgId = 1;
constexpr std::size_t kMd5Size = 16;
constexpr std::size_t kSha256Size = 32;
constexpr std::uint32_t kCalgRsaSign = 0x2400;
constexpr std::uint32_t kCalgRsaKeyx = 0xA400;
constexpr std::uint32_t kRsa1Magic = 0x31415352;  // "RSA1"
constexpr std::size_t kPublicKeyBlobHeader = 20;  // BLOBHEADER and RSAPUBKEY

bool IsKnownProvider(const std::string& name) {
  return name.empty() || EqualsNoCase(name, "Microsoft Base Cryptographic Provider v1.0") ||
         EqualsNoCase(name, "Microsoft Enhanced Cryptographic Provider v1.0") ||
         EqualsNoCase(name, "Microsoft Strong Cryptographic Provider");
}

bool IsAesProvider(const std::string& name) {
  return name.empty() ||
         EqualsNoCase(name, "Microsoft Enhanced RSA and AES Cryptographic Provider");
}

std::vector<std::uint8_t> LittleEndian(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

std::uint32_t ReadLittleEndian(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
         static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

}  // namespace

bool SimPlatform::CryptAcquireContextA(Handle* provider, const std::string& container,
                                       const std::string& providerName, std::uint32_t providerType,
                                       std::uint32_t flags) {
  if (auto fault = TakeFault("CryptAcquireContextA", {providerName})) return Fail(*fault);
  if (providerType == kProvRsaAes) {
    if (!SimHasSignatures()) return Fail(simerror::kNteProvTypeNotDef);
    if (!IsAesProvider(providerName)) {
      return Fail(IsKnownProvider(providerName) ? simerror::kNteProvTypeNoMatch
                                                : simerror::kNteKeysetNotDef);
    }
  } else if (providerType != kProvRsaFull) {
    return Fail(simerror::kNteProvTypeNotDef);
  } else if (!IsKnownProvider(providerName)) {
    return Fail(simerror::kNteKeysetNotDef);
  }
  if ((flags & ~(kCryptVerifyContext | kCryptSilent)) != 0) return Fail(simerror::kNteBadFlags);
  // The sim keeps no key containers: only a verify context can be had.
  if ((flags & kCryptVerifyContext) == 0 || !container.empty()) {
    return Fail(simerror::kNteBadKeyset);
  }
  HandleEntry entry;
  entry.kind = Kind::kCryptProvider;
  entry.crypto = providerType;
  *provider = AddHandle(std::move(entry));
  return true;
}

bool SimPlatform::CryptCreateHash(Handle provider, std::uint32_t algorithm, Handle key,
                                  std::uint32_t flags, Handle* hash) {
  const HandleEntry* context = FindHandle(provider, Kind::kCryptProvider);
  if (context == nullptr) return Fail(error::kInvalidHandle);
  if (auto fault = TakeFault("CryptCreateHash")) return Fail(*fault);
  const bool sha256 = algorithm == kCalgSha256 && context->crypto == kProvRsaAes;
  if (algorithm != kCalgMd5 && !sha256) return Fail(simerror::kNteBadAlgId);
  if (key != 0) return Fail(simerror::kNteBadKey);
  if (flags != 0) return Fail(simerror::kNteBadFlags);
  HandleEntry entry;
  entry.kind = Kind::kCryptHash;
  entry.crypto = algorithm;
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
  if (entry->digest || entry->sealed) return Fail(simerror::kNteBadHashState);
  if (entry->crypto == kCalgSha256) {
    entry->hashed.append(reinterpret_cast<const char*>(data), length);
  } else {
    entry->md5.Update(data, length);
  }
  return true;
}

bool SimPlatform::CryptGetHashParam(Handle hash, std::uint32_t param,
                                    std::vector<std::uint8_t>* value) {
  HandleEntry* entry = FindHandle(hash, Kind::kCryptHash);
  if (entry == nullptr) return Fail(error::kInvalidHandle);
  if (auto fault = TakeFault("CryptGetHashParam")) return Fail(*fault);
  const bool sha256 = entry->crypto == kCalgSha256;
  switch (param) {
    case kHpAlgId:
      *value = LittleEndian(entry->crypto);
      return true;
    case kHpHashSize:
      *value = LittleEndian(sha256 ? kSha256Size : kMd5Size);
      return true;
    case kHpHashVal:
      if (sha256) {
        entry->sealed = true;
        *value = Sha256Of(entry->hashed);
        return true;
      }
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

bool SimPlatform::CryptImportKey(Handle provider, const std::vector<std::uint8_t>& blob,
                                 std::uint32_t flags, Handle* key) {
  if (FindHandle(provider, Kind::kCryptProvider) == nullptr) return Fail(error::kInvalidHandle);
  if (auto fault = TakeFault("CryptImportKey")) return Fail(*fault);
  if (flags != 0) return Fail(simerror::kNteBadFlags);
  // BLOBHEADER (type, version, reserved, algorithm), RSAPUBKEY (magic, bit
  // length, exponent), then the modulus, least significant byte first.
  if (blob.size() < kPublicKeyBlobHeader) return Fail(simerror::kNteBadData);
  if (blob[0] != kPublicKeyBlob) return Fail(simerror::kNteBadType);
  const std::uint32_t algorithm = ReadLittleEndian(blob, 4);
  const std::uint32_t bits = ReadLittleEndian(blob, 12);
  if (blob[1] != 2 || blob[2] != 0 || blob[3] != 0 ||
      (algorithm != kCalgRsaSign && algorithm != kCalgRsaKeyx) ||
      ReadLittleEndian(blob, 8) != kRsa1Magic || bits == 0 || bits % 8 != 0 ||
      blob.size() != kPublicKeyBlobHeader + bits / 8) {
    return Fail(simerror::kNteBadData);
  }
  HandleEntry entry;
  entry.kind = Kind::kCryptKey;
  entry.publicExponent = ReadLittleEndian(blob, 16);
  entry.modulus.assign(blob.rbegin(), blob.rend() - kPublicKeyBlobHeader);
  *key = AddHandle(std::move(entry));
  return true;
}

bool SimPlatform::CryptVerifySignatureA(Handle hash, const std::vector<std::uint8_t>& signature,
                                        Handle key, std::uint32_t flags) {
  HandleEntry* hashEntry = FindHandle(hash, Kind::kCryptHash);
  const HandleEntry* keyEntry = FindHandle(key, Kind::kCryptKey);
  if (hashEntry == nullptr || keyEntry == nullptr) return Fail(error::kInvalidHandle);
  if (auto fault = TakeFault("CryptVerifySignatureA")) return Fail(*fault);
  if (flags != 0) return Fail(simerror::kNteBadFlags);
  if (hashEntry->crypto != kCalgSha256) return Fail(simerror::kNteBadAlgId);
  hashEntry->sealed = true;
  if (signature.size() != keyEntry->modulus.size()) return Fail(kNteBadSignature);
  const std::vector<std::uint8_t> mostSignificantFirst(signature.rbegin(), signature.rend());
  if (!RsaSha256SignatureHolds(keyEntry->modulus, keyEntry->publicExponent,
                               Sha256Of(hashEntry->hashed), mostSignificantFirst)) {
    return Fail(kNteBadSignature);
  }
  return true;
}

bool SimPlatform::CryptDestroyKey(Handle key) {
  if (FindHandle(key, Kind::kCryptKey) == nullptr) return Fail(error::kInvalidHandle);
  handles_.erase(key);
  return true;
}

}  // namespace platform::sim
