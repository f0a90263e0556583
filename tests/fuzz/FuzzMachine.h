// What the fuzz targets share: a Quellix session on a fresh simulated machine,
// and the stop that turns a broken promise into a finding.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "quellix/engine/session/Session.h"
#include "tests/support/SimQuellix.h"

namespace quellix::fuzz {

struct FuzzSession {
  FuzzSession() : session(sim.platform, sim.host, sim.language, phases) {
    session.run.SystemDir = "c:\\windows\\system32";
    session.run.WindowsDir = "c:\\windows";
    session.run.TempDir = "c:\\windows\\temp\\";
    session.run.RootDir = "c:\\";
    session.run.BackupDir = "c:\\saved\\";
    sim.machine.files.AddFolder("C:\\saved");
  }
  test::SimQuellix sim;
  BuiltPhases phases;
  Session session;
};

[[noreturn]] inline void Broken(const std::string& promise) {
  std::fprintf(stderr, "broken: %s\n", promise.c_str());
  std::abort();
}

}  // namespace quellix::fuzz
