// Message lookup: log messages into the details box and box messages into the
// multilingual message box, with the English table and with tables of our own
// that put the markers where the English one has none.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "platform/RuntimeError.h"
#include "platform/sim/SimMachine.h"
#include "platform/sim/SimPlatform.h"
#include "quellix/lang/Ansi.h"
#include "quellix/lang/Language.h"
#include "quellix/lang/LanguageErrors.h"
#include "quellix/lang/Languages.h"
#include "tests/support/RecordingHost.h"
#include "tests/support/SimQuellix.h"

namespace quellix::lang {
namespace {

const std::u16string kCrLf = u"\r\n";
const std::u16string kPrefix = u"\uFFFE";

// Box messages 1 to 8 of the English table, as the design gives them.
const std::vector<std::u16string> kEnglishBoxRows = {
    u"Quellix is already running, please wait...",
    u"Please choose a folder to save Backup Files and your Quellix Log file to.",
    u"You have not selected a folder. >> Your log and backup files will be saved to your root "
    u"directory (usually C:\\)",
    u"A newer version of Quellix is available. >> Do you wish to go to www.quellix.example to get "
    u"this update?",
    u"Any infected Keys have been removed, the virus has been deleted. >> Your computer will "
    u"restart automatically in 2 minutes. Please save all of your work.",
    u"No virus detected.",
    u"We strongly recommend you change your password, especially if you get signed out when the "
    u"messages are sent. >> Would you like to be taken to the MSN Live account page so you can "
    u"change your password?",
    u"Unable to access the Registry, please ensure you are using an Administrator Account.",
};

std::vector<std::uint8_t> TableBytes(const std::vector<std::u16string>& rows) {
  std::vector<std::uint8_t> bytes;
  for (const auto& row : rows) {
    for (char16_t unit : row + kCrLf) {
      bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
      bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
  }
  return bytes;
}

// Rows that are only numbered: line n reads "row n".
std::vector<std::u16string> NumberedRows(std::size_t count) {
  std::vector<std::u16string> rows;
  for (std::size_t line = 1; line <= count; ++line) {
    const auto digits = std::to_string(line);
    rows.push_back(u"row " + std::u16string(digits.begin(), digits.end()));
  }
  return rows;
}

class MessageLookup : public testing::Test {
 protected:
  MessageLookup() { test::InstallLanguageResources(machine); }

  std::u16string Written(float number, const std::string& argument) {
    host.ClearDetails();
    language.WriteMessage(number, argument);
    return host.details;
  }

  template <typename Call>
  static platform::RuntimeError Raised(Call call) {
    try {
      call();
    } catch (const platform::RuntimeError& error) {
      return error;
    }
    return platform::RuntimeError(0, "nothing raised", "");
  }

  // Installs a table whose numbered rows are replaced where `lines` says so
  // (1-based line numbers) and loads it.
  void LoadOwnTable(std::uint8_t index, std::size_t rowCount,
                    const std::vector<std::pair<std::size_t, std::u16string>>& lines) {
    auto rows = NumberedRows(rowCount);
    for (const auto& [line, text] : lines) rows[line - 1] = text;
    machine.AddResource("LANGUAGE", kFirstTableId + index, TableBytes(rows));
    language.LoadLanguage(index);
  }

  platform::sim::Machine machine = platform::sim::MakeStandardMachine();
  platform::sim::SimPlatform platform{machine};
  test::RecordingHost host;
  Language language{platform, host};
};

class EnglishMessages : public MessageLookup {
 protected:
  void SetUp() override { language.LoadLanguage(kEnglish); }
};

// ------------------------------------------------------------- log messages

TEST_F(EnglishMessages, EveryListedNumberWritesItsRow) {
  const std::string argument = "C:\\w\xE9rm.exe";  // Windows-1252
  struct Case {
    float number;
    std::u16string text;
  };
  const std::vector<Case> cases = {
      {1, u"\uFFFEStarting Scan...\r\nSmartScanning Processes..."},
      {2, u"\r\n\uFFFEC:\\wérm.exe ...Identified"},
      {2.5f, u"\r\n\uFFFESmartScanning Registry Items..."},
      {2.75f, u"\r\nSmartScanning AutoRuns..."},
      {3, u"\r\n\uFFFELooking For Virus Services..."},
      {4, u"\r\n\uFFFEFound \"C:\\wérm.exe\""},
      {5, u"\r\n\uFFFEUnable to backup \"C:\\wérm.exe\""},
      {6, u"\r\n\uFFFESuccessfully backed up \"C:\\wérm.exe\""},
      {7, u"\r\n\uFFFELooking For Virus Processes..."},
      {8, u"\r\n\uFFFELooking For Virus Files..."},
      {9, u"\r\n\uFFFEScanning Registry..."},
      {10, u"\r\n\uFFFEUnable to open RunServices Registry"},
      {11, u"\r\n\uFFFEC:\\wérm.exe ...Terminated"},
      {12, u"\r\n\uFFFEC:\\wérm.exe ...Unable To Terminate!!"},
      {13, u"\r\n\uFFFEFound C:\\wérm.exe ...Unable To Remove!!"},
      {14, u"\r\n\uFFFEFound C:\\wérm.exe ...Removed"},
      {15, u"\r\n\uFFFEScanning Hosts File..."},
      {16, u"\r\n\uFFFEUnable to remove read-only from Hosts File"},
      {17, u"\r\n\uFFFEUnable to open Hosts File for Scanning"},
      {18, u"\r\n\uFFFEUnable to open Hosts File for Cleaning"},
      {19, u"\r\n\uFFFEFound Entry C:\\wérm.exe"},
      {20, u"\r\n\uFFFESaving Log..."},
      {21, u"\r\n\uFFFEDone!"},
      {22,
       u"\r\n\uFFFEEnabling: Task Manager, Regedit, System Restore Config, Command Prompt, "
       u"Folder Options, Run"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf16ToUtf8(Written(c.number, argument)), Utf16ToUtf8(c.text))
        << "log message " << c.number;
  }
}

TEST_F(EnglishMessages, UnlistedNumbersWriteAnEmptyLine) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float infinity = std::numeric_limits<float>::infinity();
  for (float number :
       {23.0f, 2.6f, 2.4f, 0.0f, -1.0f, 3.5f, 22.5f, 100.0f, std::nextafter(2.5f, 3.0f),
        std::nextafter(2.75f, 0.0f), std::nextafter(3.0f, 4.0f), nan, infinity}) {
    EXPECT_EQ(Written(number, "ignored"), kCrLf) << "log message " << number;
  }
}

TEST_F(EnglishMessages, StartOfARunReadsAsConsecutiveLines) {
  host.ClearDetails();
  language.WriteMessage(1, "");
  language.WriteMessage(3, "");
  language.WriteMessage(4, "svchost32");
  EXPECT_EQ(host.GetDetailsText(),
            u"\uFFFEStarting Scan...\r\nSmartScanning Processes..."
            u"\r\n\uFFFELooking For Virus Services...\r\n\uFFFEFound \"svchost32\"");
}

TEST_F(EnglishMessages, ArgumentIsInsertedOnceAndAsItIs) {
  EXPECT_EQ(Written(4, ""), u"\r\n\uFFFEFound \"\"");
  EXPECT_EQ(Written(4, "50%%off"), u"\r\n\uFFFEFound \"50%%off\"");
  EXPECT_EQ(Written(19, "%"), u"\r\n\uFFFEFound Entry %");
  EXPECT_EQ(Written(14, "a >> b"), u"\r\n\uFFFEFound a >> b ...Removed");
}

TEST_F(MessageLookup, MarkersAreTreatedOnlyWhereTheNumberSaysSo) {
  LoadOwnTable(10, 40,
               {{18, u"one >> two >> three %%"},
                {20, u"kept >> visible"},
                {21, u"keep >> %% here"},
                {22, u"%%%"},
                {29, u"%% and %%"}});
  EXPECT_EQ(Written(1, "arg"), u"\uFFFEone\r\ntwo\r\nthree %%");
  EXPECT_EQ(Written(2.5f, "arg"), u"\r\n\uFFFEkept >> visible");
  EXPECT_EQ(Written(3, "arg"), u"\r\n\uFFFEkeep >> %% here");
  EXPECT_EQ(Written(4, "X"), u"\r\n\uFFFEX%");
  EXPECT_EQ(Written(11, "p"), u"\r\n\uFFFEp and p");
  EXPECT_EQ(Written(2.75f, "arg"), u"\r\nSmartScanning AutoRuns...") << "English in every table";
}

TEST_F(MessageLookup, RowsTheTableLacksRaiseInsteadOfWritingSomething) {
  EXPECT_EQ(Raised([&] { language.WriteMessage(3, ""); }).Number(), errors::kRowMissing)
      << "nothing loaded yet";
  EXPECT_EQ(Written(23, ""), kCrLf);
  EXPECT_EQ(Written(2.75f, ""), u"\r\nSmartScanning AutoRuns...");

  LoadOwnTable(13, 30, {});
  EXPECT_EQ(Written(12, "a"), u"\r\n\uFFFErow 30");
  for (float number : {13.0f, 14.0f, 22.0f}) {
    const auto error = Raised([&] { language.WriteMessage(number, "a"); });
    EXPECT_EQ(error.Number(), errors::kRowMissing) << "log message " << number;
    EXPECT_EQ(error.Source(), "WriteMessage");
    EXPECT_NE(error.Description().find("113"), std::string::npos) << error.Description();
  }
  EXPECT_EQ(Written(23, ""), kCrLf);
}

// ------------------------------------------------------------- box messages

TEST_F(EnglishMessages, EveryBoxNumberShowsItsRowCutAtTheMarker) {
  for (std::size_t number = 1; number <= kEnglishBoxRows.size(); ++number) {
    language.ShowMessageBox(static_cast<float>(number), kStyleOkOnly);
    ASSERT_EQ(host.boxes.size(), number);
    const auto& lines = host.boxes.back().lines;
    std::u16string joined;
    for (const auto& line : lines) {
      ASSERT_FALSE(line.empty());
      EXPECT_EQ(line.substr(0, 1), kPrefix) << "box " << number << ": every line has the prefix";
      joined += (joined.empty() ? u"" : u" >> ") + line.substr(1);
    }
    EXPECT_EQ(Utf16ToUtf8(joined), Utf16ToUtf8(kEnglishBoxRows[number - 1])) << "box " << number;
  }
}

TEST_F(EnglishMessages, NoticeHasOneOkButton) {
  language.ShowMessageBox(3, kStyleOkOnly);
  language.ShowMessageBox(6, kStyleOkOnly);
  ASSERT_EQ(host.boxes.size(), 2u);
  const auto& folder = host.boxes[0];
  EXPECT_EQ(folder.number, 3);
  EXPECT_EQ(folder.lines,
            (std::vector<std::u16string>{
                u"\uFFFEYou have not selected a folder.",
                u"\uFFFEYour log and backup files will be saved to your root directory (usually "
                u"C:\\)"}));
  EXPECT_EQ(folder.button1, u"\uFFFEOK");
  EXPECT_EQ(folder.button2, u"");
  EXPECT_TRUE(folder.okOnly);
  EXPECT_EQ(host.boxes[1].lines, std::vector<std::u16string>{u"\uFFFENo virus detected."});
}

TEST_F(EnglishMessages, QuestionHasYesAndNoAndReturnsThePressedButton) {
  host.yesNoAnswers = {6, 7};
  EXPECT_EQ(language.ShowMessageBox(4, kStyleYesNo), 6);
  EXPECT_EQ(language.ShowMessageBox(7, kStyleYesNo), 7);
  ASSERT_EQ(host.boxes.size(), 2u);
  for (const auto& box : host.boxes) {
    EXPECT_EQ(box.lines.size(), 2u);
    EXPECT_EQ(box.button1, u"\uFFFEYes");
    EXPECT_EQ(box.button2, u"\uFFFENo");
    EXPECT_FALSE(box.okOnly);
  }
  EXPECT_EQ(host.boxes[0].lines[1],
            u"\uFFFEDo you wish to go to www.quellix.example to get this update?");
}

TEST_F(EnglishMessages, FractionalBoxNumbersRoundHalvesToEven) {
  struct Case {
    float number;
    std::size_t shownBox;
  };
  for (const auto& c : std::vector<Case>{{1.5f, 1},
                                         {2.5f, 3},
                                         {3.5f, 3},
                                         {4.5f, 5},
                                         {0.5f, 1},
                                         {1.4f, 1},
                                         {1.6f, 2},
                                         {8.4f, 8}}) {
    host.boxes.clear();
    language.ShowMessageBox(c.number, kStyleOkOnly);
    ASSERT_EQ(host.boxes.size(), 1u) << "box " << c.number;
    const auto& expectedFirstLine =
        kEnglishBoxRows[c.shownBox - 1].substr(0, kEnglishBoxRows[c.shownBox - 1].find(u" >> "));
    EXPECT_EQ(host.boxes[0].lines[0], kPrefix + expectedFirstLine) << "box " << c.number;
  }
}

TEST_F(EnglishMessages, BoxNumbersAndStylesThatDoNotExistRaise) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (float number : {0.4f, 0.0f, 8.5f, 9.0f, -3.0f, 1e30f, nan}) {
    const auto error = Raised([&] { language.ShowMessageBox(number, kStyleOkOnly); });
    EXPECT_EQ(error.Number(), errors::kInvalidArgument) << "box " << number;
    EXPECT_EQ(error.Source(), "ShowMessageBox");
  }
  for (std::int16_t style : {1, 3, -1, 36}) {
    EXPECT_EQ(Raised([&] { language.ShowMessageBox(6, style); }).Number(), errors::kInvalidArgument)
        << "style " << style;
  }
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(MessageLookup, EveryPieceOfABoxRowIsALine) {
  LoadOwnTable(10, 40, {{11, u"a >> b >> c"}, {12, u" >> tail"}});
  language.ShowMessageBox(2, kStyleOkOnly);
  language.ShowMessageBox(3, kStyleOkOnly);
  ASSERT_EQ(host.boxes.size(), 2u);
  EXPECT_EQ(host.boxes[0].lines, (std::vector<std::u16string>{u"\uFFFEa", u"\uFFFEb", u"\uFFFEc"}));
  EXPECT_EQ(host.boxes[1].lines, (std::vector<std::u16string>{u"\uFFFE", u"\uFFFEtail"}));
}

TEST_F(MessageLookup, BoxRowsTheTableLacksRaise) {
  EXPECT_EQ(Raised([&] { language.ShowMessageBox(1, kStyleOkOnly); }).Number(), errors::kRowMissing)
      << "nothing loaded yet";

  LoadOwnTable(13, 12, {});
  language.ShowMessageBox(3, kStyleOkOnly);
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].lines, std::vector<std::u16string>{u"\uFFFErow 12"});
  const auto error = Raised([&] { language.ShowMessageBox(4, kStyleYesNo); });
  EXPECT_EQ(error.Number(), errors::kRowMissing);
  EXPECT_EQ(error.Source(), "ShowMessageBox");
  EXPECT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(Raised([&] { language.WriteMessage(1, ""); }).Number(), errors::kRowMissing);
}

}  // namespace
}  // namespace quellix::lang
