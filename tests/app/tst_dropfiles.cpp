#include "MainWindowFixture.h"
#include "app/DropFilesEvent.h"
#include "common/widgets/MessageBoxes.h"
#include "harness/DocumentRecorder.h"
#include "harness/FileFaults.h"
#include "harness/TestMain.h"
#include "model/Image.h"
#include "storage/HostilePlans.h"
#include "storage/PlanFileReader.h"

#include <memory>

#include <QFileOpenEvent>
#include <QImage>
#include <QTemporaryDir>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

// Delivered as the event loop would deliver the drop.
void drop(MainWindow &window, const QList<QUrl> &urls, TaskIndex task,
          const QList<PropertyIndexAndValue> &presets = {})
{
    window.onDroppedFiles(urls, task, presets);
    QCoreApplication::sendPostedEvents(&window, DropFilesEvent::Type);
}

QList<int> linkCounts()
{
    QList<int> counts;
    for (TaskIndex task = 0; task < doc()->taskCount(); ++task)
        counts.append(doc()->task(task).hyperLinks().size());
    return counts;
}

} // namespace

// Files and links dropped on the window's views, and the operating system's open requests.
class TestDropFiles : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void twoDroppedPlansOpenTheFirstAfterSaving();
    void picturesOnEmptySpaceMakeOneCard_data();
    void picturesOnEmptySpaceMakeOneCard();
    void filesAndLinksOnACardAreOneUndoStep_data();
    void filesAndLinksOnACardAreOneUndoStep();
    void aCardRenumberedBeforeDeliveryCountsAsNoCard_data();
    void aCardRenumberedBeforeDeliveryCountsAsNoCard();
    void requestsWaitWhileADialogIsOpen();

private:
    QString path(const QString &name) const
    {
        return QDir::toNativeSeparators(m_folder->filePath(name));
    }
    QUrl picture(const QString &name, const QColor &color) const
    {
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(color);
        image.save(path(name), "PNG");
        return QUrl::fromLocalFile(path(name));
    }

    // A file of another format that Qt reads, named as a PNG: "svgz" inflating to a gibibyte,
    // "svg" holding a JPEG of ten thousand scans, "ico" holding a PNG over the area limit.
    QUrl foreign(const QString &kind) const
    {
        using namespace HostilePlans;
        const QByteArray bytes = kind == QLatin1String("svgz")
            ? svgzInflatingTo(svgShowingData(blackPng(8, 8)), 1024)
            : kind == QLatin1String("svg") ? svgShowingJpeg(progressiveJpeg(64, 10000))
                                           : icoHolding(blackPng(9000, 9000));
        return QUrl::fromLocalFile(writeBytes(path(kind + QStringLiteral(".png")), bytes));
    }

    std::unique_ptr<QTemporaryDir> m_folder;
    QString m_plan; // "Plan.tv": the property Name and 3 cards
    std::unique_ptr<MainWindow> m_window;
};

void TestDropFiles::init()
{
    m_folder.reset(new QTemporaryDir);
    m_plan = path("Plan.tv");
    QVERIFY(writeTestPlan(m_plan, 3));
    presetQuietStartup(m_plan);
    m_window.reset(new MainWindow);
    QCOMPARE(m_window->fileName(), m_plan);
}

void TestDropFiles::cleanup()
{
    m_window.reset();
    m_folder.reset();
}

void TestDropFiles::twoDroppedPlansOpenTheFirstAfterSaving()
{
    QVERIFY(writeTestPlan(path("Second.tv"), 5));
    QVERIFY(writeTestPlan(path("Third.tv"), 7));
    doc()->addTaskWithValues({{1, QStringLiteral("Unsaved")}}, QString(), {}, -1, true);
    drop(*m_window, {QUrl::fromLocalFile(path("Second.tv")), QUrl::fromLocalFile(path("Third.tv"))},
         -1);
    QCOMPARE(m_window->fileName(), path("Second.tv"));
    QCOMPARE(doc()->taskCount(), 5);
    QCOMPARE(cardsInFile(m_plan), 4);
}

void TestDropFiles::picturesOnEmptySpaceMakeOneCard_data()
{
    // Colour names; "link" for a web link, "pipe" for a named pipe called pipe.png.
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<int>("libraryBefore");
    QTest::addColumn<int>("libraryAfter");
    QTest::addColumn<int>("cardImage");
    QTest::newRow("three pictures, the card gets the third")
        << QStringList {"red", "green", "blue"} << 0 << 3 << 2;
    QTest::newRow("a picture of the library is used again") << QStringList {"red"} << 1 << 1 << 0;
    QTest::newRow("a picture and a link give the picture alone")
        << QStringList {"blue", "link"} << 0 << 1 << 0;
    // Opening it would wait for good until something wrote to it.
    QTest::newRow("a pipe named as a picture gives none")
        << QStringList {"pipe", "red"} << 0 << 1 << 0;
    // Read as what they are, they would hold the program for seconds and gigabytes, or end it.
    QTest::newRow("an svgz named as a picture gives none")
        << QStringList {"red", "svgz"} << 0 << 1 << 0;
    QTest::newRow("an svg holding a jpeg of many scans gives none")
        << QStringList {"red", "svg"} << 0 << 1 << 0;
    QTest::newRow("an icon holding a large png gives none")
        << QStringList {"red", "ico"} << 0 << 1 << 0;
}

void TestDropFiles::picturesOnEmptySpaceMakeOneCard()
{
    QFETCH(QStringList, files);
    QFETCH(int, libraryBefore);
    QFETCH(int, libraryAfter);
    QFETCH(int, cardImage);
    if (libraryBefore == 1)
        doc()->addImage(Image(picture("library.png", Qt::red).toLocalFile()), false);
    QList<QUrl> urls;
    for (const QString &name : files) {
        if (name == QLatin1String("pipe")) {
#ifdef Q_OS_UNIX
            QCOMPARE(mkfifo(QFile::encodeName(path("pipe.png")).constData(), 0600), 0);
            urls << QUrl::fromLocalFile(path("pipe.png"));
            continue;
#else
            QSKIP("This system has no named pipes.");
#endif
        }
        if (name == QLatin1String("svgz") || name == QLatin1String("svg")
            || name == QLatin1String("ico")) {
            urls << foreign(name);
            continue;
        }
        urls << (name == QLatin1String("link")
                     ? QUrl(QStringLiteral("https://example.com/plan"))
                     // Suffixes count in any case.
                     : picture(name + QStringLiteral(".PNG"), QColor(name)));
    }
    ModalAnswer accept(QStringLiteral("OK"));
    drop(*m_window, urls, -1, {{1, QStringLiteral("From the cell")}});
    QVERIFY(accept.answered());
    QCOMPARE(accept.shownClassName(), QStringLiteral("TaskDialog"));
    QCOMPARE(doc()->taskCount(), 4);
    QCOMPARE(doc()->imageCount(), libraryAfter);
    QCOMPARE(doc()->task(3).imageIndex(), cardImage);
    QVERIFY(doc()->task(3).hyperLinks().isEmpty());
    QCOMPARE(doc()->value(3, 1), QStringLiteral("From the cell"));
}

void TestDropFiles::filesAndLinksOnACardAreOneUndoStep_data()
{
    QTest::addColumn<bool>("pictures");
    QTest::addColumn<QString>("foreign"); // a file of another format, dropped last
    QTest::newRow("a document and a web link") << false << "";
    QTest::newRow("two pictures") << true << "";
    QTest::newRow("two pictures and an svgz named as a picture") << true << "svgz";
    QTest::newRow("two pictures and an svg holding a jpeg of many scans") << true << "svg";
    QTest::newRow("two pictures and an icon holding a large png") << true << "ico";
}

void TestDropFiles::filesAndLinksOnACardAreOneUndoStep()
{
    QFETCH(bool, pictures);
    QFETCH(QString, foreign);
    QList<QUrl> urls;
    if (pictures) {
        urls << picture("a.png", Qt::red) << picture("b.jpg", Qt::green);
        if (!foreign.isEmpty())
            urls << this->foreign(foreign);
    } else {
        writeBytes(path("notes.txt"), "notes");
        urls << QUrl::fromLocalFile(path("notes.txt"))
             << QUrl(QStringLiteral("https://example.com/page"));
    }
    urls << QUrl::fromLocalFile(path("missing.txt"));
    DocumentRecorder recorder(*doc());
    drop(*m_window, urls, 1);
    QCOMPARE(recorder.undoTexts,
             QStringList {pictures ? QStringLiteral("Add Images") : QStringLiteral("Add Links")});
    QCOMPARE(doc()->taskCount(), 3);
    QCOMPARE(linkCounts(), pictures ? QList<int>({0, 0, 0}) : QList<int>({0, 2, 0}));
    QCOMPARE(doc()->task(1).imageIndex(), pictures ? 1 : -1);
    QCOMPARE(doc()->imageCount(), pictures ? 2 : 0);
}

// A reload, an undo or a deletion between the drop and its delivery gives the dropped-on index
// to another card or to none: the links then go to a new card, never to a wrong one.
void TestDropFiles::aCardRenumberedBeforeDeliveryCountsAsNoCard_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<TaskIndex>("target");
    QTest::newRow("the card before it deleted") << "delete first" << 1;
    QTest::newRow("the card itself deleted") << "delete last" << 2;
    QTest::newRow("the card's addition undone") << "undo" << 3;
    QTest::newRow("the plan read again") << "reload" << 0;
}

void TestDropFiles::aCardRenumberedBeforeDeliveryCountsAsNoCard()
{
    QFETCH(QString, change);
    QFETCH(TaskIndex, target);
    if (change == QLatin1String("undo"))
        doc()->addTaskWithValues({{1, QStringLiteral("Fourth")}}, QString(), {}, -1, true);
    m_window->onDroppedFiles({QUrl(QStringLiteral("https://example.com/x"))}, target, {});
    if (change == QLatin1String("delete first"))
        doc()->deleteTasks({0}, true);
    else if (change == QLatin1String("delete last"))
        doc()->deleteTasks({2}, true);
    else if (change == QLatin1String("undo"))
        m_window->onEditUndoAction();
    else
        m_window->openFile(m_plan, false);
    const QList<int> before = linkCounts();
    ModalAnswer cancel(QStringLiteral("Cancel"));
    QCoreApplication::sendPostedEvents(m_window.get(), DropFilesEvent::Type);
    QVERIFY(cancel.answered());
    QCOMPARE(cancel.shownClassName(), QStringLiteral("TaskDialog"));
    QCOMPARE(linkCounts(), before);
}

// The drop and the open request wait for the message box to close, then run in their order: the
// link goes to the card it was dropped on, and the plan is saved before the next one opens.
void TestDropFiles::requestsWaitWhileADialogIsOpen()
{
    QVERIFY(writeTestPlan(path("Second.tv"), 5));
    bool waited = false;
    ModalAnswer answer(QStringLiteral("OK"), {}, [&](QWidget *) {
        drop(*m_window, {QUrl(QStringLiteral("https://example.com/x"))}, 2);
        QFileOpenEvent request(path("Second.tv"));
        QCoreApplication::sendEvent(qApp, &request);
        waited = linkCounts() == QList<int>({0, 0, 0}) && m_window->fileName() == m_plan;
    });
    criticalMessage(m_window.get(), QStringLiteral("Busy"));
    QVERIFY(answer.answered());
    QVERIFY(waited);
    QTRY_COMPARE(m_window->fileName(), path("Second.tv"));
    Document first;
    QString error;
    bool later = false;
    QVERIFY(readPlanFile(first, m_plan, &error, &later));
    QCOMPARE(first.task(2).hyperLinks().size(), 1);
}

TAVROLO_TEST_MAIN(TestDropFiles)
#include "tst_dropfiles.moc"
