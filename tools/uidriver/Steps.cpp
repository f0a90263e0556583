#include "tools/uidriver/Steps.h"

#include "tools/uidriver/Clicking.h"
#include "tools/uidriver/Errors.h"
#include "tools/uidriver/FolderDialog.h"
#include "tools/uidriver/ListView.h"
#include "tools/uidriver/Painting.h"
#include "tools/uidriver/PictureChecks.h"
#include "tools/uidriver/Screenshot.h"
#include "tools/uidriver/Text.h"
#include "tools/uidriver/Waiting.h"
#include "tools/uidriver/WindowFinder.h"

#include <cmath>
#include <cstdio>
#include <cwchar>
#include <windows.h>

namespace uidriver {

namespace {

enum class Arg { kSeconds, kMilliseconds, kControlId, kButton, kText, kPath };

using Args = std::vector<std::wstring>;

// How long a screenshot waits for the windows on the screen to finish
// painting; the first folder dialog of a fresh prefix takes the longest.
constexpr double kPaintSeconds = 20;

// The step's summary line: "name: what happened".
void Say(const char* step, const std::string& what) {
  std::printf("%s: %s\n", step, what.c_str());
  std::fflush(stdout);
}

// A text the step read, one "name| line" per line, so that a script can cut
// it out of the output with sed.
void Show(const char* step, const std::wstring& text) {
  for (const std::wstring& line : SplitLines(text)) {
    std::printf("%s| %s\n", step, Utf8(line).c_str());
  }
  std::fflush(stdout);
}

double SecondsOf(const std::wstring& word) { return std::wcstod(word.c_str(), nullptr); }
int NumberOf(const std::wstring& word) {
  return static_cast<int>(std::wcstol(word.c_str(), nullptr, 10));
}

std::string Lines(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " line" : " lines");
}

void WaitMain(const Args& args) {
  const double seconds = SecondsOf(args[0]);
  HWND main = WaitFor(seconds, [] { return FindMainWindow(); });
  if (main == nullptr) {
    throw StepFailed("no visible main window (QuellixMain or GorselMain) within " +
                     Seconds(seconds));
  }
  Say("wait-main", "found " + Quoted(WindowText(main)));
}

void WaitEnabled(const Args& args) {
  const int id = NumberOf(args[0]);
  const double seconds = SecondsOf(args[1]);
  HWND control = nullptr;
  const bool usable = WaitFor(seconds, [&] {
    HWND main = FindMainWindow();
    control = main != nullptr ? DescendantWithId(main, id) : nullptr;
    return control != nullptr && IsUsable(control);
  });
  if (!usable) {
    if (control == nullptr) {
      throw StepFailed("no main window with a control " + std::to_string(id) + " within " +
                       Seconds(seconds));
    }
    throw StepFailed("control " + std::to_string(id) + " " + Quoted(WindowText(control)) +
                     " was still hidden or disabled after " + Seconds(seconds));
  }
  Say("wait-enabled", std::to_string(id) + " " + Quoted(WindowText(control)) + " is enabled");
}

void Click(const Args& args) {
  const int id = NumberOf(args[0]);
  Say("click",
      "clicked " + std::to_string(id) + " " + Quoted(ClickMainControl(id, ClickPlace::kCentre)));
}

void ClickRight(const Args& args) {
  const int id = NumberOf(args[0]);
  Say("click-right", "clicked " + std::to_string(id) + " " +
                         Quoted(ClickMainControl(id, ClickPlace::kRightEdge)) +
                         " at its right edge");
}

void WaitAbout(const Args& args) {
  const double seconds = SecondsOf(args[0]);
  HWND about = WaitFor(seconds, [] { return FindAboutWindow(); });
  if (about == nullptr) {
    throw StepFailed("no visible QuellixAbout window within " + Seconds(seconds));
  }
  HWND owner = ::GetWindow(about, GW_OWNER);
  if (owner == nullptr || ClassName(owner) != L"QuellixMain") {
    throw StepFailed("the About window " + Quoted(WindowText(about)) +
                     " is not owned by the main window");
  }
  Say("wait-about", "found " + Quoted(WindowText(about)) + ", owned by the main window");
}

void ClickAbout(const Args& args) {
  const int id = NumberOf(args[0]);
  Say("click-about", "clicked " + std::to_string(id) + " " + Quoted(ClickAboutControl(id)));
}

void CloseMain(const Args&) {
  if (!::PostMessageW(RequireMainWindow(), WM_CLOSE, 0, 0)) {
    throw StepFailed(SystemError("PostMessage", ::GetLastError()));
  }
  Say("close-main", "posted WM_CLOSE");
}

void WaitGoneMain(const Args& args) {
  const double seconds = SecondsOf(args[0]);
  if (!WaitFor(seconds, [] { return FindMainWindow() == nullptr; })) {
    throw StepFailed("the main window was still shown after " + Seconds(seconds));
  }
  Say("wait-gone-main", "the main window has gone");
}

void AnswerBox(const Args& args) {
  const int button = NumberOf(args[0]);
  const AnsweredBox answer = AnswerMessageBox(button, args[1], SecondsOf(args[2]));
  Show("answer-box", answer.text);
  Say("answer-box", "clicked " + std::to_string(button) + " " + Quoted(answer.caption));
}

void WaitBox(const Args& args) {
  Show("wait-box", WaitForMessageBox(args[0], SecondsOf(args[1])));
  Say("wait-box", "a box is shown");
}

void WaitFolder(const Args& args) {
  WaitForFolderDialogReady(SecondsOf(args[0]));
  Say("wait-folder", "the folder dialog is shown");
}

void AnswerFolder(const Args& args) {
  const std::wstring label = AnswerFolderDialog(args[0], SecondsOf(args[1]));
  Say("answer-folder", "selected " + Utf8(args[0]) + " (" + Quoted(label) + "), pressed OK");
}

void CancelFolder(const Args& args) {
  CancelFolderDialog(SecondsOf(args[0]));
  Say("cancel-folder", "pressed Cancel");
}

// The picture is saved before it is checked, so that a failed one can be
// looked at.
void Screenshot(const Args& args) {
  WaitUntilPainted(kPaintSeconds);
  const Picture picture = CaptureScreen();
  SavePicture(picture, args[0]);
  CheckPicture(picture);
  Say("screenshot", std::to_string(picture.width) + "x" + std::to_string(picture.height) +
                        " saved to " + Utf8(args[0]));
}

void PrintDetails(const Args&) {
  HWND details = DescendantOfClass(RequireMainWindow(), L"Edit");
  if (details == nullptr) throw StepFailed("the main window has no details box (Edit)");
  const std::wstring text = WindowText(details);
  Show("print-details", text);
  Say("print-details", Lines(SplitLines(text).size()));
}

void PrintList(const Args& args) {
  const int id = NumberOf(args[0]);
  HWND list = DescendantWithId(RequireMainWindow(), id);
  if (list == nullptr || ClassName(list) != L"SysListView32") {
    throw StepFailed("the main window has no list view with ID " + std::to_string(id));
  }
  std::vector<std::wstring> rows = ListViewRows(list, 2);
  std::wstring text;
  for (const std::wstring& row : rows) text += row + L"\r\n";
  Show("print-list", text);
  Say("print-list", std::to_string(rows.size()) + (rows.size() == 1 ? " row" : " rows"));
}

void PrintStatus(const Args&) {
  HWND status = DescendantWithId(RequireMainWindow(), 111);
  if (status == nullptr) throw StepFailed("the main window has no status line (ID 111)");
  const std::wstring text = WindowText(status);
  Show("print-status", text);
  Say("print-status", Lines(SplitLines(text).size()));
}

// Every text the status line shows while the step looks, each once, until it
// shows the awaited one. A text that stands for less than the look's
// interval can be missed.
void WatchStatus(const Args& args) {
  const double seconds = SecondsOf(args[1]);
  std::wstring shown;
  bool first = true;
  const bool reached = WaitFor(seconds, [&] {
    HWND main = FindMainWindow();
    HWND status = main != nullptr ? DescendantWithId(main, 111) : nullptr;
    if (status == nullptr) return false;
    // A text replaced between the length and the text messages comes cut to
    // the old length; only a text read the same twice counts.
    const std::wstring text = WindowText(status);
    if (WindowText(status) != text) return false;
    if (first || text != shown) Show("watch-status", text);
    first = false;
    shown = text;
    return text == args[0];
  });
  if (!reached) {
    throw StepFailed("the status line did not show " + Quoted(args[0]) + " within " +
                     Seconds(seconds) + "; it shows " + Quoted(shown));
  }
  Say("watch-status", "reached " + Quoted(shown));
}

void SleepStep(const Args& args) {
  const int milliseconds = NumberOf(args[0]);
  ::Sleep(static_cast<DWORD>(milliseconds));
  Say("sleep", std::to_string(milliseconds) + " ms");
}

}  // namespace

struct StepKind {
  const char* name;
  std::vector<Arg> args;
  const char* synopsis;
  void (*run)(const Args&);
};

namespace {

const std::vector<StepKind>& Kinds() {
  static const std::vector<StepKind> kinds = {
      {"wait-main", {Arg::kSeconds}, "<seconds>", WaitMain},
      {"wait-enabled", {Arg::kControlId, Arg::kSeconds}, "<id> <seconds>", WaitEnabled},
      {"click", {Arg::kControlId}, "<id>", Click},
      {"click-right", {Arg::kControlId}, "<id>", ClickRight},
      {"wait-about", {Arg::kSeconds}, "<seconds>", WaitAbout},
      {"click-about", {Arg::kControlId}, "<id>", ClickAbout},
      {"close-main", {}, "", CloseMain},
      {"wait-gone-main", {Arg::kSeconds}, "<seconds>", WaitGoneMain},
      {"answer-box",
       {Arg::kButton, Arg::kText, Arg::kSeconds},
       "<button 1|2> <text it must contain, or \"\"> <seconds>",
       AnswerBox},
      {"wait-box",
       {Arg::kText, Arg::kSeconds},
       "<text it must contain, or \"\"> <seconds>",
       WaitBox},
      {"wait-folder", {Arg::kSeconds}, "<seconds>", WaitFolder},
      {"answer-folder", {Arg::kPath, Arg::kSeconds}, "<path> <seconds>", AnswerFolder},
      {"cancel-folder", {Arg::kSeconds}, "<seconds>", CancelFolder},
      {"screenshot", {Arg::kPath}, "<file.bmp>", Screenshot},
      {"print-details", {}, "", PrintDetails},
      {"print-status", {}, "", PrintStatus},
      {"watch-status", {Arg::kText, Arg::kSeconds}, "<text> <seconds>", WatchStatus},
      {"print-list", {Arg::kControlId}, "<id>", PrintList},
      {"sleep", {Arg::kMilliseconds}, "<milliseconds>", SleepStep},
  };
  return kinds;
}

bool IsWholeNumber(const std::wstring& word, long low, long high) {
  if (word.empty()) return false;
  wchar_t* end = nullptr;
  const long value = std::wcstol(word.c_str(), &end, 10);
  return *end == L'\0' && value >= low && value <= high;
}

bool IsSeconds(const std::wstring& word) {
  if (word.empty()) return false;
  wchar_t* end = nullptr;
  const double value = std::wcstod(word.c_str(), &end);
  return *end == L'\0' && std::isfinite(value) && value >= 0 && value <= 86400;
}

// What is wrong with an argument, or nothing.
std::string Check(Arg kind, const std::wstring& word) {
  switch (kind) {
    case Arg::kSeconds:
      return IsSeconds(word) ? "" : "a number of seconds (0 to 86400)";
    case Arg::kMilliseconds:
      return IsWholeNumber(word, 0, 3600000) ? "" : "a number of milliseconds (0 to 3600000)";
    case Arg::kControlId:
      return IsWholeNumber(word, 1, 65535) ? "" : "a control ID (1 to 65535)";
    case Arg::kButton:
      return word == L"1" || word == L"2" ? "" : "a button number (1 or 2)";
    case Arg::kText:
      return "";
    case Arg::kPath:
      return word.empty() ? "a path" : "";
  }
  return "";
}

}  // namespace

std::vector<Step> ParseScript(const std::vector<std::wstring>& words) {
  std::vector<Step> steps;
  std::size_t at = 0;
  while (at < words.size()) {
    const std::string name = Utf8(words[at]);
    const StepKind* kind = nullptr;
    for (const StepKind& candidate : Kinds()) {
      if (name == candidate.name) kind = &candidate;
    }
    if (kind == nullptr) throw UsageError("unknown step \"" + name + "\"");
    ++at;
    Step step{kind, {}};
    for (Arg arg : kind->args) {
      if (at == words.size()) {
        throw UsageError(name + " needs " + std::to_string(kind->args.size()) +
                         " argument(s): " + name + " " + kind->synopsis);
      }
      const std::string problem = Check(arg, words[at]);
      if (!problem.empty()) {
        throw UsageError(name + ": \"" + Utf8(words[at]) + "\" is not " + problem);
      }
      step.args.push_back(words[at++]);
    }
    steps.push_back(step);
  }
  return steps;
}

void RunStep(const Step& step) { step.kind->run(step.args); }

std::string Describe(const Step& step) {
  std::string text = step.kind->name;
  for (const std::wstring& arg : step.args) text += " " + Quoted(arg);
  return text;
}

std::string Usage() {
  std::string text = "usage: uidriver STEP [ARGUMENTS] [STEP [ARGUMENTS]...]\nsteps:\n";
  for (const StepKind& kind : Kinds()) {
    text += std::string("  ") + kind.name + (*kind.synopsis ? " " : "") + kind.synopsis + "\n";
  }
  return text;
}

}  // namespace uidriver
