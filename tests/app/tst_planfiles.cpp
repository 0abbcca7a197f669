#include "MainWindowFixture.h"
#include "app/Application.h"
#include "cards/CardsScene.h"
#include "common/core/FileHelpers.h"
#include "common/widgets/MessageBoxes.h"
#include "harness/FileFaults.h"
#include "harness/TestMain.h"
#include "properties/PropertiesView.h"
#include "storage/HostilePlans.h"
#include "storage/PlanFileReader.h"
#include "storage/PlanFileWriter.h"
#include "storage/ViewReaders.h"
#include "table/TableView.h"

#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QFileOpenEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

namespace {

QString csvFile(const QString &path, const QByteArray &content = "Name\nAda\nBea\n")
{
    return writeBytes(path, content);
}

QTimer *idleTimer(MainWindow &window)
{
    return window.findChild<QTimer *>("m_idleTimer");
}

int cardItemCount(MainWindow &window)
{
    return window.findChild<CardsScene *>()->cardItems(false, false).size();
}

} // namespace

class TestPlanFiles : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void autosaveWaitsLongerForLargerPlans_data();
    void autosaveWaitsLongerForLargerPlans();
    void noAutosaveWhileADialogIsOpenButSoonAfter();
    void aFailedOpenKeepsThePlanAndItsFile_data();
    void aFailedOpenKeepsThePlanAndItsFile();
    void importIntoAPlanThatCannotBeSavedKeepsItModified_data();
    void importIntoAPlanThatCannotBeSavedKeepsItModified();
    void csvAsANewPlanAlwaysGetsAWritableFile();
    void newPlansTakeTheNextFreeNameAndAreOnDiskAtOnce();
    void aVersionLandingBeforeANewPlansFirstSaveIsKept();
    void aNewPlanNeverTakesTheOpenPlansFile_data();
    void aNewPlanNeverTakesTheOpenPlansFile();
    void aQuitWhileACsvPlanIsNamedEndsTheNaming();
    void perSaveCopyKeepsThePreviousSave_data();
    void perSaveCopyKeepsThePreviousSave();
    void perSaveCopyNeverWritesThroughALink_data();
    void perSaveCopyNeverWritesThroughALink();
    void aPlanFileChangedOnDiskIsNeverOverwrittenUnasked_data();
    void aPlanFileChangedOnDiskIsNeverOverwrittenUnasked();
    void closingWithAFailedSaveAndCancelKeepsTheWindow_data();
    void closingWithAFailedSaveAndCancelKeepsTheWindow();
    void readOnlyPlanWarnsOnceAfterThePanesUpdate();
    void aPlanReadInPartIsOpenedWithANotice_data();
    void aPlanReadInPartIsOpenedWithANotice();
    void aCsvFileCutAtABlankRowIsImportedWithANotice_data();
    void aCsvFileCutAtABlankRowIsImportedWithANotice();
    void recentFilesKeepTheTenNewest();
    void portableSettingsListEveryPlanButTheOpenOne();
    void duplicateProposesRefusesAndCopies_data();
    void duplicateProposesRefusesAndCopies();
    void aPlanFileThatCannotTakeTheSaveIsDuplicatedWithTheEdits_data();
    void aPlanFileThatCannotTakeTheSaveIsDuplicatedWithTheEdits();
    void aFileThatCannotBeWrittenIsOpenedReadOnly_data();
    void aFileThatCannotBeWrittenIsOpenedReadOnly();
    void aNameTypedWithoutSuffixGetsTheFileType_data();
    void aNameTypedWithoutSuffixGetsTheFileType();
    void aNameTypedInTheQtDialogGetsTheFileType();
    void recentFilesShowAmpersandsAndListEachPlanOnce();
    void replacingThePlanSavesWhatIsBeingTyped_data();
    void replacingThePlanSavesWhatIsBeingTyped();

private:
    QString path(const QString &name) const
    {
        return QDir::toNativeSeparators(m_folder->filePath(name));
    }

    // Shown and active, as the window looks at its file again only then.
    void activate(QWidget &window)
    {
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }

    std::unique_ptr<QTemporaryDir> m_folder;
    QString m_plan; // "Plan.tv", 3 cards, the last plan of every start
};

void TestPlanFiles::init()
{
    m_folder.reset(new QTemporaryDir);
    m_plan = path("Plan.tv");
    QVERIFY(writeTestPlan(m_plan, 3));
    presetQuietStartup(m_plan);
}

void TestPlanFiles::cleanup()
{
    m_folder.reset();
}

void TestPlanFiles::autosaveWaitsLongerForLargerPlans_data()
{
    QTest::addColumn<int>("cards");
    QTest::addColumn<int>("interval");
    QTest::newRow("no cards") << 0 << 5000;
    QTest::newRow("1000 cards") << 1000 << 7000;
}

void TestPlanFiles::autosaveWaitsLongerForLargerPlans()
{
    QFETCH(int, cards);
    QFETCH(int, interval);
    QVERIFY(writeTestPlan(m_plan, cards));
    MainWindow window;
    QVERIFY(!idleTimer(window)->isActive());
    doc()->addProperty("Due", QString(), PropertyType::Date, {}, PropertyVisibility::Text,
                       PropertyAppearance(), true);
    QVERIFY(window.isWindowModified());
    QVERIFY(idleTimer(window)->isActive());
    QVERIFY(idleTimer(window)->isSingleShot());
    QCOMPARE(idleTimer(window)->interval(), interval);
    // Typing a search changes nothing that is saved.
    doc()->setSearch("Card", false, true);
    QCOMPARE(idleTimer(window)->interval(), interval);
    window.onIdleTimeOut();
    QVERIFY(!window.isWindowModified());
    Document saved;
    QString error;
    bool later = false;
    QVERIFY(readPlanFile(saved, m_plan, &error, &later));
    QCOMPARE(saved.propertyIndex("Due"), 2);
    QCOMPARE(saved.taskCount(), cards);
}

void TestPlanFiles::noAutosaveWhileADialogIsOpenButSoonAfter()
{
    MainWindow window;
    doc()->addTask(true);
    bool restarted = false;
    int cardsWhileOpen = -1;
    ModalAnswer answer(QStringLiteral("OK"), {}, [&](QWidget *) {
        idleTimer(window)->stop();
        window.onIdleTimeOut();
        restarted = idleTimer(window)->isActive();
        cardsWhileOpen = cardsInFile(m_plan);
    });
    informationMessage(&window, QStringLiteral("A dialog of some command"));
    QVERIFY(answer.answered());
    QVERIFY(restarted);
    QCOMPARE(cardsWhileOpen, 3);
    QVERIFY(window.isWindowModified());
    QVERIFY(idleTimer(window)->isActive());
    window.onIdleTimeOut();
    QCOMPARE(cardsInFile(m_plan), 4);
}

void TestPlanFiles::aFailedOpenKeepsThePlanAndItsFile_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("answers");
    QTest::newRow("damaged plan file") << "Damaged.tv" << QStringList {"OK"};
    QTest::newRow("missing plan file") << "Missing.tv" << QStringList {"OK"};
    QTest::newRow("unreadable CSV as a new plan") << "Missing.csv" << QStringList {"New", "OK"};
    QTest::newRow("CSV cancelled") << "People.csv" << QStringList {"Cancel"};
}

void TestPlanFiles::aFailedOpenKeepsThePlanAndItsFile()
{
    QFETCH(QString, file);
    QFETCH(QStringList, answers);
    writeBytes(path("Damaged.tv"), "<?xml version=\"1.0\"?><root><tasks><task");
    csvFile(path("People.csv"));
    MainWindow window;
    doc()->addTask(true);
    window.onIdleTimeOut();
    const Document before(*doc());
    const QString title = window.windowTitle();
    QList<std::shared_ptr<ModalAnswer>> boxes;
    for (const QString &button : answers)
        boxes << std::make_shared<ModalAnswer>(button);
    // Asked read-only: a failed open must not leave the open plan read-only.
    QVERIFY(!window.openFile(path(file), true));
    for (const auto &box : boxes)
        QVERIFY(box->answered());
    QVERIFY(*doc() == before);
    QCOMPARE(window.fileName(), m_plan);
    QCOMPARE(window.windowTitle(), title);
    QVERIFY(!window.isWindowModified());
    // The next save writes the same plan into its own file.
    doc()->addTask(true);
    window.onIdleTimeOut();
    QCOMPARE(cardsInFile(m_plan), 5);
}

void TestPlanFiles::importIntoAPlanThatCannotBeSavedKeepsItModified_data()
{
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("message"); // its start
    QTest::newRow("read-only plan") << true << "Unable to save changes to read-only file";
    QTest::newRow("the write fails") << false << "Can't save '";
}

void TestPlanFiles::importIntoAPlanThatCannotBeSavedKeepsItModified()
{
    QFETCH(bool, readOnly);
    QFETCH(QString, message);
    const QString csv = csvFile(path("People.csv"));
    const QByteArray onDisk = readBytes(m_plan);
    MainWindow window;
    QVERIFY(window.openFile(m_plan, readOnly));
    ModalAnswer current(QStringLiteral("Current"));
    ModalAnswer refused(QStringLiteral("OK"));
    {
        FileSizeLimit limit(readOnly ? RLIM_INFINITY : rlim_t(onDisk.size()));
        QVERIFY(!window.openFile(csv, false));
    }
    QVERIFY(current.answered());
    QVERIFY(refused.answered());
    QVERIFY2(refused.shownText().startsWith(message), qPrintable(refused.shownText()));
    QCOMPARE(doc()->taskCount(), 5);
    QCOMPARE(cardItemCount(window), 5);
    QVERIFY(window.isWindowModified());
    QCOMPARE(window.fileName(), m_plan);
    QCOMPARE(readBytes(m_plan), onDisk);
}

// A name in capitals takes the CSV road; cancelling the name still gives the plan its file,
// and the plan it replaced being read-only does not make the new one so.
void TestPlanFiles::csvAsANewPlanAlwaysGetsAWritableFile()
{
    const QString csv = csvFile(path("People.CSV"));
    MainWindow window;
    QVERIFY(window.openFile(m_plan, true));
    ScriptedFileDialogs dialogs({""});
    ModalAnswer choice(QStringLiteral("New"));
    QVERIFY(window.openFile(csv, false));
    QVERIFY(choice.answered());
    QCOMPARE(choice.shownText(),
             QStringLiteral("Do you wish to import the CSV file into the current "
                            "plan or create a new plan?"));
    QCOMPARE(dialogs.requests.size(), 1);
    QCOMPARE(dialogs.requests.first().caption, QStringLiteral("New plan"));
    const QString created = path("People.tv");
    QCOMPARE(dialogs.requests.first().path, created);
    QCOMPARE(window.fileName(), created);
    QCOMPARE(cardsInFile(created), 2);
    QCOMPARE(cardsInFile(m_plan), 3);
    QCOMPARE(window.windowTitle(), QStringLiteral("Tavrolo v2.4.1 : %1[*]").arg(created));
    QVERIFY(!window.isWindowModified());
    doc()->addTask(true);
    window.onIdleTimeOut();
    QCOMPARE(cardsInFile(created), 3);
}

void TestPlanFiles::newPlansTakeTheNextFreeNameAndAreOnDiskAtOnce()
{
    QVERIFY(writeTestPlan(path("unnamed.tv"), 0));
    QVERIFY(writeTestPlan(path("unnamed1.tv"), 0));
    MainWindow window;
    {
        ScriptedFileDialogs cancelled({""});
        window.onFileNewAction();
        QCOMPARE(window.fileName(), m_plan);
        QCOMPARE(doc()->taskCount(), 3);
    }
    ScriptedFileDialogs dialogs({"="});
    window.onFileNewAction();
    const QString created = path("unnamed2.tv");
    QCOMPARE(dialogs.requests.first().path, created);
    QCOMPARE(window.fileName(), created);
    QCOMPARE(doc()->taskCount(), 0);
    QCOMPARE(doc()->propertyName(1), QStringLiteral("Title"));
    QCOMPARE(cardsInFile(created), 0);
    QVERIFY(!window.isWindowModified());
}

// The name was free when the user chose it; another program wrote a file there while the new
// plan's properties were being chosen. The new plan takes the name, and that file is kept aside.
void TestPlanFiles::aVersionLandingBeforeANewPlansFirstSaveIsKept()
{
    settings()->setSuggestPropertiesNewPlan(true);
    MainWindow window;
    window.show();
    const QString created = path("Fresh.tv");
    ScriptedFileDialogs dialogs({created});
    std::unique_ptr<ModalAnswer> told;
    ModalAnswer properties(QStringLiteral("Cancel"), {}, [&](QWidget *) {
        QVERIFY(writeTestPlan(created, 7, "Outside"));
        told.reset(new ModalAnswer(QStringLiteral("OK")));
    });
    window.onFileNewAction();
    QVERIFY(properties.answered());
    QTRY_VERIFY(told && told->answered());
    QCOMPARE(window.fileName(), created);
    QCOMPARE(cardsInFile(created), 0);
    const QMap<QString, QStringList> kept = versionsOnDisk({backupsFolder(false)});
    QCOMPARE(kept.values(), QList<QStringList>({testPlanNames(7, "Outside")}));
    QVERIFY(told->shownText().contains(kept.firstKey()));
}

// The save dialog has asked whether to replace the file, and the user said yes: the open plan's
// own file would be emptied, so the name is refused and asked for again.
void TestPlanFiles::aNewPlanNeverTakesTheOpenPlansFile_data()
{
    QTest::addColumn<bool>("fromCsv");
    QTest::addColumn<QString>("chosen"); // the refused answer, by name in the plan's folder
    QTest::addColumn<QString>("created"); // the plan made after the second dialog was cancelled
    QTest::newRow("New, the plan's own file") << false << "Plan.tv"
                                              << "";
    QTest::newRow("New, the plan's own name without suffix") << false << "Plan"
                                                             << "";
    QTest::newRow("New, a link to the plan's file") << false << "Link.tv"
                                                    << "";
    QTest::newRow("CSV as a new plan, the plan's own file") << true << "Plan.tv"
                                                            << "People.tv";
}

void TestPlanFiles::aNewPlanNeverTakesTheOpenPlansFile()
{
    QFETCH(bool, fromCsv);
    QFETCH(QString, chosen);
    QFETCH(QString, created);
    QVERIFY(QFile::link(m_plan, path("Link.tv")));
    const QByteArray onDisk = readBytes(m_plan);
    MainWindow window;
    QCOMPARE(window.fileName(), m_plan);
    ScriptedFileDialogs dialogs({path(chosen), ""});
    ModalAnswer refusal(QStringLiteral("OK"));
    if (fromCsv) {
        ModalAnswer choice(QStringLiteral("New"));
        QVERIFY(window.openFile(csvFile(path("People.csv")), false));
        QVERIFY(choice.answered());
    } else {
        window.onFileNewAction();
    }
    QCOMPARE(cardsInFile(m_plan), 3);
    QVERIFY(refusal.answered());
    const QString refused = path(chosen.contains('.') ? chosen : chosen + ".tv");
    QCOMPARE(refusal.shownText(),
             QStringLiteral("Unable to write to '%1'.\nIt is the open plan's own file; choose "
                            "another name for the new plan.")
                 .arg(refused));
    QCOMPARE(dialogs.requests.size(), 2);
    QCOMPARE(dialogs.requests.at(1).caption, QStringLiteral("New plan"));
    QCOMPARE(readBytes(m_plan), onDisk);
    if (created.isEmpty()) {
        QCOMPARE(window.fileName(), m_plan);
        QCOMPARE(doc()->taskCount(), 3);
    } else {
        QCOMPARE(window.fileName(), path(created));
        QCOMPARE(cardsInFile(path(created)), 2);
    }
}

// The program is ended (a quit signal closes the window) while the new plan of a CSV file is
// being named, and the plan can't be written where it would go: from then on every dialog
// returns at once, unanswered, so asking until the save works would never end. The naming gives
// up; the CSV file and the plan that was open stay as they were.
void TestPlanFiles::aQuitWhileACsvPlanIsNamedEndsTheNaming()
{
    const QString csv = csvFile(path("People.csv"));
    const QByteArray planBytes = readBytes(m_plan);
    QTemporaryDir elsewhere;
    auto window = std::make_unique<MainWindow>();
    window->show();
    int asked = 0;
    const FileDialogFunction previous = setFileDialogFunction([&](const FileDialogRequest &) {
        FileDialogAnswer answer;
        if (++asked == 1) {
            window->close();
            QCoreApplication::exit(0);
        } else if (asked > 3) {
            // Without the end of the naming, a file that can be written ends it here.
            answer.path = elsewhere.filePath("People.tv");
        }
        return answer;
    });
    bool opened = true;
    {
        // The proposed plan goes beside the open one, where nothing can be created.
        ImmutablePaths frozen({m_folder->path()});
        ModalAnswer choice(QStringLiteral("New"));
        opened = window->openFile(csv, false);
        QVERIFY(choice.answered());
        // The event loop runs again, and dialogs wait for their answers again.
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        QCoreApplication::exec();
    }
    setFileDialogFunction(previous);
    QCOMPARE(asked, 1);
    QVERIFY(!window->isVisible());
    QVERIFY(!opened);
    QCOMPARE(window->fileName(), m_plan);
    QCOMPARE(doc()->taskCount(), 3);
    QCOMPARE(readBytes(m_plan), planBytes);
    QCOMPARE(readBytes(csv), QByteArray("Name\nAda\nBea\n"));
    QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files), QStringList({"People.csv", "Plan.tv"}));
    QVERIFY(!QFileInfo::exists(elsewhere.filePath("People.tv")));
}

void TestPlanFiles::perSaveCopyKeepsThePreviousSave_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("copy");
    QTest::addColumn<bool>("failing");
    QTest::newRow("suffix in capitals") << "Plan.TV"
                                        << "Plan.tvb" << false;
    QTest::newRow("another suffix gets no copy") << "Plan.plan"
                                                 << "" << false;
    QTest::newRow("a failing copy keeps the last one") << "Plan.tv"
                                                       << "Plan.tvb" << true;
}

void TestPlanFiles::perSaveCopyKeepsThePreviousSave()
{
    QFETCH(QString, name);
    QFETCH(QString, copy);
    QFETCH(bool, failing);
    settings()->setBackupEverySaveOn(true);
    QVERIFY(writeTestPlan(path(name), 3));
    const QByteArray previous = readBytes(path(name));
    if (failing)
        writeBytes(path(copy), "the copy of an earlier save");
    MainWindow window;
    QVERIFY(window.openFile(path(name), false));
    doc()->addTask(true);
    if (failing) {
        ModalAnswer writeFailed(QStringLiteral("OK"));
        FileSizeLimit limit(100);
        window.onIdleTimeOut();
        QVERIFY(writeFailed.answered());
        QCOMPARE(readBytes(path(copy)), QByteArray("the copy of an earlier save"));
        return;
    }
    window.onIdleTimeOut();
    QCOMPARE(cardsInFile(path(name)), 4);
    const QStringList copies = QDir(m_folder->path()).entryList({"*.tvb", "*.TVB"}, QDir::Files);
    QCOMPARE(copies, copy.isEmpty() ? QStringList() : QStringList {copy});
    if (!copy.isEmpty())
        QCOMPARE(readBytes(path(copy)), previous);
}

void TestPlanFiles::perSaveCopyNeverWritesThroughALink_data()
{
    QTest::addColumn<QString>("inPlace"); // what stands at the copy's name before the save
    QTest::addColumn<bool>("copied");
    QTest::newRow("link to a file outside the folder") << "link" << true;
    QTest::newRow("link leading nowhere") << "dangling link" << true;
    QTest::newRow("folder") << "folder" << false;
    QTest::newRow("pipe") << "pipe" << false;
}

// A plan shared with its folder may come with a Plan.tvb that links to a file of the user's:
// the save replaces the link by the copy, and the linked file stays as it was. What is no file
// at all is left as it is, with no copy.
void TestPlanFiles::perSaveCopyNeverWritesThroughALink()
{
    QFETCH(QString, inPlace);
    QFETCH(bool, copied);
    settings()->setBackupEverySaveOn(true);
    QTemporaryDir outside;
    const QString own = outside.filePath("own notes.txt");
    const QByteArray ownBytes("the user's own notes\n");
    writeBytes(own, ownBytes);
    const QString nowhere = outside.filePath("made through the link.txt");
    QVERIFY(writeTestPlan(path("Plan.tv"), 3));
    const QByteArray previous = readBytes(path("Plan.tv"));
    const QString copy = path("Plan.tvb");
    if (inPlace == "link")
        QVERIFY(QFile::link(own, copy));
    else if (inPlace == "dangling link")
        QVERIFY(QFile::link(nowhere, copy));
    else if (inPlace == "folder")
        QVERIFY(QDir().mkdir(copy));
    else
        QCOMPARE(mkfifo(QFile::encodeName(copy).constData(), 0600), 0);
    MainWindow window;
    QVERIFY(window.openFile(path("Plan.tv"), false));
    doc()->addTask(true);
    window.onIdleTimeOut();
    QCOMPARE(cardsInFile(path("Plan.tv")), 4);
    QCOMPARE(readBytes(own), ownBytes);
    QVERIFY(!QFileInfo::exists(nowhere));
    const QFileInfo left(copy);
    QVERIFY(!left.isSymLink());
    QCOMPARE(left.isFile(), copied);
    if (copied)
        QCOMPARE(readBytes(copy), previous);
    else
        QCOMPARE(left.isDir(), inPlace == "folder");
}

void TestPlanFiles::aPlanFileChangedOnDiskIsNeverOverwrittenUnasked_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<int>("cardsOnDisk");
    QTest::newRow("overwrite") << "Overwrite" << true << 4;
    QTest::newRow("discard") << "Discard" << true << 7;
    QTest::newRow("cancel") << "Cancel" << false << 7;
}

void TestPlanFiles::aPlanFileChangedOnDiskIsNeverOverwrittenUnasked()
{
    QFETCH(QString, button);
    QFETCH(bool, closes);
    QFETCH(int, cardsOnDisk);
    MainWindow window;
    window.show();
    doc()->addTask(true);
    writeFromOutside(m_plan, 7);
    window.onIdleTimeOut();
    QCOMPARE(cardsInFile(m_plan), 7);
    QVERIFY(window.isWindowModified());
    ModalAnswer answer(button);
    // Overwritten, the other version is kept aside, and the message says where.
    std::unique_ptr<ModalAnswer> told(cardsOnDisk == 4 ? new ModalAnswer("OK") : nullptr);
    QCOMPARE(window.close(), closes);
    QVERIFY(answer.answered());
    QVERIFY(answer.shownText().contains("has been changed by another application"));
    QCOMPARE(cardsInFile(m_plan), cardsOnDisk);
    if (told) {
        QVERIFY(told->answered());
        const QString copy = told->shownText().section('\'', 3, 3);
        QCOMPARE(cardsInFile(copy), 7);
    }
}

void TestPlanFiles::closingWithAFailedSaveAndCancelKeepsTheWindow_data()
{
    QTest::addColumn<bool>("tooLarge"); // else the disk takes no more than 100 bytes
    QTest::addColumn<QString>("message"); // of the failed autosave, %1 the plan file
    QTest::newRow("the write fails") << false << "Can't save '%1': File too large.";
    QTest::newRow("the plan is larger than can be opened")
        << true
        << "Can't save '%1': the plan is too large to be saved.\nIts file would be larger than "
           "can be opened again. Pictures and long texts are what make a plan this large.";
}

// An autosave that fails says why and changes nothing; closing asks, and Cancel keeps the edit.
void TestPlanFiles::closingWithAFailedSaveAndCancelKeepsTheWindow()
{
    QFETCH(bool, tooLarge);
    QFETCH(QString, message);
    const QByteArray onDisk = readBytes(m_plan);
    MainWindow window;
    window.show();
    doc()->addTask(true);
    {
        const auto restore = qScopeGuard([] { setMaximumPlanFileBytes(maximumTextFileBytes); });
        if (tooLarge)
            setMaximumPlanFileBytes(onDisk.size() + 10);
        FileSizeLimit limit(tooLarge ? RLIM_INFINITY : 100);
        ModalAnswer autosaveFailed(QStringLiteral("OK"));
        window.onIdleTimeOut();
        QVERIFY(autosaveFailed.answered());
        QCOMPARE(autosaveFailed.shownText(), message.arg(m_plan));
        QVERIFY(window.isWindowModified());
        QCOMPARE(readBytes(m_plan), onDisk);
        ModalAnswer writeFailed(QStringLiteral("OK"));
        ModalAnswer keep(QStringLiteral("Cancel"));
        QVERIFY(!window.close());
        QVERIFY(writeFailed.answered());
        QVERIFY(keep.answered());
        QCOMPARE(keep.shownText(),
                 QStringLiteral("Unable to save changes to '%1'. Do you wish to "
                                "exit and discard your changes?")
                     .arg(m_plan));
    }
    QCOMPARE(readBytes(m_plan), onDisk);
    QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files | QDir::Hidden), QStringList {"Plan.tv"});
    QVERIFY(window.isVisible());
    QVERIFY(window.isWindowModified());
    QVERIFY(!settings()->read(Settings::Key::Geometry).toByteArray().isEmpty());
    QVERIFY(window.close());
    QCOMPARE(cardsInFile(m_plan), 4);
}

void TestPlanFiles::readOnlyPlanWarnsOnceAfterThePanesUpdate()
{
    const QByteArray onDisk = readBytes(m_plan);
    MainWindow window;
    QVERIFY(window.openFile(m_plan, true));
    int cardsShownAtWarning = -1;
    ModalAnswer warning(QStringLiteral("OK"), {},
                        [&](QWidget *) { cardsShownAtWarning = cardItemCount(window); });
    doc()->addTask(true);
    // Not inside the change: the panes see it first.
    QVERIFY(!warning.answered());
    QTRY_VERIFY(warning.answered());
    QCOMPARE(cardsShownAtWarning, 4);
    QCOMPARE(warning.shownText(),
             QStringLiteral("This plan is opened read-only. Any changes will *not* be saved or "
                            "backed up.\nHowever you can 'File>Duplicate' your changes to a new "
                            "file."));
    // It looks for a warning through some 30 turns of the loop, however slowly they come on a
    // busy machine, and gives up before the plan is opened again.
    ModalAnswer again(QStringLiteral("OK"), {}, {}, 300);
    QSignalSpy givenUp(&again, &ModalAnswer::finished);
    doc()->addTask(true);
    window.onIdleTimeOut();
    QTRY_VERIFY_WITH_TIMEOUT(givenUp.count() == 1, 60000);
    QVERIFY(!again.answered());
    QCOMPARE(readBytes(m_plan), onDisk);
    // Opening it again arms the warning again.
    QVERIFY(window.openFile(m_plan, true));
    ModalAnswer reopened(QStringLiteral("OK"));
    doc()->addTask(true);
    QTRY_VERIFY(reopened.answered());
}

void TestPlanFiles::aPlanReadInPartIsOpenedWithANotice_data()
{
    QTest::addColumn<bool>("atStartup");
    QTest::newRow("File > Open") << false;
    QTest::newRow("the last plan at start-up") << true;
}

// Filter terms past those the file's size explains are left out, and the user is told once
// the plan is open, as for a plan of a later version.
void TestPlanFiles::aPlanReadInPartIsOpenedWithANotice()
{
    QFETCH(bool, atStartup);
    const QString cut = path("Terms.tv");
    // Every term far smaller than any the program writes: the current view's come first.
    const int terms = int(filterTermsAlwaysAllowed) + 500;
    writeBytes(cut, HostilePlans::manyFilterTerms(terms));
    const qint64 allowed = filterTermsAllowed(QFileInfo(cut).size());
    if (atStartup)
        presetQuietStartup(cut);
    QString openAtNotice;
    int termsAtNotice = -1;
    ModalAnswer notice(QStringLiteral("OK"), {}, [&](QWidget *) {
        openAtNotice = app()->planFileName();
        termsAtNotice = doc()->filterTerms().size();
    });
    MainWindow window;
    if (!atStartup)
        QVERIFY(window.openFile(cut, false));
    QVERIFY(notice.answered());
    QCOMPARE(notice.shownText(),
             QStringLiteral("The filters of the views in this plan hold more terms than the plan "
                            "explains. %1 of them were not read; they are left out when the plan "
                            "is saved.")
                 .arg(2 * terms - allowed));
    QCOMPARE(openAtNotice, cut);
    QCOMPARE(termsAtNotice, terms);
    QCOMPARE(doc()->storedViews().value(0).filterTerms.size(), int(allowed) - terms);
    QCOMPARE(window.fileName(), cut);
    QVERIFY(!window.isWindowModified());
}

void TestPlanFiles::aCsvFileCutAtABlankRowIsImportedWithANotice_data()
{
    QTest::addColumn<QString>("choice");
    QTest::addColumn<int>("cards");
    QTest::newRow("as a new plan") << "New" << 2;
    QTest::newRow("into the open plan") << "Current" << 5;
}

// The rows below a blank row are left out, and the user is told once the imported cards show.
void TestPlanFiles::aCsvFileCutAtABlankRowIsImportedWithANotice()
{
    QFETCH(QString, choice);
    QFETCH(int, cards);
    const QString csv = csvFile(path("People.csv"), "Name\nAda\n\"\"\n , \nBea\nCy\n");
    MainWindow window;
    QVERIFY(window.openFile(m_plan, false));
    ScriptedFileDialogs dialogs({""});
    ModalAnswer asked(choice);
    int cardsAtNotice = -1;
    ModalAnswer notice(QStringLiteral("OK"), {},
                       [&](QWidget *) { cardsAtNotice = cardItemCount(window); });
    QVERIFY(window.openFile(csv, false));
    QVERIFY(asked.answered());
    QVERIFY(notice.answered());
    QCOMPARE(notice.shownText(),
             QStringLiteral("A blank row in the file '%1' ended the import; the 2 rows after it "
                            "were left out.")
                 .arg(csv));
    QCOMPARE(cardsAtNotice, cards);
    QCOMPARE(cardsInFile(window.fileName()), cards);
}

void TestPlanFiles::recentFilesKeepTheTenNewest()
{
    MainWindow window;
    QStringList plans;
    for (int i = 0; i < 11; ++i) {
        plans << path(QStringLiteral("Plan %1.tv").arg(i));
        QVERIFY(writeTestPlan(plans.last(), 1));
        QVERIFY(window.openFile(plans.last(), false));
    }
    QStringList newestFirst;
    for (int i = 10; i >= 1; --i)
        newestFirst << plans.at(i);
    QCOMPARE(settings()->read(Settings::Key::RecentDocs).toStringList(), newestFirst);
    QVERIFY(window.openFile(plans.at(5), false));
    newestFirst.move(5, 0);
    QCOMPARE(settings()->read(Settings::Key::RecentDocs).toStringList(), newestFirst);
    // The menu offers every plan but the open one, then the clearing entry.
    auto *menu = window.findChild<QMenu *>("m_fileRecentDocs");
    QList<QAction *> entries = menu->actions();
    QCOMPARE(entries.size(), 9 + 2);
    QCOMPARE(entries.first()->text(), plans.at(10));
    QCOMPARE(entries.last()->text(), QStringLiteral("&Clear Menu"));
    // A plan deleted since stays listed after its entry fails.
    QFile::remove(plans.at(3));
    ModalAnswer missing(QStringLiteral("OK"));
    entries.at(6)->trigger();
    QVERIFY(missing.answered());
    QCOMPARE(missing.shownText(), QStringLiteral("Cannot find '%1'.").arg(plans.at(3)));
    QCOMPARE(window.fileName(), plans.at(5));
    QCOMPARE(settings()->read(Settings::Key::RecentDocs).toStringList(), newestFirst);
    menu->actions().last()->trigger();
    QVERIFY(settings()->read(Settings::Key::RecentDocs).toStringList().isEmpty());
    QVERIFY(!menu->isEnabled());
}

void TestPlanFiles::portableSettingsListEveryPlanButTheOpenOne()
{
    const QString other = path("Other.tv");
    QVERIFY(writeTestPlan(other, 2));
    QVERIFY(app()->usePortableSettings());
    {
        MainWindow window;
        QVERIFY(window.openFile(other, false));
        QCOMPARE(settings()->read(Settings::Key::RecentDocs).toStringList(),
                 (QStringList {relativePath(other), relativePath(m_plan)}));
        QStringList shown;
        for (QAction *action : window.findChild<QMenu *>("m_fileRecentDocs")->actions())
            shown << action->text();
        QCOMPARE(shown, (QStringList {relativePath(m_plan), QString(), "&Clear Menu"}));
    }
    QCOMPARE(settings()->read(Settings::Key::LastPlan).toString(), relativePath(other));
    QVERIFY(app()->useSystemSettings());
}

void TestPlanFiles::duplicateProposesRefusesAndCopies_data()
{
    QTest::addColumn<QString>("plan");
    QTest::addColumn<bool>("readOnlyChange");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("message"); // of the box answered with "OK"; empty for none
    QTest::addColumn<int>("copyCards"); // -1: no copy
    // An edit, then another program writes its version of 7 cards while the dialog is open.
    QTest::addColumn<bool>("landing");
    QTest::newRow("a.b.tv proposes a 2.b.tv") << "a.b.tv" << false << ""
                                              << "" << -1 << false;
    QTest::newRow("own name without suffix is refused before copying")
        << "Plan.tv" << false << "Plan"
        << "The duplicate cannot be saved over the current plan file." << -1 << false;
    QTest::newRow("a saved plan is copied") << "Plan.tv" << false << "Copy"
                                            << "" << 3 << false;
    QTest::newRow("read-only changes go to the copy only") << "Plan.tv" << true << "Copy"
                                                           << "" << 4 << false;
    QTest::newRow("a version written while the dialog is open: the copy is the plan shown")
        << "Plan.tv" << false << "Copy"
        << "" << 4 << true;
    // A copy renamed over it would take its place for every program that reads it.
    QTest::newRow("onto a pipe: refused, the pipe left")
        << "Plan.tv" << false << "Pipe.tv"
        << "Unable to create new file '%1'.\nIt is not a regular file." << -1 << false;
}

void TestPlanFiles::duplicateProposesRefusesAndCopies()
{
    QFETCH(QString, plan);
    QFETCH(bool, readOnlyChange);
    QFETCH(QString, chosen);
    QFETCH(QString, message);
    QFETCH(int, copyCards);
    QFETCH(bool, landing);
    QVERIFY(writeTestPlan(path(plan), 3));
    const QByteArray onDisk = readBytes(path(plan));
    const bool pipe = chosen == QLatin1String("Pipe.tv");
    if (pipe)
        QCOMPARE(mkfifo(QFile::encodeName(path(chosen)).constData(), 0600), 0);
    MainWindow window;
    QVERIFY(window.openFile(path(plan), readOnlyChange));
    if (readOnlyChange) {
        ModalAnswer warning(QStringLiteral("OK"));
        doc()->addTask(true);
        QTRY_VERIFY(warning.answered());
    }
    if (landing)
        doc()->addTask(true);
    ScriptedFileDialogs dialogs({chosen.isEmpty() ? QString() : path(chosen)});
    const FileDialogFunction scripted = setFileDialogFunction({});
    setFileDialogFunction([&](const FileDialogRequest &request) {
        if (landing)
            writeFromOutside(path(plan), 7);
        return scripted(request);
    });
    std::unique_ptr<ModalAnswer> refusal(message.isEmpty() ? nullptr : new ModalAnswer("OK"));
    std::unique_ptr<ModalAnswer> open(copyCards < 0 ? nullptr : new ModalAnswer("No"));
    window.onFileDuplicateAction();
    if (plan == "a.b.tv")
        QCOMPARE(dialogs.requests.first().path, path("a 2.b.tv"));
    if (refusal) {
        QVERIFY(refusal->answered());
        QCOMPARE(refusal->shownText(),
                 message.contains("%1") ? message.arg(path(chosen)) : message);
    }
    if (pipe)
        QVERIFY(QFileInfo::exists(path(chosen)) && !QFileInfo(path(chosen)).isFile());
    if (open)
        QVERIFY(open->answered());
    QCOMPARE(cardsInFile(path("Copy.tv")), copyCards);
    if (landing)
        QCOMPARE(cardsInFile(path(plan)), 7);
    else
        QCOMPARE(readBytes(path(plan)), onDisk);
    QCOMPARE(window.fileName(), path(plan));
    QCOMPARE(window.isWindowModified(), readOnlyChange);
}

// A full disk or a pulled stick: every save fails with a message that says which file and why,
// and Duplicate writes the plan shown, edits and all, to the new name, leaving the plan's own
// file as it was.
void TestPlanFiles::aPlanFileThatCannotTakeTheSaveIsDuplicatedWithTheEdits_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("message"); // of the failed save, %1 the plan file
    QTest::newRow("full disk") << "full"
                               << "Can't save '%1': No space left on device.";
    QTest::newRow("stick pulled, a file in the folder's place")
        << "pulled"
        << "Can't open file '%1' to write.\nNot a directory.";
}

void TestPlanFiles::aPlanFileThatCannotTakeTheSaveIsDuplicatedWithTheEdits()
{
    QFETCH(QString, fault);
    QFETCH(QString, message);
    const QString stick = path("Stick");
    QVERIFY(QDir().mkpath(stick));
    std::unique_ptr<SmallFileSystem> disk;
    if (fault == QLatin1String("full")) {
        disk.reset(new SmallFileSystem(stick, "size=1m"));
        if (!disk->isMounted())
            QSKIP(smallFileSystemRefused);
    }
    const QString plan = QDir::toNativeSeparators(stick + "/Plan.tv");
    QVERIFY(writeTestPlan(plan, 3));
    MainWindow window;
    QVERIFY(window.openFile(plan, false));
    addTypedCard("Typed by user");
    QString kept = plan; // where the plan's own file is afterwards
    if (disk) {
        QVERIFY(disk->fill());
    } else {
        kept = path("Pulled/Plan.tv");
        QVERIFY(QDir().rename(stick, path("Pulled")));
        writeBytes(stick, "a file where the folder was");
    }
    {
        ModalAnswer failed(QStringLiteral("OK"));
        window.onIdleTimeOut();
        QVERIFY(failed.answered());
        QCOMPARE(failed.shownText(), message.arg(plan));
    }
    QCOMPARE(cardNamesInFile(kept), testPlanNames(3));
    ScriptedFileDialogs dialogs({path("Copy")});
    ModalAnswer failedAgain(QStringLiteral("OK"));
    ModalAnswer open(QStringLiteral("No"));
    window.onFileDuplicateAction();
    QVERIFY(failedAgain.answered());
    QCOMPARE(dialogs.requests.size(), 1);
    QVERIFY(open.answered());
    QCOMPARE(cardNamesInFile(path("Copy.tv")), testPlanNames(3) << "Typed by user");
    QCOMPARE(cardNamesInFile(kept), testPlanNames(3));
    QCOMPARE(window.fileName(), plan);
    QVERIFY(window.isWindowModified());
}

// Autosave would fail at every pause; the plan is read-only instead, says so once, and is
// looked at again whenever the window is activated.
void TestPlanFiles::aFileThatCannotBeWrittenIsOpenedReadOnly_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("read-only file system") << "read-only";
    QTest::newRow("locked file") << "locked";
    QTest::newRow("file the user may not write") << "mode";
}

void TestPlanFiles::aFileThatCannotBeWrittenIsOpenedReadOnly()
{
    QFETCH(QString, fault);
    const QString folder = path("Disk");
    QVERIFY(QDir().mkpath(folder));
    std::unique_ptr<SmallFileSystem> disk;
    if (fault == QLatin1String("read-only")) {
        disk.reset(new SmallFileSystem(folder, "size=1m"));
        if (!disk->isMounted())
            QSKIP(smallFileSystemRefused);
    } else if (fault == QLatin1String("mode") && geteuid() == 0) {
        QSKIP("File modes do not stop root");
    }
    const QString plan = QDir::toNativeSeparators(folder + "/Plan.tv");
    QVERIFY(writeTestPlan(plan, 3));
    std::unique_ptr<ImmutablePaths> lock;
    const auto setWritable = [&](bool writable) {
        if (disk)
            return writable ? disk->remountWritable() : disk->remountReadOnly();
        if (fault == QLatin1String("locked")) {
            lock.reset(writable ? nullptr : new ImmutablePaths({plan}));
            return writable || lock->isActive();
        }
        return QFile::setPermissions(plan,
                                     writable ? QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                              : QFileDevice::ReadOwner);
    };
    if (!setWritable(false))
        QSKIP("The file system cannot lock files");
    const QByteArray onDisk = readBytes(plan);
    MainWindow window;
    QVERIFY(window.openFile(plan, false));
    const QString title = QStringLiteral("Tavrolo v2.4.1 : %1 [read-only][*]").arg(plan);
    QCOMPARE(window.windowTitle(), title);
    {
        ModalAnswer warning(QStringLiteral("OK"));
        addTypedCard("Typed by user");
        QTRY_VERIFY(warning.answered());
        QVERIFY(warning.shownText().startsWith("This plan is opened read-only."));
    }
    {
        ModalAnswer noError(QStringLiteral("OK"), {}, {}, 200);
        window.onIdleTimeOut();
        QTest::qWait(300);
        QVERIFY(!noError.answered());
    }
    QCOMPARE(readBytes(plan), onDisk);
    // Writable again: the next activation lets the autosave write the edits.
    QVERIFY(setWritable(true));
    activate(window);
    QCOMPARE(window.windowTitle(), QStringLiteral("Tavrolo v2.4.1 : %1[*]").arg(plan));
    window.onIdleTimeOut();
    QCOMPARE(cardNamesInFile(plan), testPlanNames(3) << "Typed by user");
    // Locked again while the window was elsewhere.
    QWidget elsewhere;
    activate(elsewhere);
    QVERIFY(setWritable(false));
    activate(window);
    QCOMPARE(window.windowTitle(), title);
    QVERIFY(setWritable(true));
}

// A name typed without a suffix would not be listed by File > Open, would be taken for a link
// when dropped, and would get no per-save copy; a name with a suffix of its own stays as typed.
void TestPlanFiles::aNameTypedWithoutSuffixGetsTheFileType_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::newRow("new plan") << "new"
                              << "Budget"
                              << "Budget.tv";
    QTest::newRow("new plan with a suffix of its own") << "new"
                                                       << "Budget.plan"
                                                       << "Budget.plan";
    QTest::newRow("CSV as a new plan") << "csv"
                                       << "Persons"
                                       << "Persons.tv";
    QTest::newRow("CSV export") << "export csv"
                                << "Table"
                                << "Table.csv";
    QTest::newRow("TXT export") << "export txt"
                                << "Table"
                                << "Table.txt";
}

void TestPlanFiles::aNameTypedWithoutSuffixGetsTheFileType()
{
    QFETCH(QString, command);
    QFETCH(QString, typed);
    QFETCH(QString, written);
    const QString csv = csvFile(path("People.csv"));
    MainWindow window;
    ScriptedFileDialogs dialogs({path(typed)});
    if (command == QLatin1String("new")) {
        window.onFileNewAction();
    } else if (command == QLatin1String("csv")) {
        ModalAnswer choice(QStringLiteral("New"));
        QVERIFY(window.openFile(csv, false));
    } else {
        const QString extension = command.section(' ', 1);
        QVERIFY(window.exportPlan(extension == "csv" ? MainWindow::ExportKind::Csv
                                                     : MainWindow::ExportKind::Txt,
                                  extension, nullptr));
    }
    QCOMPARE(dialogs.requests.size(), 1);
    QVERIFY(!QFileInfo::exists(path(typed)) || typed == written);
    QVERIFY(QFileInfo::exists(path(written)));
    if (command.startsWith(QLatin1String("export")))
        QVERIFY(readBytes(path(written)).startsWith("\"Name\""));
    else
        QVERIFY(cardsInFile(path(written)) >= 0);
    if (command == QLatin1String("new") || command == QLatin1String("csv"))
        QCOMPARE(window.fileName(), path(written));
}

// The program's own dialog knows the suffix too, so that it asks about replacing the file the
// name with the suffix stands for.
void TestPlanFiles::aNameTypedInTheQtDialogGetsTheFileType()
{
    MainWindow window;
    window.show();
    QVERIFY(writeTestPlan(path("Budget.tv"), 2));
    ModalAnswer named(QStringLiteral("Save"), {}, [&](QWidget *dialog) {
        dialog->findChild<QLineEdit *>("fileNameEdit")->setText(path("Budget"));
    });
    ModalAnswer replace(QStringLiteral("Yes"));
    window.onFileNewAction();
    QVERIFY(named.answered());
    QVERIFY(replace.answered());
    QVERIFY(replace.shownText().contains("Budget.tv"));
    QCOMPARE(window.fileName(), path("Budget.tv"));
    QCOMPARE(cardsInFile(path("Budget.tv")), 0);
    QVERIFY(!QFileInfo::exists(path("Budget")));
}

// A "&" in a path is no shortcut marker; a plan listed before the preferences moved between the
// platform store and the portable file, in the other form, is listed once.
void TestPlanFiles::recentFilesShowAmpersandsAndListEachPlanOnce()
{
    const QString research = path("R&D.tv");
    QVERIFY(writeTestPlan(research, 2));
    const QString other = path("Other.tv");
    QVERIFY(writeTestPlan(other, 1));
    const auto entriesFor = [](const QString &plan) {
        int count = 0;
        for (const QString &entry : settings()->read(Settings::Key::RecentDocs).toStringList())
            count += QFileInfo(absolutePath(entry)).canonicalFilePath()
                == QFileInfo(plan).canonicalFilePath();
        return count;
    };
    {
        MainWindow window;
        QVERIFY(window.openFile(research, false));
        QVERIFY(window.openFile(other, false));
        QAction *entry = window.findChild<QMenu *>("m_fileRecentDocs")->actions().first();
        QCOMPARE(entry->text(), QString(research).replace("&", "&&"));
        QVERIFY(QKeySequence::mnemonic(entry->text()).isEmpty());
        entry->trigger();
        QCOMPARE(window.fileName(), research);
        QVERIFY(app()->usePortableSettings());
        QVERIFY(window.openFile(other, false));
        QVERIFY(window.openFile(research, false));
        QCOMPARE(entriesFor(research), 1);
        QCOMPARE(entriesFor(other), 1);
        QVERIFY(app()->useSystemSettings());
        QVERIFY(window.openFile(other, false));
        QVERIFY(window.openFile(research, false));
        QCOMPARE(entriesFor(research), 1);
        QCOMPARE(entriesFor(other), 1);
        QCOMPARE(settings()->read(Settings::Key::RecentDocs).toStringList().first(), research);
    }
}

// Every road by which another plan takes this one's place saves first what the user sees: the
// text in an open cell editor goes into the plan's file, not into the plan that replaces it,
// whether a file dialog comes next or a menu, or nothing at all.
void TestPlanFiles::replacingThePlanSavesWhatIsBeingTyped_data()
{
    QTest::addColumn<int>("tab"); // 2 Table: a card's name; 3 Properties: a property's name
    QTest::addColumn<QString>("road");
    QTest::addColumn<QString>("next"); // the plan shown afterwards
    QTest::newRow("Table, Open") << 2 << "open"
                                 << "Other.tv";
    QTest::newRow("Properties, Open") << 3 << "open"
                                      << "Other.tv";
    QTest::newRow("Table, a recent plan") << 2 << "recent"
                                          << "Other.tv";
    QTest::newRow("Properties, a recent plan") << 3 << "recent"
                                               << "Other.tv";
    QTest::newRow("Table, a dropped plan file") << 2 << "drop"
                                                << "Other.tv";
    QTest::newRow("Properties, a file-open request") << 3 << "request"
                                                     << "Other.tv";
    QTest::newRow("Table, New") << 2 << "new"
                                << "New.tv";
    QTest::newRow("Properties, a CSV file as a new plan") << 3 << "csv"
                                                          << "People.tv";
    QTest::newRow("Table, a duplicate opened") << 2 << "duplicate"
                                               << "Copy.tv";
}

void TestPlanFiles::replacingThePlanSavesWhatIsBeingTyped()
{
    QFETCH(int, tab);
    QFETCH(QString, road);
    QFETCH(QString, next);
    const QString other = path("Other.tv");
    QVERIFY(writeTestPlan(other, 2, "Other"));
    const QByteArray otherOnDisk = readBytes(other);
    settings()->write(Settings::Key::RecentDocs, QStringList {other});
    settings()->setSuggestPropertiesNewPlan(false);
    MainWindow window;
    activate(window);
    const QString typed = QStringLiteral("Typed, not entered");
    QVERIFY(typeIntoCell(shownTable(window, tab), 0, tab == 2 ? 1 : 0, typed));
    QVERIFY(!window.isWindowModified());

    std::unique_ptr<ModalAnswer> answer;
    if (road == QLatin1String("open")) {
        ScriptedFileDialogs dialogs({other});
        window.onFileOpenAction();
    } else if (road == QLatin1String("recent")) {
        window.findChild<QMenu *>("m_fileRecentDocs")->actions().first()->trigger();
    } else if (road == QLatin1String("drop")) {
        window.openDroppedFiles({QUrl::fromLocalFile(other)}, -1, {});
    } else if (road == QLatin1String("request")) {
        QFileOpenEvent request(other);
        QCoreApplication::sendEvent(qApp, &request);
    } else if (road == QLatin1String("new")) {
        ScriptedFileDialogs dialogs({path(next)});
        window.onFileNewAction();
    } else if (road == QLatin1String("csv")) {
        ScriptedFileDialogs dialogs({csvFile(path("People.csv")), "="});
        answer.reset(new ModalAnswer(QStringLiteral("New")));
        window.onFileOpenAction();
    } else {
        ScriptedFileDialogs dialogs({path(next)});
        answer.reset(new ModalAnswer(QStringLiteral("Yes")));
        window.onFileDuplicateAction();
    }
    if (answer)
        QVERIFY(answer->answered());
    QCOMPARE(window.fileName(), path(next));
    QVERIFY(!window.isWindowModified());
    QCOMPARE(readBytes(other), otherOnDisk);
    QStringList plans {m_plan};
    if (road == QLatin1String("duplicate"))
        plans << path(next);
    for (const QString &plan : plans) {
        Document saved;
        QString error;
        bool later = false;
        QVERIFY2(readPlanFile(saved, plan, &error, &later), qPrintable(error));
        QCOMPARE(tab == 2 ? saved.value(0, 1) : saved.propertyName(1), typed);
    }
}

TAVROLO_TEST_MAIN(TestPlanFiles)
#include "tst_planfiles.moc"
