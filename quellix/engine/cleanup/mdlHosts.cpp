#include "quellix/engine/cleanup/mdlHosts.h"

#include <cstdint>

#include "quellix/engine/system/AnsiText.h"
#include "quellix/engine/cleanup/BackupFiles.h"
#include "quellix/engine/cleanup/RemovalRecord.h"
#include "platform/restore/FileDigest.h"
#include "quellix/engine/session/Session.h"

namespace quellix {
namespace {

constexpr const char* kHostsSubPath = "\\drivers\\etc\\hosts";
constexpr const char* kLocalhostLine = "127.0.0.1       localhost";
constexpr const char* kLineBreak = "\r\n";

// The whole file, which is created empty when it is missing.
bool ReadHostsFile(platform::Platform& platform, const std::string& path, std::string* content) {
  const auto file = platform.CreateFileA(path, platform::kGenericRead,
                                         platform::kFileShareRead | platform::kFileShareWrite,
                                         platform::kOpenAlways, platform::kFileAttributeNormal);
  if (file == platform::kInvalidHandleValue) return false;
  std::uint64_t size = 0;
  bool complete = platform.GetFileSizeEx(file, &size) && size <= UINT32_MAX;
  std::vector<std::uint8_t> bytes;
  while (complete && content->size() < size) {
    complete =
        platform.ReadFile(file, static_cast<std::uint32_t>(size - content->size()), &bytes) &&
        !bytes.empty();
    content->append(bytes.begin(), bytes.end());
  }
  platform.CloseHandle(file);
  return complete;
}

// Writes the kept lines as they were read and, when none of them names
// localhost, a localhost line. The file was copied to backupPath first; a
// write that fails part-way puts that copy back. True when the file was
// rewritten.
bool RewriteHostsFile(Session& session, const std::string& path, const std::string& backupPath,
                      const std::vector<HostsLine>& kept, bool keptLocalhost) {
  platform::Platform& platform = session.platform;
  std::string content;
  for (const HostsLine& line : kept) content += line.text + line.ending;
  if (!keptLocalhost) {
    if (!kept.empty() && kept.back().ending.empty()) content += kLineBreak;
    content += std::string(kLocalhostLine) + kLineBreak;
  }
  const auto file =
      platform.CreateFileA(path, platform::kGenericWrite, 0, platform::kTruncateExisting,
                           platform::kFileAttributeNormal);
  if (file == platform::kInvalidHandleValue) {
    session.WriteMessage(18);
    return false;
  }
  std::uint32_t written = 0;
  bool complete = platform.WriteFile(
                      file, std::vector<std::uint8_t>(content.begin(), content.end()), &written) &&
                  written == content.size();
  complete = platform.CloseHandle(file) && complete;
  if (!complete) {
    session.WriteMessage(18);
    platform.CopyFileA(backupPath, path, false);
  }
  return complete;
}

// What the rewrite took out and added, for the restore record.
platform::restore::RemovedHostsLines RemovedLines(
    Session& session, const std::string& path, std::uint32_t attributes,
    const std::string& backupPath, const std::vector<HostsLine>& lines,
    const std::vector<bool>& droppedLines, const std::vector<HostsLine>& kept, bool keptLocalhost) {
  platform::restore::RemovedHostsLines removed;
  removed.path = path;
  removed.attributes = attributes;
  removed.copy = BackupFileName(backupPath);
  std::string copy;
  if (platform::restore::ReadWholeFile(session.platform, backupPath, &copy)) {
    removed.md5 = platform::restore::Md5Of(session.platform, copy);
  }
  for (std::size_t index = 0; index < lines.size(); ++index) {
    if (droppedLines[index])
      removed.removed.push_back({index, lines[index].text, lines[index].ending});
  }
  if (!keptLocalhost) {
    removed.addedLine = std::string(kLocalhostLine) + kLineBreak;
    removed.endingAdded = !kept.empty() && kept.back().ending.empty();
  }
  return removed;
}

}  // namespace

std::vector<HostsLine> SplitHostsLines(const std::string& bytes) {
  std::vector<HostsLine> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const auto lf = bytes.find('\n', start);
    if (lf == std::string::npos) {
      lines.push_back(HostsLine{bytes.substr(start), std::string()});
      break;
    }
    const bool crlf = lf > start && bytes[lf - 1] == '\r';
    const std::size_t textEnd = crlf ? lf - 1 : lf;
    lines.push_back(
        HostsLine{bytes.substr(start, textEnd - start), bytes.substr(textEnd, lf + 1 - textEnd)});
    start = lf + 1;
  }
  return lines;
}

bool CleanHostsFile(Session& session) {
  platform::Platform& platform = session.platform;
  Host& host = session.host;
  const std::string path = session.run.SystemDir + kHostsSubPath;
  const std::uint32_t attributes = platform.GetFileAttributesA(path);
  if (!platform.SetFileAttributesA(path, platform::kFileAttributeNormal)) session.WriteMessage(16);

  std::string content;
  if (!ReadHostsFile(platform, path, &content)) {
    session.WriteMessage(17);
  } else {
    const std::vector<HostsLine> lines = SplitHostsLines(content);
    std::vector<HostsLine> kept;
    std::vector<bool> droppedLines(lines.size(), false);
    bool changed = false;
    bool keptLocalhost = false;
    for (std::size_t index = 0; index < lines.size(); ++index) {
      const std::string lower = LowerAnsi(lines[index].text);
      bool dropped = false;
      for (const std::string& listed : session.frmMain.lstHostInfections) {
        // An empty item would name every line.
        if (listed.empty() || lower.find(listed) == std::string::npos) continue;
        session.WriteMessage(19, lower);
        dropped = true;
        break;
      }
      changed = changed || dropped;
      droppedLines[index] = dropped;
      if (!dropped) {
        keptLocalhost = keptLocalhost || lower.find("localhost") != std::string::npos;
        kept.push_back(lines[index]);
      }
      if (lines.size() > 1) {
        host.SetProg1(static_cast<double>(index) / static_cast<double>(lines.size() - 1) * 100);
      }
      host.DoEvents();
    }
    if (changed) {
      const std::string backupPath =
          FreeBackupPath(platform, session.run.BackupDir, "hosts", ".back");
      if (platform.CopyFileA(path, backupPath, true)) {
        if (RewriteHostsFile(session, path, backupPath, kept, keptLocalhost)) {
          RecordRemovedHostsLines(session, RemovedLines(session, path, attributes, backupPath,
                                                        lines, droppedLines, kept, keptLocalhost));
        }
      } else {
        session.WriteMessage(5, path);
      }
    }
  }
  host.SetProg1(0);
  host.SetProg2(100);
  return true;
}

}  // namespace quellix
