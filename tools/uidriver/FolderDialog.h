// Answering the shell's folder dialog (SHBrowseForFolder) of the main window.
#pragma once

#include <string>

namespace uidriver {

// Waits for the dialog, selects `path` with BFFM_SETSELECTIONW, checks that
// the tree now shows that folder selected, and presses OK. Returns the label
// of the selected tree item.
std::wstring AnswerFolderDialog(const std::wstring& path, double seconds);

// Waits for the dialog, for its tree to show a selection (it fills the tree
// after it appears), and for its text and its OK and Cancel buttons to be
// shown, without answering it.
void WaitForFolderDialogReady(double seconds);

// Waits for the dialog and presses Cancel.
void CancelFolderDialog(double seconds);

}  // namespace uidriver
