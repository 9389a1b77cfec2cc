// Varrow: records a soccer match live and turns the record into statistics.
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>

#include "app/command_line.h"
#include "forms/form1.h"
#include "platform/fonts.h"
#include "platform/qt_environment.h"
#include "platform/qt_settings.h"
#include "state/program_state.h"
#include "varrow_version.h"

namespace {

bool EnvSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

// Startup benchmark hook, used only by bench/startup_bench and not part
// of the program's interface: when VARROW_BENCH_FIRST_PAINT is set, the
// program prints the monotonic clock once the main window's first frame is
// on the screen, then closes the window as File > Exit would. The benchmark
// compares that moment with the time it started the process.
class FirstPaintProbe : public QObject {
 public:
  FirstPaintProbe(QWidget& painted, QWidget& window) : window_(window) {
    painted.installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !seen_) {
      seen_ = true;
      watched->removeEventFilter(this);
      // A zero timer fires after the paint has been flushed to the screen.
      QTimer::singleShot(0, &window_, [this] {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        std::printf("first-paint-monotonic-ns %lld\n",
                    static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
        std::fflush(stdout);
        window_.close();
      });
    }
    return false;
  }

 private:
  QWidget& window_;
  bool seen_ = false;
};

}  // namespace

int main(int argc, char* argv[]) {
  if (const auto status = varrow::app::AnswerInformationOption(argc, argv, stdout)) return *status;
  // Without a display Qt aborts with a screenful of warnings; say it plainly.
  if (!EnvSet("QT_QPA_PLATFORM") && !EnvSet("DISPLAY") && !EnvSet("WAYLAND_DISPLAY")) {
    std::fputs(
        "varrow: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set); "
        "to run it without a screen use xvfb-run, e.g. xvfb-run -a scripts/run\n",
        stderr);
    return 1;
  }
  // A data file write past the file size limit must fail with EFBIG, which
  // the recorder reports, instead of killing the program mid-match.
  std::signal(SIGXFSZ, SIG_IGN);

  QApplication app(argc, argv);
  QApplication::setApplicationName("Varrow");
  QApplication::setApplicationVersion(varrow::kVersion);
  QGuiApplication::setDesktopFileName(varrow::kAppId);
  varrow::platform::InstallFontSubstitutions();
  QApplication::setFont(varrow::platform::SansFont(8.25));

  varrow::ProgramState state;
  varrow::platform::QtSettingsStore settings;
  varrow::platform::QtEnvironment environment;
  varrow::forms::Form1 form1(state, settings, environment);
  std::unique_ptr<FirstPaintProbe> probe;
  if (EnvSet("VARROW_BENCH_FIRST_PAINT")) {
    probe = std::make_unique<FirstPaintProbe>(*form1.fieldView(), form1);
  }
  form1.Load();
  form1.show();
  const int status = QApplication::exec();
  // Ending the event loop by other means than closing the window still
  // saves the settings.
  form1.Unload();
  settings.Sync();
  return status;
}
