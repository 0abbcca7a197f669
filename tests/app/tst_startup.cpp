#include "MainWindowFixture.h"
#include "app/Application.h"
#include "app/FileOpenEvent.h"
#include "app/MainWindow.h"
#include "common/app/Accessors.h"
#include "common/core/FileHelpers.h"
#include "common/core/Version.h"
#include "common/widgets/Settings.h"
#include "harness/FileFaults.h"
#include "harness/TestMain.h"

#include <sys/stat.h>

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileOpenEvent>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>

namespace {

bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QString dataPath(const QString &name)
{
    return QDir(dataFolder(true)).absoluteFilePath(name);
}

QString samplesFolder()
{
    return app()->appDir().absoluteFilePath("samples");
}

// Where an installed program (bin/tavrolo) finds the sample plans of its prefix.
QString installedSamplesFolder()
{
    return QDir::cleanPath(app()->appDir().absoluteFilePath("../share/tavrolo/samples"));
}

// Records the file-open requests that reach the application object in the program's own form.
class FileOpenRecorder : public QObject
{
public:
    QList<QUrl> urls;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == app() && event->type() == FileOpenEvent::Type)
            urls << static_cast<FileOpenEvent *>(event)->url;
        return false;
    }
};

bool sendFileOpen(const QString &path)
{
    QFileOpenEvent request(path);
    return QCoreApplication::sendEvent(app(), &request);
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void requestsWaitForTheWindowThenOpenAtOnce();
    void requestDuringTheSampleOfferBecomesTheFirstPlan();
    void firstPlanComesFromTheRequestThenTheLastPlan_data();
    void firstPlanComesFromTheRequestThenTheLastPlan();
    void offerIsMadeOncePerVersionWhateverTheAnswer_data();
    void offerIsMadeOncePerVersionWhateverTheAnswer();
    void withoutAPlanTheStartWindowLeadsToOne_data();
    void withoutAPlanTheStartWindowLeadsToOne();
    void aFirstPlanThatIsNoFileIsReportedAndTheStartGoesOn_data();
    void aFirstPlanThatIsNoFileIsReportedAndTheStartGoesOn();
    void anUnwritablePortableFileIsReportedOnceUp();
    void aPlanAQuitCouldNotSaveIsToldOfOnce_data();
    void aPlanAQuitCouldNotSaveIsToldOfOnce();
    void theWindowRestoresOnlyTheShapesItWrote_data();
    void theWindowRestoresOnlyTheShapesItWrote();

private:
    QTemporaryDir m_folder;
    QString m_lastPlan;
    QString m_otherPlan;
};

void TestStartup::aPlanAQuitCouldNotSaveIsToldOfOnce_data()
{
    QTest::addColumn<QString>("keptAs");
    QTest::addColumn<QString>("lost");
    QTest::addColumn<QStringList>("told"); // the boxes shown, in order
    const QString keptAside
        = QStringLiteral("When Tavrolo was last ended, the plan shown could not be saved to its "
                         "file.\nIt has been kept as '/kept/Plan_unsaved.tv'.");
    const QString keptNowhere
        = QStringLiteral("When Tavrolo was last ended, the plan shown could not be saved to "
                         "'/plans/Plan.tv', nor kept in any other folder.\nIts last changes have "
                         "been lost.");
    QTest::newRow("kept aside") << "/kept/Plan_unsaved.tv" << QString() << QStringList {keptAside};
    QTest::newRow("kept nowhere") << QString() << "/plans/Plan.tv" << QStringList {keptNowhere};
    // Two copies of the program ended at one logout.
    QTest::newRow("one kept aside, one kept nowhere")
        << "/kept/Plan_unsaved.tv"
        << "/plans/Plan.tv" << QStringList {keptAside, keptNowhere};
}

// A quit from outside whose plan its file would not take: the next start says where the plan
// went, or that it went nowhere, and the start after it says nothing.
void TestStartup::aPlanAQuitCouldNotSaveIsToldOfOnce()
{
    QFETCH(QString, keptAs);
    QFETCH(QString, lost);
    QFETCH(QStringList, told);
    settings()->setValue(samplesOfferKey(), 1);
    settings()->write(Settings::Key::UnsavedPlanKeptAs, keptAs);
    settings()->write(Settings::Key::UnsavedPlanLost, lost);
    {
        // Every box answered OK as it comes, one opening as the one before closes.
        QStringList shown;
        QTimer answerer;
        connect(&answerer, &QTimer::timeout, [&shown] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            shown << box->text();
            box->button(QMessageBox::Ok)->click();
        });
        answerer.start(10);
        MainWindow window;
        QTRY_COMPARE(shown, told);
    }
    ModalAnswer again(QStringLiteral("OK"), {}, {}, 1000);
    MainWindow window;
    QTest::qWait(1200);
    QVERIFY(!again.answered());
}

void TestStartup::initTestCase()
{
    m_lastPlan = QDir::toNativeSeparators(m_folder.filePath("Last.tv"));
    m_otherPlan = QDir::toNativeSeparators(m_folder.filePath("Other plan.tv"));
    QVERIFY(writeTestPlan(m_lastPlan, 2));
    QVERIFY(writeTestPlan(m_otherPlan, 5));
}

// Each case starts with preferences naming a real last plan, an empty data folder and a
// samples folder beside the program holding two plans.
void TestStartup::init()
{
    presetQuietStartup(m_lastPlan);
    settings()->remove(samplesOfferKey());
    Application::pendingOpenPath.clear();
    QDir(dataFolder(true)).removeRecursively();
    QDir(samplesFolder()).removeRecursively();
    QDir(installedSamplesFolder()).removeRecursively();
    QVERIFY(writeFile(samplesFolder() + "/Garden.tv", "sample garden"));
    QVERIFY(writeFile(samplesFolder() + "/Trip.tv", "sample trip"));
}

void TestStartup::requestsWaitForTheWindowThenOpenAtOnce()
{
    settings()->setValue(samplesOfferKey(), 1);
    FileOpenRecorder recorder;
    app()->installEventFilter(&recorder);
    // Before the window the last request is kept for the first plan.
    QVERIFY(!mainWindow());
    sendFileOpen(QStringLiteral("/plans/Launch.tv"));
    sendFileOpen(QStringLiteral("/plans/Übersicht é.tv"));
    QCOMPARE(Application::pendingOpenPath, QStringLiteral("/plans/Übersicht é.tv"));
    QVERIFY(recorder.urls.isEmpty());
    Application::pendingOpenPath.clear();
    // With a window it is delivered inside the request, not posted for later.
    MainWindow window;
    QCOMPARE(mainWindow(), &window);
    QVERIFY(sendFileOpen(QStringLiteral("/plans/Launch plan.tv")));
    app()->removeEventFilter(&recorder);
    QCOMPARE(recorder.urls, QList<QUrl> {QUrl::fromLocalFile("/plans/Launch plan.tv")});
    QVERIFY(Application::pendingOpenPath.isEmpty());
}

// The window opens a request that came while it asked about the samples; the request does not
// reach the half-built window.
void TestStartup::requestDuringTheSampleOfferBecomesTheFirstPlan()
{
    FileOpenRecorder recorder;
    app()->installEventFilter(&recorder);
    bool windowDuringOffer = true;
    ModalAnswer answer(QStringLiteral("No thanks"), {}, [&](QWidget *) {
        windowDuringOffer = mainWindow() != nullptr;
        sendFileOpen(m_otherPlan);
    });
    MainWindow window;
    app()->removeEventFilter(&recorder);
    QVERIFY(answer.answered());
    QVERIFY(!windowDuringOffer);
    QVERIFY(recorder.urls.isEmpty());
    QCOMPARE(window.fileName(), m_otherPlan);
    QCOMPARE(doc()->taskCount(), 5);
    QVERIFY(Application::pendingOpenPath.isEmpty());
    QCOMPARE(mainWindow(), &window);
}

void TestStartup::firstPlanComesFromTheRequestThenTheLastPlan_data()
{
    QTest::addColumn<QString>("pending");
    QTest::addColumn<QString>("lastPlan"); // "relative": the last plan relative to the app folder
    QTest::addColumn<int>("cards");
    QTest::newRow("last plan") << ""
                               << "last" << 2;
    QTest::newRow("a request beats the last plan") << "other"
                                                   << "last" << 5;
    QTest::newRow("last plan relative to the application folder") << ""
                                                                  << "relative" << 2;
}

void TestStartup::firstPlanComesFromTheRequestThenTheLastPlan()
{
    QFETCH(QString, pending);
    QFETCH(QString, lastPlan);
    QFETCH(int, cards);
    settings()->setValue(samplesOfferKey(), 1);
    if (lastPlan == "relative")
        settings()->write(Settings::Key::LastPlan, relativePath(m_lastPlan));
    if (pending == "other")
        Application::pendingOpenPath = m_otherPlan;
    MainWindow window;
    QCOMPARE(window.fileName(), cards == 5 ? m_otherPlan : m_lastPlan);
    QCOMPARE(doc()->taskCount(), cards);
    QVERIFY(Application::pendingOpenPath.isEmpty());
}

void TestStartup::offerIsMadeOncePerVersionWhateverTheAnswer_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("garden"); // the data folder's Garden.tv afterwards
    const auto row
        = [](const char *name, const char *button, const char *before, const char *garden) {
              QTest::newRow(name) << QString(button) << QString(before) << QString(garden);
          };
    row("copy samples", "Copy samples", "", "sample garden");
    row("no thanks", "No thanks", "", "");
    row("an older version asked before", "Copy samples", "older version", "sample garden");
    row("the user's own plan is not overwritten", "Copy samples", "own garden", "my own garden");
    // A fresh Linux account need not have a Documents folder yet.
    row("no Documents folder yet", "Copy samples", "no documents", "sample garden");
    row("an installed program's samples", "Copy samples", "installed", "sample garden");
}

void TestStartup::offerIsMadeOncePerVersionWhateverTheAnswer()
{
    QFETCH(QString, button);
    QFETCH(QString, before);
    QFETCH(QString, garden);
    if (before == "older version")
        settings()->setValue(samplesOfferKey(versionMajor - 1, versionMinor, versionPatch), 1);
    else if (before == "own garden")
        QVERIFY(writeFile(dataPath("Garden.tv"), "my own garden"));
    else if (before == "no documents")
        QVERIFY(QDir(QDir::homePath() + "/Documents").removeRecursively());
    else if (before == "installed")
        QVERIFY(QDir().mkpath(QFileInfo(installedSamplesFolder()).path())
                && QDir().rename(samplesFolder(), installedSamplesFolder()));
    {
        ModalAnswer answer(button);
        MainWindow window;
        QVERIFY(answer.answered());
        QCOMPARE(answer.shownText(),
                 QStringLiteral("Tavrolo would like to copy some sample plans to '%1'. No existing "
                                "files will be overwritten. Is that OK?")
                     .arg(dataFolder(false)));
        QCOMPARE(window.hasSamplePlans(), !garden.isEmpty());
    }
    QCOMPARE(settings()->value(samplesOfferKey()).toInt(), 1);
    QCOMPARE(readBytes(dataPath("Garden.tv")), garden.toUtf8());
    QCOMPARE(readBytes(dataPath("Trip.tv")),
             QByteArray(button == "Copy samples" ? "sample trip" : ""));
    ModalAnswer again(QStringLiteral("Copy samples"), {}, {}, 200);
    MainWindow window;
    QVERIFY(!again.answered());
}

void TestStartup::withoutAPlanTheStartWindowLeadsToOne_data()
{
    QTest::addColumn<QString>("choice");
    QTest::addColumn<QString>("plan"); // in the data folder
    QTest::addColumn<int>("cards");
    QTest::newRow("a new plan") << "Start a new plan"
                                << "unnamed.tv" << 0;
    QTest::newRow("a CSV file as a new plan") << "Open a .CSV file"
                                              << "People.tv" << 2;
}

// The last plan is gone: the start-up window's choice ends with a plan on disk, named as
// proposed.
void TestStartup::withoutAPlanTheStartWindowLeadsToOne()
{
    QFETCH(QString, choice);
    QFETCH(QString, plan);
    QFETCH(int, cards);
    settings()->setValue(samplesOfferKey(), 1);
    settings()->write(Settings::Key::LastPlan, m_folder.filePath("Gone.tv"));
    const QString csv = m_folder.filePath("People.csv");
    QVERIFY(writeFile(csv, "Name\nAda\nBea\n"));
    ScriptedFileDialogs dialogs({cards > 0 ? csv : QStringLiteral("="), QStringLiteral("=")});
    ModalAnswer start(choice);
    ModalAnswer newPlan(QStringLiteral("New"));
    MainWindow window;
    QVERIFY(start.answered());
    QCOMPARE(start.shownClassName(), QStringLiteral("GettingStartedDialog"));
    QCOMPARE(newPlan.answered(), cards > 0);
    QCOMPARE(window.fileName(), QDir::toNativeSeparators(dataPath(plan)));
    QCOMPARE(cardsInFile(window.fileName()), cards);
    if (cards > 0)
        QCOMPARE(dialogs.requests.first().selectedFilter, QStringLiteral("CSV Files (*.csv)"));
}

void TestStartup::aFirstPlanThatIsNoFileIsReportedAndTheStartGoesOn_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("requested"); // by the system before the window, else the last plan
    const QString pipe = m_folder.filePath("Pipe.tv");
    QVERIFY(QFileInfo::exists(pipe) || mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
    // A file of the system that passes for an empty regular file and reads on for gigabytes,
    // named directly or by a plan that links to it.
    const QString endless = QStringLiteral("/proc/self/pagemap");
    const QString shared = m_folder.filePath("shared.tv");
    QVERIFY(QFileInfo(shared).isSymLink() || QFile::link(endless, shared));
    QTest::newRow("device as the last plan") << "/dev/zero" << false;
    QTest::newRow("pipe as the last plan") << pipe << false;
    QTest::newRow("device asked for by the system") << "/dev/zero" << true;
    QTest::newRow("pipe asked for by the system") << pipe << true;
    QTest::newRow("endless file as the last plan") << endless << false;
    QTest::newRow("link to an endless file as the last plan") << shared << false;
}

// A device would be read without end and a pipe would hold the start before any window: the
// window says it can't open the file, then goes on as without a plan.
void TestStartup::aFirstPlanThatIsNoFileIsReportedAndTheStartGoesOn()
{
    QFETCH(QString, path);
    QFETCH(bool, requested);
    settings()->setValue(samplesOfferKey(), 1);
    if (requested)
        Application::pendingOpenPath = path;
    else
        settings()->write(Settings::Key::LastPlan, path);
    ScriptedFileDialogs dialogs({QStringLiteral("=")});
    ModalAnswer report(QStringLiteral("OK"));
    ModalAnswer start(QStringLiteral("Start a new plan"));
    MainWindow window;
    QVERIFY(report.answered());
    QCOMPARE(report.shownText(), QStringLiteral("Can't open file '%1'").arg(path));
    QVERIFY(start.answered());
    QCOMPARE(window.fileName(), QDir::toNativeSeparators(dataPath("unnamed.tv")));
}

// The preferences in a portable file that cannot be written: the window says so once the
// start-up completes, naming the platform store as the way out.
void TestStartup::anUnwritablePortableFileIsReportedOnceUp()
{
    settings()->setValue(samplesOfferKey(), 1);
    QVERIFY(app()->usePortableSettings());
    settings()->sync();
    {
        ImmutablePaths locked({app()->iniFilePath()});
        if (!locked.isActive()) {
            QVERIFY(app()->useSystemSettings());
            QSKIP("the portable file cannot be locked here");
        }
        QVERIFY(!settings()->isWritable());
        ModalAnswer report(QStringLiteral("OK"));
        MainWindow window;
        QVERIFY(!report.answered());
        QTRY_VERIFY(report.answered());
        QCOMPARE(report.shownText(),
                 QStringLiteral("Cannot write to '%1'.\nMake sure the file and folder have write "
                                "permission\nor store 'Preferences' in %2.")
                     .arg(app()->iniFilePath(), Settings().fileName()));
    }
    QVERIFY(app()->useSystemSettings());
}

void TestStartup::theWindowRestoresOnlyTheShapesItWrote_data()
{
    // "own" stands for what the window itself kept at its close, its tool bar hidden.
    QTest::addColumn<QByteArray>("state");
    QTest::addColumn<QByteArray>("geometry");
    QTest::addColumn<bool>("restored");
    QTest::newRow("its own") << QByteArray("own") << QByteArray("own") << true;
    // Thirteen bytes from a preferences file handed on: held Qt's restore for two minutes.
    QTest::newRow("a state claiming 2^31 - 1 tool-bar lines")
        << QByteArray::fromHex("000000ff00000000fc7fffffff") << QByteArray() << false;
    QByteArray huge;
    {
        QWidget probe;
        probe.setGeometry(0, 0, 100000, 100000);
        huge = probe.saveGeometry();
    }
    QTest::newRow("a window 100,000 pixels a side") << QByteArray() << huge << false;
    // Its tool bar shown and floating at 32767 x 65535: held the start for seconds and
    // gigabytes, or crashed in the backing store.
    QTest::newRow("a tool bar floating at 32767 x 65535")
        << QByteArray::fromHex("000000ff00000000" // the state's mark and version 0
                               "fc0000000100000002" // one tool-bar line, along the top
                               "00000001" // one tool bar: "m_mainToolBar"
                               "0000001a006d005f006d00610069006e0054006f006f006c00420061"
                               "0072"
                               "0100000000ffffffff" // shown, at 0, of its own size
                               // floating from (0, 0) (offset by 0x7fff), 32767 x 65535
                               "fffeffffffff7fff")
        << QByteArray() << false;
}

void TestStartup::theWindowRestoresOnlyTheShapesItWrote()
{
    QFETCH(QByteArray, state);
    QFETCH(QByteArray, geometry);
    QFETCH(bool, restored);
    settings()->setValue(samplesOfferKey(), 1);
    const QSize ownSize(640, 420);
    if (state == "own") {
        MainWindow first;
        first.show();
        first.findChild<QToolBar *>("m_mainToolBar")->hide();
        first.resize(ownSize);
        QVERIFY(first.close());
        state = settings()->read(Settings::Key::WindowState).toByteArray();
        geometry = settings()->read(Settings::Key::Geometry).toByteArray();
    }
    settings()->write(Settings::Key::WindowState, state);
    settings()->write(Settings::Key::Geometry, geometry);
    MainWindow window;
    QCOMPARE(window.findChild<QToolBar *>("m_mainToolBar")->isHidden(), restored);
    QVERIFY(!window.findChild<QToolBar *>("m_mainToolBar")->isFloating());
    if (restored)
        QCOMPARE(window.size(), ownSize);
    else
        QVERIFY(window.width() < 10000 && window.height() < 10000);
}

TAVROLO_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
