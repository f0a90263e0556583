#include "quellix/lang/Language.h"

#include <sstream>
#include <utility>

#include "platform/RuntimeError.h"
#include "quellix/lang/Ansi.h"
#include "quellix/lang/LanguageErrors.h"
#include "quellix/lang/LanguageResources.h"
#include "quellix/lang/Languages.h"
#include "quellix/lang/LogMessages.h"
#include "quellix/lang/Rounding.h"
#include "quellix/lang/Utf16Text.h"

namespace quellix::lang {
namespace {

// Lines 1-3 are the caption labels and 4-9 the button captions; message rows
// start at line 10.
constexpr std::size_t kCaptionRows = 9;
constexpr std::size_t kBoxMessageCount = 8;
constexpr const char16_t* kLineBreakMarker = u" >> ";
constexpr const char16_t* kArgumentMarker = u"%%";
constexpr const char16_t* kLineBreak = u"\r\n";

std::string FormatNumber(float number) {
  std::ostringstream text;
  text << number;
  return text.str();
}

}  // namespace

Language::Language(platform::Platform& platform, Host& host) : platform_(platform), host_(host) {}

void Language::LoadLanguageTitles() { titleRows_ = ReadTitleRows(platform_); }

void Language::LoadLanguage(std::uint8_t index) {
  auto table = ReadLanguageTable(platform_, index);
  if (table.rowCount < kCaptionRows) {
    throw platform::RuntimeError(errors::kMalformedResource,
                                 DescribeTable(index) + " has " + std::to_string(table.rowCount) +
                                     " rows; the labels and button captions need " +
                                     std::to_string(kCaptionRows),
                                 "LoadLanguage");
  }
  auto& pieces = table.pieces;
  // Indexes 0 to U - 8 for pieces 0 to U: the pieces from line 10 on, and one
  // entry more that stays empty.
  std::vector<std::u16string> rows(pieces.size() - kCaptionRows + 1);
  std::move(pieces.begin() + kCaptionRows, pieces.end(), rows.begin());

  captionClose_ = std::move(pieces[3]);
  captionStart_ = std::move(pieces[4]);
  captionOK_ = std::move(pieces[5]);
  captionYes_ = std::move(pieces[6]);
  captionNo_ = std::move(pieces[7]);
  captionAbout_ = std::move(pieces[8]);
  messageRows_ = std::move(rows);
  messageRowsFromTable_ = table.rowCount - kCaptionRows;
  loadedTable_ = index;
  host_.ApplyLanguage(pieces[0], pieces[1], pieces[2]);
}

bool Language::RightToLeft() const {
  return loadedTable_ < kLanguageCount && Languages()[loadedTable_].rightToLeft;
}

void Language::WriteMessage(float number, const std::string& argument) {
  const auto message = FindLogMessage(number);
  std::u16string text = kLineBreak;
  if (message) {
    const auto row = [&]() -> const std::u16string& {
      return MessageRow(message->rowIndex, "log message " + FormatNumber(number), "WriteMessage");
    };
    switch (message->treatment) {
      case LogTreatment::kLineBreaks:
        text = ReplaceAll(row(), kLineBreakMarker, kLineBreak);
        break;
      case LogTreatment::kArgument:
        // The argument is a name as the system's A calls gave it: bytes in
        // the system's code page.
        text += ReplaceAll(row(), kArgumentMarker,
                           platform_.MultiByteToWideChar(platform::kCpAcp, argument));
        break;
      case LogTreatment::kUnchanged:
        text += row();
        break;
      case LogTreatment::kFixedEnglish:
        text += ReplaceAll(message->fixedText, kArgumentMarker, AnsiToUtf16(argument));
        break;
    }
  }
  host_.AppendDetails(text);
}

std::int16_t Language::ShowMessageBox(float number, std::int16_t style) {
  const char* source = "ShowMessageBox";
  if (style != kStyleOkOnly && style != kStyleYesNo) {
    throw platform::RuntimeError(errors::kInvalidArgument,
                                 "Message box style " + std::to_string(style) +
                                     " does not exist; the styles are 0 (OK) and 4 (Yes, No)",
                                 source);
  }
  const double index = RoundHalfEven(number - 1.0f);
  if (!(index >= 0 && index < kBoxMessageCount)) {
    throw platform::RuntimeError(
        errors::kInvalidArgument,
        "There is no box message " + FormatNumber(number) + "; the box messages are 1 to 8",
        source);
  }
  const auto& row =
      MessageRow(static_cast<std::size_t>(index), "box message " + FormatNumber(number), source);

  MessageBoxRequest request;
  request.number = number;
  request.lines = CutAt(row, kLineBreakMarker);
  for (std::size_t i = 1; i < request.lines.size(); ++i) {
    request.lines[i].insert(request.lines[i].begin(), kRowPrefix);
  }
  request.okOnly = style == kStyleOkOnly;
  request.button1 = request.okOnly ? captionOK_ : captionYes_;
  if (!request.okOnly) request.button2 = captionNo_;
  return host_.ShowMessageBox(request);
}

const std::u16string& Language::MessageRow(std::size_t index, const std::string& purpose,
                                           const char* source) const {
  if (index < messageRowsFromTable_) return messageRows_[index];
  const std::string description =
      messageRows_.empty() ? "No language table is loaded, so there is no row for " + purpose
                           : DescribeTable(loadedTable_) + " has no row for " + purpose;
  throw platform::RuntimeError(errors::kRowMissing, description, source);
}

}  // namespace quellix::lang
