// One scope in which a 32-bit program on a 64-bit Windows sees the native
// folders: WOW64 file system redirection goes off on entry and back on at
// every exit from the scope, an exception's too. Outside WOW64 there is
// nothing to turn off and the scope is native from the start.
#pragma once

#include <cstdint>

#include "platform/Platform.h"

namespace platform {

class NativeView {
 public:
  // wow64: the program runs under WOW64. A failed turning back on is noted
  // in *revertFailed (when given), since the thread then stays native.
  NativeView(Platform& platform, bool wow64, bool* revertFailed = nullptr)
      : platform_(platform), revertFailed_(revertFailed) {
    entered_ = !wow64;
    if (wow64) entered_ = turnedOff_ = platform_.Wow64DisableWow64FsRedirection(&previous_);
  }

  // Turning redirection back on keeps the last error of the scope's own call.
  ~NativeView() {
    if (!turnedOff_) return;
    const std::uint32_t error = platform_.GetLastError();
    const bool reverted = platform_.Wow64RevertWow64FsRedirection(previous_);
    if (!reverted && revertFailed_ != nullptr) *revertFailed_ = true;
    platform_.SetLastError(error);
  }

  NativeView(const NativeView&) = delete;
  NativeView& operator=(const NativeView&) = delete;

  // True when the scope's file calls name the native folders.
  bool Entered() const { return entered_; }

 private:
  Platform& platform_;
  bool* revertFailed_;
  std::uintptr_t previous_ = 0;
  bool turnedOff_ = false;
  bool entered_ = false;
};

}  // namespace platform
