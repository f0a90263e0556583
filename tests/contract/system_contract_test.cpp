// System information the programs read (locale name, clock, user, message
// texts), the harmless failures of the shell and the multimedia interface,
// and the single-instance claim.
#include <algorithm>
#include <cctype>
#include <memory>
#include <string>

#include "tests/contract/ContractTest.h"

namespace contract {
namespace {

namespace error = platform::error;

class SystemContract : public ContractTest {};

// Start-up picks the language from this name, cut to the returned count - 1.
TEST_F(SystemContract, EnglishLanguageNameOfTheUserLocale) {
  std::string buffer(256, '\0');
  const auto written = Observe(sys(), [&] {
    return sys().GetLocaleInfoA(platform::kLocaleUserDefault, platform::kLocaleSEngLanguage,
                                buffer);
  });
  ASSERT_GT(written.value, 1) << written;
  const std::string name = buffer.substr(0, static_cast<std::size_t>(written.value - 1));
  EXPECT_EQ(buffer[static_cast<std::size_t>(written.value - 1)], '\0')
      << "the count includes the NUL";
  EXPECT_TRUE(std::all_of(name.begin(), name.end(),
                          [](char c) { return std::isalpha(static_cast<unsigned char>(c)); }))
      << "\"" << name << "\"";

  std::string tooSmall(2, '\0');
  const auto refused = Observe(sys(), [&] {
    return sys().GetLocaleInfoA(platform::kLocaleUserDefault, platform::kLocaleSEngLanguage,
                                tooSmall);
  });
  EXPECT_EQ(refused.value, 0) << refused;
  EXPECT_EQ(refused.lastError, static_cast<std::uint32_t>(error::kInsufficientBuffer)) << refused;
}

// The run log's file name is made of these fields.
TEST_F(SystemContract, LocalTimeIsACalendarDateAndClockTime) {
  const platform::LocalTime now = sys().GetLocalTime();
  EXPECT_GE(now.year, 2000);
  EXPECT_LE(now.year, 2200);
  EXPECT_GE(now.month, 1);
  EXPECT_LE(now.month, 12);
  EXPECT_GE(now.day, 1);
  EXPECT_LE(now.day, 31);
  EXPECT_GE(now.hour, 0);
  EXPECT_LE(now.hour, 23);
  EXPECT_GE(now.minute, 0);
  EXPECT_LE(now.minute, 59);
  EXPECT_GE(now.second, 0);
  EXPECT_LE(now.second, 59);
}

TEST_F(SystemContract, UserNameIsNotEmpty) {
  std::string name;
  const auto found = Observe(sys(), [&] { return sys().GetUserNameA(&name); });
  ASSERT_TRUE(found.value) << found;
  EXPECT_FALSE(name.empty());
  EXPECT_EQ(name.find('\0'), std::string::npos);
}

TEST_F(SystemContract, SystemMessageTextForAnErrorCode) {
  const std::string text = sys().FormatMessageA(error::kAccessDenied);
  EXPECT_FALSE(text.empty());
  EXPECT_EQ(text.find('\0'), std::string::npos);
}

// CLOSE stops and closes the tune whether or not it was ever opened.
TEST_F(SystemContract, ClosingATuneThatWasNeverOpenedFailsHarmlessly) {
  const auto closed = Observe(sys(), [&] { return sys().MciSendStringA("close qlxcontractmidi"); });
  EXPECT_NE(closed.value, 0u) << closed;
}

// The shell's open verb reports a failure as a value of 32 or less; nothing is
// opened, since the document does not exist.
TEST_F(SystemContract, ShellOpenOfAMissingDocumentFails) {
  std::string temp(260, ' ');
  const std::uint32_t length = sys().GetTempPathA(temp);
  ASSERT_GT(length, 0u);
  const std::string missing = temp.substr(0, length) + "qlx-contract-no-such-document.txt";
  const auto opened = Observe(sys(), [&] {
    return sys().ShellExecuteA(0, "open", missing, "", "", platform::kSwShowNormal);
  });
  EXPECT_LE(opened.value, 32u) << opened;
}

TEST_F(SystemContract, SecondCopySeesTheFirstUntilItEnds) {
  const std::string name = "QuellixContractTests." + CaseName();
  auto first = backend().NewPlatform();
  bool anotherRuns = true;
  const auto claimed = Observe(*first, [&] { return first->ClaimInstance(name, &anotherRuns); });
  ASSERT_TRUE(claimed.value) << claimed;
  EXPECT_FALSE(anotherRuns) << "the first copy";

  {
    auto second = backend().NewPlatform();
    const auto again = Observe(*second, [&] { return second->ClaimInstance(name, &anotherRuns); });
    ASSERT_TRUE(again.value) << again;
    EXPECT_TRUE(anotherRuns) << "the second copy while the first runs";
  }

  first.reset();
  auto third = backend().NewPlatform();
  const auto later = Observe(*third, [&] { return third->ClaimInstance(name, &anotherRuns); });
  ASSERT_TRUE(later.value) << later;
  EXPECT_FALSE(anotherRuns) << "a copy started after the others ended";
}

}  // namespace
}  // namespace contract
