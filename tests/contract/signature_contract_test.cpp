// RSA signatures with SHA-256 through the AES provider, called as the feed's
// check calls them: a public key imported from a PUBLICKEYBLOB, a hash of
// the signed bytes, and the signature least significant byte first. The key
// pair and the signature were made once with OpenSSL for this test (openssl
// genpkey -algorithm RSA -pkeyopt rsa_keygen_bits:2048; openssl dgst -sha256
// -sign); the private key was not kept.
#include <string>
#include <vector>

#include "tests/contract/ContractTest.h"

namespace contract {
namespace {

using platform::Handle;

const char* const kMessage = "The feed a publisher signed.\r\r\n";
const char* const kMessageSha256 =
    "CD52821BB5067104B54DEEE79EA3B8A336135BBBBC43E338DD18B0FF16579C21";
const char* const kPublicKeyBlob =
    "06020000002400005253413100080000010001009736E59710F76CD8C269FF04"
    "267DBC46C5857B3FC8A7469FA9B53CCAC3561E2C4DA87D1737692550773557C0"
    "39781360EF5613B1D3C9699308AF334F2DD132B8841CD90D3FC9B14E49BB0B34"
    "63A4BDE5E64A234B87F6589D442260726B065A2A53EF1EBC4F6AF162CFB6F52A"
    "3368D87ABB0BD366FC328E130AC641A4396FE73BFAA3B5666C8EDA282C2DE063"
    "BF63218FF05FA6C7A62BE8D721ED91558AAA068DB6CFC0B58F42E31B01A49CC5"
    "CD77FC764E94618E14ACC982F415C6DEF553218DB02D1A0E26016AC79D1B7104"
    "3FA5B36BD1B187CD13D8AF8384E35C4109F148747F394CC073059F279CCC785C"
    "87120A2A6D7B42E8EAE6E726D289EE7592CCB1DA";
// As PKCS #1 and OpenSSL write it: most significant byte first.
const char* const kSignature =
    "9CD7F037413594C636FD0E71C717C6A0E808D761A90E6BFA773E11CB2DF0D7A4"
    "EDFE413DB4FF691AB99CBA46DE0EEFE7D80E1BB9D3B232FFF04628390BFD557F"
    "9B886F5B907B245292019E2438A24A43AC014EDAE25ECBB8638F173D24445E68"
    "459EE56AE1BFB5E182FA9C9F79D6EBC83276B4FA5F5E68B2C851463E7983D91D"
    "6370F8654558E9B7864221ABB14113041B82ACA72F4312E7FEDAD4C2B224898E"
    "52B05D030831DB6447EA3B7752B7F30EEDEF52715EE9BAA7241B24FC507B0193"
    "8BCF76E2B2EBDAD270F17D8FA7E0CA78D704D72527C2CC4887EDDC4B65548A50"
    "DB4EA341BCCD58207F96490341987F9BB48B902E502B700C4AEE168A17216DF9";

std::vector<std::uint8_t> FromHex(const std::string& text) {
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
    bytes.push_back(static_cast<std::uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

std::vector<std::uint8_t> Reversed(std::vector<std::uint8_t> bytes) {
  return std::vector<std::uint8_t>(bytes.rbegin(), bytes.rend());
}

class SignatureContract : public ContractTest {
 protected:
  void SetUp() override {
    const auto acquired = Observe(sys(), [&] {
      return sys().CryptAcquireContextA(&provider_, "", "", platform::kProvRsaAes,
                                        platform::kCryptVerifyContext);
    });
    ASSERT_TRUE(acquired.value) << acquired;
    const auto imported = Observe(
        sys(), [&] { return sys().CryptImportKey(provider_, FromHex(kPublicKeyBlob), 0, &key_); });
    ASSERT_TRUE(imported.value) << imported;
  }

  void TearDown() override {
    if (key_ != platform::kNullHandle) {
      EXPECT_TRUE(sys().CryptDestroyKey(key_));
    }
    if (provider_ != platform::kNullHandle) {
      EXPECT_TRUE(sys().CryptReleaseContext(provider_, 0));
    }
  }

  // A SHA-256 hash of the text; the caller destroys it.
  Handle HashOf(const std::string& text) {
    Handle hash = platform::kNullHandle;
    const auto created = Observe(sys(), [&] {
      return sys().CryptCreateHash(provider_, platform::kCalgSha256, platform::kNullHandle, 0,
                                   &hash);
    });
    EXPECT_TRUE(created.value) << created;
    const auto fed = Observe(sys(), [&] {
      return sys().CryptHashData(hash, reinterpret_cast<const std::uint8_t*>(text.data()),
                                 static_cast<std::uint32_t>(text.size()), 0);
    });
    EXPECT_TRUE(fed.value) << fed;
    return hash;
  }

  // Whether the signature (least significant byte first) holds for the text.
  Outcome<bool> Verify(const std::string& text, const std::vector<std::uint8_t>& signature) {
    const Handle hash = HashOf(text);
    const auto verified =
        Observe(sys(), [&] { return sys().CryptVerifySignatureA(hash, signature, key_, 0); });
    EXPECT_TRUE(sys().CryptDestroyHash(hash));
    return verified;
  }

  Handle provider_ = platform::kNullHandle;
  Handle key_ = platform::kNullHandle;
};

TEST_F(SignatureContract, Sha256OfTheSignedBytes) {
  const Handle hash = HashOf(kMessage);
  std::vector<std::uint8_t> value;
  const auto read =
      Observe(sys(), [&] { return sys().CryptGetHashParam(hash, platform::kHpHashVal, &value); });
  EXPECT_TRUE(read.value) << read;
  EXPECT_EQ(value, FromHex(kMessageSha256));
  EXPECT_TRUE(sys().CryptDestroyHash(hash));
}

TEST_F(SignatureContract, TheSignatureHoldsForItsBytesOnly) {
  const auto holds = Verify(kMessage, Reversed(FromHex(kSignature)));
  EXPECT_TRUE(holds.value) << holds;

  // Most significant byte first is not how CryptoAPI takes it. (Read the
  // wrong way round the signature may exceed the modulus, which Wine reports
  // as NTE_FAIL rather than NTE_BAD_SIGNATURE; either way it does not hold.)
  const auto unreversed = Verify(kMessage, FromHex(kSignature));
  EXPECT_FALSE(unreversed.value) << unreversed;

  std::string changed = kMessage;
  changed[4] = 'F';
  const auto otherBytes = Verify(changed, Reversed(FromHex(kSignature)));
  EXPECT_FALSE(otherBytes.value) << otherBytes;
  EXPECT_EQ(otherBytes.lastError, platform::kNteBadSignature) << otherBytes;

  std::vector<std::uint8_t> flipped = Reversed(FromHex(kSignature));
  flipped[100] ^= 0x01;
  const auto damaged = Verify(kMessage, flipped);
  EXPECT_FALSE(damaged.value) << damaged;
  EXPECT_EQ(damaged.lastError, platform::kNteBadSignature) << damaged;

  std::vector<std::uint8_t> truncated = Reversed(FromHex(kSignature));
  truncated.resize(truncated.size() - 1);
  const auto shortened = Verify(kMessage, truncated);
  EXPECT_FALSE(shortened.value) << shortened;
}

}  // namespace
}  // namespace contract
