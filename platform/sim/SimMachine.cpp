#include "platform/sim/SimMachine.h"

#include <algorithm>

#include "platform/sim/SimPath.h"
#include "platform/sim/SimText.h"

namespace platform::sim {

namespace {

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month == 2 && IsLeapYear(year)) return 29;
  return kDays[(month - 1) % 12];
}

char UpperLetter(char letter) { return static_cast<char>(letter & ~0x20); }

}  // namespace

std::string Drive::Root() const { return std::string(1, letter) + ":\\"; }

Process& Machine::AddProcess(std::uint32_t pid, std::string imagePath) {
  if (Process* existing = FindProcess(pid)) {
    existing->imagePath = std::move(imagePath);
    existing->creationTime = nextCreationTime++;
    return *existing;
  }
  Process process;
  process.pid = pid;
  process.imagePath = std::move(imagePath);
  process.creationTime = nextCreationTime++;
  processes.push_back(std::move(process));
  return processes.back();
}

Process* Machine::FindProcess(std::uint32_t pid) {
  for (Process& process : processes) {
    if (process.pid == pid) return &process;
  }
  return nullptr;
}

const Process* Machine::FindProcess(std::uint32_t pid) const {
  return const_cast<Machine*>(this)->FindProcess(pid);
}

bool Machine::RemoveProcess(std::uint32_t pid) {
  auto found = std::find_if(processes.begin(), processes.end(),
                            [pid](const Process& process) { return process.pid == pid; });
  if (found == processes.end()) return false;
  processes.erase(found);
  return true;
}

Service& Machine::AddService(std::string_view name, std::string_view imagePath, std::uint32_t type,
                             bool running) {
  const std::string key = std::string(kServicesKey) + "\\" + std::string(name);
  const bool driver = type == 1 || type == 2;
  registry.SetDword(key, "Type", type);
  registry.SetDword(key, "Start", driver ? 1 : 2);
  registry.SetDword(key, "ErrorControl", 1);
  if (!imagePath.empty()) registry.SetExpandString(key, "ImagePath", imagePath);
  registry.SetString(key, "DisplayName", name);
  if (!driver) registry.SetString(key, "ObjectName", "LocalSystem");

  Service* service = FindService(name);
  if (service == nullptr) {
    services.push_back(Service{});
    service = &services.back();
  }
  service->name = std::string(name);
  service->running = running;
  return *service;
}

Service* Machine::FindService(std::string_view name) {
  for (Service& service : services) {
    if (EqualsNoCase(service.name, name)) return &service;
  }
  return nullptr;
}

const Service* Machine::FindService(std::string_view name) const {
  return const_cast<Machine*>(this)->FindService(name);
}

Drive& Machine::AddDrive(char letter, std::uint32_t type, bool ready) {
  letter = UpperLetter(letter);
  Drive* drive = FindDrive(letter);
  if (drive == nullptr) {
    auto place = std::lower_bound(drives.begin(), drives.end(), letter,
                                  [](const Drive& d, char l) { return d.letter < l; });
    drive = &*drives.insert(place, Drive{});
  }
  drive->letter = letter;
  drive->type = type;
  drive->ready = ready;
  files.AddFolder(drive->Root());
  return *drive;
}

Drive* Machine::FindDrive(char letter) {
  letter = UpperLetter(letter);
  for (Drive& drive : drives) {
    if (drive.letter == letter) return &drive;
  }
  return nullptr;
}

const Drive* Machine::FindDrive(char letter) const {
  return const_cast<Machine*>(this)->FindDrive(letter);
}

void Machine::AddResource(std::string_view type, int id, std::vector<std::uint8_t> bytes) {
  for (Resource& resource : resources) {
    if (resource.id == id && EqualsNoCase(resource.type, type)) {
      resource.bytes = std::move(bytes);
      return;
    }
  }
  resources.push_back(Resource{std::string(type), id, std::move(bytes)});
}

const Resource* Machine::FindResource(std::string_view type, int id) const {
  for (const Resource& resource : resources) {
    if (resource.id == id && EqualsNoCase(resource.type, type)) return &resource;
  }
  return nullptr;
}

Fault& Machine::InjectFault(std::string_view call, std::string_view target, std::uint32_t error,
                            int times) {
  faults.push_back(Fault{std::string(call), std::string(target), error, times});
  return faults.back();
}

void Machine::FillDisk() {
  InjectFault("WriteFile", "", 112);
  InjectFault("CopyFileA", "", 112);
}

std::optional<std::uint32_t> Machine::TakeFault(std::string_view call,
                                                const std::vector<std::string>& targets) {
  const auto uses = callUses.find(call);
  if (uses == callUses.end()) {
    callUses.emplace(std::string(call), 1);
  } else {
    ++uses->second;
  }
  for (Fault& fault : faults) {
    if (fault.times == 0) continue;
    if (fault.call != "*" && fault.call != call) continue;
    bool hit = fault.target.empty();
    for (const std::string& target : targets) {
      if (hit) break;
      hit = MatchesPattern(fault.target, target);
    }
    if (!hit) continue;
    if (fault.skip > 0) {
      --fault.skip;
      continue;
    }
    if (fault.times > 0) --fault.times;
    return fault.error;
  }
  return std::nullopt;
}

std::string Machine::WindowsDirectory() const {
  const CanonicalPath system = Canonicalize(systemDirectory, "C:\\");
  const std::string parent = ParentPath(system.path);
  return parent.empty() ? system.path : parent;
}

std::string Machine::SystemWow64Directory() const {
  return JoinPath(WindowsDirectory(), "SysWOW64");
}

namespace {

// True when canonical is folder or lies below it (both canonical).
bool IsAtOrBelow(std::string_view canonical, std::string_view folder) {
  if (canonical.size() < folder.size() ||
      !EqualsNoCase(canonical.substr(0, folder.size()), folder)) {
    return false;
  }
  return canonical.size() == folder.size() || canonical[folder.size()] == '\\';
}

// The folders below system32 that Windows does not redirect.
constexpr const char* kRedirectionExempt[] = {"catroot",     "catroot2", "drivers\\etc",
                                              "driverstore", "logfiles", "spool"};

bool NameIs(const std::vector<std::string>& names, std::size_t index, std::string_view name) {
  return index < names.size() && EqualsNoCase(names[index], name);
}

}  // namespace

std::string Machine::RedirectedPath(const std::string& canonicalPath) const {
  const std::string system = Canonicalize(systemDirectory, "C:\\").path;
  const std::string sysnative = JoinPath(WindowsDirectory(), "Sysnative");
  if (IsAtOrBelow(canonicalPath, sysnative)) {
    return system + canonicalPath.substr(sysnative.size());
  }
  if (!IsAtOrBelow(canonicalPath, system)) return canonicalPath;
  for (const char* exempt : kRedirectionExempt) {
    if (IsAtOrBelow(canonicalPath, JoinPath(system, exempt))) return canonicalPath;
  }
  return SystemWow64Directory() + canonicalPath.substr(system.size());
}

RegPath Machine::RegistryView(const RegPath& path, bool wow64View) const {
  if (!windows64 || !wow64View || path.root != kLocalMachine) return path;
  const std::vector<std::string>& names = path.names;
  if (!NameIs(names, 0, "Software") || NameIs(names, 1, "Wow6432Node")) return path;
  if (NameIs(names, 1, "Policies")) return path;
  if (NameIs(names, 1, "Microsoft") && NameIs(names, 2, "Windows") &&
      NameIs(names, 3, "CurrentVersion") && NameIs(names, 4, "Policies")) {
    return path;
  }
  RegPath viewed = path;
  viewed.names.insert(viewed.names.begin() + 1, "Wow6432Node");
  return viewed;
}

std::string Machine::ImageFilePath(const Process& process) const {
  std::string path = process.imagePath;
  if (path.empty()) return "";
  const std::string systemRoot = "\\SystemRoot\\";
  if (path.size() >= systemRoot.size() &&
      EqualsNoCase(std::string_view(path).substr(0, systemRoot.size()), systemRoot)) {
    path = JoinPath(WindowsDirectory(), path.substr(systemRoot.size()));
  }
  const CanonicalPath canonical = Canonicalize(path, currentDirectory);
  return canonical.error == 0 ? canonical.path : "";
}

bool Machine::IsRunningImage(std::string_view canonicalPath) const {
  const auto fileNameOf = [](std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
  };
  const std::string_view fileName = fileNameOf(canonicalPath);
  for (const Process& process : processes) {
    // Only an image of the same file name can be this path; resolving every
    // image path for every file call would make large machines slow.
    if (!EqualsNoCase(fileNameOf(process.imagePath), fileName)) continue;
    if (EqualsNoCase(ImageFilePath(process), canonicalPath)) return true;
  }
  return false;
}

std::vector<Change> Machine::ChangesBy(std::string_view call) const {
  std::vector<Change> selected;
  for (const Change& change : changes) {
    if (change.call == call) selected.push_back(change);
  }
  return selected;
}

const std::vector<std::string>& FaultableCalls() {
  static const std::vector<std::string> kCalls = {"RegOpenKeyA",
                                                  "RegOpenKeyExA",
                                                  "RegCreateKeyA",
                                                  "RegEnumKeyExA",
                                                  "RegEnumValueA",
                                                  "RegQueryValueExA",
                                                  "RegSetValueExA",
                                                  "RegDeleteValueA",
                                                  "RegDeleteKeyA",
                                                  "OpenSCManagerA",
                                                  "OpenServiceA",
                                                  "ControlService",
                                                  "EnumProcesses",
                                                  "OpenProcess",
                                                  "EnumProcessModules",
                                                  "GetModuleFileNameExA",
                                                  "QueryFullProcessImageNameA",
                                                  "TerminateProcess",
                                                  "OpenProcessToken",
                                                  "LookupPrivilegeValueA",
                                                  "AdjustTokenPrivileges",
                                                  "GetSystemDirectoryA",
                                                  "GetTempPathA",
                                                  "SHGetSpecialFolderPathA",
                                                  "Wow64DisableWow64FsRedirection",
                                                  "GetFileAttributesA",
                                                  "SetFileAttributesA",
                                                  "CopyFileA",
                                                  "DeleteFileA",
                                                  "CreateDirectoryA",
                                                  "FindFiles",
                                                  "CreateFileA",
                                                  "ReadFile",
                                                  "WriteFile",
                                                  "GetFileSizeEx",
                                                  "CryptAcquireContextA",
                                                  "CryptCreateHash",
                                                  "CryptHashData",
                                                  "CryptGetHashParam",
                                                  "StartProcess",
                                                  "RunProcessAndWait",
                                                  "ShellExecuteA",
                                                  "MciSendStringA",
                                                  "GetLocaleInfoA",
                                                  "GetUserNameA",
                                                  "LoadProgramResource",
                                                  "ClaimInstance",
                                                  "SnapshotProcesses"};
  return kCalls;
}

bool IsFaultableCall(std::string_view call) {
  const std::vector<std::string>& calls = FaultableCalls();
  return std::find(calls.begin(), calls.end(), call) != calls.end();
}

LocalTime AddSeconds(const LocalTime& time, long long seconds) {
  LocalTime result = time;
  long long total =
      static_cast<long long>(result.hour) * 3600 + result.minute * 60 + result.second + seconds;
  long long days = total / 86400;
  total %= 86400;
  if (total < 0) {
    total += 86400;
    --days;
  }
  result.hour = static_cast<int>(total / 3600);
  result.minute = static_cast<int>(total / 60 % 60);
  result.second = static_cast<int>(total % 60);
  for (; days > 0; --days) {
    if (++result.day > DaysInMonth(result.year, result.month)) {
      result.day = 1;
      if (++result.month > 12) {
        result.month = 1;
        ++result.year;
      }
    }
  }
  for (; days < 0; ++days) {
    if (--result.day < 1) {
      if (--result.month < 1) {
        result.month = 12;
        --result.year;
      }
      result.day = DaysInMonth(result.year, result.month);
    }
  }
  return result;
}

}  // namespace platform::sim
