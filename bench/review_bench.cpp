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
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "datafile/data_file.h"
#include "forms/form1.h"
#include "forms/review_window.h"
#include "match_events.h"
#include "platform/fonts.h"
#include "platform/qt_environment.h"
#include "platform/qt_settings.h"

namespace {

constexpr int kRecords = varrow::kMaxRecordNumber;
constexpr double kTargetMs = 300;
constexpr double kTargetMb = 30;

bool WriteMatchFile(const std::string& path) {
  varrow::DataFile f;
  if (!f.Open(path, varrow::OpenMode::kCreateNew)) return false;
  bool ok = f.WriteName(varrow::kLeftNameRecord, "Red Lions") &&
            f.WriteName(varrow::kRightNameRecord, "Blue Birds");
  ok = ok && f.WriteHeader(
                 varrow::Header_record{varrow::kRed, varrow::kBlue, kRecords, 32000, 1, 0, 1, {}});
  varrow::bench::MatchEvents events(2000);
  for (int r = varrow::kFirstEventRecord; ok && r <= kRecords; ++r) {
    ok = static_cast<bool>(f.WriteEvent(r, events.Next(static_cast<std::int16_t>(r))));
  }
  return ok;
}

// The process's peak resident memory so far, in kB (VmHWM).
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

// Notes when a Review Events window has painted its first frame, then
// scrolls its table to the end, paints it and closes the window.
class ReviewPaintWatch : public QObject {
 public:
  bool painted = false;
  QElapsedTimer* clock = nullptr;
  qint64 painted_at_ns = 0;
  qint64 scroll_ns = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Paint || painted) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    auto* window =
        widget != nullptr ? qobject_cast<varrow::forms::ReviewWindow*>(widget->window()) : nullptr;
    if (window == nullptr) return false;
    painted = true;
    // A zero timer runs once the frame has been painted and flushed.
    QTimer::singleShot(0, window, [this, window] {
      painted_at_ns = clock->nsecsElapsed();
      QElapsedTimer scroll;
      scroll.start();
      window->table()->scrollToBottom();
      window->table()->viewport()->repaint();
      scroll_ns = scroll.nsecsElapsed();
      window->done(0);
    });
    return false;
  }
};

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char* argv[]) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr &&
      std::getenv("QT_QPA_PLATFORM") == nullptr) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }
  char scratch[] = "/tmp/varrow-bench-XXXXXX";
  if (mkdtemp(scratch) == nullptr) return 1;
  const std::filesystem::path dir(scratch);
  std::filesystem::create_directory(dir / "config");
  std::filesystem::create_directory(dir / "runtime");
  std::filesystem::permissions(dir / "runtime", std::filesystem::perms::owner_all);
  setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
  setenv("XDG_RUNTIME_DIR", (dir / "runtime").c_str(), 1);
  const std::string data_file = (dir / "120599_1.dat").string();
  if (!WriteMatchFile(data_file)) {
    std::fprintf(stderr, "cannot write %s\n", data_file.c_str());
    return 1;
  }

  int status = 0;
  {
    QApplication app(argc, argv);
    varrow::platform::InstallFontSubstitutions();
    QApplication::setFont(varrow::platform::SansFont(8.25));
    varrow::ProgramState state;
    varrow::platform::QtSettingsStore settings;
    varrow::platform::QtEnvironment environment;
    varrow::forms::Form1 form1(state, settings, environment);
    form1.Load();
    form1.show();
    if (!QTest::qWaitForWindowExposed(&form1)) return 1;
    state.Data_file_path = data_file;
    QAction* review = form1.findChild<QAction*>("mnuReviewEvents");

    ReviewPaintWatch watch;
    QElapsedTimer clock;
    watch.clock = &clock;
    app.installEventFilter(&watch);
    const long rss_before_kb = PeakRssKb();
    long rss_first_kb = 0;
    std::vector<double> ms;
    std::vector<double> scroll_ms;
    for (int run = 0; run <= runs; ++run) {
      watch.painted = false;
      clock.start();
      review->trigger();  // returns when the window has closed
      if (!watch.painted) {
        std::fprintf(stderr, "the Review Events window did not paint\n");
        status = 1;
        break;
      }
      if (run == 0) {
        rss_first_kb = PeakRssKb();  // the first opening, warm-up included
      } else {
        ms.push_back(watch.painted_at_ns / 1e6);
        scroll_ms.push_back(watch.scroll_ns / 1e6);
      }
    }
    if (status == 0) {
      const char* platform = std::getenv("QT_QPA_PLATFORM");
      const double added_mb = (rss_first_kb - rss_before_kb) / 1024.0;
      std::printf(
          "Review Events on %d records, menu command to the window's first frame "
          "(platform: %s)\n",
          kRecords, platform != nullptr ? platform : "display");
      std::printf(
          "  median %.1f ms, best %.1f ms, worst %.1f ms over %d runs   (target: under "
          "%.0f ms)   %s\n",
          Median(ms), *std::min_element(ms.begin(), ms.end()),
          *std::max_element(ms.begin(), ms.end()), runs, kTargetMs,
          Median(ms) < kTargetMs ? "met" : "MISSED");
      std::printf("  scrolling the table to its last row and painting it: median %.1f ms\n",
                  Median(scroll_ms));
      std::printf(
          "  peak resident memory added by the first opening: %.1f MB (%.1f MB before)   "
          "(target: under %.0f MB)   %s\n",
          added_mb, rss_before_kb / 1024.0, kTargetMb, added_mb < kTargetMb ? "met" : "MISSED");
    }
    form1.close();
  }
  std::filesystem::remove_all(dir);
  return status;
}
