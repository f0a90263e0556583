#include "quellix/engine/system/SystemFiles.h"

namespace quellix {

bool SystemFiles::IsWindowsOwn(const std::string& path) {
  if (!windowsOwn_) windowsOwn_.emplace(platform_, run_.SystemDir, run_.SysWow64Dir);
  return windowsOwn_->IsWindowsOwn(path);
}

bool SystemFiles::IsProgramFile(const std::string& path) {
  if (!programFile_) {
    std::string own;
    programFile_ = platform_.GetOwnModuleFileNameA(&own)
                       ? platform::ResolvedLowerPath(platform_, own)
                       : std::string();
  }
  return !programFile_->empty() && platform::ResolvedLowerPath(platform_, path) == *programFile_;
}

}  // namespace quellix
