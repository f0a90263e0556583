#include "tools/uidriver/FolderDialog.h"

#include "tools/uidriver/Errors.h"
#include "tools/uidriver/Handles.h"
#include "tools/uidriver/Text.h"
#include "tools/uidriver/Waiting.h"
#include "tools/uidriver/WindowFinder.h"

#include <algorithm>
#include <cstddef>
#include <vector>
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

namespace uidriver {

namespace {

// The dialog is a "#32770" of the main window's process with a folder tree;
// the tree tells it from any other dialog the program might show.
HWND WaitForFolderDialog(double seconds) {
  HWND dialog = WaitFor(seconds, [] {
    HWND main = FindMainWindow();
    if (main == nullptr) return HWND{};
    for (HWND window : VisibleTopLevelWindows(L"#32770")) {
      if (ProcessOf(window) == ProcessOf(main) &&
          DescendantOfClass(window, L"SysTreeView32") != nullptr) {
        return window;
      }
    }
    return HWND{};
  });
  if (dialog == nullptr) {
    throw StepFailed("no folder dialog of the main window appeared within " + Seconds(seconds));
  }
  return dialog;
}

BOOL CALLBACK CollectShownStatics(HWND window, LPARAM context) {
  if (::IsWindowVisible(window) && ClassName(window) == L"Static") {
    reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
  }
  return TRUE;
}

// What a user reads and presses in the dialog: the text the program gave it
// (a static) and its OK and Cancel buttons.
bool ShowsItsControls(HWND dialog) {
  for (int button : {IDOK, IDCANCEL}) {
    HWND control = ::GetDlgItem(dialog, button);
    if (control == nullptr || !::IsWindowVisible(control)) return false;
  }
  std::vector<HWND> statics;
  ::EnumChildWindows(dialog, CollectShownStatics, reinterpret_cast<LPARAM>(&statics));
  return std::any_of(statics.begin(), statics.end(),
                     [](HWND text) { return !WindowText(text).empty(); });
}

void Press(HWND dialog, int button) {
  if (!::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                      reinterpret_cast<LPARAM>(::GetDlgItem(dialog, button)))) {
    throw StepFailed(SystemError("PostMessage", ::GetLastError()));
  }
}

void WaitGone(HWND dialog, double seconds) {
  if (!WaitFor(seconds, [&] { return !::IsWindow(dialog) || !::IsWindowVisible(dialog); })) {
    throw StepFailed("the folder dialog was still shown " + Seconds(seconds) +
                     " after its button was pressed");
  }
}

void WriteRemote(HANDLE process, void* address, const void* data, std::size_t size) {
  if (!::WriteProcessMemory(process, address, data, size, nullptr)) {
    throw StepFailed(SystemError("WriteProcessMemory", ::GetLastError()));
  }
}

// The tree item and its text buffer in one block of the dialog's process.
// The layout is this build's TVITEMW, so the driver and the program under
// test must be built for the same architecture.
struct RemoteItem {
  TVITEMW item;
  wchar_t text[MAX_PATH + 1];
};

std::wstring SelectedLabel(HWND tree, HANDLE process) {
  const auto selected = reinterpret_cast<HTREEITEM>(Ask(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  if (selected == nullptr) return {};
  RemoteMemory remote(process, sizeof(RemoteItem));
  if (!remote.IsValid()) throw StepFailed(SystemError("VirtualAllocEx", ::GetLastError()));
  RemoteItem local{};
  local.item.mask = TVIF_TEXT | TVIF_HANDLE;
  local.item.hItem = selected;
  local.item.pszText =
      reinterpret_cast<wchar_t*>(static_cast<char*>(remote.Address()) + offsetof(RemoteItem, text));
  local.item.cchTextMax = MAX_PATH;
  WriteRemote(process, remote.Address(), &local, sizeof local);
  Ask(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.Address()));
  if (!::ReadProcessMemory(process, remote.Address(), &local, sizeof local, nullptr)) {
    throw StepFailed(SystemError("ReadProcessMemory", ::GetLastError()));
  }
  local.text[MAX_PATH] = L'\0';
  return local.text;
}

bool SameText(const std::wstring& a, const std::wstring& b) {
  return ::CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) ==
         CSTR_EQUAL;
}

// The tree names a folder by its last component and a drive by a label
// ending in "(C:)".
bool LabelNames(const std::wstring& label, std::wstring path) {
  while (path.size() > 1 && path.back() == L'\\') path.pop_back();
  if (path.size() == 2 && path[1] == L':') {
    const std::wstring drive = L"(" + path + L")";
    return label.size() >= drive.size() &&
           SameText(label.substr(label.size() - drive.size()), drive);
  }
  return SameText(label, path.substr(path.find_last_of(L'\\') + 1));
}

}  // namespace

std::wstring AnswerFolderDialog(const std::wstring& path, double seconds) {
  HWND dialog = WaitForFolderDialog(seconds);
  HWND tree = DescendantOfClass(dialog, L"SysTreeView32");
  ScopedHandle process(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                                     FALSE, ProcessOf(dialog)));
  if (!process.IsValid()) throw StepFailed(SystemError("OpenProcess", ::GetLastError()));
  // The dialog reads the path in its own address space.
  const std::size_t bytes = (path.size() + 1) * sizeof(wchar_t);
  RemoteMemory remote_path(process.Get(), bytes);
  if (!remote_path.IsValid()) throw StepFailed(SystemError("VirtualAllocEx", ::GetLastError()));
  WriteRemote(process.Get(), remote_path.Address(), path.c_str(), bytes);
  // The tree may still be filling when the dialog shows; select again until it takes.
  std::wstring label;
  const bool selected = WaitFor(seconds, [&] {
    Ask(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(remote_path.Address()));
    label = SelectedLabel(tree, process.Get());
    return LabelNames(label, path);
  });
  if (!selected) {
    throw StepFailed("the folder dialog did not select " + Utf8(path) + " (its selection is " +
                     Quoted(label) + "); does the folder exist?");
  }
  Press(dialog, IDOK);
  WaitGone(dialog, seconds);
  return label;
}

void WaitForFolderDialogReady(double seconds) {
  HWND dialog = WaitForFolderDialog(seconds);
  HWND tree = DescendantOfClass(dialog, L"SysTreeView32");
  if (!WaitFor(seconds, [&] { return Ask(tree, TVM_GETNEXTITEM, TVGN_CARET, 0) != 0; })) {
    throw StepFailed("the folder dialog showed no selected folder within " + Seconds(seconds));
  }
  if (!WaitFor(seconds, [&] { return ShowsItsControls(dialog); })) {
    throw StepFailed("the folder dialog showed no text, OK or Cancel within " + Seconds(seconds));
  }
}

void CancelFolderDialog(double seconds) {
  HWND dialog = WaitForFolderDialog(seconds);
  Press(dialog, IDCANCEL);
  WaitGone(dialog, seconds);
}

}  // namespace uidriver
