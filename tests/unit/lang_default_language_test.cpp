// The start-up rule that picks the first language from the user's locale.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/sim/SimMachine.h"
#include "platform/sim/SimPlatform.h"
#include "quellix/lang/ChooseDefaultLanguage.h"
#include "quellix/lang/Languages.h"

namespace quellix::lang {
namespace {

class DefaultLanguage : public testing::Test {
 protected:
  std::uint8_t ChooseFor(const std::string& name) {
    machine.localeLanguageName = name;
    return ChooseDefaultLanguage(platform);
  }

  platform::sim::Machine machine = platform::sim::MakeStandardMachine();
  platform::sim::SimPlatform platform{machine};
};

TEST_F(DefaultLanguage, EveryLocaleNameSelectsItsLanguage) {
  const std::vector<std::pair<std::string, std::uint8_t>> names = {
      {"Albanian", 0}, {"Arabic", 1},      {"Brazilian", 2}, {"Chinese", 3},  {"Danish", 5},
      {"Dutch", 6},    {"Estonian", 8},    {"French", 9},    {"German", 10},  {"Greek", 11},
      {"Hebrew", 12},  {"Hungarian", 13},  {"Italian", 14},  {"Korean", 15},  {"Norwegian", 16},
      {"Polish", 17},  {"Portuguese", 18}, {"Russian", 19},  {"Spanish", 20}, {"Swedish", 21},
      {"Turkish", 22},
  };
  for (const auto& [name, index] : names) {
    EXPECT_EQ(ChooseFor(name), index) << name;
  }
}

TEST_F(DefaultLanguage, OtherNamesFallBackToEnglish) {
  const std::vector<std::string> names = {"English",    "english",
                                          "PORTUGUESE", "Portuguese (Brazil)",
                                          "Chinese ",   "Traditional Chinese",
                                          "Japanese",   std::string(255, 'x')};
  for (const auto& name : names) {
    EXPECT_EQ(ChooseFor(name), kEnglish) << "\"" << name << "\"";
  }
}

TEST_F(DefaultLanguage, FailingLocaleQueryFallsBackToEnglish) {
  // The simulated machine fails the call for an empty name.
  EXPECT_EQ(ChooseFor(""), kEnglish);

  machine.InjectFault("GetLocaleInfoA", "", platform::error::kInvalidParameter, 1);
  EXPECT_EQ(ChooseFor("French"), kEnglish);
  EXPECT_EQ(ChooseFor("French"), 9) << "the fault is spent";
}

// A platform that answers GetLocaleInfoA as scripted and records the query.
class ScriptedLocalePlatform : public platform::sim::SimPlatform {
 public:
  using SimPlatform::SimPlatform;

  std::string name;
  int reportedCount = 0;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> queries;
  std::size_t bufferSize = 0;
  bool bufferWasNulFilled = false;

  int GetLocaleInfoA(std::uint32_t locale, std::uint32_t item, std::string& buffer) override {
    queries.emplace_back(locale, item);
    bufferSize = buffer.size();
    bufferWasNulFilled = buffer.find_first_not_of('\0') == std::string::npos;
    buffer.replace(0, name.size(), name);
    return reportedCount;
  }
};

class ScriptedLocale : public testing::Test {
 protected:
  platform::sim::Machine machine = platform::sim::MakeStandardMachine();
  ScriptedLocalePlatform platform{machine};
};

TEST_F(ScriptedLocale, AsksForTheUsersEnglishLanguageNameIntoAnEmptyBuffer) {
  platform.name = "Greek";
  platform.reportedCount = 6;
  EXPECT_EQ(ChooseDefaultLanguage(platform), 11);
  EXPECT_EQ(platform.queries, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{
                                  {platform::kLocaleUserDefault, platform::kLocaleSEngLanguage}}));
  EXPECT_EQ(platform.bufferSize, 256u);
  EXPECT_TRUE(platform.bufferWasNulFilled);
}

TEST_F(ScriptedLocale, OnlyTheReportedCharactersCount) {
  // The count includes the NUL: a count one short cuts the last letter off.
  platform.name = "Germany";
  platform.reportedCount = 7;
  EXPECT_EQ(ChooseDefaultLanguage(platform), 10);
  platform.name = "German";
  platform.reportedCount = 6;
  EXPECT_EQ(ChooseDefaultLanguage(platform), kEnglish);
}

TEST_F(ScriptedLocale, ImpossibleCountsFallBackToEnglish) {
  platform.name = "French";
  for (int count : {0, -1, 257, 100000}) {
    platform.reportedCount = count;
    EXPECT_EQ(ChooseDefaultLanguage(platform), kEnglish) << "count " << count;
  }
}

}  // namespace
}  // namespace quellix::lang
