// The data file is flushed to the disk in the background while the clock
// runs: no handler waits for a flush, STOP CLOCK waits for all of them, and a
// flush that fails stops recording as a failed write does.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "recorder_fixture.h"

namespace varrow {
namespace {

using namespace std::chrono_literals;
using testing::RecorderFixture;

// A disk whose flushes hang until the test lets them through, then end with
// `error` (0: flushed for real). A flush hangs 10 s at most, so that a
// handler that wrongly waits for one makes the test fail, not hang. Each
// flush that succeeds notes the Last_record of the header it found when it
// began.
class HeldDisk {
 public:
  explicit HeldDisk(int error) : error_(error) {}

  int Flush(int fd) {
    RecordBytes header{};
    const bool read = ::pread(fd, header.data(), header.size(),
                              (kHeaderRecord - 1) * kRecordLength) == kRecordLength;
    std::unique_lock lock(mutex_);
    ++started_;
    changed_.notify_all();
    changed_.wait_for(lock, 10s, [this] { return through_; });
    const int error = error_ != 0 ? error_ : FlushToDisk(fd);
    if (error == 0 && read) flushed_last_records_.push_back(DecodeHeader(header).Last_record);
    ++finished_;
    return error;
  }
  void LetThrough() {
    std::lock_guard lock(mutex_);
    through_ = true;
    changed_.notify_all();
  }
  // Whether `n` flushes have begun within 10 s.
  bool Started(int n) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, 10s, [&] { return started_ >= n; });
  }
  int Finished() {
    std::lock_guard lock(mutex_);
    return finished_;
  }
  std::vector<std::int16_t> FlushedLastRecords() {
    std::lock_guard lock(mutex_);
    return flushed_last_records_;
  }

 private:
  const int error_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool through_ = false;
  int started_ = 0;
  int finished_ = 0;
  std::vector<std::int16_t> flushed_last_records_;
};

class BackgroundFlushTest : public RecorderFixture {
 protected:
  // Flushes left hanging would hold up the recorder's end.
  ~BackgroundFlushTest() override { disk_->LetThrough(); }

  void UseHeldDisk(int error) {
    disk_ = std::make_shared<HeldDisk>(error);
    recorder_.SetFlushFunction([disk = disk_](int fd) { return disk->Flush(fd); });
  }
  // Until a flushing thread has asked the window to look (10 s at most).
  bool KnockedWithin10s() {
    for (int i = 0; i < 1000 && controls_.flush_checks_posted.value == 0; ++i) {
      std::this_thread::sleep_for(10ms);
    }
    return controls_.flush_checks_posted.value == 1;
  }

  std::shared_ptr<HeldDisk> disk_ = std::make_shared<HeldDisk>(0);
};

TEST_F(BackgroundFlushTest, ClicksGoOnWhileFlushesHangAndStopClockWaitsForThem) {
  UseHeldDisk(0);
  NewAndStart();
  ASSERT_TRUE(disk_->Started(1));  // START CLOCK's records
  // Each click is written and drawn at once, and its records start a flush
  // of their own while the earlier ones still hang.
  Click(2000, 2000);
  ASSERT_TRUE(disk_->Started(2));
  Click(3000, 2000);
  ASSERT_TRUE(disk_->Started(3));
  Click(600, 3000);  // a goal: 0 : 1
  ASSERT_TRUE(disk_->Started(4));
  EXPECT_EQ(disk_->Finished(), 0);
  EXPECT_EQ(DiskHeader().Last_record, 7);
  EXPECT_EQ(DiskHeader().Score_1, 1);
  EXPECT_EQ(Caption(MainControl::kLabel4), "1");
  EXPECT_EQ(Ops().size(), 18u);

  std::jthread later([this] {
    std::this_thread::sleep_for(100ms);
    disk_->LetThrough();
  });
  Stop();
  // STOP CLOCK came back with its own marker and header on the disk.
  const std::vector<std::int16_t> flushed = disk_->FlushedLastRecords();
  ASSERT_FALSE(flushed.empty());
  EXPECT_EQ(*std::max_element(flushed.begin(), flushed.end()), 8);
  EXPECT_EQ(v().RecordNumber, 8);
  EXPECT_FALSE(recorder_.FileOpen());
  EXPECT_TRUE(controls_.messages.empty());
}

TEST_F(BackgroundFlushTest, AFailedFlushStopsRecordingWithTheFileAsTheScreenShowsIt) {
  UseHeldDisk(EIO);
  NewAndStart();
  Click(2000, 2000);
  Click(600, 3000);  // a goal: 0 : 1
  disk_->LetThrough();
  ASSERT_TRUE(KnockedWithin10s());
  // The flushing thread only knocks; the operator hears it on this thread,
  // at the window's call or at the next handler, whichever comes first.
  EXPECT_TRUE(controls_.messages.empty());
  surface_.ClearLog();
  Click(3000, 2000);
  ExpectStoppedWithError("#5 occurred: \nInput/output error");
  EXPECT_TRUE(Ops().empty());  // that click was not drawn, nor written

  // The file holds the two clicks before the failure, as the screen shows.
  EXPECT_EQ(Bytes().size(), 6u * kRecordLength);
  EXPECT_EQ(v().RecordNumber, 6);
  EXPECT_EQ(EncodeHeader(DiskHeader()), EncodeHeader(state_.Header_rec));
  EXPECT_EQ(DiskHeader().Score_1, 1);
  EXPECT_EQ(Caption(MainControl::kLabel4), "1");
  EXPECT_EQ(DiskEvent(6), state_.Event_rec);
  EXPECT_EQ(v().X_1, 600.0f);

  // The window's call after the knock finds nothing more to say.
  recorder_.CheckFlush();
  EXPECT_EQ(controls_.messages.size(), 1u);
}

}  // namespace
}  // namespace varrow
