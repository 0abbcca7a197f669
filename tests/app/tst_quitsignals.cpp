#include "MainWindowFixture.h"
#include "app/PlanFileNames.h"
#include "app/QuitSignals.h"
#include "harness/FileFaults.h"
#include "harness/TestMain.h"

#include <csignal>
#include <memory>

#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
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

public:
    // The quit child on the plan, its preferences under home, doing what the row asks.
    void startOn(const QString &home, const QString &plan, const QString &doing)
    {
        QStringList arguments {home, plan};
        if (!doing.isEmpty())
            arguments << doing;
        start(QStringLiteral(TAVROLO_QUIT_CHILD), arguments);
    }
    // The quit child on a new test plan of three cards, once it has made its edit, its errors
    // shown with the test's; false where it did not get there.
    bool startedOnTestPlan(const QString &home, const QString &plan, const QString &doing);
};

// The child's next line of output, waiting for it.
QByteArray nextLine(QProcess &child)
{
    while (!child.canReadLine() && child.waitForReadyRead(60000)) { }
    return child.readLine().trimmed();
}

bool ChildWithQuitSignals::startedOnTestPlan(const QString &home, const QString &plan,
                                             const QString &doing)
{
    if (!writeTestPlan(plan, 3))
        return false;
    setProcessChannelMode(QProcess::ForwardedErrorChannel);
    startOn(home, plan, doing);
    return waitForStarted() && nextLine(*this) == "edited";
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
    void aQuitWhoseSaveFailsKeepsThePlanShownAside_data();
    void aQuitWhoseSaveFailsKeepsThePlanShownAside();
    void theLastEndsNoteStaysUntilTheUserAnswersIt_data();
    void theLastEndsNoteStaysUntilTheUserAnswersIt();
    void aSignalAsksToQuitOnceForAllThatCame();
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
    // Leaving full screen activates the window, which has the file checked while it closes:
    // the question is not asked, and the quit ends.
    QTest::newRow("Cards alone in full screen, another program's version settled")
        << int(SIGTERM) << 1 << "outside version, full screen 0" << outside;
    QTest::newRow("Table alone in full screen, another program's version settled, SIGHUP")
        << int(SIGHUP) << 1 << "outside version, full screen 2" << outside;
    // The quit closes the question, and the close that asked it lets the quit's next look run
    // before it returns; the quit waits for it, then closes the window itself.
    QTest::newRow("the close asking whether to write over another program's version")
        << int(SIGTERM) << 1 << "outside version, closed" << added;
    QTest::newRow("the close asking whether to write over another program's version, SIGINT")
        << int(SIGINT) << 1 << "outside version, closed" << added;
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
    ChildWithQuitSignals child;
    QVERIFY2(child.startedOnTestPlan(home.path(), plan, doing), qPrintable(child.errorString()));
    // The autosave waits five seconds: the edit is still only in the program.
    const bool outsideVersion = doing.startsWith(QLatin1String("question open"))
        || doing.startsWith(QLatin1String("outside version"));
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

// The plan's file won't take the edit (a pulled stick, a full disk, something else at its name,
// a read-only plan): nothing asks, the plan shown is written whole to the backup folder, else to
// the data folder, the diagnostic output names it, the next start is to say where it is, and
// the program ends by its signal.
void TestQuitSignals::aQuitWhoseSaveFailsKeepsThePlanShownAside_data()
{
    QTest::addColumn<QString>("doing"); // what the user left the program doing
    QTest::addColumn<QString>("fault"); // what befell the plan's file once it was edited
    QTest::addColumn<QString>("kept"); // in which folder the plan shown is, under the home
    const QString backups = QStringLiteral("Documents/Tavrolo/Backups");
    QTest::newRow("the plan's folder removed") << ""
                                               << "folder removed" << backups;
    // Leaving full screen activates the window, which finds the file unwritable and the plan
    // read-only while it closes: its warning is not shown.
    QTest::newRow("the plan's folder removed, Cards alone in full screen")
        << "full screen 0"
        << "folder removed" << backups;
    QTest::newRow("a folder at the plan's name") << ""
                                                 << "folder at its name" << backups;
    QTest::newRow("the plan's disk full") << ""
                                          << "disk full" << backups;
    // Once, the discard question held the quit: a quit from outside is now never refused.
    QTest::newRow("the plan read-only") << "read-only"
                                        << "" << backups;
    // The same question, asked by the user's own close when the quit comes.
    QTest::newRow("the plan read-only, the close asking") << "read-only, closed"
                                                          << "" << backups;
    QTest::newRow("the plan's folder removed, a file at the backup folder's name")
        << ""
        << "folder removed, no backup folder" << QStringLiteral("Documents/Tavrolo");
    // Only the plan's own folder is left to take it.
    QTest::newRow("a read-only plan, no backup or data folder")
        << "read-only"
        << "no data folder" << QStringLiteral("plans");
    // Another copy of the program took the name an instant before (a link leading nowhere is
    // a name taken as well as a file is): the plan shown gets the next number.
    QTest::newRow("the plan's folder removed, the kept name taken")
        << ""
        << "folder removed, name taken" << backups;
    // Nothing takes it: the next start says so.
    QTest::newRow("the plan's folder removed, no backup, data or temporary folder")
        << ""
        << "folder removed, no data folder" << QString();
}

void TestQuitSignals::aQuitWhoseSaveFailsKeepsThePlanShownAside()
{
    QFETCH(QString, doing);
    QFETCH(QString, fault);
    QFETCH(QString, kept);
    QTemporaryDir folder;
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const QString planFolder = folder.filePath("plans");
    QVERIFY(QDir().mkpath(planFolder));
    std::unique_ptr<SmallFileSystem> disk;
    if (fault == QLatin1String("disk full")) {
        disk.reset(new SmallFileSystem(planFolder, "size=64k"));
        if (!disk->isMounted())
            QSKIP(smallFileSystemRefused);
    }
    const QString plan = QDir::toNativeSeparators(planFolder + "/Plan.tv");
    QVERIFY(writeTestPlan(plan, 3));
    ChildWithQuitSignals child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TMPDIR"), home.filePath("no temporary folder"));
    child.setProcessEnvironment(environment);
    child.startOn(home.path(), plan, doing);
    QVERIFY2(child.waitForStarted(), qPrintable(child.errorString()));
    QCOMPARE(nextLine(child), QByteArray("edited"));
    if (fault.startsWith(QLatin1String("folder removed")))
        QVERIFY(QDir(planFolder).removeRecursively());
    if (fault == QLatin1String("folder at its name"))
        QVERIFY(QFile::remove(plan) && QDir().mkpath(plan));
    if (disk)
        QVERIFY(disk->fill());
    if (fault.endsWith(QLatin1String("no backup folder"))) {
        const QString backups = home.filePath("Documents/Tavrolo/Backups");
        QVERIFY(QDir(backups).removeRecursively());
        writeBytes(backups, "not a folder");
    }
    if (fault.endsWith(QLatin1String("name taken"))) {
        const QDateTime now = QDateTime::currentDateTime();
        QVERIFY(QDir().mkpath(home.filePath("Documents/Tavrolo/Backups")));
        for (int second = -2; second < 60; ++second) {
            const QString name = timeStampedBaseName(plan, now.addSecs(second)) + "_unsaved.tv";
            QVERIFY(QFile::link(home.filePath("elsewhere.tv"),
                                home.filePath("Documents/Tavrolo/Backups/" + name)));
        }
    }
    if (fault.endsWith(QLatin1String("no data folder"))) {
        const QString data = home.filePath("Documents/Tavrolo");
        QVERIFY(QDir(data).removeRecursively());
        writeBytes(data, "not a folder");
    }
    QCOMPARE(::kill(pid_t(child.processId()), SIGTERM), 0);
    QVERIFY(child.waitForFinished(60000));
    const QByteArray diagnostics = child.readAllStandardError();
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    QCOMPARE(child.exitCode(), int(SIGTERM));
    const QSettings preferences(home.filePath("config/Brenmoor/Tavrolo.conf"),
                                QSettings::IniFormat);
    const QString keptAs = preferences.value("unsaved_plan_kept_as").toString();
    if (kept.isEmpty()) {
        QVERIFY(keptAs.isEmpty());
        QCOMPARE(preferences.value("unsaved_plan_lost").toString(), plan);
        return;
    }
    QCOMPARE(QFileInfo(keptAs).absolutePath(),
             kept == QLatin1String("plans") ? planFolder : home.filePath(kept));
    QVERIFY2(
        QRegularExpression(
            QStringLiteral("^Plan_\\d{4}-\\d\\d-\\d\\dT\\d\\d-\\d\\d-\\d\\d_unsaved( 2)?\\.tv$"))
            .match(QFileInfo(keptAs).fileName())
            .hasMatch(),
        qPrintable(keptAs));
    QCOMPARE(cardNamesInFile(keptAs), testPlanNames(3) << QStringLiteral("Edited"));
    QVERIFY(!QFileInfo(keptAs).isSymLink());
    QVERIFY(!QFileInfo::exists(home.filePath("elsewhere.tv")));
    QVERIFY2(diagnostics.contains(keptAs.toUtf8()), diagnostics.constData());
    // The save's own reason, not a read-only mark the window set on the file it found gone.
    if (!doing.startsWith(QLatin1String("read-only")))
        QVERIFY2(!diagnostics.contains("read-only"), diagnostics.constData());
}

void TestQuitSignals::theLastEndsNoteStaysUntilTheUserAnswersIt_data()
{
    QTest::addColumn<QString>("doing"); // what the user left the program doing
    QTest::addColumn<bool>("keptAfter"); // whether the note of where the plan was kept is
                                         // still there for the next start
    QTest::addColumn<bool>("lostAfter"); // the same for the note of a plan kept nowhere
    QTest::newRow("a quit before the start-up completes") << "note, quit at once" << true << false;
    QTest::newRow("a quit while the note's box is up") << "note shown" << true << false;
    QTest::newRow("the note's box answered") << "note answered" << false << false;
    // Each note has a box of its own.
    QTest::newRow("two notes, a quit while the first box is up") << "notes shown" << true << true;
    QTest::newRow("two notes, a quit while the second box is up")
        << "notes, the first answered" << false << true;
    // The window is gone, and its start-up with it: nothing asks as the program ends.
    QTest::newRow("the user's close before the start-up completes")
        << "note, closed at once" << true << false;
}

// The start-up shows where the last quit from outside kept the plan; a quit that comes before
// that, or while its box is up, ends the program as any other, and no one has read the note:
// the next start tells it again. So does a start the user ends before it has completed.
void TestQuitSignals::theLastEndsNoteStaysUntilTheUserAnswersIt()
{
    QFETCH(QString, doing);
    QFETCH(bool, keptAfter);
    QFETCH(bool, lostAfter);
    QTemporaryDir folder;
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const QString plan = QDir::toNativeSeparators(folder.filePath("Plan.tv"));
    ChildWithQuitSignals child;
    QVERIFY2(child.startedOnTestPlan(home.path(), plan, doing), qPrintable(child.errorString()));
    const bool closedByTheUser = doing == QLatin1String("note, closed at once");
    if (!doing.endsWith(QLatin1String("at once")))
        QCOMPARE(::kill(pid_t(child.processId()), SIGTERM), 0);
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitStatus(), closedByTheUser ? QProcess::NormalExit : QProcess::CrashExit);
    QCOMPARE(child.exitCode(), closedByTheUser ? 0 : int(SIGTERM));
    QCOMPARE(cardNamesInFile(plan), testPlanNames(3) << QStringLiteral("Edited"));
    const QSettings preferences(home.filePath("config/Brenmoor/Tavrolo.conf"),
                                QSettings::IniFormat);
    QCOMPARE(preferences.value("unsaved_plan_kept_as").toString(),
             keptAfter ? home.filePath("kept/Plan_unsaved.tv") : QString());
    QCOMPARE(preferences.value("unsaved_plan_lost").toString(),
             lostAfter ? home.filePath("plans/Lost.tv") : QString());
}

// A quit that was refused must not come back by itself: each signal asks once, however many
// came before the program could answer.
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

TAVROLO_TEST_MAIN(TestQuitSignals)
#include "tst_quitsignals.moc"
