// BackupAndDeleteFile: no file is deleted without a copy of its
// bytes in BackupDir.
#include <string>
#include <vector>

#include "quellix/engine/session/Session.h"
#include "quellix/engine/cleanup/BackupAndDeleteFile.h"
#include "quellix/engine/cleanup/RemovalRecord.h"

namespace quellix {
namespace {

using platform::Platform;

// Further backups of one file name are numbered as the other backups of a run
// are: "x.exe (2).back", "x.exe (3).back", ...
constexpr int kMostNumberedBackups = 999;
constexpr std::uint32_t kCompareBlock = 65536;

bool ReadWhole(Platform& platform, const std::string& path, std::vector<std::uint8_t>* bytes) {
  const platform::Handle file = platform.CreateFileA(
      path, platform::kGenericRead, platform::kFileShareRead | platform::kFileShareWrite,
      platform::kOpenExisting, platform::kFileAttributeNormal);
  if (file == platform::kInvalidHandleValue) return false;
  bytes->clear();
  std::vector<std::uint8_t> block;
  bool ok = true;
  for (;;) {
    if (!platform.ReadFile(file, kCompareBlock, &block)) {
      ok = false;
      break;
    }
    if (block.empty()) break;
    bytes->insert(bytes->end(), block.begin(), block.end());
  }
  platform.CloseHandle(file);
  return ok;
}

bool SameContents(Platform& platform, const std::string& a, const std::string& b) {
  std::vector<std::uint8_t> first;
  std::vector<std::uint8_t> second;
  return ReadWhole(platform, a, &first) && ReadWhole(platform, b, &second) && first == second;
}

// The file's own name, for its copy: what follows the last separator,
// forward slashes and a drive's colon too ("e:wormy.exe" is wormy.exe in
// drive E's current folder).
std::string FileNameOf(const std::string& path) {
  const std::size_t cut = path.find_last_of("\\/:");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

enum class Backup { kMade, kAlreadyThere, kSourceMissing, kImpossible };

// Copies the file into BackupDir without replacing a backup that holds other
// bytes: a taken name is tried again with a number. *copyName is the name of
// the copy that holds the file's bytes.
Backup MakeBackup(Session& session, const std::string& path, const std::string& fileName,
                  std::string* copyName) {
  Platform& platform = session.platform;
  for (int number = 0; number <= kMostNumberedBackups; ++number) {
    *copyName = fileName + (number == 0 ? std::string() : " (" + std::to_string(number + 1) + ")") +
                ".back";
    const std::string backup = session.run.BackupDir + *copyName;
    platform.SetLastError(0);
    if (platform.CopyFileA(path, backup, true)) return Backup::kMade;
    const std::uint32_t error = platform.GetLastError();
    if (error == platform::error::kFileExists || error == platform::error::kAlreadyExists) {
      if (SameContents(platform, path, backup)) return Backup::kAlreadyThere;
      continue;
    }
    // Not found may mean the file or the backup folder (or a file that came
    // back between the two calls): the file is asked for on its own. Only
    // "not found" (or a name no file can have) proves the file missing: a
    // query refused for any other reason says nothing, and the file must not
    // be deleted uncopied.
    platform.SetLastError(0);
    if (platform.GetFileAttributesA(path) == platform::kInvalidFileAttributes) {
      const std::uint32_t queryError = platform.GetLastError();
      if (queryError == platform::error::kFileNotFound ||
          queryError == platform::error::kPathNotFound ||
          queryError == platform::error::kInvalidName) {
        return Backup::kSourceMissing;
      }
    }
    return Backup::kImpossible;
  }
  return Backup::kImpossible;
}

}  // namespace

bool BackupAndDeleteFile(Session& session, const std::string& path) {
  Platform& platform = session.platform;
  // Windows' own file, and this program's, is kept whatever named it: the
  // sweep, a digest list, an autorun.inf or a Run value.
  const bool programFile = session.systemFiles.IsProgramFile(path);
  if (programFile || session.systemFiles.IsWindowsOwn(path)) {
    if (platform.GetFileAttributesA(path) != platform::kInvalidFileAttributes) {
      session.WriteMessage(programFile ? 14.7f : 14.5f, path);
    }
    return false;
  }
  const std::string fileName = FileNameOf(path);
  // A file that is kept after all keeps its read-only, hidden and system marks.
  const std::uint32_t attributes = platform.GetFileAttributesA(path);
  const auto keep = [&]() {
    if (attributes != platform::kInvalidFileAttributes &&
        attributes != platform::kFileAttributeNormal) {
      platform.SetFileAttributesA(path, attributes);
    }
    return false;
  };
  platform.SetFileAttributesA(path, platform::kFileAttributeNormal);
  std::string copyName;
  const Backup backup = MakeBackup(session, path, fileName, &copyName);
  switch (backup) {
    case Backup::kMade:
      session.WriteMessage(6, fileName);
      break;
    case Backup::kAlreadyThere:
    case Backup::kSourceMissing:
      break;
    case Backup::kImpossible:
      session.WriteMessage(13, path);
      return keep();
  }
  platform.SetLastError(0);
  if (platform.DeleteFileA(path)) {
    session.WriteMessage(14, path);
    session.run.FilesRemoved = true;
    if (backup != Backup::kSourceMissing) RecordRemovedFile(session, path, attributes, copyName);
    return true;
  }
  const std::uint32_t deleteError = platform.GetLastError();
  if (deleteError == platform::error::kAccessDenied) session.WriteMessage(13, path);
  return keep();
}

}  // namespace quellix
