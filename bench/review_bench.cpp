// Reports > Review Events through the real windows on a data file of 32,767
// records, the most a file can number: from the menu command, through
// reading the file and the statistics pass, until the Review Events window
// has painted its first frame. Target: under 300 ms. Then the table is
// scrolled to its last row and painted again, and the peak resident memory
// the window added is reported. Target: under 30 MB.
//
//   build/bench/review_bench [runs]
//
// Runs on the display it finds, offscreen when there is none.
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTableView>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "forms/review_window.h"
#include "window_bench.h"

namespace {

constexpr int kRecords = varrow::kMaxRecordNumber;
constexpr double kTargetMs = 300;
constexpr double kTargetMb = 30;

// The process's peak resident memory so far, in KiB (VmHWM).
long PeakRssKb() {
  std::ifstream status("/proc/self/status");
  std::string key;
  long value = 0;
  while (status >> key) {
    if (key == "VmHWM:") {
      status >> value;
      return value;
    }
    status.ignore(1 << 16, '\n');
  }
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  varrow::bench::WindowBenchScratch scratch;
  const std::string data_file = scratch.File("120599_1.dat").string();
  const auto clock = [](int r) { return static_cast<std::int16_t>(r); };
  if (!scratch.ok() || !varrow::bench::WriteMatchFile(data_file, kRecords, 32000, clock)) {
    std::fprintf(stderr, "cannot write %s\n", data_file.c_str());
    return 1;
  }

  QApplication app(argc, argv);
  varrow::bench::BenchMainWindow main_window(data_file);
  if (!main_window.shown) return 1;
  QAction* review = main_window.form1.findChild<QAction*>("mnuReviewEvents");

  // After the first frame: the table scrolled to its last row and painted.
  double scroll_ms = 0;
  varrow::bench::FirstFrameWatch<varrow::forms::ReviewWindow> watch(
      [&scroll_ms](varrow::forms::ReviewWindow& window) {
        QElapsedTimer scroll;
        scroll.start();
        window.table()->scrollToBottom();
        window.table()->viewport()->repaint();
        scroll_ms = scroll.nsecsElapsed() / 1e6;
        window.done(0);
      });
  const long rss_before_kb = PeakRssKb();
  long rss_first_kb = 0;
  std::vector<double> ms;
  std::vector<double> scrolls;
  for (int run = 0; run <= runs; ++run) {
    // Returns when the window has closed.
    const double t = watch.Time([review] { review->trigger(); });
    if (t < 0) {
      std::fprintf(stderr, "the Review Events window did not paint\n");
      return 1;
    }
    if (run == 0) {
      rss_first_kb = PeakRssKb();  // the first opening, warm-up included
    } else {
      ms.push_back(t);
      scrolls.push_back(scroll_ms);
    }
  }
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  const double added_mb = (rss_first_kb - rss_before_kb) / 1024.0;
  std::printf(
      "Review Events on %d records, menu command to the window's first frame (platform: %s)\n",
      kRecords, platform != nullptr ? platform : "display");
  varrow::bench::PrintTimes(ms, kTargetMs);
  std::printf("  scrolling the table to its last row and painting it: median %.1f ms\n",
              varrow::bench::Median(scrolls));
  std::printf(
      "  peak resident memory added by the first opening: %.1f MB (%.1f MB before)   "
      "(target: under %.0f MB)   %s\n",
      added_mb, rss_before_kb / 1024.0, kTargetMb, added_mb < kTargetMb ? "met" : "MISSED");
  return 0;
}
