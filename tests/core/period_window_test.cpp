#include <gtest/gtest.h>

#include <string>

#include "recorder_fixture.h"

namespace varrow {
namespace {

using testing::RecorderFixture;

class PeriodWindowTest : public RecorderFixture {
 protected:
  PeriodWindowTest() {
    state_.Score_2 = 3;
    state_.Score_1 = 1;
  }
  PeriodWindow window_{state_, controls_};
};

TEST_F(PeriodWindowTest, FirstHalfSetsThePeriodAndNeverSwaps) {
  state_.Header_rec.Period = 4;
  window_.Option1_Click();
  EXPECT_EQ(state_.Header_rec.Period, 1);
  EXPECT_EQ(Caption(MainControl::kLabel7), " Half: 1st");
  EXPECT_EQ(Names(), (NameBoxes{{"Reds", kRed}, {"Blues", kBlue}}));
  EXPECT_EQ(state_.Score_2, 3);  // New resets the score for period 1, not the window
}

struct LaterPeriod {
  void (PeriodWindow::*option)();
  std::int16_t period;
  const char* caption;
};

class LaterPeriodTest : public PeriodWindowTest,
                        public ::testing::WithParamInterface<LaterPeriod> {};

TEST_P(LaterPeriodTest, TeamsChangeEnds) {
  (window_.*GetParam().option)();
  EXPECT_EQ(state_.Header_rec.Period, GetParam().period);
  EXPECT_EQ(Caption(MainControl::kLabel7), GetParam().caption);
  EXPECT_EQ(Names(), (NameBoxes{{"Blues               ", kBlue}, {"Reds                ", kRed}}));
  EXPECT_EQ(state_.Score_2, 1);
  EXPECT_EQ(state_.Score_1, 3);
  // Shown only once New refreshes them; possession stays.
  EXPECT_EQ(Caption(MainControl::kLabel3), "0");
  EXPECT_TRUE(LeftHasBall());
  EXPECT_EQ(v().ball_path_color, kRed);
}

INSTANTIATE_TEST_SUITE_P(
    Options, LaterPeriodTest,
    ::testing::Values(LaterPeriod{&PeriodWindow::Option2_Click, 2, " Half: 2nd"},
                      LaterPeriod{&PeriodWindow::Option3_Click, 3, " Overtime 1"},
                      LaterPeriod{&PeriodWindow::Option4_Click, 4, " Overtime 2"}));

TEST_F(PeriodWindowTest, TwoLaterPeriodsInOneVisitSwapTwice) {
  window_.Option2_Click();
  window_.Option3_Click();
  EXPECT_EQ(state_.Header_rec.Period, 3);
  EXPECT_EQ(Caption(MainControl::kLabel7), " Overtime 1");
  EXPECT_EQ(Names(), (NameBoxes{{"Reds                ", kRed}, {"Blues               ", kBlue}}));
  EXPECT_EQ(state_.Score_2, 3);
  EXPECT_EQ(state_.Score_1, 1);
}

TEST_F(PeriodWindowTest, NamesAreCutToTwentyCharacters) {
  controls_.SetCaption(MainControl::kText1, "Borussia Mönchengladbach");
  window_.Option4_Click();
  EXPECT_EQ(Caption(MainControl::kText2), "Borussia Mönchenglad");
  EXPECT_EQ(state_.Saved_team_1_name, "Borussia Mönchenglad");
}

}  // namespace
}  // namespace varrow
