// Writes a Machine as a complete scenario ("base": "empty") in a fixed order,
// choosing the most readable form for each piece of data that still loads
// back to the same bytes.
#include <cstdio>
#include <fstream>

#include "platform/sim/SimPath.h"
#include "platform/sim/scenario/Scenario.h"
#include "platform/sim/scenario/ScenarioElement.h"
#include "platform/sim/scenario/ScenarioText.h"

namespace platform::sim {

namespace scenario {
namespace {

// The code page of the machine being saved: its texts are bytes in it.
std::uint32_t savedCodePage = 1252;

Json Text(std::string_view ansi) { return Json(Utf8FromAnsi(ansi, savedCodePage)); }

std::uint32_t LittleEndian32(const std::vector<std::uint8_t>& data) {
  return static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8 |
         static_cast<std::uint32_t>(data[2]) << 16 | static_cast<std::uint32_t>(data[3]) << 24;
}

// The strings of REG_MULTI_SZ data, when the data is exactly what
// MultiStringData makes of them.
std::optional<std::vector<std::string>> MultiStrings(const std::vector<std::uint8_t>& data) {
  std::vector<std::string> strings;
  std::string current;
  for (std::size_t i = 0; i + 1 < data.size(); ++i) {
    if (data[i] == 0) {
      strings.push_back(current);
      current.clear();
    } else {
      current += static_cast<char>(data[i]);
    }
  }
  if (MultiStringData(strings) != data) return std::nullopt;
  return strings;
}

Json ValueEntry(const RegValue& value) {
  Json entry;
  entry["name"] = Text(value.name);
  entry["type"] = value.type <= 11 ? Json(RegistryTypeName(value.type)) : Json(value.type);
  const std::vector<std::uint8_t>& data = value.data;
  const std::string text(data.begin(), data.end());
  switch (value.type) {
    case kRegSz:
    case kRegExpandSz:
      if (!data.empty() && StringData(text.substr(0, text.size() - 1)) == data &&
          text.find('\0') == text.size() - 1) {
        entry["data"] = Text(text.substr(0, text.size() - 1));
        return entry;
      }
      break;
    case kRegMultiSz:
      if (auto strings = MultiStrings(data)) {
        Json list = Json::array();
        for (const std::string& s : *strings) list.push_back(Text(s));
        entry["data"] = list;
        return entry;
      }
      break;
    case kRegDword:
      if (data.size() == 4) {
        entry["data"] = LittleEndian32(data);
        return entry;
      }
      break;
    case 5:  // REG_DWORD_BIG_ENDIAN
      if (data.size() == 4) {
        entry["data"] = LittleEndian32({data[3], data[2], data[1], data[0]});
        return entry;
      }
      break;
    case 11:  // REG_QWORD
      if (data.size() == 8) {
        std::uint64_t number = 0;
        for (int i = 7; i >= 0; --i) number = number << 8 | data[static_cast<std::size_t>(i)];
        entry["data"] = number;
        return entry;
      }
      break;
    default:
      break;
  }
  if (value.type == kRegNone && data.empty()) return entry;
  entry["hex"] = EncodeHex(data);
  return entry;
}

void WriteKey(const RegKey& key, const std::string& path, bool isRoot, Json& list) {
  if (!key.values.empty() || (key.subKeys.empty() && !isRoot)) {
    Json entry;
    entry["key"] = Text(path);
    if (!key.values.empty()) {
      Json values = Json::array();
      for (const RegValue& value : key.values) values.push_back(ValueEntry(value));
      entry["values"] = values;
    }
    list.push_back(entry);
  }
  for (const RegKey& sub : key.subKeys) WriteKey(sub, path + "\\" + sub.name, false, list);
}

Json AttributesJson(std::uint32_t attributes) {
  if (attributes == 0) return Json::array({"normal"});
  std::optional<std::vector<std::string>> names = AttributeNames(attributes);
  if (!names) return Json(attributes);
  Json list = Json::array();
  for (const std::string& name : *names) list.push_back(name);
  return list;
}

// A text as one string, or as one string per line when it has several.
Json Pieces(const std::string& utf8) {
  const std::vector<std::string> pieces = SplitAfterLineFeeds(utf8);
  if (pieces.size() <= 1) return Json(utf8);
  Json list = Json::array();
  for (const std::string& piece : pieces) list.push_back(piece);
  return list;
}

// Contents as lines when they are CR LF terminated text, as UTF-16 text when
// they start with its byte-order mark, as text otherwise, as base64 when they
// are not text at all.
void WriteContents(const std::vector<std::uint8_t>& contents, Json& entry) {
  if (contents.size() >= 2 && contents[0] == 0xFF && contents[1] == 0xFE) {
    std::optional<std::string> utf8 = Utf8FromUtf16(contents);
    if (utf8 && LooksLikeText(std::vector<std::uint8_t>(utf8->begin(), utf8->end()))) {
      entry["utf16"] = Pieces(*utf8);
      return;
    }
  }
  if (!LooksLikeText(contents)) {
    entry["base64"] = EncodeBase64(contents);
    return;
  }
  const std::string text(contents.begin(), contents.end());
  std::vector<std::string> lines;
  bool onlyCrLf = !text.empty();
  for (const std::string& piece : SplitAfterLineFeeds(text)) {
    const std::size_t length = piece.size();
    if (length < 2 || piece.compare(length - 2, 2, "\r\n") != 0 || piece.find('\r') != length - 2) {
      onlyCrLf = false;
      break;
    }
    lines.push_back(piece.substr(0, length - 2));
  }
  if (!onlyCrLf) {
    entry["text"] = Pieces(Utf8FromAnsi(text));
    return;
  }
  Json list = Json::array();
  for (const std::string& line : lines) list.push_back(Text(line));
  entry["lines"] = list;
}

Json FilesJson(const FileSystem& files) {
  Json list = Json::array();
  for (const auto& [key, node] : files.Nodes()) {
    (void)key;
    if (IsDriveRoot(node.path)) continue;
    const std::uint32_t plain = node.attributes & ~kFileAttributeDirectory;
    if (node.directory) {
      // Folders above files are implied; only empty or marked ones are written.
      if (files.HasChildren(node.path) && plain == 0) continue;
      Json entry;
      entry["path"] = Text(node.path);
      entry["folder"] = true;
      if (plain != 0) entry["attributes"] = AttributesJson(plain);
      list.push_back(entry);
      continue;
    }
    Json entry;
    entry["path"] = Text(node.path);
    WriteContents(node.contents, entry);
    if (node.attributes != kFileAttributeArchive)
      entry["attributes"] = AttributesJson(node.attributes);
    if (node.locked) entry["locked"] = true;
    if (node.windowsProtected) entry["protected"] = true;
    list.push_back(entry);
  }
  return list;
}

std::string ClockText(const LocalTime& time) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", time.year, time.month, time.day,
                time.hour, time.minute, time.second);
  return text;
}

Json TextList(const std::vector<std::string>& texts) {
  Json list = Json::array();
  for (const std::string& text : texts) list.push_back(Text(text));
  return list;
}

Json RecordJson(const Machine& machine) {
  Json record;
  Json changes = Json::array();
  for (const Change& change : machine.changes) {
    Json entry;
    entry["call"] = Text(change.call);
    entry["target"] = Text(change.target);
    entry["detail"] = Text(change.detail);
    entry["result"] = change.result;
    changes.push_back(entry);
  }
  record["changes"] = changes;
  Json started = Json::array();
  for (const StartedProcess& process : machine.startedProcesses) {
    Json entry;
    entry["commandLine"] = Text(process.commandLine);
    entry["showWindow"] = process.showWindow;
    entry["waited"] = process.waited;
    entry["pid"] = process.pid;
    entry["exitCode"] = process.exitCode;
    started.push_back(entry);
  }
  record["startedProcesses"] = started;
  Json opens = Json::array();
  for (const ShellOpen& open : machine.shellOpens) {
    Json entry;
    entry["verb"] = Text(open.verb);
    entry["file"] = Text(open.file);
    entry["parameters"] = Text(open.parameters);
    entry["directory"] = Text(open.directory);
    entry["showWindow"] = open.showWindow;
    opens.push_back(entry);
  }
  record["shellOpens"] = opens;
  record["mciCommands"] = TextList(machine.mciCommands);
  return record;
}

}  // namespace
}  // namespace scenario

std::string SaveScenario(const Machine& machine) {
  using scenario::Json;
  using scenario::Text;
  scenario::savedCodePage = machine.ansiCodePage;
  Json document;
  document["base"] = "empty";
  document["platformId"] = machine.platformId;
  document["windows64"] = machine.windows64;
  document["program64"] = machine.program64;
  document["windowsVersion"] = std::to_string(machine.version.major) + "." +
                               std::to_string(machine.version.minor) + "." +
                               std::to_string(machine.version.build);
  const char* const protectionModes[] = {"answers", "stub", "missing"};
  document["fileProtection"] = protectionModes[static_cast<int>(machine.fileProtection)];
  document["systemDirectory"] = Text(machine.systemDirectory);
  document["tempPath"] = Text(machine.tempPath);
  document["currentDirectory"] = Text(machine.currentDirectory);
  document["locale"] = Text(machine.localeLanguageName);
  if (machine.ansiCodePage != 1252) document["codePage"] = machine.ansiCodePage;
  document["user"] = Text(machine.userName);
  document["clock"] = scenario::ClockText(machine.clock);
  document["clockAdvanceSeconds"] = machine.clockAdvanceSeconds;

  Json drives = Json::array();
  for (const Drive& drive : machine.drives) {
    Json entry;
    entry["root"] = drive.Root();
    entry["type"] = scenario::DriveTypeName(drive.type);
    entry["ready"] = drive.ready;
    drives.push_back(entry);
  }
  document["drives"] = drives;

  Json folders = Json::array();
  for (const auto& [csidl, path] : machine.specialFolders) {
    Json entry;
    entry["csidl"] = csidl;
    entry["path"] = Text(path);
    folders.push_back(entry);
  }
  document["specialFolders"] = folders;
  document["privileges"]["held"] = scenario::TextList(machine.heldPrivileges);
  document["privileges"]["enabled"] = scenario::TextList(machine.enabledPrivileges);

  Json registry = Json::array();
  for (int root = 0; root < 4; ++root) {
    scenario::WriteKey(machine.registry.Root(root), RootAbbreviation(root), true, registry);
  }
  document["registry"] = registry;
  document["files"] = scenario::FilesJson(machine.files);

  Json processes = Json::array();
  for (const Process& process : machine.processes) {
    Json entry;
    entry["pid"] = process.pid;
    entry["image"] = Text(process.imagePath);
    if (!process.terminateSucceeds) entry["terminateSucceeds"] = false;
    if (!process.openable) entry["openable"] = false;
    if (process.is64Bit) entry["is64Bit"] = true;
    if (process.ownsDesktop) entry["ownsDesktop"] = true;
    processes.push_back(entry);
  }
  document["processes"] = processes;

  Json services = Json::array();
  for (const Service& service : machine.services) {
    Json entry;
    entry["name"] = Text(service.name);
    entry["running"] = service.running;
    if (!service.stopSucceeds) entry["stopSucceeds"] = false;
    if (service.pid != 0) entry["pid"] = service.pid;
    services.push_back(entry);
  }
  document["services"] = services;

  Json resources = Json::array();
  for (const Resource& resource : machine.resources) {
    Json entry;
    entry["type"] = Text(resource.type);
    entry["id"] = resource.id;
    entry["base64"] = scenario::EncodeBase64(resource.bytes);
    resources.push_back(entry);
  }
  document["resources"] = resources;

  Json faults = Json::array();
  for (const Fault& fault : machine.faults) {
    Json entry;
    entry["call"] = Text(fault.call);
    if (!fault.target.empty()) entry["target"] = Text(fault.target);
    entry["error"] = fault.error;
    if (fault.times >= 0) entry["times"] = fault.times;
    if (fault.skip > 0) entry["skip"] = fault.skip;
    faults.push_back(entry);
  }
  document["faults"] = faults;

  Json rules = Json::array();
  for (const CommandRule& rule : machine.commandRules) {
    Json entry;
    entry["pattern"] = Text(rule.pattern);
    entry["exitCode"] = rule.exitCode;
    rules.push_back(entry);
  }
  document["commandRules"] = rules;
  document["runningInstances"] = scenario::TextList(machine.runningInstances);
  document["nextPid"] = machine.nextPid;
  document["recordMissingTargets"] = machine.recordMissingTargets;
  document["record"] = scenario::RecordJson(machine);
  return document.dump(2) + "\n";
}

void SaveScenarioFile(const Machine& machine, const std::string& path) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) throw ScenarioError("", "cannot be written", path);
  file << SaveScenario(machine);
  if (!file) throw ScenarioError("", "cannot be written", path);
}

}  // namespace platform::sim
