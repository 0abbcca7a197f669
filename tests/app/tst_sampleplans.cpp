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

QString samplesFolder()
{
    return app()->appDir().absoluteFilePath("samples");
}

} // namespace

class TestSamplePlans : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void offerIsMadeOncePerVersionWhateverTheAnswer_data();
    void offerIsMadeOncePerVersionWhateverTheAnswer();
    void copyingKeepsUserPlansAndMakesMissingFolders_data();
    void copyingKeepsUserPlansAndMakesMissingFolders();
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
    QDir(samplesFolder()).removeRecursively();
    QVERIFY(writeFile(samplesFolder() + "/Garden.tv", "sample garden"));
    QVERIFY(writeFile(samplesFolder() + "/Trip.tv", "sample trip"));
}

void TestSamplePlans::offerIsMadeOncePerVersionWhateverTheAnswer_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("otherVersionSeen");
    QTest::addColumn<bool>("shipped");
    QTest::newRow("copy samples") << "Copy samples" << false << true;
    QTest::newRow("no thanks") << "No thanks" << false << true;
    QTest::newRow("an older version asked before") << "Copy samples" << true << true;
    QTest::newRow("no samples folder") << "Copy samples" << false << false;
}

void TestSamplePlans::offerIsMadeOncePerVersionWhateverTheAnswer()
{
    QFETCH(QString, button);
    QFETCH(bool, otherVersionSeen);
    QFETCH(bool, shipped);
    if (otherVersionSeen)
        settings()->setValue(QStringLiteral("samples/samples_deployed_for_v240"), 1);
    if (!shipped)
        QDir(samplesFolder()).removeRecursively();
    const bool copied = shipped && button == QLatin1String("Copy samples");
    {
        ModalAnswer answer(button);
        MainWindow window;
        QVERIFY(answer.answered());
        QCOMPARE(answer.shownText(),
                 QStringLiteral("Tavrolo would like to copy some sample plans to '%1'. No existing "
                                "files will be overwritten. Is that OK?")
                     .arg(dataFolder(false)));
        QCOMPARE(window.hasSamplePlans(), copied);
    }
    QCOMPARE(settings()->value(offerKey).toInt(), 1);
    QCOMPARE(readFile(dataPath("Garden.tv")), QByteArray(copied ? "sample garden" : ""));
    QCOMPARE(readFile(dataPath("Trip.tv")), QByteArray(copied ? "sample trip" : ""));
    ModalAnswer again(QStringLiteral("Copy samples"), {}, {}, 200);
    MainWindow window;
    QVERIFY(!again.answered());
}

void TestSamplePlans::copyingKeepsUserPlansAndMakesMissingFolders_data()
{
    QTest::addColumn<bool>("ownGarden");
    QTest::newRow("the user's own plan is not overwritten") << true;
    // A fresh Linux account need not have a Documents folder yet.
    QTest::newRow("no Documents folder yet") << false;
}

void TestSamplePlans::copyingKeepsUserPlansAndMakesMissingFolders()
{
    QFETCH(bool, ownGarden);
    if (ownGarden)
        QVERIFY(writeFile(dataPath("Garden.tv"), "my own garden"));
    else
        QVERIFY(QDir(QDir::homePath() + "/Documents").removeRecursively());
    ModalAnswer answer(QStringLiteral("Copy samples"));
    MainWindow window;
    QVERIFY(answer.answered());
    QCOMPARE(readFile(dataPath("Garden.tv")),
             QByteArray(ownGarden ? "my own garden" : "sample garden"));
    QCOMPARE(readFile(dataPath("Trip.tv")), QByteArray("sample trip"));
}

void TestSamplePlans::shippedSamplesReadAsCompletePlans_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("cards");
    QTest::addColumn<QString>("properties");
    QTest::addColumn<QString>("axes"); // columns, rows, total (numeric), date property
    QTest::addColumn<int>("storedViews");
    const auto row = [](const char *file, int cards, const char *names, const char *axes,
                        int views) {
        QTest::newRow(file) << QString(file) << cards << QString(names) << QString(axes) << views;
    };
    row("Project plan.tv", 12, "Name Status Priority Owner Days Due", "Status Priority Days Due",
        2);
    row("Reading list.tv", 10, "Title Author Genre Status Rating Pages", "Status Genre Pages", 1);
    row("Household budget.tv", 12, "Item Category Month Amount Paid", "Month Category Amount", 1);
}

// A sample with a typo in a value, a wrong property index or a broken encoding would greet every
// new user with a muddled plan.
void TestSamplePlans::shippedSamplesReadAsCompletePlans()
{
    QFETCH(QString, file);
    QFETCH(int, cards);
    QFETCH(QString, properties);
    QFETCH(QString, axes);
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
    QCOMPARE(names.join(' '), properties);
    QStringList actualAxes;
    for (int p : {plan.xProperty(), plan.yProperty(), plan.totalProperty()})
        actualAxes << plan.propertyName(p);
    QCOMPARE(plan.actualPropertyType(plan.totalProperty()), int(ActualType::Numeric));
    for (int p = 1; p < plan.propertyCount(); ++p) {
        if (plan.actualPropertyType(p) == int(ActualType::Date))
            actualAxes << plan.propertyName(p);
    }
    QCOMPARE(actualAxes.join(' '), axes);
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
    const auto row = [](const char *name, const char *layout, bool expected) {
        QTest::newRow(name) << QString(layout) << expected;
    };
    row("one plan", "file:Plan.tv", true);
    row("no plan file in the folder itself",
        "file:Notes.txt file:Old/Plan.tv link:Link.tv folder:Folder.tv", false);
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
