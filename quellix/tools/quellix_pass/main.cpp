// quellix-pass: runs one removal pass as START would, with the console as the
// window, and prints every log line and box in the order they appear.
#include <exception>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/RuntimeError.h"
#include "quellix/engine/session/RemovalPhases.h"
#include "quellix/engine/session/Session.h"
#include "quellix/engine/run/StartButton.h"
#include "quellix/lang/ChooseDefaultLanguage.h"
#include "quellix/lang/Language.h"
#include "quellix/restore/RestoreFolder.h"
#include "quellix/tools/quellix_pass/ConsoleHost.h"
#include "quellix/tools/quellix_pass/Options.h"
#include "quellix/tools/quellix_pass/PassMachine.h"

namespace {

constexpr int kBadArguments = 2;
constexpr int kMachineUnavailable = 3;
constexpr int kRunFailed = 4;
constexpr int kNoRecord = 5;
constexpr int kNotAllRestored = 6;
constexpr int kNotAdministrator = 7;

// A pass or a restore that would change a real machine without an administrator's rights.
struct NotAdministrator {};

int RunRestore(const quellix::pass::Options& options) {
  auto machine = quellix::pass::OpenMachine(options);
  if (!options.dryRun && !machine->MayChangeMachine()) throw NotAdministrator{};
  quellix::restore::Options restoreOptions;
  restoreOptions.dryRun = options.dryRun;
  restoreOptions.only = options.only;
  const quellix::restore::Summary summary = quellix::restore::RestoreFolder(
      machine->Platform(), *options.restoreFolder, restoreOptions, std::cout);
  if (!options.saveMachineFile.empty()) machine->Save(options.saveMachineFile);
  if (summary.records == 0) {
    std::cerr << "quellix-pass: no readable restore record in " << *options.restoreFolder << '\n';
    return kNoRecord;
  }
  return summary.skipped + summary.failed + summary.unreadableRecords == 0 ? 0 : kNotAllRestored;
}

int RunPass(const quellix::pass::Options& options) {
  auto machine = quellix::pass::OpenMachine(options);
  if (!machine->MayChangeMachine()) throw NotAdministrator{};
  platform::Platform& platform = machine->Platform();
  quellix::pass::ConsoleHost host(std::cout, options.backupDir.value_or(""), options.answerYes);
  quellix::lang::Language language(platform, host);
  language.LoadLanguageTitles();
  language.SetCurrentLanguage(options.language ? static_cast<std::uint8_t>(*options.language)
                                               : quellix::lang::ChooseDefaultLanguage(platform));
  language.LoadLanguage(language.CurrentLanguage());
  quellix::BuiltPhases phases;
  quellix::Session session(platform, host, language, phases);
  // A stopped run is saved too, so that what it changed can be examined.
  const auto save = [&] {
    if (!options.saveMachineFile.empty()) machine->Save(options.saveMachineFile);
  };
  try {
    quellix::StartButtonRun(session);
  } catch (const platform::RuntimeError&) {
    save();
    throw;
  }
  save();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  quellix::pass::Options options;
  try {
    options = quellix::pass::ParseOptions(std::vector<std::string>(argv + 1, argv + argc),
                                          quellix::pass::kScenarioBuild);
  } catch (const std::invalid_argument& error) {
    std::cerr << "quellix-pass: " << error.what() << '\n' << quellix::pass::kUsage;
    return kBadArguments;
  }
  if (options.help) {
    std::cout << quellix::pass::kUsage;
    return 0;
  }
  try {
    return options.restoreFolder ? RunRestore(options) : RunPass(options);
  } catch (const NotAdministrator&) {
    std::cerr << "quellix-pass: a pass or a restore needs an administrator's rights; run it from a "
                 "command "
                 "prompt opened as administrator\n";
    return kNotAdministrator;
  } catch (const platform::RuntimeError& error) {
    std::cerr << "quellix-pass: run stopped: " << error.Description() << " (error "
              << error.Number() << " in " << error.Source() << ")\n";
    return kRunFailed;
  } catch (const std::exception& error) {
    std::cerr << "quellix-pass: " << error.what() << '\n';
    return kMachineUnavailable;
  }
}
