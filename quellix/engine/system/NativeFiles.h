// The platform as the removal run uses it. On a 64-bit Windows a 32-bit
// program's system32 is silently SysWOW64; here every file call (attributes,
// copy, delete, folder, listing, open) is made with that redirection turned
// off just for the call, so a path names the real place: c:\windows\system32
// the 64-bit system folder, c:\windows\syswow64 the 32-bit one. Redirection
// stays on for everything else, since a library loaded while it is off would
// be the 64-bit one. A file call that cannot be made in the native view is not
// made at all, and once redirection could not be turned back on (the thread
// is left in the native view) no file call is made any more. Redirection is
// turned back on at every exit of a call, an exception's too. Outside WOW64
// every call goes straight through.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ForwardingPlatform.h"

namespace quellix {

class NativeFiles final : public platform::ForwardingPlatform {
 public:
  using ForwardingPlatform::ForwardingPlatform;

  std::uint32_t GetFileAttributesA(const std::string& path) override;
  bool SetFileAttributesA(const std::string& path, std::uint32_t attributes) override;
  bool CopyFileA(const std::string& existing, const std::string& target,
                 bool failIfExists) override;
  bool DeleteFileA(const std::string& path) override;
  bool CreateDirectoryA(const std::string& path) override;
  bool FindFiles(const std::string& pattern, std::vector<platform::FindEntry>* entries) override;
  platform::Handle CreateFileA(const std::string& path, std::uint32_t access,
                               std::uint32_t shareMode, std::uint32_t disposition,
                               std::uint32_t attributes) override;

 private:
  // Runs a file call with redirection off; refused is its failure result,
  // given back with the reason when redirection cannot be turned off.
  template <typename Call>
  auto InNativeView(Call call, decltype(call()) refused) -> decltype(call());
  bool Wow64();

  enum class View { kUnknown, kNative, kWow64 } view_ = View::kUnknown;
  bool revertFailed_ = false;
};

}  // namespace quellix
