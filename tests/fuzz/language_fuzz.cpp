// The language table loader: whatever bytes stand in the English table, the
// load either refuses with a runtime error and keeps the language it had, or
// loads, and then every log and box message can be looked up or refused.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/RuntimeError.h"
#include "tests/fuzz/FuzzMachine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  quellix::fuzz::FuzzSession f;
  f.sim.machine.AddResource("LANGUAGE", 107, std::vector<std::uint8_t>(data, data + size));
  auto& language = f.sim.language;
  const auto rowsBefore = language.MessageRows();
  try {
    language.LoadLanguage(7);
  } catch (const platform::RuntimeError&) {
    if (language.MessageRows() != rowsBefore) quellix::fuzz::Broken("a refused table changed rows");
    return 0;
  }
  for (float number : {1.0f, 2.0f, 2.5f, 2.75f, 3.0f, 4.0f, 13.0f, 19.0f, 22.0f, 23.0f}) {
    try {
      language.WriteMessage(number, "argument %% >> ");
    } catch (const platform::RuntimeError&) {
    }
  }
  for (float number = 1; number <= 8; ++number) {
    try {
      language.ShowMessageBox(number, 4);
    } catch (const platform::RuntimeError&) {
    }
  }
  return 0;
}
