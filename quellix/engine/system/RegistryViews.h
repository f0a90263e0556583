// The registry views a key is read in. On a 32-bit Windows there is one view
// and a key is opened as designed, with RegOpenKeyA. On a 64-bit Windows a
// 32-bit program's HKLM\Software is silently Wow6432Node: the machine's keys
// are opened in the 64-bit view, and the Run-type keys that Windows keeps
// apart for 32-bit programs are read a second time in the 32-bit view.
// HKEY_CURRENT_USER\Software is one key for both and is read once.
#pragma once

#include <string>
#include <vector>

#include "platform/Platform.h"
#include "quellix/engine/system/RunValues.h"

namespace quellix {

enum class KeyView { kOnly, k64Bit, kWow6432Node };

// keptApart: Windows redirects the key (the Run and RunServices keys), rather
// than sharing it between the views (the policy keys).
std::vector<KeyView> ViewsOf(const RunValues& run, platform::HKey root, bool keptApart);

long OpenKeyInView(platform::Platform& platform, platform::HKey root, const std::string& subKey,
                   KeyView view, platform::HKey* key);

// The key's path below its root as the registry stores it, for backups that
// the registry editor restores to the same place.
std::string StoredSubKey(const std::string& subKey, KeyView view);

// How a find's key is named in the log: "HKLM\..\Run\" as designed, and
// "HKLM\..\Wow6432Node\..\Run\" for the 32-bit view.
std::string LabelInView(const std::string& label, KeyView view);

}  // namespace quellix
