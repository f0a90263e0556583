// What the registry, service and hosts Wine tests share: a session on the
// real API with the English language, and registry snapshots read with the
// wide API, independent of the export under test.
#pragma once

#include <windows.h>

#include <string>
#include <tuple>
#include <vector>

namespace quellix::wine {

// One value of a key tree: the key's path below the tree's root, the value's
// name, type and bytes.
using SnapshotValue = std::tuple<std::wstring, std::wstring, DWORD, std::vector<BYTE>>;

// Every key (as a value-less entry with type ~0) and value below root\path.
inline void Snapshot(HKEY root, const std::wstring& path, const std::wstring& relative,
                     std::vector<SnapshotValue>* out) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  out->emplace_back(relative, L"", ~0u, std::vector<BYTE>());
  for (DWORD index = 0;; ++index) {
    wchar_t name[16384];
    DWORD nameLength = 16384;
    DWORD type = 0;
    DWORD size = 0;
    if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, nullptr, &size) !=
        ERROR_SUCCESS) {
      break;
    }
    std::vector<BYTE> data(size);
    nameLength = 16384;
    RegEnumValueW(key, index, name, &nameLength, nullptr, &type, data.data(), &size);
    data.resize(size);
    out->emplace_back(relative, name, type, data);
  }
  for (DWORD index = 0;; ++index) {
    wchar_t name[256];
    DWORD nameLength = 256;
    if (RegEnumKeyExW(key, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    Snapshot(root, path + L"\\" + name, relative + L"\\" + name, out);
  }
  RegCloseKey(key);
}

// Deletes root\path with every key below it (the build targets systems
// without RegDeleteTree).
inline void DeleteTree(HKEY root, const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
    std::vector<std::wstring> children;
    for (DWORD index = 0;; ++index) {
      wchar_t name[256];
      DWORD nameLength = 256;
      if (RegEnumKeyExW(key, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS) {
        break;
      }
      children.push_back(name);
    }
    RegCloseKey(key);
    for (const auto& child : children) DeleteTree(root, path + L"\\" + child);
  }
  RegDeleteKeyW(root, path.c_str());
}

inline void DeleteValue(HKEY root, const char* path, const char* name) {
  HKEY key = nullptr;
  if (RegOpenKeyA(root, path, &key) != ERROR_SUCCESS) return;
  RegDeleteValueA(key, name);
  RegCloseKey(key);
}

// Runs a command line and waits for it; its exit code, or ~0 when it did not start.
inline DWORD RunAndWait(std::string commandLine) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return ~0u;
  }
  WaitForSingleObject(process.hProcess, 60000);
  DWORD code = ~0u;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

inline std::string WindowsFolder() {
  char buffer[MAX_PATH];
  const UINT length = GetWindowsDirectoryA(buffer, MAX_PATH);
  return std::string(buffer, length);
}

}  // namespace quellix::wine
