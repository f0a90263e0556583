// Detection against the real API of the throw-away Wine prefix: CryptoAPI
// digests of real files, a stand-in worm process terminated or spared, worm
// files swept from their folders, and programs identified by their digest.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/Win32Platform.h"
#include "quellix/engine/system/AnsiText.h"
#include "quellix/engine/detection/MD5Hash.h"
#include "quellix/engine/session/Session.h"
#include "quellix/engine/cleanup/mdlProcesses.h"
#include "quellix/engine/detection/ProcessList.h"
#include "quellix/engine/detection/mdlSmartScan.h"
#include "quellix/lang/Language.h"
#include "tests/support/RecordingHost.h"
#include "tests/support/TestText.h"

namespace quellix {
namespace {

constexpr const char* kStandin = "C:\\qlxrun\\programs\\standin_worm.exe";

std::vector<std::uint8_t> Text(const std::string& text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

class DetectionOnWine : public testing::Test {
 protected:
  void SetUp() override {
    language.LoadLanguageTitles();
    language.LoadLanguage(7);
    std::string buffer(260, '\0');
    buffer.resize(platform.GetSystemDirectoryA(buffer));
    session.run.SystemDir = LowerAnsi(buffer);
    session.run.WindowsDir = session.run.SystemDir.substr(0, session.run.SystemDir.rfind('\\'));
    buffer.assign(260, '\0');
    buffer.resize(platform.GetTempPathA(buffer));
    session.run.TempDir = LowerAnsi(buffer);
    session.run.RootDir = session.run.TempDir.substr(0, 3);
    session.run.BackupDir = session.run.TempDir + "qlxdet backup\\";
    platform.CreateDirectoryA(session.run.BackupDir);
    EmptyFolder(session.run.BackupDir);
    session.KnownDigests.clear();
  }

  void EmptyFolder(const std::string& folder) {
    std::vector<platform::FindEntry> entries;
    if (!platform.FindFiles(folder + "*", &entries)) return;
    for (const auto& entry : entries) {
      if (entry.attributes & platform::kFileAttributeDirectory) continue;
      platform.SetFileAttributesA(folder + entry.name, platform::kFileAttributeNormal);
      platform.DeleteFileA(folder + entry.name);
    }
  }

  void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes,
                 std::uint32_t attributes = platform::kFileAttributeNormal) {
    platform.SetFileAttributesA(path, platform::kFileAttributeNormal);
    const auto file =
        platform.CreateFileA(path, platform::kGenericWrite, 0, platform::kCreateAlways, attributes);
    ASSERT_NE(file, platform::kInvalidHandleValue) << path << " error " << platform.GetLastError();
    std::uint32_t written = 0;
    ASSERT_TRUE(platform.WriteFile(file, bytes, &written));
    platform.CloseHandle(file);
    platform.SetFileAttributesA(path, attributes);
  }

  bool Exists(const std::string& path) {
    return platform.GetFileAttributesA(path) != platform::kInvalidFileAttributes;
  }

  // Starts the stand-in worm as the given program and waits until it is listed.
  std::uint32_t StartWorm(const std::string& path) {
    EXPECT_TRUE(platform.CopyFileA(kStandin, path, false))
        << path << " error " << platform.GetLastError();
    const std::uint32_t pid = platform.StartProcess("\"" + path + "\"", platform::kSwHide);
    EXPECT_NE(pid, 0u) << path << " error " << platform.GetLastError();
    for (int i = 0; i < 100 && !IsListed(pid); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return pid;
  }

  bool IsListed(std::uint32_t pid) {
    ProcessLists lists;
    EnumerateProcesses(session, lists);
    for (const auto& entry : lists.ProcessTable) {
      if (entry.PID == static_cast<std::int32_t>(pid)) return true;
    }
    return false;
  }

  void Stop(std::uint32_t pid) {
    const auto process = platform.OpenProcess(platform::kProcessAllAccess, false, pid);
    if (process == platform::kNullHandle) return;
    platform.TerminateProcess(process, 0);
    platform.CloseHandle(process);
  }

  // Deleting a file right after its program ended can meet the image still
  // mapped for a moment.
  void WaitUntilGone(const std::string& path) {
    for (int i = 0; i < 40 && Exists(path); ++i) {
      platform.DeleteFileA(path);
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }

  // Without the line for Wine's desktop program (an Explorer in system32,
  // which the pass names and leaves running): whether the desktop has
  // started by the time a case runs is up to Wine.
  std::vector<std::string> Lines() const {
    const std::string desktop =
        "Left c:\\windows\\system32\\explorer.exe running ...it holds the desktop, and every "
        "window with it";
    std::vector<std::string> lines;
    std::string line;
    for (char16_t unit : host.details) {
      if (unit == u'\uFFFE' || unit == u'\r') continue;
      if (unit == u'\n') {
        if (!line.empty() && line != desktop) lines.push_back(line);
        line.clear();
      } else {
        line += static_cast<char>(unit);
      }
    }
    if (!line.empty() && line != desktop) lines.push_back(line);
    return lines;
  }

  bool Logged(const std::string& text) const {
    const auto lines = Lines();
    return std::find(lines.begin(), lines.end(), text) != lines.end();
  }

  platform::win32::Win32Platform platform;
  test::RecordingHost host;
  lang::Language language{platform, host};
  BuiltPhases phases;
  Session session{platform, host, language, phases};
};

TEST_F(DetectionOnWine, CryptoApiDigestsOfRealFilesMatchMd5) {
  MD5Hash md5(platform, host);
  EXPECT_EQ(md5.HashBytes(Text("abc")), "900150983CD24FB0D6963F7D28E17F72");
  const std::string folder = session.run.TempDir;
  for (std::size_t size : {0u, 3u, 16384u, 16385u, 50000u}) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 13 + i / 97);
    const std::string path = folder + "qlxdet" + std::to_string(size) + ".bin";
    WriteFile(path, bytes);
    EXPECT_EQ(md5.HashFile(path), test::ReferenceMd5Text(bytes)) << size << " bytes";
    platform.DeleteFileA(path);
  }
  EXPECT_EQ(md5.HashFile(folder + "qlxdet missing.bin"), "");
}

TEST_F(DetectionOnWine, AWormProcessIsTerminatedAndItsFileSwept) {
  session.InfectionNames = {"qlxwormy"};
  const std::string path = session.run.TempDir + "qlxwormy.exe";
  const std::uint32_t pid = StartWorm(path);
  ASSERT_TRUE(IsListed(pid));
  EXPECT_TRUE(KillVirusProcesses(session));
  EXPECT_TRUE(Logged("qlxwormy.exe ...Terminated")) << testing::PrintToString(Lines());
  EXPECT_FALSE(IsListed(pid));
  EXPECT_TRUE(Exists(session.run.BackupDir + "qlxwormy.exe.back"));
  // Wine deviation: the image of a process that has just been terminated
  // may still be mapped when the sweep reaches it; Windows releases it with
  // the termination. The log then says "Unable To Remove" instead of "Removed".
  if (Exists(path)) {
    EXPECT_TRUE(Logged("Found " + path + " ...Unable To Remove!!"));
    WaitUntilGone(path);
  } else {
    EXPECT_TRUE(Logged("Found " + path + " ...Removed"));
  }
}

TEST_F(DetectionOnWine, TheSameNameRunningFromASparedFolderIsLeftAlone) {
  session.InfectionNames = {"firefox"};
  const std::string folder = "C:\\Program Files\\qlxdet firefox\\";
  platform.CreateDirectoryA(folder);
  const std::uint32_t pid = StartWorm(folder + "firefox.exe");
  ASSERT_TRUE(IsListed(pid));
  EXPECT_FALSE(KillVirusProcesses(session));
  EXPECT_TRUE(IsListed(pid));
  EXPECT_FALSE(Logged("firefox.exe ...Terminated"));
  Stop(pid);
  WaitUntilGone(folder + "firefox.exe");
}

TEST_F(DetectionOnWine, WormFilesAreBackedUpAndDeletedAlikeByBothSweeps) {
  const std::string w = session.run.WindowsDir + "\\";
  const std::string s = session.run.SystemDir + "\\";
  for (SweepStrategy strategy : {SweepStrategy::kLiteral, SweepStrategy::kListing}) {
    host.details.clear();
    EmptyFolder(session.run.BackupDir);
    session.InfectionNames = {"qlx sweep%", "qlx^two"};
    WriteFile(w + "qlx sweep%.exe", Text("one"));
    WriteFile(s + "qlx sweep%.scr", Text("two"), platform::kFileAttributeReadOnly);
    WriteFile(session.run.RootDir + "qlx^two.exe", Text("three"),
              platform::kFileAttributeHidden | platform::kFileAttributeReadOnly);
    WriteFile(session.run.BackupDir + "qlx^two.exe.back", Text("three"));
    KillVirusProcesses(session, strategy);
    const std::string label = strategy == SweepStrategy::kLiteral ? "literal" : "listing";
    EXPECT_EQ(
        Lines(),
        (std::vector<std::string>{
            "Looking For Virus Processes...", "Looking For Virus Files...",
            "Successfully backed up \"qlx sweep%.exe\"", "Found " + w + "qlx sweep%.exe ...Removed",
            "Successfully backed up \"qlx sweep%.scr\"", "Found " + s + "qlx sweep%.scr ...Removed",
            "Found " + session.run.RootDir + "qlx^two.exe ...Removed"}))
        << label;
    EXPECT_FALSE(Exists(w + "qlx sweep%.exe")) << label;
    EXPECT_FALSE(Exists(s + "qlx sweep%.scr")) << label;
    EXPECT_FALSE(Exists(session.run.RootDir + "qlx^two.exe")) << label;
    EXPECT_TRUE(Exists(session.run.BackupDir + "qlx sweep%.scr.back")) << label;
  }
}

TEST_F(DetectionOnWine, RunKeyAndAutorunProgramsAreIdentifiedLearnedAndDeleted) {
  const std::string runWorm = "C:\\qlxdet run\\runworm.exe";
  const std::string autoWorm = "C:\\autoworm.exe";
  platform.CreateDirectoryA("C:\\qlxdet run");
  WriteFile(runWorm, Text("run worm bytes"));
  WriteFile(autoWorm, Text("autorun worm bytes"));
  WriteFile("C:\\autorun.inf", Text("[autorun]\r\nopen=autoworm.exe -go\r\n"));
  {
    MD5Hash md5(platform, host);
    session.KnownDigests = {md5.HashBytes(Text("run worm bytes")),
                            md5.HashBytes(Text("autorun worm bytes"))};
  }
  platform::HKey key = 0;
  ASSERT_EQ(platform.RegCreateKeyA(platform::kHkeyCurrentUser,
                                   "Software\\Microsoft\\Windows\\CurrentVersion\\Run", &key),
            0);
  const std::string data = "\"" + runWorm + "\" -start";
  std::vector<std::uint8_t> bytes(data.begin(), data.end());
  bytes.push_back(0);
  platform.RegSetValueExA(key, "qlxdet", platform::kRegSz, bytes);

  session.frmMain.lstKeys.clear();
  SmartScan(session);
  platform.RegDeleteValueA(key, "qlxdet");
  platform.RegCloseKey(key);
  platform.DeleteFileA("C:\\autorun.inf");

  EXPECT_TRUE(Logged("runworm.exe ...Identified")) << testing::PrintToString(Lines());
  EXPECT_TRUE(Logged("c:\\autoworm.exe ...Identified")) << testing::PrintToString(Lines());
  const auto& names = session.InfectionNames;
  EXPECT_NE(std::find(names.begin(), names.end(), "runworm"), names.end());
  EXPECT_NE(std::find(names.begin(), names.end(), "autoworm"), names.end());

  KillVirusProcesses(session);
  EXPECT_FALSE(Exists(runWorm));
  EXPECT_FALSE(Exists(autoWorm));
  EXPECT_TRUE(Logged("Found c:\\qlxdet run\\runworm.exe ...Removed"));
  EXPECT_TRUE(Exists(session.run.BackupDir + "runworm.exe.back"));
}

// A digest list that names this very program and a Windows program leaves
// both running and in place, and still removes the worm it lists.
TEST_F(DetectionOnWine, ADigestListNamingThisProgramAndAWindowsProgramRemovesOnlyTheWorm) {
  std::string own;
  ASSERT_TRUE(platform.GetOwnModuleFileNameA(&own));
  const std::string notepad = session.run.SystemDir + "\\notepad.exe";
  const std::uint32_t notepadPid = platform.StartProcess("\"" + notepad + "\"", platform::kSwHide);
  ASSERT_NE(notepadPid, 0u) << platform.GetLastError();
  for (int i = 0; i < 100 && !IsListed(notepadPid); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  platform.CreateDirectoryA("C:\\qlxdet listed");
  const std::string worm = "C:\\qlxdet listed\\listedworm.exe";
  WaitUntilGone(worm);
  const std::uint32_t wormPid = StartWorm(worm);
  {
    MD5Hash md5(platform, host);
    session.KnownDigests = {md5.HashFile(own), md5.HashFile(notepad), md5.HashFile(worm)};
  }
  SmartScan(session);
  KillVirusProcesses(session);
  const auto lines = Lines();
  const bool notepadRuns = IsListed(notepadPid);
  Stop(notepadPid);
  SCOPED_TRACE(testing::PrintToString(lines));

  EXPECT_TRUE(notepadRuns);
  EXPECT_TRUE(Exists(notepad));
  EXPECT_TRUE(Exists(own));
  EXPECT_TRUE(Logged("Kept " + LowerAnsi(own) + " ...it is Quellix itself"));
  EXPECT_TRUE(Logged("Kept Windows system file " + notepad + " ...its contents match a worm"));
  const auto& names = session.InfectionNames;
  EXPECT_EQ(std::find(names.begin(), names.end(), "notepad"), names.end());
  EXPECT_NE(std::find(names.begin(), names.end(), "listedworm"), names.end());
  EXPECT_FALSE(IsListed(wormPid));
  EXPECT_FALSE(Exists(worm));
}

}  // namespace
}  // namespace quellix
