// The 23 languages of the program, in the order of the picker and of the title
// list, and where their resources live.
#pragma once

#if defined(_WINDOWS_) || defined(_INC_WINDOWS)
#error "quellix/lang is portable: include its headers before <windows.h>"
#endif

#include <array>
#include <cstdint>

namespace quellix::lang {

constexpr std::uint8_t kLanguageCount = 23;
constexpr std::uint8_t kEnglish = 7;

// Table of language index i: resource "Language", id kFirstTableId + i.
constexpr const char* kTableResourceType = "Language";
constexpr int kFirstTableId = 100;
constexpr const char* kTitlesResourceType = "LanguageTitles";
constexpr int kTitlesId = 1;

struct LanguageEntry {
  const char* title;       // the native title, UTF-8, as the title list holds it
  const char* localeName;  // the English language name that selects it; nullptr for none
  // Written from right to left: its lines are drawn with a right-to-left
  // reading order, so that a Latin name or a value inside a sentence keeps
  // its place in it.
  bool rightToLeft = false;
};

const std::array<LanguageEntry, kLanguageCount>& Languages();

}  // namespace quellix::lang
