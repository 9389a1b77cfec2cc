#include "report_tool/match_totals.h"

#include <gtest/gtest.h>

#include "match_file.h"
#include "report_tool/report_formatter.h"
#include "temp_dir.h"
#include "tool_run.h"

namespace varrow::report {
namespace {

using testing::EventAt;
using testing::MatchFile;
using testing::RunTool;

MatchFile Period(std::string left, Color left_color, std::string right, std::int16_t period) {
  MatchFile m;
  m.left_name = std::move(left);
  m.right_name = std::move(right);
  m.header.Team_2_color = left_color;
  m.header.Team_1_color = OtherPossessionColor(left_color);
  m.header.Period = period;
  return m;
}

// The three matches of a small season, worked out by hand in the tests.
// Match 1, first half: Lions (red, left) and Birds (blue, right).
MatchFile LionsBirdsFirstHalf() {
  MatchFile m = Period("Lions", kRed, "Birds", 1);
  m.Add(4750, 3000, 0, kRed);
  Event_record goal = EventAt(8800, 3000, 10, kRed);
  goal.Right_goal = 1;  // Lions score
  m.Add(goal);
  m.Add(4750, 3000, 11, kBlue);  // the kick-off: no loss
  m.Add(2000, 2000, 50, kRed);   // Birds lose it in their attacking third
  Event_record shot = EventAt(5000, 3000, 60, kRed);
  shot.Shot_flag = -1;
  m.Add(shot);
  return m;  // Lions 21 s, Birds 39 s
}

// Match 1, second half: the ends changed, Birds (blue) on the left.
MatchFile LionsBirdsSecondHalf() {
  MatchFile m = Period("Birds", kBlue, "Lions", 2);
  m.Add(4750, 3000, 0, kBlue);
  Event_record corner = EventAt(9000, 1500, 30, kBlue);
  corner.Corner_flag = -1;  // Birds play it out: the Lions' corner
  m.Add(corner);
  m.Add(8000, 3000, 40, kRed);  // Birds lose it in their attacking third
  Event_record goal = EventAt(600, 3000, 45, kRed);
  goal.Left_goal = 1;  // Lions score
  m.Add(goal);
  return m;  // Birds 40 s, Lions 5 s
}

// Match 2: Birds (red, left) and Wolves.
MatchFile BirdsWolves() {
  MatchFile m = Period("Birds", kRed, "Wolves", 1);
  m.Add(4750, 3000, 0, kBlue);
  m.Add(4000, 2000, 20, kRed);  // Wolves lose it in the middle third
  m.Add(4100, 2100, 80, kRed);
  return m;  // Wolves 20 s, Birds 60 s
}

// Match 3: Wolves (red, left) and Lions.
MatchFile WolvesLions() {
  MatchFile m = Period("Wolves", kRed, "Lions", 1);
  m.Add(4750, 3000, 0, kRed);
  Event_record goal = EventAt(8800, 3000, 5, kRed);
  goal.Right_goal = 1;  // Wolves score
  m.Add(goal);
  m.Add(4750, 3000, 6, kBlue);
  Event_record shot = EventAt(5000, 3000, 9, kBlue);
  shot.Shot_flag = -1;
  m.Add(shot);
  return m;  // Wolves 6 s, Lions 3 s
}

class MatchTotalsTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const MatchFile& m) {
    return dir_.Write(name, m.Bytes());
  }
  MatchStats Read(const std::string& path) {
    MatchStats stats;
    EXPECT_TRUE(ComputeFileStats(path, stats));
    return stats;
  }
  testing::TempDir dir_;
};

TEST_F(MatchTotalsTest, ATwoPeriodMatchIsTheSumOfItsPeriodsTeamByColour) {
  const std::string first = Write("060124_1.dat", LionsBirdsFirstHalf());
  const std::string second = Write("060124_2.dat", LionsBirdsSecondHalf());
  const MatchStats a = Read(first);
  const MatchStats b = Read(second);

  MatchTotals totals;
  totals.Add(a, first);
  totals.Add(b, second);
  const FileTeams teams = totals.Teams();
  EXPECT_EQ(teams.teams[0].name, "Lions");
  EXPECT_EQ(teams.teams[0].color, kRed);
  EXPECT_EQ(teams.teams[1].name, "Birds");
  // The periods by hand, summed: Lions 1 + 1 goals, 1 + 0 shots, 0 + 1
  // corners, 21 + 5 s; Birds 39 + 40 s, 1 + 1 balls lost in their attacking
  // third.
  EXPECT_EQ(teams.teams[0].figures,
            (TeamFigures{.goals = 2, .shots = 1, .corners = 1, .possession_time = 26}));
  EXPECT_EQ(teams.teams[1].figures, (TeamFigures{.possession_time = 79, .lost_attacking = 2}));
  EXPECT_TRUE(totals.NameWarnings().empty());

  // The whole-match page comes after the two files' pages.
  const testing::ToolResult r = RunTool({first, second});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> lines = testing::Lines(r.out);
  ASSERT_EQ(lines.size(), 3 * 21 + 2u);
  EXPECT_EQ(lines[21], "");
  EXPECT_EQ(lines[43], "");
  const std::vector<std::string> match(lines.begin() + 44, lines.end());
  EXPECT_EQ(match[1], "            GENERAL STATISTICS          Match: 060124_1.dat, 060124_2.dat");
  EXPECT_EQ(match[4], std::string(22, ' ') + "Lions                 Birds               ");
  EXPECT_EQ(match[7], "     GOALS            2 " + std::string(19, ' ') + " 0 ");
  EXPECT_EQ(match[13], "     TIME OF          0 :26" + std::string(16, ' ') + " 1 :19");
  EXPECT_EQ(match[20], "     ATTACKING 1/3    0 " + std::string(19, ' ') + " 2 ");
}

TEST_F(MatchTotalsTest, ANameThatDiffersBetweenPeriodsIsWarnedOnceAColour) {
  MatchFile renamed = LionsBirdsSecondHalf();
  renamed.right_name = "Lions FC";
  const std::string first = Write("060124_1.dat", LionsBirdsFirstHalf());
  const std::string second = Write("060124_2.dat", renamed);
  const std::string third = Write("060124_3.dat", Period("Birds", kBlue, "Lions XI", 3));
  MatchTotals totals;
  for (const std::string& path : {first, second, third}) totals.Add(Read(path), path);
  EXPECT_EQ(totals.NameWarnings(),
            std::vector<std::string>{"the red team is named \"Lions\" in " + first +
                                     " but \"Lions FC\" in " + second});

  const testing::ToolResult r = RunTool({first, second, third});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "varrow-report: warning: the red team is named \"Lions\" in " + first +
                       " but \"Lions FC\" in " + second + "\n");
  // The whole keeps the first file's names.
  EXPECT_NE(r.out.find(std::string(22, ' ') + "Lions                 Birds"), std::string::npos);
}

TEST_F(MatchTotalsTest, TheTitleNamesTheFilesWhileTheyFitThePage) {
  MatchTotals two;
  two.Add(MatchStats{}, "/data/060124_1.dat");
  two.Add(MatchStats{}, "060124_2.dat");
  EXPECT_EQ(two.TitleCaption(), " Match: 060124_1.dat, 060124_2.dat");

  MatchTotals four;
  for (int n = 1; n <= 4; ++n) four.Add(MatchStats{}, "060124_" + std::to_string(n) + ".dat");
  EXPECT_EQ(four.TitleCaption(), " Match: 060124_1.dat ... 060124_4.dat");
  EXPECT_EQ(four.Files(), 4);
  // The page's title: the words, then the files.
  EXPECT_EQ(ReportTitle(four.PageData().Data_file_path, "|", four.PageData().period_caption),
            "| Match: 060124_1.dat ... 060124_4.dat");
}

TEST_F(MatchTotalsTest, TotalsBeyondSixteenBitsStayWholeAndThePageStopsAtItsLimit) {
  MatchStats period;
  period.Header_rec.Team_2_color = kRed;
  period.Red_stats.Shots = 30000;
  period.Blue_stats.Possession_time = 30000;
  MatchTotals totals;
  totals.Add(period, "a.dat");
  EXPECT_FALSE(totals.Saturated());
  totals.Add(period, "b.dat");
  EXPECT_EQ(totals.Teams().teams[0].figures.shots, 60000);
  EXPECT_EQ(totals.Teams().teams[1].figures.possession_time, 60000);
  EXPECT_TRUE(totals.Saturated());
  EXPECT_EQ(totals.Stats().Red_stats.Shots, 32767);
  EXPECT_EQ(totals.Stats().Blue_stats.Possession_time, 60000);  // 32 bits on the page
  EXPECT_EQ(totals.Stats().Blue_stats.Possession_minutes, 1000);
}

TEST_F(MatchTotalsTest, TheMatchChartKeepsEveryShotOfEveryPeriodAsRecorded) {
  const MatchStats a = Read(Write("1.dat", LionsBirdsFirstHalf()));
  const MatchStats b = Read(Write("2.dat", WolvesLions()));
  MatchTotals totals(/*keep_shots=*/true);
  totals.Add(a, "1.dat");
  totals.Add(b, "2.dat");
  const MatchStats& whole = totals.Stats();
  ASSERT_EQ(whole.Red_shot_count, 1);
  ASSERT_EQ(whole.Blue_shot_count, 1);
  EXPECT_EQ(whole.Red_stats.Shot_x[0], a.Red_stats.Shot_x[0]);
  EXPECT_EQ(whole.Blue_stats.Shot_y[0], b.Blue_stats.Shot_y[0]);
  // Without a chart to draw, no shot is kept.
  MatchTotals lean;
  lean.Add(a, "1.dat");
  EXPECT_EQ(lean.Stats().Red_shot_count, 0);
  EXPECT_EQ(lean.Stats().Red_stats.Shots, 1);
}

TEST_F(MatchTotalsTest, ASeasonOfThreeMatchesHasOneRowPerTeam) {
  const std::vector<std::string> files = {
      Write("a1.dat", LionsBirdsFirstHalf()), Write("a2.dat", LionsBirdsSecondHalf()),
      Write("b1.dat", BirdsWolves()), Write("c1.dat", WolvesLions())};
  SeasonTable season;
  for (const std::string& path : files) season.Add(Read(path));
  const std::vector<SeasonRow>& rows = season.Rows();
  ASSERT_EQ(rows.size(), 3u);

  EXPECT_EQ(rows[0].name, "Lions");
  EXPECT_EQ(rows[0].periods, 3);
  EXPECT_EQ(rows[0].figures,
            (TeamFigures{.goals = 2, .shots = 2, .corners = 1, .possession_time = 29}));
  EXPECT_EQ(rows[0].goals_against, 1);
  EXPECT_EQ(rows[0].opponents_possession_time, 85);

  EXPECT_EQ(rows[1].name, "Birds");
  EXPECT_EQ(rows[1].periods, 3);
  EXPECT_EQ(rows[1].figures, (TeamFigures{.possession_time = 139, .lost_attacking = 2}));
  EXPECT_EQ(rows[1].goals_against, 2);
  EXPECT_EQ(rows[1].opponents_possession_time, 46);

  EXPECT_EQ(rows[2].name, "Wolves");
  EXPECT_EQ(rows[2].periods, 2);
  EXPECT_EQ(rows[2].figures, (TeamFigures{.goals = 1, .possession_time = 26, .lost_middle = 1}));
  EXPECT_EQ(rows[2].goals_against, 0);

  std::vector<std::string> args = {"--by-team"};
  args.insert(args.end(), files.begin(), files.end());
  const testing::ToolResult r = RunTool(args);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(testing::Lines(r.out),
            (std::vector<std::string>{
                "SEASON TABLE: 3 teams, 4 periods",
                "",
                "TEAM                  PERIODS  GOALS  AGAINST  SHOTS  CORNERS  POSSESSION   SHARE"
                "   LOST  DEF 1/3  MID 1/3  ATT 1/3",
                std::string(115, '-'),
                "Lions                       3      2        1      2        1        0:29   25.4%"
                "      0        0        0        0",
                "Birds                       3      0        2      0        0        2:19   75.1%"
                "      2        0        0        2",
                "Wolves                      2      1        0      0        0        0:26   29.2%"
                "      1        0        1        0",
            }));
}

}  // namespace
}  // namespace varrow::report

namespace varrow::report {
namespace {

TEST(TeamFiguresTest, TimesAndSharesAreWrittenAsThePageWritesThem) {
  EXPECT_EQ(MinutesSeconds(307), "5:07");
  EXPECT_EQ(MinutesSeconds(0), "0:00");
  EXPECT_EQ(MinutesSeconds(750), "12:30");
  // A clock running backwards in a damaged file: a minus sign before the
  // m:ss of the time's size.
  EXPECT_EQ(MinutesSeconds(-190), "-3:10");
  EXPECT_EQ(MinutesSeconds(-5), "-0:05");
  EXPECT_EQ(FixedText(68.75, 1), "68.8");
  EXPECT_EQ(FixedText(31.25, 1), "31.2");
  EXPECT_EQ(FixedText(100, 1), "100.0");
  EXPECT_FALSE(PossessionShare(0, 0));
  EXPECT_FALSE(PossessionShare(-5, 10));
  EXPECT_DOUBLE_EQ(*PossessionShare(30, 90), 25.0);
  EXPECT_EQ(ColorName(kRed), "red");
  EXPECT_EQ(ColorName(Rgb(0, 128, 255)), "#0080ff");
  EXPECT_EQ(TrimmedName("Lions               "), "Lions");
  EXPECT_EQ(TrimmedName("  "), "");
}

}  // namespace
}  // namespace varrow::report
