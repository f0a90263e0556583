// The platform interface on the real Win32 API: every method forwards to the
// call it is named after. This header does not include <windows.h>, so the
// programs and tests that create the platform stay free of it.
#pragma once

#include <memory>

#include "platform/Platform.h"

namespace platform::win32 {

class Win32Platform final : public Platform {
 public:
  Win32Platform();
  ~Win32Platform() override;

  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  std::uint32_t GetLastError() override;
  void SetLastError(std::uint32_t code) override;

  long RegOpenKeyA(HKey root, const std::string& subKey, HKey* result) override;
  long RegOpenKeyExA(HKey root, const std::string& subKey, std::uint32_t access,
                     HKey* result) override;
  long RegCreateKeyA(HKey root, const std::string& subKey, HKey* result) override;
  long RegEnumKeyExA(HKey key, std::uint32_t index, std::uint32_t nameCapacity,
                     std::string* name) override;
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

  Handle OpenSCManagerA(const std::string& machine, const std::string& database,
                        std::uint32_t access) override;
  Handle OpenServiceA(Handle manager, const std::string& serviceName,
                      std::uint32_t access) override;
  bool ControlService(Handle service, std::uint32_t control) override;
  bool CloseServiceHandle(Handle handle) override;

  bool EnumProcesses(std::uint32_t bufferBytes, std::vector<std::uint32_t>* ids,
                     std::uint32_t* bytesReturned) override;
  Handle OpenProcess(std::uint32_t access, bool inheritHandle, std::uint32_t pid) override;
  bool EnumProcessModules(Handle process, std::uint32_t bufferBytes,
                          std::vector<std::uintptr_t>* modules,
                          std::uint32_t* bytesNeeded) override;
  std::uint32_t GetModuleFileNameExA(Handle process, std::uintptr_t module, std::uint32_t capacity,
                                     std::string* path) override;
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
  std::uint32_t GetCurrentProcessId() override;
  bool GetOwnModuleFileNameA(std::string* path) override;
  std::uint32_t GetDesktopWindowProcessId() override;

  std::uint32_t GetSystemDirectoryA(std::string& buffer) override;
  std::uint32_t GetTempPathA(std::string& buffer) override;
  bool SHGetSpecialFolderPathA(int csidl, bool create, std::string* path) override;
  std::vector<std::string> GetLogicalDriveStringsA() override;
  std::uint32_t GetDriveTypeA(const std::string& rootPath) override;

  bool IsWow64Process(bool* wow64) override;
  std::uint32_t GetSystemWow64DirectoryA(std::string& buffer) override;
  bool Wow64DisableWow64FsRedirection(std::uintptr_t* oldValue) override;
  bool Wow64RevertWow64FsRedirection(std::uintptr_t oldValue) override;

  bool SfcIsFileProtected(const std::u16string& path) override;

  std::uint32_t GetFileAttributesA(const std::string& path) override;
  bool SetFileAttributesA(const std::string& path, std::uint32_t attributes) override;
  bool CopyFileA(const std::string& existing, const std::string& target,
                 bool failIfExists) override;
  bool DeleteFileA(const std::string& path) override;
  bool CreateDirectoryA(const std::string& path) override;
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

  std::uint32_t StartProcess(const std::string& commandLine, int showWindow) override;
  bool RunProcessAndWait(const std::string& commandLine, int showWindow,
                         std::uint32_t* exitCode) override;
  std::uintptr_t ShellExecuteA(std::uintptr_t ownerWindow, const std::string& verb,
                               const std::string& file, const std::string& parameters,
                               const std::string& directory, int showWindow) override;
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
  bool SnapshotProcesses(std::vector<ProcessSnapshotEntry>* entries) override;
  std::uint32_t WaitForSingleObject(Handle handle, std::uint32_t milliseconds) override;

 private:
  // The named mutexes of ClaimInstance, held until this object ends.
  struct InstanceClaims;
  std::unique_ptr<InstanceClaims> instanceClaims_;
};

std::unique_ptr<Platform> MakeWin32Platform();

}  // namespace platform::win32
