// Review Events: the rows, the corrections and their undo, the statistics
// after them, the atomic save and the menu command.
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "datafile/atomic_save.h"
#include "file_size_limit.h"
#include "match_file.h"
#include "recorder_rig.h"
#include "review/review_analysis.h"
#include "review/review_session.h"
#include "without_root_powers.h"

namespace varrow {
namespace {

using testing::FileNamesIn;
using testing::FromHex;
using testing::MatchFile;
using testing::ReadFileBytes;
using testing::TempDir;

// The small match the cases are worked on: left team red, right team blue,
// 1 : 1, five events (records 4 to 8).
MatchFile SmallMatch() {
  MatchFile m;
  m.header.Clock_seconds = 40;
  m.header.Score_2 = 1;
  m.header.Score_1 = 1;
  m.Add(4750, 3000, 0, kRed);  // record 4: START marker
  Event_record shot = testing::EventAt(2000, 2500, 10, kRed);
  shot.Shot_flag = -1;
  m.Add(shot);  // record 5: a red shot in its own third
  Event_record blue_goal = testing::EventAt(600, 3000, 20, kBlue);
  blue_goal.Left_goal = 1;
  m.Add(blue_goal);             // record 6: blue scores in the left-hand goal
  m.Add(4750, 3000, 30, kRed);  // record 7: kick-off
  Event_record red_goal = testing::EventAt(8900, 3000, 40, kRed);
  red_goal.Right_goal = 1;
  m.Add(red_goal);  // record 8: red scores in the right-hand goal
  return m;
}

// The file's bytes with `hex` written at byte `at`.
std::vector<std::uint8_t> Patched(std::vector<std::uint8_t> file, std::size_t at,
                                  std::string_view hex) {
  const std::vector<std::uint8_t> bytes = FromHex(hex);
  std::copy(bytes.begin(), bytes.end(), file.begin() + static_cast<std::ptrdiff_t>(at));
  return file;
}

// Saves and expects it saved without a word.
void ExpectSaved(ReviewSession& s) {
  const ReviewSaveResult r = s.Save();
  EXPECT_EQ(r.kind, ReviewSaveResult::Kind::kSaved) << r.text;
  EXPECT_EQ(r.text, "");
}

// The file without record n (from 1).
std::vector<std::uint8_t> Without(std::vector<std::uint8_t> file, int n) {
  const auto at = file.begin() + (n - 1) * kRecordLength;
  file.erase(at, at + kRecordLength);
  return file;
}

class ReviewTest : public ::testing::Test {
 protected:
  ReviewTest() { original_ = SmallMatch().Bytes(); }
  ReviewSession Read() {
    testing::WriteFileBytes(path_, original_);
    return ReadThrough(path_);
  }
  static ReviewSession ReadThrough(const std::string& path) {
    ReviewDocument d;
    EXPECT_TRUE(ReadReviewDocument(path, d));
    return ReviewSession(path, std::move(d));
  }

  TempDir dir_;
  std::string path_ = dir_.File("120599_1.dat");
  std::vector<std::uint8_t> original_;
};

TEST_F(ReviewTest, EachRowShowsKindTeamAndThirdAsTheStatisticsCountThem) {
  const ReviewSession s = Read();
  struct Expected {
    std::int32_t record;
    TeamSide side;
    EventKind kind;
    bool shot;
    PitchThird third;
  };
  const Expected expected[] = {
      {4, TeamSide::kLeft, EventKind::kPlay, false, PitchThird::kMiddle},
      {5, TeamSide::kLeft, EventKind::kPlay, true, PitchThird::kDefending},
      // The right team attacks the low-x end.
      {6, TeamSide::kRight, EventKind::kGoal, false, PitchThird::kAttacking},
      {7, TeamSide::kLeft, EventKind::kPlay, false, PitchThird::kMiddle},
      {8, TeamSide::kLeft, EventKind::kGoal, false, PitchThird::kAttacking},
  };
  ASSERT_EQ(s.document().EventCount(), 5);
  for (int row = 0; row < 5; ++row) {
    const ReviewRow r = s.document().Row(row);
    const Expected& e = expected[row];
    EXPECT_EQ(r.record, e.record);
    EXPECT_EQ(r.side, e.side) << "record " << e.record;
    EXPECT_EQ(r.kind, e.kind) << "record " << e.record;
    EXPECT_EQ(r.shot, e.shot) << "record " << e.record;
    EXPECT_EQ(r.third, e.third) << "record " << e.record;
  }
  EXPECT_EQ(MinutesSeconds(s.document().Row(4).clock_seconds), "0:40");
  // A name never typed in still names its side, padding is not shown.
  EXPECT_EQ(ShownTeamName(std::string(20, ' '), TeamSide::kLeft), "Left team");
  EXPECT_EQ(ShownTeamName(std::string(20, ' '), TeamSide::kRight), "Right team");
  EXPECT_EQ(ShownTeamName("Lions" + std::string(15, ' '), TeamSide::kRight), "Lions");
  // A colour of neither team (0x00BBGGRR) as varrow-report writes it.
  original_ = Patched(original_, 6 * kRecordLength + 10, "56 34 12 00");
  const ReviewSession odd = Read();
  EXPECT_EQ(odd.document().TeamText(odd.document().Row(3)), "#563412");
}

// Each correction, saved: the file holds exactly the bytes worked out here
// (records start at (n - 1) * 20; the header's Last_record at 48, Score_2
// at 52, Score_1 at 54), the original is kept beside it, and undoing gives
// the original bytes back.
TEST_F(ReviewTest, EachCorrectionSavesItsBytesAndUndoGivesTheOriginalBack) {
  using Make = std::function<std::optional<Correction>(const ReviewDocument&)>;
  struct Case {
    const char* name;
    Make make;
    std::vector<std::uint8_t> expected;
  };
  const Case cases[] = {
      {"SHOT on record 4", [](const ReviewDocument& d) { return d.ToggleShot(0); },
       Patched(original_, 60 + 18, "FF FF")},
      {"SHOT off record 5", [](const ReviewDocument& d) { return d.ToggleShot(1); },
       Patched(original_, 80 + 18, "00 00")},
      {"record 5 to blue", [](const ReviewDocument& d) { return d.SwitchTeam(1); },
       Patched(original_, 80 + 10, "00 00 FF 00")},
      {"record 7 moved past the corner, kept in the drawing area",
       [](const ReviewDocument& d) { return d.Move(3, 10000, -5); },
       Patched(original_, 120, "00 88 15 46 00 00 00 00")},
      {"blue's goal deleted: 7 records, Score_1 0",
       [](const ReviewDocument& d) { return d.Delete({2}); },
       Patched(Patched(Without(original_, 6), 48, "07 00"), 54, "00 00")},
      {"records 4 and 8 deleted, red's goal: 6 records, Score_2 0",
       [](const ReviewDocument& d) {
         return d.Delete({4, 0});
       },
       Patched(Patched(Without(Without(original_, 8), 4), 48, "06 00"), 52, "00 00")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(KeptOriginalPath(path_));
    ReviewSession s = Read();
    const std::optional<Correction> correction = c.make(s.document());
    ASSERT_TRUE(correction);
    s.Apply(*correction);
    ExpectSaved(s);
    EXPECT_EQ(testing::Hex(ReadFileBytes(path_)), testing::Hex(c.expected));
    EXPECT_EQ(ReadFileBytes(KeptOriginalPath(path_)), original_);
    s.Revert(*correction);
    EXPECT_EQ(testing::Hex(s.document().FileBytes()), testing::Hex(original_));
  }
}

TEST_F(ReviewTest, CorrectionsThatChangeNothingAreNone) {
  const ReviewSession s = Read();
  EXPECT_FALSE(s.document().Move(0, 4750, 3000));
  EXPECT_FALSE(s.document().ToggleShot(5));
  EXPECT_FALSE(s.document().Delete({}));
  EXPECT_FALSE(s.document().Delete({0, 5}));
  MatchFile one_colour = SmallMatch();
  one_colour.header.Team_1_color = kRed;
  original_ = one_colour.Bytes();
  EXPECT_FALSE(Read().document().SwitchTeam(0));
}

TEST_F(ReviewTest, TheStatisticsFollowEveryCorrection) {
  ReviewSession s = Read();
  ASSERT_EQ(FiguresOf(s.stats()).lines[0].label, "Goals");
  EXPECT_EQ(FiguresOf(s.stats()).lines[0].values[1], "1");
  const Correction shot = *s.document().ToggleShot(2);
  s.Apply(shot);
  s.Apply(*s.document().Delete({2}));
  const FiguresTable t = FiguresOf(s.stats());
  EXPECT_EQ(t.heads[0], "Red Lions");
  EXPECT_EQ(t.lines[0].values[1], "0");  // blue's goal went with its record
  EXPECT_EQ(t.lines[1].values[0], "1");  // red's shot stays
  EXPECT_EQ(t.lines[1].values[1], "0");
  EXPECT_EQ(t.lines[3].label, "Time of possession");
  EXPECT_EQ(t.lines[3].values[0], "0:40");
}

// A loss is marked where the other team won the ball, in the loser's
// colour; the kick-off after a goal is none.
TEST_F(ReviewTest, PossessionIsLostWhereTheOtherTeamWonTheBallNotAtAKickOff) {
  const std::vector<ReviewDocument::Loss> losses = Read().document().PossessionLosses();
  ASSERT_EQ(losses.size(), 1u);
  EXPECT_EQ(losses[0].x, 600);
  EXPECT_EQ(losses[0].y, 3000);
  EXPECT_EQ(losses[0].loser, kRed);
}

// The worked match's territory where its events lie: the blue team (right)
// attacks to the left, so its zones are not turned; both teams add up. A
// possession's row and path on the same file.
TEST_F(ReviewTest, TerritoryLiesWhereTheEventsAreAndAPossessionRowReadsAsItsTeamSeesIt) {
  original_ = testing::HandWorkedMatch().Bytes();
  const ReviewSession s = Read();
  const Header_record h = s.document().Header();
  const ZoneGrid blue = {{{0, 0, 0, 0, 0, 0}, {0, 0, 0, 20, 0, 0}, {5, 30, 0, 0, 0, 0}}};
  const ZoneGrid both = {{{0, 0, 0, 0, 5, 0}, {0, 0, 30, 30, 0, 5}, {5, 55, 0, 0, 0, 0}}};
  EXPECT_EQ(TerritoryWhereItLies(h, s.analysis(), TeamSide::kRight), blue);
  EXPECT_EQ(TerritoryWhereItLies(h, s.analysis(), std::nullopt), both);

  ASSERT_EQ(s.analysis().possessions.size(), 3u);
  const Possession& lost = s.analysis().possessions[1];
  const std::array<std::string, kPossessionColumns> row = {
      "Blue Birds", "0:20", "1:15", "55", "3", "lost", "middle", "attacking"};
  EXPECT_EQ(PossessionCells(s.document(), lost), row);
  EXPECT_EQ(FirstEventRow(lost), 4);
  const std::vector<Pt> path = PossessionPath(s.document(), lost);
  ASSERT_EQ(path.size(), 3u);
  EXPECT_EQ(path[1].x, 3000);
  EXPECT_EQ(path[2].y, 4800);
}

// Records beyond the header's count (undone clicks) are no events to review,
// and they stay in the file as they were; a torn record at the end is no
// record and goes.
TEST_F(ReviewTest, UndoneClicksAfterTheCountedRecordsAreKept) {
  MatchFile m = SmallMatch();
  m.last_record = 6;
  const std::vector<std::uint8_t> whole = m.Bytes();
  original_ = whole;
  original_.insert(original_.end(), {1, 2, 3, 4, 5, 6, 7});
  ReviewSession s = Read();
  EXPECT_EQ(s.document().EventCount(), 3);
  EXPECT_EQ(s.document().FileBytes(), whole);
  s.Apply(*s.document().Delete({0}));
  EXPECT_EQ(testing::Hex(s.document().FileBytes()),
            testing::Hex(Patched(Without(whole, 4), 48, "05 00")));
}

TEST_F(ReviewTest, ASecondSaveKeepsTheFirstOriginalAndNoTemporaryFileStays) {
  ReviewSession s = Read();
  s.Apply(*s.document().ToggleShot(0));
  ExpectSaved(s);
  s.Apply(*s.document().ToggleShot(1));
  ExpectSaved(s);
  EXPECT_EQ(ReadFileBytes(KeptOriginalPath(path_)), original_);
  EXPECT_EQ(ReadFileBytes(path_), s.document().FileBytes());
  int files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
    ++files;
  }
  EXPECT_EQ(files, 2);
}

TEST_F(ReviewTest, AFailedSaveLeavesTheOriginalByteIdentical) {
  ReviewSession s = Read();
  s.Apply(*s.document().Delete({2}));
  ReviewSaveResult r;
  {
    // The new file is cut off a record in: the disk is full.
    testing::FileSizeLimit limit(kRecordLength);
    r = s.Save();
  }
  EXPECT_EQ(r.kind, ReviewSaveResult::Kind::kRefused);
  EXPECT_EQ(r.title, "ERROR");
  EXPECT_NE(
      r.text.find("Unexpected error #27 occurred: \nCannot save " + path_ + ": File too large"),
      std::string::npos)
      << r.text;
  EXPECT_EQ(ReadFileBytes(path_), original_);
  EXPECT_FALSE(s.saved());
  for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(name == "120599_1.dat" || name == "120599_1.dat.orig") << name;
  }
}

// A file the user may not write is refused as START CLOCK refuses it; a
// saved file keeps its mode, owner and group (root saves another user's file
// as theirs; a user who could not make it theirs is refused); a file opened
// through a symbolic link is saved into the file the link names, the
// original kept beside that file, and the link stays.
TEST_F(ReviewTest, ModeOwnerAndLinksAreKept) {
  testing::WriteFileBytes(path_, original_);
  const passwd* nobody = ::getpwnam("nobody");
  const bool root = ::geteuid() == 0 && nobody != nullptr;
  if (root) {
    ASSERT_EQ(::chown(path_.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
  }
  const std::pair<mode_t, std::string> refusals[] = {
      {0444, "#13 occurred: \nCannot save " + path_ + ": Permission denied"},
      {0666, "#1 occurred: \nCannot save " + path_ + ": It belongs to another user or group"}};
  for (const auto& [mode, error] : refusals) {
    if (mode == 0666 && !root) continue;  // needs a file of another user
    ReviewSession s = ReadThrough(path_);
    s.Apply(*s.document().ToggleShot(0));
    ASSERT_EQ(::chmod(path_.c_str(), mode), 0);
    testing::WithoutRootPowers user;
    const ReviewSaveResult r = s.Save();
    EXPECT_EQ(r.title, "ERROR");
    EXPECT_NE(r.text.find(error), std::string::npos) << r.text;
    EXPECT_EQ(FileNamesIn(dir_.path()), std::vector<std::string>{"120599_1.dat"});
  }
  TempDir links;
  const std::string link = links.File("match.dat");
  ASSERT_EQ(::symlink(path_.c_str(), link.c_str()), 0);
  ReviewSession s = ReadThrough(link);
  s.Apply(*s.document().ToggleShot(0));
  ExpectSaved(s);
  struct stat st {};
  ASSERT_EQ(::lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(FileNamesIn(links.path()), std::vector<std::string>{"match.dat"});
  EXPECT_EQ(ReadFileBytes(path_), Patched(original_, 60 + 18, "FF FF"));
  EXPECT_EQ(ReadFileBytes(KeptOriginalPath(path_)), original_);
  ASSERT_EQ(::stat(path_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0666u);
  if (root) {
    EXPECT_EQ(std::pair(st.st_uid, st.st_gid), std::pair(nobody->pw_uid, nobody->pw_gid));
  }
}

// A name of 248 characters saves (its temporary file's name fits where the
// file's does); where "<name>.orig" would be too long, the operator is asked
// whether to save without keeping the original.
TEST_F(ReviewTest, NamesOfAnyLengthSave) {
  const auto name_max = static_cast<std::size_t>(::pathconf(dir_.path().c_str(), _PC_NAME_MAX));
  for (const std::size_t length : {std::size_t{248}, name_max}) {
    path_ = dir_.File(std::string(length - 4, length == 248 ? 'a' : 'b') + ".dat");
    ReviewSession s = Read();
    s.Apply(*s.document().ToggleShot(0));
    if (length + 5 > name_max) {
      const ReviewSaveResult r = s.Save();
      EXPECT_EQ(r.kind, ReviewSaveResult::Kind::kAsk);
      EXPECT_EQ(r.text, "The file as it was cannot be kept as " + KeptOriginalPath(path_) +
                            ": File name too long.\r\nSave the corrections without keeping it?");
      EXPECT_EQ(ReadFileBytes(path_), original_);
      EXPECT_EQ(s.Save(false).kind, ReviewSaveResult::Kind::kSaved);
    } else {
      ExpectSaved(s);
      EXPECT_EQ(ReadFileBytes(KeptOriginalPath(path_)), original_);
    }
    EXPECT_EQ(ReadFileBytes(path_), Patched(original_, 60 + 18, "FF FF"));
  }
  EXPECT_EQ(FileNamesIn(dir_.path()).size(), 3u);
}

class ReviewEventsCommandTest : public ::testing::Test, public testing::FakeProgram {
 protected:
  TempDir dir_;
  std::string path_ = dir_.File("120599_1.dat");
};

TEST_F(ReviewEventsCommandTest, RefusedWithoutAStoppedClockAFileOrAReadableFile) {
  struct Case {
    bool clock_running;
    std::vector<std::uint8_t> file;  // none: no current file
    std::string message;
  };
  const Case cases[] = {
      {true, SmallMatch().Bytes(), "Cannot Review Events\r\nuntil STOP CLOCK"},
      {false, {}, "Cannot Review Events until\r\nfile OPENED or NEW file created"},
  };
  for (const Case& c : cases) {
    controls_.messages.clear();
    controls_.SetTimerEnabled(c.clock_running);
    state_.Data_file_path = c.file.empty() ? "" : path_;
    if (!c.file.empty()) testing::WriteFileBytes(path_, c.file);
    recorder_.mnuReviewEvents_Click();
    EXPECT_EQ(controls_.messages, testing::OneWarning(c.message));
  }
  // A file the statistics refuse, refused in their words.
  controls_.SetTimerEnabled(false);
  state_.Data_file_path = path_;
  for (const std::vector<std::uint8_t>& refused :
       {std::vector<std::uint8_t>(40, 0), std::vector<std::uint8_t>(20 * 32768, 0)}) {
    testing::WriteFileBytes(path_, refused);
    controls_.messages.clear();
    recorder_.mnuGenStats_Click();
    recorder_.mnuReviewEvents_Click();
    ASSERT_EQ(controls_.messages.size(), 2u);
    const std::string reason =
        controls_.messages[0].text.substr(std::string_view("Cannot Generate Stats\r\n").size());
    EXPECT_EQ(controls_.messages[1], testing::OneWarning("Cannot Review Events\r\n" + reason)[0]);
  }
  EXPECT_EQ(controls_.review_shown, 0);
}

// Corrections kept aside when the program was asked to end (never over the
// data file, also where a link holds their name): the next Review Events of
// the file offers to load them as unsaved corrections, to delete them, or to
// leave them. Loaded and saved, they go.
TEST_F(ReviewEventsCommandTest, CorrectionsKeptAsideAreOfferedNextTime) {
  SmallMatch().Write(path_);
  const std::vector<std::uint8_t> recorded = ReadFileBytes(path_);
  state_.Data_file_path = path_;
  const std::string unsaved = UnsavedPath(path_);
  ASSERT_EQ(::symlink(path_.c_str(), unsaved.c_str()), 0);
  std::vector<std::uint8_t> kept;
  for (const std::string answer : {"Load", "Delete", "Not now", "Load"}) {
    SCOPED_TRACE(answer);
    ReviewDocument d;
    ASSERT_TRUE(ReadReviewDocument(path_, d));
    ReviewSession ended(path_, std::move(d));
    ended.Apply(*ended.document().Delete({4}));
    EXPECT_EQ(ended.KeepUnsaved(),
              "the corrections to " + path_ + " were not saved; they are kept in " + unsaved);
    kept = ended.document().FileBytes();
    controls_.questions.clear();
    controls_.answers = {answer};
    controls_.on_review_window = [&](ReviewSession& s) {
      EXPECT_EQ(s.document().EventCount(), answer == "Load" ? 4 : 5);
      if (controls_.review_shown == 4) ExpectSaved(s);
    };
    EXPECT_EQ(ReadFileBytes(path_), recorded);
    recorder_.mnuReviewEvents_Click();
    ASSERT_EQ(controls_.questions.size(), 1u);
    EXPECT_EQ(controls_.questions[0].text,
              "Corrections to 120599_1.dat that were not saved when Varrow was asked to end are "
              "kept in 120599_1.dat.unsaved.\r\nLoad them into Review Events, or delete them?");
    EXPECT_EQ(std::filesystem::exists(unsaved), answer != "Delete" && controls_.review_shown < 4);
  }
  EXPECT_EQ(ReadFileBytes(path_), kept);
}

TEST_F(ReviewEventsCommandTest, AfterASaveTheMainWindowTakesTheFileAsOpenDoes) {
  SmallMatch().Write(path_);
  state_.Data_file_path = path_;
  controls_.on_review_window = [](ReviewSession& s) {
    s.Apply(*s.document().Delete({4}));  // red's goal, and with it the last event
    ExpectSaved(s);
  };
  recorder_.mnuReviewEvents_Click();
  EXPECT_EQ(controls_.review_shown, 1);
  EXPECT_EQ(controls_.Caption(MainControl::kLabel3), "0");
  EXPECT_EQ(controls_.Caption(MainControl::kLabel4), "1");
  EXPECT_EQ(state_.form1.RecordNumber, 7);
  EXPECT_EQ(state_.form1.X_1, 4750);  // the kick-off is the last event now
  EXPECT_EQ(controls_.Caption(MainControl::kLabel6), " File: " + path_);
}

}  // namespace
}  // namespace varrow
