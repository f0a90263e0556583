#include "quellix/ui/ProgramLifetime.h"

#include "quellix/engine/run/mdlMainCode.h"

namespace quellix::ui {

bool AnotherCopyRuns(platform::Platform& platform) {
  bool anotherRuns = false;
  if (!platform.ClaimInstance(kInstanceName, &anotherRuns)) return false;
  return anotherRuns;
}

std::string TuneFilePath(platform::Platform& platform, std::uintptr_t frmMainHandle) {
  return QueryTempDir(platform) + std::to_string(frmMainHandle) + ".mid";
}

void StopTuneAndRemoveFile(platform::Platform& platform, std::uintptr_t frmMainHandle) {
  platform.MciSendStringA("stop midi");
  platform.MciSendStringA("close midi");
  platform.DeleteFileA(TuneFilePath(platform, frmMainHandle));
}

}  // namespace quellix::ui
