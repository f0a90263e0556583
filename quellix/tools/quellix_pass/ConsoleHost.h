// The console as the main window: log lines and boxes are printed in UTF-8 in
// the order they appear; boxes are answered from the command line.
#pragma once

#include <ostream>
#include <string>

#include "quellix/Host.h"

namespace quellix::pass {

class ConsoleHost : public Host {
 public:
  ConsoleHost(std::ostream& out, std::string folderChoice, bool answerYes);

  void AppendDetails(const std::u16string& text) override;
  std::u16string GetDetailsText() override;
  void ClearDetails() override;
  std::int16_t ShowMessageBox(const MessageBoxRequest& request) override;
  std::string BrowseForFolder(const std::string& title) override;
  void SetProg1(double) override {}
  void SetProg2(double) override {}
  void DoEvents() override {}
  void SetTerm(bool) override {}
  void EnableGUI() override {}
  void DisableGUI() override {}
  std::string WindowCaption() override;
  void ApplyLanguage(const std::u16string&, const std::u16string&, const std::u16string&) override {
  }

 private:
  std::ostream& out_;
  std::string folderChoice_;
  bool answerYes_;
  std::u16string details_;
};

// The text as a console shows it: UTF-8, without the U+FFFE marks that the
// language data puts in front of every row.
std::string ConsoleText(const std::u16string& text);

}  // namespace quellix::pass
