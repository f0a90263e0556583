#include "gorsel/ValueBackup.h"

#include <algorithm>

namespace gorsel {

namespace {

constexpr std::uint32_t kQueryAndSetValue = 0x0003;
constexpr int kMaxFileNumber = 999;
// Value names may be long; the file name keeps their start.
constexpr std::size_t kNameInFileName = 60;

std::string HiveName(platform::HKey hive) {
  return hive == platform::kHkeyLocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}

// "Gorsel HKCU load.reg", "Gorsel HKCU load (2).reg", ...: characters a file
// name cannot hold become "_".
std::string FileName(platform::HKey hive, const std::string& valueName, int number) {
  std::string name = valueName.empty() ? "(default)" : valueName.substr(0, kNameInFileName);
  for (char& c : name) {
    if (static_cast<unsigned char>(c) < 32 ||
        std::string("\\/:*?\"<>|").find(c) != std::string::npos) {
      c = '_';
    }
  }
  const std::string hiveName = hive == platform::kHkeyLocalMachine ? "HKLM" : "HKCU";
  const std::string suffix = number == 1 ? "" : " (" + std::to_string(number) + ")";
  return "Gorsel " + hiveName + " " + name + suffix + ".reg";
}

// The new file's name in folder; "" when none could be written whole.
std::string WriteNewFile(platform::Platform& system, const std::string& folder, platform::HKey hive,
                         const std::string& valueName, const std::string& text) {
  for (int number = 1; number <= kMaxFileNumber; ++number) {
    const std::string name = FileName(hive, valueName, number);
    const std::string path = folder + name;
    const platform::Handle file = system.CreateFileA(
        path, platform::kGenericWrite, 0, platform::kCreateNew, platform::kFileAttributeNormal);
    if (file == platform::kInvalidHandleValue || file == platform::kNullHandle) {
      const std::uint32_t error = system.GetLastError();
      if (error == platform::error::kFileExists || error == platform::error::kAlreadyExists) {
        continue;
      }
      return std::string();
    }
    std::uint32_t written = 0;
    const bool whole =
        system.WriteFile(file, std::vector<std::uint8_t>(text.begin(), text.end()), &written) &&
        written == text.size();
    system.CloseHandle(file);
    // A part of a copy would pass for a copy.
    if (!whole) system.DeleteFileA(path);
    return whole ? name : std::string();
  }
  return std::string();
}

std::string KeyWithoutTrailingSlash(std::string subKey) {
  while (!subKey.empty() && subKey.back() == '\\') subKey.pop_back();
  return subKey;
}

}  // namespace

ValueBackup BackUpAndDeleteValue(platform::Platform& system, platform::HKey hive,
                                 const std::string& subKey, const std::string& valueName,
                                 const std::string& folder,
                                 platform::restore::RemovedValue* deleted) {
  deleted->regFile.clear();
  const std::string keyPath = KeyWithoutTrailingSlash(subKey);
  platform::HKey key = 0;
  if (system.RegOpenKeyExA(hive, keyPath, kQueryAndSetValue, &key) != platform::error::kSuccess) {
    return ValueBackup::kAbsent;
  }
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  const long read = system.RegQueryValueExA(key, valueName, &type, &data);
  ValueBackup outcome = ValueBackup::kAbsent;
  if (read == platform::error::kSuccess) {
    const std::string text =
        RegFileForValue(HiveName(hive) + "\\" + keyPath, valueName, type, data);
    const std::string regFile = WriteNewFile(system, folder, hive, valueName, text);
    outcome = regFile.empty() ? ValueBackup::kNotSaved : ValueBackup::kSaved;
    if (outcome == ValueBackup::kSaved &&
        system.RegDeleteValueA(key, valueName) == platform::error::kSuccess) {
      *deleted = platform::restore::RemovedValue{
          hive, platform::restore::View::kNative, keyPath, {valueName, type, data}, regFile};
    }
  } else if (read != platform::error::kFileNotFound) {
    outcome = ValueBackup::kNotSaved;
  }
  system.RegCloseKey(key);
  return outcome;
}

}  // namespace gorsel
