// The contract cases against the real Win32 API: the test program itself is
// the known process, and Wine is told apart from Windows so that a case can
// mark a deviation of Wine's.
#include "platform/win32/Win32Platform.h"
#include "tests/contract/Backend.h"

#include <windows.h>

namespace contract {
namespace {

bool RunningUnderWine() {
  const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::string OwnImageFileName() {
  char path[MAX_PATH + 1] = {};
  const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string full(path, length);
  const auto slash = full.find_last_of('\\');
  return slash == std::string::npos ? full : full.substr(slash + 1);
}

class Win32Backend final : public Backend {
 public:
  BackendKind Kind() const override {
    return RunningUnderWine() ? BackendKind::kWine : BackendKind::kWindows;
  }

  std::unique_ptr<platform::Platform> NewPlatform() override {
    return platform::win32::MakeWin32Platform();
  }

  RunningProcess KnownProcess() override {
    return RunningProcess{::GetCurrentProcessId(), OwnImageFileName()};
  }

  bool RunsPrograms() const override { return true; }

  void RemoveFolder(const std::string& path) override { ::RemoveDirectoryA(path.c_str()); }

  bool SixtyFourBitWindows() override {
    char folder[MAX_PATH] = {};
    return sizeof(void*) == 8 && ::GetSystemWow64DirectoryA(folder, MAX_PATH) != 0;
  }
};

}  // namespace

std::unique_ptr<Backend> MakeBackendUnderTest() { return std::make_unique<Win32Backend>(); }

}  // namespace contract
