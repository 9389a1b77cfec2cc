#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <stop_token>
#include <thread>
#include <vector>

#include "datafile/data_file.h"

namespace varrow {

// Flushes one open file's written records to the disk off the thread that
// writes them. Whenever records were written since the last flush started, a
// flush starts at once on one of kThreads threads, also while earlier flushes
// still run: a record never waits for a flush that began before it was
// written (as long as fewer than kThreads flushes run at a time; ten clicks a
// second on a disk that takes 300 ms a flush keep about six running). The
// threads are started with the flusher, so writing never has to start one.
// The first failure stops all flushing: what was written since the last good
// flush may not be on the disk, and a later flush that succeeds would hide it.
//
// Written, WaitFlushed and the destructor belong to the owner's thread;
// Failure may be called from any thread.
class BackgroundFlusher {
 public:
  static constexpr int kThreads = 8;

  // `on_failure` runs once, on a flushing thread, when a flush fails.
  BackgroundFlusher(int fd, FlushFunction flush, std::function<void()> on_failure);
  // Flushes whatever is not flushed yet, and returns when no flush runs.
  ~BackgroundFlusher();
  BackgroundFlusher(const BackgroundFlusher&) = delete;
  BackgroundFlusher& operator=(const BackgroundFlusher&) = delete;

  // Records have just been written (or the file cut): they need a flush.
  void Written();
  // Returns once everything written so far is on the disk, or a flush failed.
  [[nodiscard]] FileStatus WaitFlushed();
  // Ok, or the failure of the first flush that failed.
  [[nodiscard]] FileStatus Failure() const;

 private:
  void Work(std::stop_token stop);

  const int fd_;
  const FlushFunction flush_;
  const std::function<void()> on_failure_;

  mutable std::mutex mutex_;
  std::condition_variable_any changed_;
  // Counts of Written calls: all of them, those the latest flush to start
  // covers, and those known to be on the disk.
  std::uint64_t written_ = 0;
  std::uint64_t started_ = 0;
  std::uint64_t flushed_ = 0;
  FileStatus failure_;

  std::vector<std::jthread> threads_;  // last: they start once all else is ready
};

}  // namespace varrow
