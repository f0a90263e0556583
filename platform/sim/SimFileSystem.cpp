#include "platform/sim/SimFileSystem.h"

#include <stdexcept>

#include "platform/sim/SimPath.h"
#include "platform/sim/SimText.h"

namespace platform::sim {

std::string FileNode::Name() const { return IsDriveRoot(path) ? path : LeafName(path); }

std::uint32_t FileNode::ReportedAttributes() const {
  if (directory) return attributes | kFileAttributeDirectory;
  return attributes == 0 ? kFileAttributeNormal : attributes;
}

std::string FileSystem::KeyOf(std::string_view canonicalPath) {
  return UpperCase1252(canonicalPath);
}

std::string FileSystem::AbsoluteOrThrow(std::string_view path) {
  const bool absolute = path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
  if (!absolute) throw std::invalid_argument("not an absolute path: '" + std::string(path) + "'");
  CanonicalPath canonical = Canonicalize(path, "C:\\");
  if (canonical.error != 0)
    throw std::invalid_argument("not a valid path: '" + std::string(path) + "'");
  return canonical.path;
}

FileNode* FileSystem::Find(std::string_view canonicalPath) {
  auto found = nodes_.find(KeyOf(canonicalPath));
  return found == nodes_.end() ? nullptr : &found->second;
}

const FileNode* FileSystem::Find(std::string_view canonicalPath) const {
  auto found = nodes_.find(KeyOf(canonicalPath));
  return found == nodes_.end() ? nullptr : &found->second;
}

FileNode& FileSystem::Insert(std::string_view canonicalPath, bool directory,
                             std::uint32_t attributes) {
  FileNode node;
  // Keep the stored case of the folders above, as Windows reports it.
  const std::string parent = ParentPath(canonicalPath);
  const FileNode* parentNode = parent.empty() ? nullptr : Find(parent);
  node.path = parentNode != nullptr ? JoinPath(parentNode->path, LeafName(canonicalPath))
                                    : std::string(canonicalPath);
  node.directory = directory;
  node.attributes = directory ? (attributes | kFileAttributeDirectory) : attributes;
  node.serial = nextSerial_++;
  return nodes_[KeyOf(canonicalPath)] = std::move(node);
}

bool FileSystem::Remove(std::string_view canonicalPath) {
  const std::string key = KeyOf(canonicalPath);
  auto found = nodes_.find(key);
  if (found == nodes_.end()) return false;
  const bool directory = found->second.directory;
  nodes_.erase(found);
  if (directory) {
    const std::string prefix = IsDriveRoot(key) ? key : key + "\\";
    auto below = nodes_.lower_bound(prefix);
    while (below != nodes_.end() && below->first.compare(0, prefix.size(), prefix) == 0) {
      below = nodes_.erase(below);
    }
  }
  return true;
}

std::vector<const FileNode*> FileSystem::Children(std::string_view canonicalFolder) const {
  std::vector<const FileNode*> children;
  const std::string key = KeyOf(canonicalFolder);
  const std::string prefix = IsDriveRoot(key) ? key : key + "\\";
  for (auto it = nodes_.lower_bound(prefix);
       it != nodes_.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it) {
    if (it->first.size() == prefix.size()) continue;  // the drive root itself
    if (it->first.find('\\', prefix.size()) == std::string::npos) children.push_back(&it->second);
  }
  return children;
}

bool FileSystem::HasChildren(std::string_view canonicalFolder) const {
  const std::string key = KeyOf(canonicalFolder);
  const std::string prefix = IsDriveRoot(key) ? key : key + "\\";
  auto it = nodes_.upper_bound(prefix);
  return it != nodes_.end() && it->first.compare(0, prefix.size(), prefix) == 0;
}

FileNode& FileSystem::AddFolder(std::string_view path) {
  const std::string canonical = AbsoluteOrThrow(path);
  if (FileNode* existing = Find(canonical)) {
    if (!existing->directory) {
      throw std::invalid_argument("a file is in the way of folder '" + canonical + "'");
    }
    return *existing;
  }
  const std::string parent = ParentPath(canonical);
  if (!parent.empty()) AddFolder(parent);
  return Insert(canonical, true, 0);
}

FileNode& FileSystem::AddFile(std::string_view path, std::vector<std::uint8_t> contents,
                              std::uint32_t attributes) {
  const std::string canonical = AbsoluteOrThrow(path);
  if (IsDriveRoot(canonical)) throw std::invalid_argument("a drive root is not a file");
  FileNode* node = Find(canonical);
  if (node != nullptr && node->directory) {
    throw std::invalid_argument("a folder is in the way of file '" + canonical + "'");
  }
  if (node == nullptr) {
    AddFolder(ParentPath(canonical));
    node = &Insert(canonical, false, attributes);
  }
  node->attributes = attributes & ~kFileAttributeDirectory;
  node->contents = std::move(contents);
  return *node;
}

FileNode& FileSystem::AddTextFile(std::string_view path, std::string_view text,
                                  std::uint32_t attributes) {
  return AddFile(path, ToBytes(text), attributes);
}

FileNode* FileSystem::FindPath(std::string_view path) {
  CanonicalPath canonical = Canonicalize(path, "C:\\");
  return canonical.error != 0 ? nullptr : Find(canonical.path);
}

const FileNode* FileSystem::FindPath(std::string_view path) const {
  return const_cast<FileSystem*>(this)->FindPath(path);
}

bool FileSystem::RemovePath(std::string_view path) {
  CanonicalPath canonical = Canonicalize(path, "C:\\");
  return canonical.error == 0 && Remove(canonical.path);
}

}  // namespace platform::sim
