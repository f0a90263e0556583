#include "quellix/engine/run/ProductInfo.h"

#include "quellix/engine/system/AnsiText.h"

namespace quellix {

std::string MainWindowCaption() {
  std::string caption = kProductName;
  caption.resize(40, ' ');
  return caption + kDatabaseCaptionMarker + kShippedDatabaseVersion;
}

std::string DatabaseVersionFromCaption(const std::string& caption) {
  const auto fields = SplitText(caption, kDatabaseCaptionMarker);
  return fields.size() > 1 ? fields[1] : std::string();
}

std::string ProgramVersionText() {
  return std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor);
}

}  // namespace quellix
