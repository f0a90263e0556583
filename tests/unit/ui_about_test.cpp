// The About window's tables and arithmetic, and what its icon and links ask
// of the system, on the simulated machine.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "platform/sim/SimMachine.h"
#include "platform/sim/SimPlatform.h"
#include "quellix/ui/About.h"
#include "quellix/ui/HiddenTune.h"
#include "quellix/ui/ProgramLifetime.h"

namespace quellix::ui {
namespace {

using platform::sim::Machine;
using platform::sim::SimPlatform;

const CreditRow& RowOf(const char* language) {
  const auto& rows = CreditRows();
  const auto found = std::find_if(rows.begin(), rows.end(), [&](const CreditRow& row) {
    return std::strcmp(row.language, language) == 0;
  });
  EXPECT_NE(found, rows.end()) << language;
  return *found;
}

TEST(AboutCredits, TwentyRowsInAlphabeticalOrder285TwipsApart) {
  const auto& rows = CreditRows();
  const std::vector<std::string> expected = {
      "Albanian", "Arabic",     "Brazilian", "Danish",    "Dutch",   "Estonian", "French",
      "German",   "Greek",      "Hebrew",    "Hungarian", "Italian", "Korean",   "Norwegian",
      "Polish",   "Portuguese", "Russian",   "Spanish",   "Swedish", "Turkish"};
  ASSERT_EQ(rows.size(), expected.size());
  for (std::size_t r = 0; r < rows.size(); ++r) {
    EXPECT_EQ(rows[r].language, expected[r]) << "row " << r;
    EXPECT_DOUBLE_EQ(rows[r].top, 285.0 * static_cast<double>(r)) << rows[r].language;
  }
}

TEST(AboutCredits, EveryLabelIndexBelongsToExactlyOneRow) {
  std::set<std::size_t> indexes;
  for (const CreditRow& row : CreditRows()) {
    EXPECT_LT(row.labelIndex, kCreditRowCount) << row.language;
    indexes.insert(row.labelIndex);
  }
  EXPECT_EQ(indexes.size(), kCreditRowCount);
}

TEST(AboutCredits, TranslatorLinksFollowTheLanguage) {
  EXPECT_EQ(TranslatorRedirect(RowOf("Arabic").labelIndex), 10);
  EXPECT_EQ(TranslatorRedirect(RowOf("Dutch").labelIndex), 8);
  EXPECT_EQ(TranslatorRedirect(RowOf("Estonian").labelIndex), 7);
  EXPECT_EQ(TranslatorRedirect(RowOf("French").labelIndex), 24);
  EXPECT_EQ(TranslatorRedirect(RowOf("Italian").labelIndex), 3);
  EXPECT_EQ(TranslatorRedirect(RowOf("Turkish").labelIndex), 5);
  EXPECT_EQ(RowOf("French").labelIndex, 5u);
  EXPECT_EQ(RowOf("Turkish").labelIndex, 15u);
}

TEST(AboutCredits, OtherTranslatorsAreNoLinks) {
  EXPECT_EQ(TranslatorRedirect(RowOf("German").labelIndex), std::nullopt);
  int links = 0;
  for (const CreditRow& row : CreditRows()) {
    if (TranslatorRedirect(row.labelIndex)) ++links;
  }
  EXPECT_EQ(links, 6);
  EXPECT_EQ(TranslatorRedirect(20), std::nullopt);
  EXPECT_EQ(TranslatorRedirect(static_cast<std::size_t>(-1)), std::nullopt);
}

TEST(AboutCredits, APointFindsTheTranslatorNameUnderIt) {
  std::array<double, kCreditRowCount> widths{};
  widths.fill(1000);
  const double frenchTop = RowOf("French").top;
  EXPECT_EQ(TranslatorLabelAt(1200, frenchTop, widths), 5u);
  EXPECT_EQ(TranslatorLabelAt(2199, frenchTop + 254, widths), 5u);
  // Right of the name, left of it over the language, and between two rows.
  EXPECT_EQ(TranslatorLabelAt(2200, frenchTop + 10, widths), std::nullopt);
  EXPECT_EQ(TranslatorLabelAt(1199, frenchTop + 10, widths), std::nullopt);
  EXPECT_EQ(TranslatorLabelAt(1300, frenchTop + 260, widths), std::nullopt);
  EXPECT_EQ(TranslatorLabelAt(1300, -1, widths), std::nullopt);
  // Each row has its own width.
  widths[6] = 50;
  EXPECT_EQ(TranslatorLabelAt(1300, frenchTop + 10, widths), std::nullopt);
  EXPECT_EQ(TranslatorLabelAt(1300, RowOf("Turkish").top + 10, widths), 15u);
}

TEST(AboutScroll, CreditsRiseOnePixelAndReenterFromBelow) {
  constexpr int kContents = 391;  // 5865 twips at 15 twips a pixel
  constexpr int kContainer = 137;
  EXPECT_EQ(NextScrollTop(kContainer, kContents, kContainer), 136);
  EXPECT_EQ(NextScrollTop(-389, kContents, kContainer), -390);
  EXPECT_EQ(NextScrollTop(-390, kContents, kContainer), kContainer + 20);

  // From just below the panel, the credits pass once across it and come back.
  int top = kContainer;
  int ticks = 0;
  do {
    top = NextScrollTop(top, kContents, kContainer);
    ++ticks;
  } while (top < kContainer && ticks < 10000);
  EXPECT_EQ(top, kContainer + 20);
  EXPECT_EQ(ticks, kContainer + kContents);
}

TEST(AboutTitle, CaptionEightBlanksAndTheProductName) {
  EXPECT_EQ(AboutTitle(u"\uFFFEAbout"), u"\uFFFEAbout        Quellix");
  EXPECT_EQ(AboutTitle(u"\uFFFE\u00dcber"), u"\uFFFE\u00dcber        Quellix");
}

TEST(AboutTitle, VerticallyCentredHalvesToEven) {
  EXPECT_EQ(AboutTitleTop(25, 14), 6);  // 5.5
  EXPECT_EQ(AboutTitleTop(25, 16), 4);  // 4.5
  EXPECT_EQ(AboutTitleTop(24, 16), 4);
  EXPECT_EQ(AboutTitleTop(10, 30), -10);
}

TEST(AboutLinks, RedirectPagesOpenWithTheShell) {
  EXPECT_EQ(RedirectAddress(24), "http://www.quellix.example/?id=24");
  Machine machine = platform::sim::MakeStandardMachine();
  SimPlatform platform(machine);
  OpenRedirect(platform, kPartnerRedirect);
  OpenRedirect(platform, *TranslatorRedirect(RowOf("French").labelIndex));
  ASSERT_EQ(machine.shellOpens.size(), 2u);
  EXPECT_EQ(machine.shellOpens[0].verb, "open");
  EXPECT_EQ(machine.shellOpens[0].file, "http://www.quellix.example/?id=1");
  EXPECT_EQ(machine.shellOpens[0].parameters, "");
  EXPECT_EQ(machine.shellOpens[0].showWindow, platform::kSwShowNormal);
  EXPECT_EQ(machine.shellOpens[1].file, "http://www.quellix.example/?id=24");
}

class HiddenTuneTest : public ::testing::Test {
 protected:
  static constexpr std::uintptr_t kFrmMain = 4660;

  HiddenTuneTest() {
    machine_.resources.push_back({"EEGG", 1, tune_});
    platform_.emplace(machine_);
    path_ = TuneFilePath(*platform_, kFrmMain);
  }

  std::vector<std::string> PlayedCommands() const {
    return {"stop midi", "close midi", "open \"" + path_ + "\" type sequencer alias midi",
            "play midi"};
  }

  const platform::sim::FileNode* TuneFile() const { return machine_.files.FindPath(path_); }

  const std::vector<std::uint8_t> tune_{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 9, 0, 192};
  Machine machine_ = platform::sim::MakeStandardMachine();
  std::optional<SimPlatform> platform_;
  std::string path_;
};

TEST_F(HiddenTuneTest, FirstClickWritesTheFileAndPlaysIt) {
  HiddenTune tune(*platform_, kFrmMain);
  EXPECT_FALSE(tune.TuneWritten());
  tune.Play();
  EXPECT_TRUE(tune.TuneWritten());
  EXPECT_EQ(path_, "c:\\windows\\temp\\4660.mid");
  ASSERT_NE(TuneFile(), nullptr);
  EXPECT_EQ(TuneFile()->contents, tune_);
  EXPECT_EQ(machine_.mciCommands, PlayedCommands());
  EXPECT_TRUE(platform_->OpenHandles().empty());
}

TEST_F(HiddenTuneTest, ATemporaryFolderWithBlanksPlaysToo) {
  machine_.tempPath = "C:\\Documents and Settings\\Jo Doe\\Local Settings\\Temp\\";
  machine_.files.AddFolder(machine_.tempPath);
  path_ = TuneFilePath(*platform_, kFrmMain);
  HiddenTune(*platform_, kFrmMain).Play();
  ASSERT_NE(TuneFile(), nullptr);
  EXPECT_EQ(machine_.mciCommands, PlayedCommands());
}

TEST_F(HiddenTuneTest, SecondClickRestartsWithoutRewriting) {
  HiddenTune tune(*platform_, kFrmMain);
  tune.Play();
  machine_.files.AddTextFile(path_, "left as it is");
  machine_.mciCommands.clear();
  tune.Play();
  EXPECT_EQ(TuneFile()->contents, std::vector<std::uint8_t>({'l', 'e', 'f', 't', ' ', 'a', 's', ' ',
                                                             'i', 't', ' ', 'i', 's'}));
  EXPECT_EQ(machine_.ChangesBy("WriteFile").size(), 1u);
  // The tune that played is ended (stop and close now find it) and opened again.
  EXPECT_EQ(machine_.mciCommands, PlayedCommands());
}

TEST_F(HiddenTuneTest, OpeningTheWindowAgainRewritesTheFile) {
  HiddenTune(*platform_, kFrmMain).Play();
  machine_.files.AddTextFile(path_, "stale");
  HiddenTune(*platform_, kFrmMain).Play();
  EXPECT_EQ(TuneFile()->contents, tune_);
  EXPECT_EQ(machine_.ChangesBy("WriteFile").size(), 2u);
}

TEST_F(HiddenTuneTest, ALongerFileOfThatNameKeepsNoTail) {
  machine_.files.AddFile(path_, std::vector<std::uint8_t>(100, 0xAA));
  HiddenTune(*platform_, kFrmMain).Play();
  EXPECT_EQ(TuneFile()->contents, tune_);
}

TEST_F(HiddenTuneTest, AFailingOpenPlaysNothing) {
  machine_.InjectFault("MciSendStringA", "open *", 277);
  HiddenTune tune(*platform_, kFrmMain);
  tune.Play();
  EXPECT_EQ(machine_.mciCommands.size(), 3u);
  EXPECT_EQ(std::count(machine_.mciCommands.begin(), machine_.mciCommands.end(), "play midi"), 0);
  EXPECT_NE(TuneFile(), nullptr);
}

TEST_F(HiddenTuneTest, AFileThatCannotBeWrittenIsTriedAgainAtTheNextClick) {
  machine_.InjectFault("WriteFile", "", 112, 1);
  HiddenTune tune(*platform_, kFrmMain);
  tune.Play();
  EXPECT_FALSE(tune.TuneWritten());
  EXPECT_EQ(machine_.mciCommands, (std::vector<std::string>{"stop midi", "close midi"}));
  EXPECT_TRUE(platform_->OpenHandles().empty());
  machine_.mciCommands.clear();
  tune.Play();
  EXPECT_TRUE(tune.TuneWritten());
  EXPECT_EQ(TuneFile()->contents, tune_);
  EXPECT_EQ(machine_.mciCommands, PlayedCommands());
}

TEST_F(HiddenTuneTest, WithoutTheResourceNothingIsWrittenOrOpened) {
  machine_.resources.clear();
  HiddenTune tune(*platform_, kFrmMain);
  tune.Play();
  EXPECT_FALSE(tune.TuneWritten());
  EXPECT_EQ(TuneFile(), nullptr);
  EXPECT_EQ(machine_.mciCommands, (std::vector<std::string>{"stop midi", "close midi"}));
}

TEST_F(HiddenTuneTest, WithoutATemporaryFolderNoFileIsWrittenElsewhere) {
  machine_.InjectFault("GetTempPathA", "", 5);
  HiddenTune tune(*platform_, kFrmMain);
  tune.Play();
  EXPECT_TRUE(machine_.ChangesBy("CreateFileA").empty());
  EXPECT_EQ(machine_.mciCommands, (std::vector<std::string>{"stop midi", "close midi"}));
}

TEST_F(HiddenTuneTest, CloseStopsThePlayingTuneAndDeletesItsFile) {
  HiddenTune(*platform_, kFrmMain).Play();
  machine_.mciCommands.clear();
  StopTuneAndRemoveFile(*platform_, kFrmMain);
  EXPECT_EQ(machine_.mciCommands, (std::vector<std::string>{"stop midi", "close midi"}));
  EXPECT_EQ(TuneFile(), nullptr);
  // The device was closed: a new tune opens under the same alias.
  HiddenTune(*platform_, kFrmMain).Play();
  EXPECT_EQ(machine_.mciCommands.back(), "play midi");
}

}  // namespace
}  // namespace quellix::ui
