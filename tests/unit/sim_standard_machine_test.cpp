// The standard machine is a consistent, clean Windows XP: what the removal
// run reads from it is there and agrees with itself.
#include <gtest/gtest.h>

#include <string>

#include "platform/sim/SimPath.h"
#include "platform/sim/SimPlatform.h"

namespace platform::sim {
namespace {

std::string TextOf(const FileNode* node) {
  return node == nullptr ? "<missing>" : std::string(node->contents.begin(), node->contents.end());
}

TEST(SimStandardMachine, SystemValuesAreThoseOfAnEnglishXpInstallation) {
  const Machine machine = MakeStandardMachine();
  EXPECT_EQ(machine.platformId, kPlatformWin32Nt);
  EXPECT_EQ(machine.systemDirectory, "C:\\WINDOWS\\system32");
  EXPECT_EQ(machine.WindowsDirectory(), "C:\\WINDOWS");
  EXPECT_EQ(machine.tempPath, "C:\\WINDOWS\\TEMP\\");
  EXPECT_EQ(machine.localeLanguageName, "English");
  EXPECT_EQ(machine.userName, "User");
  ASSERT_NE(machine.FindDrive('C'), nullptr);
  EXPECT_EQ(machine.FindDrive('C')->type, kDriveFixed);
  EXPECT_NE(machine.files.FindPath(machine.tempPath), nullptr);
}

TEST(SimStandardMachine, HostsFileIsTheNormalOneWithItsLocalhostLine) {
  const Machine machine = MakeStandardMachine();
  const std::string hosts =
      TextOf(machine.files.FindPath("c:\\windows\\system32\\drivers\\etc\\hosts"));
  EXPECT_NE(hosts.find("\r\n127.0.0.1       localhost\r\n"), std::string::npos);
  EXPECT_EQ(hosts.substr(hosts.size() - 2), "\r\n");
  EXPECT_EQ(hosts.find('\n', 0) - 1, hosts.find('\r', 0)) << "lines end with CR LF";
}

TEST(SimStandardMachine, RunKeysHoldHarmlessProgramsAndRunServicesIsAbsent) {
  const Machine machine = MakeStandardMachine();
  const RegKey* hklmRun =
      machine.registry.FindKey("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
  const RegKey* hkcuRun =
      machine.registry.FindKey("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
  ASSERT_NE(hklmRun, nullptr);
  ASSERT_NE(hkcuRun, nullptr);
  EXPECT_FALSE(hklmRun->values.empty());
  EXPECT_FALSE(hkcuRun->values.empty());
  EXPECT_EQ(
      machine.registry.FindKey("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\RunServices"),
      nullptr)
      << "the NT family has no RunServices key";
}

TEST(SimStandardMachine, ServicesIncludeASvchostServiceADriverAndOneWithoutImagePath) {
  const Machine machine = MakeStandardMachine();
  const RegValue* audio =
      machine.registry.FindValue(std::string(kServicesKey) + "\\AudioSrv", "ImagePath");
  ASSERT_NE(audio, nullptr);
  EXPECT_EQ(audio->type, kRegExpandSz);
  EXPECT_EQ(audio->data, StringData("%SystemRoot%\\system32\\svchost.exe -k netsvcs"));
  const RegValue* tcpip =
      machine.registry.FindValue(std::string(kServicesKey) + "\\Tcpip", "ImagePath");
  ASSERT_NE(tcpip, nullptr);
  EXPECT_EQ(tcpip->data, StringData("system32\\DRIVERS\\tcpip.sys"));
  EXPECT_EQ(machine.registry.FindValue(std::string(kServicesKey) + "\\Abiosdsk", "ImagePath"),
            nullptr);
  // Every service the manager knows has its key.
  for (const Service& service : machine.services) {
    EXPECT_NE(machine.registry.FindKey(std::string(kServicesKey) + "\\" + service.name), nullptr)
        << service.name;
  }
}

TEST(SimStandardMachine, EveryProcessRunsFromAnExistingFileAndEveryFolderExists) {
  const Machine machine = MakeStandardMachine();
  bool sawSystemRootForm = false;
  bool sawDevicePrefixForm = false;
  for (const Process& process : machine.processes) {
    if (process.imagePath.empty()) continue;
    sawSystemRootForm = sawSystemRootForm || process.imagePath.rfind("\\SystemRoot\\", 0) == 0;
    sawDevicePrefixForm = sawDevicePrefixForm || process.imagePath.rfind("\\??\\C:", 0) == 0;
    const std::string file = machine.ImageFilePath(process);
    EXPECT_NE(machine.files.Find(file), nullptr) << process.imagePath;
  }
  EXPECT_TRUE(sawSystemRootForm);
  EXPECT_TRUE(sawDevicePrefixForm);
  for (const auto& [csidl, path] : machine.specialFolders) {
    const FileNode* node = machine.files.FindPath(path);
    ASSERT_NE(node, nullptr) << csidl << " " << path;
    EXPECT_TRUE(node->directory);
  }
  for (const Service& service : machine.services) {
    if (service.pid != 0) {
      EXPECT_NE(machine.FindProcess(service.pid), nullptr) << service.name;
    }
  }
}

TEST(SimStandardMachine, TheToolsTheProgramsStartAreOnTheSearchPath) {
  Machine machine = MakeStandardMachine();
  SimPlatform platform(machine);
  for (const char* command : {"shutdown.exe -r -t 120", "c:\\windows\\regedit.exe /e x y",
                              "attrib -R -S -H x", "TASKKILL /F /IM x.exe /T"}) {
    EXPECT_NE(platform.StartProcess(command, kSwHide), 0u) << command;
  }
}

}  // namespace
}  // namespace platform::sim
