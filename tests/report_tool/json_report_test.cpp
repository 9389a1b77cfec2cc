#include <gtest/gtest.h>

#include <string>

#include "fakes.h"
#include "json_value.h"
#include "match_file.h"
#include "report_tool/json_writer.h"
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

// A team object's figures, worked out by hand from the events.
struct Team {
  const char* name;
  const char* color;
  Color color_value;
  const char* side;  // nullptr: the whole match has no sides
  int goals, shots, corners;
  int time, minutes, seconds;
  const char* mm_ss;
  double share;
  int lost, lost_defending, lost_middle, lost_attacking;
};

void ExpectTeam(const JsonValue& team, const Team& t) {
  SCOPED_TRACE(std::string(t.name) + (t.side ? std::string(", ") + t.side : ""));
  EXPECT_EQ(team["name"].String(), t.name);
  EXPECT_EQ(team["color"].String(), t.color);
  EXPECT_EQ(team["color_value"].Int(), t.color_value);
  if (t.side) {
    EXPECT_EQ(team["side"].String(), t.side);
  } else {
    EXPECT_FALSE(team.Has("side"));
  }
  EXPECT_EQ(team["goals"].Int(), t.goals);
  EXPECT_EQ(team["shots"].Int(), t.shots);
  EXPECT_EQ(team["corners"].Int(), t.corners);
  EXPECT_EQ(team["possession_time"].Int(), t.time);
  EXPECT_EQ(team["possession_minutes"].Int(), t.minutes);
  EXPECT_EQ(team["possession_seconds"].Int(), t.seconds);
  EXPECT_EQ(team["possession_mm_ss"].String(), t.mm_ss);
  EXPECT_DOUBLE_EQ(team["possession_share_percent"].Number(), t.share);
  EXPECT_EQ(team["lost_possession"].Int(), t.lost);
  EXPECT_EQ(team["lost_defending"].Int(), t.lost_defending);
  EXPECT_EQ(team["lost_middle"].Int(), t.lost_middle);
  EXPECT_EQ(team["lost_attacking"].Int(), t.lost_attacking);
}

TEST(JsonReportTest, EveryFigureOfEachFileAndOfTheWholeReadsBack) {
  testing::TempDir dir;
  const std::string first = dir.Write("060124_1.dat", FirstHalf().Bytes());
  const std::string second = dir.Write("060124_2.dat", SecondHalf().Bytes());

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
  // Red 0-65 and 200-230 s, blue 65-200 s; red loses the ball at x 3000, its
  // defending third, blue at x 6500, its own; blue shoots, and red's ball
  // over the goal line is blue's corner.
  ExpectTeam(f1["teams"][0],
             {"Red Lions", "red", kRed, "left", 0, 0, 0, 95, 1, 35, "1:35", 41.3, 1, 1, 0, 0});
  ExpectTeam(f1["teams"][1],
             {"Blue Birds", "blue", kBlue, "right", 0, 1, 1, 135, 2, 15, "2:15", 58.7, 1, 1, 0, 0});

  EXPECT_EQ(files[1]["file"].String(), dir.File("gone.dat"));
  EXPECT_EQ(files[1]["error"].String(),
            dir.File("gone.dat") + ": cannot be read: No such file or directory");
  EXPECT_FALSE(files[1].Has("teams"));

  const JsonValue& f2 = files[2];
  EXPECT_EQ(f2["period_caption"].String(), "Half: 2nd");
  // Blue 0-13 s with a goal, red 13-100 s, losing the ball at x 7000 in its
  // defending third; the loss right after the goal is in no third. The red
  // team comes first, although it played on the right.
  ExpectTeam(f2["teams"][0],
             {"Red Lions", "red", kRed, "right", 0, 0, 0, 87, 1, 27, "1:27", 87, 1, 1, 0, 0});
  ExpectTeam(f2["teams"][1],
             {"Blue Birds", "blue", kBlue, "left", 1, 0, 0, 13, 0, 13, "0:13", 13, 0, 0, 0, 0});

  const JsonValue& match = (*doc)["match"];
  EXPECT_EQ(match["files"].Int(), 2);
  ExpectTeam(match["teams"][0],
             {"Red Lions", "red", kRed, nullptr, 0, 0, 0, 182, 3, 2, "3:02", 55.2, 2, 2, 0, 0});
  ExpectTeam(match["teams"][1],
             {"Blue Birds", "blue", kBlue, nullptr, 1, 1, 1, 148, 2, 28, "2:28", 44.8, 1, 1, 0, 0});
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
  const std::string first = dir.Write("060124_1.dat", FirstHalf().Bytes());
  const std::string second = dir.Write("060124_2.dat", SecondHalf().Bytes());

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

// The layout byte for byte, with a piece longer than the writer gathers at
// once, a string that needs escaping between plain ones and an empty view.
TEST(JsonWriterTest, LaysOutNestedValuesWhateverTheLengthOfAPiece) {
  const std::string long_name(5000, 'a');
  std::string out;
  report::JsonWriter w(out);
  w.BeginObject();
  w.Field("name", long_name);
  w.Key("list");
  w.BeginArray();
  w.BeginLineArray();
  w.Int(1);
  w.Int(-2);
  w.EndArray();
  w.BeginLineObject();
  w.Field("q", "a\"b");
  w.Field("e", std::string_view{});  // no data at all, as a team of no colour's name
  w.Key("n");
  w.Null();
  w.EndObject();
  w.EndArray();
  w.Key("empty");
  w.BeginArray();
  w.EndArray();
  w.EndObject();
  EXPECT_EQ(
      out,
      "{\n  \"name\": \"" + long_name +
          "\",\n  \"list\": [\n    [1, -2],\n    {\"q\": \"a\\\"b\", \"e\": \"\", \"n\": null}\n"
          "  ],\n  \"empty\": []\n}\n");
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
