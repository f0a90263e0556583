// The Run-value rules: whatever a Run value holds (the first byte picks the
// key and the name's length, the rest is name and data), the cleaning ends,
// and a value it deleted is restored exactly by importing its ".reg" backup.
#include <cstddef>
#include <cstdint>
#include <string>

#include "quellix/engine/cleanup/mdlStartupEntries.h"
#include "tests/fuzz/FuzzMachine.h"
#include "tests/support/RegImport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const char* key = (data[0] & 1) != 0 ? "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"
                                       : "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::size_t nameLength = std::min<std::size_t>(rest.size(), (data[0] >> 1) % 16);
  const std::string name = rest.substr(0, nameLength);
  const std::string value = rest.substr(nameLength);

  quellix::fuzz::FuzzSession f;
  f.sim.machine.registry.SetString(key, name, value);
  const platform::sim::Machine start = f.sim.machine;
  quellix::RegistryFlags flags;
  quellix::CleanStartupEntries(f.session, flags);
  for (const auto& change : f.sim.machine.ChangesBy("RegDeleteValueA")) {
    if (change.result != 0) continue;
    platform::sim::Registry restored;
    for (const auto& [path, node] : f.sim.machine.files.Nodes()) {
      if (node.path.size() > 4 && node.path.substr(node.path.size() - 4) == ".reg") {
        quellix::test::ImportRegFile(restored,
                                     std::string(node.contents.begin(), node.contents.end()));
      }
    }
    const std::size_t slash = change.target.rfind('\\');
    const auto* original =
        start.registry.FindValue(change.target.substr(0, slash), change.target.substr(slash + 1));
    const auto* back =
        restored.FindValue(change.target.substr(0, slash), change.target.substr(slash + 1));
    if (original != nullptr &&
        (back == nullptr || back->type != original->type || back->data != original->data)) {
      quellix::fuzz::Broken("deleted and not restored by its backup: " + change.target);
    }
  }
  return 0;
}
