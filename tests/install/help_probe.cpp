// Loaded into the installed varrow with LD_PRELOAD by scripts/check_installation.
// Once the main window shows, it chooses Help > Help Topics as the operator
// does, prints what came of it, and closes the main window, which ends the
// program the usual way:
//   help-guide: PATH     the help viewer shows the guide read from PATH
//   help-message: TEXT   a message box said TEXT instead (no guide)
// The program itself is untouched: it finds its guide, or not, as it would
// for a user who started it through the same link.
#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>
#include <cstdio>

namespace {

void Say(const QString& line) {
  std::printf("%s\n", qPrintable(line));
  std::fflush(stdout);
}

QWidget* ShownMainWindow() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->objectName() == QLatin1String("Form1Window") && w->isVisible()) return w;
  }
  return nullptr;
}

void ChooseHelpTopics(QWidget& form1) {
  auto* topics = form1.findChild<QAction*>("mnuHelpTopics");
  if (topics == nullptr) {
    Say("help-probe: no Help Topics command");
  } else {
    // A guide that cannot be opened is reported in a modal box; this timer
    // runs inside the box's own loop, reads the box and dismisses it.
    QTimer box_watch;
    QObject::connect(&box_watch, &QTimer::timeout, [] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        Say("help-message: " + box->text().replace('\n', ' '));
        box->done(QMessageBox::Ok);
      }
    });
    box_watch.start(20);
    topics->trigger();
    box_watch.stop();
    auto* guide = form1.findChild<QTextBrowser*>("HelpText");
    if (guide != nullptr && guide->window()->isVisible()) {
      Say("help-guide: " + guide->source().toLocalFile());
    }
  }
  form1.close();
}

// Runs as the application object is made: waits for the main window.
void WatchForMainWindow() {
  auto* poll = new QTimer(QCoreApplication::instance());
  QObject::connect(poll, &QTimer::timeout, [poll] {
    if (QWidget* form1 = ShownMainWindow()) {
      poll->stop();
      ChooseHelpTopics(*form1);
    }
  });
  poll->start(20);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(WatchForMainWindow)
