#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "platform/RuntimeError.h"
#include "quellix/engine/detection/MD5Hash.h"
#include "tests/support/SimQuellix.h"
#include "tests/support/TestText.h"

namespace quellix {
namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

// Bytes that differ in every block, so that a lost or repeated block changes
// the digest.
std::vector<std::uint8_t> Pattern(std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<std::uint8_t>((i * 7 + i / 251) & 0xFF);
  return bytes;
}

class MD5HashTest : public testing::Test {
 protected:
  test::SimQuellix sim;
};

TEST_F(MD5HashTest, HashBytesGivesTheRfc1321TestSuiteInUpperCaseHex) {
  MD5Hash md5(sim.platform, sim.host);
  const std::pair<const char*, const char*> vectors[] = {
      {"", "D41D8CD98F00B204E9800998ECF8427E"},
      {"a", "0CC175B9C0F1B6A831C399E269772661"},
      {"abc", "900150983CD24FB0D6963F7D28E17F72"},
      {"message digest", "F96B697D7CB7938D525A2F31AAF161D0"},
      {"abcdefghijklmnopqrstuvwxyz", "C3FCD3D76192E4007DFB496CCA67E13B"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "D174AB98D277D9F5A5611C2C9F419D9F"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57EDF4A22BE3C955AC49DA2E2107B67A"},
  };
  for (const auto& [text, digest] : vectors) {
    EXPECT_EQ(md5.HashBytes(Bytes(text)), digest) << "for \"" << text << "\"";
  }
}

TEST_F(MD5HashTest, HashFileReadsFullBlocksAndTheTail) {
  MD5Hash md5(sim.platform, sim.host);
  for (std::size_t size : {0u, 1u, 16383u, 16384u, 16385u, 3u * 16384u, 3u * 16384u + 77u}) {
    const auto contents = Pattern(size);
    const std::string path = "C:\\data\\file" + std::to_string(size) + ".bin";
    sim.machine.files.AddFile(path, contents);
    const std::string digest = md5.HashFile(path);
    EXPECT_EQ(digest, test::ReferenceMd5Text(contents)) << size << " bytes";
    EXPECT_EQ(digest, md5.HashBytes(contents)) << size << " bytes";
    ASSERT_EQ(digest.size(), 32u);
    for (char c : digest) EXPECT_TRUE(std::isdigit(c) || (c >= 'A' && c <= 'F')) << digest;
  }
  sim.machine.files.AddTextFile("C:\\data\\abc.txt", "abc");
  EXPECT_EQ(md5.HashFile("c:\\DATA\\ABC.TXT"), "900150983CD24FB0D6963F7D28E17F72");
}

TEST_F(MD5HashTest, HashFileGivesEmptyTextForMissingLockedAndUnreadableFiles) {
  MD5Hash md5(sim.platform, sim.host);
  sim.machine.files.AddTextFile("C:\\data\\locked.exe", "worm").locked = true;
  sim.machine.files.AddTextFile("C:\\data\\bad.exe", std::string(20000, 'x'));
  sim.machine.files.AddFolder("C:\\data\\folder.exe");
  sim.machine.InjectFault("ReadFile", "C:\\data\\bad.exe", 23, 1);

  int before = sim.host.doEventsCalls;
  EXPECT_EQ(md5.HashFile("C:\\data\\missing.exe"), "");
  EXPECT_EQ(sim.host.doEventsCalls, before + 1) << "an early exit yields once";
  EXPECT_EQ(md5.HashFile(""), "");
  EXPECT_EQ(md5.HashFile("Q:\\nowhere.exe"), "");
  before = sim.host.doEventsCalls;
  EXPECT_EQ(md5.HashFile("C:\\data\\locked.exe"), "");
  EXPECT_EQ(sim.host.doEventsCalls, before + 1);
  EXPECT_EQ(md5.HashFile("C:\\data\\bad.exe"), "");
  EXPECT_EQ(md5.HashFile("C:\\data\\folder.exe"), "");
  // The object still works, and nothing was left open or changed.
  EXPECT_EQ(md5.HashFile("C:\\data\\bad.exe"),
            test::ReferenceMd5Text(Bytes(std::string(20000, 'x'))));
  EXPECT_TRUE(sim.machine.changes.empty());
}

struct CryptoFailure {
  const char* call;
  std::int64_t number;
  const char* source;
  const char* description;
};

TEST_F(MD5HashTest, ProviderFailuresRaiseTheirNumberSourceAndSystemError) {
  const CryptoFailure failures[] = {
      {"CryptCreateHash", md5errors::kCreateHash, "MD5Hash",
       "Failed to create CryptoAPI Hash object, system error 1234"},
      {"CryptHashData", md5errors::kHashData, "MD5Hash",
       "Failed to hash data block, system error 1234"},
      {"CryptGetHashParam", md5errors::kHashSize, "MD5Hash",
       "Failed to obtain hash value length, system error 1234"},
  };
  for (const CryptoFailure& failure : failures) {
    MD5Hash md5(sim.platform, sim.host);
    sim.machine.InjectFault(failure.call, "", 1234, 1);
    try {
      md5.HashBytes(Bytes("abc"));
      ADD_FAILURE() << failure.call << " failing raised nothing";
    } catch (const platform::RuntimeError& error) {
      EXPECT_EQ(error.Number(), failure.number) << failure.call;
      EXPECT_EQ(error.Source(), failure.source) << failure.call;
      EXPECT_EQ(error.Description(), failure.description) << failure.call;
    }
    EXPECT_EQ(md5.HashBytes(Bytes("abc")), "900150983CD24FB0D6963F7D28E17F72")
        << "the object recovers after " << failure.call;
  }
}

TEST_F(MD5HashTest, AcquiringTheProviderFailingMakesCreationFail) {
  sim.machine.InjectFault("CryptAcquireContextA", "", 0x80090016u, 1);
  try {
    MD5Hash md5(sim.platform, sim.host);
    ADD_FAILURE() << "created without a provider";
  } catch (const platform::RuntimeError& error) {
    EXPECT_EQ(error.Number(), -2147171502) << "hexadecimal 8004C352 as a 32-bit number";
    EXPECT_EQ(error.Source(), "MD5Hash.Class_Initialize");
    EXPECT_EQ(error.Description(),
              "Failed to obtain access to CryptoAPI, system error " + std::to_string(0x80090016u));
  }
}

TEST_F(MD5HashTest, HashFileAbsorbsProviderFailures) {
  MD5Hash md5(sim.platform, sim.host);
  sim.machine.files.AddTextFile("C:\\data\\a.exe", "abc");
  for (const char* call : {"CryptCreateHash", "CryptHashData", "CryptGetHashParam"}) {
    sim.machine.InjectFault(call, "", 5, 1);
    const int before = sim.host.doEventsCalls;
    EXPECT_EQ(md5.HashFile("C:\\data\\a.exe"), "") << call;
    EXPECT_EQ(sim.host.doEventsCalls, before + 1) << call;
    EXPECT_EQ(md5.HashFile("C:\\data\\a.exe"), "900150983CD24FB0D6963F7D28E17F72") << call;
  }
}

}  // namespace
}  // namespace quellix
