// The sim's SHA-256 and RSA signature check from OpenSSL (native build).
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/param_build.h>
#include <openssl/rsa.h>

#include <memory>

#include "platform/sim/SimSignatures.h"

namespace platform::sim {
namespace {

template <typename T, void (*Free)(T*)>
struct Freer {
  void operator()(T* object) const { Free(object); }
};
using Bignum = std::unique_ptr<BIGNUM, Freer<BIGNUM, BN_free>>;
using ParamBuilder = std::unique_ptr<OSSL_PARAM_BLD, Freer<OSSL_PARAM_BLD, OSSL_PARAM_BLD_free>>;
using Params = std::unique_ptr<OSSL_PARAM, Freer<OSSL_PARAM, OSSL_PARAM_free>>;
using KeyContext = std::unique_ptr<EVP_PKEY_CTX, Freer<EVP_PKEY_CTX, EVP_PKEY_CTX_free>>;
using Key = std::unique_ptr<EVP_PKEY, Freer<EVP_PKEY, EVP_PKEY_free>>;

Key PublicKey(const std::vector<std::uint8_t>& modulus, std::uint32_t exponent) {
  Bignum n(BN_bin2bn(modulus.data(), static_cast<int>(modulus.size()), nullptr));
  Bignum e(BN_new());
  ParamBuilder builder(OSSL_PARAM_BLD_new());
  if (!n || !e || !builder || BN_set_word(e.get(), exponent) != 1 ||
      OSSL_PARAM_BLD_push_BN(builder.get(), OSSL_PKEY_PARAM_RSA_N, n.get()) != 1 ||
      OSSL_PARAM_BLD_push_BN(builder.get(), OSSL_PKEY_PARAM_RSA_E, e.get()) != 1) {
    return nullptr;
  }
  Params params(OSSL_PARAM_BLD_to_param(builder.get()));
  KeyContext context(EVP_PKEY_CTX_new_from_name(nullptr, "RSA", nullptr));
  EVP_PKEY* key = nullptr;
  if (!params || !context || EVP_PKEY_fromdata_init(context.get()) != 1 ||
      EVP_PKEY_fromdata(context.get(), &key, EVP_PKEY_PUBLIC_KEY, params.get()) != 1) {
    return nullptr;
  }
  return Key(key);
}

}  // namespace

bool SimHasSignatures() { return true; }

std::vector<std::uint8_t> Sha256Of(std::string_view data) {
  std::vector<std::uint8_t> digest(32);
  unsigned int size = 0;
  if (EVP_Digest(data.data(), data.size(), digest.data(), &size, EVP_sha256(), nullptr) != 1) {
    return {};
  }
  return digest;
}

bool RsaSha256SignatureHolds(const std::vector<std::uint8_t>& modulus, std::uint32_t exponent,
                             const std::vector<std::uint8_t>& digest,
                             const std::vector<std::uint8_t>& signature) {
  const Key key = PublicKey(modulus, exponent);
  if (!key) return false;
  KeyContext context(EVP_PKEY_CTX_new(key.get(), nullptr));
  return context && EVP_PKEY_verify_init(context.get()) == 1 &&
         EVP_PKEY_CTX_set_rsa_padding(context.get(), RSA_PKCS1_PADDING) == 1 &&
         EVP_PKEY_CTX_set_signature_md(context.get(), EVP_sha256()) == 1 &&
         EVP_PKEY_verify(context.get(), signature.data(), signature.size(), digest.data(),
                         digest.size()) == 1;
}

}  // namespace platform::sim
