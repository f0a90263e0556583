// Every call that the sim lists as able to fail really consults the faults:
// each is made once without a fault (it must succeed, so the call is a fair
// one) and once with a fault of its name (it must fail with that code).
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/sim/SimPlatform.h"

namespace platform::sim {
namespace {

constexpr std::uint32_t kInjected = 4242;
constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Makes one call with valid arguments; returns 0 when it succeeded, else the
// code it failed with (its result, or GetLastError for BOOL-style calls).
using Call = std::function<std::uint32_t(SimPlatform&)>;

std::uint32_t Code(SimPlatform& platform, bool succeeded) {
  return succeeded ? 0 : platform.GetLastError();
}

HKey OpenRun(SimPlatform& platform) {
  HKey key = 0;
  platform.RegOpenKeyExA(kHkeyLocalMachine, kRunKey, kKeyAllAccess, &key);
  return key;
}

Handle OpenFile(SimPlatform& platform, std::uint32_t access) {
  return platform.CreateFileA("c:\\boot.ini", access, kFileShareRead, kOpenExisting, 0);
}

Handle ProcessHandle(SimPlatform& platform, std::uint32_t pid) {
  return platform.OpenProcess(kProcessAllAccess, false, pid);
}

Handle Provider(SimPlatform& platform) {
  Handle provider = kNullHandle;
  platform.CryptAcquireContextA(&provider, "", "", kProvRsaFull, kCryptVerifyContext);
  return provider;
}

Handle Hash(SimPlatform& platform) {
  Handle hash = kNullHandle;
  platform.CryptCreateHash(Provider(platform), kCalgMd5, 0, 0, &hash);
  return hash;
}

Handle Service(SimPlatform& platform) {
  return platform.OpenServiceA(platform.OpenSCManagerA("", "", kScManagerAllAccess), "Spooler",
                               kServiceAllAccess);
}

std::map<std::string, Call> Calls() {
  std::map<std::string, Call> calls;
  calls["RegOpenKeyA"] = [](SimPlatform& p) {
    HKey key = 0;
    return static_cast<std::uint32_t>(p.RegOpenKeyA(kHkeyLocalMachine, kRunKey, &key));
  };
  calls["RegOpenKeyExA"] = [](SimPlatform& p) {
    HKey key = 0;
    return static_cast<std::uint32_t>(p.RegOpenKeyExA(kHkeyLocalMachine, kRunKey, kKeyRead, &key));
  };
  calls["RegCreateKeyA"] = [](SimPlatform& p) {
    HKey key = 0;
    return static_cast<std::uint32_t>(p.RegCreateKeyA(kHkeyCurrentUser, "Software\\New", &key));
  };
  calls["RegEnumKeyExA"] = [](SimPlatform& p) {
    std::string name;
    return static_cast<std::uint32_t>(p.RegEnumKeyExA(kHkeyLocalMachine, 0, 255, &name));
  };
  calls["RegEnumValueA"] = [](SimPlatform& p) {
    std::string name;
    std::vector<std::uint8_t> data;
    std::uint32_t type = 0;
    std::uint32_t length = 0;
    return static_cast<std::uint32_t>(
        p.RegEnumValueA(OpenRun(p), 0, 255, 255, &name, &type, &data, &length));
  };
  calls["RegQueryValueExA"] = [](SimPlatform& p) {
    std::vector<std::uint8_t> data;
    return static_cast<std::uint32_t>(p.RegQueryValueExA(OpenRun(p), "SynTPEnh", nullptr, &data));
  };
  calls["RegSetValueExA"] = [](SimPlatform& p) {
    return static_cast<std::uint32_t>(p.RegSetValueExA(OpenRun(p), "x", kRegSz, StringData("y")));
  };
  calls["RegDeleteValueA"] = [](SimPlatform& p) {
    return static_cast<std::uint32_t>(p.RegDeleteValueA(OpenRun(p), "SynTPEnh"));
  };
  calls["RegDeleteKeyA"] = [](SimPlatform& p) {
    return static_cast<std::uint32_t>(p.RegDeleteKeyA(
        kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce"));
  };
  calls["OpenSCManagerA"] = [](SimPlatform& p) {
    return Code(p, p.OpenSCManagerA("", "ServicesActive", kScManagerAllAccess) != kNullHandle);
  };
  calls["OpenServiceA"] = [](SimPlatform& p) { return Code(p, Service(p) != kNullHandle); };
  calls["ControlService"] = [](SimPlatform& p) {
    return Code(p, p.ControlService(Service(p), kServiceControlStop));
  };
  calls["EnumProcesses"] = [](SimPlatform& p) {
    std::vector<std::uint32_t> ids;
    std::uint32_t returned = 0;
    return Code(p, p.EnumProcesses(1024, &ids, &returned));
  };
  calls["OpenProcess"] = [](SimPlatform& p) {
    return Code(p, ProcessHandle(p, 1680) != kNullHandle);
  };
  calls["EnumProcessModules"] = [](SimPlatform& p) {
    std::vector<std::uintptr_t> modules;
    std::uint32_t needed = 0;
    return Code(p, p.EnumProcessModules(ProcessHandle(p, 1680), 200, &modules, &needed));
  };
  calls["QueryFullProcessImageNameA"] = [](SimPlatform& p) {
    p.machine().windows64 = true;  // the call came with 64-bit Windows
    std::string path;
    return Code(p, p.QueryFullProcessImageNameA(ProcessHandle(p, 1680), 260, &path));
  };
  calls["Wow64DisableWow64FsRedirection"] = [](SimPlatform& p) {
    p.machine().windows64 = true;
    std::uintptr_t previous = 0;
    return Code(p, p.Wow64DisableWow64FsRedirection(&previous));
  };
  calls["GetModuleFileNameExA"] = [](SimPlatform& p) {
    std::string path;
    return Code(p, p.GetModuleFileNameExA(ProcessHandle(p, 1680), 0, 260, &path) > 0);
  };
  calls["TerminateProcess"] = [](SimPlatform& p) {
    return Code(p, p.TerminateProcess(ProcessHandle(p, 1844), 0));
  };
  calls["OpenProcessToken"] = [](SimPlatform& p) {
    Handle token = kNullHandle;
    return Code(p, p.OpenProcessToken(kTokenAdjustPrivileges, &token));
  };
  calls["LookupPrivilegeValueA"] = [](SimPlatform& p) {
    Luid luid;
    return Code(p, p.LookupPrivilegeValueA("", "SeDebugPrivilege", &luid));
  };
  calls["AdjustTokenPrivileges"] = [](SimPlatform& p) {
    Handle token = kNullHandle;
    p.OpenProcessToken(kTokenAdjustPrivileges, &token);
    return Code(p, p.AdjustTokenPrivileges(token, Luid{20, 0}, kSePrivilegeEnabled));
  };
  calls["GetSystemDirectoryA"] = [](SimPlatform& p) {
    std::string buffer(255, ' ');
    return Code(p, p.GetSystemDirectoryA(buffer) > 0);
  };
  calls["GetTempPathA"] = [](SimPlatform& p) {
    std::string buffer(255, ' ');
    return Code(p, p.GetTempPathA(buffer) > 0);
  };
  calls["SHGetSpecialFolderPathA"] = [](SimPlatform& p) {
    std::string path;
    return Code(p, p.SHGetSpecialFolderPathA(0x0B, false, &path));
  };
  calls["GetFileAttributesA"] = [](SimPlatform& p) {
    return Code(p, p.GetFileAttributesA("c:\\boot.ini") != kInvalidFileAttributes);
  };
  calls["SetFileAttributesA"] = [](SimPlatform& p) {
    return Code(p, p.SetFileAttributesA("c:\\boot.ini", kFileAttributeNormal));
  };
  calls["CopyFileA"] = [](SimPlatform& p) {
    return Code(p, p.CopyFileA("c:\\boot.ini", "c:\\boot.ini.back", true));
  };
  calls["DeleteFileA"] = [](SimPlatform& p) { return Code(p, p.DeleteFileA("c:\\boot.ini")); };
  calls["CreateDirectoryA"] = [](SimPlatform& p) {
    return Code(p, p.CreateDirectoryA("c:\\backup"));
  };
  calls["FindFiles"] = [](SimPlatform& p) {
    std::vector<FindEntry> entries;
    return Code(p, p.FindFiles("c:\\*.ini", &entries));
  };
  calls["CreateFileA"] = [](SimPlatform& p) {
    return Code(p, OpenFile(p, kGenericRead) != kInvalidHandleValue);
  };
  calls["ReadFile"] = [](SimPlatform& p) {
    std::vector<std::uint8_t> data;
    return Code(p, p.ReadFile(OpenFile(p, kGenericRead), 10, &data));
  };
  calls["WriteFile"] = [](SimPlatform& p) {
    std::uint32_t written = 0;
    return Code(p, p.WriteFile(OpenFile(p, kGenericWrite), {'x'}, &written));
  };
  calls["GetFileSizeEx"] = [](SimPlatform& p) {
    std::uint64_t size = 0;
    return Code(p, p.GetFileSizeEx(OpenFile(p, kGenericRead), &size));
  };
  calls["CryptAcquireContextA"] = [](SimPlatform& p) {
    return Code(p, Provider(p) != kNullHandle);
  };
  calls["CryptCreateHash"] = [](SimPlatform& p) { return Code(p, Hash(p) != kNullHandle); };
  calls["CryptHashData"] = [](SimPlatform& p) {
    const std::uint8_t byte = 1;
    return Code(p, p.CryptHashData(Hash(p), &byte, 1, 0));
  };
  calls["CryptGetHashParam"] = [](SimPlatform& p) {
    std::vector<std::uint8_t> value;
    return Code(p, p.CryptGetHashParam(Hash(p), kHpHashVal, &value));
  };
  calls["StartProcess"] = [](SimPlatform& p) {
    return Code(p, p.StartProcess("shutdown.exe -a", kSwHide) != 0);
  };
  calls["RunProcessAndWait"] = [](SimPlatform& p) {
    std::uint32_t exitCode = 0;
    return Code(p, p.RunProcessAndWait("attrib -R x", kSwHide, &exitCode));
  };
  calls["ShellExecuteA"] = [](SimPlatform& p) {
    return Code(p, p.ShellExecuteA(0, "open", "http://www.quellix.example/", "", "", 1) > 32);
  };
  calls["MciSendStringA"] = [](SimPlatform& p) { return p.MciSendStringA("close all"); };
  calls["GetLocaleInfoA"] = [](SimPlatform& p) {
    std::string buffer(100, ' ');
    return Code(p, p.GetLocaleInfoA(kLocaleUserDefault, kLocaleSEngLanguage, buffer) > 0);
  };
  calls["GetUserNameA"] = [](SimPlatform& p) {
    std::string name;
    return Code(p, p.GetUserNameA(&name));
  };
  calls["LoadProgramResource"] = [](SimPlatform& p) {
    p.machine().AddResource("EEGG", 1, {1, 2, 3});
    std::vector<std::uint8_t> bytes;
    return Code(p, p.LoadProgramResource("EEGG", 1, &bytes));
  };
  calls["ClaimInstance"] = [](SimPlatform& p) {
    bool another = false;
    return Code(p, p.ClaimInstance("Quellix", &another));
  };
  calls["SnapshotProcesses"] = [](SimPlatform& p) {
    std::vector<ProcessSnapshotEntry> entries;
    return Code(p, p.SnapshotProcesses(&entries));
  };
  return calls;
}

TEST(SimFaultCoverage, EveryFaultableCallFailsWithTheInjectedCode) {
  const std::map<std::string, Call> calls = Calls();
  for (const std::string& name : FaultableCalls()) {
    auto call = calls.find(name);
    ASSERT_NE(call, calls.end()) << name << " has no case here";
    {
      Machine machine = MakeStandardMachine();
      SimPlatform platform(machine);
      EXPECT_EQ(call->second(platform), 0u) << name << " should succeed without a fault";
    }
    Machine machine = MakeStandardMachine();
    machine.InjectFault(name, "", kInjected);
    SimPlatform platform(machine);
    EXPECT_EQ(call->second(platform), kInjected) << name;
  }
  EXPECT_EQ(calls.size(), FaultableCalls().size());
}

}  // namespace
}  // namespace platform::sim
