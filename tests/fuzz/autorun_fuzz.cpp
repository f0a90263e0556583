// The autorun.inf reader and name learning: whatever a stick's autorun.inf
// says, no learned worm name holds a path part; and StripArguments only ever
// cuts its text, without quotes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "quellix/engine/detection/MD5Hash.h"
#include "quellix/engine/detection/mdlSmartScan.h"
#include "tests/fuzz/FuzzMachine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string inf(reinterpret_cast<const char*>(data), size);
  quellix::fuzz::FuzzSession f;
  auto& machine = f.sim.machine;
  machine.AddDrive('E', platform::kDriveRemovable);
  // The same worm at several places a target may lead to.
  const std::string worm = "a worm on a stick";
  for (const char* path : {"E:\\w.exe", "E:\\a\\w.exe", "E:\\a\\b\\w.com", "C:\\WINDOWS\\w.exe",
                           "C:\\w.bat", "E:\\w w.cmd"}) {
    machine.files.AddTextFile(path, worm);
  }
  machine.files.AddFile("E:\\autorun.inf", std::vector<std::uint8_t>(inf.begin(), inf.end()));
  f.session.KnownDigests = {
      quellix::MD5Hash(f.sim.platform, f.sim.host).HashBytes({worm.begin(), worm.end()})};
  const auto before = f.session.InfectionNames;
  quellix::ScanAutorunFiles(f.session);
  for (const std::string& name : f.session.InfectionNames) {
    if (std::find(before.begin(), before.end(), name) != before.end()) continue;
    if (name.empty() || name.find_first_of("\\/:") != std::string::npos ||
        name.find("..") != std::string::npos) {
      quellix::fuzz::Broken("learned the name '" + name + "'");
    }
  }

  std::string unquoted = inf;
  unquoted.erase(std::remove(unquoted.begin(), unquoted.end(), '"'), unquoted.end());
  const std::string program = quellix::StripArguments(inf);
  if (unquoted.compare(0, program.size(), program) != 0) {
    quellix::fuzz::Broken("StripArguments did more than cut");
  }
  return 0;
}
