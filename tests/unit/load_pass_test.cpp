// A whole pass over a heavily infected machine: 10,000 worm files, 2,000
// processes, a 50,000-line hosts file with 5,000 hijack lines and 1,000 Run
// values. It must complete with everything it promises done.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "quellix/engine/session/Session.h"
#include "quellix/engine/run/StartButton.h"
#include "quellix/engine/session/mdlSortandSearch.h"
#include "tests/support/SimQuellix.h"

namespace quellix {
namespace {

constexpr int kWormNames = 2500;  // four files each
constexpr int kProcesses = 2000;
constexpr int kHostsLines = 50000;
constexpr int kHijackLines = 5000;
constexpr int kRunValues = 1000;
constexpr const char* kHosts = "C:\\WINDOWS\\system32\\drivers\\etc\\hosts";

std::string WormName(int i) {
  char name[16];
  std::snprintf(name, sizeof name, "ldw%04d", i);
  return name;
}

TEST(LoadPass, AHeavilyInfectedMachineIsCleanedInOnePass) {
  platform::sim::Machine machine = platform::sim::MakeStandardMachine();
  machine.files.AddFolder("C:\\Saved");
  for (int i = 0; i < kWormNames; ++i) {
    const std::string n = WormName(i);
    for (const std::string& path :
         {"C:\\RECYCLER\\" + n + ".exe", "C:\\WINDOWS\\" + n + ".exe",
          "C:\\WINDOWS\\system32\\" + n + ".exe", "C:\\WINDOWS\\TEMP\\" + n + ".scr"}) {
      machine.files.AddTextFile(path, "worm " + path);
    }
  }
  for (int i = 0; i < kProcesses; ++i) {
    const bool worm = i % 20 == 0;
    machine.AddProcess(static_cast<std::uint32_t>(8000 + i * 4),
                       worm ? "C:\\WINDOWS\\" + WormName(i % kWormNames) + ".exe"
                            : "C:\\Program Files\\App\\p" + std::to_string(i) + ".exe");
  }
  for (int i = 0; i < kRunValues; ++i) {
    machine.registry.SetString("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                               "v" + std::to_string(i),
                               "c:\\program files\\app\\p" + std::to_string(i) + ".exe -run");
  }
  std::string hosts;
  for (int i = 0; i < kHostsLines; ++i) {
    hosts += i % (kHostsLines / kHijackLines) == 0
                 ? "127.0.0.1 www.symantec.com\r\n"
                 : "10.0." + std::to_string(i / 250 % 250) + "." + std::to_string(i % 250) +
                       " host" + std::to_string(i) + "\r\n";
  }
  machine.files.AddTextFile(kHosts, hosts);

  test::SimQuellix sim(std::move(machine));
  sim.host.folderChoice = "C:\\Saved";
  BuiltPhases phases;
  Session session(sim.platform, sim.host, sim.language, phases);
  for (int i = 0; i < kWormNames; ++i) session.InfectionNames.push_back(WormName(i));
  QuickSort(session.InfectionNames, 0,
            static_cast<std::int32_t>(session.InfectionNames.size()) - 1);
  StartButtonRun(session);

  EXPECT_EQ(sim.host.BoxNumbers(), (std::vector<double>{2, 5}));
  std::size_t wormsLeft = 0;
  std::size_t backups = 0;
  for (const auto& [key, node] : sim.machine.files.Nodes()) {
    if (node.path.find("ldw") != std::string::npos) {
      if (node.path.rfind("C:\\Saved\\", 0) == 0) {
        ++backups;
      } else {
        ++wormsLeft;
      }
    }
  }
  EXPECT_EQ(wormsLeft, 0u);
  EXPECT_EQ(backups, static_cast<std::size_t>(kWormNames * 4));
  std::size_t ended = 0;
  for (const auto& change : sim.machine.ChangesBy("TerminateProcess")) ended += change.result == 0;
  EXPECT_EQ(ended, static_cast<std::size_t>(kProcesses / 20));
  const auto* cleaned = sim.machine.files.FindPath(kHosts);
  ASSERT_NE(cleaned, nullptr);
  const std::string text(cleaned->contents.begin(), cleaned->contents.end());
  // The kept lines and the localhost line, which no kept line named.
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), kHostsLines - kHijackLines + 1);
  EXPECT_EQ(text.find("symantec"), std::string::npos);
}

}  // namespace
}  // namespace quellix
