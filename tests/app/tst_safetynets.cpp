#include "MainWindowFixture.h"
#include "app/PlanFileGuard.h"
#include "app/SessionEnd.h"
#include "cards/CardsView.h"
#include "common/widgets/FilterDelay.h"
#include "harness/FileFaults.h"
#include "harness/TestMain.h"
#include "leftpane/CardsAppearanceWidget.h"
#include "leftpane/CardsFilterWidget.h"
#include "leftpane/CardsLeftPane.h"
#include "properties/PropertiesView.h"
#include "table/TableView.h"

#include <memory>

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>

namespace {

QStringList backups(const QString &folder)
{
    return QDir(folder).entryList({"*.tvb"}, QDir::Files);
}

const QString reloadQuestion
    = QStringLiteral("The plan has been updated by another application.\nDo you want to re-open "
                     "the updated plan?\n");

// The message after a declined reload, %1 the plan and %2 the copy of the other version.
const QString keptMessage
    = QStringLiteral("The plan shown is kept; it will be saved to '%1'.\nThe version written by "
                     "the other application has been kept as '%2'.");

// The message after a save that kept aside a version another program wrote, %1 the plan and %2
// the copy.
const QString savedMessage
    = QStringLiteral("The plan shown has been saved to '%1'.\nThe version written by the other "
                     "application has been kept as '%2'.");

// Closes every modal box or dialog that comes up while it lives, so that a question nobody may
// answer fails the test instead of holding it.
class ModalWatch
{
public:
    ModalWatch()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            const auto *box = qobject_cast<QMessageBox *>(modal);
            shown << (box ? box->text() : modal->windowTitle());
            modal->close();
        });
        m_timer.start(10);
    }

    QStringList shown;

private:
    QTimer m_timer;
};

// What the plan-file commands do when the session manager asks the program to save, with the
// user's leave to ask granted or not; how often the leave was asked for goes to *asked.
bool endSession(MainWindow &window, bool leave, int *asked)
{
    return window.findChild<PlanFileCommands *>()->saveForSessionEnd([leave, asked] {
        ++*asked;
        return leave;
    });
}

// Drags the files over the table from outside the program, as a file manager's drag does:
// in, across a cell, then dropped there or out again.
void dragFilesOver(QAbstractItemView *table, const QList<QUrl> &urls, bool drop)
{
    QMimeData files;
    files.setUrls(urls);
    const QPoint cell = table->visualRect(table->model()->index(1, 1)).center();
    QDragEnterEvent enter(cell, Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(table->viewport(), &enter);
    QDragMoveEvent move(cell + QPoint(3, 1), Qt::CopyAction, &files, Qt::LeftButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(table->viewport(), &move);
    if (drop) {
        QDropEvent dropped(cell + QPoint(3, 1), Qt::CopyAction, &files, Qt::LeftButton,
                           Qt::NoModifier);
        QCoreApplication::sendEvent(table->viewport(), &dropped);
    } else {
        QDragLeaveEvent leave;
        QCoreApplication::sendEvent(table->viewport(), &leave);
    }
}

const QRegularExpression
    backupName(QStringLiteral("^Plan_\\d{4}-\\d\\d-\\d\\dT\\d\\d-\\d\\d-\\d\\d( \\d+)?\\.tvb$"));

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
    void aVersionIsAskedAboutOnceWrittenWhole_data();
    void aVersionIsAskedAboutOnceWrittenWhole();
    void theAutosavesQuestionComesWithTheChecksOff_data();
    void theAutosavesQuestionComesWithTheChecksOff();
    void anyOtherTimeOrSizeIsAnOutsideChange_data();
    void anyOtherTimeOrSizeIsAnOutsideChange();
    void theOutsideVersionIsCopiedAsideBeforeItIsWrittenOver_data();
    void theOutsideVersionIsCopiedAsideBeforeItIsWrittenOver();
    void aQuitFromTheSystemSavesTheEditsAndKeepsTheOutsideVersion();
    void anEndFromOutsideSavesUnaskedAndKeepsTheOutsideVersion_data();
    void anEndFromOutsideSavesUnaskedAndKeepsTheOutsideVersion();
    void aSessionEndThatCannotSaveAsksOnlyWithLeave_data();
    void aSessionEndThatCannotSaveAsksOnlyWithLeave();
    void aRefusedEndFromOutsideStillReportsTheOutsideVersion_data();
    void aRefusedEndFromOutsideStillReportsTheOutsideVersion();
    void theSessionManagerIsAnsweredAsTheSaveDecides_data();
    void theSessionManagerIsAnsweredAsTheSaveDecides();
    void closingEntersWhatIsBeingTyped_data();
    void closingEntersWhatIsBeingTyped();
    void anEndFromOutsideEntersTypedNamesUnasked_data();
    void anEndFromOutsideEntersTypedNamesUnasked();
    void typedTextSurvivesADragAndWhatFollows_data();
    void typedTextSurvivesADragAndWhatFollows();

private:
    QString path(const QString &name) const
    {
        return QDir::toNativeSeparators(m_folder->filePath(name));
    }
    // Shown and active, as the outside-change check asks only then.
    void activate(QWidget &window)
    {
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }
    // The plan's folder and the backup folder, where every version is looked for.
    QMap<QString, QStringList> versions() const
    {
        return versionsOnDisk({m_folder->path(), m_backups});
    }
    // The plan as the user has it: the three cards of the file and one typed.
    QStringList usersPlan() const { return testPlanNames(3) << QStringLiteral("Typed by user"); }

    std::unique_ptr<QTemporaryDir> m_folder;
    QString m_plan; // "Plan.tv": 3 cards
    QString m_backups;
};

void TestSafetyNets::init()
{
    // Every other program here writes its version whole, at once.
    PlanFileGuard::setSettleMs(0);
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
        ModalAnswer kept(QStringLiteral("OK"));
        QVERIFY(!window.onCheckExternalUpdatesToPlan());
        QVERIFY(decline.answered());
        QCOMPARE(decline.shownText(),
                 reloadQuestion
                     + "(You can stop these update checks in the 'Preferences' window.)");
        QVERIFY(kept.answered());
    }
    QCOMPARE(doc()->taskCount(), 3);
    {
        // The box took the focus; only an active window checks at all.
        ModalAnswer notAgain(QStringLiteral("Cancel"), {}, {}, 200);
        activate(window);
        QCoreApplication::processEvents();
        QVERIFY(!window.onCheckExternalUpdatesToPlan());
        QVERIFY(!notAgain.answered());
    }
    // Away to another window and back: coming back checks the file again.
    QWidget elsewhere;
    activate(elsewhere);
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
    QTest::addColumn<bool>("fullScreenLeft"); // the Cards tab alone in full screen, then Escape
    QTest::newRow("cancel") << "Cancel" << 4 << 4 << false;
    QTest::newRow("open") << "Open" << 7 << 7 << false;
    QTest::newRow("cancel, after full screen") << "Cancel" << 4 << 4 << true;
}

void TestSafetyNets::anAutosaveStoppedByAnOutsideChangeAsksFirst()
{
    QFETCH(QString, button);
    QFETCH(int, cardsShown);
    QFETCH(int, cardsOnDisk);
    QFETCH(bool, fullScreenLeft);
    MainWindow window;
    activate(window);
    if (fullScreenLeft) {
        window.findChild<QTabWidget *>()->setCurrentIndex(0);
        auto *cards = window.findChild<CardsView *>();
        window.findChild<QAction *>(QStringLiteral("m_viewFullScreenAction"))->setChecked(true);
        QVERIFY(!window.isVisible());
        cards->window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(cards->window()));
        QTest::keyClick(cards, Qt::Key_Escape);
        QTRY_VERIFY(window.isVisible());
        // The window manager gives the window back its focus.
        window.activateWindow();
        QTest::qWait(100);
    }
    // The check that coming to the window asks for finds nothing yet; the question below comes
    // from the autosave alone.
    QCoreApplication::processEvents();
    doc()->addTask(true);
    writeFromOutside(m_plan, 7);
    ModalAnswer answer(button);
    std::unique_ptr<ModalAnswer> kept(button == "Cancel" ? new ModalAnswer("OK") : nullptr);
    window.onIdleTimeOut();
    QCOMPARE(cardsInFile(m_plan), 7);
    QCoreApplication::sendPostedEvents(&window, MainWindow::outsideChangeCheckEvent);
    QVERIFY(answer.answered());
    if (kept)
        QVERIFY(kept->answered());
    QVERIFY(answer.shownText().startsWith(reloadQuestion
                                          + "Any changes you have made will be lost.\n"));
    QCOMPARE(doc()->taskCount(), cardsShown);
    QVERIFY(window.findChild<QTimer *>("m_idleTimer")->isActive());
    window.onIdleTimeOut();
    QCOMPARE(cardsInFile(m_plan), cardsOnDisk);
    QCOMPARE(window.isWindowModified(), false);
}

// The plan shown is the good one: it is saved over the damaged file at the next pause, and the
// damaged file is kept as it was.
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
        ModalAnswer saving(QStringLiteral("OK"));
        QVERIFY(!window.onCheckExternalUpdatesToPlan());
        QVERIFY(reopen.answered());
        QVERIFY(failure.answered());
        QVERIFY(saving.answered());
        const QStringList backups = QDir(m_backups).entryList({"*.tvb"}, QDir::Files);
        QCOMPARE(backups.size(), 1);
        QCOMPARE(saving.shownText(),
                 QStringLiteral("The plan shown will be saved over the damaged file '%1'.\nThe "
                                "damaged file has been kept as '%2'.")
                     .arg(m_plan, path("Backups/" + backups.first())));
    }
    QCOMPARE(doc()->taskCount(), 3);
    QVERIFY(window.isWindowModified());
    // The boxes took the focus; only an active window checks at all.
    ModalAnswer notAgain(QStringLiteral("Cancel"), {}, {}, 200);
    activate(window);
    QCoreApplication::processEvents();
    QVERIFY(!window.onCheckExternalUpdatesToPlan());
    QVERIFY(!notAgain.answered());
    window.onIdleTimeOut();
    QVERIFY(!window.isWindowModified());
    const QMap<QString, QStringList> onDisk = versions();
    QCOMPARE(onDisk.value("Plan.tv"), testPlanNames(3));
    QCOMPARE(onDisk.size(), 2);
    QVERIFY(backupName.match(onDisk.lastKey()).hasMatch());
    QCOMPARE(readBytes(m_backups + "/" + onDisk.lastKey()), QByteArray("not a plan"));
}

// Another program writes its version in pieces, with the user's edit unsaved: the user is asked
// once the file has stopped changing, and a file written on after it was read is asked about
// again, never taken for damaged and saved over.
void TestSafetyNets::aVersionIsAskedAboutOnceWrittenWhole_data()
{
    QTest::addColumn<QString>("answer");
    // How the version is written:
    //   "pieces"              in three pieces, three seconds apart, before the question
    //   "pieces of one time"  the same, each piece stamped with the same time
    //   "during the failure"  finished while the failed read of its first piece is reported
    //   "gone at the answer"  the file deleted as the user answers Open about a first piece,
    //                         the whole version appearing after the failed read (a sync that
    //                         deletes, then downloads)
    //   "during the question" finished while the question about its first piece is open, which
    //                         the user declines; with ", checks off" the periodic checks are off
    //   "settled while away"  written whole and settled while another window is active
    QTest::addColumn<QString>("road");
    QTest::newRow("in three pieces, Open") << "Open"
                                           << "pieces";
    QTest::newRow("in three pieces, Cancel") << "Cancel"
                                             << "pieces";
    QTest::newRow("in three pieces of one time, Cancel") << "Cancel"
                                                         << "pieces of one time";
    QTest::newRow("finished while its failed read is reported, Open") << "Open"
                                                                      << "during the failure";
    QTest::newRow("gone at the answer, then written whole, Open") << "Open"
                                                                  << "gone at the answer";
    QTest::newRow("gone at the answer, then written whole, Cancel") << "Cancel"
                                                                    << "gone at the answer";
    QTest::newRow("finished while the question is open, Open") << "Open"
                                                               << "during the question";
    QTest::newRow("finished while the question is open, checks off, Open")
        << "Open"
        << "during the question, checks off";
    QTest::newRow("settled while the window was away, Cancel") << "Cancel"
                                                               << "settled while away";
}

void TestSafetyNets::aVersionIsAskedAboutOnceWrittenWhole()
{
    QFETCH(QString, answer);
    QFETCH(QString, road);
    if (road.endsWith(QLatin1String("checks off")))
        settings()->setCheckPlanUpdates(false);
    const QString other = path("Other.tv");
    QVERIFY(writeTestPlan(other, 7, "Outside"));
    const QByteArray whole = readBytes(other);
    const QDateTime start = QDateTime::currentDateTime().addSecs(60);
    // The first pieces of the version, up to the given third, as another program has written
    // them by the given second.
    const auto writePieces = [&](int thirds, int second) {
        writeBytes(m_plan, whole.left(whole.size() * thirds / 3));
        QFile file(m_plan);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(start.addSecs(second), QFileDevice::FileModificationTime));
    };
    MainWindow window;
    activate(window);
    QCoreApplication::processEvents();
    addTypedCard("Typed by user");
    window.findChild<QTimer *>("m_idleTimer")->stop();
    QWidget elsewhere;
    if (road == QLatin1String("gone at the answer")) {
        writePieces(1, 0);
        ModalAnswer open(QStringLiteral("Open"), {}, [&](QWidget *) { QFile::remove(m_plan); });
        ModalAnswer missing(QStringLiteral("OK"));
        // A missing file is no damaged file, and no version was kept.
        ModalAnswer damaged(QStringLiteral("OK"), {}, {}, 300);
        QVERIFY(!window.onCheckExternalUpdatesToPlan());
        QVERIFY(open.answered());
        QVERIFY(missing.answered());
        QCOMPARE(missing.shownText(), QStringLiteral("Cannot find '%1'.").arg(m_plan));
        QTest::qWait(400);
        QVERIFY2(!damaged.answered(), qPrintable(damaged.shownText()));
        QVERIFY(window.isWindowModified());
        QCOMPARE(doc()->taskCount(), 4);
        writePieces(3, 9);
    } else if (road == QLatin1String("during the failure")) {
        writePieces(1, 0);
        ModalAnswer open(answer);
        ModalAnswer failure(QStringLiteral("OK"), {}, [&](QWidget *) { writePieces(3, 9); });
        ModalAnswer damaged(QStringLiteral("OK"), {}, {}, 300);
        QVERIFY(!window.onCheckExternalUpdatesToPlan());
        QVERIFY(open.answered());
        QVERIFY(failure.answered());
        QTest::qWait(400);
        QVERIFY2(!damaged.answered(), qPrintable(damaged.shownText()));
        QVERIFY(window.isWindowModified());
        window.onIdleTimeOut();
        QCOMPARE(cardNamesInFile(m_plan), testPlanNames(7, "Outside"));
    } else if (road.startsWith(QLatin1String("during the question"))) {
        // The autosave's request brings the question whatever the preference.
        writePieces(1, 0);
        window.onIdleTimeOut();
        ModalAnswer decline(QStringLiteral("Cancel"), {}, [&](QWidget *) { writePieces(3, 9); });
        // The decline is about the first piece: nothing is kept, nothing written.
        ModalAnswer kept(QStringLiteral("OK"), {}, {}, 300);
        QCoreApplication::sendPostedEvents(&window, MainWindow::outsideChangeCheckEvent);
        QVERIFY(decline.answered());
        QTest::qWait(400);
        QVERIFY2(!kept.answered(), qPrintable(kept.shownText()));
        QVERIFY(window.isWindowModified());
        QCOMPARE(cardNamesInFile(m_plan), testPlanNames(7, "Outside"));
    } else if (road == QLatin1String("settled while away")) {
        PlanFileGuard::setSettleMs(2000);
        activate(elsewhere);
        writePieces(3, 0);
        // A periodic tick while the window is away looks at the file.
        QVERIFY(!window.onCheckExternalUpdatesToPlan());
        QTest::qWait(2100);
    } else {
        PlanFileGuard::setSettleMs(500);
        const bool oneTime = road == QLatin1String("pieces of one time");
        ModalWatch early;
        for (int piece = 1; piece <= 3; ++piece) {
            writePieces(piece, oneTime ? 0 : 3 * piece);
            QVERIFY(!window.onCheckExternalUpdatesToPlan());
            window.onIdleTimeOut();
            // Pieces of one time come further apart than the settle interval's half.
            QTest::qWait(oneTime ? 300 : 150);
        }
        QCOMPARE(early.shown, QStringList());
        QCOMPARE(cardNamesInFile(m_plan), testPlanNames(7, "Outside"));
    }
    // One question about the whole version, from the settled look, the autosave's request or
    // the window coming back.
    ModalAnswer question(answer);
    std::unique_ptr<ModalAnswer> kept(answer == "Cancel" ? new ModalAnswer("OK") : nullptr);
    activate(window);
    // A version that settled while the window was away is asked about as the window comes back.
    if (road == QLatin1String("settled while away")) {
        QCoreApplication::sendPostedEvents(&window, MainWindow::outsideChangeCheckEvent);
        QVERIFY(question.answered());
    }
    QTRY_VERIFY(question.answered());
    QVERIFY(question.shownText().startsWith(reloadQuestion
                                            + "Any changes you have made will be lost.\n"));
    if (kept)
        QTRY_VERIFY(kept->answered());
    ModalAnswer notAgain(QStringLiteral("Cancel"), {}, {}, 1200);
    QTest::qWait(1300);
    QVERIFY(!notAgain.answered());
    window.onIdleTimeOut();
    const QMap<QString, QStringList> onDisk = versions();
    if (answer == "Open") {
        QCOMPARE(doc()->taskCount(), 7);
        QCOMPARE(onDisk.value("Plan.tv"), testPlanNames(7, "Outside"));
        QCOMPARE(onDisk.size(), 2); // and the other program's file
    } else {
        QCOMPARE(onDisk.value("Plan.tv"), usersPlan());
        QCOMPARE(onDisk.size(), 3);
        QCOMPARE(onDisk.last(), testPlanNames(7, "Outside"));
    }
}

// The autosave stops before writing over another program's version and waits for the question;
// with the periodic checks off the question must still come, once the window is active.
void TestSafetyNets::theAutosavesQuestionComesWithTheChecksOff_data()
{
    QTest::addColumn<bool>("activeAtTheAutosave");
    QTest::newRow("window active") << true;
    QTest::newRow("window activated later") << false;
}

void TestSafetyNets::theAutosavesQuestionComesWithTheChecksOff()
{
    QFETCH(bool, activeAtTheAutosave);
    settings()->setCheckPlanUpdates(false);
    MainWindow window;
    activate(window);
    QWidget elsewhere;
    if (!activeAtTheAutosave)
        activate(elsewhere);
    addTypedCard("Typed by user");
    // Only the activation may bring the question: the pause after the edit would bring it too.
    window.findChild<QTimer *>("m_idleTimer")->stop();
    writeFromOutside(m_plan, 7);
    {
        ModalAnswer notYet(QStringLiteral("Cancel"), {}, {}, 200);
        window.onIdleTimeOut();
        if (!activeAtTheAutosave) {
            QTest::qWait(300);
            QVERIFY(!notYet.answered());
        }
    }
    QCOMPARE(cardNamesInFile(m_plan), testPlanNames(7, "Outside"));
    ModalAnswer decline(QStringLiteral("Cancel"));
    ModalAnswer kept(QStringLiteral("OK"));
    if (!activeAtTheAutosave)
        activate(window);
    QTRY_VERIFY(decline.answered());
    QTRY_VERIFY(kept.answered());
    QVERIFY(decline.shownText().startsWith(reloadQuestion));
    window.onIdleTimeOut();
    const QMap<QString, QStringList> onDisk = versions();
    QCOMPARE(onDisk.value("Plan.tv"), usersPlan());
    QCOMPARE(onDisk.size(), 2);
    QCOMPARE(onDisk.last(), testPlanNames(7, "Outside"));
}

// A copy put back with its old time, a sync tool's or a write within the same tick of a coarse
// file system: none is written over unasked.
void TestSafetyNets::anyOtherTimeOrSizeIsAnOutsideChange_data()
{
    QTest::addColumn<int>("seconds"); // from the time the window saw; 0 keeps it
    // When the other program writes: "" while the window waits with the user's edit; "after the
    // save" or "after the read" the moment this window's save is in place, or its read done,
    // before the window looks at the file (a sync client reacting to the save).
    QTest::addColumn<QString>("landing");
    QTest::newRow("newer") << 60 << "";
    QTest::newRow("older") << -3600 << "";
    QTest::newRow("same time, other size") << 0 << "";
    QTest::newRow("just after the save is in place") << 0 << "after the save";
    QTest::newRow("just after the plan is read") << 0 << "after the read";
}

void TestSafetyNets::anyOtherTimeOrSizeIsAnOutsideChange()
{
    QFETCH(int, seconds);
    QFETCH(QString, landing);
    MainWindow window;
    activate(window);
    const QDateTime seen = QFileInfo(m_plan).lastModified();
    if (landing.isEmpty()) {
        addTypedCard("Typed by user");
        writeFromOutsideAt(m_plan, 7, seen.addSecs(seconds));
        QCOMPARE(QFileInfo(m_plan).lastModified(), seen.addSecs(seconds));
    } else {
        // The recent plans change within the window's setting of its file, after the save or
        // read and before the window looks at the file.
        settings()->write(Settings::Key::RecentDocs, QStringList());
        bool landed = false;
        const QMetaObject::Connection writer
            = connect(settings(), &Settings::changed, [&](Settings::Key key) {
                  if (key != Settings::Key::RecentDocs || landed)
                      return;
                  landed = true;
                  writeFromOutside(m_plan, 7, seconds);
              });
        if (landing == QLatin1String("after the save")) {
            addTypedCard("Typed by user");
            window.onIdleTimeOut();
        } else {
            QVERIFY(window.openFile(m_plan, false));
            addTypedCard("Typed by user");
        }
        disconnect(writer);
        QVERIFY(landed);
    }
    ModalAnswer decline(QStringLiteral("Cancel"));
    ModalAnswer kept(QStringLiteral("OK"));
    // The plan just saved is asked about by the check; a modified one by the autosave too.
    if (window.isWindowModified())
        window.onIdleTimeOut();
    else
        QVERIFY(!window.onCheckExternalUpdatesToPlan());
    QCOMPARE(cardNamesInFile(m_plan), testPlanNames(7, "Outside"));
    QTRY_VERIFY(decline.answered());
    QTRY_VERIFY(kept.answered());
    window.onIdleTimeOut();
    const QMap<QString, QStringList> onDisk = versions();
    QCOMPARE(onDisk.value("Plan.tv"), usersPlan());
    QCOMPARE(onDisk.size(), 2);
    QCOMPARE(onDisk.last(), testPlanNames(7, "Outside"));
}

// The user keeps the plan shown over another program's version: by declining the reload (the
// message then says where the other version went), or by choosing Overwrite at closing. The
// plan shown reaches the file whether or not its edit was saved before the other program wrote.
void TestSafetyNets::theOutsideVersionIsCopiedAsideBeforeItIsWrittenOver_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("backupFolder");
    QTest::addColumn<bool>("editSaved");
    QTest::addColumn<bool>("closeAfter"); // or the next pause
    QTest::newRow("declined, into the backup folder") << "Cancel" << true << false << false;
    QTest::newRow("declined, beside the plan without a backup folder")
        << "Cancel" << false << false << false;
    QTest::newRow("overwrite at closing") << "Overwrite" << true << false << true;
    QTest::newRow("declined after the edit was saved, then closed")
        << "Cancel" << true << true << true;
    QTest::newRow("declined after the edit was saved, then a pause")
        << "Cancel" << true << true << false;
    QTest::newRow("declined with the edit unsaved, then closed")
        << "Cancel" << true << false << true;
}

void TestSafetyNets::theOutsideVersionIsCopiedAsideBeforeItIsWrittenOver()
{
    QFETCH(QString, answer);
    QFETCH(bool, backupFolder);
    QFETCH(bool, editSaved);
    QFETCH(bool, closeAfter);
    if (!backupFolder)
        settings()->setBackupFolder(writeBytes(path("File"), "a file") + "/Backups");
    const QString folder = backupFolder ? m_backups : m_folder->path();
    MainWindow window;
    activate(window);
    addTypedCard("Typed by user");
    if (editSaved) {
        window.onIdleTimeOut();
        QVERIFY(!window.isWindowModified());
        QCOMPARE(cardNamesInFile(m_plan), usersPlan());
    }
    writeFromOutside(m_plan, 7);
    ModalAnswer choice(answer);
    if (answer == QLatin1String("Cancel")) {
        ModalAnswer kept(QStringLiteral("OK"));
        QVERIFY(!window.onCheckExternalUpdatesToPlan());
        QVERIFY(choice.answered());
        QVERIFY(kept.answered());
        const QStringList copies = QDir(folder).entryList({"*.tvb"}, QDir::Files);
        QCOMPARE(copies.size(), 1);
        QVERIFY2(backupName.match(copies.first()).hasMatch(), qPrintable(copies.first()));
        const QString copy = QDir::toNativeSeparators(folder + "/" + copies.first());
        QCOMPARE(kept.shownText(), keptMessage.arg(m_plan, copy));
        QCOMPARE(cardNamesInFile(copy), testPlanNames(7, "Outside"));
        // The message is said once; the autosave or the close then writes, unasked.
        ModalAnswer notAgain(QStringLiteral("OK"), {}, {}, 200);
        if (closeAfter)
            QVERIFY(window.close());
        else
            window.onIdleTimeOut();
        QTest::qWait(300);
        QVERIFY(!notAgain.answered());
    } else {
        ModalAnswer told(QStringLiteral("OK"));
        QVERIFY(window.close());
        QVERIFY(choice.answered());
        QVERIFY(told.answered());
        const QStringList copies = QDir(folder).entryList({"*.tvb"}, QDir::Files);
        QCOMPARE(copies.size(), 1);
        QCOMPARE(told.shownText(),
                 savedMessage.arg(m_plan, QDir::toNativeSeparators(folder + "/" + copies.first())));
    }
    QCOMPARE(cardNamesInFile(m_plan), usersPlan());
    const QStringList copies = QDir(folder).entryList({"*.tvb"}, QDir::Files);
    QCOMPARE(copies.size(), 1);
    QCOMPARE(cardNamesInFile(folder + "/" + copies.first()), testPlanNames(7, "Outside"));
}

// The system ends the program without closing the window: the edits are written, and what another
// program wrote meanwhile is copied aside first.
void TestSafetyNets::aQuitFromTheSystemSavesTheEditsAndKeepsTheOutsideVersion()
{
    MainWindow window;
    addTypedCard("Typed by user");
    writeFromOutside(m_plan, 7);
    window.onAboutToQuit();
    const QMap<QString, QStringList> onDisk = versions();
    QCOMPARE(onDisk.value("Plan.tv"), usersPlan());
    QCOMPARE(onDisk.size(), 2);
    QVERIFY(backupName.match(onDisk.lastKey()).hasMatch());
    QCOMPARE(onDisk.last(), testPlanNames(7, "Outside"));
}

// A quit signal (a logout, a shutdown, a closed terminal) or the end of the session: no one may be
// there to answer, so nothing is asked; the edits are written over what another program wrote
// meanwhile, which is copied aside first.
void TestSafetyNets::anEndFromOutsideSavesUnaskedAndKeepsTheOutsideVersion_data()
{
    QTest::addColumn<bool>("signal");
    QTest::newRow("a quit signal") << true;
    QTest::newRow("the end of the session") << false;
}

void TestSafetyNets::anEndFromOutsideSavesUnaskedAndKeepsTheOutsideVersion()
{
    QFETCH(bool, signal);
    MainWindow window;
    window.show();
    addTypedCard("Typed by user");
    writeFromOutside(m_plan, 7);
    ModalWatch watch;
    int asked = 0;
    if (signal) {
        window.onQuitRequested();
        QVERIFY(!window.isVisible());
    } else {
        QVERIFY(endSession(window, true, &asked));
        QVERIFY(!window.isWindowModified());
    }
    QCOMPARE(watch.shown, QStringList());
    QCOMPARE(asked, 0);
    const QMap<QString, QStringList> onDisk = versions();
    QCOMPARE(onDisk.value("Plan.tv"), usersPlan());
    QCOMPARE(onDisk.size(), 2);
    QVERIFY(backupName.match(onDisk.lastKey()).hasMatch());
    QCOMPARE(onDisk.last(), testPlanNames(7, "Outside"));
}

// A plan that can't be written at the end of the session: the discard question comes only with
// the session manager's leave, and keeping the plan stops the session from ending.
void TestSafetyNets::aSessionEndThatCannotSaveAsksOnlyWithLeave_data()
{
    QTest::addColumn<bool>("leave");
    QTest::addColumn<QString>("answer"); // to the discard question; empty when none is asked
    QTest::addColumn<bool>("ends");
    QTest::newRow("no leave: nothing asked, the session ends") << false << "" << true;
    QTest::newRow("kept: the session does not end") << true << "Cancel" << false;
    QTest::newRow("discarded: the session ends") << true << "Discard" << true;
}

void TestSafetyNets::aSessionEndThatCannotSaveAsksOnlyWithLeave()
{
    QFETCH(bool, leave);
    QFETCH(QString, answer);
    QFETCH(bool, ends);
    MainWindow window;
    addTypedCard("Typed by user");
    int asked = 0;
    bool ended = false;
    {
        std::unique_ptr<ModalAnswer> question(answer.isEmpty() ? nullptr : new ModalAnswer(answer));
        std::unique_ptr<ModalWatch> watch(answer.isEmpty() ? new ModalWatch : nullptr);
        FileSizeLimit full(100);
        ended = endSession(window, leave, &asked);
        if (question) {
            QVERIFY(question->answered());
            QCOMPARE(question->shownText(),
                     QStringLiteral("Unable to save changes to '%1'. Do you wish to exit and "
                                    "discard your changes?")
                         .arg(m_plan));
        } else {
            QCOMPARE(watch->shown, QStringList());
        }
    }
    QCOMPARE(ended, ends);
    QCOMPARE(asked, 1);
    QCOMPARE(cardNamesInFile(m_plan), testPlanNames(3));
    QVERIFY(window.isWindowModified());
}

// The plan can't be written when the end comes from outside, and the user keeps the program
// open: another program's version, written meanwhile, was never asked about, and is reported as
// before instead of being taken as seen.
void TestSafetyNets::aRefusedEndFromOutsideStillReportsTheOutsideVersion_data()
{
    QTest::addColumn<bool>("signal");
    // The other program's version is as long as the one the window saw: only its time tells.
    QTest::addColumn<bool>("sameSize");
    QTest::newRow("a quit signal") << true << false;
    QTest::newRow("the end of the session") << false << false;
    QTest::newRow("a quit signal, a version of the same size") << true << true;
    QTest::newRow("the end of the session, a version of the same size") << false << true;
}

void TestSafetyNets::aRefusedEndFromOutsideStillReportsTheOutsideVersion()
{
    QFETCH(bool, signal);
    QFETCH(bool, sameSize);
    MainWindow window;
    activate(window);
    addTypedCard("Typed by user");
    const qint64 seenSize = QFileInfo(m_plan).size();
    // "Else 0" is as long as "Card 0".
    if (sameSize)
        writeFromOutsideAt(m_plan, 3, QDateTime::currentDateTime().addSecs(60), "Else");
    else
        writeFromOutside(m_plan, 7);
    QCOMPARE(QFileInfo(m_plan).size() == seenSize, sameSize);
    const QStringList outside = sameSize ? testPlanNames(3, "Else") : testPlanNames(7, "Outside");
    const auto *guard = window.findChild<PlanFileGuard *>();
    QVERIFY(guard->planFileChangedOutside());
    {
        // The failed save says why and asks whether to discard the edits: Cancel keeps them.
        ModalWatch watch;
        FileSizeLimit full(100);
        int asked = 0;
        if (signal)
            QVERIFY(!window.onQuitRequested());
        else
            QVERIFY(!endSession(window, true, &asked));
        QVERIFY(!watch.shown.isEmpty());
        QCOMPARE(watch.shown.last(),
                 QStringLiteral("Unable to save changes to '%1'. Do you wish to exit and discard "
                                "your changes?")
                     .arg(m_plan));
    }
    QVERIFY(window.isVisible());
    QVERIFY(window.isWindowModified());
    QVERIFY(guard->planFileChangedOutside());
    QCOMPARE(cardNamesInFile(m_plan), outside);
    // The next check asks about it.
    activate(window);
    ModalWatch watch;
    window.onCheckExternalUpdatesToPlan();
    QVERIFY(!watch.shown.isEmpty());
    QVERIFY(watch.shown.first().startsWith(reloadQuestion));
}

// The session manager is asked for leave to ask only when the save needs a question, gets back
// the leave it granted, and hears that the session must not end only when the user keeps the
// plan.
void TestSafetyNets::theSessionManagerIsAnsweredAsTheSaveDecides_data()
{
    QTest::addColumn<int>("questions"); // how often the save needs to ask
    QTest::addColumn<bool>("leave");
    QTest::addColumn<bool>("ends");
    QTest::addColumn<QStringList>("calls");
    QTest::newRow("saved unasked") << 0 << true << true << QStringList();
    QTest::newRow("no leave") << 1 << false << true << QStringList {"allows"};
    QTest::newRow("asked, plan discarded")
        << 1 << true << true << QStringList {"allows", "release"};
    QTest::newRow("asked, plan kept")
        << 1 << true << false << QStringList {"allows", "cancel", "release"};
    QTest::newRow("leave asked for twice")
        << 2 << true << true << QStringList {"allows", "allows", "release"};
}

void TestSafetyNets::theSessionManagerIsAnsweredAsTheSaveDecides()
{
    QFETCH(int, questions);
    QFETCH(bool, leave);
    QFETCH(bool, ends);
    QFETCH(QStringList, calls);
    QStringList made;
    SessionManagerCalls manager;
    manager.allowsInteraction = [&made, leave] {
        made << "allows";
        return leave;
    };
    manager.release = [&made] { made << "release"; };
    manager.cancel = [&made] { made << "cancel"; };
    answerSessionEnd(manager, [questions, ends](const std::function<bool()> &mayAsk) {
        for (int i = 0; i < questions; ++i)
            mayAsk();
        return ends;
    });
    QCOMPARE(made, calls);
}

// Whatever ends the window's life saves the plan as the user sees it: the text in an open cell
// editor, or in a field that waits for a pause in the typing, goes into the file.
void TestSafetyNets::closingEntersWhatIsBeingTyped_data()
{
    QTest::addColumn<int>("tab");
    // Of the cell typed into; -1 for the Cards title field, -2 for the basic filter field and
    // -3 for the value of an Advanced filter row
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("end"); // "close", "exit" (File > Exit) or "session"
    QTest::newRow("Table: a card's name, close button") << 2 << 1 << "close";
    QTest::newRow("Table: a card's name, File > Exit") << 2 << 1 << "exit";
    QTest::newRow("Table: a card's name, end of the session") << 2 << 1 << "session";
    QTest::newRow("Properties: a property's name, close button") << 3 << 0 << "close";
    QTest::newRow("Properties: a default value, File > Exit") << 3 << 2 << "exit";
    QTest::newRow("Cards: the title, before the pause, close button") << 0 << -1 << "close";
    // The filter section waits once more after the field's own pause.
    QTest::newRow("Cards: the basic filter, before the pauses, close button") << 0 << -2 << "close";
    QTest::newRow("Cards: the basic filter, after the field's pause, end of the session")
        << 0 << -2 << "session";
    QTest::newRow("Cards: an Advanced filter value, before the pause, File > Exit")
        << 0 << -3 << "exit";
}

void TestSafetyNets::closingEntersWhatIsBeingTyped()
{
    QFETCH(int, tab);
    QFETCH(int, column);
    QFETCH(QString, end);
    if (column == -3) {
        // The plan's filter is an Advanced one of one row, "Any" "Contains" nothing.
        Document plan;
        QString error;
        bool later = false;
        QVERIFY(readPlanFile(plan, m_plan, &error, &later));
        plan.setFilter(false, true, false, {FilterTerm()}, false, false);
        QVERIFY(writePlanFile(plan, m_plan, &error));
    }
    MainWindow window;
    activate(window);
    window.findChild<QTabWidget *>()->setCurrentIndex(tab);
    const QString typed = QStringLiteral("Typed, not entered");
    QWidget *field = nullptr;
    if (column >= 0) {
        auto *table = tab == 2 ? static_cast<QTableWidget *>(window.findChild<TableView *>())
                               : window.findChild<PropertiesView *>();
        table->setCurrentCell(0, column);
        table->editItem(table->item(0, column));
        field = QApplication::focusWidget();
    } else if (column == -1) {
        window.onAppearanceShortcut();
        field = window.findChild<CardsLeftPane *>()->appearanceWidget()->findChild<QLineEdit *>(
            QStringLiteral("m_titleEdit"));
        QTest::mouseClick(field, Qt::LeftButton);
    } else {
        window.onFilterShortcut();
        auto *filter = window.findChild<CardsFilterWidget *>();
        field = column == -2 ? filter->findChild<QLineEdit *>(QStringLiteral("m_basicLineEdit"))
                             : filter->findChild<QTableWidget *>()->cellWidget(0, 2);
        QTest::mouseClick(field, Qt::LeftButton);
    }
    QVERIFY(qobject_cast<QLineEdit *>(field));
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, typed);
    // The basic field's own pause is over; the section's is not.
    if (end == QLatin1String("session") && column == -2)
        QTest::qWait(filterDelayMs() * 3 / 2);
    QVERIFY(!window.isWindowModified());
    if (end == QLatin1String("close")) {
        QVERIFY(window.close());
    } else if (end == QLatin1String("exit")) {
        window.findChild<QAction *>(QStringLiteral("m_fileExitAction"))->trigger();
        QVERIFY(!window.isVisible());
    } else {
        int asked = 0;
        QVERIFY(endSession(window, false, &asked));
    }
    Document saved;
    QString error;
    bool later = false;
    QVERIFY2(readPlanFile(saved, m_plan, &error, &later), qPrintable(error));
    switch (tab) {
    case 0:
        if (column == -1)
            QCOMPARE(saved.cardsTitle(), typed);
        else if (column == -2)
            QCOMPARE(saved.filterTerms(),
                     QList<FilterTerm>({FilterTerm(0, MatchType::Contains, "Typed,"),
                                        FilterTerm(0, MatchType::Contains, "not"),
                                        FilterTerm(0, MatchType::Contains, "entered")}));
        else
            QCOMPARE(saved.filterTerms(),
                     QList<FilterTerm>({FilterTerm(0, MatchType::Contains, typed.toLower())}));
        break;
    case 2:
        QCOMPARE(saved.value(0, 1), typed);
        break;
    default:
        QCOMPARE(column == 0 ? saved.propertyName(1) : saved.propertyDefaultValue(1), typed);
    }
}

// A quit signal or the end of the session without leave to ask: no one may be there to answer a
// question about a name typed into the Properties tab. A name the tab would refuse is put back
// and the stored views keep their names, unasked, and the plan is saved at once with the other
// edits.
void TestSafetyNets::anEndFromOutsideEntersTypedNamesUnasked_data()
{
    QTest::addColumn<bool>("signal");
    QTest::addColumn<QString>("typed"); // into the name cell of "Owner"
    QTest::addColumn<QStringList>("names"); // of the properties in the file
    QTest::addColumn<bool>("fullScreen"); // the Properties tab alone in full screen
    const QStringList kept {"Name", "Owner"};
    const QStringList renamed {"Name", "Lead"};
    QTest::newRow("a quit signal, a name taken") << true << "Name" << kept << false;
    QTest::newRow("the end of the session, a name taken") << false << "NAME" << kept << false;
    QTest::newRow("a quit signal, stored views to rename") << true << "Lead" << renamed << false;
    QTest::newRow("the end of the session, stored views to rename")
        << false << "Lead" << renamed << false;
    QTest::newRow("a quit signal, an empty name") << true << "" << kept << false;
    QTest::newRow("the end of the session, a reserved name") << false << "notes" << kept << false;
    // Leaving full screen moves the focus, which would enter the name asking.
    QTest::newRow("a quit signal, a name taken, the tab alone in full screen")
        << true << "Name" << kept << true;
}

void TestSafetyNets::anEndFromOutsideEntersTypedNamesUnasked()
{
    QFETCH(bool, signal);
    QFETCH(QString, typed);
    QFETCH(QStringList, names);
    QFETCH(bool, fullScreen);
    {
        Document plan;
        QString error;
        bool later = false;
        QVERIFY(readPlanFile(plan, m_plan, &error, &later));
        plan.addProperty(QStringLiteral("Owner"), QString(), PropertyType::Text, {},
                         PropertyVisibility::Text, PropertyAppearance(), false);
        plan.addStoredView(QStringLiteral("Work by Owner"), false, false);
        QVERIFY(writePlanFile(plan, m_plan, &error));
    }
    MainWindow window;
    activate(window);
    addTypedCard("Typed by user");
    window.findChild<QTabWidget *>()->setCurrentIndex(3);
    auto *table = window.findChild<PropertiesView *>();
    if (fullScreen) {
        window.findChild<QAction *>(QStringLiteral("m_viewFullScreenAction"))->setChecked(true);
        QVERIFY(!window.isVisible());
        table->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(table));
    }
    table->setCurrentCell(1, 0);
    table->editItem(table->item(1, 0));
    QWidget *editor = QApplication::focusWidget();
    QVERIFY(qobject_cast<QLineEdit *>(editor));
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClicks(editor, typed);
    ModalWatch watch;
    if (signal) {
        QVERIFY(window.onQuitRequested());
        QVERIFY(!window.isVisible());
    } else {
        int asked = 0;
        QVERIFY(endSession(window, false, &asked));
        QVERIFY(!window.isWindowModified());
    }
    QCOMPARE(watch.shown, QStringList());
    Document saved;
    QString error;
    bool later = false;
    QVERIFY(readPlanFile(saved, m_plan, &error, &later));
    QStringList savedNames;
    for (int property = 1; property < saved.propertyCount(); ++property)
        savedNames << saved.propertyName(property);
    QCOMPARE(savedNames, names);
    QCOMPARE(saved.storedViews().size(), 1);
    QCOMPARE(saved.storedViews().first().name, QStringLiteral("Work by Owner"));
    QCOMPARE(cardNamesInFile(m_plan), usersPlan());
}

// A drag from outside that crosses the table or drops on it leaves the cell's editor open with
// its text; whatever comes next enters that text before the plan is saved or replaced, and an
// outside change warns of its loss.
void TestSafetyNets::typedTextSurvivesADragAndWhatFollows_data()
{
    QTest::addColumn<int>("tab"); // 2 Table: a card's name; 3 Properties: a property's name
    // "crosses", "drops a plan" (the drop is the end) or "drops a file that's gone"; "" for none
    QTest::addColumn<QString>("drag");
    // "close", "signal", "drop a plan" or "outside change" (answered Cancel)
    QTest::addColumn<QString>("then");
    QTest::newRow("Table: a drag crosses, close") << 2 << "crosses"
                                                  << "close";
    QTest::newRow("Table: a drag crosses, quit signal") << 2 << "crosses"
                                                        << "signal";
    QTest::newRow("Table: a drag crosses, another plan dropped") << 2 << "crosses"
                                                                 << "drop a plan";
    QTest::newRow("Properties: a drag crosses, close") << 3 << "crosses"
                                                       << "close";
    QTest::newRow("Properties: a drag crosses, quit signal") << 3 << "crosses"
                                                             << "signal";
    QTest::newRow("Properties: a drag crosses, another plan dropped") << 3 << "crosses"
                                                                      << "drop a plan";
    QTest::newRow("Table: another plan dropped") << 2 << "drops a plan" << QString();
    QTest::newRow("Properties: another plan dropped") << 3 << "drops a plan" << QString();
    QTest::newRow("Table: a file that's gone dropped, close") << 2 << "drops a file that's gone"
                                                              << "close";
    QTest::newRow("Properties: a file that's gone dropped, quit signal")
        << 3 << "drops a file that's gone"
        << "signal";
    QTest::newRow("Table: an outside change") << 2 << QString() << "outside change";
    QTest::newRow("Properties: an outside change") << 3 << QString() << "outside change";
    QTest::newRow("Table: a drag crosses, an outside change") << 2 << "crosses"
                                                              << "outside change";
}

void TestSafetyNets::typedTextSurvivesADragAndWhatFollows()
{
    QFETCH(int, tab);
    QFETCH(QString, drag);
    QFETCH(QString, then);
    const QString other = path("Other.tv");
    QVERIFY(writeTestPlan(other, 2, "Other"));
    MainWindow window;
    activate(window);
    QTableWidget *table = shownTable(window, tab);
    const QString typed = QStringLiteral("Typed, not entered");
    QWidget *editor = typeIntoCell(table, 0, tab == 2 ? 1 : 0, typed);
    QVERIFY(editor);
    if (!drag.isEmpty()) {
        const QString file = drag == QLatin1String("drops a plan") ? other : path("Gone.txt");
        dragFilesOver(table, {QUrl::fromLocalFile(file)}, drag != QLatin1String("crosses"));
        QTRY_VERIFY(drag != QLatin1String("drops a plan") || window.fileName() == other);
        QCoreApplication::processEvents();
    }
    QVERIFY(window.fileName() == other || editor->isVisible());
    std::unique_ptr<ModalAnswer> answer;
    std::unique_ptr<ModalAnswer> kept;
    if (then == QLatin1String("close")) {
        QVERIFY(window.close());
    } else if (then == QLatin1String("signal")) {
        QVERIFY(window.onQuitRequested());
    } else if (then == QLatin1String("drop a plan")) {
        dragFilesOver(table, {QUrl::fromLocalFile(other)}, true);
        QTRY_COMPARE(window.fileName(), other);
    } else if (then == QLatin1String("outside change")) {
        writeFromOutside(m_plan, 5);
        answer.reset(new ModalAnswer(QStringLiteral("Cancel")));
        kept.reset(new ModalAnswer(QStringLiteral("OK")));
        QVERIFY(!window.onCheckExternalUpdatesToPlan());
        QVERIFY(answer->answered());
        QCOMPARE(answer->shownText(),
                 reloadQuestion
                     + "Any changes you have made will be lost.\n(You can stop these update "
                       "checks in the 'Preferences' window.)");
        QVERIFY(kept->answered());
        QCOMPARE(tab == 2 ? doc()->value(0, 1) : doc()->propertyName(1), typed);
        // The plan kept is saved over the other version at the next pause.
        window.onIdleTimeOut();
        QVERIFY(!window.isWindowModified());
    }
    Document saved;
    QString error;
    bool later = false;
    QVERIFY2(readPlanFile(saved, m_plan, &error, &later), qPrintable(error));
    QCOMPARE(tab == 2 ? saved.value(0, 1) : saved.propertyName(1), typed);
}

TAVROLO_TEST_MAIN(TestSafetyNets)
#include "tst_safetynets.moc"
