#include "datafile/background_flusher.h"

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <utility>

namespace varrow {

BackgroundFlusher::BackgroundFlusher(int fd, FlushFunction flush, std::function<void()> on_failure)
    : fd_(fd), flush_(std::move(flush)), on_failure_(std::move(on_failure)) {
  try {
    for (int i = 0; i < kThreads; ++i) {
      threads_.emplace_back([this](std::stop_token stop) { Work(std::move(stop)); });
    }
  } catch (const std::system_error&) {
    // Fewer threads only flush less at a time; none would never flush.
    if (threads_.empty()) {
      failure_ = FileStatus::Error(EAGAIN, "No thread could be started to flush the data file");
    }
  }
}

BackgroundFlusher::~BackgroundFlusher() {
  // A stopped thread still takes what is left to flush before it ends.
  for (std::jthread& t : threads_) t.request_stop();
  threads_.clear();
}

void BackgroundFlusher::Written() {
  {
    std::lock_guard lock(mutex_);
    ++written_;
  }
  changed_.notify_one();
}

FileStatus BackgroundFlusher::WaitFlushed() {
  std::unique_lock lock(mutex_);
  const std::uint64_t target = written_;
  changed_.wait(lock, [&] { return flushed_ >= target || !failure_.ok(); });
  return failure_;
}

FileStatus BackgroundFlusher::Failure() const {
  std::lock_guard lock(mutex_);
  return failure_;
}

void BackgroundFlusher::Work(std::stop_token stop) {
  std::unique_lock lock(mutex_);
  for (;;) {
    // Asked to stop, the wait still returns true while something is left.
    if (!changed_.wait(lock, stop, [&] { return started_ < written_ && failure_.ok(); })) return;
    const std::uint64_t target = written_;
    started_ = target;
    lock.unlock();
    const int error = flush_(fd_);
    lock.lock();
    bool report = false;
    if (error == 0) {
      // Flushes end in any order; one that ends late covers less.
      flushed_ = std::max(flushed_, target);
    } else if (failure_.ok()) {
      failure_ = FileStatus::FromErrno(error);
      report = true;
    }
    changed_.notify_all();
    if (report && on_failure_) {
      lock.unlock();
      on_failure_();
      lock.lock();
    }
  }
}

}  // namespace varrow
