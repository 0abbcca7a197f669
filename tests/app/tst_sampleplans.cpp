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
    void shippedSamplesReadAsCompletePlans_data();
    void shippedSamplesReadAsCompletePlans();
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
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("garden"); // the data folder's Garden.tv afterwards
    const auto row
        = [](const char *name, const char *button, const char *before, const char *garden) {
              QTest::newRow(name) << QString(button) << QString(before) << QString(garden);
          };
    row("copy samples", "Copy samples", "", "sample garden");
    row("no thanks", "No thanks", "", "");
    row("an older version asked before", "Copy samples", "older version", "sample garden");
    row("no samples folder", "Copy samples", "no samples", "");
    row("the user's own plan is not overwritten", "Copy samples", "own garden", "my own garden");
    // A fresh Linux account need not have a Documents folder yet.
    row("no Documents folder yet", "Copy samples", "no documents", "sample garden");
}

void TestSamplePlans::offerIsMadeOncePerVersionWhateverTheAnswer()
{
    QFETCH(QString, button);
    QFETCH(QString, before);
    QFETCH(QString, garden);
    if (before == "older version")
        settings()->setValue(QStringLiteral("samples/samples_deployed_for_v240"), 1);
    else if (before == "no samples")
        QDir(samplesFolder()).removeRecursively();
    else if (before == "own garden")
        QVERIFY(writeFile(dataPath("Garden.tv"), "my own garden"));
    else if (before == "no documents")
        QVERIFY(QDir(QDir::homePath() + "/Documents").removeRecursively());
    const bool copied = button == "Copy samples" && before != "no samples";
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
    QCOMPARE(settings()->value(offerKey).toInt(), 1);
    QCOMPARE(readFile(dataPath("Garden.tv")), garden.toUtf8());
    QCOMPARE(readFile(dataPath("Trip.tv")), QByteArray(copied ? "sample trip" : ""));
    ModalAnswer again(QStringLiteral("Copy samples"), {}, {}, 200);
    MainWindow window;
    QVERIFY(!again.answered());
}

void TestSamplePlans::shippedSamplesReadAsCompletePlans_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("summary"); // columns, rows and total of the charts; date properties
    QTest::newRow("project plan")
        << "Project plan.tv"
        << "12 cards, Name Status Priority Owner Days Due; Status Priority Days; Due; 2 views";
    QTest::newRow("reading list")
        << "Reading list.tv"
        << "10 cards, Title Author Genre Status Rating Pages; Status Genre Pages; ; 1 views";
    QTest::newRow("household budget")
        << "Household budget.tv"
        << "12 cards, Item Category Month Amount Paid; Month Category Amount; ; 1 views";
}

// A sample with a typo in a value, a wrong property index or a broken encoding would greet every
// new user with a muddled plan.
void TestSamplePlans::shippedSamplesReadAsCompletePlans()
{
    QFETCH(QString, file);
    QFETCH(QString, summary);
    Document plan;
    QString error;
    bool later = true;
    const QString path = qEnvironmentVariable("TAVROLO_SOURCE_DIR") + "/samples/" + file;
    QVERIFY2(readPlanFile(plan, path, &error, &later), qPrintable(error));
    QVERIFY(!later);
    QStringList names, axes, dates;
    for (int p = 1; p < plan.propertyCount(); ++p) {
        names << plan.propertyName(p);
        if (plan.actualPropertyType(p) == int(ActualType::Date))
            dates << plan.propertyName(p);
    }
    for (int p : {plan.xProperty(), plan.yProperty(), plan.totalProperty()})
        axes << plan.propertyName(p);
    QCOMPARE(QStringLiteral("%1 cards, %2; %3; %4; %5 views")
                 .arg(plan.taskCount())
                 .arg(names.join(' '), axes.join(' '), dates.join(' '))
                 .arg(plan.storedViews().size()),
             summary);
    QCOMPARE(plan.actualPropertyType(plan.totalProperty()), int(ActualType::Numeric));
    for (int card = 0; card < plan.taskCount(); ++card) {
        QVERIFY(!plan.value(card, 1).isEmpty());
        for (int p = 1; p < plan.propertyCount(); ++p) {
            const QStringList allowed = plan.predefinedValues(p);
            QVERIFY2(allowed.isEmpty() || allowed.contains(plan.value(card, p)),
                     qPrintable(plan.value(card, p)));
        }
    }
}

TAVROLO_TEST_MAIN(TestSamplePlans)
#include "tst_sampleplans.moc"
