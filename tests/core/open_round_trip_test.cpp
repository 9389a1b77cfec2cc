// A period recorded, the program closed and started again, the file opened:
// the main window must show what it showed when the clock was stopped.
#include <gtest/gtest.h>

#include "datafile/cp1252.h"
#include "recorder_fixture.h"

namespace varrow {
namespace {

using testing::FakeControls;
using testing::FakeProgram;
using testing::RecorderFixture;

struct Screen {
  std::string left_name, right_name;
  Color left_color = 0, right_color = 0;
  std::string left_score, right_score, clock, period, file;
  bool left_has_ball = false;
  Color ball_color = 0;
  float ball_x = 0, ball_y = 0;
};

Screen Snapshot(const FakeControls& c, const ProgramState& s) {
  Screen out;
  out.left_name = c.Caption(MainControl::kText2);
  out.right_name = c.Caption(MainControl::kText1);
  out.left_color = c.ForeColor(MainControl::kText2);
  out.right_color = c.ForeColor(MainControl::kText1);
  out.left_score = c.Caption(MainControl::kLabel3);
  out.right_score = c.Caption(MainControl::kLabel4);
  out.clock = c.Caption(MainControl::kLabel5);
  out.period = c.Caption(MainControl::kLabel7);
  out.file = c.Caption(MainControl::kLabel6);
  out.left_has_ball = c.Visible(MainControl::kImage3);
  out.ball_color = s.form1.ball_path_color;
  out.ball_x = s.form1.X_1;
  out.ball_y = s.form1.Y_1;
  return out;
}

class OpenRoundTripTest : public RecorderFixture {
 protected:
  // A second run of the program with the settings the first one saved.
  std::unique_ptr<FakeProgram> Restart() {
    recorder_.Form_Unload();
    auto run = std::make_unique<FakeProgram>();
    run->settings_.values = settings_.values;
    run->recorder_.Form_Load();
    return run;
  }
};

TEST_F(OpenRoundTripTest, SecondHalfRecordedStoppedAndReopened) {
  // Names with trailing spaces, as the period window leaves them.
  controls_.SetCaption(MainControl::kText2, "Reds  ");
  New(1);
  Start();
  TickTo(12);
  Click(2000, 2000);
  TickTo(20);
  Click(600, 3000);  // right team scores: 0 : 1, the left team kicks off
  TickTo(31);
  Click(5000, 6000);  // over the bottom touchline: the ball goes to the right team
  TickTo(125);
  Click(7000, 2500);
  Stop();
  New(2);  // change of ends: the right team's name and score move to the left
  Start();
  TickTo(47);
  Click(8900, 3000);  // the team now on the left scores in the right goal
  Stop();
  const Screen before = Snapshot(controls_, state_);
  ASSERT_EQ(before.left_score, "2");
  ASSERT_EQ(before.right_score, "0");
  const std::string file = Path();

  auto run = Restart();
  run->controls_.open_dialog_answers.push_back(file);
  run->recorder_.mnuOpen_Click();
  ASSERT_TRUE(run->controls_.messages.empty()) << run->controls_.LastMessage();
  const Screen after = Snapshot(run->controls_, run->state_);

  EXPECT_EQ(after.left_name, PadOrCutUtf8(before.left_name, 20));
  EXPECT_EQ(after.right_name, PadOrCutUtf8(before.right_name, 20));
  EXPECT_EQ(after.left_color, before.left_color);
  EXPECT_EQ(after.right_color, before.right_color);
  EXPECT_EQ(after.left_score, before.left_score);
  EXPECT_EQ(after.right_score, before.right_score);
  EXPECT_EQ(after.clock, " 0:47");
  EXPECT_EQ(after.left_has_ball, before.left_has_ball);
  EXPECT_EQ(after.ball_color, before.ball_color);
  EXPECT_EQ(after.ball_x, before.ball_x);
  EXPECT_EQ(after.ball_y, before.ball_y);
  EXPECT_EQ(after.period, " Half: 2nd");
  EXPECT_EQ(after.file, " File: " + file);
  // The marker is drawn where the ball is, in the possession colour.
  const auto ops = run->surface_.DrawingStrings();
  ASSERT_FALSE(ops.empty());
  EXPECT_EQ(ops.back(), "Circle (8900,3000) r50 c" + std::to_string(before.ball_color) +
                            " w1 fill" + std::to_string(before.ball_color));

  // Recording goes on in the same file, after the STOP marker.
  const auto last = run->state_.Header_rec.Last_record;
  run->recorder_.Command2_Click();
  EXPECT_EQ(run->state_.form1.RecordNumber, last + 1);
  run->recorder_.Command2_Click();
  EXPECT_EQ(DiskHeader().Last_record, last + 2);
}

TEST_F(OpenRoundTripTest, NamesWithTrailingSpacesSurviveTheSettingsAndTheFile) {
  controls_.SetCaption(MainControl::kText2, "FC Ajax  ");
  New(1);
  Start();
  Stop();
  const std::string file = Path();
  auto run = Restart();
  EXPECT_EQ(run->controls_.Caption(MainControl::kText2), "FC Ajax  ");
  run->controls_.open_dialog_answers.push_back(file);
  run->recorder_.mnuOpen_Click();
  EXPECT_EQ(run->controls_.Caption(MainControl::kText2), "FC Ajax             ");
  run->recorder_.Form_Unload();
  EXPECT_EQ(run->settings_.values.at("Varrow/Startup/Team_2"), "FC Ajax             ");
}

}  // namespace
}  // namespace varrow
