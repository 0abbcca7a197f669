#include "app/Application.h"
#include "common/Accessors.h"
#include "common/TextDrawing.h"
#include "harness/TestMain.h"

#include <QDir>

class TestTextDrawing : public QObject
{
    Q_OBJECT
private slots:
    void absolutePathResolvesAgainstApplicationFolder_data();
    void absolutePathResolvesAgainstApplicationFolder();
    void relativePathRoundTrips_data();
    void relativePathRoundTrips();
};

void TestTextDrawing::absolutePathResolvesAgainstApplicationFolder_data()
{
    const QString appFolder = app()->appDir().absolutePath();
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("absolute") << "/home/me/plans/a.tv"
                              << "/home/me/plans/a.tv";
    QTest::newRow("relative") << "plans/a.tv" << appFolder + "/plans/a.tv";
    QTest::newRow("backslashes from another system")
        << "plans\\team\\a.tv" << appFolder + "/plans/team/a.tv";
    QTest::newRow("dots cleaned") << "./plans/../a.tv" << appFolder + "/a.tv";
}

void TestTextDrawing::absolutePathResolvesAgainstApplicationFolder()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(absolutePath(path), expected);
}

void TestTextDrawing::relativePathRoundTrips_data()
{
    const QString appFolder = app()->appDir().absolutePath();
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("relative");
    QTest::newRow("inside") << appFolder + "/plans/a.tv"
                            << "plans/a.tv";
    QTest::newRow("beside") << QDir::cleanPath(appFolder + "/../b.tv") << "../b.tv";
    QTest::newRow("already relative") << "plans/c.tv"
                                      << "plans/c.tv";
}

void TestTextDrawing::relativePathRoundTrips()
{
    QFETCH(QString, path);
    QFETCH(QString, relative);
    QCOMPARE(relativePath(path), relative);
    if (QDir::isAbsolutePath(path))
        QCOMPARE(absolutePath(relativePath(path)), path);
}

TAVROLO_TEST_MAIN(TestTextDrawing)
#include "tst_textdrawing.moc"
