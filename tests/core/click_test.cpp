#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <string>
#include <vector>

#include "recorder_fixture.h"

namespace varrow {
namespace {

using testing::FromHex;
using testing::Hex;
using testing::RecorderFixture;

class ClickTest : public RecorderFixture {
 protected:
  // The ten restart and goal flags in declaration order, for whole-state checks.
  std::vector<int> Flags() {
    const Form1State& f = v();
    return {f.Left_Goal_flag,
            f.Left_Top_Goal_Kick_flag,
            f.Left_Bottom_Goal_Kick_flag,
            f.Left_Top_Corner_Kick_flag,
            f.Left_Bottom_Corner_Kick_flag,
            f.Right_Goal_flag,
            f.Right_Top_Goal_Kick_flag,
            f.Right_Bottom_Goal_Kick_flag,
            f.Right_Top_Corner_Kick_flag,
            f.Right_Bottom_Corner_Kick_flag};
  }
  // Gives the ball to the right team by hand.
  void GiveBallToRight() {
    int key = 32;
    recorder_.Form_KeyDown(key, 0);
    ASSERT_TRUE(RightHasBall());
  }
};

// The worked sequence: New, START CLOCK at 0, six clicks.
struct WorkedStep {
  int clock;
  float x, y;
  std::vector<std::string> drawing;  // every surface operation of the click
  const char* record;                // the event record written
  std::int16_t ball_position;
  Color color_after;
  bool left_has_ball_after;
  const char* label3;
  const char* label4;
};

TEST_F(ClickTest, WorkedSequenceRecordsDrawsAndHandsOverExactly) {
  NewAndStart();
  EXPECT_EQ(RecordHex(4), "00 70 94 45 00 80 3B 45 00 00 FF 00 00 00 00 00 00 00 00 00");

  const std::vector<WorkedStep> steps = {
      {3,
       2000,
       2000,
       {"DrawWidth=1", "FillColor=255", "FillStyle=0", "Line (4750,3000)-(2000,2000) c255 w1",
        "Circle (2000,2000) r50 c255 w1 fill255", "FillStyle=1"},
       "00 00 FA 44 00 00 FA 44 03 00 FF 00 00 00 00 00 00 00 00 00",
       255,
       kRed,
       true,
       "0",
       "0"},
      {7,
       6000,
       0,
       {"DrawWidth=1", "FillColor=255", "FillStyle=0", "Line (2000,2000)-(4000,1000) c255 w1",
        "Circle (4000,1000) r50 c255 w1 fill255", "FillStyle=1"},
       "00 00 7A 45 00 00 7A 44 07 00 FF 00 00 00 00 00 00 00 00 00",
       255,
       kBlue,
       false,
       "0",
       "0"},
      {15,
       600,
       3000,
       {"DrawWidth=1", "FillColor=16711680", "FillStyle=0",
        "Line (4000,1000)-(600,3000) c16711680 w1",
        "Circle (600,3000) r50 c16711680 w1 fill16711680", "FillStyle=1"},
       "00 00 16 44 00 80 3B 45 0F 00 00 00 FF 00 00 00 01 00 00 00",
       0,
       kRed,
       true,
       "0",
       "1"},
      {30,
       4000,
       4000,
       {"DrawWidth=1", "FillColor=255", "FillStyle=0", "Line (4750,3000)-(4000,4000) c255 w1",
        "Circle (4000,4000) r50 c255 w1 fill255", "FillStyle=1"},
       "00 00 7A 45 00 00 7A 45 1E 00 FF 00 00 00 00 00 00 00 00 00",
       255,
       kRed,
       true,
       "0",
       "1"},
      {40,
       300,
       2000,
       {"DrawWidth=1", "FillColor=255", "FillStyle=0", "Line (4000,4000)-(300,2000) c255 w1",
        "Circle (300,2000) r50 c255 w1 fill255", "FillStyle=1"},
       "00 00 96 43 00 00 FA 44 28 00 FF 00 00 00 FF FF 00 00 00 00",
       6,
       kBlue,
       false,
       "0",
       "1"},
      {45,
       750,
       1000,
       {"DrawWidth=1", "FillColor=16711680", "FillStyle=0", "Cls",
        "Circle (750,1000) r50 c16711680 w1 fill16711680", "FillStyle=1"},
       "00 80 3B 44 00 00 7A 44 2D 00 00 00 FF 00 00 00 00 00 00 00",
       255,
       kBlue,
       false,
       "0",
       "1"},
  };
  int record = 4;
  for (const WorkedStep& step : steps) {
    SCOPED_TRACE("click at clock " + std::to_string(step.clock));
    TickTo(step.clock);
    surface_.ClearLog();
    Click(step.x, step.y);
    ++record;
    EXPECT_EQ(Ops(), step.drawing);
    EXPECT_EQ(RecordHex(record), step.record);
    EXPECT_EQ(v().RecordNumber, record);
    EXPECT_EQ(DiskHeader().Last_record, record);
    EXPECT_EQ(state_.Header_rec, DiskHeader());
    EXPECT_EQ(state_.Event_rec, DiskEvent(record));
    EXPECT_EQ(v().Ball_position, step.ball_position);
    EXPECT_EQ(v().ball_path_color, step.color_after);
    EXPECT_EQ(LeftHasBall(), step.left_has_ball_after);
    EXPECT_NE(LeftHasBall(), RightHasBall());
    EXPECT_EQ(Caption(MainControl::kLabel3), step.label3);
    EXPECT_EQ(Caption(MainControl::kLabel4), step.label4);
  }
  EXPECT_FLOAT_EQ(v().m, -0.5f);
  EXPECT_EQ(v().Left_Top_Corner_Kick_flag, 0);  // cleared by the last click
  EXPECT_EQ(state_.Score_1, 1);

  // The whole file, worked out by hand from the record layouts.
  const std::string golden =
      "52 65 64 73 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 "  // "Reds"
      "42 6C 75 65 73 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 "  // "Blues"
      "FF 00 00 00 00 00 FF 00 0A 00 2D 00 00 00 01 00 01 00 00 00 "  // header: 10, 45 s, 0:1
      "00 70 94 45 00 80 3B 45 00 00 FF 00 00 00 00 00 00 00 00 00 "  // 4 START (4750, 3000)
      "00 00 FA 44 00 00 FA 44 03 00 FF 00 00 00 00 00 00 00 00 00 "  // 5 (2000, 2000)
      "00 00 7A 45 00 00 7A 44 07 00 FF 00 00 00 00 00 00 00 00 00 "  // 6 (4000, 1000)
      "00 00 16 44 00 80 3B 45 0F 00 00 00 FF 00 00 00 01 00 00 00 "  // 7 goal (600, 3000)
      "00 00 7A 45 00 00 7A 45 1E 00 FF 00 00 00 00 00 00 00 00 00 "  // 8 (4000, 4000)
      "00 00 96 43 00 00 FA 44 28 00 FF 00 00 00 FF FF 00 00 00 00 "  // 9 corner (300, 2000)
      "00 80 3B 44 00 00 7A 44 2D 00 00 00 FF 00 00 00 00 00 00 00";  // 10 (750, 1000)
  EXPECT_EQ(Hex(Bytes()), Hex(FromHex(golden)));

  Stop();
  EXPECT_EQ(RecordHex(11), "00 80 3B 44 00 00 7A 44 2D 00 00 00 FF 00 00 00 00 00 00 00");
  EXPECT_EQ(RecordHex(3), "FF 00 00 00 00 00 FF 00 0B 00 2D 00 00 00 01 00 01 00 00 00");
}

TEST_F(ClickTest, ClickWhileStoppedOnlyWarnsAndClearsThePossessionFlag) {
  New(1);
  controls_.messages.clear();
  surface_.ClearLog();
  const auto before = Bytes();
  v().change_possesion_flag = -1;
  Click(6000, 0);
  EXPECT_EQ(controls_.messages, testing::OneWarning("Must START CLOCK\r\n to enter data"));
  EXPECT_EQ(v().change_possesion_flag, 0);
  EXPECT_EQ(v().X_1, 4750.0f);
  EXPECT_EQ(v().RecordNumber, 3);
  EXPECT_TRUE(Ops().empty());
  EXPECT_EQ(Bytes(), before);
}

TEST_F(ClickTest, ClickStraightAboveThePreviousPositionKeepsItsX) {
  NewAndStart();
  Click(3000, 2000);
  v().m = 123;  // must not be touched: no slope without a change in X
  Click(3000, 200);
  EXPECT_EQ(v().X_1, 3000.0f);
  EXPECT_EQ(v().Y_1, 1000.0f);
  EXPECT_EQ(v().m, 123.0f);
  EXPECT_EQ(v().Ball_position, 255);
  EXPECT_EQ(v().ball_path_color, kBlue);  // a throw-in for the other team
}

TEST_F(ClickTest, ClickBelowTheBottomTouchlineIsTakenWhereThePathCrossesIt) {
  NewAndStart();
  Click(2000, 4000);
  Click(4000, 6000);  // slope 1: crosses y = 5000 at x = 3000
  EXPECT_FLOAT_EQ(v().m, 1.0f);
  EXPECT_EQ(DiskEvent(6).X, 3000.0f);
  EXPECT_EQ(DiskEvent(6).Y, 5000.0f);
  EXPECT_TRUE(RightHasBall());
}

// Found by the soak: the crossing came out at x -0.00000095, outside the
// window, so the file held a position that Open refuses.
TEST_F(ClickTest, TheTouchlineCrossingNeverLeavesThePathThroughRounding) {
  NewAndStart();
  Click(15, 3000);
  Click(0, std::nextafter(1000.0f, 0.0f));
  EXPECT_EQ(DiskEvent(6).X, 0.0f);
  EXPECT_EQ(DiskEvent(6).Y, 1000.0f);
}

TEST_F(ClickTest, ACrossingFromAPositionBeyondTheSameTouchlineStaysOnThePath) {
  NewAndStart();
  // As a file accepted by Open can leave the ball: above the top touchline.
  v().X_1 = 100;
  v().Y_1 = 500;
  Click(9000, 400);  // the line through both points meets y = 1000 at x -44400
  EXPECT_EQ(DiskEvent(5).X, 100.0f);
  EXPECT_EQ(DiskEvent(5).Y, 1000.0f);
}

TEST_F(ClickTest, TouchlineThenGoalLineSwitchesPossessionOnce) {
  NewAndStart();
  Click(1000, 2000);
  // Out over the top touchline; the crossing (0, 1000) lies behind the left
  // goal: a corner, since the left team put it out over its own goal line.
  Click(-1000, 0);
  EXPECT_EQ(v().X_1, 0.0f);
  EXPECT_EQ(v().Y_1, 1000.0f);
  EXPECT_EQ(v().Left_Top_Corner_Kick_flag, -1);
  EXPECT_EQ(DiskEvent(6).Corner_flag, -1);
  EXPECT_EQ(v().Ball_position, 6);
  EXPECT_EQ(v().ball_path_color, kBlue);
  EXPECT_TRUE(RightHasBall());
  EXPECT_FALSE(LeftHasBall());
}

// Thresholds, each from the kick-off with the left (red) team on the ball.
struct Threshold {
  float x, y;
  const char* what;
  std::int16_t ball_position;  // 255 in play, 0 goal, 1..8 restart
  int corner;
  int left_goal;
  int right_goal;
};

class ThresholdTest : public ClickTest, public ::testing::WithParamInterface<Threshold> {};

TEST_P(ThresholdTest, AllBoundariesAreStrict) {
  const Threshold& t = GetParam();
  NewAndStart();
  Click(t.x, t.y);
  const Event_record e = DiskEvent(5);
  EXPECT_EQ(e.X, t.x);
  EXPECT_EQ(e.Y, t.y);  // never projected
  EXPECT_EQ(v().Ball_position, t.ball_position);
  EXPECT_EQ(e.Corner_flag, t.corner);
  EXPECT_EQ(e.Left_goal, t.left_goal);
  EXPECT_EQ(e.Right_goal, t.right_goal);
}

INSTANTIATE_TEST_SUITE_P(
    Field, ThresholdTest,
    ::testing::Values(Threshold{4000, 1000, "on the top touchline", 255, 0, 0, 0},
                      Threshold{4000, 5000, "on the bottom touchline", 255, 0, 0, 0},
                      Threshold{750, 1000, "on the goal line and touchline", 255, 0, 0, 0},
                      Threshold{750, 3000, "on the left goal line", 255, 0, 0, 0},
                      Threshold{8750, 3000, "on the right goal line", 255, 0, 0, 0},
                      Threshold{450, 3000, "left strip, x 450", 0, 0, 1, 0},
                      Threshold{600, 2750, "left goal mouth, top post", 0, 0, 1, 0},
                      Threshold{600, 3250, "left goal mouth, bottom post", 0, 0, 1, 0},
                      Threshold{600, 2749, "left strip above the goal", 6, -1, 0, 0},
                      Threshold{600, 3251, "left strip below the goal", 5, -1, 0, 0},
                      Threshold{449, 3000, "behind the left goal, y 3000", 5, -1, 0, 0},
                      Threshold{449, 2999, "behind the left goal, top half", 6, -1, 0, 0},
                      Threshold{9050, 3000, "right strip, x 9050", 0, 0, 0, 1},
                      Threshold{8900, 2750, "right goal mouth, top post", 0, 0, 0, 1},
                      Threshold{8900, 3250, "right goal mouth, bottom post", 0, 0, 0, 1},
                      Threshold{8900, 2749, "right strip above the goal", 4, 0, 0, 0},
                      Threshold{8900, 3251, "right strip below the goal", 3, 0, 0, 0},
                      Threshold{9051, 3000, "behind the right goal, y 3000", 3, 0, 0, 0},
                      Threshold{9051, 2999, "behind the right goal, top half", 4, 0, 0, 0}),
    [](const ::testing::TestParamInfo<Threshold>& param) {
      std::string name = std::to_string(param.index) + "_";
      for (const char* c = param.param.what; *c; ++c) {
        if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
      }
      return name;
    });

TEST_F(ClickTest, GoalLineOutcomeDependsOnWhoPutTheBallOut) {
  NewAndStart();
  GiveBallToRight();
  // The right team shoots wide of the left goal: goal kick for the left team.
  Click(300, 4000);
  EXPECT_EQ(v().Left_Bottom_Goal_Kick_flag, -1);
  EXPECT_EQ(DiskEvent(5).Corner_flag, 0);
  EXPECT_EQ(DiskEvent(5).Team_color, kBlue);
  EXPECT_EQ(v().Ball_position, 1);
  EXPECT_TRUE(LeftHasBall());
  EXPECT_EQ(v().ball_path_color, kRed);
  // The left team, now on the ball, puts it over the right goal line: goal kick.
  Click(9500, 1500);
  EXPECT_EQ(v().Right_Top_Goal_Kick_flag, -1);
  EXPECT_EQ(v().Ball_position, 4);
  EXPECT_TRUE(RightHasBall());
  // The right team puts it over its own goal line: corner for the left team.
  Click(9500, 4500);
  EXPECT_EQ(v().Right_Bottom_Corner_Kick_flag, -1);
  EXPECT_EQ(DiskEvent(7).Corner_flag, -1);
  EXPECT_EQ(v().Ball_position, 7);
  EXPECT_TRUE(LeftHasBall());
}

TEST_F(ClickTest, OwnGoalCountsForTheOtherTeamWithoutAChangeOfPossession) {
  NewAndStart();
  Click(600, 3000);  // the left team, on the ball, puts it into its own goal
  EXPECT_EQ(state_.Score_1, 1);
  EXPECT_EQ(state_.Score_2, 0);
  EXPECT_EQ(Caption(MainControl::kLabel4), "1");
  EXPECT_EQ(Caption(MainControl::kLabel3), "0");
  EXPECT_TRUE(LeftHasBall());
  EXPECT_EQ(v().ball_path_color, kRed);
  EXPECT_EQ(v().change_possesion_flag, 0);
  EXPECT_EQ(DiskEvent(5).Left_goal, 1);
  EXPECT_EQ(DiskHeader().Score_1, 1);
}

TEST_F(ClickTest, GoalByTheLeftTeamHandsTheKickOffToTheRight) {
  NewAndStart();
  // The first click after kick-off: drawn from the centre, and its goal flag
  // must survive that.
  Click(8900, 3000);
  EXPECT_EQ(state_.Score_2, 1);
  EXPECT_EQ(Caption(MainControl::kLabel3), "1");
  EXPECT_EQ(DiskEvent(5).Right_goal, 1);
  EXPECT_EQ(DiskEvent(5).Left_goal, 0);
  EXPECT_EQ(DiskEvent(5).Team_color, kRed);
  EXPECT_EQ(DiskHeader().Score_2, 1);
  EXPECT_TRUE(RightHasBall());
  EXPECT_EQ(v().Right_Goal_flag, -1);
  EXPECT_EQ(v().Ball_position, 0);
  surface_.ClearLog();
  Click(5000, 2000);  // the right team's kick-off
  EXPECT_EQ(Ops()[3], "Line (4750,3000)-(5000,2000) c16711680 w1");
}

TEST_F(ClickTest, ASetPieceRightAfterUndoKeepsItsFlag) {
  NewAndStart();
  Click(2000, 2000);
  recorder_.Command1_Click();
  Click(300, 2000);  // corner, drawn from the position before the undone click
  EXPECT_EQ(v().Left_Top_Corner_Kick_flag, -1);
  EXPECT_EQ(v().Ball_position, 6);
  surface_.ClearLog();
  Click(1000, 1500);
  EXPECT_EQ(Ops()[3], "Cls");
}

TEST_F(ClickTest, GoalThenFoulThenClickDoesNotSendThePathToTheCentre) {
  NewAndStart();
  Click(8900, 3000);
  recorder_.Command6_Click();
  Click(5000, 2000);  // the free kick
  EXPECT_EQ(v().Ball_position, 255);
  surface_.ClearLog();
  Click(5500, 2500);
  EXPECT_EQ(Ops()[3], "Line (5000,2000)-(5500,2500) c16711680 w1");
}

TEST_F(ClickTest, CornerThenFoulClearsTwice) {
  NewAndStart();
  Click(300, 2000);  // corner for the right team
  recorder_.Command6_Click();
  surface_.ClearLog();
  Click(1000, 1200);  // the foul's free kick: cleared, marker alone
  EXPECT_EQ(Ops()[3], "Cls");
  EXPECT_EQ(v().Left_Top_Corner_Kick_flag, -1);  // the corner is still pending
  EXPECT_EQ(v().Ball_position, 6);
  surface_.ClearLog();
  Click(1500, 1500);  // cleared again, a fresh path
  EXPECT_EQ(Ops()[3], "Cls");
  EXPECT_EQ(v().Left_Top_Corner_Kick_flag, 0);
  EXPECT_EQ(v().Ball_position, 255);
  surface_.ClearLog();
  Click(2000, 1500);
  EXPECT_EQ(Ops()[3], "Line (1500,1500)-(2000,1500) c16711680 w1");
}

TEST_F(ClickTest, AfterUndoTheLineStartsBeforeTheUndoneClickButProjectionUsesIt) {
  NewAndStart();
  Click(2000, 2000);
  Click(3000, 2000);
  recorder_.Command1_Click();
  surface_.ClearLog();
  // Projection from the undone (3000, 2000): slope -1, crossing at x = 4000.
  Click(5000, 0);
  EXPECT_EQ(Ops()[3], "Line (2000,2000)-(4000,1000) c255 w1");
  EXPECT_EQ(v().RecordNumber, 6);  // the number the undone click had
  EXPECT_EQ(DiskEvent(6).X, 4000.0f);
  EXPECT_EQ(DiskHeader().Last_record, 6);
  EXPECT_EQ(Flags(), std::vector<int>(10, 0));
}

TEST_F(ClickTest, AClickAfterOpenContinuesFromTheRestoredMarker) {
  NewAndStart();
  Click(2000, 2000);
  v().Ball_position = 1000;  // what Open leaves: draws like ordinary play
  surface_.ClearLog();
  Click(2500, 2500);
  EXPECT_EQ(Ops()[3], "Line (2000,2000)-(2500,2500) c255 w1");
  EXPECT_EQ(v().Ball_position, 255);
}

}  // namespace
}  // namespace varrow
