#include "app/PlanFileNames.h"
#include "app/PlanFileState.h"
#include "harness/TestMain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

class TestPlanFileNames : public QObject
{
    Q_OBJECT

private slots:
    void duplicateTakesTheFirstFreeNumber_data();
    void duplicateTakesTheFirstFreeNumber();
    void linksAndUnmadeFilesNameTheOpenPlan_data();
    void linksAndUnmadeFilesNameTheOpenPlan();

private:
    QString path(const QString &name) const { return m_folder.filePath(name); }
    bool make(const QString &name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::WriteOnly);
    }
    QTemporaryDir m_folder;
};

void TestPlanFileNames::duplicateTakesTheFirstFreeNumber_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("taken");
    QTest::addColumn<QString>("duplicate");
    QTest::newRow("plan") << "Plan.tv" << QStringList() << "Plan 2.tv";
    QTest::newRow("2 and 3 taken")
        << "Plan.tv" << QStringList {"Plan 2.tv", "Plan 3.tv"} << "Plan 4.tv";
    QTest::newRow("other suffix does not count")
        << "Plan.tv" << QStringList {"Plan 2.tvb", "Plan 2"} << "Plan 2.tv";
    QTest::newRow("name up to the first dot") << "a.b.tv" << QStringList() << "a 2.b.tv";
    QTest::newRow("no suffix") << "Plan" << QStringList {"Plan 2.tv"} << "Plan 2";
}

void TestPlanFileNames::duplicateTakesTheFirstFreeNumber()
{
    QFETCH(QString, file);
    QFETCH(QStringList, taken);
    QFETCH(QString, duplicate);
    QVERIFY(m_folder.isValid());
    for (const QString &name : qAsConst(taken))
        QVERIFY(make(name));
    QCOMPARE(duplicateFileName(path(file)), QDir::toNativeSeparators(path(duplicate)));
    for (const QString &name : qAsConst(taken))
        QVERIFY(QFile::remove(path(name)));
}

void TestPlanFileNames::linksAndUnmadeFilesNameTheOpenPlan_data()
{
    QTest::addColumn<QString>("other");
    QTest::addColumn<bool>("same");
    QTest::newRow("itself") << "real/Plan.tv" << true;
    QTest::newRow("through a linked folder") << "link/Plan.tv" << true;
    QTest::newRow("with dots") << "real/../link/./Plan.tv" << true;
    QTest::newRow("not yet made, beside it") << "link/Export.pdf" << false;
}

// The exports and the duplicate refuse the open plan's own file under any of its names.
void TestPlanFileNames::linksAndUnmadeFilesNameTheOpenPlan()
{
    QFETCH(QString, other);
    QFETCH(bool, same);
    QVERIFY(QDir(m_folder.path()).mkpath("real"));
    QVERIFY(make("real/Plan.tv"));
    QVERIFY(QFile::exists(path("link")) || QFile::link(path("real"), path("link")));
    PlanFileState file;
    QVERIFY(!file.isOpenPlanFile(path(other)));
    file.fileName = nativeAbsolutePath(path("real/Plan.tv"));
    QCOMPARE(file.isOpenPlanFile(path(other)), same);
    // A file not yet made is named by its folder's real path.
    QCOMPARE(canonicalPath(path("link/Export.pdf")),
             QDir(path("real")).canonicalPath() + "/Export.pdf");
}

TAVROLO_TEST_MAIN(TestPlanFileNames)
#include "tst_planfilenames.moc"
