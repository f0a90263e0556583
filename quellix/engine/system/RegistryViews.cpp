#include "quellix/engine/system/RegistryViews.h"

namespace quellix {
namespace {

constexpr const char* kSoftware = "Software\\";

}  // namespace

std::vector<KeyView> ViewsOf(const RunValues& run, platform::HKey root, bool keptApart) {
  if (run.SysWow64Dir.empty() || root != platform::kHkeyLocalMachine) return {KeyView::kOnly};
  if (!keptApart) return {KeyView::k64Bit};
  return {KeyView::k64Bit, KeyView::kWow6432Node};
}

long OpenKeyInView(platform::Platform& platform, platform::HKey root, const std::string& subKey,
                   KeyView view, platform::HKey* key) {
  switch (view) {
    case KeyView::k64Bit:
      return platform.RegOpenKeyExA(root, subKey,
                                    platform::kMaximumAllowed | platform::kKeyWow64_64Key, key);
    case KeyView::kWow6432Node:
      return platform.RegOpenKeyExA(root, subKey,
                                    platform::kMaximumAllowed | platform::kKeyWow64_32Key, key);
    case KeyView::kOnly:
      break;
  }
  return platform.RegOpenKeyA(root, subKey, key);
}

std::string StoredSubKey(const std::string& subKey, KeyView view) {
  if (view != KeyView::kWow6432Node) return subKey;
  const std::size_t software = std::string(kSoftware).size();
  return subKey.substr(0, software) + "Wow6432Node\\" + subKey.substr(software);
}

std::string LabelInView(const std::string& label, KeyView view) {
  if (view != KeyView::kWow6432Node) return label;
  const std::string root = label.substr(0, label.find('\\'));
  return root + "\\..\\Wow6432Node" + label.substr(root.size());
}

}  // namespace quellix
