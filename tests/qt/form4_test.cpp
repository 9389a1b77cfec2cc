// The About window.
#include "forms/form4.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include "qt_test_support.h"

namespace varrow {

class Form4Test : public QObject {
  Q_OBJECT

 private slots:
  void layoutAndFonts() {
    forms::Form4 form4(nullptr);
    QCOMPARE(form4.windowTitle(), QString("About"));
    QCOMPARE(form4.size(), QSize(446, 267));
    auto* title = form4.findChild<QLabel*>("Label1");
    QCOMPARE(title->text(), QString("Varrow 2000"));
    QCOMPARE(title->font().pointSizeF(), 22.5);
    QCOMPARE(title->pos(), QPoint(120, 40));
    auto* version = form4.findChild<QLabel*>("Label2");
    QCOMPARE(version->text(), QString("Version 1.0"));
    QCOMPARE(version->font().pointSizeF(), 13.5);
    QCOMPARE(version->pos(), QPoint(184, 96));
    // The labels size themselves to their text: all of it shows, on one line.
    for (QLabel* label : form4.findChildren<QLabel*>()) {
      QVERIFY(!label->text().isEmpty());
      QVERIFY(!label->text().contains('\n'));
      QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(label->text()));
      QVERIFY(label->geometry().right() < form4.width());
    }
    QVERIFY(form4.findChild<QLabel*>("Label4")->text().contains('@'));
    auto* ok = form4.findChild<QPushButton*>("Command1");
    QCOMPARE(ok->geometry(), QRect(192, 216, 81, 33));
    // The only control that takes the focus.
    for (QWidget* w : form4.findChildren<QWidget*>()) {
      QCOMPARE(w->focusPolicy() != Qt::NoFocus, w == ok);
    }
  }

  void opensCentredAndOkClosesIt() {
    forms::Form4 form4(nullptr);
    testing::WhenModalAppears([](QWidget* modal) {
      auto* ok = modal->findChild<QPushButton*>("Command1");
      if (ok == nullptr) return false;
      QTest::mouseClick(ok, Qt::LeftButton);
      return true;
    });
    QCOMPARE(form4.exec(), int{QDialog::Accepted});
    const QPoint off =
        form4.frameGeometry().center() - form4.screen()->availableGeometry().center();
    QVERIFY(qAbs(off.x()) <= 3 && qAbs(off.y()) <= 3);
  }
};

}  // namespace varrow

VARROW_QT_TEST_MAIN(varrow::Form4Test)
#include "form4_test.moc"
