// MD5Hash on the real CryptoAPI against md5sum: tests/cli/md5sum_wine_test.sh
// writes files of telling sizes into C:\qlx-md5 of the prefix together with
// md5sum's digests in C:\qlx-md5\expected.txt ("NAME DIGEST" lines).
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "platform/win32/Win32Platform.h"
#include "quellix/engine/detection/MD5Hash.h"
#include "tests/support/RecordingHost.h"
#include "tests/support/RunLog.h"

namespace quellix {
namespace {

constexpr const char* kFolder = "C:\\qlx-md5\\";

TEST(Md5sumOnWine, HashFileAgreesWithMd5sumOnRealFiles) {
  platform::win32::Win32Platform platform;
  test::RecordingHost host;
  const auto listing = test::ReadWholeFile(platform, std::string(kFolder) + "expected.txt");
  if (listing.empty())
    GTEST_SKIP() << "run by tests/cli/md5sum_wine_test.sh, which makes the files";
  std::istringstream lines(std::string(listing.begin(), listing.end()));
  MD5Hash md5(platform, host);
  int checked = 0;
  std::string name;
  std::string digest;
  while (lines >> name >> digest) {
    EXPECT_EQ(md5.HashFile(kFolder + name), digest) << name;
    ++checked;
  }
  EXPECT_GE(checked, 5);
}

}  // namespace
}  // namespace quellix
