#include "MainWindowFixture.h"
#include "harness/TestMain.h"

#include <csignal>

#include <QProcess>
#include <QTemporaryDir>

namespace {

// Whoever started the tests may have left these signals ignored (a shell ignores SIGINT in its
// background jobs), and the program keeps an ignored signal ignored; the child gets them as a
// desktop session hands them to a program.
class ChildWithQuitSignals : public QProcess
{
protected:
    void setupChildProcess() override
    {
        for (const int number : {SIGTERM, SIGHUP, SIGINT})
            std::signal(number, SIG_DFL);
    }
};

} // namespace

// The program ended from outside: a logout or shutdown (SIGTERM), a closed terminal (SIGHUP),
// Ctrl+C (SIGINT). Each runs File > Exit, so an edit the autosave has not written yet is saved,
// and the program ends by itself.
class TestQuitSignals : public QObject
{
    Q_OBJECT

private slots:
    void aQuitSignalSavesThePendingEditAndEnds_data();
    void aQuitSignalSavesThePendingEditAndEnds();
};

void TestQuitSignals::aQuitSignalSavesThePendingEditAndEnds_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<int>("times");
    QTest::newRow("SIGTERM") << int(SIGTERM) << 1;
    QTest::newRow("SIGHUP") << int(SIGHUP) << 1;
    QTest::newRow("SIGINT") << int(SIGINT) << 1;
    QTest::newRow("a second signal while quitting") << int(SIGTERM) << 2;
}

void TestQuitSignals::aQuitSignalSavesThePendingEditAndEnds()
{
    QFETCH(int, signal);
    QFETCH(int, times);
    QTemporaryDir folder;
    const QString plan = QDir::toNativeSeparators(folder.filePath("Plan.tv"));
    QVERIFY(writeTestPlan(plan, 3));
    ChildWithQuitSignals child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QStringLiteral(TAVROLO_QUIT_CHILD), {plan});
    QVERIFY2(child.waitForStarted(), qPrintable(child.errorString()));
    while (!child.canReadLine() && child.waitForReadyRead(60000)) { }
    QCOMPARE(child.readLine().trimmed(), QByteArray("edited"));
    // The autosave waits five seconds: the edit is still only in the program.
    QCOMPARE(cardsInFile(plan), 3);
    for (int i = 0; i < times; ++i)
        QCOMPARE(::kill(pid_t(child.processId()), signal), 0);
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(cardNamesInFile(plan), testPlanNames(3) << QStringLiteral("Edited"));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
}

TAVROLO_TEST_MAIN(TestQuitSignals)
#include "tst_quitsignals.moc"
