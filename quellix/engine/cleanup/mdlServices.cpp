#include "quellix/engine/cleanup/mdlServices.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <set>
#include <vector>

#include "quellix/engine/system/AnsiText.h"
#include "quellix/engine/cleanup/BackupFiles.h"
#include "quellix/engine/cleanup/RegExport.h"
#include "quellix/engine/cleanup/RemovalRecord.h"
#include "quellix/engine/session/Session.h"
#include "quellix/engine/session/mdlSortandSearch.h"

namespace quellix {
namespace {

using platform::HKey;
using platform::kHkeyLocalMachine;
namespace error = platform::error;

constexpr std::uint32_t kNameBufferCharacters = 255;
// Key names hold up to 255 characters, and the buffer their NUL as well.
constexpr std::uint32_t kKeyNameCharacters = 256;
constexpr std::uint32_t kDataBufferBytes = 255;
constexpr std::uint32_t kLongestValueName = 16384;

// Genuine system programs that share a name with a listed worm.
constexpr std::array<const char*, 10> kSystemImageNames = {
    "svchost", "services", "lsass",  "ehsched", "dllhost",
    "ups",     "spoolsv",  "mstask", "wdfmgr",  "nvsvc64"};

struct ServiceEntry {
  std::string Name;
  std::string ImagePath;
};

std::vector<ServiceEntry> ListServices(Session& session) {
  platform::Platform& platform = session.platform;
  std::vector<ServiceEntry> entries;
  HKey services = 0;
  if (platform.RegOpenKeyA(kHkeyLocalMachine, kServicesKeyPath, &services) != error::kSuccess) {
    session.ShowMessageBox(8, 0);
    return entries;
  }
  for (std::uint32_t index = 0;; ++index) {
    std::string name;
    const long result = platform.RegEnumKeyExA(services, index, kKeyNameCharacters, &name);
    // A name too long for the buffer is no service name; any other failure
    // would repeat for every later index.
    if (result == error::kMoreData) continue;
    if (result != error::kSuccess) break;
    entries.push_back(ServiceEntry{name, std::string()});
  }
  platform.RegCloseKey(services);
  return entries;
}

// The last value whose name contains "ImagePath" and that has data, lower
// case, without its terminating NUL; "" when the key does not open.
std::string ReadImagePath(Session& session, const std::string& serviceName) {
  platform::Platform& platform = session.platform;
  std::string imagePath;
  HKey key = 0;
  if (platform.RegOpenKeyA(kHkeyLocalMachine, kServicesKeyPath + serviceName, &key) !=
      error::kSuccess) {
    return imagePath;
  }
  for (std::uint32_t index = 0;; ++index) {
    std::string name;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    std::uint32_t length = 0;
    long result = platform.RegEnumValueA(key, index, kNameBufferCharacters, kDataBufferBytes, &name,
                                         &type, &data, &length);
    // An image path longer than the buffer is read whole: cut short it would
    // hide the program's name.
    if (result == error::kMoreData) {
      result =
          platform.RegEnumValueA(key, index, kLongestValueName, std::max(length, kDataBufferBytes),
                                 &name, &type, &data, &length);
    }
    if (result != error::kSuccess) break;
    if (length == 0 || !ContainsNoCase(name, "ImagePath")) continue;
    const std::string text(data.begin(), data.begin() + std::min<std::size_t>(length, data.size()));
    imagePath = LowerAnsi(text.substr(0, text.find('\0')));
  }
  platform.RegCloseKey(key);
  return imagePath;
}

// The image path without the arguments after the program's ".exe" or ".com".
std::string CutArguments(const std::string& imagePath) {
  for (const char* extension : {".exe ", ".com "}) {
    const auto found = FindNoCase(imagePath, extension);
    if (found != std::string::npos) return imagePath.substr(0, found + 4);
  }
  return imagePath;
}

bool IsSystemImageName(const std::string& stem) {
  return std::find(kSystemImageNames.begin(), kSystemImageNames.end(), stem) !=
         kSystemImageNames.end();
}

// Judges one entry (cutting its image path in place); true when it runs a
// listed worm that is no system program.
bool IsWormService(Session& session, ServiceEntry& entry) {
  if (entry.ImagePath.empty()) return false;
  entry.ImagePath = CutArguments(entry.ImagePath);
  const auto slash = entry.ImagePath.rfind('\\');
  const std::string fileName =
      slash == std::string::npos ? entry.ImagePath : entry.ImagePath.substr(slash + 1);
  if (fileName.size() < 4) return false;
  const std::string extension = fileName.substr(fileName.size() - 4);
  if (extension != ".exe" && extension != ".com") return false;
  const std::string stem = fileName.substr(0, fileName.size() - 4);
  return !IsSystemImageName(stem) && BinarySearch(session.InfectionNames, stem) >= 0;
}

// Exports the service's key to the backup folder, then deletes it with its
// sub-keys. A key whose backup could not be written is kept: it stays listed
// in lstInfectedKeys, so the next run tries again.
void BackUpAndDeleteKey(Session& session, const std::string& serviceName) {
  platform::Platform& platform = session.platform;
  HKey key = 0;
  if (platform.RegOpenKeyA(kHkeyLocalMachine, kServicesKeyPath + serviceName, &key) !=
      error::kSuccess) {
    return;
  }
  std::string backup;
  platform::restore::RemovedKey removed;
  const std::string regFile =
      FreeBackupPath(platform, session.run.BackupDir, FileNamePart(serviceName), ".reg");
  const bool backedUp =
      RegFileForKeyTree(platform, kHkeyLocalMachine, kServicesKeyPath + serviceName, &backup) &&
      WriteRegFile(platform, regFile, backup, false);
  session.WriteMessage(backedUp ? 6 : 5, serviceName);
  if (backedUp) {
    const bool read =
        ReadRemovedKey(platform, kHkeyLocalMachine, kServicesKeyPath + serviceName, &removed);
    DeleteKeyTree(session, key, serviceName);
    platform.RegDeleteKeyA(key, "");
    if (read) {
      removed.regFile = BackupFileName(regFile);
      RecordRemovedKey(session, removed);
    } else {
      session.WriteMessage(5, session.removalRecord.Path());
    }
  }
  platform.RegCloseKey(key);
}

}  // namespace

bool RemoveVirusServices(Session& session) {
  Host& host = session.host;
  host.SetProg1(0);
  std::vector<ServiceEntry> entries = ListServices(session);
  for (ServiceEntry& entry : entries) entry.ImagePath = ReadImagePath(session, entry.Name);

  bool anyStopped = false;
  for (std::size_t index = 0; index < entries.size(); ++index) {
    ServiceEntry& entry = entries[index];
    if (IsWormService(session, entry)) {
      const bool stopped = StopService(session, "", entry.Name);
      session.WriteMessage(4, entry.Name + "\" " + entry.ImagePath + " ..." +
                                  (stopped ? "Stopped" : "Unable to Stop!!"));
      session.frmMain.lstInfectedKeys.push_back(entry.Name);
      anyStopped = anyStopped || stopped;
    }
    // With a single service the bar goes straight to its end.
    const std::size_t last = entries.size() - 1;
    host.SetProg1(last == 0 ? 100.0 : static_cast<double>(index) / static_cast<double>(last) * 100);
    host.DoEvents();
  }

  // Earlier runs' finds are tried again: their keys may have come back or
  // may not have been deletable then.
  for (const std::string& serviceName : session.frmMain.lstInfectedKeys) {
    BackUpAndDeleteKey(session, serviceName);
  }

  host.SetProg2(20);
  return anyStopped;
}

bool StopService(Session& session, const std::string& machine, const std::string& serviceName) {
  platform::Platform& platform = session.platform;
  const auto manager =
      platform.OpenSCManagerA(machine, "ServicesActive", platform::kScManagerAllAccess);
  if (manager == platform::kNullHandle) return false;
  bool stopped = false;
  const auto service = platform.OpenServiceA(manager, serviceName, platform::kServiceAllAccess);
  if (service != platform::kNullHandle) {
    stopped = platform.ControlService(service, platform::kServiceControlStop);
    platform.CloseServiceHandle(service);
  }
  platform.CloseServiceHandle(manager);
  return stopped;
}

void DeleteKeyTree(Session& session, HKey key, const std::string& path) {
  platform::Platform& platform = session.platform;
  // Each sub-key is emptied at most once; after that a refusal moves on to
  // the next index, so every pass either deletes a key or advances.
  std::set<std::string> emptied;
  for (std::uint32_t index = 0;;) {
    std::string name;
    const long listed = platform.RegEnumKeyExA(key, index, kKeyNameCharacters, &name);
    if (listed == error::kMoreData) {
      ++index;
      continue;
    }
    if (listed != error::kSuccess) return;
    const long result = platform.RegDeleteKeyA(key, name);
    if (result == error::kSuccess) continue;  // the later sub-keys have moved up
    const std::string childPath = path + "\\" + name;
    if (result == error::kAccessDenied && emptied.insert(LowerAnsi(name)).second) {
      HKey child = 0;
      if (platform.RegOpenKeyA(kHkeyLocalMachine, kServicesKeyPath + childPath, &child) ==
          error::kSuccess) {
        DeleteKeyTree(session, child, childPath);
        platform.RegCloseKey(child);
        continue;  // try the deletion again
      }
    }
    ++index;
  }
}

}  // namespace quellix
