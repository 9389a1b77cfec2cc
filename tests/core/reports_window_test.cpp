#include "reports/reports_window.h"

#include <gtest/gtest.h>

#include <deque>

#include "base/error_numbers.h"
#include "fake_reports_host.h"
#include "fakes.h"
#include "surface/recording_surface.h"

namespace varrow {
namespace {

using testing::FakeReportsHost;
using testing::ShownMessage;

bool Printed(const RecordingSurface& s, std::string_view text) {
  for (const std::string& line : s.PrintedText()) {
    if (line.find(text) != std::string::npos) return true;
  }
  return false;
}

class ReportsWindowTest : public ::testing::Test {
 protected:
  ReportsWindowTest() {
    state_.Data_file_path = "/m/120599_1.dat";
    state_.Team_2_name = "Red Lions           ";
    state_.Team_1_name = "Blue Birds          ";
    state_.Header_rec.Team_2_color = kRed;
    state_.Header_rec.Team_1_color = kBlue;
  }
  ProgramState state_;
  FakeReportsHost host_;
  ReportsWindow window_{state_, host_, " Half: 1st"};
};

TEST_F(ReportsWindowTest, GeneralStatsClearsThePictureAndDrawsThePageAtTheTop) {
  window_.Command1_Click();
  EXPECT_EQ(state_.Gen_stats_selected, -1);
  EXPECT_EQ(state_.Shot_chart_selected, 0);
  ASSERT_FALSE(host_.picture.ops().empty());
  EXPECT_EQ(host_.picture.ops().front().kind, RecordedOp::Kind::kCls);
  EXPECT_EQ(host_.origins, (std::vector<float>{0}));
  EXPECT_TRUE(Printed(host_.picture, "GENERAL STATISTICS"));
  EXPECT_TRUE(host_.printer.ops().empty());
}

TEST_F(ReportsWindowTest, ShotChartMovesTheOriginDownAfterClearing) {
  window_.Command1_Click();
  window_.Command3_Click();
  EXPECT_EQ(state_.Gen_stats_selected, 0);
  EXPECT_EQ(state_.Shot_chart_selected, -1);
  EXPECT_EQ(host_.origins, (std::vector<float>{0, 250}));
  // The second origin change came right after the Cls that started the chart.
  const std::size_t at = host_.picture_ops_at_origin.back();
  ASSERT_GT(at, 0u);
  EXPECT_EQ(host_.picture.ops()[at - 1].kind, RecordedOp::Kind::kCls);
  EXPECT_TRUE(Printed(host_.picture, "SHOT CHART"));
}

TEST_F(ReportsWindowTest, PrintWithNothingChosenWarnsAndPrintsNothing) {
  window_.Command4_Click();
  EXPECT_EQ(host_.messages,
            testing::OneWarning("Must select GENERAL STATS or\r\nSHOT CHART before can print"));
  EXPECT_EQ(host_.dialogs_shown, 0);
  EXPECT_TRUE(host_.printer.ops().empty());
}

TEST_F(ReportsWindowTest, ThreeCopiesAreThreeJobsInPortrait) {
  window_.Command1_Click();
  host_.dialog_answer.copies = 3;
  window_.Command4_Click();
  EXPECT_TRUE(host_.messages.empty());
  EXPECT_EQ(host_.printer.EndDocCount(), 3);
  const std::vector<std::string> ops = host_.printer.OpStrings();
  ASSERT_FALSE(ops.empty());
  EXPECT_EQ(ops.front(), "Orientation=1");
  // Each job holds one full page, ended by its own EndDoc.
  int titles = 0;
  for (const std::string& op : ops) {
    if (op.find("GENERAL STATISTICS") != std::string::npos) ++titles;
    if (op == "EndDoc") {
      EXPECT_EQ(titles, 1);
      titles = 0;
    }
  }
}

TEST_F(ReportsWindowTest, PrintsOnlyTheReportChosenLast) {
  window_.Command1_Click();
  window_.Command3_Click();
  window_.Command4_Click();
  EXPECT_TRUE(Printed(host_.printer, "SHOT CHART"));
  EXPECT_FALSE(Printed(host_.printer, "GENERAL STATISTICS"));
  EXPECT_EQ(host_.printer.EndDocCount(), 1);
}

TEST_F(ReportsWindowTest, CancellingTheDialogIsSilent) {
  window_.Command1_Click();
  host_.dialog_answer.cancelled = true;
  window_.Command4_Click();
  host_.dialog_answer = PrintChoice{.error = kCancelError, .description = "Cancel was selected."};
  window_.Command4_Click();
  EXPECT_TRUE(host_.messages.empty());
  EXPECT_TRUE(host_.printer.ops().empty());
}

TEST_F(ReportsWindowTest, ADialogFailureIsReportedWithItsNumber) {
  window_.Command1_Click();
  host_.dialog_answer = PrintChoice{.error = kPrinterError, .description = "No printer is set up."};
  window_.Command4_Click();
  EXPECT_EQ(host_.messages,
            (std::vector<ShownMessage>{{"Unexpected error #1001 occurred: \nNo printer is set up.",
                                        MsgIcon::kExclamation, "ERROR"}}));
  EXPECT_TRUE(host_.printer.ops().empty());
}

TEST_F(ReportsWindowTest, APrinterFailureSkipsTheCopiesStillToCome) {
  window_.Command3_Click();
  host_.dialog_answer.copies = 3;
  host_.fail_at_check = 4;  // early in the second copy
  window_.Command4_Click();
  EXPECT_EQ(
      host_.messages,
      (std::vector<ShownMessage>{{"Unexpected error #1001 occurred: \nThe printer is out of paper.",
                                  MsgIcon::kExclamation, "ERROR"}}));
  EXPECT_EQ(host_.printer.EndDocCount(), 1);
  EXPECT_EQ(host_.printer_checks, 4);
}

TEST_F(ReportsWindowTest, CloseClearsTheChoiceButTheTitleBarDoesNot) {
  window_.Command3_Click();
  // Closed from the title bar: nothing runs, the choice stays for the next window.
  ReportsWindow next(state_, host_, " Half: 1st");
  next.Command4_Click();
  EXPECT_TRUE(host_.messages.empty());
  EXPECT_EQ(host_.printer.EndDocCount(), 1);

  next.Command5_Click();
  EXPECT_EQ(host_.closed, 1);
  EXPECT_EQ(state_.Gen_stats_selected, 0);
  EXPECT_EQ(state_.Shot_chart_selected, 0);
  ReportsWindow third(state_, host_, " Half: 1st");
  third.Command4_Click();
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].title, "WARNING");
}

}  // namespace
}  // namespace varrow
