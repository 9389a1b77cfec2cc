// Recording when the operating system refuses: real failures, no mocks.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "file_size_limit.h"
#include "recorder_fixture.h"

namespace varrow {
namespace {

using testing::FileSizeLimit;
using testing::RecorderFixture;
using testing::RecorderRig;

using RecordingFailureTest = RecorderFixture;

TEST_F(RecordingFailureTest, AClickTheFileCannotTakeLeavesNoTrace) {
  NewAndStart();
  Click(2000, 2000);
  Click(3000, 2000);
  ASSERT_EQ(Bytes().size(), 120u);
  {
    // Room for half a record: the write is torn, then refused.
    FileSizeLimit limit(130);
    Click(600, 3000);  // an own goal that would have made it 0 : 1
  }
  ExpectStoppedWithError("#27 occurred: \nFile too large");
  EXPECT_EQ(Bytes().size(), 120u);  // the torn part is gone
  EXPECT_EQ(v().RecordNumber, 6);
  EXPECT_EQ(state_.Header_rec.Last_record, 6);
  EXPECT_EQ(DiskHeader().Last_record, 6);
  EXPECT_EQ(state_.Event_rec, DiskEvent(6));
  EXPECT_EQ(state_.Score_1, 0);
  EXPECT_EQ(Caption(MainControl::kLabel4), "0");
  EXPECT_EQ(DiskHeader().Score_1, 0);
  EXPECT_EQ(v().X_1, 3000.0f);
  EXPECT_EQ(v().Ball_position, 255);
  EXPECT_EQ(v().Left_Goal_flag, 0);
  EXPECT_TRUE(LeftHasBall());
  EXPECT_EQ(Ops().size(), 12u);  // only the two good clicks were drawn

  // Once the cause is gone recording resumes where the file ends.
  controls_.messages.clear();
  Start();
  EXPECT_TRUE(controls_.messages.empty());
  EXPECT_EQ(v().RecordNumber, 7);
  EXPECT_EQ(DiskHeader().Last_record, 7);
  Click(600, 3000);
  EXPECT_EQ(state_.Score_1, 1);
  EXPECT_EQ(DiskHeader().Score_1, 1);
  EXPECT_EQ(DiskEvent(8).Left_goal, 1);
}

TEST_F(RecordingFailureTest, AVanishedFileIsReportedAndNeverRecreated) {
  NewAndStart();
  Stop();
  ASSERT_EQ(::unlink(Path().c_str()), 0);
  Start();
  ExpectStoppedWithError("#2 occurred: \nNo such file or directory");
  EXPECT_FALSE(std::filesystem::exists(Path()));
  EXPECT_EQ(v().RecordNumber, 5);
}

TEST_F(RecordingFailureTest, AFileRemovedWhileRecordingIsReportedWithinASecond) {
  NewAndStart();
  Click(2000, 2000);
  recorder_.Timer1_Timer();
  EXPECT_TRUE(controls_.messages.empty());
  ASSERT_EQ(::unlink(Path().c_str()), 0);
  recorder_.Timer1_Timer();
  ExpectStoppedWithError("#2 occurred: \nThe data file has been removed");
  controls_.messages.clear();
  Click(3000, 2000);  // refused: the clock has stopped
  EXPECT_EQ(controls_.LastMessage(), "Must START CLOCK\r\n to enter data");
  controls_.messages.clear();
  Start();  // reported again, and not recreated
  ExpectStoppedWithError("No such file or directory");
  EXPECT_FALSE(std::filesystem::exists(Path()));
}

// Another file under the name (as another program's save leaves it): the
// file being recorded is no longer the data file, as when it is removed.
TEST_F(RecordingFailureTest, AFileReplacedWhileRecordingIsReportedWithinASecond) {
  NewAndStart();
  Click(2000, 2000);
  ASSERT_TRUE(testing::WriteFileBytes(Path() + ".new", Bytes()));
  ASSERT_EQ(::rename((Path() + ".new").c_str(), Path().c_str()), 0);
  recorder_.Timer1_Timer();
  ExpectStoppedWithError("#2 occurred: \nAnother file has taken the data file's name");
}

TEST_F(RecordingFailureTest, UndoShotAndStopNoticeARemovedFile) {
  const std::vector<std::function<void()>> commands = {[&] { recorder_.Command1_Click(); },
                                                       [&] { recorder_.Command5_Click(); },
                                                       [&] { recorder_.Command2_Click(); }};
  for (const auto& command : commands) {
    New(1);
    Start();
    Click(2000, 2000);
    controls_.messages.clear();
    ASSERT_EQ(::unlink(Path().c_str()), 0);
    command();
    ExpectStoppedWithError("The data file has been removed");
    EXPECT_EQ(v().RecordNumber, 5);  // an UNDO or STOP that did not reach a file does not count
  }
}

TEST_F(RecordingFailureTest, AHeaderCountingTooFewRecordsIsNeverAppendedTo) {
  New(1);
  controls_.messages.clear();
  state_.Header_rec.Last_record = 1;  // as a damaged file could leave it
  const auto bytes = Bytes();
  Start();
  ExpectStoppedWithError("header is damaged");
  EXPECT_EQ(Bytes(), bytes);
}

// Something else in place of the data file after STOP CLOCK: START CLOCK,
// Open and Generate Stats each refuse with their message, change nothing on
// the screen or in the program, and leave the thing where it is.
struct Replacement {
  const char* name;
  std::function<void(const std::string& path)> make;
  const char* reason;  // what START CLOCK's message says
};

void PrintTo(const Replacement& r, std::ostream* os) { *os << r.name; }

class ReplacedFileTest : public RecordingFailureTest,
                         public ::testing::WithParamInterface<Replacement> {
 protected:
  struct Seen {
    std::vector<std::string> captions;
    std::string path;
    std::int16_t record_number;
    Header_record header;
    bool operator==(const Seen&) const = default;
  };
  Seen Look() const {
    std::vector<std::string> captions;
    for (MainControl c : {MainControl::kText1, MainControl::kText2, MainControl::kLabel3,
                          MainControl::kLabel4, MainControl::kLabel5, MainControl::kLabel6,
                          MainControl::kLabel7, MainControl::kCommand2}) {
      captions.push_back(Caption(c));
    }
    return {captions, Path(), state_.form1.RecordNumber, state_.Header_rec};
  }
  // New, a click, STOP CLOCK, then the file replaced.
  void RecordThenReplace() {
    NewAndStart();
    Click(2000, 2000);
    Stop();
    controls_.messages.clear();
    ASSERT_EQ(::unlink(Path().c_str()), 0);
    GetParam().make(Path());
  }
  void ExpectLeftAlone(const std::string& path) {
    struct stat st {};
    ASSERT_EQ(::lstat(path.c_str(), &st), 0);
    EXPECT_FALSE(S_ISREG(st.st_mode)) << "a data file was made in its place";
  }
};

TEST_P(ReplacedFileTest, StartClockRefuses) {
  RecordThenReplace();
  const Seen before = Look();
  Start();
  ExpectStoppedWithError(GetParam().reason);
  EXPECT_EQ(Look(), before);
  ExpectLeftAlone(Path());
}

TEST_P(ReplacedFileTest, OpenRefuses) {
  RecordThenReplace();
  const Seen before = Look();
  controls_.open_dialog_answers.push_back(Path());
  recorder_.mnuOpen_Click();
  ASSERT_EQ(controls_.messages.size(), 1u);
  EXPECT_EQ(controls_.messages[0].title, "ERROR");
  EXPECT_NE(controls_.messages[0].text.find(Path()), std::string::npos);
  EXPECT_EQ(Look(), before);
  ExpectLeftAlone(Path());
}

TEST_P(ReplacedFileTest, GenerateStatsRefuses) {
  RecordThenReplace();
  const Seen before = Look();
  recorder_.mnuGenStats_Click();
  ASSERT_EQ(controls_.messages.size(), 1u);
  EXPECT_EQ(controls_.messages[0].title, "WARNING");
  EXPECT_NE(controls_.messages[0].text.find(Path()), std::string::npos);
  EXPECT_EQ(controls_.reports_shown, 0);
  EXPECT_EQ(Look(), before);
  ExpectLeftAlone(Path());
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ReplacedFileTest,
    ::testing::Values(
        Replacement{"Directory", [](const std::string& p) { std::filesystem::create_directory(p); },
                    "Is a directory"},
        // Opening a pipe must not wait for a writer.
        Replacement{"Fifo", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); },
                    "Not a regular file"},
        Replacement{
            "DanglingLink",
            [](const std::string& p) { ASSERT_EQ(::symlink((p + ".gone").c_str(), p.c_str()), 0); },
            "No such file or directory"}),
    [](const auto& test) { return std::string(test.param.name); });

// A file cut to any length between STOP and START: START CLOCK takes it only
// while it still holds every record its header counts, and then appends
// after the last of them; otherwise the file has changed since this copy
// wrote it, and it refuses as for any change, leaving every byte alone.
TEST(ShortenedFileTest, StartClockTakesOnlyAFileHoldingWhatItsHeaderCounts) {
  std::vector<std::uint8_t> recorded;
  for (std::size_t length = 0;; ++length) {
    SCOPED_TRACE("cut to " + std::to_string(length) + " bytes");
    RecorderRig rig;
    rig.SkipFlushing();
    rig.New(1);
    rig.recorder_.Command2_Click();  // START: record 4
    rig.Click(2000, 2000);           // 5
    rig.Click(3000, 2000);           // 6
    rig.Click(4000, 2000);           // 7
    rig.recorder_.Command1_Click();  // UNDO: 6
    rig.recorder_.Command1_Click();  // UNDO: 5
    rig.recorder_.Command2_Click();  // STOP: 6, record 7 stays beyond the count
    recorded = rig.Bytes();
    ASSERT_EQ(recorded.size(), 140u);
    if (length > recorded.size()) break;
    ASSERT_EQ(::truncate(rig.Path().c_str(), static_cast<off_t>(length)), 0);
    const auto cut = rig.Bytes();
    rig.controls_.messages.clear();
    rig.recorder_.Command2_Click();
    if (length < 6u * kRecordLength) {
      EXPECT_EQ(rig.controls_.messages,
                testing::OneWarning(
                    "Data file changed since it was opened\r\nOPEN it again to START CLOCK"));
      EXPECT_FALSE(rig.controls_.TimerEnabled());
      EXPECT_FALSE(rig.recorder_.FileOpen());
      EXPECT_EQ(rig.Bytes(), cut);
    } else {
      EXPECT_TRUE(rig.controls_.messages.empty());
      EXPECT_EQ(rig.state_.form1.RecordNumber, 7);
      EXPECT_EQ(rig.Bytes().size(), 140u);  // a torn tail is written over
      EXPECT_EQ(rig.DiskHeader().Last_record, 7);
      const auto now = rig.Bytes();
      EXPECT_TRUE(std::equal(recorded.begin(), recorded.begin() + 40, now.begin()));
      EXPECT_TRUE(std::equal(recorded.begin() + 60, recorded.begin() + 120, now.begin() + 60));
      EXPECT_EQ(rig.DiskEvent(7), rig.DiskEvent(6));  // START's marker, as STOP's
    }
  }
}

TEST_F(RecordingFailureTest, ANewFileThatCannotBeWrittenIsRemovedAndTheSidesComeBack) {
  state_.Score_2 = 2;
  {
    FileSizeLimit limit(30);
    New(2);
  }
  ASSERT_EQ(controls_.messages.size(), 1u);
  EXPECT_EQ(controls_.messages[0].title, "ERROR");
  EXPECT_NE(controls_.messages[0].text.find("File too large"), std::string::npos);
  EXPECT_NE(controls_.messages[0].text.find(dir_.File("120599_1.dat")), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_empty(dir_.path()));
  EXPECT_TRUE(Path().empty());
  EXPECT_EQ(Names(), (NameBoxes{{"Reds", kRed}, {"Blues", kBlue}}));
  EXPECT_EQ(state_.Score_2, 2);
  EXPECT_EQ(state_.Score_1, 0);
  EXPECT_EQ(state_.Header_rec.Period, 1);
  EXPECT_EQ(Caption(MainControl::kLabel7), "");
  EXPECT_EQ(state_.New_file_flag, 0);

  // The name is free again for the next try.
  controls_.messages.clear();
  New(1);
  EXPECT_EQ(Path(), dir_.File("120599_1.dat"));
}

// Every recording command with the file size limit at every byte below the
// end of the file and through the next record: whatever the command managed,
// the header on disk is the one in memory and counts RecordNumber, the file
// holds whole records, nothing recorded before is lost, a command that did
// not get through said so, and recording goes on in the same file once the
// limit is gone.
struct LimitedCommand {
  const char* name;
  bool needs_stopped_clock;
  int record_step;  // how the command moves RecordNumber when it gets through
  std::function<void(RecorderRig&)> run;
};

void PrintTo(const LimitedCommand& c, std::ostream* os) { *os << c.name; }

class FileSizeLimitSweepTest : public ::testing::TestWithParam<LimitedCommand> {};

TEST_P(FileSizeLimitSweepTest, StateAndDiskAgreeWhereverTheLimitFalls) {
  const LimitedCommand& command = GetParam();
  for (rlim_t limit = 0; limit <= 200; ++limit) {
    SCOPED_TRACE("limit " + std::to_string(limit));
    RecorderRig rig;
    rig.SkipFlushing();  // the limit is on writes
    rig.New(1);
    rig.recorder_.Command2_Click();
    rig.TickTo(5);
    rig.Click(2000, 2000);
    rig.Click(600, 3000);  // a goal: 0 : 1
    rig.Click(3000, 2000);
    if (command.needs_stopped_clock) rig.recorder_.Command2_Click();
    rig.controls_.messages.clear();
    const auto before = rig.Bytes();
    const std::int16_t record_before = rig.state_.form1.RecordNumber;
    {
      FileSizeLimit lower(limit);
      command.run(rig);
    }
    const auto after = rig.Bytes();
    if (command.record_step != 0) {
      const bool through = rig.state_.form1.RecordNumber == record_before + command.record_step;
      EXPECT_NE(through, !rig.controls_.messages.empty());
    }
    if (!rig.controls_.messages.empty()) {
      ASSERT_EQ(rig.controls_.messages.size(), 1u);
      EXPECT_EQ(rig.controls_.messages[0].title, "ERROR");
      EXPECT_NE(rig.controls_.messages[0].text.find("File too large"), std::string::npos);
      EXPECT_FALSE(rig.controls_.TimerEnabled());
      EXPECT_FALSE(rig.recorder_.FileOpen());
      EXPECT_EQ(rig.state_.form1.RecordNumber, record_before);
      // A command that failed changed nothing that was recorded, its own
      // record included; only the header may have been written again.
      const auto recorded = static_cast<std::ptrdiff_t>(record_before) * kRecordLength;
      ASSERT_GE(static_cast<std::ptrdiff_t>(after.size()), recorded);
      EXPECT_TRUE(std::equal(before.begin() + 3 * kRecordLength, before.begin() + recorded,
                             after.begin() + 3 * kRecordLength));
    }
    ASSERT_EQ(after.size() % kRecordLength, 0u);
    const RecordBytes header = EncodeHeader(rig.state_.Header_rec);
    EXPECT_EQ(rig.Record(kHeaderRecord), std::vector<std::uint8_t>(header.begin(), header.end()));
    EXPECT_EQ(rig.DiskHeader().Last_record, rig.state_.form1.RecordNumber);
    EXPECT_EQ(rig.DiskHeader().Score_1, rig.state_.Score_1);
    // The names and every event before the latest are as they were.
    const auto kept = static_cast<std::ptrdiff_t>(record_before - 1) * kRecordLength;
    ASSERT_GE(static_cast<std::ptrdiff_t>(after.size()), kept);
    EXPECT_TRUE(std::equal(before.begin(), before.begin() + 2 * kRecordLength, after.begin()));
    EXPECT_TRUE(std::equal(before.begin() + 3 * kRecordLength, before.begin() + kept,
                           after.begin() + 3 * kRecordLength));

    rig.controls_.messages.clear();
    if (!rig.controls_.TimerEnabled()) rig.recorder_.Command2_Click();
    rig.Click(4000, 4000);
    EXPECT_TRUE(rig.controls_.messages.empty());
    EXPECT_EQ(rig.DiskHeader().Last_record, rig.state_.form1.RecordNumber);
    EXPECT_EQ(rig.DiskEvent(rig.state_.form1.RecordNumber).X, 4000.0f);
    if (::testing::Test::HasFailure()) break;  // one limit's report is enough
  }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, FileSizeLimitSweepTest,
    ::testing::Values(
        LimitedCommand{"Click", false, 1, [](RecorderRig& r) { r.Click(2500, 2500); }},
        LimitedCommand{"Goal", false, 1, [](RecorderRig& r) { r.Click(8900, 3000); }},
        LimitedCommand{"Undo", false, -1, [](RecorderRig& r) { r.recorder_.Command1_Click(); }},
        LimitedCommand{"Shot", false, 0, [](RecorderRig& r) { r.recorder_.Command5_Click(); }},
        LimitedCommand{"Stop", false, 1, [](RecorderRig& r) { r.recorder_.Command2_Click(); }},
        LimitedCommand{"Start", true, 1, [](RecorderRig& r) { r.recorder_.Command2_Click(); }}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace varrow
