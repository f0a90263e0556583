// A 64-bit Windows as a 64-bit program sees it: two system folders, and two
// registry views of HKLM\Software that share the policy keys. What a 32-bit
// program sees there (redirection, Sysnative, unreadable module lists) only
// the sim can show on this machine: tests/unit/sim_wow64_test.cpp.
#include <string>

#include "tests/contract/ContractTest.h"

namespace contract {
namespace {

class Windows64Contract : public ContractTest {
 protected:
  void SetUp() override {
    if (!backend().SixtyFourBitWindows()) GTEST_SKIP() << "not a 64-bit Windows";
  }

  std::string Folder(std::uint32_t (platform::Platform::*query)(std::string&)) {
    std::string buffer(255, ' ');
    const auto written = Observe(sys(), [&] { return (sys().*query)(buffer); });
    EXPECT_GT(written.value, 0u) << written;
    return LowerAscii(buffer.substr(0, written.value));
  }

  // The result of opening HKLM\Software\<path> in one view.
  long OpenIn(const std::string& path, std::uint32_t view) {
    platform::HKey key = 0;
    const long result = sys().RegOpenKeyExA(platform::kHkeyLocalMachine, "Software\\" + path,
                                            platform::kKeyRead | view, &key);
    if (result == platform::error::kSuccess) sys().RegCloseKey(key);
    return result;
  }

  void Create(const std::string& path) {
    platform::HKey key = 0;
    ASSERT_EQ(sys().RegCreateKeyA(platform::kHkeyLocalMachine, "Software\\" + path, &key),
              platform::error::kSuccess)
        << path;
    sys().RegCloseKey(key);
  }

  void Delete(const std::string& path) {
    sys().RegDeleteKeyA(platform::kHkeyLocalMachine, "Software\\" + path);
  }
};

TEST_F(Windows64Contract, TheSystemFolderIsSystem32AndThe32BitOneSysWow64) {
  bool wow64 = true;
  ASSERT_TRUE(sys().IsWow64Process(&wow64));
  EXPECT_FALSE(wow64) << "a 64-bit program is not redirected";
  EXPECT_TRUE(EndsWithNoCase(Folder(&platform::Platform::GetSystemDirectoryA), "\\system32"));
  EXPECT_TRUE(EndsWithNoCase(Folder(&platform::Platform::GetSystemWow64DirectoryA), "\\syswow64"));
}

TEST_F(Windows64Contract, The32BitViewIsWow6432NodeButPoliciesAreShared) {
  const std::string name = "QuellixContract" + CaseName().substr(CaseName().find('.') + 1);
  Create("Wow6432Node\\" + name);
  EXPECT_EQ(OpenIn(name, platform::kKeyWow64_32Key), platform::error::kSuccess);
  EXPECT_EQ(OpenIn(name, platform::kKeyWow64_64Key), platform::error::kFileNotFound);
  EXPECT_EQ(OpenIn(name, 0), platform::error::kFileNotFound) << "a 64-bit program's own view";
  Delete("Wow6432Node\\" + name);

  Create("Policies\\" + name);
  EXPECT_EQ(OpenIn("Policies\\" + name, platform::kKeyWow64_64Key), platform::error::kSuccess);
  EXPECT_EQ(OpenIn("Policies\\" + name, platform::kKeyWow64_32Key), platform::error::kSuccess)
      << "shared by both views";
  Delete("Policies\\" + name);
}

}  // namespace
}  // namespace contract
