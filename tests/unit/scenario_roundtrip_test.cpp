// Saving a machine and loading it back gives the same machine, and two saves
// of one machine before and after a run differ exactly by what the run did.
#include <gtest/gtest.h>

#if QLX_HAS_SCENARIOS

#include <string>
#include <vector>

#include "platform/sim/SimPlatform.h"
#include "platform/sim/SimText.h"
#include "platform/sim/scenario/Scenario.h"

namespace platform::sim {
namespace {

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(ScenarioRoundTrip, TheStandardMachineSurvivesSaveAndLoad) {
  const Machine original = MakeStandardMachine();
  const std::string saved = SaveScenario(original);
  const Machine loaded = LoadScenario(saved);
  EXPECT_EQ(SaveScenario(loaded), saved);
  EXPECT_EQ(loaded.processes.size(), original.processes.size());
  EXPECT_EQ(loaded.files.Nodes().size(), original.files.Nodes().size());
  EXPECT_TRUE(loaded.files.FindPath("C:\\pagefile.sys")->locked);
  EXPECT_EQ(loaded.FindService("Eventlog")->stopSucceeds, false);
}

TEST(ScenarioRoundTrip, AwkwardDataKeepsItsBytes) {
  Machine machine;
  machine.AddDrive('C', kDriveFixed);
  machine.AddDrive('E', kDriveRemovable, false);
  const std::string key = "HKCU\\Software\\Caf\xE9";
  machine.registry.SetValue(key, "no nul", kRegSz, {'4', '.', '2', '3'});
  machine.registry.SetValue(key, "inner nul", kRegSz, {'a', 0, 'b', 0});
  machine.registry.SetValue(key, "multi", kRegMultiSz, MultiStringData({"one", "", "three"}));
  machine.registry.SetValue(key, "binary", kRegBinary, {0x00, 0xFF, 0x10});
  machine.registry.SetValue(key, "big", 5, {0x12, 0x34, 0x56, 0x78});
  machine.registry.SetValue(key, "qword", 11, {1, 2, 3, 4, 5, 6, 7, 0x80});
  machine.registry.SetValue(key, "odd type", 0x20, {9});
  machine.registry.SetValue(key, "none", kRegNone, {});
  machine.registry.SetString(key, "", "default \x80 \x81 \xFF");
  machine.registry.SetDword(key, "dword", 0xFFFFFFFF);
  machine.registry.CreateKey("HKU\\.DEFAULT\\Empty");
  machine.files.AddFile("C:\\bin\\image.exe", {'M', 'Z', 0, 1, 2, 0xFF});
  machine.files.AddTextFile("C:\\unix.txt", "one\ntwo\n");
  machine.files.AddTextFile("C:\\dos.txt", "one\r\ntwo\r\n", 0);
  machine.files.AddTextFile("C:\\tail.txt", "no end",
                            kFileAttributeReadOnly | kFileAttributeHidden);
  machine.files.AddTextFile("C:\\empty.txt", "").locked = true;
  // A run log: UTF-16LE with its mark, CR LF lines, U+FFFE marks, text beyond
  // Windows-1252 and beyond the basic plane.
  std::vector<std::uint8_t> log = {0xFF, 0xFE};
  for (std::uint16_t unit : {0x0056, 0x000D, 0x000A, 0xFFFE, 0x4E2D, 0xD83D, 0xDE00, 0x0041}) {
    log.push_back(static_cast<std::uint8_t>(unit));
    log.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  machine.files.AddFile("C:\\Quellix Log.txt", log);
  machine.files.AddFile("C:\\lone surrogate.txt", {0xFF, 0xFE, 0x00, 0xD8});
  machine.files.AddFolder("C:\\RECYCLER").attributes |= kFileAttributeHidden;
  machine.files.AddFolder("C:\\Empty Folder");
  machine.AddProcess(2212, "C:\\bin\\image.exe").terminateSucceeds = false;
  machine.AddProcess(2213, "").openable = false;
  machine.services.push_back(Service{"svc", false, false, 2212});
  machine.AddResource("EEGG", 1, {'M', 'T', 'h', 'd', 0});
  machine.InjectFault("RegOpenKeyA", "HKCU\\*", 5, 2);
  machine.InjectFault("*", "", 112);
  machine.commandRules.push_back(CommandRule{"shutdown*", 1});
  machine.runningInstances.push_back("Quellix");
  machine.clock = LocalTime{2024, 2, 29, 23, 59, 58};
  machine.clockAdvanceSeconds = 3;
  machine.specialFolders[0x0B] = "C:\\Start Menu";
  machine.heldPrivileges = {"SeDebugPrivilege"};
  machine.changes.push_back(Change{"DeleteFileA", "C:\\x", "delete file", 5});
  machine.startedProcesses.push_back(StartedProcess{"shutdown.exe -r", 2, true, 4000, 1});
  machine.shellOpens.push_back(ShellOpen{"open", "http://x/", "", "", 1});
  machine.mciCommands.push_back("play midi");
  machine.nextPid = 4004;

  const std::string saved = SaveScenario(machine);
  const Machine loaded = LoadScenario(saved);
  EXPECT_EQ(SaveScenario(loaded), saved);

  const RegKey* loadedKey = loaded.registry.FindKey(key);
  ASSERT_NE(loadedKey, nullptr);
  EXPECT_EQ(loadedKey->name, "Caf\xE9");
  const RegKey* originalKey = machine.registry.FindKey(key);
  ASSERT_EQ(loadedKey->values.size(), originalKey->values.size());
  for (std::size_t i = 0; i < originalKey->values.size(); ++i) {
    EXPECT_EQ(loadedKey->values[i].name, originalKey->values[i].name);
    EXPECT_EQ(loadedKey->values[i].type, originalKey->values[i].type)
        << originalKey->values[i].name;
    EXPECT_EQ(loadedKey->values[i].data, originalKey->values[i].data)
        << originalKey->values[i].name;
  }
  EXPECT_NE(loaded.registry.FindKey("HKU\\.DEFAULT\\Empty"), nullptr);
  for (const auto& [path, node] : machine.files.Nodes()) {
    const FileNode* copy = loaded.files.Find(node.path);
    ASSERT_NE(copy, nullptr) << node.path;
    EXPECT_EQ(copy->contents, node.contents) << node.path;
    EXPECT_EQ(copy->attributes, node.attributes) << node.path;
    EXPECT_EQ(copy->locked, node.locked) << node.path;
  }
  EXPECT_FALSE(loaded.FindDrive('E')->ready);
  EXPECT_EQ(loaded.faults.size(), 2u);
  EXPECT_EQ(loaded.faults[0].times, 2);
  EXPECT_EQ(loaded.faults[1].times, -1);
  EXPECT_EQ(loaded.clock.day, 29);
  EXPECT_EQ(loaded.nextPid, 4004u);
  EXPECT_EQ(loaded.changes.size(), 1u);

  // Text is stored as UTF-8 in the file and read back into Windows-1252.
  EXPECT_TRUE(Contains(saved, "default \xE2\x82\xAC \xC2\x81 \xC3\xBF"));
  EXPECT_TRUE(Contains(saved, "\"lines\""));
  EXPECT_TRUE(Contains(saved, "\"utf16\": [\n")) << "a log is readable, line by line";
  EXPECT_TRUE(Contains(saved,
                       "\xE4\xB8\xAD\xF0\x9F\x98\x80"
                       "A"));
}

TEST(ScenarioRoundTrip, BeforeAndAfterSavesShowWhatARunChanged) {
  Machine machine = MakeStandardMachine();
  machine.files.AddTextFile("C:\\WINDOWS\\winmgrs.exe", "worm");
  machine.registry.SetString("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "winmgrs",
                             "c:\\windows\\winmgrs.exe");
  const std::string before = SaveScenario(machine);
  {
    SimPlatform platform(machine);
    platform.DeleteFileA("c:\\windows\\winmgrs.exe");
    HKey run = 0;
    platform.RegOpenKeyA(kHkeyLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                         &run);
    platform.RegDeleteValueA(run, "winmgrs");
    platform.RegCloseKey(run);
  }
  const std::string after = SaveScenario(machine);
  EXPECT_TRUE(Contains(before, "C:\\\\WINDOWS\\\\winmgrs.exe"));
  EXPECT_FALSE(Contains(after, "\"path\": \"C:\\\\WINDOWS\\\\winmgrs.exe\""));
  EXPECT_TRUE(Contains(before, "\"name\": \"winmgrs\""));
  EXPECT_FALSE(Contains(after, "\"name\": \"winmgrs\""));
  EXPECT_TRUE(Contains(after, "\"call\": \"RegDeleteValueA\""));

  // Undoing the two changes and the record brings the first save back.
  machine.files.AddTextFile("C:\\WINDOWS\\winmgrs.exe", "worm");
  machine.registry.SetString("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "winmgrs",
                             "c:\\windows\\winmgrs.exe");
  machine.changes.clear();
  EXPECT_EQ(SaveScenario(machine), before);
}

TEST(ScenarioRoundTrip, FilesCanBeWrittenAndReadBack) {
  const std::string path = testing::TempDir() + "qlx_scenario_roundtrip.json";
  const Machine machine = MakeStandardMachine();
  SaveScenarioFile(machine, path);
  const Machine loaded = LoadScenarioFile(path);
  EXPECT_EQ(SaveScenario(loaded), SaveScenario(machine));
  std::remove(path.c_str());
}

}  // namespace
}  // namespace platform::sim

#endif  // QLX_HAS_SCENARIOS
