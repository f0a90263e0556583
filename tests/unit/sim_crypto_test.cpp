// The sim's CryptoAPI MD5, driven the way MD5Hash drives the real provider,
// checked against the test suite of RFC 1321.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/SimPlatform.h"
#include "platform/sim/SimSignatures.h"

namespace platform::sim {
namespace {

constexpr const char* kBaseProvider = "Microsoft Base Cryptographic Provider v1.0";

class SimCrypto : public ::testing::Test {
 protected:
  SimCrypto() : platform(machine) {
    EXPECT_TRUE(platform.CryptAcquireContextA(&provider, "", kBaseProvider, kProvRsaFull,
                                              kCryptVerifyContext));
  }
  ~SimCrypto() override { platform.CryptReleaseContext(provider, 0); }

  // StartDigest, AddBlock per block, FinishDigest: the digest text in upper case.
  std::string Digest(const std::vector<std::string>& blocks) {
    Handle hash = kNullHandle;
    if (!platform.CryptCreateHash(provider, kCalgMd5, 0, 0, &hash)) return "<create failed>";
    for (const std::string& block : blocks) {
      const auto* bytes = reinterpret_cast<const std::uint8_t*>(block.data());
      if (!platform.CryptHashData(hash, bytes, static_cast<std::uint32_t>(block.size()), 0)) {
        return "<hash failed>";
      }
    }
    std::vector<std::uint8_t> size;
    std::vector<std::uint8_t> value;
    if (!platform.CryptGetHashParam(hash, kHpHashSize, &size) || size.size() != 4 ||
        size[0] != 16 || !platform.CryptGetHashParam(hash, kHpHashVal, &value)) {
      return "<value failed>";
    }
    platform.CryptDestroyHash(hash);
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (std::uint8_t byte : value) {
      text += kDigits[byte >> 4];
      text += kDigits[byte & 0xF];
    }
    return text;
  }

  Machine machine;
  SimPlatform platform;
  Handle provider = kNullHandle;
};

TEST_F(SimCrypto, DigestsMatchTheRfc1321TestSuite) {
  EXPECT_EQ(Digest({}), "D41D8CD98F00B204E9800998ECF8427E");
  EXPECT_EQ(Digest({"a"}), "0CC175B9C0F1B6A831C399E269772661");
  EXPECT_EQ(Digest({"abc"}), "900150983CD24FB0D6963F7D28E17F72");
  EXPECT_EQ(Digest({"message digest"}), "F96B697D7CB7938D525A2F31AAF161D0");
  EXPECT_EQ(Digest({"abcdefghijklmnopqrstuvwxyz"}), "C3FCD3D76192E4007DFB496CCA67E13B");
  EXPECT_EQ(Digest({"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"}),
            "D174AB98D277D9F5A5611C2C9F419D9F");
  EXPECT_EQ(Digest({"1234567890123456789012345678901234567890"
                    "1234567890123456789012345678901234567890"}),
            "57EDF4A22BE3C955AC49DA2E2107B67A");
}

TEST_F(SimCrypto, BlockBoundariesDoNotChangeTheDigest) {
  // A file of 16385 bytes is hashed as one 16384-byte block and a 1-byte tail.
  std::string file(16385, '\0');
  for (std::size_t i = 0; i < file.size(); ++i) file[i] = static_cast<char>(i * 31 + 7);
  const std::string whole = Digest({file});
  EXPECT_EQ(Digest({file.substr(0, 16384), file.substr(16384)}), whole);
  EXPECT_EQ(Digest({file.substr(0, 55), file.substr(55, 9), file.substr(64)}), whole);
  EXPECT_NE(Digest({file.substr(0, 16384)}), whole);
}

TEST_F(SimCrypto, AHashTakesNoDataAfterItsValueWasRead) {
  Handle hash = kNullHandle;
  ASSERT_TRUE(platform.CryptCreateHash(provider, kCalgMd5, 0, 0, &hash));
  std::vector<std::uint8_t> value;
  ASSERT_TRUE(platform.CryptGetHashParam(hash, kHpHashVal, &value));
  const std::uint8_t byte = 'x';
  EXPECT_FALSE(platform.CryptHashData(hash, &byte, 1, 0));
  EXPECT_EQ(platform.GetLastError(), 0x8009000Cu) << "NTE_BAD_HASH_STATE, as the providers report";
  std::vector<std::uint8_t> again;
  ASSERT_TRUE(platform.CryptGetHashParam(hash, kHpHashVal, &again));
  EXPECT_EQ(again, value);
  EXPECT_TRUE(platform.CryptDestroyHash(hash));
  EXPECT_FALSE(platform.CryptDestroyHash(hash));
  EXPECT_EQ(platform.GetLastError(), 6u);
}

TEST_F(SimCrypto, ProviderAndHashArgumentsAreChecked) {
  Handle other = kNullHandle;
  EXPECT_FALSE(platform.CryptAcquireContextA(&other, "", kBaseProvider, 99, kCryptVerifyContext));
  EXPECT_EQ(platform.GetLastError(), simerror::kNteProvTypeNotDef);
  // The base provider is not of the AES provider's type.
  EXPECT_FALSE(platform.CryptAcquireContextA(&other, "", kBaseProvider, platform::kProvRsaAes,
                                             kCryptVerifyContext));
  EXPECT_EQ(platform.GetLastError(),
            SimHasSignatures() ? simerror::kNteProvTypeNoMatch : simerror::kNteProvTypeNotDef);
  EXPECT_FALSE(platform.CryptAcquireContextA(&other, "", "No Such Provider", kProvRsaFull,
                                             kCryptVerifyContext));
  EXPECT_EQ(platform.GetLastError(), simerror::kNteKeysetNotDef);
  EXPECT_FALSE(platform.CryptAcquireContextA(&other, "", kBaseProvider, kProvRsaFull, 0));
  EXPECT_EQ(platform.GetLastError(), simerror::kNteBadKeyset);

  Handle hash = kNullHandle;
  EXPECT_FALSE(platform.CryptCreateHash(provider, 32772, 0, 0, &hash));
  EXPECT_EQ(platform.GetLastError(), simerror::kNteBadAlgId);
  EXPECT_FALSE(platform.CryptCreateHash(0xABCD, kCalgMd5, 0, 0, &hash));
  EXPECT_EQ(platform.GetLastError(), 6u);
}

}  // namespace
}  // namespace platform::sim
