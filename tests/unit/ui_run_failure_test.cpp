// The notice of a removal run that stopped on an unexpected failure: in the
// chosen language, with that language's OK button, naming the failure.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/sim/SimMachine.h"
#include "quellix/lang/Languages.h"
#include "quellix/ui/RunFailureNotice.h"
#include "tests/support/SimQuellix.h"

namespace quellix::ui {
namespace {

// An ANSI failure text with a Windows-1252 letter (0xE9, e acute), named as
// the notice names a failure.
const platform::RuntimeError kError(7, "Caf\xE9", "SmartScan");
const std::u16string kFailureShown = u"Caf\u00E9 (7, SmartScan)";

TEST(RunFailureNotice, NamesTheFailureWithoutWordsInAnyLanguage) {
  EXPECT_EQ(NameRunFailure(kError), "Caf\xE9 (7, SmartScan)");
  EXPECT_EQ(NameRunFailure(platform::RuntimeError(-2147024891, "Access is denied", "RunRemoval")),
            "Access is denied (-2147024891, RunRemoval)");
}

TEST(RunFailureNotice, SpeaksTheChosenLanguageWithItsOwnOkButton) {
  std::set<std::u16string> notices;
  for (std::uint8_t index = 0; index < lang::kLanguageCount; ++index) {
    test::SimQuellix sim(platform::sim::MakeStandardMachine(), index);
    const MessageBoxRequest box = RunFailureBox(sim.language, NameRunFailure(kError));
    EXPECT_TRUE(box.okOnly) << int{index};
    EXPECT_EQ(box.button1, sim.language.CaptionOK()) << int{index};
    EXPECT_TRUE(box.button2.empty()) << int{index};
    ASSERT_EQ(box.lines.size(), 2u) << int{index};
    for (const auto& line : box.lines) {
      EXPECT_EQ(line.rfind(u"\uFFFE", 0), 0u) << int{index};
      EXPECT_EQ(line.find(u"%%"), std::u16string::npos) << int{index};
    }
    // A right-to-left sentence holds the failure's own left-to-right words as
    // one piece, so its closing bracket stays at its end.
    const bool rightToLeft = index == 1 || index == 12;
    EXPECT_EQ(sim.language.RightToLeft(), rightToLeft) << int{index};
    const std::u16string failure =
        rightToLeft ? u"\u202A" + kFailureShown + u"\u202C" : kFailureShown;
    const std::size_t failureAt = box.lines[0].find(failure);
    EXPECT_NE(failureAt, std::u16string::npos) << int{index};
    EXPECT_EQ(box.lines[0].find(kFailureShown, failureAt + failure.size()), std::u16string::npos)
        << int{index};
    notices.insert(box.lines[0] + box.lines[1]);
  }
  EXPECT_EQ(notices.size(), lang::kLanguageCount) << "every language has its own notice";

  test::SimQuellix german(platform::sim::MakeStandardMachine(), 10);
  const MessageBoxRequest box = RunFailureBox(german.language, NameRunFailure(kError));
  EXPECT_EQ(box.lines[0], u"\uFFFEDas Entfernen wurde vorzeitig abgebrochen: " + kFailureShown);
  EXPECT_EQ(box.lines[1],
            u"\uFFFESonst wurde nichts verändert. Sie können Quellix beenden oder erneut starten.");
}

}  // namespace
}  // namespace quellix::ui
