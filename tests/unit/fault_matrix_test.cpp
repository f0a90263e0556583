// Every platform call that a removal pass makes, failing with each plausible
// error at its first, a middle and its last use, on an infected simulated
// machine. Each run must reach an ending, and whatever failed, the pass must
// never make things worse: no file deleted without a byte-identical backup,
// no registry value or key deleted that its ".reg" backup does not restore
// exactly, no hosts line lost that names no listed host, no spared process
// ended. The test prints the endings as a table (docs/reliability.md).
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "platform/RuntimeError.h"
#include "quellix/engine/detection/MD5Hash.h"
#include "quellix/engine/detection/ProcessJudging.h"
#include "quellix/engine/session/Session.h"
#include "quellix/engine/run/StartButton.h"
#include "tests/support/RegImport.h"
#include "tests/support/SimQuellix.h"
#include "tests/support/TestText.h"

namespace quellix {
namespace {

using platform::sim::Machine;

constexpr const char* kBackupFolder = "C:\\Saved";
constexpr const char* kHosts = "C:\\WINDOWS\\system32\\drivers\\etc\\hosts";
constexpr const char* kDigestWorm = "C:\\Program Files\\Tools\\zmsgr.exe";
constexpr const char* kDigestWormBytes = "a worm known by its digest";

Machine InfectedMachine() {
  Machine m = platform::sim::MakeStandardMachine();
  m.files.AddFolder(kBackupFolder);
  const std::uint32_t hiddenSystem =
      platform::kFileAttributeHidden | platform::kFileAttributeSystem;
  m.files.AddTextFile("C:\\WINDOWS\\system32\\msblast.exe", "worm by name", hiddenSystem);
  m.files.AddTextFile("C:\\RECYCLER\\msblast.exe", "worm by name, second copy");
  m.files.AddTextFile("C:\\WINDOWS\\winmgrs.exe", "run key worm");
  m.files.AddTextFile("C:\\WINDOWS\\avserve.exe", "service worm");
  m.files.AddTextFile(kDigestWorm, kDigestWormBytes);
  m.AddProcess(3000, kDigestWorm);
  m.AddProcess(3001, "C:\\WINDOWS\\system32\\msblast.exe");
  m.AddService("AvServe", "C:\\WINDOWS\\avserve.exe -service");
  m.registry.SetString("HKLM\\SYSTEM\\CurrentControlSet\\Services\\AvServe\\Enum", "0",
                       "Root\\LEGACY_AVSERVE\\0000");
  m.registry.SetString("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", "WinMgrs",
                       "C:\\WINDOWS\\winmgrs.exe -start");
  m.registry.SetString("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", "blast",
                       "c:\\windows\\system32\\msblast.exe");
  m.registry.SetDword("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System",
                      "DisableTaskMgr", 1);
  auto* hosts = m.files.FindPath(kHosts);
  const std::string hijack =
      "127.0.0.1 www.symantec.com\r\n# keep me\r\n10.1.2.3 intranet\n127.0.0.1 www.mcafee.com\r\n";
  hosts->contents.insert(hosts->contents.end(), hijack.begin(), hijack.end());
  return m;
}

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return text;
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
  return Lower(text).rfind(Lower(prefix), 0) == 0;
}

std::vector<std::string> LinesWithEndings(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end + 1;
    lines.push_back(text.substr(start, end - start));
    start = end;
  }
  return lines;
}

struct Outcome {
  std::string ending;                   // box 5, 6 or 8, "stop", or what went wrong
  bool failureShown = false;            // the details or the stop say that something failed
  std::vector<std::string> violations;  // broken promises
};

class Pass {
 public:
  Pass(const Machine& start, std::string digest, std::size_t usualFailureLines = 0)
      : start_(start),
        sim_(start),
        digest_(std::move(digest)),
        usualFailureLines_(usualFailureLines) {
    sim_.host.folderChoice = kBackupFolder;
  }

  // Lines that report a failure ("Unable ...", "... !!").
  std::size_t FailureLines() const {
    std::size_t count = 0;
    for (const auto& line : test::NonEmptyDetailLines(sim_.host.details)) {
      if (line.find("Unable") != std::string::npos || line.find("!!") != std::string::npos) ++count;
    }
    return count;
  }

  Machine& machine() { return sim_.machine; }
  test::RecordingHost& host() { return sim_.host; }

  Outcome Run() {
    BuiltPhases phases;
    Session session(sim_.platform, sim_.host, sim_.language, phases);
    session.KnownDigests.push_back(digest_);
    Outcome outcome;
    try {
      StartButtonRun(session);
      const auto boxes = sim_.host.BoxNumbers();
      outcome.ending = boxes.empty() ? "none" : std::to_string(static_cast<int>(boxes.back()));
      if (outcome.ending == "7") outcome.ending = "6";
      if (sim_.host.events.empty() || sim_.host.events.back() != "EnableGUI") {
        outcome.violations.push_back("the window was not made ready again");
      }
    } catch (const platform::RuntimeError&) {
      outcome.ending = "stop";
      outcome.failureShown = true;
    } catch (const std::exception& error) {
      outcome.ending = "crash";
      outcome.violations.push_back(std::string("escaped: ") + error.what());
    }
    outcome.failureShown = outcome.failureShown || FailureLines() > usualFailureLines_;
    CheckFiles(outcome);
    CheckRegistry(outcome, session.run);
    CheckHosts(outcome, session.frmMain.lstHostInfections);
    CheckProcesses(outcome, session.run);
    return outcome;
  }

  // The backup folder goes away with what it holds (a stick pulled out);
  // what it held still counts as saved.
  void RemoveBackupFolder() {
    for (const auto& [key, node] : sim_.machine.files.Nodes()) {
      if (StartsWithNoCase(node.path, std::string(kBackupFolder) + "\\")) removed_.push_back(node);
    }
    sim_.machine.files.RemovePath(kBackupFolder);
  }

 private:
  std::vector<const platform::sim::FileNode*> Backups() const {
    std::vector<const platform::sim::FileNode*> backups;
    for (const auto& node : removed_) backups.push_back(&node);
    for (const auto& [key, node] : sim_.machine.files.Nodes()) {
      if (StartsWithNoCase(node.path, std::string(kBackupFolder) + "\\")) backups.push_back(&node);
    }
    return backups;
  }

  void CheckFiles(Outcome& outcome) const {
    for (const auto& change : sim_.machine.ChangesBy("DeleteFileA")) {
      if (change.result != 0) continue;
      const auto* before = start_.files.FindPath(change.target);
      if (before == nullptr) continue;
      bool backedUp = false;
      for (const auto* backup : Backups())
        backedUp = backedUp || backup->contents == before->contents;
      if (!backedUp) outcome.violations.push_back("deleted without a backup: " + change.target);
    }
  }

  void CheckRegistry(Outcome& outcome, const RunValues&) const {
    platform::sim::Registry restored;
    for (const auto* backup : Backups()) {
      if (Lower(backup->path).size() < 4 ||
          Lower(backup->path).substr(backup->path.size() - 4) != ".reg") {
        continue;
      }
      if (!test::ImportRegFile(restored,
                               std::string(backup->contents.begin(), backup->contents.end()))) {
        outcome.violations.push_back("backup the editor cannot import: " + backup->path);
      }
    }
    for (const auto& change : sim_.machine.ChangesBy("RegDeleteValueA")) {
      if (change.result != 0) continue;
      const std::size_t slash = change.target.rfind('\\');
      const std::string key = change.target.substr(0, slash);
      const std::string name = change.target.substr(slash + 1);
      const auto* before = start_.registry.FindValue(key, name);
      const auto* after = restored.FindValue(key, name);
      if (before != nullptr &&
          (after == nullptr || after->type != before->type || after->data != before->data)) {
        outcome.violations.push_back("value not restored by its backup: " + change.target);
      }
    }
    for (const auto& change : sim_.machine.ChangesBy("RegDeleteKeyA")) {
      if (change.result != 0) continue;
      const auto* before = start_.registry.FindKey(change.target);
      const auto* after = restored.FindKey(change.target);
      if (before == nullptr) continue;
      bool same = after != nullptr && after->values.size() == before->values.size();
      for (const auto& value : before->values) {
        const auto* copy = after != nullptr ? after->FindValue(value.name) : nullptr;
        same = same && copy != nullptr && copy->type == value.type && copy->data == value.data;
      }
      if (!same) outcome.violations.push_back("key not restored by its backup: " + change.target);
    }
  }

  void CheckHosts(Outcome& outcome, const std::vector<std::string>& listed) const {
    const auto* before = start_.files.FindPath(kHosts);
    const auto* after = sim_.machine.files.FindPath(kHosts);
    if (before == nullptr) return;
    if (after == nullptr) {
      outcome.violations.push_back("the hosts file is gone");
      return;
    }
    const auto afterLines =
        LinesWithEndings(std::string(after->contents.begin(), after->contents.end()));
    std::size_t next = 0;
    for (const auto& line :
         LinesWithEndings(std::string(before->contents.begin(), before->contents.end()))) {
      bool names = false;
      for (const auto& host : listed) {
        names = names || (!host.empty() && Lower(line).find(Lower(host)) != std::string::npos);
      }
      if (names) continue;
      while (next < afterLines.size() && afterLines[next] != line) ++next;
      if (next == afterLines.size()) {
        outcome.violations.push_back("hosts line lost: " + line);
        return;
      }
      ++next;
    }
  }

  void CheckProcesses(Outcome& outcome, const RunValues& run) const {
    RunValues judged = run;
    judged.SystemDir = "c:\\windows\\system32";
    judged.WindowsDir = "c:\\windows";
    for (const auto& change : sim_.machine.ChangesBy("TerminateProcess")) {
      if (change.result != 0) continue;
      std::string path = Lower(change.target);
      const std::size_t colon = path.find(':');
      if (colon != std::string::npos && colon > 0) path = path.substr(colon - 1);
      const std::size_t slash = path.rfind('\\');
      const ProcessEntry entry{path.substr(slash + 1), 0, path.substr(0, slash + 1)};
      if (IsSpared(entry, judged, true))
        outcome.violations.push_back("spared process ended: " + path);
    }
  }

  const Machine& start_;
  test::SimQuellix sim_;
  std::string digest_;
  std::size_t usualFailureLines_;
  std::vector<platform::sim::FileNode> removed_;
};

std::string DigestOf(const std::string& bytes) {
  test::SimQuellix sim;
  return MD5Hash(sim.platform, sim.host).HashBytes({bytes.begin(), bytes.end()});
}

TEST(FaultMatrix, EveryCallFailingAnywhereNeverMakesThingsWorse) {
  const Machine start = InfectedMachine();
  const std::string digest = DigestOf(kDigestWormBytes);
  Pass baseline(start, digest);
  const Outcome clean = baseline.Run();
  const std::size_t usual = baseline.FailureLines();
  ASSERT_TRUE(clean.violations.empty()) << clean.violations.front();
  ASSERT_EQ(clean.ending, "5") << "the infected machine must be cleaned without faults";
  const std::map<std::string, long, std::less<>> uses = baseline.machine().callUses;

  const std::vector<std::pair<std::uint32_t, const char*>> errors = {
      {5, "access denied"}, {2, "not found"}, {32, "sharing violation"}, {112, "disk full"}};
  std::printf("| call | uses | %s | %s | %s | %s |\n|---|---|---|---|---|---|\n", errors[0].second,
              errors[1].second, errors[2].second, errors[3].second);
  int runs = 1;
  int shown = 0;
  int failed = 0;
  for (const auto& [call, count] : uses) {
    std::string row = "| " + call + " | " + std::to_string(count) + " |";
    for (const auto& [error, what] : errors) {
      std::string cell;
      std::vector<long> positions = {0};
      if (count / 2 > 0) positions.push_back(count / 2);
      if (count - 1 > count / 2) positions.push_back(count - 1);
      for (long skip : positions) {
        Pass pass(start, digest, usual);
        pass.machine().InjectFault(call, "", error, 1).skip = static_cast<int>(skip);
        const Outcome outcome = pass.Run();
        ++runs;
        if (outcome.ending != clean.ending) {
          ++failed;
          if (outcome.failureShown) ++shown;
        }
        cell += (cell.empty() ? " " : " ") + outcome.ending + (outcome.failureShown ? "*" : "");
        for (const auto& violation : outcome.violations) {
          ADD_FAILURE() << call << " failing with " << error << " after " << skip
                        << " uses: " << violation;
        }
      }
      row += cell + " |";
    }
    std::printf("%s\n", row.c_str());
  }

  // The backup folder vanishing before the run and in the middle of the sweep.
  for (const bool midway : {false, true}) {
    Pass pass(start, digest, usual);
    bool removed = false;
    if (!midway) pass.RemoveBackupFolder();
    pass.host().onDoEvents = [&]() {
      if (!midway || removed) return;
      if (pass.host().details.find(u"Looking For Virus Files") == std::u16string::npos) return;
      removed = true;
      pass.RemoveBackupFolder();
    };
    const Outcome outcome = pass.Run();
    ++runs;
    std::printf("| backup folder gone %s | | %s%s | | | |\n",
                midway ? "mid-sweep" : "before the run", outcome.ending.c_str(),
                outcome.failureShown ? "*" : "");
    for (const auto& violation : outcome.violations) {
      ADD_FAILURE() << "backup folder gone: " << violation;
    }
  }
  std::printf(
      "%d runs; %d ended otherwise than the clean pass, %d of them with the failure shown\n", runs,
      failed, shown);
}

}  // namespace
}  // namespace quellix
