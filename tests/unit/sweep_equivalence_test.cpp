// The listing sweep must leave exactly what the literal sweep leaves: the same
// log lines in the same order, the same backups and deletions, the same
// progress and the same requests made to the machine.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "quellix/engine/cleanup/WormFileSweep.h"
#include "quellix/engine/cleanup/mdlProcesses.h"
#include "tests/unit/process_fixture.h"

namespace quellix {
namespace {

using platform::sim::Machine;

std::vector<std::uint8_t> Text(const std::string& text) { return {text.begin(), text.end()}; }

struct GeneratedMachine {
  Machine machine;
  RunValues run;
  std::vector<std::string> names;
  std::vector<std::string> identified;
};

// Names that each stress one rule: group names, the exceptions of the .com
// and .scr lists, blanks, "%" and "^", and names that a listing cannot find
// (wildcards, streams, sub-folders, device names, short-name forms, non-ASCII).
const std::vector<std::string> kSpecialNames = {
    "svchost",  "services", "setup",    "help",      "regedit",  "acer",   "logon",
    "command",  "win",      "winlogon", "worm name", " lead",    "trail ", "100%",
    "50%off",   "^up",      "a^b%c",    "x.y",       "r?ndll32", "star*",  "system32:svchost",
    "sub\\dir", "con",      "nul",      "lpt1",      "~",        "~tmpa",  "progra~1",
    "caf\xE9",  "quote\"d", "",         "UPPER"};

class Generator {
 public:
  explicit Generator(unsigned seed) : random_(seed) {}

  GeneratedMachine Make() {
    GeneratedMachine g;
    g.machine = platform::sim::MakeStandardMachine();
    g.run.SystemDir = "c:\\windows\\system32";
    g.run.WindowsDir = "c:\\windows";
    g.run.TempDir = Pick<std::string>({"c:\\windows\\temp\\", "c:\\windows\\", "c:\\temp dir\\"});
    g.run.RootDir = "c:\\";
    g.run.BackupDir = Pick<std::string>(
        {"c:\\backup\\", "c:\\", "c:\\windows\\temp\\", "c:\\gone\\", "c:\\windows\\system32\\"});

    for (const auto& special : kSpecialNames) {
      if (Chance(0.6)) g.names.push_back(special);
    }
    const int generated = Between(5, 40);
    for (int i = 0; i < generated; ++i) g.names.push_back(RandomName());
    if (Chance(0.3)) g.names.push_back(g.names.empty() ? "dup" : g.names.front());  // twice

    const int files = Between(5, 60);
    for (int i = 0; i < files && !g.names.empty(); ++i) {
      const std::string& name = g.names[Index(g.names.size())];
      const auto targets = SweepTargets(name, g.run);
      Place(g, targets[Index(targets.size())].Path());
    }
    if (Chance(0.5)) Place(g, "c:\\windows\\Fonts\\svchost.exe");
    for (int i = Between(0, 3); i > 0; --i) {
      const std::string path = "c:\\odd place\\found" + std::to_string(i) + ".exe";
      if (Chance(0.7)) Place(g, path);
      g.identified.push_back(path);
    }
    return g;
  }

 private:
  template <typename T>
  T Pick(std::initializer_list<T> values) {
    return *(values.begin() + Index(values.size()));
  }
  bool Chance(double p) { return std::bernoulli_distribution(p)(random_); }
  int Between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random_); }
  std::size_t Index(std::size_t size) {
    return std::uniform_int_distribution<std::size_t>(0, size - 1)(random_);
  }

  std::string RandomName() {
    static const std::string kLetters = "abcdefghijklmnopqrstuvwxyz0123456789 %^-_.";
    std::string name;
    const int length = Between(1, 12);
    for (int i = 0; i < length; ++i) name += kLetters[Index(kLetters.size())];
    return name;
  }

  void Place(GeneratedMachine& g, const std::string& path) {
    const std::string bytes = "worm at " + path + " #" + std::to_string(Between(0, 3));
    try {
      if (Chance(0.05)) {
        g.machine.files.AddFolder(path);
        return;
      }
      std::uint32_t attributes = platform::kFileAttributeArchive;
      if (Chance(0.3)) attributes |= platform::kFileAttributeReadOnly;
      if (Chance(0.2))
        attributes |= platform::kFileAttributeHidden | platform::kFileAttributeSystem;
      auto& node = g.machine.files.AddTextFile(path, bytes, attributes);
      node.locked = Chance(0.08);
      if (Chance(0.08)) {
        g.machine.AddProcess(static_cast<std::uint32_t>(5000 + Between(0, 900)), path)
            .terminateSucceeds = Chance(0.5);
      }
      const std::string fileName = path.substr(path.rfind('\\') + 1);
      const std::string backupFolder = g.run.BackupDir;
      if (backupFolder != "c:\\gone\\" && Chance(0.25)) {
        const bool same = Chance(0.5);
        g.machine.files.AddTextFile(backupFolder + fileName + ".back", same ? bytes : "older");
        if (!same && Chance(0.5)) {
          g.machine.files.AddTextFile(backupFolder + fileName + " (2).back", "oldest");
        }
      }
    } catch (const std::invalid_argument&) {
      // A path that no file can have (a stream, a wildcard): the sweep still
      // tries it, and both strategies must fail on it alike.
    }
  }

  std::mt19937 random_;
};

void RunWith(test::DetectionFixture& f, const GeneratedMachine& g, SweepStrategy strategy,
             bool* attempted) {
  f.session.run = g.run;
  f.session.InfectionNames = g.names;
  f.session.frmMain.lstIdentifiedByMD5 = g.identified;
  f.sim.machine.changes.clear();
  *attempted = KillVirusProcesses(f.session, strategy);
}

TEST(SweepEquivalence, ListingAndLiteralSweepsLeaveTheSameMachineLogAndProgress) {
  int filesFound = 0;
  for (unsigned seed = 1; seed <= 60; ++seed) {
    Generator generator(seed);
    const GeneratedMachine g = generator.Make();
    test::DetectionFixture literal(g.machine);
    test::DetectionFixture listing(g.machine);
    bool literalAttempted = false;
    bool listingAttempted = false;
    RunWith(literal, g, SweepStrategy::kLiteral, &literalAttempted);
    RunWith(listing, g, SweepStrategy::kListing, &listingAttempted);

    SCOPED_TRACE("seed " + std::to_string(seed));
    EXPECT_EQ(listingAttempted, literalAttempted);
    ASSERT_EQ(listing.Lines(), literal.Lines());
    EXPECT_EQ(listing.sim.host.prog1, literal.sim.host.prog1);
    EXPECT_EQ(listing.sim.host.prog2, literal.sim.host.prog2);
    EXPECT_EQ(listing.sim.host.doEventsCalls, literal.sim.host.doEventsCalls);

    const auto& a = listing.sim.machine.changes;
    const auto& b = literal.sim.machine.changes;
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
      EXPECT_EQ(
          a[i].call + " " + a[i].target + " " + a[i].detail + " " + std::to_string(a[i].result),
          b[i].call + " " + b[i].target + " " + b[i].detail + " " + std::to_string(b[i].result));
    }
    const auto& nodesA = listing.sim.machine.files.Nodes();
    const auto& nodesB = literal.sim.machine.files.Nodes();
    ASSERT_EQ(nodesA.size(), nodesB.size());
    for (auto x = nodesA.begin(), y = nodesB.begin(); x != nodesA.end(); ++x, ++y) {
      EXPECT_EQ(x->second.path, y->second.path);
      EXPECT_EQ(x->second.contents, y->second.contents) << x->second.path;
      EXPECT_EQ(x->second.attributes, y->second.attributes) << x->second.path;
    }
    const auto lines = literal.Lines();
    filesFound += static_cast<int>(std::count_if(
        lines.begin(), lines.end(), [](const auto& l) { return l.rfind("Found ", 0) == 0; }));
  }
  // The generated machines must really hold worm files for the sweeps to find.
  EXPECT_GT(filesFound, 500) << filesFound;
}

TEST(SweepListing, NamesThatAListingCannotFindKeepTheFileCalls) {
  for (const char* file :
       {"r?ndll32.exe", "star*.exe", "system32:svchost.exe", "sub\\dir.exe", "con.exe", "NUL.scr",
        "lpt1.com", "con .exe", "~.exe", "progra~1.exe", "caf\xE9.exe", "quote\".exe", "a/b.exe"}) {
    EXPECT_FALSE(ListingCanFind(file)) << file;
  }
  for (const char* file : {"worm.exe", " lead.exe", "100%.scr", "^up.com", "console.exe",
                           "com10.exe", "x.y.exe", ".exe"}) {
    EXPECT_TRUE(ListingCanFind(file)) << file;
  }
}

// A watchdog that survived the process pass writes a worm file while the
// sweep runs, after its folder was listed: literal probing meets it, and so
// must the listing sweep.
TEST(SweepListing, AFileWrittenInTheMiddleOfTheSweepIsFound) {
  test::DetectionFixture literal;
  test::DetectionFixture listing;
  for (auto* f : {&literal, &listing}) {
    f->session.InfectionNames = {"aaworm", "zzworm"};
    f->sim.machine.files.AddTextFile("C:\\WINDOWS\\system32\\aaworm.exe", "first worm");
    bool written = false;
    f->sim.host.onDoEvents = [f, &written]() {
      const bool sweeping =
          f->sim.host.details.find(u"Looking For Virus Files") != std::u16string::npos;
      if (!sweeping || written) return;
      written = true;
      f->sim.machine.files.AddTextFile("C:\\WINDOWS\\system32\\zzworm.exe", "written back");
    };
    KillVirusProcesses(f->session,
                       f == &literal ? SweepStrategy::kLiteral : SweepStrategy::kListing);
    f->sim.host.onDoEvents = nullptr;
  }
  EXPECT_FALSE(listing.Exists("C:\\WINDOWS\\system32\\zzworm.exe"));
  EXPECT_EQ(listing.Bytes("C:\\backup\\zzworm.exe.back"), Text("written back"));
  EXPECT_EQ(listing.Lines(), literal.Lines());
}

// The watchdog may also write back the very file the sweep has just deleted:
// the folder then holds as many entries of that name as at its listing, and
// only the deletion taken off the listing shows the copy as new.
TEST(SweepListing, AFileDeletedAndWrittenBackInTheMiddleOfTheSweepIsFoundAgain) {
  test::DetectionFixture f;
  const std::string worm = "C:\\WINDOWS\\system32\\aaworm.exe";
  f.session.InfectionNames = {"aaworm", "zzworm"};
  f.sim.machine.files.AddTextFile(worm, "first copy");
  bool written = false;
  f.sim.host.onDoEvents = [&f, &written, &worm]() {
    const bool sweeping =
        f.sim.host.details.find(u"Looking For Virus Files") != std::u16string::npos;
    if (!sweeping || written || f.Exists(worm)) return;
    written = true;
    f.sim.machine.files.AddTextFile(worm, "written back");
  };
  KillVirusProcesses(f.session, SweepStrategy::kListing);
  f.sim.host.onDoEvents = nullptr;
  ASSERT_TRUE(written);
  EXPECT_FALSE(f.Exists(worm));
  EXPECT_EQ(f.Bytes("C:\\backup\\aaworm.exe.back"), Text("first copy"));
  EXPECT_EQ(f.Bytes("C:\\backup\\aaworm.exe (2).back"), Text("written back"));
}

TEST(SweepListing, AFolderThatCannotBeListedIsProbedFileByFile) {
  test::DetectionFixture literal;
  test::DetectionFixture listing;
  for (auto* f : {&literal, &listing}) {
    f->session.InfectionNames = {"wormy"};
    f->sim.machine.files.AddTextFile("C:\\WINDOWS\\wormy.exe", "worm");
    f->sim.machine.InjectFault("FindFiles", "C:\\WINDOWS\\*", 5);
  }
  KillVirusProcesses(literal.session, SweepStrategy::kLiteral);
  KillVirusProcesses(listing.session, SweepStrategy::kListing);
  EXPECT_FALSE(listing.Exists("C:\\WINDOWS\\wormy.exe"));
  EXPECT_EQ(listing.Lines(), literal.Lines());
}

}  // namespace
}  // namespace quellix
