// Two copies of the program on one data file: only one records into it at a
// time, and the other may not append to what it has not seen.
#include <gtest/gtest.h>

#include "recorder_rig.h"

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

}  // namespace
}  // namespace varrow
