// The hosts cleaner: whatever the file and the host list (the first line of
// the input, hosts separated by ","), every line that names no listed host
// comes back byte for byte and in order.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "quellix/engine/cleanup/mdlHosts.h"
#include "tests/fuzz/FuzzMachine.h"

namespace {

constexpr const char* kHosts = "C:\\WINDOWS\\system32\\drivers\\etc\\hosts";

// Lower case of Windows-1252 written apart from the cleaner's.
std::string Lower(std::string text) {
  for (char& c : text) {
    const auto b = static_cast<unsigned char>(c);
    if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) {
      c = static_cast<char>(b + 0x20);
    } else if (b == 0x8A || b == 0x8C || b == 0x8E) {
      c = static_cast<char>(b + 0x10);
    } else if (b == 0x9F) {
      c = static_cast<char>(0xFF);
    }
  }
  return text;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end + 1;
    lines.push_back(text.substr(start, end - start));
    start = end;
  }
  return lines;
}

// The line without its break (LF, or CR LF); a CR without an LF after it
// belongs to the line.
std::string Body(const std::string& line) {
  std::string body = line;
  if (body.empty() || body.back() != '\n') return body;
  body.pop_back();
  if (!body.empty() && body.back() == '\r') body.pop_back();
  return body;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = input.find('\n');
  if (split == std::string::npos) return 0;
  std::vector<std::string> listed;
  for (std::size_t start = 0; start <= split;) {
    std::size_t comma = input.find(',', start);
    if (comma == std::string::npos || comma > split) comma = split;
    listed.push_back(input.substr(start, comma - start));
    start = comma + 1;
  }
  const std::string file = input.substr(split + 1);

  quellix::fuzz::FuzzSession f;
  f.session.frmMain.lstHostInfections = listed;
  f.sim.machine.files.AddFile(kHosts, std::vector<std::uint8_t>(file.begin(), file.end()));
  quellix::CleanHostsFile(f.session);
  const auto* after = f.sim.machine.files.FindPath(kHosts);
  if (after == nullptr) quellix::fuzz::Broken("the hosts file is gone");
  const auto kept = Lines(std::string(after->contents.begin(), after->contents.end()));
  std::size_t next = 0;
  for (const std::string& line : Lines(file)) {
    bool names = false;
    for (const std::string& host : listed) {
      names = names || (!host.empty() && Lower(Body(line)).find(Lower(host)) != std::string::npos);
    }
    if (names) continue;
    while (next < kept.size() && Body(kept[next]) != Body(line)) ++next;
    if (next == kept.size())
      quellix::fuzz::Broken("a line naming no listed host was lost: " + line);
    ++next;
  }
  return 0;
}
