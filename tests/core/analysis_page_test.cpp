#include <gtest/gtest.h>

#include "reports/analysis_drawing.h"
#include "surface/recording_surface.h"

namespace varrow {
namespace {

using Kind = RecordedOp::Kind;

std::vector<RecordedOp> OfKind(const RecordingSurface& s, Kind kind) {
  std::vector<RecordedOp> out;
  for (const RecordedOp& op : s.ops()) {
    if (op.kind == kind) out.push_back(op);
  }
  return out;
}

TEST(AnalysisPageTest, ZonesAreShadedBetweenTheGrassAndTheLinesAndCarryTheirShares) {
  RecordingSurface s;
  ZoneGrid zones{};
  zones[0][0] = 30;
  zones[1][5] = 10;
  Draw_zone_pitch(s, zones, kRed, kWhite);
  const std::vector<std::string> drawn = s.DrawingStrings();
  ASSERT_GE(drawn.size(), 4u);
  EXPECT_EQ(drawn[0], "FilledBox (750,1000)-(8750,5000) c16777215 w1");
  // The busiest zone in three quarters of the team's colour, the other in a third of that.
  EXPECT_EQ(drawn[1], "FilledBox (750,1000)-(2083.3335,2333.3335) c" +
                          std::to_string(Rgb(255, 64, 64)) + " w1");
  EXPECT_EQ(drawn[2], "FilledBox (7416.667,2333.3335)-(8750,3666.667) c" +
                          std::to_string(Rgb(255, 191, 191)) + " w1");
  EXPECT_EQ(drawn[3], "Box (750,1000)-(8750,5000) c0 w1");  // then the lines
  const std::vector<RecordedOp> texts = OfKind(s, Kind::kText);
  ASSERT_EQ(texts.size(), 18u);
  EXPECT_EQ(texts[0].text, "75%");
  EXPECT_EQ(texts[11].text, "25%");
  EXPECT_EQ(texts[17].text, "0%");
}

TEST(AnalysisPageTest, MomentumBarsRiseForRedAndFallForTheOtherWithTheGoalsMarked) {
  MatchStats stats;
  stats.Header_rec.Team_2_color = kRed;
  stats.Header_rec.Team_1_color = kBlue;
  const ReportData report = ReportDataOf(stats, "060124_1.dat", " Half: 1st");
  const Momentum periods[] = {{{30, 0}, {}}, {{-60}, {{.minute = 0, .red = false}}}};
  const TeamAnalysis none;
  RecordingSurface s;
  Draw_momentum_chart(s, {report, none, none, periods}, 0, 0, 3000, 2400);
  // Three minutes of 1000 twips, the axis half way down the bars' box.
  const std::vector<RecordedOp> bars = OfKind(s, Kind::kFilledBox);
  ASSERT_EQ(bars.size(), 2u);
  const float axis = bars[0].a.y;
  EXPECT_EQ(bars[0].color, kRed);
  EXPECT_EQ(bars[0].a.x, 100);
  EXPECT_EQ(bars[1].color, kBlue);
  EXPECT_EQ(bars[1].a, (Pt{2100, axis}));
  EXPECT_FLOAT_EQ(axis - bars[0].b.y, (bars[1].b.y - axis) / 2);  // 30 s against 60
  const std::vector<RecordedOp> goals = OfKind(s, Kind::kCircle);
  ASSERT_EQ(goals.size(), 1u);
  EXPECT_EQ(goals[0].color, kBlue);
  EXPECT_EQ(goals[0].a.x, 2500);
  EXPECT_GT(goals[0].a.y, bars[1].b.y);  // under the other team's bars
  // The second period starts with a line across the box, and its minutes from 0.
  EXPECT_EQ(OfKind(s, Kind::kLine)[1].a.x, 2000);
  const std::vector<RecordedOp> texts = OfKind(s, Kind::kText);
  ASSERT_EQ(texts.size(), 4u);  // the key, then the minutes
  EXPECT_EQ(texts[1].text + texts[2].text + texts[3].text, "010");
}

}  // namespace
}  // namespace varrow
