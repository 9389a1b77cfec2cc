// The program asked to end by a signal (a system shutdown, a logout, a closed
// terminal, Ctrl+C) ends as if its window were closed: the settings are saved
// and it exits normally, asking nothing. A real process: the program with a
// hook that types a team name, and corrects an event in Review Events when
// asked to (typing_hook.cpp).
#include <signal.h>

#include <QProcess>
#include <QSettings>
#include <QtTest>

#include "datafile/atomic_save.h"
#include "fakes.h"
#include "qt_test_support.h"
#include "recorder_rig.h"
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
    testing::TempDir config;
    QProcess program;
    Start(program, config, {});
    QTRY_VERIFY_WITH_TIMEOUT(program.canReadLine(), 20000);
    QCOMPARE(program.readLine(), QByteArray("typed Lions\n"));

    EndWith(program, signal);
    if (QTest::currentTestFailed()) return;
    const QSettings saved(QString::fromStdString(config.File("Varrow/Varrow.conf")),
                          QSettings::IniFormat);
    QCOMPARE(saved.value("Startup/Team_2").toString(), QString("Lions"));
    QCOMPARE(saved.value("Startup/Team_2_color").toString(), QString("255"));
  }

  // With corrections not saved in Review Events: nothing is asked, they are
  // kept beside the data file, one line on the standard error names it, the
  // data file is as it was and the settings are saved.
  void keepsUnsavedCorrectionsAside() {
    testing::RecorderRig rig;
    rig.New(1);
    rig.recorder_.Command2_Click();
    rig.Click(2000, 2000);
    rig.recorder_.Command2_Click();
    const std::vector<std::uint8_t> recorded = rig.Bytes();
    testing::TempDir config;
    QProcess program;
    Start(program, config, QString::fromStdString(rig.Path()));
    QTRY_VERIFY_WITH_TIMEOUT(program.canReadLine(), 20000);
    QCOMPARE(program.readLine(), QByteArray("typed Lions\n"));
    QTRY_VERIFY_WITH_TIMEOUT(program.canReadLine(), 20000);
    QCOMPARE(program.readLine(), QByteArray("corrected\n"));

    EndWith(program, SIGTERM);
    if (QTest::currentTestFailed()) return;
    const std::string unsaved = UnsavedPath(rig.Path());
    const QString line = QString::fromStdString("varrow: the corrections to " + rig.Path() +
                                                " were not saved; they are kept in " + unsaved);
    QCOMPARE(QString(program.readAllStandardError()).split('\n').count(line), 1);
    QCOMPARE(testing::ReadFileBytes(rig.Path()), recorded);
    std::vector<std::uint8_t> corrected = recorded;
    corrected[60 + 18] = corrected[60 + 19] = 0xFF;  // record 4 is a shot
    QCOMPARE(testing::ReadFileBytes(unsaved), corrected);
    const QSettings saved(QString::fromStdString(config.File("Varrow/Varrow.conf")),
                          QSettings::IniFormat);
    QCOMPARE(saved.value("Startup/Team_2").toString().trimmed(), QString("Reds"));
  }

 private:
  // The program with the hook, offscreen, with the test's runtime directory
  // and settings of its own; `review`: the data file it corrects.
  static void Start(QProcess& program, const testing::TempDir& config, const QString& review) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", QString::fromStdString(config.path()));
    if (!review.isEmpty()) env.insert("VARROW_REVIEW", review);
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(QString::fromStdString(config.path()));
    program.start(VARROW_TYPING_PROGRAM, QStringList());
    QVERIFY(program.waitForStarted());
  }

  // Sends the signal; the program ends by itself, as a closed window ends it.
  static void EndWith(QProcess& program, int signal) {
    ::kill(static_cast<pid_t>(program.processId()), signal);
    const bool ended = program.waitForFinished(20000);
    if (!ended) program.kill();
    QVERIFY(ended);
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
  }
};

}  // namespace varrow

VARROW_QT_TEST_MAIN(varrow::EndSignalTest)
#include "end_signal_test.moc"
