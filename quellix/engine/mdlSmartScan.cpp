#include "quellix/engine/mdlSmartScan.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "quellix/engine/AnsiText.h"
#include "quellix/engine/Session.h"

namespace quellix {
namespace {

constexpr std::uint32_t kNameBufferCharacters = 255;
constexpr std::uint32_t kDataBufferBytes = 255;
// Registry value names are at most 16,383 characters.
constexpr std::uint32_t kLongestValueName = 16384;

}  // namespace

void ListRegistryValues(Session& session, platform::HKey key) {
  platform::Platform& platform = session.platform;
  for (std::uint32_t index = 0;; ++index) {
    std::uint32_t nameCapacity = kNameBufferCharacters;
    std::uint32_t dataCapacity = kDataBufferBytes;
    std::string name;
    std::vector<std::uint8_t> data;
    std::uint32_t type = 0;
    std::uint32_t dataLength = 0;
    long result = platform.RegEnumValueA(key, index, nameCapacity, dataCapacity, &name, &type,
                                         &data, &dataLength);
    // A value longer than the buffers is read again with room for all of it,
    // rather than turned into a cut or garbled text.
    if (result == platform::error::kMoreData) {
      nameCapacity = kLongestValueName;
      dataCapacity = dataLength > dataCapacity ? dataLength : dataCapacity;
      result = platform.RegEnumValueA(key, index, nameCapacity, dataCapacity, &name, &type, &data,
                                      &dataLength);
    }
    // No more values, or an enumeration that fails (a key that went away)
    // and would fail the same way for every later index.
    if (result != platform::error::kSuccess) return;
    if (dataLength == 0) continue;
    const std::size_t textLength = std::min<std::size_t>(dataLength - 1, data.size());
    session.frmMain.lstKeys.push_back(
        LowerAnsi(name + "=" + std::string(data.begin(), data.begin() + textLength)));
  }
}

}  // namespace quellix
