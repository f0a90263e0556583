// System folders and drives as the removal run reads them: the two folder
// queries write into a buffer of blanks, and the run cuts the answer out of
// it by the characters, the NUL and the untouched blanks that follow.
#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "tests/contract/ContractTest.h"

namespace contract {
namespace {

constexpr std::size_t kBlankBuffer = 255;
constexpr int kCsidlStartMenu = 11;

class FoldersContract : public ContractTest {
 protected:
  // The folder query's text, after checking how it filled the blank buffer.
  template <typename Query>
  std::string ReadIntoBlanks(Query query) {
    std::string buffer(kBlankBuffer, ' ');
    const auto written = Observe(sys(), [&] { return query(buffer); });
    EXPECT_GT(written.value, 0u) << written;
    EXPECT_LT(written.value, kBlankBuffer) << written;
    if (written.value == 0 || written.value >= kBlankBuffer) return std::string();
    const std::string text = buffer.substr(0, written.value);
    EXPECT_EQ(text.find('\0'), std::string::npos) << "the count covers the characters only";
    EXPECT_EQ(buffer[written.value], '\0') << "the NUL follows the characters";
    EXPECT_EQ(buffer.find_first_not_of(' ', written.value + 1), std::string::npos)
        << "the rest of the buffer keeps its blanks";
    return text;
  }

  // A buffer one character too small: nothing fits, and the call answers with
  // the size it needs, NUL included.
  template <typename Query>
  void ExpectSizeNeeded(Query query, std::size_t length) {
    std::string buffer(length, ' ');
    const auto needed = Observe(sys(), [&] { return query(buffer); });
    EXPECT_EQ(needed.value, length + 1) << needed;
  }
};

TEST_F(FoldersContract, SystemDirectoryFillsABlankBuffer) {
  auto query = [&](std::string& buffer) { return sys().GetSystemDirectoryA(buffer); };
  const std::string folder = ReadIntoBlanks(query);
  EXPECT_TRUE(StartsWithDriveRoot(folder)) << folder;
  EXPECT_NE(folder.back(), '\\') << folder << ": the system folder has no trailing backslash";
  const auto attributes = sys().GetFileAttributesA(folder);
  EXPECT_NE(attributes, platform::kInvalidFileAttributes) << folder;
  EXPECT_NE(attributes & platform::kFileAttributeDirectory, 0u) << folder;
  ExpectSizeNeeded(query, folder.size());
}

TEST_F(FoldersContract, TempPathFillsABlankBufferWithItsTrailingBackslash) {
  auto query = [&](std::string& buffer) { return sys().GetTempPathA(buffer); };
  const std::string folder = ReadIntoBlanks(query);
  EXPECT_TRUE(StartsWithDriveRoot(folder)) << folder;
  EXPECT_EQ(folder.back(), '\\') << folder;
  const auto attributes = sys().GetFileAttributesA(folder);
  EXPECT_NE(attributes, platform::kInvalidFileAttributes) << folder;
  EXPECT_NE(attributes & platform::kFileAttributeDirectory, 0u) << folder;
  ExpectSizeNeeded(query, folder.size());
}

TEST_F(FoldersContract, DriveListHoldsTheFixedSystemDrive) {
  const std::vector<std::string> drives = sys().GetLogicalDriveStringsA();
  for (const auto& drive : drives) {
    EXPECT_TRUE(drive.size() == 3 && StartsWithDriveRoot(drive)) << "\"" << drive << "\"";
  }
  const bool hasC = std::any_of(drives.begin(), drives.end(), [](const std::string& drive) {
    return LowerAscii(drive) == "c:\\";
  });
  EXPECT_TRUE(hasC) << drives.size() << " drives listed, C: not among them";

  const auto fixed = Observe(sys(), [&] { return sys().GetDriveTypeA("c:\\"); });
  EXPECT_EQ(fixed.value, platform::kDriveFixed) << fixed;
}

TEST_F(FoldersContract, UnlistedDriveHasNoRootFolder) {
  const std::vector<std::string> drives = sys().GetLogicalDriveStringsA();
  std::string unlisted;
  for (char letter = 'Y'; letter > 'C' && unlisted.empty(); --letter) {
    const std::string root = std::string(1, letter) + ":\\";
    const bool listed = std::any_of(drives.begin(), drives.end(), [&](const std::string& drive) {
      return LowerAscii(drive) == LowerAscii(root);
    });
    if (!listed) unlisted = root;
  }
  ASSERT_FALSE(unlisted.empty()) << "every drive letter is in use";
  const auto type = Observe(sys(), [&] { return sys().GetDriveTypeA(unlisted); });
  EXPECT_EQ(type.value, platform::kDriveNoRootDir) << unlisted << ": " << type;
}

TEST_F(FoldersContract, StartMenuFolderIsAFullPath) {
  std::string folder;
  const auto found = Observe(
      sys(), [&] { return sys().SHGetSpecialFolderPathA(kCsidlStartMenu, false, &folder); });
  ASSERT_TRUE(found.value) << found;
  EXPECT_TRUE(StartsWithDriveRoot(folder)) << folder;
  EXPECT_EQ(folder.find('\0'), std::string::npos);
}

}  // namespace
}  // namespace contract
