#include "quellix/ui/win32/mdlBrowseForFolder.h"

#include <shlobj.h>

namespace quellix::ui::win32 {
namespace {

constexpr UINT kReturnOnlyFileSystemFolders = 0x1;
constexpr UINT kNewDialogStyle = 0x40;

}  // namespace

std::string BrowseForFolder(HWND owner, const std::string& title) {
  BROWSEINFOA info{};
  info.hwndOwner = owner;
  info.lpszTitle = title.c_str();
  info.ulFlags = kReturnOnlyFileSystemFolders | kNewDialogStyle;
  PIDLIST_ABSOLUTE items = SHBrowseForFolderA(&info);
  if (items == nullptr) return std::string();
  char path[MAX_PATH] = {};
  const BOOL converted = SHGetPathFromIDListA(items, path);
  CoTaskMemFree(items);
  if (!converted) return std::string();
  return std::string(path);
}

}  // namespace quellix::ui::win32
