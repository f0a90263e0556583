// The version check's answer comes from the network and the network cuts it
// where it likes: whatever the bytes and wherever the cut, the verdict of
// the answer read in two pieces (then closed) is the verdict of the same
// bytes read whole (then closed), and a closed answer always has one.
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

// The first verdict the pieces give, or the closed answer's.
CheckVerdict VerdictOf(const std::string& first, const std::string& second, bool cut) {
  VersionCheckAnswer answer(OwnVersions{4, 23, "7.00"});
  CheckVerdict verdict = answer.Add(first);
  if (cut && verdict == CheckVerdict::Incomplete) verdict = answer.Add(second);
  if (verdict == CheckVerdict::Incomplete) verdict = answer.Close();
  return verdict;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::size_t cut = text.empty() ? 0 : data[0] % (text.size() + 1);

  const CheckVerdict whole = VerdictOf(text, std::string(), false);
  Require(whole != CheckVerdict::Incomplete);
  Require(VerdictOf(text.substr(0, cut), text.substr(cut), true) == whole);
  return 0;
}
