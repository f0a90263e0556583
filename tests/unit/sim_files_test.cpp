// File system behaviour of the simulated machine: attributes, copy and
// delete rules, CreateFileA dispositions, sharing, reads and writes, folder
// listings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/SimPlatform.h"
#include "platform/sim/SimText.h"

namespace platform::sim {
namespace {

class SimFiles : public ::testing::Test {
 protected:
  SimFiles() : platform(machine) {
    machine.AddDrive('C', kDriveFixed);
    machine.files.AddFolder("C:\\WINDOWS\\system32");
    machine.files.AddTextFile("C:\\WINDOWS\\winmgrs.exe", "worm");
  }

  std::string Contents(const std::string& path) {
    const FileNode* node = machine.files.FindPath(path);
    return node == nullptr ? "<missing>"
                           : std::string(node->contents.begin(), node->contents.end());
  }

  std::vector<std::string> Names(const std::string& pattern) {
    std::vector<FindEntry> entries;
    std::vector<std::string> names;
    if (!platform.FindFiles(pattern, &entries))
      return {"<error " + std::to_string(platform.GetLastError()) + ">"};
    for (const FindEntry& entry : entries) names.push_back(entry.name);
    return names;
  }

  Machine machine;
  SimPlatform platform;
};

TEST_F(SimFiles, AttributesOfMissingFilesFoldersAndDrives) {
  platform.SetLastError(0xDEADBEEF);
  EXPECT_EQ(platform.GetFileAttributesA("c:\\windows\\WINMGRS.EXE"), kFileAttributeArchive);
  EXPECT_EQ(platform.GetFileAttributesA("C:/WINDOWS"), kFileAttributeDirectory);
  EXPECT_EQ(platform.GetFileAttributesA("c:\\windows\\missing.exe"), kInvalidFileAttributes);
  EXPECT_EQ(platform.GetLastError(), 2u);
  EXPECT_EQ(platform.GetFileAttributesA("c:\\nowhere\\missing.exe"), kInvalidFileAttributes);
  EXPECT_EQ(platform.GetLastError(), 3u);
  EXPECT_EQ(platform.GetFileAttributesA("q:\\missing.exe"), kInvalidFileAttributes);
  EXPECT_EQ(platform.GetLastError(), 3u);
  machine.AddDrive('A', kDriveRemovable, false);
  EXPECT_EQ(platform.GetFileAttributesA("a:\\autorun.inf"), kInvalidFileAttributes);
  EXPECT_EQ(platform.GetLastError(), simerror::kNotReady);
}

TEST_F(SimFiles, SetAttributesToNormalClearsReadOnlyHiddenAndSystem) {
  machine.files.FindPath("C:\\WINDOWS\\winmgrs.exe")->attributes =
      kFileAttributeReadOnly | kFileAttributeHidden | kFileAttributeSystem;
  ASSERT_TRUE(platform.SetFileAttributesA("c:\\windows\\winmgrs.exe", kFileAttributeNormal));
  EXPECT_EQ(platform.GetFileAttributesA("c:\\windows\\winmgrs.exe"), kFileAttributeNormal);
  EXPECT_FALSE(platform.SetFileAttributesA("c:\\windows\\missing.exe", kFileAttributeNormal));
  EXPECT_EQ(platform.GetLastError(), 2u);
  ASSERT_TRUE(platform.SetFileAttributesA("c:\\windows", kFileAttributeHidden));
  EXPECT_EQ(platform.GetFileAttributesA("c:\\windows"),
            kFileAttributeDirectory | kFileAttributeHidden);
}

TEST_F(SimFiles, DeleteRefusesReadOnlyLockedRunningAndFolders) {
  FileNode& file = *machine.files.FindPath("C:\\WINDOWS\\winmgrs.exe");
  file.attributes = kFileAttributeReadOnly;
  EXPECT_FALSE(platform.DeleteFileA("c:\\windows\\winmgrs.exe"));
  EXPECT_EQ(platform.GetLastError(), 5u);

  file.attributes = kFileAttributeArchive;
  file.locked = true;
  EXPECT_FALSE(platform.DeleteFileA("c:\\windows\\winmgrs.exe"));
  EXPECT_EQ(platform.GetLastError(), 32u);

  file.locked = false;
  machine.AddProcess(2212, "C:\\WINDOWS\\winmgrs.exe");
  EXPECT_FALSE(platform.DeleteFileA("c:\\windows\\winmgrs.exe"));
  EXPECT_EQ(platform.GetLastError(), 5u) << "a running program's image cannot be deleted";

  EXPECT_FALSE(platform.DeleteFileA("c:\\windows\\system32"));
  EXPECT_EQ(platform.GetLastError(), 5u);
  EXPECT_FALSE(platform.DeleteFileA("c:\\windows\\missing.exe"));
  EXPECT_EQ(platform.GetLastError(), 2u);
  EXPECT_FALSE(platform.DeleteFileA("c:\\nowhere\\missing.exe"));
  EXPECT_EQ(platform.GetLastError(), 3u);
  EXPECT_EQ(Contents("C:\\WINDOWS\\winmgrs.exe"), "worm");
}

TEST_F(SimFiles, ARunningImageCanBeDeletedOnceItsProcessEnded) {
  machine.AddProcess(2212, "\\??\\C:\\WINDOWS\\WINMGRS.EXE");
  EXPECT_FALSE(platform.DeleteFileA("c:\\windows\\winmgrs.exe"));
  const Handle process = platform.OpenProcess(kProcessAllAccess, false, 2212);
  ASSERT_NE(process, kNullHandle);
  ASSERT_TRUE(platform.TerminateProcess(process, 0));
  platform.CloseHandle(process);
  EXPECT_TRUE(platform.DeleteFileA("c:\\windows\\winmgrs.exe"));
  EXPECT_EQ(machine.files.FindPath("C:\\WINDOWS\\winmgrs.exe"), nullptr);
}

TEST_F(SimFiles, CopyKeepsAnExistingTargetWhenAskedTo) {
  machine.files.AddFolder("C:\\backup");
  machine.files.AddTextFile("C:\\backup\\winmgrs.exe.back", "older backup");
  EXPECT_FALSE(
      platform.CopyFileA("c:\\windows\\winmgrs.exe", "c:\\backup\\winmgrs.exe.back", true));
  EXPECT_EQ(platform.GetLastError(), 80u);
  EXPECT_EQ(Contents("c:\\backup\\winmgrs.exe.back"), "older backup");

  EXPECT_TRUE(
      platform.CopyFileA("c:\\windows\\winmgrs.exe", "c:\\backup\\winmgrs.exe.back", false));
  EXPECT_EQ(Contents("c:\\backup\\winmgrs.exe.back"), "worm");
}

TEST_F(SimFiles, CopyCarriesContentsAndAttributesAndReportsErrors) {
  machine.files.FindPath("C:\\WINDOWS\\winmgrs.exe")->attributes =
      kFileAttributeHidden | kFileAttributeSystem;
  ASSERT_TRUE(platform.CopyFileA("C:\\WINDOWS\\winmgrs.exe", "c:\\winmgrs.exe.back", true));
  EXPECT_EQ(Contents("C:\\winmgrs.exe.back"), "worm");
  EXPECT_EQ(platform.GetFileAttributesA("c:\\winmgrs.exe.back"),
            kFileAttributeHidden | kFileAttributeSystem | kFileAttributeArchive);

  EXPECT_FALSE(platform.CopyFileA("c:\\windows\\missing.exe", "c:\\x.back", true));
  EXPECT_EQ(platform.GetLastError(), 2u);
  EXPECT_FALSE(platform.CopyFileA("c:\\windows\\winmgrs.exe", "c:\\nowhere\\x.back", true));
  EXPECT_EQ(platform.GetLastError(), 3u);
  EXPECT_FALSE(platform.CopyFileA("c:\\windows\\winmgrs.exe", "c:\\windows\\winmgrs.exe", false));
  EXPECT_EQ(platform.GetLastError(), 32u);

  machine.files.AddTextFile("C:\\readonly.back", "keep", kFileAttributeReadOnly);
  EXPECT_FALSE(platform.CopyFileA("c:\\windows\\winmgrs.exe", "c:\\readonly.back", false));
  EXPECT_EQ(platform.GetLastError(), 5u);
  EXPECT_EQ(Contents("C:\\readonly.back"), "keep");

  machine.files.AddTextFile("C:\\plain.txt", "plain");
  machine.files.AddTextFile("C:\\hidden.back", "keep", kFileAttributeHidden);
  EXPECT_FALSE(platform.CopyFileA("c:\\plain.txt", "c:\\hidden.back", false))
      << "a hidden file is replaced only by a hidden one";
  EXPECT_EQ(platform.GetLastError(), 5u);

  machine.files.FindPath("C:\\WINDOWS\\winmgrs.exe")->locked = true;
  EXPECT_FALSE(platform.CopyFileA("c:\\windows\\winmgrs.exe", "c:\\other.back", false));
  EXPECT_EQ(platform.GetLastError(), 32u);
}

TEST_F(SimFiles, CreateFileDispositions) {
  const std::string path = "c:\\windows\\system32\\drivers.txt";
  platform.SetLastError(0xDEADBEEF);
  EXPECT_EQ(platform.CreateFileA(path, kGenericRead, kFileShareRead, kOpenExisting, 0),
            kInvalidHandleValue);
  EXPECT_EQ(platform.GetLastError(), 2u);

  Handle file = platform.CreateFileA(path, kGenericWrite, 0, kOpenAlways, kFileAttributeNormal);
  ASSERT_NE(file, kInvalidHandleValue);
  EXPECT_EQ(platform.GetLastError(), 0u) << "OPEN_ALWAYS created the file";
  std::uint32_t written = 0;
  ASSERT_TRUE(platform.WriteFile(file, ToBytes("hello"), &written));
  ASSERT_TRUE(platform.CloseHandle(file));

  file = platform.CreateFileA(path, kGenericRead, kFileShareRead, kOpenAlways, 0);
  ASSERT_NE(file, kInvalidHandleValue);
  EXPECT_EQ(platform.GetLastError(), 183u) << "OPEN_ALWAYS found the file";
  platform.CloseHandle(file);
  EXPECT_EQ(Contents(path), "hello");

  EXPECT_EQ(platform.CreateFileA(path, kGenericWrite, 0, kCreateNew, 0), kInvalidHandleValue);
  EXPECT_EQ(platform.GetLastError(), 80u);

  file = platform.CreateFileA(path, kGenericWrite, 0, kCreateAlways, kFileAttributeNormal);
  ASSERT_NE(file, kInvalidHandleValue);
  EXPECT_EQ(platform.GetLastError(), 183u);
  EXPECT_EQ(Contents(path), "") << "CREATE_ALWAYS empties an existing file";
  platform.CloseHandle(file);

  EXPECT_EQ(platform.CreateFileA(path, kGenericRead, 0, kTruncateExisting, 0), kInvalidHandleValue);
  EXPECT_EQ(platform.GetLastError(), 87u) << "TRUNCATE_EXISTING needs write access";
  EXPECT_EQ(platform.CreateFileA("c:\\nowhere\\x.txt", kGenericWrite, 0, kCreateAlways, 0),
            kInvalidHandleValue);
  EXPECT_EQ(platform.GetLastError(), 3u);
  EXPECT_EQ(platform.CreateFileA("c:\\windows", kGenericRead, kFileShareRead, kOpenExisting, 0),
            kInvalidHandleValue);
  EXPECT_EQ(platform.GetLastError(), 5u);
  EXPECT_EQ(platform.CreateFileA(path, kGenericRead, 0, 0, 0), kInvalidHandleValue);
  EXPECT_EQ(platform.GetLastError(), 87u);
}

TEST_F(SimFiles, CreateAlwaysRefusesToReplaceReadOnlyOrHiddenFiles) {
  machine.files.AddTextFile("C:\\hosts", "127.0.0.1 localhost", kFileAttributeReadOnly);
  EXPECT_EQ(platform.CreateFileA("c:\\hosts", kGenericWrite, 0, kCreateAlways, 0),
            kInvalidHandleValue);
  EXPECT_EQ(platform.GetLastError(), 5u);
  EXPECT_EQ(platform.CreateFileA("c:\\hosts", kGenericWrite, 0, kOpenExisting, 0),
            kInvalidHandleValue);
  EXPECT_EQ(platform.GetLastError(), 5u);
  const Handle reader =
      platform.CreateFileA("c:\\hosts", kGenericRead, kFileShareRead, kOpenExisting, 0);
  EXPECT_NE(reader, kInvalidHandleValue) << "reading a read-only file is fine";
  platform.CloseHandle(reader);

  machine.files.FindPath("C:\\hosts")->attributes = kFileAttributeHidden;
  EXPECT_EQ(
      platform.CreateFileA("c:\\hosts", kGenericWrite, 0, kCreateAlways, kFileAttributeNormal),
      kInvalidHandleValue);
  EXPECT_EQ(platform.GetLastError(), 5u);
  const Handle keepsHidden =
      platform.CreateFileA("c:\\hosts", kGenericWrite, 0, kCreateAlways, kFileAttributeHidden);
  EXPECT_NE(keepsHidden, kInvalidHandleValue);
  platform.CloseHandle(keepsHidden);
  EXPECT_EQ(Contents("C:\\hosts"), "");
}

TEST_F(SimFiles, SharingModesDecideWhoElseMayOpenAFile) {
  const std::string path = "c:\\windows\\winmgrs.exe";
  const Handle exclusive = platform.CreateFileA(path, kGenericRead, 0, kOpenExisting, 0);
  ASSERT_NE(exclusive, kInvalidHandleValue);
  EXPECT_EQ(platform.CreateFileA(path, kGenericRead, kFileShareRead, kOpenExisting, 0),
            kInvalidHandleValue);
  EXPECT_EQ(platform.GetLastError(), 32u);
  EXPECT_FALSE(platform.DeleteFileA(path));
  EXPECT_EQ(platform.GetLastError(), 32u);
  ASSERT_TRUE(platform.CloseHandle(exclusive));

  const Handle first = platform.CreateFileA(path, kGenericRead, kFileShareRead, kOpenExisting, 0);
  const Handle second = platform.CreateFileA(path, kGenericRead, kFileShareRead, kOpenExisting, 0);
  EXPECT_NE(first, kInvalidHandleValue);
  EXPECT_NE(second, kInvalidHandleValue);
  EXPECT_EQ(platform.CreateFileA(path, kGenericWrite, kFileShareRead, kOpenExisting, 0),
            kInvalidHandleValue)
      << "the readers did not share write access";
  platform.CloseHandle(first);
  platform.CloseHandle(second);

  machine.files.FindPath(path)->locked = true;
  EXPECT_EQ(
      platform.CreateFileA(path, kGenericRead, kFileShareRead | kFileShareWrite, kOpenExisting, 0),
      kInvalidHandleValue);
  EXPECT_EQ(platform.GetLastError(), 32u);
  EXPECT_EQ(platform.GetFileAttributesA(path), kFileAttributeArchive)
      << "attributes of a locked file can still be read";
}

TEST_F(SimFiles, RunningImagesCanBeReadButNotWritten) {
  machine.AddProcess(2212, "C:\\WINDOWS\\winmgrs.exe");
  const std::string path = "c:\\windows\\winmgrs.exe";
  const Handle reader = platform.CreateFileA(path, kGenericRead, kFileShareRead, kOpenExisting, 0);
  EXPECT_NE(reader, kInvalidHandleValue);
  platform.CloseHandle(reader);
  EXPECT_EQ(platform.CreateFileA(path, kGenericWrite, kFileShareRead, kOpenExisting, 0),
            kInvalidHandleValue);
  EXPECT_EQ(platform.GetLastError(), 32u);
  EXPECT_TRUE(platform.CopyFileA(path, "c:\\winmgrs.exe.back", true));
}

TEST_F(SimFiles, ReadAndWriteMoveThroughTheFile) {
  const Handle file = platform.CreateFileA("c:\\log.txt", kGenericRead | kGenericWrite, 0,
                                           kCreateAlways, kFileAttributeNormal);
  ASSERT_NE(file, kInvalidHandleValue);
  std::uint32_t written = 0;
  ASSERT_TRUE(platform.WriteFile(file, ToBytes("abc"), &written));
  ASSERT_TRUE(platform.WriteFile(file, ToBytes("def"), &written));
  EXPECT_EQ(written, 3u);
  std::uint64_t size = 0;
  ASSERT_TRUE(platform.GetFileSizeEx(file, &size));
  EXPECT_EQ(size, 6u);
  std::vector<std::uint8_t> data;
  ASSERT_TRUE(platform.ReadFile(file, 10, &data));
  EXPECT_TRUE(data.empty()) << "reading at the end gives no bytes and succeeds";
  platform.CloseHandle(file);

  const Handle reader =
      platform.CreateFileA("c:\\log.txt", kGenericRead, kFileShareRead, kOpenExisting, 0);
  ASSERT_TRUE(platform.ReadFile(reader, 4, &data));
  EXPECT_EQ(std::string(data.begin(), data.end()), "abcd");
  ASSERT_TRUE(platform.ReadFile(reader, 4, &data));
  EXPECT_EQ(std::string(data.begin(), data.end()), "ef");
  EXPECT_FALSE(platform.WriteFile(reader, ToBytes("x"), &written));
  EXPECT_EQ(platform.GetLastError(), 5u);
  EXPECT_EQ(written, 0u);
  ASSERT_TRUE(platform.CloseHandle(reader));
  EXPECT_FALSE(platform.CloseHandle(reader));
  EXPECT_EQ(platform.GetLastError(), 6u);
  EXPECT_FALSE(platform.ReadFile(reader, 4, &data));
  EXPECT_EQ(platform.GetLastError(), 6u);
}

TEST_F(SimFiles, FindFilesListsAFolderLikeFindFirstFile) {
  machine.files.AddTextFile("C:\\WINDOWS\\system32\\b.dll", "bb");
  machine.files.AddTextFile("C:\\WINDOWS\\system32\\A.exe", "a");
  machine.files.AddFolder("C:\\WINDOWS\\system32\\drivers");
  machine.files.AddTextFile("C:\\WINDOWS\\system32\\drivers\\deep.sys", "deep");
  EXPECT_EQ(Names("c:\\windows\\system32\\*"),
            (std::vector<std::string>{".", "..", "A.exe", "b.dll", "drivers"}));

  std::vector<FindEntry> entries;
  ASSERT_TRUE(platform.FindFiles("C:\\WINDOWS\\SYSTEM32\\*.DLL", &entries));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "b.dll");
  EXPECT_EQ(entries[0].size, 2u);
  EXPECT_EQ(entries[0].attributes, kFileAttributeArchive);

  EXPECT_EQ(Names("c:\\*"), (std::vector<std::string>{"WINDOWS"})) << "a root has no dot entries";
  EXPECT_EQ(Names("c:\\windows\\system32\\?.exe"), (std::vector<std::string>{"A.exe"}));
  EXPECT_EQ(Names("c:\\windows\\system32\\*.inf"), (std::vector<std::string>{"<error 2>"}));
  EXPECT_EQ(Names("c:\\nowhere\\*"), (std::vector<std::string>{"<error 3>"}));
  EXPECT_EQ(Names("c:\\windows\\"), (std::vector<std::string>{"<error 2>"}));
  EXPECT_EQ(Names("c:\\windows"), (std::vector<std::string>{"WINDOWS"}));
}

TEST_F(SimFiles, PatternsAlsoMatchShortNames) {
  machine.AddDrive('E', kDriveRemovable);
  machine.files.AddTextFile("E:\\AUTORUN.INF", "[autorun]");
  machine.files.AddTextFile("E:\\autorun.info", "not an autorun file");
  machine.files.AddTextFile("E:\\setup.exe", "x");
  // "autorun.info" is AUTORU~1.INF to Windows, so "*.inf" lists it too.
  EXPECT_EQ(Names("e:\\*.inf"), (std::vector<std::string>{"AUTORUN.INF", "autorun.info"}));
  EXPECT_EQ(Names("e:\\autoru~1.inf"), (std::vector<std::string>{"autorun.info"}));
}

TEST_F(SimFiles, CreateDirectoryNeedsItsParentAndAFreeName) {
  EXPECT_TRUE(platform.CreateDirectoryA("c:\\windows\\system32\\dllcache"));
  EXPECT_FALSE(platform.CreateDirectoryA("C:\\WINDOWS\\system32\\DLLCACHE"));
  EXPECT_EQ(platform.GetLastError(), 183u);
  EXPECT_FALSE(platform.CreateDirectoryA("c:\\a\\b"));
  EXPECT_EQ(platform.GetLastError(), 3u);
  EXPECT_EQ(platform.GetFileAttributesA("c:\\windows\\system32\\dllcache"),
            kFileAttributeDirectory);
}

TEST_F(SimFiles, NewNamesKeepTheStoredCaseOfTheirFolders) {
  ASSERT_TRUE(
      platform.CopyFileA("c:\\windows\\winmgrs.exe", "c:\\windows\\system32\\Copy.exe", true));
  EXPECT_EQ(machine.files.FindPath("c:\\windows\\system32\\copy.exe")->path,
            "C:\\WINDOWS\\system32\\Copy.exe");
}

}  // namespace
}  // namespace platform::sim
