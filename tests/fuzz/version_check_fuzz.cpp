// The version check's answer comes from the network: whatever the bytes and
// however they are cut, judging them never fails, a closed connection always
// gives a verdict, and an answer judged in pieces agrees with the same text
// judged whole when both were judged on the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "quellix/update/VersionCheck.h"

namespace {

using quellix::update::CheckVerdict;
using quellix::update::OwnVersions;
using quellix::update::VersionCheckAnswer;

void Require(bool holds) {
  if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const OwnVersions own{4, 23, "7.00"};
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::size_t cut = text.empty() ? 0 : data[0] % (text.size() + 1);

  VersionCheckAnswer pieces(own);
  CheckVerdict verdict = pieces.Add(text.substr(0, cut));
  if (verdict == CheckVerdict::Incomplete) verdict = pieces.Add(text.substr(cut));
  const CheckVerdict closed = pieces.Close();
  Require(closed != CheckVerdict::Incomplete);

  // Judged only once everything was there: the same as the whole text, closed.
  VersionCheckAnswer whole(own);
  whole.Add(text);
  if (verdict == CheckVerdict::Incomplete) Require(closed == whole.Close());
  Require(quellix::update::JudgeVersionCheck(text, own, true) != CheckVerdict::Incomplete);
  return 0;
}
