// The progress window of the statistics pass.
#include "forms/form3.h"

#include <QApplication>
#include <QProgressBar>
#include <QWindow>
#include <QtTest>

#include "forms/form1.h"
#include "qt_test_support.h"

namespace varrow {

class Form3Test : public QObject {
  Q_OBJECT

 private slots:
  void layoutAndNoCloseButton() {
    forms::Form3 form3(nullptr);
    QCOMPARE(form3.windowTitle(), QString("Generating Stats"));
    QCOMPARE(form3.size(), QSize(393, 90));
    QCOMPARE(form3.progressBar()->geometry(), QRect(64, 32, 265, 25));
    const Qt::WindowFlags flags = form3.windowFlags();
    QVERIFY(!(flags & Qt::WindowCloseButtonHint));
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
  }

  void progressIsPaintedWithoutTheEventLoop() {
    testing::ShownMainWindow window;
    forms::Form1& form1 = window.form;
    form1.SetBusyPointer(true);
    form1.ShowProgressWindow();
    auto* form3 = form1.findChild<forms::Form3*>();
    QVERIFY(form3 != nullptr);
    // On the screen before the pass starts, with the hourglass.
    QVERIFY(form3->windowHandle()->isExposed());
    QCOMPARE(form3->cursor().shape(), Qt::WaitCursor);

    form1.SetProgressMax(1638);
    form1.SetProgressValue(1229);
    QCOMPARE(form3->progressBar()->maximum(), 1638);
    QCOMPARE(form3->progressBar()->value(), 1229);
    // What the screen shows now, with no event processed since: the bar is
    // three quarters full.
    const QImage shown = form3->screen()->grabWindow(form3->winId()).toImage();
    testing::SaveScreenshot(shown, "form3_progress.png");
    const QRect bar(form3->progressBar()->mapTo(form3, QPoint(0, 0)), form3->progressBar()->size());
    const QColor filled = shown.pixelColor(bar.left() + bar.width() / 2, bar.center().y());
    const QColor empty = shown.pixelColor(bar.left() + bar.width() * 9 / 10, bar.center().y());
    QVERIFY2(filled != empty, qPrintable(filled.name() + " " + empty.name()));

    // The main window does not close under a running pass.
    form1.close();
    QVERIFY(form1.isVisible());

    form1.SetBusyPointer(false);
    form1.CloseProgressWindow();
    QVERIFY(form1.findChild<forms::Form3*>() == nullptr);
    QCOMPARE(form1.cursor().shape(), Qt::ArrowCursor);
    form1.close();
    QVERIFY(!form1.isVisible());
  }
};

}  // namespace varrow

VARROW_QT_TEST_MAIN(varrow::Form3Test)
#include "form3_test.moc"
