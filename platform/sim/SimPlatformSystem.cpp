// System folders, drives, programs, locale, user, clock, messages,
// resources and the single-instance claim of SimPlatform.
#include <algorithm>
#include <iterator>
#include <sstream>
#include <string>

#include "platform/sim/SimCodePages.h"
#include "platform/sim/SimPath.h"
#include "platform/sim/SimPlatform.h"
#include "platform/sim/SimText.h"

namespace platform::sim {

namespace {

constexpr int kCsidlFlagMask = 0xFF;
constexpr std::uint32_t kLocaleSystemDefault = 0x800;
constexpr std::uint32_t kLocaleNeutral = 0x0;
constexpr std::uint32_t kLocaleFlags = 0xC0000000u;  // NOUSEROVERRIDE, USE_CP_ACP
constexpr std::uintptr_t kShellSuccess = 42;
constexpr std::uintptr_t kShellNoAssociation = 31;
constexpr std::uint32_t kInvalidFunction = 1;

// Writes text into a char array of buffer.size() characters as the A
// functions do: the characters and a NUL, the rest of the array untouched.
// Returns the length without the NUL, or the size needed (with the NUL) and
// writes nothing when the array is too small.
std::uint32_t WriteToBuffer(std::string& buffer, const std::string& text) {
  if (text.size() + 1 > buffer.size()) return static_cast<std::uint32_t>(text.size() + 1);
  std::copy(text.begin(), text.end(), buffer.begin());
  buffer[text.size()] = '\0';
  return static_cast<std::uint32_t>(text.size());
}

struct SystemMessage {
  std::uint32_t code;
  const char* text;
};

// The system message table's English texts for the codes the programs meet.
constexpr SystemMessage kMessages[] = {
    {0, "The operation completed successfully."},
    {2, "The system cannot find the file specified."},
    {3, "The system cannot find the path specified."},
    {5, "Access is denied."},
    {6, "The handle is invalid."},
    {8, "Not enough storage is available to process this command."},
    {18, "There are no more files."},
    {21, "The device is not ready."},
    {32, "The process cannot access the file because it is being used by another process."},
    {39, "The disk is full."},
    {80, "The file exists."},
    {87, "The parameter is incorrect."},
    {112, "There is not enough space on the disk."},
    {122, "The data area passed to a system call is too small."},
    {123, "The filename, directory name, or volume label syntax is incorrect."},
    {183, "Cannot create a file when that file already exists."},
    {234, "More data is available."},
    {259, "No more data is available."},
    {299, "Only part of a ReadProcessMemory or WriteProcessMemory request was completed."},
    {1018, "Illegal operation attempted on a registry key that has been marked for deletion."},
    {1052, "The requested control is not valid for this service."},
    {1060, "The specified service does not exist as an installed service."},
    {1062, "The service has not been started."},
    {1300, "Not all privileges referenced are assigned to the caller."},
    {1313, "A specified privilege does not exist."},
    {1722, "The RPC server is unavailable."},
    {1813, "The specified resource type cannot be found in the image file."},
    {1814, "The specified resource name cannot be found in the image file."},
};

bool HasExtension(const std::string& path) {
  const std::string leaf = LeafName(path);
  return leaf.find('.') != std::string::npos;
}

}  // namespace

// -------------------------------------------------------------------- folders

std::uint32_t SimPlatform::GetSystemDirectoryA(std::string& buffer) {
  if (auto fault = TakeFault("GetSystemDirectoryA")) return FailZero(*fault);
  return WriteToBuffer(buffer, machine_.systemDirectory);
}

std::uint32_t SimPlatform::GetTempPathA(std::string& buffer) {
  if (auto fault = TakeFault("GetTempPathA")) return FailZero(*fault);
  return WriteToBuffer(buffer, machine_.tempPath);
}

bool SimPlatform::IsWow64Process(bool* wow64) {
  *wow64 = machine_.Wow64();
  return true;
}

std::uint32_t SimPlatform::GetSystemWow64DirectoryA(std::string& buffer) {
  if (!machine_.windows64) return FailZero(error::kCallNotImplemented);
  return WriteToBuffer(buffer, machine_.SystemWow64Directory());
}

bool SimPlatform::Wow64DisableWow64FsRedirection(std::uintptr_t* oldValue) {
  if (auto fault = TakeFault("Wow64DisableWow64FsRedirection")) return Fail(*fault);
  if (!machine_.Wow64()) return Fail(kInvalidFunction);
  *oldValue = redirectionOff_ ? 1 : 0;
  redirectionOff_ = true;
  return true;
}

bool SimPlatform::Wow64RevertWow64FsRedirection(std::uintptr_t oldValue) {
  if (!machine_.Wow64()) return Fail(kInvalidFunction);
  redirectionOff_ = oldValue != 0;
  return true;
}

bool SimPlatform::SfcIsFileProtected(const std::u16string& path) {
  if (machine_.fileProtection == FileProtection::kMissing) {
    return Fail(error::kCallNotImplemented);
  }
  std::string ansiPath;
  for (char16_t unit : path) {
    std::string bytes;
    if (!EncodeAnsiUnit(machine_.ansiCodePage, unit, &bytes)) return Fail(error::kFileNotFound);
    ansiPath += bytes;
  }
  if (machine_.fileProtection == FileProtection::kStub) return Fail(error::kFileNotFound);
  const Location location = Locate(ansiPath);
  if (location.node == nullptr || !location.node->windowsProtected) {
    return Fail(error::kFileNotFound);
  }
  return true;
}

bool SimPlatform::SHGetSpecialFolderPathA(int csidl, bool create, std::string* path) {
  auto found = machine_.specialFolders.find(csidl & kCsidlFlagMask);
  const std::string folder = found == machine_.specialFolders.end() ? "" : found->second;
  if (auto fault = TakeFault("SHGetSpecialFolderPathA", {folder})) return Fail(*fault);
  if (folder.empty()) return Fail(error::kInvalidParameter);
  if (create && machine_.files.FindPath(folder) == nullptr) {
    const Location location = Locate(folder);
    if (location.error != 0) {
      Record("SHGetSpecialFolderPathA", folder, "create folder", location.error);
      return Fail(static_cast<std::uint32_t>(location.error));
    }
    machine_.files.AddFolder(location.path);
    Record("SHGetSpecialFolderPathA", location.path, "create folder", error::kSuccess);
  }
  *path = folder;
  return true;
}

std::vector<std::string> SimPlatform::GetLogicalDriveStringsA() {
  std::vector<std::string> roots;
  for (const Drive& drive : machine_.drives) roots.push_back(drive.Root());
  return roots;
}

std::uint32_t SimPlatform::GetDriveTypeA(const std::string& rootPath) {
  std::string root = rootPath.empty() ? machine_.currentDirectory.substr(0, 3) : rootPath;
  std::replace(root.begin(), root.end(), '/', '\\');
  // Only a drive root names a drive: "c:\" (or "c:").
  const bool isRoot = (root.size() == 3 && root[1] == ':' && root[2] == '\\') ||
                      (root.size() == 2 && root[1] == ':');
  if (!isRoot) return kDriveNoRootDir;
  const Drive* drive = machine_.FindDrive(root[0]);
  return drive == nullptr ? kDriveNoRootDir : drive->type;
}

// ------------------------------------------------------------------- programs

long SimPlatform::ResolveProgram(const std::string& commandLine) {
  std::string line = commandLine;
  line.erase(0, line.find_first_not_of(' '));
  std::vector<std::string> candidates;
  if (!line.empty() && line.front() == '"') {
    const std::size_t close = line.find('"', 1);
    candidates.push_back(
        line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
  } else {
    // An unquoted path with blanks is tried blank by blank, shortest first.
    for (std::size_t blank = line.find(' '); blank != std::string::npos;
         blank = line.find(' ', blank + 1)) {
      candidates.push_back(line.substr(0, blank));
    }
    candidates.push_back(line);
  }
  const std::string windows = machine_.WindowsDirectory();
  const std::vector<std::string> searchFolders = {
      machine_.currentDirectory, machine_.systemDirectory, JoinPath(windows, "system"), windows};
  for (std::string candidate : candidates) {
    if (candidate.empty()) continue;
    if (!HasExtension(candidate)) candidate += ".exe";
    const bool hasFolder =
        candidate.find('\\') != std::string::npos || candidate.find(':') != std::string::npos;
    std::vector<std::string> tries;
    if (hasFolder) {
      tries.push_back(candidate);
    } else {
      for (const std::string& folder : searchFolders) tries.push_back(JoinPath(folder, candidate));
    }
    for (const std::string& path : tries) {
      const Location location = Locate(path);
      if (location.error == 0 && location.node != nullptr && !location.node->directory) {
        return error::kSuccess;
      }
    }
  }
  return error::kFileNotFound;
}

std::uint32_t SimPlatform::StartProcess(const std::string& commandLine, int showWindow) {
  const std::string detail = "show " + std::to_string(showWindow);
  long result = error::kSuccess;
  if (auto fault = TakeFault("StartProcess", {commandLine})) {
    result = static_cast<long>(*fault);
  } else {
    result = ResolveProgram(commandLine);
  }
  if (result != error::kSuccess) {
    Record("StartProcess", commandLine, detail, result);
    Fail(static_cast<std::uint32_t>(result));
    return 0;
  }
  const std::uint32_t pid = machine_.nextPid;
  machine_.nextPid += 4;
  machine_.startedProcesses.push_back(StartedProcess{commandLine, showWindow, false, pid, 0});
  Record("StartProcess", commandLine, detail, error::kSuccess);
  return pid;
}

bool SimPlatform::RunProcessAndWait(const std::string& commandLine, int showWindow,
                                    std::uint32_t* exitCode) {
  const std::string detail = "show " + std::to_string(showWindow) + ", wait";
  long result = error::kSuccess;
  if (auto fault = TakeFault("RunProcessAndWait", {commandLine})) {
    result = static_cast<long>(*fault);
  } else {
    result = ResolveProgram(commandLine);
  }
  if (result != error::kSuccess) {
    Record("RunProcessAndWait", commandLine, detail, result);
    return Fail(static_cast<std::uint32_t>(result));
  }
  std::uint32_t code = 0;
  for (const CommandRule& rule : machine_.commandRules) {
    if (MatchesPattern(rule.pattern, commandLine)) {
      code = rule.exitCode;
      break;
    }
  }
  const std::uint32_t pid = machine_.nextPid;
  machine_.nextPid += 4;
  machine_.startedProcesses.push_back(StartedProcess{commandLine, showWindow, true, pid, code});
  Record("RunProcessAndWait", commandLine, detail + ", exit code " + std::to_string(code),
         error::kSuccess);
  *exitCode = code;
  return true;
}

std::uintptr_t SimPlatform::ShellExecuteA(std::uintptr_t ownerWindow, const std::string& verb,
                                          const std::string& file, const std::string& parameters,
                                          const std::string& directory, int showWindow) {
  (void)ownerWindow;
  const std::string detail = (verb.empty() ? std::string("(default verb)") : verb) +
                             (parameters.empty() ? "" : " " + parameters);
  auto fail = [&](std::uint32_t code) -> std::uintptr_t {
    Record("ShellExecuteA", file, detail, static_cast<long>(code));
    Fail(code);
    return code <= 32 ? code : kShellNoAssociation;
  };
  if (auto fault = TakeFault("ShellExecuteA", {file})) return fail(*fault);
  const bool webAddress = file.find("://") != std::string::npos || file.rfind("mailto:", 0) == 0;
  if (!webAddress) {
    const bool relative = !(file.size() >= 2 && file[1] == ':') && file.rfind('\\', 0) != 0;
    const Location location =
        Locate(relative && !directory.empty() ? JoinPath(directory, file) : file);
    if (location.error != 0) return fail(static_cast<std::uint32_t>(location.error));
    if (location.node == nullptr) {
      return fail(location.parentExists ? error::kFileNotFound : error::kPathNotFound);
    }
  }
  machine_.shellOpens.push_back(ShellOpen{verb, file, parameters, directory, showWindow});
  Record("ShellExecuteA", file, detail, error::kSuccess);
  return kShellSuccess;
}

std::uint32_t SimPlatform::MciSendStringA(const std::string& command) {
  machine_.mciCommands.push_back(command);
  if (auto fault = TakeFault("MciSendStringA", {command})) return *fault;
  std::istringstream words(command);
  std::string verb;
  std::string device;
  words >> verb >> std::ws;
  // A quoted device is one word however many blanks it holds.
  if (words.peek() == '"') {
    words.get();
    std::getline(words, device, '"');
  } else {
    words >> device;
  }
  verb = UpperCase1252(verb);
  auto isOpen = [&](const std::string& alias) {
    return std::any_of(mciDevices_.begin(), mciDevices_.end(),
                       [&](const std::string& open) { return EqualsNoCase(open, alias); });
  };
  if (verb == "OPEN") {
    std::string alias = device;
    for (std::string word; words >> word;) {
      if (EqualsNoCase(word, "alias")) words >> alias;
    }
    const Location location = Locate(device);
    if (location.error != 0 || location.node == nullptr) return simerror::kMciFileNotFound;
    if (isOpen(alias)) return simerror::kMciDuplicateAlias;
    mciDevices_.push_back(alias);
    return 0;
  }
  if (verb == "CLOSE" && EqualsNoCase(device, "all")) {
    mciDevices_.clear();
    return 0;
  }
  const char* const deviceVerbs[] = {"PLAY", "STOP", "PAUSE", "RESUME", "SEEK", "STATUS", "CLOSE"};
  const bool known =
      std::find(std::begin(deviceVerbs), std::end(deviceVerbs), verb) != std::end(deviceVerbs);
  if (!known) return simerror::kMciUnrecognizedCommand;
  if (!isOpen(device)) return simerror::kMciInvalidDeviceName;
  if (verb == "CLOSE") {
    mciDevices_.erase(
        std::remove_if(mciDevices_.begin(), mciDevices_.end(),
                       [&](const std::string& open) { return EqualsNoCase(open, device); }),
        mciDevices_.end());
  }
  return 0;
}

// ------------------------------------------------------------- system values

int SimPlatform::GetLocaleInfoA(std::uint32_t locale, std::uint32_t item, std::string& buffer) {
  if (auto fault = TakeFault("GetLocaleInfoA")) return static_cast<int>(FailZero(*fault));
  if ((item & ~kLocaleFlags) != kLocaleSEngLanguage)
    return static_cast<int>(FailZero(simerror::kInvalidFlags));
  if (locale != kLocaleUserDefault && locale != kLocaleSystemDefault && locale != kLocaleNeutral) {
    return static_cast<int>(FailZero(error::kInvalidParameter));
  }
  const std::string& name = machine_.localeLanguageName;
  if (name.empty()) return static_cast<int>(FailZero(error::kInvalidParameter));
  const int needed = static_cast<int>(name.size() + 1);
  if (buffer.empty()) return needed;  // a zero-sized buffer asks for the size
  if (buffer.size() < name.size() + 1)
    return static_cast<int>(FailZero(error::kInsufficientBuffer));
  WriteToBuffer(buffer, name);
  return needed;
}

bool SimPlatform::GetUserNameA(std::string* name) {
  if (auto fault = TakeFault("GetUserNameA")) return Fail(*fault);
  *name = machine_.userName;
  return true;
}

LocalTime SimPlatform::GetLocalTime() {
  const LocalTime now = machine_.clock;
  machine_.clock = AddSeconds(machine_.clock, machine_.clockAdvanceSeconds);
  return now;
}

std::string SimPlatform::FormatMessageA(std::uint32_t errorCode) {
  for (const SystemMessage& message : kMessages) {
    if (message.code == errorCode) return std::string(message.text) + "\r\n";
  }
  Fail(simerror::kMessageNotFound);
  return "";
}

bool SimPlatform::LoadProgramResource(const std::string& type, int id,
                                      std::vector<std::uint8_t>* bytes) {
  if (auto fault = TakeFault("LoadProgramResource", {type})) return Fail(*fault);
  if (const Resource* resource = machine_.FindResource(type, id)) {
    *bytes = resource->bytes;
    return true;
  }
  const bool typeKnown =
      std::any_of(machine_.resources.begin(), machine_.resources.end(),
                  [&](const Resource& resource) { return EqualsNoCase(resource.type, type); });
  return Fail(typeKnown ? simerror::kResourceNameNotFound : simerror::kResourceTypeNotFound);
}

bool SimPlatform::ClaimInstance(const std::string& name, bool* anotherRuns) {
  if (auto fault = TakeFault("ClaimInstance", {name})) return Fail(*fault);
  const bool ours = std::find(claims_.begin(), claims_.end(), name) != claims_.end();
  const bool held = std::find(machine_.runningInstances.begin(), machine_.runningInstances.end(),
                              name) != machine_.runningInstances.end();
  *anotherRuns = held && !ours;
  if (!held) {
    machine_.runningInstances.push_back(name);
    claims_.push_back(name);
  }
  return true;
}

}  // namespace platform::sim
