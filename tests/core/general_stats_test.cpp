#include <gtest/gtest.h>

#include "reports/report_drawing.h"
#include "surface/recording_surface.h"

namespace varrow {
namespace {

using Strings = std::vector<std::string>;

class GeneralStatsTest : public ::testing::Test {
 protected:
  GeneralStatsTest() {
    state_.Data_file_path = "/home/coach/matches/120599_1.dat";
    state_.Team_2_name = "Red Lions           ";
    state_.Team_1_name = "Blue Birds          ";
    state_.Header_rec.Team_2_color = kRed;
    state_.Header_rec.Team_1_color = kBlue;
  }
  Strings Draw() {
    Draw_general_stats(surface_, state_, " Half: 1st");
    return surface_.PrintedText();
  }

  ProgramState state_;
  RecordingSurface surface_;  // 120 twips a character, 240 a line, 9135 wide
};

TEST_F(GeneralStatsTest, ThePageLineByLine) {
  Team_stats& red = state_.Red_stats;
  red.Goals = 2;
  red.Shots = 7;
  red.Corners = 3;
  red.Possession_minutes = 5;
  red.Possession_seconds = 7;
  red.Lost_defending = 1;
  red.Lost_middle = 2;
  red.Lost_attacking = 3;
  Team_stats& blue = state_.Blue_stats;
  blue.Goals = 1;
  blue.Shots = 12;
  blue.Possession_minutes = 12;
  blue.Possession_seconds = 30;
  blue.Lost_middle = 4;
  blue.Lost_attacking = 1;

  const Strings expected = {
      " ",
      "120599_1.dat         GENERAL STATISTICS          Half: 1st",
      " ",
      " ",
      "                      Red Lions             Blue Birds          ",
      " ",
      "      ",
      "     GOALS            2                     1 ",
      " ",
      "     SHOTS            7                     12 ",
      " ",
      "     CORNERS          3                     0 ",
      " ",
      "     TIME OF          5 :07                 12 :30",
      "     POSSESION",
      " ",
      "     LOST POSSESION   6                     5 ",
      "      ",
      "     DEFENDING 1/3    1                     0 ",
      "     MIDDLE 1/3       2                     4 ",
      "     ATTACKING 1/3    3                     1 ",
  };
  EXPECT_EQ(Draw(), expected);
  EXPECT_EQ(state_.Report_title, expected[1]);
}

TEST_F(GeneralStatsTest, OneDigitValuesStandUnderTheFirstLetterOfEachName) {
  state_.Red_stats.Goals = 4;
  state_.Blue_stats.Goals = 9;
  const Strings lines = Draw();
  const std::string& heads = lines[4];
  const std::string& goals = lines[7];
  // Columns 23 and 45, counted from 1.
  EXPECT_EQ(heads.substr(22, 3), "Red");
  EXPECT_EQ(goals[22], '4');
  EXPECT_EQ(heads.substr(44, 4), "Blue");
  EXPECT_EQ(goals[44], '9');
}

TEST_F(GeneralStatsTest, ATwoDigitValuePushesTheRightColumnAlong) {
  state_.Red_stats.Goals = 10;
  state_.Blue_stats.Goals = 3;
  state_.Red_stats.Lost_middle = 11;
  const Strings lines = Draw();
  EXPECT_EQ(lines[7], "     GOALS            10                     3 ");
  EXPECT_EQ(lines[16], "     LOST POSSESION   11                     0 ");
  EXPECT_EQ(lines[19], "     MIDDLE 1/3       11                     0 ");
}

TEST_F(GeneralStatsTest, EmptyFileShowsZerosAndNoTime) {
  const Strings lines = Draw();
  EXPECT_EQ(lines[7], "     GOALS            0                     0 ");
  EXPECT_EQ(lines[13], "     TIME OF          0 :00                 0 :00");
}

TEST_F(GeneralStatsTest, ATimeBelowZeroIsAMinusSignBeforeItsSize) {
  // As the statistics split them (a damaged file's clock ran backwards).
  for (const auto& [t, time] : {std::pair{&state_.Red_stats, -190}, {&state_.Blue_stats, -30}}) {
    t->Possession_minutes = static_cast<std::int32_t>(PossessionMinutes(time));
    t->Possession_seconds = static_cast<std::int32_t>(PossessionSeconds(time));
  }
  EXPECT_EQ(Draw()[13], "     TIME OF         -3 :10                -0 :30");
}

TEST_F(GeneralStatsTest, TheRedTeamHeadsTheLeftColumnWhenItPlaysOnTheRight) {
  state_.Team_2_name = "Blue Birds          ";
  state_.Team_1_name = "Red Lions           ";
  state_.Header_rec.Team_2_color = kBlue;
  state_.Header_rec.Team_1_color = kRed;
  EXPECT_EQ(Draw()[4], "                      Red Lions             Blue Birds          ");
}

TEST_F(GeneralStatsTest, TwoRulesOfEightThousandTwipsAfterFiveCharacters) {
  Draw();
  EXPECT_EQ(surface_.DrawingStrings(),
            (Strings{"Line (600,1440)-(8600,1440) c0 w5", "Line (600,4080)-(8600,4080) c0 w1"}));
  EXPECT_EQ(surface_.DrawWidth(), 1);
  // The page ends after its last row.
  EXPECT_EQ(surface_.CurrentX(), 0);
  EXPECT_EQ(surface_.CurrentY(), 21 * 240);
}

TEST_F(GeneralStatsTest, TheTitleIsCentredByItsWidth) {
  Draw();
  // 58 characters: 6960 twips wide, centred on 9135 / 2.
  EXPECT_EQ(surface_.PrintedLines().at(1).x, 4567.5f - 3480);
}

TEST_F(GeneralStatsTest, HalfTheTitleWidthRoundsHalvesToEven) {
  RecordingSurface odd({.char_width = 75, .line_height = 240, .scale_width = 9000});
  state_.Data_file_path = "a.dat";  // shorter than 12: printed whole
  Draw_general_stats(odd, state_, " Half: 1st");
  // 51 characters: 3825 twips, half 1912.5, rounds to 1912.
  EXPECT_EQ(odd.PrintedLines().at(1).text, "a.dat         GENERAL STATISTICS          Half: 1st");
  EXPECT_EQ(odd.PrintedLines().at(1).x, 4500 - 1912);

  RecordingSurface odd2({.char_width = 75, .line_height = 240, .scale_width = 9000});
  state_.Data_file_path = "abc.dat";  // 53 characters: half 1987.5 rounds to 1988
  Draw_general_stats(odd2, state_, " Half: 1st");
  EXPECT_EQ(odd2.PrintedLines().at(1).x, 4500 - 1988);
}

TEST(ReportTitleTest, TakesTheLastTwelveCharactersNotBytes) {
  EXPECT_EQ(ReportTitle("/data/Ölfeld_1.dat", "|", "x"), "Ölfeld_1.dat|x");
  EXPECT_EQ(ReportTitle("", "|", "x"), "|x");
}

TEST(RoundHalfEvenTest, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(0.5f), 0);
  EXPECT_EQ(RoundHalfEven(1.5f), 2);
  EXPECT_EQ(RoundHalfEven(2.5f), 2);
  EXPECT_EQ(RoundHalfEven(2.4f), 2);
  EXPECT_EQ(RoundHalfEven(2.6f), 3);
  EXPECT_EQ(RoundHalfEven(-1.5f), -2);
  EXPECT_EQ(RoundHalfEven(-2.5f), -2);
}

}  // namespace
}  // namespace varrow
