// The statistics pass on any file content: the optimised pass (through the
// file reader in chunks) must agree field by field with a plain
// record-by-record reading of the rules, Generate Stats must take the file or
// refuse it with its warning, and both reports must draw only finite
// positions on their picture.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "field/field.h"
#include "fuzz_check.h"
#include "recorder/recorder.h"
#include "recorder_rig.h"
#include "reports/report_drawing.h"
#include "stats/stats_pass.h"
#include "surface/recording_surface.h"
#include "temp_dir.h"

namespace {

using varrow::Color;
using varrow::Event_record;
using varrow::MatchStats;
using varrow::Team_stats;

constexpr std::size_t kFixedBytes = 3 * varrow::kRecordLength;

float Safe(float v, float centre, float limit) {
  if (!std::isfinite(v)) return centre;
  return std::clamp(v, 0.0f, limit);
}

// The statistics read the plain way: one record at a time, in the order the
// rules are written. Records 4 up to the smaller of Last_record and the whole
// records; the red side from the header; positions made safe; shot tables
// that grow; a shot on the first event starts where it ends.
struct Reference {
  bool refused = false;
  std::int32_t record_count = 0;
  Team_stats red;
  Team_stats blue;
};

Reference ReferenceStats(std::span<const std::uint8_t> file) {
  Reference out;
  const std::int64_t whole = static_cast<std::int64_t>(file.size()) / varrow::kRecordLength;
  if (file.size() < kFixedBytes || whole > varrow::kMaxRecordNumber) {
    out.refused = true;
    return out;
  }
  const auto record = [&](std::int64_t n) {
    varrow::RecordBytes b;
    std::memcpy(b.data(), file.data() + (n - 1) * varrow::kRecordLength, b.size());
    return b;
  };
  const varrow::Header_record header = varrow::DecodeHeader(record(3));
  out.record_count = static_cast<std::int32_t>(
      std::clamp<std::int64_t>(std::min<std::int64_t>(header.Last_record, whole), 0, whole));
  const bool left_red = header.Team_2_color == varrow::kRed;

  Color possession = 0;
  std::int32_t possession_start = 0;
  bool after_goal = false;
  Event_record previous;
  for (std::int32_t r = 4; r <= out.record_count; ++r) {
    const Event_record e = varrow::DecodeEvent(record(r));
    if (r == 4) {
      possession = e.Team_color;
      possession_start = e.Clock_seconds;
    }
    if (e.Team_color != possession) {
      const bool red_lost = possession == varrow::kRed;
      Team_stats& loser = red_lost ? out.red : out.blue;
      loser.Possession_time += e.Clock_seconds - possession_start;
      if (!after_goal) {
        const float x = std::isfinite(e.X) ? e.X : varrow::field::kCentreX;
        const int third = x < varrow::field::kLowThird ? 0 : x > varrow::field::kHighThird ? 2 : 1;
        // The loser defends the low-x end when it is the left team.
        const bool loser_left = red_lost == left_red;
        if (third == 1) {
          ++loser.Lost_middle;
        } else if ((third == 0) == loser_left) {
          ++loser.Lost_defending;
        } else {
          ++loser.Lost_attacking;
        }
      }
      possession = e.Team_color;
      possession_start = e.Clock_seconds;
    }
    if (r == out.record_count) {
      (e.Team_color == varrow::kRed ? out.red : out.blue).Possession_time +=
          e.Clock_seconds - possession_start;
    }
    after_goal = false;
    if (e.Left_goal == 1) {
      ++(left_red ? out.blue : out.red).Goals;
      after_goal = true;
    }
    if (e.Right_goal == 1) {
      ++(left_red ? out.red : out.blue).Goals;
      after_goal = true;
    }
    const bool red = e.Team_color == varrow::kRed;
    if (e.Corner_flag == -1) ++(red ? out.blue : out.red).Corners;
    if (e.Shot_flag == -1) {
      Team_stats& t = red ? out.red : out.blue;
      const Event_record& from = r == 4 ? e : previous;
      using namespace varrow::field;
      t.Shot_x.push_back({Safe(from.X, kCentreX, kAreaWidth), Safe(e.X, kCentreX, kAreaWidth)});
      t.Shot_y.push_back({Safe(from.Y, kCentreY, kAreaHeight), Safe(e.Y, kCentreY, kAreaHeight)});
      ++t.Shots;
    }
    previous = e;
  }
  for (Team_stats* t : {&out.red, &out.blue}) {
    t->Possession_seconds = t->Possession_time % 60;
    t->Possession_minutes =
        static_cast<std::int32_t>(std::floor(static_cast<double>(t->Possession_time) / 60));
  }
  return out;
}

// Compares as the reports print: NaN never appears (positions are made safe).
void CheckSame(const Team_stats& got, const Team_stats& want) { FUZZ_CHECK(got == want); }

void CheckDrawing(const varrow::RecordingSurface& surface) {
  for (const varrow::RecordedOp& op : surface.ops()) {
    FUZZ_CHECK(std::isfinite(op.a.x) && std::isfinite(op.a.y));
    FUZZ_CHECK(std::isfinite(op.b.x) && std::isfinite(op.b.y));
    // Shot lines stay on the picture: inside the drawing area, moved down
    // by the chart's text lines at most.
    if (op.kind == varrow::RecordedOp::Kind::kLine) {
      FUZZ_CHECK(op.a.x >= 0 && op.a.x <= varrow::field::kAreaWidth);
      FUZZ_CHECK(op.b.x >= 0 && op.b.x <= varrow::field::kAreaWidth);
    }
  }
}

const varrow::testing::TempDir& Dir() {
  static const varrow::testing::TempDir dir;
  return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> file(data, size);
  const Reference want = ReferenceStats(file);

  // The pass through the file reader in chunks.
  const std::string path = Dir().File("match.dat");
  varrow::testing::WriteFileBytes(path, std::vector<std::uint8_t>(data, data + size));
  MatchStats read;
  const varrow::FileStatus s = varrow::ComputeFileStats(path, read);
  FUZZ_CHECK(s.ok() == !want.refused);
  if (s.ok()) {
    FUZZ_CHECK(read.Record_count == want.record_count);
    CheckSame(read.Red_stats, want.red);
    CheckSame(read.Blue_stats, want.blue);
    FUZZ_CHECK(read.Red_shot_count == want.red.Shots);
    FUZZ_CHECK(read.Blue_shot_count == want.blue.Shots);
    // With a recorder's clock, the possessions add up to the last record's
    // clock minus the first event's.
    if (want.record_count >= 4) {
      const auto clock = [&](std::int32_t r) {
        std::int16_t c;
        std::memcpy(&c, data + (r - 1) * varrow::kRecordLength + 8, sizeof c);
        return std::int32_t{c};
      };
      FUZZ_CHECK(read.Red_stats.Possession_time + read.Blue_stats.Possession_time ==
                 clock(want.record_count) - clock(4));
    }
  }

  // Generate Stats on the same file: the same figures, or its warning.
  varrow::testing::FakeProgram program;
  varrow::ProgramState& state = program.state_;
  varrow::testing::FakeControls& controls = program.controls_;
  varrow::Recorder& recorder = program.recorder_;
  recorder.Form_Load();
  state.Data_file_path = path;
  controls.messages.clear();
  recorder.mnuGenStats_Click();
  FUZZ_CHECK(!controls.BusyPointer() && !controls.progress_open_);
  FUZZ_CHECK(state.form1.RecordNumber == 0);
  if (want.refused) {
    FUZZ_CHECK(controls.messages.size() == 1 && controls.messages[0].title == "WARNING");
    FUZZ_CHECK(controls.reports_shown == 0);
    return 0;
  }
  FUZZ_CHECK(controls.messages.empty() && controls.reports_shown == 1);
  CheckSame(state.Red_stats, want.red);
  CheckSame(state.Blue_stats, want.blue);
  FUZZ_CHECK(controls.progress_max_ == want.record_count);

  // Both reports of what was read.
  varrow::RecordingSurface picture;
  varrow::Draw_general_stats(picture, state, " Half: 1st");
  picture.Cls();
  varrow::Draw_shot_chart(picture, state, " Half: 1st");
  CheckDrawing(picture);
  return 0;
}
