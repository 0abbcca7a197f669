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
    void requestsWaitForTheWindowThenOpenAtOnce();
};

void TestFileOpen::requestsWaitForTheWindowThenOpenAtOnce()
{
    settings()->setValue(QStringLiteral("samples/samples_deployed_for_v241"), 1);
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

TAVROLO_TEST_MAIN(TestFileOpen)
#include "tst_fileopen.moc"
