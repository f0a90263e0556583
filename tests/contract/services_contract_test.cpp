// The service manager as the service pass uses it: the services key that it
// enumerates, the manager it opens, and the code of a service that is not there.
#include <string>
#include <vector>

#include "tests/contract/ContractTest.h"

namespace contract {
namespace {

namespace error = platform::error;
using platform::Handle;

constexpr const char* kServicesKey = "System\\CurrentControlSet\\Services";

class ServicesContract : public ContractTest {
 protected:
  // The first service key that names a program to run (Type and ImagePath).
  std::string FirstServiceWithImagePath() {
    platform::HKey services = 0;
    EXPECT_EQ(sys().RegOpenKeyA(platform::kHkeyLocalMachine, kServicesKey, &services),
              error::kSuccess);
    std::string found;
    std::string name;
    for (std::uint32_t index = 0;
         found.empty() && sys().RegEnumKeyExA(services, index, 255, &name) == error::kSuccess;
         ++index) {
      platform::HKey service = 0;
      if (sys().RegOpenKeyA(services, name, &service) != error::kSuccess) continue;
      std::uint32_t type = 0;
      std::vector<std::uint8_t> data;
      if (sys().RegQueryValueExA(service, "ImagePath", &type, &data) == error::kSuccess &&
          sys().RegQueryValueExA(service, "Type", &type, &data) == error::kSuccess) {
        found = name;
      }
      sys().RegCloseKey(service);
    }
    sys().RegCloseKey(services);
    return found;
  }
};

TEST_F(ServicesContract, ServicesKeyListsTheInstalledServices) {
  platform::HKey services = 0;
  const auto opened = Observe(sys(), [&] {
    return sys().RegOpenKeyA(platform::kHkeyLocalMachine, kServicesKey, &services);
  });
  ASSERT_EQ(opened.value, error::kSuccess) << opened;
  std::string name;
  const auto first = Observe(sys(), [&] { return sys().RegEnumKeyExA(services, 0, 255, &name); });
  EXPECT_EQ(first.value, error::kSuccess) << first;
  EXPECT_EQ(sys().RegCloseKey(services), error::kSuccess);
}

TEST_F(ServicesContract, ServiceOfTheServicesKeyOpensWithAllAccess) {
  const std::string service = FirstServiceWithImagePath();
  ASSERT_FALSE(service.empty()) << "no service key has an ImagePath";

  const auto manager = Observe(sys(), [&] {
    return sys().OpenSCManagerA("", "ServicesActive", platform::kScManagerAllAccess);
  });
  ASSERT_NE(manager.value, platform::kNullHandle) << manager;
  const auto opened = Observe(sys(), [&] {
    return sys().OpenServiceA(manager.value, service, platform::kServiceAllAccess);
  });
  EXPECT_NE(opened.value, platform::kNullHandle) << service << ": " << opened;
  if (opened.value != platform::kNullHandle) {
    EXPECT_TRUE(sys().CloseServiceHandle(opened.value));
  }
  EXPECT_TRUE(sys().CloseServiceHandle(manager.value));
}

TEST_F(ServicesContract, ServiceThatIsNotInstalledDoesNotOpen) {
  const Handle manager = sys().OpenSCManagerA("", "ServicesActive", platform::kScManagerAllAccess);
  ASSERT_NE(manager, platform::kNullHandle);
  const auto opened = Observe(sys(), [&] {
    return sys().OpenServiceA(manager, "QuellixContractTestsNoSuchService",
                              platform::kServiceAllAccess);
  });
  EXPECT_EQ(opened.value, platform::kNullHandle) << opened;
  EXPECT_EQ(opened.lastError, static_cast<std::uint32_t>(error::kServiceDoesNotExist)) << opened;
  EXPECT_TRUE(sys().CloseServiceHandle(manager));
}

}  // namespace
}  // namespace contract
