// The Windows build works on the real system it runs on.
#include <stdexcept>

#include "platform/win32/Win32Platform.h"
#include "quellix/tools/quellix_pass/PassMachine.h"

namespace quellix::pass {

const bool kScenarioBuild = false;

namespace {

class RealMachine : public PassMachine {
 public:
  platform::Platform& Platform() override { return platform_; }
  void Save(const std::string&) override {
    throw std::logic_error("a real machine cannot be saved as a scenario");
  }

 private:
  platform::win32::Win32Platform platform_;
};

}  // namespace

std::unique_ptr<PassMachine> OpenMachine(const Options&) { return std::make_unique<RealMachine>(); }

}  // namespace quellix::pass
