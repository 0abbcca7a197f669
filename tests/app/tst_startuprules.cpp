#include "app/StartupRules.h"
#include "harness/TestMain.h"

#include <QDir>

class TestStartupRules : public QObject
{
    Q_OBJECT

private slots:
    void theOfferKeyNamesOneVersion_data();
    void theOfferKeyNamesOneVersion();
    void planArgumentTakesTheFirstPlainArgument_data();
    void planArgumentTakesTheFirstPlainArgument();
};

void TestStartupRules::theOfferKeyNamesOneVersion_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<int>("patch");
    QTest::addColumn<QString>("key");
    QTest::newRow("running") << 2 << 4 << 1 << "samples/samples_deployed_for_v241";
    QTest::newRow("earlier") << 2 << 3 << 9 << "samples/samples_deployed_for_v239";
    QTest::newRow("two digits") << 3 << 10 << 0 << "samples/samples_deployed_for_v3100";
}

// Each version offers the samples once: its key is its own, and the running one's is that of
// the program's version.
void TestStartupRules::theOfferKeyNamesOneVersion()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(int, patch);
    QFETCH(QString, key);
    QCOMPARE(samplesOfferKey(major, minor, patch), key);
    QCOMPARE(samplesOfferKey() == key, QTest::currentDataTag() == QLatin1String("running"));
}

void TestStartupRules::planArgumentTakesTheFirstPlainArgument_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("plan");
    const QString here = QDir::currentPath();
    QTest::newRow("nothing at all") << QStringList() << QString();
    QTest::newRow("the program alone is no plan") << QStringList {"/bin/a.tv"} << QString();
    QTest::newRow("empty argument skipped")
        << QStringList {"tavrolo", "", "a.tv"} << QDir::toNativeSeparators(here + "/a.tv");
    QTest::newRow("dots cleaned") << QStringList {"tavrolo", "/p/./q/../Plan.tv"}
                                  << QDir::toNativeSeparators("/p/Plan.tv");
}

void TestStartupRules::planArgumentTakesTheFirstPlainArgument()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, plan);
    QCOMPARE(planArgument(arguments), plan);
}

TAVROLO_TEST_MAIN(TestStartupRules)
#include "tst_startuprules.moc"
