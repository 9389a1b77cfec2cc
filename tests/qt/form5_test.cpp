// The period window: layout, and each option acting the moment it is chosen.
#include "forms/form5.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <memory>

#include "datafile/data_file_reader.h"
#include "forms/form1.h"
#include "qt_test_support.h"
#include "temp_dir.h"

namespace varrow {

class Form5Test : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<testing::ShownMainWindow> window_;
  forms::Form1* form1_ = nullptr;

  QString Name(const char* box) { return form1_->findChild<QLineEdit*>(box)->text(); }

  // When the period window opens: clicks these options in turn, then OK;
  // `seen` tells that it opened.
  static void WhenPeriodWindowOpens(const QStringList& options, bool& seen) {
    testing::WhenModalAppears([&seen, options](QWidget* modal) {
      auto* form5 = qobject_cast<forms::Form5*>(modal);
      if (form5 == nullptr) return false;
      seen = true;
      // Opens with the first option chosen, whatever was chosen last time.
      if (!form5->findChild<QRadioButton*>("Option1")->isChecked()) qFatal("Option1 not checked");
      for (const QString& name : options) {
        QTest::mouseClick(form5->findChild<QRadioButton*>(name), Qt::LeftButton);
      }
      QTest::mouseClick(form5->findChild<QPushButton*>("Command1"), Qt::LeftButton);
      return true;
    });
  }

  // Opens the period window from the main window, clicks these options in
  // turn, then OK.
  void ChoosePeriods(const QStringList& options) {
    bool seen = false;
    WhenPeriodWindowOpens(options, seen);
    form1_->ShowPeriodWindow();
    QVERIFY(seen);
  }

  // File > New in `dir` with these options clicked in the period window.
  void NewFile(const testing::TempDir& dir, const QStringList& options) {
    const QString previous_dir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(QString::fromStdString(dir.path())));
    bool seen = false;
    WhenPeriodWindowOpens(options, seen);
    form1_->findChild<QAction*>("mnuNew")->trigger();
    QDir::setCurrent(previous_dir);
    QVERIFY(seen);
  }

 private slots:
  void init() {
    window_ = std::make_unique<testing::ShownMainWindow>();
    form1_ = &window_->form;
    form1_->SetCaption(MainControl::kText2, "Ajax");
    form1_->SetCaption(MainControl::kText1, "A name of twenty-five ch");
    window_->state.Score_2 = 2;
    window_->state.Score_1 = 1;
  }
  void cleanup() { window_.reset(); }

  void layoutInTwips() {
    forms::Form5 form5(window_->state, *form1_, form1_);
    QCOMPARE(form5.windowTitle(), QString("Configuration"));
    QCOMPARE(form5.size(), QSize(246, 134));
    auto* frame = form5.findChild<QGroupBox*>("Frame1");
    QCOMPARE(frame->title(), QString("Period"));
    QCOMPARE(frame->geometry(), QRect(8, 8, 129, 113));
    const char* captions[] = {"1st Half", "2nd Half", "Overtime 1", "Overtime 2"};
    for (int i = 0; i < 4; ++i) {
      auto* option = form5.findChild<QRadioButton*>(QString("Option%1").arg(i + 1));
      QCOMPARE(option->text(), QString(captions[i]));
      // Positions are the window's own, though the frame holds the options.
      const QRect in_window(option->mapTo(&form5, QPoint(0, 0)), option->size());
      QCOMPARE(in_window, QRect(24, 24 + 24 * i, 81, 17));
    }
    auto* ok = form5.findChild<QPushButton*>("Command1");
    QCOMPARE(ok->text(), QString("OK"));
    QCOMPARE(ok->geometry(), QRect(152, 48, 81, 33));
    QVERIFY(form5.findChild<QRadioButton*>("Option1")->isChecked());

    QStringList chain;
    QWidget* w = form5.findChild<QWidget*>("Option1");
    for (int i = 0; i < 5; ++i, w = w->nextInFocusChain()) chain << w->objectName();
    QCOMPARE(chain, QStringList({"Option1", "Option2", "Option3", "Option4", "Command1"}));
  }

  void secondHalfChangesEndsAtOnce() {
    ChoosePeriods({"Option2"});
    QCOMPARE(window_->state.Header_rec.Period, std::int16_t{2});
    QCOMPARE(form1_->findChild<QLabel*>("Label7")->text(), QString(" Half: 2nd"));
    // Padded or cut to 20 characters as they change sides.
    QCOMPARE(Name("Text2"), QString("A name of twenty-fiv"));
    QCOMPARE(Name("Text1"), QString("Ajax                "));
    QCOMPARE(form1_->ForeColor(MainControl::kText2), kBlue);
    QCOMPARE(form1_->ForeColor(MainControl::kText1), kRed);
    QCOMPARE(window_->state.Score_2, std::int16_t{1});
    QCOMPARE(window_->state.Score_1, std::int16_t{2});
  }

  void twoChangesOfEndsPutTheTeamsBack() {
    ChoosePeriods({"Option2", "Option3"});
    QCOMPARE(window_->state.Header_rec.Period, std::int16_t{3});
    QCOMPARE(Name("Text2"), QString("Ajax                "));
    QCOMPARE(form1_->ForeColor(MainControl::kText2), kRed);
  }

  void choosingTheChosenOptionAgainChangesNothing() {
    ChoosePeriods({"Option4", "Option4"});
    QCOMPARE(window_->state.Header_rec.Period, std::int16_t{4});
    QCOMPARE(Name("Text1"), QString("Ajax                "));
  }

  // The option shown selected when the window opens runs its handler when
  // clicked: a first half after a second-half file.
  void firstHalfAfterASecondHalfFile() {
    testing::TempDir dir;
    testing::MessageCatcher catcher;
    NewFile(dir, {"Option2"});
    form1_->findChild<QTimer*>("Timer1")->setInterval(3600 * 1000);
    auto* command2 = form1_->findChild<QPushButton*>("Command2");
    QTest::mouseClick(command2, Qt::LeftButton);
    QTest::mouseClick(form1_->fieldView(), Qt::LeftButton, {}, QPoint(400, 200));
    QTest::mouseClick(command2, Qt::LeftButton);
    QCOMPARE(window_->state.Header_rec.Period, std::int16_t{2});

    NewFile(dir, {"Option1"});
    QCOMPARE(catcher.messages().size(), std::size_t{2});
    QVERIFY(catcher.messages()[1].text.endsWith("_2.dat"));
    DataFileReader file;
    QVERIFY(file.Open(window_->state.Data_file_path).ok());
    const Header_record& header = file.Header_rec();
    QCOMPARE(header.Period, std::int16_t{1});
    QCOMPARE(header.Score_2, std::int16_t{0});
    QCOMPARE(header.Score_1, std::int16_t{0});
    QCOMPARE(form1_->findChild<QLabel*>("Label7")->text(), QString(" Half: 1st"));
    QCOMPARE(form1_->findChild<QLabel*>("Label3")->text(), QString("0"));
    QCOMPARE(form1_->findChild<QLabel*>("Label4")->text(), QString("0"));
  }

  void okAloneLeavesThePeriodAndTheSides() {
    window_->state.Header_rec.Period = 3;
    ChoosePeriods({});
    QCOMPARE(window_->state.Header_rec.Period, std::int16_t{3});
    QCOMPARE(Name("Text2"), QString("Ajax"));
  }
};

}  // namespace varrow

VARROW_QT_TEST_MAIN(varrow::Form5Test)
#include "form5_test.moc"
