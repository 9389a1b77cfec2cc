#include "recorder/open_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

#include "base/period_captions.h"
#include "match_file.h"
#include "recorder_rig.h"

namespace varrow {
namespace {

using testing::MatchFile;
using testing::TempDir;
using testing::WriteFileBytes;

// Everything Open may change, to prove that a failed Open changed none of it.
struct Snapshot {
  std::vector<std::string> captions;
  std::vector<Color> colors;
  bool image3 = false;
  bool image4 = false;
  std::string path;
  std::string names;
  Header_record header;
  Event_record event;
  std::int16_t record_number = 0;
  float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  std::int16_t ball_position = 0;
  Color ball_path_color = 0;
  std::int16_t elapsed = 0, score_1 = 0, score_2 = 0, new_file_flag = 0, left_goal_flag = 0;
  std::size_t surface_ops = 0;
  friend bool operator==(const Snapshot&, const Snapshot&) = default;
};

class OpenFileTest : public ::testing::Test, public testing::FakeProgram {
 protected:
  OpenFileTest() {
    // A recording in progress elsewhere, with a goal flag still set.
    state_.Data_file_path = "/earlier/120499_1.dat";
    state_.form1.RecordNumber = 12;
    state_.form1.X_1 = 1234;
    state_.form1.Ball_position = 3;
    state_.form1.Left_Goal_flag = -1;
    state_.form1.ball_path_color = kRed;
    state_.Score_2 = 4;
    state_.New_file_flag = -1;
    controls_.SetCaption(MainControl::kText2, "Old Left");
    controls_.SetCaption(MainControl::kLabel7, " Half: 1st");
    controls_.SetVisible(MainControl::kImage3, true);
  }
  Snapshot Take() const {
    Snapshot s;
    for (MainControl c :
         {MainControl::kLabel3, MainControl::kLabel4, MainControl::kLabel5, MainControl::kLabel6,
          MainControl::kLabel7, MainControl::kText1, MainControl::kText2}) {
      s.captions.push_back(controls_.Caption(c));
    }
    s.colors = {controls_.ForeColor(MainControl::kText1), controls_.ForeColor(MainControl::kText2)};
    s.image3 = controls_.Visible(MainControl::kImage3);
    s.image4 = controls_.Visible(MainControl::kImage4);
    s.path = state_.Data_file_path;
    s.names = state_.Team_2_name + "|" + state_.Team_1_name;
    s.header = state_.Header_rec;
    s.event = state_.Event_rec;
    const Form1State& v = state_.form1;
    s.record_number = v.RecordNumber;
    s.x1 = v.X_1, s.y1 = v.Y_1, s.x2 = v.X_2, s.y2 = v.Y_2;
    s.ball_position = v.Ball_position;
    s.ball_path_color = v.ball_path_color;
    s.elapsed = state_.Elapsed_seconds;
    s.score_1 = state_.Score_1;
    s.score_2 = state_.Score_2;
    s.new_file_flag = state_.New_file_flag;
    s.left_goal_flag = v.Left_Goal_flag;
    s.surface_ops = surface_.ops().size();
    return s;
  }
  void Open(const std::string& path) {
    controls_.open_dialog_answers.push_back(path);
    recorder_.mnuOpen_Click();
  }

  TempDir dir_;
  std::string path_ = dir_.File("120599_2.dat");
};

TEST_F(OpenFileTest, RestoresTheTeamsScoreClockPossessionAndBall) {
  MatchFile f;
  f.left_name = "Ajax";  // second half: blue plays on the left
  f.right_name = "PSV Eindhoven";
  f.header = Header_record{kBlue, kRed, 0, 125, 2, 1, 2, {}};
  f.Add(4750, 3000, 0, kBlue).Add(6000, 2000, 120, kBlue);
  f.Write(path_);
  Open(path_);

  EXPECT_TRUE(controls_.messages.empty());
  EXPECT_EQ(controls_.open_dialog_filters, (std::vector<std::string>{"Data Files (*.dat)|*.dat"}));
  EXPECT_EQ(state_.Data_file_path, path_);
  EXPECT_EQ(state_.form1.RecordNumber, 5);
  EXPECT_EQ(controls_.Caption(MainControl::kText2), "Ajax                ");
  EXPECT_EQ(controls_.Caption(MainControl::kText1), "PSV Eindhoven       ");
  EXPECT_EQ(controls_.ForeColor(MainControl::kText2), kBlue);
  EXPECT_EQ(controls_.ForeColor(MainControl::kText1), kRed);
  EXPECT_EQ(state_.Elapsed_seconds, 125);
  EXPECT_EQ(controls_.Caption(MainControl::kLabel5), " 2:05");
  EXPECT_EQ(state_.Score_2, 2);
  EXPECT_EQ(state_.Score_1, 1);
  EXPECT_EQ(controls_.Caption(MainControl::kLabel3), "2");
  EXPECT_EQ(controls_.Caption(MainControl::kLabel4), "1");
  EXPECT_EQ(controls_.Caption(MainControl::kLabel6), " File: " + path_);
  EXPECT_EQ(controls_.Caption(MainControl::kLabel7), " Half: 2nd");
  // The last event was blue, the left team's colour.
  EXPECT_TRUE(controls_.Visible(MainControl::kImage3));
  EXPECT_FALSE(controls_.Visible(MainControl::kImage4));
  const Form1State& v = state_.form1;
  EXPECT_EQ(v.ball_path_color, kBlue);
  EXPECT_EQ(v.X_1, 6000);
  EXPECT_EQ(v.Y_1, 2000);
  EXPECT_EQ(v.X_2, 6000);
  EXPECT_EQ(v.Y_2, 2000);
  EXPECT_EQ(v.Ball_position, 1000);
  EXPECT_EQ(v.Left_Goal_flag, 0);
  EXPECT_EQ(state_.New_file_flag, 0);
  EXPECT_EQ(state_.Event_rec.Clock_seconds, 120);
  EXPECT_EQ(state_.Header_rec.Period, 2);
  // The ball marker, drawn over whatever is on the field.
  EXPECT_EQ(surface_.DrawingStrings(),
            (std::vector<std::string>{"Circle (6000,2000) r50 c16711680 w1 fill16711680"}));
  EXPECT_EQ(surface_.FillStyle(), kFillTransparent);
}

TEST_F(OpenFileTest, TheHeaderCountPicksTheLastEventEvenWithMoreRecordsBehind) {
  MatchFile f;
  f.Add(4750, 3000, 0, kRed).Add(5000, 2000, 10, kBlue).Add(7000, 4000, 20, kRed);
  f.last_record = 5;
  f.Write(path_);
  controls_.SetVisible(MainControl::kImage3, true);
  Open(path_);
  EXPECT_EQ(state_.form1.RecordNumber, 5);
  EXPECT_EQ(state_.form1.X_1, 5000);
  EXPECT_EQ(state_.form1.ball_path_color, kBlue);
  EXPECT_FALSE(controls_.Visible(MainControl::kImage3));
  EXPECT_TRUE(controls_.Visible(MainControl::kImage4));
}

TEST_F(OpenFileTest, AFileWithoutEventsPutsTheBallOnTheCentreSpot) {
  MatchFile f;  // as New leaves it
  f.header.Team_2_color = kBlue;
  f.header.Team_1_color = kRed;
  f.Write(path_);
  controls_.SetVisible(MainControl::kImage3, false);
  controls_.SetVisible(MainControl::kImage4, true);  // the right team has the ball
  Open(path_);
  EXPECT_TRUE(controls_.messages.empty());
  EXPECT_EQ(state_.form1.RecordNumber, 3);
  EXPECT_EQ(state_.form1.X_1, 4750);
  EXPECT_EQ(state_.form1.Y_1, 3000);
  EXPECT_EQ(state_.form1.ball_path_color, kRed);
  EXPECT_TRUE(controls_.Visible(MainControl::kImage4));
  EXPECT_EQ(surface_.DrawingStrings(),
            (std::vector<std::string>{"Circle (4750,3000) r50 c255 w1 fill255"}));
}

TEST_F(OpenFileTest, PeriodCaptions) {
  EXPECT_EQ(OpenPeriodCaption(1), " Half: 1st");
  EXPECT_EQ(OpenPeriodCaption(2), " Half: 2nd");
  EXPECT_EQ(OpenPeriodCaption(3), "Overtime 1");
  EXPECT_EQ(OpenPeriodCaption(4), "Overtime 2");
  EXPECT_EQ(OpenPeriodCaption(0), "Overtime 2");
  EXPECT_EQ(OpenPeriodCaption(-3), "Overtime 2");
}

TEST_F(OpenFileTest, RefusedWhileTheClockRuns) {
  controls_.SetTimerEnabled(true);
  const Snapshot before = Take();
  recorder_.mnuOpen_Click();
  EXPECT_EQ(controls_.messages, testing::OneWarning("Can't OPEN file\r\nwhile timer on."));
  EXPECT_TRUE(controls_.open_dialog_filters.empty());
  EXPECT_EQ(Take(), before);
}

TEST_F(OpenFileTest, CancellingTheDialogChangesNothing) {
  const Snapshot before = Take();
  controls_.open_dialog_answers.push_back(std::nullopt);
  recorder_.mnuOpen_Click();
  EXPECT_TRUE(controls_.messages.empty());
  EXPECT_EQ(Take(), before);
}

struct BrokenFile {
  const char* what;
  int error;  // the number the message shows
  std::function<void(const std::string& path)> make;
  const char* said;  // part of the description
};

void PrintTo(const BrokenFile& c, std::ostream* os) { *os << c.what; }

void WriteWith(const std::string& path, std::int16_t last_record, float x = 5000, float y = 3000) {
  MatchFile f;
  f.Add(4750, 3000, 0, kRed).Add(x, y, 10, kBlue);
  f.last_record = last_record;
  f.Write(path);
}

class BrokenFileTest : public OpenFileTest, public ::testing::WithParamInterface<BrokenFile> {};

TEST_P(BrokenFileTest, GivesTheErrorMessageAndChangesNothing) {
  const BrokenFile& c = GetParam();
  c.make(path_);
  const Snapshot before = Take();
  Open(path_);
  ASSERT_EQ(controls_.messages.size(), 1u);
  const testing::ShownMessage& m = controls_.messages[0];
  EXPECT_EQ(m.title, "ERROR");
  EXPECT_EQ(m.icon, MsgIcon::kExclamation);
  const std::string head = "Unexpected error #" + std::to_string(c.error) + " occurred: \n";
  EXPECT_EQ(m.text.rfind(head, 0), 0u) << m.text;
  EXPECT_NE(m.text.find(path_), std::string::npos) << m.text;
  EXPECT_NE(m.text.find(c.said), std::string::npos) << m.text;
  EXPECT_EQ(Take(), before);
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, BrokenFileTest,
    ::testing::Values(
        BrokenFile{"Missing", ENOENT, [](const std::string&) {}, "No such file"},
        BrokenFile{"Directory", EISDIR,
                   [](const std::string& p) { std::filesystem::create_directory(p); }, "directory"},
        BrokenFile{"Empty", kBadDataFileError, [](const std::string& p) { WriteFileBytes(p, {}); },
                   "holds 0 bytes"},
        BrokenFile{"FiftyNineBytes", kBadDataFileError,
                   [](const std::string& p) { WriteFileBytes(p, std::vector<std::uint8_t>(59)); },
                   "holds 59 bytes"},
        BrokenFile{"LastRecordZero", kBadDataFileError,
                   [](const std::string& p) { WriteWith(p, 0); }, "counts 0 records"},
        BrokenFile{"LastRecordTwo", kBadDataFileError,
                   [](const std::string& p) { WriteWith(p, 2); }, "counts 2 records"},
        BrokenFile{"LastRecordNegative", kBadDataFileError,
                   [](const std::string& p) { WriteWith(p, -4); }, "counts -4 records"},
        BrokenFile{"LastRecordBeyondTheEnd", kBadDataFileError,
                   [](const std::string& p) { WriteWith(p, 6); }, "the file holds 5"},
        BrokenFile{
            "LastEventAtNaN", kBadDataFileError,
            [](const std::string& p) { WriteWith(p, 5, std::numeric_limits<float>::quiet_NaN()); },
            "no valid ball position"},
        BrokenFile{"LastEventFarAway", kBadDataFileError,
                   [](const std::string& p) { WriteWith(p, 5, 5000, 1e30f); }, "y 1e+30"},
        BrokenFile{"LastEventLeftOfTheWindow", kBadDataFileError,
                   [](const std::string& p) { WriteWith(p, 5, -0.5f); }, "x -0.5"}),
    [](const ::testing::TestParamInfo<BrokenFile>& p) { return std::string(p.param.what); });

TEST_F(OpenFileTest, ATypedNameThatDoesNotExistIsNeverCreated) {
  Open(path_);
  EXPECT_EQ(controls_.messages.size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(path_));
}

TEST_F(OpenFileTest, PositionsOnTheEdgeOfTheWindowAreAccepted) {
  for (auto [x, y] : {std::pair{0.0f, 0.0f}, std::pair{9570.0f, 6510.0f}}) {
    WriteWith(path_, 5, x, y);
    Open(path_);
    EXPECT_TRUE(controls_.messages.empty()) << controls_.LastMessage();
    EXPECT_EQ(state_.form1.X_1, x);
    EXPECT_EQ(state_.form1.Y_1, y);
  }
}

}  // namespace
}  // namespace varrow
