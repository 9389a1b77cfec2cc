#include <gtest/gtest.h>

#include <cmath>

#include "fake_reports_host.h"
#include "match_file.h"
#include "recorder_fixture.h"
#include "report_tool/report_formatter.h"
#include "reports/reports_window.h"
#include "tool_run.h"

namespace varrow {
namespace {

using testing::FakeReportsHost;
using testing::Lines;
using testing::MatchFile;
using testing::RunTool;

// What a picture box in a fixed-pitch font shows: each drawn text at the
// character column and text row of its position (120 and 240 twips).
std::vector<std::string> CharacterRows(const RecordingSurface& s) {
  std::vector<std::string> rows;
  for (const RecordedOp& op : s.ops()) {
    if (op.kind == RecordedOp::Kind::kCls) rows.clear();
    if (op.kind != RecordedOp::Kind::kText) continue;
    const auto row = static_cast<std::size_t>(std::lround(op.a.y / 240));
    const auto column = static_cast<std::size_t>(std::max(0L, std::lround(op.a.x / 120)));
    if (rows.size() <= row) rows.resize(row + 1);
    std::string& line = rows[row];
    if (line.size() < column + op.text.size()) line.resize(column + op.text.size(), ' ');
    line.replace(column, op.text.size(), op.text);
  }
  return rows;
}

class ReportsWindowTextTest : public testing::RecorderFixture {
 protected:
  // File > Open of `path` (so the period shows as Open shows it), then
  // Generate Stats and GENERAL STATS: the rows Picture1 shows.
  std::vector<std::string> WindowPage(const std::string& path) {
    controls_.open_dialog_answers.push_back(path);
    recorder_.mnuOpen_Click();
    EXPECT_EQ(state_.Data_file_path, path);
    FakeReportsHost host;
    controls_.on_reports_window = [&] {
      ReportsWindow window(state_, host, controls_.Caption(MainControl::kLabel7));
      window.Command1_Click();
    };
    recorder_.mnuGenStats_Click();
    EXPECT_EQ(controls_.reports_shown, ++reports_);
    return CharacterRows(host.picture);
  }
  int reports_ = 0;
};

TEST_F(ReportsWindowTextTest, EachFilesPageIsWhatTheReportsWindowShows) {
  // First half: the left team red.
  NewAndStart();
  TickTo(5);
  Click(2000, 2000);
  TickTo(9);
  Click(6000, 0);  // over the top touchline
  TickTo(15);
  Click(600, 3000);  // a goal by the right team
  TickTo(30);
  Click(4000, 4000);
  recorder_.Command5_Click();  // SHOT
  TickTo(40);
  Click(300, 2000);  // a corner
  TickTo(125);
  Stop();
  const std::string first_half = Path();

  // Second half: the ends changed, so the left team is blue.
  New(2);
  Start();
  TickTo(140);
  Click(7000, 2500);
  recorder_.Command5_Click();
  TickTo(160);
  Click(8900, 3000);
  TickTo(200);
  Stop();
  const std::string second_half = Path();
  ASSERT_NE(first_half, second_half);

  for (const std::string& path : {first_half, second_half}) {
    SCOPED_TRACE(path);
    const std::vector<std::string> window = WindowPage(path);
    ASSERT_GT(window.size(), 20u);
    const testing::ToolResult tool = RunTool({path});
    EXPECT_EQ(tool.status, 0) << tool.err;
    EXPECT_EQ(tool.err, "");
    EXPECT_EQ(Lines(tool.out), window);
  }
}

TEST(TextReportTest, ThePageHasItsColumnsWhereTheReportPutsThem) {
  testing::TempDir dir;
  MatchFile m;  // left red "Red Lions", right blue "Blue Birds", first half
  m.Add(4750, 3000, 0, kRed);
  for (std::int16_t t = 1; t <= 12; ++t) {
    m.Add(Event_record{
        .X = 7000, .Y = 3000, .Clock_seconds = t, .Team_color = kRed, .Shot_flag = -1});
  }
  m.Add(3000, 2000, 20, kBlue);  // red loses the ball in its defending third
  m.Add(Event_record{.X = 600,
                     .Y = 3000,
                     .Clock_seconds = 30,
                     .Team_color = kBlue,
                     .Left_goal = 1});  // blue scores
  m.Add(4750, 3000, 31, kRed);          // the kick-off: no loss
  m.Add(Event_record{.X = 9000,
                     .Y = 1500,
                     .Clock_seconds = 95,
                     .Team_color = kRed,
                     .Corner_flag = -1});  // red plays it out: blue's corner
  const std::string path = dir.Write("060124_1.dat", m.Bytes());

  const testing::ToolResult r = RunTool({path});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string gap(19, ' ');
  const std::vector<std::string> expected = {
      " ",
      "         060124_1.dat         GENERAL STATISTICS          Half: 1st",
      " ",
      " ",
      std::string(22, ' ') + "Red Lions             Blue Birds          ",
      " ",
      "     ",
      "     GOALS            0 " + gap + " 1 ",  // digits in columns 23 and 45
      " ",
      "     SHOTS            12 " + gap + " 0 ",  // two digits push the other column
      " ",
      "     CORNERS          0 " + gap + " 1 ",
      " ",
      "     TIME OF          1 :24" + std::string(16, ' ') + " 0 :11",
      "     POSSESION",
      " ",
      "     LOST POSSESION   1 " + gap + " 0 ",
      std::string(73, ' '),  // the thin rule's line ends where the rule does
      "     DEFENDING 1/3    1 " + gap + " 0 ",
      "     MIDDLE 1/3       0 " + gap + " 0 ",
      "     ATTACKING 1/3    0 " + gap + " 0 ",
  };
  EXPECT_EQ(Lines(r.out), expected);
}

TEST(TextReportTest, AClockRunningBackwardsIsWarnedOfOnceAndItsTimeShownBelowZero) {
  testing::TempDir dir;
  MatchFile m;
  m.Add(4750, 3000, 250, kRed);
  m.Add(3000, 2000, 60, kBlue);  // red is credited 60 - 250 s
  m.Add(3000, 2500, 40, kBlue);
  m.Add(3000, 2500, 70, kBlue);
  const std::string path = dir.Write("060124_1.dat", m.Bytes());
  const testing::ToolResult r = RunTool({path});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(Lines(r.err), (std::vector<std::string>{
                              "varrow-report: warning: " + path +
                              ": the clock runs backwards at record 5 (1:00 after 4:10), so times "
                              "of possession can be wrong"}));
  EXPECT_EQ(Lines(r.out)[13], "     TIME OF         -3 :10                 0 :10");
}

}  // namespace
}  // namespace varrow
