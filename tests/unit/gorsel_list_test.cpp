// Gorsel's start-up, its suspect-process list and its registry helpers on the
// simulated machine.
#include <gtest/gtest.h>

#include "gorsel/ProcessFilter.h"
#include "gorsel/RegistryHelpers.h"
#include "platform/RuntimeError.h"
#include "tests/unit/gorsel_fixture.h"

namespace gorsel::test {
namespace {

using platform::sim::StringData;

TEST(GorselStartUp, WithoutLoadValueShowsOnlyTheUserAndListsNothing) {
  GorselMachine m;
  m.machine.userName = "Ayla";
  const Form1 form = m.Load();
  EXPECT_EQ(m.host.userName, "Ayla");
  EXPECT_EQ(form.loadValue(), "");
  EXPECT_TRUE(m.host.rows.empty());
  EXPECT_TRUE(m.system.CallsOf("EnumProcesses").empty());
  EXPECT_TRUE(m.host.boxes.empty());
}

TEST(GorselStartUp, UnreadableUserNameStopsStartUpWithTheSystemCode) {
  GorselMachine m;
  m.Infect();
  m.machine.InjectFault("GetUserNameA", "", 1332);
  Form1 form(m.system, m.host);
  try {
    form.Form_Load();
    FAIL() << "start-up went on";
  } catch (const platform::RuntimeError& error) {
    EXPECT_EQ(error.Number(), 1332);
    EXPECT_EQ(error.Description(), "A system call returned an error code of 1332");
  }
  EXPECT_EQ(form.loadValue(), "") << "start-up must not complete";
}

// The list holds the processes of the load value's program, in any case,
// with their ids, and nothing that merely contains the value; the ids come
// from a buffer that doubles until it is not full.
TEST(GorselStartUp, ListsTheProcessesOfTheLoadValuesProgram) {
  GorselMachine m;
  m.Infect(2500);
  m.machine.AddProcess(2510, "c:\\documents and settings\\user\\APPLICATION DATA\\WINLOGON.EXE");
  m.machine.AddProcess(2520, std::string(kImpostor) + ".old.exe");
  m.machine.AddProcess(2530, kImpostor).openable = false;
  m.machine.registry.SetString(kWindowsNtKey, "load",
                               std::string("\"") + kImpostor + "\" /background");
  const Form1 form = m.Load();
  ASSERT_EQ(m.host.rows.size(), 2u);
  EXPECT_EQ(m.host.rows[0].path, kImpostor);
  EXPECT_EQ(m.host.rows[0].pid, 2500u);
  EXPECT_EQ(m.host.rows[1].pid, 2510u);
  const std::size_t processes = m.machine.processes.size();
  std::vector<std::string> expected;
  std::uint32_t bytes = 16;
  for (;; bytes *= 2) {
    expected.push_back("EnumProcesses(" + std::to_string(bytes) + ")");
    if (processes * 4 < bytes) break;
  }
  EXPECT_EQ(m.system.CallsOf("EnumProcesses"), expected);
  EXPECT_EQ(m.system.CallsOf("OpenProcess").front(), "OpenProcess(1040, false, 0)");
  EXPECT_EQ(m.sim.OpenHandles(), std::vector<std::string>{});
}

// A load value that is a folder, a letter or a system program's path must
// not list (and so kill) the system's processes.
TEST(GorselStartUp, GeneralLoadValuesListNothingOfTheSystem) {
  for (const char* value : {"c:\\windows\\", "c:\\windows\\system32", "e", ".exe",
                            "C:\\WINDOWS\\system32\\winlogon.exe", "svchost.exe"}) {
    GorselMachine m;
    m.machine.registry.SetString(kWindowsNtKey, "load", value);
    m.Load();
    EXPECT_TRUE(m.host.rows.empty()) << value << " lists " << m.host.rows.size() << " processes, "
                                     << (m.host.rows.empty() ? "" : m.host.rows[0].path);
  }
}

TEST(GorselStartUp, OnWindows98TheListStaysEmptyAndSaysSo) {
  GorselMachine m;
  m.Infect();
  m.machine.platformId = platform::kPlatformWin32Windows;
  Form1 form = m.Load();
  form.RefreshProcessList();
  ASSERT_EQ(m.host.boxes.size(), 2u);
  EXPECT_EQ(m.host.boxes[1].text, "Windows 98 not yet supported");
  EXPECT_TRUE(m.host.rows.empty());
  EXPECT_TRUE(m.system.CallsOf("EnumProcesses").empty());
}

TEST(GorselKill, AFailedTerminationShowsTheSystemTextAndGoesOn) {
  GorselMachine m;
  m.Infect(2500);
  m.machine.AddProcess(2510, kImpostor).terminateSucceeds = false;
  m.machine.AddProcess(2520, kImpostor);
  Form1 form = m.Load();
  form.KillListedProcesses();
  ASSERT_EQ(m.host.boxes.size(), 1u);
  EXPECT_EQ(m.host.boxes[0].text, m.sim.FormatMessageA(platform::error::kAccessDenied));
  EXPECT_EQ(m.machine.FindProcess(2500), nullptr);
  EXPECT_NE(m.machine.FindProcess(2510), nullptr);
  EXPECT_EQ(m.machine.FindProcess(2520), nullptr);
  EXPECT_EQ(m.system.CallsOf("OpenProcess").back(), "OpenProcess(1048577, true, 2520)");
  // Each ended process is waited for, so that its program can be deleted next.
  EXPECT_EQ(m.system.CallsOf("WaitForSingleObject").size(), 2u);
}

TEST(GorselFilter, ProgramOfValueDropsQuotesAndArguments) {
  EXPECT_EQ(ProgramOfValue("\"C:\\a b\\w.exe\" -x"), "C:\\a b\\w.exe");
  EXPECT_EQ(ProgramOfValue("C:\\Documents and Settings\\u\\w.exe /s"),
            "C:\\Documents and Settings\\u\\w.exe");
  EXPECT_EQ(ProgramOfValue("  C:\\w.EXE"), "C:\\w.EXE");
  EXPECT_EQ(ProgramOfValue("c:\\windows\\ notes"), "c:\\windows\\");
  EXPECT_EQ(ProgramOfValue("\"\""), "");
}

TEST(GorselRegistry, EnumRegistryValuesReportsEmptyDataByNameAndNoValuesAsMinusOne) {
  GorselMachine m;
  std::vector<std::string> names;
  std::vector<std::string> values;
  m.machine.registry.CreateKey("HKCU\\Software\\Empty");
  EXPECT_EQ(
      EnumRegistryValues(m.system, platform::kHkeyCurrentUser, "Software\\Empty", &names, &values),
      -1);
  EXPECT_EQ(EnumRegistryValues(m.system, platform::kHkeyCurrentUser, "Software\\Missing", &names,
                               &values),
            -1);
  m.machine.registry.SetString("HKCU\\Software\\Two", "blank", "");
  const std::string longData(3000, 'x');
  m.machine.registry.SetString("HKCU\\Software\\Two", "long", longData);
  m.machine.registry.SetString("HKCU\\Software\\Two", "after", "c:\\after.exe");
  ASSERT_EQ(
      EnumRegistryValues(m.system, platform::kHkeyCurrentUser, "Software\\Two\\", &names, &values),
      2);
  EXPECT_EQ(names[0], "blank");
  EXPECT_EQ(values[0], "blank");
  EXPECT_EQ(values[1], longData) << "a long value is read whole";
  EXPECT_EQ(values[2], "c:\\after.exe") << "and the values after it are not lost";
}

TEST(GorselRegistry, ValuesNamedByHivePathsReadAndDeleteSilently) {
  GorselMachine m;
  m.machine.registry.SetString("HKLM\\Software\\Test", "v", "data");
  EXPECT_EQ(RegReadValue(m.system, "HKLM\\Software\\Test\\v"), "data");
  EXPECT_EQ(RegReadValue(m.system, "HKLM\\Software\\Test\\missing"), "");
  EXPECT_EQ(RegReadValue(m.system, "HKXX\\Software\\Test\\v"), "");
  RegDeleteValue(m.system, "HKLM\\Software\\Test\\missing");
  RegDeleteValue(m.system, "HKLM\\Software\\Test\\v");
  EXPECT_EQ(m.machine.registry.FindValue("HKLM\\Software\\Test", "v"), nullptr);
  EXPECT_EQ(m.sim.OpenHandles(), std::vector<std::string>{});
}

}  // namespace
}  // namespace gorsel::test
