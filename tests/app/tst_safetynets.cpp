#include "MainWindowFixture.h"
#include "harness/FileFaults.h"
#include "harness/TestMain.h"

#include <memory>

#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

QStringList backups(const QString &folder)
{
    return QDir(folder).entryList({"*.tvb"}, QDir::Files);
}

const QString reloadQuestion
    = QStringLiteral("The plan has been updated by another application.\nDo you want to re-open "
                     "the updated plan?\n");

} // namespace

class TestSafetyNets : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void timedBackupsFollowChangesUnderTheBaseName_data();
    void timedBackupsFollowChangesUnderTheBaseName();
    void aMissingBackupFolderShowsOneBoxAtATime();
    void aDeclinedReloadIsAskedAgainAfterTheNextOutsideChange();
    void anAutosaveStoppedByAnOutsideChangeAsksFirst_data();
    void anAutosaveStoppedByAnOutsideChangeAsksFirst();
    void aFailedReloadKeepsThePlan();

private:
    QString path(const QString &name) const
    {
        return QDir::toNativeSeparators(m_folder->filePath(name));
    }
    // Shown and active, as the outside-change check asks only then.
    void activate(MainWindow &window)
    {
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }

    std::unique_ptr<QTemporaryDir> m_folder;
    QString m_plan; // "Plan.tv": 3 cards
    QString m_backups;
};

void TestSafetyNets::init()
{
    m_folder.reset(new QTemporaryDir);
    m_plan = path("Plan.tv");
    QVERIFY(writeTestPlan(m_plan, 3));
    presetQuietStartup(m_plan);
    m_backups = path("Backups");
    QVERIFY(QDir().mkpath(m_backups));
    settings()->setBackupFolder(m_backups);
}

void TestSafetyNets::cleanup()
{
    m_folder.reset();
}

void TestSafetyNets::timedBackupsFollowChangesUnderTheBaseName_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<QString>("backup"); // the pattern of the one backup, "" for none
    const QString stamp = QStringLiteral("_\\d{4}-\\d\\d-\\d\\dT\\d\\d-\\d\\d-\\d\\d\\.tvb");
    QTest::newRow("changed") << "Plan.tv" << false << true << "Plan" + stamp;
    QTest::newRow("two dots") << "a.b.tv" << false << true << "a" + stamp;
    QTest::newRow("unchanged") << "Plan.tv" << false << false << "";
    QTest::newRow("read-only") << "Plan.tv" << true << true << "";
}

void TestSafetyNets::timedBackupsFollowChangesUnderTheBaseName()
{
    QFETCH(QString, fileName);
    QFETCH(bool, readOnly);
    QFETCH(bool, changed);
    QFETCH(QString, backup);
    QVERIFY(writeTestPlan(path(fileName), 3));
    MainWindow window;
    QVERIFY(window.openFile(path(fileName), readOnly));
    std::unique_ptr<ModalAnswer> readOnlyWarning;
    if (readOnly)
        readOnlyWarning.reset(new ModalAnswer(QStringLiteral("OK")));
    if (changed)
        doc()->addTask(true);
    window.onBackupTimeOut();
    if (readOnlyWarning)
        QTRY_VERIFY(readOnlyWarning->answered());
    const QStringList made = backups(m_backups);
    if (backup.isEmpty()) {
        QVERIFY(made.isEmpty());
        return;
    }
    QCOMPARE(made.size(), 1);
    QVERIFY2(QRegularExpression("^" + backup + "$").match(made.first()).hasMatch(),
             qPrintable(made.first()));
    QCOMPARE(readBytes(m_backups + "/" + made.first()), readBytes(path(fileName)));
    // No change since: no new copy.
    window.onBackupTimeOut();
    QCOMPARE(backups(m_backups).size(), 1);
}

// A missing folder is made where it can be. Where it cannot, the repeating timer fires inside
// the box's own event loop; the tick then must not stack a second box, and the next tick after
// it tries again.
void TestSafetyNets::aMissingBackupFolderShowsOneBoxAtATime()
{
    settings()->setBackupFolder(path("New"));
    MainWindow window;
    doc()->addTask(true);
    window.onBackupTimeOut();
    QCOMPARE(backups(path("New")).size(), 1);
    // Below a file no folder can be made.
    const QString missing = writeBytes(path("File"), "a file") + "/Backups";
    settings()->setBackupFolder(missing);
    doc()->addTask(true);
    bool stacked = false;
    ModalAnswer box(QStringLiteral("OK"), {}, [&](QWidget *) {
        ModalAnswer second(QStringLiteral("OK"), {}, {}, 200);
        window.onBackupTimeOut();
        stacked = second.answered();
    });
    window.onBackupTimeOut();
    QVERIFY(box.answered());
    QVERIFY(!stacked);
    QCOMPARE(box.shownText(),
             QStringLiteral("Backup folder '%1' doesn't exist.\nYou can change "
                            "backup settings in the 'Preferences' window.")
                 .arg(missing));
    ModalAnswer again(QStringLiteral("OK"));
    window.onBackupTimeOut();
    QVERIFY(again.answered());
}

void TestSafetyNets::aDeclinedReloadIsAskedAgainAfterTheNextOutsideChange()
{
    MainWindow window;
    activate(window);
    writeFromOutside(m_plan, 7);
    {
        ModalAnswer decline(QStringLiteral("Cancel"));
        QVERIFY(!window.onCheckExternalUpdatesToPlan());
        QVERIFY(decline.answered());
        QCOMPARE(decline.shownText(),
                 reloadQuestion
                     + "(You can stop these update checks in the 'Preferences' window.)");
    }
    QCOMPARE(doc()->taskCount(), 3);
    {
        ModalAnswer notAgain(QStringLiteral("Cancel"), {}, {}, 200);
        QVERIFY(!window.onCheckExternalUpdatesToPlan());
        QVERIFY(!notAgain.answered());
    }
    // The box took the focus; coming back to the window checks the file again.
    writeFromOutside(m_plan, 8, 120);
    ModalAnswer reopen(QStringLiteral("Open"));
    activate(window);
    QTRY_VERIFY(reopen.answered());
    QCOMPARE(doc()->taskCount(), 8);
}

// The autosave leaves a file written by another program alone and asks; the plan the user
// keeps is then saved over it.
void TestSafetyNets::anAutosaveStoppedByAnOutsideChangeAsksFirst_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("cardsShown");
    QTest::addColumn<int>("cardsOnDisk");
    QTest::newRow("cancel") << "Cancel" << 4 << 4;
    QTest::newRow("open") << "Open" << 7 << 7;
}

void TestSafetyNets::anAutosaveStoppedByAnOutsideChangeAsksFirst()
{
    QFETCH(QString, button);
    QFETCH(int, cardsShown);
    QFETCH(int, cardsOnDisk);
    MainWindow window;
    activate(window);
    doc()->addTask(true);
    writeFromOutside(m_plan, 7);
    ModalAnswer answer(button);
    window.onIdleTimeOut();
    QCOMPARE(cardsInFile(m_plan), 7);
    QTRY_VERIFY(answer.answered());
    QVERIFY(answer.shownText().startsWith(reloadQuestion
                                          + "Any changes you have made will be lost.\n"));
    QCOMPARE(doc()->taskCount(), cardsShown);
    QVERIFY(window.findChild<QTimer *>("m_idleTimer")->isActive());
    window.onIdleTimeOut();
    QCOMPARE(cardsInFile(m_plan), cardsOnDisk);
    QCOMPARE(window.isWindowModified(), false);
}

void TestSafetyNets::aFailedReloadKeepsThePlan()
{
    MainWindow window;
    activate(window);
    writeBytes(m_plan, "not a plan");
    QFile file(m_plan);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(60),
                             QFileDevice::FileModificationTime));
    file.close();
    {
        ModalAnswer reopen(QStringLiteral("Open"));
        ModalAnswer failure(QStringLiteral("OK"));
        QVERIFY(!window.onCheckExternalUpdatesToPlan());
        QVERIFY(reopen.answered());
        QVERIFY(failure.answered());
    }
    QCOMPARE(doc()->taskCount(), 3);
    ModalAnswer notAgain(QStringLiteral("Open"), {}, {}, 200);
    QVERIFY(!window.onCheckExternalUpdatesToPlan());
    QVERIFY(!notAgain.answered());
}

TAVROLO_TEST_MAIN(TestSafetyNets)
#include "tst_safetynets.moc"
