// BackupAndDeleteFile: no file is deleted without a copy of its
// bytes in BackupDir.
#include <string>

#include "platform/restore/BackupCopy.h"
#include "quellix/engine/session/Session.h"
#include "quellix/engine/cleanup/BackupAndDeleteFile.h"
#include "quellix/engine/cleanup/RemovalRecord.h"

namespace quellix {

namespace {

// The file's own name, for its copy: what follows the last separator,
// forward slashes and a drive's colon too ("e:wormy.exe" is wormy.exe in
// drive E's current folder).
std::string FileNameOf(const std::string& path) {
  const std::size_t cut = path.find_last_of("\\/:");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace

using platform::Platform;
using platform::restore::BackupCopy;

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
  const BackupCopy backup =
      platform::restore::MakeBackupCopy(platform, path, session.run.BackupDir, fileName, &copyName);
  switch (backup) {
    case BackupCopy::kMade:
      session.WriteMessage(6, fileName);
      break;
    case BackupCopy::kAlreadyThere:
    case BackupCopy::kSourceMissing:
      break;
    case BackupCopy::kImpossible:
      session.WriteMessage(13, path);
      return keep();
  }
  platform.SetLastError(0);
  if (platform.DeleteFileA(path)) {
    session.WriteMessage(14, path);
    session.run.FilesRemoved = true;
    if (backup != BackupCopy::kSourceMissing)
      RecordRemovedFile(session, path, attributes, copyName);
    return true;
  }
  const std::uint32_t deleteError = platform.GetLastError();
  if (deleteError == platform::error::kAccessDenied) session.WriteMessage(13, path);
  return keep();
}

}  // namespace quellix
