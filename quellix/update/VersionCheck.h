// The version check's answer: the first "Version: " line names the newest
// program, a "VDB: " line after it the newest signature database. The answer
// is collected until it can be judged, so one that arrives in several pieces
// is judged once, whole.
#pragma once

#include <cstddef>
#include <string>
#include <utility>

namespace quellix::update {

// More than any answer of an update host; a longer one is judged as it is.
constexpr std::size_t kMostCheckBytes = 64 * 1024;

struct OwnVersions {
  int major = 0;
  int minor = 0;
  std::string database;  // as the window caption holds it, "7.00"
};

enum class CheckVerdict {
  Incomplete,       // more text may still make it judgeable
  Failed,           // no usable answer
  NothingNewer,     // program and database are current
  UpdateAvailable,  // a newer program, or a newer database
};

// Judges the text received so far. With more to come (final false), a value
// whose CR LF has not arrived yet is Incomplete rather than Failed.
CheckVerdict JudgeVersionCheck(const std::string& text, const OwnVersions& own, bool final);

class VersionCheckAnswer {
 public:
  explicit VersionCheckAnswer(OwnVersions own) : own_(std::move(own)) {}

  // One received piece. The answer is final when it has reached its
  // Content-Length or the size limit; nothing past the limit is kept.
  CheckVerdict Add(const std::string& piece);
  // The connection has closed: whatever came is all there is.
  CheckVerdict Close() const;
  bool Empty() const { return text_.empty(); }

 private:
  OwnVersions own_;
  std::string text_;
};

}  // namespace quellix::update
