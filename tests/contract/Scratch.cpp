#include "tests/contract/Scratch.h"

#include <vector>

namespace contract {
namespace {

constexpr const char* kScratchName = "QuellixContractTests";
constexpr const char* kScratchKeyParent = "Software\\QuellixContractTests";

std::string TempFolder(platform::Platform& platform) {
  std::string buffer(260, ' ');
  const std::uint32_t length = platform.GetTempPathA(buffer);
  return length > 0 && length < buffer.size() ? buffer.substr(0, length) : std::string();
}

bool IsDotEntry(const std::string& name) { return name == "." || name == ".."; }

}  // namespace

ScratchFolder::ScratchFolder(Backend& backend, platform::Platform& platform,
                             const std::string& name)
    : backend_(backend),
      platform_(platform),
      parent_(TempFolder(platform) + kScratchName + "\\"),
      path_(parent_ + name + "\\") {
  platform_.CreateDirectoryA(parent_);
  if (platform_.GetFileAttributesA(path_) != platform::kInvalidFileAttributes) RemoveTree(path_);
  platform_.CreateDirectoryA(path_);
}

ScratchFolder::~ScratchFolder() {
  RemoveTree(path_);
  // Other cases may still use the parent; it goes only when it is empty.
  std::vector<platform::FindEntry> left;
  platform_.FindFiles(parent_ + "*", &left);
  bool empty = true;
  for (const auto& entry : left) empty = empty && IsDotEntry(entry.name);
  if (empty) backend_.RemoveFolder(parent_.substr(0, parent_.size() - 1));
}

bool ScratchFolder::Write(const std::string& name, const std::string& contents) {
  const platform::Handle file =
      platform_.CreateFileA(path_ + name, platform::kGenericWrite, 0, platform::kCreateAlways,
                            platform::kFileAttributeNormal);
  if (file == platform::kInvalidHandleValue) return false;
  std::uint32_t written = 0;
  const bool ok =
      platform_.WriteFile(file, std::vector<std::uint8_t>(contents.begin(), contents.end()),
                          &written) &&
      written == contents.size();
  return platform_.CloseHandle(file) && ok;
}

bool ScratchFolder::Read(const std::string& name, std::string* contents) {
  const platform::Handle file =
      platform_.CreateFileA(path_ + name, platform::kGenericRead, platform::kFileShareRead,
                            platform::kOpenExisting, platform::kFileAttributeNormal);
  if (file == platform::kInvalidHandleValue) return false;
  std::uint64_t size = 0;
  std::vector<std::uint8_t> bytes;
  const bool ok = platform_.GetFileSizeEx(file, &size) &&
                  platform_.ReadFile(file, static_cast<std::uint32_t>(size), &bytes) &&
                  bytes.size() == size;
  platform_.CloseHandle(file);
  contents->assign(bytes.begin(), bytes.end());
  return ok;
}

void ScratchFolder::RemoveTree(const std::string& folder) {
  std::vector<platform::FindEntry> entries;
  platform_.FindFiles(folder + "*", &entries);
  for (const auto& entry : entries) {
    if (IsDotEntry(entry.name)) continue;
    const std::string path = folder + entry.name;
    if (entry.attributes & platform::kFileAttributeDirectory) {
      RemoveTree(path + "\\");
    } else {
      platform_.SetFileAttributesA(path, platform::kFileAttributeNormal);
      platform_.DeleteFileA(path);
    }
  }
  backend_.RemoveFolder(folder.substr(0, folder.size() - 1));
}

ScratchKey::ScratchKey(platform::Platform& platform, const std::string& name)
    : platform_(platform), path_(std::string(kScratchKeyParent) + "\\" + name) {
  platform::HKey leftOver = 0;
  if (platform_.RegOpenKeyA(platform::kHkeyCurrentUser, path_, &leftOver) ==
      platform::error::kSuccess) {
    DeleteSubKeys(leftOver);
    platform_.RegCloseKey(leftOver);
    platform_.RegDeleteKeyA(platform::kHkeyCurrentUser, path_);
  }
  if (platform_.RegCreateKeyA(platform::kHkeyCurrentUser, path_, &key_) !=
      platform::error::kSuccess) {
    key_ = 0;
  }
}

ScratchKey::~ScratchKey() {
  if (key_ != 0) {
    DeleteSubKeys(key_);
    platform_.RegCloseKey(key_);
  }
  platform_.RegDeleteKeyA(platform::kHkeyCurrentUser, path_);
  // Fails while another case's key is below it, which is as it should be.
  platform_.RegDeleteKeyA(platform::kHkeyCurrentUser, kScratchKeyParent);
}

void ScratchKey::DeleteSubKeys(platform::HKey key) {
  std::string name;
  // Index 0 each time: a deleted key's followers move up.
  while (platform_.RegEnumKeyExA(key, 0, 256, &name) == platform::error::kSuccess) {
    platform::HKey sub = 0;
    if (platform_.RegOpenKeyA(key, name, &sub) == platform::error::kSuccess) {
      DeleteSubKeys(sub);
      platform_.RegCloseKey(sub);
    }
    if (platform_.RegDeleteKeyA(key, name) != platform::error::kSuccess) return;
  }
}

}  // namespace contract
