#include "quellix/lang/Languages.h"

namespace quellix::lang {

const std::array<LanguageEntry, kLanguageCount>& Languages() {
  // Traditional Chinese and English have no locale name: Windows names both
  // Chinese scripts "Chinese", which selects the simplified one, and English is
  // what every unknown name falls back to anyway.
  static const std::array<LanguageEntry, kLanguageCount> languages = {{
      {"Shqip", "Albanian"},       {"العربية", "Arabic", true}, {"Brasileiro", "Brazilian"},
      {"简体中文", "Chinese"},     {"繁體中文", nullptr},       {"Dansk", "Danish"},
      {"Nederlands", "Dutch"},     {"English", nullptr},        {"Eesti", "Estonian"},
      {"Français", "French"},      {"Deutsch", "German"},       {"Ελληνικά", "Greek"},
      {"עברית", "Hebrew", true},   {"Magyar", "Hungarian"},     {"Italiano", "Italian"},
      {"한국어", "Korean"},        {"Norsk", "Norwegian"},      {"Polski", "Polish"},
      {"Português", "Portuguese"}, {"Русский", "Russian"},      {"Español", "Spanish"},
      {"Svenska", "Swedish"},      {"Türkçe", "Turkish"},
  }};
  return languages;
}

}  // namespace quellix::lang
