// The language of the program: the loaded table's captions and message rows,
// the title list, and the lookups that turn message numbers into text for the
// details box and the message box. The program owns one instance.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "quellix/Host.h"

namespace quellix::lang {

// Message box styles, as the platform's message box numbers them.
constexpr std::int16_t kStyleOkOnly = 0;
constexpr std::int16_t kStyleYesNo = 4;

class Language {
 public:
  Language(platform::Platform& platform, Host& host);

  // Fills TitleRows from the title list. Called once at start-up.
  void LoadLanguageTitles();

  // Loads table 100 + index: the three caption labels (through
  // Host::ApplyLanguage, after the button captions have changed), the six button
  // captions and MessageRows. A table that is missing, not UTF-16 or too short
  // for the captions raises platform::RuntimeError and leaves the previous
  // language in place; there is no fallback to another language.
  void LoadLanguage(std::uint8_t index);

  // Appends log message `number` to the details box; `argument` is ANSI text
  // in the system's code page and replaces "%%" in the messages that take one. An unlisted
  // number appends an empty line. A listed number whose row the loaded table
  // lacks raises platform::RuntimeError.
  void WriteMessage(float number, const std::string& argument);

  // Shows box message `number` (1 to 8) modally; style 0 has one OK button,
  // style 4 Yes and No. Returns 1, 6 or 7 as the host reports the pressed button.
  std::int16_t ShowMessageBox(float number, std::int16_t style);

  // The language last chosen, set by start-up and the picker before they load it.
  std::uint8_t CurrentLanguage() const { return currentLanguage_; }
  void SetCurrentLanguage(std::uint8_t index) { currentLanguage_ = index; }

  // Whether the loaded table's language is written from right to left.
  bool RightToLeft() const;

  // Table line k + 10 at index k, then U+FFFE alone for the empty piece after
  // the last CR LF, then one empty entry. Empty before the first load.
  const std::vector<std::u16string>& MessageRows() const { return messageRows_; }
  const std::vector<std::u16string>& TitleRows() const { return titleRows_; }

  const std::u16string& CaptionClose() const { return captionClose_; }
  const std::u16string& CaptionStart() const { return captionStart_; }
  const std::u16string& CaptionOK() const { return captionOK_; }
  const std::u16string& CaptionYes() const { return captionYes_; }
  const std::u16string& CaptionNo() const { return captionNo_; }
  const std::u16string& CaptionAbout() const { return captionAbout_; }

 private:
  // MessageRows[index] if it holds a row of the loaded table, else raises.
  const std::u16string& MessageRow(std::size_t index, const std::string& purpose,
                                   const char* source) const;

  platform::Platform& platform_;
  Host& host_;
  std::uint8_t currentLanguage_ = 0;
  std::uint8_t loadedTable_ = 0;
  std::vector<std::u16string> messageRows_;
  std::size_t messageRowsFromTable_ = 0;  // leading MessageRows that are rows of the table
  std::vector<std::u16string> titleRows_;
  std::u16string captionClose_;
  std::u16string captionStart_;
  std::u16string captionOK_;
  std::u16string captionYes_;
  std::u16string captionNo_;
  std::u16string captionAbout_;
};

}  // namespace quellix::lang
