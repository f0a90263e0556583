// The operating-system surface that Quellix and Gorsel call, shaped like the
// Win32 API it stands for: ANSI byte strings where the A function takes them,
// UTF-16 where the W function does, and Win32 error codes (0, 2, 5, 234, 259,
// ...) because the programs branch on them. platform/win32 forwards to the real
// API; platform/sim is an in-memory machine for tests, benchmarks and the demo.
#pragma once

#if defined(_WINDOWS_) || defined(_INC_WINDOWS)
#error "Platform.h is portable: include it before <windows.h>, or not next to it"
#endif

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// ---------------------------------------------------------------- constants

// Win32 error codes the programs test for.
namespace error {
constexpr long kSuccess = 0;
constexpr long kFileNotFound = 2;
constexpr long kPathNotFound = 3;
constexpr long kAccessDenied = 5;
constexpr long kInvalidHandle = 6;
constexpr long kNotEnoughMemory = 8;
constexpr long kSharingViolation = 32;
constexpr long kHandleDiskFull = 39;
constexpr long kFileExists = 80;
constexpr long kInvalidParameter = 87;
constexpr long kDiskFull = 112;
constexpr long kCallNotImplemented = 120;
constexpr long kInsufficientBuffer = 122;
constexpr long kInvalidName = 123;
constexpr long kAlreadyExists = 183;
constexpr long kMoreData = 234;
constexpr long kNoMoreItems = 259;
constexpr long kPartialCopy = 299;
constexpr long kServiceDoesNotExist = 1060;
constexpr long kServiceNotActive = 1062;
constexpr long kInvalidServiceControl = 1052;
constexpr long kBadConfiguration = 1610;
constexpr long kNotAllAssigned = 1300;
constexpr long kNoSuchPrivilege = 1313;
}  // namespace error

// An opaque registry key handle. The predefined roots carry their Win32 values.
using HKey = std::uintptr_t;
constexpr HKey kHkeyClassesRoot = 0x80000000u;
constexpr HKey kHkeyCurrentUser = 0x80000001u;
constexpr HKey kHkeyLocalMachine = 0x80000002u;
constexpr HKey kHkeyUsers = 0x80000003u;

// Registry value types.
constexpr std::uint32_t kRegNone = 0;
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kRegMultiSz = 7;

// Registry access masks.
constexpr std::uint32_t kKeyQueryValue = 0x0001;
constexpr std::uint32_t kKeyRead = 0x20019;
constexpr std::uint32_t kKeyAllAccess = 0xF003F;
constexpr std::uint32_t kMaximumAllowed = 0x02000000;
// The registry view a key is opened in on 64-bit Windows: the 64-bit keys, or
// the 32-bit programs' keys (HKLM\Software\Wow6432Node).
constexpr std::uint32_t kKeyWow64_64Key = 0x0100;
constexpr std::uint32_t kKeyWow64_32Key = 0x0200;

// Any kernel object handle (process, token, file, service, crypto context).
using Handle = std::uintptr_t;
constexpr Handle kNullHandle = 0;
constexpr Handle kInvalidHandleValue = ~static_cast<Handle>(0);

// File attributes and CreateFile arguments.
constexpr std::uint32_t kInvalidFileAttributes = 0xFFFFFFFFu;
constexpr std::uint32_t kFileAttributeReadOnly = 0x01;
constexpr std::uint32_t kFileAttributeHidden = 0x02;
constexpr std::uint32_t kFileAttributeSystem = 0x04;
constexpr std::uint32_t kFileAttributeDirectory = 0x10;
constexpr std::uint32_t kFileAttributeArchive = 0x20;
constexpr std::uint32_t kFileAttributeNormal = 0x80;
constexpr std::uint32_t kGenericRead = 0x80000000u;
constexpr std::uint32_t kGenericWrite = 0x40000000u;
constexpr std::uint32_t kFileShareRead = 0x1;
constexpr std::uint32_t kFileShareWrite = 0x2;
constexpr std::uint32_t kCreateNew = 1;
constexpr std::uint32_t kCreateAlways = 2;
constexpr std::uint32_t kOpenExisting = 3;
constexpr std::uint32_t kOpenAlways = 4;
constexpr std::uint32_t kTruncateExisting = 5;

// GetDriveTypeA results.
constexpr std::uint32_t kDriveUnknown = 0;
constexpr std::uint32_t kDriveNoRootDir = 1;
constexpr std::uint32_t kDriveRemovable = 2;
constexpr std::uint32_t kDriveFixed = 3;
constexpr std::uint32_t kDriveRemote = 4;
constexpr std::uint32_t kDriveCdrom = 5;
constexpr std::uint32_t kDriveRamdisk = 6;

// Process, token and service access.
constexpr std::uint32_t kProcessTerminate = 0x0001;
constexpr std::uint32_t kProcessVmRead = 0x0010;
constexpr std::uint32_t kProcessQueryInformation = 0x0400;
constexpr std::uint32_t kProcessQueryLimitedInformation = 0x1000;
constexpr std::uint32_t kProcessAllAccess = 0x1F0FFF;
constexpr std::uint32_t kSynchronize = 0x00100000;
constexpr std::uint32_t kWaitObject0 = 0;
constexpr std::uint32_t kWaitTimeout = 258;
constexpr std::uint32_t kWaitFailed = 0xFFFFFFFFu;
constexpr std::uint32_t kTokenAdjustPrivileges = 0x20;
constexpr std::uint32_t kTokenQuery = 0x08;
constexpr std::uint32_t kSePrivilegeEnabled = 2;
constexpr std::uint32_t kScManagerAllAccess = 0xF003F;
constexpr std::uint32_t kServiceAllAccess = 0xF01FF;
constexpr std::uint32_t kServiceControlStop = 1;

// GetVersionExA platform ids.
constexpr std::uint32_t kPlatformWin32Windows = 1;  // the 95/98 family
constexpr std::uint32_t kPlatformWin32Nt = 2;

// CryptoAPI.
constexpr std::uint32_t kProvRsaFull = 1;
constexpr std::uint32_t kCryptVerifyContext = 0xF0000000u;
constexpr std::uint32_t kCalgMd5 = 32771;
constexpr std::uint32_t kHpHashVal = 2;
constexpr std::uint32_t kHpHashSize = 4;
// Signatures: RSA with SHA-256 through the AES provider (XP SP3 and later).
constexpr std::uint32_t kProvRsaAes = 24;
constexpr std::uint32_t kCalgSha256 = 0x800C;
constexpr std::uint8_t kPublicKeyBlob = 6;
constexpr std::uint32_t kNteBadSignature = 0x80090006u;

// Window show states for process start and shell open.
constexpr int kSwHide = 0;
constexpr int kSwShowNormal = 1;
constexpr int kSwShowMinimized = 2;
constexpr int kSwShowMinNoActive = 7;

// Locale queries.
constexpr std::uint32_t kLocaleUserDefault = 0x400;
constexpr std::uint32_t kLocaleSEngLanguage = 0x1001;
constexpr std::uint32_t kCpAcp = 0;

// ------------------------------------------------------------------- records

struct LocalTime {
  int year = 0;
  int month = 0;  // 1-12
  int day = 0;    // 1-31
  int hour = 0;   // 0-23
  int minute = 0;
  int second = 0;
};

// One entry of a folder listing (FindFirstFileA / FindNextFileA).
struct FindEntry {
  std::string name;  // file name as stored, case kept
  std::uint32_t attributes = 0;
  std::uint64_t size = 0;
};

struct Luid {
  std::uint32_t low = 0;
  std::int32_t high = 0;
};

// GetVersionExA's version numbers (Windows XP: 5.1.2600, Windows 10: 10.0.x).
// Windows 8.1 and later report their own numbers only to a program whose
// manifest names them as supported; to others they say 6.2.
struct OsVersion {
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::uint32_t build = 0;
};

// One process of a Toolhelp snapshot (PROCESSENTRY32): its id, the id of the
// process that started it and its executable's file name.
struct ProcessSnapshotEntry {
  std::uint32_t pid = 0;
  std::uint32_t parentPid = 0;
  std::string exeFile;
};

// ----------------------------------------------------------------- interface

class Platform {
 public:
  virtual ~Platform() = default;

  // Last error of the calling thread, as GetLastError/SetLastError.
  virtual std::uint32_t GetLastError() = 0;
  virtual void SetLastError(std::uint32_t code) = 0;

  // Registry (advapi32). Names and data are ANSI bytes. Sizes follow the A
  // functions: nameCapacity counts characters including the terminating NUL,
  // dataCapacity counts bytes; kMoreData when they do not fit.
  virtual long RegOpenKeyA(HKey root, const std::string& subKey, HKey* result) = 0;
  virtual long RegOpenKeyExA(HKey root, const std::string& subKey, std::uint32_t access,
                             HKey* result) = 0;
  virtual long RegCreateKeyA(HKey root, const std::string& subKey, HKey* result) = 0;
  virtual long RegEnumKeyExA(HKey key, std::uint32_t index, std::uint32_t nameCapacity,
                             std::string* name) = 0;
  // On success or kMoreData, *dataLength is the full size of the value's data;
  // on success *data holds it (as stored, a REG_SZ with its terminating NUL).
  virtual long RegEnumValueA(HKey key, std::uint32_t index, std::uint32_t nameCapacity,
                             std::uint32_t dataCapacity, std::string* name, std::uint32_t* type,
                             std::vector<std::uint8_t>* data, std::uint32_t* dataLength) = 0;
  virtual long RegQueryValueExA(HKey key, const std::string& valueName, std::uint32_t* type,
                                std::vector<std::uint8_t>* data) = 0;
  virtual long RegSetValueExA(HKey key, const std::string& valueName, std::uint32_t type,
                              const std::vector<std::uint8_t>& data) = 0;
  virtual long RegDeleteValueA(HKey key, const std::string& valueName) = 0;
  virtual long RegDeleteKeyA(HKey key, const std::string& subKey) = 0;
  virtual long RegCloseKey(HKey key) = 0;

  // Service control manager. Handles are kNullHandle on failure (GetLastError).
  virtual Handle OpenSCManagerA(const std::string& machine, const std::string& database,
                                std::uint32_t access) = 0;
  virtual Handle OpenServiceA(Handle manager, const std::string& serviceName,
                              std::uint32_t access) = 0;
  virtual bool ControlService(Handle service, std::uint32_t control) = 0;
  virtual bool CloseServiceHandle(Handle handle) = 0;

  // Processes and privileges.
  // Fills *ids with at most bufferBytes / 4 ids; *bytesReturned as EnumProcesses.
  virtual bool EnumProcesses(std::uint32_t bufferBytes, std::vector<std::uint32_t>* ids,
                             std::uint32_t* bytesReturned) = 0;
  virtual Handle OpenProcess(std::uint32_t access, bool inheritHandle, std::uint32_t pid) = 0;
  // The module handles of a process, the executable first; *bytesNeeded as the API.
  virtual bool EnumProcessModules(Handle process, std::uint32_t bufferBytes,
                                  std::vector<std::uintptr_t>* modules,
                                  std::uint32_t* bytesNeeded) = 0;
  // Returns the number of characters copied (0 on failure), at most capacity - 1.
  virtual std::uint32_t GetModuleFileNameExA(Handle process, std::uintptr_t module,
                                             std::uint32_t capacity, std::string* path) = 0;
  // QueryFullProcessImageNameA in the Win32 path form: the image path of a
  // process of either bitness, where a 32-bit program cannot list a 64-bit
  // process's modules. False with 120 where the system lacks the call (XP).
  virtual bool QueryFullProcessImageNameA(Handle process, std::uint32_t capacity,
                                          std::string* path) = 0;
  // GetProcessTimes' creation time, in FILETIME units: what tells a process
  // from a later one that was given the same id. Needs query access.
  virtual bool GetProcessTimes(Handle process, std::uint64_t* creationTime) = 0;
  virtual bool TerminateProcess(Handle process, std::uint32_t exitCode) = 0;
  // This program's own process id (GetCurrentProcessId) and the full path of
  // its executable (GetModuleFileNameA of the program itself; false with
  // GetLastError when it cannot be read).
  virtual std::uint32_t GetCurrentProcessId() = 0;
  virtual bool GetOwnModuleFileNameA(std::string* path) = 0;
  // The id of the process that owns the desktop window
  // (GetWindowThreadProcessId of GetDesktopWindow): on Windows the session's
  // own subsystem, under Wine its desktop program; 0 where there is none.
  // Ending it ends every window of the session.
  virtual std::uint32_t GetDesktopWindowProcessId() = 0;
  virtual bool CloseHandle(Handle handle) = 0;
  virtual bool OpenProcessToken(std::uint32_t access, Handle* token) = 0;
  virtual bool LookupPrivilegeValueA(const std::string& systemName,
                                     const std::string& privilegeName, Luid* luid) = 0;
  virtual bool AdjustTokenPrivileges(Handle token, const Luid& luid, std::uint32_t attributes) = 0;
  virtual std::uint32_t GetPlatformId() = 0;  // GetVersionExA's dwPlatformId
  virtual bool GetVersionExA(OsVersion* version) = 0;

  // Folders. The two buffer calls write into buffer as the A function writes
  // into a char array of buffer.size() characters and return its result.
  virtual std::uint32_t GetSystemDirectoryA(std::string& buffer) = 0;
  virtual std::uint32_t GetTempPathA(std::string& buffer) = 0;
  virtual bool SHGetSpecialFolderPathA(int csidl, bool create, std::string* path) = 0;
  virtual std::vector<std::string> GetLogicalDriveStringsA() = 0;  // "c:\", ...
  virtual std::uint32_t GetDriveTypeA(const std::string& rootPath) = 0;

  // 64-bit Windows. A 32-bit program there runs under WOW64: its system32 is
  // SysWOW64 (file system redirection, per thread) and its HKLM\Software is
  // Wow6432Node. IsWow64Process answers for this program; the calls a
  // system lacks fail with 120.
  virtual bool IsWow64Process(bool* wow64) = 0;
  // The 32-bit system folder of a 64-bit Windows, as GetSystemDirectoryA
  // fills its buffer; 0 with 120 on a 32-bit Windows.
  virtual std::uint32_t GetSystemWow64DirectoryA(std::string& buffer) = 0;
  virtual bool Wow64DisableWow64FsRedirection(std::uintptr_t* oldValue) = 0;
  virtual bool Wow64RevertWow64FsRedirection(std::uintptr_t oldValue) = 0;

  // Windows' file protection (SfcIsFileProtected, sfc.dll): true when Windows
  // guards the file at this full path, which a 32-bit program must name in
  // the native view. False with 2 both for a file it does not guard and where
  // the call is only a stub (Wine), so a caller asks about a file that every
  // Windows guards first; false with 120 where the system lacks the call.
  virtual bool SfcIsFileProtected(const std::u16string& path) = 0;

  // Files.
  virtual std::uint32_t GetFileAttributesA(const std::string& path) = 0;
  virtual bool SetFileAttributesA(const std::string& path, std::uint32_t attributes) = 0;
  virtual bool CopyFileA(const std::string& existing, const std::string& target,
                         bool failIfExists) = 0;
  virtual bool DeleteFileA(const std::string& path) = 0;
  virtual bool CreateDirectoryA(const std::string& path) = 0;
  // FindFirstFileA/FindNextFileA over one pattern ("c:\dir\*", "c:\*.inf"),
  // returning the whole listing; false with GetLastError when nothing matches.
  virtual bool FindFiles(const std::string& pattern, std::vector<FindEntry>* entries) = 0;
  virtual Handle CreateFileA(const std::string& path, std::uint32_t access, std::uint32_t shareMode,
                             std::uint32_t disposition, std::uint32_t attributes) = 0;
  virtual bool ReadFile(Handle file, std::uint32_t bytesToRead,
                        std::vector<std::uint8_t>* data) = 0;
  virtual bool WriteFile(Handle file, const std::vector<std::uint8_t>& data,
                         std::uint32_t* bytesWritten) = 0;
  virtual bool GetFileSizeEx(Handle file, std::uint64_t* size) = 0;

  // CryptoAPI.
  virtual bool CryptAcquireContextA(Handle* provider, const std::string& container,
                                    const std::string& providerName, std::uint32_t providerType,
                                    std::uint32_t flags) = 0;
  virtual bool CryptCreateHash(Handle provider, std::uint32_t algorithm, Handle key,
                               std::uint32_t flags, Handle* hash) = 0;
  virtual bool CryptHashData(Handle hash, const std::uint8_t* data, std::uint32_t length,
                             std::uint32_t flags) = 0;
  virtual bool CryptGetHashParam(Handle hash, std::uint32_t param,
                                 std::vector<std::uint8_t>* value) = 0;
  virtual bool CryptDestroyHash(Handle hash) = 0;
  virtual bool CryptReleaseContext(Handle provider, std::uint32_t flags) = 0;
  // Signatures: a public key imported from a PUBLICKEYBLOB, and a hash's
  // signature checked with it (false with kNteBadSignature when it does not
  // hold). The signature's bytes come as CryptoAPI takes them: least
  // significant first, the reverse of PKCS #1.
  virtual bool CryptImportKey(Handle provider, const std::vector<std::uint8_t>& blob,
                              std::uint32_t flags, Handle* key) = 0;
  virtual bool CryptVerifySignatureA(Handle hash, const std::vector<std::uint8_t>& signature,
                                     Handle key, std::uint32_t flags) = 0;
  virtual bool CryptDestroyKey(Handle key) = 0;

  // Starting programs. StartProcess returns without waiting (a process id, or
  // 0 with GetLastError); RunProcessAndWait waits and reports the exit code.
  virtual std::uint32_t StartProcess(const std::string& commandLine, int showWindow) = 0;
  virtual bool RunProcessAndWait(const std::string& commandLine, int showWindow,
                                 std::uint32_t* exitCode) = 0;
  // ShellExecuteA; the result is greater than 32 on success.
  virtual std::uintptr_t ShellExecuteA(std::uintptr_t ownerWindow, const std::string& verb,
                                       const std::string& file, const std::string& parameters,
                                       const std::string& directory, int showWindow) = 0;
  // mciSendStringA without a return buffer.
  virtual std::uint32_t MciSendStringA(const std::string& command) = 0;

  // System information.
  // GetLocaleInfoA into buffer (buffer.size() characters); returns the count
  // written including the terminating NUL, 0 on failure.
  virtual int GetLocaleInfoA(std::uint32_t locale, std::uint32_t item, std::string& buffer) = 0;
  virtual bool GetUserNameA(std::string* name) = 0;
  virtual LocalTime GetLocalTime() = 0;
  virtual std::string FormatMessageA(std::uint32_t errorCode) = 0;

  // ANSI text in the system's code page (GetACP): MultiByteToWideChar without
  // flags (kCpAcp for the system's page), and CharLowerBuffA, which lower-cases
  // whole characters of that page and leaves the trail bytes of double-byte
  // characters alone.
  virtual std::uint32_t GetACP() = 0;
  virtual std::u16string MultiByteToWideChar(std::uint32_t codePage, const std::string& text) = 0;
  virtual std::string CharLowerBuffA(const std::string& text) = 0;

  // Program resources (FindResource/LoadResource): the bytes of a custom
  // resource, type names compared without case; false when it is missing.
  virtual bool LoadProgramResource(const std::string& type, int id,
                                   std::vector<std::uint8_t>* bytes) = 0;

  // Single-instance test: true when another copy holding the same name runs.
  // The name stays claimed until the platform object ends.
  virtual bool ClaimInstance(const std::string& name, bool* anotherRuns) = 0;

  // Process tree (Toolhelp): CreateToolhelp32Snapshot with Process32First and
  // Process32Next, every process in the system's order; false with
  // GetLastError when no snapshot can be taken.
  virtual bool SnapshotProcesses(std::vector<ProcessSnapshotEntry>* entries) = 0;
  // WaitForSingleObject on a process handle opened with kSynchronize:
  // kWaitObject0 once it has ended, kWaitTimeout while it still runs after
  // the time given, kWaitFailed with GetLastError.
  virtual std::uint32_t WaitForSingleObject(Handle handle, std::uint32_t milliseconds) = 0;
};

}  // namespace platform
