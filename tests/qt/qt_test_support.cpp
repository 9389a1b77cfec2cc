#include "qt_test_support.h"

#include <sys/stat.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <cstdlib>

#include "forms/form5.h"
#include "platform/fonts.h"
#include "run_command.h"
#include "temp_dir.h"

namespace varrow::testing {

QtTestEnvironment::QtTestEnvironment() : dir_(std::make_unique<TempDir>()) {
  const std::string runtime = dir_->File("runtime");
  config_ = dir_->File("config");
  ::mkdir(runtime.c_str(), 0700);
  ::mkdir(config_.c_str(), 0700);
  // Headless, unless the screenshot script runs the test on its X display.
  if (std::getenv("VARROW_SCREENSHOTS") == nullptr || std::getenv("DISPLAY") == nullptr) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }
  ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", config_.c_str(), 1);
  // Pixel checks assume 96 dpi: 15 twips a pixel.
  ::unsetenv("QT_SCALE_FACTOR");
  ::unsetenv("QT_FONT_DPI");
}

QtTestEnvironment::~QtTestEnvironment() = default;

const std::string& QtTestEnvironment::ConfigDir() const { return config_; }

namespace {

QtMessageHandler previous_handler = nullptr;

// The offscreen platform warns about every fixed-size window; nothing to see.
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.contains("does not support propagateSizeHints")) return;
  previous_handler(type, context, message);
}

}  // namespace

ShownMainWindow::ShownMainWindow() {
  QSettings(QSettings::NativeFormat, QSettings::UserScope, "Varrow", "Varrow").clear();
  form.Load();
  form.show();
}

void NewFileWithTheClockHeld(forms::Form1& form, const std::string& dir) {
  const QString previous_dir = QDir::currentPath();
  if (!QDir::setCurrent(QString::fromStdString(dir))) qFatal("cannot enter %s", dir.c_str());
  WhenModalAppears([](QWidget* modal) {
    auto* form5 = qobject_cast<forms::Form5*>(modal);
    if (form5 == nullptr) return false;
    QTest::mouseClick(form5->findChild<QPushButton*>("Command1"), Qt::LeftButton);
    return true;
  });
  form.findChild<QAction*>("mnuNew")->trigger();
  QDir::setCurrent(previous_dir);
  form.findChild<QTimer*>("Timer1")->setInterval(3600 * 1000);
}

void QtTestEnvironment::SetUpApplication() {
  previous_handler = qInstallMessageHandler(QuietHandler);
  platform::InstallFontSubstitutions();
  QApplication::setFont(platform::SansFont(8.25));
}

MessageCatcher::MessageCatcher(QMessageBox::StandardButton answer) : answer_(answer) {
  timer_.setInterval(10);
  connect(&timer_, &QTimer::timeout, this, &MessageCatcher::Poll);
  timer_.start();
}

MessageCatcher::~MessageCatcher() = default;

void MessageCatcher::Poll() {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (box == nullptr || !box->isVisible()) return;
  messages_.push_back(CaughtMessage{box->windowTitle(), box->text(), box->icon(),
                                    static_cast<int>(box->buttons().size())});
  if (QAbstractButton* button = box->button(answer_)) {
    button->click();
  } else if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
    ok->click();
  } else {
    box->reject();
  }
}

bool ActivateAndWait(QWidget& window) {
  QElapsedTimer waited;
  waited.start();
  while (QApplication::activeWindow() != &window && waited.elapsed() < 5000) {
    window.activateWindow();
    QTest::qWait(5);
  }
  return QApplication::activeWindow() == &window;
}

void TypeFileNames(QFileDialog& dialog, const QString& names) {
  if (auto* box = dialog.findChild<QLineEdit*>("fileNameEdit")) {
    box->setText(names);
  } else {
    dialog.selectFile(names);
  }
}

void WhenModalAppears(const std::function<bool(QWidget*)>& action, int timeout_ms) {
  auto* timer = new QTimer;
  auto* clock = new QElapsedTimer;
  clock->start();
  QObject::connect(timer, &QTimer::timeout, [timer, clock, action, timeout_ms] {
    QWidget* modal = QApplication::activeModalWidget();
    bool done = modal != nullptr && modal->isVisible() && action(modal);
    if (!done && clock->elapsed() > timeout_ms) {
      // Fail the test instead of hanging it: close whatever still waits.
      qWarning("WhenModalAppears: gave up after %d ms", timeout_ms);
      if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        dialog->reject();
      }
      done = true;
    }
    if (done) {
      timer->stop();
      timer->deleteLater();
      delete clock;
    }
  });
  timer->start(10);
}

void SaveScreenshot(const QImage& image, const QString& name) {
  const char* dir = std::getenv("VARROW_SCREENSHOTS");
  if (dir != nullptr) image.save(QString::fromLocal8Bit(dir) + "/" + name);
}

QString PdfText(const QString& pdf) { return QString::fromStdString(PdfText(pdf.toStdString())); }

double PdfFirstWordTop(const QString& pdf, int page) {
  return PdfFirstWordTop(pdf.toStdString(), page);
}

QColor PixelAtTwips(const QImage& image, double x_twips, double y_twips) {
  const double ratio = image.devicePixelRatio();
  return image.pixelColor(static_cast<int>(x_twips / 15.0 * ratio),
                          static_cast<int>(y_twips / 15.0 * ratio));
}

}  // namespace varrow::testing
