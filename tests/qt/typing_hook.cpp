// Built into a copy of the program (src/app/main.cpp) for the end-signal
// test: once the event loop runs, types a team name into the left name box as
// an operator would, then says so on standard output. With VARROW_REVIEW set
// to a data file, it then takes that file up, opens Review Events on it and
// marks the first event a shot, and says "corrected" once the correction is
// there, unsaved.
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "forms/form1.h"
#include "forms/review_window.h"

namespace {

void CorrectInReviewEvents() {
  auto* review = qobject_cast<varrow::forms::ReviewWindow*>(QApplication::activeModalWidget());
  if (review == nullptr) {
    QTimer::singleShot(10, qApp, CorrectInReviewEvents);
    return;
  }
  review->findChild<QAction*>("actionToggleShot")->trigger();
  if (review->isWindowModified()) std::puts("corrected");
  std::fflush(stdout);
}

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
      auto* form1 = qobject_cast<varrow::forms::Form1*>(window);
      const char* review = std::getenv("VARROW_REVIEW");
      if (form1 == nullptr || review == nullptr || !form1->recorder().TakeDataFile(review)) {
        continue;
      }
      QTimer::singleShot(10, qApp, CorrectInReviewEvents);
      // Runs until the window closes.
      form1->findChild<QAction*>("mnuReviewEvents")->trigger();
    }
  });
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(TypeATeamNameOnceShown)
