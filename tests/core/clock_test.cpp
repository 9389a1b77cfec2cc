#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "recorder_fixture.h"

namespace varrow {
namespace {

using testing::RecorderFixture;

class ClockTest : public RecorderFixture {};

TEST_F(ClockTest, DisplayCountsMinutesAndSecondsWithALeadingBlank) {
  NewAndStart();
  EXPECT_EQ(Caption(MainControl::kLabel5), "0:00");  // New's own text, no blank
  recorder_.Timer1_Timer();
  EXPECT_EQ(Caption(MainControl::kLabel5), " 0:01");
  TickTo(307);
  EXPECT_EQ(Caption(MainControl::kLabel5), " 5:07");
  EXPECT_EQ(v().Seconds, 7);
  EXPECT_EQ(v().Minutes, 5);
  EXPECT_EQ(v().StrSeconds, "07");
  EXPECT_EQ(v().StrMinutes, " 5");
  TickTo(3599);
  EXPECT_EQ(Caption(MainControl::kLabel5), " 59:59");
  recorder_.Timer1_Timer();
  EXPECT_EQ(Caption(MainControl::kLabel5), " 60:00");
  // From 100 minutes on the true minutes show; the display never falls back.
  TickTo(5999);
  EXPECT_EQ(Caption(MainControl::kLabel5), " 99:59");
  recorder_.Timer1_Timer();
  EXPECT_EQ(Caption(MainControl::kLabel5), " 100:00");
  TickTo(6060);
  EXPECT_EQ(Caption(MainControl::kLabel5), " 101:00");
}

TEST_F(ClockTest, CountStopsAt32767SecondsAndRecordingGoesOn) {
  NewAndStart();
  state_.Elapsed_seconds = 32766;
  recorder_.Timer1_Timer();
  EXPECT_EQ(state_.Elapsed_seconds, 32767);
  EXPECT_EQ(Caption(MainControl::kLabel5), " 546:07");
  recorder_.Timer1_Timer();
  recorder_.Timer1_Timer();
  EXPECT_EQ(state_.Elapsed_seconds, 32767);
  EXPECT_EQ(Caption(MainControl::kLabel5), " 546:07");
  Click(2000, 2000);
  EXPECT_EQ(DiskEvent(5).Clock_seconds, 32767);
  EXPECT_EQ(DiskHeader().Clock_seconds, 32767);
}

TEST_F(ClockTest, AClockBelowZeroFromADamagedFileShowsAMinusSignBeforeItsSize) {
  NewAndStart();
  for (const auto& [before_tick, caption] : {std::pair{-191, "-3:10"}, {-31, "-0:30"}}) {
    state_.Elapsed_seconds = static_cast<std::int16_t>(before_tick);
    recorder_.Timer1_Timer();
    EXPECT_EQ(Caption(MainControl::kLabel5), caption);
  }
}

TEST_F(ClockTest, ATickWhileStoppedDoesNotCount) {
  New(1);
  recorder_.Timer1_Timer();
  EXPECT_EQ(state_.Elapsed_seconds, 0);
  EXPECT_EQ(Caption(MainControl::kLabel5), "0:00");
}

TEST_F(ClockTest, StartWithoutADataFileIsRefusedButClearsThePossessionFlag) {
  v().change_possesion_flag = -1;
  recorder_.Command2_Click();
  EXPECT_EQ(controls_.messages,
            testing::OneWarning("Must create NEW  or OPEN data file\r\nto START CLOCK"));
  EXPECT_EQ(v().change_possesion_flag, 0);
  EXPECT_FALSE(controls_.TimerEnabled());
  EXPECT_EQ(Caption(MainControl::kCommand2), "START CLOCK");
  EXPECT_FALSE(recorder_.FileOpen());
  EXPECT_EQ(v().RecordNumber, 0);
  EXPECT_TRUE(std::filesystem::is_empty(dir_.path()));
}

TEST_F(ClockTest, StartAppendsAMarkerAndCountsItStopAppendsAnotherAndCloses) {
  New(1);
  Start();
  EXPECT_TRUE(controls_.TimerEnabled());
  EXPECT_EQ(Caption(MainControl::kCommand2), "STOP CLOCK");
  EXPECT_TRUE(controls_.Locked(MainControl::kText1));
  EXPECT_TRUE(controls_.Locked(MainControl::kText2));
  EXPECT_TRUE(recorder_.FileOpen());
  EXPECT_EQ(v().RecordNumber, 4);
  // The ball on the centre spot, red, clock 0, no flags.
  EXPECT_EQ(RecordHex(4), "00 70 94 45 00 80 3B 45 00 00 FF 00 00 00 00 00 00 00 00 00");
  // The header counts the marker at once.
  EXPECT_EQ(RecordHex(3), "FF 00 00 00 00 00 FF 00 04 00 00 00 00 00 00 00 01 00 00 00");

  Stop();
  EXPECT_FALSE(controls_.TimerEnabled());
  EXPECT_EQ(Caption(MainControl::kCommand2), "START CLOCK");
  EXPECT_FALSE(controls_.Locked(MainControl::kText1));
  EXPECT_FALSE(controls_.Locked(MainControl::kText2));
  EXPECT_FALSE(recorder_.FileOpen());
  EXPECT_EQ(v().RecordNumber, 5);
  EXPECT_EQ(RecordHex(5), RecordHex(4));
  EXPECT_EQ(DiskHeader().Last_record, 5);
  EXPECT_EQ(Bytes().size(), 100u);
  EXPECT_EQ(state_.Header_rec, DiskHeader());
}

TEST_F(ClockTest, StopAndStartResumeTheClockAndMarkTheLastBallPosition) {
  NewAndStart();
  TickTo(4);
  Click(2000, 2000);
  TickTo(9);
  Click(6000, 0);  // out over the top touchline at (4000, 1000): blue's throw-in
  TickTo(10);
  Stop();
  recorder_.Timer1_Timer();  // a stray tick after the stop
  Start();
  EXPECT_EQ(state_.Elapsed_seconds, 10);
  recorder_.Timer1_Timer();
  EXPECT_EQ(Caption(MainControl::kLabel5), " 0:11");

  const Event_record stop = DiskEvent(7);
  const Event_record start = DiskEvent(8);
  for (const Event_record& marker : {stop, start}) {
    EXPECT_EQ(marker.X, 4000.0f);
    EXPECT_EQ(marker.Y, 1000.0f);
    EXPECT_EQ(marker.Team_color, kBlue);
    EXPECT_EQ(marker.Clock_seconds, 10);
    EXPECT_EQ(marker.Corner_flag, 0);
    EXPECT_EQ(marker.Left_goal + marker.Right_goal + marker.Shot_flag, 0);
  }
  EXPECT_EQ(DiskHeader().Last_record, 8);
}

TEST_F(ClockTest, StartAndStopClearThePossessionAndGoalFlags) {
  NewAndStart();
  Click(8900, 3000);  // a goal for the left team, which also hands the ball over
  EXPECT_EQ(v().Right_Goal_flag, -1);
  EXPECT_EQ(v().change_possesion_flag, -1);
  Stop();
  EXPECT_EQ(v().Right_Goal_flag, 0);
  EXPECT_EQ(v().change_possesion_flag, 0);
  v().Right_Goal_flag = -1;
  v().change_possesion_flag = -1;
  Start();
  EXPECT_EQ(v().Right_Goal_flag, 0);
  EXPECT_EQ(v().change_possesion_flag, 0);
}

TEST_F(ClockTest, StopWritesTheScoreTheScreenShows) {
  NewAndStart();
  Click(8900, 3000);           // the left team scores
  recorder_.Command1_Click();  // ... and it is taken back
  Stop();
  EXPECT_EQ(Caption(MainControl::kLabel3), "0");
  const Header_record h = DiskHeader();
  EXPECT_EQ(h.Score_2, 0);
  EXPECT_EQ(h.Score_1, 0);
  EXPECT_EQ(h.Last_record, 5);  // START marker, then the STOP marker over the undone goal
  EXPECT_EQ(h.Team_2_color, kRed);
  EXPECT_EQ(h.Team_1_color, kBlue);
}

class FullFileTest : public RecorderFixture {
 protected:
  // A file whose header counts `last_record` records, all present.
  void FileCounting(std::int16_t last_record) {
    New(1);
    ASSERT_EQ(::truncate(Path().c_str(), static_cast<off_t>(last_record) * kRecordLength), 0);
    state_.Header_rec.Last_record = last_record;
    controls_.messages.clear();
  }
};

TEST_F(FullFileTest, TheLastRecordIsKeptForTheStopMarker) {
  FileCounting(32765);
  Start();
  EXPECT_EQ(v().RecordNumber, 32766);
  EXPECT_TRUE(controls_.messages.empty());

  surface_.ClearLog();
  Click(2000, 2000);
  EXPECT_EQ(controls_.messages,
            testing::OneWarning("Data file is full\r\nSTOP CLOCK and create NEW file"));
  EXPECT_EQ(v().RecordNumber, 32766);
  EXPECT_TRUE(Ops().empty());
  EXPECT_EQ(Bytes().size(), 32766u * kRecordLength);

  Stop();
  EXPECT_EQ(v().RecordNumber, 32767);
  EXPECT_EQ(DiskHeader().Last_record, 32767);
  EXPECT_EQ(Bytes().size(), 32767u * kRecordLength);

  // Full: START is refused and the file keeps its length.
  controls_.messages.clear();
  recorder_.Command2_Click();
  EXPECT_EQ(controls_.messages,
            testing::OneWarning("Data file is full\r\nCreate NEW file to START CLOCK"));
  EXPECT_FALSE(controls_.TimerEnabled());
  EXPECT_EQ(Caption(MainControl::kCommand2), "START CLOCK");
  EXPECT_EQ(Bytes().size(), 32767u * kRecordLength);
}

TEST_F(FullFileTest, StartIsRefusedFromRecord32766On) {
  FileCounting(32766);
  recorder_.Command2_Click();
  ASSERT_EQ(controls_.messages.size(), 1u);
  EXPECT_EQ(controls_.messages[0].title, "WARNING");
  EXPECT_FALSE(controls_.TimerEnabled());
  EXPECT_FALSE(recorder_.FileOpen());
  EXPECT_EQ(Bytes().size(), 32766u * kRecordLength);
}

}  // namespace
}  // namespace varrow
