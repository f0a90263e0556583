// Gorsel's start-up, its suspect-process list and its registry helpers on the
// simulated machine.
#include <gtest/gtest.h>

#include <chrono>

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

// A load value that is a folder, a letter, a program of the system folders
// in any spelling, a file Windows owns, or an interpreter with a script must
// not list (and so end) anything of Windows: the fix then ends and deletes
// none of it.
TEST(GorselStartUp, LoadValuesNamingWindowsListAndEndNothingOfIt) {
  const char* const values[] = {
      "c:\\windows\\", "c:\\windows\\system32", "e", ".exe", "svchost.exe",
      "C:\\WINDOWS\\system32\\winlogon.exe", "C:\\WINDOWS\\system32\\plugplay.exe -s",
      "C:\\WINDOWS\\system32\\wbem\\wmiadap.exe", "C:\\WINDOWS\\SysWOW64\\plugplay.exe",
      "C:\\WINDOWS\\Temp\\..\\system32\\plugplay.exe", "C:\\WINDOWS\\Explorer.EXE",
      "wscript.exe \"C:\\Documents and Settings\\User\\My Documents\\x.vbs\"",
      "cmd.exe /c start x.bat", "\"C:\\Program Files\\Java\\bin\\javaw.exe\" -jar x.jar",
      "\"C:\\Program Files\\Internet Explorer\\iexplore.exe\" http://x.example/",
      // Gorsel itself: a value may name any program.
      "\"C:\\Documents and Settings\\User\\Desktop\\quellix.exe\""};
  for (const char* value : values) {
    GorselMachine m;
    ASSERT_EQ(m.machine.programPath, "C:\\Documents and Settings\\User\\Desktop\\quellix.exe");
    m.machine.files.AddTextFile(m.machine.programPath, "MZ gorsel");
    m.machine.AddProcess(m.machine.programPid, m.machine.programPath);
    m.machine.windows64 = true;
    m.machine.AddProcess(3000, "C:\\WINDOWS\\system32\\plugplay.exe");
    m.machine.AddProcess(3001, "C:\\WINDOWS\\system32\\plugplay.exe");
    m.machine.AddProcess(3002, "C:\\WINDOWS\\SysWOW64\\plugplay.exe");
    m.machine.AddProcess(3003, "C:\\WINDOWS\\system32\\wbem\\wmiadap.exe");
    m.machine.AddProcess(3004, "C:\\WINDOWS\\system32\\wscript.exe");
    m.machine.AddProcess(3005, "C:\\WINDOWS\\system32\\cmd.exe");
    m.machine.AddProcess(3006, "C:\\Program Files\\Java\\bin\\javaw.exe");
    // Windows says it owns this one, outside its folders.
    m.machine.AddProcess(3007, "C:\\Program Files\\Internet Explorer\\iexplore.exe");
    for (const char* file :
         {"C:\\WINDOWS\\system32\\plugplay.exe", "C:\\WINDOWS\\SysWOW64\\plugplay.exe",
          "C:\\WINDOWS\\system32\\wbem\\wmiadap.exe"}) {
      m.machine.files.AddTextFile(file, "MZ");
    }
    m.machine.registry.SetString(kWindowsNtKey, "load", value);
    const std::size_t processes = m.machine.processes.size();
    Form1 form = m.Load();
    EXPECT_TRUE(m.host.rows.empty()) << value << " lists " << m.host.rows.size() << " processes, "
                                     << (m.host.rows.empty() ? "" : m.host.rows[0].path);
    form.doFix_Click();
    EXPECT_EQ(m.machine.processes.size(), processes) << value;
    EXPECT_NE(m.machine.files.FindPath(m.machine.programPath), nullptr) << value;
    for (const auto& change : m.machine.changes) {
      EXPECT_EQ(change.target.find("plugplay"), std::string::npos) << value << ": " << change.call;
    }
  }
  for (const char* host : {"wscript.exe \"C:\\x.vbs\"", "cmd.exe /c x", "javaw -jar x.jar"}) {
    GorselMachine m;
    m.machine.registry.SetString(kWindowsNtKey, "load", host);
    const Form1 form = m.Load();
    EXPECT_NE(form.text1().find("Gorsel ends none of its processes"), std::string::npos) << host;
  }
}

// Names are ended with the processes they started, but never a process that
// only holds an ended parent's id, nor a child that is Windows' own; and a
// listed id is ended only while it still names the listed image.
TEST(GorselKill, ChildrenMustBeYoungerAndIdsStillTheirs) {
  GorselMachine m;
  m.machine.AddProcess(2650, "C:\\Program Files\\Editor\\editor.exe").parentPid = 2600;
  m.machine.AddProcess(2600, "C:\\myspace.com.exe");
  m.machine.AddProcess(2601, "C:\\Temp\\child.exe").parentPid = 2600;
  m.machine.AddProcess(2602, "C:\\WINDOWS\\explorer.exe").parentPid = 2600;
  m.Infect(2500);
  Form1 form = m.Load();
  ASSERT_EQ(m.host.rows.size(), 1u);
  form.doFix_Click();
  EXPECT_EQ(m.machine.FindProcess(2600), nullptr);
  EXPECT_EQ(m.machine.FindProcess(2601), nullptr);
  EXPECT_NE(m.machine.FindProcess(2650), nullptr) << "older than the worm: not its child";
  EXPECT_NE(m.machine.FindProcess(2602), nullptr) << "Windows' own";

  GorselMachine reused;
  reused.Infect(2500);
  Form1 listed = reused.Load();
  ASSERT_EQ(reused.host.rows.size(), 1u);
  reused.machine.AddProcess(2500, "C:\\Program Files\\Editor\\editor.exe");
  listed.KillListedProcesses();
  EXPECT_NE(reused.machine.FindProcess(2500), nullptr);
  EXPECT_TRUE(reused.host.boxes.empty());
}

// Without the system folder nothing can be judged: nothing is listed, and
// the fix changes nothing and says why.
TEST(GorselFix, WithoutTheSystemFolderTheFixDoesNothingAndSaysWhy) {
  GorselMachine m;
  m.machine.InjectFault("GetSystemDirectoryA", "", platform::error::kAccessDenied);
  m.machine.registry.SetString(kWindowsNtKey, "load", "C:\\WINDOWS\\system32\\winlogon.exe");
  m.machine.AddProcess(2700, "C:\\WINDOWS\\system32\\systray.exe");
  Form1 form = m.Load();
  EXPECT_TRUE(m.host.rows.empty());
  form.doFix_Click();
  EXPECT_EQ(m.Changes(), std::vector<std::string>{});
  ASSERT_EQ(m.host.boxes.size(), 1u);
  EXPECT_NE(m.host.boxes[0].text.find("Nothing was changed"), std::string::npos);
}

// A 900 KB value costs its length once, not its length squared per process.
TEST(GorselStartUp, AHugeLoadValueIsReadInLinearTime) {
  GorselMachine m;
  std::string huge;
  while (huge.size() < 900000) huge += "C:\\Temp\\a b ";
  m.machine.registry.SetString(kWindowsNtKey, "load", huge);
  const auto start = std::chrono::steady_clock::now();
  m.Load();
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_LT(elapsed, std::chrono::seconds(2));
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
  EXPECT_EQ(m.system.CallsOf("OpenProcess").back(), "OpenProcess(1049617, true, 2520)");
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
  m.machine.registry.SetString("HKCU\\Software\\Two", "last", "c:\\last.exe");
  // The long value changes between its two reads: it is passed over alone.
  m.machine.InjectFault("RegEnumValueA", "*\\Two", platform::error::kMoreData, 1).skip = 2;
  ASSERT_EQ(
      EnumRegistryValues(m.system, platform::kHkeyCurrentUser, "Software\\Two\\", &names, &values),
      2);
  EXPECT_EQ(names[1], "after");
  EXPECT_EQ(values[2], "c:\\last.exe");
  ASSERT_EQ(
      EnumRegistryValues(m.system, platform::kHkeyCurrentUser, "Software\\Two\\", &names, &values),
      3);
  EXPECT_EQ(names[0], "blank");
  EXPECT_EQ(values[0], "blank");
  EXPECT_EQ(values[1], longData) << "a long value is read whole";
  EXPECT_EQ(values[2], "c:\\after.exe") << "and the values after it are not lost";
  EXPECT_EQ(values[3], "c:\\last.exe");
}

// A value or a file that cannot be saved first is not deleted (a file keeps
// the marks the fix took from it), and the final box counts each once,
// whatever the passes that tried it.
TEST(GorselRegistry, ValuesAndFilesAreDeletedOnlyOnceSaved) {
  GorselMachine m;
  m.Infect();
  const std::string link =
      "C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Startup\\winlogon.lnk";
  const std::uint32_t marks = platform::kFileAttributeHidden | platform::kFileAttributeSystem;
  m.machine.files.AddTextFile(link, "lnk", marks);
  m.machine.files.AddTextFile("c:\\myspace.com.exe", "MZ");
  m.machine.InjectFault("CreateFileA", "*.reg", platform::error::kAccessDenied);
  m.machine.InjectFault("CopyFileA", "*.exe", platform::error::kDiskFull);
  m.machine.InjectFault("CopyFileA", "*.lnk", platform::error::kDiskFull);
  Form1 form = m.Load();
  form.doFix_Click();
  EXPECT_NE(m.machine.registry.FindValue(kWindowsNtKey, "load"), nullptr);
  for (const std::string& kept :
       {std::string(kImpostor), link, std::string("c:\\myspace.com.exe")}) {
    EXPECT_NE(m.machine.files.FindPath(kept), nullptr) << kept;
  }
  EXPECT_EQ(m.machine.files.FindPath(link)->attributes, marks);
  ASSERT_FALSE(m.host.boxes.empty());
  EXPECT_NE(m.host.boxes.back().text.find("1 value(s) could not be saved"), std::string::npos);
  EXPECT_NE(m.host.boxes.back().text.find(" 3 file(s) could not be copied and were left in place."),
            std::string::npos)
      << m.host.boxes.back().text;
}

TEST(GorselRegistry, ValuesNamedByHivePathsReadSilently) {
  GorselMachine m;
  m.machine.registry.SetString("HKLM\\Software\\Test", "v", "data");
  EXPECT_EQ(RegReadValue(m.system, "HKLM\\Software\\Test\\v"), "data");
  EXPECT_EQ(RegReadValue(m.system, "HKLM\\Software\\Test\\missing"), "");
  EXPECT_EQ(RegReadValue(m.system, "HKXX\\Software\\Test\\v"), "");
  EXPECT_EQ(m.sim.OpenHandles(), std::vector<std::string>{});
}

TEST(GorselButtons, OpenThePublishersPages) {
  GorselMachine m;
  Form1 form = m.Load();
  form.Command1_Click();
  form.Command2_Click();
  form.Form_Unload();
  ASSERT_EQ(m.machine.shellOpens.size(), 3u);
  EXPECT_EQ(m.machine.shellOpens[0].file, "http://www.quellix.example/gorsel/");
  EXPECT_EQ(m.machine.shellOpens[1].file, "http://www.quellix.example/");
  EXPECT_EQ(m.machine.shellOpens[2].file, "http://www.quellix.example/gorsel/thanks/");
  for (const auto& open : m.machine.shellOpens) EXPECT_EQ(open.verb, "open");
  ASSERT_EQ(m.host.boxes.size(), 1u);
  EXPECT_NE(m.host.boxes[0].text.find("leave a comment"), std::string::npos);
}

}  // namespace
}  // namespace gorsel::test
