// Files and folders of SimPlatform.
#include <algorithm>
#include <string>

#include "platform/sim/SimPath.h"
#include "platform/sim/SimPlatform.h"
#include "platform/sim/SimText.h"

namespace platform::sim {

namespace {

constexpr std::uint32_t kFileShareDelete = 0x4;
constexpr std::uint32_t kFileReadData = 0x1;
constexpr std::uint32_t kFileWriteData = 0x2;
constexpr std::uint32_t kFileAppendData = 0x4;
constexpr std::uint32_t kDeleteAccess = 0x00010000;
constexpr std::uint32_t kGenericAll = 0x10000000;
constexpr std::uint32_t kFileAttributeTemporary = 0x100;
constexpr std::uint32_t kFileAttributeOffline = 0x1000;
constexpr std::uint32_t kFileAttributeNotContentIndexed = 0x2000;
// The attributes a program can set on a file.
constexpr std::uint32_t kSettableAttributes =
    kFileAttributeReadOnly | kFileAttributeHidden | kFileAttributeSystem | kFileAttributeArchive |
    kFileAttributeTemporary | kFileAttributeOffline | kFileAttributeNotContentIndexed;
constexpr std::uint32_t kHiddenOrSystem = kFileAttributeHidden | kFileAttributeSystem;

std::string Hex(std::uint32_t value) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (int shift = 28; shift >= 0; shift -= 4) text += kDigits[(value >> shift) & 0xF];
  return "0x" + text;
}

std::string DispositionName(std::uint32_t disposition) {
  switch (disposition) {
    case kCreateNew:
      return "CREATE_NEW";
    case kCreateAlways:
      return "CREATE_ALWAYS";
    case kOpenExisting:
      return "OPEN_EXISTING";
    case kOpenAlways:
      return "OPEN_ALWAYS";
    case kTruncateExisting:
      return "TRUNCATE_EXISTING";
    default:
      return "disposition " + std::to_string(disposition);
  }
}

// Replacing a hidden or system file is refused unless the new attributes keep
// those bits (CreateFile's CREATE_ALWAYS rule, which CopyFile follows too).
bool KeepsHiddenSystem(const FileNode& existing, std::uint32_t newAttributes) {
  const std::uint32_t held = existing.attributes & kHiddenOrSystem;
  return (newAttributes & held) == held;
}

}  // namespace

SimPlatform::Location SimPlatform::Locate(const std::string& path) {
  Location location;
  const CanonicalPath canonical = Canonicalize(path, machine_.currentDirectory);
  if (canonical.error != 0) {
    location.error = canonical.error;
    return location;
  }
  location.path = machine_.Wow64() && !redirectionOff_ ? machine_.RedirectedPath(canonical.path)
                                                       : canonical.path;
  location.shown = location.path;
  const Drive* drive = machine_.FindDrive(location.path[0]);
  if (drive == nullptr) {
    location.error = error::kPathNotFound;
    return location;
  }
  if (!drive->ready) {
    location.error = static_cast<long>(simerror::kNotReady);
    return location;
  }
  location.node = machine_.files.Find(location.path);
  const std::string parent = ParentPath(location.path);
  const FileNode* parentNode = parent.empty() ? nullptr : machine_.files.Find(parent);
  location.parentExists = parent.empty() || (parentNode != nullptr && parentNode->directory);
  // Shown with the stored case of the deepest folder that exists.
  std::string missingTail;
  for (std::string known = location.path; !known.empty(); known = ParentPath(known)) {
    if (const FileNode* existing = machine_.files.Find(known)) {
      location.shown = missingTail.empty() ? existing->path : JoinPath(existing->path, missingTail);
      break;
    }
    missingTail = missingTail.empty() ? LeafName(known) : JoinPath(LeafName(known), missingTail);
  }
  return location;
}

bool SimPlatform::SharingConflict(const FileNode& node, bool read, bool write, bool remove,
                                  std::uint32_t shareMode) const {
  for (const auto& [handle, entry] : handles_) {
    if (entry.kind != Kind::kFile || entry.serial != node.serial) continue;
    if ((read && !(entry.shareMode & kFileShareRead)) ||
        (write && !(entry.shareMode & kFileShareWrite)) ||
        (remove && !(entry.shareMode & kFileShareDelete))) {
      return true;
    }
    if ((entry.canRead && !(shareMode & kFileShareRead)) ||
        (entry.canWrite && !(shareMode & kFileShareWrite)) ||
        (entry.canDelete && !(shareMode & kFileShareDelete))) {
      return true;
    }
  }
  return false;
}

FileNode* SimPlatform::FileOfHandle(HandleEntry& entry) {
  FileNode* node = machine_.files.Find(entry.path);
  return node != nullptr && node->serial == entry.serial ? node : nullptr;
}

std::uint32_t SimPlatform::GetFileAttributesA(const std::string& path) {
  const Location location = Locate(path);
  if (location.error != 0) {
    Fail(static_cast<std::uint32_t>(location.error));
    return kInvalidFileAttributes;
  }
  if (auto fault = TakeFault("GetFileAttributesA", {location.path})) {
    Fail(*fault);
    return kInvalidFileAttributes;
  }
  if (location.node == nullptr) {
    Fail(location.parentExists ? error::kFileNotFound : error::kPathNotFound);
    return kInvalidFileAttributes;
  }
  return location.node->ReportedAttributes();
}

bool SimPlatform::SetFileAttributesA(const std::string& path, std::uint32_t attributes) {
  const Location location = Locate(path);
  const std::string target = location.shown.empty() ? path : location.shown;
  auto finish = [&](long result, bool missing = false) {
    Record("SetFileAttributesA", target, "attributes " + Hex(attributes), result, missing);
    return result == error::kSuccess ? true : Fail(static_cast<std::uint32_t>(result));
  };
  if (location.error != 0) return finish(location.error);
  if (auto fault = TakeFault("SetFileAttributesA", {location.path})) {
    return finish(static_cast<long>(*fault));
  }
  if (location.node == nullptr) {
    return finish(location.parentExists ? error::kFileNotFound : error::kPathNotFound, true);
  }
  std::uint32_t stored = attributes & kSettableAttributes;
  if (location.node->directory) stored |= kFileAttributeDirectory;
  location.node->attributes = stored;
  return finish(error::kSuccess);
}

bool SimPlatform::CopyFileA(const std::string& existing, const std::string& target,
                            bool failIfExists) {
  const Location source = Locate(existing);
  const Location destination = Locate(target);
  const std::string sourcePath = source.shown.empty() ? existing : source.shown;
  const std::string targetPath = destination.shown.empty() ? target : destination.shown;
  auto finish = [&](long result, bool missing = false) {
    Record("CopyFileA", targetPath,
           "from " + sourcePath + (failIfExists ? ", fail if exists" : ", overwrite"), result,
           missing);
    return result == error::kSuccess ? true : Fail(static_cast<std::uint32_t>(result));
  };
  if (source.error != 0) return finish(source.error);
  if (destination.error != 0) return finish(destination.error);
  if (auto fault = TakeFault("CopyFileA", {source.path, destination.path})) {
    return finish(static_cast<long>(*fault));
  }
  const FileNode* from = source.node;
  if (from == nullptr) {
    return finish(source.parentExists ? error::kFileNotFound : error::kPathNotFound, true);
  }
  if (from->directory) return finish(error::kAccessDenied);
  if (from->locked ||
      SharingConflict(*from, true, false, false, kFileShareRead | kFileShareDelete)) {
    return finish(error::kSharingViolation);
  }
  if (!destination.parentExists) return finish(error::kPathNotFound);
  const std::uint32_t newAttributes =
      (from->attributes & kSettableAttributes) | kFileAttributeArchive;
  FileNode* to = destination.node;
  if (to != nullptr) {
    if (to == from) return finish(error::kSharingViolation);
    if (to->directory) return finish(error::kAccessDenied);
    if (failIfExists) return finish(error::kFileExists);
    if (to->locked || machine_.IsRunningImage(to->path) ||
        SharingConflict(*to, false, true, false, 0)) {
      return finish(error::kSharingViolation);
    }
    if ((to->attributes & kFileAttributeReadOnly) || !KeepsHiddenSystem(*to, newAttributes)) {
      return finish(error::kAccessDenied);
    }
  } else {
    to = &machine_.files.Insert(destination.path, false, newAttributes);
  }
  to->contents = from->contents;
  to->attributes = newAttributes;
  return finish(error::kSuccess);
}

bool SimPlatform::DeleteFileA(const std::string& path) {
  const Location location = Locate(path);
  const std::string target = location.shown.empty() ? path : location.shown;
  auto finish = [&](long result, bool missing = false) {
    Record("DeleteFileA", target, "delete file", result, missing);
    return result == error::kSuccess ? true : Fail(static_cast<std::uint32_t>(result));
  };
  if (location.error != 0) return finish(location.error);
  if (auto fault = TakeFault("DeleteFileA", {location.path})) {
    return finish(static_cast<long>(*fault));
  }
  const FileNode* node = location.node;
  if (node == nullptr) {
    return finish(location.parentExists ? error::kFileNotFound : error::kPathNotFound, true);
  }
  if (node->directory) return finish(error::kAccessDenied);
  if (node->locked || SharingConflict(*node, false, false, true,
                                      kFileShareRead | kFileShareWrite | kFileShareDelete)) {
    return finish(error::kSharingViolation);
  }
  // The image of a running program and a read-only file refuse deletion.
  if (machine_.IsRunningImage(node->path) || (node->attributes & kFileAttributeReadOnly)) {
    return finish(error::kAccessDenied);
  }
  machine_.files.Remove(location.path);
  return finish(error::kSuccess);
}

bool SimPlatform::CreateDirectoryA(const std::string& path) {
  const Location location = Locate(path);
  const std::string target = location.shown.empty() ? path : location.shown;
  auto finish = [&](long result) {
    Record("CreateDirectoryA", target, "create folder", result);
    return result == error::kSuccess ? true : Fail(static_cast<std::uint32_t>(result));
  };
  if (location.error != 0) return finish(location.error);
  if (auto fault = TakeFault("CreateDirectoryA", {location.path})) {
    return finish(static_cast<long>(*fault));
  }
  if (location.node != nullptr) return finish(error::kAlreadyExists);
  if (!location.parentExists) return finish(error::kPathNotFound);
  machine_.files.Insert(location.path, true, 0);
  return finish(error::kSuccess);
}

bool SimPlatform::FindFiles(const std::string& pattern, std::vector<FindEntry>* entries) {
  std::string text = pattern;
  std::replace(text.begin(), text.end(), '/', '\\');
  // The folder part ends at the last separator ("c:\dir\"), or is a bare
  // drive ("c:*.inf") or the current folder ("*.inf").
  std::string folderPart = ".";
  std::string name = text;
  const std::size_t slash = text.rfind('\\');
  if (slash != std::string::npos) {
    folderPart = text.substr(0, slash + 1);
    name = text.substr(slash + 1);
  } else if (text.size() >= 2 && text[1] == ':') {
    folderPart = text.substr(0, 2);
    name = text.substr(2);
  }

  const Location folder = Locate(folderPart);
  if (folder.error != 0) return Fail(static_cast<std::uint32_t>(folder.error));
  if (auto fault = TakeFault("FindFiles", {JoinPath(folder.path, name)})) return Fail(*fault);
  if (folder.node == nullptr || !folder.node->directory) return Fail(error::kPathNotFound);
  if (name.empty()) return Fail(error::kFileNotFound);

  entries->clear();
  if (!IsDriveRoot(folder.path)) {
    for (const char* dots : {".", ".."}) {
      if (MatchesFileName(name, dots)) {
        entries->push_back(FindEntry{dots, kFileAttributeDirectory, 0});
      }
    }
  }
  for (const FileNode* child : machine_.files.Children(folder.path)) {
    const std::string shortName = ShortName(child->Name());
    if (!MatchesFileName(name, child->Name()) &&
        (shortName.empty() || !MatchesFileName(name, shortName))) {
      continue;
    }
    entries->push_back(FindEntry{child->Name(), child->ReportedAttributes(),
                                 child->directory ? 0 : child->contents.size()});
  }
  if (entries->empty()) return Fail(error::kFileNotFound);
  lastError_ = simerror::kNoMoreFiles;
  return true;
}

Handle SimPlatform::CreateFileA(const std::string& path, std::uint32_t access,
                                std::uint32_t shareMode, std::uint32_t disposition,
                                std::uint32_t attributes) {
  const bool read = (access & (kGenericRead | kGenericAll | kFileReadData)) != 0;
  const bool write =
      (access & (kGenericWrite | kGenericAll | kFileWriteData | kFileAppendData)) != 0;
  const bool remove = (access & (kDeleteAccess | kGenericAll)) != 0;
  const bool changes = write || (disposition != kOpenExisting);
  const Location location = Locate(path);
  const std::string target = location.shown.empty() ? path : location.shown;
  std::string detail = DispositionName(disposition) + (write ? ", write" : ", read");
  auto fail = [&](long result, bool missing = false) {
    if (changes) Record("CreateFileA", target, detail, result, missing);
    Fail(static_cast<std::uint32_t>(result));
    return kInvalidHandleValue;
  };
  if (disposition < kCreateNew || disposition > kTruncateExisting) {
    return fail(error::kInvalidParameter);
  }
  if (location.error != 0) return fail(location.error);
  if (auto fault = TakeFault("CreateFileA", {location.path}))
    return fail(static_cast<long>(*fault));
  if (!location.parentExists) return fail(error::kPathNotFound);

  FileNode* node = location.node;
  const std::uint32_t newAttributes = ((attributes & kSettableAttributes) | kFileAttributeArchive);
  std::uint32_t lastError = error::kSuccess;
  if (node != nullptr) {
    if (node->directory) return fail(error::kAccessDenied);
    if (disposition == kCreateNew) return fail(error::kFileExists);
    const bool truncates = disposition == kCreateAlways || disposition == kTruncateExisting;
    if (disposition == kTruncateExisting && !write) return fail(error::kInvalidParameter);
    if (node->locked || SharingConflict(*node, read, write, remove, shareMode)) {
      return fail(error::kSharingViolation);
    }
    // A running program's image is mapped: it can be read, never written.
    if (machine_.IsRunningImage(node->path) &&
        (write || truncates || !(shareMode & kFileShareRead))) {
      return fail(error::kSharingViolation);
    }
    if ((node->attributes & kFileAttributeReadOnly) && (write || truncates)) {
      return fail(error::kAccessDenied);
    }
    if (disposition == kCreateAlways && !KeepsHiddenSystem(*node, newAttributes)) {
      return fail(error::kAccessDenied);
    }
    if (truncates) node->contents.clear();
    if (disposition == kCreateAlways) node->attributes = newAttributes;
    if (disposition == kCreateAlways || disposition == kOpenAlways)
      lastError = error::kAlreadyExists;
    detail += truncates ? ", truncated" : ", opened";
  } else {
    if (disposition == kOpenExisting || disposition == kTruncateExisting) {
      return fail(error::kFileNotFound, true);
    }
    node = &machine_.files.Insert(location.path, false, newAttributes);
    detail += ", created";
  }
  HandleEntry entry;
  entry.kind = Kind::kFile;
  entry.access = access;
  entry.path = node->path;
  entry.serial = node->serial;
  entry.shareMode = shareMode;
  entry.canRead = read;
  entry.canWrite = write;
  entry.canDelete = remove;
  const Handle handle = AddHandle(std::move(entry));
  if (changes) Record("CreateFileA", target, detail, error::kSuccess);
  lastError_ = lastError;
  return handle;
}

bool SimPlatform::ReadFile(Handle file, std::uint32_t bytesToRead,
                           std::vector<std::uint8_t>* data) {
  HandleEntry* entry = FindHandle(file, Kind::kFile);
  if (entry == nullptr) return Fail(error::kInvalidHandle);
  if (!entry->canRead) return Fail(error::kAccessDenied);
  if (auto fault = TakeFault("ReadFile", {entry->path})) return Fail(*fault);
  const FileNode* node = FileOfHandle(*entry);
  if (node == nullptr) return Fail(error::kInvalidHandle);
  const std::uint64_t size = node->contents.size();
  const std::uint64_t start = std::min(entry->position, size);
  const std::uint64_t count = std::min<std::uint64_t>(bytesToRead, size - start);
  data->assign(node->contents.begin() + static_cast<std::ptrdiff_t>(start),
               node->contents.begin() + static_cast<std::ptrdiff_t>(start + count));
  entry->position = start + count;
  return true;
}

bool SimPlatform::WriteFile(Handle file, const std::vector<std::uint8_t>& data,
                            std::uint32_t* bytesWritten) {
  *bytesWritten = 0;
  HandleEntry* entry = FindHandle(file, Kind::kFile);
  const std::string target = entry != nullptr ? entry->path : "(invalid handle)";
  const std::string detail = std::to_string(data.size()) + " bytes at offset " +
                             std::to_string(entry != nullptr ? entry->position : 0);
  auto finish = [&](long result) {
    Record("WriteFile", target, detail, result);
    return result == error::kSuccess ? true : Fail(static_cast<std::uint32_t>(result));
  };
  if (entry == nullptr) return finish(error::kInvalidHandle);
  if (!entry->canWrite) return finish(error::kAccessDenied);
  if (auto fault = TakeFault("WriteFile", {entry->path})) return finish(static_cast<long>(*fault));
  FileNode* node = FileOfHandle(*entry);
  if (node == nullptr) return finish(error::kInvalidHandle);
  const std::size_t start = static_cast<std::size_t>(entry->position);
  if (node->contents.size() < start + data.size()) node->contents.resize(start + data.size());
  std::copy(data.begin(), data.end(), node->contents.begin() + static_cast<std::ptrdiff_t>(start));
  entry->position = start + data.size();
  *bytesWritten = static_cast<std::uint32_t>(data.size());
  return finish(error::kSuccess);
}

bool SimPlatform::GetFileSizeEx(Handle file, std::uint64_t* size) {
  HandleEntry* entry = FindHandle(file, Kind::kFile);
  if (entry == nullptr) return Fail(error::kInvalidHandle);
  if (auto fault = TakeFault("GetFileSizeEx", {entry->path})) return Fail(*fault);
  const FileNode* node = FileOfHandle(*entry);
  if (node == nullptr) return Fail(error::kInvalidHandle);
  *size = node->contents.size();
  return true;
}

}  // namespace platform::sim
