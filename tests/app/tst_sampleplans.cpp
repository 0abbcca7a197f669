#include "app/Application.h"
#include "app/MainWindow.h"
#include "common/Accessors.h"
#include "common/FileHelpers.h"
#include "common/Settings.h"
#include "harness/TestMain.h"

#include <QDir>
#include <QFile>

namespace {

const char offerKey[] = "samples/samples_deployed_for_v241";

bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString dataPath(const QString &name)
{
    return QDir(dataFolder(true)).absoluteFilePath(name);
}

} // namespace

class TestSamplePlans : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void offerIsMadeOncePerVersionWhateverTheAnswer_data();
    void offerIsMadeOncePerVersionWhateverTheAnswer();
    void copyingKeepsThePlansTheUserAlreadyHas();
    void missingSamplesFolderStillRecordsTheOffer();
    void shippedSamplesAreCopiedIntoTheDataFolder();
    void hasSamplePlansLooksOnlyAtReadablePlanFiles_data();
    void hasSamplePlansLooksOnlyAtReadablePlanFiles();
};

// Each case starts with empty preferences, an empty data folder and a samples folder beside
// the program holding two plans.
void TestSamplePlans::init()
{
    settings()->clear();
    QDir(dataFolder(true)).removeRecursively();
    QDir samples(app()->appDir().absoluteFilePath("samples"));
    samples.removeRecursively();
    QVERIFY(writeFile(samples.absoluteFilePath("Garden.tv"), "sample garden"));
    QVERIFY(writeFile(samples.absoluteFilePath("Trip.tv"), "sample trip"));
}

void TestSamplePlans::offerIsMadeOncePerVersionWhateverTheAnswer_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("otherVersionSeen");
    QTest::addColumn<bool>("copied");
    QTest::newRow("copy samples") << "Copy samples" << false << true;
    QTest::newRow("no thanks") << "No thanks" << false << false;
    QTest::newRow("an older version asked before") << "Copy samples" << true << true;
}

void TestSamplePlans::offerIsMadeOncePerVersionWhateverTheAnswer()
{
    QFETCH(QString, button);
    QFETCH(bool, otherVersionSeen);
    QFETCH(bool, copied);
    if (otherVersionSeen)
        settings()->setValue(QStringLiteral("samples/samples_deployed_for_v240"), 1);
    {
        ModalAnswer answer(button);
        MainWindow window;
        QVERIFY(answer.answered());
        QCOMPARE(answer.shownText(),
                 QStringLiteral("Tavrolo would like to copy some sample plans to '%1'. No existing "
                                "files will be overwritten. Is that OK?")
                     .arg(dataFolder(false)));
    }
    QCOMPARE(settings()->value(offerKey).toInt(), 1);
    QCOMPARE(QFile::exists(dataPath("Garden.tv")), copied);
    QCOMPARE(QFile::exists(dataPath("Trip.tv")), copied);
    {
        ModalAnswer again(QStringLiteral("Copy samples"), {}, {}, 200);
        MainWindow window;
        QVERIFY(!again.answered());
    }
    QCOMPARE(QFile::exists(dataPath("Garden.tv")), copied);
}

void TestSamplePlans::copyingKeepsThePlansTheUserAlreadyHas()
{
    QVERIFY(writeFile(dataPath("Garden.tv"), "my own garden"));
    ModalAnswer answer(QStringLiteral("Copy samples"));
    MainWindow window;
    QVERIFY(answer.answered());
    QCOMPARE(readFile(dataPath("Garden.tv")), QByteArray("my own garden"));
    QCOMPARE(readFile(dataPath("Trip.tv")), QByteArray("sample trip"));
}

void TestSamplePlans::missingSamplesFolderStillRecordsTheOffer()
{
    QDir(app()->appDir().absoluteFilePath("samples")).removeRecursively();
    ModalAnswer answer(QStringLiteral("Copy samples"));
    MainWindow window;
    QVERIFY(answer.answered());
    QCOMPARE(settings()->value(offerKey).toInt(), 1);
    QVERIFY(!window.hasSamplePlans());
}

void TestSamplePlans::shippedSamplesAreCopiedIntoTheDataFolder()
{
    const QString shipped = qEnvironmentVariable("TAVROLO_SOURCE_DIR") + "/samples";
    QVERIFY(QFileInfo(shipped).isDir());
    Application::setAppDirOverride(qEnvironmentVariable("TAVROLO_SOURCE_DIR"));
    ModalAnswer answer(QStringLiteral("Copy samples"));
    MainWindow window;
    Application::setAppDirOverride(QDir::homePath() + "/app");
    QVERIFY(answer.answered());
    const QStringList plans = QDir(shipped).entryList({"*.tv"}, QDir::Files);
    QVERIFY(plans.size() >= 2);
    for (const QString &plan : plans)
        QCOMPARE(readFile(dataPath(plan)), readFile(shipped + "/" + plan));
    QVERIFY(window.hasSamplePlans());
}

void TestSamplePlans::hasSamplePlansLooksOnlyAtReadablePlanFiles_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<bool>("expected");
    QTest::newRow("empty") << "" << false;
    QTest::newRow("one plan") << "file:Plan.tv" << true;
    QTest::newRow("other files only") << "file:Plan.csv file:Notes.txt" << false;
    QTest::newRow("plan in a sub-folder only") << "file:Old/Plan.tv" << false;
    QTest::newRow("link to a plan only") << "link:Plan.tv" << false;
    QTest::newRow("folder named like a plan") << "folder:Plan.tv" << false;
}

void TestSamplePlans::hasSamplePlansLooksOnlyAtReadablePlanFiles()
{
    QFETCH(QString, layout);
    QFETCH(bool, expected);
    settings()->setValue(offerKey, 1);
    MainWindow window;
    const QString elsewhere = QDir::homePath() + "/elsewhere.tv";
    QVERIFY(writeFile(elsewhere, "plan"));
    for (const QString &entry : layout.split(' ', Qt::SkipEmptyParts)) {
        const QString kind = entry.section(':', 0, 0);
        const QString path = dataPath(entry.section(':', 1));
        if (kind == "file")
            QVERIFY(writeFile(path, "plan"));
        else if (kind == "link")
            QVERIFY(QFile::link(elsewhere, path));
        else if (kind == "folder")
            QVERIFY(QDir().mkpath(path));
    }
    QCOMPARE(window.hasSamplePlans(), expected);
}

TAVROLO_TEST_MAIN(TestSamplePlans)
#include "tst_sampleplans.moc"
