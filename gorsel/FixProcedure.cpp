// The fix button: every step runs whatever the one before it achieved, and a
// failing statement is passed over without a word.
#include <cstdint>

#include "gorsel/Form1.h"
#include "gorsel/HostsRemoval.h"
#include "gorsel/Paths.h"
#include "gorsel/Publisher.h"
#include "gorsel/RegistryHelpers.h"
#include "gorsel/Texts.h"
#include "gorsel/ValueBackup.h"
#include "platform/restore/BackupCopy.h"

namespace gorsel {

namespace {

constexpr const char* kHostsPath = "c:\\windows\\system32\\drivers\\etc\\hosts";
// The hosts copy, every removed value and every deleted file are kept
// together, beside the hosts file.
constexpr const char* kBackupFolder = "c:\\windows\\system32\\drivers\\etc\\";
constexpr const char* kAllUsersStartupShortcut =
    "C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Startup\\winlogon.lnk";
constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run\\";
constexpr const char* kDocumentsNeedle = "docume";
constexpr const char* kFakeServiceHost = "c:\\windows\\svchost.exe";
constexpr int kPasses = 6;
constexpr std::uint32_t kHiddenSystemReadOnly = platform::kFileAttributeReadOnly |
                                                platform::kFileAttributeHidden |
                                                platform::kFileAttributeSystem;

const char* const kStartupValues[] = {
    "HKCU\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows\\load",
    "HKCU\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows\\run",
    "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows\\load",
    "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows\\run"};

const char* const kRunValues[] = {
    "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\SystemTray",
    "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\WINDOWS SYSTEM",
    "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\RunServices\\WINDOWS SYSTEM",
    "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\curb iso"};

const char* const kFirstFiles[] = {"c:\\myspace.com.exe", "C:\\WINDOWS\\System32\\ctech.exe"};

const char* const kLockedFiles[] = {"C:\\WINDOWS\\system32\\sysrcvr246.dll",
                                    "C:\\WINDOWS\\system32\\prodigys323.dll"};

// The family's files in the system folder: the only paths there that the fix
// may end or delete.
const std::vector<std::string> kNamedByFix = {
    "C:\\WINDOWS\\System32\\ctech.exe", "C:\\WINDOWS\\system32\\msnmsg.exe",
    "C:\\WINDOWS\\system32\\sysrcvr246.dll", "C:\\WINDOWS\\system32\\prodigys323.dll"};

const char* const kSecondFiles[] = {
    "C:\\WINDOWS\\KVste.exe",
    "C:\\Program Files\\Ipwindows\\ipwins.exe",
    "C:\\Program Files\\Common Files\\{F8960F25-0BB0-1033-1028-05050622002c}\\Update.exe",
    "C:\\WINDOWS\\msnmsg.exe",
    "C:\\WINDOWS\\system32\\msnmsg.exe",
    "C:\\WINDOWS\\svchost.exe",
    "C:\\WINDOWS\\system32\\sysrcvr246.dll",
    "C:\\WINDOWS\\system32\\prodigys323.dll"};

std::string HostsText() {
  return std::string("# Hosts file restored by ") + kPublisherName +
         "\r\n"
         "# ---------------------------------\r\n"
         "127.0.0.1      localhost\r\n";
}

}  // namespace

void Form1::doFix_Click() {
  if (!guard_.KnowsTheSystem()) {
    host_.ShowMessageBox(texts::kNoSystemFolder, texts::kFinalTitle, BoxIcon::kInformation);
    return;
  }
  valuesNotSaved_ = 0;
  filesNotSaved_.clear();
  removalsNotRecorded_ = 0;
  record_->Start(kBackupFolder);

  // 1: the processes started from the load value.
  if (!loadValue_.empty()) {
    KillListedProcesses();
    RefreshProcessList();
  }
  host_.DoEvents();

  // 2: the program of the load value, when it is the impostor itself.
  DeleteLoadProgram();

  // 3, 4: its start-up shortcuts.
  DeleteStartupShortcut(kAllUsersStartupShortcut, "winlogon.lnk");
  const std::string startMenu = GetStartMenuFolder(system_);
  if (!startMenu.empty()) {
    DeleteStartupShortcut(startMenu + "\\Programs\\Startup\\winlogon.lnk", "winlogon.lnk");
  }

  // 5: the load and run values, whatever they hold.
  for (const char* value : kStartupValues) BackUpAndDeleteValue(value);

  // 6: the hosts file goes, written anew in step 16, but only once a copy
  // of it is safe.
  std::string hostsCopy;
  std::string hostsNote;
  const bool hostsMayChange = ReplaceHostsFile(&hostsCopy, &hostsNote);
  host_.DoEvents();

  // 7 to 12: the family's other programs, values and files.
  for (int pass = 0; pass < kPasses; ++pass) {
    KillByImageNames({"myspace.com.exe", "ctech.exe", "SysTray.exe", "Jumpgrid.exe"});
  }
  for (const char* value : kRunValues) BackUpAndDeleteValue(value);
  for (int pass = 0; pass < kPasses; ++pass) {
    DeleteFamilyFiles(std::begin(kFirstFiles), std::end(kFirstFiles));
  }
  for (int pass = 0; pass < kPasses; ++pass) {
    KillByImageNames({"msnmsg.exe", "WLSetupSvc.exe", "Update.exe", "ipwins.exe", "KVste.exe"});
  }
  for (const char* file : kLockedFiles) ClearAttributes(file);
  for (int pass = 0; pass < kPasses; ++pass) {
    DeleteFamilyFiles(std::begin(kSecondFiles), std::end(kSecondFiles));
  }
  host_.DoEvents();

  // 13: a service host running from the Windows folder is the worm's.
  processFilter_ = kFakeServiceHost;
  RefreshProcessList();
  KillListedProcesses();
  RefreshProcessList();

  // 14: its second start-up shortcut.
  if (!startMenu.empty()) {
    DeleteStartupShortcut(startMenu + "\\Programs\\Startup\\services.lnk", "services.lnk");
  }

  // 15: programs started from a user's documents folder, both Run keys
  // listed one after the other.
  text1_.clear();
  host_.ShowText1(text1_);
  ScanRunValues(platform::kHkeyCurrentUser, "HKCU\\", kRunKey, kDocumentsNeedle);
  ScanRunValues(platform::kHkeyLocalMachine, "HKLM\\", kRunKey, kDocumentsNeedle);

  // 16, 17.
  if (hostsMayChange && !WriteHostsFile()) {
    // The user is never left without a hosts file: the old one goes back.
    if (hostsCopy.empty()) {
      hostsNote = "No hosts file could be written.";
    } else if (system_.CopyFileA(hostsCopy, kHostsPath, false)) {
      hostsNote = "Your hosts file could not be written anew, so the previous one was put back.";
    } else {
      hostsNote =
          "Your hosts file could not be written anew, nor the previous one put back: it is "
          "kept as " +
          hostsCopy + ".";
    }
  }
  record_->Close();
  std::string backupNote =
      texts::BackupNote(kBackupFolder, valuesNotSaved_, static_cast<int>(filesNotSaved_.size()));
  if (removalsNotRecorded_ > 0) {
    backupNote += "\r\n" + texts::RecordNote(record_->Path(), removalsNotRecorded_);
  }
  host_.ShowMessageBox(texts::FinalMessage(hostsNote, backupNote), texts::kFinalTitle,
                       BoxIcon::kInformation);
}

void Form1::ScanRunValues(platform::HKey hive, const std::string& hivePrefix,
                          const std::string& subKey, const std::string& needle) {
  std::vector<std::string> names;
  std::vector<std::string> values;
  const int last = EnumRegistryValues(system_, hive, subKey, &names, &values);
  for (int i = 0; i <= last; ++i) {
    AppendText1("Name: " + names[i] + "\r\n---->Value: " + values[i] + "\r\n");
    if (LowerCase(values[i]).find(needle) == std::string::npos) continue;
    host_.ShowMessageBox(values[i], "", BoxIcon::kNone);
    processFilter_ = values[i];
    NoteHost(ProcessFilter(processFilter_, guard_));
    RefreshProcessList();
    KillListedProcesses();
    RefreshProcessList();
    host_.ShowMessageBox(hivePrefix + subKey + names[i], "", BoxIcon::kNone);
    BackUpAndDeleteValue(hive, subKey, names[i]);
  }
}

void Form1::AppendText1(const std::string& text) {
  text1_ += text;
  host_.ShowText1(text1_);
}

void Form1::ClearAttributes(const std::string& path) {
  const std::uint32_t attributes = system_.GetFileAttributesA(path);
  if (attributes == platform::kInvalidFileAttributes) return;
  if ((attributes & kHiddenSystemReadOnly) == 0) return;
  std::uint32_t cleared = attributes & ~kHiddenSystemReadOnly;
  if (system_.SetFileAttributesA(path, cleared == 0 ? platform::kFileAttributeNormal : cleared)) {
    clearedMarks_.emplace(LowerCase(path), attributes);
  }
}

bool Form1::IsNamed(const std::string& path, const std::string& name, bool ignoreCase) {
  if (path.find_first_of("*?") != std::string::npos) return false;
  std::vector<platform::FindEntry> entries;
  if (!system_.FindFiles(path, &entries) || entries.size() != 1) return false;
  const platform::FindEntry& entry = entries.front();
  if ((entry.attributes & platform::kFileAttributeDirectory) != 0) return false;
  return ignoreCase ? LowerCase(entry.name) == name : entry.name == name;
}

void Form1::BackUpAndDeleteFile(const std::string& path) {
  // Whatever named it, Windows' own file and Gorsel's are never deleted.
  if (guard_.Protects(path, kNamedByFix)) return;
  std::uint32_t attributes = system_.GetFileAttributesA(path);
  if (attributes == platform::kInvalidFileAttributes) {
    const std::uint32_t error = system_.GetLastError();
    // Most of the family's paths are not there: nothing to copy. A file
    // that cannot be looked at cannot be put back as it was.
    if (error != platform::error::kFileNotFound && error != platform::error::kPathNotFound) {
      filesNotSaved_.insert(LowerCase(path));
    }
    return;
  }
  const auto marks = clearedMarks_.find(LowerCase(path));
  if (marks != clearedMarks_.end()) attributes = marks->second;
  std::string copyName;
  switch (platform::restore::MakeBackupCopy(system_, path, kBackupFolder,
                                            path.substr(path.rfind('\\') + 1), &copyName)) {
    case platform::restore::BackupCopy::kMade:
    case platform::restore::BackupCopy::kAlreadyThere:
      break;
    case platform::restore::BackupCopy::kSourceMissing:
      return;
    case platform::restore::BackupCopy::kImpossible:
      filesNotSaved_.insert(LowerCase(path));
      if (marks != clearedMarks_.end() && system_.SetFileAttributesA(path, marks->second)) {
        clearedMarks_.erase(marks);
      }
      return;
  }
  if (!system_.DeleteFileA(path)) return;
  if (marks != clearedMarks_.end()) clearedMarks_.erase(marks);
  Record(platform::restore::RemovedFileOf(system_, NativePlace(system_, path), attributes,
                                          kBackupFolder, copyName));
}

void Form1::DeleteStartupShortcut(const std::string& path, const std::string& name) {
  ClearAttributes(path);
  if (IsNamed(path, name, false)) BackUpAndDeleteFile(path);
}

// The file judged is the one the file system reaches, whatever the value's
// spelling ("..", "\\.\\", doubled separators, short names).
void Form1::DeleteLoadProgram() {
  const std::string program = ResolvedPath(ProgramOfValue(loadValue_));
  if (!IsFullPath(program)) return;
  const std::string path = LongPath(system_, program);
  if (path.empty() || guard_.Protects(path)) return;
  if (IsNamed(path, "winlogon.exe", false)) BackUpAndDeleteFile(path);
}

void Form1::KillByImageNames(const std::vector<const char*>& names) {
  for (const char* name : names) KillProcessesByImageName(system_, name, guard_, kNamedByFix);
}

void Form1::DeleteFamilyFiles(const char* const* first, const char* const* last) {
  for (const char* const* file = first; file != last; ++file) {
    BackUpAndDeleteFile(*file);
  }
}

void Form1::BackUpAndDeleteValue(const std::string& hivePath) {
  platform::HKey hive = 0;
  std::string subKey;
  std::string valueName;
  if (SplitValuePath(hivePath, &hive, &subKey, &valueName)) {
    BackUpAndDeleteValue(hive, subKey, valueName);
  }
}

void Form1::BackUpAndDeleteValue(platform::HKey hive, const std::string& subKey,
                                 const std::string& valueName) {
  platform::restore::RemovedValue deleted;
  if (gorsel::BackUpAndDeleteValue(system_, hive, subKey, valueName, kBackupFolder, &deleted) ==
      ValueBackup::kNotSaved) {
    ++valuesNotSaved_;
  }
  if (deleted.regFile.empty()) return;
  // A 32-bit Gorsel on a 64-bit Windows reaches the 32-bit programs' keys
  // of HKLM\Software; HKCU\Software is one key for both.
  bool wow64 = false;
  if (hive == platform::kHkeyLocalMachine && system_.IsWow64Process(&wow64) && wow64) {
    deleted.view = platform::restore::View::k32Bit;
  }
  Record(deleted);
}

void Form1::Record(const platform::restore::Item& item) {
  // The removal stands; only its undoing is lost, and the last box says so.
  if (!record_->Append(item)) ++removalsNotRecorded_;
}

bool Form1::ReplaceHostsFile(std::string* copy, std::string* note) {
  const std::uint32_t attributes = system_.GetFileAttributesA(kHostsPath);
  if (attributes == platform::kInvalidFileAttributes) {
    // Nothing to keep (or nothing that can be looked at): only a missing
    // file may be written anew.
    const std::uint32_t error = system_.GetLastError();
    if (error == platform::error::kFileNotFound || error == platform::error::kPathNotFound) {
      return true;
    }
    *note = "Your hosts file was left as it was, because it could not be looked at.";
    return false;
  }
  // The copy comes first: its marks (read-only, hidden, system) stay on the
  // file whenever no copy can be made.
  std::string copyName;
  const platform::restore::BackupCopy made =
      platform::restore::MakeBackupCopy(system_, kHostsPath, kBackupFolder, "hosts", &copyName);
  if (made != platform::restore::BackupCopy::kMade &&
      made != platform::restore::BackupCopy::kAlreadyThere) {
    *note = "Your hosts file was left as it was, because no copy of it could be made.";
    return false;
  }
  *copy = kBackupFolder + copyName;
  *note = "Your previous hosts file was kept as " + *copy + ".";
  ClearAttributes(kHostsPath);
  if (IsNamed(kHostsPath, "hosts", true) && system_.DeleteFileA(kHostsPath)) {
    platform::restore::RemovedHostsLines removal;
    if (HostsRemoval(system_, kHostsPath, attributes, *copy, HostsText(), &removal)) {
      Record(removal);
    } else {
      ++removalsNotRecorded_;
    }
  }
  return true;
}

bool Form1::WriteHostsFile() {
  const platform::Handle file =
      system_.CreateFileA(kHostsPath, platform::kGenericWrite, 0, platform::kCreateAlways,
                          platform::kFileAttributeNormal);
  if (file == platform::kInvalidHandleValue || file == platform::kNullHandle) return false;
  const std::string text = HostsText();
  std::uint32_t written = 0;
  const bool whole =
      system_.WriteFile(file, std::vector<std::uint8_t>(text.begin(), text.end()), &written) &&
      written == text.size();
  system_.CloseHandle(file);
  return whole;
}

}  // namespace gorsel
