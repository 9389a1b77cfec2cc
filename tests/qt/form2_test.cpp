// The Reports window: layout, Picture1, the print dialog and the printer.
#include "forms/form2.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QLineEdit>
#include <QPrintDialog>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QtTest>

#include "platform/picture_surface.h"
#include "platform/printer_surface.h"
#include "qt_test_support.h"
#include "state/error_numbers.h"
#include "temp_dir.h"

namespace varrow {
namespace {

QString PdfText(const QString& pdf) {
  QProcess p;
  p.start("pdftotext", {"-layout", pdf, "-"});
  p.waitForFinished(10000);
  return QString::fromUtf8(p.readAllStandardOutput());
}

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
    QVERIFY(PdfText(pdf).contains(QRegularExpression("GOALS +1")));
  }

  void cancelIsReportedAsTheDialogsCancel() {
    forms::Form2 form2(state_, "", nullptr);
    AnswerPrintDialog("", 1, true);
    const PrintChoice choice = form2.ShowPrintDialog();
    QVERIFY(choice.cancelled);
    QCOMPARE(choice.error, kCancelError);
  }

  void aPrinterFailureReachesTheReportsWindow() {
    forms::Form2 form2(state_, "", nullptr);
    form2.printer().setOutputFormat(QPrinter::PdfFormat);
    form2.printer().setOutputFileName("/nonexistent-directory/out.pdf");
    form2.Printer().Print({"x"});
    form2.Printer().EndDoc();
    const std::optional<PrintChoice> error = form2.TakePrinterError();
    QVERIFY(error.has_value());
    QCOMPARE(error->error, kPrinterError);
    QVERIFY(QString::fromStdString(error->description).contains("/nonexistent-directory/out.pdf"));
  }
};

}  // namespace varrow

VARROW_QT_TEST_MAIN(varrow::Form2Test)
#include "form2_test.moc"
