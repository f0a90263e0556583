#include "platform/restore/RecordWriter.h"

#include <vector>

namespace platform::restore {
namespace {

// A folder with every name taken would otherwise hold the run for ever.
constexpr int kMostRecords = 9999;

std::string FolderArgument(const std::string& folder) {
  if (folder.find(' ') == std::string::npos) return folder;
  // A quoted argument must not end with a backslash, which would escape the quote.
  std::string bare = folder;
  while (!bare.empty() && bare.back() == '\\') bare.pop_back();
  return "\"" + bare + "\"";
}

std::string UndoNote(const std::string& folder) {
  return "Everything this run removed was copied into this folder and is listed in its "
         "\"Restore record\" files.\r\n"
         "To put it all back, run:  quellix-pass --restore " +
         FolderArgument(folder) +
         "\r\n"
         "Add --dry-run to see what it would do first, or --only NAME to put back just one "
         "program.\r\n";
}

}  // namespace

RecordWriter::RecordWriter(Platform& platform) : platform_(platform) {}

RecordWriter::~RecordWriter() { Close(); }

void RecordWriter::Start(const std::string& folder) {
  Close();
  folder_ = folder;
  path_.clear();
}

void RecordWriter::Close() {
  if (file_ != kInvalidHandleValue) platform_.CloseHandle(file_);
  file_ = kInvalidHandleValue;
}

std::string RecordWriter::Path() const {
  return path_.empty() ? folder_ + kRecordStem + kRecordExtension : path_;
}

bool RecordWriter::Write(const std::string& text) {
  std::uint32_t written = 0;
  return platform_.WriteFile(file_, std::vector<std::uint8_t>(text.begin(), text.end()),
                             &written) &&
         written == text.size();
}

bool RecordWriter::Open() {
  if (file_ != kInvalidHandleValue) return true;
  // Each run gets a record of its own; a taken name is never written into.
  for (int number = 1; number <= kMostRecords && file_ == kInvalidHandleValue; ++number) {
    path_ = folder_ + kRecordStem +
            (number == 1 ? std::string() : " (" + std::to_string(number) + ")") + kRecordExtension;
    platform_.SetLastError(0);
    file_ = platform_.CreateFileA(path_, kGenericWrite, kFileShareRead, kCreateNew,
                                  kFileAttributeNormal);
    const std::uint32_t error = platform_.GetLastError();
    if (file_ == kInvalidHandleValue && error != error::kFileExists &&
        error != error::kAlreadyExists) {
      return false;
    }
  }
  if (file_ == kInvalidHandleValue) return false;
  // Items after a missing header could not be read back: the next item
  // starts a record of its own.
  if (!Write(HeaderLine())) {
    Close();
    return false;
  }
  // The note is the same for every run into the folder: the first one stays.
  const std::string note = UndoNote(folder_);
  const Handle noteFile = platform_.CreateFileA(folder_ + kUndoNoteName, kGenericWrite, 0,
                                                kCreateNew, kFileAttributeNormal);
  if (noteFile != kInvalidHandleValue) {
    std::uint32_t written = 0;
    platform_.WriteFile(noteFile, std::vector<std::uint8_t>(note.begin(), note.end()), &written);
    platform_.CloseHandle(noteFile);
  }
  return true;
}

bool RecordWriter::Append(const Item& item) { return Open() && Write(ItemLine(item)); }

}  // namespace platform::restore
