// The state of one simulated Windows PC: registry, files, processes,
// services, drives, system settings, program resources, the faults that
// should meet the program, and a record of everything the program asked the
// machine to change. SimPlatform works on it; scenario files load and save it.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"
#include "platform/sim/SimFileSystem.h"
#include "platform/sim/SimRegistry.h"

namespace platform::sim {

// Where the service control manager keeps each service's key.
constexpr const char* kServicesKey = "HKLM\\SYSTEM\\CurrentControlSet\\Services";

struct Process {
  std::uint32_t pid = 0;
  // The main module's path as GetModuleFileNameExA reports it, which for a few
  // core processes is an NT form ("\SystemRoot\System32\smss.exe",
  // "\??\C:\WINDOWS\system32\csrss.exe"). Empty for processes without modules
  // (the idle process, System).
  std::string imagePath;
  bool terminateSucceeds = true;  // false: TerminateProcess fails with 5
  bool openable = true;           // false: OpenProcess fails with 5
  std::uint32_t parentPid = 0;    // the process that started this one
  // A 64-bit process of a 64-bit Windows: a 32-bit program cannot list its
  // modules (EnumProcessModules fails with 299), only ask for its image path.
  bool is64Bit = false;
  // When it was started (GetProcessTimes): AddProcess gives every process,
  // and a process that takes an existing id, a later time than all before.
  std::uint64_t creationTime = 0;
  // It owns the desktop window (Wine's desktop program does).
  bool ownsDesktop = false;
};

struct Service {
  std::string name;  // its key is kServicesKey + "\" + name
  bool running = true;
  bool stopSucceeds = true;  // false: the stop control fails with 1052
  // The process that ends when the service stops; 0 for none.
  std::uint32_t pid = 0;
};

struct Drive {
  char letter = 'C';  // upper case
  std::uint32_t type = kDriveFixed;
  // false: no medium in the drive; every file access on it fails with 21.
  bool ready = true;

  std::string Root() const;  // "C:\"
};

struct Resource {
  std::string type;  // compared without case
  int id = 0;
  std::vector<std::uint8_t> bytes;
};

// One injected failure: the next calls named call whose target matches fail
// with error (the Win32 code the call returns or leaves in GetLastError).
struct Fault {
  std::string call;    // a Platform method name ("RegOpenKeyA"), or "*" for every call
  std::string target;  // a pattern with '*' and '?', without case; "" matches any target
  std::uint32_t error = 0;
  int times = -1;  // failures left; -1 for ever, 0 spent
  int skip = 0;    // matching calls that still succeed before the first failure
};

// The exit code that RunProcessAndWait reports for matching command lines.
struct CommandRule {
  std::string pattern;  // '*' and '?' pattern over the whole command line, without case
  std::uint32_t exitCode = 0;
};

// One state-changing call, in the order the program made them, refusals too
// (see Machine::recordMissingTargets).
struct Change {
  std::string call;    // the Platform method name
  std::string target;  // a file path, "HKLM\..." key path (plus "\" + value name for
                       // value calls), service name, image path or command line
  std::string detail;  // what was asked, in words
  long result = 0;     // 0, or the Win32 error the call failed with
};

struct StartedProcess {
  std::string commandLine;
  int showWindow = 0;
  bool waited = false;  // RunProcessAndWait rather than StartProcess
  std::uint32_t pid = 0;
  std::uint32_t exitCode = 0;  // reported to RunProcessAndWait
};

struct ShellOpen {
  std::string verb;
  std::string file;
  std::string parameters;
  std::string directory;
  int showWindow = 0;
};

// How SfcIsFileProtected answers: from the files' protected marks; as the
// stub of a system without file protection (Wine), "no" with 2 for every
// file; or not at all, the call missing (120).
enum class FileProtection { kAnswers, kStub, kMissing };

struct Machine {
  Registry registry;
  FileSystem files;
  std::vector<Process> processes;  // in the order EnumProcesses lists them
  std::vector<Service> services;   // the service manager's database
  std::vector<Drive> drives;       // sorted by letter

  std::uint32_t platformId = kPlatformWin32Nt;
  OsVersion version{5, 1, 2600};  // GetVersionExA: Windows XP
  FileProtection fileProtection = FileProtection::kAnswers;
  // The program under test: its process id and its executable's path. A
  // test that wants it listed adds a process of that id and a file there.
  std::uint32_t programPid = 3996;
  std::string programPath = "C:\\Documents and Settings\\User\\Desktop\\quellix.exe";
  // A 64-bit Windows (Vista or later, x64): it has a SysWOW64 folder and the
  // Wow6432Node registry view, and QueryFullProcessImageNameA. program64
  // says the program under test is itself 64-bit; when it is 32-bit it runs
  // under WOW64: its file calls go from system32 to SysWOW64 unless it turns
  // redirection off, and its HKLM\Software opens Wow6432Node by default.
  bool windows64 = false;
  bool program64 = false;
  std::string systemDirectory = "C:\\WINDOWS\\system32";  // no trailing "\"
  std::string tempPath = "C:\\WINDOWS\\TEMP\\";           // with its trailing "\"
  std::string currentDirectory = "C:\\";                  // canonical; relative paths start here
  // GetLocaleInfoA's LOCALE_SENGLANGUAGE; empty makes the call fail.
  std::string localeLanguageName = "English";
  // GetACP: 1252 (Western), 1251 (Cyrillic) or 936 (Simplified Chinese); ANSI
  // names are bytes in this code page.
  std::uint32_t ansiCodePage = 1252;
  std::string userName = "User";
  LocalTime clock{2026, 12, 6, 9, 5, 7};
  int clockAdvanceSeconds = 0;                // added to the clock after every GetLocalTime
  std::map<int, std::string> specialFolders;  // CSIDL -> path
  std::vector<std::string> heldPrivileges;    // the user's token holds these
  std::vector<std::string> enabledPrivileges;
  std::vector<Resource> resources;
  std::vector<Fault> faults;
  // How often each call that can be made to fail was made, by name.
  std::map<std::string, long, std::less<>> callUses;
  std::vector<CommandRule> commandRules;
  // Single-instance names held by running copies (ClaimInstance).
  std::vector<std::string> runningInstances;

  // What the program asked for.
  // Requests refused only because their target does not exist (deleting or
  // changing the attributes of a missing file, copying a missing file,
  // deleting a missing registry value or key) are recorded only when this is
  // set: a removal run makes hundreds of thousands of them in its file sweep,
  // and they change nothing.
  bool recordMissingTargets = false;
  std::vector<Change> changes;
  std::vector<StartedProcess> startedProcesses;
  std::vector<ShellOpen> shellOpens;
  std::vector<std::string> mciCommands;
  std::uint32_t nextPid = 4000;  // given to started processes
  std::uint64_t nextCreationTime = 1;

  // Adds a process, or replaces the one with the same pid.
  Process& AddProcess(std::uint32_t pid, std::string imagePath);
  Process* FindProcess(std::uint32_t pid);
  const Process* FindProcess(std::uint32_t pid) const;
  bool RemoveProcess(std::uint32_t pid);

  // Registers a service with the service manager and writes its key (Type,
  // Start, ErrorControl, ImagePath as REG_EXPAND_SZ, DisplayName, and
  // ObjectName for a program). type: 1 kernel driver, 0x10 own process,
  // 0x20 shared process. An empty imagePath writes no ImagePath value.
  Service& AddService(std::string_view name, std::string_view imagePath, std::uint32_t type = 0x10,
                      bool running = true);
  Service* FindService(std::string_view name);
  const Service* FindService(std::string_view name) const;

  // Adds (or replaces) a drive and creates its root folder.
  Drive& AddDrive(char letter, std::uint32_t type, bool ready = true);
  Drive* FindDrive(char letter);
  const Drive* FindDrive(char letter) const;

  void AddResource(std::string_view type, int id, std::vector<std::uint8_t> bytes);
  const Resource* FindResource(std::string_view type, int id) const;

  Fault& InjectFault(std::string_view call, std::string_view target, std::uint32_t error,
                     int times = -1);
  // Every write and copy fails with 112 (ERROR_DISK_FULL).
  void FillDisk();
  // The error of the first live fault for call and any of targets, spending
  // one of its times; nullopt when no fault applies.
  std::optional<std::uint32_t> TakeFault(std::string_view call,
                                         const std::vector<std::string>& targets);

  // The system directory without its last folder ("C:\WINDOWS").
  std::string WindowsDirectory() const;
  // A 32-bit program on a 64-bit Windows.
  bool Wow64() const { return windows64 && !program64; }
  // The 32-bit system folder of a 64-bit Windows ("C:\WINDOWS\SysWOW64").
  std::string SystemWow64Directory() const;
  // Where a 32-bit program's file call with redirection on lands: system32
  // and the folders below it become SysWOW64, except those Windows exempts
  // (catroot, catroot2, drivers\etc, driverstore, logfiles, spool); the
  // Sysnative alias leads to the real system32. Other paths stay.
  std::string RedirectedPath(const std::string& canonicalPath) const;
  // The key a registry path names in a view: on a 64-bit Windows the 32-bit
  // view (wow64View) of HKLM\Software is HKLM\Software\Wow6432Node, except
  // for the keys Windows shares between the views (Software\Policies and
  // Software\Microsoft\Windows\CurrentVersion\Policies).
  RegPath RegistryView(const RegPath& path, bool wow64View) const;
  // The canonical file path of a process's image, the NT forms resolved
  // ("\SystemRoot\..." under the Windows folder, "\??\" dropped); "" for none.
  std::string ImageFilePath(const Process& process) const;
  // True when a running process was started from this canonical file path:
  // Windows refuses to delete or write such a file.
  bool IsRunningImage(std::string_view canonicalPath) const;

  // The changes made by one call, in order (a convenience for tests).
  std::vector<Change> ChangesBy(std::string_view call) const;
};

// The Platform calls that consult Machine::faults, by name. The others (the
// Close calls, GetLastError, GetLocalTime, GetPlatformId, FormatMessageA,
// GetLogicalDriveStringsA, GetDriveTypeA, IsWow64Process,
// GetSystemWow64DirectoryA, Wow64RevertWow64FsRedirection, GetProcessTimes) take
// no faults.
const std::vector<std::string>& FaultableCalls();
bool IsFaultableCall(std::string_view call);

// A clean, plausible Windows XP machine: the usual folders and system files,
// a normal hosts file, Run keys with harmless programs, genuine services, the
// core processes with their real path forms, drives A: (floppy, empty), C:
// (fixed), D: (CD-ROM, empty), locale "English", user "User", platform NT.
Machine MakeStandardMachine();

// The clock moved on by a number of seconds (calendar aware).
LocalTime AddSeconds(const LocalTime& time, long long seconds);

}  // namespace platform::sim
