// The Reports window: layout, Picture1, the print dialog and the printer.
#include "forms/form2.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QtTest>
#include <cerrno>

#include "base/error_numbers.h"
#include "forms/form1.h"
#include "forms/form3.h"
#include "platform/picture_surface.h"
#include "platform/printer_surface.h"
#include "qt_test_support.h"
#include "temp_dir.h"

namespace varrow {
namespace {

// Answers the next print dialog: prints `copies` copies to `pdf`, or cancels.
void AnswerPrintDialog(const QString& pdf, int copies, bool cancel = false) {
  testing::WhenModalAppears([=](QWidget* modal) {
    auto* dialog = qobject_cast<QPrintDialog*>(modal);
    if (dialog == nullptr) return false;
    if (cancel) {
      dialog->reject();
      return true;
    }
    auto* printers = dialog->findChild<QComboBox*>("printers");
    if (printers != nullptr) printers->setCurrentIndex(printers->count() - 1);  // to a PDF file
    if (auto* file = dialog->findChild<QLineEdit*>("filename")) file->setText(pdf);
    if (auto* spin = dialog->findChild<QSpinBox*>("copies")) spin->setValue(copies);
    dialog->accept();
    return true;
  });
}

// Whether a red pixel lies within `radius` pixels of (x, y).
bool RedNear(const QImage& image, int x, int y, int radius = 2) {
  for (int dy = -radius; dy <= radius; ++dy) {
    for (int dx = -radius; dx <= radius; ++dx) {
      if (image.pixelColor(x + dx, y + dy) == QColor(255, 0, 0)) return true;
    }
  }
  return false;
}

// Presses a button of the window and waits for what it opened to be dealt with.
void Press(QWidget* window, const char* button) {
  QTest::mouseClick(window->findChild<QPushButton*>(button), Qt::LeftButton);
}

}  // namespace

class Form2Test : public QObject {
  Q_OBJECT

 private:
  ProgramState state_;

 private slots:
  void layoutInTwips() {
    forms::Form2 form2(state_, " Half: 1st", nullptr);
    QCOMPARE(form2.windowTitle(), QString("REPORTS"));
    QCOMPARE(form2.size(), QSize(636, 457));
    QVERIFY(!(form2.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(form2.windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(form2.findChild<QFrame*>("Picture1")->geometry(), QRect(16, 8, 609, 353));
    struct Button {
      const char* name;
      const char* caption;
      int left;
    };
    const Button buttons[] = {{"Command1", "&GENERAL\nSTATS", 720},
                              {"Command3", "&SHOT CHART", 2880},
                              {"Command4", "&PRINT", 5160},
                              {"Command5", "&CLOSE", 7440}};
    QWidget* previous = nullptr;
    for (const Button& b : buttons) {
      auto* button = form2.findChild<QPushButton*>(b.name);
      QCOMPARE(button->text(), QString(b.caption));
      QCOMPARE(button->geometry(), QRect(b.left / 15, 384, 81, 33));
      // Every caption fits its button.
      for (const QString& line : button->text().remove('&').split('\n')) {
        QVERIFY(button->fontMetrics().horizontalAdvance(line) < button->width());
      }
      if (previous != nullptr) QCOMPARE(previous->nextInFocusChain(), button);
      previous = button;
    }
  }

  void pictureIsWhiteAndKeepsItsDrawing() {
    forms::Form2 form2(state_, "", nullptr);
    form2.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form2));
    Surface& picture = form2.Picture1();
    // The drawing area inside the box's one-pixel border.
    QCOMPARE(picture.ScaleWidth(), 607.0f * 15);
    QCOMPARE(form2.pictureCanvas()->grab().toImage().pixelColor(300, 170), QColor(Qt::white));
    picture.Line(0, 1500, 9000, 1500, kRed);
    form2.SetPictureOriginY(250);
    picture.Line(0, 1500, 9000, 1500, kBlue);
    const QImage shown = form2.pictureCanvas()->grab().toImage();
    QCOMPARE(shown.pixelColor(300, 100), QColor(255, 0, 0));
    QCOMPARE(shown.pixelColor(300, 1750 / 15), QColor(0, 0, 255));
    form2.SetPictureOriginY(0);
    picture.Cls();
    QCOMPARE(form2.pictureCanvas()->grab().toImage().pixelColor(300, 100), QColor(Qt::white));
  }

  void theTitleBarsCloseKeepsTheChoiceAndCloseClearsIt() {
    ProgramState state;
    {
      forms::Form2 form2(state, " Half: 1st", nullptr);
      form2.show();
      Press(&form2, "Command3");  // SHOT CHART
      form2.close();              // the title bar's close box
    }
    QCOMPARE(state.Shot_chart_selected, std::int16_t{-1});
    forms::Form2 form2(state, " Half: 1st", nullptr);
    form2.show();
    Press(&form2, "Command5");  // CLOSE
    QVERIFY(!form2.isVisible());
    QCOMPARE(state.Shot_chart_selected, std::int16_t{0});
    QCOMPARE(state.Gen_stats_selected, std::int16_t{0});
  }

  void printDialogGivesTheCopiesAndLeavesThePrinterAtOne() {
    testing::TempDir dir;
    const QString pdf = QString::fromStdString(dir.File("copies.pdf"));
    forms::Form2 form2(state_, "", nullptr);
    AnswerPrintDialog(pdf, 3);
    const PrintChoice choice = form2.ShowPrintDialog();
    QVERIFY(!choice.cancelled);
    QCOMPARE(choice.copies, 3);
    // The copies are separate jobs; the printer must not multiply each.
    QCOMPARE(form2.printer().copyCount(), 1);
    QCOMPARE(form2.printer().outputFormat(), QPrinter::PdfFormat);
    QCOMPARE(form2.printer().outputFileName(), pdf);

    Surface& printer = form2.Printer();
    printer.SetOrientation(kPortrait);
    printer.Print({"     GOALS           ", std::int16_t{1}});
    printer.EndDoc();
    QCOMPARE(form2.printerSurface().JobsEnded(), 1);
    QVERIFY(!form2.TakePrinterError());
    QVERIFY(testing::PdfText(pdf).contains(QRegularExpression("GOALS +1")));
  }

  void cancelIsReportedAsTheDialogsCancel() {
    forms::Form2 form2(state_, "", nullptr);
    AnswerPrintDialog("", 1, true);
    const PrintChoice choice = form2.ShowPrintDialog();
    QVERIFY(choice.cancelled);
    QCOMPARE(choice.error, kCancelError);
  }

  // A first half recorded through the main window, its statistics generated,
  // both reports shown and printed.
  void reportsOfARecordedHalf() {
    testing::TempDir dir;
    testing::ShownMainWindow window;
    ProgramState& state = window.state;
    forms::Form1& form1 = window.form;
    form1.SetCaption(MainControl::kText2, "Lions");
    form1.SetCaption(MainControl::kText1, "Tigers");
    testing::MessageCatcher catcher;
    testing::NewFileWithTheClockHeld(form1, dir.path());
    Press(&form1, "Command2");  // START CLOCK at 0
    // Red plays from (2010, 1995) and shoots; the shot ends at (7605, 2805).
    state.Elapsed_seconds = 5;
    QTest::mouseClick(form1.fieldView(), Qt::LeftButton, {}, QPoint(134, 133));
    state.Elapsed_seconds = 9;
    QTest::mouseClick(form1.fieldView(), Qt::LeftButton, {}, QPoint(507, 187));
    Press(&form1, "Command5");  // SHOT
    state.Elapsed_seconds = 12;
    Press(&form1, "Command2");                            // STOP CLOCK
    QCOMPARE(catcher.messages().size(), std::size_t{1});  // only "New data file created"

    const QString general_pdf = QString::fromStdString(dir.File("general.pdf"));
    const QString chart_pdf = QString::fromStdString(dir.File("chart.pdf"));
    bool reports_seen = false;
    int jobs = 0;
    QImage general, chart;
    testing::WhenModalAppears([&](QWidget* modal) {
      auto* form2 = qobject_cast<forms::Form2*>(modal);
      if (form2 == nullptr) return false;
      reports_seen = true;
      // The progress window has gone and the pointer is back.
      if (form1.findChild<forms::Form3*>() != nullptr) qFatal("the progress window is still open");
      Press(form2, "Command1");  // GENERAL STATS
      general = form2->pictureCanvas()->grab().toImage();
      AnswerPrintDialog(general_pdf, 1);
      Press(form2, "Command4");  // PRINT
      Press(form2, "Command3");  // SHOT CHART
      chart = form2->pictureCanvas()->grab().toImage();
      AnswerPrintDialog(chart_pdf, 3);
      Press(form2, "Command4");
      jobs = form2->printerSurface().JobsEnded();  // one general page, three charts
      Press(form2, "Command5");                    // CLOSE
      return true;
    });
    form1.findChild<QAction*>("mnuGenStats")->trigger();
    QVERIFY(reports_seen);
    QCOMPARE(jobs, 4);
    QCOMPARE(form1.cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(catcher.messages().size(), std::size_t{1});

    // The general statistics: black text on white, in the picture's top rows.
    int ink = 0;
    for (int y = 0; y < 120; ++y) {
      for (int x = 0; x < general.width(); ++x) ink += general.pixelColor(x, y) == Qt::black;
    }
    QVERIFY2(ink > 500, qPrintable(QString::number(ink)));
    // The shot chart: the field drawn 250 twips down, white inside, and the
    // red shot line where it was recorded.
    QCOMPARE(chart.pixelColor(3000 / 15, (2000 + 250) / 15), QColor(Qt::white));
    QCOMPARE(chart.pixelColor(4750 / 15, (4000 + 250) / 15), QColor(Qt::black));  // halfway line
    const double x1 = 2010, y1 = 1995, x2 = 7605, y2 = 2805;
    for (double t : {0.25, 0.5, 0.75}) {
      const int x = qRound((x1 + t * (x2 - x1)) / 15);
      const int y = qRound((y1 + t * (y2 - y1) + 250) / 15);
      QVERIFY2(RedNear(chart, x, y), qPrintable(QString("no red near %1,%2").arg(x).arg(y)));
    }
    QVERIFY(!RedNear(chart, qRound(x1 / 15), qRound((y1 + 250 + 600) / 15), 4));

    // The printed pages hold the report's rows.
    const QString page = testing::PdfText(general_pdf);
    QVERIFY2(page.contains("GENERAL STATISTICS"), qPrintable(page));
    QVERIFY2(page.contains(QRegularExpression("Lions +Tigers")), qPrintable(page));
    QVERIFY2(page.contains(QRegularExpression("GOALS +0 +0\\n")), qPrintable(page));
    QVERIFY2(page.contains(QRegularExpression("SHOTS +1 +0\\n")), qPrintable(page));
    QVERIFY2(page.contains(QRegularExpression("CORNERS +0 +0\\n")), qPrintable(page));
    QVERIFY2(page.contains(QRegularExpression("TIME OF +0 :12 +0 :00\\n")), qPrintable(page));
    QVERIFY2(page.contains(QRegularExpression("ATTACKING 1/3 +0 +0\\n")), qPrintable(page));
    const QString chart_page = testing::PdfText(chart_pdf);
    QVERIFY2(chart_page.contains("SHOT CHART"), qPrintable(chart_page));
    QVERIFY2(chart_page.contains(QRegularExpression("Lions +--> +<-- +Tigers")),
             qPrintable(chart_page));
  }

  void aPrinterFailureReachesTheReportsWindow() {
    forms::Form2 form2(state_, "", nullptr);
    form2.printer().setOutputFormat(QPrinter::PdfFormat);
    // A PDF "file" on a disk that is always full.
    form2.printer().setOutputFileName("/dev/full");
    form2.Printer().Print({"x"});
    form2.Printer().EndDoc();
    const std::optional<PrintChoice> error = form2.TakePrinterError();
    QVERIFY(error.has_value());
    QCOMPARE(error->error, ENOSPC);
    QCOMPARE(error->description,
             std::string("The file \"/dev/full\" could not be written: No space left on device."));
  }
};

}  // namespace varrow

VARROW_QT_TEST_MAIN(varrow::Form2Test)
#include "form2_test.moc"
