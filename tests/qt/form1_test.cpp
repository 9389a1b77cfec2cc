// The main window: layout, field pixels, key preview, drawing surface,
// message boxes and shutdown.
#include "forms/form1.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QtTest>
#include <cerrno>
#include <memory>

#include "qt_test_support.h"
#include "recorder_rig.h"

namespace varrow {
namespace {

using forms::Form1;
using testing::PixelAtTwips;

const QColor kQGreen(0, 255, 0);
const QColor kQWhite(255, 255, 255);
const QColor kQBlack(0, 0, 0);

struct Expected {
  const char* name;
  int left, top, width, height;
};

// Every control at its twips position, in pixels at 96 dpi (15 twips each).
const Expected kLayout[] = {
    {"Image3", 360, 240, 420, 390},      {"Label1", 1080, 120, 1215, 255},
    {"Text2", 1080, 360, 2055, 285},     {"Label3", 3240, 240, 255, 375},
    {"Image1", 3600, 240, 480, 480},     {"Label5", 4200, 240, 1215, 495},
    {"Image2", 5520, 240, 480, 480},     {"Label4", 6120, 240, 255, 375},
    {"Label2", 6480, 120, 1215, 255},    {"Text1", 6480, 360, 2055, 285},
    {"Image4", 8760, 240, 420, 390},     {"Command2", 120, 5520, 1575, 495},
    {"Command1", 2040, 5520, 1575, 495}, {"Command5", 3960, 5520, 1575, 495},
    {"Command6", 5880, 5520, 1575, 495}, {"Command7", 7800, 5520, 1575, 495},
    {"Label6", 120, 6120, 7455, 375},    {"Label7", 7680, 6120, 1695, 375},
};

// The worked click sequence of a first half, every position moved to the
// nearest whole pixel at 96 dpi (a multiple of 15 twips): clock, x, y.
struct Press {
  std::int16_t clock;
  int x, y;
};
const Press kSequence[] = {{3, 1995, 1995},  {7, 6000, 0},    {15, 600, 3000},
                           {30, 4005, 4005}, {40, 300, 1995}, {45, 750, 1005}};

// The same match recorded by the handlers alone, with fakes for the window.
std::vector<std::uint8_t> RecordWithTheHandlers(const std::string& dir) {
  testing::FakeProgram program;
  program.environment_.current_directory = dir;
  Recorder& recorder = program.recorder_;
  recorder.Form_Load();
  recorder.mnuNew_Click();
  recorder.Command2_Click();
  for (const Press& p : kSequence) {
    program.state_.Elapsed_seconds = p.clock;
    recorder.Form_MouseDown(1, 0, static_cast<float>(p.x), static_cast<float>(p.y));
  }
  recorder.Command2_Click();
  return testing::ReadFileBytes(program.state_.Data_file_path);
}

}  // namespace

class Form1Test : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<testing::ShownMainWindow> window_;
  Form1* form_ = nullptr;

  template <typename T = QWidget>
  T* Find(const char* name) {
    T* w = form_->findChild<T*>(name);
    if (w == nullptr) qFatal("no control %s", name);
    return w;
  }
  QImage Shown() { return form_->fieldView()->grab().toImage(); }

 private slots:
  void init() {
    window_ = std::make_unique<testing::ShownMainWindow>();
    form_ = &window_->form;
    QVERIFY(QTest::qWaitForWindowExposed(form_));
  }
  void cleanup() { window_.reset(); }

  void captionSizeAndPlace() {
    QCOMPARE(form_->windowTitle(), QString("Varrow 2000"));
    QCOMPARE(form_->fieldView()->size(), QSize(638, 434));
    QVERIFY(!form_->windowIcon().isNull());
    // Centred on the screen (give or take a frame the platform adds later).
    const QPoint off =
        form_->frameGeometry().center() - form_->screen()->availableGeometry().center();
    QVERIFY2(qAbs(off.x()) <= 3 && qAbs(off.y()) <= 3,
             qPrintable(QString("%1,%2").arg(off.x()).arg(off.y())));
    // The layout is fixed.
    QCOMPARE(form_->minimumSize(), form_->maximumSize());
  }

  void everyControlAtItsTwipsPosition() {
    for (const Expected& e : kLayout) {
      QWidget* w = Find(e.name);
      QCOMPARE(w->parentWidget(), form_->fieldView());
      const QRect expected(e.left / 15, e.top / 15, e.width / 15, e.height / 15);
      QVERIFY2(w->geometry() == expected, e.name);
    }
  }

  void fontsColoursAndBorders() {
    for (const char* name :
         {"Label1", "Label2", "Text1", "Text2", "Command2", "Command7", "Label6", "Label7"}) {
      QCOMPARE(Find(name)->font().pointSizeF(), 8.25);
      QCOMPARE(QFontInfo(Find(name)->font()).family(), QString("Liberation Sans"));
    }
    for (const char* name : {"Label3", "Label4", "Label5"}) {
      QCOMPARE(Find(name)->font().pointSizeF(), 17.25);
    }
    QCOMPARE(Find<QLabel>("Label5")->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(Find<QLineEdit>("Text2")->palette().color(QPalette::Text), QColor(255, 0, 0));
    QCOMPARE(Find<QLineEdit>("Text1")->palette().color(QPalette::Text), QColor(0, 0, 255));
    for (const char* name : {"Label6", "Label7"}) {
      QCOMPARE(Find<QLabel>(name)->frameShape(), QFrame::Box);
      QCOMPARE(Find<QLabel>(name)->lineWidth(), 1);
    }
    QCOMPARE(Find<QLabel>("Label6")->text(), QString(" File:"));
    QCOMPARE(Find<QLabel>("Label5")->text(), QString("0:00"));
    QCOMPARE(Find<QPushButton>("Command2")->text(), QString("START CLOCK"));
    QCOMPARE(Find<QPushButton>("Command7")->text(), QString("CLEAR SCREEN"));
  }

  void picturesAndStartUpPossession() {
    QCOMPARE(Find<QLabel>("Image3")->pixmap().size(), QSize(28, 26));
    QCOMPARE(Find<QLabel>("Image1")->pixmap().size(), QSize(32, 32));
    // The ball sits on a light blue square.
    QCOMPARE(Find<QLabel>("Image3")->pixmap().toImage().pixelColor(0, 0), QColor(153, 153, 255));
    // Start-up gives the left team the ball.
    QVERIFY(Find("Image3")->isVisible());
    QVERIFY(!Find("Image4")->isVisible());
  }

  void tabOrderAndMenus() {
    QStringList chain;
    QWidget* w = Find("Text2");
    for (int i = 0; i < 7; ++i) {
      chain << w->objectName();
      w = w->nextInFocusChain();
      while (w->focusPolicy() == Qt::NoFocus) w = w->nextInFocusChain();
    }
    QCOMPARE(chain, QStringList({"Text2", "Text1", "Command2", "Command1", "Command5", "Command6",
                                 "Command7"}));
    QVERIFY(!Find("Label1")->focusPolicy());

    QStringList menus;
    for (QAction* a : form_->menuBar()->actions()) {
      QStringList items;
      for (QAction* item : a->menu()->actions())
        items << (item->isSeparator() ? "-" : item->text());
      menus << a->text() + ": " + items.join(", ");
    }
    QCOMPARE(menus, QStringList({"&File: &New, &Open, -, &Exit",
                                 "&Reports: &Generate Stats, Review &Events, &Match Report...",
                                 "&Help: Help &Topics, &About"}));
  }

  void fieldPixels() {
    const QImage shown = Shown();
    QCOMPARE(PixelAtTwips(shown, 3000, 2000), kQGreen);  // playing area
    QCOMPARE(PixelAtTwips(shown, 7000, 4500), kQGreen);
    QCOMPARE(PixelAtTwips(shown, 600, 3000), kQWhite);   // left goal
    QCOMPARE(PixelAtTwips(shown, 8900, 3000), kQWhite);  // right goal
    QCOMPARE(PixelAtTwips(shown, 2500, 1000), kQBlack);  // top touchline
    QCOMPARE(PixelAtTwips(shown, 2500, 5000), kQBlack);  // bottom touchline
    QCOMPARE(PixelAtTwips(shown, 750, 1500), kQBlack);   // left goal line
    QCOMPARE(PixelAtTwips(shown, 4750, 4000), kQBlack);  // halfway line
    QCOMPARE(PixelAtTwips(shown, 4150, 3000), kQBlack);  // centre circle, left of its centre
    QCOMPARE(PixelAtTwips(shown, 5350, 3000), kQBlack);  // and right
    QCOMPARE(PixelAtTwips(shown, 4450, 3000), kQGreen);  // inside the ring
    QCOMPARE(PixelAtTwips(shown, 3850, 3000), kQGreen);  // outside it
    // Around the field the window's own colour, not green.
    QVERIFY(PixelAtTwips(shown, 300, 800) != kQGreen);
  }

  void spaceReachesTheWindowFirstAndIsConsumed() {
    auto* text2 = Find<QLineEdit>("Text2");
    text2->setFocus();
    QTRY_VERIFY(text2->hasFocus());
    QTest::keyClicks(text2, "Ajax");
    QTest::keyClick(text2, Qt::Key_Space);
    // The window's handler saw it (possession switched) and the name box did not.
    QVERIFY(!Find("Image3")->isVisible());
    QVERIFY(Find("Image4")->isVisible());
    QCOMPARE(text2->text(), QString("Ajax"));
    QTest::keyClicks(text2, "x");
    QCOMPARE(text2->text(), QString("Ajaxx"));

    // Also from a button, and only once per press.
    auto* command5 = Find<QPushButton>("Command5");
    command5->setFocus();
    QTRY_VERIFY(command5->hasFocus());
    QTest::keyClick(command5, Qt::Key_Space);
    QVERIFY(Find("Image3")->isVisible());
    QVERIFY(!Find("Image4")->isVisible());
  }

  // A held key repeats about 25 times a second; only its first press counts.
  void heldEnterAndSpaceBarActOnce() {
    testing::TempDir dir;
    testing::MessageCatcher catcher;
    testing::NewFileWithTheClockHeld(*form_, dir.path());
    const std::string file = window_->state.Data_file_path;
    // As X11 delivers a held key: after the first press, every 40 ms a
    // release and a press with the same time stamp, which Qt marks as a
    // repeat only now and then.
    quint64 time = 100000;
    auto hold = [&time](QWidget* w, Qt::Key key, const QString& text) {
      auto send = [&](QEvent::Type type, bool marked) {
        QKeyEvent event(type, key, Qt::NoModifier, text, marked);
        event.setTimestamp(time);
        QApplication::sendEvent(w, &event);
      };
      send(QEvent::KeyPress, false);
      time += 500;
      for (int i = 0; i < 10; ++i, time += 40) {
        send(QEvent::KeyRelease, i % 3 == 0);
        send(QEvent::KeyPress, i % 3 == 0);
      }
      send(QEvent::KeyRelease, false);
      time += 500;
    };
    auto* command2 = Find<QPushButton>("Command2");
    form_->activateWindow();
    command2->setFocus();
    QTRY_VERIFY(command2->hasFocus());
    hold(command2, Qt::Key_Return, "\r");
    QVERIFY(form_->TimerEnabled());
    QCOMPARE(testing::ReadFileBytes(file).size(), std::size_t{4 * 20});  // START alone

    hold(command2, Qt::Key_Space, " ");
    QVERIFY(Find("Image4")->isVisible());
    QCOMPARE(window_->state.form1.ball_path_color, kBlue);
    QCOMPARE(testing::ReadFileBytes(file).size(), std::size_t{4 * 20});
    QCOMPARE(catcher.messages().size(), std::size_t{1});  // "New data file created"
  }

  // The window sees every key first; the menus' access keys must still work
  // from a name box and type nothing into it.
  void accessKeysOpenTheirMenusFromANameBox() {
    auto* text2 = Find<QLineEdit>("Text2");
    text2->setFocus();
    QTRY_VERIFY(text2->hasFocus());
    QTest::keyClicks(text2, "Ajax");
    const std::pair<Qt::Key, const char*> keys[] = {
        {Qt::Key_F, "mnuFile"}, {Qt::Key_R, "mnuReports"}, {Qt::Key_H, "mnuHelp"}};
    for (const auto& [key, menu] : keys) {
      QTest::keyClick(text2, key, Qt::AltModifier);
      QTRY_COMPARE(QApplication::activePopupWidget(), Find(menu));
      QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
      QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
    }
    QCOMPARE(text2->text(), QString("Ajax"));
  }

  // A data file holds names in Windows-1252: the name boxes take nothing
  // else, and show at once what becomes of a pasted name.
  void nameBoxesTakeOnlyWhatADataFileCanHold() {
    auto* text2 = Find<QLineEdit>("Text2");
    form_->activateWindow();
    text2->setFocus();
    QTRY_VERIFY(text2->hasFocus());
    QApplication::clipboard()->setText(QString::fromUtf8("Łódź € ő \U0001F600!"));
    QTest::keyClick(text2, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(text2->text(), QString::fromUtf8("?ódz € o ?!"));
    QCOMPARE(text2->cursorPosition(), text2->text().size());
  }

  void clockAndScoreLabelsWidenWhenTheirTextDoesNotFit() {
    auto* label5 = Find<QLabel>("Label5");
    const QRect designed = label5->geometry();
    form_->SetCaption(MainControl::kLabel5, " 545:07");
    const int needed = label5->fontMetrics().horizontalAdvance(" 545:07");
    QVERIFY(label5->width() >= needed);
    QVERIFY(qAbs(label5->geometry().center().x() - designed.center().x()) <= 1);
    // Between the arrows, never over them.
    QVERIFY(label5->geometry().left() >= Find("Image1")->geometry().right());
    QVERIFY(label5->geometry().right() < Find("Image2")->geometry().left());
    form_->SetCaption(MainControl::kLabel5, " 5:07");
    QCOMPARE(label5->geometry(), designed);

    auto* label4 = Find<QLabel>("Label4");
    form_->SetCaption(MainControl::kLabel4, "12");
    QVERIFY(label4->width() >= label4->fontMetrics().horizontalAdvance("12"));
    QVERIFY(label4->geometry().right() < Find("Text1")->geometry().left());
    QVERIFY(label4->geometry().left() > Find("Image2")->geometry().right());
  }

  void controlsAsTheRecorderSeesThem() {
    form_->SetCaption(MainControl::kText2, "Lions   ");
    QCOMPARE(form_->Caption(MainControl::kText2), std::string("Lions   "));
    form_->SetForeColor(MainControl::kText2, kBlue);
    QCOMPARE(form_->ForeColor(MainControl::kText2), kBlue);
    QCOMPARE(Find<QLineEdit>("Text2")->palette().color(QPalette::Text), QColor(0, 0, 255));
    form_->SetLocked(MainControl::kText1, true);
    QVERIFY(Find<QLineEdit>("Text1")->isReadOnly());
    form_->SetCaption(MainControl::kLabel7, " Half: 2nd");
    QCOMPARE(Find<QLabel>("Label7")->text(), QString(" Half: 2nd"));
    form_->SetVisible(MainControl::kImage4, true);
    QVERIFY(form_->Visible(MainControl::kImage4));

    QVERIFY(!form_->TimerEnabled());
    form_->SetTimerEnabled(true);
    QVERIFY(form_->TimerEnabled());
    form_->SetTimerEnabled(false);

    form_->SetBusyPointer(true);
    QCOMPARE(form_->cursor().shape(), Qt::WaitCursor);
    form_->SetBusyPointer(false);
    QCOMPARE(form_->cursor().shape(), Qt::ArrowCursor);
  }

  void messageBoxesAreModalWithTitleIconTextAndOneOk() {
    testing::MessageCatcher catcher;
    form_->MsgBox("Must START CLOCK\r\n to enter data", MsgIcon::kExclamation, "WARNING");
    form_->MsgBox("New data file created: 120599_1.dat", MsgIcon::kInformation, "Data File");
    QCOMPARE(catcher.messages().size(), std::size_t{2});
    QCOMPARE(catcher.messages()[0].title, QString("WARNING"));
    QCOMPARE(catcher.messages()[0].text, QString("Must START CLOCK\n to enter data"));
    QCOMPARE(catcher.messages()[0].icon, QMessageBox::Warning);
    QCOMPARE(catcher.messages()[0].buttons, 1);
    QCOMPARE(catcher.messages()[1].icon, QMessageBox::Information);
  }

  void workedSequenceThroughTheWindowWritesWhatTheHandlersWrite() {
    testing::TempDir qt_dir;
    testing::TempDir core_dir;
    testing::MessageCatcher catcher;
    testing::NewFileWithTheClockHeld(*form_, qt_dir.path());
    QCOMPARE(catcher.messages().size(), std::size_t{1});
    QVERIFY(catcher.messages()[0].text.startsWith("New data file created: "));
    QVERIFY(QString::fromStdString(window_->state.Data_file_path)
                .startsWith(QString::fromStdString(qt_dir.path())));
    QCOMPARE(Find<QLabel>("Label6")->text(),
             " File: " + QString::fromStdString(window_->state.Data_file_path));

    QTest::mouseClick(Find<QPushButton>("Command2"), Qt::LeftButton);
    QCOMPARE(Find<QPushButton>("Command2")->text(), QString("STOP CLOCK"));
    QVERIFY(Find<QLineEdit>("Text2")->isReadOnly());

    // A press on a label is no press on the field.
    const std::int16_t before = window_->state.form1.RecordNumber;
    QTest::mouseClick(Find("Label1"), Qt::LeftButton);
    QCOMPARE(window_->state.form1.RecordNumber, before);

    for (const Press& p : kSequence) {
      window_->state.Elapsed_seconds = p.clock;
      QTest::mouseClick(form_->fieldView(), Qt::LeftButton, {}, QPoint(p.x / 15, p.y / 15));
      if (p.clock == 15) {
        // The goal: the right team scored, the marker is blue, the ball goes
        // back to the left team.
        QCOMPARE(Find<QLabel>("Label4")->text(), QString("1"));
        QCOMPARE(PixelAtTwips(Shown(), 600, 3000), QColor(0, 0, 255));
        QVERIFY(Find("Image3")->isVisible());
      }
      if (p.clock == 40) {
        // Paths in both colours are on the field.
        const QImage shown = Shown();
        QCOMPARE(PixelAtTwips(shown, 300, 1995), QColor(255, 0, 0));
        QCOMPARE(PixelAtTwips(shown, 4005, 4005), QColor(255, 0, 0));
      }
    }
    // The corner cleared the screen: only the blue marker of the last press.
    const QImage last = Shown();
    QCOMPARE(PixelAtTwips(last, 750, 1005), QColor(0, 0, 255));
    QCOMPARE(PixelAtTwips(last, 4005, 4005), kQGreen);
    QVERIFY(Find("Image4")->isVisible());
    QTest::mouseClick(Find<QPushButton>("Command2"), Qt::LeftButton);
    QCOMPARE(Find<QPushButton>("Command2")->text(), QString("START CLOCK"));
    QCOMPARE(catcher.messages().size(), std::size_t{1});

    const std::vector<std::uint8_t> through_window =
        testing::ReadFileBytes(window_->state.Data_file_path);
    // Names, header, START, six clicks, STOP.
    QCOMPARE(through_window.size(), std::size_t{11 * 20});
    const std::vector<std::uint8_t> by_handlers = RecordWithTheHandlers(core_dir.path());
    QCOMPARE(testing::Hex(through_window), testing::Hex(by_handlers));
  }

  // Started in a folder that has since been removed: New makes nothing
  // anywhere, not even in the root folder, and says why.
  void newIsRefusedWhenTheWorkingFolderIsGone() {
    const QString previous_dir = QDir::currentPath();
    {
      testing::TempDir dir;
      QVERIFY(QDir::setCurrent(QString::fromStdString(dir.path())));
    }
    testing::MessageCatcher catcher;
    bool period_window = false;
    testing::WhenModalAppears(
        [&](QWidget* modal) {
          if (modal->objectName() != "Form5") return false;
          period_window = true;
          QTest::mouseClick(modal->findChild<QPushButton*>("Command1"), Qt::LeftButton);
          return true;
        },
        300);
    form_->findChild<QAction*>("mnuNew")->trigger();
    QTest::qWait(400);  // until the watch for the period window has ended
    QDir::setCurrent(previous_dir);
    const std::string made = window_->state.Data_file_path;
    if (!made.empty()) QFile::remove(QString::fromStdString(made));
    QVERIFY(!period_window);
    QCOMPARE(made, std::string());
    QCOMPARE(catcher.messages().size(), std::size_t{1});
    QCOMPARE(catcher.messages()[0].title, QString("ERROR"));
    QVERIFY2(catcher.messages()[0].text.contains("#2 occurred: \nNo such file or directory"),
             qPrintable(catcher.messages()[0].text));
  }

  void aFailedBackgroundFlushIsShownWithoutWaitingForAClickOrATick() {
    testing::TempDir dir;
    testing::MessageCatcher catcher;
    testing::NewFileWithTheClockHeld(*form_, dir.path());
    form_->recorder().SetFlushFunction([](int) { return EIO; });
    QTest::mouseClick(Find<QPushButton>("Command2"), Qt::LeftButton);
    QTRY_COMPARE(catcher.messages().size(), std::size_t{2});
    QCOMPARE(catcher.messages()[1].title, QString("ERROR"));
    QVERIFY(catcher.messages()[1].text.contains("Input/output error"));
    QCOMPARE(Find<QPushButton>("Command2")->text(), QString("START CLOCK"));
    QVERIFY(!form_->TimerEnabled());
    QVERIFY(!form_->recorder().FileOpen());
  }

  void openDialogOffersDataFilesAndTellsCancelApart() {
    testing::TempDir dir;
    const std::string file = dir.File("120599_1.dat");
    testing::WriteFileBytes(file, std::vector<std::uint8_t>(60, 0));
    QStringList filters;
    testing::WhenModalAppears([&](QWidget* modal) {
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      if (dialog == nullptr) return false;
      filters = dialog->nameFilters();
      dialog->reject();
      return true;
    });
    QVERIFY(!form_->ShowOpenDialog("Data Files (*.dat)|*.dat").has_value());
    QCOMPARE(filters, QStringList({"Data Files (*.dat)"}));

    // The dialog opens in the working directory; a message box (such as
    // "File not found") would fail the test rather than hang it.
    const QString previous_dir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(QString::fromStdString(dir.path())));
    testing::MessageCatcher catcher;
    testing::WhenModalAppears([&](QWidget* modal) {
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      if (dialog == nullptr) return false;
      // As an operator would: type the file's name and press Enter.
      auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
      if (name == nullptr) return false;
      name->setText(QString::fromStdString(file));
      QTest::keyClick(name, Qt::Key_Return);
      // The dialog lists its directory in the background; until it has,
      // Enter may do nothing, so try again at the next poll.
      return !dialog->isVisible();
    });
    const std::optional<std::string> chosen = form_->ShowOpenDialog("Data Files (*.dat)|*.dat");
    QDir::setCurrent(previous_dir);
    QVERIFY(catcher.messages().empty());
    QVERIFY(chosen.has_value());
    QCOMPARE(*chosen, file);
  }

  void settingsThatCannotBeSavedAreReported() {
    // A folder where the settings file should be.
    const QString file = qEnvironmentVariable("XDG_CONFIG_HOME") + "/Varrow/Varrow.conf";
    QFile::remove(file);
    QVERIFY(QDir().mkpath(file));
    testing::MessageCatcher catcher;
    form_->close();
    QDir().rmdir(file);
    QVERIFY(!form_->isVisible());
    QCOMPARE(catcher.messages().size(), std::size_t{1});
    QCOMPARE(catcher.messages()[0].title, QString("WARNING"));
    QCOMPARE(catcher.messages()[0].icon, QMessageBox::Warning);
    QVERIFY2(catcher.messages()[0].text.contains(file + "\nReason: Is a directory"),
             qPrintable(catcher.messages()[0].text));
  }

  void closingRunsShutdownOnceAndSavesTheSettings() {
    form_->SetCaption(MainControl::kText2, "Lions   ");
    form_->SetForeColor(MainControl::kText1, kRed);
    form_->close();
    QSettings saved(QSettings::NativeFormat, QSettings::UserScope, "Varrow", "Varrow");
    QCOMPARE(saved.value("Startup/Team_2").toString(), QString("Lions   "));
    QCOMPARE(saved.value("Startup/Team_1_color").toString(), QString("255"));
    // A second close, or the end of the event loop, does not save again.
    form_->SetCaption(MainControl::kText2, "Tigers");
    form_->close();
    form_->Unload();
    saved.sync();
    QCOMPARE(saved.value("Startup/Team_2").toString(), QString("Lions   "));
  }
};

}  // namespace varrow

VARROW_QT_TEST_MAIN(varrow::Form1Test)
#include "form1_test.moc"
