// The program asked to end by a signal (a system shutdown, a logout, a closed
// terminal, Ctrl+C) ends as if its window were closed: the settings are saved
// and it exits normally. A real process: the program with a hook that types a
// team name (typing_hook.cpp).
#include <signal.h>

#include <QProcess>
#include <QSettings>
#include <QtTest>

#include "qt_test_support.h"
#include "temp_dir.h"

namespace varrow {

class EndSignalTest : public QObject {
  Q_OBJECT

 private slots:
  void endsLikeAClosedWindow_data() {
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGHUP") << SIGHUP;
    QTest::newRow("SIGINT") << SIGINT;
  }

  void endsLikeAClosedWindow() {
    QFETCH(int, signal);
    // Offscreen, with the test's runtime directory and settings of its own.
    testing::TempDir config;
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", QString::fromStdString(config.path()));
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(QString::fromStdString(config.path()));
    program.start(VARROW_TYPING_PROGRAM, QStringList());
    QVERIFY(program.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(program.canReadLine(), 20000);
    QCOMPARE(program.readLine(), QByteArray("typed Lions\n"));

    ::kill(static_cast<pid_t>(program.processId()), signal);
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    const QSettings saved(QString::fromStdString(config.File("Varrow/Varrow.conf")),
                          QSettings::IniFormat);
    QCOMPARE(saved.value("Startup/Team_2").toString(), QString("Lions"));
    QCOMPARE(saved.value("Startup/Team_2_color").toString(), QString("255"));
  }
};

}  // namespace varrow

VARROW_QT_TEST_MAIN(varrow::EndSignalTest)
#include "end_signal_test.moc"
