// The help viewer and the help file beside the program.
#include "forms/help_viewer.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QScrollBar>
#include <QTextBrowser>
#include <QtTest>

#include "qt_test_support.h"
#include "temp_dir.h"

namespace varrow {

class HelpViewerTest : public QObject {
  Q_OBJECT

 private:
  // The build puts the help file beside the program; the tests live two
  // folders further down.
  QString BuiltHelpFile() const {
    return QCoreApplication::applicationDirPath() + "/../../VARROW.HLP";
  }

 private slots:
  void opensTheHelpFileAtItsContents() {
    QWidget owner;
    forms::HelpViewer viewer(&owner);
    viewer.ShowFile(BuiltHelpFile());
    QVERIFY(viewer.isVisible());
    QCOMPARE(viewer.windowTitle(), QString("Varrow Help"));
    const QString text = viewer.browser()->toPlainText();
    QVERIFY(text.startsWith("Varrow 2000 Help"));
    QVERIFY(text.contains("Contents"));
    QCOMPARE(viewer.browser()->verticalScrollBar()->value(), 0);
  }

  void aMissingHelpFileIsReportedByName() {
    testing::TempDir dir;
    const QString missing = QString::fromStdString(dir.File("VARROW.HLP"));
    QWidget owner;
    forms::HelpViewer viewer(&owner);
    testing::MessageCatcher catcher;
    viewer.ShowFile(missing);
    QCOMPARE(catcher.messages().size(), std::size_t{1});
    QVERIFY(catcher.messages()[0].text.contains(missing));
    QCOMPARE(catcher.messages()[0].icon, QMessageBox::Warning);
    QVERIFY(!viewer.isVisible());
  }

  // An operator who meets a message finds it explained in the guide.
  void theGuideExplainsEveryMessage() {
    QFile file(BuiltHelpFile());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(file.readAll());
    const char* messages[] = {"Must START CLOCK",
                              " to enter data",
                              "Must create NEW  or OPEN data file",
                              "to START CLOCK",
                              "Can't create NEW file",
                              "while timer on.",
                              "Can't OPEN file",
                              "Cannot EXIT without",
                              "STOPPING CLOCK",
                              "Cannot Generate Stats",
                              "until STOP CLOCK",
                              "Cannot Generate Stats until",
                              "file OPENED or NEW file created",
                              "Cannot Review Events",
                              "Cannot Review Events until",
                              "Cannot save ",
                              "Must select GENERAL STATS or",
                              "SHOT CHART before can print",
                              "New data file created: ",
                              "Can only create 9 files in one day",
                              "Unexpected error #",
                              " occurred: ",
                              "1000",
                              "1001",
                              "possession indicator after Open",
                              "Data file is full",
                              "STOP CLOCK and create NEW file",
                              "Create NEW file to START CLOCK",
                              "Data file: ",
                              "The clock has been stopped.",
                              "No new data file was created."};
    for (const char* message : messages) {
      QVERIFY2(html.contains(QString::fromUtf8(message).toHtmlEscaped()), message);
    }
  }
};

}  // namespace varrow

VARROW_QT_TEST_MAIN(varrow::HelpViewerTest)
#include "help_viewer_test.moc"
