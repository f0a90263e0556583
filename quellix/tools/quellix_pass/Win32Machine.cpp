// The Windows build works on the real system it runs on.
#include <stdexcept>

#include "platform/win32/Win32Platform.h"
#include "quellix/tools/quellix_pass/PassMachine.h"

// After Platform.h, which must come first.
#include <windows.h>

namespace quellix::pass {

const bool kScenarioBuild = false;

namespace {

class RealMachine : public PassMachine {
 public:
  platform::Platform& Platform() override { return platform_; }
  void Save(const std::string&) override {
    throw std::logic_error("a real machine cannot be saved as a scenario");
  }

  // A member of the Administrators group with that membership in force
  // (elevated, where Windows splits the token).
  bool MayChangeMachine() override {
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!::AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                    DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &administrators)) {
      return false;
    }
    BOOL member = FALSE;
    const bool asked = ::CheckTokenMembership(nullptr, administrators, &member) != FALSE;
    ::FreeSid(administrators);
    return asked && member != FALSE;
  }

 private:
  platform::win32::Win32Platform platform_;
};

}  // namespace

std::unique_ptr<PassMachine> OpenMachine(const Options&) { return std::make_unique<RealMachine>(); }

}  // namespace quellix::pass
