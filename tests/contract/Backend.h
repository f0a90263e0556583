// The machine a contract test runs against: the in-memory machine in the
// native build, the real API (under Wine, or on Windows) in the Windows build.
// Each test binary links exactly one backend, which defines
// MakeBackendUnderTest.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Platform.h"

namespace contract {

enum class BackendKind { kSimulated, kWine, kWindows };

// A process that runs on the machine under test, and the file name of its image.
struct RunningProcess {
  std::uint32_t pid = 0;
  std::string imageFileName;
};

class Backend {
 public:
  virtual ~Backend() = default;

  virtual BackendKind Kind() const = 0;

  // A platform object on the machine under test. Every object made by one
  // backend sees the same machine, as two copies of a program would.
  virtual std::unique_ptr<platform::Platform> NewPlatform() = 0;

  // A process known to run, found without the platform interface so that the
  // process calls can be checked against it.
  virtual RunningProcess KnownProcess() = 0;

  // Whether started programs really run; the simulated machine only records them.
  virtual bool RunsPrograms() const = 0;

  // Removes an empty folder made by a test: the interface deletes files only.
  virtual void RemoveFolder(const std::string& path) = 0;

  // Makes the machine a 64-bit Windows that runs the test as a 64-bit
  // program, where the backend can: false on a real 32-bit Windows, and for
  // a 32-bit build (WOW64 is the sim's own subject).
  virtual bool SixtyFourBitWindows() = 0;
};

std::unique_ptr<Backend> MakeBackendUnderTest();

const char* BackendName(BackendKind kind);

}  // namespace contract
