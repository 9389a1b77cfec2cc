// Recording when the operating system refuses: real failures, no mocks.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "recorder_fixture.h"

namespace varrow {
namespace {

using testing::RecorderFixture;

// Lowers this process's file size limit, so that writes past `bytes` fail
// with EFBIG instead of raising SIGXFSZ; puts limit and signal back after.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, &saved_action_);
    rlimit lower = saved_;
    lower.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &lower);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    ::sigaction(SIGXFSZ, &saved_action_, nullptr);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  struct sigaction saved_action_ {};
};

class RecordingFailureTest : public RecorderFixture {
 protected:
  // The ERROR message, the clock stopped and the file closed.
  void ExpectStoppedWithError(const std::string& errno_text) {
    ASSERT_EQ(controls_.messages.size(), 1u);
    const testing::ShownMessage& m = controls_.messages[0];
    EXPECT_EQ(m.title, "ERROR");
    EXPECT_EQ(m.icon, MsgIcon::kExclamation);
    EXPECT_NE(m.text.find(errno_text), std::string::npos) << m.text;
    EXPECT_NE(m.text.find(Path()), std::string::npos) << m.text;
    EXPECT_NE(m.text.find("The clock has been stopped."), std::string::npos) << m.text;
    EXPECT_FALSE(controls_.TimerEnabled());
    EXPECT_FALSE(recorder_.FileOpen());
    EXPECT_EQ(Caption(MainControl::kCommand2), "START CLOCK");
    EXPECT_FALSE(controls_.Locked(MainControl::kText1));
    EXPECT_FALSE(controls_.Locked(MainControl::kText2));
  }
};

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

TEST_F(RecordingFailureTest, AStopMarkerTheFileCannotTakeStillStopsTheClock) {
  NewAndStart();
  Click(2000, 2000);
  {
    FileSizeLimit limit(100);
    recorder_.Command2_Click();
  }
  ExpectStoppedWithError("File too large");
  EXPECT_EQ(Bytes().size(), 100u);
  EXPECT_EQ(DiskHeader().Last_record, 5);
  EXPECT_EQ(state_.Header_rec.Last_record, 5);
  controls_.messages.clear();
  Start();
  EXPECT_EQ(v().RecordNumber, 6);
  EXPECT_TRUE(controls_.messages.empty());
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

TEST_F(RecordingFailureTest, AFileShorterThanItsHeaderCountsIsLeftAlone) {
  NewAndStart();
  Click(2000, 2000);
  Stop();
  ASSERT_EQ(::truncate(Path().c_str(), 70), 0);
  const auto bytes = Bytes();
  Start();
  ExpectStoppedWithError("fewer records than its header counts");
  EXPECT_EQ(Bytes(), bytes);
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

TEST_F(RecordingFailureTest, ADirectoryInPlaceOfTheFileIsReported) {
  New(1);
  controls_.messages.clear();
  ASSERT_EQ(::unlink(Path().c_str()), 0);
  std::filesystem::create_directory(Path());
  Start();
  ExpectStoppedWithError("Is a directory");
  EXPECT_TRUE(std::filesystem::is_directory(Path()));
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
  EXPECT_EQ(Caption(MainControl::kText2), "Reds");
  EXPECT_EQ(controls_.ForeColor(MainControl::kText1), kBlue);
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

}  // namespace
}  // namespace varrow
