#include "quellix/engine/NativeFiles.h"

namespace quellix {

bool NativeFiles::Wow64() {
  if (view_ == View::kUnknown) {
    bool wow64 = false;
    view_ = inner_.IsWow64Process(&wow64) && wow64 ? View::kWow64 : View::kNative;
  }
  return view_ == View::kWow64;
}

template <typename Call>
auto NativeFiles::InNativeView(Call call, decltype(call()) refused) -> decltype(call()) {
  if (!Wow64()) return call();
  std::uintptr_t previous = 0;
  if (!inner_.Wow64DisableWow64FsRedirection(&previous)) return refused;
  const auto result = call();
  // Turning redirection back on must not hide the file call's own error.
  const std::uint32_t error = inner_.GetLastError();
  inner_.Wow64RevertWow64FsRedirection(previous);
  inner_.SetLastError(error);
  return result;
}

std::uint32_t NativeFiles::GetLastError() { return inner_.GetLastError(); }

void NativeFiles::SetLastError(std::uint32_t code) { inner_.SetLastError(code); }

long NativeFiles::RegOpenKeyA(platform::HKey root, const std::string& subKey,
                              platform::HKey* result) {
  return inner_.RegOpenKeyA(root, subKey, result);
}

long NativeFiles::RegOpenKeyExA(platform::HKey root, const std::string& subKey,
                                std::uint32_t access, platform::HKey* result) {
  return inner_.RegOpenKeyExA(root, subKey, access, result);
}

long NativeFiles::RegCreateKeyA(platform::HKey root, const std::string& subKey,
                                platform::HKey* result) {
  return inner_.RegCreateKeyA(root, subKey, result);
}

long NativeFiles::RegEnumKeyExA(platform::HKey key, std::uint32_t index, std::uint32_t nameCapacity,
                                std::string* name) {
  return inner_.RegEnumKeyExA(key, index, nameCapacity, name);
}

long NativeFiles::RegEnumValueA(platform::HKey key, std::uint32_t index, std::uint32_t nameCapacity,
                                std::uint32_t dataCapacity, std::string* name, std::uint32_t* type,
                                std::vector<std::uint8_t>* data, std::uint32_t* dataLength) {
  return inner_.RegEnumValueA(key, index, nameCapacity, dataCapacity, name, type, data, dataLength);
}

long NativeFiles::RegQueryValueExA(platform::HKey key, const std::string& valueName,
                                   std::uint32_t* type, std::vector<std::uint8_t>* data) {
  return inner_.RegQueryValueExA(key, valueName, type, data);
}

long NativeFiles::RegSetValueExA(platform::HKey key, const std::string& valueName,
                                 std::uint32_t type, const std::vector<std::uint8_t>& data) {
  return inner_.RegSetValueExA(key, valueName, type, data);
}

long NativeFiles::RegDeleteValueA(platform::HKey key, const std::string& valueName) {
  return inner_.RegDeleteValueA(key, valueName);
}

long NativeFiles::RegDeleteKeyA(platform::HKey key, const std::string& subKey) {
  return inner_.RegDeleteKeyA(key, subKey);
}

long NativeFiles::RegCloseKey(platform::HKey key) { return inner_.RegCloseKey(key); }

platform::Handle NativeFiles::OpenSCManagerA(const std::string& machine,
                                             const std::string& database, std::uint32_t access) {
  return inner_.OpenSCManagerA(machine, database, access);
}

platform::Handle NativeFiles::OpenServiceA(platform::Handle manager, const std::string& serviceName,
                                           std::uint32_t access) {
  return inner_.OpenServiceA(manager, serviceName, access);
}

bool NativeFiles::ControlService(platform::Handle service, std::uint32_t control) {
  return inner_.ControlService(service, control);
}

bool NativeFiles::CloseServiceHandle(platform::Handle handle) {
  return inner_.CloseServiceHandle(handle);
}

bool NativeFiles::EnumProcesses(std::uint32_t bufferBytes, std::vector<std::uint32_t>* ids,
                                std::uint32_t* bytesReturned) {
  return inner_.EnumProcesses(bufferBytes, ids, bytesReturned);
}

platform::Handle NativeFiles::OpenProcess(std::uint32_t access, bool inheritHandle,
                                          std::uint32_t pid) {
  return inner_.OpenProcess(access, inheritHandle, pid);
}

bool NativeFiles::EnumProcessModules(platform::Handle process, std::uint32_t bufferBytes,
                                     std::vector<std::uintptr_t>* modules,
                                     std::uint32_t* bytesNeeded) {
  return inner_.EnumProcessModules(process, bufferBytes, modules, bytesNeeded);
}

std::uint32_t NativeFiles::GetModuleFileNameExA(platform::Handle process, std::uintptr_t module,
                                                std::uint32_t capacity, std::string* path) {
  return inner_.GetModuleFileNameExA(process, module, capacity, path);
}

bool NativeFiles::QueryFullProcessImageNameA(platform::Handle process, std::uint32_t capacity,
                                             std::string* path) {
  return inner_.QueryFullProcessImageNameA(process, capacity, path);
}

bool NativeFiles::TerminateProcess(platform::Handle process, std::uint32_t exitCode) {
  return inner_.TerminateProcess(process, exitCode);
}

bool NativeFiles::CloseHandle(platform::Handle handle) { return inner_.CloseHandle(handle); }

bool NativeFiles::OpenProcessToken(std::uint32_t access, platform::Handle* token) {
  return inner_.OpenProcessToken(access, token);
}

bool NativeFiles::LookupPrivilegeValueA(const std::string& systemName,
                                        const std::string& privilegeName, platform::Luid* luid) {
  return inner_.LookupPrivilegeValueA(systemName, privilegeName, luid);
}

bool NativeFiles::AdjustTokenPrivileges(platform::Handle token, const platform::Luid& luid,
                                        std::uint32_t attributes) {
  return inner_.AdjustTokenPrivileges(token, luid, attributes);
}

std::uint32_t NativeFiles::GetPlatformId() { return inner_.GetPlatformId(); }

std::uint32_t NativeFiles::GetSystemDirectoryA(std::string& buffer) {
  return inner_.GetSystemDirectoryA(buffer);
}

std::uint32_t NativeFiles::GetTempPathA(std::string& buffer) { return inner_.GetTempPathA(buffer); }

bool NativeFiles::SHGetSpecialFolderPathA(int csidl, bool create, std::string* path) {
  return inner_.SHGetSpecialFolderPathA(csidl, create, path);
}

std::vector<std::string> NativeFiles::GetLogicalDriveStringsA() {
  return inner_.GetLogicalDriveStringsA();
}

std::uint32_t NativeFiles::GetDriveTypeA(const std::string& rootPath) {
  return inner_.GetDriveTypeA(rootPath);
}

bool NativeFiles::IsWow64Process(bool* wow64) { return inner_.IsWow64Process(wow64); }

std::uint32_t NativeFiles::GetSystemWow64DirectoryA(std::string& buffer) {
  return inner_.GetSystemWow64DirectoryA(buffer);
}

bool NativeFiles::Wow64DisableWow64FsRedirection(std::uintptr_t* oldValue) {
  return inner_.Wow64DisableWow64FsRedirection(oldValue);
}

bool NativeFiles::Wow64RevertWow64FsRedirection(std::uintptr_t oldValue) {
  return inner_.Wow64RevertWow64FsRedirection(oldValue);
}

std::uint32_t NativeFiles::GetFileAttributesA(const std::string& path) {
  return InNativeView([&] { return inner_.GetFileAttributesA(path); },
                      platform::kInvalidFileAttributes);
}

bool NativeFiles::SetFileAttributesA(const std::string& path, std::uint32_t attributes) {
  return InNativeView([&] { return inner_.SetFileAttributesA(path, attributes); }, false);
}

bool NativeFiles::CopyFileA(const std::string& existing, const std::string& target,
                            bool failIfExists) {
  return InNativeView([&] { return inner_.CopyFileA(existing, target, failIfExists); }, false);
}

bool NativeFiles::DeleteFileA(const std::string& path) {
  return InNativeView([&] { return inner_.DeleteFileA(path); }, false);
}

bool NativeFiles::CreateDirectoryA(const std::string& path) {
  return InNativeView([&] { return inner_.CreateDirectoryA(path); }, false);
}

bool NativeFiles::FindFiles(const std::string& pattern, std::vector<platform::FindEntry>* entries) {
  return InNativeView([&] { return inner_.FindFiles(pattern, entries); }, false);
}

platform::Handle NativeFiles::CreateFileA(const std::string& path, std::uint32_t access,
                                          std::uint32_t shareMode, std::uint32_t disposition,
                                          std::uint32_t attributes) {
  return InNativeView(
      [&] { return inner_.CreateFileA(path, access, shareMode, disposition, attributes); },
      platform::kInvalidHandleValue);
}

bool NativeFiles::ReadFile(platform::Handle file, std::uint32_t bytesToRead,
                           std::vector<std::uint8_t>* data) {
  return inner_.ReadFile(file, bytesToRead, data);
}

bool NativeFiles::WriteFile(platform::Handle file, const std::vector<std::uint8_t>& data,
                            std::uint32_t* bytesWritten) {
  return inner_.WriteFile(file, data, bytesWritten);
}

bool NativeFiles::GetFileSizeEx(platform::Handle file, std::uint64_t* size) {
  return inner_.GetFileSizeEx(file, size);
}

bool NativeFiles::CryptAcquireContextA(platform::Handle* provider, const std::string& container,
                                       const std::string& providerName, std::uint32_t providerType,
                                       std::uint32_t flags) {
  return inner_.CryptAcquireContextA(provider, container, providerName, providerType, flags);
}

bool NativeFiles::CryptCreateHash(platform::Handle provider, std::uint32_t algorithm,
                                  platform::Handle key, std::uint32_t flags,
                                  platform::Handle* hash) {
  return inner_.CryptCreateHash(provider, algorithm, key, flags, hash);
}

bool NativeFiles::CryptHashData(platform::Handle hash, const std::uint8_t* data,
                                std::uint32_t length, std::uint32_t flags) {
  return inner_.CryptHashData(hash, data, length, flags);
}

bool NativeFiles::CryptGetHashParam(platform::Handle hash, std::uint32_t param,
                                    std::vector<std::uint8_t>* value) {
  return inner_.CryptGetHashParam(hash, param, value);
}

bool NativeFiles::CryptDestroyHash(platform::Handle hash) { return inner_.CryptDestroyHash(hash); }

bool NativeFiles::CryptReleaseContext(platform::Handle provider, std::uint32_t flags) {
  return inner_.CryptReleaseContext(provider, flags);
}

std::uint32_t NativeFiles::StartProcess(const std::string& commandLine, int showWindow) {
  return inner_.StartProcess(commandLine, showWindow);
}

bool NativeFiles::RunProcessAndWait(const std::string& commandLine, int showWindow,
                                    std::uint32_t* exitCode) {
  return inner_.RunProcessAndWait(commandLine, showWindow, exitCode);
}

std::uintptr_t NativeFiles::ShellExecuteA(std::uintptr_t ownerWindow, const std::string& verb,
                                          const std::string& file, const std::string& parameters,
                                          const std::string& directory, int showWindow) {
  return inner_.ShellExecuteA(ownerWindow, verb, file, parameters, directory, showWindow);
}

std::uint32_t NativeFiles::MciSendStringA(const std::string& command) {
  return inner_.MciSendStringA(command);
}

int NativeFiles::GetLocaleInfoA(std::uint32_t locale, std::uint32_t item, std::string& buffer) {
  return inner_.GetLocaleInfoA(locale, item, buffer);
}

bool NativeFiles::GetUserNameA(std::string* name) { return inner_.GetUserNameA(name); }

platform::LocalTime NativeFiles::GetLocalTime() { return inner_.GetLocalTime(); }

std::string NativeFiles::FormatMessageA(std::uint32_t errorCode) {
  return inner_.FormatMessageA(errorCode);
}

bool NativeFiles::LoadProgramResource(const std::string& type, int id,
                                      std::vector<std::uint8_t>* bytes) {
  return inner_.LoadProgramResource(type, id, bytes);
}

std::uint32_t NativeFiles::GetACP() { return inner_.GetACP(); }

std::u16string NativeFiles::MultiByteToWideChar(std::uint32_t codePage, const std::string& text) {
  return inner_.MultiByteToWideChar(codePage, text);
}

std::string NativeFiles::CharLowerBuffA(const std::string& text) {
  return inner_.CharLowerBuffA(text);
}

bool NativeFiles::ClaimInstance(const std::string& name, bool* anotherRuns) {
  return inner_.ClaimInstance(name, anotherRuns);
}

bool NativeFiles::SnapshotProcesses(std::vector<platform::ProcessSnapshotEntry>* entries) {
  return inner_.SnapshotProcesses(entries);
}

std::uint32_t NativeFiles::WaitForSingleObject(platform::Handle handle,
                                               std::uint32_t milliseconds) {
  return inner_.WaitForSingleObject(handle, milliseconds);
}

}  // namespace quellix
