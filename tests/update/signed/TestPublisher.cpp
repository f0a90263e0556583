#include "tests/update/signed/TestPublisher.h"

#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/rsa.h>

#include <cstdio>
#include <memory>
#include <stdexcept>

namespace quellix::update::test {
namespace {

constexpr int kBits = 2048;

void Require(bool holds, const char* what) {
  if (!holds) throw std::runtime_error(std::string("TestPublisher: ") + what);
}

std::vector<std::uint8_t> LittleEndian(const BIGNUM* number, std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  Require(BN_bn2lebinpad(number, bytes.data(), static_cast<int>(size)) == static_cast<int>(size),
          "number too large");
  return bytes;
}

std::vector<std::uint8_t> LittleEndian32(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

}  // namespace

struct TestPublisher::Key {
  Key() = default;
  ~Key() { EVP_PKEY_free(pair); }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  EVP_PKEY* pair = nullptr;
};

const TestPublisher& TestPublisher::Get() {
  static const TestPublisher publisher;
  return publisher;
}

TestPublisher::TestPublisher() : key_(std::make_unique<Key>()) {
  key_->pair = EVP_RSA_gen(kBits);
  Require(key_->pair != nullptr, "no key pair");
  BIGNUM* n = nullptr;
  BIGNUM* e = nullptr;
  EVP_PKEY_get_bn_param(key_->pair, OSSL_PKEY_PARAM_RSA_N, &n);
  EVP_PKEY_get_bn_param(key_->pair, OSSL_PKEY_PARAM_RSA_E, &e);
  const std::unique_ptr<BIGNUM, void (*)(BIGNUM*)> modulus(n, BN_free);
  const std::unique_ptr<BIGNUM, void (*)(BIGNUM*)> exponent(e, BN_free);
  Require(modulus && exponent, "no public key");
  // BLOBHEADER: PUBLICKEYBLOB, version 2, CALG_RSA_SIGN; RSAPUBKEY: "RSA1",
  // the bit length and the exponent; then the modulus, least significant first.
  blob_ = {0x06, 0x02, 0x00, 0x00, 0x00, 0x24, 0x00, 0x00, 'R', 'S', 'A', '1'};
  const auto bitLength = LittleEndian32(kBits);
  blob_.insert(blob_.end(), bitLength.begin(), bitLength.end());
  const auto exponentBytes = LittleEndian(exponent.get(), 4);
  blob_.insert(blob_.end(), exponentBytes.begin(), exponentBytes.end());
  const auto modulusBytes = LittleEndian(modulus.get(), kBits / 8);
  blob_.insert(blob_.end(), modulusBytes.begin(), modulusBytes.end());
}

TestPublisher::~TestPublisher() = default;

std::string TestPublisher::SignatureText(const std::string& body) const {
  std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX*)> context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
  std::size_t size = 0;
  Require(context &&
              EVP_DigestSignInit(context.get(), nullptr, EVP_sha256(), nullptr, key_->pair) == 1 &&
              EVP_DigestSign(context.get(), nullptr, &size,
                             reinterpret_cast<const unsigned char*>(body.data()), body.size()) == 1,
          "cannot sign");
  std::vector<unsigned char> signature(size);
  Require(EVP_DigestSign(context.get(), signature.data(), &size,
                         reinterpret_cast<const unsigned char*>(body.data()), body.size()) == 1,
          "cannot sign");
  std::string text;
  char pair[3];
  for (std::size_t i = 0; i < size; ++i) {
    std::snprintf(pair, sizeof(pair), "%02x", signature[i]);
    text += pair;
  }
  return text + "\r\n";
}

}  // namespace quellix::update::test
