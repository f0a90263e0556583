// Form1, the fixer's one window: its controls, the boxes it shows, and the
// routing of clicks to the logic in gorsel/Form1.
#pragma once

#include <string>
#include <vector>

#include "gorsel/Form1.h"
#include "gorsel/FormHost.h"
#include "platform/Platform.h"

#include <windows.h>

namespace gorsel::win32 {

// Control IDs, also what tools/uidriver clicks.
enum ControlId : int {
  kDoFix = 201,
  kProcessList = 202,
  kText1 = 203,
  kCommand1 = 204,
  kCommand2 = 205,
  kUserName = 206,
  kImage1 = 207,
};

constexpr const char* kWindowClass = "GorselMain";

class Form1Window : public FormHost {
 public:
  Form1Window(platform::Platform& system, HINSTANCE instance);
  Form1Window(const Form1Window&) = delete;
  Form1Window& operator=(const Form1Window&) = delete;

  // Creates the window, loads it and runs its message loop; the exit code.
  int Run();

  void ShowMessageBox(const std::string& text, const std::string& title, BoxIcon icon) override;
  void ShowProcessRows(const std::vector<ProcessRow>& rows) override;
  void ShowText1(const std::string& text) override;
  void ShowUserName(const std::string& name) override;
  void DoEvents() override;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  bool Create();
  void CreateControls();
  HWND AddControl(const char* className, const std::string& text, DWORD style, int x, int y,
                  int width, int height, int id = 0);
  void SetUpColumns();
  void OnCommand(int id);

  HINSTANCE instance_;
  HWND window_ = nullptr;
  HWND processList_ = nullptr;
  HFONT font_ = nullptr;
  bool fixing_ = false;  // the fix runs; the window pumps its messages meanwhile
  Form1 form_;
};

}  // namespace gorsel::win32
