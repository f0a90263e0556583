// Files as the file sweep, the hosts-file cleaning, the digests and the run
// log use them: raw reads and writes, the error codes of a missing, locked,
// read-only or already backed-up file, attributes, and folder listings.
#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "tests/contract/ContractTest.h"
#include "tests/contract/Scratch.h"

namespace contract {
namespace {

namespace error = platform::error;
using platform::Handle;

class FilesContract : public ContractTest {
 protected:
  FilesContract() : scratch_(backend(), sys(), CaseName()) {}

  void SetUp() override {
    ASSERT_NE(sys().GetFileAttributesA(scratch_.Path()), platform::kInvalidFileAttributes)
        << "the scratch folder " << scratch_.Path() << " could not be created";
  }

  std::string At(const std::string& name) const { return scratch_ / name; }

  void Write(const std::string& name, const std::string& contents) {
    ASSERT_TRUE(scratch_.Write(name, contents)) << At(name);
  }

  std::string Read(const std::string& name) {
    std::string contents;
    EXPECT_TRUE(scratch_.Read(name, &contents)) << At(name);
    return contents;
  }

  Handle Open(const std::string& name, std::uint32_t access, std::uint32_t share,
              std::uint32_t disposition) {
    return sys().CreateFileA(At(name), access, share, disposition, platform::kFileAttributeNormal);
  }

  std::set<std::string> Names(const std::vector<platform::FindEntry>& entries) {
    std::set<std::string> names;
    for (const auto& entry : entries) names.insert(entry.name);
    return names;
  }

  ScratchFolder scratch_;
};

TEST_F(FilesContract, WrittenBytesReadBackWithTheirSize) {
  const std::vector<std::uint8_t> contents = {'M', 'Z', 0x90, 0x00, 0x03, 0xFF, '\r', '\n'};
  const Handle created = Open("worm.exe", platform::kGenericWrite, 0, platform::kCreateAlways);
  ASSERT_NE(created, platform::kInvalidHandleValue);
  std::uint32_t written = 0;
  const auto write = Observe(sys(), [&] { return sys().WriteFile(created, contents, &written); });
  EXPECT_TRUE(write.value) << write;
  EXPECT_EQ(written, contents.size());
  EXPECT_TRUE(sys().CloseHandle(created));

  const Handle opened =
      Open("worm.exe", platform::kGenericRead, platform::kFileShareRead, platform::kOpenExisting);
  ASSERT_NE(opened, platform::kInvalidHandleValue);
  std::uint64_t size = 0;
  const auto sized = Observe(sys(), [&] { return sys().GetFileSizeEx(opened, &size); });
  EXPECT_TRUE(sized.value) << sized;
  EXPECT_EQ(size, contents.size());

  // The digest reads in blocks: a block larger than the rest gives the rest,
  // and a read at the end succeeds with nothing.
  std::vector<std::uint8_t> block;
  const auto first = Observe(sys(), [&] { return sys().ReadFile(opened, 16384, &block); });
  EXPECT_TRUE(first.value) << first;
  EXPECT_EQ(block, contents);
  const auto atEnd = Observe(sys(), [&] { return sys().ReadFile(opened, 16384, &block); });
  EXPECT_TRUE(atEnd.value) << atEnd;
  EXPECT_TRUE(block.empty()) << block.size() << " bytes read past the end";
  EXPECT_TRUE(sys().CloseHandle(opened));
}

TEST_F(FilesContract, CreateAlwaysEmptiesAnExistingFile) {
  Write("hosts", "127.0.0.1 localhost\r\n");
  const Handle recreated = Open("hosts", platform::kGenericWrite, 0, platform::kCreateAlways);
  ASSERT_NE(recreated, platform::kInvalidHandleValue);
  std::uint64_t size = 99;
  EXPECT_TRUE(sys().GetFileSizeEx(recreated, &size));
  EXPECT_EQ(size, 0u);
  EXPECT_TRUE(sys().CloseHandle(recreated));
  EXPECT_EQ(Read("hosts"), "");
}

TEST_F(FilesContract, OpeningWhatIsNotThereReportsFileOrPathNotFound) {
  const auto missingFile = Observe(sys(), [&] {
    return Open("missing.exe", platform::kGenericRead, platform::kFileShareRead,
                platform::kOpenExisting);
  });
  EXPECT_EQ(missingFile.value, platform::kInvalidHandleValue) << missingFile;
  EXPECT_EQ(missingFile.lastError, static_cast<std::uint32_t>(error::kFileNotFound)) << missingFile;

  const auto missingFolder = Observe(sys(), [&] {
    return Open("no-such-folder\\worm.exe", platform::kGenericRead, platform::kFileShareRead,
                platform::kOpenExisting);
  });
  EXPECT_EQ(missingFolder.value, platform::kInvalidHandleValue) << missingFolder;
  EXPECT_EQ(missingFolder.lastError, static_cast<std::uint32_t>(error::kPathNotFound))
      << missingFolder;
}

// A file another program holds without sharing cannot be opened for reading;
// the digest of such a file comes out empty.
TEST_F(FilesContract, FileHeldWithoutSharingRefusesASecondOpen) {
  Write("locked.exe", "busy");
  const Handle holder = Open("locked.exe", platform::kGenericRead | platform::kGenericWrite, 0,
                             platform::kOpenExisting);
  ASSERT_NE(holder, platform::kInvalidHandleValue);

  const auto second = Observe(sys(), [&] {
    return Open("locked.exe", platform::kGenericRead, platform::kFileShareRead,
                platform::kOpenExisting);
  });
  EXPECT_EQ(second.value, platform::kInvalidHandleValue) << second;
  EXPECT_EQ(second.lastError, static_cast<std::uint32_t>(error::kSharingViolation)) << second;
  EXPECT_TRUE(sys().CloseHandle(holder));

  const Handle afterwards =
      Open("locked.exe", platform::kGenericRead, platform::kFileShareRead, platform::kOpenExisting);
  EXPECT_NE(afterwards, platform::kInvalidHandleValue) << "the file is free again";
  sys().CloseHandle(afterwards);
}

TEST_F(FilesContract, CopyRefusesToReplaceAnExistingBackup) {
  Write("worm.exe", "first");
  const auto copied =
      Observe(sys(), [&] { return sys().CopyFileA(At("worm.exe"), At("worm.exe.back"), true); });
  EXPECT_TRUE(copied.value) << copied;
  EXPECT_EQ(Read("worm.exe.back"), "first");

  Write("worm.exe", "second");
  const auto refused =
      Observe(sys(), [&] { return sys().CopyFileA(At("worm.exe"), At("worm.exe.back"), true); });
  EXPECT_FALSE(refused.value) << refused;
  EXPECT_EQ(refused.lastError, static_cast<std::uint32_t>(error::kFileExists)) << refused;
  EXPECT_EQ(Read("worm.exe.back"), "first") << "the backup is left as it was";

  const auto replaced =
      Observe(sys(), [&] { return sys().CopyFileA(At("worm.exe"), At("worm.exe.back"), false); });
  EXPECT_TRUE(replaced.value) << replaced;
  EXPECT_EQ(Read("worm.exe.back"), "second");

  const auto missing =
      Observe(sys(), [&] { return sys().CopyFileA(At("missing.exe"), At("missing.back"), true); });
  EXPECT_FALSE(missing.value) << missing;
  EXPECT_EQ(missing.lastError, static_cast<std::uint32_t>(error::kFileNotFound)) << missing;
}

// The sweep reports access denied (5) and stays silent on a missing file (2).
TEST_F(FilesContract, DeleteReportsReadOnlyAsAccessDeniedAndMissingAsNotFound) {
  Write("worm.exe", "x");
  ASSERT_TRUE(sys().SetFileAttributesA(At("worm.exe"), platform::kFileAttributeReadOnly));

  const auto refused = Observe(sys(), [&] { return sys().DeleteFileA(At("worm.exe")); });
  EXPECT_FALSE(refused.value) << refused;
  EXPECT_EQ(refused.lastError, static_cast<std::uint32_t>(error::kAccessDenied)) << refused;
  EXPECT_NE(sys().GetFileAttributesA(At("worm.exe")), platform::kInvalidFileAttributes);

  const auto normal = Observe(sys(), [&] {
    return sys().SetFileAttributesA(At("worm.exe"), platform::kFileAttributeNormal);
  });
  EXPECT_TRUE(normal.value) << normal;
  const auto deleted = Observe(sys(), [&] { return sys().DeleteFileA(At("worm.exe")); });
  EXPECT_TRUE(deleted.value) << deleted;

  const auto gone = Observe(sys(), [&] { return sys().GetFileAttributesA(At("worm.exe")); });
  EXPECT_EQ(gone.value, platform::kInvalidFileAttributes) << gone;
  EXPECT_EQ(gone.lastError, static_cast<std::uint32_t>(error::kFileNotFound)) << gone;
  const auto again = Observe(sys(), [&] { return sys().DeleteFileA(At("worm.exe")); });
  EXPECT_FALSE(again.value) << again;
  EXPECT_EQ(again.lastError, static_cast<std::uint32_t>(error::kFileNotFound)) << again;
}

TEST_F(FilesContract, AttributesReadBackAsSet) {
  using platform::kFileAttributeArchive;
  using platform::kFileAttributeHidden;
  using platform::kFileAttributeNormal;
  using platform::kFileAttributeReadOnly;
  Write("autorun.inf", "[autorun]\r\n");
  const auto created = Observe(sys(), [&] { return sys().GetFileAttributesA(At("autorun.inf")); });
  EXPECT_EQ(created.value, kFileAttributeArchive) << "a new file is marked for backup: " << created;

  ASSERT_TRUE(
      sys().SetFileAttributesA(At("autorun.inf"), kFileAttributeReadOnly | kFileAttributeHidden));
  const auto hidden = Observe(sys(), [&] { return sys().GetFileAttributesA(At("autorun.inf")); });
  ASSERT_TRUE(sys().SetFileAttributesA(At("autorun.inf"), kFileAttributeNormal));
  const auto normal = Observe(sys(), [&] { return sys().GetFileAttributesA(At("autorun.inf")); });
  if (OnWine()) {
    // Wine deviation: Wine reports every regular file as ready for backup
    // (archive), since it keeps no archive flag of its own; the flags that
    // were set come and go as on Windows.
    EXPECT_EQ(hidden.value, kFileAttributeReadOnly | kFileAttributeHidden | kFileAttributeArchive)
        << hidden;
    EXPECT_EQ(normal.value, kFileAttributeArchive) << normal;
  } else {
    EXPECT_EQ(hidden.value, kFileAttributeReadOnly | kFileAttributeHidden) << hidden;
    EXPECT_EQ(normal.value, kFileAttributeNormal) << normal;
  }

  const auto folder = Observe(sys(), [&] { return sys().GetFileAttributesA(scratch_.Path()); });
  EXPECT_NE(folder.value & platform::kFileAttributeDirectory, 0u) << folder;

  const auto missing =
      Observe(sys(), [&] { return sys().SetFileAttributesA(At("missing"), kFileAttributeNormal); });
  EXPECT_FALSE(missing.value) << missing;
  EXPECT_EQ(missing.lastError, static_cast<std::uint32_t>(error::kFileNotFound)) << missing;
}

TEST_F(FilesContract, FileNamesAreFoundWithoutCaseAndKeepTheirCase) {
  Write("Worm.EXE", "x");
  const auto found = Observe(sys(), [&] { return sys().GetFileAttributesA(At("worm.exe")); });
  EXPECT_NE(found.value, platform::kInvalidFileAttributes) << found;

  std::vector<platform::FindEntry> entries;
  ASSERT_TRUE(sys().FindFiles(At("WORM.exe"), &entries));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "Worm.EXE");
}

// ANSI file names are Windows-1252 and found without case beyond ASCII too.
TEST_F(FilesContract, Windows1252NamesKeepTheirBytes) {
  const std::string name =
      "Fran\xE7"
      "ais \xE9t\xE9.txt";
  Write(name, "x");
  const auto found = Observe(sys(), [&] {
    return sys().GetFileAttributesA(
        At("FRAN\xC7"
           "AIS \xC9T\xC9.TXT"));
  });
  EXPECT_NE(found.value, platform::kInvalidFileAttributes) << found;

  std::vector<platform::FindEntry> entries;
  ASSERT_TRUE(sys().FindFiles(At("*.txt"), &entries));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, name);
}

TEST_F(FilesContract, CreatingAnExistingFolderReportsAlreadyExists) {
  const auto created = Observe(sys(), [&] { return sys().CreateDirectoryA(At("sub")); });
  EXPECT_TRUE(created.value) << created;
  const auto again = Observe(sys(), [&] { return sys().CreateDirectoryA(At("sub")); });
  EXPECT_FALSE(again.value) << again;
  EXPECT_EQ(again.lastError, static_cast<std::uint32_t>(error::kAlreadyExists)) << again;
}

TEST_F(FilesContract, FindFilesListsAFolderAndMatchesWildcardsWithoutCase) {
  Write("setup.inf", "[autorun]");
  Write("DRIVER.INF", "[version]");
  Write("readme.txt", "twelve bytes");
  ASSERT_TRUE(sys().CreateDirectoryA(At("sub")));

  std::vector<platform::FindEntry> all;
  const auto listed = Observe(sys(), [&] { return sys().FindFiles(At("*"), &all); });
  ASSERT_TRUE(listed.value) << listed;
  // A folder other than a drive root lists itself and its parent first.
  EXPECT_EQ(Names(all),
            (std::set<std::string>{".", "..", "setup.inf", "DRIVER.INF", "readme.txt", "sub"}));
  for (const auto& entry : all) {
    SCOPED_TRACE(entry.name);
    const bool folder = entry.name == "." || entry.name == ".." || entry.name == "sub";
    EXPECT_EQ((entry.attributes & platform::kFileAttributeDirectory) != 0, folder)
        << "attributes " << entry.attributes;
    if (entry.name == "readme.txt") {
      EXPECT_EQ(entry.size, 12u);
    }
  }

  std::vector<platform::FindEntry> inf;
  const auto matched = Observe(sys(), [&] { return sys().FindFiles(At("*.inf"), &inf); });
  ASSERT_TRUE(matched.value) << matched;
  EXPECT_EQ(Names(inf), (std::set<std::string>{"setup.inf", "DRIVER.INF"}));

  std::vector<platform::FindEntry> none;
  const auto nothing = Observe(sys(), [&] { return sys().FindFiles(At("*.scr"), &none); });
  EXPECT_FALSE(nothing.value) << nothing;
  EXPECT_EQ(nothing.lastError, static_cast<std::uint32_t>(error::kFileNotFound)) << nothing;
  EXPECT_TRUE(none.empty());

  const auto noFolder =
      Observe(sys(), [&] { return sys().FindFiles(At("no-such-folder\\*"), &none); });
  EXPECT_FALSE(noFolder.value) << noFolder;
  EXPECT_EQ(noFolder.lastError, static_cast<std::uint32_t>(error::kPathNotFound)) << noFolder;
}

}  // namespace
}  // namespace contract
