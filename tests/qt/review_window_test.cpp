// The Review Events window, driven by its keys from the main window's menu.
#include "forms/review_window.h"

#include <sys/stat.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QTableView>
#include <QUndoStack>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "datafile/atomic_save.h"
#include "file_size_limit.h"
#include "forms/review_model.h"
#include "forms/review_pitch_view.h"
#include "forms/timeline_dialog.h"
#include "match_file.h"
#include "qt_test_support.h"
#include "recorder_rig.h"
#include "run_command.h"
#include "temp_dir.h"
#include "without_root_powers.h"

namespace varrow {
namespace {

using forms::ReviewWindow;

// A first half recorded by the handlers: the START marker at the centre
// spot (record 4), a pass (5), the right team's goal in the left-hand goal
// (6: 0 : 1), the kick-off (7) and the STOP marker (8).
std::vector<std::uint8_t> RecordAMatch(testing::RecorderRig& rig) {
  rig.New(1);
  rig.recorder_.Command2_Click();
  rig.TickTo(5);
  rig.Click(2000, 2000);
  rig.TickTo(9);
  rig.Click(600, 3000);
  rig.TickTo(12);
  rig.Click(4000, 3500);
  rig.recorder_.Command2_Click();
  return rig.Bytes();
}

// Runs `act` on the Review Events window once Reports > Review Events has
// opened it; returns when the window has closed.
void InReviewWindow(forms::Form1& form, const std::function<void(ReviewWindow&)>& act) {
  bool acted = false;
  testing::WhenModalAppears([&](QWidget* modal) {
    auto* window = qobject_cast<ReviewWindow*>(modal);
    if (window == nullptr) return false;
    acted = true;
    // Its keys are the window's shortcuts.
    if (testing::ActivateAndWait(*window)) act(*window);
    // A failed check leaves the act early: close the window all the same.
    if (window->isVisible()) window->done(QDialog::Rejected);
    return true;
  });
  form.findChild<QAction*>("mnuReviewEvents")->trigger();
  QVERIFY(acted);
}

}  // namespace

class ReviewWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<testing::ShownMainWindow> main_;

  forms::Form1& Form() { return main_->form; }

 private slots:
  void init() {
    main_ = std::make_unique<testing::ShownMainWindow>();
    // Active before the review window opens: a late activation of the main
    // window would take the keys from it.
    QVERIFY(QTest::qWaitForWindowActive(&Form()));
  }
  void cleanup() { main_.reset(); }

  // S on the first row, Delete on the third, Ctrl+S: the file holds the
  // bytes worked out here, the original is kept beside it, and the main
  // window takes the corrected file.
  void correctedSavedAndTakenUp() {
    testing::RecorderRig rig;
    const std::vector<std::uint8_t> old = RecordAMatch(rig);
    QCOMPARE(old.size(), std::size_t{160});
    QCOMPARE(int{old[100 + 16]}, 1);  // record 6 is the goal in the left-hand goal
    QCOMPARE(int{old[54]}, 1);        // Score_1
    QVERIFY(Form().recorder().TakeDataFile(rig.Path()));
    QCOMPARE(Form().findChild<QLabel*>("Label4")->text(), QString("1"));

    InReviewWindow(Form(), [&](ReviewWindow& w) {
      QCOMPARE(w.windowTitle(), QString("Review Events: 120599_1.dat[*]"));
      QCOMPARE(w.model()->rowCount(), 5);
      QCOMPARE(w.CurrentEventRow(), std::optional<int>(0));
      QCOMPARE(w.focusWidget(), w.table());
      QTest::keyClick(w.table(), Qt::Key_S);
      QTest::keyClick(w.table(), Qt::Key_Down);
      QTest::keyClick(w.table(), Qt::Key_Down);
      QCOMPARE(w.CurrentEventRow(), std::optional<int>(2));
      QTest::keyClick(w.table(), Qt::Key_Delete);
      QVERIFY(w.isWindowModified());
      QCOMPARE(w.model()->rowCount(), 4);
      QTest::keyClick(w.table(), Qt::Key_S, Qt::ControlModifier);
      QVERIFY(!w.isWindowModified());
      QTest::keyClick(w.table(), Qt::Key_Escape);
    });

    std::vector<std::uint8_t> expected = old;
    expected[60 + 18] = expected[60 + 19] = 0xFF;                    // record 4 is a shot
    expected.erase(expected.begin() + 100, expected.begin() + 120);  // record 6 gone
    expected[48] = 7;                                                // Last_record
    expected[54] = 0;                                                // Score_1
    QCOMPARE(testing::Hex(testing::ReadFileBytes(rig.Path())), testing::Hex(expected));
    QCOMPARE(testing::ReadFileBytes(KeptOriginalPath(rig.Path())), old);
    QCOMPARE(Form().findChild<QLabel*>("Label4")->text(), QString("0"));
    QCOMPARE(Form().findChild<QLabel*>("Label3")->text(), QString("0"));

    // Its size and splitter are kept apart from the start-up settings.
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Varrow", "Varrow");
    QVERIFY(!settings.value("ReviewEvents/Geometry").toString().isEmpty());
    QVERIFY(!settings.value("ReviewEvents/Splitter").toString().isEmpty());
    QVERIFY(!settings.contains("Startup/Geometry"));
  }

  // The analysis on the worked example (minutes 0 to 2; possessions from
  // rows 0, 4 and 7): the territory overlay drawn and taken off, the field
  // tilt after switching a team and after the undo, the minute a click on
  // the momentum strip picks, and a possession's first event.
  void analysisFollowsTheCorrections() {
    testing::TempDir folder;
    const std::string path = folder.File("120599_1.dat");
    testing::HandWorkedMatch().Write(path);
    QVERIFY(Form().recorder().TakeDataFile(path));
    InReviewWindow(Form(), [&](ReviewWindow& w) {
      const QImage plain = w.pitch()->grab().toImage();
      auto* territory = w.findChild<QCheckBox*>("ShowTerritory");
      // An access key clicks its box after a moment, as a press shows.
      QTest::keyClick(w.table(), Qt::Key_R, Qt::AltModifier);
      QTRY_VERIFY(territory->isChecked());
      QVERIFY(w.pitch()->grab().toImage() != plain);
      QTest::keyClick(territory, Qt::Key_R, Qt::AltModifier);
      QTRY_VERIFY(!territory->isChecked());
      QCOMPARE(w.pitch()->grab().toImage(), plain);

      // Attacking-third seconds: red 10 (rows 1, 2), blue 35; row 1 given
      // to blue lies in blue's defending third.
      const QList<QLabel*> figures =
          w.findChild<QWidget*>("ReviewFigures")->findChildren<QLabel*>();
      const auto tilt = [&] {
        for (qsizetype i = 0; i + 2 < figures.size(); ++i) {
          if (figures[i]->text() == "Field tilt")
            return figures[i + 1]->text() + " " + figures[i + 2]->text();
        }
        return QString();
      };
      QCOMPARE(tilt(), QString("22.2% 77.8%"));
      w.SelectEventRow(1);
      QTest::keyClick(w.table(), Qt::Key_T);
      QCOMPARE(tilt(), QString("12.5% 87.5%"));
      QTest::keyClick(w.table(), Qt::Key_Z, Qt::ControlModifier);
      QCOMPARE(tilt(), QString("22.2% 77.8%"));

      const struct {
        int minute;
        int team;  // the Team list's entry: all, red (left), blue
        int row;
      } clicks[] = {{1, 0, 6}, {1, 1, 7}, {2, 0, 9}, {0, 2, 4}};
      auto* team = w.findChild<QComboBox*>("TeamFilter");
      for (const auto& click : clicks) {
        team->setCurrentIndex(click.team);
        QTest::mouseClick(w.momentum(), Qt::LeftButton, {},
                          QPoint(w.momentum()->MinuteX(click.minute), w.momentum()->height() / 2));
        QCOMPARE(w.CurrentEventRow(), std::optional<int>(click.row));
      }
      team->setCurrentIndex(0);

      QTest::keyClick(w.table(), Qt::Key_I, Qt::AltModifier);
      QVERIFY(w.possessionsTable()->isVisible());
      QCOMPARE(w.possessionsTable()->model()->rowCount(), 3);
      w.possessionsTable()->selectRow(2);
      QCOMPARE(w.CurrentEventRow(), std::optional<int>(7));
    });
  }

  // A save the disk refuses: the ERROR message, the file as it was, the
  // corrections still there; closing then asks, and Cancel keeps the window.
  void failedSaveKeepsTheCorrections() {
    testing::RecorderRig rig;
    const std::vector<std::uint8_t> old = RecordAMatch(rig);
    QVERIFY(Form().recorder().TakeDataFile(rig.Path()));
    testing::MessageCatcher catcher;
    bool still_open_after_cancel = false;
    InReviewWindow(Form(), [&](ReviewWindow& w) {
      QTest::keyClick(w.table(), Qt::Key_T);
      {
        testing::FileSizeLimit limit(kRecordLength);
        QVERIFY(!w.Save());
      }
      QVERIFY(w.isWindowModified());
      w.reject();  // the catcher cancels the question
      still_open_after_cancel = w.isVisible();
      // The offscreen platform gives the focus back to no window by itself.
      w.activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(&w));
      QTest::keyClick(w.table(), Qt::Key_Z, Qt::ControlModifier);
      QVERIFY(!w.isWindowModified());
      w.reject();
    });
    QVERIFY(still_open_after_cancel);
    QCOMPARE(testing::ReadFileBytes(rig.Path()), old);
    QVERIFY(catcher.messages().size() >= 2);
    QCOMPARE(catcher.messages()[0].title, QString("ERROR"));
    QVERIFY(catcher.messages()[0].text.contains("File too large"));
    QCOMPARE(catcher.messages()[1].buttons, 3);  // Save, Discard, Cancel
  }

  // What stands in a save's way, and what the window then shows: refused,
  // the corrections stay in the window and the file as it was; saved (with a
  // warning, or once the operator agrees to keep no original), the title
  // loses its "*" and the main window takes the file up.
  void whatStandsInASavesWay() {
    const struct {
      const char* name;
      std::function<void(const std::string& path)> arrange;  // undone by the next
      QString title;
      QString text;
      bool saved;
    } cases[] = {
        {"the file changed",
         [](const std::string& path) {
           auto bytes = testing::ReadFileBytes(path);
           bytes[0] = 'X';
           testing::WriteFileBytes(path, bytes);
         },
         "WARNING",
         "Data file changed since Review Events read it\nClose and open Review Events again to "
         "correct it",
         false},
        {"a folder that cannot be flushed",
         [](const std::string& path) {
           ::chmod(std::filesystem::path(path).parent_path().c_str(), 0333);
         },
         "WARNING",
         "The corrections are saved, but the folder could not be flushed (Permission "
         "denied)\nA power cut could still undo the save",
         true},
        {"no room for the original",
         [](const std::string& path) { std::filesystem::create_directory(path + ".orig"); },
         "Review Events: 120599_1.dat", "", true},
    };
    for (const auto& c : cases) {
      testing::RecorderRig rig;
      const std::vector<std::uint8_t> old = RecordAMatch(rig);
      QVERIFY(Form().recorder().TakeDataFile(rig.Path()));
      testing::MessageCatcher catcher(QMessageBox::Yes);
      bool modified = true;
      std::size_t size = 0;
      InReviewWindow(Form(), [&](ReviewWindow& w) {
        w.SelectEventRow(2);
        QTest::keyClick(w.table(), Qt::Key_Delete);  // the right team's goal: 0 : 0
        c.arrange(rig.Path());
        size = testing::ReadFileBytes(rig.Path()).size();
        {
          testing::WithoutRootPowers user;
          w.Save();
        }
        ::chmod(rig.dir_.path().c_str(), 0700);
        modified = w.isWindowModified();
      });
      QVERIFY2(catcher.messages().size() == 1, c.name);
      QCOMPARE(catcher.messages()[0].title, c.title);
      if (!c.text.isEmpty()) QCOMPARE(catcher.messages()[0].text, c.text);
      QCOMPARE(modified, !c.saved);
      QCOMPARE(testing::ReadFileBytes(rig.Path()).size(), c.saved ? old.size() - 20 : size);
      QCOMPARE(Form().findChild<QLabel*>("Label4")->text(), QString(c.saved ? "0" : "1"));
    }
  }

  // The Team and Kind lists show one team's or one kind's events; the row
  // chosen stays chosen while it is shown.
  void filtersShowOneTeamOrOneKind() {
    testing::RecorderRig rig;
    RecordAMatch(rig);
    QVERIFY(Form().recorder().TakeDataFile(rig.Path()));
    InReviewWindow(Form(), [&](ReviewWindow& w) {
      auto* team = w.findChild<QComboBox*>("TeamFilter");
      auto* kind = w.findChild<QComboBox*>("KindFilter");
      kind->setCurrentText("goal");
      QCOMPARE(w.model()->rowCount(), 1);
      QCOMPARE(w.CurrentEventRow(), std::optional<int>(2));
      kind->setCurrentIndex(0);
      QCOMPARE(w.CurrentEventRow(), std::optional<int>(2));
      int shown = 0;
      for (const QString name : {"Reds", "Blues"}) {
        team->setCurrentText(name);
        for (int row = 0; row < w.model()->rowCount(); ++row) {
          QCOMPARE(w.model()->index(row, forms::ReviewEventsModel::kTeam).data().toString(), name);
        }
        shown += w.model()->rowCount();
      }
      QCOMPARE(shown, 5);
      // T gives the chosen event to the other team: it leaves this team's list.
      team->setCurrentText("Reds");
      QTest::keyClick(w.table(), Qt::Key_T);
      QCOMPARE(w.model()->rowCount(), 4);
      w.undoStack()->undo();
      w.reject();
    });
  }

  // Undoing a scattered delete selects the rows it restores, all of them
  // and only them, in one change of the selection (row by row, undoing a
  // delete of thousands of rows took minutes).
  void undoOfADeleteSelectsTheRestoredRowsAtOnce() {
    testing::RecorderRig rig;
    RecordAMatch(rig);
    QVERIFY(Form().recorder().TakeDataFile(rig.Path()));
    InReviewWindow(Form(), [&](ReviewWindow& w) {
      QItemSelectionModel* selection = w.table()->selectionModel();
      QItemSelection scattered;
      for (const int row : {1, 3, 4}) {
        scattered.select(w.model()->index(row, 0), w.model()->index(row, 0));
      }
      selection->select(scattered, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
      QTest::keyClick(w.table(), Qt::Key_Delete);
      QCOMPARE(w.model()->rowCount(), 2);
      QSignalSpy changes(selection, &QItemSelectionModel::selectionChanged);
      QTest::keyClick(w.table(), Qt::Key_Z, Qt::ControlModifier);
      QCOMPARE(w.model()->rowCount(), 5);
      QCOMPARE(changes.size(), 1);
      QCOMPARE(w.SelectedEventRows(), (std::vector<int>{1, 3, 4}));
      QCOMPARE(w.CurrentEventRow(), std::optional<int>(1));
      w.reject();
    });
  }

  // Dragging the selected marker on the pitch moves the event there; undo
  // puts it back.
  void dragOnThePitchMovesTheEvent() {
    testing::RecorderRig rig;
    RecordAMatch(rig);
    QVERIFY(Form().recorder().TakeDataFile(rig.Path()));
    InReviewWindow(Form(), [&](ReviewWindow& w) {
      forms::ReviewPitchView* pitch = w.pitch();
      const QPoint from = pitch->ToPixels(4750, 3000).toPoint();
      const QPoint to = pitch->ToPixels(6000, 2000).toPoint();
      QTest::mousePress(pitch, Qt::LeftButton, {}, from);
      QTest::mouseMove(pitch, to);
      QTest::mouseRelease(pitch, Qt::LeftButton, {}, to);
      QCOMPARE(w.undoStack()->undoText(), QString("Move Event"));
      const Pt at = pitch->ToTwips(to);
      QCOMPARE(w.model()
                   ->data(w.model()->index(0, forms::ReviewEventsModel::kX), Qt::EditRole)
                   .toDouble(),
               double{at.x});
      w.undoStack()->undo();
      QCOMPARE(w.model()
                   ->data(w.model()->index(0, forms::ReviewEventsModel::kX), Qt::EditRole)
                   .toDouble(),
               4750.0);
      w.reject();
    });
  }

  // File > Export Timeline with a correction not yet saved, at the name the
  // save dialog offers: the file is the one varrow-report --timeline writes
  // from the file once saved, for the same video start.
  void exportedTimelineIsTheReportTools() {
    testing::RecorderRig rig;
    RecordAMatch(rig);
    QVERIFY(Form().recorder().TakeDataFile(rig.Path()));
    const std::string exported = rig.Path().substr(0, rig.Path().size() - 4) + ".xml";
    const std::vector<std::uint8_t> recorded = testing::ReadFileBytes(rig.Path());
    InReviewWindow(Form(), [&](ReviewWindow& w) {
      // `to` chosen in the save dialog, or the name it offers.
      const auto export_to = [&](const std::string& to) {
        testing::WhenModalAppears([&, to](QWidget* modal) {
          if (auto* d = qobject_cast<forms::TimelineExportDialog*>(modal)) {
            d->VideoStart(0)->setText("0:01:40");
            d->accept();
            return false;  // the save dialog comes next
          }
          auto* files = qobject_cast<QFileDialog*>(modal);
          if (files == nullptr) return false;
          if (!to.empty()) {
            files->setOption(QFileDialog::DontConfirmOverwrite);  // the window's own check speaks
            testing::TypeFileNames(*files, QString::fromStdString(to));
          }
          static_cast<QDialog*>(files)->accept();
          return !files->isVisible();
        });
        w.ExportTimeline();
      };
      {
        // Never over the recording itself.
        testing::MessageCatcher catcher;
        export_to(rig.Path());
        QCOMPARE(catcher.messages().size(), std::size_t{1});
        QVERIFY(catcher.messages()[0].text.contains("is the data file under review"));
        QCOMPARE(testing::ReadFileBytes(rig.Path()), recorded);
      }
      QTest::keyClick(w.table(), Qt::Key_S);  // the START marker becomes a shot
      export_to("");
      QVERIFY(w.Save());
    });
    const std::vector<std::uint8_t> bytes = testing::ReadFileBytes(exported);
    const std::string written(bytes.begin(), bytes.end());
    QVERIFY(written.find(" shot</code>") != std::string::npos);
    const std::string by_tool = rig.Path() + ".tool.xml";
    const testing::CommandResult r = testing::RunCommand(
        {VARROW_REPORT_BINARY, "--timeline", by_tool, "--video-start", "1=100", rig.Path()});
    QCOMPARE(r.status, 0);
    const std::vector<std::uint8_t> tool_bytes = testing::ReadFileBytes(by_tool);
    QCOMPARE(written, std::string(tool_bytes.begin(), tool_bytes.end()));
  }
};

}  // namespace varrow

VARROW_QT_TEST_MAIN(varrow::ReviewWindowTest)
#include "review_window_test.moc"
