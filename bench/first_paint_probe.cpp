// Built into a copy of the program (src/app/main.cpp) for the startup
// benchmark, so that the shipped program carries no probe: prints the
// monotonic clock once the main window's first frame is on the screen, then
// closes the window as File > Exit would. The benchmark compares that moment
// with the time it started the process.
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <ctime>

namespace {

class FirstPaintProbe : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Paint || watched->objectName() != "DrawingArea") return false;
    qApp->removeEventFilter(this);
    QWidget* window = static_cast<QWidget*>(watched)->window();
    // A zero timer fires after the paint has been flushed to the screen.
    QTimer::singleShot(0, window, [window] {
      timespec now{};
      clock_gettime(CLOCK_MONOTONIC, &now);
      std::printf("first-paint-monotonic-ns %lld\n",
                  static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
      std::fflush(stdout);
      window->close();
    });
    return false;
  }
};

void InstallFirstPaintProbe() {
  auto* probe = new FirstPaintProbe;
  probe->setParent(qApp);
  qApp->installEventFilter(probe);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallFirstPaintProbe)
