// The translated language tables as the build carries them: every table is
// held to the layout that the loader and the message lookup rely on and
// compared with the English one, then loaded the way start-up and the picker
// load it. The tables are found by iterating the embedded resources, so a table
// added later is checked without touching this file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/RuntimeError.h"
#include "platform/sim/SimMachine.h"
#include "platform/sim/SimPlatform.h"
#include "quellix/lang/Ansi.h"
#include "quellix/lang/ChooseDefaultLanguage.h"
#include "quellix/lang/EmbeddedResources.h"
#include "quellix/lang/Language.h"
#include "quellix/lang/Languages.h"
#include "tests/support/SimQuellix.h"
#include "tests/support/TestText.h"

namespace quellix::lang {
namespace {

using test::DecodeUtf16Le;
using test::Split;

constexpr std::size_t kRows = 40;
const std::u16string kCrLf = u"\r\n";
const std::u16string kPrefix = u"\uFFFE";
const std::u16string kLineBreak = u" >> ";
const std::u16string kArgument = u"%%";

// 1-based table lines with a fixed role.
constexpr std::size_t kFirstCaptionLine = 4;  // CLOSE, START, OK, Yes, No, About: lines 4 to 9
constexpr std::size_t kLastCaptionLine = 9;
constexpr std::size_t kUpdateBoxLine = 13;  // box message 4, names the vendor's site
constexpr std::size_t kPasswordBoxLine = 16;
constexpr std::size_t kFirstQuotedLine = 22;  // log messages 4 to 6: Found "%%" ...
constexpr std::size_t kLastQuotedLine = 24;

bool IsCaptionLine(std::size_t line) {
  return line >= kFirstCaptionLine && line <= kLastCaptionLine;
}

struct Table {
  int index = 0;
  const EmbeddedResource* resource = nullptr;
  std::u16string text;
  std::vector<std::u16string> pieces;  // cut at every CR LF

  const std::u16string& Line(std::size_t line) const { return pieces.at(line - 1); }
};

// Occurrences the way the lookup replaces them: left to right, not overlapping.
std::size_t Count(const std::u16string& text, const std::u16string& marker) {
  std::size_t count = 0;
  for (auto found = text.find(marker); found != std::u16string::npos;
       found = text.find(marker, found + marker.size())) {
    ++count;
  }
  return count;
}

bool Contains(const std::u16string& text, const std::u16string& part) {
  return text.find(part) != std::u16string::npos;
}

std::u16string AsciiLower(std::u16string text) {
  for (auto& unit : text) {
    if (unit >= u'A' && unit <= u'Z') unit = static_cast<char16_t>(unit - u'A' + u'a');
  }
  return text;
}

bool IsBlank(char16_t unit) { return unit == u' ' || unit == u'\u00A0' || unit == u'\u202F'; }

std::u16string Trimmed(const std::u16string& text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && IsBlank(text[first])) ++first;
  while (last > first && IsBlank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

std::size_t CodePoints(const std::u16string& text) {
  return static_cast<std::size_t>(std::count_if(
      text.begin(), text.end(), [](char16_t unit) { return unit < 0xDC00 || unit > 0xDFFF; }));
}

// Every LANGUAGE resource of the build, in the order the build lists them.
const std::vector<Table>& Tables() {
  static const std::vector<Table> tables = [] {
    std::vector<Table> found;
    for (const auto& resource : EmbeddedLanguageResources()) {
      if (std::string(resource.type) != "LANGUAGE") continue;
      Table table;
      table.index = resource.id - kFirstTableId;
      table.resource = &resource;
      table.text = DecodeUtf16Le(resource.bytes, resource.size);
      table.pieces = Split(table.text, kCrLf);
      found.push_back(std::move(table));
    }
    return found;
  }();
  return tables;
}

const Table* FindTable(int index) {
  for (const auto& table : Tables()) {
    if (table.index == index) return &table;
  }
  return nullptr;
}

// The reference for every comparison. The English table's own content is
// checked against the design elsewhere; here it only has to be well formed.
const Table& English() {
  static const Table* english = [] {
    const Table* table = FindTable(kEnglish);
    if (table == nullptr || table->pieces.size() != kRows + 1) {
      throw platform::RuntimeError(0, "the English table is missing or malformed", "test");
    }
    return table;
  }();
  return *english;
}

// The tables other than English, each with 40 rows; the layout test reports
// the others, the content tests skip them rather than index past their end.
std::vector<const Table*> Translations() {
  std::vector<const Table*> translations;
  for (const auto& table : Tables()) {
    if (table.index != kEnglish && table.pieces.size() == kRows + 1) {
      translations.push_back(&table);
    }
  }
  return translations;
}

std::string Describe(const Table& table) {
  std::string name = "table " + std::to_string(table.resource->id);
  if (table.index >= 0 && table.index < kLanguageCount) {
    name += std::string(" (") + Languages()[table.index].title + ")";
  }
  return name;
}

std::string Quote(const std::u16string& text) { return "\"" + Utf16ToUtf8(text) + "\""; }

// ------------------------------------------------------------ the layout

TEST(TranslatedTables, EveryLanguageHasExactlyOneTable) {
  std::map<int, int> tablesPerIndex;
  for (const auto& table : Tables()) {
    EXPECT_GE(table.index, 0) << Describe(table) << ": id below the first language";
    EXPECT_LT(table.index, kLanguageCount) << Describe(table) << ": id beyond the last language";
    ++tablesPerIndex[table.index];
  }
  std::string missing;
  for (int index = 0; index < kLanguageCount; ++index) {
    if (tablesPerIndex[index] == 0) missing += " " + std::to_string(index);
    EXPECT_LE(tablesPerIndex[index], 1) << "language " << index << " has two tables";
  }
  EXPECT_EQ(missing, "") << "languages without a table:" << missing;
}

TEST(TranslatedTables, AreUtf16LittleEndianWithoutByteOrderMarkAndWellFormed) {
  for (const auto& table : Tables()) {
    SCOPED_TRACE(Describe(table));
    const auto* bytes = table.resource->bytes;
    const auto size = table.resource->size;
    ASSERT_GE(size, 2u);
    EXPECT_EQ(size % 2, 0u) << "a byte left over";
    EXPECT_FALSE(bytes[0] == 0xFF && bytes[1] == 0xFE) << "starts with a byte-order mark";
    EXPECT_FALSE(bytes[0] == 0xFE && bytes[1] == 0xFF) << "starts with a big-endian mark";

    const auto& text = table.text;
    for (std::size_t i = 0; i < text.size(); ++i) {
      const char16_t unit = text[i];
      const bool high = unit >= 0xD800 && unit <= 0xDBFF;
      const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
      const bool nextIsLow = i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
      const bool previousIsHigh = i > 0 && text[i - 1] >= 0xD800 && text[i - 1] <= 0xDBFF;
      EXPECT_FALSE(high && !nextIsLow) << "lone high surrogate at unit " << i;
      EXPECT_FALSE(low && !previousIsHigh) << "lone low surrogate at unit " << i;
      // The loader and the title list add these marks themselves; inside a row
      // they would show as boxes.
      EXPECT_FALSE(unit == 0xFEFF || unit == 0xFFFE) << "mark character at unit " << i;
      // Control characters break the drawn line; CR and LF only as the row end.
      const bool rowEnd = (unit == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ||
                          (unit == u'\n' && i > 0 && text[i - 1] == u'\r');
      EXPECT_FALSE(unit < 0x20 && !rowEnd) << "control character " << int{unit} << " at unit " << i;
    }
  }
}

TEST(TranslatedTables, HaveFortyRowsEachEndedByCrLfAndNoneEmpty) {
  for (const auto& table : Tables()) {
    SCOPED_TRACE(Describe(table));
    ASSERT_EQ(table.pieces.size(), kRows + 1) << "rows cut at CR LF, plus the piece after the last";
    EXPECT_EQ(table.pieces.back(), u"") << "the 40th row must end in CR LF";
    for (std::size_t line = 1; line <= kRows; ++line) {
      EXPECT_FALSE(Trimmed(table.Line(line)).empty()) << "line " << line << " is empty";
    }
  }
}

TEST(TranslatedTables, MarkersStandInTheRowsAndNumbersOfTheEnglishTable) {
  for (const auto* table : Translations()) {
    SCOPED_TRACE(Describe(*table));
    for (std::size_t line = 1; line <= kRows; ++line) {
      const auto& row = table->Line(line);
      const auto& english = English().Line(line);
      EXPECT_EQ(Count(row, kLineBreak), Count(english, kLineBreak))
          << "line " << line << " \" >> \" in " << Quote(row);
      EXPECT_EQ(Count(row, kArgument), Count(english, kArgument))
          << "line " << line << " \"%%\" in " << Quote(row);
      // A stray percent sign or ">>" would be shown as it is, or would make
      // the argument marker of the next character ("%%%" leaves a "%").
      EXPECT_EQ(Count(row, u"%"), 2 * Count(row, kArgument))
          << "line " << line << " stray \"%\" in " << Quote(row);
      EXPECT_EQ(Count(row, u">>"), Count(row, kLineBreak))
          << "line " << line << " \">>\" without its blanks in " << Quote(row);
    }
  }
}

TEST(TranslatedTables, QuotedArgumentsKeepTheirQuotationMarks) {
  // The English rows put the file or key name between double quotes; a
  // language may use its own double quotation marks instead.
  const std::set<std::pair<char16_t, char16_t>> quotePairs = {
      {u'"', u'"'},           {u'\u201C', u'\u201D'}, {u'\u201E', u'\u201C'},
      {u'\u201E', u'\u201D'}, {u'\u201D', u'\u201D'}, {u'\u00AB', u'\u00BB'},
      {u'\u00BB', u'\u00AB'}, {u'\u300C', u'\u300D'}, {u'\u300E', u'\u300F'},
      {u'\uFF02', u'\uFF02'},
  };
  for (const auto* table : Translations()) {
    SCOPED_TRACE(Describe(*table));
    for (std::size_t line = kFirstQuotedLine; line <= kLastQuotedLine; ++line) {
      const auto& row = table->Line(line);
      const auto marker = row.find(kArgument);
      ASSERT_NE(marker, std::u16string::npos) << "line " << line;
      auto before = marker;
      while (before > 0 && IsBlank(row[before - 1])) --before;
      auto after = marker + kArgument.size();
      while (after < row.size() && IsBlank(row[after])) ++after;
      const bool quoted =
          before > 0 && after < row.size() && quotePairs.count({row[before - 1], row[after]}) == 1;
      EXPECT_TRUE(quoted) << "line " << line << ": \"%%\" not between quotation marks in "
                          << Quote(row);
    }
  }
}

TEST(TranslatedTables, RowsAreTranslatedExceptTheButtonCaptions) {
  // A caption such as "OK" or "START" is what several languages put on their
  // buttons too; every other row is a sentence or label that a language has
  // its own words for. Compared without case and outer blanks, so that an
  // English row left in upper case is caught as well.
  for (const auto* table : Translations()) {
    SCOPED_TRACE(Describe(*table));
    for (std::size_t line = 1; line <= kRows; ++line) {
      if (IsCaptionLine(line)) continue;
      EXPECT_NE(AsciiLower(Trimmed(table->Line(line))), AsciiLower(English().Line(line)))
          << "line " << line << " is the English row " << Quote(table->Line(line));
    }
  }
}

TEST(TranslatedTables, ProductSiteAndPageNamesStayAsTheyAre) {
  for (const auto* table : Translations()) {
    SCOPED_TRACE(Describe(*table));
    for (std::size_t line = 1; line <= kRows; ++line) {
      if (Contains(English().Line(line), u"Quellix")) {
        EXPECT_TRUE(Contains(table->Line(line), u"Quellix"))
            << "line " << line << " lost the product name: " << Quote(table->Line(line));
      }
    }
    // The user has to find the site and the page by these names.
    EXPECT_TRUE(Contains(table->Line(kUpdateBoxLine), u"www.quellix.example"))
        << Quote(table->Line(kUpdateBoxLine));
    EXPECT_TRUE(Contains(table->Line(kPasswordBoxLine), u"MSN Live account page"))
        << Quote(table->Line(kPasswordBoxLine));
  }
}

TEST(TranslatedTables, ButtonCaptionsAreShortWords) {
  // The captions are centred on buttons about 81 pixels wide in a 9.75-point
  // font; a longer text is cut off at both sides.
  constexpr std::size_t kLongestCaption = 12;
  for (const auto* table : Translations()) {
    SCOPED_TRACE(Describe(*table));
    for (std::size_t line = kFirstCaptionLine; line <= kLastCaptionLine; ++line) {
      const auto& caption = table->Line(line);
      EXPECT_LE(CodePoints(caption), kLongestCaption) << "line " << line << " " << Quote(caption);
      EXPECT_EQ(Trimmed(caption), caption) << "line " << line << " has outer blanks, "
                                           << "which shift the centred caption";
    }
  }
}

// The script of a language not written in Latin letters: each of its rows
// (captions aside, which may say "OK") has letters of it, so a table in the
// wrong place or an English row left over shows.
struct Script {
  const char* name;
  std::vector<std::pair<char16_t, char16_t>> ranges;

  bool Has(char16_t unit) const {
    return std::any_of(ranges.begin(), ranges.end(), [&](const auto& range) {
      return unit >= range.first && unit <= range.second;
    });
  }
};

const std::map<int, Script>& NonLatinScripts() {
  static const Script arabic{"Arabic", {{0x0600, 0x06FF}}};
  static const Script han{"Han", {{0x4E00, 0x9FFF}}};
  static const Script greek{"Greek", {{0x0370, 0x03FF}, {0x1F00, 0x1FFF}}};
  static const Script hebrew{"Hebrew", {{0x0590, 0x05FF}}};
  static const Script hangul{"Hangul", {{0xAC00, 0xD7AF}}};
  static const Script cyrillic{"Cyrillic", {{0x0400, 0x04FF}}};
  static const std::map<int, Script> scripts = {
      {1, arabic}, {3, han}, {4, han}, {11, greek}, {12, hebrew}, {15, hangul}, {19, cyrillic},
  };
  return scripts;
}

TEST(TranslatedTables, EachIsWrittenInTheScriptOfItsLanguage) {
  std::vector<const Script*> allScripts;
  for (const auto& [index, script] : NonLatinScripts()) allScripts.push_back(&script);

  for (const auto* table : Translations()) {
    SCOPED_TRACE(Describe(*table));
    const auto own = NonLatinScripts().find(table->index);
    for (std::size_t line = 1; line <= kRows; ++line) {
      const auto& row = table->Line(line);
      if (own != NonLatinScripts().end()) {
        if (IsCaptionLine(line)) continue;
        EXPECT_TRUE(std::any_of(row.begin(), row.end(),
                                [&](char16_t unit) { return own->second.Has(unit); }))
            << "line " << line << " has no " << own->second.name << " letter: " << Quote(row);
      } else {
        // A Latin-script table with a Cyrillic or Greek look-alike letter
        // reads right but cannot be searched for or spell-checked.
        for (const auto* script : allScripts) {
          EXPECT_FALSE(
              std::any_of(row.begin(), row.end(), [&](char16_t unit) { return script->Has(unit); }))
              << "line " << line << " has a " << script->name << " letter: " << Quote(row);
        }
      }
    }
  }
}

// ------------------------------------------------------ related languages

TEST(TranslatedTables, SimplifiedAndTraditionalChineseAreTheirOwnScripts) {
  const Table* simplified = FindTable(3);
  const Table* traditional = FindTable(4);
  if (simplified == nullptr || traditional == nullptr) {
    GTEST_SKIP() << "a Chinese table is missing (reported by EveryLanguageHasExactlyOneTable)";
  }
  EXPECT_NE(simplified->text, traditional->text);

  // Characters that exist in one script only, paired with their counterpart;
  // each pair is common in the wording of these tables.
  const std::vector<std::pair<char16_t, char16_t>> pairs = {
      {u'这', u'這'}, {u'个', u'個'}, {u'为', u'為'}, {u'务', u'務'}, {u'进', u'進'},
      {u'动', u'動'}, {u'关', u'關'}, {u'开', u'開'}, {u'扫', u'掃'}, {u'确', u'確'},
      {u'经', u'經'}, {u'没', u'沒'}, {u'检', u'檢'}, {u'测', u'測'}, {u'备', u'備'},
      {u'录', u'錄'}, {u'统', u'統'}, {u'设', u'設'}, {u'项', u'項'}, {u'启', u'啟'},
      {u'选', u'選'}, {u'择', u'擇'}, {u'储', u'儲'}, {u'时', u'時'}, {u'钟', u'鐘'},
      {u'脑', u'腦'}, {u'码', u'碼'}, {u'页', u'頁'}, {u'问', u'問'}, {u'员', u'員'},
      {u'编', u'編'}, {u'辑', u'輯'}, {u'识', u'識'}, {u'终', u'終'}, {u'无', u'無'},
      {u'发', u'發'}, {u'现', u'現'}, {u'还', u'還'}, {u'请', u'請'}, {u'运', u'運'},
      {u'网', u'網'}, {u'获', u'獲'}, {u'议', u'議'}, {u'转', u'轉'}, {u'访', u'訪'},
      {u'号', u'號'}, {u'载', u'載'}, {u'应', u'應'}, {u'护', u'護'}, {u'读', u'讀'},
  };
  std::u16string simplifiedOnly;
  std::u16string traditionalOnly;
  for (const auto& [simple, full] : pairs) {
    simplifiedOnly += simple;
    traditionalOnly += full;
  }
  auto countOf = [](const Table& table, const std::u16string& characters) {
    std::size_t count = 0;
    for (char16_t unit : table.text) count += characters.find(unit) != std::u16string::npos;
    return count;
  };
  auto firstRowWith = [](const Table& table, const std::u16string& characters) {
    for (std::size_t line = 1; line <= table.pieces.size(); ++line) {
      if (table.pieces[line - 1].find_first_of(characters) != std::u16string::npos) {
        return "line " + std::to_string(line) + " " + Quote(table.pieces[line - 1]);
      }
    }
    return std::string("none");
  };
  EXPECT_GT(countOf(*simplified, simplifiedOnly), 0u);
  EXPECT_EQ(countOf(*simplified, traditionalOnly), 0u)
      << "traditional characters in the simplified table, first at "
      << firstRowWith(*simplified, traditionalOnly);
  EXPECT_GT(countOf(*traditional, traditionalOnly), 0u);
  EXPECT_EQ(countOf(*traditional, simplifiedOnly), 0u)
      << "simplified characters in the traditional table, first at "
      << firstRowWith(*traditional, simplifiedOnly);
}

TEST(TranslatedTables, EuropeanAndBrazilianPortugueseUseTheirOwnWords) {
  const Table* brazilian = FindTable(2);
  const Table* european = FindTable(18);
  if (brazilian == nullptr || european == nullptr) {
    GTEST_SKIP() << "a Portuguese table is missing (reported by EveryLanguageHasExactlyOneTable)";
  }
  EXPECT_NE(brazilian->text, european->text);

  // Words of the tables' subject where the two usages part: file, password.
  const std::vector<std::pair<std::u16string, std::u16string>> words = {
      {u"ficheiro", u"arquivo"},
      {u"palavra-passe", u"senha"},
  };
  const auto brazilianText = AsciiLower(brazilian->text);
  const auto europeanText = AsciiLower(european->text);
  for (const auto& [europeanWord, brazilianWord] : words) {
    EXPECT_TRUE(Contains(europeanText, europeanWord)) << "Portuguese lacks " << Quote(europeanWord);
    EXPECT_FALSE(Contains(europeanText, brazilianWord))
        << "Portuguese has " << Quote(brazilianWord);
    EXPECT_TRUE(Contains(brazilianText, brazilianWord))
        << "Brazilian lacks " << Quote(brazilianWord);
    EXPECT_FALSE(Contains(brazilianText, europeanWord)) << "Brazilian has " << Quote(europeanWord);
  }
}

// ---------------------------------------------------------------- loading

std::vector<std::u16string> WithPrefix(const std::vector<std::u16string>& pieces) {
  std::vector<std::u16string> prefixed;
  for (const auto& piece : pieces) prefixed.push_back(kPrefix + piece);
  return prefixed;
}

TEST(TranslatedTablesLoaded, EachTableGivesItsCaptionsLabelsAndMessages) {
  for (const auto& table : Tables()) {
    SCOPED_TRACE(Describe(table));
    if (table.pieces.size() != kRows + 1) continue;  // reported by the layout tests
    const auto index = static_cast<std::uint8_t>(table.index);
    std::unique_ptr<test::SimQuellix> sim;
    try {
      sim = std::make_unique<test::SimQuellix>(platform::sim::MakeStandardMachine(), index);
    } catch (const platform::RuntimeError& error) {
      ADD_FAILURE() << "LoadLanguage raised: " << error.Description();
      continue;
    }
    auto& language = sim->language;
    auto& host = sim->host;
    auto lineWithPrefix = [&](std::size_t line) { return kPrefix + table.Line(line); };

    for (std::size_t label = 0; label < 3; ++label) {
      EXPECT_EQ(host.labels[label], lineWithPrefix(label + 1)) << "label " << label + 1;
    }
    EXPECT_EQ(language.CaptionClose(), lineWithPrefix(4));
    EXPECT_EQ(language.CaptionStart(), lineWithPrefix(5));
    EXPECT_EQ(language.CaptionOK(), lineWithPrefix(6));
    EXPECT_EQ(language.CaptionYes(), lineWithPrefix(7));
    EXPECT_EQ(language.CaptionNo(), lineWithPrefix(8));
    EXPECT_EQ(language.CaptionAbout(), lineWithPrefix(9));
    ASSERT_EQ(language.MessageRows().size(), 33u);
    EXPECT_EQ(language.MessageRows()[0], lineWithPrefix(10));
    EXPECT_EQ(language.MessageRows()[30], lineWithPrefix(40));

    // The update question: two lines, the second naming the site, with the
    // table's own Yes and No.
    host.yesNoAnswers = {6};
    EXPECT_EQ(language.ShowMessageBox(4, kStyleYesNo), 6);
    ASSERT_EQ(host.boxes.size(), 1u);
    const auto& box = host.boxes[0];
    EXPECT_EQ(box.lines, WithPrefix(Split(table.Line(kUpdateBoxLine), kLineBreak)));
    ASSERT_EQ(box.lines.size(), 2u);
    EXPECT_TRUE(Contains(box.lines[1], u"www.quellix.example"));
    EXPECT_EQ(box.button1, lineWithPrefix(7));
    EXPECT_EQ(box.button2, lineWithPrefix(8));

    // The first log line breaks where the table says and leaves no marker.
    host.ClearDetails();
    language.WriteMessage(1, "");
    EXPECT_FALSE(Contains(host.details, kLineBreak)) << Quote(host.details);
    EXPECT_TRUE(Contains(host.details, kCrLf)) << Quote(host.details);

    // Every message with an argument shows it, with no marker left behind.
    for (float number : {2.0f, 4.0f, 5.0f, 6.0f, 11.0f, 12.0f, 13.0f, 14.0f, 19.0f}) {
      host.ClearDetails();
      language.WriteMessage(number, "C:\\WINDOWS\\wrm32.exe");
      EXPECT_TRUE(Contains(host.details, u"C:\\WINDOWS\\wrm32.exe"))
          << "log message " << number << ": " << Quote(host.details);
      EXPECT_FALSE(Contains(host.details, kArgument))
          << "log message " << number << ": " << Quote(host.details);
    }
  }
}

TEST(TranslatedTablesLoaded, LocaleNameSelectsItsLanguageWhichThenLoads) {
  const std::vector<std::pair<std::string, std::uint8_t>> names = {
      {"Albanian", 0}, {"Arabic", 1},      {"Brazilian", 2}, {"Chinese", 3},  {"Danish", 5},
      {"Dutch", 6},    {"Estonian", 8},    {"French", 9},    {"German", 10},  {"Greek", 11},
      {"Hebrew", 12},  {"Hungarian", 13},  {"Italian", 14},  {"Korean", 15},  {"Norwegian", 16},
      {"Polish", 17},  {"Portuguese", 18}, {"Russian", 19},  {"Spanish", 20}, {"Swedish", 21},
      {"Turkish", 22}, {"English", 7},     {"Japanese", 7},
  };
  std::set<std::uint8_t> selected;
  for (const auto& [name, expected] : names) {
    SCOPED_TRACE(name);
    auto machine = platform::sim::MakeStandardMachine();
    machine.localeLanguageName = name;
    platform::sim::SimPlatform platform(machine);
    const auto chosen = ChooseDefaultLanguage(platform);
    EXPECT_EQ(chosen, expected);
    selected.insert(chosen);

    const Table* table = FindTable(chosen);
    if (table == nullptr || table->pieces.size() != kRows + 1) continue;  // reported above
    try {
      test::SimQuellix sim(machine, chosen);
      EXPECT_EQ(sim.language.CaptionStart(), kPrefix + table->Line(5));
      EXPECT_EQ(sim.language.MessageRows()[5], kPrefix + table->Line(15));
    } catch (const platform::RuntimeError& error) {
      ADD_FAILURE() << "LoadLanguage(" << int{chosen} << ") raised: " << error.Description();
    }
  }
  // Every language but traditional Chinese and English is reachable by its
  // name alone; those two only through the picker and the fallback.
  EXPECT_EQ(selected.size(), kLanguageCount - 1u);
  EXPECT_EQ(selected.count(4), 0u);
}

}  // namespace
}  // namespace quellix::lang
