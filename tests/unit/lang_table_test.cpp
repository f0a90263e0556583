// The language resources as the build generates them from the table sources,
// and loading them: captions, labels, message rows, titles and the failures
// of a table that is missing or malformed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/RuntimeError.h"
#include "platform/sim/SimMachine.h"
#include "platform/sim/SimPlatform.h"
#include "quellix/lang/Ansi.h"
#include "quellix/lang/EmbeddedResources.h"
#include "quellix/lang/Language.h"
#include "quellix/lang/LanguageErrors.h"
#include "quellix/lang/Languages.h"
#include "tests/support/RecordingHost.h"
#include "tests/support/SimQuellix.h"

namespace quellix::lang {
namespace {

// The English table as the design gives it, line by line.
const std::vector<std::u16string> kEnglishRows = {
    u"Current Operation:",
    u"Total Progress:",
    u"Details:",
    u"CLOSE",
    u"START",
    u"OK",
    u"Yes",
    u"No",
    u"About",
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
    u"Starting Scan... >> SmartScanning Processes...",
    u"%% ...Identified",
    u"SmartScanning Registry Items...",
    u"Looking For Virus Services...",
    u"Found \"%%\"",
    u"Unable to backup \"%%\"",
    u"Successfully backed up \"%%\"",
    u"Looking For Virus Processes...",
    u"Looking For Virus Files...",
    u"Scanning Registry...",
    u"Unable to open RunServices Registry",
    u"%% ...Terminated",
    u"%% ...Unable To Terminate!!",
    u"Found %% ...Unable To Remove!!",
    u"Found %% ...Removed",
    u"Scanning Hosts File...",
    u"Unable to remove read-only from Hosts File",
    u"Unable to open Hosts File for Scanning",
    u"Unable to open Hosts File for Cleaning",
    u"Found Entry %%",
    u"Saving Log...",
    u"Done!",
    u"Enabling: Task Manager, Regedit, System Restore Config, Command Prompt, Folder Options, Run",
};

// The native titles in index order, as the design lists them.
const std::vector<std::u16string> kTitles = {
    u"Shqip",      u"لعربية",  u"Brasileiro", u"简体中文", u"繁體中文", u"Dansk",
    u"Nederlands", u"English", u"Eesti",      u"Français", u"Deutsch",  u"Ελληνικά",
    u"עברית",      u"Magyar",  u"Italiano",   u"한국어",   u"Norsk",    u"Polski",
    u"Português",  u"Русский", u"Español",    u"Svenska",  u"Türkçe",
};

const std::u16string kCrLf = u"\r\n";
const std::u16string kPrefix = u"\uFFFE";

std::u16string DecodeUtf16Le(const std::uint8_t* bytes, std::size_t size) {
  std::u16string text;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    text += static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
  }
  return text;
}

std::vector<std::uint8_t> EncodeUtf16Le(const std::u16string& text) {
  std::vector<std::uint8_t> bytes;
  for (char16_t unit : text) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  return bytes;
}

// A table in the delivered layout: every row followed by CR LF.
std::vector<std::uint8_t> TableBytes(const std::vector<std::u16string>& rows) {
  std::u16string text;
  for (const auto& row : rows) text += row + kCrLf;
  return EncodeUtf16Le(text);
}

std::vector<std::u16string> Split(const std::u16string& text, const std::u16string& separator) {
  std::vector<std::u16string> pieces;
  std::size_t start = 0;
  for (auto found = text.find(separator); found != std::u16string::npos;
       found = text.find(separator, start)) {
    pieces.push_back(text.substr(start, found - start));
    start = found + separator.size();
  }
  pieces.push_back(text.substr(start));
  return pieces;
}

std::size_t CountCrLf(const std::u16string& text) { return Split(text, kCrLf).size() - 1; }

const EmbeddedResource* FindEmbedded(const std::string& type, int id) {
  for (const auto& resource : EmbeddedLanguageResources()) {
    if (resource.type == type && resource.id == id) return &resource;
  }
  return nullptr;
}

std::u16string EmbeddedText(const std::string& type, int id) {
  const auto* resource = FindEmbedded(type, id);
  if (resource == nullptr) return u"<missing>";
  return DecodeUtf16Le(resource->bytes, resource->size);
}

// ------------------------------------------------------ the generated bytes

TEST(GeneratedResources, EnglishTableIsTheDesignedRowsEachEndedByCrLf) {
  const auto* table = FindEmbedded("LANGUAGE", 107);
  ASSERT_NE(table, nullptr);
  ASSERT_EQ(table->size % 2, 0u);
  ASSERT_GE(table->size, 2u);
  EXPECT_FALSE(table->bytes[0] == 0xFF && table->bytes[1] == 0xFE) << "a table has no BOM";

  const auto text = EmbeddedText("LANGUAGE", 107);
  EXPECT_EQ(CountCrLf(text), 40u);
  EXPECT_EQ(text.substr(text.size() - 2), kCrLf);
  const auto pieces = Split(text, kCrLf);
  ASSERT_EQ(pieces.size(), 41u);
  EXPECT_EQ(pieces.back(), u"");
  for (std::size_t line = 0; line < kEnglishRows.size(); ++line) {
    EXPECT_EQ(Utf16ToUtf8(pieces[line]), Utf16ToUtf8(kEnglishRows[line])) << "line " << line + 1;
  }
}

TEST(GeneratedResources, EveryTableHasFortyRowsAndTheEnglishMarkers) {
  int tables = 0;
  for (const auto& resource : EmbeddedLanguageResources()) {
    if (std::string(resource.type) != "LANGUAGE") continue;
    ++tables;
    SCOPED_TRACE("table " + std::to_string(resource.id));
    EXPECT_GE(resource.id, kFirstTableId);
    EXPECT_LT(resource.id, kFirstTableId + kLanguageCount);
    const auto pieces = Split(DecodeUtf16Le(resource.bytes, resource.size), kCrLf);
    ASSERT_EQ(pieces.size(), 41u);
    EXPECT_EQ(pieces.back(), u"");
    for (std::size_t line = 0; line < 40; ++line) {
      EXPECT_FALSE(pieces[line].empty()) << "line " << line + 1;
      for (const std::u16string marker : {u"%%", u" >> "}) {
        EXPECT_EQ(pieces[line].find(marker) != std::u16string::npos,
                  kEnglishRows[line].find(marker) != std::u16string::npos)
            << "line " << line + 1 << " marker \"" << Utf16ToUtf8(marker) << "\"";
      }
    }
  }
  EXPECT_GE(tables, 1);
}

TEST(GeneratedResources, TitleListStartsWithBomAndHasNoTrailingLineBreak) {
  const auto* titles = FindEmbedded("LANGUAGETITLES", 1);
  ASSERT_NE(titles, nullptr);
  ASSERT_GE(titles->size, 2u);
  EXPECT_EQ(titles->bytes[0], 0xFF);
  EXPECT_EQ(titles->bytes[1], 0xFE);

  const auto text = EmbeddedText("LANGUAGETITLES", 1);
  EXPECT_EQ(CountCrLf(text), 22u);
  EXPECT_NE(text.substr(text.size() - 2), kCrLf);
  EXPECT_EQ(Split(text.substr(1), kCrLf), kTitles);
}

// ------------------------------------------------------------------ loading

class LanguageLoading : public testing::Test {
 protected:
  LanguageLoading() { test::InstallLanguageResources(machine); }

  // A translation of its own: every English row with a tag in front.
  static std::vector<std::u16string> TaggedRows(const std::u16string& tag) {
    std::vector<std::u16string> rows;
    for (const auto& row : kEnglishRows) rows.push_back(tag + row);
    return rows;
  }

  struct Snapshot {
    std::vector<std::u16string> captions;
    std::vector<std::u16string> messageRows;
    std::vector<std::u16string> labels;
    bool operator==(const Snapshot& other) const {
      return captions == other.captions && messageRows == other.messageRows &&
             labels == other.labels;
    }
  };

  Snapshot Take() const {
    return {{language.CaptionClose(), language.CaptionStart(), language.CaptionOK(),
             language.CaptionYes(), language.CaptionNo(), language.CaptionAbout()},
            language.MessageRows(),
            {host.labels[0], host.labels[1], host.labels[2]}};
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

  platform::sim::Machine machine = platform::sim::MakeStandardMachine();
  platform::sim::SimPlatform platform{machine};
  test::RecordingHost host;
  Language language{platform, host};
};

TEST_F(LanguageLoading, TitlesCarryThePrefixAndTheFirstKeepsTheBom) {
  EXPECT_TRUE(language.TitleRows().empty());
  language.LoadLanguageTitles();
  ASSERT_EQ(language.TitleRows().size(), kTitles.size());
  EXPECT_EQ(language.TitleRows()[0], u"\uFFFE\uFEFFShqip");
  for (std::size_t index = 1; index < kTitles.size(); ++index) {
    EXPECT_EQ(language.TitleRows()[index], kPrefix + kTitles[index]) << "title " << index;
  }
}

TEST_F(LanguageLoading, TitlesNamedInFailureTextsAreThoseOfTheTitleList) {
  language.LoadLanguageTitles();
  for (std::size_t index = 0; index < kLanguageCount; ++index) {
    const std::size_t skip = index == 0 ? 2 : 1;  // U+FFFE, and the BOM of the first title
    EXPECT_EQ(Languages()[index].title, Utf16ToUtf8(language.TitleRows()[index].substr(skip)))
        << "language " << index;
  }
}

TEST_F(LanguageLoading, EnglishGivesLabelsCaptionsAndMessageRowsWithPrefix) {
  EXPECT_TRUE(language.MessageRows().empty());
  language.LoadLanguage(kEnglish);

  EXPECT_EQ(host.events, std::vector<std::string>{"ApplyLanguage"});
  for (std::size_t label = 0; label < 3; ++label) {
    EXPECT_EQ(host.labels[label], kPrefix + kEnglishRows[label]) << "label " << label + 1;
  }
  EXPECT_EQ(language.CaptionClose(), u"\uFFFECLOSE");
  EXPECT_EQ(language.CaptionStart(), u"\uFFFESTART");
  EXPECT_EQ(language.CaptionOK(), u"\uFFFEOK");
  EXPECT_EQ(language.CaptionYes(), u"\uFFFEYes");
  EXPECT_EQ(language.CaptionNo(), u"\uFFFENo");
  EXPECT_EQ(language.CaptionAbout(), u"\uFFFEAbout");

  // Lines 10 to 40, the empty piece after the last CR LF, one entry more.
  const auto& rows = language.MessageRows();
  ASSERT_EQ(rows.size(), 33u);
  for (std::size_t index = 0; index < 31; ++index) {
    EXPECT_EQ(rows[index], kPrefix + kEnglishRows[index + 9]) << "MessageRows[" << index << "]";
  }
  EXPECT_EQ(rows[31], kPrefix);
  EXPECT_EQ(rows[32], u"");
}

TEST_F(LanguageLoading, HostRedrawsWithTheNewCaptionsAlreadyInPlace) {
  // The window redraws its buttons while it applies the labels; by then the
  // captions must be those of the table being loaded.
  class CaptionReadingHost : public test::RecordingHost {
   public:
    const Language* language = nullptr;
    std::vector<std::u16string> startCaptions;
    void ApplyLanguage(const std::u16string& a, const std::u16string& b,
                       const std::u16string& c) override {
      startCaptions.push_back(language->CaptionStart());
      RecordingHost::ApplyLanguage(a, b, c);
    }
  } readingHost;
  Language watched(platform, readingHost);
  readingHost.language = &watched;
  machine.AddResource("LANGUAGE", 110, TableBytes(TaggedRows(u"de:")));

  watched.LoadLanguage(kEnglish);
  watched.LoadLanguage(10);
  EXPECT_EQ(readingHost.startCaptions,
            (std::vector<std::u16string>{u"\uFFFESTART", u"\uFFFEde:START"}));
  EXPECT_EQ(readingHost.labels[0], u"\uFFFEde:Current Operation:");
}

TEST_F(LanguageLoading, LoadingAgainOrComingBackGivesTheSameState) {
  machine.AddResource("LANGUAGE", 110, TableBytes(TaggedRows(u"de:")));
  language.LoadLanguage(kEnglish);
  const auto english = Take();

  language.LoadLanguage(kEnglish);
  EXPECT_TRUE(Take() == english);

  language.LoadLanguage(10);
  const auto german = Take();
  EXPECT_FALSE(german == english);
  EXPECT_EQ(german.captions[1], u"\uFFFEde:START");
  EXPECT_EQ(german.messageRows[8], u"\uFFFEde:Starting Scan... >> SmartScanning Processes...");

  language.LoadLanguage(kEnglish);
  EXPECT_TRUE(Take() == english);
}

TEST_F(LanguageLoading, MissingTableRaisesAndKeepsTheLanguageLoaded) {
  language.LoadLanguage(kEnglish);
  const auto before = Take();
  host.events.clear();
  // A program built without the French table.
  auto& resources = machine.resources;
  resources.erase(
      std::remove_if(resources.begin(), resources.end(),
                     [](const platform::sim::Resource& resource) { return resource.id == 109; }),
      resources.end());

  const auto error = Raised([&] { language.LoadLanguage(9); });
  EXPECT_EQ(error.Number(), errors::kResourceNotFound);
  EXPECT_EQ(error.Source(), "LoadLanguage");
  EXPECT_NE(error.Description().find("109"), std::string::npos) << error.Description();
  EXPECT_NE(error.Description().find("Français"), std::string::npos) << error.Description();
  EXPECT_TRUE(Take() == before) << "no fallback, no half-loaded table";
  EXPECT_TRUE(host.events.empty());
}

TEST_F(LanguageLoading, IndexBeyondTheLanguagesIsAMissingTable) {
  const auto error = Raised([&] { language.LoadLanguage(200); });
  EXPECT_EQ(error.Number(), errors::kResourceNotFound);
  EXPECT_NE(error.Description().find("300"), std::string::npos) << error.Description();
}

TEST_F(LanguageLoading, TableNotWholeUtf16OrTooShortForTheCaptionsRaises) {
  language.LoadLanguage(kEnglish);
  const auto before = Take();

  auto odd = TableBytes(TaggedRows(u"x"));
  odd.pop_back();
  machine.AddResource("LANGUAGE", 101, odd);
  const auto oddError = Raised([&] { language.LoadLanguage(1); });
  EXPECT_EQ(oddError.Number(), errors::kMalformedResource);
  EXPECT_EQ(oddError.Source(), "LoadLanguage");

  const std::vector<std::u16string> eightRows(kEnglishRows.begin(), kEnglishRows.begin() + 8);
  machine.AddResource("LANGUAGE", 102, TableBytes(eightRows));
  const auto shortError = Raised([&] { language.LoadLanguage(2); });
  EXPECT_EQ(shortError.Number(), errors::kMalformedResource);

  machine.AddResource("LANGUAGE", 103, {});
  EXPECT_EQ(Raised([&] { language.LoadLanguage(3); }).Number(), errors::kMalformedResource);

  EXPECT_TRUE(Take() == before);
}

TEST_F(LanguageLoading, TableWithoutFinalLineBreakKeepsItsLastRow) {
  std::u16string text;
  for (const auto& row : TaggedRows(u"fr:")) text += (text.empty() ? u"" : kCrLf) + row;
  machine.AddResource("LANGUAGE", 109, EncodeUtf16Le(text));
  language.LoadLanguage(9);
  const auto& rows = language.MessageRows();
  ASSERT_EQ(rows.size(), 32u);
  EXPECT_EQ(rows[30], kPrefix + u"fr:" + kEnglishRows[39]);
  EXPECT_EQ(rows[31], u"");
}

TEST_F(LanguageLoading, MissingOrMalformedTitleListRaises) {
  platform::sim::Machine bare = platform::sim::MakeStandardMachine();
  platform::sim::SimPlatform barePlatform(bare);
  Language bareLanguage(barePlatform, host);
  const auto missing = Raised([&] { bareLanguage.LoadLanguageTitles(); });
  EXPECT_EQ(missing.Number(), errors::kResourceNotFound);
  EXPECT_EQ(missing.Source(), "LoadLanguageTitles");

  std::u16string twentyTwo = u"\uFEFF";
  for (std::size_t index = 0; index < 22; ++index) {
    twentyTwo += (index == 0 ? u"" : kCrLf) + kTitles[index];
  }
  bare.AddResource("LANGUAGETITLES", 1, EncodeUtf16Le(twentyTwo));
  const auto shortList = Raised([&] { bareLanguage.LoadLanguageTitles(); });
  EXPECT_EQ(shortList.Number(), errors::kMalformedResource);
  EXPECT_EQ(shortList.Source(), "LoadLanguageTitles");
  EXPECT_TRUE(bareLanguage.TitleRows().empty());
}

}  // namespace
}  // namespace quellix::lang
