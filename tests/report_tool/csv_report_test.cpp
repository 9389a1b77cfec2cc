#include <gtest/gtest.h>

#include "match_file.h"
#include "recorder_fixture.h"
#include "report_tool/csv_writer.h"
#include "report_tool/events_export.h"
#include "tool_run.h"

namespace varrow {
namespace {

using testing::Lines;
using testing::RunTool;

class EventsCsvTest : public testing::RecorderFixture {};

TEST_F(EventsCsvTest, ARecordedHalfGivesOneRowPerEventRecord) {
  NewAndStart();  // "Reds" on the left in red, "Blues" on the right; START at 0
  TickTo(3);
  Click(2000, 2000);
  TickTo(7);
  Click(6000, 0);  // beyond the top touchline: taken where the path crosses it
  TickTo(15);
  Click(600, 3000);  // into the left goal: a goal for the right team
  TickTo(30);
  Click(4000, 4000);
  recorder_.Command5_Click();  // SHOT
  TickTo(40);
  Click(300, 2000);  // red plays it over its own goal line: a corner
  TickTo(45);
  Click(750, 1000);  // the corner spot: on the touchline
  TickTo(52);
  Click(300, 4000);  // blue plays it wide of the goal: a goal kick
  TickTo(60);
  Stop();

  const testing::ToolResult r = RunTool({"--events", Path()});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string f = Path();
  EXPECT_EQ(
      Lines(r.out),
      (std::vector<std::string>{
          "file,record,clock_seconds,x,y,team_color,team_name,shot,kind",
          f + ",4,0,4750,3000,red,Reds,false,play",  // the START marker
          f + ",5,3,2000,2000,red,Reds,false,play", f + ",6,7,4000,1000,red,Reds,false,touchline",
          f + ",7,15,600,3000,blue,Blues,false,goal", f + ",8,30,4000,4000,red,Reds,true,play",
          f + ",9,40,300,2000,red,Reds,false,corner_kick",
          f + ",10,45,750,1000,blue,Blues,false,touchline",
          f + ",11,52,300,4000,blue,Blues,false,goal_line",
          f + ",12,60,300,4000,red,Reds,false,goal_line",  // the STOP marker
      }));
}

TEST(EventKindTest, TheFirstRuleThatHoldsNamesTheKind) {
  struct Case {
    Event_record e;
    report::EventKind kind;
  };
  const Case cases[] = {
      {{.X = 600, .Y = 3000, .Left_goal = 1}, report::EventKind::kGoal},
      {{.X = 8900, .Y = 3000, .Right_goal = 1}, report::EventKind::kGoal},
      {{.X = 8900, .Y = 3000, .Left_goal = 2}, report::EventKind::kGoalLine},  // only 1 is a goal
      {{.X = 300, .Y = 1000, .Corner_flag = -1}, report::EventKind::kCornerKick},
      {{.X = 749.9f, .Y = 3000}, report::EventKind::kGoalLine},
      {{.X = 8750.1f, .Y = 3000}, report::EventKind::kGoalLine},
      {{.X = 750, .Y = 5000}, report::EventKind::kTouchline},
      {{.X = 8750, .Y = 1000}, report::EventKind::kTouchline},
      {{.X = 4000, .Y = 1000.5f}, report::EventKind::kPlay},
      {{.X = 4000, .Y = 4999}, report::EventKind::kPlay},
      // Positions are taken as the statistics take them.
      {{.X = std::numeric_limits<float>::quiet_NaN(), .Y = 1000}, report::EventKind::kTouchline},
      {{.X = -1e30f, .Y = 3000}, report::EventKind::kGoalLine},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(report::KindOf(c.e), c.kind) << c.e.X << ", " << c.e.Y;
  }
}

TEST(EventsExportTest, TeamNamesFollowTheHeaderColoursAndPositionsAreMadeSafe) {
  testing::TempDir dir;
  testing::MatchFile m;
  m.left_name = "Lions, the";
  m.Add(Event_record{.X = std::numeric_limits<float>::infinity(), .Y = 9999, .Team_color = kRed});
  m.Add(Event_record{.X = 5000, .Y = 2000, .Clock_seconds = 4, .Team_color = Rgb(0, 255, 0)});
  const std::string path = dir.Write("m.dat", m.Bytes());
  const testing::ToolResult r = RunTool({"--events", "--format", "csv", path});
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(Lines(r.out), (std::vector<std::string>{
                              "file,record,clock_seconds,x,y,team_color,team_name,shot,kind",
                              path + ",4,0,4750,6510,red,\"Lions, the\",false,play",
                              path + ",5,4,5000,2000,#00ff00,,false,play",
                          }));
}

TEST(CsvReportTest, OneHeaderRowThenOneRowPerTeamAndFileThenTheWhole) {
  testing::TempDir dir;
  testing::MatchFile m;
  m.Add(Event_record{.X = 4750, .Y = 3000, .Team_color = kRed});
  m.Add(Event_record{.X = 2000, .Y = 3000, .Clock_seconds = 90, .Team_color = kBlue});
  const std::string a = dir.Write("a.dat", m.Bytes());
  const std::string b = dir.Write("b,c.dat", m.Bytes());
  const testing::ToolResult r = RunTool({"--format", "csv", a, b});
  ASSERT_EQ(r.status, 0) << r.err;
  std::string head =
      "scope,file,period,period_caption,name,color,color_value,side,goals,shots,corners,"
      "possession_time,possession_minutes,possession_seconds,possession_mm_ss,"
      "possession_share_percent,lost_possession,lost_defending,lost_middle,lost_attacking,"
      "time_defending_third,time_middle_third,time_attacking_third,field_tilt_percent";
  for (const char* row : {"1", "2", "3"}) {
    for (const char* column : {"1", "2", "3", "4", "5", "6"}) {
      head += std::string(",zone_r") + row + "c" + column;
    }
  }
  head +=
      ",possessions,possession_average_seconds,possession_longest_seconds,"
      "possessions_reaching_attacking_third,possessions_ending_in_shot,"
      "possessions_ending_in_goal";
  // Red's seconds in midfield (zone r2c4), no field tilt (no attacking-third
  // time); blue's one possession, of no seconds, in its attacking third.
  const auto analysis = [](std::string_view thirds, std::string_view r2c4,
                           std::string_view possessions) {
    std::string columns = "," + std::string(thirds) + ",";
    for (int zone = 0; zone < 18; ++zone) columns += zone == 9 ? "," + std::string(r2c4) : ",0";
    return columns + "," + std::string(possessions);
  };
  const std::string red = analysis("0,90,0", "90", "1,90.0,90,0,0,0");
  const std::string blue = analysis("0,0,0", "0", "1,0.0,0,1,0,0");
  EXPECT_EQ(
      Lines(r.out),
      (std::vector<std::string>{
          head,
          "file," + a + ",1,Half: 1st,Red Lions,red,255,left,0,0,0,90,1,30,1:30,100.0,1,1,0,0" +
              red,
          "file," + a + ",1,Half: 1st,Blue Birds,blue,16711680,right,0,0,0,0,0,0,0:00,0.0,0,0,0,0" +
              blue,
          "file,\"" + b + "\",1,Half: 1st,Red Lions,red,255,left,0,0,0,90,1,30,1:30,100.0,1,1,0,0" +
              red,
          "file,\"" + b +
              "\",1,Half: 1st,Blue Birds,blue,16711680,right,0,0,0,0,0,0,0:00,0.0,0,0,0,0" + blue,
          "match,,,,Red Lions,red,255,,0,0,0,180,3,0,3:00,100.0,2,2,0,0" +
              analysis("0,180,0", "180", "2,90.0,90,0,0,0"),
          "match,,,,Blue Birds,blue,16711680,,0,0,0,0,0,0,0:00,0.0,0,0,0,0" +
              analysis("0,0,0", "0", "2,0.0,0,2,0,0"),
      }));
}

TEST(CsvWriterTest, QuotesOnlyWhatNeedsIt) {
  std::string out;
  report::CsvWriter w(out);
  w.Text("plain");
  w.Text("a,b");
  w.Text("say \"x\"");
  w.Text("bad\xff");
  w.Int(-12);
  w.Empty();
  w.EndRow();
  EXPECT_EQ(out, "plain,\"a,b\",\"say \"\"x\"\"\",bad\xEF\xBF\xBD,-12,\n");
}

TEST(CsvWriterTest, ATextThatASpreadsheetWouldRunAsAFormulaGetsAnApostrophe) {
  const struct {
    std::string_view text;
    std::string_view cell;
  } cases[] = {
      {"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\""},
      {"+1", "'+1"},
      {"-1 FC", "'-1 FC"},
      {"@SUM(A1)", "'@SUM(A1)"},
      {"\tx", "'?x"},
      {"\rx", "'?x"},
      {"=a,b", "\"'=a,b\""},
      {"Real Madrid-B", "Real Madrid-B"},  // only the first character counts
      {"", ""},
  };
  for (const auto& c : cases) {
    std::string out;
    report::CsvWriter(out).Text(c.text);
    EXPECT_EQ(out, c.cell) << c.text;
  }
}

}  // namespace
}  // namespace varrow
