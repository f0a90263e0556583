// The hosts file of the throw-away prefix with hijack lines is cleaned: the
// hijack lines go, every other line keeps its bytes, and a copy stays behind.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32/Win32Platform.h"
#include "quellix/engine/system/AnsiText.h"
#include "quellix/engine/session/Session.h"
#include "quellix/engine/cleanup/mdlHosts.h"
#include "quellix/lang/Language.h"
#include "tests/support/RecordingHost.h"
#include "tests/support/RunLog.h"

#include <windows.h>

namespace quellix {
namespace {

TEST(HostsOnWine, HijackLinesAreRemovedAndTheRestKeptByteForByte) {
  platform::win32::Win32Platform platform;
  test::RecordingHost host;
  lang::Language language{platform, host};
  language.LoadLanguageTitles();
  language.LoadLanguage(7);
  BuiltPhases phases;
  Session session(platform, host, language, phases);
  char buffer[MAX_PATH];
  const UINT length = GetSystemDirectoryA(buffer, MAX_PATH);
  session.run.SystemDir = LowerAnsi(std::string(buffer, length));
  GetTempPathA(MAX_PATH, buffer);
  session.run.BackupDir = LowerAnsi(std::string(buffer) + "qlx-hosts\\");
  CreateDirectoryA(session.run.BackupDir.c_str(), nullptr);
  DeleteFileA((session.run.BackupDir + "hosts.back").c_str());

  const std::string hosts = session.run.SystemDir + "\\drivers\\etc\\hosts";
  const std::string original =
      "# Mine\r\n127.0.0.1 WWW.Symantec.COM\n10.0.0.1  FileServer\r\n"
      "127.0.0.1 www.mcafee.com\r\n127.0.0.1       localhost";
  HANDLE file = CreateFileA(hosts.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_READONLY, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, original.data(), static_cast<DWORD>(original.size()), &written, nullptr);
  CloseHandle(file);

  EXPECT_TRUE(CleanHostsFile(session));
  const auto bytes = test::ReadWholeFile(platform, hosts);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
            "# Mine\r\n10.0.0.1  FileServer\r\n127.0.0.1       localhost");
  const auto backup = test::ReadWholeFile(platform, session.run.BackupDir + "hosts.back");
  EXPECT_EQ(std::string(backup.begin(), backup.end()), original);
  EXPECT_NE(host.details.find(u"Found Entry 127.0.0.1 www.symantec.com"), std::u16string::npos);
  EXPECT_EQ(GetFileAttributesA(hosts.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
}

}  // namespace
}  // namespace quellix
