// The main window: start-up, the three buttons, the progress bars, the
// status line, the caption labels and the details box. It is the window the
// removal run reports to.
#pragma once

// The portable headers stop the build if <windows.h> came before them.
#include "platform/Platform.h"
#include "platform/RuntimeError.h"
#include "quellix/Host.h"
#include "quellix/engine/run/ProductInfo.h"
#include "quellix/engine/session/RemovalPhases.h"
#include "quellix/engine/session/Session.h"
#include "quellix/engine/run/StartButton.h"
#include "quellix/lang/ChooseDefaultLanguage.h"
#include "quellix/lang/Language.h"
#include "quellix/lang/Rounding.h"
#include "quellix/ui/CaptionDrawing.h"
#include "quellix/ui/LanguagePicker.h"
#include "quellix/ui/ProgramLifetime.h"
#include "quellix/ui/ProgressBar.h"
#include "quellix/ui/RunFailureNotice.h"
#include "quellix/ui/StartGlow.h"
#include "quellix/ui/Twips.h"
#include "quellix/update/UpdateExchange.h"
#include "quellix/update/ExchangeWindow.h"

#include <windows.h>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/ScopedWin.h"
#include "quellix/ui/win32/PictureBox.h"
#include "quellix/ui/win32/mdlUniCode.h"

namespace quellix::ui::win32 {

constexpr const wchar_t* kMainWindowClass = L"QuellixMain";
// Child IDs the UI driver and assistive tools rely on.
constexpr int kCommand1Id = 101;  // CLOSE
constexpr int kCommand2Id = 102;  // START
constexpr int kAboutId = 103;
constexpr int kLangSelectId = 104;
constexpr int kDropDownId = 105;
constexpr int kFirstLanguageEntryId = 200;  // pctLanguage(i) has 200 + i
constexpr int kLabel1Id = 110;
constexpr int kLabel2Id = 111;  // the status line

class frmGUI final : public Host, public update::ExchangeWindow {
 public:
  frmGUI(platform::Platform& platform, HINSTANCE instance);

  frmGUI(const frmGUI&) = delete;
  frmGUI& operator=(const frmGUI&) = delete;

  // Form_Load, then the message loop until the program ends. Returns the
  // program's exit code.
  int Run();

  // The main window's messages, routed here by its window class.
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  // Host.
  void AppendDetails(const std::u16string& text) override;
  std::u16string GetDetailsText() override;
  void ClearDetails() override;
  std::int16_t ShowMessageBox(const MessageBoxRequest& request) override;
  std::string BrowseForFolder(const std::string& title) override;
  void SetProg1(double value) override;
  void SetProg2(double value) override;
  void DoEvents() override;
  void SetTerm(bool term) override;
  void EnableGUI() override;
  void DisableGUI() override;
  std::string WindowCaption() override;
  void ApplyLanguage(const std::u16string& labelOperation, const std::u16string& labelProgress,
                     const std::u16string& labelDetails) override;

  // ExchangeWindow.
  void SetStatus(const std::string& text) override;
  void SetTimerEnabled(update::UpdateTimer timer, bool enabled) override;
  void EnableCommands() override;

 private:
  struct ImageControl {
    HBITMAP picture = nullptr;
    TwipsRect place;
    bool visible = true;
  };

  void CreateWindows();
  void LoadArtwork();
  bool FormLoad();
  void FormUnload();
  void Command1Click();
  void Command2Click();
  void cmdAbout_Click();
  void Timer3Timer();
  void Timer4Timer();

  // The language picker.
  void BuildLanguageEntries();
  void DrawEntryTitle(std::size_t index);
  void pctLangSelect_MouseUp(double x);
  void pctLanguage_MouseMove(std::size_t index);
  void pctLanguage_Click(std::size_t index);
  void Form_Click();

  void DrawLangSelect();
  void DrawLanguageTitle(std::uint8_t index);
  void DrawDropArrow();
  void SetProg(int middle, int rightCap, int leftCap, double value);
  void ReportRunFailure(const std::string& what);
  void Paint(HDC dc);

  platform::Platform& platform_;
  HINSTANCE instance_;
  Scale scale_;
  lang::Language language_;
  BuiltPhases phases_;
  std::optional<Session> session_;
  // After the session it works on, so that it ends first.
  std::unique_ptr<update::UpdateExchange> update_;
  bool timer1Enabled_ = false;
  bool timer5Enabled_ = false;
  bool term_ = false;
  StartGlow glow_;

  // Drawing objects first: the windows that use them go before them.
  std::array<platform::win32::ScopedGdiObject, 7> artwork_;
  platform::win32::ScopedGdiObject labelFont_;
  platform::win32::ScopedGdiObject labelBrush_;
  platform::win32::ScopedWindow window_;
  platform::win32::ScopedWindow frmMain_;  // the hidden form; its handle names the tune file
  platform::win32::ScopedWindow label1_;
  platform::win32::ScopedWindow label2_;
  std::unique_ptr<PictureBox> command1_;
  std::unique_ptr<PictureBox> command2_;
  std::unique_ptr<PictureBox> cmdAbout_;
  std::unique_ptr<PictureBox> pctLangSelect_;
  std::unique_ptr<PictureBox> pctDropDown_;
  std::vector<std::unique_ptr<PictureBox>> pctLanguage_;
  mdlUniCode uniCode_;
  std::array<ImageControl, 13> images_{};  // Image1 to Image12; 0 is unused
};

}  // namespace quellix::ui::win32
