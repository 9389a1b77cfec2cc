#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "recorder_fixture.h"

namespace varrow {
namespace {

using testing::ReadFileBytes;
using testing::RecorderFixture;
using testing::WriteFileBytes;

class NewFileTest : public RecorderFixture {
 protected:
  std::string Day(int digit) const { return dir_.File("120599_" + std::to_string(digit) + ".dat"); }
  void SetScore(std::int16_t left, std::int16_t right) {
    state_.Score_2 = left;
    state_.Score_1 = right;
    controls_.SetCaption(MainControl::kLabel3, std::to_string(left));
    controls_.SetCaption(MainControl::kLabel4, std::to_string(right));
  }
};

TEST_F(NewFileTest, FirstFileOfTheDayIsNamedAfterTheDateAndHoldsSixtyBytes) {
  New(1);
  EXPECT_EQ(Path(), Day(1));
  EXPECT_EQ(testing::Hex(ReadFileBytes(Day(1))),
            "52 65 64 73 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 "
            "42 6C 75 65 73 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 "
            "FF 00 00 00 00 00 FF 00 03 00 00 00 00 00 00 00 01 00 00 00");
  EXPECT_EQ(controls_.messages,
            (std::vector<testing::ShownMessage>{
                {"New data file created: 120599_1.dat", MsgIcon::kInformation, "Data File"}}));
  EXPECT_EQ(controls_.period_windows_shown, 1);

  EXPECT_EQ(Caption(MainControl::kLabel6), " File: " + Day(1));
  EXPECT_EQ(Caption(MainControl::kLabel5), "0:00");
  EXPECT_EQ(Caption(MainControl::kLabel7), " Half: 1st");
  EXPECT_EQ(Caption(MainControl::kLabel3), "0");
  EXPECT_EQ(Caption(MainControl::kLabel4), "0");
  EXPECT_EQ(state_.Data_file_name, "120599_1.dat");
  EXPECT_EQ(state_.Date_part, "120599");
  EXPECT_EQ(state_.Suffix_part, "_1");
  EXPECT_EQ(state_.Team_2_name, "Reds                ");
  EXPECT_EQ(state_.Header_rec, DiskHeader());
  EXPECT_EQ(state_.New_file_flag, -1);
  EXPECT_EQ(state_.Elapsed_seconds, 0);
  EXPECT_EQ(v().RecordNumber, 3);
  EXPECT_EQ(v().Ball_position, 0);
  EXPECT_EQ(v().X_1, 4750.0f);
  EXPECT_EQ(v().Y_1, 3000.0f);
  EXPECT_EQ(v().ball_path_color, kRed);
  EXPECT_FALSE(recorder_.FileOpen());
  EXPECT_EQ(Ops(),
            (std::vector<std::string>{"Cls", "FillColor=255", "FillStyle=0",
                                      "Circle (4750,3000) r50 c255 w1 fill255", "FillStyle=1"}));
}

TEST_F(NewFileTest, AFolderEndingInASeparatorIsJoinedWithoutDoublingIt) {
  environment_.current_directory = dir_.path() + "/";
  New(1);
  EXPECT_EQ(Path(), Day(1));
  EXPECT_EQ(Caption(MainControl::kLabel6), " File: " + Day(1));
}

TEST_F(NewFileTest, TheFirstFreeDigitWins) {
  WriteFileBytes(Day(1), {1});
  WriteFileBytes(Day(3), {3});
  WriteFileBytes(Day(10), {10});  // never produced, never looked at
  New(1);
  EXPECT_EQ(Path(), Day(2));
  EXPECT_EQ(controls_.LastMessage(), "New data file created: 120599_2.dat");
  EXPECT_EQ(ReadFileBytes(Day(1)), std::vector<std::uint8_t>{1});
  EXPECT_EQ(ReadFileBytes(Day(3)), std::vector<std::uint8_t>{3});
  EXPECT_EQ(ReadFileBytes(Day(10)), std::vector<std::uint8_t>{10});
}

TEST_F(NewFileTest, WithAllNineNamesTakenNothingChangesAtAll) {
  New(1);
  for (int d = 2; d <= 9; ++d) WriteFileBytes(Day(d), std::vector<std::uint8_t>(d, 0xEE));
  SetScore(2, 1);
  controls_.messages.clear();
  surface_.ClearLog();
  std::vector<std::vector<std::uint8_t>> files;
  for (int d = 1; d <= 9; ++d) files.push_back(ReadFileBytes(Day(d)));

  New(2);  // would swap the sides
  EXPECT_EQ(controls_.messages,
            (std::vector<testing::ShownMessage>{
                {"Can only create 9 files in one day", MsgIcon::kInformation, "Data File"}}));
  EXPECT_EQ(controls_.period_windows_shown, 1);  // only the first New's
  EXPECT_EQ(Names(), (NameBoxes{{"Reds", kRed}, {"Blues", kBlue}}));
  EXPECT_EQ(state_.Score_2, 2);
  EXPECT_EQ(state_.Score_1, 1);
  EXPECT_EQ(state_.Header_rec.Period, 1);
  EXPECT_EQ(Caption(MainControl::kLabel7), " Half: 1st");
  EXPECT_EQ(Path(), Day(1));
  EXPECT_TRUE(Ops().empty());
  for (int d = 1; d <= 9; ++d) EXPECT_EQ(ReadFileBytes(Day(d)), files[d - 1]) << d;
}

TEST_F(NewFileTest, NewWhileTheClockRunsIsRefused) {
  NewAndStart();
  New(2);
  EXPECT_EQ(controls_.messages, testing::OneWarning("Can't create NEW file\r\nwhile timer on."));
  EXPECT_EQ(controls_.period_windows_shown, 1);
  EXPECT_TRUE(controls_.TimerEnabled());
  EXPECT_TRUE(recorder_.FileOpen());
  EXPECT_EQ(Path(), Day(1));
}

TEST_F(NewFileTest, SecondHalfKeepsTheSwappedScoreAndWritesItToTheHeader) {
  New(1);
  SetScore(2, 1);
  New(2);
  EXPECT_EQ(Path(), Day(2));
  EXPECT_EQ(Caption(MainControl::kLabel3), "1");
  EXPECT_EQ(Caption(MainControl::kLabel4), "2");
  EXPECT_EQ(Caption(MainControl::kLabel7), "Half: 2nd");
  // The left team's icon shows, so the ball is the (now blue) left team's.
  EXPECT_EQ(v().ball_path_color, kBlue);
  EXPECT_EQ(testing::Hex(ReadFileBytes(Day(2))),
            "42 6C 75 65 73 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 "
            "52 65 64 73 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 "
            "00 00 FF 00 FF 00 00 00 03 00 00 00 01 00 02 00 02 00 00 00");
}

TEST_F(NewFileTest, FirstHalfResetsTheScore) {
  SetScore(2, 1);
  New(1);
  EXPECT_EQ(state_.Score_2, 0);
  EXPECT_EQ(state_.Score_1, 0);
  EXPECT_EQ(Caption(MainControl::kLabel3), "0");
  EXPECT_EQ(DiskHeader().Score_2, 0);
}

TEST_F(NewFileTest, OkWithoutAChoiceKeepsThePeriodAndTheSides) {
  state_.Header_rec.Period = 3;
  New(0);
  EXPECT_EQ(DiskHeader().Period, 3);
  EXPECT_EQ(Caption(MainControl::kLabel7), " Overtime 1");
  EXPECT_EQ(Caption(MainControl::kText2), "Reds");
  state_.Header_rec.Period = 7;
  New(0);
  EXPECT_EQ(Caption(MainControl::kLabel7), " Overtime 2");
}

TEST_F(NewFileTest, NewForgetsThePreviousFilesPlay) {
  NewAndStart();
  Click(2000, 2000);
  Click(300, 2000);  // a corner pending
  Click(8900, 3000);
  Stop();
  v().Right_Bottom_Goal_Kick_flag = v().Left_Goal_flag = -1;
  New(1);
  EXPECT_EQ(v().Left_Top_Corner_Kick_flag + v().Right_Bottom_Goal_Kick_flag + v().Left_Goal_flag +
                v().Right_Goal_flag,
            0);
  EXPECT_EQ(v().X_2, 4750.0f);
  EXPECT_EQ(v().Y_2, 3000.0f);
  // START, UNDO and a click: the line starts at the centre spot.
  Start();
  recorder_.Command1_Click();
  surface_.ClearLog();
  Click(5000, 2000);
  // The right team's icon shows since the corner: its colour.
  EXPECT_EQ(Ops()[3], "Line (4750,3000)-(5000,2000) c16711680 w1");
  EXPECT_EQ(v().Ball_position, 255);
}

TEST_F(NewFileTest, AWorkingFolderThatIsGoneIsReportedBeforeAnythingChanges) {
  New(1);
  SetScore(2, 1);
  controls_.messages.clear();
  surface_.ClearLog();
  environment_.current_directory = dir_.File("gone");
  New(2);
  ASSERT_EQ(controls_.messages.size(), 1u);
  const testing::ShownMessage& m = controls_.messages[0];
  EXPECT_EQ(m.title, "ERROR");
  EXPECT_EQ(m.icon, MsgIcon::kExclamation);
  EXPECT_EQ(m.text,
            "Unexpected error #2 occurred: \nNo such file or directory\r\nWorking folder: " +
                dir_.File("gone") + "\r\nNo new data file was created.");
  EXPECT_EQ(controls_.period_windows_shown, 1);  // the first New's
  EXPECT_EQ(Names(), (NameBoxes{{"Reds", kRed}, {"Blues", kBlue}}));
  EXPECT_EQ(state_.Score_2, 2);
  EXPECT_EQ(state_.Header_rec.Period, 1);
  EXPECT_EQ(Caption(MainControl::kLabel7), " Half: 1st");
  EXPECT_EQ(Path(), Day(1));
  EXPECT_TRUE(Ops().empty());
}

}  // namespace
}  // namespace varrow
