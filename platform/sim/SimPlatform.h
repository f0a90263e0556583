// The Platform interface over a simulated machine. Every call behaves as its
// Win32 namesake does on Windows XP (results, error codes, buffer rules),
// works only on the Machine it was given, and writes every state-changing
// request - granted or refused - into the machine's change record. Nothing
// here touches the real system: started programs, shell opens and MCI
// commands are only recorded.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"
#include "platform/sim/SimMachine.h"
#include "platform/sim/SimMd5.h"

namespace platform::sim {

// Win32 and CryptoAPI codes the sim reports beyond those of Platform.h.
namespace simerror {
constexpr std::uint32_t kNotReady = 21;
constexpr std::uint32_t kNoMoreFiles = 18;
constexpr std::uint32_t kInvalidName = 123;
constexpr std::uint32_t kPartialCopy = 299;
constexpr std::uint32_t kMessageNotFound = 317;
constexpr std::uint32_t kInvalidFlags = 1004;
constexpr std::uint32_t kKeyDeleted = 1018;
constexpr std::uint32_t kDatabaseDoesNotExist = 1065;
constexpr std::uint32_t kRpcServerUnavailable = 1722;
constexpr std::uint32_t kResourceTypeNotFound = 1813;
constexpr std::uint32_t kResourceNameNotFound = 1814;
constexpr std::uint32_t kMciUnrecognizedCommand = 261;
constexpr std::uint32_t kMciInvalidDeviceName = 263;
constexpr std::uint32_t kMciFileNotFound = 275;
constexpr std::uint32_t kMciDuplicateAlias = 289;
constexpr std::uint32_t kNteBadKey = 0x80090003u;
constexpr std::uint32_t kNteBadData = 0x80090005u;
constexpr std::uint32_t kNteBadAlgId = 0x80090008u;
constexpr std::uint32_t kNteBadFlags = 0x80090009u;
constexpr std::uint32_t kNteBadType = 0x8009000Au;
constexpr std::uint32_t kNteBadHashState = 0x8009000Cu;
constexpr std::uint32_t kNteBadKeyset = 0x80090016u;
constexpr std::uint32_t kNteProvTypeNotDef = 0x80090017u;
constexpr std::uint32_t kNteKeysetNotDef = 0x80090019u;
constexpr std::uint32_t kNteProvTypeNoMatch = 0x8009001Bu;
}  // namespace simerror

class SimPlatform : public Platform {
 public:
  explicit SimPlatform(Machine& machine);
  // Gives up the instance names this object claimed.
  ~SimPlatform() override;
  SimPlatform(const SimPlatform&) = delete;
  SimPlatform& operator=(const SimPlatform&) = delete;

  Machine& machine() { return machine_; }

  // What this object still has open, one line per handle ("key HKLM\...",
  // "file C:\...", "process 1234", "service Spooler", ...), so that a test can
  // check that the program closed everything it opened.
  std::vector<std::string> OpenHandles() const;

  std::uint32_t GetLastError() override;
  void SetLastError(std::uint32_t code) override;

  long RegOpenKeyA(HKey root, const std::string& subKey, HKey* result) override;
  long RegOpenKeyExA(HKey root, const std::string& subKey, std::uint32_t access,
                     HKey* result) override;
  long RegCreateKeyA(HKey root, const std::string& subKey, HKey* result) override;
  long RegEnumKeyExA(HKey key, std::uint32_t index, std::uint32_t nameCapacity,
                     std::string* name) override;
  // On kMoreData *type and *dataLength are set and *name and *data are emptied.
  // data may be null to ask for the length only, as lpData may be NULL.
  long RegEnumValueA(HKey key, std::uint32_t index, std::uint32_t nameCapacity,
                     std::uint32_t dataCapacity, std::string* name, std::uint32_t* type,
                     std::vector<std::uint8_t>* data, std::uint32_t* dataLength) override;
  long RegQueryValueExA(HKey key, const std::string& valueName, std::uint32_t* type,
                        std::vector<std::uint8_t>* data) override;
  long RegSetValueExA(HKey key, const std::string& valueName, std::uint32_t type,
                      const std::vector<std::uint8_t>& data) override;
  long RegDeleteValueA(HKey key, const std::string& valueName) override;
  long RegDeleteKeyA(HKey key, const std::string& subKey) override;
  long RegCloseKey(HKey key) override;

  Handle OpenSCManagerA(const std::string& machineName, const std::string& database,
                        std::uint32_t access) override;
  Handle OpenServiceA(Handle manager, const std::string& serviceName,
                      std::uint32_t access) override;
  bool ControlService(Handle service, std::uint32_t control) override;
  bool CloseServiceHandle(Handle handle) override;

  bool EnumProcesses(std::uint32_t bufferBytes, std::vector<std::uint32_t>* ids,
                     std::uint32_t* bytesReturned) override;
  Handle OpenProcess(std::uint32_t access, bool inheritHandle, std::uint32_t pid) override;
  // Module handles are 32-bit values (4 bytes each in *bytesNeeded), as in the
  // 32-bit programs: the executable at 0x00400000, then ntdll and kernel32.
  bool EnumProcessModules(Handle process, std::uint32_t bufferBytes,
                          std::vector<std::uintptr_t>* modules,
                          std::uint32_t* bytesNeeded) override;
  std::uint32_t GetModuleFileNameExA(Handle process, std::uintptr_t module, std::uint32_t capacity,
                                     std::string* path) override;
  // Only a 64-bit Windows has the call (the sim's 32-bit Windows is XP).
  bool QueryFullProcessImageNameA(Handle process, std::uint32_t capacity,
                                  std::string* path) override;
  bool GetProcessTimes(Handle process, std::uint64_t* creationTime) override;
  bool TerminateProcess(Handle process, std::uint32_t exitCode) override;
  bool CloseHandle(Handle handle) override;
  bool OpenProcessToken(std::uint32_t access, Handle* token) override;
  bool LookupPrivilegeValueA(const std::string& systemName, const std::string& privilegeName,
                             Luid* luid) override;
  bool AdjustTokenPrivileges(Handle token, const Luid& luid, std::uint32_t attributes) override;
  std::uint32_t GetPlatformId() override;
  bool GetVersionExA(OsVersion* version) override;
  // Machine::programPid and Machine::programPath.
  std::uint32_t GetCurrentProcessId() override;
  bool GetOwnModuleFileNameA(std::string* path) override;
  // The process marked ownsDesktop, or 0.
  std::uint32_t GetDesktopWindowProcessId() override;

  std::uint32_t GetSystemDirectoryA(std::string& buffer) override;
  std::uint32_t GetTempPathA(std::string& buffer) override;
  bool SHGetSpecialFolderPathA(int csidl, bool create, std::string* path) override;
  std::vector<std::string> GetLogicalDriveStringsA() override;
  std::uint32_t GetDriveTypeA(const std::string& rootPath) override;

  // Redirection is a state of this object, as it is of a thread on Windows;
  // turning it off or back fails with 1 outside WOW64.
  bool IsWow64Process(bool* wow64) override;
  std::uint32_t GetSystemWow64DirectoryA(std::string& buffer) override;
  bool Wow64DisableWow64FsRedirection(std::uintptr_t* oldValue) override;
  bool Wow64RevertWow64FsRedirection(std::uintptr_t oldValue) override;

  // Answers from the files' protected marks as Machine::fileProtection says,
  // following redirection as the file calls do.
  bool SfcIsFileProtected(const std::u16string& path) override;

  std::uint32_t GetFileAttributesA(const std::string& path) override;
  bool SetFileAttributesA(const std::string& path, std::uint32_t attributes) override;
  bool CopyFileA(const std::string& existing, const std::string& target,
                 bool failIfExists) override;
  bool DeleteFileA(const std::string& path) override;
  bool CreateDirectoryA(const std::string& path) override;
  // Lists "." and ".." first in folders other than a drive root, as Windows
  // does, then the matching names in the order of their upper-cased form; a
  // name also matches through its 8.3 short name ("*.inf" lists
  // "autorun.info"). On success GetLastError is 18 (no more files), as after
  // the last FindNextFileA.
  bool FindFiles(const std::string& pattern, std::vector<FindEntry>* entries) override;
  Handle CreateFileA(const std::string& path, std::uint32_t access, std::uint32_t shareMode,
                     std::uint32_t disposition, std::uint32_t attributes) override;
  bool ReadFile(Handle file, std::uint32_t bytesToRead, std::vector<std::uint8_t>* data) override;
  bool WriteFile(Handle file, const std::vector<std::uint8_t>& data,
                 std::uint32_t* bytesWritten) override;
  bool GetFileSizeEx(Handle file, std::uint64_t* size) override;

  bool CryptAcquireContextA(Handle* provider, const std::string& container,
                            const std::string& providerName, std::uint32_t providerType,
                            std::uint32_t flags) override;
  bool CryptCreateHash(Handle provider, std::uint32_t algorithm, Handle key, std::uint32_t flags,
                       Handle* hash) override;
  bool CryptHashData(Handle hash, const std::uint8_t* data, std::uint32_t length,
                     std::uint32_t flags) override;
  bool CryptGetHashParam(Handle hash, std::uint32_t param,
                         std::vector<std::uint8_t>* value) override;
  bool CryptDestroyHash(Handle hash) override;
  bool CryptReleaseContext(Handle provider, std::uint32_t flags) override;
  bool CryptImportKey(Handle provider, const std::vector<std::uint8_t>& blob, std::uint32_t flags,
                      Handle* key) override;
  bool CryptVerifySignatureA(Handle hash, const std::vector<std::uint8_t>& signature, Handle key,
                             std::uint32_t flags) override;
  bool CryptDestroyKey(Handle key) override;

  // The program must exist (found as CreateProcess finds it: a quoted path, or
  // the shortest blank-separated prefix naming a file, ".exe" added, searched
  // in the current, system, 16-bit system and Windows folders); otherwise 2.
  std::uint32_t StartProcess(const std::string& commandLine, int showWindow) override;
  // The exit code is that of the first matching Machine::commandRules entry, else 0.
  bool RunProcessAndWait(const std::string& commandLine, int showWindow,
                         std::uint32_t* exitCode) override;
  // A web address (one with "://", or "mailto:") always opens; a document or
  // folder must exist (2 or 3 otherwise, as SE_ERR_FNF and SE_ERR_PNF), found
  // from directory when it is relative. Returns 42 on success; an injected
  // error e gives e when e <= 32, else 31.
  std::uintptr_t ShellExecuteA(std::uintptr_t ownerWindow, const std::string& verb,
                               const std::string& file, const std::string& parameters,
                               const std::string& directory, int showWindow) override;
  // Keeps the devices this program opened: "open <file> ... alias <name>"
  // (a file name with blanks in double quotes) needs the file (else 275, MCIERR_FILE_NOT_FOUND) and
  // a free alias (else 289); play, stop, pause, resume, seek, status and close need an open device
  // (else 263, MCIERR_INVALID_DEVICE_NAME); "close all" always works; other commands give 261.
  // Every command is recorded in Machine::mciCommands.
  std::uint32_t MciSendStringA(const std::string& command) override;

  int GetLocaleInfoA(std::uint32_t locale, std::uint32_t item, std::string& buffer) override;
  std::uint32_t GetACP() override;
  std::u16string MultiByteToWideChar(std::uint32_t codePage, const std::string& text) override;
  std::string CharLowerBuffA(const std::string& text) override;
  bool GetUserNameA(std::string* name) override;
  LocalTime GetLocalTime() override;
  std::string FormatMessageA(std::uint32_t errorCode) override;
  bool LoadProgramResource(const std::string& type, int id,
                           std::vector<std::uint8_t>* bytes) override;
  bool ClaimInstance(const std::string& name, bool* anotherRuns) override;
  // The executable's file name is the last part of the image path; processes
  // without modules show "[System Process]" (pid 0) and "System".
  bool SnapshotProcesses(std::vector<ProcessSnapshotEntry>* entries) override;
  // A process ends at once when it is terminated, so the wait never blocks:
  // kWaitObject0 for an ended process, kWaitTimeout for a running one.
  std::uint32_t WaitForSingleObject(Handle handle, std::uint32_t milliseconds) override;

 private:
  enum class Kind {
    kKey,
    kProcess,
    kToken,
    kFile,
    kServiceManager,
    kService,
    kCryptProvider,
    kCryptHash,
    kCryptKey
  };

  struct HandleEntry {
    Kind kind = Kind::kKey;
    std::uint32_t access = 0;
    RegPath key;               // kKey
    std::uint64_t serial = 0;  // kKey, kFile: the node the handle was opened on
    std::string path;          // kFile: canonical path
    std::uint64_t position = 0;
    std::uint32_t shareMode = 0;
    bool canRead = false;
    bool canWrite = false;
    bool canDelete = false;
    std::uint32_t pid = 0;  // kProcess
    std::string name;       // kService: service name; kCryptHash: unused
    Md5 md5;                // kCryptHash
    std::optional<std::array<std::uint8_t, 16>> digest;  // set once the value was read
    std::uint32_t crypto = 0;           // kCryptProvider: its type; kCryptHash: its algorithm
    std::string hashed;                 // kCryptHash of SHA-256: the data so far
    bool sealed = false;                // kCryptHash of SHA-256: its value was used
    std::vector<std::uint8_t> modulus;  // kCryptKey: most significant byte first
    std::uint32_t publicExponent = 0;   // kCryptKey
  };

  // Where a path leads: its canonical form, the node if there is one, and
  // the error that stops the call before it looks at the node (invalid name,
  // no such drive, drive not ready).
  struct Location {
    std::string path;
    FileNode* node = nullptr;
    long error = 0;
    bool parentExists = false;
    // The path as records show it: with the stored case of what exists.
    std::string shown;
  };

  Handle AddHandle(HandleEntry entry);
  HandleEntry* FindHandle(Handle handle, Kind kind);
  // Sets the last error; the result of a call that reports failure as false
  // or as a count of 0.
  bool Fail(std::uint32_t error);
  std::uint32_t FailZero(std::uint32_t error);
  std::optional<std::uint32_t> TakeFault(std::string_view call,
                                         const std::vector<std::string>& targets = {});
  // missingTarget: the call was refused because its target does not exist.
  void Record(std::string call, std::string target, std::string detail, long result,
              bool missingTarget = false);

  long ResolveKey(HKey key, std::uint32_t neededAccess, RegPath* path, RegKey** node);
  long OpenKey(const char* call, HKey root, const std::string& subKey, std::uint32_t access,
               HKey* result);
  RegPath StoredPath(const RegPath& path) const;
  // The key that a sub-key below base names in the requested registry view.
  RegPath InView(const RegPath& path, const RegPath& base, bool wow64View) const;

  // Follows file system redirection while it is on.
  Location Locate(const std::string& path);
  bool SharingConflict(const FileNode& node, bool read, bool write, bool remove,
                       std::uint32_t shareMode) const;
  long ResolveProgram(const std::string& commandLine);
  FileNode* FileOfHandle(HandleEntry& entry);
  const Process* ProcessOfHandle(const HandleEntry& entry) const;

  Machine& machine_;
  std::uint32_t lastError_ = 0;
  std::map<Handle, HandleEntry> handles_;
  Handle nextHandle_ = 0x100;
  bool redirectionOff_ = false;
  std::vector<std::string> claims_;
  std::vector<std::string> mciDevices_;  // aliases of the open MCI devices
};

}  // namespace platform::sim
