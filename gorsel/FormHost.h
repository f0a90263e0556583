// What the fixer's logic needs from its window: boxes, the process list,
// the Run-value listing and the user-name label.
#pragma once

#include <string>
#include <vector>

#include "gorsel/ProcessList.h"

namespace gorsel {

enum class BoxIcon { kNone, kInformation };

class FormHost {
 public:
  virtual ~FormHost() = default;
  // A modal box with an OK button; an empty title shows the program's name.
  virtual void ShowMessageBox(const std::string& text, const std::string& title, BoxIcon icon) = 0;
  // lvwProcess shows exactly these rows under its two column headers.
  virtual void ShowProcessRows(const std::vector<ProcessRow>& rows) = 0;
  virtual void ShowText1(const std::string& text) = 0;
  virtual void ShowUserName(const std::string& name) = 0;
  // Lets the window repaint between the steps of a long click.
  virtual void DoEvents() = 0;
};

}  // namespace gorsel
