#pragma once

#include <QColor>
#include <QFileDialog>
#include <QImage>
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "forms/form1.h"
#include "platform/qt_environment.h"
#include "platform/qt_settings.h"

namespace varrow::testing {

class TempDir;

// The main window on the real settings store (emptied first) and the real
// environment, loaded and shown.
struct ShownMainWindow {
  ShownMainWindow();
  ProgramState state;
  platform::QtSettingsStore settings;
  platform::QtEnvironment environment;
  forms::Form1 form{state, settings, environment};
};

// What a Qt test needs before its QApplication: the offscreen platform and
// fresh runtime and configuration directories (so the user's own settings
// are never touched), removed again at the end.
class QtTestEnvironment {
 public:
  QtTestEnvironment();
  ~QtTestEnvironment();
  // After the QApplication exists: the program's own fonts.
  static void SetUpApplication();
  const std::string& ConfigDir() const;

 private:
  std::unique_ptr<TempDir> dir_;
  std::string config_;
};

// File > New with OK in the period window, the file made in `dir` (a
// MessageCatcher must be alive to take the "New data file created" box);
// then Timer1 is held back an hour, so that the test sets the clock itself.
void NewFileWithTheClockHeld(forms::Form1& form, const std::string& dir);

// A message box seen while a modal one was dismissed.
struct CaughtMessage {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  int buttons = 0;
};

// Dismisses every modal message box that comes up while it lives (pressing
// `answer` where the box has it, else its OK button, else Escape) and
// remembers what it said.
class MessageCatcher : public QObject {
 public:
  explicit MessageCatcher(QMessageBox::StandardButton answer = QMessageBox::Ok);
  ~MessageCatcher() override;
  const std::vector<CaughtMessage>& messages() const { return messages_; }

 private:
  void Poll();
  QMessageBox::StandardButton answer_;
  QTimer timer_;
  std::vector<CaughtMessage> messages_;
};

// Polls the active modal window and runs `action` on it until the action
// returns true (for dialogs a handler opens and waits on). After `timeout_ms`
// it gives up and rejects the modal dialog still open, so a test fails
// instead of hanging.
void WhenModalAppears(const std::function<bool(QWidget*)>& action, int timeout_ms = 5000);

// Makes `window` the active window and waits until it is (5 s at most), so
// its shortcuts work: the offscreen platform activates a window only when
// asked, and a window just shown may have no native window yet to ask.
bool ActivateAndWait(QWidget& window);

// Puts `names` in a file dialog's name box, as an operator types them.
// QFileDialog::selectFile leaves the box alone once it has the focus, which
// it may already have by the time a test's poll comes round.
void TypeFileNames(QFileDialog& dialog, const QString& names);

// Saves `image` as `name` in the directory named by VARROW_SCREENSHOTS, when
// that is set (scripts/take_screenshots sets it and runs the test on a real
// X display); otherwise does nothing.
void SaveScreenshot(const QImage& image, const QString& name);

// The PDF readers of run_command.h, for a PDF named by a QString.
QString PdfText(const QString& pdf);
double PdfFirstWordTop(const QString& pdf, int page = 1);

// The colour of an image's pixel at a point of a twips drawing (15 twips a
// pixel at 96 dpi), at the image's own pixel ratio.
QColor PixelAtTwips(const QImage& image, double x_twips, double y_twips);

}  // namespace varrow::testing

// A main for a Qt Test class that runs it headless with its own directories.
#define VARROW_QT_TEST_MAIN(TestClass)                      \
  int main(int argc, char** argv) {                         \
    varrow::testing::QtTestEnvironment environment;         \
    QApplication app(argc, argv);                           \
    varrow::testing::QtTestEnvironment::SetUpApplication(); \
    TestClass test;                                         \
    return QTest::qExec(&test, argc, argv);                 \
  }
