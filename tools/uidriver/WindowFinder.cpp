#include "tools/uidriver/WindowFinder.h"

#include "tools/uidriver/Errors.h"
#include "tools/uidriver/Text.h"

namespace uidriver {

namespace {

// A program busy in its removal pass still answers within this time, because
// its pass pumps messages; a longer silence means it hangs.
constexpr UINT kAnswerMilliseconds = 10000;

struct ChildSearch {
  int id;
  const wchar_t* class_name;
  HWND found;
};

BOOL CALLBACK MatchChild(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<ChildSearch*>(context);
  const bool matches = search->class_name != nullptr ? ClassName(window) == search->class_name
                                                     : ::GetDlgCtrlID(window) == search->id;
  if (!matches) return TRUE;
  search->found = window;
  return FALSE;
}

struct TopLevelSearch {
  const wchar_t* class_name;
  std::vector<HWND> found;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<TopLevelSearch*>(context);
  if (::IsWindowVisible(window) && ClassName(window) == search->class_name) {
    search->found.push_back(window);
  }
  return TRUE;
}

BOOL CALLBACK CollectVisible(HWND window, LPARAM context) {
  if (::IsWindowVisible(window)) reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
  return TRUE;
}

}  // namespace

LRESULT Ask(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  DWORD_PTR result = 0;
  if (::SendMessageTimeoutW(window, message, wparam, lparam, SMTO_ABORTIFHUNG, kAnswerMilliseconds,
                            &result) == 0) {
    throw StepFailed("the window " + Utf8(ClassName(window)) +
                     " did not answer: " + SystemError("SendMessageTimeout", ::GetLastError()));
  }
  return static_cast<LRESULT>(result);
}

std::wstring ClassName(HWND window) {
  wchar_t name[256] = {};
  const int length = ::GetClassNameW(window, name, 256);
  return std::wstring(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::wstring WindowText(HWND window) {
  // The text may grow between the two messages (the details box during a
  // pass); the snapshot then ends where the length said.
  const auto length = static_cast<std::size_t>(Ask(window, WM_GETTEXTLENGTH, 0, 0));
  std::wstring text(length + 1, L'\0');
  const auto copied = static_cast<std::size_t>(
      Ask(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
  text.resize(copied < length ? copied : length);
  return text;
}

std::vector<HWND> VisibleTopLevelWindows(const wchar_t* class_name) {
  TopLevelSearch search{class_name, {}};
  ::EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<HWND> VisibleTopLevelWindows() {
  std::vector<HWND> windows;
  ::EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::vector<HWND> VisibleDescendants(HWND window) {
  std::vector<HWND> windows;
  ::EnumChildWindows(window, CollectVisible, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::string Describe(HWND window) {
  wchar_t title[256] = {};
  ::GetWindowTextW(window, title, 256);
  return Utf8(ClassName(window)) + " window " + Quoted(title);
}

HWND FindMainWindow() {
  for (const wchar_t* main_class : {L"QuellixMain", L"GorselMain"}) {
    const std::vector<HWND> windows = VisibleTopLevelWindows(main_class);
    if (!windows.empty()) return windows.front();
  }
  return nullptr;
}

HWND RequireMainWindow() {
  HWND main = FindMainWindow();
  if (main == nullptr) throw StepFailed("no visible main window (QuellixMain or GorselMain)");
  return main;
}

HWND FindAboutWindow() {
  const std::vector<HWND> windows = VisibleTopLevelWindows(L"QuellixAbout");
  return windows.empty() ? nullptr : windows.front();
}

HWND DescendantWithId(HWND parent, int id) {
  ChildSearch search{id, nullptr, nullptr};
  ::EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND DescendantOfClass(HWND parent, const wchar_t* class_name) {
  ChildSearch search{0, class_name, nullptr};
  ::EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool IsUsable(HWND window) {
  for (HWND w = window; w != nullptr; w = ::GetAncestor(w, GA_PARENT)) {
    if (w == ::GetDesktopWindow()) break;
    if (!::IsWindowVisible(w) || !::IsWindowEnabled(w)) return false;
  }
  return true;
}

DWORD ProcessOf(HWND window) {
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  return process;
}

}  // namespace uidriver
