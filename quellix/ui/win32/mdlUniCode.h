// The native wide-character windows on the main window: the three caption
// labels and the details box, the log of the removal run.
#pragma once

#include "quellix/ui/CaptionDrawing.h"
#include "quellix/ui/ReadingOrder.h"
#include "quellix/ui/Twips.h"

#include <windows.h>

#include <string>

#include "platform/win32/ScopedWin.h"

namespace quellix::ui::win32 {

class mdlUniCode {
 public:
  void CreateCaptionLabels(HWND parent, const Scale& scale);
  void CreateDetailsBox(double left, double top, double width, double height, HWND parent,
                        const Scale& scale);

  // The direction of the language whose texts follow; a right-to-left
  // language's rows are shown in right-to-left reading order.
  void SetRightToLeft(bool rightToLeft) { rightToLeft_ = rightToLeft; }

  void SetCaptionLabels(const std::u16string& operation, const std::u16string& progress,
                        const std::u16string& details);

  // The details text is kept here exactly as appended (every line with its
  // U+FFFE prefix, CR LF breaks) for the run log; the box shows it without
  // the prefixes, in the reading order of the language it was written in, and
  // keeps its last line in view.
  void AppendDetails(const std::u16string& text);
  std::u16string GetDetailsText() const { return details_; }
  void ClearDetails();

  HWND DetailsBox() const { return detailsBox_.Get(); }

 private:
  void ShowDetails();

  platform::win32::ScopedWindow labelOperation_;
  platform::win32::ScopedWindow labelProgress_;
  platform::win32::ScopedWindow labelDetails_;
  platform::win32::ScopedWindow detailsBox_;
  std::u16string details_;
  bool rightToLeft_ = false;
};

}  // namespace quellix::ui::win32
