#include "quellix/engine/detection/mdlSmartScan.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/RuntimeError.h"
#include "quellix/engine/system/AnsiText.h"
#include "quellix/engine/detection/MD5Hash.h"
#include "quellix/engine/system/RegistryViews.h"
#include "quellix/engine/session/Session.h"
#include "quellix/engine/detection/ProcessList.h"
#include "quellix/engine/session/mdlSortandSearch.h"

namespace quellix {
namespace {

constexpr std::uint32_t kNameBufferCharacters = 255;
constexpr std::uint32_t kDataBufferBytes = 255;
// Registry value names are at most 16,383 characters.
constexpr std::uint32_t kLongestValueName = 16384;

}  // namespace

void ListRegistryValues(Session& session, platform::HKey key) {
  platform::Platform& platform = session.platform;
  for (std::uint32_t index = 0;; ++index) {
    std::uint32_t nameCapacity = kNameBufferCharacters;
    std::uint32_t dataCapacity = kDataBufferBytes;
    std::string name;
    std::vector<std::uint8_t> data;
    std::uint32_t type = 0;
    std::uint32_t dataLength = 0;
    long result = platform.RegEnumValueA(key, index, nameCapacity, dataCapacity, &name, &type,
                                         &data, &dataLength);
    // A value longer than the buffers is read again with room for all of it,
    // rather than turned into a cut or garbled text.
    if (result == platform::error::kMoreData) {
      nameCapacity = kLongestValueName;
      dataCapacity = dataLength > dataCapacity ? dataLength : dataCapacity;
      result = platform.RegEnumValueA(key, index, nameCapacity, dataCapacity, &name, &type, &data,
                                      &dataLength);
      // The value exists but cannot be read even so (it grew meanwhile, or
      // the read was refused): only this value is passed over, the later
      // ones are still judged.
      if (result != platform::error::kSuccess && result != platform::error::kNoMoreItems) continue;
    }
    // No more values, or an enumeration that fails (a key that went away)
    // and would fail the same way for every later index.
    if (result != platform::error::kSuccess) return;
    if (dataLength == 0) continue;
    const std::size_t textLength = std::min<std::size_t>(dataLength - 1, data.size());
    session.frmMain.lstKeys.push_back(
        LowerAnsi(name + "=" + std::string(data.begin(), data.begin() + textLength)));
  }
}

}  // namespace quellix

namespace quellix {
namespace {

using platform::Platform;

struct RunKey {
  platform::HKey root;
  const char* path;
};

constexpr RunKey kRunKeys[] = {
    {platform::kHkeyLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Run"},
    {platform::kHkeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run"},
    {platform::kHkeyLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices"},
};

// A file name without its dot and three-letter extension; "" when the name is
// too short to have one.
std::string Stem(const std::string& fileName) {
  return fileName.size() > 4 ? fileName.substr(0, fileName.size() - 4) : std::string();
}

bool IsKnownName(const Session& session, const std::string& stem) {
  const std::string lower = LowerAnsi(stem);
  return std::any_of(session.InfectionNames.begin(), session.InfectionNames.end(),
                     [&](const std::string& name) { return LowerAnsi(name) == lower; });
}

// Whether a stem may become a worm name. The sweep puts every worm name after
// the system's own folders: an empty name would make it look for ".exe", and a
// name with path parts ("windows\system32\userinit", "..\x"), which an
// autorun.inf on any stick can dictate, would steer it onto the system's files.
bool IsLearnableStem(const std::string& stem) {
  return !stem.empty() && stem.find_first_of("\\/:") == std::string::npos &&
         stem.find("..") == std::string::npos;
}

// Adds a worm name and keeps the array sorted; a stem that is not a bare file
// name teaches nothing.
void LearnName(Session& session, const std::string& stem) {
  if (!IsLearnableStem(stem) || IsKnownName(session, stem)) return;
  std::vector<std::string>& names = session.InfectionNames;
  names.push_back(LowerAnsi(stem));
  QuickSort(names, 0, static_cast<std::int32_t>(names.size()) - 1);
}

// How many entries of KnownDigests equal the digest. The empty text is no
// digest and matches nothing.
std::size_t CountMatches(const Session& session, const std::string& digest) {
  if (digest.empty()) return 0;
  return static_cast<std::size_t>(
      std::count(session.KnownDigests.begin(), session.KnownDigests.end(), digest));
}

std::string FileNameOf(const std::string& path) {
  const std::size_t slash = path.rfind('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A file no evidence removes (Windows' own, or this program) teaches no name
// and is not listed for deletion; a Windows file that holds a worm's bytes is
// reported as kept, so that the run does not end as if nothing were found.
bool KeptDespiteMatch(Session& session, const std::string& path) {
  if (session.systemFiles.IsProgramFile(path)) {
    session.WriteMessage(14.7f, path);
    return true;
  }
  if (!session.systemFiles.IsWindowsOwn(path)) return false;
  session.WriteMessage(14.6f, path);
  session.run.WindowsFileMatchesWorm = true;
  return true;
}

void ScanProcesses(Session& session) {
  ProcessLists lists;
  EnumerateProcesses(session, lists);
  AddProcessCandidates(session, lists, "*");
  MD5Hash hasher(session.platform, session.host);
  for (const ProcessEntry& candidate : lists.CandidateList) {
    const std::string path = candidate.Folder + candidate.Name;
    const std::size_t matches = CountMatches(session, hasher.HashFile(path));
    if (matches > 0 && KeptDespiteMatch(session, path)) continue;
    for (std::size_t match = 0; match < matches; ++match) {
      LearnName(session, Stem(candidate.Name));
      session.WriteMessage(2, path);
      session.frmMain.lstIdentifiedByMD5.push_back(path);
    }
  }
}

// The program of a "name=data" item: the data up to a second "=", without
// quotes, cut after ".exe" when arguments follow.
std::string RunItemProgram(const std::string& item) {
  const std::size_t first = item.find('=');
  const std::size_t second = item.find('=', first + 1);
  std::string program =
      item.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1);
  program.erase(std::remove(program.begin(), program.end(), '"'), program.end());
  const std::size_t exe = FindNoCase(program, ".exe ");
  if (exe != std::string::npos) program.resize(exe + 4);
  return program;
}

// The file a 32-bit program started from a Wow6432Node Run value gets: its
// system32 is SysWOW64, and its Sysnative the real system32. The run reads
// files in the native view, so the path is translated here.
std::string AsThirtyTwoBitProgramsSee(const std::string& program, const RunValues& run) {
  const std::string lower = LowerAnsi(program);
  const std::string system = run.SystemDir + "\\";
  const std::string sysnative = run.WindowsDir + "\\sysnative\\";
  if (run.SysWow64Dir.empty()) return program;
  if (lower.compare(0, system.size(), system) == 0) {
    return run.SysWow64Dir + "\\" + program.substr(system.size());
  }
  if (lower.compare(0, sysnative.size(), sysnative) == 0) {
    return system + program.substr(sysnative.size());
  }
  return program;
}

std::string ReadAnsiFile(Platform& platform, const std::string& path) {
  const platform::Handle file = platform.CreateFileA(
      path, platform::kGenericRead, platform::kFileShareRead | platform::kFileShareWrite,
      platform::kOpenExisting, platform::kFileAttributeNormal);
  if (file == platform::kInvalidHandleValue) return std::string();
  std::string text;
  std::vector<std::uint8_t> block;
  while (platform.ReadFile(file, 65536, &block) && !block.empty()) {
    text.append(block.begin(), block.end());
  }
  platform.CloseHandle(file);
  return text;
}

// The program that one autorun.inf line names, as the root folder sees it;
// "" when the line names none.
std::string AutorunTarget(const std::string& line, const std::string& folder) {
  std::size_t extensionAt = std::string::npos;
  for (const char* extension : {".exe", ".com", ".cmd", ".bat"}) {
    extensionAt = FindNoCase(line, extension);
    if (extensionAt != std::string::npos) break;
  }
  if (extensionAt == std::string::npos) return std::string();
  const std::size_t p = extensionAt + 1;  // positions count from 1
  const std::size_t equals = line.find('=');
  const std::size_t q = equals == std::string::npos ? 0 : equals + 1;
  std::string target = StripArguments(line.substr(q, p + 4));
  if (target.size() < 2 || target[1] != ':') target = folder + target;
  return target;
}

void ScanDrive(Session& session, const std::string& entry) {
  Platform& platform = session.platform;
  const std::uint32_t type = platform.GetDriveTypeA(entry);
  if (type == platform::kDriveUnknown || type == platform::kDriveNoRootDir ||
      type == platform::kDriveCdrom) {
    return;
  }
  const std::string folder = entry + "\\";
  std::vector<platform::FindEntry> files;
  platform.SetLastError(0);
  if (!platform.FindFiles(folder + "*.inf", &files)) {
    // A root folder without .inf files is no error; one that cannot be
    // reached is skipped.
    if (platform.GetLastError() != platform::error::kFileNotFound) session.host.DoEvents();
    return;
  }
  for (const platform::FindEntry& file : files) {
    if ((file.attributes & platform::kFileAttributeDirectory) != 0) continue;
    if (LowerAnsi(file.name) != "autorun.inf") continue;
    const std::string text = ReadAnsiFile(platform, folder + file.name);
    for (const std::string& line : SplitText(text, "\r\n")) {
      const std::string target = AutorunTarget(line, folder);
      if (target.empty()) continue;
      try {
        CheckFileByMD5(session, target);
      } catch (const platform::RuntimeError&) {
        // A failing check skips this target only.
      }
    }
  }
}

}  // namespace

void SmartScan(Session& session) {
  ScanProcesses(session);
  session.WriteMessage(2.5f);
  ScanRunKeysByMD5(session);
  session.WriteMessage(2.75f);
  ScanAutorunFiles(session);
  session.WriteMessage(3);
}

void ScanRunKeysByMD5(Session& session) {
  Platform& platform = session.platform;
  // The items read in the 32-bit view, by their place in lstKeys.
  std::vector<bool> thirtyTwoBit;
  for (const RunKey& runKey : kRunKeys) {
    // Both machine-wide keys are kept apart for 32-bit programs.
    for (KeyView view : ViewsOf(session.run, runKey.root, true)) {
      platform::HKey key = 0;
      if (OpenKeyInView(platform, runKey.root, runKey.path, view, &key) !=
          platform::error::kSuccess) {
        continue;
      }
      ListRegistryValues(session, key);
      platform.RegCloseKey(key);
      thirtyTwoBit.resize(session.frmMain.lstKeys.size(), view == KeyView::kWow6432Node);
    }
  }
  MD5Hash hasher(platform, session.host);
  for (std::size_t index = 0; index < session.frmMain.lstKeys.size(); ++index) {
    const std::string& item = session.frmMain.lstKeys[index];
    if (item.find('=') == std::string::npos) continue;
    const std::string named = RunItemProgram(item);
    const std::string program = index < thirtyTwoBit.size() && thirtyTwoBit[index]
                                    ? AsThirtyTwoBitProgramsSee(named, session.run)
                                    : named;
    const std::string fileName = FileNameOf(program);
    const std::string stem = Stem(fileName);
    const std::size_t matches = CountMatches(session, hasher.HashFile(program));
    if (matches > 0 && KeptDespiteMatch(session, program)) continue;
    for (std::size_t match = 0; match < matches; ++match) {
      if (IsKnownName(session, stem)) break;
      LearnName(session, stem);
      session.WriteMessage(2, fileName);
      session.frmMain.lstIdentifiedByMD5.push_back(program);
      // A stem that teaches no name must not be reported once per signature.
      if (!IsLearnableStem(stem)) break;
    }
  }
  session.frmMain.lstKeys.clear();
}

void ScanAutorunFiles(Session& session) {
  for (const std::string& root : session.platform.GetLogicalDriveStringsA()) {
    // The drive list shows a drive as its letter and colon ("c:").
    const std::string entry = LowerAnsi(root.substr(0, 2));
    try {
      ScanDrive(session, entry);
    } catch (const platform::RuntimeError&) {
      session.host.DoEvents();
    }
  }
}

bool CheckFileByMD5(Session& session, const std::string& path) {
  MD5Hash hasher(session.platform, session.host);
  const std::size_t matches = CountMatches(session, hasher.HashFile(path));
  const std::string stem = path.size() > 7 ? path.substr(3, path.size() - 7) : std::string();
  if (matches > 0 && KeptDespiteMatch(session, path)) return false;
  for (std::size_t match = 0; match < matches; ++match) {
    LearnName(session, stem);
    session.WriteMessage(2, path);
    session.frmMain.lstIdentifiedByMD5.push_back(path);
  }
  return matches > 0;
}

std::string StripArguments(const std::string& text) {
  std::string program = text;
  program.erase(std::remove(program.begin(), program.end(), '"'), program.end());
  for (const char* extension : {".exe ", ".com ", ".cmd "}) {
    const std::size_t at = FindNoCase(program, extension);
    if (at != std::string::npos) {
      program.resize(at + 4);
      break;
    }
  }
  return program;
}

}  // namespace quellix
