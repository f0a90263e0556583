// A platform that writes down every call made through it, in order, with its
// input arguments ("DeleteFileA(C:\WINDOWS\msnmsg.exe)"), and passes each
// call on to the platform it wraps. Tests compare the record with the calls
// a routine must make.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace quellix::test {

class RecordingPlatform : public platform::Platform {
 public:
  explicit RecordingPlatform(platform::Platform& inner) : inner_(inner) {}

  // Every call so far ("Name(arg, arg)"); GetLastError and SetLastError are
  // not written down.
  const std::vector<std::string>& calls() const { return calls_; }
  // The calls of one name, in order.
  std::vector<std::string> CallsOf(const std::string& name) const;
  void Forget() { calls_.clear(); }

  std::uint32_t GetLastError() override;
  void SetLastError(std::uint32_t code) override;
  long RegOpenKeyA(platform::HKey root, const std::string& subKey, platform::HKey* result) override;
  long RegOpenKeyExA(platform::HKey root, const std::string& subKey, std::uint32_t access,
                     platform::HKey* result) override;
  long RegCreateKeyA(platform::HKey root, const std::string& subKey,
                     platform::HKey* result) override;
  long RegEnumKeyExA(platform::HKey key, std::uint32_t index, std::uint32_t nameCapacity,
                     std::string* name) override;
  long RegEnumValueA(platform::HKey key, std::uint32_t index, std::uint32_t nameCapacity,
                     std::uint32_t dataCapacity, std::string* name, std::uint32_t* type,
                     std::vector<std::uint8_t>* data, std::uint32_t* dataLength) override;
  long RegQueryValueExA(platform::HKey key, const std::string& valueName, std::uint32_t* type,
                        std::vector<std::uint8_t>* data) override;
  long RegSetValueExA(platform::HKey key, const std::string& valueName, std::uint32_t type,
                      const std::vector<std::uint8_t>& data) override;
  long RegDeleteValueA(platform::HKey key, const std::string& valueName) override;
  long RegDeleteKeyA(platform::HKey key, const std::string& subKey) override;
  long RegCloseKey(platform::HKey key) override;
  platform::Handle OpenSCManagerA(const std::string& machine, const std::string& database,
                                  std::uint32_t access) override;
  platform::Handle OpenServiceA(platform::Handle manager, const std::string& serviceName,
                                std::uint32_t access) override;
  bool ControlService(platform::Handle service, std::uint32_t control) override;
  bool CloseServiceHandle(platform::Handle handle) override;
  bool EnumProcesses(std::uint32_t bufferBytes, std::vector<std::uint32_t>* ids,
                     std::uint32_t* bytesReturned) override;
  platform::Handle OpenProcess(std::uint32_t access, bool inheritHandle,
                               std::uint32_t pid) override;
  bool EnumProcessModules(platform::Handle process, std::uint32_t bufferBytes,
                          std::vector<std::uintptr_t>* modules,
                          std::uint32_t* bytesNeeded) override;
  std::uint32_t GetModuleFileNameExA(platform::Handle process, std::uintptr_t module,
                                     std::uint32_t capacity, std::string* path) override;
  bool GetProcessTimes(platform::Handle process, std::uint64_t* creationTime) override;
  bool TerminateProcess(platform::Handle process, std::uint32_t exitCode) override;
  bool CloseHandle(platform::Handle handle) override;
  bool OpenProcessToken(std::uint32_t access, platform::Handle* token) override;
  bool LookupPrivilegeValueA(const std::string& systemName, const std::string& privilegeName,
                             platform::Luid* luid) override;
  bool AdjustTokenPrivileges(platform::Handle token, const platform::Luid& luid,
                             std::uint32_t attributes) override;
  std::uint32_t GetPlatformId() override;
  bool GetVersionExA(platform::OsVersion* version) override;
  std::uint32_t GetCurrentProcessId() override;
  bool GetOwnModuleFileNameA(std::string* path) override;
  std::uint32_t GetDesktopWindowProcessId() override;
  bool SfcIsFileProtected(const std::u16string& path) override;
  std::uint32_t GetSystemDirectoryA(std::string& buffer) override;
  std::uint32_t GetTempPathA(std::string& buffer) override;
  bool SHGetSpecialFolderPathA(int csidl, bool create, std::string* path) override;
  std::vector<std::string> GetLogicalDriveStringsA() override;
  std::uint32_t GetDriveTypeA(const std::string& rootPath) override;
  std::uint32_t GetFileAttributesA(const std::string& path) override;
  bool SetFileAttributesA(const std::string& path, std::uint32_t attributes) override;
  bool CopyFileA(const std::string& existing, const std::string& target,
                 bool failIfExists) override;
  bool DeleteFileA(const std::string& path) override;
  bool CreateDirectoryA(const std::string& path) override;
  bool FindFiles(const std::string& pattern, std::vector<platform::FindEntry>* entries) override;
  platform::Handle CreateFileA(const std::string& path, std::uint32_t access,
                               std::uint32_t shareMode, std::uint32_t disposition,
                               std::uint32_t attributes) override;
  bool ReadFile(platform::Handle file, std::uint32_t bytesToRead,
                std::vector<std::uint8_t>* data) override;
  bool WriteFile(platform::Handle file, const std::vector<std::uint8_t>& data,
                 std::uint32_t* bytesWritten) override;
  bool GetFileSizeEx(platform::Handle file, std::uint64_t* size) override;
  bool CryptAcquireContextA(platform::Handle* provider, const std::string& container,
                            const std::string& providerName, std::uint32_t providerType,
                            std::uint32_t flags) override;
  bool CryptCreateHash(platform::Handle provider, std::uint32_t algorithm, platform::Handle key,
                       std::uint32_t flags, platform::Handle* hash) override;
  bool CryptHashData(platform::Handle hash, const std::uint8_t* data, std::uint32_t length,
                     std::uint32_t flags) override;
  bool CryptGetHashParam(platform::Handle hash, std::uint32_t param,
                         std::vector<std::uint8_t>* value) override;
  bool CryptDestroyHash(platform::Handle hash) override;
  bool CryptReleaseContext(platform::Handle provider, std::uint32_t flags) override;
  bool CryptImportKey(platform::Handle provider, const std::vector<std::uint8_t>& blob,
                      std::uint32_t flags, platform::Handle* key) override;
  bool CryptVerifySignatureA(platform::Handle hash, const std::vector<std::uint8_t>& signature,
                             platform::Handle key, std::uint32_t flags) override;
  bool CryptDestroyKey(platform::Handle key) override;
  std::uint32_t StartProcess(const std::string& commandLine, int showWindow) override;
  bool RunProcessAndWait(const std::string& commandLine, int showWindow,
                         std::uint32_t* exitCode) override;
  std::uintptr_t ShellExecuteA(std::uintptr_t ownerWindow, const std::string& verb,
                               const std::string& file, const std::string& parameters,
                               const std::string& directory, int showWindow) override;
  std::uint32_t MciSendStringA(const std::string& command) override;
  int GetLocaleInfoA(std::uint32_t locale, std::uint32_t item, std::string& buffer) override;
  bool GetUserNameA(std::string* name) override;
  platform::LocalTime GetLocalTime() override;
  std::string FormatMessageA(std::uint32_t errorCode) override;
  bool LoadProgramResource(const std::string& type, int id,
                           std::vector<std::uint8_t>* bytes) override;
  bool QueryFullProcessImageNameA(platform::Handle process, std::uint32_t capacity,
                                  std::string* path) override;
  bool IsWow64Process(bool* wow64) override;
  std::uint32_t GetSystemWow64DirectoryA(std::string& buffer) override;
  bool Wow64DisableWow64FsRedirection(std::uintptr_t* oldValue) override;
  bool Wow64RevertWow64FsRedirection(std::uintptr_t oldValue) override;
  std::uint32_t GetACP() override;
  std::u16string MultiByteToWideChar(std::uint32_t codePage, const std::string& text) override;
  std::string CharLowerBuffA(const std::string& text) override;
  bool ClaimInstance(const std::string& name, bool* anotherRuns) override;
  bool SnapshotProcesses(std::vector<platform::ProcessSnapshotEntry>* entries) override;
  std::uint32_t WaitForSingleObject(platform::Handle handle, std::uint32_t milliseconds) override;

 private:
  template <typename Number>
  static std::string Arg(Number value) {
    return std::to_string(value);
  }
  static std::string Arg(const std::string& text) { return text; }
  static std::string Arg(bool value) { return value ? "true" : "false"; }
  static std::string Bytes(std::size_t count) { return std::to_string(count) + " bytes"; }
  void Record(const char* name, std::initializer_list<std::string> arguments);

  platform::Platform& inner_;
  std::vector<std::string> calls_;
};

}  // namespace quellix::test
