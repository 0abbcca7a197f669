#include "MainWindowFixture.h"
#include "app/QuitSignals.h"
#include "harness/TestMain.h"

#include <csignal>

#include <QDirIterator>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
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

// The child's next line of output, waiting for it.
QByteArray nextLine(QProcess &child)
{
    while (!child.canReadLine() && child.waitForReadyRead(60000)) { }
    return child.readLine().trimmed();
}

} // namespace

// The program ended from outside: a logout or shutdown (SIGTERM), a closed terminal (SIGHUP),
// Ctrl+C (SIGINT). Each runs File > Exit, so an edit the autosave has not written yet is saved,
// whatever dialog or window the user left open, and the program ends by the signal it was sent,
// as whoever sent it expects, its preferences written.
class TestQuitSignals : public QObject
{
    Q_OBJECT

private slots:
    void aQuitSignalSavesThePendingEditAndEnds_data();
    void aQuitSignalSavesThePendingEditAndEnds();
    void aSignalAsksToQuitOnceForAllThatCame();
    void aSignalAfterARefusedQuitStillEnds();
};

void TestQuitSignals::aQuitSignalSavesThePendingEditAndEnds_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<int>("times");
    QTest::addColumn<QString>("doing"); // what else the user left the program doing
    QTest::addColumn<QStringList>("saved"); // the card names in the file afterwards
    const QStringList added = testPlanNames(3) << QStringLiteral("Edited");
    QTest::newRow("SIGTERM") << int(SIGTERM) << 1 << "" << added;
    QTest::newRow("SIGHUP") << int(SIGHUP) << 1 << "" << added;
    QTest::newRow("SIGINT") << int(SIGINT) << 1 << "" << added;
    QTest::newRow("a second signal while quitting") << int(SIGTERM) << 2 << "" << added;
    QTest::newRow("typing in a Table cell")
        << int(SIGTERM) << 1 << "cell"
        << (QStringList {QStringLiteral("Typed in cell")} << testPlanNames(3).mid(1));
    QTest::newRow("Cards alone in full screen") << int(SIGTERM) << 1 << "full screen 0" << added;
    QTest::newRow("Table alone in full screen, SIGHUP")
        << int(SIGHUP) << 1 << "full screen 2" << added;
    QTest::newRow("Properties alone in full screen, SIGINT")
        << int(SIGINT) << 1 << "full screen 3" << added;
    // The save writes into the folder the file dialog shows.
    QTest::newRow("the Export dialog open") << int(SIGTERM) << 1 << "export dialog" << added;
    QTest::newRow("the Export dialog open, a second signal")
        << int(SIGHUP) << 2 << "export dialog" << added;
    QTest::newRow("the Preferences open") << int(SIGINT) << 1 << "preferences" << added;
    QTest::newRow("a card's menu open") << int(SIGTERM) << 1 << "context menu" << added;
    QTest::newRow("another window shown") << int(SIGTERM) << 1 << "another window" << added;
    // A box closed by the quit is no answer: nothing edited leaves the other program's version in
    // the file; typed text is saved, that version kept aside.
    const QStringList outside = testPlanNames(7, "Outside");
    QTest::newRow("the question about another program's version open, nothing edited")
        << int(SIGTERM) << 1 << "question open" << outside;
    QTest::newRow("the question about another program's version open, SIGHUP")
        << int(SIGHUP) << 1 << "question open" << outside;
    QTest::newRow("the question about another program's version open, typing in a Table cell")
        << int(SIGTERM) << 1 << "question open, cell"
        << (QStringList {QStringLiteral("Typed in cell")} << testPlanNames(3).mid(1));
}

void TestQuitSignals::aQuitSignalSavesThePendingEditAndEnds()
{
    QFETCH(int, signal);
    QFETCH(int, times);
    QFETCH(QString, doing);
    QFETCH(QStringList, saved);
    QTemporaryDir folder;
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const QString plan = QDir::toNativeSeparators(folder.filePath("Plan.tv"));
    QVERIFY(writeTestPlan(plan, 3));
    ChildWithQuitSignals child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QStringList arguments {home.path(), plan};
    if (!doing.isEmpty())
        arguments << doing;
    child.start(QStringLiteral(TAVROLO_QUIT_CHILD), arguments);
    QVERIFY2(child.waitForStarted(), qPrintable(child.errorString()));
    QCOMPARE(nextLine(child), QByteArray("edited"));
    // The autosave waits five seconds: the edit is still only in the program.
    const bool outsideVersion = doing.startsWith(QLatin1String("question open"));
    const QStringList outside = testPlanNames(7, "Outside");
    QCOMPARE(cardNamesInFile(plan), outsideVersion ? outside : testPlanNames(3));
    for (int i = 0; i < times; ++i)
        QCOMPARE(::kill(pid_t(child.processId()), signal), 0);
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(cardNamesInFile(plan), saved);
    // The other program's version is on disk still: in the file, or kept aside.
    if (outsideVersion && saved != outside) {
        QStringList kept;
        QDirIterator copies(home.path(), {"*.tvb"}, QDir::Files, QDirIterator::Subdirectories);
        while (copies.hasNext())
            kept << cardNamesInFile(copies.next()).join(',');
        QCOMPARE(kept, QStringList {outside.join(',')});
    }
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    QCOMPARE(child.exitCode(), signal);
    // The dialog was cancelled: nothing exported.
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList {"Plan.tv"});
    // What the program writes into the preferences as it ends reached the disk before the end
    // by the signal; the preset left the last plan empty.
    const QSettings preferences(home.filePath("config/Brenmoor/Tavrolo.conf"),
                                QSettings::IniFormat);
    QCOMPARE(preferences.value("last_plan").toString(), plan);
    QVERIFY(!preferences.value("geometry").toByteArray().isEmpty());
    QVERIFY(!preferences.value("window_state").toByteArray().isEmpty());
}

// A quit the user refused (a read-only plan kept) must not come back by itself: each signal
// asks once, however many came before the program could answer.
void TestQuitSignals::aSignalAsksToQuitOnceForAllThatCame()
{
    // Caught from here on, these signals do not end the test itself.
    for (const int number : {SIGTERM, SIGHUP, SIGINT})
        std::signal(number, SIG_DFL);
    QuitSignals quitSignals;
    QSignalSpy requests(&quitSignals, &QuitSignals::quitRequested);
    QCOMPARE(::raise(SIGTERM), 0);
    QCOMPARE(::raise(SIGHUP), 0);
    QTRY_COMPARE(requests.count(), 1);
    QCOMPARE(quitSignals.lastSignal(), int(SIGHUP));
    QTest::qWait(200);
    QCOMPARE(requests.count(), 1);
    QCOMPARE(::raise(SIGINT), 0);
    QTRY_COMPARE(requests.count(), 2);
    QCOMPARE(quitSignals.lastSignal(), int(SIGINT));
    QTest::qWait(200);
    QCOMPARE(requests.count(), 2);
}

// A read-only plan whose changes the user would not discard: the quit is refused, and the next
// signal asks again and ends the program.
void TestQuitSignals::aSignalAfterARefusedQuitStillEnds()
{
    QTemporaryDir folder;
    QTemporaryDir home;
    const QString plan = QDir::toNativeSeparators(folder.filePath("Plan.tv"));
    QVERIFY(writeTestPlan(plan, 3));
    ChildWithQuitSignals child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QStringLiteral(TAVROLO_QUIT_CHILD), {home.path(), plan, "refuse once"});
    QVERIFY2(child.waitForStarted(), qPrintable(child.errorString()));
    QCOMPARE(nextLine(child), QByteArray("edited"));
    QCOMPARE(::kill(pid_t(child.processId()), SIGTERM), 0);
    QCOMPARE(nextLine(child), QByteArray("refused"));
    QVERIFY(!child.waitForFinished(300));
    QCOMPARE(::kill(pid_t(child.processId()), SIGHUP), 0);
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    QCOMPARE(child.exitCode(), int(SIGHUP));
    QCOMPARE(cardNamesInFile(plan), testPlanNames(3));
}

TAVROLO_TEST_MAIN(TestQuitSignals)
#include "tst_quitsignals.moc"
