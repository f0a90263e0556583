#include "quellix/tools/quellix_pass/ConsoleHost.h"

#include <cmath>

#include "quellix/engine/run/ProductInfo.h"
#include "quellix/lang/Ansi.h"

namespace quellix::pass {

std::string ConsoleText(const std::u16string& text) {
  std::u16string visible;
  for (char16_t unit : text) {
    if (unit != u'\uFFFE') visible += unit;
  }
  return lang::Utf16ToUtf8(visible);
}

ConsoleHost::ConsoleHost(std::ostream& out, std::string folderChoice, bool answerYes)
    : out_(out), folderChoice_(std::move(folderChoice)), answerYes_(answerYes) {}

// Every message but the first starts with its own line break; each line of the
// text becomes one output line.
void ConsoleHost::AppendDetails(const std::u16string& text) {
  details_ += text;
  std::u16string lines = text;
  if (lines.compare(0, 2, u"\r\n") == 0) lines.erase(0, 2);
  std::size_t start = 0;
  for (auto end = lines.find(u"\r\n"); end != std::u16string::npos;
       end = lines.find(u"\r\n", start)) {
    out_ << ConsoleText(lines.substr(start, end - start)) << '\n';
    start = end + 2;
  }
  out_ << ConsoleText(lines.substr(start)) << '\n';
  out_.flush();
}

std::u16string ConsoleHost::GetDetailsText() { return details_; }

void ConsoleHost::ClearDetails() { details_.clear(); }

std::int16_t ConsoleHost::ShowMessageBox(const MessageBoxRequest& request) {
  std::string text;
  for (std::size_t i = 0; i < request.lines.size(); ++i) {
    if (i > 0) text += " | ";
    text += ConsoleText(request.lines[i]);
  }
  out_ << "box " << std::lround(request.number) << ": " << text << '\n';
  out_.flush();
  if (request.okOnly) return 1;
  return answerYes_ ? 6 : 7;
}

std::string ConsoleHost::BrowseForFolder(const std::string&) { return folderChoice_; }

std::string ConsoleHost::WindowCaption() { return MainWindowCaption(); }

}  // namespace quellix::pass
