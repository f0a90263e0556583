#include "quellix/engine/cleanup/BackupFiles.h"

namespace quellix {

std::string FileNamePart(const std::string& text) {
  std::string part = text;
  for (char& c : part) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || std::string("\\/:*?\"<>|").find(c) != std::string::npos) c = '_';
  }
  return part;
}

std::string FreeBackupPath(platform::Platform& platform, const std::string& folder,
                           const std::string& stem, const std::string& extension) {
  // A bound keeps a folder that reports every name as taken from holding the
  // run for ever; the last name tried then fails to be created, and says so.
  constexpr int kMostCopies = 9999;
  std::string path = folder + stem + extension;
  for (int copy = 2;
       copy <= kMostCopies && platform.GetFileAttributesA(path) != platform::kInvalidFileAttributes;
       ++copy) {
    path = folder + stem + " (" + std::to_string(copy) + ")" + extension;
  }
  return path;
}

bool WriteWholeFile(platform::Platform& platform, const std::string& path,
                    const std::vector<std::uint8_t>& bytes, bool replaceExisting) {
  const auto file =
      platform.CreateFileA(path, platform::kGenericWrite, 0,
                           replaceExisting ? platform::kCreateAlways : platform::kCreateNew,
                           platform::kFileAttributeNormal);
  if (file == platform::kInvalidHandleValue) return false;
  std::uint32_t written = 0;
  const bool complete = platform.WriteFile(file, bytes, &written) && written == bytes.size();
  const bool closed = platform.CloseHandle(file);
  // A new file that did not get all its bytes would pass for a backup later.
  if (!(complete && closed) && !replaceExisting) platform.DeleteFileA(path);
  return complete && closed;
}

}  // namespace quellix
