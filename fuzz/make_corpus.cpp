// Writes the fuzz targets' seed corpus: data files and settings as the
// program itself makes them, recorded through the real handlers on fakes.
//   make_fuzz_corpus DIR          writes DIR/<target>/<seed>
//   make_fuzz_corpus --check DIR  exit 1 unless DIR holds exactly that
// Everything is deterministic (fixed date, fixed pseudo-random sequence), so
// the corpus kept in the repository can be checked against the program.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "fakes.h"
#include "field/field.h"
#include "recorder_rig.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;
using varrow::testing::RecorderRig;
using Bytes = std::vector<std::uint8_t>;

// The targets that read data files, and the one that reads settings. The
// codec target reads its input record by record, so a long file would only
// slow it down.
struct DataFileTarget {
  std::string name;
  bool long_files;
};
const std::vector<DataFileTarget> kDataFileTargets = {
    {"records_fuzz", false}, {"open_fuzz", true}, {"stats_fuzz", true}, {"report_fuzz", true}};
const std::string kSettingsTarget = "settings_fuzz";
const std::string kLongRecording = "long_recording.dat";

// Seeds by file name.
using Seeds = std::map<std::string, Bytes>;

void StartOrStop(RecorderRig& rig) { rig.recorder_.Command2_Click(); }

void PressSpace(RecorderRig& rig) {
  int key = 32;
  rig.recorder_.Form_KeyDown(key, 0);
}

// The six settings as shutdown saves them, one per line (the settings
// target's input format).
Bytes SavedSettings(RecorderRig& rig) {
  rig.recorder_.Form_Unload();
  std::string text;
  for (const char* key :
       {"Team_2", "Team_1", "Team_2_color", "Team_1_color", "Score_2", "Score_1"}) {
    if (!text.empty()) text += '\n';
    text += rig.settings_.values["Varrow/Startup/" + std::string(key)];
  }
  return Bytes(text.begin(), text.end());
}

// The worked sequence of the click recording: New, START CLOCK at 0, six
// clicks at clocks 3 to 45, then STOP CLOCK.
void WorkedExample(RecorderRig& rig) {
  rig.SkipFlushing();  // what a seed holds does not depend on it
  rig.New(1);
  StartOrStop(rig);
  const struct {
    int clock;
    float x, y;
  } clicks[] = {{3, 2000, 2000},  {7, 6000, 0},    {15, 600, 3000},
                {30, 4000, 4000}, {40, 300, 2000}, {45, 750, 1000}};
  for (const auto& c : clicks) {
    rig.TickTo(c.clock);
    rig.Click(c.x, c.y);
  }
  StartOrStop(rig);
}

// A second half after a change of ends, with names outside ASCII, goals for
// both sides, a corner, a shot, and two UNDOs at the end that leave records
// beyond the header's count; the window is closed without STOP CLOCK.
void SecondHalf(RecorderRig& rig) {
  rig.SkipFlushing();  // what a seed holds does not depend on it
  rig.controls_.SetCaption(varrow::MainControl::kText2, "Fußball Zürich");
  rig.controls_.SetCaption(varrow::MainControl::kText1, "Œuvre €uro Ñandú FC de la Liga");
  rig.New(2);
  StartOrStop(rig);
  int clock = 0;
  const float play[][2] = {{5000, 3000}, {7000, 2000}, {8900, 3100}, {4000, 3000}, {1500, 4000},
                           {600, 2900},  {3000, 3500}, {9200, 4500}, {8000, 4000}, {8500, 3000}};
  for (const auto& p : play) {
    rig.TickTo(clock += 7);
    rig.Click(p[0], p[1]);
    if (p[0] == 8500) rig.recorder_.Command5_Click();  // SHOT
  }
  rig.recorder_.Command1_Click();  // UNDO
  rig.recorder_.Command1_Click();
}

// A long recording: clicks all over the field and beyond its lines, goals,
// set pieces, SHOT, UNDO, FOUL, CLEAR SCREEN, breaks and the space bar, until
// the file reaches 1638 records (the longest file the statistics of old read).
void LongRecording(RecorderRig& rig) {
  rig.SkipFlushing();             // what a seed holds does not depend on it
  std::minstd_rand random(2000);  // minstd is the same everywhere
  const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  const auto between = [&](int low, int high) {
    return static_cast<float>(low + pick(high - low));
  };
  rig.New(1);
  StartOrStop(rig);
  while (rig.state_.form1.RecordNumber < 1636) {
    if (!rig.controls_.TimerEnabled()) break;  // a refusal: reported by MakeSeeds
    rig.TickTo(rig.state_.Elapsed_seconds + pick(5));
    const int what = pick(100);
    // One draw per statement: the order of a call's arguments is the
    // compiler's choice, and the corpus must not depend on the compiler.
    if (what < 83) {
      float x;
      float y;
      if (what < 70) {  // in play
        x = between(800, 8700);
        y = between(1050, 4950);
      } else if (what < 76) {  // over a touchline
        x = between(0, 9570);
        y = pick(2) ? between(0, 1000) : between(5001, 6510);
      } else if (what < 80) {  // over a goal line
        x = pick(2) ? between(0, 750) : between(8751, 9570);
        y = between(1000, 5000);
      } else {  // into a goal
        x = pick(2) ? between(450, 750) : between(8751, 9050);
        y = between(2750, 3250);
      }
      rig.Click(x, y);
    } else if (what < 88) {
      rig.recorder_.Command5_Click();  // SHOT
    } else if (what < 91) {
      rig.recorder_.Command1_Click();  // UNDO
    } else if (what < 94) {
      rig.recorder_.Command6_Click();  // FOUL
    } else if (what < 96) {
      rig.recorder_.Command7_Click();  // CLEAR SCREEN
    } else if (what < 98) {
      StartOrStop(rig);  // a break
      StartOrStop(rig);
    } else {
      PressSpace(rig);
    }
    rig.surface_.ClearLog();
  }
  StartOrStop(rig);
}

// A seed made while the program refused or failed something is no sample
// of what it writes.
void ExpectNoWarnings(const RecorderRig& rig, const char* scenario) {
  for (const auto& m : rig.controls_.messages) {
    if (m.icon == varrow::MsgIcon::kExclamation) {
      std::fprintf(stderr, "%s: unexpected message %s: %s\n", scenario, m.title.c_str(),
                   m.text.c_str());
      std::exit(1);
    }
  }
}

Seeds MakeSeeds(Seeds& settings) {
  Seeds files;
  {
    RecorderRig rig;
    rig.New(1);
    files["new_file.dat"] = rig.Bytes();
    settings["new_file.txt"] = SavedSettings(rig);
  }
  {
    RecorderRig rig;
    WorkedExample(rig);
    ExpectNoWarnings(rig, "worked example");
    files["worked_example.dat"] = rig.Bytes();
    settings["worked_example.txt"] = SavedSettings(rig);
    // The same program goes on to the second half.
    RecorderRig next;
    next.settings_.values = rig.settings_.values;
    next.recorder_.Form_Load();
    SecondHalf(next);
    ExpectNoWarnings(next, "second half");
    files["second_half.dat"] = next.Bytes();
    settings["second_half.txt"] = SavedSettings(next);
  }
  {
    RecorderRig rig;
    LongRecording(rig);
    ExpectNoWarnings(rig, "long recording");
    files[kLongRecording] = rig.Bytes();
  }
  return files;
}

bool WriteCorpus(const fs::path& dir) {
  Seeds settings;
  const Seeds files = MakeSeeds(settings);
  Seeds short_files = files;
  short_files.erase(kLongRecording);
  std::map<std::string, const Seeds*> targets = {{kSettingsTarget, &settings}};
  for (const DataFileTarget& t : kDataFileTargets) {
    targets[t.name] = t.long_files ? &files : &short_files;
  }
  for (const auto& [target, seeds] : targets) {
    fs::create_directories(dir / target);
    for (const auto& [name, bytes] : *seeds) {
      if (!varrow::testing::WriteFileBytes(dir / target / name, bytes)) {
        std::fprintf(stderr, "cannot write %s\n", (dir / target / name).c_str());
        return false;
      }
    }
  }
  return true;
}

// Every file below `root`, by its path relative to it.
std::map<std::string, Bytes> Tree(const fs::path& root) {
  std::map<std::string, Bytes> tree;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file()) {
      tree[fs::relative(entry.path(), root).string()] =
          varrow::testing::ReadFileBytes(entry.path());
    }
  }
  return tree;
}

}  // namespace

int main(int argc, char** argv) {
  const bool check = argc == 3 && std::string(argv[1]) == "--check";
  if (argc != 2 && !check) {
    std::fprintf(stderr, "usage: %s DIR | --check DIR\n", argv[0]);
    return 2;
  }
  const fs::path dir = argv[argc - 1];
  if (!check) return WriteCorpus(dir) ? 0 : 1;

  varrow::testing::TempDir fresh;
  if (!WriteCorpus(fresh.path())) return 1;
  const auto made = Tree(fresh.path());
  const auto kept = Tree(dir);
  bool same = true;
  for (const auto& [name, bytes] : made) {
    const auto it = kept.find(name);
    if (it == kept.end() || it->second != bytes) {
      std::printf("%s: %s\n", name.c_str(), it == kept.end() ? "missing" : "differs");
      same = false;
    }
  }
  for (const auto& [name, bytes] : kept) {
    if (!made.count(name)) {
      std::printf("%s: not made by the generator\n", name.c_str());
      same = false;
    }
  }
  if (!same) std::printf("regenerate with: make_fuzz_corpus %s\n", dir.c_str());
  return same ? 0 : 1;
}
