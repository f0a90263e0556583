#include "quellix/lang/ChooseDefaultLanguage.h"

#include <algorithm>
#include <string>

#include "quellix/lang/Languages.h"

namespace quellix::lang {
namespace {

constexpr std::size_t kNameBufferSize = 256;

}  // namespace

std::uint8_t ChooseDefaultLanguage(platform::Platform& platform) {
  std::string buffer(kNameBufferSize, '\0');
  const int written =
      platform.GetLocaleInfoA(platform::kLocaleUserDefault, platform::kLocaleSEngLanguage, buffer);
  // The count includes the terminating NUL; 0 means the call failed.
  if (written <= 0) return kEnglish;
  const auto length = std::min(static_cast<std::size_t>(written) - 1, buffer.size());
  const std::string name = buffer.substr(0, length);

  const auto& languages = Languages();
  for (std::uint8_t index = 0; index < kLanguageCount; ++index) {
    const char* localeName = languages[index].localeName;
    if (localeName != nullptr && name == localeName) return index;
  }
  return kEnglish;
}

}  // namespace quellix::lang
