#include "quellix/update/VersionCheck.h"

#include <cstdint>

#include "quellix/update/HttpAnswer.h"

namespace quellix::update {
namespace {

constexpr std::string_view kVersionLabel = "Version: ";
constexpr std::string_view kDatabaseLabel = "VDB: ";
constexpr std::uint64_t kLargestNumber = 4294967295u;

// The number of a piece's leading digits, 0 without any; a longer run of
// digits than any version stays at the largest value instead of wrapping.
std::uint64_t LeadingNumber(const std::string& piece) {
  std::uint64_t value = 0;
  for (const char c : piece) {
    if (c < '0' || c > '9') break;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
    if (value > kLargestNumber) return kLargestNumber;
  }
  return value;
}

bool ProgramIsOutdated(const std::string& version, const OwnVersions& own) {
  const auto dot = version.find('.');
  const std::string majorPiece = version.substr(0, dot);
  const auto minorEnd = version.find('.', dot + 1);
  const std::string minorPiece = version.substr(dot + 1, minorEnd - dot - 1);
  const std::uint64_t major = LeadingNumber(majorPiece);
  const std::uint64_t minor = LeadingNumber(minorPiece);
  const auto ownMajor = static_cast<std::uint64_t>(own.major);
  const auto ownMinor = static_cast<std::uint64_t>(own.minor);
  return major > ownMajor || (major == ownMajor && minor > ownMinor);
}

}  // namespace

CheckVerdict JudgeVersionCheck(const std::string& text, const OwnVersions& own, bool final) {
  const CheckVerdict missing = final ? CheckVerdict::Failed : CheckVerdict::Incomplete;
  const auto label = text.find(kVersionLabel);
  if (label == std::string::npos) return missing;
  const auto start = label + kVersionLabel.size();
  const auto end = text.find("\r\n", start);
  if (end == std::string::npos) return missing;
  const std::string version = text.substr(start, end - start);
  if (version.find('.') == std::string::npos) return CheckVerdict::Failed;
  if (ProgramIsOutdated(version, own)) return CheckVerdict::UpdateAvailable;

  const auto databaseLabel = text.find(kDatabaseLabel, end + 2);
  if (databaseLabel == std::string::npos) return missing;
  const auto databaseStart = databaseLabel + kDatabaseLabel.size();
  const auto databaseEnd = text.find("\r\n", databaseStart);
  if (databaseEnd == std::string::npos) return missing;
  // Text order, not numeric: "10.00" is older than "7.00".
  const std::string database = text.substr(databaseStart, databaseEnd - databaseStart);
  return database > own.database ? CheckVerdict::UpdateAvailable : CheckVerdict::NothingNewer;
}

CheckVerdict VersionCheckAnswer::Add(const std::string& piece) {
  text_ += piece.substr(0, kMostCheckBytes - text_.size());
  bool final = text_.size() >= kMostCheckBytes;
  const auto body = BodyStart(text_);
  if (body != std::string::npos) {
    const ContentLength length = FindContentLength(std::string_view(text_).substr(0, body));
    // What follows the announced length is no part of the answer, wherever
    // the network happened to cut it.
    if (length.kind == LengthKind::Given && text_.size() - body >= length.value) {
      text_.resize(body + length.value);
      final = true;
    }
  }
  return JudgeVersionCheck(text_, own_, final);
}

CheckVerdict VersionCheckAnswer::Close() const { return JudgeVersionCheck(text_, own_, true); }

}  // namespace quellix::update
