#include "gorsel/Form1.h"

#include "gorsel/Publisher.h"
#include "gorsel/RegistryHelpers.h"
#include "gorsel/Texts.h"
#include "platform/RuntimeError.h"

namespace gorsel {

namespace {

constexpr int kCsidlStartMenu = 11;
constexpr std::uint32_t kPathCapacity = 260;

}  // namespace

std::string GetCurrentUserName(platform::Platform& system) {
  std::string name;
  if (!system.GetUserNameA(&name)) {
    const std::uint32_t code = system.GetLastError();
    throw platform::RuntimeError(code, texts::kUserNameError + std::to_string(code),
                                 "GetCurrentUserName");
  }
  return TrimAtNull(name);
}

std::string GetStartMenuFolder(platform::Platform& system) {
  std::string path;
  if (!system.SHGetSpecialFolderPathA(kCsidlStartMenu, false, &path)) return "";
  return TrimAtNull(path);
}

Form1::Form1(platform::Platform& system, FormHost& host)
    : system_(system),
      host_(host),
      record_(std::make_unique<platform::restore::RecordWriter>(system)) {}

void Form1::Form_Load() {
  std::string systemDirectory(kPathCapacity, '\0');
  const std::uint32_t length = system_.GetSystemDirectoryA(systemDirectory);
  systemDirectory.resize(length < kPathCapacity ? length : 0);
  const SystemFolders folders = SystemFoldersFrom(systemDirectory);
  // Without its folders the fixer cannot tell Windows from the worm: the
  // guard then protects everything.
  if (!folders.system.empty()) {
    windowsOwn_ = std::make_unique<platform::WindowsOwnFiles>(system_);
    const platform::WindowsOwnFiles* windowsOwn = windowsOwn_.get();
    // Gorsel itself is kept as Windows' files are: a value may name it.
    std::string ownFile;
    if (system_.GetOwnModuleFileNameA(&ownFile)) {
      ownFile = platform::ResolvedLowerPath(system_, ownFile);
    } else {
      ownFile.clear();
    }
    platform::Platform* system = &system_;
    guard_ = SystemGuard(folders, [windowsOwn, system, ownFile](const std::string& path) {
      return windowsOwn->IsWindowsOwn(path) ||
             (!ownFile.empty() && platform::ResolvedLowerPath(*system, path) == ownFile);
    });
  }

  host_.ShowUserName(GetCurrentUserName(system_));
  loadValue_ = RegReadValue(system_, kLoadValuePath);
  if (!loadValue_.empty()) {
    processFilter_ = loadValue_;
    NoteHost(ProcessFilter(loadValue_, guard_));
    RefreshProcessList();
  }
}

void Form1::RefreshProcessList() {
  rows_.clear();
  host_.ShowProcessRows(rows_);
  switch (system_.GetPlatformId()) {
    case platform::kPlatformWin32Windows:
      host_.ShowMessageBox(texts::kWindows98, "", BoxIcon::kNone);
      break;
    case platform::kPlatformWin32Nt:
      rows_ = ListMatchingProcesses(system_, ProcessFilter(processFilter_, guard_));
      host_.ShowProcessRows(rows_);
      break;
    default:
      break;
  }
}

void Form1::KillListedProcesses() {
  for (const ProcessRow& row : rows_) {
    const std::string failure = KillProcessById(system_, row);
    if (!failure.empty()) host_.ShowMessageBox(failure, "", BoxIcon::kNone);
  }
}

void Form1::NoteHost(const ProcessFilter& filter) {
  if (!guard_.KnowsTheSystem() || !filter.StartsAHost()) return;
  AppendText1(texts::HostNote(filter.program()));
}

void Form1::Command1_Click() { OpenPage(kArticlePage); }

void Form1::Command2_Click() { OpenPage(kHomePage); }

void Form1::Form_Unload() {
  host_.ShowMessageBox(texts::UnloadMessage(), "", BoxIcon::kInformation);
  OpenPage(kFollowUpPage);
}

void Form1::OpenPage(const char* address) {
  system_.ShellExecuteA(0, "open", address, "", "", platform::kSwShowNormal);
}

}  // namespace gorsel
