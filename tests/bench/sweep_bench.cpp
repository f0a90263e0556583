// Times the file sweep of the process pass on the real system it runs on (a
// clean throw-away Wine prefix): once trying every path of the folder chain,
// once listing each sweep folder, both with the same worm names in one run.
// Usage: sweep_bench [number of worm names, default 7000]
#include <chrono>
#include <cstdlib>
#include <iomanip>
#include <iostream>
#include <string>
#include <vector>

#include "platform/win32/Win32Platform.h"
#include "quellix/engine/system/AnsiText.h"
#include "quellix/engine/session/Session.h"
#include "quellix/engine/cleanup/WormFileSweep.h"
#include "quellix/engine/cleanup/mdlProcesses.h"
#include "quellix/engine/session/mdlSortandSearch.h"
#include "quellix/lang/Language.h"
#include "tests/support/RecordingHost.h"

namespace {

using quellix::Session;

// Names shaped like worm names (letters, digits, now and then a blank, "%" or
// "^"), none of which is a file of a clean system, so nothing is removed.
std::vector<std::string> MakeNames(int count) {
  std::vector<std::string> names;
  unsigned state = 12345;
  const std::string letters = "abcdefghijklmnopqrstuvwxyz0123456789 %^";
  for (int i = 0; i < count; ++i) {
    std::string name = "qlxb";
    const int length = 3 + i % 8;
    for (int j = 0; j < length; ++j) {
      state = state * 1103515245u + 12345u;
      name += letters[(state >> 16) % letters.size()];
    }
    names.push_back(name + std::to_string(i));
  }
  quellix::QuickSort(names, 0, static_cast<std::int32_t>(names.size()) - 1);
  return names;
}

double TimeSweep(Session& session, quellix::SweepStrategy strategy) {
  const auto start = std::chrono::steady_clock::now();
  quellix::KillVirusProcesses(session, strategy);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 7000;
  platform::win32::Win32Platform platform;
  quellix::test::RecordingHost host;
  quellix::lang::Language language(platform, host);
  language.LoadLanguageTitles();
  language.LoadLanguage(7);
  quellix::BuiltPhases phases;
  Session session(platform, host, language, phases);

  std::string buffer(260, '\0');
  buffer.resize(platform.GetSystemDirectoryA(buffer));
  session.run.SystemDir = quellix::LowerAnsi(buffer);
  session.run.WindowsDir = session.run.SystemDir.substr(0, session.run.SystemDir.rfind('\\'));
  buffer.assign(260, '\0');
  buffer.resize(platform.GetTempPathA(buffer));
  session.run.TempDir = quellix::LowerAnsi(buffer);
  session.run.RootDir = session.run.TempDir.substr(0, 3);
  session.run.BackupDir = session.run.TempDir + "qlx bench backup\\";
  platform.CreateDirectoryA(session.run.BackupDir);
  session.InfectionNames = MakeNames(count);
  session.frmMain.lstIdentifiedByMD5.clear();

  std::size_t paths = 0;
  for (const std::string& name : session.InfectionNames) {
    paths += quellix::SweepTargets(name, session.run).size();
  }
  const double literal = TimeSweep(session, quellix::SweepStrategy::kLiteral);
  const std::u16string literalLog = host.details;
  host.details.clear();
  const double listing = TimeSweep(session, quellix::SweepStrategy::kListing);
  const bool sameLog = literalLog == host.details;

  std::cout << std::fixed << std::setprecision(3) << "worm names:          " << count << "\n"
            << "paths in the chains: " << paths << "\n"
            << "literal probing:     " << literal << " s (" << std::setprecision(1)
            << literal * 1e6 / static_cast<double>(paths) << " us a path)\n"
            << std::setprecision(3) << "listing sweep:       " << listing << " s\n"
            << std::setprecision(1)
            << "ratio:               " << (listing > 0 ? literal / listing : 0.0) << "\n"
            << "same log lines:      " << (sameLog ? "yes" : "NO") << std::endl;
  return sameLog ? 0 : 1;
}
