// The shipped scenarios load and are what they say: the clean machine is the
// standard machine, and the demo machine carries its worms only in the
// places and under the names the shipped lists know.
#include <gtest/gtest.h>

#if QLX_HAS_SCENARIOS

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/sim/SimPath.h"
#include "platform/sim/SimPlatform.h"
#include "platform/sim/SimText.h"
#include "platform/sim/scenario/Scenario.h"

namespace platform::sim {
namespace {

const std::string kScenarios = std::string(QLX_SOURCE_DIR) + "/scenarios/";

const std::set<std::string> kDemoWorms = {"winmgrs", "mbsmon32", "joy start",
                                          "msblast", "taskmon",  "avserve"};
const std::vector<std::string> kDemoHosts = {"www.symantec.com",
                                             "liveupdate.symantecliveupdate.com", "www.mcafee.com",
                                             "www.kaspersky.com", "update.symantec.com"};

std::string Stem(const std::string& path) {
  const std::string leaf = LeafName(path);
  const std::size_t dot = leaf.rfind('.');
  std::string stem = dot == std::string::npos ? leaf : leaf.substr(0, dot);
  for (char& c : stem) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return stem;
}

std::string HostsText(const Machine& machine) {
  const FileNode* hosts = machine.files.FindPath("C:\\WINDOWS\\system32\\drivers\\etc\\hosts");
  return hosts == nullptr ? "" : std::string(hosts->contents.begin(), hosts->contents.end());
}

TEST(ScenarioFiles, TheCleanScenarioIsTheStandardMachine) {
  const Machine clean = LoadScenarioFile(kScenarios + "clean.json");
  EXPECT_EQ(SaveScenario(clean), SaveScenario(MakeStandardMachine()));
}

TEST(ScenarioFiles, TheDemoAddsOnlyKnownWormsInOddPlaces) {
  const Machine standard = MakeStandardMachine();
  const Machine demo = LoadScenarioFile(kScenarios + "infected-demo.json");

  std::set<std::string> runningWorms;
  for (const Process& process : demo.processes) {
    if (standard.FindProcess(process.pid) != nullptr) continue;
    const std::string stem = Stem(process.imagePath);
    EXPECT_EQ(kDemoWorms.count(stem), 1u) << process.imagePath;
    runningWorms.insert(stem);
    EXPECT_NE(demo.files.Find(demo.ImageFilePath(process)), nullptr)
        << "a worm process runs from its file: " << process.imagePath;
    const std::string folder = ParentPath(demo.ImageFilePath(process));
    EXPECT_FALSE(EqualsNoCase(folder, "C:\\Program Files")) << process.imagePath;
  }
  EXPECT_EQ(runningWorms, kDemoWorms) << "every demo worm runs";

  for (const auto& [key, node] : demo.files.Nodes()) {
    if (node.directory || standard.files.Find(node.path) != nullptr) continue;
    EXPECT_EQ(kDemoWorms.count(Stem(node.path)), 1u) << node.path;
  }
}

TEST(ScenarioFiles, TheDemoStartsWormsFromRunKeysAndAService) {
  Machine demo = LoadScenarioFile(kScenarios + "infected-demo.json");
  const RegValue* run =
      demo.registry.FindValue("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "winmgrs");
  ASSERT_NE(run, nullptr);
  EXPECT_EQ(run->data, StringData("c:\\windows\\winmgrs.exe -start"));
  EXPECT_NE(demo.registry.FindValue("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                                    "mbsmon32"),
            nullptr);

  const Service* service = demo.FindService("avserve");
  ASSERT_NE(service, nullptr);
  EXPECT_TRUE(service->running);
  ASSERT_NE(demo.FindProcess(service->pid), nullptr);
  const RegValue* image =
      demo.registry.FindValue(std::string(kServicesKey) + "\\avserve", "ImagePath");
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(Stem(std::string(image->data.begin(), image->data.end() - 1)), "avserve");

  // Through the platform, as the service pass would stop it.
  SimPlatform platform(demo);
  const Handle manager = platform.OpenSCManagerA("", "ServicesActive", kScManagerAllAccess);
  const Handle handle = platform.OpenServiceA(manager, "avserve", kServiceAllAccess);
  EXPECT_TRUE(platform.ControlService(handle, kServiceControlStop));
  platform.CloseServiceHandle(handle);
  platform.CloseServiceHandle(manager);
  EXPECT_EQ(demo.FindProcess(2436), nullptr);
}

TEST(ScenarioFiles, TheDemoHostsFileSendsOnlyListedHostsAway) {
  const Machine demo = LoadScenarioFile(kScenarios + "infected-demo.json");
  const std::string hosts = HostsText(demo);
  EXPECT_NE(hosts.find("127.0.0.1       localhost\r\n"), std::string::npos);
  std::size_t hijacks = 0;
  std::size_t start = 0;
  while (start < hosts.size()) {
    const std::size_t end = hosts.find("\r\n", start);
    const std::string line = hosts.substr(start, end - start);
    start = end + 2;
    if (line.empty() || line[0] == '#' || line.find("localhost") != std::string::npos) continue;
    bool listed = false;
    for (const std::string& host : kDemoHosts)
      listed = listed || line.find(host) != std::string::npos;
    EXPECT_TRUE(listed) << line;
    ++hijacks;
  }
  EXPECT_EQ(hijacks, kDemoHosts.size());
}

TEST(ScenarioFiles, TheExampleOfTheFormatDocumentLoads) {
  std::ifstream file(std::string(QLX_SOURCE_DIR) + "/docs/scenario.md");
  std::stringstream text;
  text << file.rdbuf();
  const std::string document = text.str();
  const std::size_t start = document.find("```json\n");
  ASSERT_NE(start, std::string::npos);
  const std::size_t end = document.find("```", start + 8);
  const Machine example = LoadScenario(document.substr(start + 8, end - start - 8));
  EXPECT_NE(example.registry.FindValue("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
                                       "winmgrs"),
            nullptr);
  EXPECT_EQ(example.registry.FindValue("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
                                       "SynTPEnh"),
            nullptr);
  EXPECT_FALSE(example.FindProcess(2212)->terminateSucceeds);
  EXPECT_EQ(example.faults.size(), 2u);
}

}  // namespace
}  // namespace platform::sim

#endif  // QLX_HAS_SCENARIOS
