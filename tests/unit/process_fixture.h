// A Quellix session on a simulated Windows XP machine with the run values of
// that machine, for the detection tests: processes, file sweep and SmartScan.
#pragma once

#include <string>
#include <vector>

#include "platform/sim/SimMachine.h"
#include "quellix/engine/session/Session.h"
#include "tests/support/SimQuellix.h"

namespace quellix::test {

class DetectionFixture {
 public:
  explicit DetectionFixture(platform::sim::Machine machine = platform::sim::MakeStandardMachine())
      : sim(std::move(machine)), session(sim.platform, sim.host, sim.language, phases) {
    session.run.SystemDir = "c:\\windows\\system32";
    session.run.WindowsDir = "c:\\windows";
    session.run.TempDir = "c:\\windows\\temp\\";
    session.run.RootDir = "c:\\";
    session.run.BackupDir = "c:\\backup\\";
    sim.machine.files.AddFolder("C:\\backup");
  }

  // The details box as lines, without the U+FFFE marks and the empty line
  // that opens the box.
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    std::string line;
    bool any = false;
    for (char16_t unit : sim.host.details) {
      if (unit == u'\uFFFE' || unit == u'\r') continue;
      if (unit == u'\n') {
        if (any) lines.push_back(line);
        any = true;
        line.clear();
        continue;
      }
      any = true;
      line += static_cast<char>(unit);
    }
    if (any) lines.push_back(line);
    if (!lines.empty() && lines.front().empty()) lines.erase(lines.begin());
    return lines;
  }

  std::vector<std::uint8_t> Bytes(const std::string& path) const {
    const auto* node = sim.machine.files.FindPath(path);
    return node != nullptr ? node->contents : std::vector<std::uint8_t>{};
  }
  bool Exists(const std::string& path) const { return sim.machine.files.FindPath(path) != nullptr; }

  SimQuellix sim;
  BuiltPhases phases;
  Session session;
};

}  // namespace quellix::test
