// Windows' file protection and the control question that tells a real answer
// from a stub: every Windows protects kernel32.dll in its system folder, while
// Wine's stub says "no" with 2 to every file, exactly as Windows does for a
// file it does not protect.
#include <string>

#include "platform/WindowsOwnFiles.h"
#include "tests/contract/ContractTest.h"
#include "tests/contract/Scratch.h"

namespace contract {
namespace {

class ProtectionContract : public ContractTest {
 protected:
  std::string SystemFile(const std::string& name) {
    std::string buffer(261, '\0');
    const std::uint32_t length = sys().GetSystemDirectoryA(buffer);
    EXPECT_GT(length, 0u);
    return buffer.substr(0, length) + "\\" + name;
  }

  Outcome<bool> Protected(const std::string& path) {
    const std::u16string wide = sys().MultiByteToWideChar(platform::kCpAcp, path);
    return Observe(sys(), [&] { return sys().SfcIsFileProtected(wide); });
  }
};

TEST_F(ProtectionContract, TheControlQuestionTellsAnAnswerFromAStub) {
  ScratchFolder scratch(backend(), sys(), CaseName());
  ASSERT_TRUE(scratch.Write("unprotected.exe", "MZ"));

  const auto unprotected = Protected(scratch / "unprotected.exe");
  EXPECT_FALSE(unprotected.value) << unprotected;
  EXPECT_EQ(unprotected.lastError, platform::error::kFileNotFound) << unprotected;

  const auto control = Protected(SystemFile("kernel32.dll"));
  if (OnWine()) {
    EXPECT_FALSE(control.value) << "Wine's stub protects nothing: " << control;
    EXPECT_EQ(control.lastError, platform::error::kFileNotFound) << control;
  } else {
    EXPECT_TRUE(control.value) << control;
  }

  // The identity function asks the same question and, where it gets no
  // answer, falls back to its table: either way svchost.exe in the system
  // folder is Windows' own and the scratch file is not.
  const platform::WindowsOwnFiles identity(sys());
  EXPECT_EQ(identity.SystemAnswers(), control.value);
  EXPECT_TRUE(identity.IsWindowsOwn(SystemFile("svchost.exe")));
  EXPECT_FALSE(identity.IsWindowsOwn(scratch / "unprotected.exe"));
  EXPECT_FALSE(identity.IsWindowsOwn(scratch / "svchost.exe"));
}

}  // namespace
}  // namespace contract
