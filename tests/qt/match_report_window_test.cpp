// The Match Report window, opened from the main window's menu through its
// file dialog.
#include "forms/match_report_window.h"

#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QTreeWidget>
#include <QtTest>

#include "fakes.h"
#include "file_size_limit.h"
#include "forms/timeline_dialog.h"
#include "match_file.h"
#include "qt_test_support.h"
#include "run_command.h"
#include "temp_dir.h"

namespace varrow {
namespace {

using forms::MatchReportWindow;

// The pages of a PDF's text, each ended by its form feed.
QStringList PdfPages(const QString& pdf) {
  QStringList pages = testing::PdfText(pdf).split('\f');
  pages.removeLast();
  return pages;
}

}  // namespace

class MatchReportWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<testing::ShownMainWindow> main_;
  testing::TempDir dir_;
  std::string first_;
  std::string second_;

  forms::Form1& Form() { return main_->form; }

  // Reports > Match Report with the current file `first_` preselected in the
  // dialog, where `names` are chosen; `act` runs on the window that opens.
  void InMatchReport(const QString& names, const std::function<void(MatchReportWindow&)>& act) {
    QStringList preselected;
    bool acted = false;
    bool active = false;
    testing::WhenModalAppears([&](QWidget* modal) {
      if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
        if (preselected.isEmpty()) {
          preselected = dialog->selectedFiles();
          testing::TypeFileNames(*dialog, names);
          static_cast<QDialog*>(dialog)->accept();  // QFileDialog::accept, which checks the names
        }
        return false;
      }
      auto* window = qobject_cast<MatchReportWindow*>(modal);
      if (window == nullptr) return false;
      acted = true;
      // Its keys are the window's shortcuts.
      active = testing::ActivateAndWait(*window);
      if (active) act(*window);
      if (window->isVisible()) window->reject();
      return true;
    });
    Form().findChild<QAction*>("mnuMatchReport")->trigger();
    QVERIFY(acted);
    QVERIFY2(active, "the Match Report window never became the active window");
    QCOMPARE(preselected, QStringList{QString::fromStdString(first_)});
  }

 private slots:
  void initTestCase() {
    // The working folder, where the dialog opens.
    QVERIFY(QDir::setCurrent(QString::fromStdString(dir_.path())));
    testing::MatchFile half = testing::HandWorkedMatch();
    first_ = dir_.File("120599_1.dat");
    half.Write(first_);
    half.header.Period = 2;
    half.events.resize(7);
    second_ = dir_.File("120599_2.dat");
    half.Write(second_);
    // The first half again under another name, and a file too short to hold
    // a header.
    QVERIFY(
        QFile::link(QString::fromStdString(first_), QString::fromStdString(dir_.File("copy.dat"))));
    dir_.Write("120599_3.dat", {1, 2, 3});
  }
  void init() {
    main_ = std::make_unique<testing::ShownMainWindow>();
    QVERIFY(Form().recorder().TakeDataFile(first_));
  }
  void cleanup() { main_.reset(); }

  // Both halves, the first again by a link, and a file too short: the
  // window reads each file once, says why the short one is not reported, and its
  // PDF holds varrow-report's pages for the two files, the whole match's
  // first, and its pictures are the tool's. The window's size is kept in its own section.
  void pagesAreVarrowReportsInTheWindowsOrder() {
    const QString pdf = QString::fromStdString(dir_.File("window.pdf"));
    testing::TempDir pictures;
    testing::TempDir tool_pictures;
    InMatchReport(
        R"("120599_1.dat" "120599_2.dat" "copy.dat" "120599_3.dat")", [&](MatchReportWindow& w) {
          QCOMPARE(w.Report().ReportedFiles(), (std::vector<std::string>{first_, second_}));
          QCOMPARE(w.PageList()->topLevelItemCount(), 3);
          QCOMPARE(w.PageList()->topLevelItem(0)->text(0), QString("Whole match"));
          QCOMPARE(w.CurrentPage(), 0);
          QVERIFY(!w.PageView()->PageImage().isNull());
          const QString notes = w.findChild<QLabel*>("MatchReportNotes")->text();
          QVERIFY(notes.contains("120599_3.dat"));
          QTest::keyClick(&w, Qt::Key_End, Qt::ControlModifier);
          QCOMPARE(w.CurrentPage(), 8);
          QCOMPARE(w.PageList()->currentItem()->text(1), QString("9"));
          QVERIFY(w.SavePdf(pdf));
          QVERIFY(w.SavePictures(QString::fromStdString(pictures.path())));
        });
    const std::string tool_pdf = dir_.File("tool.pdf");
    const testing::CommandResult run =
        testing::RunCommand({VARROW_REPORT_BINARY, "--analysis", "--pdf", tool_pdf, "--png",
                             tool_pictures.path(), first_, second_});
    QCOMPARE(run.status, 0);
    const QStringList window = PdfPages(pdf);
    const QStringList tool = PdfPages(QString::fromStdString(tool_pdf));
    QCOMPARE(window.size(), 9);
    QVERIFY(window[0].contains("GENERAL STATISTICS") && window[0].contains("Match:"));
    // The tool prints each file's three pages, then the match's.
    QCOMPARE(window.mid(0, 3), tool.mid(6, 3));
    QCOMPARE(window.mid(3, 6), tool.mid(0, 6));
    const std::vector<std::string> names = testing::FileNamesIn(tool_pictures.path());
    QCOMPARE(names.size(), std::size_t{9});
    QCOMPARE(testing::FileNamesIn(pictures.path()), names);
    for (const std::string& name : names) {
      QCOMPARE(testing::ReadFileBytes(pictures.File(name)),
               testing::ReadFileBytes(tool_pictures.File(name)));
    }

    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Varrow", "Varrow");
    QVERIFY(!settings.value("MatchReport/Geometry").toString().isEmpty());
  }

  // File > Export Timeline (Ctrl+T) with a video start per period: the file
  // is the one varrow-report --timeline writes for the same files and starts.
  void exportedTimelineIsTheReportTools() {
    const QString exported = QString::fromStdString(dir_.File("match.xml"));
    InMatchReport(R"("120599_1.dat" "120599_2.dat")", [&](MatchReportWindow& w) {
      testing::WhenModalAppears([&](QWidget* modal) {
        if (auto* d = qobject_cast<forms::TimelineExportDialog*>(modal)) {
          d->VideoStart(0)->setText("0:01:40");
          d->VideoStart(1)->setText("0:50:00");
          d->accept();
          return false;  // the save dialog comes next
        }
        auto* files = qobject_cast<QFileDialog*>(modal);
        if (files == nullptr) return false;
        testing::TypeFileNames(*files, exported);
        static_cast<QDialog*>(files)->accept();
        return !files->isVisible();
      });
      QTest::keyClick(&w, Qt::Key_T, Qt::ControlModifier);
    });
    const std::string by_tool = dir_.File("tool.xml");
    const testing::CommandResult r =
        testing::RunCommand({VARROW_REPORT_BINARY, "--timeline", by_tool, "--video-start", "1=100",
                             "--video-start", "2=3000", first_, second_});
    QCOMPARE(r.status, 0);
    const std::vector<std::uint8_t> tool = testing::ReadFileBytes(by_tool);
    QVERIFY(!tool.empty());
    QCOMPARE(testing::ReadFileBytes(exported.toStdString()), tool);
  }

  // Save PDF on a disk that takes no more: the ERROR message, nothing left
  // in the folder.
  void failedSavePdfLeavesNothing() {
    testing::TempDir out;
    testing::MessageCatcher catcher;
    InMatchReport(R"("120599_1.dat" "120599_2.dat")", [&](MatchReportWindow& w) {
      testing::FileSizeLimit limit(2048);
      QVERIFY(!w.SavePdf(QString::fromStdString(out.File("match.pdf"))));
    });
    QVERIFY(testing::FileNamesIn(out.path()).empty());
    QCOMPARE(catcher.messages().size(), std::size_t{1});
    QCOMPARE(catcher.messages()[0].title, QString("ERROR"));
    QVERIFY(catcher.messages()[0].text.contains("File too large"));
  }
};

}  // namespace varrow

VARROW_QT_TEST_MAIN(varrow::MatchReportWindowTest)
#include "match_report_window_test.moc"
