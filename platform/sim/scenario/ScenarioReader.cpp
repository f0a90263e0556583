// Builds a Machine from a scenario document, checking everything a person
// could get wrong and naming the place of the first mistake.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <limits>
#include <set>
#include <sstream>

#include "platform/sim/SimCodePages.h"
#include "platform/sim/SimPath.h"
#include "platform/sim/SimText.h"
#include "platform/sim/scenario/Scenario.h"
#include "platform/sim/scenario/ScenarioElement.h"
#include "platform/sim/scenario/ScenarioText.h"

namespace platform::sim {

ScenarioError::ScenarioError(std::string place, std::string problem, std::string file)
    : std::runtime_error((file.empty() ? "" : file + ": ") +
                         (place.empty() ? std::string("scenario") : place) + ": " + problem),
      place_(std::move(place)),
      problem_(std::move(problem)),
      file_(std::move(file)) {}

namespace scenario {
namespace {

constexpr std::uint64_t kMaxDword = 0xFFFFFFFFu;
constexpr std::uint64_t kMaxInt = static_cast<std::uint64_t>(std::numeric_limits<int>::max());

// Platform calls that exist but have nothing to fail with.
const char* const kUnfailableCalls[] = {
    "GetLastError",        "SetLastError",  "RegCloseKey",
    "CloseServiceHandle",  "CloseHandle",   "CryptDestroyHash",
    "CryptReleaseContext", "GetPlatformId", "GetLogicalDriveStringsA",
    "GetDriveTypeA",       "GetLocalTime",  "FormatMessageA"};

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

std::string AbsolutePath(const Element& element) {
  const std::string text = element.Text();
  const bool absolute = text.size() >= 3 && text[1] == ':' && (text[2] == '\\' || text[2] == '/') &&
                        ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'));
  if (!absolute)
    element.Fail(element.name() + " must be an absolute path such as C:\\folder\\file");
  const CanonicalPath canonical = Canonicalize(text, "C:\\");
  if (canonical.error != 0) element.Fail(element.name() + " is not a valid Windows path");
  return canonical.path;
}

class Reader {
 public:
  explicit Reader(Machine& machine) : machine_(machine) {}

  void Read(const Element& root) {
    root.ExpectObject({"base",
                       "description",
                       "platformId",
                       "windows64",
                       "program64",
                       "windowsVersion",
                       "fileProtection",
                       "systemDirectory",
                       "tempPath",
                       "currentDirectory",
                       "locale",
                       "codePage",
                       "user",
                       "clock",
                       "clockAdvanceSeconds",
                       "drives",
                       "specialFolders",
                       "privileges",
                       "registry",
                       "files",
                       "processes",
                       "services",
                       "resources",
                       "faults",
                       "commandRules",
                       "runningInstances",
                       "nextPid",
                       "recordMissingTargets",
                       "record"});
    ReadBase(root.Field("base"));
    if (auto e = root.Optional("description")) e->Text();
    ReadSettings(root);
    if (auto e = root.Optional("drives")) ReadDrives(*e);
    if (auto e = root.Optional("specialFolders")) ReadSpecialFolders(*e);
    if (auto e = root.Optional("privileges")) ReadPrivileges(*e);
    if (auto e = root.Optional("registry")) ReadRegistry(*e);
    if (auto e = root.Optional("files")) ReadFiles(*e);
    if (auto e = root.Optional("processes")) ReadProcesses(*e);
    if (auto e = root.Optional("services")) ReadServices(*e);
    if (auto e = root.Optional("resources")) ReadResources(*e);
    if (auto e = root.Optional("faults")) ReadFaults(*e);
    if (auto e = root.Optional("commandRules")) ReadCommandRules(*e);
    if (auto e = root.Optional("runningInstances")) {
      for (const Element& item : e->Items()) machine_.runningInstances.push_back(item.Text());
    }
    if (auto e = root.Optional("nextPid")) {
      machine_.nextPid = static_cast<std::uint32_t>(e->Number(1, kMaxDword));
    }
    if (auto e = root.Optional("recordMissingTargets"))
      machine_.recordMissingTargets = e->Boolean();
    if (auto e = root.Optional("record")) ReadRecord(*e);
  }

 private:
  void ReadBase(const Element& base) {
    const std::string name = base.Text();
    if (name == "standard") {
      machine_ = MakeStandardMachine();
    } else if (name == "empty") {
      machine_ = Machine{};
    } else {
      base.Fail("base must be \"standard\" or \"empty\", not '" + name + "'");
    }
  }

  void ReadSettings(const Element& root) {
    if (auto e = root.Optional("platformId")) {
      machine_.platformId = static_cast<std::uint32_t>(e->Number(0, kMaxDword));
    }
    if (auto e = root.Optional("windows64")) machine_.windows64 = e->Boolean();
    if (auto e = root.Optional("program64")) machine_.program64 = e->Boolean();
    if (auto e = root.Optional("windowsVersion")) machine_.version = WindowsVersion(*e);
    if (auto e = root.Optional("fileProtection")) {
      const std::string mode = e->Text();
      if (mode == "answers") {
        machine_.fileProtection = FileProtection::kAnswers;
      } else if (mode == "stub") {
        machine_.fileProtection = FileProtection::kStub;
      } else if (mode == "missing") {
        machine_.fileProtection = FileProtection::kMissing;
      } else {
        e->Fail("fileProtection must be \"answers\", \"stub\" or \"missing\", not '" + mode + "'");
      }
    }
    if (auto e = root.Optional("systemDirectory")) {
      AbsolutePath(*e);
      machine_.systemDirectory = e->Text();
    }
    if (auto e = root.Optional("tempPath")) {
      AbsolutePath(*e);
      machine_.tempPath = e->Text();
      if (machine_.tempPath.back() != '\\') e->Fail("tempPath must end with a backslash");
    }
    if (auto e = root.Optional("currentDirectory")) machine_.currentDirectory = AbsolutePath(*e);
    if (auto e = root.Optional("locale")) machine_.localeLanguageName = e->Text();
    if (auto e = root.Optional("codePage")) {
      machine_.ansiCodePage = static_cast<std::uint32_t>(e->Number(0, kMaxDword));
      if (!IsSupportedCodePage(machine_.ansiCodePage)) {
        e->Fail("codePage must be 1252, 1251 or 936");
      }
    }
    if (auto e = root.Optional("user")) machine_.userName = e->Text();
    if (auto e = root.Optional("clock")) machine_.clock = ReadClock(*e);
    if (auto e = root.Optional("clockAdvanceSeconds")) {
      machine_.clockAdvanceSeconds = static_cast<int>(e->Number(0, kMaxInt));
    }
  }

  static LocalTime ReadClock(const Element& element) {
    const std::string text = element.Text();
    LocalTime time;
    char tail = 0;
    const int fields =
        std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &time.year, &time.month, &time.day,
                    &time.hour, &time.minute, &time.second, &tail);
    if (fields != 6 || text.size() != 19) {
      element.Fail("clock must look like \"2026-12-06 09:05:07\", not '" + text + "'");
    }
    if (time.year < 1601 || time.month < 1 || time.month > 12 || time.day < 1 ||
        time.day > DaysInMonth(time.year, time.month) || time.hour > 23 || time.minute > 59 ||
        time.second > 59) {
      element.Fail("clock '" + text + "' is not a real date and time");
    }
    return time;
  }

  static char DriveLetter(const Element& element) {
    const std::string root = element.Text();
    const bool valid = (root.size() == 2 || (root.size() == 3 && root[2] == '\\')) &&
                       root[1] == ':' &&
                       ((root[0] >= 'A' && root[0] <= 'Z') || (root[0] >= 'a' && root[0] <= 'z'));
    if (!valid) element.Fail("root must be a drive root such as \"C:\\\\\", not '" + root + "'");
    return static_cast<char>(root[0] & ~0x20);
  }

  void ReadDrives(const Element& list) {
    for (const Element& item : list.Items()) {
      item.ExpectObject({"root", "type", "ready", "delete"});
      const char letter = DriveLetter(item.Field("root"));
      if (IsDeletion(item, {"type", "ready"})) {
        if (machine_.FindDrive(letter) == nullptr) item.Fail("there is no drive to delete");
        machine_.drives.erase(std::remove_if(machine_.drives.begin(), machine_.drives.end(),
                                             [&](const Drive& d) { return d.letter == letter; }),
                              machine_.drives.end());
        machine_.files.Remove(std::string(1, letter) + ":\\");
        continue;
      }
      const Element typeElement = item.Field("type");
      std::uint32_t type = 0;
      if (typeElement.json().is_string()) {
        const std::string name = typeElement.Text();
        std::optional<std::uint32_t> known = DriveTypeFromName(name);
        if (!known) typeElement.Fail("unknown drive type '" + name + "'");
        type = *known;
      } else {
        type = static_cast<std::uint32_t>(typeElement.Number(0, 6));
      }
      bool ready = true;
      if (auto e = item.Optional("ready")) ready = e->Boolean();
      machine_.AddDrive(letter, type, ready);
    }
  }

  void ReadSpecialFolders(const Element& list) {
    for (const Element& item : list.Items()) {
      item.ExpectObject({"csidl", "path", "delete"});
      const int csidl = static_cast<int>(item.Field("csidl").Number(0, 0xFF));
      if (IsDeletion(item, {"path"})) {
        if (machine_.specialFolders.erase(csidl) == 0)
          item.Fail("there is no such folder to delete");
        continue;
      }
      const Element path = item.Field("path");
      AbsolutePath(path);
      machine_.specialFolders[csidl] = path.Text();
    }
  }

  void ReadPrivileges(const Element& element) {
    element.ExpectObject({"held", "enabled"});
    if (auto e = element.Optional("held")) machine_.heldPrivileges = TextList(*e);
    if (auto e = element.Optional("enabled")) machine_.enabledPrivileges = TextList(*e);
  }

  void ReadRegistry(const Element& list) {
    for (const Element& item : list.Items()) {
      item.ExpectObject({"key", "values", "delete"});
      const Element keyElement = item.Field("key");
      const std::string keyText = keyElement.Text();
      std::optional<RegPath> path = ParseRegistryPath(keyText);
      if (!path) keyElement.Fail("unknown registry root in '" + keyText + "'");
      if (IsDeletion(item, {"values"})) {
        if (!machine_.registry.Remove(*path))
          item.Fail("there is no key " + keyText + " to delete");
        continue;
      }
      RegKey& key = machine_.registry.Create(*path);
      if (auto values = item.Optional("values")) {
        for (const Element& value : values->Items()) ReadValue(key, value);
      }
    }
  }

  void ReadValue(RegKey& key, const Element& item) {
    item.ExpectObject({"name", "type", "data", "hex", "base64", "delete"});
    const std::string name = item.Field("name").Text();
    if (IsDeletion(item, {"type", "data", "hex", "base64"})) {
      const auto before = key.values.size();
      key.values.erase(
          std::remove_if(key.values.begin(), key.values.end(),
                         [&](const RegValue& v) { return EqualsNoCase(v.name, name); }),
          key.values.end());
      if (key.values.size() == before) item.Fail("there is no value '" + name + "' to delete");
      return;
    }
    const std::uint32_t type = ReadValueType(item);
    const int forms = item.Has("data") + item.Has("hex") + item.Has("base64");
    if (forms > 1) item.Fail("give only one of \"data\", \"hex\" and \"base64\"");
    std::vector<std::uint8_t> bytes;
    if (auto e = item.Optional("hex")) {
      bytes = Hex(*e);
    } else if (auto e = item.Optional("base64")) {
      bytes = Base64(*e);
    } else if (auto e = item.Optional("data")) {
      bytes = TypedData(type, *e);
    } else if (type != kRegNone) {
      item.Fail("a " + RegistryTypeName(type) + " value needs \"data\", \"hex\" or \"base64\"");
    }
    PutValue(key, name, type, std::move(bytes));
  }

  static std::uint32_t ReadValueType(const Element& item) {
    std::optional<Element> typeElement = item.Optional("type");
    if (!typeElement) return kRegSz;
    if (typeElement->json().is_string()) {
      const std::string name = typeElement->Text();
      std::optional<std::uint32_t> type = RegistryTypeFromName(name);
      if (!type) typeElement->Fail("unknown value type '" + name + "'");
      return *type;
    }
    return static_cast<std::uint32_t>(typeElement->Number(0, kMaxDword));
  }

  static std::vector<std::uint8_t> TypedData(std::uint32_t type, const Element& data) {
    switch (type) {
      case kRegSz:
      case kRegExpandSz:
        return StringData(data.Text());
      case kRegMultiSz:
        return MultiStringData(TextList(data));
      case kRegDword:
        return DwordData(static_cast<std::uint32_t>(data.Number(0, kMaxDword)));
      case 5: {  // REG_DWORD_BIG_ENDIAN
        std::vector<std::uint8_t> bytes =
            DwordData(static_cast<std::uint32_t>(data.Number(0, kMaxDword)));
        return {bytes[3], bytes[2], bytes[1], bytes[0]};
      }
      case 11: {  // REG_QWORD
        const std::uint64_t number = data.Number(0, std::numeric_limits<std::uint64_t>::max());
        std::vector<std::uint8_t> bytes;
        for (int i = 0; i < 8; ++i) bytes.push_back(static_cast<std::uint8_t>(number >> (8 * i)));
        return bytes;
      }
      default:
        data.Fail(RegistryTypeName(type) + " data must be given as \"hex\" or \"base64\"");
    }
  }

  // "major.minor.build", as "5.1.2600".
  static OsVersion WindowsVersion(const Element& element) {
    const std::string text = element.Text();
    OsVersion version;
    char tail = 0;
    unsigned major = 0;
    unsigned minor = 0;
    unsigned long build = 0;
    if (std::sscanf(text.c_str(), "%u.%u.%lu%c", &major, &minor, &build, &tail) != 3) {
      element.Fail("windowsVersion must be \"major.minor.build\", not '" + text + "'");
    }
    version.major = major;
    version.minor = minor;
    version.build = static_cast<std::uint32_t>(build);
    return version;
  }

  void ReadFiles(const Element& list) {
    for (const Element& item : list.Items()) {
      item.ExpectObject({"path", "folder", "text", "lines", "utf16", "base64", "attributes",
                         "locked", "protected", "delete"});
      const Element pathElement = item.Field("path");
      const std::string path = AbsolutePath(pathElement);
      if (machine_.FindDrive(path[0]) == nullptr) {
        pathElement.Fail("drive " + path.substr(0, 2) + " is not declared (add it to \"drives\")");
      }
      if (IsDeletion(item, {"folder", "text", "lines", "utf16", "base64", "attributes", "locked",
                            "protected"})) {
        if (IsDriveRoot(path) || !machine_.files.Remove(path)) {
          item.Fail("there is no file or folder " + path + " to delete");
        }
        continue;
      }
      bool folder = false;
      if (auto e = item.Optional("folder")) folder = e->Boolean();
      const int forms =
          item.Has("text") + item.Has("lines") + item.Has("utf16") + item.Has("base64");
      try {
        if (folder) {
          if (forms > 0) item.Fail("a folder has no contents");
          if (item.Has("locked")) item.Fail("a folder cannot be locked");
          if (item.Has("protected")) item.Fail("Windows' file protection guards files only");
          FileNode& node = machine_.files.AddFolder(path);
          if (auto e = item.Optional("attributes")) {
            node.attributes = Attributes(*e) | kFileAttributeDirectory;
          }
          continue;
        }
        if (IsDriveRoot(path)) pathElement.Fail("a drive root is a folder, not a file");
        if (forms > 1) {
          item.Fail("give only one of \"text\", \"lines\", \"utf16\" and \"base64\"");
        }
        std::vector<std::uint8_t> contents;
        if (auto e = item.Optional("text")) contents = ToBytes(Pieces(*e, &Element::Text));
        if (auto e = item.Optional("utf16")) contents = Utf16FromUtf8(Pieces(*e, &Element::Utf8));
        if (auto e = item.Optional("lines")) {
          for (const std::string& line : TextList(*e)) {
            contents.insert(contents.end(), line.begin(), line.end());
            contents.push_back('\r');
            contents.push_back('\n');
          }
        }
        if (auto e = item.Optional("base64")) contents = Base64(*e);
        std::uint32_t attributes = kFileAttributeArchive;
        if (auto e = item.Optional("attributes")) attributes = Attributes(*e);
        FileNode& node = machine_.files.AddFile(path, std::move(contents), attributes);
        if (auto e = item.Optional("locked")) node.locked = e->Boolean();
        if (auto e = item.Optional("protected")) node.windowsProtected = e->Boolean();
      } catch (const std::invalid_argument& problem) {
        item.Fail(problem.what());
      }
    }
  }

  static std::uint32_t Attributes(const Element& element) {
    if (element.json().is_number()) {
      const std::uint32_t number = static_cast<std::uint32_t>(element.Number(0, kMaxDword));
      if (number & kFileAttributeDirectory) {
        element.Fail("attributes give the directory bit; use \"folder\": true");
      }
      return number;
    }
    std::uint32_t attributes = 0;
    for (const Element& item : element.Items()) {
      const std::string name = item.Text();
      std::optional<std::uint32_t> bit = AttributeFromName(name);
      if (!bit) item.Fail("unknown attribute '" + name + "'");
      attributes |= *bit;
    }
    // "normal" stands alone; with other bits Windows drops it.
    if (attributes != kFileAttributeNormal) attributes &= ~kFileAttributeNormal;
    return attributes == kFileAttributeNormal ? 0 : attributes;
  }

  void ReadProcesses(const Element& list) {
    std::set<std::uint32_t> seen;
    for (const Element& item : list.Items()) {
      item.ExpectObject(
          {"pid", "image", "terminateSucceeds", "openable", "is64Bit", "ownsDesktop", "delete"});
      const Element pidElement = item.Field("pid");
      const auto pid = static_cast<std::uint32_t>(pidElement.Number(0, kMaxDword));
      if (!seen.insert(pid).second)
        pidElement.Fail("pid " + std::to_string(pid) + " is listed twice");
      if (IsDeletion(item, {"image", "terminateSucceeds", "openable", "is64Bit", "ownsDesktop"})) {
        if (!machine_.RemoveProcess(pid)) item.Fail("there is no process to delete");
        continue;
      }
      Process& process = machine_.AddProcess(pid, item.Field("image").Text());
      process.terminateSucceeds = true;
      process.openable = true;
      if (auto e = item.Optional("terminateSucceeds")) process.terminateSucceeds = e->Boolean();
      if (auto e = item.Optional("openable")) process.openable = e->Boolean();
      process.is64Bit = false;
      if (auto e = item.Optional("is64Bit")) process.is64Bit = e->Boolean();
      process.ownsDesktop = false;
      if (auto e = item.Optional("ownsDesktop")) process.ownsDesktop = e->Boolean();
    }
  }

  void ReadServices(const Element& list) {
    for (const Element& item : list.Items()) {
      item.ExpectObject({"name", "imagePath", "type", "running", "stopSucceeds", "pid", "delete"});
      const Element nameElement = item.Field("name");
      const std::string name = nameElement.Text();
      if (name.empty() || name.find('\\') != std::string::npos) {
        nameElement.Fail("name must be a service name without backslashes");
      }
      if (IsDeletion(item, {"imagePath", "type", "running", "stopSucceeds", "pid"})) {
        const auto before = machine_.services.size();
        machine_.services.erase(
            std::remove_if(machine_.services.begin(), machine_.services.end(),
                           [&](const Service& s) { return EqualsNoCase(s.name, name); }),
            machine_.services.end());
        if (machine_.services.size() == before) item.Fail("there is no service to delete");
        machine_.registry.RemoveKey(std::string(kServicesKey) + "\\" + name);
        continue;
      }
      bool running = true;
      if (auto e = item.Optional("running")) running = e->Boolean();
      Service* service = nullptr;
      if (auto imagePath = item.Optional("imagePath")) {
        std::uint32_t type = 0x10;
        if (auto e = item.Optional("type")) type = static_cast<std::uint32_t>(e->Number(1, 0x1FF));
        service = &machine_.AddService(name, imagePath->Text(), type, running);
      } else {
        if (item.Has("type")) item.Field("type").Fail("type is only used with imagePath");
        service = machine_.FindService(name);
        if (service == nullptr) {
          machine_.services.push_back(Service{});
          service = &machine_.services.back();
          service->name = name;
        }
        service->running = running;
      }
      service->stopSucceeds = true;
      service->pid = 0;
      if (auto e = item.Optional("stopSucceeds")) service->stopSucceeds = e->Boolean();
      if (auto e = item.Optional("pid"))
        service->pid = static_cast<std::uint32_t>(e->Number(0, kMaxDword));
    }
  }

  void ReadResources(const Element& list) {
    for (const Element& item : list.Items()) {
      item.ExpectObject({"type", "id", "text", "base64"});
      const std::string type = item.Field("type").Text();
      if (type.empty()) item.Field("type").Fail("type must not be empty");
      const int id = static_cast<int>(item.Field("id").Number(0, 0xFFFF));
      if (item.Has("text") == item.Has("base64")) item.Fail("give one of \"text\" and \"base64\"");
      std::vector<std::uint8_t> bytes;
      if (auto e = item.Optional("text")) bytes = ToBytes(e->Text());
      if (auto e = item.Optional("base64")) bytes = Base64(*e);
      machine_.AddResource(type, id, std::move(bytes));
    }
  }

  void ReadFaults(const Element& list) {
    for (const Element& item : list.Items()) {
      item.ExpectObject({"call", "target", "error", "times", "skip"});
      const Element callElement = item.Field("call");
      const std::string call = callElement.Text();
      if (call != "*" && !IsFaultableCall(call)) {
        for (const char* unfailable : kUnfailableCalls) {
          if (call == unfailable) callElement.Fail("call '" + call + "' cannot be made to fail");
        }
        callElement.Fail("unknown call '" + call + "'");
      }
      Fault fault;
      fault.call = call;
      if (auto e = item.Optional("target")) fault.target = e->Text();
      fault.error = static_cast<std::uint32_t>(item.Field("error").Number(1, kMaxDword));
      if (auto e = item.Optional("times")) fault.times = static_cast<int>(e->Number(0, kMaxInt));
      if (auto e = item.Optional("skip")) fault.skip = static_cast<int>(e->Number(0, kMaxInt));
      machine_.faults.push_back(fault);
    }
  }

  void ReadCommandRules(const Element& list) {
    for (const Element& item : list.Items()) {
      item.ExpectObject({"pattern", "exitCode"});
      machine_.commandRules.push_back(
          CommandRule{item.Field("pattern").Text(),
                      static_cast<std::uint32_t>(item.Field("exitCode").Number(0, kMaxDword))});
    }
  }

  void ReadRecord(const Element& record) {
    record.ExpectObject({"changes", "startedProcesses", "shellOpens", "mciCommands"});
    if (auto list = record.Optional("changes")) {
      for (const Element& item : list->Items()) {
        item.ExpectObject({"call", "target", "detail", "result"});
        machine_.changes.push_back(Change{
            item.Field("call").Text(), item.Field("target").Text(), item.Field("detail").Text(),
            static_cast<long>(item.Field("result").Number(0, kMaxDword))});
      }
    }
    if (auto list = record.Optional("startedProcesses")) {
      for (const Element& item : list->Items()) {
        item.ExpectObject({"commandLine", "showWindow", "waited", "pid", "exitCode"});
        StartedProcess started;
        started.commandLine = item.Field("commandLine").Text();
        started.showWindow = static_cast<int>(item.Field("showWindow").Number(0, 11));
        started.waited = item.Field("waited").Boolean();
        started.pid = static_cast<std::uint32_t>(item.Field("pid").Number(0, kMaxDword));
        started.exitCode = static_cast<std::uint32_t>(item.Field("exitCode").Number(0, kMaxDword));
        machine_.startedProcesses.push_back(started);
      }
    }
    if (auto list = record.Optional("shellOpens")) {
      for (const Element& item : list->Items()) {
        item.ExpectObject({"verb", "file", "parameters", "directory", "showWindow"});
        machine_.shellOpens.push_back(
            ShellOpen{item.Field("verb").Text(), item.Field("file").Text(),
                      item.Field("parameters").Text(), item.Field("directory").Text(),
                      static_cast<int>(item.Field("showWindow").Number(0, 11))});
      }
    }
    if (auto list = record.Optional("mciCommands")) machine_.mciCommands = TextList(*list);
  }

  // A "delete": true entry may name only what identifies it.
  static bool IsDeletion(const Element& item, std::initializer_list<const char*> others) {
    std::optional<Element> flag = item.Optional("delete");
    if (!flag || !flag->Boolean()) return false;
    for (const char* field : others) {
      if (item.Has(field)) {
        item.Field(field).Fail("an entry that deletes cannot also give " + std::string(field));
      }
    }
    return true;
  }

  // A text given whole or as a list of pieces to be joined.
  static std::string Pieces(const Element& element, std::string (Element::*read)() const) {
    if (!element.json().is_array()) return (element.*read)();
    std::string joined;
    for (const Element& piece : element.Items()) joined += (piece.*read)();
    return joined;
  }

  static std::vector<std::string> TextList(const Element& element) {
    std::vector<std::string> texts;
    for (const Element& item : element.Items()) texts.push_back(item.Text());
    return texts;
  }

  static std::vector<std::uint8_t> Hex(const Element& element) {
    std::optional<std::vector<std::uint8_t>> bytes = DecodeHex(element.Text());
    if (!bytes) element.Fail("hex must be pairs of hexadecimal digits, such as \"01 ff 3a\"");
    return *bytes;
  }

  static std::vector<std::uint8_t> Base64(const Element& element) {
    std::optional<std::vector<std::uint8_t>> bytes = DecodeBase64(element.Text());
    if (!bytes) element.Fail("base64 is not valid base64 text");
    return *bytes;
  }

  Machine& machine_;
};

std::string PlaceOfByte(std::string_view text, std::size_t byte) {
  std::size_t line = 1;
  std::size_t column = 1;
  for (std::size_t i = 0; i < byte && i < text.size(); ++i) {
    if (text[i] == '\n') {
      ++line;
      column = 1;
    } else {
      ++column;
    }
  }
  return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

}  // namespace
}  // namespace scenario

Machine LoadScenario(std::string_view json) {
  scenario::Json document;
  try {
    document = scenario::Json::parse(json.begin(), json.end());
  } catch (const scenario::Json::parse_error& error) {
    std::string problem = error.what();
    const std::size_t colon = problem.find(": ");
    if (colon != std::string::npos) problem = problem.substr(colon + 2);
    // nlohmann counts the byte after the mistake; name the mistake's column.
    const std::size_t byte = error.byte > 0 ? error.byte - 1 : 0;
    throw ScenarioError(scenario::PlaceOfByte(json, byte), "not valid JSON: " + problem);
  } catch (const scenario::Json::exception& error) {
    // A number too large for any JSON number type; the parser names the
    // number but not its place.
    std::string problem = error.what();
    const std::size_t bracket = problem.find("] ");
    if (bracket != std::string::npos) problem = problem.substr(bracket + 2);
    throw ScenarioError("", "not valid JSON: " + problem);
  }
  // Every text is bytes in the machine's code page, so it is known first.
  std::uint32_t codePage = 1252;
  if (document.is_object() && document.contains("codePage") &&
      document["codePage"].is_number_unsigned() &&
      IsSupportedCodePage(document["codePage"].get<std::uint32_t>())) {
    codePage = document["codePage"].get<std::uint32_t>();
  }
  Machine machine;
  scenario::Reader(machine).Read(scenario::Element(document, "", "scenario", codePage));
  return machine;
}

Machine LoadScenarioFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw ScenarioError("", "cannot be read", path);
  std::ostringstream text;
  text << file.rdbuf();
  try {
    return LoadScenario(text.str());
  } catch (const ScenarioError& error) {
    throw ScenarioError(error.place(), error.problem(), path);
  }
}

}  // namespace platform::sim
