#include "quellix/engine/system/NativeFiles.h"

#include "platform/NativeView.h"

namespace quellix {

bool NativeFiles::Wow64() {
  if (view_ == View::kUnknown) {
    bool wow64 = false;
    view_ = inner().IsWow64Process(&wow64) && wow64 ? View::kWow64 : View::kNative;
  }
  return view_ == View::kWow64;
}

template <typename Call>
auto NativeFiles::InNativeView(Call call, decltype(call()) refused) -> decltype(call()) {
  if (!Wow64()) return call();
  if (revertFailed_) {
    inner().SetLastError(platform::error::kAccessDenied);
    return refused;
  }
  const platform::NativeView native(inner(), true, &revertFailed_);
  if (!native.Entered()) return refused;
  return call();
}

std::uint32_t NativeFiles::GetFileAttributesA(const std::string& path) {
  return InNativeView([&] { return inner().GetFileAttributesA(path); },
                      platform::kInvalidFileAttributes);
}

bool NativeFiles::SetFileAttributesA(const std::string& path, std::uint32_t attributes) {
  return InNativeView([&] { return inner().SetFileAttributesA(path, attributes); }, false);
}

bool NativeFiles::CopyFileA(const std::string& existing, const std::string& target,
                            bool failIfExists) {
  return InNativeView([&] { return inner().CopyFileA(existing, target, failIfExists); }, false);
}

bool NativeFiles::DeleteFileA(const std::string& path) {
  return InNativeView([&] { return inner().DeleteFileA(path); }, false);
}

bool NativeFiles::CreateDirectoryA(const std::string& path) {
  return InNativeView([&] { return inner().CreateDirectoryA(path); }, false);
}

bool NativeFiles::FindFiles(const std::string& pattern, std::vector<platform::FindEntry>* entries) {
  return InNativeView([&] { return inner().FindFiles(pattern, entries); }, false);
}

platform::Handle NativeFiles::CreateFileA(const std::string& path, std::uint32_t access,
                                          std::uint32_t shareMode, std::uint32_t disposition,
                                          std::uint32_t attributes) {
  return InNativeView(
      [&] { return inner().CreateFileA(path, access, shareMode, disposition, attributes); },
      platform::kInvalidHandleValue);
}

}  // namespace quellix
