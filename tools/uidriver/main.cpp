// uidriver: drives the Quellix windows from the outside for the end-to-end
// tests and the demo. One invocation runs a whole script of steps, because
// every program start under Wine costs seconds.
#include "tools/uidriver/Errors.h"
#include "tools/uidriver/Steps.h"

#include <cstdio>
#include <exception>
#include <fcntl.h>
#include <io.h>

int wmain(int argc, wchar_t** argv) {
  // Plain LF line ends, whatever the console's mode.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  const std::vector<std::wstring> words(argv + 1, argv + argc);
  if (words.empty()) {
    std::fputs(uidriver::Usage().c_str(), stderr);
    return 2;
  }
  std::vector<uidriver::Step> steps;
  try {
    steps = uidriver::ParseScript(words);
  } catch (const uidriver::UsageError& error) {
    std::fprintf(stderr, "uidriver: %s\n%s", error.what(), uidriver::Usage().c_str());
    return 2;
  }
  for (std::size_t i = 0; i < steps.size(); ++i) {
    try {
      uidriver::RunStep(steps[i]);
    } catch (const std::exception& error) {
      std::fflush(stdout);
      std::fprintf(stderr, "uidriver: step %zu (%s) failed: %s\n", i + 1,
                   uidriver::Describe(steps[i]).c_str(), error.what());
      return 1;
    }
  }
  return 0;
}
