#include "app/Application.h"
#include "common/Accessors.h"
#include "common/TextDrawing.h"
#include "harness/TestMain.h"

#include <QDir>

class TestTextDrawing : public QObject
{
    Q_OBJECT
private slots:
    void keyForValueFindsTheNewIndex_data();
    void keyForValueFindsTheNewIndex();
    void textIsCutAtEncodedNewline_data();
    void textIsCutAtEncodedNewline();
    void pathsRoundTripThroughApplicationFolder_data();
    void pathsRoundTripThroughApplicationFolder();
};

void TestTextDrawing::keyForValueFindsTheNewIndex_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("result");
    QTest::newRow("found") << 3 << 1;
    QTest::newRow("missing") << 4 << -1;
    QTest::newRow("none stays") << 0 << 0;
    QTest::newRow("negative stays") << -1 << -1;
}

void TestTextDrawing::keyForValueFindsTheNewIndex()
{
    QFETCH(int, index);
    QFETCH(int, result);
    keyForValue(index, {{1, 3}, {2, 1}, {3, 2}});
    QCOMPARE(index, result);
}

void TestTextDrawing::textIsCutAtEncodedNewline_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("cut");
    QTest::newRow("lower case first") << "abc%0adef%0Aghi" << QStringLiteral("abc");
    QTest::newRow("none") << "abc%20def" << QStringLiteral("abc%20def");
    QTest::newRow("at start") << "%0Aabc" << QString();
}

void TestTextDrawing::textIsCutAtEncodedNewline()
{
    QFETCH(QString, text);
    QFETCH(QString, cut);
    cutAtEncodedNewline(text);
    QCOMPARE(text, cut);
}

void TestTextDrawing::pathsRoundTripThroughApplicationFolder_data()
{
    const QString appFolder = app()->appDir().absolutePath();
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("absolute");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("absolute") << "/home/me/plans/a.tv" << QStringLiteral("/home/me/plans/a.tv");
    QTest::newRow("relative") << "plans/a.tv" << appFolder + "/plans/a.tv";
    QTest::newRow("beside") << "../b.tv" << QDir::cleanPath(appFolder + "/../b.tv");
    QTest::newRow("backslashes from another system")
        << "plans\\team\\a.tv" << appFolder + "/plans/team/a.tv";
    QTest::newRow("dots cleaned") << "./plans/../a.tv" << appFolder + "/a.tv";
}

void TestTextDrawing::pathsRoundTripThroughApplicationFolder()
{
    QFETCH(QString, path);
    QFETCH(QString, absolute);
    QCOMPARE(absolutePath(path), absolute);
    QCOMPARE(absolutePath(relativePath(absolute)), absolute);
}

TAVROLO_TEST_MAIN(TestTextDrawing)
#include "tst_textdrawing.moc"
