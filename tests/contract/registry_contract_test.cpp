// The registry as the removal run uses it: values read back as stored, the
// enumeration codes its loops stop on, the codes of missing keys and values,
// and key deletion as the service pass performs it on the NT family.
#include <set>
#include <string>
#include <vector>

#include "tests/contract/ContractTest.h"
#include "tests/contract/Scratch.h"

namespace contract {
namespace {

using platform::HKey;
namespace error = platform::error;

constexpr std::uint32_t kNameBuffer = 255;
constexpr std::uint32_t kDataBuffer = 255;

class RegistryContract : public ContractTest {
 protected:
  RegistryContract() : scratch_(sys(), CaseName()) {}

  void SetUp() override {
    ASSERT_NE(scratch_.Handle(), 0u)
        << "the scratch key " << scratch_.Path() << " could not be created";
  }

  HKey Scratch() const { return scratch_.Handle(); }

  void CreateKey(const std::string& path) {
    HKey key = 0;
    ASSERT_EQ(sys().RegCreateKeyA(Scratch(), path, &key), error::kSuccess) << path;
    sys().RegCloseKey(key);
  }

  void SetValue(HKey key, const std::string& name, std::uint32_t type,
                const std::vector<std::uint8_t>& data) {
    ASSERT_EQ(sys().RegSetValueExA(key, name, type, data), error::kSuccess) << name;
  }

  // The names RegEnumKeyExA lists from index 0 on, and the code it stopped with.
  std::multiset<std::string> SubKeyNames(HKey key, long* endCode) {
    std::multiset<std::string> names;
    std::string name;
    for (std::uint32_t index = 0;; ++index) {
      *endCode = sys().RegEnumKeyExA(key, index, kNameBuffer, &name);
      if (*endCode != error::kSuccess || index > 100) return names;
      names.insert(name);
    }
  }

  std::multiset<std::string> ValueNames(HKey key, long* endCode) {
    std::multiset<std::string> names;
    for (std::uint32_t index = 0;; ++index) {
      std::string name;
      std::uint32_t type = 0;
      std::vector<std::uint8_t> data;
      std::uint32_t length = 0;
      *endCode =
          sys().RegEnumValueA(key, index, kNameBuffer, kDataBuffer, &name, &type, &data, &length);
      if (*endCode != error::kSuccess || index > 100) return names;
      names.insert(name);
    }
  }

 private:
  ScratchKey scratch_;
};

TEST_F(RegistryContract, ValuesReadBackWithTheirTypeAndBytes) {
  struct Case {
    std::string name;
    std::uint32_t type;
    std::vector<std::uint8_t> data;
  };
  const std::vector<Case> cases = {
      {"Program", platform::kRegSz, StringValue("C:\\WINDOWS\\system32\\msnmsgr.exe /background")},
      {"Expandable", platform::kRegExpandSz,
       StringValue("%SystemRoot%\\system32\\svchost.exe -k netsvcs")},
      {"Count", platform::kRegDword, DwordValue(0x12345678)},
      {"Blob", platform::kRegBinary, {0x00, 0x01, 0x7F, 0x80, 0xFF}},
      {"Empty", platform::kRegSz, StringValue("")},
      {"", platform::kRegSz, StringValue("the key's default value")},
  };
  for (const auto& c : cases) SetValue(Scratch(), c.name, c.type, c.data);

  for (const auto& c : cases) {
    SCOPED_TRACE("value \"" + c.name + "\"");
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    const auto queried =
        Observe(sys(), [&] { return sys().RegQueryValueExA(Scratch(), c.name, &type, &data); });
    ASSERT_EQ(queried.value, error::kSuccess) << queried;
    EXPECT_EQ(type, c.type);
    EXPECT_EQ(data, c.data);
  }
}

// The version record gives the length of its texts without the NUL; NT
// stores the NUL with them all the same.
TEST_F(RegistryContract, StringGivenWithoutItsNulIsStoredWithIt) {
  SetValue(Scratch(), "QLX", platform::kRegSz, Bytes("4.23"));
  SetValue(Scratch(), "Path", platform::kRegExpandSz, Bytes("%SystemRoot%"));

  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  const auto version =
      Observe(sys(), [&] { return sys().RegQueryValueExA(Scratch(), "QLX", &type, &data); });
  ASSERT_EQ(version.value, error::kSuccess) << version;
  EXPECT_EQ(data, StringValue("4.23"));

  std::string name;
  std::uint32_t length = 0;
  for (std::uint32_t index = 0; index < 2; ++index) {
    const auto listed = Observe(sys(), [&] {
      return sys().RegEnumValueA(Scratch(), index, kNameBuffer, kDataBuffer, &name, &type, &data,
                                 &length);
    });
    ASSERT_EQ(listed.value, error::kSuccess) << listed;
    if (name != "Path") continue;
    EXPECT_EQ(length, std::string("%SystemRoot%").size() + 1);
    EXPECT_EQ(data, StringValue("%SystemRoot%"));
  }
}

// ANSI text is Windows-1252: names and data outside ASCII come back byte for
// byte, and are found without case as ASCII names are.
TEST_F(RegistryContract, Windows1252TextKeepsItsBytes) {
  const std::string name =
      "Caf\xE9 Fran\xE7"
      "ais";
  const std::string data = "c:\\m\xFCller\\\xE9t\xE9.exe";
  SetValue(Scratch(), name, platform::kRegSz, StringValue(data));
  CreateKey(name);

  std::string listedName;
  std::uint32_t type = 0;
  std::vector<std::uint8_t> listedData;
  std::uint32_t length = 0;
  const auto listed = Observe(sys(), [&] {
    return sys().RegEnumValueA(Scratch(), 0, kNameBuffer, kDataBuffer, &listedName, &type,
                               &listedData, &length);
  });
  ASSERT_EQ(listed.value, error::kSuccess) << listed;
  EXPECT_EQ(listedName, name);
  EXPECT_EQ(listedData, StringValue(data));

  HKey key = 0;
  const auto opened = Observe(sys(), [&] {
    return sys().RegOpenKeyA(Scratch(),
                             "CAF\xC9 FRAN\xC7"
                             "AIS",
                             &key);
  });
  EXPECT_EQ(opened.value, error::kSuccess) << opened;
  if (opened.value == error::kSuccess) sys().RegCloseKey(key);
}

TEST_F(RegistryContract, EnumeratedStringCountsItsTerminatingNul) {
  const std::string program = "c:\\windows\\system32\\wmplayer.exe";
  SetValue(Scratch(), "ImagePath", platform::kRegSz, StringValue(program));

  std::string name;
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  std::uint32_t length = 0;
  const auto listed = Observe(sys(), [&] {
    return sys().RegEnumValueA(Scratch(), 0, kNameBuffer, kDataBuffer, &name, &type, &data,
                               &length);
  });
  ASSERT_EQ(listed.value, error::kSuccess) << listed;
  EXPECT_EQ(name, "ImagePath");
  EXPECT_EQ(type, platform::kRegSz);
  EXPECT_EQ(length, program.size() + 1);
  EXPECT_EQ(data, StringValue(program));
}

TEST_F(RegistryContract, EnumValueReportsMoreDataAndTheLengthItNeeds) {
  const std::string longProgram = "c:\\" + std::string(296, 'x') + ".exe";  // 303 bytes with NUL
  SetValue(Scratch(), "Long", platform::kRegSz, StringValue(longProgram));

  std::string name;
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  std::uint32_t length = 0;
  const auto tooSmall = Observe(sys(), [&] {
    return sys().RegEnumValueA(Scratch(), 0, kNameBuffer, kDataBuffer, &name, &type, &data,
                               &length);
  });
  EXPECT_EQ(tooSmall.value, error::kMoreData) << tooSmall;
  EXPECT_EQ(length, longProgram.size() + 1) << "the length the data needs";

  const std::uint32_t exact = static_cast<std::uint32_t>(longProgram.size() + 1);
  const auto fits = Observe(sys(), [&] {
    return sys().RegEnumValueA(Scratch(), 0, kNameBuffer, exact, &name, &type, &data, &length);
  });
  EXPECT_EQ(fits.value, error::kSuccess) << fits;
  EXPECT_EQ(data, StringValue(longProgram));

  const std::uint32_t oneShort = exact - 1;
  const auto shortByOne = Observe(sys(), [&] {
    return sys().RegEnumValueA(Scratch(), 0, kNameBuffer, oneShort, &name, &type, &data, &length);
  });
  EXPECT_EQ(shortByOne.value, error::kMoreData) << shortByOne;
  EXPECT_EQ(length, exact);
}

TEST_F(RegistryContract, EnumValueNeedsRoomForTheNameAndItsNul) {
  const std::string valueName = "NineChars";
  SetValue(Scratch(), valueName, platform::kRegDword, DwordValue(1));
  const auto capacity = static_cast<std::uint32_t>(valueName.size());

  std::string name;
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  std::uint32_t length = 0;
  const auto withoutNul = Observe(sys(), [&] {
    return sys().RegEnumValueA(Scratch(), 0, capacity, kDataBuffer, &name, &type, &data, &length);
  });
  EXPECT_EQ(withoutNul.value, error::kMoreData) << withoutNul;

  const auto withNul = Observe(sys(), [&] {
    return sys().RegEnumValueA(Scratch(), 0, capacity + 1, kDataBuffer, &name, &type, &data,
                               &length);
  });
  EXPECT_EQ(withNul.value, error::kSuccess) << withNul;
  EXPECT_EQ(name, valueName);
}

TEST_F(RegistryContract, EnumKeyNeedsRoomForTheNameAndItsNul) {
  const std::string keyName = "Eightchr";
  CreateKey(keyName);
  const auto capacity = static_cast<std::uint32_t>(keyName.size());

  std::string name;
  const auto withoutNul =
      Observe(sys(), [&] { return sys().RegEnumKeyExA(Scratch(), 0, capacity, &name); });
  EXPECT_EQ(withoutNul.value, error::kMoreData) << withoutNul;

  const auto withNul =
      Observe(sys(), [&] { return sys().RegEnumKeyExA(Scratch(), 0, capacity + 1, &name); });
  EXPECT_EQ(withNul.value, error::kSuccess) << withNul;
  EXPECT_EQ(name, keyName);
}

TEST_F(RegistryContract, EnumerationsListEverythingThenReportNoMoreItems) {
  long endCode = 0;
  EXPECT_TRUE(SubKeyNames(Scratch(), &endCode).empty());
  EXPECT_EQ(endCode, error::kNoMoreItems) << "an empty key's sub-keys";
  EXPECT_TRUE(ValueNames(Scratch(), &endCode).empty());
  EXPECT_EQ(endCode, error::kNoMoreItems) << "an empty key's values";

  for (const char* name : {"Alpha", "beta", "Gamma"}) {
    CreateKey(name);
    SetValue(Scratch(), name, platform::kRegSz, StringValue(name));
  }
  const std::multiset<std::string> expected = {"Alpha", "beta", "Gamma"};
  EXPECT_EQ(SubKeyNames(Scratch(), &endCode), expected);
  EXPECT_EQ(endCode, error::kNoMoreItems);
  EXPECT_EQ(ValueNames(Scratch(), &endCode), expected);
  EXPECT_EQ(endCode, error::kNoMoreItems);
}

// Sub-keys come in the order of their names without case, which the
// services key's listing, and so the order of the service pass, follows.
TEST_F(RegistryContract, SubKeysAreListedInNameOrderWithoutCase) {
  for (const char* name : {"wscntfy", "Alerter", "beep", "Zeta", "acpi"}) CreateKey(name);
  std::vector<std::string> listed;
  std::string name;
  for (std::uint32_t index = 0; index < 10; ++index) {
    if (sys().RegEnumKeyExA(Scratch(), index, kNameBuffer, &name) != error::kSuccess) break;
    listed.push_back(name);
  }
  EXPECT_EQ(listed, (std::vector<std::string>{"acpi", "Alerter", "beep", "wscntfy", "Zeta"}));
}

// Values come in the order they were first set; a Run key's programs are
// logged in that order.
TEST_F(RegistryContract, ValuesAreListedInTheOrderTheyWereSet) {
  for (const char* name : {"wscntfy", "Alerter", "beep", "Zeta", "acpi"}) {
    SetValue(Scratch(), name, platform::kRegSz, StringValue(name));
  }
  std::vector<std::string> listed;
  for (std::uint32_t index = 0; index < 10; ++index) {
    std::string name;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    std::uint32_t length = 0;
    if (sys().RegEnumValueA(Scratch(), index, kNameBuffer, kDataBuffer, &name, &type, &data,
                            &length) != error::kSuccess) {
      break;
    }
    listed.push_back(name);
  }
  if (OnWine()) {
    // Wine deviation: wineserver keeps a key's values sorted by name without
    // case (for its binary search), so it lists them in that order rather
    // than in the order they were set.
    EXPECT_EQ(listed, (std::vector<std::string>{"acpi", "Alerter", "beep", "wscntfy", "Zeta"}));
  } else {
    EXPECT_EQ(listed, (std::vector<std::string>{"wscntfy", "Alerter", "beep", "Zeta", "acpi"}));
  }
}

TEST_F(RegistryContract, NamesAreFoundWithoutCaseAndKeepTheirCase) {
  CreateKey("MixedCase\\Inner");
  HKey inner = 0;
  const auto opened =
      Observe(sys(), [&] { return sys().RegOpenKeyA(Scratch(), "mIXEDcASE\\INNER", &inner); });
  ASSERT_EQ(opened.value, error::kSuccess) << opened;
  SetValue(inner, "ImagePath", platform::kRegSz, StringValue("x"));

  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  const auto queried =
      Observe(sys(), [&] { return sys().RegQueryValueExA(inner, "IMAGEPATH", &type, &data); });
  EXPECT_EQ(queried.value, error::kSuccess) << queried;
  long endCode = 0;
  EXPECT_EQ(ValueNames(inner, &endCode), std::multiset<std::string>{"ImagePath"});
  EXPECT_EQ(SubKeyNames(Scratch(), &endCode), std::multiset<std::string>{"MixedCase"});
  sys().RegCloseKey(inner);
}

TEST_F(RegistryContract, MissingKeysAndValuesReportFileNotFound) {
  HKey key = 0;
  const auto open = Observe(sys(), [&] { return sys().RegOpenKeyA(Scratch(), "Missing", &key); });
  EXPECT_EQ(open.value, error::kFileNotFound) << open;
  const auto openEx = Observe(
      sys(), [&] { return sys().RegOpenKeyExA(Scratch(), "Missing", platform::kKeyRead, &key); });
  EXPECT_EQ(openEx.value, error::kFileNotFound) << openEx;

  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  const auto query =
      Observe(sys(), [&] { return sys().RegQueryValueExA(Scratch(), "Missing", &type, &data); });
  EXPECT_EQ(query.value, error::kFileNotFound) << query;
  const auto deleteValue =
      Observe(sys(), [&] { return sys().RegDeleteValueA(Scratch(), "Missing"); });
  EXPECT_EQ(deleteValue.value, error::kFileNotFound) << deleteValue;
  const auto deleteKey = Observe(sys(), [&] { return sys().RegDeleteKeyA(Scratch(), "Missing"); });
  EXPECT_EQ(deleteKey.value, error::kFileNotFound) << deleteKey;
}

TEST_F(RegistryContract, DeletingAValueLeavesTheOthers) {
  SetValue(Scratch(), "Worm", platform::kRegSz, StringValue("c:\\worm.exe"));
  SetValue(Scratch(), "Keep", platform::kRegSz, StringValue("c:\\keep.exe"));

  const auto deleted = Observe(sys(), [&] { return sys().RegDeleteValueA(Scratch(), "worm"); });
  EXPECT_EQ(deleted.value, error::kSuccess) << deleted;
  long endCode = 0;
  EXPECT_EQ(ValueNames(Scratch(), &endCode), std::multiset<std::string>{"Keep"});
}

TEST_F(RegistryContract, ReopeningAnExistingKeyWithCreateKeepsItsValues) {
  CreateKey("Existing");
  HKey first = 0;
  ASSERT_EQ(sys().RegOpenKeyA(Scratch(), "Existing", &first), error::kSuccess);
  SetValue(first, "Kept", platform::kRegDword, DwordValue(7));
  sys().RegCloseKey(first);

  HKey again = 0;
  const auto created =
      Observe(sys(), [&] { return sys().RegCreateKeyA(Scratch(), "Existing", &again); });
  ASSERT_EQ(created.value, error::kSuccess) << created;
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  EXPECT_EQ(sys().RegQueryValueExA(again, "Kept", &type, &data), error::kSuccess);
  EXPECT_EQ(data, DwordValue(7));
  EXPECT_EQ(sys().RegCloseKey(again), error::kSuccess);
}

// On the NT family a key with sub-keys cannot be deleted; the service pass
// counts on code 5 to go down and delete the sub-keys first.
TEST_F(RegistryContract, KeyWithSubKeysRefusesDeletionWithAccessDenied) {
  CreateKey("Service\\Security");
  CreateKey("Service\\Enum");

  const auto refused = Observe(sys(), [&] { return sys().RegDeleteKeyA(Scratch(), "Service"); });
  EXPECT_EQ(refused.value, error::kAccessDenied) << refused;
  HKey service = 0;
  ASSERT_EQ(sys().RegOpenKeyA(Scratch(), "Service", &service), error::kSuccess)
      << "the refused key is still there";

  EXPECT_EQ(sys().RegDeleteKeyA(service, "Security"), error::kSuccess);
  EXPECT_EQ(sys().RegDeleteKeyA(service, "Enum"), error::kSuccess);
  sys().RegCloseKey(service);
  const auto deleted = Observe(sys(), [&] { return sys().RegDeleteKeyA(Scratch(), "Service"); });
  EXPECT_EQ(deleted.value, error::kSuccess) << deleted;
  HKey gone = 0;
  EXPECT_EQ(sys().RegOpenKeyA(Scratch(), "Service", &gone), error::kFileNotFound);
}

// The service pass deletes a service's own key through its open handle.
TEST_F(RegistryContract, EmptySubKeyNameDeletesTheOpenKeyItself) {
  CreateKey("Parent\\Child");
  HKey parent = 0;
  ASSERT_EQ(sys().RegOpenKeyA(Scratch(), "Parent", &parent), error::kSuccess);
  const auto refused = Observe(sys(), [&] { return sys().RegDeleteKeyA(parent, ""); });
  EXPECT_EQ(refused.value, error::kAccessDenied) << refused << " (the key still has a sub-key)";

  HKey child = 0;
  ASSERT_EQ(sys().RegOpenKeyA(parent, "Child", &child), error::kSuccess);
  const auto deleted = Observe(sys(), [&] { return sys().RegDeleteKeyA(child, ""); });
  EXPECT_EQ(deleted.value, error::kSuccess) << deleted;
  sys().RegCloseKey(child);
  HKey gone = 0;
  EXPECT_EQ(sys().RegOpenKeyA(parent, "Child", &gone), error::kFileNotFound);
  sys().RegCloseKey(parent);
}

// Deleting the sub-key at index 0 moves its followers up: the service pass
// enumerates index 0 again after each deletion.
TEST_F(RegistryContract, DeletedSubKeysFollowersMoveUp) {
  for (const char* name : {"Enum", "Parameters", "Security"}) CreateKey(name);

  std::multiset<std::string> deleted;
  std::string name;
  long code = error::kSuccess;
  for (int round = 0; round < 10; ++round) {
    code = sys().RegEnumKeyExA(Scratch(), 0, kNameBuffer, &name);
    if (code != error::kSuccess) break;
    ASSERT_EQ(sys().RegDeleteKeyA(Scratch(), name), error::kSuccess) << name;
    deleted.insert(name);
  }
  EXPECT_EQ(code, error::kNoMoreItems);
  EXPECT_EQ(deleted, (std::multiset<std::string>{"Enum", "Parameters", "Security"}));
}

}  // namespace
}  // namespace contract
