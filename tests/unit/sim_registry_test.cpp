// Registry behaviour of the simulated machine that the engine relies on:
// error codes, enumeration order and capacities, deletion rules, access
// rights and stale handles.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/SimPlatform.h"

namespace platform::sim {
namespace {

constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class SimRegistry : public ::testing::Test {
 protected:
  SimRegistry() : platform(machine) {}

  HKey Open(HKey root, const std::string& subKey) {
    HKey key = 0;
    const long result = platform.RegOpenKeyA(root, subKey, &key);
    EXPECT_EQ(result, error::kSuccess) << subKey;
    return key;
  }

  std::vector<std::string> SubKeys(HKey key) {
    std::vector<std::string> names;
    std::string name;
    for (std::uint32_t i = 0; platform.RegEnumKeyExA(key, i, 256, &name) == error::kSuccess; ++i) {
      names.push_back(name);
    }
    return names;
  }

  std::vector<std::string> ValueNames(HKey key) {
    std::vector<std::string> names;
    std::string name;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    std::uint32_t length = 0;
    for (std::uint32_t i = 0;
         platform.RegEnumValueA(key, i, 256, 256, &name, &type, &data, &length) == error::kSuccess;
         ++i) {
      names.push_back(name);
    }
    return names;
  }

  Machine machine;
  SimPlatform platform;
};

TEST_F(SimRegistry, OpeningAMissingKeyGivesFileNotFound) {
  HKey key = 0x1234;
  EXPECT_EQ(platform.RegOpenKeyA(kHkeyLocalMachine, "Software\\Nowhere", &key),
            error::kFileNotFound);
  EXPECT_EQ(platform.RegOpenKeyExA(kHkeyLocalMachine, "Software\\Nowhere", kKeyRead, &key),
            error::kFileNotFound);
  EXPECT_EQ(key, 0x1234u) << "the result stays untouched on failure";
  EXPECT_TRUE(platform.OpenHandles().empty());
}

TEST_F(SimRegistry, CreateMakesIntermediateKeysAndOpenIgnoresCase) {
  HKey created = 0;
  ASSERT_EQ(platform.RegCreateKeyA(kHkeyCurrentUser, "Software\\Quellix\\QLX\\Ver", &created),
            error::kSuccess);
  ASSERT_EQ(platform.RegCloseKey(created), error::kSuccess);

  HKey opened = Open(kHkeyCurrentUser, "SOFTWARE\\quellix");
  EXPECT_EQ(SubKeys(opened), std::vector<std::string>{"QLX"});
  EXPECT_EQ(platform.RegCloseKey(opened), error::kSuccess);
  EXPECT_NE(machine.registry.FindKey("HKCU\\Software\\Quellix\\QLX\\Ver"), nullptr);
}

TEST_F(SimRegistry, SubKeysEnumerateSortedAndValuesInTheOrderSet) {
  machine.registry.CreateKey("HKLM\\SYSTEM\\Services\\winmgrs");
  machine.registry.CreateKey("HKLM\\SYSTEM\\Services\\AudioSrv");
  machine.registry.CreateKey("HKLM\\SYSTEM\\Services\\beep");
  machine.registry.SetString("HKLM\\Run", "zeta", "z.exe");
  machine.registry.SetString("HKLM\\Run", "Alpha", "a.exe");
  machine.registry.SetString("HKLM\\Run", "mid", "m.exe");

  HKey services = Open(kHkeyLocalMachine, "system\\services");
  EXPECT_EQ(SubKeys(services), (std::vector<std::string>{"AudioSrv", "beep", "winmgrs"}));
  HKey run = Open(kHkeyLocalMachine, "Run");
  EXPECT_EQ(ValueNames(run), (std::vector<std::string>{"zeta", "Alpha", "mid"}));

  // Setting an existing value again keeps its place.
  ASSERT_EQ(platform.RegSetValueExA(run, "ALPHA", kRegSz, StringData("b.exe")), error::kSuccess);
  EXPECT_EQ(ValueNames(run), (std::vector<std::string>{"zeta", "Alpha", "mid"}));
  platform.RegCloseKey(services);
  platform.RegCloseKey(run);
}

TEST_F(SimRegistry, EnumKeyCapacityCountsTheTerminatingNul) {
  machine.registry.CreateKey("HKLM\\Services\\avserve");  // 7 characters
  HKey key = Open(kHkeyLocalMachine, "Services");
  std::string name = "unchanged";
  EXPECT_EQ(platform.RegEnumKeyExA(key, 0, 7, &name), error::kMoreData);
  EXPECT_EQ(name, "unchanged");
  EXPECT_EQ(platform.RegEnumKeyExA(key, 0, 8, &name), error::kSuccess);
  EXPECT_EQ(name, "avserve");
  EXPECT_EQ(platform.RegEnumKeyExA(key, 1, 8, &name), error::kNoMoreItems);
  platform.RegCloseKey(key);
}

TEST_F(SimRegistry, EnumValueReportsStoredBytesAndTheLengthWhenTooSmall) {
  machine.registry.SetString("HKLM\\Run", "winmgrs", "c:\\windows\\winmgrs.exe");  // 22 chars
  machine.registry.SetDword("HKLM\\Run", "count", 7);
  HKey key = Open(kHkeyLocalMachine, "Run");
  std::string name;
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  std::uint32_t length = 0;

  ASSERT_EQ(platform.RegEnumValueA(key, 0, 255, 255, &name, &type, &data, &length),
            error::kSuccess);
  EXPECT_EQ(name, "winmgrs");
  EXPECT_EQ(type, kRegSz);
  EXPECT_EQ(length, 23u) << "a REG_SZ comes with its terminating NUL";
  EXPECT_EQ(data, StringData("c:\\windows\\winmgrs.exe"));

  EXPECT_EQ(platform.RegEnumValueA(key, 0, 255, 22, &name, &type, &data, &length),
            error::kMoreData);
  EXPECT_EQ(length, 23u);
  EXPECT_TRUE(data.empty());
  EXPECT_EQ(platform.RegEnumValueA(key, 0, 7, 255, &name, &type, &data, &length), error::kMoreData)
      << "seven characters leave no room for the NUL";
  EXPECT_EQ(platform.RegEnumValueA(key, 0, 8, 23, &name, &type, &data, &length), error::kSuccess);

  // Without a data buffer the call only measures.
  EXPECT_EQ(platform.RegEnumValueA(key, 1, 255, 0, &name, &type, nullptr, &length),
            error::kSuccess);
  EXPECT_EQ(type, kRegDword);
  EXPECT_EQ(length, 4u);
  EXPECT_EQ(platform.RegEnumValueA(key, 2, 255, 255, &name, &type, &data, &length),
            error::kNoMoreItems);
  platform.RegCloseKey(key);
}

TEST_F(SimRegistry, QuerySetAndDeleteValues) {
  HKey key = 0;
  ASSERT_EQ(platform.RegCreateKeyA(kHkeyCurrentUser, "Software\\Quellix\\QLX\\Ver", &key),
            error::kSuccess);
  // The version record gives its text without the NUL; NT stores the NUL.
  ASSERT_EQ(platform.RegSetValueExA(key, "QLX", kRegSz, {'4', '.', '2', '3'}), error::kSuccess);
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  ASSERT_EQ(platform.RegQueryValueExA(key, "qlx", &type, &data), error::kSuccess);
  EXPECT_EQ(type, kRegSz);
  EXPECT_EQ(data, StringData("4.23"));
  // Binary data is kept exactly as given.
  ASSERT_EQ(platform.RegSetValueExA(key, "Raw", kRegBinary, {'4', '2'}), error::kSuccess);
  ASSERT_EQ(platform.RegQueryValueExA(key, "raw", &type, &data), error::kSuccess);
  EXPECT_EQ(data, (std::vector<std::uint8_t>{'4', '2'}));

  EXPECT_EQ(platform.RegDeleteValueA(key, "QLX"), error::kSuccess);
  EXPECT_EQ(platform.RegQueryValueExA(key, "QLX", &type, &data), error::kFileNotFound);
  EXPECT_EQ(platform.RegDeleteValueA(key, "QLX"), error::kFileNotFound);
  platform.RegCloseKey(key);
}

TEST_F(SimRegistry, KeysWithSubKeysCannotBeDeletedAsOnTheNtFamily) {
  const std::string service = "HKLM\\SYSTEM\\CurrentControlSet\\Services\\avserve";
  machine.registry.SetDword(service + "\\Enum", "Count", 1);
  machine.registry.CreateKey(service + "\\Security");
  HKey services = Open(kHkeyLocalMachine, "SYSTEM\\CurrentControlSet\\Services");

  EXPECT_EQ(platform.RegDeleteKeyA(services, "avserve"), error::kAccessDenied);
  EXPECT_EQ(platform.RegDeleteKeyA(services, "avserve\\Enum"), error::kSuccess);
  EXPECT_EQ(platform.RegDeleteKeyA(services, "avserve\\Security"), error::kSuccess);
  EXPECT_EQ(platform.RegDeleteKeyA(services, "avserve"), error::kSuccess);
  EXPECT_EQ(platform.RegDeleteKeyA(services, "avserve"), error::kFileNotFound);
  EXPECT_EQ(machine.registry.FindKey(service), nullptr);
  platform.RegCloseKey(services);
}

TEST_F(SimRegistry, AnEmptySubKeyDeletesTheOpenKeyItself) {
  machine.registry.CreateKey("HKLM\\Services\\avserve");
  HKey readOnly = 0;
  ASSERT_EQ(platform.RegOpenKeyExA(kHkeyLocalMachine, "Services\\avserve", kKeyRead, &readOnly),
            error::kSuccess);
  EXPECT_EQ(platform.RegDeleteKeyA(readOnly, ""), error::kAccessDenied)
      << "deleting through a handle needs DELETE access";
  HKey key = Open(kHkeyLocalMachine, "Services\\avserve");
  EXPECT_EQ(platform.RegDeleteKeyA(key, ""), error::kSuccess);
  EXPECT_EQ(machine.registry.FindKey("HKLM\\Services\\avserve"), nullptr);
  EXPECT_EQ(platform.RegDeleteKeyA(kHkeyLocalMachine, ""), error::kAccessDenied);
  platform.RegCloseKey(readOnly);
  platform.RegCloseKey(key);
}

TEST_F(SimRegistry, AHandleToADeletedKeyReportsKeyDeleted) {
  machine.registry.SetString("HKLM\\Services\\avserve", "ImagePath", "c:\\avserve.exe");
  HKey key = Open(kHkeyLocalMachine, "Services\\avserve");
  HKey parent = Open(kHkeyLocalMachine, "Services");
  ASSERT_EQ(platform.RegDeleteKeyA(parent, "avserve"), error::kSuccess);
  // A new key of the same name is another key.
  machine.registry.CreateKey("HKLM\\Services\\avserve");
  std::vector<std::uint8_t> data;
  EXPECT_EQ(platform.RegQueryValueExA(key, "ImagePath", nullptr, &data),
            static_cast<long>(simerror::kKeyDeleted));
  EXPECT_EQ(platform.RegCloseKey(key), error::kSuccess);
  platform.RegCloseKey(parent);
}

TEST_F(SimRegistry, AccessRightsOfTheHandleAreEnforced) {
  machine.registry.SetString(std::string("HKLM\\") + kRunKey, "winmgrs", "c:\\winmgrs.exe");
  HKey key = 0;
  ASSERT_EQ(platform.RegOpenKeyExA(kHkeyLocalMachine, kRunKey, kKeyQueryValue, &key),
            error::kSuccess);
  std::string name;
  EXPECT_EQ(platform.RegEnumKeyExA(key, 0, 255, &name), error::kAccessDenied);
  EXPECT_EQ(platform.RegDeleteValueA(key, "winmgrs"), error::kAccessDenied);
  EXPECT_EQ(platform.RegSetValueExA(key, "x", kRegSz, StringData("y")), error::kAccessDenied);
  std::vector<std::uint8_t> data;
  EXPECT_EQ(platform.RegQueryValueExA(key, "winmgrs", nullptr, &data), error::kSuccess);
  HKey child = 0;
  EXPECT_EQ(platform.RegCreateKeyA(key, "NewChild", &child), error::kAccessDenied);
  EXPECT_NE(machine.registry.FindValue(std::string("HKLM\\") + kRunKey, "winmgrs"), nullptr);
  platform.RegCloseKey(key);
}

TEST_F(SimRegistry, HandlesAreTrackedAndPredefinedRootsNeedNoClosing) {
  machine.registry.CreateKey("HKCU\\Software");
  HKey key = Open(kHkeyCurrentUser, "Software");
  EXPECT_EQ(platform.OpenHandles().size(), 1u);
  EXPECT_EQ(platform.RegCloseKey(key), error::kSuccess);
  EXPECT_EQ(platform.RegCloseKey(key), error::kInvalidHandle);
  std::string name;
  EXPECT_EQ(platform.RegEnumKeyExA(key, 0, 255, &name), error::kInvalidHandle);
  EXPECT_EQ(platform.RegCloseKey(kHkeyLocalMachine), error::kSuccess);
  EXPECT_TRUE(platform.OpenHandles().empty());

  // With no sub-key, RegOpenKeyA hands back the handle it was given.
  HKey same = 0;
  EXPECT_EQ(platform.RegOpenKeyA(kHkeyCurrentUser, "", &same), error::kSuccess);
  EXPECT_EQ(same, kHkeyCurrentUser);
}

TEST_F(SimRegistry, RegistryCallsReturnTheirCodeAndLeaveTheLastErrorAlone) {
  platform.SetLastError(0xDEADBEEF);
  HKey key = 0;
  EXPECT_EQ(platform.RegOpenKeyA(kHkeyLocalMachine, "Missing", &key), error::kFileNotFound);
  EXPECT_EQ(platform.GetLastError(), 0xDEADBEEFu);
}

}  // namespace
}  // namespace platform::sim
