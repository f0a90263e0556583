#include "tools/uidriver/Clicking.h"

#include "tools/uidriver/Errors.h"
#include "tools/uidriver/Text.h"
#include "tools/uidriver/Waiting.h"
#include "tools/uidriver/WindowFinder.h"

#include <vector>

namespace uidriver {

namespace {

constexpr int kBoxTextId = 100;
// The system's message box (Gorsel's boxes) is a dialog whose text is the
// static with this ID; its OK button is 1.
constexpr int kSystemBoxTextId = 0xFFFF;

struct BoxView {
  HWND window = nullptr;
  HWND button = nullptr;
  std::wstring text;
};

// Every message box on the screen with its text and the requested button.
// A box whose text control is not there yet is still being built.
std::vector<BoxView> VisibleBoxes(int button) {
  std::vector<BoxView> boxes;
  for (HWND window : VisibleTopLevelWindows(L"QuellixMessageBox")) {
    HWND text = DescendantWithId(window, kBoxTextId);
    if (text == nullptr) continue;
    boxes.push_back(
        {window, button != 0 ? DescendantWithId(window, button) : nullptr, WindowText(text)});
  }
  for (HWND window : VisibleTopLevelWindows(L"#32770")) {
    // The folder dialog is a dialog of the same class; it holds a tree.
    if (DescendantOfClass(window, L"SysTreeView32") != nullptr) continue;
    HWND text = DescendantWithId(window, kSystemBoxTextId);
    if (text == nullptr) continue;
    boxes.push_back(
        {window, button != 0 ? DescendantWithId(window, button) : nullptr, WindowText(text)});
  }
  return boxes;
}

std::string Describe(const std::vector<BoxView>& boxes, int button) {
  if (boxes.empty()) return "no message box appeared";
  std::string description;
  for (const BoxView& box : boxes) {
    if (!description.empty()) description += "; ";
    description += "a box says " + Quoted(box.text);
    if (button == 0) continue;
    if (box.button == nullptr) {
      description += " and has no button " + std::to_string(button);
    } else if (!IsUsable(box.button)) {
      description += " and its button " + std::to_string(button) + " is hidden or disabled";
    }
  }
  return description;
}

// Waits for a box saying `must_contain` whose `button` can be clicked (any
// box when `button` is 0).
BoxView WaitForBox(int button, const std::wstring& must_contain, double seconds) {
  std::vector<BoxView> seen;
  BoxView chosen;
  const bool found = WaitFor(seconds, [&] {
    seen = VisibleBoxes(button);
    for (const BoxView& box : seen) {
      if ((button == 0 || (box.button != nullptr && IsUsable(box.button))) &&
          box.text.find(must_contain) != std::wstring::npos) {
        chosen = box;
        return true;
      }
    }
    return false;
  });
  if (!found) {
    std::string wanted = "a message box";
    if (button != 0) wanted += " with button " + std::to_string(button);
    if (!must_contain.empty()) wanted += " saying " + Quoted(must_contain);
    throw StepFailed(wanted + " did not appear within " + Seconds(seconds) + ": " +
                     Describe(seen, button));
  }
  return chosen;
}

std::wstring ClickControl(HWND window, const char* which, int id, ClickPlace place) {
  HWND control = DescendantWithId(window, id);
  if (control == nullptr) {
    throw StepFailed(std::string(which) + " has no control with ID " + std::to_string(id));
  }
  const std::wstring caption = WindowText(control);
  if (!IsUsable(control)) {
    throw StepFailed("control " + std::to_string(id) + " " + Quoted(caption) +
                     " cannot be clicked now (hidden or disabled); wait-enabled first");
  }
  PostClick(control, place);
  return caption;
}

}  // namespace

void PostClick(HWND target, ClickPlace place) {
  RECT client{};
  if (!::GetClientRect(target, &client)) {
    throw StepFailed(SystemError("GetClientRect", ::GetLastError()));
  }
  // The right edge: four pixels in, where a selector keeps its arrow.
  const int x = place == ClickPlace::kRightEdge ? client.right - 4 : client.right / 2;
  const LPARAM point = MAKELPARAM(x, client.bottom / 2);
  if (!::PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, point) ||
      !::PostMessageW(target, WM_LBUTTONUP, 0, point)) {
    throw StepFailed(SystemError("PostMessage", ::GetLastError()));
  }
}

std::wstring ClickMainControl(int id, ClickPlace place) {
  return ClickControl(RequireMainWindow(), "the main window", id, place);
}

std::wstring ClickAboutControl(int id) {
  HWND about = FindAboutWindow();
  if (about == nullptr) throw StepFailed("no visible QuellixAbout window; wait-about first");
  return ClickControl(about, "the About window", id, ClickPlace::kCentre);
}

std::wstring WaitForMessageBox(const std::wstring& must_contain, double seconds) {
  return WaitForBox(0, must_contain, seconds).text;
}

AnsweredBox AnswerMessageBox(int button, const std::wstring& must_contain, double seconds) {
  const BoxView chosen = WaitForBox(button, must_contain, seconds);
  AnsweredBox answer{chosen.text, WindowText(chosen.button)};
  PostClick(chosen.button, ClickPlace::kCentre);
  HWND box = chosen.window;
  if (!WaitFor(seconds, [&] { return !::IsWindow(box) || !::IsWindowVisible(box); })) {
    throw StepFailed("the box " + Quoted(answer.text) + " was still shown " + Seconds(seconds) +
                     " after its button " + std::to_string(button) + " was clicked");
  }
  return answer;
}

}  // namespace uidriver
