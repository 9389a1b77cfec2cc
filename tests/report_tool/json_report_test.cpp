#include <gtest/gtest.h>

#include <cmath>

#include "fakes.h"
#include "json_value.h"
#include "match_file.h"
#include "report_tool/json_writer.h"
#include "stats/stats_pass.h"
#include "temp_dir.h"
#include "tool_run.h"

namespace varrow {
namespace {

using testing::EventAt;
using testing::JsonValue;
using testing::MatchFile;
using testing::RunTool;

MatchFile FirstHalf() {
  MatchFile m;  // Red Lions (red, left), Blue Birds (blue, right)
  m.Add(4750, 3000, 0, kRed);
  m.Add(3000, 2000, 65, kBlue);
  Event_record shot = EventAt(1500, 2900, 70, kBlue);
  shot.Shot_flag = -1;
  m.Add(shot);
  m.Add(6500, 3000, 200, kRed);
  Event_record corner = EventAt(9000, 4500, 230, kRed);
  corner.Corner_flag = -1;
  m.Add(corner);
  return m;
}

MatchFile SecondHalf() {
  MatchFile m;
  m.left_name = "Blue Birds";
  m.right_name = "Red Lions";
  m.header = Header_record{kBlue, kRed, 3, 0, 0, 0, 2, {}};
  m.Add(4750, 3000, 0, kBlue);
  Event_record goal = EventAt(8900, 3000, 12, kBlue);
  goal.Right_goal = 1;  // the left team, blue, scores
  m.Add(goal);
  m.Add(4750, 3000, 13, kRed);
  m.Add(7000, 2500, 100, kBlue);
  return m;
}

// Every figure of a team object against the statistics the core computed.
void ExpectTeam(const JsonValue& team, const Team_stats& stats, const Team_stats& opponent,
                const std::string& name, const char* color, Color color_value, const char* side) {
  SCOPED_TRACE(name);
  EXPECT_EQ(team["name"].String(), name);
  EXPECT_EQ(team["color"].String(), color);
  EXPECT_EQ(team["color_value"].Int(), color_value);
  if (side) {
    EXPECT_EQ(team["side"].String(), side);
  } else {
    EXPECT_FALSE(team.Has("side"));
  }
  EXPECT_EQ(team["goals"].Int(), stats.Goals);
  EXPECT_EQ(team["shots"].Int(), stats.Shots);
  EXPECT_EQ(team["corners"].Int(), stats.Corners);
  EXPECT_EQ(team["possession_time"].Int(), stats.Possession_time);
  EXPECT_EQ(team["possession_minutes"].Int(), stats.Possession_minutes);
  EXPECT_EQ(team["possession_seconds"].Int(), stats.Possession_seconds);
  char mm_ss[32];
  std::snprintf(mm_ss, sizeof mm_ss, "%d:%02d", stats.Possession_minutes, stats.Possession_seconds);
  EXPECT_EQ(team["possession_mm_ss"].String(), mm_ss);
  const double share =
      100.0 * stats.Possession_time / (stats.Possession_time + opponent.Possession_time);
  EXPECT_NEAR(team["possession_share_percent"].Number(), share, 0.05);
  EXPECT_EQ(team["lost_possession"].Int(),
            stats.Lost_defending + stats.Lost_middle + stats.Lost_attacking);
  EXPECT_EQ(team["lost_defending"].Int(), stats.Lost_defending);
  EXPECT_EQ(team["lost_middle"].Int(), stats.Lost_middle);
  EXPECT_EQ(team["lost_attacking"].Int(), stats.Lost_attacking);
}

Team_stats Sum(const Team_stats& a, const Team_stats& b) {
  Team_stats s;
  s.Goals = static_cast<std::int16_t>(a.Goals + b.Goals);
  s.Shots = static_cast<std::int16_t>(a.Shots + b.Shots);
  s.Corners = static_cast<std::int16_t>(a.Corners + b.Corners);
  s.Lost_defending = static_cast<std::int16_t>(a.Lost_defending + b.Lost_defending);
  s.Lost_middle = static_cast<std::int16_t>(a.Lost_middle + b.Lost_middle);
  s.Lost_attacking = static_cast<std::int16_t>(a.Lost_attacking + b.Lost_attacking);
  s.Possession_time = a.Possession_time + b.Possession_time;
  s.Possession_minutes = s.Possession_time / 60;
  s.Possession_seconds = s.Possession_time % 60;
  return s;
}

TEST(JsonReportTest, EveryFigureOfEachFileAndOfTheWholeReadsBack) {
  testing::TempDir dir;
  const std::string first = dir.File("060124_1.dat");
  const std::string second = dir.File("060124_2.dat");
  FirstHalf().Write(first);
  SecondHalf().Write(second);
  MatchStats a, b;
  ASSERT_TRUE(ComputeFileStats(first, a));
  ASSERT_TRUE(ComputeFileStats(second, b));
  ASSERT_GT(a.Blue_stats.Lost_defending + a.Red_stats.Lost_attacking, 0);  // the sample has losses

  const testing::ToolResult r = RunTool({"--format", "json", first, dir.File("gone.dat"), second});
  EXPECT_EQ(r.status, 1);
  std::string error;
  const auto doc = JsonValue::Parse(r.out, &error);
  ASSERT_TRUE(doc) << error << "\n" << r.out;

  const JsonValue& files = (*doc)["files"];
  ASSERT_EQ(files.Items().size(), 3u);
  const JsonValue& f1 = files[0];
  EXPECT_EQ(f1["file"].String(), first);
  EXPECT_EQ(f1["period"].Int(), 1);
  EXPECT_EQ(f1["period_caption"].String(), "Half: 1st");
  EXPECT_EQ(f1["last_record"].Int(), 8);
  ASSERT_EQ(f1["teams"].Items().size(), 2u);
  ExpectTeam(f1["teams"][0], a.Red_stats, a.Blue_stats, "Red Lions", "red", kRed, "left");
  ExpectTeam(f1["teams"][1], a.Blue_stats, a.Red_stats, "Blue Birds", "blue", kBlue, "right");

  EXPECT_EQ(files[1]["file"].String(), dir.File("gone.dat"));
  EXPECT_EQ(files[1]["error"].String(),
            dir.File("gone.dat") + ": cannot be read: No such file or directory");
  EXPECT_FALSE(files[1].Has("teams"));

  const JsonValue& f2 = files[2];
  EXPECT_EQ(f2["period_caption"].String(), "Half: 2nd");
  // The red team first, although it played on the right.
  ExpectTeam(f2["teams"][0], b.Red_stats, b.Blue_stats, "Red Lions", "red", kRed, "right");
  ExpectTeam(f2["teams"][1], b.Blue_stats, b.Red_stats, "Blue Birds", "blue", kBlue, "left");

  const JsonValue& match = (*doc)["match"];
  EXPECT_EQ(match["files"].Int(), 2);
  const Team_stats red = Sum(a.Red_stats, b.Red_stats);
  const Team_stats blue = Sum(a.Blue_stats, b.Blue_stats);
  ExpectTeam(match["teams"][0], red, blue, "Red Lions", "red", kRed, nullptr);
  ExpectTeam(match["teams"][1], blue, red, "Blue Birds", "blue", kBlue, nullptr);
  EXPECT_TRUE(match["warnings"].Items().empty());
}

TEST(JsonReportTest, NoFileReadGivesNoWhole) {
  testing::TempDir dir;
  const testing::ToolResult r = RunTool({"--format=json", dir.File("a.dat")});
  EXPECT_EQ(r.status, 1);
  const auto doc = JsonValue::Parse(r.out);
  ASSERT_TRUE(doc) << r.out;
  EXPECT_TRUE((*doc)["match"].IsNull());
  EXPECT_EQ((*doc)["files"].Items().size(), 1u);
}

TEST(JsonReportTest, NamesAndPathsOfAnyBytesComeOutAsValidJson) {
  testing::TempDir dir;
  MatchFile m;
  m.left_name = "Say \"Hi\"\\ \t FC";
  m.Add(4750, 3000, 0, kRed);
  auto bytes = m.Bytes();
  bytes[19] = 0x81;                                    // a byte the code page leaves undefined
  const std::string path = dir.File("odd\xff\n.dat");  // not UTF-8, and a line feed
  testing::WriteFileBytes(path, bytes);

  const testing::ToolResult r = RunTool({"--format", "json", path});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto doc = JsonValue::Parse(r.out);
  ASSERT_TRUE(doc) << r.out;
  const JsonValue& file = (*doc)["files"][0];
  EXPECT_EQ(file["file"].String(), dir.File("odd\xEF\xBF\xBD\n.dat"));
  EXPECT_EQ(file["teams"][0]["name"].String(), "Say \"Hi\"\\ \t FC     \xC2\x81");
  // Control characters are escaped, never written raw.
  EXPECT_NE(r.out.find("\\u0081"), std::string::npos);
  EXPECT_NE(r.out.find("\\n.dat"), std::string::npos);
}

TEST(JsonReportTest, TheSeasonAndTheEventsDocumentsReadBack) {
  testing::TempDir dir;
  const std::string first = dir.File("060124_1.dat");
  const std::string second = dir.File("060124_2.dat");
  FirstHalf().Write(first);
  SecondHalf().Write(second);

  const testing::ToolResult season = RunTool({"--by-team", "--format", "json", first, second});
  ASSERT_EQ(season.status, 0) << season.err;
  const auto s = JsonValue::Parse(season.out);
  ASSERT_TRUE(s) << season.out;
  ASSERT_EQ((*s)["files"].Items().size(), 2u);
  EXPECT_EQ((*s)["files"][1]["period"].Int(), 2);
  const JsonValue& teams = (*s)["teams"];
  ASSERT_EQ(teams.Items().size(), 2u);
  EXPECT_EQ(teams[0]["name"].String(), "Red Lions");
  EXPECT_EQ(teams[0]["periods"].Int(), 2);
  EXPECT_EQ(teams[0]["goals_for"].Int(), 0);
  EXPECT_EQ(teams[0]["goals_against"].Int(), 1);
  EXPECT_EQ(teams[1]["name"].String(), "Blue Birds");
  EXPECT_EQ(teams[1]["goals_for"].Int(), 1);
  EXPECT_NEAR(
      teams[0]["possession_share_percent"].Number() + teams[1]["possession_share_percent"].Number(),
      100, 0.11);

  const testing::ToolResult events = RunTool({"--events", "--format", "json", first});
  ASSERT_EQ(events.status, 0) << events.err;
  const auto e = JsonValue::Parse(events.out);
  ASSERT_TRUE(e) << events.out;
  const JsonValue& rows = (*e)["files"][0]["events"];
  ASSERT_EQ(rows.Items().size(), 5u);
  EXPECT_EQ(rows[0]["record"].Int(), 4);
  EXPECT_EQ(rows[2]["team_name"].String(), "Blue Birds");
  EXPECT_EQ(rows[2]["x"].Number(), 1500);
  EXPECT_TRUE(rows[2]["shot"].Bool());
  EXPECT_FALSE(rows[1]["shot"].Bool());
  EXPECT_EQ(rows[4]["kind"].String(), "corner_kick");
}

TEST(JsonWriterTest, FloatsReadBackExactly) {
  for (const float v : {4750.0f, 3416.6667f, 0.1f, -2.5f, 6083.3335f}) {
    const std::string text = report::FloatText(v);
    EXPECT_EQ(std::stof(text), v) << text;
  }
  EXPECT_EQ(report::FloatText(4750), "4750");
}

}  // namespace
}  // namespace varrow
