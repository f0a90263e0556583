// A malformed scenario is refused with the place of the mistake and what is
// wrong with it.
#include <gtest/gtest.h>

#if QLX_HAS_SCENARIOS

#include <string>
#include <vector>

#include "platform/sim/scenario/Scenario.h"

namespace platform::sim {
namespace {

struct BadScenario {
  const char* why;
  std::string json;
  std::string place;
  std::string problem;  // a part of the problem text
};

std::string Empty(const std::string& fields) {
  return "{\"base\": \"empty\", \"drives\": [{\"root\": \"C:\\\\\", \"type\": \"fixed\"}]" +
         (fields.empty() ? std::string() : ", " + fields) + "}";
}

std::vector<BadScenario> Cases() {
  return {
      {"not JSON", "{\"base\": \"empty\",\n  \"user\": tru}", "line 2, column 14",
       "not valid JSON"},
      {"no base", "{\"user\": \"x\"}", "", "missing field 'base'"},
      {"unknown base", "{\"base\": \"dirty\"}", "/base", "base must be \"standard\" or \"empty\""},
      {"misspelt field", Empty("\"registy\": []"), "/registy", "unknown field 'registy'"},
      {"root not an object", "[1]", "", "must be an object"},
      {"unknown registry root", Empty("\"registry\": [{\"key\": \"HKXX\\\\Software\"}]"),
       "/registry/0/key", "unknown registry root in 'HKXX\\Software'"},
      {"unknown value type",
       Empty("\"registry\": [{\"key\": \"HKLM\\\\A\", \"values\": [{\"name\": \"a\", \"data\": "
             "\"x\"}, {\"name\": \"b\", \"type\": \"REG_FOO\", \"data\": \"x\"}]}]"),
       "/registry/0/values/1/type", "unknown value type 'REG_FOO'"},
      {"dword as text",
       Empty("\"registry\": [{\"key\": \"HKLM\\\\A\", \"values\": [{\"name\": \"a\", \"type\": "
             "\"REG_DWORD\", \"data\": \"1\"}]}]"),
       "/registry/0/values/0/data", "data must be a whole number from 0 to 4294967295"},
      {"binary without hex",
       Empty("\"registry\": [{\"key\": \"HKLM\\\\A\", \"values\": [{\"name\": \"a\", \"type\": "
             "\"REG_BINARY\", \"data\": \"01\"}]}]"),
       "/registry/0/values/0/data", "must be given as \"hex\" or \"base64\""},
      {"bad hex",
       Empty("\"registry\": [{\"key\": \"HKLM\\\\A\", \"values\": [{\"name\": \"a\", \"type\": "
             "\"REG_BINARY\", \"hex\": \"0g\"}]}]"),
       "/registry/0/values/0/hex", "pairs of hexadecimal digits"},
      {"two data forms",
       Empty("\"registry\": [{\"key\": \"HKLM\\\\A\", \"values\": [{\"name\": \"a\", \"data\": "
             "\"x\", \"hex\": \"00\"}]}]"),
       "/registry/0/values/0", "give only one of"},
      {"value without data",
       Empty("\"registry\": [{\"key\": \"HKLM\\\\A\", \"values\": [{\"name\": \"a\"}]}]"),
       "/registry/0/values/0", "a REG_SZ value needs"},
      {"negative pid", Empty("\"processes\": [{\"pid\": -5, \"image\": \"C:\\\\x.exe\"}]"),
       "/processes/0/pid", "pid must be a whole number"},
      {"pid as text", Empty("\"processes\": [{\"pid\": \"12\", \"image\": \"C:\\\\x.exe\"}]"),
       "/processes/0/pid", "pid must be a whole number"},
      {"pid twice",
       Empty("\"processes\": [{\"pid\": 8, \"image\": \"\"}, {\"pid\": 8, \"image\": \"\"}]"),
       "/processes/1/pid", "pid 8 is listed twice"},
      {"process without image", Empty("\"processes\": [{\"pid\": 8}]"), "/processes/0",
       "missing field 'image'"},
      {"undeclared drive", Empty("\"files\": [{\"path\": \"E:\\\\autorun.inf\", \"text\": \"\"}]"),
       "/files/0/path", "drive E: is not declared"},
      {"relative path", Empty("\"files\": [{\"path\": \"windows\\\\x.exe\"}]"), "/files/0/path",
       "must be an absolute path"},
      {"invalid name", Empty("\"files\": [{\"path\": \"C:\\\\a*b.exe\"}]"), "/files/0/path",
       "not a valid Windows path"},
      {"text outside the code page",
       Empty("\"files\": [{\"path\": \"C:\\\\x.txt\", \"text\": \"\xE4\xB8\xAD\"}]"),
       "/files/0/text", "U+4E2D, which Windows-1252 cannot store"},
      {"unknown attribute",
       Empty("\"files\": [{\"path\": \"C:\\\\x.txt\", \"attributes\": [\"hidden\", \"hiden\"]}]"),
       "/files/0/attributes/1", "unknown attribute 'hiden'"},
      {"two content forms",
       Empty("\"files\": [{\"path\": \"C:\\\\x.txt\", \"text\": \"a\", \"utf16\": \"a\"}]"),
       "/files/0", "give only one of"},
      {"folder with contents",
       Empty("\"files\": [{\"path\": \"C:\\\\d\", \"folder\": true, \"text\": \"x\"}]"), "/files/0",
       "a folder has no contents"},
      {"deleting what is not there",
       Empty("\"files\": [{\"path\": \"C:\\\\x.txt\", \"delete\": true}]"), "/files/0",
       "there is no file or folder C:\\x.txt to delete"},
      {"deletion with contents",
       Empty("\"files\": [{\"path\": \"C:\\\\x.txt\", \"delete\": true, \"text\": \"\"}]"),
       "/files/0/text", "cannot also give text"},
      {"unknown call", Empty("\"faults\": [{\"call\": \"RegOpenKeyX\", \"error\": 5}]"),
       "/faults/0/call", "unknown call 'RegOpenKeyX'"},
      {"call that cannot fail", Empty("\"faults\": [{\"call\": \"GetLocalTime\", \"error\": 5}]"),
       "/faults/0/call", "cannot be made to fail"},
      {"fault error zero", Empty("\"faults\": [{\"call\": \"DeleteFileA\", \"error\": 0}]"),
       "/faults/0/error", "error must be a whole number from 1"},
      {"clock format", Empty("\"clock\": \"6.12.2026 9:05\""), "/clock",
       "clock must look like \"2026-12-06 09:05:07\""},
      {"impossible date", Empty("\"clock\": \"2026-02-30 09:05:07\""), "/clock",
       "is not a real date and time"},
      {"temp path without backslash", Empty("\"tempPath\": \"C:\\\\TEMP\""), "/tempPath",
       "tempPath must end with a backslash"},
      {"drive root", "{\"base\": \"empty\", \"drives\": [{\"root\": \"CC:\", \"type\": 3}]}",
       "/drives/0/root", "root must be a drive root"},
      {"drive type", "{\"base\": \"empty\", \"drives\": [{\"root\": \"C:\", \"type\": \"disk\"}]}",
       "/drives/0/type", "unknown drive type 'disk'"},
      {"boolean as text",
       Empty("\"processes\": [{\"pid\": 8, \"image\": \"\", \"openable\": \"no\"}]"),
       "/processes/0/openable", "openable must be true or false"},
      {"list expected", Empty("\"processes\": {\"pid\": 8}"), "/processes", "must be a list"},
      {"service without name", Empty("\"services\": [{\"name\": \"\"}]"), "/services/0/name",
       "must be a service name"},
      {"number beyond every number type", "{\"base\": \"empty\", \"x\": 1E999999999999999999}", "",
       "number overflow parsing '1E999999999999999999'"},
  };
}

TEST(ScenarioErrors, MalformedScenariosAreRefusedWithPlaceAndProblem) {
  for (const BadScenario& bad : Cases()) {
    try {
      LoadScenario(bad.json);
      ADD_FAILURE() << bad.why << ": was accepted";
    } catch (const ScenarioError& error) {
      EXPECT_EQ(error.place(), bad.place) << bad.why << ": " << error.what();
      EXPECT_NE(error.problem().find(bad.problem), std::string::npos)
          << bad.why << ": " << error.what();
      EXPECT_NE(std::string(error.what()).find(bad.problem), std::string::npos) << bad.why;
    }
  }
}

TEST(ScenarioErrors, AFileThatCannotBeReadIsNamed) {
  try {
    LoadScenarioFile("/nonexistent/qlx/none.json");
    ADD_FAILURE() << "a missing file was accepted";
  } catch (const ScenarioError& error) {
    EXPECT_EQ(error.file(), "/nonexistent/qlx/none.json");
    EXPECT_NE(std::string(error.what()).find("/nonexistent/qlx/none.json"), std::string::npos);
  }
}

TEST(ScenarioErrors, ACorrectedScenarioLoads) {
  // The counterpart of the cases above: the same shapes, written correctly.
  const Machine machine = LoadScenario(Empty(
      "\"registry\": [{\"key\": \"HKLM\\\\A\", \"values\": [{\"name\": \"b\", \"type\": "
      "\"REG_DWORD\", \"data\": 1}, {\"name\": \"c\", \"type\": \"REG_BINARY\", \"hex\": \"0f "
      "a0\"}]}], \"processes\": [{\"pid\": 0, \"image\": \"\", \"openable\": false}], "
      "\"files\": [{\"path\": \"C:\\\\x.txt\", \"text\": \"\xC3\xA9\", \"attributes\": "
      "[\"hidden\"]}], \"faults\": [{\"call\": \"DeleteFileA\", \"error\": 5, \"comment\": "
      "\"deny\"}], \"clock\": \"2024-02-29 23:59:59\""));
  EXPECT_EQ(machine.registry.FindValue("HKLM\\A", "c")->data,
            (std::vector<std::uint8_t>{0x0F, 0xA0}));
  EXPECT_EQ(machine.files.FindPath("C:\\x.txt")->contents, (std::vector<std::uint8_t>{0xE9}));
  EXPECT_EQ(machine.files.FindPath("C:\\x.txt")->attributes, kFileAttributeHidden);
  EXPECT_FALSE(machine.FindProcess(0)->openable);
}

}  // namespace
}  // namespace platform::sim

#endif  // QLX_HAS_SCENARIOS
