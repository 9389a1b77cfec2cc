// A burst of clicks through the real main window, ten a second, while every
// flush of the data file takes 300 ms longer (a slow USB stick or an old
// laptop disk), and the same burst on the disk as it is, in alternating rounds
// so that a busy spell of the machine falls on both. For each it prints
//   press to frame   from each press to the end of the frame that shows it
//   flush lag        from each press until its records were on the disk, and
//                    how much of that was not the flush itself (the wait for
//                    a flush to begin)
// (median and p99 over every click), and the longest gap between two ticks
// of the match clock. Targets: with the slow flush, p99 press to frame at
// most 16 ms and within 1.2x of the plain disk's; flush lag at most one flush
// time plus 5 ms.
//
//   build/bench/slow_disk_bench [clicks]     (per kind of disk; 100 by default)
//
// The data files go into a fresh directory under the current one: run it
// from a directory on the disk to measure. Offscreen when there is no display.
#include <unistd.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "datafile/data_file.h"
#include "datafile/records.h"
#include "forms/form1.h"
#include "forms/form5.h"
#include "platform/fonts.h"
#include "platform/qt_environment.h"
#include "platform/qt_settings.h"
#include "scratch_desktop.h"

namespace {

using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

constexpr auto kSlowFlush = std::chrono::milliseconds(300);
constexpr auto kClickEvery = std::chrono::milliseconds(100);
constexpr double kFrameTargetMs = 16;
constexpr double kFrameRatioTarget = 1.2;
constexpr double kLagSlackMs = 5;

// What each flush covered (the header's Last_record just before it called
// fdatasync: that record and all before it were written by then), when it
// called fdatasync and when it came back. A slow flush comes back `delay`
// late: only what was written before the call is known to be on the disk,
// and only at the end.
class FlushLog {
 public:
  struct Flush {
    std::int16_t covered = 0;
    Clock::time_point called, done;
  };
  varrow::FlushFunction Function(Clock::duration delay) {
    return [this, delay](int fd) {
      varrow::RecordBytes header{};
      const bool read =
          pread(fd, header.data(), header.size(),
                (varrow::kHeaderRecord - 1) * varrow::kRecordLength) == varrow::kRecordLength;
      const Clock::time_point called = Clock::now();
      const int error = varrow::FlushToDisk(fd);
      if (delay.count() > 0) std::this_thread::sleep_for(delay);
      const Clock::time_point done = Clock::now();
      std::lock_guard lock(mutex_);
      if (read) flushes_.push_back({varrow::DecodeHeader(header).Last_record, called, done});
      return error;
    };
  }
  std::vector<Flush> Take() {
    std::lock_guard lock(mutex_);
    return std::exchange(flushes_, {});
  }

 private:
  std::mutex mutex_;
  std::vector<Flush> flushes_;
};

// Answers the period window with OK and every message box with OK, as an
// operator would, while it lives.
class ModalAnswerer {
 public:
  ModalAnswerer() {
    QObject::connect(&timer_, &QTimer::timeout, [] {
      QWidget* modal = QApplication::activeModalWidget();
      if (modal == nullptr || !modal->isVisible()) return;
      if (auto* form5 = qobject_cast<varrow::forms::Form5*>(modal)) {
        form5->findChild<QPushButton*>("Command1")->click();
      } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        if (box->icon() != QMessageBox::Information) {
          std::fprintf(stderr, "%s: %s\n", qPrintable(box->windowTitle()), qPrintable(box->text()));
        }
        box->button(QMessageBox::Ok)->click();
      }
    });
    timer_.start(5);
  }

 private:
  QTimer timer_;
};

// Counts the frames the drawing area paints.
class PaintCounter : public QObject {
 public:
  int painted = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++painted;
    return false;
  }
};

double Percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  const auto rank = static_cast<std::size_t>(p * static_cast<double>(v.size()) + 0.999999);
  return v[std::clamp<std::size_t>(rank, 1, v.size()) - 1];
}

// Every click's figures of one kind of disk, over all its rounds.
struct Samples {
  std::vector<double> frame, lag, wait;
  double longest_tick_gap = 0;
  bool complete = true;  // every click of every round in its file
};

// New, START CLOCK, `clicks` presses on the field, STOP CLOCK.
void Burst(varrow::forms::Form1& form, const varrow::ProgramState& state, FlushLog& log,
           Clock::duration delay, int clicks, Samples& out) {
  QWidget* view = form.fieldView();
  auto* start_stop = form.findChild<QPushButton*>("Command2");
  form.findChild<QAction*>("mnuNew")->trigger();
  form.recorder().SetFlushFunction(log.Function(delay));

  std::vector<Clock::time_point> ticks;
  const QMetaObject::Connection ticking =
      QObject::connect(form.findChild<QTimer*>("Timer1"), &QTimer::timeout, &form,
                       [&ticks] { ticks.push_back(Clock::now()); });
  PaintCounter paints;
  view->installEventFilter(&paints);

  QTest::mouseClick(start_stop, Qt::LeftButton);
  std::vector<Clock::time_point> pressed, shown;
  const Clock::time_point first = Clock::now() + kClickEvery;
  for (int i = 0; i < clicks; ++i) {
    const Clock::time_point due = first + i * kClickEvery;
    while (Clock::now() < due) {
      QTest::qWait(static_cast<int>(std::max<long>(
          1, std::chrono::duration_cast<std::chrono::milliseconds>(due - Clock::now()).count())));
    }
    // In play all over the field (twips to pixels at 96 dpi).
    const QPoint at((1200 + (i * 997) % 7000) / 15, (1300 + (i * 613) % 3400) / 15);
    const int painted_before = paints.painted;
    pressed.push_back(Clock::now());
    QTest::mouseClick(view, Qt::LeftButton, {}, at);
    while (paints.painted == painted_before) QCoreApplication::processEvents();
    shown.push_back(Clock::now());
  }
  QTest::mouseClick(start_stop, Qt::LeftButton);  // returns once all is on the disk
  view->removeEventFilter(&paints);
  QObject::disconnect(ticking);

  const std::vector<FlushLog::Flush> flushes = log.Take();
  for (int i = 0; i < clicks; ++i) {
    out.frame.push_back(Ms(shown[i] - pressed[i]).count());
    // A click is on the disk once a flush that covered its record (5 for
    // the first, after START CLOCK's 4) has come back.
    const int record = varrow::kFirstEventRecord + 1 + i;
    const FlushLog::Flush* first_done = nullptr;
    for (const FlushLog::Flush& flush : flushes) {
      if (flush.covered >= record && (first_done == nullptr || flush.done < first_done->done)) {
        first_done = &flush;
      }
    }
    if (first_done == nullptr) {
      out.complete = false;
      continue;
    }
    out.lag.push_back(Ms(first_done->done - pressed[i]).count());
    out.wait.push_back(Ms(first_done->called - pressed[i]).count());
  }
  for (std::size_t i = 1; i < ticks.size(); ++i) {
    out.longest_tick_gap = std::max(out.longest_tick_gap, Ms(ticks[i] - ticks[i - 1]).count());
  }
  // START, the clicks and STOP after the names and the header.
  out.complete = out.complete && state.Header_rec.Last_record == 3 + clicks + 2 &&
                 std::filesystem::file_size(state.Data_file_path) ==
                     static_cast<std::uintmax_t>(3 + clicks + 2) * varrow::kRecordLength;
}

void Print(const char* what, const Samples& s) {
  std::printf("  %-26s press to frame: median %6.2f ms, p99 %6.2f ms\n", what,
              Percentile(s.frame, 0.5), Percentile(s.frame, 0.99));
  std::printf("  %-26s flush lag:      median %6.1f ms, p99 %6.1f ms", "", Percentile(s.lag, 0.5),
              Percentile(s.lag, 0.99));
  std::printf(" (waiting for a flush to begin: median %.1f ms, p99 %.1f ms)\n",
              Percentile(s.wait, 0.5), Percentile(s.wait, 0.99));
  std::printf("  %-26s longest gap between clock ticks %.0f ms; every click in the file: %s\n", "",
              s.longest_tick_gap, s.complete ? "yes" : "NO");
}

}  // namespace

int main(int argc, char* argv[]) {
  const int clicks = argc > 1 ? std::max(50, std::atoi(argv[1])) : 100;
  std::string scratch = (std::filesystem::current_path() / "slow_disk_bench-XXXXXX").string();
  if (mkdtemp(scratch.data()) == nullptr) return 1;
  const std::filesystem::path dir(scratch);
  varrow::bench::UseScratchDesktop(dir);

  int status = 0;
  {
    QApplication app(argc, argv);
    varrow::platform::InstallFontSubstitutions();
    QApplication::setFont(varrow::platform::SansFont(8.25));
    QDir::setCurrent(QString::fromStdString(scratch));
    varrow::ProgramState state;
    varrow::platform::QtSettingsStore settings;
    varrow::platform::QtEnvironment environment;
    varrow::forms::Form1 form1(state, settings, environment);
    form1.Load();
    form1.show();
    if (!QTest::qWaitForWindowExposed(&form1)) return 1;
    ModalAnswerer answerer;
    FlushLog log;

    // Alternating rounds: plain, slow, plain, slow.
    constexpr int kRounds = 2;
    Samples plain, slow;
    for (int round = 0; round < kRounds; ++round) {
      Burst(form1, state, log, Clock::duration::zero(), clicks / kRounds, plain);
      Burst(form1, state, log, kSlowFlush, clicks / kRounds, slow);
    }
    const double slow_ms = Ms(kSlowFlush).count();
    std::printf("%d clicks per kind of disk, 10 a second, through the main window (%s)\n",
                kRounds * (clicks / kRounds), qPrintable(QApplication::platformName()));
    Print("disk as it is:", plain);
    Print("each flush 300 ms slower:", slow);
    const double frame_p99 = Percentile(slow.frame, 0.99);
    const double frame_ratio = frame_p99 / Percentile(plain.frame, 0.99);
    // The flush itself is fdatasync and the 300 ms; what a click may add is
    // the wait before its flush begins.
    const double wait_p99 = Percentile(slow.wait, 0.99);
    std::printf("  p99 press to frame, slow flush            %6.2f ms   target <= %.0f ms   %s\n",
                frame_p99, kFrameTargetMs, frame_p99 <= kFrameTargetMs ? "met" : "MISSED");
    std::printf("  p99 press to frame, slow / plain disk     %6.2f      target <= %.1f      %s\n",
                frame_ratio, kFrameRatioTarget,
                frame_ratio <= kFrameRatioTarget ? "met" : "MISSED");
    std::printf(
        "  p99 flush lag beyond one flush time       %6.2f ms   target <= %.0f ms    %s   "
        "(one flush: fdatasync + %.0f ms)\n",
        wait_p99, kLagSlackMs, wait_p99 <= kLagSlackMs ? "met" : "MISSED", slow_ms);
    if (!plain.complete || !slow.complete) status = 1;
    form1.close();
  }
  std::filesystem::remove_all(dir);
  return status;
}
