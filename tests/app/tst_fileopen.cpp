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
    void requestsBeforeTheWindowAreKeptForTheFirstPlan();
    void requestWithAWindowBecomesOneImmediateFileOpenEvent();
};

void TestFileOpen::init()
{
    Application::pendingOpenPath.clear();
    settings()->setValue(QStringLiteral("samples/samples_deployed_for_v241"), 1);
}

void TestFileOpen::requestsBeforeTheWindowAreKeptForTheFirstPlan()
{
    QVERIFY(!mainWindow());
    FileOpenRecorder recorder;
    app()->installEventFilter(&recorder);
    sendFileOpen(QStringLiteral("/plans/Launch.tv"));
    sendFileOpen(QStringLiteral("/plans/Übersicht é.tv"));
    app()->removeEventFilter(&recorder);
    QCOMPARE(Application::pendingOpenPath, QStringLiteral("/plans/Übersicht é.tv"));
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
