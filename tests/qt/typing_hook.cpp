// Built into a copy of the program (src/app/main.cpp) for the end-signal
// test: once the event loop runs, types a team name into the left name box as
// an operator would, then says so on standard output.
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <cstdio>

namespace {

void TypeATeamNameOnceShown() {
  QTimer::singleShot(0, qApp, [] {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      auto* text2 = window->findChild<QLineEdit*>("Text2");
      if (text2 == nullptr) continue;
      window->activateWindow();
      text2->setFocus();
      QTest::keyClicks(text2, "Lions");
      std::printf("typed %s\n", qPrintable(text2->text()));
      std::fflush(stdout);
    }
  });
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(TypeATeamNameOnceShown)
