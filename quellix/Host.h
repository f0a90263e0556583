// What the engine and the language module need from the main window. frmGUI
// implements it; tests and the console runner implement it without a window.
// The engine never touches a window except through this interface.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quellix {

// One box of the multilingual message box, as the lookup side prepares it.
struct MessageBoxRequest {
  double number = 0;                  // the box message number, for records
  std::vector<std::u16string> lines;  // every line carries its U+FFFE prefix
  std::u16string button1;
  std::u16string button2;  // empty in one-button mode
  bool okOnly = true;
};

class Host {
 public:
  virtual ~Host() = default;

  // The details box: the log of the run. Text is UTF-16 as the box holds it.
  virtual void AppendDetails(const std::u16string& text) = 0;
  virtual std::u16string GetDetailsText() = 0;
  virtual void ClearDetails() = 0;

  // Shows a box modally and returns the code of the pressed button
  // (1 for the single button, 6 for the first and 7 for the second of two).
  virtual std::int16_t ShowMessageBox(const MessageBoxRequest& request) = 0;

  // The folder dialog: the chosen folder, or "" when cancelled.
  virtual std::string BrowseForFolder(const std::string& title) = 0;

  // Progress bars (percentages) and the message pump.
  virtual void SetProg1(double value) = 0;
  virtual void SetProg2(double value) = 0;
  virtual void DoEvents() = 0;

  // Window state.
  virtual void SetTerm(bool term) = 0;
  virtual void EnableGUI() = 0;
  virtual void DisableGUI() = 0;
  virtual std::string WindowCaption() = 0;

  // A language was loaded: the three caption labels take their texts and the
  // buttons are redrawn with the new captions.
  virtual void ApplyLanguage(const std::u16string& labelOperation,
                             const std::u16string& labelProgress,
                             const std::u16string& labelDetails) = 0;
};

}  // namespace quellix
