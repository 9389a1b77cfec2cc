// The statistics pass on any file content: the optimised pass (through the
// file reader in chunks) must agree field by field with a plain
// record-by-record reading of the rules, and the match analysis of the same
// read with the pass's possession time and losses; Generate Stats must take
// the file or refuse it with its warning, and the reports and the analysis
// page must draw only finite positions on their picture.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "analysis/match_analysis.h"
#include "field/field.h"
#include "fuzz_check.h"
#include "recorder/recorder.h"
#include "recorder_rig.h"
#include "reports/analysis_drawing.h"
#include "reports/report_drawing.h"
#include "stats/stats_pass.h"
#include "stats_reference.h"
#include "surface/recording_surface.h"
#include "temp_dir.h"

namespace {

using varrow::Color;
using varrow::Event_record;
using varrow::MatchStats;
using varrow::Team_stats;

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
  const varrow::testing::ReferenceStats want = varrow::testing::ComputeReferenceStats(file);

  // The pass through the file reader in chunks.
  const std::string path = Dir().File("match.dat");
  varrow::testing::WriteFileBytes(path, std::vector<std::uint8_t>(data, data + size));
  MatchStats read;
  varrow::MatchAnalysis analysis;
  const varrow::FileStatus s =
      varrow::ComputeFileAnalysis(path, read, analysis, {.keep_possessions = true});
  FUZZ_CHECK(s.ok() == !want.refused);
  if (s.ok()) {
    // The possessions add up to the pass's possession time and losses.
    std::int64_t seconds[2] = {};
    std::int64_t lost[2][3] = {};
    for (const varrow::Possession& p : analysis.possessions) {
      seconds[varrow::ColumnOf(p.red)] += p.seconds;
      if (p.lost_third) ++lost[varrow::ColumnOf(p.red)][static_cast<int>(*p.lost_third)];
    }
    for (const bool red : {true, false}) {
      const Team_stats& t = red ? want.stats.Red_stats : want.stats.Blue_stats;
      const int column = varrow::ColumnOf(red);
      FUZZ_CHECK(seconds[column] == t.Possession_time);
      FUZZ_CHECK(lost[column][0] == t.Lost_defending && lost[column][1] == t.Lost_middle &&
                 lost[column][2] == t.Lost_attacking);
    }
    FUZZ_CHECK(read.Record_count == want.stats.Record_count);
    CheckSame(read.Red_stats, want.stats.Red_stats);
    CheckSame(read.Blue_stats, want.stats.Blue_stats);
    FUZZ_CHECK(read.Red_shot_count == want.stats.Red_stats.Shots);
    FUZZ_CHECK(read.Blue_shot_count == want.stats.Blue_stats.Shots);
    // With a recorder's clock, the possessions add up to the last record's
    // clock minus the first event's.
    if (want.stats.Record_count >= 4) {
      const auto clock = [&](std::int32_t r) {
        std::int16_t c;
        std::memcpy(&c, data + (r - 1) * varrow::kRecordLength + 8, sizeof c);
        return std::int32_t{c};
      };
      FUZZ_CHECK(read.Red_stats.Possession_time + read.Blue_stats.Possession_time ==
                 clock(want.stats.Record_count) - clock(4));
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
  CheckSame(state.Red_stats, want.stats.Red_stats);
  CheckSame(state.Blue_stats, want.stats.Blue_stats);
  FUZZ_CHECK(controls.progress_max_ == want.stats.Record_count);

  // Both reports of what was read.
  varrow::RecordingSurface picture;
  varrow::Draw_general_stats(picture, state, " Half: 1st");
  picture.Cls();
  varrow::Draw_shot_chart(picture, state, " Half: 1st");
  CheckDrawing(picture);
  varrow::RecordingSurface page;
  const varrow::ReportData report = varrow::ReportDataOf(read, path, " Half: 1st");
  varrow::Draw_analysis_page(
      page, {report, analysis.teams[varrow::kRedColumn], analysis.teams[varrow::kOtherColumn],
             std::span(&analysis.momentum, 1)});
  for (const varrow::RecordedOp& op : page.ops()) {
    FUZZ_CHECK(std::isfinite(op.a.x) && std::isfinite(op.a.y) && std::isfinite(op.b.x) &&
               std::isfinite(op.b.y));
  }
  return 0;
}
