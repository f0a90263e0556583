#include "quellix/restore/RestoreFolder.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "platform/restore/RestoreRecord.h"
#include "quellix/engine/system/AnsiText.h"
#include "quellix/engine/system/NativeFiles.h"
#include "quellix/restore/RestoreItems.h"

namespace quellix::restore {
namespace {

namespace record = platform::restore;
using platform::Platform;

constexpr std::uint32_t kReadBlock = 65536;

// The number of a record's file name: 1 for "Restore record.txt", N for
// "Restore record (N).txt", 0 for any other name.
int RecordNumber(const std::string& name) {
  const auto lower = [](std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
  };
  const std::string stem = record::kRecordStem;
  const std::string extension = record::kRecordExtension;
  if (name.size() < stem.size() + extension.size()) return 0;
  const std::string lowerName = lower(name);
  if (lowerName.compare(0, stem.size(), lower(stem)) != 0 ||
      lowerName.compare(lowerName.size() - extension.size(), extension.size(), extension) != 0) {
    return 0;
  }
  const std::string middle = name.substr(stem.size(), name.size() - stem.size() - extension.size());
  if (middle.empty()) return 1;
  if (middle.size() < 4 || middle.compare(0, 2, " (") != 0 || middle.back() != ')') return 0;
  const std::string digits = middle.substr(2, middle.size() - 3);
  if (digits.empty() || digits.size() > 4 ||
      digits.find_first_not_of("0123456789") != std::string::npos)
    return 0;
  return std::stoi(digits);
}

// The records of the folder, newest first.
std::vector<std::string> RecordNames(Platform& platform, const std::string& folder) {
  std::vector<platform::FindEntry> entries;
  std::vector<std::pair<int, std::string>> numbered;
  if (platform.FindFiles(folder + "*", &entries)) {
    for (const platform::FindEntry& entry : entries) {
      const int number = RecordNumber(entry.name);
      if (number > 0 && (entry.attributes & platform::kFileAttributeDirectory) == 0)
        numbered.emplace_back(number, entry.name);
    }
  }
  std::sort(numbered.begin(), numbered.end(),
            [](const auto& a, const auto& b) { return a.first > b.first; });
  std::vector<std::string> names;
  for (const auto& entry : numbered) names.push_back(entry.second);
  return names;
}

// An open record: read through the handle, so that what is written next
// goes to its end.
class OpenRecord {
 public:
  OpenRecord(Platform& platform, const std::string& path, bool forWriting)
      : platform_(platform),
        file_(platform.CreateFileA(
            path, platform::kGenericRead | (forWriting ? platform::kGenericWrite : 0),
            platform::kFileShareRead, platform::kOpenExisting, platform::kFileAttributeNormal)) {}
  ~OpenRecord() {
    if (file_ != platform::kInvalidHandleValue) platform_.CloseHandle(file_);
  }
  OpenRecord(const OpenRecord&) = delete;
  OpenRecord& operator=(const OpenRecord&) = delete;

  bool Read(std::string* bytes) {
    if (file_ == platform::kInvalidHandleValue) return false;
    std::vector<std::uint8_t> block;
    for (;;) {
      if (!platform_.ReadFile(file_, kReadBlock, &block)) return false;
      if (block.empty()) return true;
      bytes->append(block.begin(), block.end());
    }
  }
  bool Append(const std::string& text) {
    std::uint32_t written = 0;
    return platform_.WriteFile(file_, std::vector<std::uint8_t>(text.begin(), text.end()),
                               &written) &&
           written == text.size();
  }

 private:
  Platform& platform_;
  platform::Handle file_;
};

void Count(Summary& summary, Result result) {
  switch (result) {
    case Result::kRestored:
      ++summary.restored;
      break;
    case Result::kSkipped:
      ++summary.skipped;
      break;
    case Result::kFailed:
      ++summary.failed;
      break;
  }
}

const char* Verb(Result result, bool dryRun) {
  switch (result) {
    case Result::kRestored:
      return dryRun ? "would restore" : "restored";
    case Result::kSkipped:
      return "skipped";
    case Result::kFailed:
      break;
  }
  return "failed";
}

void RestoreRecord(Platform& platform, const std::string& folder, const std::string& name,
                   const Options& options, std::ostream& out, Summary& summary) {
  OpenRecord file(platform, folder + name, !options.dryRun);
  std::string bytes;
  record::Record parsed;
  if (!file.Read(&bytes) || !record::ParseRecord(bytes, &parsed)) {
    out << "unreadable: " << name << " cannot be read as a restore record\n";
    ++summary.unreadableRecords;
    return;
  }
  ++summary.records;
  // Marks go on a line of their own after a line a stopped run left open.
  bool lineOpen = !bytes.empty() && bytes.back() != '\n';
  if (parsed.cutOff) {
    out << "skipped: " << name
        << " ends in the middle of an item (a stopped run); that item is not restored\n";
    ++summary.skipped;
  }
  for (std::size_t number = parsed.items.size(); number >= 1; --number) {
    if (parsed.restored.count(number) != 0) continue;
    const record::Record::Entry& entry = parsed.items[number - 1];
    const std::string place = name + ", item " + std::to_string(number);
    if (!entry.readable) {
      if (options.only.empty()) {
        out << "skipped: " << place << " cannot be read\n";
        ++summary.skipped;
      }
      continue;
    }
    if (!options.only.empty() && !Matches(entry.item, options.only)) continue;
    const Outcome outcome = RestoreItem(platform, folder, entry.item, options.dryRun);
    Count(summary, outcome.result);
    out << Verb(outcome.result, options.dryRun) << ": " << Describe(entry.item);
    if (!outcome.note.empty()) out << ": " << outcome.note;
    out << '\n';
    if (outcome.result == Result::kRestored && !options.dryRun) {
      const std::string mark = (lineOpen ? "\n" : "") + record::RestoredLine(number);
      if (file.Append(mark)) {
        lineOpen = false;
      } else {
        out << "warning: " << place << " could not be marked as restored in the record\n";
      }
    }
  }
}

}  // namespace

Summary RestoreFolder(Platform& machine, const std::string& folder, const Options& options,
                      std::ostream& out) {
  // The record names files as the run saw them: in their real places.
  NativeFiles platform(machine);
  // Names are compared without case as the machine's code page has it.
  SystemAnsiCase systemCase(machine);
  const std::string withSlash = folder.empty() || folder.back() == '\\' ? folder : folder + "\\";
  Summary summary;
  for (const std::string& name : RecordNames(platform, withSlash)) {
    RestoreRecord(platform, withSlash, name, options, out, summary);
  }
  out << (options.dryRun ? "dry run: " : "restore: ") << summary.restored
      << (options.dryRun ? " to restore, " : " restored, ") << summary.skipped << " skipped, "
      << summary.failed << " failed\n";
  return summary;
}

}  // namespace quellix::restore
