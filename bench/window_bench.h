#pragma once

// What the benchmarks of the program's windows share: a scratch directory for
// the settings and runtime files, the application set up as the program sets
// it up, and the time from a menu command to a window's first painted frame.

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <vector>

#include "datafile/data_file.h"
#include "forms/form1.h"
#include "match_events.h"
#include "platform/fonts.h"
#include "platform/qt_environment.h"
#include "platform/qt_settings.h"
#include "scratch_desktop.h"

namespace varrow::bench {

// A fresh directory, with the settings and runtime directories pointed into
// it; offscreen when there is no display. Removed with everything in it.
class WindowBenchScratch {
 public:
  WindowBenchScratch() {
    char scratch[] = "/tmp/varrow-bench-XXXXXX";
    if (mkdtemp(scratch) == nullptr) return;
    dir_ = scratch;
    UseScratchDesktop(dir_);
  }
  ~WindowBenchScratch() {
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
  }
  WindowBenchScratch(const WindowBenchScratch&) = delete;
  WindowBenchScratch& operator=(const WindowBenchScratch&) = delete;

  bool ok() const { return !dir_.empty(); }
  std::filesystem::path File(const char* name) const { return dir_ / name; }

 private:
  std::filesystem::path dir_;
};

// A data file of `records` records (the header's Last_record) of match-like
// events, the clock of record r at `clock(r)`, `header_clock` in the header.
inline bool WriteMatchFile(const std::string& path, int records, std::int16_t header_clock,
                           const std::function<std::int16_t(int)>& clock) {
  DataFile f;
  if (!f.Open(path, OpenMode::kCreateNew)) return false;
  bool ok =
      f.WriteName(kLeftNameRecord, "Red Lions") && f.WriteName(kRightNameRecord, "Blue Birds");
  ok = ok && f.WriteHeader(Header_record{
                 kRed, kBlue, static_cast<std::int16_t>(records), header_clock, 1, 0, 1, {}});
  MatchEvents events(2000);
  for (int r = kFirstEventRecord; ok && r <= records; ++r) {
    ok = static_cast<bool>(f.WriteEvent(r, events.Next(clock(r))));
  }
  return ok;
}

// The main window as the program starts it (its fonts, the real settings
// store in the scratch directory), shown, with `data_file` current.
struct BenchMainWindow {
  explicit BenchMainWindow(const std::string& data_file) {
    platform::InstallFontSubstitutions();
    QApplication::setFont(platform::SansFont(8.25));
    form1.Load();
    form1.show();
    shown = QTest::qWaitForWindowExposed(&form1);
    state.Data_file_path = data_file;
  }
  ~BenchMainWindow() { form1.close(); }
  BenchMainWindow(const BenchMainWindow&) = delete;
  BenchMainWindow& operator=(const BenchMainWindow&) = delete;

  ProgramState state;
  platform::QtSettingsStore settings;
  platform::QtEnvironment environment;
  forms::Form1 form1{state, settings, environment};
  bool shown = false;
};

// Notes when a window of type W has painted its first frame, then hands it to
// `then`, which must close it.
template <typename W>
class FirstFrameWatch : public QObject {
 public:
  explicit FirstFrameWatch(std::function<void(W&)> then) : then_(std::move(then)) {
    qApp->installEventFilter(this);
  }
  // Runs `command` (which returns when the window has closed) and returns the
  // milliseconds to the first frame, or a negative number when none came.
  double Time(const std::function<void()>& command) {
    painted_ = false;
    clock_.start();
    command();
    return painted_ ? painted_at_ns_ / 1e6 : -1;
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Paint || painted_) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    W* window = widget != nullptr ? qobject_cast<W*>(widget->window()) : nullptr;
    if (window == nullptr) return false;
    painted_ = true;
    // A zero timer runs once the frame has been painted and flushed.
    QTimer::singleShot(0, window, [this, window] {
      painted_at_ns_ = clock_.nsecsElapsed();
      then_(*window);
    });
    return false;
  }

 private:
  std::function<void(W&)> then_;
  QElapsedTimer clock_;
  bool painted_ = false;
  qint64 painted_at_ns_ = 0;
};

inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// "  median 1.0 ms, best ..., worst ... over N runs   (target: under T ms)   met"
inline void PrintTimes(const std::vector<double>& ms, double target_ms) {
  std::printf(
      "  median %.1f ms, best %.1f ms, worst %.1f ms over %zu runs   (target: under %.0f ms)   "
      "%s\n",
      Median(ms), *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()),
      ms.size(), target_ms, Median(ms) < target_ms ? "met" : "MISSED");
}

}  // namespace varrow::bench
