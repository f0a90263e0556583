// The simulated file system: folders and files under drive roots, found
// without regard to case and listed in the order of their upper-cased names
// (as NTFS lists a folder). Paths here are canonical (see SimPath.h).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

namespace platform::sim {

struct FileNode {
  std::string path;  // canonical, with the case it was created with
  bool directory = false;
  // FILE_ATTRIBUTE_* bits; a folder always carries kFileAttributeDirectory.
  // A file with no bits set reads as kFileAttributeNormal.
  std::uint32_t attributes = kFileAttributeArchive;
  std::vector<std::uint8_t> contents;
  // Opened exclusively by another process: every open, copy or delete meets
  // a sharing violation; attributes can still be read and set.
  bool locked = false;
  // Windows' file protection guards it (SfcIsFileProtected).
  bool windowsProtected = false;
  // Tells a node apart from a later node of the same path.
  std::uint64_t serial = 0;

  std::string Name() const;
  // What GetFileAttributesA reports.
  std::uint32_t ReportedAttributes() const;
};

class FileSystem {
 public:
  FileNode* Find(std::string_view canonicalPath);
  const FileNode* Find(std::string_view canonicalPath) const;
  // Adds a node whose parent exists (or a drive root); the caller checked
  // that the path is free.
  FileNode& Insert(std::string_view canonicalPath, bool directory, std::uint32_t attributes);
  // Removes one node (and, for a folder, everything below it).
  bool Remove(std::string_view canonicalPath);
  // The nodes directly inside a folder, in listing order.
  std::vector<const FileNode*> Children(std::string_view canonicalFolder) const;
  bool HasChildren(std::string_view canonicalFolder) const;
  const std::map<std::string, FileNode>& Nodes() const { return nodes_; }

  // Test and scenario helpers taking absolute paths ("C:\WINDOWS\x.exe");
  // missing folders above are created. They throw std::invalid_argument for a
  // path that is not absolute or not valid, or one that is taken by a node of
  // the other kind. Adding an existing file replaces its contents and attributes.
  FileNode& AddFolder(std::string_view path);
  FileNode& AddFile(std::string_view path, std::vector<std::uint8_t> contents,
                    std::uint32_t attributes = kFileAttributeArchive);
  FileNode& AddTextFile(std::string_view path, std::string_view text,
                        std::uint32_t attributes = kFileAttributeArchive);
  // nullptr when the path is not valid or nothing is there.
  FileNode* FindPath(std::string_view path);
  const FileNode* FindPath(std::string_view path) const;
  bool RemovePath(std::string_view path);

 private:
  static std::string KeyOf(std::string_view canonicalPath);
  static std::string AbsoluteOrThrow(std::string_view path);

  std::map<std::string, FileNode> nodes_;  // by upper-cased canonical path
  std::uint64_t nextSerial_ = 1;
};

}  // namespace platform::sim
