// Two copies of the program on one data file: only one records into it at a
// time, and the other may not append to what it has not seen.
#include <gtest/gtest.h>

#include <filesystem>

#include "datafile/atomic_save.h"
#include "recorder_rig.h"
#include "review/review_session.h"

namespace varrow {
namespace {

using testing::OneWarning;
using testing::RecorderRig;

TEST(TwoCopiesTest, OneRecordsAtATimeAndTheOtherMustOpenTheFileAgain) {
  RecorderRig first;
  RecorderRig second;
  first.New(1);
  second.controls_.open_dialog_answers.push_back(first.Path());
  second.recorder_.mnuOpen_Click();
  first.recorder_.Command2_Click();  // START: record 4
  first.Click(2000, 2000);           // 5
  second.controls_.messages.clear();

  const auto before = first.Bytes();
  second.recorder_.Command2_Click();
  EXPECT_EQ(second.controls_.messages,
            OneWarning("Another program is recording\r\ninto this data file"));
  EXPECT_FALSE(second.controls_.TimerEnabled());
  EXPECT_FALSE(second.recorder_.FileOpen());
  EXPECT_EQ(first.Bytes(), before);

  first.Click(3000, 2000);           // 6
  first.recorder_.Command2_Click();  // STOP: 7, and the lock is free
  const auto recorded = first.Bytes();
  second.controls_.messages.clear();
  second.recorder_.Command2_Click();
  EXPECT_EQ(second.controls_.messages,
            OneWarning("Data file changed since it was opened\r\nOPEN it again to START CLOCK"));
  EXPECT_FALSE(second.controls_.TimerEnabled());
  EXPECT_FALSE(second.recorder_.FileOpen());
  EXPECT_EQ(first.Bytes(), recorded);
  EXPECT_EQ(first.DiskHeader().Last_record, 7);

  // Opened again, it goes on after the first's records.
  second.controls_.messages.clear();
  second.controls_.open_dialog_answers.push_back(first.Path());
  second.recorder_.mnuOpen_Click();
  second.recorder_.Command2_Click();
  EXPECT_TRUE(second.controls_.messages.empty());
  EXPECT_TRUE(second.controls_.TimerEnabled());
  EXPECT_EQ(first.DiskHeader().Last_record, 8);
  EXPECT_EQ(first.Record(7),
            std::vector<std::uint8_t>(recorded.end() - kRecordLength, recorded.end()));
}

// Review Events in one copy while another records into the file: the save is
// refused while the other records, and once the other has added to the file;
// nothing is written either time. A review of the file as it now is saves,
// and then the recording copy, which has not seen that file, refuses to
// append to it although its header is unchanged.
TEST(TwoCopiesTest, AReviewSavesNeitherUnderARecordingNorOverWhatItDidNotRead) {
  RecorderRig recording;
  recording.New(1);
  recording.recorder_.Command2_Click();  // START: record 4
  recording.Click(2000, 2000);           // 5
  const std::string path = recording.Path();
  auto review = [&] {
    ReviewDocument d;
    EXPECT_TRUE(ReadReviewDocument(path, d));
    ReviewSession s(path, std::move(d));
    s.Apply(*s.document().ToggleShot(1));
    return s;
  };
  auto expect_refused = [&](ReviewSession& s, const std::string& text) {
    const auto before = recording.Bytes();
    const ReviewSaveResult r = s.Save();
    EXPECT_EQ(r.title + ": " + r.text, "WARNING: " + text);
    EXPECT_EQ(recording.Bytes(), before);
    EXPECT_FALSE(std::filesystem::exists(KeptOriginalPath(path)));
  };

  ReviewSession during = review();
  expect_refused(during, "Another program is recording\r\ninto this data file");
  recording.Click(3000, 2000);           // 6
  recording.recorder_.Command2_Click();  // STOP: 7
  expect_refused(during,
                 "Data file changed since Review Events read it\r\n"
                 "Close and open Review Events again to correct it");

  ReviewSession after = review();
  EXPECT_EQ(after.Save().kind, ReviewSaveResult::Kind::kSaved);
  EXPECT_EQ(recording.DiskHeader().Last_record, 7);
  recording.controls_.messages.clear();
  recording.recorder_.Command2_Click();
  EXPECT_EQ(recording.controls_.messages,
            OneWarning("Data file changed since it was opened\r\nOPEN it again to START CLOCK"));
  EXPECT_FALSE(recording.controls_.TimerEnabled());
}

}  // namespace
}  // namespace varrow
