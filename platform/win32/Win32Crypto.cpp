// CryptoAPI calls (advapi32): the provider context, hash objects and the
// check of a signature with an imported public key.
#include "platform/win32/Win32Platform.h"

#include "platform/win32/HandleCasts.h"

namespace platform::win32 {

bool Win32Platform::CryptAcquireContextA(Handle* provider, const std::string& container,
                                         const std::string& providerName,
                                         std::uint32_t providerType, std::uint32_t flags) {
  HCRYPTPROV acquired = 0;
  if (!::CryptAcquireContextA(&acquired, NullWhenEmpty(container), NullWhenEmpty(providerName),
                              providerType, flags)) {
    return false;
  }
  *provider = static_cast<Handle>(acquired);
  return true;
}

bool Win32Platform::CryptCreateHash(Handle provider, std::uint32_t algorithm, Handle key,
                                    std::uint32_t flags, Handle* hash) {
  HCRYPTHASH created = 0;
  if (!::CryptCreateHash(ToCryptProvider(provider), algorithm, ToCryptKey(key), flags, &created)) {
    return false;
  }
  *hash = static_cast<Handle>(created);
  return true;
}

bool Win32Platform::CryptHashData(Handle hash, const std::uint8_t* data, std::uint32_t length,
                                  std::uint32_t flags) {
  return ::CryptHashData(ToCryptHash(hash), data, length, flags) != FALSE;
}

bool Win32Platform::CryptGetHashParam(Handle hash, std::uint32_t param,
                                      std::vector<std::uint8_t>* value) {
  // The parameter's size first, then its bytes: the caller gets the whole value.
  DWORD length = 0;
  if (!::CryptGetHashParam(ToCryptHash(hash), param, nullptr, &length, 0)) return false;
  std::vector<BYTE> buffer(length > 0 ? length : 1);
  if (!::CryptGetHashParam(ToCryptHash(hash), param, buffer.data(), &length, 0)) return false;
  value->assign(buffer.begin(), buffer.begin() + length);
  return true;
}

bool Win32Platform::CryptDestroyHash(Handle hash) {
  return ::CryptDestroyHash(ToCryptHash(hash)) != FALSE;
}

bool Win32Platform::CryptReleaseContext(Handle provider, std::uint32_t flags) {
  return ::CryptReleaseContext(ToCryptProvider(provider), flags) != FALSE;
}

bool Win32Platform::CryptImportKey(Handle provider, const std::vector<std::uint8_t>& blob,
                                   std::uint32_t flags, Handle* key) {
  HCRYPTKEY imported = 0;
  if (!::CryptImportKey(ToCryptProvider(provider), blob.data(), static_cast<DWORD>(blob.size()), 0,
                        flags, &imported)) {
    return false;
  }
  *key = static_cast<Handle>(imported);
  return true;
}

bool Win32Platform::CryptVerifySignatureA(Handle hash, const std::vector<std::uint8_t>& signature,
                                          Handle key, std::uint32_t flags) {
  return ::CryptVerifySignatureA(ToCryptHash(hash), signature.data(),
                                 static_cast<DWORD>(signature.size()), ToCryptKey(key), nullptr,
                                 flags) != FALSE;
}

bool Win32Platform::CryptDestroyKey(Handle key) {
  return ::CryptDestroyKey(ToCryptKey(key)) != FALSE;
}

}  // namespace platform::win32
