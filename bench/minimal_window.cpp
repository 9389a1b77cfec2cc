// The yardstick of the startup benchmark: the least a Qt Widgets program
// does to show a window of the main window's size. It prints the monotonic
// clock once its first frame is on the screen, then quits, exactly as
// varrow_first_paint (the program with first_paint_probe.cpp) does.
//
//   minimal_window          the bare window
//   minimal_window --label  the same with one line of text: what drawing
//                           any text at all costs (fonts, shaping, glyphs)
#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

class Window : public QWidget {
 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter(this).fillRect(rect(), Qt::white);
    if (painted_) return;
    painted_ = true;
    QTimer::singleShot(0, this, [] {
      timespec now{};
      clock_gettime(CLOCK_MONOTONIC, &now);
      std::printf("first-paint-monotonic-ns %lld\n",
                  static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
      std::fflush(stdout);
      QApplication::quit();
    });
  }

 private:
  bool painted_ = false;
};

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  Window window;
  window.setFixedSize(638, 434);
  if (argc > 1 && std::strcmp(argv[1], "--label") == 0) {
    auto* label = new QLabel("Team Name", &window);
    label->setGeometry(72, 8, 81, 17);
  }
  window.show();
  return QApplication::exec();
}
