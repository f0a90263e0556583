#include "gorsel/win32/Form1Window.h"

#include <commctrl.h>

#include "gorsel/Texts.h"
#include "platform/RuntimeError.h"

namespace gorsel::win32 {

namespace {

constexpr int kClientWidth = 560;
constexpr int kClientHeight = 500;
constexpr int kMargin = 12;
constexpr int kTextLeft = 60;
constexpr const char* kProgramName = "Gorsel";

constexpr DWORD kLabel = WS_CHILD | WS_VISIBLE | SS_LEFT;
constexpr DWORD kButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;

}  // namespace

Form1Window::Form1Window(platform::Platform& system, HINSTANCE instance)
    : instance_(instance), form_(system, *this) {}

int Form1Window::Run() {
  if (!Create()) return 1;
  try {
    form_.Form_Load();
  } catch (const platform::RuntimeError& error) {
    ::MessageBoxA(window_, error.Description().c_str(), kProgramName, MB_OK | MB_ICONERROR);
    ::DestroyWindow(window_);
    return static_cast<int>(error.Number());
  }
  ::ShowWindow(window_, SW_SHOWNORMAL);
  ::UpdateWindow(window_);
  MSG message;
  while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (::IsDialogMessageA(window_, &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
  return 0;
}

bool Form1Window::Create() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
  ::InitCommonControlsEx(&controls);
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = Procedure;
  windowClass.hInstance = instance_;
  windowClass.hIcon = ::LoadIconA(instance_, MAKEINTRESOURCEA(1));
  windowClass.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  if (::RegisterClassExA(&windowClass) == 0) return false;
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT frame{0, 0, kClientWidth, kClientHeight};
  ::AdjustWindowRect(&frame, style, FALSE);
  window_ = ::CreateWindowExA(WS_EX_CONTROLPARENT, kWindowClass, texts::WindowCaption().c_str(),
                              style, CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                              frame.bottom - frame.top, nullptr, nullptr, instance_, this);
  if (window_ == nullptr) return false;
  CreateControls();
  return true;
}

HWND Form1Window::AddControl(const char* className, const std::string& text, DWORD style, int x,
                             int y, int width, int height, int id) {
  HWND control =
      ::CreateWindowExA(0, className, text.c_str(), style, x, y, width, height, window_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
  ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  return control;
}

void Form1Window::CreateControls() {
  font_ = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  const int wide = kClientWidth - 2 * kMargin;
  const int textWidth = kClientWidth - kTextLeft - kMargin;
  HWND image =
      AddControl("STATIC", "", WS_CHILD | WS_VISIBLE | SS_ICON, kMargin, kMargin, 32, 32, kImage1);
  ::SendMessageA(image, STM_SETICON,
                 reinterpret_cast<WPARAM>(::LoadIconA(instance_, MAKEINTRESOURCEA(1))), 0);
  AddControl("STATIC", texts::kLoggedInAs, kLabel, kTextLeft, kMargin, 130, 16);
  AddControl("STATIC", texts::kUserNamePlaceholder, kLabel, kTextLeft + 135, kMargin,
             textWidth - 135, 16, kUserName);
  AddControl("STATIC", texts::kInstructions, kLabel, kTextLeft, 38, textWidth, 16);
  AddControl("STATIC", texts::InstructionText(), kLabel, kTextLeft, 56, textWidth, 30);
  AddControl("STATIC", texts::kRememberRestart, kLabel, kTextLeft, 90, textWidth, 16);
  AddControl("STATIC", texts::kOtherAccount, kLabel, kTextLeft, 108, textWidth, 16);
  AddControl("BUTTON", texts::FixButtonCaption(), kButton | BS_DEFPUSHBUTTON, kMargin, 134, wide,
             36, kDoFix);
  AddControl("STATIC", texts::kReviewSuspects, kLabel, kMargin, 180, wide, 16);
  processList_ = ::CreateWindowExA(
      WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
      WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, kMargin,
      198, wide, 130, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kProcessList)),
      instance_, nullptr);
  ::SendMessageA(processList_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  ::SendMessageA(processList_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
                 LVS_EX_FULLROWSELECT);
  SetUpColumns();
  AddControl(
      "EDIT", "",
      WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
      kMargin, 336, wide, 110, kText1);
  AddControl("BUTTON", texts::Command1Caption(), kButton, kMargin, 456, 330, 30, kCommand1);
  AddControl("BUTTON", texts::Command2Caption(), kButton, kMargin + 338, 456, wide - 338, 30,
             kCommand2);
}

// The two column headers, "Process" 0.8 and "PID" 0.175 of the list's width.
void Form1Window::SetUpColumns() {
  while (::SendMessageA(processList_, LVM_DELETECOLUMN, 0, 0) != FALSE) {
  }
  RECT bounds{};
  ::GetWindowRect(processList_, &bounds);
  const int width = bounds.right - bounds.left;
  const struct {
    const char* title;
    double share;
  } columns[] = {{texts::kProcessColumn, 0.8}, {texts::kPidColumn, 0.175}};
  for (int index = 0; index < 2; ++index) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<char*>(columns[index].title);
    column.cx = static_cast<int>(width * columns[index].share);
    ::SendMessageA(processList_, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
  }
}

void Form1Window::ShowMessageBox(const std::string& text, const std::string& title, BoxIcon icon) {
  const UINT style = MB_OK | (icon == BoxIcon::kInformation ? MB_ICONINFORMATION : 0);
  ::MessageBoxA(window_, text.c_str(), title.empty() ? kProgramName : title.c_str(), style);
}

void Form1Window::ShowProcessRows(const std::vector<ProcessRow>& rows) {
  ::SendMessageA(processList_, LVM_DELETEALLITEMS, 0, 0);
  SetUpColumns();
  for (std::size_t index = 0; index < rows.size(); ++index) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(index);
    item.pszText = const_cast<char*>(rows[index].path.c_str());
    const auto inserted = static_cast<int>(
        ::SendMessageA(processList_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    std::string pid = std::to_string(rows[index].pid);
    LVITEMA sub{};
    sub.iSubItem = 1;
    sub.pszText = pid.data();
    ::SendMessageA(processList_, LVM_SETITEMTEXTA, inserted, reinterpret_cast<LPARAM>(&sub));
  }
}

void Form1Window::ShowText1(const std::string& text) {
  ::SetDlgItemTextA(window_, kText1, text.c_str());
}

void Form1Window::ShowUserName(const std::string& name) {
  ::SetDlgItemTextA(window_, kUserName, name.c_str());
}

void Form1Window::DoEvents() {
  MSG message;
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
}

void Form1Window::OnCommand(int id) {
  switch (id) {
    case kDoFix: {
      // The button is disabled while its run goes on, so that a second click
      // cannot start a run inside the first.
      HWND button = ::GetDlgItem(window_, kDoFix);
      ::EnableWindow(button, FALSE);
      fixing_ = true;
      form_.doFix_Click();
      fixing_ = false;
      ::EnableWindow(button, TRUE);
      break;
    }
    case kCommand1:
      form_.Command1_Click();
      break;
    case kCommand2:
      form_.Command2_Click();
      break;
    default:
      break;
  }
}

LRESULT CALLBACK Form1Window::Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self =
        static_cast<Form1Window*>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
    self->window_ = window;
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Form1Window*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self == nullptr) return ::DefWindowProcA(window, message, wparam, lparam);
  return self->Handle(message, wparam, lparam);
}

LRESULT Form1Window::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wparam) == BN_CLICKED) OnCommand(LOWORD(wparam));
      return 0;
    case WM_CLOSE:
      // The window stays until the fix has finished with it.
      if (fixing_) return 0;
      form_.Form_Unload();
      ::DestroyWindow(window_);
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcA(window_, message, wparam, lparam);
  }
}

}  // namespace gorsel::win32
