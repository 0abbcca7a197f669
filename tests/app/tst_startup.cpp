#include "app/Application.h"
#include "app/FileOpenEvent.h"
#include "app/MainWindow.h"
#include "common/Accessors.h"
#include "common/FileHelpers.h"
#include "common/Settings.h"
#include "common/Version.h"
#include "harness/FileFaults.h"
#include "harness/TestMain.h"

#include <QDir>
#include <QFile>
#include <QFileOpenEvent>

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
    void init();
    void requestsWaitForTheWindowThenOpenAtOnce();
    void offerIsMadeOncePerVersionWhateverTheAnswer_data();
    void offerIsMadeOncePerVersionWhateverTheAnswer();
};

// Each case starts with empty preferences, an empty data folder and a samples folder beside
// the program holding two plans.
void TestStartup::init()
{
    settings()->clear();
    QDir(dataFolder(true)).removeRecursively();
    QDir(samplesFolder()).removeRecursively();
    QVERIFY(writeFile(samplesFolder() + "/Garden.tv", "sample garden"));
    QVERIFY(writeFile(samplesFolder() + "/Trip.tv", "sample trip"));
}

void TestStartup::requestsWaitForTheWindowThenOpenAtOnce()
{
    settings()->setValue(MainWindow::samplesOfferKey(), 1);
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
}

void TestStartup::offerIsMadeOncePerVersionWhateverTheAnswer()
{
    QFETCH(QString, button);
    QFETCH(QString, before);
    QFETCH(QString, garden);
    if (before == "older version")
        settings()->setValue(
            MainWindow::samplesOfferKey(versionMajor - 1, versionMinor, versionPatch), 1);
    else if (before == "own garden")
        QVERIFY(writeFile(dataPath("Garden.tv"), "my own garden"));
    else if (before == "no documents")
        QVERIFY(QDir(QDir::homePath() + "/Documents").removeRecursively());
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
    QCOMPARE(settings()->value(MainWindow::samplesOfferKey()).toInt(), 1);
    QCOMPARE(readBytes(dataPath("Garden.tv")), garden.toUtf8());
    QCOMPARE(readBytes(dataPath("Trip.tv")),
             QByteArray(button == "Copy samples" ? "sample trip" : ""));
    ModalAnswer again(QStringLiteral("Copy samples"), {}, {}, 200);
    MainWindow window;
    QVERIFY(!again.answered());
}

TAVROLO_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
