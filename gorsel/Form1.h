// The fixer window's logic: start-up, the suspect-process list, the buttons
// and the fix procedure. The window (gorsel/win32) draws what this decides.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "gorsel/FormHost.h"
#include "gorsel/ProcessFilter.h"
#include "gorsel/ProcessList.h"
#include "gorsel/SystemGuard.h"
#include "platform/Platform.h"
#include "platform/WindowsOwnFiles.h"
#include "platform/restore/RecordWriter.h"

namespace gorsel {

constexpr const char* kLoadValuePath =
    "HKCU\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows\\load";

// The logon name of the calling user; raises platform::RuntimeError with the
// system's error code when it cannot be read.
std::string GetCurrentUserName(platform::Platform& system);
// The user's Start Menu folder; "" when the system does not name one.
std::string GetStartMenuFolder(platform::Platform& system);

class Form1 {
 public:
  Form1(platform::Platform& system, FormHost& host);

  // Raises platform::RuntimeError when the user name cannot be read.
  void Form_Load();
  void RefreshProcessList();
  void KillListedProcesses();
  void doFix_Click();
  void Command1_Click();
  void Command2_Click();
  void Form_Unload();

  const std::string& loadValue() const { return loadValue_; }
  const std::string& processFilter() const { return processFilter_; }
  const std::string& text1() const { return text1_; }

 private:
  void ScanRunValues(platform::HKey hive, const std::string& hivePrefix, const std::string& subKey,
                     const std::string& needle);
  void AppendText1(const std::string& text);
  // Says in Text1 that value starts a program that runs others' work.
  void NoteHost(const ProcessFilter& filter);
  // Clears the read-only, hidden and system marks, remembering the marks
  // the file had for its record and for a file that is kept after all.
  void ClearAttributes(const std::string& path);
  // True when a file of exactly that name (case kept) is at path.
  bool IsNamed(const std::string& path, const std::string& name, bool ignoreCase);
  // Copies the file into the backup folder, deletes it only once the copy
  // is there, and records it. A file that cannot be copied stays, with the
  // marks it had, and is counted for the last box.
  void BackUpAndDeleteFile(const std::string& path);
  void DeleteStartupShortcut(const std::string& path, const std::string& name);
  void DeleteLoadProgram();
  void KillByImageNames(const std::vector<const char*>& names);
  void DeleteFamilyFiles(const char* const* first, const char* const* last);
  void BackUpAndDeleteValue(const std::string& hivePath);
  void BackUpAndDeleteValue(platform::HKey hive, const std::string& subKey,
                            const std::string& valueName);
  // Copies the hosts file beside itself, then deletes it; says in words what
  // became of it. False when it must not be written anew.
  bool ReplaceHostsFile(std::string* copy, std::string* note);
  bool WriteHostsFile();
  // Writes one removal to the fix's restore record, counting one it cannot.
  void Record(const platform::restore::Item& item);
  void OpenPage(const char* address);

  platform::Platform& system_;
  FormHost& host_;
  std::unique_ptr<platform::WindowsOwnFiles> windowsOwn_;
  SystemGuard guard_;
  std::string loadValue_;
  std::string processFilter_;
  std::vector<ProcessRow> rows_;
  std::string text1_;
  int valuesNotSaved_ = 0;
  // Files of this fix kept because no copy could be made, lower case.
  std::set<std::string> filesNotSaved_;
  // The marks ClearAttributes took from a file still there, by lower-case path.
  std::map<std::string, std::uint32_t> clearedMarks_;
  // Held apart so that the form can still be moved.
  std::unique_ptr<platform::restore::RecordWriter> record_;
  int removalsNotRecorded_ = 0;
};

}  // namespace gorsel
