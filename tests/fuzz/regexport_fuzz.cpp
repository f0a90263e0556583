// The REGEDIT4 export: whatever a value's name, type and data (the first byte
// picks the type and the name's length), the registry editor's import of the
// exported file gives back the same value.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "quellix/engine/cleanup/RegExport.h"
#include "tests/fuzz/FuzzMachine.h"
#include "tests/support/RegImport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  constexpr std::uint32_t kTypes[] = {platform::kRegSz,
                                      platform::kRegExpandSz,
                                      platform::kRegBinary,
                                      platform::kRegDword,
                                      7,
                                      0,
                                      11};
  const std::uint32_t type = kTypes[data[0] % 7];
  const std::size_t nameLength = std::min<std::size_t>(size - 1, data[0] / 7 % 12);
  std::string name(reinterpret_cast<const char*>(data) + 1, nameLength);
  // A value name holds no NUL, and the editor reads a file line by line.
  for (char& c : name) {
    if (c == '\0' || c == '\r' || c == '\n') c = '_';
  }
  std::vector<std::uint8_t> bytes(data + 1 + nameLength, data + size);
  if (type == platform::kRegDword) bytes.resize(4);

  const std::string text =
      quellix::RegFileForValue("HKEY_CURRENT_USER\\Software\\Fuzz", name, type, bytes);
  platform::sim::Registry restored;
  if (!quellix::test::ImportRegFile(restored, text))
    quellix::fuzz::Broken("not importable:\n" + text);
  const auto* back = restored.FindValue("HKCU\\Software\\Fuzz", name);
  if (back == nullptr || back->type != type || back->data != bytes) {
    quellix::fuzz::Broken("import gave another value:\n" + text);
  }
  return 0;
}
