// Writes a run's restore record as the run goes: the record is made with the
// first item, beside a short note that names the command which undoes the
// run, and every item is written to the file as soon as it is removed, so a
// run that stops midway leaves a record of what it did.
#pragma once

#include <string>

#include "platform/Platform.h"
#include "platform/restore/RestoreRecord.h"

namespace platform::restore {

// The note's file name in the backup folder.
constexpr const char* kUndoNoteName = "How to undo this run.txt";

class RecordWriter {
 public:
  explicit RecordWriter(Platform& platform);
  ~RecordWriter();
  RecordWriter(const RecordWriter&) = delete;
  RecordWriter& operator=(const RecordWriter&) = delete;

  // Starts the record of a new run in folder (ending with a backslash),
  // closing the record of the run before.
  void Start(const std::string& folder);
  // Appends one item. False when it could not be written whole; the item
  // is then missing from the record (and Path() names the record).
  bool Append(const Item& item);
  void Close();
  // The record's path once it is made; otherwise where it would go.
  std::string Path() const;

 private:
  bool Open();
  bool Write(const std::string& text);

  Platform& platform_;
  std::string folder_;
  std::string path_;
  Handle file_ = kInvalidHandleValue;
};

}  // namespace platform::restore
