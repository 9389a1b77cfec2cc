// Reports > Match Report through the real windows on four period files of
// 1638 records each: from the file dialog's OK (the files it hands over)
// until the Match Report window has painted its first frame, the whole
// match's general statistics page, with every file read and analysed and
// the whole match added up. Target: under 300 ms.
//
//   build/bench/match_report_bench [runs]
//
// Runs on the display it finds, offscreen when there is none.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "forms/match_report_window.h"
#include "window_bench.h"

namespace {

constexpr int kRecords = 1638;  // the largest file a 16-bit byte count allows
constexpr int kPeriods = 4;
constexpr double kTargetMs = 300;

}  // namespace

int main(int argc, char* argv[]) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  varrow::bench::WindowBenchScratch scratch;
  std::vector<std::string> files;
  const auto clock = [](int r) { return static_cast<std::int16_t>(r * 5 / 3); };
  for (int period = 1; period <= kPeriods; ++period) {
    const std::string name = "120599_" + std::to_string(period) + ".dat";
    files.push_back(scratch.File(name.c_str()).string());
    if (!scratch.ok() || !varrow::bench::WriteMatchFile(files.back(), kRecords, 2700, clock)) {
      std::fprintf(stderr, "cannot write %s\n", files.back().c_str());
      return 1;
    }
  }

  QApplication app(argc, argv);
  varrow::bench::BenchMainWindow main_window(files.front());
  if (!main_window.shown) return 1;
  varrow::bench::FirstFrameWatch<varrow::forms::MatchReportWindow> watch(
      [](varrow::forms::MatchReportWindow& window) { window.reject(); });
  std::vector<double> ms;
  for (int run = 0; run <= runs; ++run) {
    // Returns when the window has closed.
    const double t = watch.Time([&] { main_window.form1.ShowMatchReportWindow(files); });
    if (t < 0) {
      std::fprintf(stderr, "the Match Report window did not paint\n");
      return 1;
    }
    if (run > 0) ms.push_back(t);  // the first run warms up
  }
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  std::printf(
      "Match Report on %d files of %d records, the file dialog's OK to the window's first "
      "frame (platform: %s)\n",
      kPeriods, kRecords, platform != nullptr ? platform : "display");
  varrow::bench::PrintTimes(ms, kTargetMs);
  return 0;
}
