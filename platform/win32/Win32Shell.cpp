// Starting programs, the shell's open verb and MCI command strings.
#include "platform/win32/Win32Platform.h"

#include "platform/win32/HandleCasts.h"
#include "platform/win32/ScopedWin.h"

#include <mmsystem.h>
#include <shellapi.h>

namespace platform::win32 {
namespace {

// The started process and its first thread, both closed when this ends.
struct StartedProcess {
  ScopedHandle process;
  ScopedHandle thread;
  DWORD id = 0;
};

// CreateProcessA in a window of the given show state; false with the last
// error when the program does not start.
bool Start(const std::string& commandLine, int showWindow, StartedProcess* started) {
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showWindow);
  PROCESS_INFORMATION info{};
  // CreateProcessA may write into the command line, so it gets its own copy.
  std::string writable = commandLine;
  if (!::CreateProcessA(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
    return false;
  }
  started->process.Reset(info.hProcess);
  started->thread.Reset(info.hThread);
  started->id = info.dwProcessId;
  return true;
}

}  // namespace

std::uint32_t Win32Platform::StartProcess(const std::string& commandLine, int showWindow) {
  StartedProcess started;
  if (!Start(commandLine, showWindow, &started)) return 0;
  return started.id;
}

bool Win32Platform::RunProcessAndWait(const std::string& commandLine, int showWindow,
                                      std::uint32_t* exitCode) {
  StartedProcess started;
  if (!Start(commandLine, showWindow, &started)) return false;
  if (::WaitForSingleObject(started.process.Get(), INFINITE) != WAIT_OBJECT_0) return false;
  DWORD code = 0;
  if (!::GetExitCodeProcess(started.process.Get(), &code)) return false;
  *exitCode = code;
  return true;
}

std::uintptr_t Win32Platform::ShellExecuteA(std::uintptr_t ownerWindow, const std::string& verb,
                                            const std::string& file, const std::string& parameters,
                                            const std::string& directory, int showWindow) {
  return reinterpret_cast<std::uintptr_t>(
      ::ShellExecuteA(reinterpret_cast<HWND>(ownerWindow), NullWhenEmpty(verb), file.c_str(),
                      NullWhenEmpty(parameters), NullWhenEmpty(directory), showWindow));
}

std::uint32_t Win32Platform::MciSendStringA(const std::string& command) {
  return ::mciSendStringA(command.c_str(), nullptr, 0, nullptr);
}

}  // namespace platform::win32
