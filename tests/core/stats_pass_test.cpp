#include "stats/stats_pass.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "fakes.h"
#include "match_file.h"
#include "stats_reference.h"
#include "temp_dir.h"

namespace varrow {
namespace {

using testing::MatchFile;
using testing::RandomFile;
using testing::TempDir;
using testing::WriteFileBytes;

class StatsPassTest : public ::testing::Test {
 protected:
  // The pass over the file on disk.
  MatchStats Run(const std::vector<std::uint8_t>& bytes) {
    WriteFileBytes(path_, bytes);
    MatchStats from_file;
    const FileStatus s = ComputeFileStats(path_, from_file);
    EXPECT_TRUE(s) << s.reason();
    return from_file;
  }
  MatchStats Run(const MatchFile& f) { return Run(f.Bytes()); }

  TempDir dir_;
  std::string path_ = dir_.File("120599_1.dat");
};

TEST_F(StatsPassTest, SixtyZeroBytesGiveZeroEverywhere) {
  const MatchStats m = Run(std::vector<std::uint8_t>(60, 0));
  EXPECT_EQ(m.Red_stats, Team_stats{});
  EXPECT_EQ(m.Blue_stats, Team_stats{});
  EXPECT_EQ(m.Red_shot_count + m.Blue_shot_count, 0);
  EXPECT_EQ(m.Record_count, 0);  // the header counts no record at all
  EXPECT_FALSE(m.any_event);
  EXPECT_EQ(m.Team_2_name, std::string(20, '\0'));
}

TEST_F(StatsPassTest, NamesAndHeaderComeBackAsStored) {
  MatchFile f;
  f.left_name = "Ajax";
  f.header.Period = 3;
  f.Add(4750, 3000, 0, kRed);
  const MatchStats m = Run(f);
  EXPECT_EQ(m.Team_2_name, "Ajax                ");
  EXPECT_EQ(m.Team_1_name, "Blue Birds          ");
  EXPECT_EQ(m.Header_rec.Period, 3);
  EXPECT_EQ(m.Header_rec.Last_record, 4);
  EXPECT_EQ(m.Record_count, 4);
}

TEST_F(StatsPassTest, ASingleEventCreditsNoTime) {
  const MatchStats m = Run(MatchFile{}.Add(4750, 3000, 10, kBlue));
  EXPECT_EQ(m.Blue_stats.Possession_time, 0);
  EXPECT_EQ(m.Red_stats.Possession_time, 0);
  EXPECT_EQ(m.Red_stats.Lost_middle + m.Blue_stats.Lost_middle, 0);
}

TEST_F(StatsPassTest, PossessionTimeGoesToTheTeamThatHadTheBall) {
  MatchFile f;
  f.Add(4000, 3000, 10, kRed).Add(4000, 3000, 25, kBlue).Add(5000, 3000, 40, kBlue);
  f.Add(5000, 3000, 70, kRed);
  const MatchStats m = Run(f);
  EXPECT_EQ(m.Red_stats.Possession_time, 15);
  EXPECT_EQ(m.Blue_stats.Possession_time, 45);
  EXPECT_EQ(m.Red_stats.Possession_minutes, 0);
  EXPECT_EQ(m.Red_stats.Possession_seconds, 15);
  EXPECT_EQ(m.Blue_stats.Possession_seconds, 45);
}

TEST_F(StatsPassTest, TheLastPossessionRunsToTheLastRecord) {
  MatchFile f;
  f.Add(4000, 3000, 100, kRed).Add(4000, 3000, 130, kBlue).Add(5000, 3000, 250, kBlue);
  const MatchStats m = Run(f);
  EXPECT_EQ(m.Red_stats.Possession_time, 30);
  EXPECT_EQ(m.Blue_stats.Possession_time, 120);
  EXPECT_EQ(m.Blue_stats.Possession_minutes, 2);
  EXPECT_EQ(m.Blue_stats.Possession_seconds, 0);
  // Both together: the last clock value minus the first event's.
  EXPECT_EQ(m.Red_stats.Possession_time + m.Blue_stats.Possession_time, 150);
}

struct ThirdCase {
  bool left_team_red;
  Color loser;
  float x;
  std::int16_t Team_stats::*expected;
};

void PrintTo(const ThirdCase& c, std::ostream* os) {
  *os << (c.left_team_red ? "left red, " : "left blue, ") << (c.loser == kRed ? "red" : "blue")
      << " loses at x " << c.x;
}

class ThirdsTest : public StatsPassTest, public ::testing::WithParamInterface<ThirdCase> {};

TEST_P(ThirdsTest, ALossCountsInTheThirdWhereTheOtherTeamWonTheBall) {
  const ThirdCase c = GetParam();
  MatchFile f;
  f.header.Team_2_color = c.left_team_red ? kRed : kBlue;
  f.header.Team_1_color = c.left_team_red ? kBlue : kRed;
  f.Add(4750, 3000, 0, c.loser).Add(c.x, 2000, 5, OtherPossessionColor(c.loser));
  const MatchStats m = Run(f);
  const Team_stats& loser = c.loser == kRed ? m.Red_stats : m.Blue_stats;
  const Team_stats& winner = c.loser == kRed ? m.Blue_stats : m.Red_stats;
  Team_stats expected;
  expected.*c.expected = 1;
  EXPECT_EQ(loser.Lost_defending, expected.Lost_defending);
  EXPECT_EQ(loser.Lost_middle, expected.Lost_middle);
  EXPECT_EQ(loser.Lost_attacking, expected.Lost_attacking);
  EXPECT_EQ(winner.Lost_defending + winner.Lost_middle + winner.Lost_attacking, 0);
}

constexpr float kJustBelowLow = 3416.666f;
constexpr float kJustAboveHigh = 6083.334f;

INSTANTIATE_TEST_SUITE_P(EveryTeamSideAndThird, ThirdsTest,
                         ::testing::Values(
                             // The left team defends the low-x end.
                             ThirdCase{true, kRed, 3000, &Team_stats::Lost_defending},
                             ThirdCase{false, kRed, 3000, &Team_stats::Lost_attacking},
                             ThirdCase{true, kBlue, 3000, &Team_stats::Lost_attacking},
                             ThirdCase{false, kBlue, 3000, &Team_stats::Lost_defending},
                             ThirdCase{true, kRed, 7000, &Team_stats::Lost_attacking},
                             ThirdCase{false, kRed, 7000, &Team_stats::Lost_defending},
                             ThirdCase{true, kBlue, 7000, &Team_stats::Lost_defending},
                             ThirdCase{false, kBlue, 7000, &Team_stats::Lost_attacking},
                             // Both boundaries belong to the middle third.
                             ThirdCase{true, kRed, 3416.6667f, &Team_stats::Lost_middle},
                             ThirdCase{true, kRed, 6083.3335f, &Team_stats::Lost_middle},
                             ThirdCase{false, kBlue, 4750, &Team_stats::Lost_middle},
                             ThirdCase{true, kRed, kJustBelowLow, &Team_stats::Lost_defending},
                             ThirdCase{true, kRed, kJustAboveHigh, &Team_stats::Lost_attacking}));

TEST_F(StatsPassTest, TheLossRightAfterAGoalIsTimedButInNoThird) {
  MatchFile f;  // left team red
  f.Add(4750, 3000, 0, kRed);
  // Red scores in the right-hand goal; blue kicks off.
  f.Add(
      Event_record{.X = 8900, .Y = 3000, .Clock_seconds = 20, .Team_color = kRed, .Right_goal = 1});
  f.Add(4750, 3000, 50, kBlue);
  const MatchStats m = Run(f);
  EXPECT_EQ(m.Red_stats.Goals, 1);
  EXPECT_EQ(m.Blue_stats.Goals, 0);
  EXPECT_EQ(m.Red_stats.Possession_time, 50);
  EXPECT_EQ(m.Red_stats.Lost_defending + m.Red_stats.Lost_middle + m.Red_stats.Lost_attacking, 0);
}

TEST_F(StatsPassTest, AChangeAtTheGoalRecordItselfIsCounted) {
  MatchFile f;
  f.Add(4750, 3000, 0, kBlue);
  // Stored in red: red had the ball at the shot that went into the left goal,
  // a goal for blue (the right team).
  f.Add(Event_record{.X = 600, .Y = 3000, .Clock_seconds = 10, .Team_color = kRed, .Left_goal = 1});
  f.Add(4750, 3000, 30, kRed);   // same colour: no change to suppress
  f.Add(2000, 3000, 40, kBlue);  // the flag was cleared a record ago
  const MatchStats m = Run(f);
  EXPECT_EQ(m.Blue_stats.Goals, 1);
  EXPECT_EQ(m.Red_stats.Goals, 0);
  EXPECT_EQ(m.Blue_stats.Lost_attacking, 1);  // x 600: blue attacks the left end
  EXPECT_EQ(m.Red_stats.Lost_defending, 1);   // x 2000
}

TEST_F(StatsPassTest, GoalsGoByTheGoalAndTheSidesComeFromTheHeader) {
  MatchFile f;
  f.header.Team_2_color = kBlue;  // left team blue: the left goal is blue's
  f.header.Team_1_color = kRed;
  f.Add(Event_record{.X = 600, .Y = 3000, .Clock_seconds = 1, .Team_color = kBlue, .Left_goal = 1});
  f.Add(Event_record{.X = 600, .Y = 3000, .Clock_seconds = 2, .Team_color = kRed, .Left_goal = 1});
  f.Add(
      Event_record{.X = 8900, .Y = 3000, .Clock_seconds = 3, .Team_color = kRed, .Right_goal = 1});
  const MatchStats m = Run(f);
  EXPECT_EQ(m.Red_stats.Goals, 2);
  EXPECT_EQ(m.Blue_stats.Goals, 1);
}

TEST_F(StatsPassTest, ACornerCountsForTheOtherColour) {
  MatchFile f;
  f.Add(Event_record{
      .X = 8750, .Y = 1000, .Clock_seconds = 5, .Team_color = kRed, .Corner_flag = -1});
  f.Add(Event_record{
      .X = 750, .Y = 5000, .Clock_seconds = 6, .Team_color = 0x00FF00, .Corner_flag = -1});
  f.Add(Event_record{.X = 750,
                     .Y = 5000,
                     .Clock_seconds = 7,
                     .Team_color = kBlue,
                     .Corner_flag = 1});  // only -1 marks a corner
  const MatchStats m = Run(f);
  EXPECT_EQ(m.Blue_stats.Corners, 1);
  EXPECT_EQ(m.Red_stats.Corners, 1);  // any colour but red counts as the other team
}

TEST_F(StatsPassTest, AShotRunsFromTheRecordBeforeToItsOwn) {
  MatchFile f;
  f.Add(4750, 3000, 0, kRed).Add(6000, 2500, 3, kRed);
  f.Add(
      Event_record{.X = 8800, .Y = 2900, .Clock_seconds = 5, .Team_color = kRed, .Shot_flag = -1});
  f.Add(
      Event_record{.X = 1000, .Y = 3100, .Clock_seconds = 9, .Team_color = kBlue, .Shot_flag = -1});
  const MatchStats m = Run(f);
  EXPECT_EQ(m.Red_stats.Shots, 1);
  EXPECT_EQ(m.Red_shot_count, 1);
  ASSERT_EQ(m.Red_stats.Shot_x.size(), 1u);
  EXPECT_EQ(m.Red_stats.Shot_x[0], (std::array<float, 2>{6000, 8800}));
  EXPECT_EQ(m.Red_stats.Shot_y[0], (std::array<float, 2>{2500, 2900}));
  ASSERT_EQ(m.Blue_stats.Shot_x.size(), 1u);
  EXPECT_EQ(m.Blue_stats.Shot_x[0], (std::array<float, 2>{8800, 1000}));
  // The last record was a shot: its predecessor was the last record read.
  EXPECT_EQ(m.Event_rec.Clock_seconds, 5);
}

TEST_F(StatsPassTest, AShotOnTheFirstEventStartsWhereItWasRecorded) {
  MatchFile f;
  f.header.Team_2_color = 0x45947000;  // header bytes that would read as a far-off x
  f.Add(
      Event_record{.X = 7000, .Y = 2000, .Clock_seconds = 0, .Team_color = kRed, .Shot_flag = -1});
  const MatchStats m = Run(f);
  ASSERT_EQ(m.Red_stats.Shot_x.size(), 1u);
  EXPECT_EQ(m.Red_stats.Shot_x[0], (std::array<float, 2>{7000, 7000}));
  EXPECT_EQ(m.Red_stats.Shot_y[0], (std::array<float, 2>{2000, 2000}));
}

TEST_F(StatsPassTest, EveryShotIsKeptHoweverMany) {
  MatchFile f;
  f.Add(4750, 3000, 0, kBlue);
  for (int i = 0; i < 40; ++i) {
    f.Add(Event_record{.X = 1000.0f + static_cast<float>(i),
                       .Y = 3000,
                       .Clock_seconds = static_cast<std::int16_t>(i + 1),
                       .Team_color = kBlue,
                       .Shot_flag = -1});
  }
  const MatchStats m = Run(f);
  EXPECT_EQ(m.Blue_stats.Shots, 40);
  EXPECT_EQ(m.Blue_shot_count, 40);
  ASSERT_EQ(m.Blue_stats.Shot_x.size(), 40u);
  ASSERT_EQ(m.Blue_stats.Shot_y.size(), 40u);
  EXPECT_EQ(m.Blue_stats.Shot_x[39], (std::array<float, 2>{1038, 1039}));
}

TEST_F(StatsPassTest, RecordsBeyondTheHeaderCountAreUndoneAndNotRead) {
  MatchFile f;
  f.Add(4750, 3000, 0, kRed).Add(5000, 3000, 20, kBlue);
  // Two clicks taken back by UNDO: a goal and a shot that did not happen.
  f.Add(Event_record{.X = 600,
                     .Y = 3000,
                     .Clock_seconds = 30,
                     .Team_color = kBlue,
                     .Left_goal = 1,
                     .Shot_flag = -1});
  f.Add(4750, 3000, 90, kRed);
  f.last_record = 5;
  const MatchStats m = Run(f);
  EXPECT_EQ(m.Record_count, 5);
  EXPECT_EQ(m.Red_stats.Goals + m.Blue_stats.Goals, 0);
  EXPECT_EQ(m.Blue_stats.Shots, 0);
  // The last counted record still closes the last possession.
  EXPECT_EQ(m.Red_stats.Possession_time, 20);
  EXPECT_EQ(m.Blue_stats.Possession_time, 0);
}

TEST_F(StatsPassTest, APartialRecordAtTheEndIsNeverRead) {
  MatchFile f;
  f.Add(4750, 3000, 0, kRed).Add(5000, 3000, 20, kBlue);
  f.last_record = 6;  // the header was written, the last event only half
  std::vector<std::uint8_t> bytes = f.Bytes();
  const RecordBytes goal = EncodeEvent(Event_record{.Left_goal = 1, .Right_goal = 1});
  bytes.insert(bytes.end(), goal.begin(), goal.begin() + 17);  // goal bytes present
  const MatchStats m = Run(bytes);
  EXPECT_EQ(m.Record_count, 5);
  EXPECT_EQ(m.Red_stats.Goals + m.Blue_stats.Goals, 0);
  EXPECT_EQ(m.Red_stats.Possession_time, 20);
}

TEST_F(StatsPassTest, AHeaderCountBelowThreeReadsNoEvent) {
  MatchFile f;
  f.Add(Event_record{.X = 600, .Y = 3000, .Team_color = kRed, .Left_goal = 1});
  for (std::int16_t last : {std::int16_t{3}, std::int16_t{0}, std::int16_t{-7}}) {
    f.last_record = last;
    const MatchStats m = Run(f);
    EXPECT_EQ(m.Record_count, last < 0 ? 0 : last);
    EXPECT_EQ(m.Blue_stats.Goals, 0) << last;
  }
}

TEST_F(StatsPassTest, FilesLongerThan32767BytesAreReadInFull) {
  MatchFile f;
  f.Add(4750, 3000, 0, kRed);
  for (int i = 0; i < 2000; ++i) f.Add(4750, 3000, static_cast<std::int16_t>(i), kRed);
  f.Add(Event_record{
      .X = 8900, .Y = 3000, .Clock_seconds = 2500, .Team_color = kRed, .Right_goal = 1});
  ASSERT_GT(f.Bytes().size(), 32767u);
  const MatchStats m = Run(f);
  EXPECT_EQ(m.Record_count, 2005);
  EXPECT_EQ(m.Red_stats.Goals, 1);
  EXPECT_EQ(m.Red_stats.Possession_time, 2500);
}

TEST_F(StatsPassTest, TheLargestFileIsRead) {
  MatchFile f;
  for (int r = 4; r <= kMaxRecordNumber; ++r) f.Add(4750, 3000, 1, kBlue);
  const MatchStats m = Run(f);
  EXPECT_EQ(m.Record_count, kMaxRecordNumber);
}

TEST_F(StatsPassTest, PositionsThatAreNoNumbersOrOffTheWindowAreMadeSafe) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  MatchFile f;
  f.Add(nan, nan, 0, kRed);
  f.Add(Event_record{.X = 1e30f, .Y = -5, .Clock_seconds = 1, .Team_color = kRed, .Shot_flag = -1});
  f.Add(
      Event_record{.X = -inf, .Y = 1e9f, .Clock_seconds = 2, .Team_color = kBlue, .Shot_flag = -1});
  f.Add(nan, 3000, 3, kRed);  // a loss at no number counts in the middle
  const MatchStats m = Run(f);
  ASSERT_EQ(m.Red_stats.Shot_x.size(), 1u);
  EXPECT_EQ(m.Red_stats.Shot_x[0], (std::array<float, 2>{4750, 9570}));
  EXPECT_EQ(m.Red_stats.Shot_y[0], (std::array<float, 2>{3000, 0}));
  ASSERT_EQ(m.Blue_stats.Shot_x.size(), 1u);
  EXPECT_EQ(m.Blue_stats.Shot_x[0], (std::array<float, 2>{9570, 4750}));
  EXPECT_EQ(m.Blue_stats.Shot_y[0], (std::array<float, 2>{0, 6510}));
  EXPECT_EQ(m.Blue_stats.Lost_middle, 1);
  EXPECT_EQ(m.Red_stats.Lost_middle, 1);  // the change to blue came at x = -inf, no number either
  EXPECT_EQ(m.Red_stats.Lost_defending, 0);
}

TEST_F(StatsPassTest, ProgressIsToldEveryEventRecordInOrder) {
  MatchFile f;
  for (int i = 0; i < 5000; ++i) f.Add(4750, 3000, static_cast<std::int16_t>(i), kRed);
  WriteFileBytes(path_, f.Bytes());
  MatchStats m;
  std::vector<std::int16_t> seen;
  ASSERT_TRUE(ComputeFileStats(path_, m, [&](std::int16_t r) { seen.push_back(r); }));
  EXPECT_EQ(m.Record_count, 5003);
  ASSERT_EQ(seen.size(), 5000u);
  for (std::size_t i = 0; i < seen.size(); ++i) ASSERT_EQ(seen[i], static_cast<int>(i) + 4);
  EXPECT_EQ(m.Red_stats.Possession_time, 4999);
}

// The same records handed to the classifier in pieces of random length, as a
// reader with a small buffer hands them over: no boundary may show.
MatchStats ClassifyInPieces(const std::vector<std::uint8_t>& bytes, const MatchStats& read,
                            std::mt19937& random) {
  MatchStats m;
  m.Header_rec = read.Header_rec;
  m.Record_count = read.Record_count;
  std::vector<RecordBytes> records(std::max(0, m.Record_count - 3));
  if (!records.empty()) {
    std::memcpy(records.data(), bytes.data() + 3 * kRecordLength, records.size() * kRecordLength);
  }
  EventClassifier classifier(m);
  for (std::size_t at = 0; at < records.size();) {
    const std::size_t n = std::min<std::size_t>(records.size() - at, 1 + random() % 40);
    classifier.Classify(kFirstEventRecord + static_cast<std::int32_t>(at),
                        std::span(records).subspan(at, n));
    at += n;
  }
  classifier.Finish();
  return m;
}

TEST_F(StatsPassTest, AgreesWithTheRulesAppliedOneRecordAtATime) {
  std::mt19937 random(20000);
  for (int round = 0; round < 60; ++round) {
    const std::vector<std::uint8_t> bytes = RandomFile(random);
    const MatchStats expected = testing::ComputeReferenceStats(bytes).stats;
    const MatchStats m = Run(bytes);
    SCOPED_TRACE("round " + std::to_string(round) + ", " + std::to_string(m.Record_count) +
                 " records");
    ASSERT_EQ(m.Record_count, expected.Record_count);
    EXPECT_EQ(m.Red_stats, expected.Red_stats);
    EXPECT_EQ(m.Blue_stats, expected.Blue_stats);
    EXPECT_EQ(m.Red_shot_count, expected.Red_shot_count);
    EXPECT_EQ(m.Blue_shot_count, expected.Blue_shot_count);
    EXPECT_EQ(m.any_event, expected.any_event);
    if (expected.any_event) {
      EXPECT_EQ(EncodeEvent(m.Event_rec), EncodeEvent(expected.Event_rec));
    }
    std::mt19937 cuts(round);
    const MatchStats pieces = ClassifyInPieces(bytes, m, cuts);
    EXPECT_EQ(pieces.Red_stats, expected.Red_stats);
    EXPECT_EQ(pieces.Blue_stats, expected.Blue_stats);
    EXPECT_EQ(pieces.any_event, expected.any_event);
    if (expected.any_event) {
      EXPECT_EQ(EncodeEvent(pieces.Event_rec), EncodeEvent(expected.Event_rec));
    }
  }
}

}  // namespace
}  // namespace varrow
