// Undoing a run: every shipped machine passed and then restored from its
// backup folder is the machine it was before, apart from the backup folder,
// the version record and what only ran (processes, services' running state);
// a damaged folder or a place taken again is reported item by item and
// nothing is overwritten; a second restore puts nothing back twice.
#include <gtest/gtest.h>

#if QLX_HAS_SCENARIOS
#include <algorithm>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "platform/restore/FileDigest.h"
#include "platform/restore/RestoreRecord.h"
#include "platform/sim/scenario/Scenario.h"
#include "quellix/engine/cleanup/BackupFiles.h"
#include "quellix/engine/run/StartButton.h"
#include "quellix/engine/session/RemovalPhases.h"
#include "quellix/engine/session/Session.h"
#include "quellix/restore/RestoreFolder.h"
#include "tests/support/SimQuellix.h"

namespace quellix {
namespace {

using nlohmann::json;
namespace record = platform::restore;

constexpr const char* kFolder = "C:\\Undo Here";
constexpr const char* kFolderSlash = "C:\\Undo Here\\";

platform::sim::Machine Shipped(const std::string& name, bool program64 = false) {
  auto machine =
      platform::sim::LoadScenarioFile(std::string(QLX_SOURCE_DIR) + "/scenarios/" + name);
  machine.program64 = program64;
  return machine;
}

struct Undo {
  explicit Undo(platform::sim::Machine machine) : sim(std::move(machine)) {
    sim.platform.CreateDirectoryA(kFolder);
    sim.host.folderChoice = kFolder;
  }

  void Pass() {
    BuiltPhases phases;
    Session session(sim.platform, sim.host, sim.language, phases);
    StartButtonRun(session);
  }

  restore::Summary Restore(const restore::Options& options = {}) {
    std::ostringstream out;
    const restore::Summary summary = restore::RestoreFolder(sim.platform, kFolder, options, out);
    output = out.str();
    return summary;
  }

  bool Printed(const std::string& start, const std::string& part) const {
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
      if (line.rfind(start, 0) == 0 && line.find(part) != std::string::npos) return true;
    }
    return false;
  }

  std::string Read(const std::string& path) {
    std::string bytes;
    record::ReadWholeFile(sim.platform, path, &bytes);
    return bytes;
  }

  void Write(const std::string& path, const std::string& bytes) {
    ASSERT_TRUE(WriteWholeFile(sim.platform, path,
                               std::vector<std::uint8_t>(bytes.begin(), bytes.end()), true));
  }

  test::SimQuellix sim;
  std::string output;
};

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// The saved machine without what a restore does not promise to give back:
// the backup folder, the version record, what ran, and the order in which a
// key lists its values (a value set anew is listed last). Every pass leaves
// the hosts file with normal attributes; only a pass that took lines out of
// it records them to be given back.
json Comparable(const platform::sim::Machine& machine, bool withHostsAttributes = true) {
  json saved = json::parse(platform::sim::SaveScenario(machine));
  saved.erase("record");
  saved.erase("processes");
  saved.erase("nextPid");
  for (json& service : saved["services"]) service.erase("running");
  json files = json::array();
  for (json file : saved["files"]) {
    if (Lower(file["path"]).rfind(Lower(kFolder), 0) == 0) continue;
    if (!withHostsAttributes && Lower(file["path"]) == "c:\\windows\\system32\\drivers\\etc\\hosts")
      file.erase("attributes");
    files.push_back(file);
  }
  saved["files"] = files;
  json keys = json::array();
  for (json key : saved["registry"]) {
    if (Lower(key["key"]).rfind("hkcu\\software\\quellix", 0) == 0) continue;
    if (key.contains("values")) {
      std::sort(key["values"].begin(), key["values"].end(),
                [](const json& a, const json& b) { return a["name"] < b["name"]; });
    }
    keys.push_back(key);
  }
  saved["registry"] = keys;
  return saved;
}

class RoundTrip : public ::testing::TestWithParam<std::pair<const char*, bool>> {};

TEST_P(RoundTrip, PassThenRestoreGivesBackTheMachineAndASecondRestoreChangesNothing) {
  Undo undo(Shipped(GetParam().first, GetParam().second));
  const platform::sim::Machine original = undo.sim.machine;
  undo.Pass();
  const bool hostsCleaned = !undo.Read(std::string(kFolderSlash) + "hosts.back").empty();
  const json before = Comparable(original, hostsCleaned);
  const bool removedSomething = Comparable(undo.sim.machine, hostsCleaned) != before;
  const restore::Summary first = undo.Restore();
  EXPECT_EQ(json::diff(before, Comparable(undo.sim.machine, hostsCleaned)), json::array())
      << undo.output;
  EXPECT_EQ(first.skipped + first.failed, 0) << undo.output;
  EXPECT_EQ(first.records, removedSomething ? 1 : 0);
  EXPECT_EQ(first.restored > 0, removedSomething);

  const restore::Summary second = undo.Restore();
  EXPECT_EQ(second.restored + second.skipped + second.failed, 0) << undo.output;
  EXPECT_EQ(json::diff(before, Comparable(undo.sim.machine, hostsCleaned)), json::array());
}

INSTANTIATE_TEST_SUITE_P(ShippedScenarios, RoundTrip,
                         ::testing::Values(std::make_pair("clean.json", false),
                                           std::make_pair("infected-demo.json", false),
                                           std::make_pair("windows64-infected.json", false),
                                           std::make_pair("windows64-infected.json", true)));

TEST(RestoreFaults, EachIsReportedNothingIsOverwrittenAndTheRestIsRestored) {
  Undo undo(Shipped("infected-demo.json"));
  undo.Pass();
  auto& platform = undo.sim.platform;
  const std::string folder = kFolderSlash;
  // A copy missing, a copy altered, a file and a value back in their places,
  // a destination that refuses the write, and the record's last item cut.
  ASSERT_TRUE(platform.DeleteFileA(folder + "winmgrs.exe.back"));
  undo.Write(folder + "msblast.exe.back", "not what was copied");
  undo.Write("C:\\WINDOWS\\system32\\mbsmon32.exe", "a newer program of the same name");
  platform::HKey run = 0;
  ASSERT_EQ(platform.RegOpenKeyA(platform::kHkeyCurrentUser,
                                 "Software\\Microsoft\\Windows\\CurrentVersion\\Run", &run),
            0);
  const std::string data = "c:\\program files\\mine.exe";
  ASSERT_EQ(platform.RegSetValueExA(run, "mbsmon32", platform::kRegSz,
                                    std::vector<std::uint8_t>(data.begin(), data.end())),
            0);
  platform.RegCloseKey(run);
  undo.sim.machine.faults.push_back({"CopyFileA", "*\\TEMP\\taskmon.exe", 5, -1, 0});
  const std::string recordPath = folder + record::kRecordStem + record::kRecordExtension;
  const std::string whole = undo.Read(recordPath);
  const auto lastLine = whole.rfind('\n', whole.size() - 2);
  ASSERT_NE(whole.find("\nhosts\t", lastLine), std::string::npos) << "the hosts item is last";
  ASSERT_TRUE(platform.DeleteFileA(recordPath));
  undo.Write(recordPath, whole.substr(0, lastLine + 20));

  const restore::Summary summary = undo.Restore();
  EXPECT_TRUE(undo.Printed("skipped: file c:\\windows\\winmgrs.exe", "missing")) << undo.output;
  EXPECT_TRUE(undo.Printed("skipped: file c:\\windows\\system32\\msblast.exe", "changed"));
  EXPECT_TRUE(undo.Printed("skipped: file c:\\windows\\system32\\mbsmon32.exe", "there again"));
  EXPECT_TRUE(undo.Printed("skipped: value \"mbsmon32\"", "there again"));
  EXPECT_TRUE(undo.Printed("failed: file c:\\windows\\temp\\taskmon.exe", "error 5"));
  EXPECT_TRUE(undo.Printed("skipped: Restore record.txt", "middle of an item"));
  EXPECT_EQ(summary.skipped, 5);
  EXPECT_EQ(summary.failed, 1);
  EXPECT_EQ(summary.restored, 9) << undo.output;

  EXPECT_EQ(undo.Read("C:\\WINDOWS\\system32\\mbsmon32.exe"), "a newer program of the same name");
  EXPECT_EQ(undo.Read("C:\\WINDOWS\\system32\\msblast.exe"), "");
  EXPECT_EQ(platform.GetFileAttributesA("C:\\WINDOWS\\winmgrs.exe"),
            platform::kInvalidFileAttributes);
  EXPECT_NE(platform.GetFileAttributesA("C:\\WINDOWS\\avserve.exe"),
            platform::kInvalidFileAttributes);
  EXPECT_EQ(undo.Read("C:\\WINDOWS\\system32\\drivers\\etc\\hosts").find("symantec"),
            std::string::npos);

  // Once the destination takes writes again, only what failed is put back.
  undo.sim.machine.faults.clear();
  const restore::Summary again = undo.Restore();
  EXPECT_EQ(again.restored, 1) << undo.output;
  EXPECT_TRUE(undo.Printed("restored: file c:\\windows\\temp\\taskmon.exe", ""));
  EXPECT_EQ(again.failed, 0);
}

TEST(RestoreSelection, DryRunChangesNothingOnlyTakesNamedItemsAndNewestRecordGoesFirst) {
  Undo undo(Shipped("infected-demo.json"));
  const platform::sim::Machine original = undo.sim.machine;
  undo.Pass();
  const auto changes = undo.sim.machine.changes.size();
  restore::Options options;
  options.dryRun = true;
  const restore::Summary dry = undo.Restore(options);
  EXPECT_EQ(dry.restored, 15) << undo.output;
  EXPECT_TRUE(undo.Printed("would restore: file c:\\windows\\winmgrs.exe", ""));
  EXPECT_EQ(undo.sim.machine.changes.size(), changes);

  options.dryRun = false;
  options.only = "WINMGRS";
  const restore::Summary only = undo.Restore(options);
  EXPECT_EQ(only.restored, 2) << undo.output;
  EXPECT_TRUE(undo.Printed("restored: file c:\\windows\\winmgrs.exe", ""));
  EXPECT_TRUE(undo.Printed("restored: value \"winmgrs\"", ""));
  EXPECT_EQ(undo.sim.platform.GetFileAttributesA("C:\\WINDOWS\\avserve.exe"),
            platform::kInvalidFileAttributes);

  // A later run into the same folder removes what was put back again; its
  // record is undone first, then what the first one still holds.
  undo.Pass();
  const restore::Summary all = undo.Restore();
  EXPECT_EQ(all.records, 2);
  EXPECT_EQ(all.restored, 15) << undo.output;
  std::istringstream lines(undo.output);
  std::string first;
  std::string second;
  std::getline(lines, first);
  std::getline(lines, second);
  EXPECT_EQ(first.rfind("restored: value \"winmgrs\"", 0), 0u) << undo.output;
  EXPECT_EQ(second, "restored: file c:\\windows\\winmgrs.exe");
  EXPECT_EQ(json::diff(Comparable(original), Comparable(undo.sim.machine)), json::array());
}

TEST(RestoreRecordFormat, EveryKindOfItemReadsBackAsWrittenWhateverItsText) {
  record::RemovedFile file{"c:\\a\tb%20\\x\r\n.exe", 0x27, 12345678901ull,
                           "0123456789ABCDEF0123456789ABCDEF", "x (2).back"};
  record::RemovedValue value{platform::kHkeyLocalMachine,
                             record::View::k32Bit,
                             "Software\\Run",
                             {"na\tme%", platform::kRegBinary, {0, 0x0A, 0xFF, 0x25}},
                             "v.reg"};
  record::RemovedKey key{platform::kHkeyUsers, record::View::kNative, "S\\svc", {}, "svc.reg"};
  key.entries = {
      {"", false, {}}, {"", true, {"", platform::kRegSz, {'a', 0}}}, {"sub\\deeper", false, {}}};
  record::RemovedHostsLines hosts{"c:\\hosts",
                                  3,
                                  "hosts.back",
                                  "",
                                  {{4, "127.0.0.1\tx", "\n"}, {9, "last", ""}},
                                  "127.0.0.1 localhost\r\n",
                                  true};
  std::string bytes = record::HeaderLine();
  for (const record::Item& item :
       {record::Item(file), record::Item(value), record::Item(key), record::Item(hosts)})
    bytes += record::ItemLine(item);
  bytes += record::RestoredLine(2) + "file\tbroken\n" + "value\tHKLM\t64\tcut";

  record::Record parsed;
  ASSERT_TRUE(record::ParseRecord(bytes, &parsed));
  ASSERT_EQ(parsed.items.size(), 5u);
  EXPECT_TRUE(parsed.cutOff);
  EXPECT_EQ(parsed.restored, std::set<std::size_t>{2});
  EXPECT_FALSE(parsed.items[4].readable);
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(parsed.items[i].readable) << i;
  const auto& f = std::get<record::RemovedFile>(parsed.items[0].item);
  EXPECT_EQ(std::tie(f.path, f.attributes, f.size, f.md5, f.copy),
            std::tie(file.path, file.attributes, file.size, file.md5, file.copy));
  const auto& v = std::get<record::RemovedValue>(parsed.items[1].item);
  EXPECT_EQ(std::tie(v.root, v.view, v.key, v.value.name, v.value.type, v.value.data, v.regFile),
            std::tie(value.root, value.view, value.key, value.value.name, value.value.type,
                     value.value.data, value.regFile));
  const auto& k = std::get<record::RemovedKey>(parsed.items[2].item);
  ASSERT_EQ(k.entries.size(), 3u);
  EXPECT_EQ(k.entries[1].value.data, key.entries[1].value.data);
  EXPECT_EQ(k.entries[2].subKey, "sub\\deeper");
  const auto& h = std::get<record::RemovedHostsLines>(parsed.items[3].item);
  ASSERT_EQ(h.removed.size(), 2u);
  EXPECT_EQ(std::tie(h.removed[0].index, h.removed[0].text, h.removed[1].ending, h.addedLine,
                     h.endingAdded),
            std::tie(hosts.removed[0].index, hosts.removed[0].text, hosts.removed[1].ending,
                     hosts.addedLine, hosts.endingAdded));

  EXPECT_FALSE(record::ParseRecord("Quellix restore record\t2\n", &parsed)) << "a later format";
  EXPECT_FALSE(record::ParseRecord("something else\n", &parsed));
}

}  // namespace
}  // namespace quellix

#endif
