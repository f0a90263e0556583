// A platform that passes every call on to the platform it wraps. A wrapper
// that changes only some calls derives from it and overrides just those, so a
// call added to Platform reaches the wrapped platform without being written
// out again in each wrapper.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace platform {

class ForwardingPlatform : public Platform {
 public:
  explicit ForwardingPlatform(Platform& inner) : inner_(inner) {}

  std::uint32_t GetLastError() override { return inner_.GetLastError(); }
  void SetLastError(std::uint32_t code) override { inner_.SetLastError(code); }
  long RegOpenKeyA(HKey root, const std::string& subKey, HKey* result) override {
    return inner_.RegOpenKeyA(root, subKey, result);
  }
  long RegOpenKeyExA(HKey root, const std::string& subKey, std::uint32_t access,
                     HKey* result) override {
    return inner_.RegOpenKeyExA(root, subKey, access, result);
  }
  long RegCreateKeyA(HKey root, const std::string& subKey, HKey* result) override {
    return inner_.RegCreateKeyA(root, subKey, result);
  }
  long RegEnumKeyExA(HKey key, std::uint32_t index, std::uint32_t nameCapacity,
                     std::string* name) override {
    return inner_.RegEnumKeyExA(key, index, nameCapacity, name);
  }
  long RegEnumValueA(HKey key, std::uint32_t index, std::uint32_t nameCapacity,
                     std::uint32_t dataCapacity, std::string* name, std::uint32_t* type,
                     std::vector<std::uint8_t>* data, std::uint32_t* dataLength) override {
    return inner_.RegEnumValueA(key, index, nameCapacity, dataCapacity, name, type, data,
                                dataLength);
  }
  long RegQueryValueExA(HKey key, const std::string& valueName, std::uint32_t* type,
                        std::vector<std::uint8_t>* data) override {
    return inner_.RegQueryValueExA(key, valueName, type, data);
  }
  long RegSetValueExA(HKey key, const std::string& valueName, std::uint32_t type,
                      const std::vector<std::uint8_t>& data) override {
    return inner_.RegSetValueExA(key, valueName, type, data);
  }
  long RegDeleteValueA(HKey key, const std::string& valueName) override {
    return inner_.RegDeleteValueA(key, valueName);
  }
  long RegDeleteKeyA(HKey key, const std::string& subKey) override {
    return inner_.RegDeleteKeyA(key, subKey);
  }
  long RegCloseKey(HKey key) override { return inner_.RegCloseKey(key); }
  Handle OpenSCManagerA(const std::string& machine, const std::string& database,
                        std::uint32_t access) override {
    return inner_.OpenSCManagerA(machine, database, access);
  }
  Handle OpenServiceA(Handle manager, const std::string& serviceName,
                      std::uint32_t access) override {
    return inner_.OpenServiceA(manager, serviceName, access);
  }
  bool ControlService(Handle service, std::uint32_t control) override {
    return inner_.ControlService(service, control);
  }
  bool CloseServiceHandle(Handle handle) override { return inner_.CloseServiceHandle(handle); }
  bool EnumProcesses(std::uint32_t bufferBytes, std::vector<std::uint32_t>* ids,
                     std::uint32_t* bytesReturned) override {
    return inner_.EnumProcesses(bufferBytes, ids, bytesReturned);
  }
  Handle OpenProcess(std::uint32_t access, bool inheritHandle, std::uint32_t pid) override {
    return inner_.OpenProcess(access, inheritHandle, pid);
  }
  bool EnumProcessModules(Handle process, std::uint32_t bufferBytes,
                          std::vector<std::uintptr_t>* modules,
                          std::uint32_t* bytesNeeded) override {
    return inner_.EnumProcessModules(process, bufferBytes, modules, bytesNeeded);
  }
  std::uint32_t GetModuleFileNameExA(Handle process, std::uintptr_t module, std::uint32_t capacity,
                                     std::string* path) override {
    return inner_.GetModuleFileNameExA(process, module, capacity, path);
  }
  bool QueryFullProcessImageNameA(Handle process, std::uint32_t capacity,
                                  std::string* path) override {
    return inner_.QueryFullProcessImageNameA(process, capacity, path);
  }
  bool GetProcessTimes(Handle process, std::uint64_t* creationTime) override {
    return inner_.GetProcessTimes(process, creationTime);
  }
  bool TerminateProcess(Handle process, std::uint32_t exitCode) override {
    return inner_.TerminateProcess(process, exitCode);
  }
  bool CloseHandle(Handle handle) override { return inner_.CloseHandle(handle); }
  bool OpenProcessToken(std::uint32_t access, Handle* token) override {
    return inner_.OpenProcessToken(access, token);
  }
  bool LookupPrivilegeValueA(const std::string& systemName, const std::string& privilegeName,
                             Luid* luid) override {
    return inner_.LookupPrivilegeValueA(systemName, privilegeName, luid);
  }
  bool AdjustTokenPrivileges(Handle token, const Luid& luid, std::uint32_t attributes) override {
    return inner_.AdjustTokenPrivileges(token, luid, attributes);
  }
  std::uint32_t GetPlatformId() override { return inner_.GetPlatformId(); }
  std::uint32_t GetSystemDirectoryA(std::string& buffer) override {
    return inner_.GetSystemDirectoryA(buffer);
  }
  std::uint32_t GetTempPathA(std::string& buffer) override { return inner_.GetTempPathA(buffer); }
  bool SHGetSpecialFolderPathA(int csidl, bool create, std::string* path) override {
    return inner_.SHGetSpecialFolderPathA(csidl, create, path);
  }
  std::vector<std::string> GetLogicalDriveStringsA() override {
    return inner_.GetLogicalDriveStringsA();
  }
  std::uint32_t GetDriveTypeA(const std::string& rootPath) override {
    return inner_.GetDriveTypeA(rootPath);
  }
  std::uint32_t GetCurrentProcessId() override { return inner_.GetCurrentProcessId(); }
  std::uint32_t GetDesktopWindowProcessId() override { return inner_.GetDesktopWindowProcessId(); }
  bool GetOwnModuleFileNameA(std::string* path) override {
    return inner_.GetOwnModuleFileNameA(path);
  }
  bool GetVersionExA(OsVersion* version) override { return inner_.GetVersionExA(version); }
  bool SfcIsFileProtected(const std::u16string& path) override {
    return inner_.SfcIsFileProtected(path);
  }
  bool IsWow64Process(bool* wow64) override { return inner_.IsWow64Process(wow64); }
  std::uint32_t GetSystemWow64DirectoryA(std::string& buffer) override {
    return inner_.GetSystemWow64DirectoryA(buffer);
  }
  bool Wow64DisableWow64FsRedirection(std::uintptr_t* oldValue) override {
    return inner_.Wow64DisableWow64FsRedirection(oldValue);
  }
  bool Wow64RevertWow64FsRedirection(std::uintptr_t oldValue) override {
    return inner_.Wow64RevertWow64FsRedirection(oldValue);
  }
  std::uint32_t GetFileAttributesA(const std::string& path) override {
    return inner_.GetFileAttributesA(path);
  }
  bool SetFileAttributesA(const std::string& path, std::uint32_t attributes) override {
    return inner_.SetFileAttributesA(path, attributes);
  }
  bool CopyFileA(const std::string& existing, const std::string& target,
                 bool failIfExists) override {
    return inner_.CopyFileA(existing, target, failIfExists);
  }
  bool DeleteFileA(const std::string& path) override { return inner_.DeleteFileA(path); }
  bool CreateDirectoryA(const std::string& path) override { return inner_.CreateDirectoryA(path); }
  bool FindFiles(const std::string& pattern, std::vector<FindEntry>* entries) override {
    return inner_.FindFiles(pattern, entries);
  }
  Handle CreateFileA(const std::string& path, std::uint32_t access, std::uint32_t shareMode,
                     std::uint32_t disposition, std::uint32_t attributes) override {
    return inner_.CreateFileA(path, access, shareMode, disposition, attributes);
  }
  bool ReadFile(Handle file, std::uint32_t bytesToRead, std::vector<std::uint8_t>* data) override {
    return inner_.ReadFile(file, bytesToRead, data);
  }
  bool WriteFile(Handle file, const std::vector<std::uint8_t>& data,
                 std::uint32_t* bytesWritten) override {
    return inner_.WriteFile(file, data, bytesWritten);
  }
  bool GetFileSizeEx(Handle file, std::uint64_t* size) override {
    return inner_.GetFileSizeEx(file, size);
  }
  bool CryptAcquireContextA(Handle* provider, const std::string& container,
                            const std::string& providerName, std::uint32_t providerType,
                            std::uint32_t flags) override {
    return inner_.CryptAcquireContextA(provider, container, providerName, providerType, flags);
  }
  bool CryptCreateHash(Handle provider, std::uint32_t algorithm, Handle key, std::uint32_t flags,
                       Handle* hash) override {
    return inner_.CryptCreateHash(provider, algorithm, key, flags, hash);
  }
  bool CryptHashData(Handle hash, const std::uint8_t* data, std::uint32_t length,
                     std::uint32_t flags) override {
    return inner_.CryptHashData(hash, data, length, flags);
  }
  bool CryptGetHashParam(Handle hash, std::uint32_t param,
                         std::vector<std::uint8_t>* value) override {
    return inner_.CryptGetHashParam(hash, param, value);
  }
  bool CryptDestroyHash(Handle hash) override { return inner_.CryptDestroyHash(hash); }
  bool CryptReleaseContext(Handle provider, std::uint32_t flags) override {
    return inner_.CryptReleaseContext(provider, flags);
  }
  bool CryptImportKey(Handle provider, const std::vector<std::uint8_t>& blob, std::uint32_t flags,
                      Handle* key) override {
    return inner_.CryptImportKey(provider, blob, flags, key);
  }
  bool CryptVerifySignatureA(Handle hash, const std::vector<std::uint8_t>& signature, Handle key,
                             std::uint32_t flags) override {
    return inner_.CryptVerifySignatureA(hash, signature, key, flags);
  }
  bool CryptDestroyKey(Handle key) override { return inner_.CryptDestroyKey(key); }
  std::uint32_t StartProcess(const std::string& commandLine, int showWindow) override {
    return inner_.StartProcess(commandLine, showWindow);
  }
  bool RunProcessAndWait(const std::string& commandLine, int showWindow,
                         std::uint32_t* exitCode) override {
    return inner_.RunProcessAndWait(commandLine, showWindow, exitCode);
  }
  std::uintptr_t ShellExecuteA(std::uintptr_t ownerWindow, const std::string& verb,
                               const std::string& file, const std::string& parameters,
                               const std::string& directory, int showWindow) override {
    return inner_.ShellExecuteA(ownerWindow, verb, file, parameters, directory, showWindow);
  }
  std::uint32_t MciSendStringA(const std::string& command) override {
    return inner_.MciSendStringA(command);
  }
  int GetLocaleInfoA(std::uint32_t locale, std::uint32_t item, std::string& buffer) override {
    return inner_.GetLocaleInfoA(locale, item, buffer);
  }
  bool GetUserNameA(std::string* name) override { return inner_.GetUserNameA(name); }
  LocalTime GetLocalTime() override { return inner_.GetLocalTime(); }
  std::string FormatMessageA(std::uint32_t errorCode) override {
    return inner_.FormatMessageA(errorCode);
  }
  bool LoadProgramResource(const std::string& type, int id,
                           std::vector<std::uint8_t>* bytes) override {
    return inner_.LoadProgramResource(type, id, bytes);
  }
  std::uint32_t GetACP() override { return inner_.GetACP(); }
  std::u16string MultiByteToWideChar(std::uint32_t codePage, const std::string& text) override {
    return inner_.MultiByteToWideChar(codePage, text);
  }
  std::string CharLowerBuffA(const std::string& text) override {
    return inner_.CharLowerBuffA(text);
  }
  bool ClaimInstance(const std::string& name, bool* anotherRuns) override {
    return inner_.ClaimInstance(name, anotherRuns);
  }
  bool SnapshotProcesses(std::vector<ProcessSnapshotEntry>* entries) override {
    return inner_.SnapshotProcesses(entries);
  }
  std::uint32_t WaitForSingleObject(Handle handle, std::uint32_t milliseconds) override {
    return inner_.WaitForSingleObject(handle, milliseconds);
  }

 protected:
  Platform& inner() const { return inner_; }

 private:
  Platform& inner_;
};

}  // namespace platform
