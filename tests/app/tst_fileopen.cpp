#include "app/Application.h"
#include "app/FileOpenEvent.h"
#include "app/MainWindow.h"
#include "common/Accessors.h"
#include "common/Settings.h"
#include "harness/TestMain.h"

#include <QFileOpenEvent>

namespace {

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

class TestFileOpen : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void requestsBeforeTheWindowAreKeptForTheFirstPlan_data();
    void requestsBeforeTheWindowAreKeptForTheFirstPlan();
    void requestWithAWindowBecomesOneImmediateFileOpenEvent();
};

void TestFileOpen::init()
{
    Application::pendingOpenPath.clear();
    settings()->setValue(QStringLiteral("samples/samples_deployed_for_v241"), 1);
}

void TestFileOpen::requestsBeforeTheWindowAreKeptForTheFirstPlan_data()
{
    QTest::addColumn<QStringList>("paths");
    QTest::newRow("one request") << QStringList {"/plans/Launch.tv"};
    QTest::newRow("two requests keep the last")
        << QStringList {"/plans/Launch.tv", "/plans/Budget 2027.tv"};
    QTest::newRow("non-ASCII name") << QStringList {QString::fromUtf8("/plans/Übersicht é.tv")};
}

void TestFileOpen::requestsBeforeTheWindowAreKeptForTheFirstPlan()
{
    QFETCH(QStringList, paths);
    QVERIFY(!mainWindow());
    FileOpenRecorder recorder;
    app()->installEventFilter(&recorder);
    for (const QString &path : paths)
        sendFileOpen(path);
    app()->removeEventFilter(&recorder);
    QCOMPARE(Application::pendingOpenPath, paths.last());
    QVERIFY(recorder.urls.isEmpty());
}

void TestFileOpen::requestWithAWindowBecomesOneImmediateFileOpenEvent()
{
    MainWindow window;
    QCOMPARE(mainWindow(), &window);
    FileOpenRecorder recorder;
    app()->installEventFilter(&recorder);
    const bool handled = sendFileOpen(QStringLiteral("/plans/Launch plan.tv"));
    app()->removeEventFilter(&recorder);
    QVERIFY(handled);
    // Delivered inside the request, not posted for later.
    QCOMPARE(recorder.urls, QList<QUrl> {QUrl::fromLocalFile("/plans/Launch plan.tv")});
    QVERIFY(Application::pendingOpenPath.isEmpty());
}

TAVROLO_TEST_MAIN(TestFileOpen)
#include "tst_fileopen.moc"
