// A Gorsel window without a window: it records what the window would show
// (boxes, process rows, the Run-value listing, the user name).
#pragma once

#include <string>
#include <vector>

#include "gorsel/FormHost.h"

namespace gorsel::test {

struct RecordedBox {
  std::string title;
  std::string text;
  BoxIcon icon = BoxIcon::kNone;
};

class RecordingFormHost : public FormHost {
 public:
  void ShowMessageBox(const std::string& text, const std::string& title, BoxIcon icon) override {
    boxes.push_back({title, text, icon});
  }
  void ShowProcessRows(const std::vector<ProcessRow>& shown) override { rows = shown; }
  void ShowText1(const std::string& text) override { text1 = text; }
  void ShowUserName(const std::string& name) override { userName = name; }
  void DoEvents() override {}

  std::vector<RecordedBox> boxes;
  std::vector<ProcessRow> rows;
  std::string text1;
  std::string userName;
};

}  // namespace gorsel::test
