#include "app/Application.h"
#include "app/MainWindow.h"
#include "common/Accessors.h"
#include "common/FileHelpers.h"
#include "common/Settings.h"
#include "harness/TestMain.h"
#include "model/Document.h"
#include "storage/PlanFileReader.h"

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
    void copyingMakesAMissingDocumentsFolder();
    void missingSamplesFolderStillRecordsTheOffer();
    void shippedSamplesAreCopiedIntoTheDataFolder();
    void shippedSamplesReadAsCompletePlans_data();
    void shippedSamplesReadAsCompletePlans();
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

// A fresh Linux account need not have a Documents folder yet.
void TestSamplePlans::copyingMakesAMissingDocumentsFolder()
{
    QVERIFY(QDir(QDir::homePath() + "/Documents").removeRecursively());
    ModalAnswer answer(QStringLiteral("Copy samples"));
    MainWindow window;
    QVERIFY(answer.answered());
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

void TestSamplePlans::shippedSamplesReadAsCompletePlans_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("cards");
    QTest::addColumn<QStringList>("properties");
    QTest::addColumn<QString>("columns");
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QString>("total");
    QTest::addColumn<QString>("date");
    QTest::addColumn<int>("storedViews");
    QTest::newRow("project plan") << "Project plan.tv" << 12
                                  << QStringList {"Name",  "Status", "Priority",
                                                  "Owner", "Days",   "Due"}
                                  << "Status"
                                  << "Priority"
                                  << "Days"
                                  << "Due" << 2;
    QTest::newRow("reading list") << "Reading list.tv" << 10
                                  << QStringList {"Title",  "Author", "Genre",
                                                  "Status", "Rating", "Pages"}
                                  << "Status"
                                  << "Genre"
                                  << "Pages"
                                  << "" << 1;
    QTest::newRow("household budget")
        << "Household budget.tv" << 12
        << QStringList {"Item", "Category", "Month", "Amount", "Paid"} << "Month"
        << "Category"
        << "Amount"
        << "" << 1;
}

// A sample with a typo in a value, a wrong property index or a broken encoding would greet every
// new user with a muddled plan.
void TestSamplePlans::shippedSamplesReadAsCompletePlans()
{
    QFETCH(QString, file);
    QFETCH(int, cards);
    QFETCH(QStringList, properties);
    QFETCH(QString, columns);
    QFETCH(QString, rows);
    QFETCH(QString, total);
    QFETCH(QString, date);
    QFETCH(int, storedViews);
    Document plan;
    QString error;
    bool later = true;
    const QString path = qEnvironmentVariable("TAVROLO_SOURCE_DIR") + "/samples/" + file;
    QVERIFY2(readPlanFile(plan, path, &error, &later), qPrintable(error));
    QVERIFY(!later);
    QCOMPARE(plan.taskCount(), cards);
    QStringList names;
    for (int p = 1; p < plan.propertyCount(); ++p)
        names << plan.propertyName(p);
    QCOMPARE(names, properties);
    QCOMPARE(plan.propertyName(plan.xProperty()), columns);
    QCOMPARE(plan.propertyName(plan.yProperty()), rows);
    QCOMPARE(plan.propertyName(plan.totalProperty()), total);
    QCOMPARE(plan.actualPropertyType(names.indexOf(total) + 1), int(ActualType::Numeric));
    if (!date.isEmpty())
        QCOMPARE(plan.actualPropertyType(names.indexOf(date) + 1), int(ActualType::Date));
    QCOMPARE(plan.storedViews().size(), storedViews);
    for (int card = 0; card < plan.taskCount(); ++card) {
        QVERIFY(!plan.value(card, 1).isEmpty());
        for (int p = 1; p < plan.propertyCount(); ++p) {
            const QStringList allowed = plan.predefinedValues(p);
            QVERIFY2(allowed.isEmpty() || allowed.contains(plan.value(card, p)),
                     qPrintable(plan.value(card, p)));
        }
    }
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
