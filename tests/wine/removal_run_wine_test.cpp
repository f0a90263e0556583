// A removal pass against the real API of the throw-away Wine prefix: the run
// log and the version record are written for real and read back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/Win32Platform.h"
#include "quellix/engine/session/Session.h"
#include "quellix/engine/run/StartButton.h"
#include "quellix/lang/Language.h"
#include "tests/support/RecordingHost.h"
#include "tests/support/RunLog.h"

#include <windows.h>

namespace quellix {
namespace {

std::string TempFolder(platform::Platform& platform) {
  std::string buffer(260, '\0');
  const auto length = platform.GetTempPathA(buffer);
  return buffer.substr(0, length);
}

class RemovalRunOnWine : public testing::Test {
 protected:
  void SetUp() override {
    backupDir = TempFolder(platform) + "qlx-wine-run";
    platform.CreateDirectoryA(backupDir);
    for (const auto& stale : ListLogs()) platform.DeleteFileA(backupDir + "\\" + stale);
    host.folderChoice = backupDir;
    language.LoadLanguageTitles();
    language.LoadLanguage(7);
    // Wine keeps its desktop program in the system folder as well as in the
    // Windows folder. No Windows of either bitness has an Explorer there, so
    // a pass judges that copy a worm's: a clean machine is one without it.
    // It is set aside for the case and put back for the window tests.
    systemExplorer = SystemFolder() + "\\explorer.exe";
    setAside = TempFolder(platform) + "qlx-wine-explorer.exe";
    DeleteFileA(setAside.c_str());
    explorerSetAside = MoveFileExA(systemExplorer.c_str(), setAside.c_str(), 0) != 0;
  }

  void TearDown() override {
    if (explorerSetAside) MoveFileExA(setAside.c_str(), systemExplorer.c_str(), 0);
  }

  std::string SystemFolder() {
    std::string buffer(260, '\0');
    const auto length = platform.GetSystemDirectoryA(buffer);
    return buffer.substr(0, length);
  }

  std::vector<std::string> ListLogs() {
    std::vector<platform::FindEntry> entries;
    std::vector<std::string> names;
    if (platform.FindFiles(backupDir + "\\Quellix Log *.txt", &entries)) {
      for (const auto& entry : entries) names.push_back(entry.name);
    }
    return names;
  }

  platform::win32::Win32Platform platform;
  test::RecordingHost host;
  lang::Language language{platform, host};
  BuiltPhases phases;
  std::string backupDir;
  std::string systemExplorer;
  std::string setAside;
  bool explorerSetAside = false;
};

TEST_F(RemovalRunOnWine, CleanMachineWritesTheLogAndTheVersionRecord) {
  Session session(platform, host, language, phases);
  StartButtonRun(session);

  EXPECT_EQ(host.BoxNumbers(), (std::vector<double>{2, 6, 7}));
  EXPECT_EQ(session.run.BackupDir, backupDir + "\\");

  const auto logs = ListLogs();
  ASSERT_EQ(logs.size(), 1u) << "one run log in " << backupDir;
  const auto bytes = test::ReadWholeFile(platform, backupDir + "\\" + logs[0]);
  // "Done!" is written after the log was closed, so the log ends before it.
  const auto body = test::WithoutLastLine(host.details);
  EXPECT_EQ(test::LastLine(host.details), u"\uFFFEDone!");
  EXPECT_EQ(test::LastLine(body), u"\uFFFESaving Log...");
  EXPECT_EQ(bytes, test::ExpectedRunLogBytes("7.00", body, false));

  EXPECT_EQ(test::ReadRegistryText(platform, platform::kHkeyCurrentUser,
                                   "Software\\Quellix\\QLX\\Ver", "QLX"),
            "4.23");
  EXPECT_EQ(test::ReadRegistryText(platform, platform::kHkeyCurrentUser,
                                   "Software\\Quellix\\QLX\\Ver", "VDB"),
            "7.00");
}

}  // namespace
}  // namespace quellix
