// The restore record: one text file per run in its backup folder that lists,
// in the order they were removed, everything the run took away and where its
// copy is, so that the run can be undone in one step. Quellix and Gorsel write
// the same format; docs/restore.md describes it for people who read it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "platform/Platform.h"

namespace platform::restore {

constexpr int kFormatVersion = 1;
// The record's file name in the backup folder: "Restore record.txt", then
// "Restore record (2).txt", ... for later runs into the same folder.
constexpr const char* kRecordStem = "Restore record";
constexpr const char* kRecordExtension = ".txt";

// The registry view a key was opened in: as designed (a 32-bit Windows, or a
// key both views share), or one of the two views of a 64-bit Windows.
enum class View { kNative, k64Bit, k32Bit };

struct RegistryValue {
  std::string name;  // "" for the key's default value
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
};

// A deleted file: its place as the log names it, and its copy in the folder.
struct RemovedFile {
  std::string path;
  std::uint32_t attributes = 0;
  std::uint64_t size = 0;
  std::string md5;   // of the copy, 32 upper-case hex digits; "" when none could be made
  std::string copy;  // the copy's file name in the backup folder
};

// A deleted registry value (a Run entry, a policy).
struct RemovedValue {
  HKey root = 0;
  View view = View::kNative;
  std::string key;  // below root, as opened
  RegistryValue value;
  std::string regFile;  // its export in the backup folder
};

// A deleted key with everything below it (a service's key).
struct RemovedKey {
  HKey root = 0;
  View view = View::kNative;
  std::string key;  // below root
  struct Entry {
    std::string subKey;  // below key; "" the key itself
    bool isValue = false;
    RegistryValue value;
  };
  std::vector<Entry> entries;  // every key before its values and its sub-keys
  std::string regFile;
};

// Lines taken out of the hosts file.
struct RemovedHostsLines {
  std::string path;
  std::uint32_t attributes = 0;  // the file's, before the run
  std::string copy;
  std::string md5;  // of the copy
  struct Line {
    std::size_t index = 0;  // its place among the lines of the file as it was
    std::string text;
    std::string ending;  // "\r\n", "\n" or "" for an unterminated last line
  };
  std::vector<Line> removed;
  // What the run appended: a line with its ending, or the whole text of a
  // file it wrote anew; "" for none.
  std::string addedLine;
  bool endingAdded = false;  // the run ended the last kept line to append it
};

using Item = std::variant<RemovedFile, RemovedValue, RemovedKey, RemovedHostsLines>;

// The record's first line.
std::string HeaderLine();
// One item as one line, ending with its line feed.
std::string ItemLine(const Item& item);
// The line that marks item number (1 based) as put back.
std::string RestoredLine(std::size_t number);

struct Record {
  int version = 0;
  // Every line that holds an item, by number: index 0 is item 1. A line
  // that cannot be read keeps its number, with readable false.
  struct Entry {
    bool readable = false;
    Item item;
  };
  std::vector<Entry> items;
  std::set<std::size_t> restored;  // item numbers put back already
  bool cutOff = false;             // the last line has no end: a run stopped in the middle of it
};

// Reads the bytes of a record. False when they are no record this program
// reads (no header, or a later format version).
bool ParseRecord(const std::string& bytes, Record* record);

// "HKLM", "HKCU", "HKCR", "HKU"; the inverse gives false for any other text.
std::string RootName(HKey root);
bool RootFromName(const std::string& name, HKey* root);

}  // namespace platform::restore
