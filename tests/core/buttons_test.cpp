#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "recorder_fixture.h"

namespace varrow {
namespace {

using testing::RecorderFixture;

class ButtonsTest : public RecorderFixture {
 protected:
  void Shot() { recorder_.Command5_Click(); }
  void Foul() { recorder_.Command6_Click(); }
  void Undo() { recorder_.Command1_Click(); }
  void ClearScreen() { recorder_.Command7_Click(); }
  int Key(int code) {
    recorder_.Form_KeyDown(code, 0);
    return code;
  }
};

TEST_F(ButtonsTest, EveryButtonIsRefusedWhileTheClockIsStopped) {
  New(1);
  Click(2000, 2000);  // refused as well: the state stays that of New
  const std::vector<std::function<void()>> buttons = {[&] { Shot(); }, [&] { Foul(); },
                                                      [&] { Undo(); }, [&] { ClearScreen(); }};
  for (const auto& press : buttons) {
    controls_.messages.clear();
    surface_.ClearLog();
    const Form1State before = v();
    const auto bytes = Bytes();
    press();
    EXPECT_EQ(controls_.messages, testing::OneWarning("Must START CLOCK\r\n to enter data"));
    EXPECT_EQ(v().Ball_position, before.Ball_position);
    EXPECT_EQ(v().RecordNumber, before.RecordNumber);
    EXPECT_TRUE(Ops().empty());
    EXPECT_EQ(Bytes(), bytes);
  }
}

TEST_F(ButtonsTest, ShotRightAfterStartMarksTheStartMarker) {
  NewAndStart();
  Shot();
  EXPECT_EQ(RecordHex(4), "00 70 94 45 00 80 3B 45 00 00 FF 00 00 00 00 00 00 00 FF FF");
  EXPECT_EQ(DiskHeader().Last_record, 4);
  EXPECT_EQ(v().RecordNumber, 4);
  EXPECT_EQ(state_.Event_rec.Shot_flag, 0);
}

TEST_F(ButtonsTest, ShotChangesOnlyTheShotFieldOfTheLatestClick) {
  NewAndStart();
  Click(8000, 2900);
  auto before = Record(5);
  const auto header = RecordHex(3);
  Shot();
  auto after = Record(5);
  before[18] = before[19] = 0xFF;
  EXPECT_EQ(after, before);
  EXPECT_EQ(RecordHex(3), header);
  EXPECT_EQ(Bytes().size(), 100u);
  const auto once = Bytes();
  Shot();  // a second SHOT on the same record changes nothing
  EXPECT_EQ(Bytes(), once);
  // The next click is no shot.
  Click(8500, 3000);
  EXPECT_EQ(DiskEvent(6).Shot_flag, 0);
}

TEST_F(ButtonsTest, ShotAfterUndoMarksTheRecordOnDiskNotTheUndoneClick) {
  NewAndStart();
  Click(7000, 2000);
  Click(8900, 3000);  // a goal, then taken back
  Undo();
  auto record_5 = Record(5);
  Shot();
  record_5[18] = record_5[19] = 0xFF;
  EXPECT_EQ(Record(5), record_5);
  EXPECT_EQ(DiskEvent(5).X, 7000.0f);
  EXPECT_EQ(DiskEvent(5).Right_goal, 0);
}

TEST_F(ButtonsTest, ShotWithNoEventToMarkDoesNothing) {
  NewAndStart();
  Undo();  // takes back the START marker
  ASSERT_EQ(v().RecordNumber, 3);
  const auto bytes = Bytes();
  Shot();
  EXPECT_EQ(Bytes(), bytes);
  EXPECT_TRUE(controls_.messages.empty());
  EXPECT_TRUE(controls_.TimerEnabled());
}

TEST_F(ButtonsTest, FoulOnlySetsTheDrawingMode) {
  NewAndStart();
  Click(3000, 3000);
  const auto bytes = Bytes();
  surface_.ClearLog();
  Foul();
  EXPECT_EQ(v().Ball_position, 9);
  EXPECT_TRUE(Ops().empty());
  EXPECT_EQ(Bytes(), bytes);
  EXPECT_TRUE(LeftHasBall());
  EXPECT_EQ(v().ball_path_color, kRed);
  Click(3500, 3000);  // the free kick: a fresh path, no change of possession
  EXPECT_EQ(Ops()[3], "Cls");
  EXPECT_TRUE(LeftHasBall());
}

TEST_F(ButtonsTest, UndoAfterAGoalTakesItBackOnceAndHandsTheBallBack) {
  NewAndStart();
  Click(8900, 3000);  // the left team scores; the right team kicks off
  ASSERT_EQ(state_.Score_2, 1);
  ASSERT_TRUE(RightHasBall());
  surface_.ClearLog();
  Undo();
  EXPECT_EQ(state_.Score_2, 0);
  EXPECT_EQ(Caption(MainControl::kLabel3), "0");
  EXPECT_TRUE(LeftHasBall());
  EXPECT_FALSE(RightHasBall());
  EXPECT_EQ(v().ball_path_color, kRed);
  EXPECT_EQ(v().Ball_position, 11);
  EXPECT_EQ(v().Right_Goal_flag, 0);
  EXPECT_EQ(v().RecordNumber, 4);
  EXPECT_TRUE(Ops().empty());  // nothing redrawn
  // The header agrees with the screen at once.
  EXPECT_EQ(DiskHeader().Last_record, 4);
  EXPECT_EQ(DiskHeader().Score_2, 0);

  Undo();  // takes back the START marker: no goal there, no possession change
  EXPECT_EQ(state_.Score_2, 0);
  EXPECT_TRUE(LeftHasBall());
  EXPECT_EQ(v().RecordNumber, 3);
}

TEST_F(ButtonsTest, TheScoreFollowsTheRecordsThatRemain) {
  NewAndStart();
  Click(8900, 3000);  // goal: 1 : 0
  Click(5000, 3000);  // the kick-off
  Undo();
  EXPECT_EQ(state_.Score_2, 1);
  Undo();  // the goal record itself
  EXPECT_EQ(state_.Score_2, 0);
  EXPECT_EQ(Caption(MainControl::kLabel3), "0");
  EXPECT_EQ(DiskHeader().Score_2, 0);
  EXPECT_EQ(DiskHeader().Last_record, 4);
}

TEST_F(ButtonsTest, UndoAfterANewFileNeverTakesAGoalOfTheLastFile) {
  NewAndStart();
  Click(600, 3000);  // 0 : 1
  Stop();
  New(1);
  Start();
  Undo();  // the START marker of the new file
  EXPECT_EQ(state_.Score_1, 0);
  EXPECT_EQ(Caption(MainControl::kLabel4), "0");
}

TEST_F(ButtonsTest, UndoOfAClickWithoutAChangeOfPossessionLeavesPossession) {
  NewAndStart();
  Undo();  // right after START
  EXPECT_TRUE(LeftHasBall());
  EXPECT_EQ(v().ball_path_color, kRed);
  Click(2000, 2000);
  Click(2500, 2500);
  Undo();
  EXPECT_TRUE(LeftHasBall());
  EXPECT_EQ(v().ball_path_color, kRed);
}

TEST_F(ButtonsTest, UndoNeverReachesTheHeaderOrTheNames) {
  NewAndStart();
  Undo();
  const auto bytes = Bytes();
  Undo();
  Undo();
  EXPECT_EQ(v().RecordNumber, 3);
  EXPECT_EQ(v().Ball_position, 11);
  EXPECT_EQ(Bytes(), bytes);
  EXPECT_EQ(DiskHeader().Last_record, 3);
  Click(2000, 2000);
  EXPECT_EQ(v().RecordNumber, 4);
  EXPECT_EQ(DiskEvent(4).X, 2000.0f);
  EXPECT_EQ(RecordHex(1), "52 65 64 73 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20");
  EXPECT_EQ(DiskHeader().Team_1_color, kBlue);
}

TEST_F(ButtonsTest, UndoDoesNotReverseASwitchByKey) {
  NewAndStart();
  Click(2000, 2000);
  Key(32);
  Undo();
  EXPECT_TRUE(RightHasBall());
  EXPECT_EQ(v().ball_path_color, kBlue);
}

TEST_F(ButtonsTest, ThreeClicksUndoAndStopMakeA140ByteFile) {
  NewAndStart();
  Click(2000, 2000);
  Click(3000, 2000);
  Click(4000, 2000);
  Undo();
  TickTo(9);
  Stop();
  EXPECT_EQ(Bytes().size(), 140u);
  EXPECT_EQ(DiskHeader().Last_record, 7);
  // The STOP marker overwrote the undone click; it holds X_1, which UNDO
  // leaves at the undone position.
  EXPECT_EQ(DiskEvent(7).X, 4000.0f);
  EXPECT_EQ(DiskEvent(7).Clock_seconds, 9);
  EXPECT_EQ(DiskEvent(6).X, 3000.0f);
}

TEST_F(ButtonsTest, ClearScreenWipesThePathAndRedrawsTheBall) {
  NewAndStart();
  Click(300, 2000);  // corner for the right team: the next click restarts
  surface_.ClearLog();
  ClearScreen();
  EXPECT_EQ(Ops(), (std::vector<std::string>{"Cls", "FillColor=16711680", "FillStyle=0",
                                             "Circle (300,2000) r50 c16711680 w1 fill16711680",
                                             "FillStyle=1"}));
  EXPECT_EQ(v().Ball_position, 6);
  surface_.ClearLog();
  Click(600, 1800);
  EXPECT_EQ(Ops()[3], "Cls");  // the restart still clears
}

TEST_F(ButtonsTest, SpaceBarSwitchesPossessionAndIsConsumed) {
  NewAndStart();
  surface_.ClearLog();
  EXPECT_EQ(Key(32), 0);
  EXPECT_TRUE(RightHasBall());
  EXPECT_FALSE(LeftHasBall());
  EXPECT_EQ(v().ball_path_color, kBlue);
  EXPECT_EQ(v().change_possesion_flag, 0);
  EXPECT_TRUE(Ops().empty());  // the clock runs: nothing redrawn
  EXPECT_EQ(Key(32), 0);
  EXPECT_TRUE(LeftHasBall());
  EXPECT_EQ(v().ball_path_color, kRed);
  EXPECT_EQ(Key(65), 65);  // any other key is left alone
  EXPECT_TRUE(LeftHasBall());
}

TEST_F(ButtonsTest, SpaceBarBeforeKickOffRecoloursTheCentreBall) {
  New(1);
  surface_.ClearLog();
  EXPECT_EQ(Key(32), 0);
  EXPECT_EQ(Ops(), (std::vector<std::string>{"FillColor=16711680", "FillStyle=0",
                                             "Circle (4750,3000) r50 c16711680 w1 fill16711680",
                                             "FillStyle=1"}));
  // The first click starts from the team chosen this way.
  Start();
  Click(2000, 2000);
  EXPECT_EQ(DiskEvent(4).Team_color, kBlue);
  EXPECT_EQ(DiskEvent(5).Team_color, kBlue);
}

TEST_F(ButtonsTest, SpaceBarAfterKickOffOrWithoutANewFileOnlySwitches) {
  // No New since start-up.
  Key(32);
  EXPECT_TRUE(Ops().empty());
  EXPECT_TRUE(RightHasBall());
  // A new file whose clock has run.
  New(1);
  Start();
  recorder_.Timer1_Timer();
  Stop();
  surface_.ClearLog();
  Key(32);
  EXPECT_TRUE(Ops().empty());
}

}  // namespace
}  // namespace varrow
