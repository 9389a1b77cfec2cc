#include <gtest/gtest.h>

#include <filesystem>

#include "match_file.h"
#include "recorder_rig.h"

namespace varrow {
namespace {

using testing::MatchFile;
using testing::TempDir;
using testing::WriteFileBytes;

class GenStatsTest : public ::testing::Test, public testing::FakeProgram {
 protected:
  GenStatsTest() {
    controls_.on_reports_window = [this] {
      reports_open_with_progress_ = controls_.progress_open_;
      record_number_in_reports_ = state_.form1.RecordNumber;
    };
  }
  // Leftovers of an earlier computation, which every run must clear.
  void SeedOldResults() {
    state_.Red_stats.Goals = 9;
    state_.Blue_stats.Lost_middle = 4;
    state_.Blue_stats.Shot_x.push_back({1, 2});
    state_.Blue_stats.Shot_y.push_back({1, 2});
    state_.Blue_shot_count = 1;
  }
  void ExpectRefusedQuietly() {
    EXPECT_FALSE(controls_.BusyPointer());
    EXPECT_FALSE(controls_.progress_open_);
    EXPECT_EQ(controls_.reports_shown, 0);
    EXPECT_EQ(state_.Red_stats, Team_stats{});
    EXPECT_EQ(state_.Blue_stats, Team_stats{});
    EXPECT_EQ(state_.Blue_shot_count, 0);
  }

  TempDir dir_;
  std::string path_ = dir_.File("120599_1.dat");
  bool reports_open_with_progress_ = true;
  int record_number_in_reports_ = -1;
};

TEST_F(GenStatsTest, RefusedWhileTheClockRuns) {
  SeedOldResults();
  state_.Data_file_path = path_;
  MatchFile{}.Write(path_);
  controls_.SetTimerEnabled(true);
  recorder_.mnuGenStats_Click();
  EXPECT_EQ(controls_.messages, testing::OneWarning("Cannot Generate Stats\r\nuntil STOP CLOCK"));
  EXPECT_FALSE(controls_.progress_shown_ever);
  ExpectRefusedQuietly();
}

// Reports > Match Report: refused while the clock runs; otherwise the files
// come from a dialog in the working folder with the current file chosen, and
// a cancel opens no window.
TEST_F(GenStatsTest, MatchReportIsRefusedWhileTheClockRunsAndShowsTheFilesChosen) {
  environment_.current_directory = dir_.path();
  state_.Data_file_path = path_;
  controls_.SetTimerEnabled(true);
  recorder_.mnuMatchReport_Click();
  EXPECT_EQ(controls_.messages,
            testing::OneWarning("Cannot make Match Report\r\nuntil STOP CLOCK"));
  EXPECT_TRUE(controls_.open_files_dialogs.empty());

  controls_.SetTimerEnabled(false);
  controls_.messages.clear();
  const std::vector<std::string> chosen = {path_, dir_.File("120599_2.dat")};
  controls_.open_files_answers = {{}, chosen};
  recorder_.mnuMatchReport_Click();
  recorder_.mnuMatchReport_Click();
  const std::vector<std::string> dialog = {"Data Files (*.dat)|*.dat", dir_.path(), path_};
  EXPECT_EQ(controls_.open_files_dialogs, (std::vector<std::vector<std::string>>{dialog, dialog}));
  EXPECT_EQ(controls_.match_reports, std::vector<std::vector<std::string>>{chosen});
  EXPECT_TRUE(controls_.messages.empty());
}

TEST_F(GenStatsTest, RefusedWithoutADataFile) {
  SeedOldResults();
  recorder_.mnuGenStats_Click();
  EXPECT_EQ(controls_.messages,
            testing::OneWarning("Cannot Generate Stats until\r\nfile OPENED or NEW file created"));
  ExpectRefusedQuietly();
}

TEST_F(GenStatsTest, AFileThatIsGoneIsRefusedByName) {
  SeedOldResults();
  state_.Data_file_path = path_;
  state_.Team_2_name = "kept";
  recorder_.mnuGenStats_Click();
  ASSERT_EQ(controls_.messages.size(), 1u);
  EXPECT_EQ(controls_.messages[0].title, "WARNING");
  EXPECT_EQ(controls_.messages[0].text.rfind("Cannot Generate Stats\r\n" + path_, 0), 0u)
      << controls_.messages[0].text;
  EXPECT_NE(controls_.messages[0].text.find("No such file"), std::string::npos);
  EXPECT_EQ(state_.Team_2_name, "kept");
  ExpectRefusedQuietly();
}

TEST_F(GenStatsTest, AnOversizedFileIsRefused) {
  state_.Data_file_path = path_;
  WriteFileBytes(path_, std::vector<std::uint8_t>(32768 * kRecordLength, 0));
  recorder_.mnuGenStats_Click();
  ASSERT_EQ(controls_.messages.size(), 1u);
  EXPECT_NE(controls_.messages[0].text.find("at most 32767"), std::string::npos);
  ExpectRefusedQuietly();
}

TEST_F(GenStatsTest, AFileCutShortWhileReadIsRefusedAndTheWindowsPutAway) {
  MatchFile f;
  // Longer than the first read, which brings records 1 to 4099.
  for (int i = 0; i < 5000; ++i) f.Add(4750, 3000, static_cast<std::int16_t>(i), kRed);
  f.Write(path_);
  state_.Data_file_path = path_;
  state_.Team_2_name = "kept";
  controls_.on_progress_window = [&] { std::filesystem::resize_file(path_, 50 * kRecordLength); };
  recorder_.mnuGenStats_Click();
  ASSERT_EQ(controls_.messages.size(), 1u);
  EXPECT_EQ(controls_.messages[0].title, "WARNING");
  EXPECT_NE(controls_.messages[0].text.find("it ends before record 4100"), std::string::npos)
      << controls_.messages[0].text;
  EXPECT_EQ(state_.Team_2_name, "kept");
  ExpectRefusedQuietly();
}

TEST_F(GenStatsTest, ComputesWithProgressThenShowsTheReports) {
  MatchFile f;
  f.left_name = "Ajax";
  f.header.Period = 2;
  f.Add(4750, 3000, 0, kRed).Add(3000, 3000, 30, kBlue);
  f.Add(Event_record{.X = 600,
                     .Y = 3000,
                     .Clock_seconds = 95,
                     .Team_color = kBlue,
                     .Left_goal = 1,
                     .Shot_flag = -1});
  f.Write(path_);
  state_.Data_file_path = path_;
  recorder_.mnuGenStats_Click();

  EXPECT_TRUE(controls_.messages.empty());
  EXPECT_TRUE(controls_.progress_shown_ever);
  EXPECT_EQ(controls_.progress_max_, 6);
  EXPECT_EQ(controls_.progress_values, (std::vector<int>{0, 4, 5, 6}));
  // The progress window and the hourglass are gone before the Reports window opens.
  EXPECT_EQ(controls_.reports_shown, 1);
  EXPECT_FALSE(reports_open_with_progress_);
  EXPECT_FALSE(controls_.busy_when_reports_shown);
  EXPECT_EQ(record_number_in_reports_, 6);
  EXPECT_EQ(state_.form1.RecordNumber, 0);

  EXPECT_EQ(state_.Team_2_name, "Ajax                ");
  EXPECT_EQ(state_.Header_rec.Period, 2);
  EXPECT_EQ(state_.Red_stats.Possession_time, 30);
  EXPECT_EQ(state_.Blue_stats.Possession_minutes, 1);
  EXPECT_EQ(state_.Blue_stats.Possession_seconds, 5);
  EXPECT_EQ(state_.Red_stats.Lost_defending, 1);
  EXPECT_EQ(state_.Blue_stats.Goals, 1);  // in the left goal, the left team being red
  EXPECT_EQ(state_.Blue_shot_count, 1);
  EXPECT_EQ(state_.Blue_stats.Shot_x.at(0), (std::array<float, 2>{3000, 600}));
  EXPECT_EQ(state_.Event_rec.Clock_seconds, 30);  // read again for the shot's start
}

TEST_F(GenStatsTest, SidesComeFromTheFileNotFromTheNameBoxes) {
  // The name boxes show the next period already: blue on the left.
  controls_.SetForeColor(MainControl::kText2, kBlue);
  controls_.SetForeColor(MainControl::kText1, kRed);
  MatchFile f;  // the file's left team is red
  f.Add(4750, 3000, 0, kRed).Add(2000, 3000, 10, kBlue);
  f.Add(
      Event_record{.X = 8900, .Y = 3000, .Clock_seconds = 20, .Team_color = kRed, .Right_goal = 1});
  f.Write(path_);
  state_.Data_file_path = path_;
  recorder_.mnuGenStats_Click();
  EXPECT_EQ(state_.Red_stats.Lost_defending, 1);
  EXPECT_EQ(state_.Red_stats.Goals, 1);
  EXPECT_EQ(state_.Blue_stats.Goals, 0);
}

TEST_F(GenStatsTest, AFileWithoutEventsStillOpensTheReports) {
  WriteFileBytes(path_, std::vector<std::uint8_t>(60, 0));
  state_.Data_file_path = path_;
  state_.Event_rec.Clock_seconds = 77;
  recorder_.mnuGenStats_Click();
  EXPECT_TRUE(controls_.messages.empty());
  EXPECT_EQ(controls_.reports_shown, 1);
  EXPECT_EQ(state_.Red_stats, Team_stats{});
  EXPECT_EQ(state_.Blue_stats, Team_stats{});
  EXPECT_EQ(controls_.progress_values, (std::vector<int>{0}));
  EXPECT_EQ(state_.Event_rec.Clock_seconds, 77);  // no event read into it
  EXPECT_FALSE(controls_.BusyPointer());
}

}  // namespace
}  // namespace varrow
