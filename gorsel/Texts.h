// What Gorsel says: window captions and the texts of its message boxes.
#pragma once

#include <string>

namespace gorsel::texts {

std::string WindowCaption();
std::string FixButtonCaption();
std::string Command1Caption();
std::string Command2Caption();
std::string InstructionText();

constexpr const char* kLoggedInAs = "Currently logged in as:";
constexpr const char* kInstructions = "Instructions:";
constexpr const char* kReviewSuspects =
    "The more technically inclined people might wish to review the \"suspected\" virus listed "
    "below:";
constexpr const char* kRememberRestart = "Remember to RESTART/REBOOT your computer after fix!";
constexpr const char* kOtherAccount =
    "If you got infected from another account, please login from there and run this.";
constexpr const char* kUserNamePlaceholder = "Username";
constexpr const char* kProcessColumn = "Process";
constexpr const char* kPidColumn = "PID";

constexpr const char* kWindows98 = "Windows 98 not yet supported";
constexpr const char* kUserNameError = "A system call returned an error code of ";
constexpr const char* kFinalTitle = "Attempted to remove viruses...";

// The final box; hostsNote says what became of the user's hosts file,
// backupNote where the removed files and values were saved.
std::string FinalMessage(const std::string& hostsNote, const std::string& backupNote);
// The fix's only box when the system folder is unknown.
constexpr const char* kNoSystemFolder =
    "Gorsel could not learn where Windows keeps its own programs, so it cannot tell them from "
    "the impostor's. Nothing was changed.";
// Text1's line for a value that starts a Windows program or a host of
// scripts, whose processes are never ended for it.
std::string HostNote(const std::string& program);
std::string BackupNote(const std::string& folder, int valuesNotSaved, int filesNotSaved);
// The line added when removals are missing from the restore record at path.
std::string RecordNote(const std::string& path, int removalsNotRecorded);
std::string UnloadMessage();

}  // namespace gorsel::texts
