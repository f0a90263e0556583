#include "quellix/lang/LanguageResources.h"

#include "platform/RuntimeError.h"
#include "quellix/lang/LanguageErrors.h"
#include "quellix/lang/Languages.h"
#include "quellix/lang/Utf16Text.h"

namespace quellix::lang {
namespace {

constexpr const char16_t* kRowSeparator = u"\r\n";

// The resource as UTF-16 text; it is read as code units, without conversion.
std::u16string ReadResourceText(platform::Platform& platform, const char* type, int id,
                                const std::string& what, const char* source) {
  std::vector<std::uint8_t> bytes;
  if (!platform.LoadProgramResource(type, id, &bytes)) {
    throw platform::RuntimeError(errors::kResourceNotFound,
                                 what + " is not included in this program", source);
  }
  if (bytes.size() % 2 != 0) {
    throw platform::RuntimeError(errors::kMalformedResource,
                                 what + " is not UTF-16 text: it has an odd number of bytes (" +
                                     std::to_string(bytes.size()) + ")",
                                 source);
  }
  return Utf16FromLittleEndian(bytes);
}

void PrefixEach(std::vector<std::u16string>& pieces) {
  for (auto& piece : pieces) piece.insert(piece.begin(), kRowPrefix);
}

}  // namespace

std::string DescribeTable(std::uint8_t index) {
  std::string description = "Language table " + std::to_string(kFirstTableId + index);
  if (index < kLanguageCount) description += std::string(" (") + Languages()[index].title + ")";
  return description;
}

LanguageTable ReadLanguageTable(platform::Platform& platform, std::uint8_t index) {
  const auto text = ReadResourceText(platform, kTableResourceType, kFirstTableId + index,
                                     DescribeTable(index), "LoadLanguage");
  LanguageTable table;
  table.pieces = CutAt(text, kRowSeparator);
  table.rowCount = table.pieces.size() - (table.pieces.back().empty() ? 1 : 0);
  PrefixEach(table.pieces);
  return table;
}

std::vector<std::u16string> ReadTitleRows(platform::Platform& platform) {
  const char* source = "LoadLanguageTitles";
  const std::string what = "The language title list (" + std::string(kTitlesResourceType) + " " +
                           std::to_string(kTitlesId) + ")";
  auto titles = CutAt(ReadResourceText(platform, kTitlesResourceType, kTitlesId, what, source),
                      kRowSeparator);
  PrefixEach(titles);
  if (titles.size() != kLanguageCount) {
    throw platform::RuntimeError(errors::kMalformedResource,
                                 what + " holds " + std::to_string(titles.size()) +
                                     " titles; the program has " + std::to_string(kLanguageCount) +
                                     " languages",
                                 source);
  }
  return titles;
}

}  // namespace quellix::lang
