#include "tests/support/RecordingHost.h"

#include "quellix/engine/run/ProductInfo.h"

namespace quellix::test {

RecordingHost::RecordingHost() : caption(MainWindowCaption()) {}

void RecordingHost::AppendDetails(const std::u16string& text) { details += text; }

std::u16string RecordingHost::GetDetailsText() { return details; }

void RecordingHost::ClearDetails() { details.clear(); }

std::int16_t RecordingHost::ShowMessageBox(const MessageBoxRequest& request) {
  RecordedBox box{request.number,  request.lines,  request.button1,
                  request.button2, request.okOnly, 1};
  if (!request.okOnly) {
    box.answer = 7;
    if (!yesNoAnswers.empty()) {
      box.answer = yesNoAnswers.front();
      yesNoAnswers.pop_front();
    }
  }
  if (whileBoxOpen) whileBoxOpen();
  boxes.push_back(box);
  return box.answer;
}

std::string RecordingHost::BrowseForFolder(const std::string& title) {
  events.push_back("Browse:" + title);
  return folderChoice;
}

void RecordingHost::SetProg1(double value) { prog1.push_back(value); }

void RecordingHost::SetProg2(double value) { prog2.push_back(value); }

void RecordingHost::DoEvents() {
  ++doEventsCalls;
  if (onDoEvents) onDoEvents();
}

void RecordingHost::SetTerm(bool value) {
  term = value;
  events.push_back(value ? "Term=1" : "Term=0");
}

void RecordingHost::EnableGUI() { events.push_back("EnableGUI"); }

void RecordingHost::DisableGUI() { events.push_back("DisableGUI"); }

std::string RecordingHost::WindowCaption() { return caption; }

void RecordingHost::ApplyLanguage(const std::u16string& labelOperation,
                                  const std::u16string& labelProgress,
                                  const std::u16string& labelDetails) {
  labels[0] = labelOperation;
  labels[1] = labelProgress;
  labels[2] = labelDetails;
  events.push_back("ApplyLanguage");
}

std::vector<double> RecordingHost::BoxNumbers() const {
  std::vector<double> numbers;
  for (const auto& box : boxes) numbers.push_back(box.number);
  return numbers;
}

}  // namespace quellix::test
