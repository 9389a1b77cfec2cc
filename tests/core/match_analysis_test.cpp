#include "analysis/match_analysis.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "match_file.h"
#include "stats_reference.h"
#include "temp_dir.h"

namespace varrow {
namespace {

using testing::MatchFile;

constexpr auto kDefending = PitchThird::kDefending;
constexpr auto kMiddle = PitchThird::kMiddle;
constexpr auto kAttacking = PitchThird::kAttacking;

// The analysis of records handed over in runs of random length, as a reader
// with a small buffer hands them over: no boundary may show.
MatchAnalysis InRuns(const Header_record& header, std::span<const RecordBytes> records,
                     std::mt19937& random, MarkingLanes lanes) {
  MatchAnalyzer analyzer(header, {.keep_possessions = true, .lanes = lanes});
  for (std::size_t at = 0; at < records.size();) {
    const std::size_t n = std::min<std::size_t>(records.size() - at, 1 + random() % 1200);
    analyzer.Add(kFirstEventRecord + static_cast<std::int32_t>(at), records.subspan(at, n));
    at += n;
  }
  return analyzer.Finish();
}

// Territory, zones and momentum read plainly from their definitions, one
// pair of records at a time.
struct PlainTerritory {
  TeamAnalysis teams[2];
  std::vector<std::int32_t> minutes;
  std::vector<MomentumGoal> goals;
};
PlainTerritory ReadPlainly(const Header_record& header, std::span<const RecordBytes> records) {
  PlainTerritory out;
  if (records.empty()) return out;
  const int last_clock = DecodeEvent(records.back()).Clock_seconds;
  out.minutes.resize(last_clock > 0 ? static_cast<std::size_t>((last_clock - 1) / 60 + 1) : 0);
  for (std::size_t r = 0; r + 1 < records.size(); ++r) {
    const Event_record e = DecodeEvent(records[r]);
    const int next_clock = DecodeEvent(records[r + 1]).Clock_seconds;
    const bool red = IsRedTeam(e.Team_color);
    const bool left = IsLeftTeam(red, header);
    const SafePosition p = MakeSafePosition(e.X, e.Y);
    const PitchThird third = ThirdSeenBy(left, ThirdOfX(p.x));
    Zone z = ZoneOf(p);
    if (!left) z = {2 - z.row, 5 - z.column};
    TeamAnalysis& t = out.teams[ColumnOf(red)];
    for (int s = e.Clock_seconds; s < next_clock; ++s) {
      ++t.third_seconds[static_cast<std::size_t>(third)];
      ++t.zone_seconds[z.row][z.column];
      const auto minute = static_cast<std::size_t>(s / 60);
      if (third == kAttacking && s >= 0 && minute < out.minutes.size()) {
        out.minutes[minute] += red ? 1 : -1;
      }
    }
  }
  // Goals at their minute: the last minute holds any later one, and a goal
  // before the clock's 0 or in a period with no minute shows nowhere.
  const bool red_left = IsLeftTeam(true, header);
  for (const RecordBytes& b : records) {
    const Event_record e = DecodeEvent(b);
    for (const bool left_team : {true, false}) {
      const std::uint8_t goal = left_team ? e.Right_goal : e.Left_goal;
      if (goal != 1 || e.Clock_seconds < 0 || out.minutes.empty()) continue;
      const int minute = std::min<int>(e.Clock_seconds / 60, std::ssize(out.minutes) - 1);
      out.goals.push_back({minute, left_team == red_left});
    }
  }
  return out;
}

TEST(MatchAnalysisTest, AgreesWithTheStatisticsRulesOnRandomFiles) {
  std::mt19937 random(18);
  int files = 0;
  for (int round = 0; round < 3000; ++round) {
    const bool forward = round % 2 == 0;  // the clock never runs back
    const std::vector<std::uint8_t> bytes =
        testing::RandomFile(random, {.longest = 1200, .clock_runs_back = !forward});
    const testing::ReferenceStats reference = testing::ComputeReferenceStats(bytes);
    if (reference.refused) continue;
    ++files;
    const MatchStats& m = reference.stats;
    std::vector<RecordBytes> records(static_cast<std::size_t>(std::max(0, m.Record_count - 3)));
    if (!records.empty()) {
      std::memcpy(records.data(), bytes.data() + 3 * kRecordLength, records.size() * kRecordLength);
    }
    // Half the files marked four records at a time, whatever the processor.
    const auto lanes = round % 4 < 2 ? MarkingLanes::kBest : MarkingLanes::kFour;
    const MatchAnalysis a = InRuns(m.Header_rec, records, random, lanes);
    SCOPED_TRACE("round " + std::to_string(round) + ", " + std::to_string(records.size()) +
                 " events");

    // The possessions cover the records in order, and add up to the pass's
    // possession time and losses by third, and to the teams' figures.
    std::int64_t lost[2][3] = {};
    TeamAnalysis from_rows[2];
    std::int32_t next = kFirstEventRecord;
    for (const Possession& p : a.possessions) {
      ASSERT_EQ(p.first_record, next);
      ASSERT_EQ(p.events, p.last_record - p.first_record + 1);
      next = p.last_record + 1;
      TeamAnalysis& t = from_rows[ColumnOf(p.red)];
      ++t.possessions;
      t.possession_seconds += p.seconds;
      t.longest_possession =
          std::max<std::int64_t>(t.longest_possession.value_or(p.seconds), p.seconds);
      t.reaching_attacking_third += p.reached_attacking_third;
      t.ending_in_shot += p.outcome == PossessionOutcome::kShot;
      t.ending_in_goal += p.outcome == PossessionOutcome::kGoal;
      if (p.lost_third) ++lost[ColumnOf(p.red)][static_cast<int>(*p.lost_third)];
    }
    ASSERT_EQ(next, kFirstEventRecord + static_cast<std::int32_t>(records.size()));
    const PlainTerritory plain = ReadPlainly(m.Header_rec, records);
    for (const int column : {kRedColumn, kOtherColumn}) {
      const Team_stats& s = column == kRedColumn ? m.Red_stats : m.Blue_stats;
      const TeamAnalysis& t = a.teams[column];
      EXPECT_EQ(from_rows[column].possession_seconds, s.Possession_time);
      EXPECT_EQ(lost[column][0], s.Lost_defending);
      EXPECT_EQ(lost[column][1], s.Lost_middle);
      EXPECT_EQ(lost[column][2], s.Lost_attacking);
      from_rows[column].third_seconds = t.third_seconds;
      from_rows[column].zone_seconds = t.zone_seconds;
      EXPECT_EQ(t, from_rows[column]);
      EXPECT_EQ(t.third_seconds, plain.teams[column].third_seconds);
      EXPECT_EQ(t.zone_seconds, plain.teams[column].zone_seconds);
      if (forward) {
        EXPECT_EQ(t.third_seconds[0] + t.third_seconds[1] + t.third_seconds[2], s.Possession_time);
      }
    }
    EXPECT_EQ(a.momentum.minutes, plain.minutes);
    EXPECT_EQ(a.momentum.goals, plain.goals);
  }
  EXPECT_GT(files, 2500);
}

TEST(MatchAnalysisTest, TheHandWorkedMatchFigureByFigure) {
  testing::TempDir dir;
  const std::string path = dir.Write("060124_1.dat", testing::HandWorkedMatch().Bytes());
  MatchStats stats;
  MatchAnalysis a;
  ASSERT_TRUE(ComputeFileAnalysis(path, stats, a, {.keep_possessions = true}));

  const std::vector<Possession> rows = {{.first_record = 4,
                                         .last_record = 7,
                                         .color = kRed,
                                         .red = true,
                                         .start_clock = 0,
                                         .end_clock = 20,
                                         .seconds = 20,
                                         .events = 4,
                                         .start_third = kMiddle,
                                         .end_third = kAttacking,
                                         .reached_attacking_third = true,
                                         .outcome = PossessionOutcome::kGoal,
                                         .lost_third = std::nullopt},
                                        {.first_record = 8,
                                         .last_record = 10,
                                         .color = kBlue,
                                         .red = false,
                                         .start_clock = 20,
                                         .end_clock = 75,
                                         .seconds = 55,
                                         .events = 3,
                                         .start_third = kMiddle,
                                         .end_third = kAttacking,
                                         .reached_attacking_third = true,
                                         .outcome = PossessionOutcome::kLost,
                                         .lost_third = kAttacking},
                                        {.first_record = 11,
                                         .last_record = 13,
                                         .color = kRed,
                                         .red = true,
                                         .start_clock = 75,
                                         .end_clock = 130,
                                         .seconds = 55,
                                         .events = 3,
                                         .start_third = kDefending,
                                         .end_third = kMiddle,
                                         .reached_attacking_third = false,
                                         .outcome = PossessionOutcome::kEnd,
                                         .lost_third = std::nullopt}};
  EXPECT_EQ(a.possessions, rows);

  // Red: 10 s at the kick-off spot, 5 + 5 s in its attacking third, 25 s in
  // its own third, 30 s in midfield. Blue, turned to attack to the right:
  // 20 s at the kick-off spot, 30 + 5 s deep in red's half.
  TeamAnalysis red{.third_seconds = {25, 40, 10},
                   .possessions = 2,
                   .possession_seconds = 75,
                   .longest_possession = 55,
                   .reaching_attacking_third = 1,
                   .ending_in_goal = 1};
  red.zone_seconds[1][3] = 10;
  red.zone_seconds[0][4] = 5;
  red.zone_seconds[1][5] = 5;
  red.zone_seconds[2][1] = 25;
  red.zone_seconds[1][2] = 30;
  TeamAnalysis blue{.third_seconds = {0, 20, 35},
                    .possessions = 1,
                    .possession_seconds = 55,
                    .longest_possession = 55,
                    .reaching_attacking_third = 1};
  blue.zone_seconds[1][2] = 20;
  blue.zone_seconds[0][4] = 30;
  blue.zone_seconds[0][5] = 5;
  EXPECT_EQ(a.teams[kRedColumn], red);
  EXPECT_EQ(a.teams[kOtherColumn], blue);
  EXPECT_EQ(red.AverageSeconds(), 37.5);
  EXPECT_NEAR(*FieldTilt(red, blue), 100.0 * 10 / 45, 1e-9);
  // Minute 0: red's 10 s against blue's 20 (40 to 59); minute 1: blue's 10 +
  // 5 s; minute 2 (up to the last clock, 130) nobody's. The goal at 0:20.
  EXPECT_EQ(a.momentum, (Momentum{{-10, -15, 0}, {{.minute = 0, .red = true}}}));

  // Two periods of it: the sums, the longest the largest, the minutes of each.
  AnalysisTotals totals;
  totals.Add(a);
  totals.Add(a);
  TeamAnalysis twice = red;
  twice += red;
  EXPECT_EQ(totals.teams[kRedColumn], twice);
  EXPECT_EQ(twice.longest_possession, 55);
  EXPECT_EQ(twice.zone_seconds[2][1], 50);
  EXPECT_EQ(totals.periods, (std::vector<Momentum>{a.momentum, a.momentum}));
  EXPECT_FALSE(FieldTilt(TeamAnalysis{}, TeamAnalysis{}));
  EXPECT_FALSE(TeamAnalysis{}.AverageSeconds());
}

}  // namespace
}  // namespace varrow
