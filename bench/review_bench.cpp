// Reports > Review Events through the real windows on a data file of 32,767
// records, the most a file can number: from the menu command, through
// reading the file and the statistics pass, until the Review Events window
// has painted its first frame. Target: under 300 ms. Then the table is
// scrolled to its last row and painted again, and the peak resident memory
// the window added is reported. Target: under 30 MB.
//
// Then, in a window opened once more: the Team list set to one team and back
// to all teams; every row selected and deleted, the delete undone (target:
// under 300 ms until the window has painted again, the restored rows
// selected), the next arrow key (target: under 16 ms) and the redo; and the
// same, for comparison, for a scattered delete of every other row, which
// leaves the most separate ranges to select again. Last, one correction
// (Switch Team on a row in the middle) until the window has painted it with
// the statistics, the analysis figures, the possessions, the momentum strip
// and the territory overlay made afresh (target: under 16 ms), and the
// analysis of the document alone, for comparison.
//
//   build/bench/review_bench [runs]
//
// Runs on the display it finds, offscreen when there is none.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QItemSelection>
#include <QTableView>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "forms/review_window.h"
#include "review/review_document.h"
#include "window_bench.h"

namespace {

constexpr int kRecords = varrow::kMaxRecordNumber;
constexpr double kTargetMs = 300;
constexpr double kTargetMb = 30;
constexpr double kUndoTargetMs = 300;
constexpr double kArrowTargetMs = 16;
constexpr double kCorrectionTargetMs = 16;

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

// Milliseconds from `act` until the window has painted what it did.
double PaintedAfter(QWidget& window, const std::function<void()>& act) {
  QElapsedTimer t;
  t.start();
  act();
  window.repaint();
  return t.nsecsElapsed() / 1e6;
}

// The times of one delete, its undo, the next arrow key and the redo.
struct DeleteTimes {
  std::vector<double> deletes, undos, arrows, redos;
  bool selected_again = true;  // every undo left the restored rows selected
};

// Selects rows with `select`, deletes them, undoes, presses Down and redoes
// the delete; then undoes again so the next round finds every row.
void TimeDeleteAndUndo(varrow::forms::ReviewWindow& w, void (*select)(QTableView& table),
                       DeleteTimes& times) {
  QTableView* table = w.table();
  select(*table);
  QAction* remove = w.findChild<QAction*>("actionDelete");
  QAction* undo = w.findChild<QAction*>("actionUndo");
  QAction* redo = w.findChild<QAction*>("actionRedo");
  const std::vector<int> chosen = w.SelectedEventRows();
  times.deletes.push_back(PaintedAfter(w, [remove] { remove->trigger(); }));
  times.undos.push_back(PaintedAfter(w, [undo] { undo->trigger(); }));
  times.selected_again = times.selected_again && w.SelectedEventRows() == chosen;
  times.arrows.push_back(PaintedAfter(w, [table] { QTest::keyClick(table, Qt::Key_Down); }));
  times.redos.push_back(PaintedAfter(w, [redo] { redo->trigger(); }));
  undo->trigger();
}

// Ctrl+A, and a Ctrl+click on every other row.
void SelectAll(QTableView& table) { table.selectAll(); }
void SelectEveryOtherRow(QTableView& table) {
  const QAbstractItemModel& model = *table.model();
  QItemSelection chosen;
  for (int row = 0; row < model.rowCount(); row += 2) {
    chosen.select(model.index(row, 0), model.index(row, model.columnCount() - 1));
  }
  // Whole rows, on a clear selection: Qt compares a new selection with the
  // old one range by range, which takes seconds for thousands.
  table.clearSelection();
  table.selectionModel()->select(chosen, QItemSelectionModel::Select);
}

void PrintDeleteTimes(const char* what, const DeleteTimes& t) {
  std::printf("  %s: delete median %.1f ms, redo median %.1f ms\n", what,
              varrow::bench::Median(t.deletes), varrow::bench::Median(t.redos));
  std::printf("  %s, undo until painted with the rows selected again%s:\n", what,
              t.selected_again ? "" : " (NOT all selected again)");
  varrow::bench::PrintTimes(t.undos, kUndoTargetMs);
  std::printf("  %s, the next arrow key after the undo:\n", what);
  varrow::bench::PrintTimes(t.arrows, kArrowTargetMs);
}

// Every other row leaves a range a row to select again, the most there can
// be: its figures are for comparison.
void PrintScatteredTimes(const char* what, const DeleteTimes& t) {
  std::printf(
      "  %s: delete median %.1f ms, undo %.1f ms%s, the next arrow key %.1f ms, redo %.1f ms\n",
      what, varrow::bench::Median(t.deletes), varrow::bench::Median(t.undos),
      t.selected_again ? "" : " (NOT all selected again)", varrow::bench::Median(t.arrows),
      varrow::bench::Median(t.redos));
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

  // After the first frame: the table scrolled to its last row and painted;
  // or, once the openings are timed, the deletes and their undo.
  double scroll_ms = 0;
  int delete_runs = 0;
  DeleteTimes all_rows;
  DeleteTimes every_other_row;
  std::vector<double> filters;
  std::vector<double> corrections;
  varrow::bench::FirstFrameWatch<varrow::forms::ReviewWindow> watch(
      [&](varrow::forms::ReviewWindow& window) {
        auto* team = window.findChild<QComboBox*>("TeamFilter");
        for (int run = 0; run < delete_runs; ++run) {
          filters.push_back(PaintedAfter(window, [team] {
            team->setCurrentIndex(1);
            team->setCurrentIndex(0);
          }));
          TimeDeleteAndUndo(window, SelectAll, all_rows);
          TimeDeleteAndUndo(window, SelectEveryOtherRow, every_other_row);
        }
        window.findChild<QCheckBox*>("ShowTerritory")->setChecked(true);
        QAction* switch_team = window.findChild<QAction*>("actionSwitchTeam");
        QAction* undo = window.findChild<QAction*>("actionUndo");
        for (int run = 0; run < 2 * delete_runs; ++run) {
          window.SelectEventRow(kRecords / 2 + run);
          corrections.push_back(PaintedAfter(window, [switch_team] { switch_team->trigger(); }));
          corrections.push_back(PaintedAfter(window, [undo] { undo->trigger(); }));
        }
        if (delete_runs > 0) {
          window.done(0);
          return;
        }
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
  delete_runs = std::max(1, runs / 2);
  if (watch.Time([review] { review->trigger(); }) < 0) return 1;
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
  std::printf("Deleting and undoing on the %d event rows (%d rounds each):\n",
              kRecords - varrow::kHeaderRecord, delete_runs);
  std::printf("  the Team list set to one team and back to all, until painted: median %.1f ms\n",
              varrow::bench::Median(filters));
  PrintDeleteTimes("all rows", all_rows);
  PrintScatteredTimes("every other row", every_other_row);
  std::printf(
      "One correction (Switch Team, and its undo) until painted with the statistics, the "
      "analysis and the territory overlay made afresh:\n");
  varrow::bench::PrintTimes(corrections, kCorrectionTargetMs);
  varrow::ReviewDocument document;
  if (!varrow::ReadReviewDocument(data_file, document)) return 1;
  std::vector<double> analyses;
  for (int run = 0; run < runs; ++run) {
    QElapsedTimer t;
    t.start();
    const varrow::MatchAnalysis analysis = document.Analysis();
    analyses.push_back(t.nsecsElapsed() / 1e6);
    if (analysis.possessions.empty()) return 1;
  }
  std::printf("  of which the analysis of the %d event rows, possessions kept: median %.2f ms\n",
              kRecords - varrow::kHeaderRecord, varrow::bench::Median(analyses));
  return 0;
}
