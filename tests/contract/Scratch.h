// Scratch places for the cases: a folder under the temporary folder and a key
// under HKEY_CURRENT_USER\Software\QuellixContractTests, both named after the
// test, both emptied of what an aborted earlier run left and removed again
// when the case ends. Nothing else of the machine is written.
#pragma once

#include <string>

#include "platform/Platform.h"
#include "tests/contract/Backend.h"

namespace contract {

class ScratchFolder {
 public:
  ScratchFolder(Backend& backend, platform::Platform& platform, const std::string& name);
  ~ScratchFolder();

  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The folder with its trailing "\".
  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + name; }

  // Writes a file of the given bytes (created or replaced); false when it fails.
  bool Write(const std::string& name, const std::string& contents);
  // The whole contents of a file; false when it cannot be opened or read.
  bool Read(const std::string& name, std::string* contents);

 private:
  // Deletes everything below folder (with its trailing "\"), then the folder.
  void RemoveTree(const std::string& folder);

  Backend& backend_;
  platform::Platform& platform_;
  std::string parent_;
  std::string path_;
};

class ScratchKey {
 public:
  ScratchKey(platform::Platform& platform, const std::string& name);
  ~ScratchKey();

  ScratchKey(const ScratchKey&) = delete;
  ScratchKey& operator=(const ScratchKey&) = delete;

  // The key's path below HKEY_CURRENT_USER.
  const std::string& Path() const { return path_; }
  // An open handle to the key, or 0 when it could not be created.
  platform::HKey Handle() const { return key_; }

 private:
  // Deletes every key below the open key, deepest first.
  void DeleteSubKeys(platform::HKey key);

  platform::Platform& platform_;
  std::string path_;
  platform::HKey key_ = 0;
};

}  // namespace contract
