#include <gtest/gtest.h>

#include "field/field.h"
#include "reports/report_drawing.h"
#include "surface/recording_surface.h"

namespace varrow {
namespace {

using Strings = std::vector<std::string>;

// The field as Draw_field draws it in black at a given width.
Strings Field(std::int16_t width) {
  RecordingSurface s;
  s.SetDrawWidth(width);
  Draw_field(s, kWhite);
  return s.DrawingStrings();
}

class ShotChartTest : public ::testing::Test {
 protected:
  ShotChartTest() {
    state_.Data_file_path = "/home/coach/120599_3.dat";
    // Second half: blue now plays on the left.
    state_.Team_2_name = "Blue Birds          ";
    state_.Team_1_name = "Red Lions           ";
    state_.Header_rec.Team_2_color = kBlue;
    state_.Header_rec.Team_1_color = kRed;
  }
  void AddShot(Team_stats& team, std::int16_t& count, std::array<float, 2> x,
               std::array<float, 2> y) {
    team.Shot_x.push_back(x);
    team.Shot_y.push_back(y);
    ++team.Shots;
    ++count;
  }
  void Draw() { Draw_shot_chart(surface_, state_, " Half: 2nd"); }
  std::vector<RecordedOp> Texts() const {
    std::vector<RecordedOp> out;
    for (const RecordedOp& op : surface_.ops()) {
      if (op.kind == RecordedOp::Kind::kText) out.push_back(op);
    }
    return out;
  }

  ProgramState state_;
  RecordingSurface surface_;
};

TEST_F(ShotChartTest, TitleAndLabelsMeetInTheMiddleInTheHeaderColours) {
  Draw();
  const std::vector<PrintedLine> lines = surface_.PrintedLines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].text, " ");
  EXPECT_EQ(lines[1].text, "120599_3.dat               SHOT CHART                Half: 2nd");
  EXPECT_EQ(lines[1].x, 4567.5f - 3720);  // 62 characters
  EXPECT_EQ(lines[2].text, " ");
  EXPECT_EQ(lines[3].text, "Blue Birds            -->  <--  Red Lions           ");

  const std::vector<RecordedOp> texts = Texts();
  ASSERT_EQ(texts.size(), 5u);
  EXPECT_EQ(texts[3].text, "Blue Birds            --> ");
  EXPECT_EQ(texts[3].a, (Pt{4567.5f - 26 * 120, 720}));  // ends at the middle
  EXPECT_EQ(texts[3].color, kBlue);
  EXPECT_EQ(texts[4].text, " <--  Red Lions           ");
  EXPECT_EQ(texts[4].a, (Pt{4567.5f, 720}));  // starts there
  EXPECT_EQ(texts[4].color, kRed);

  EXPECT_EQ(state_.Report_title, lines[1].text);
  EXPECT_EQ(state_.Left_team_label, "Blue Birds            --> ");
  EXPECT_EQ(state_.Right_team_label, " <--  Red Lions           ");
}

TEST_F(ShotChartTest, AnEmptyChartIsTheWhiteFieldInBlack) {
  Draw();
  EXPECT_EQ(surface_.DrawingStrings(), Field(1));
  EXPECT_EQ(surface_.ForeColor(), kBlack);
  EXPECT_EQ(surface_.DrawWidth(), 2);
}

TEST_F(ShotChartTest, ShotLinesInTheShootersColourRedFirst) {
  AddShot(state_.Blue_stats, state_.Blue_shot_count, {2000, 900}, {3000, 3100});
  AddShot(state_.Red_stats, state_.Red_shot_count, {7000, 8800}, {2000, 2900});
  AddShot(state_.Red_stats, state_.Red_shot_count, {6000, 8700}, {4000, 3000});
  Draw();
  Strings expected = Field(1);
  expected.push_back("Line (7000,2000)-(8800,2900) c255 w2");
  expected.push_back("Line (6000,4000)-(8700,3000) c255 w2");
  expected.push_back("Line (2000,3000)-(900,3100) c16711680 w2");
  EXPECT_EQ(surface_.DrawingStrings(), expected);
}

TEST_F(ShotChartTest, ASecondChartOnTheSameSurfaceDrawsTheFieldTwiceAsWide) {
  Draw();
  surface_.ClearLog();
  Draw();
  EXPECT_EQ(surface_.DrawingStrings(), Field(2));
}

TEST_F(ShotChartTest, NeverReadsPastWhatTheTablesHold) {
  AddShot(state_.Red_stats, state_.Red_shot_count, {7000, 8800}, {2000, 2900});
  state_.Red_shot_count = 5;
  Draw();
  EXPECT_EQ(surface_.DrawingStrings().size(), Field(1).size() + 1);
}

}  // namespace
}  // namespace varrow
