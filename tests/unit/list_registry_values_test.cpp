#include <gtest/gtest.h>

#include <string>

#include "quellix/engine/session/Session.h"
#include "quellix/engine/detection/mdlSmartScan.h"
#include "tests/support/SimQuellix.h"

namespace quellix {
namespace {

constexpr const char* kRunKey = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class ListRegistryValuesTest : public testing::Test {
 protected:
  ItemList List() {
    Session session(sim.platform, sim.host, sim.language, phases);
    session.frmMain.lstKeys.clear();
    platform::HKey key = 0;
    EXPECT_EQ(sim.platform.RegOpenKeyA(platform::kHkeyLocalMachine,
                                       "Software\\Microsoft\\Windows\\CurrentVersion\\Run", &key),
              0);
    ListRegistryValues(session, key);
    sim.platform.RegCloseKey(key);
    return session.frmMain.lstKeys;
  }

  test::SimQuellix sim;
  BuiltPhases phases;
};

TEST_F(ListRegistryValuesTest, ListsValuesWithDataAsLowerCaseNameEqualsData) {
  sim.machine.registry.RemoveKey(kRunKey);
  sim.machine.registry.SetString(kRunKey, "WinMgrs", "C:\\WINDOWS\\WinMgrs.exe -Start");
  sim.machine.registry.SetValue(kRunKey, "NoData", platform::kRegSz, {});
  sim.machine.registry.SetString(kRunKey, "EmptyText", "");
  sim.machine.registry.SetExpandString(kRunKey, "Tray", "%SystemRoot%\\tray.exe");
  // An empty text still has its terminating NUL; only a value without any
  // data is passed over.
  EXPECT_EQ(List(), (ItemList{"winmgrs=c:\\windows\\winmgrs.exe -start",
                              "emptytext=", "tray=%systemroot%\\tray.exe"}));
}

TEST_F(ListRegistryValuesTest, ReadsValuesLongerThanTheBuffersWhole) {
  sim.machine.registry.RemoveKey(kRunKey);
  const std::string longData = "c:\\" + std::string(400, 'x') + ".exe";
  const std::string longName(300, 'n');
  sim.machine.registry.SetString(kRunKey, "long", longData);
  sim.machine.registry.SetString(kRunKey, longName, "c:\\a.exe");
  sim.machine.registry.SetString(kRunKey, "after", "c:\\b.exe");
  EXPECT_EQ(List(), (ItemList{"long=" + longData, longName + "=c:\\a.exe", "after=c:\\b.exe"}));
}

TEST_F(ListRegistryValuesTest, AValueUnreadableEvenAtItsReportedSizeIsTheOnlyOneLeftOut) {
  sim.machine.registry.RemoveKey(kRunKey);
  sim.machine.registry.SetString(kRunKey, "first", "c:\\a.exe");
  sim.machine.registry.SetString(kRunKey, "grows", "c:\\" + std::string(300, 'g') + ".exe");
  sim.machine.registry.SetString(kRunKey, "worm", "c:\\worm.exe");
  // The first read of "grows" reports its size; the second one, with that
  // size, meets a value that has grown again.
  sim.machine.InjectFault("RegEnumValueA", "", platform::error::kMoreData, 1).skip = 2;
  EXPECT_EQ(List(), (ItemList{"first=c:\\a.exe", "worm=c:\\worm.exe"}));
}

TEST_F(ListRegistryValuesTest, StopsWhenTheKeyCannotBeEnumerated) {
  sim.machine.InjectFault("RegEnumValueA", "", 6);
  EXPECT_TRUE(List().empty());
}

}  // namespace
}  // namespace quellix
