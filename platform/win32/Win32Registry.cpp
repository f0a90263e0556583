// Registry calls (advapi32), ANSI throughout.
#include "platform/win32/Win32Platform.h"

#include "platform/win32/HandleCasts.h"

#include <algorithm>

namespace platform::win32 {
namespace {

// Buffer sizes for the calls: a zero capacity still passes a valid pointer.
std::size_t AtLeastOne(std::uint32_t capacity) { return std::max<std::uint32_t>(capacity, 1); }

}  // namespace

long Win32Platform::RegOpenKeyA(HKey root, const std::string& subKey, HKey* result) {
  HKEY opened = nullptr;
  const LONG status = ::RegOpenKeyA(ToHkey(root), subKey.c_str(), &opened);
  if (status == ERROR_SUCCESS) *result = FromHkey(opened);
  return status;
}

long Win32Platform::RegOpenKeyExA(HKey root, const std::string& subKey, std::uint32_t access,
                                  HKey* result) {
  HKEY opened = nullptr;
  const LONG status = ::RegOpenKeyExA(ToHkey(root), subKey.c_str(), 0, access, &opened);
  if (status == ERROR_SUCCESS) *result = FromHkey(opened);
  return status;
}

long Win32Platform::RegCreateKeyA(HKey root, const std::string& subKey, HKey* result) {
  HKEY created = nullptr;
  const LONG status = ::RegCreateKeyA(ToHkey(root), subKey.c_str(), &created);
  if (status == ERROR_SUCCESS) *result = FromHkey(created);
  return status;
}

long Win32Platform::RegEnumKeyExA(HKey key, std::uint32_t index, std::uint32_t nameCapacity,
                                  std::string* name) {
  std::vector<char> buffer(AtLeastOne(nameCapacity));
  DWORD nameLength = nameCapacity;
  const LONG status = ::RegEnumKeyExA(ToHkey(key), index, buffer.data(), &nameLength, nullptr,
                                      nullptr, nullptr, nullptr);
  if (status == ERROR_SUCCESS) name->assign(buffer.data(), nameLength);
  return status;
}

long Win32Platform::RegEnumValueA(HKey key, std::uint32_t index, std::uint32_t nameCapacity,
                                  std::uint32_t dataCapacity, std::string* name,
                                  std::uint32_t* type, std::vector<std::uint8_t>* data,
                                  std::uint32_t* dataLength) {
  std::vector<char> nameBuffer(AtLeastOne(nameCapacity));
  std::vector<BYTE> dataBuffer(AtLeastOne(dataCapacity));
  DWORD nameLength = nameCapacity;
  DWORD valueType = REG_NONE;
  DWORD length = dataCapacity;
  const LONG status = ::RegEnumValueA(ToHkey(key), index, nameBuffer.data(), &nameLength, nullptr,
                                      &valueType, dataBuffer.data(), &length);
  if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) return status;
  if (dataLength) *dataLength = length;
  if (type) *type = valueType;
  if (status == ERROR_SUCCESS) {
    if (name) name->assign(nameBuffer.data(), nameLength);
    if (data) {
      data->assign(dataBuffer.begin(), dataBuffer.begin() + std::min(length, DWORD{dataCapacity}));
    }
  }
  return status;
}

long Win32Platform::RegQueryValueExA(HKey key, const std::string& valueName, std::uint32_t* type,
                                     std::vector<std::uint8_t>* data) {
  DWORD valueType = REG_NONE;
  DWORD length = 0;
  LONG status =
      ::RegQueryValueExA(ToHkey(key), valueName.c_str(), nullptr, &valueType, nullptr, &length);
  std::vector<BYTE> buffer;
  // The value may grow between the size query and the read; ask again then.
  while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
    buffer.resize(AtLeastOne(length));
    DWORD capacity = length;
    status = ::RegQueryValueExA(ToHkey(key), valueName.c_str(), nullptr, &valueType, buffer.data(),
                                &capacity);
    if (status == ERROR_SUCCESS) {
      if (type) *type = valueType;
      if (data) data->assign(buffer.begin(), buffer.begin() + std::min(capacity, length));
      break;
    }
    if (status == ERROR_MORE_DATA) length = capacity;
  }
  return status;
}

long Win32Platform::RegSetValueExA(HKey key, const std::string& valueName, std::uint32_t type,
                                   const std::vector<std::uint8_t>& data) {
  // For a string given without its NUL, NT looks at the byte after the data
  // and stores the NUL with the string when that byte is one. The copy makes
  // that byte exist and be a NUL, as it is behind every string the programs
  // pass, so a string is always stored terminated.
  std::vector<BYTE> terminated(data.begin(), data.end());
  terminated.push_back(0);
  return ::RegSetValueExA(ToHkey(key), valueName.c_str(), 0, type, terminated.data(),
                          static_cast<DWORD>(data.size()));
}

long Win32Platform::RegDeleteValueA(HKey key, const std::string& valueName) {
  return ::RegDeleteValueA(ToHkey(key), valueName.c_str());
}

long Win32Platform::RegDeleteKeyA(HKey key, const std::string& subKey) {
  return ::RegDeleteKeyA(ToHkey(key), subKey.c_str());
}

long Win32Platform::RegCloseKey(HKey key) { return ::RegCloseKey(ToHkey(key)); }

}  // namespace platform::win32
