// The fixture and helpers every contract case shares: a backend and a
// platform object per test, and calls observed together with the last error
// they leave, so that every failed assertion shows both.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "tests/contract/Backend.h"

namespace contract {

// Seeded before every observed call: a call that claims to set the last
// error but leaves this behind is caught.
constexpr std::uint32_t kSeededError = 0xdeadbeef;

// What one call returned and the last error it left.
template <typename T>
struct Outcome {
  T value;
  std::uint32_t lastError;
};

template <typename T>
std::ostream& operator<<(std::ostream& out, const Outcome<T>& outcome) {
  const auto flags = out.flags();
  out << std::boolalpha << "returned " << outcome.value << ", last error " << outcome.lastError
      << " (0x" << std::hex << outcome.lastError << ")";
  out.flags(flags);
  return out;
}

// Seeds the last error, makes the call and reads the last error at once.
template <typename Call>
auto Observe(platform::Platform& platform, Call&& call) -> Outcome<decltype(call())> {
  platform.SetLastError(kSeededError);
  auto value = call();
  const std::uint32_t lastError = platform.GetLastError();
  return {value, lastError};
}

class ContractTest : public ::testing::Test {
 protected:
  ContractTest() : backend_(MakeBackendUnderTest()), platform_(backend_->NewPlatform()) {}

  Backend& backend() { return *backend_; }
  platform::Platform& sys() { return *platform_; }
  bool OnWine() const { return backend_->Kind() == BackendKind::kWine; }

  // "Suite.Case": names the case's scratch folder and key.
  static std::string CaseName();

 private:
  std::unique_ptr<Backend> backend_;
  std::unique_ptr<platform::Platform> platform_;
};

// The bytes of a text, without a terminating NUL.
std::vector<std::uint8_t> Bytes(const std::string& text);
// A REG_SZ as RegSetValueExA is given it: the text and its terminating NUL.
std::vector<std::uint8_t> StringValue(const std::string& text);
std::vector<std::uint8_t> DwordValue(std::uint32_t value);

std::string LowerAscii(std::string text);
bool EndsWithNoCase(const std::string& text, const std::string& ending);

// "C:\", "c:\windows\", ... : a drive letter, a colon and a backslash.
bool StartsWithDriveRoot(const std::string& path);

}  // namespace contract
