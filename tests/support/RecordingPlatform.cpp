#include "tests/support/RecordingPlatform.h"

namespace quellix::test {

using platform::FindEntry;
using platform::Handle;
using platform::HKey;
using platform::LocalTime;
using platform::Luid;
using platform::ProcessSnapshotEntry;

std::vector<std::string> RecordingPlatform::CallsOf(const std::string& name) const {
  std::vector<std::string> selected;
  for (const std::string& call : calls_) {
    if (call.compare(0, name.size() + 1, name + "(") == 0) selected.push_back(call);
  }
  return selected;
}

void RecordingPlatform::Record(const char* name, std::initializer_list<std::string> arguments) {
  std::string call = std::string(name) + "(";
  for (const std::string& argument : arguments) {
    if (call.back() != '(') call += ", ";
    call += argument;
  }
  calls_.push_back(call + ")");
}

std::uint32_t RecordingPlatform::GetLastError() { return inner_.GetLastError(); }

void RecordingPlatform::SetLastError(std::uint32_t code) { inner_.SetLastError(code); }

long RecordingPlatform::RegOpenKeyA(HKey root, const std::string& subKey, HKey* result) {
  Record("RegOpenKeyA", {Arg(root), Arg(subKey)});
  return inner_.RegOpenKeyA(root, subKey, result);
}

long RecordingPlatform::RegOpenKeyExA(HKey root, const std::string& subKey, std::uint32_t access,
                                      HKey* result) {
  Record("RegOpenKeyExA", {Arg(root), Arg(subKey), Arg(access)});
  return inner_.RegOpenKeyExA(root, subKey, access, result);
}

long RecordingPlatform::RegCreateKeyA(HKey root, const std::string& subKey, HKey* result) {
  Record("RegCreateKeyA", {Arg(root), Arg(subKey)});
  return inner_.RegCreateKeyA(root, subKey, result);
}

long RecordingPlatform::RegEnumKeyExA(HKey key, std::uint32_t index, std::uint32_t nameCapacity,
                                      std::string* name) {
  Record("RegEnumKeyExA", {Arg(key), Arg(index), Arg(nameCapacity)});
  return inner_.RegEnumKeyExA(key, index, nameCapacity, name);
}

long RecordingPlatform::RegEnumValueA(HKey key, std::uint32_t index, std::uint32_t nameCapacity,
                                      std::uint32_t dataCapacity, std::string* name,
                                      std::uint32_t* type, std::vector<std::uint8_t>* data,
                                      std::uint32_t* dataLength) {
  Record("RegEnumValueA", {Arg(key), Arg(index), Arg(nameCapacity), Arg(dataCapacity)});
  return inner_.RegEnumValueA(key, index, nameCapacity, dataCapacity, name, type, data, dataLength);
}

long RecordingPlatform::RegQueryValueExA(HKey key, const std::string& valueName,
                                         std::uint32_t* type, std::vector<std::uint8_t>* data) {
  Record("RegQueryValueExA", {Arg(key), Arg(valueName)});
  return inner_.RegQueryValueExA(key, valueName, type, data);
}

long RecordingPlatform::RegSetValueExA(HKey key, const std::string& valueName, std::uint32_t type,
                                       const std::vector<std::uint8_t>& data) {
  Record("RegSetValueExA", {Arg(key), Arg(valueName), Arg(type), Bytes(data.size())});
  return inner_.RegSetValueExA(key, valueName, type, data);
}

long RecordingPlatform::RegDeleteValueA(HKey key, const std::string& valueName) {
  Record("RegDeleteValueA", {Arg(key), Arg(valueName)});
  return inner_.RegDeleteValueA(key, valueName);
}

long RecordingPlatform::RegDeleteKeyA(HKey key, const std::string& subKey) {
  Record("RegDeleteKeyA", {Arg(key), Arg(subKey)});
  return inner_.RegDeleteKeyA(key, subKey);
}

long RecordingPlatform::RegCloseKey(HKey key) {
  Record("RegCloseKey", {Arg(key)});
  return inner_.RegCloseKey(key);
}

Handle RecordingPlatform::OpenSCManagerA(const std::string& machine, const std::string& database,
                                         std::uint32_t access) {
  Record("OpenSCManagerA", {Arg(machine), Arg(database), Arg(access)});
  return inner_.OpenSCManagerA(machine, database, access);
}

Handle RecordingPlatform::OpenServiceA(Handle manager, const std::string& serviceName,
                                       std::uint32_t access) {
  Record("OpenServiceA", {Arg(manager), Arg(serviceName), Arg(access)});
  return inner_.OpenServiceA(manager, serviceName, access);
}

bool RecordingPlatform::ControlService(Handle service, std::uint32_t control) {
  Record("ControlService", {Arg(service), Arg(control)});
  return inner_.ControlService(service, control);
}

bool RecordingPlatform::CloseServiceHandle(Handle handle) {
  Record("CloseServiceHandle", {Arg(handle)});
  return inner_.CloseServiceHandle(handle);
}

bool RecordingPlatform::EnumProcesses(std::uint32_t bufferBytes, std::vector<std::uint32_t>* ids,
                                      std::uint32_t* bytesReturned) {
  Record("EnumProcesses", {Arg(bufferBytes)});
  return inner_.EnumProcesses(bufferBytes, ids, bytesReturned);
}

Handle RecordingPlatform::OpenProcess(std::uint32_t access, bool inheritHandle, std::uint32_t pid) {
  Record("OpenProcess", {Arg(access), Arg(inheritHandle), Arg(pid)});
  return inner_.OpenProcess(access, inheritHandle, pid);
}

bool RecordingPlatform::EnumProcessModules(Handle process, std::uint32_t bufferBytes,
                                           std::vector<std::uintptr_t>* modules,
                                           std::uint32_t* bytesNeeded) {
  Record("EnumProcessModules", {Arg(process), Arg(bufferBytes)});
  return inner_.EnumProcessModules(process, bufferBytes, modules, bytesNeeded);
}

std::uint32_t RecordingPlatform::GetModuleFileNameExA(Handle process, std::uintptr_t module,
                                                      std::uint32_t capacity, std::string* path) {
  Record("GetModuleFileNameExA", {Arg(process), Arg(module), Arg(capacity)});
  return inner_.GetModuleFileNameExA(process, module, capacity, path);
}

bool RecordingPlatform::GetProcessTimes(Handle process, std::uint64_t* creationTime) {
  Record("GetProcessTimes", {Arg(process)});
  return inner_.GetProcessTimes(process, creationTime);
}

bool RecordingPlatform::TerminateProcess(Handle process, std::uint32_t exitCode) {
  Record("TerminateProcess", {Arg(process), Arg(exitCode)});
  return inner_.TerminateProcess(process, exitCode);
}

bool RecordingPlatform::CloseHandle(Handle handle) {
  Record("CloseHandle", {Arg(handle)});
  return inner_.CloseHandle(handle);
}

bool RecordingPlatform::OpenProcessToken(std::uint32_t access, Handle* token) {
  Record("OpenProcessToken", {Arg(access)});
  return inner_.OpenProcessToken(access, token);
}

bool RecordingPlatform::LookupPrivilegeValueA(const std::string& systemName,
                                              const std::string& privilegeName, Luid* luid) {
  Record("LookupPrivilegeValueA", {Arg(systemName), Arg(privilegeName)});
  return inner_.LookupPrivilegeValueA(systemName, privilegeName, luid);
}

bool RecordingPlatform::AdjustTokenPrivileges(Handle token, const Luid& luid,
                                              std::uint32_t attributes) {
  Record("AdjustTokenPrivileges", {Arg(token), Arg(attributes)});
  return inner_.AdjustTokenPrivileges(token, luid, attributes);
}

std::uint32_t RecordingPlatform::GetPlatformId() {
  Record("GetPlatformId", {});
  return inner_.GetPlatformId();
}

std::uint32_t RecordingPlatform::GetCurrentProcessId() {
  Record("GetCurrentProcessId", {});
  return inner_.GetCurrentProcessId();
}

std::uint32_t RecordingPlatform::GetDesktopWindowProcessId() {
  Record("GetDesktopWindowProcessId", {});
  return inner_.GetDesktopWindowProcessId();
}

bool RecordingPlatform::GetOwnModuleFileNameA(std::string* path) {
  Record("GetOwnModuleFileNameA", {});
  return inner_.GetOwnModuleFileNameA(path);
}

bool RecordingPlatform::GetVersionExA(platform::OsVersion* version) {
  Record("GetVersionExA", {});
  return inner_.GetVersionExA(version);
}

bool RecordingPlatform::SfcIsFileProtected(const std::u16string& path) {
  Record("SfcIsFileProtected", {Arg(std::string(path.begin(), path.end()))});
  return inner_.SfcIsFileProtected(path);
}

std::uint32_t RecordingPlatform::GetSystemDirectoryA(std::string& buffer) {
  Record("GetSystemDirectoryA", {});
  return inner_.GetSystemDirectoryA(buffer);
}

std::uint32_t RecordingPlatform::GetTempPathA(std::string& buffer) {
  Record("GetTempPathA", {});
  return inner_.GetTempPathA(buffer);
}

bool RecordingPlatform::SHGetSpecialFolderPathA(int csidl, bool create, std::string* path) {
  Record("SHGetSpecialFolderPathA", {Arg(csidl), Arg(create)});
  return inner_.SHGetSpecialFolderPathA(csidl, create, path);
}

std::vector<std::string> RecordingPlatform::GetLogicalDriveStringsA() {
  Record("GetLogicalDriveStringsA", {});
  return inner_.GetLogicalDriveStringsA();
}

std::uint32_t RecordingPlatform::GetDriveTypeA(const std::string& rootPath) {
  Record("GetDriveTypeA", {Arg(rootPath)});
  return inner_.GetDriveTypeA(rootPath);
}

std::uint32_t RecordingPlatform::GetFileAttributesA(const std::string& path) {
  Record("GetFileAttributesA", {Arg(path)});
  return inner_.GetFileAttributesA(path);
}

bool RecordingPlatform::SetFileAttributesA(const std::string& path, std::uint32_t attributes) {
  Record("SetFileAttributesA", {Arg(path), Arg(attributes)});
  return inner_.SetFileAttributesA(path, attributes);
}

bool RecordingPlatform::CopyFileA(const std::string& existing, const std::string& target,
                                  bool failIfExists) {
  Record("CopyFileA", {Arg(existing), Arg(target), Arg(failIfExists)});
  return inner_.CopyFileA(existing, target, failIfExists);
}

bool RecordingPlatform::DeleteFileA(const std::string& path) {
  Record("DeleteFileA", {Arg(path)});
  return inner_.DeleteFileA(path);
}

bool RecordingPlatform::CreateDirectoryA(const std::string& path) {
  Record("CreateDirectoryA", {Arg(path)});
  return inner_.CreateDirectoryA(path);
}

bool RecordingPlatform::FindFiles(const std::string& pattern, std::vector<FindEntry>* entries) {
  Record("FindFiles", {Arg(pattern)});
  return inner_.FindFiles(pattern, entries);
}

Handle RecordingPlatform::CreateFileA(const std::string& path, std::uint32_t access,
                                      std::uint32_t shareMode, std::uint32_t disposition,
                                      std::uint32_t attributes) {
  Record("CreateFileA",
         {Arg(path), Arg(access), Arg(shareMode), Arg(disposition), Arg(attributes)});
  return inner_.CreateFileA(path, access, shareMode, disposition, attributes);
}

bool RecordingPlatform::ReadFile(Handle file, std::uint32_t bytesToRead,
                                 std::vector<std::uint8_t>* data) {
  Record("ReadFile", {Arg(file), Arg(bytesToRead)});
  return inner_.ReadFile(file, bytesToRead, data);
}

bool RecordingPlatform::WriteFile(Handle file, const std::vector<std::uint8_t>& data,
                                  std::uint32_t* bytesWritten) {
  Record("WriteFile", {Arg(file), Bytes(data.size())});
  return inner_.WriteFile(file, data, bytesWritten);
}

bool RecordingPlatform::GetFileSizeEx(Handle file, std::uint64_t* size) {
  Record("GetFileSizeEx", {Arg(file)});
  return inner_.GetFileSizeEx(file, size);
}

bool RecordingPlatform::CryptAcquireContextA(Handle* provider, const std::string& container,
                                             const std::string& providerName,
                                             std::uint32_t providerType, std::uint32_t flags) {
  Record("CryptAcquireContextA",
         {Arg(container), Arg(providerName), Arg(providerType), Arg(flags)});
  return inner_.CryptAcquireContextA(provider, container, providerName, providerType, flags);
}

bool RecordingPlatform::CryptCreateHash(Handle provider, std::uint32_t algorithm, Handle key,
                                        std::uint32_t flags, Handle* hash) {
  Record("CryptCreateHash", {Arg(provider), Arg(algorithm), Arg(key), Arg(flags)});
  return inner_.CryptCreateHash(provider, algorithm, key, flags, hash);
}

bool RecordingPlatform::CryptHashData(Handle hash, const std::uint8_t* data, std::uint32_t length,
                                      std::uint32_t flags) {
  Record("CryptHashData", {Arg(hash), Arg(length), Arg(flags)});
  return inner_.CryptHashData(hash, data, length, flags);
}

bool RecordingPlatform::CryptGetHashParam(Handle hash, std::uint32_t param,
                                          std::vector<std::uint8_t>* value) {
  Record("CryptGetHashParam", {Arg(hash), Arg(param)});
  return inner_.CryptGetHashParam(hash, param, value);
}

bool RecordingPlatform::CryptDestroyHash(Handle hash) {
  Record("CryptDestroyHash", {Arg(hash)});
  return inner_.CryptDestroyHash(hash);
}

bool RecordingPlatform::CryptReleaseContext(Handle provider, std::uint32_t flags) {
  Record("CryptReleaseContext", {Arg(provider), Arg(flags)});
  return inner_.CryptReleaseContext(provider, flags);
}

bool RecordingPlatform::CryptImportKey(Handle provider, const std::vector<std::uint8_t>& blob,
                                       std::uint32_t flags, Handle* key) {
  Record("CryptImportKey", {Arg(provider), Arg(blob.size()), Arg(flags)});
  return inner_.CryptImportKey(provider, blob, flags, key);
}

bool RecordingPlatform::CryptVerifySignatureA(Handle hash,
                                              const std::vector<std::uint8_t>& signature,
                                              Handle key, std::uint32_t flags) {
  Record("CryptVerifySignatureA", {Arg(hash), Arg(signature.size()), Arg(key), Arg(flags)});
  return inner_.CryptVerifySignatureA(hash, signature, key, flags);
}

bool RecordingPlatform::CryptDestroyKey(Handle key) {
  Record("CryptDestroyKey", {Arg(key)});
  return inner_.CryptDestroyKey(key);
}

std::uint32_t RecordingPlatform::StartProcess(const std::string& commandLine, int showWindow) {
  Record("StartProcess", {Arg(commandLine), Arg(showWindow)});
  return inner_.StartProcess(commandLine, showWindow);
}

bool RecordingPlatform::RunProcessAndWait(const std::string& commandLine, int showWindow,
                                          std::uint32_t* exitCode) {
  Record("RunProcessAndWait", {Arg(commandLine), Arg(showWindow)});
  return inner_.RunProcessAndWait(commandLine, showWindow, exitCode);
}

std::uintptr_t RecordingPlatform::ShellExecuteA(std::uintptr_t ownerWindow, const std::string& verb,
                                                const std::string& file,
                                                const std::string& parameters,
                                                const std::string& directory, int showWindow) {
  Record("ShellExecuteA", {Arg(ownerWindow), Arg(verb), Arg(file), Arg(parameters), Arg(directory),
                           Arg(showWindow)});
  return inner_.ShellExecuteA(ownerWindow, verb, file, parameters, directory, showWindow);
}

std::uint32_t RecordingPlatform::MciSendStringA(const std::string& command) {
  Record("MciSendStringA", {Arg(command)});
  return inner_.MciSendStringA(command);
}

int RecordingPlatform::GetLocaleInfoA(std::uint32_t locale, std::uint32_t item,
                                      std::string& buffer) {
  Record("GetLocaleInfoA", {Arg(locale), Arg(item)});
  return inner_.GetLocaleInfoA(locale, item, buffer);
}

bool RecordingPlatform::GetUserNameA(std::string* name) {
  Record("GetUserNameA", {});
  return inner_.GetUserNameA(name);
}

LocalTime RecordingPlatform::GetLocalTime() {
  Record("GetLocalTime", {});
  return inner_.GetLocalTime();
}

std::string RecordingPlatform::FormatMessageA(std::uint32_t errorCode) {
  Record("FormatMessageA", {Arg(errorCode)});
  return inner_.FormatMessageA(errorCode);
}

bool RecordingPlatform::LoadProgramResource(const std::string& type, int id,
                                            std::vector<std::uint8_t>* bytes) {
  Record("LoadProgramResource", {Arg(type), Arg(id)});
  return inner_.LoadProgramResource(type, id, bytes);
}

bool RecordingPlatform::QueryFullProcessImageNameA(Handle process, std::uint32_t capacity,
                                                   std::string* path) {
  Record("QueryFullProcessImageNameA", {Arg(process), Arg(capacity)});
  return inner_.QueryFullProcessImageNameA(process, capacity, path);
}

bool RecordingPlatform::IsWow64Process(bool* wow64) {
  Record("IsWow64Process", {});
  return inner_.IsWow64Process(wow64);
}

std::uint32_t RecordingPlatform::GetSystemWow64DirectoryA(std::string& buffer) {
  Record("GetSystemWow64DirectoryA", {});
  return inner_.GetSystemWow64DirectoryA(buffer);
}

bool RecordingPlatform::Wow64DisableWow64FsRedirection(std::uintptr_t* oldValue) {
  Record("Wow64DisableWow64FsRedirection", {});
  return inner_.Wow64DisableWow64FsRedirection(oldValue);
}

bool RecordingPlatform::Wow64RevertWow64FsRedirection(std::uintptr_t oldValue) {
  Record("Wow64RevertWow64FsRedirection", {Arg(oldValue)});
  return inner_.Wow64RevertWow64FsRedirection(oldValue);
}

std::uint32_t RecordingPlatform::GetACP() {
  Record("GetACP", {});
  return inner_.GetACP();
}

std::u16string RecordingPlatform::MultiByteToWideChar(std::uint32_t codePage,
                                                      const std::string& text) {
  Record("MultiByteToWideChar", {Arg(codePage), Arg(text)});
  return inner_.MultiByteToWideChar(codePage, text);
}

std::string RecordingPlatform::CharLowerBuffA(const std::string& text) {
  Record("CharLowerBuffA", {Arg(text)});
  return inner_.CharLowerBuffA(text);
}

bool RecordingPlatform::ClaimInstance(const std::string& name, bool* anotherRuns) {
  Record("ClaimInstance", {Arg(name)});
  return inner_.ClaimInstance(name, anotherRuns);
}

bool RecordingPlatform::SnapshotProcesses(std::vector<ProcessSnapshotEntry>* entries) {
  Record("SnapshotProcesses", {});
  return inner_.SnapshotProcesses(entries);
}
std::uint32_t RecordingPlatform::WaitForSingleObject(Handle handle, std::uint32_t milliseconds) {
  Record("WaitForSingleObject", {Arg(handle), Arg(milliseconds)});
  return inner_.WaitForSingleObject(handle, milliseconds);
}

}  // namespace quellix::test
