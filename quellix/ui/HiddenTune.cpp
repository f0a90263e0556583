#include "quellix/ui/HiddenTune.h"

#include <string>
#include <vector>

#include "quellix/engine/run/mdlMainCode.h"
#include "quellix/ui/ProgramLifetime.h"

namespace quellix::ui {
namespace {

// A file opened for writing, closed when the scope ends.
class WrittenFile {
 public:
  WrittenFile(platform::Platform& platform, const std::string& path)
      : platform_(platform),
        handle_(platform.CreateFileA(path, platform::kGenericWrite, 0, platform::kCreateAlways,
                                     platform::kFileAttributeNormal)) {}
  ~WrittenFile() {
    if (IsOpen()) platform_.CloseHandle(handle_);
  }
  WrittenFile(const WrittenFile&) = delete;
  WrittenFile& operator=(const WrittenFile&) = delete;

  bool IsOpen() const { return handle_ != platform::kInvalidHandleValue; }
  platform::Handle Get() const { return handle_; }

 private:
  platform::Platform& platform_;
  platform::Handle handle_;
};

}  // namespace

HiddenTune::HiddenTune(platform::Platform& platform, std::uintptr_t frmMainHandle)
    : platform_(platform), frmMainHandle_(frmMainHandle) {}

void HiddenTune::Play() {
  const bool haveTempDir = !QueryTempDir(platform_).empty();
  platform_.MciSendStringA("stop midi");
  platform_.MciSendStringA("close midi");
  // Without a temporary folder the name would point into the current folder.
  if (!haveTempDir) return;
  const std::string path = TuneFilePath(platform_, frmMainHandle_);
  if (!tuneWritten_) {
    tuneWritten_ = WriteTuneFile(path);
    if (!tuneWritten_) return;
  }
  // Quoted: a temporary folder under a user name with a blank is common.
  if (platform_.MciSendStringA("open \"" + path + "\" type sequencer alias midi") == 0) {
    platform_.MciSendStringA("play midi");
  }
}

bool HiddenTune::WriteTuneFile(const std::string& path) {
  std::vector<std::uint8_t> bytes;
  if (!platform_.LoadProgramResource(kTuneResourceType, kTuneResourceId, &bytes)) return false;
  // Created anew: a longer file left under this name must not keep its tail.
  WrittenFile file(platform_, path);
  if (!file.IsOpen()) return false;
  std::uint32_t written = 0;
  return platform_.WriteFile(file.Get(), bytes, &written) && written == bytes.size();
}

}  // namespace quellix::ui
