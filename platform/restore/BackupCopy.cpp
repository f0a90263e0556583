#include "platform/restore/BackupCopy.h"

#include "platform/restore/FileDigest.h"

namespace platform::restore {
namespace {

constexpr int kMostNumberedCopies = 999;

bool SameContents(Platform& platform, const std::string& a, const std::string& b) {
  std::string first;
  std::string second;
  return ReadWholeFile(platform, a, &first) && ReadWholeFile(platform, b, &second) &&
         first == second;
}

}  // namespace

std::string CopyName(const std::string& fileName, int number) {
  return fileName + (number == 1 ? std::string() : " (" + std::to_string(number) + ")") + ".back";
}

BackupCopy MakeBackupCopy(Platform& platform, const std::string& path, const std::string& folder,
                          const std::string& fileName, std::string* copyName) {
  for (int number = 1; number <= kMostNumberedCopies; ++number) {
    *copyName = CopyName(fileName, number);
    const std::string copy = folder + *copyName;
    platform.SetLastError(0);
    if (platform.CopyFileA(path, copy, true)) return BackupCopy::kMade;
    const std::uint32_t error = platform.GetLastError();
    if (error == error::kFileExists || error == error::kAlreadyExists) {
      if (SameContents(platform, path, copy)) return BackupCopy::kAlreadyThere;
      continue;
    }
    // Not found may mean the file or the backup folder (or a file that came
    // back between the two calls): the file is asked for on its own. Only
    // "not found" (or a name no file can have) proves the file missing: a
    // query refused for any other reason says nothing, and the file must not
    // be deleted uncopied.
    platform.SetLastError(0);
    if (platform.GetFileAttributesA(path) == kInvalidFileAttributes) {
      const std::uint32_t queryError = platform.GetLastError();
      if (queryError == error::kFileNotFound || queryError == error::kPathNotFound ||
          queryError == error::kInvalidName) {
        return BackupCopy::kSourceMissing;
      }
    }
    return BackupCopy::kImpossible;
  }
  return BackupCopy::kImpossible;
}

RemovedFile RemovedFileOf(Platform& platform, const std::string& path, std::uint32_t attributes,
                          const std::string& folder, const std::string& copyName) {
  RemovedFile file{path, attributes, 0, std::string(), copyName};
  std::string bytes;
  if (ReadWholeFile(platform, folder + copyName, &bytes)) {
    file.size = bytes.size();
    file.md5 = Md5Of(platform, bytes);
  }
  return file;
}

}  // namespace platform::restore
