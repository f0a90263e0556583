// A Gorsel window without a window on the simulated machine, behind a
// platform that writes down every call.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "gorsel/Form1.h"
#include "platform/sim/SimPlatform.h"
#include "tests/support/GorselRecordingHost.h"
#include "tests/support/RecordingPlatform.h"

namespace gorsel::test {

constexpr const char* kWindowsNtKey =
    "HKCU\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
constexpr const char* kHkcuRun = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kHklmRun = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kHosts = "C:\\WINDOWS\\system32\\drivers\\etc\\hosts";
constexpr const char* kImpostor =
    "C:\\Documents and Settings\\User\\Application Data\\winlogon.exe";

struct GorselMachine {
  GorselMachine() : machine(platform::sim::MakeStandardMachine()), sim(machine), system(sim) {}

  Form1 Load() {
    Form1 form(system, host);
    form.Form_Load();
    return form;
  }

  // The worm: its program, its process and its load value.
  void Infect(std::uint32_t pid = 2500) {
    machine.files.AddTextFile(kImpostor, "MZ impostor");
    machine.AddProcess(pid, kImpostor);
    machine.registry.SetString(kWindowsNtKey, "load", kImpostor);
  }

  // The calls that change something, in order, with what they aim at:
  // "TerminateProcess(2500)", "RegDeleteValueA(HKCU\\...\\Run\\name)",
  // "DeleteFileA(C:\\x.exe)", "WriteFile(C:\\x.reg)". A file handle is the
  // one the last CreateFileA gave when it is first used.
  std::vector<std::string> Changes() const {
    static const char* const kChanging[] = {"DeleteFileA(", "SetFileAttributesA(", "CopyFileA(",
                                            "CreateFileA(", "ShellExecuteA("};
    std::vector<std::string> changes;
    std::string lastPid;
    std::string lastKey;
    std::string openedFile;
    std::map<std::string, std::string> files;
    for (const std::string& call : system.calls()) {
      const std::vector<std::string> args = Arguments(call);
      if (call.rfind("OpenProcess(", 0) == 0) lastPid = args.at(2);
      if (call.rfind("RegOpenKeyExA(", 0) == 0) {
        lastKey = (args.at(0) == std::to_string(platform::kHkeyCurrentUser) ? "HKCU\\" : "HKLM\\") +
                  args.at(1);
      }
      if (call.rfind("CreateFileA(", 0) == 0) openedFile = args.at(0);
      for (const char* use : {"ReadFile(", "WriteFile(", "GetFileSizeEx(", "CloseHandle("}) {
        if (call.rfind(use, 0) != 0 || files.count(args.at(0)) != 0 || openedFile.empty()) continue;
        files[args.at(0)] = openedFile;
        openedFile.clear();
      }
      if (call.rfind("WriteFile(", 0) == 0)
        changes.push_back("WriteFile(" + files[args.at(0)] + ")");
      if (call.rfind("CloseHandle(", 0) == 0) files.erase(args.at(0));
      if (call.rfind("TerminateProcess(", 0) == 0)
        changes.push_back("TerminateProcess(" + lastPid + ")");
      if (call.rfind("RegDeleteValueA(", 0) == 0) {
        changes.push_back("RegDeleteValueA(" + lastKey + "\\" + args.at(1) + ")");
      }
      for (const char* prefix : kChanging) {
        if (call.rfind(prefix, 0) == 0) changes.push_back(call);
      }
    }
    return changes;
  }

  static std::vector<std::string> Arguments(const std::string& call) {
    std::vector<std::string> args;
    const std::string inside = call.substr(call.find('(') + 1, call.size() - call.find('(') - 2);
    for (std::size_t start = 0;;) {
      const std::size_t comma = inside.find(", ", start);
      args.push_back(inside.substr(start, comma - start));
      if (comma == std::string::npos) break;
      start = comma + 2;
    }
    return args;
  }

  platform::sim::Machine machine;
  platform::sim::SimPlatform sim;
  quellix::test::RecordingPlatform system;
  RecordingFormHost host;
};

}  // namespace gorsel::test
