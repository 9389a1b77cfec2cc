// A recording process killed without warning leaves a file that agrees with
// itself and holds every click it finished, however far behind the flush to
// the disk is.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <utility>

#include "recorder_fixture.h"

namespace varrow {
namespace {

using testing::RecorderFixture;

// Click i of the child's endless match: play all over the field, and every
// tenth click an own goal of the left team (0 : 1, 0 : 2, ...).
std::pair<float, float> Position(int i) {
  if (i % 10 == 9) return {600, 3000};
  return {static_cast<float>(1000 + (i * 397) % 7000), static_cast<float>(1200 + (i * 211) % 3600)};
}

class KilledWhileRecordingTest : public RecorderFixture,
                                 public ::testing::WithParamInterface<int> {};

TEST_P(KilledWhileRecordingTest, FileAgreesWithItselfAndKeepsEveryFinishedClick) {
  const int reports_before_kill = GetParam();
  New(1);
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  // Forked before START CLOCK: the flushing threads belong to the child.
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    // The child records on a disk that takes 300 ms for each flush until it
    // is killed; after each finished click it says which record that click
    // went to.
    ::close(fds[0]);
    recorder_.SetFlushFunction([](int fd) {
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      return FlushToDisk(fd);
    });
    recorder_.Command2_Click();
    for (int i = 0; i < 30000; ++i) {
      recorder_.Timer1_Timer();
      const auto [x, y] = Position(i);
      Click(x, y);
      const std::int16_t n = v().RecordNumber;
      if (::write(fds[1], &n, sizeof n) != static_cast<ssize_t>(sizeof n)) ::_exit(2);
    }
    ::_exit(0);
  }
  ::close(fds[1]);
  std::int16_t finished = 0;
  std::int16_t n = 0;
  for (int reports = 0; reports < reports_before_kill; ++reports) {
    ASSERT_EQ(::read(fds[0], &n, sizeof n), static_cast<ssize_t>(sizeof n));
    finished = n;
  }
  ASSERT_EQ(::kill(pid, SIGKILL), 0);
  while (::read(fds[0], &n, sizeof n) == static_cast<ssize_t>(sizeof n)) finished = n;
  ::close(fds[0]);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

  const auto bytes = Bytes();
  ASSERT_EQ(bytes.size() % kRecordLength, 0u);
  const Header_record h = DiskHeader();
  // Every click the child finished is counted; at most one more finished
  // after its last report, and at most one more event was on its way.
  EXPECT_GE(h.Last_record, finished);
  EXPECT_LE(h.Last_record, finished + 1);
  const auto records = static_cast<int>(bytes.size() / kRecordLength);
  EXPECT_GE(records, h.Last_record);
  EXPECT_LE(records, h.Last_record + 1);
  EXPECT_EQ(RecordHex(1), "52 65 64 73 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20");
  EXPECT_EQ(h.Team_1_color, kBlue);

  // The events the header counts are exactly the clicks, in order, and the
  // header's clock and score are those of the last of them.
  int goals = 0;
  for (int record = 5; record <= h.Last_record; ++record) {
    const int i = record - 5;
    const Event_record e = DiskEvent(record);
    ASSERT_EQ(e.X, Position(i).first) << record;
    ASSERT_EQ(e.Y, Position(i).second) << record;
    ASSERT_EQ(e.Clock_seconds, i + 1) << record;
    goals += e.Left_goal;
  }
  EXPECT_EQ(h.Clock_seconds, h.Last_record - 4);
  EXPECT_EQ(h.Score_1, goals);
  EXPECT_EQ(h.Score_2, 0);
}

INSTANTIATE_TEST_SUITE_P(AtSomeMoment, KilledWhileRecordingTest, ::testing::Values(1, 37, 250));

}  // namespace
}  // namespace varrow
