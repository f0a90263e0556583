// Undoing a Gorsel fix: an infected machine fixed by Gorsel and then restored
// from Gorsel's backup folder by the restore command's logic has every file
// and value it deleted and its hosts file back, on a 32-bit Windows and on a
// 64-bit one where a 32-bit Gorsel deleted the 32-bit programs' values and
// files and a 64-bit restore puts them back; a record that cannot be written
// stops nothing and is named in the last box.
#include <gtest/gtest.h>

#if QLX_HAS_SCENARIOS
#include <algorithm>
#include <cstring>
#include <nlohmann/json.hpp>
#include <sstream>

#include "gorsel/Paths.h"
#include "platform/sim/scenario/Scenario.h"
#include "quellix/restore/RestoreFolder.h"
#include "tests/unit/gorsel_fixture.h"

namespace gorsel::test {
namespace {

using nlohmann::json;

constexpr const char* kBackupFolder = "c:\\windows\\system32\\drivers\\etc";
constexpr const char* kEtc = "c:\\windows\\system32\\drivers\\etc\\";
constexpr const char* kRecord = "c:\\windows\\system32\\drivers\\etc\\Restore record.txt";
// Kept apart for 32-bit programs on a 64-bit Windows, like the Run keys.
constexpr const char* kWindowsNt = "Microsoft\\Windows NT\\CurrentVersion\\Windows";
constexpr const char* kRun = "Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kRunServices = "Microsoft\\Windows\\CurrentVersion\\RunServices";
constexpr const char* kDocumentsProgram =
    "C:\\Documents and Settings\\User\\My Documents\\pics.exe";
constexpr const char* kStartup =
    "C:\\Documents and Settings\\User\\Start Menu\\Programs\\Startup\\";
constexpr std::uint32_t kHiddenSystem = platform::kFileAttributeHidden |
                                        platform::kFileAttributeSystem |
                                        platform::kFileAttributeArchive;
// Two worm lines among the sample lines (which hold "#" twice), the last
// line without its line break.
constexpr const char* kWormLines =
    "127.0.0.1 www.windowsupdate.com\r\n"
    "\r\n"
    "10.0.0.66 login.live.com";

// A key of HKLM\Software as a 32-bit program sees it.
std::string Hklm32(const platform::sim::Machine& machine, const std::string& below) {
  return std::string("HKLM\\Software\\") + (machine.windows64 ? "Wow6432Node\\" : "") + below;
}

// The file a 32-bit program reaches as C:\WINDOWS\system32\name.
std::string System32(const platform::sim::Machine& machine, const std::string& name) {
  return (machine.windows64 ? machine.SystemWow64Directory()
                            : std::string("C:\\WINDOWS\\system32")) +
         "\\" + name;
}

// Every value the fix deletes, of several types, and its files of each kind
// (shortcuts and a library with marks, two programs of one name); on a
// 64-bit Windows the 64-bit programs' keys hold values of the same names,
// which a 32-bit Gorsel never sees.
void InfectEverywhere(GorselMachine& m) {
  m.Infect();
  platform::sim::Machine& machine = m.machine;
  machine.registry.SetValue(kWindowsNtKey, "run", platform::kRegBinary, {0x00, 0xFF, 0x10});
  machine.registry.SetExpandString(Hklm32(machine, kWindowsNt), "load", "%windir%\\ctech.exe");
  machine.registry.SetDword(Hklm32(machine, kWindowsNt), "run", 7);
  machine.registry.SetString(Hklm32(machine, kRun), "SystemTray", "c:\\SysTray.exe");
  machine.registry.SetString(Hklm32(machine, kRun), "WINDOWS SYSTEM", "c:\\ws.exe");
  machine.registry.SetString(Hklm32(machine, kRunServices), "WINDOWS SYSTEM", "c:\\ws.exe");
  machine.registry.SetString(Hklm32(machine, kRun), "m", kDocumentsProgram);
  machine.registry.SetString(kHkcuRun, "curb iso", "c:\\x.exe");
  machine.registry.SetString(kHkcuRun, "pics", std::string("\"") + kDocumentsProgram + "\" -s");
  if (machine.windows64) {
    machine.registry.SetString(std::string("HKLM\\Software\\") + kRun, "SystemTray", "64-bit");
  }
  machine.files.AddTextFile(std::string(kStartup) + "winlogon.lnk", "lnk", kHiddenSystem);
  machine.files.AddTextFile(std::string(kStartup) + "services.lnk", "services");
  machine.files.AddTextFile("c:\\myspace.com.exe", "MZ myspace");
  machine.files.AddTextFile("C:\\WINDOWS\\msnmsg.exe", "MZ msnmsg");
  machine.files.AddTextFile(System32(machine, "msnmsg.exe"), "MZ other msnmsg");
  machine.files.AddTextFile(System32(machine, "sysrcvr246.dll"), "MZ dll", kHiddenSystem);
  platform::sim::FileNode* hosts = machine.files.FindPath(kHosts);
  hosts->contents.insert(hosts->contents.end(), kWormLines, kWormLines + std::strlen(kWormLines));
  hosts->attributes = platform::kFileAttributeReadOnly | platform::kFileAttributeHidden;
}

// The machine as a restore gives it back: without what only ran, the files
// the fix left in its backup folder, and the order in which a key lists its
// values (a value set anew is listed last).
json Comparable(const platform::sim::Machine& machine, const platform::sim::Machine& original) {
  json saved = json::parse(platform::sim::SaveScenario(machine));
  saved.erase("record");
  saved.erase("processes");
  saved.erase("nextPid");
  json files = json::array();
  for (const json& file : saved["files"]) {
    const std::string path = LowerCase(file["path"].get<std::string>());
    if (path.rfind(kEtc, 0) == 0 && original.files.FindPath(path) == nullptr) continue;
    files.push_back(file);
  }
  saved["files"] = files;
  for (json& key : saved["registry"]) {
    if (!key.contains("values")) continue;
    std::sort(key["values"].begin(), key["values"].end(),
              [](const json& a, const json& b) { return a["name"] < b["name"]; });
  }
  return saved;
}

TEST(GorselRestore, AFixIsUndoneByTheRestoreOfItsBackupFolder) {
  for (const bool windows64 : {false, true}) {
    GorselMachine m;
    m.machine.windows64 = windows64;
    InfectEverywhere(m);
    const platform::sim::Machine original = m.machine;
    Form1 form = m.Load();
    form.doFix_Click();
    for (const std::string& deleted :
         {std::string(kImpostor), std::string(kStartup) + "winlogon.lnk",
          System32(m.machine, "msnmsg.exe"), System32(m.machine, "sysrcvr246.dll")}) {
      ASSERT_EQ(m.machine.files.FindPath(deleted), nullptr) << deleted;
    }
    ASSERT_FALSE(m.host.boxes.empty());
    EXPECT_EQ(m.host.boxes.back().text.find("could not be written to"), std::string::npos)
        << m.host.boxes.back().text;
    EXPECT_NE(m.machine.files.FindPath(std::string(kEtc) + "How to undo this run.txt"), nullptr);

    // The restore is the 64-bit quellix-pass on a 64-bit Windows: only the
    // record's views lead it to the 32-bit programs' keys.
    m.machine.program64 = windows64;
    std::ostringstream out;
    const quellix::restore::Summary summary =
        quellix::restore::RestoreFolder(m.sim, kBackupFolder, {}, out);
    m.machine.program64 = false;
    EXPECT_EQ(json::diff(Comparable(original, original), Comparable(m.machine, original)),
              json::array())
        << "64-bit Windows: " << windows64 << "\n"
        << out.str();
    // Ten values, the hosts file and seven files.
    EXPECT_EQ(summary.restored, 18) << out.str();
    EXPECT_EQ(summary.skipped + summary.failed, 0) << out.str();
  }
}

// The fix goes on without its record, and the last box says which removals
// cannot be undone by the restore command.
TEST(GorselRestore, ARecordThatCannotBeWrittenStopsNothingAndIsSaid) {
  GorselMachine m;
  InfectEverywhere(m);
  m.machine.InjectFault("CreateFileA", "*Restore record*", platform::error::kDiskFull);
  Form1 form = m.Load();
  form.doFix_Click();
  EXPECT_EQ(m.machine.registry.FindValue(kHkcuRun, "curb iso"), nullptr);
  EXPECT_EQ(m.machine.registry.FindValue(kHkcuRun, "pics"), nullptr);
  ASSERT_NE(m.machine.files.FindPath(kHosts), nullptr);
  EXPECT_EQ(std::string(m.machine.files.FindPath(kHosts)->contents.begin(),
                        m.machine.files.FindPath(kHosts)->contents.end())
                .find("www.windowsupdate.com"),
            std::string::npos);
  ASSERT_FALSE(m.host.boxes.empty());
  const std::string last = m.host.boxes.back().text;
  EXPECT_NE(last.find("18 removal(s) could not be written to " + std::string(kRecord)),
            std::string::npos)
      << last;
}

}  // namespace
}  // namespace gorsel::test
#endif
