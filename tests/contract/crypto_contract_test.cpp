// MD5 through the cryptographic provider, called as the digest class calls
// it; checked against the test suite published with RFC 1321.
#include <cstdio>
#include <string>
#include <vector>

#include "tests/contract/ContractTest.h"

namespace contract {
namespace {

using platform::Handle;

constexpr const char* kBaseProvider = "Microsoft Base Cryptographic Provider v1.0";

struct DigestVector {
  std::string message;
  std::string digest;  // lower-case hex, as RFC 1321 prints it
};

// RFC 1321, appendix A.5.
const std::vector<DigestVector>& Rfc1321Suite() {
  static const std::vector<DigestVector> suite = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"1234567890123456789012345678901234567890"
       "1234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  return suite;
}

std::string Hex(const std::vector<std::uint8_t>& bytes) {
  std::string text;
  char pair[3];
  for (std::uint8_t byte : bytes) {
    std::snprintf(pair, sizeof(pair), "%02x", byte);
    text += pair;
  }
  return text;
}

class CryptoContract : public ContractTest {
 protected:
  void SetUp() override {
    const auto acquired = Observe(sys(), [&] {
      return sys().CryptAcquireContextA(&provider_, "", kBaseProvider, platform::kProvRsaFull,
                                        platform::kCryptVerifyContext);
    });
    ASSERT_TRUE(acquired.value) << acquired;
  }

  void TearDown() override {
    if (provider_ == platform::kNullHandle) return;
    const auto released = Observe(sys(), [&] { return sys().CryptReleaseContext(provider_, 0); });
    EXPECT_TRUE(released.value) << released;
  }

  // The digest of the blocks, fed one CryptHashData call each, as lower-case hex.
  std::string Digest(const std::vector<std::string>& blocks) {
    Handle hash = platform::kNullHandle;
    const auto created = Observe(sys(), [&] {
      return sys().CryptCreateHash(provider_, platform::kCalgMd5, platform::kNullHandle, 0, &hash);
    });
    EXPECT_TRUE(created.value) << created;
    if (!created.value) return std::string();
    for (const auto& block : blocks) {
      const auto fed = Observe(sys(), [&] {
        return sys().CryptHashData(hash, reinterpret_cast<const std::uint8_t*>(block.data()),
                                   static_cast<std::uint32_t>(block.size()), 0);
      });
      EXPECT_TRUE(fed.value) << fed;
    }
    std::vector<std::uint8_t> size;
    const auto sized =
        Observe(sys(), [&] { return sys().CryptGetHashParam(hash, platform::kHpHashSize, &size); });
    EXPECT_TRUE(sized.value) << sized;
    EXPECT_EQ(size, DwordValue(16)) << "HP_HASHSIZE is a 4-byte count of 16";
    std::vector<std::uint8_t> value;
    const auto read =
        Observe(sys(), [&] { return sys().CryptGetHashParam(hash, platform::kHpHashVal, &value); });
    EXPECT_TRUE(read.value) << read;
    EXPECT_EQ(value.size(), 16u);
    const auto destroyed = Observe(sys(), [&] { return sys().CryptDestroyHash(hash); });
    EXPECT_TRUE(destroyed.value) << destroyed;
    return Hex(value);
  }

 private:
  Handle provider_ = platform::kNullHandle;
};

TEST_F(CryptoContract, Rfc1321SuiteInOneBlock) {
  for (const auto& vector : Rfc1321Suite()) {
    SCOPED_TRACE("\"" + vector.message + "\"");
    // An empty file feeds no block at all.
    const std::vector<std::string> blocks = vector.message.empty()
                                                ? std::vector<std::string>{}
                                                : std::vector<std::string>{vector.message};
    EXPECT_EQ(Digest(blocks), vector.digest);
  }
}

TEST_F(CryptoContract, Rfc1321SuiteInUnevenBlocks) {
  for (const auto& vector : Rfc1321Suite()) {
    SCOPED_TRACE("\"" + vector.message + "\"");
    std::vector<std::string> blocks;
    for (std::size_t at = 0, size = 1; at < vector.message.size(); at += size, size += 3) {
      blocks.push_back(vector.message.substr(at, size));
    }
    EXPECT_EQ(Digest(blocks), vector.digest);
  }
}

// Files are read in blocks of 16384 bytes and a shorter tail.
TEST_F(CryptoContract, BlockAndTailGiveTheDigestOfTheWhole) {
  std::string whole;
  for (int i = 0; i < 16385; ++i) whole.push_back(static_cast<char>((i * 7) & 0xFF));
  EXPECT_EQ(Digest({whole.substr(0, 16384), whole.substr(16384)}), Digest({whole}));
}

}  // namespace
}  // namespace contract
