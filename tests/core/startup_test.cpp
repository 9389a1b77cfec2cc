#include <gtest/gtest.h>

#include "recorder/settings_values.h"
#include "recorder_rig.h"

namespace varrow {
namespace {

class StartupTest : public ::testing::Test, public testing::FakeProgram {
 protected:
  void Load() { recorder_.Form_Load(); }
  void Set(const std::string& key, const std::string& value) {
    settings_.values["Varrow/Startup/" + key] = value;
  }
  std::string Saved(const std::string& key) { return settings_.values.at("Varrow/Startup/" + key); }
};

TEST_F(StartupTest, FirstRunShowsEmptyNamesRedAndBlueAndNoScore) {
  Load();
  EXPECT_EQ(controls_.Caption(MainControl::kText2), "");
  EXPECT_EQ(controls_.Caption(MainControl::kText1), "");
  EXPECT_EQ(controls_.ForeColor(MainControl::kText2), kRed);
  EXPECT_EQ(controls_.ForeColor(MainControl::kText1), kBlue);
  EXPECT_EQ(controls_.Caption(MainControl::kLabel3), "0");
  EXPECT_EQ(controls_.Caption(MainControl::kLabel4), "0");
  // The left team has the ball, in red.
  EXPECT_TRUE(controls_.Visible(MainControl::kImage3));
  EXPECT_FALSE(controls_.Visible(MainControl::kImage4));
  EXPECT_EQ(state_.form1.ball_path_color, kRed);
  EXPECT_EQ(state_.Header_rec.Period, 1);
  EXPECT_EQ(state_.form1.RecordNumber, 0);
  EXPECT_TRUE(state_.Data_file_path.empty());
}

TEST_F(StartupTest, ReadsNamesThenColoursThenScoresLeftBeforeRight) {
  Load();
  EXPECT_EQ(settings_.read_order, (std::vector<std::string>{"Team_2", "Team_1", "Team_2_color",
                                                            "Team_1_color", "Score_2", "Score_1"}));
}

TEST_F(StartupTest, SettingsRoundTripThroughShutdownAndTheNextStart) {
  Set("Team_2", "Ajax      ");
  Set("Team_1", "PSV");
  Set("Team_2_color", "16711680");
  Set("Team_1_color", "255");
  Set("Score_2", "2");
  Set("Score_1", "1");
  Load();
  EXPECT_EQ(controls_.Caption(MainControl::kText2), "Ajax      ");
  EXPECT_EQ(controls_.ForeColor(MainControl::kText2), kBlue);
  EXPECT_EQ(controls_.ForeColor(MainControl::kText1), kRed);
  EXPECT_EQ(controls_.Caption(MainControl::kLabel3), "2");
  EXPECT_EQ(controls_.Caption(MainControl::kLabel4), "1");

  settings_.values.clear();
  recorder_.Form_Unload();
  EXPECT_EQ(settings_.save_order, (std::vector<std::string>{"Team_2", "Team_1", "Team_2_color",
                                                            "Team_1_color", "Score_2", "Score_1"}));
  EXPECT_EQ(Saved("Team_2"), "Ajax      ");  // trailing spaces kept
  EXPECT_EQ(Saved("Team_1"), "PSV");
  EXPECT_EQ(Saved("Team_2_color"), "16711680");
  EXPECT_EQ(Saved("Team_1_color"), "255");
  EXPECT_EQ(Saved("Score_2"), "2");
  EXPECT_EQ(Saved("Score_1"), "1");
  EXPECT_EQ(controls_.others_closed_, 1);
}

TEST_F(StartupTest, BlackOrUnreadableColoursGiveTheSidesDefaults) {
  Set("Team_2_color", "0");
  Set("Team_1_color", "blue");
  Load();
  EXPECT_EQ(controls_.ForeColor(MainControl::kText2), kRed);
  EXPECT_EQ(controls_.ForeColor(MainControl::kText1), kBlue);
}

TEST_F(StartupTest, UnreadableOrOutOfRangeScoresCountAsMissing) {
  Set("Score_2", "3 goals");
  Set("Score_1", "40000");
  Load();
  EXPECT_EQ(state_.Score_2, 0);
  EXPECT_EQ(state_.Score_1, 0);
  EXPECT_EQ(controls_.Caption(MainControl::kLabel3), "0");
}

TEST_F(StartupTest, TheFieldIsDrawnOnceIntoThePersistentBackgroundWithWidthOne) {
  Load();
  const auto ops = surface_.OpStrings();
  ASSERT_GE(ops.size(), 21u);
  EXPECT_EQ(ops[0], "DrawWidth=1");
  EXPECT_EQ(ops[1], "AutoRedraw=on");
  EXPECT_EQ(ops[2], "FilledBox (750,1000)-(8750,5000) c65280 w1");
  EXPECT_EQ(ops[ops.size() - 1], "AutoRedraw=off");
  EXPECT_EQ(ops.size(), 2u + 18u + 1u);
  EXPECT_FLOAT_EQ(state_.Penalty_arc_angle, 0.8419628f);
}

TEST_F(StartupTest, ExitIsRefusedWhileTheClockRuns) {
  controls_.SetTimerEnabled(true);
  recorder_.mnuExit_Click();
  EXPECT_EQ(controls_.messages, testing::OneWarning("Cannot EXIT without\r\nSTOPPING CLOCK"));
  EXPECT_EQ(controls_.main_closed_, 0);

  controls_.SetTimerEnabled(false);
  recorder_.mnuExit_Click();
  EXPECT_EQ(controls_.main_closed_, 1);
  EXPECT_EQ(controls_.messages.size(), 1u);
}

TEST(SettingsValuesTest, ColoursAreDecimalRgbValues) {
  EXPECT_EQ(ParseColorSetting("255"), kRed);
  EXPECT_EQ(ParseColorSetting("16711680"), kBlue);
  EXPECT_EQ(ParseColorSetting(" 65280 "), kLightGreen);
  EXPECT_EQ(ParseColorSetting("0"), 0);
  EXPECT_FALSE(ParseColorSetting(""));
  EXPECT_FALSE(ParseColorSetting("-1"));
  EXPECT_FALSE(ParseColorSetting("16777216"));
  EXPECT_FALSE(ParseColorSetting("0xFF"));
  EXPECT_FALSE(ParseColorSetting("25 5"));
  EXPECT_FALSE(ParseColorSetting("99999999999999999999999"));
}

TEST(SettingsValuesTest, ScoresAreSixteenBitIntegers) {
  EXPECT_EQ(ParseScoreSetting("0"), 0);
  EXPECT_EQ(ParseScoreSetting("32767"), 32767);
  EXPECT_EQ(ParseScoreSetting("-32768"), -32768);
  EXPECT_FALSE(ParseScoreSetting("32768"));
  EXPECT_FALSE(ParseScoreSetting("1.5"));
  EXPECT_FALSE(ParseScoreSetting("two"));
}

// Found by settings_fuzz: "+-11" was read as -11.
TEST(SettingsValuesTest, AValueHasOneSignAtMost) {
  EXPECT_EQ(ParseScoreSetting("+11"), 11);
  EXPECT_EQ(ParseScoreSetting(" -11\t"), -11);
  EXPECT_FALSE(ParseScoreSetting("+-11"));
  EXPECT_FALSE(ParseScoreSetting("-+11"));
  EXPECT_FALSE(ParseScoreSetting("--11"));
  EXPECT_FALSE(ParseColorSetting("+-0"));
  EXPECT_FALSE(ParseScoreSetting("+"));
}

}  // namespace
}  // namespace varrow
