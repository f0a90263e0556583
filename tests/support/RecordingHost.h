// A host without a window: it keeps the details text, records every box,
// progress value and state change in order, and answers boxes from a script.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "quellix/Host.h"

namespace quellix::test {

struct RecordedBox {
  double number = 0;
  std::vector<std::u16string> lines;
  std::u16string button1;
  std::u16string button2;
  bool okOnly = true;
  std::int16_t answer = 0;
};

class RecordingHost : public Host {
 public:
  // Answers for Yes/No boxes, used in order; "no" (7) once they run out.
  std::deque<std::int16_t> yesNoAnswers;
  // What the folder dialog returns ("" = cancelled).
  std::string folderChoice;

  std::u16string details;
  std::vector<RecordedBox> boxes;
  std::vector<double> prog1;
  std::vector<double> prog2;
  std::vector<std::string> events;  // "Term=1", "EnableGUI", "Browse:<title>", ...
  std::u16string labels[3];
  int doEventsCalls = 0;
  // Runs inside every DoEvents: what other programs do while the run yields.
  std::function<void()> onDoEvents;
  // Runs inside every box before it is answered: the events a modal box's
  // message loop lets through.
  std::function<void()> whileBoxOpen;
  bool term = false;
  std::string caption;

  RecordingHost();

  void AppendDetails(const std::u16string& text) override;
  std::u16string GetDetailsText() override;
  void ClearDetails() override;
  std::int16_t ShowMessageBox(const MessageBoxRequest& request) override;
  std::string BrowseForFolder(const std::string& title) override;
  void SetProg1(double value) override;
  void SetProg2(double value) override;
  void DoEvents() override;
  void SetTerm(bool value) override;
  void EnableGUI() override;
  void DisableGUI() override;
  std::string WindowCaption() override;
  void ApplyLanguage(const std::u16string& labelOperation, const std::u16string& labelProgress,
                     const std::u16string& labelDetails) override;

  // The numbers of the boxes shown, in order.
  std::vector<double> BoxNumbers() const;
};

}  // namespace quellix::test
