#include "app/Application.h"
#include "common/Accessors.h"
#include "common/TextDrawing.h"
#include "common/TextHelpers.h"
#include "harness/TestMain.h"

#include <QDir>
#include <QPainter>

namespace {

QImage picture()
{
    QImage image(7, 5, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter(&image).fillRect(1, 1, 3, 2, QColor(10, 200, 30));
    return image;
}

} // namespace

class TestTextHelpers : public QObject
{
    Q_OBJECT

private slots:
    void elideTextCutsWithEllipsis_data();
    void elideTextCutsWithEllipsis();
    void percentEncodingRoundTrips_data();
    void percentEncodingRoundTrips();
    void brokenOrOversizedHexGivesNoPicture_data();
    void brokenOrOversizedHexGivesNoPicture();
    void keyForValueFindsTheNewIndex_data();
    void keyForValueFindsTheNewIndex();
    void textIsCutAtEncodedNewline_data();
    void textIsCutAtEncodedNewline();
    void pathsRoundTripThroughApplicationFolder_data();
    void pathsRoundTripThroughApplicationFolder();
};

void TestTextHelpers::elideTextCutsWithEllipsis_data()
{
    QTest::addColumn<int>("maxLength");
    QTest::addColumn<QString>("elided");
    QTest::newRow("fits exactly") << 10 << QStringLiteral("abcdefghij");
    QTest::newRow("cut with ellipsis") << 5 << QStringLiteral("abcd\u2026");
    QTest::newRow("one character") << 1 << QStringLiteral("a");
    QTest::newRow("negative") << -3 << QString();
}

void TestTextHelpers::elideTextCutsWithEllipsis()
{
    QFETCH(int, maxLength);
    QFETCH(QString, elided);
    QCOMPARE(elideText(QStringLiteral("abcdefghij"), maxLength), elided);
}

void TestTextHelpers::percentEncodingRoundTrips_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("encoded");
    QTest::newRow("unreserved kept") << "aZ09-._~" << QStringLiteral("aZ09-._~");
    QTest::newRow("blank and comma") << "a b,c" << QStringLiteral("a%20b%2Cc");
    QTest::newRow("accented letter") << QString::fromUtf8("caf\xc3\xa9") << "caf%C3%A9";
    QTest::newRow("percent sign") << "100%" << QStringLiteral("100%25");
    QTest::newRow("line break and quotes") << "a\n\"b\"<c>" << QStringLiteral("a%0A%22b%22%3Cc%3E");
    QTest::newRow("beyond the basic plane")
        << QString::fromUtf8("\xf0\x9f\x93\x85") << "%F0%9F%93%85";
}

void TestTextHelpers::percentEncodingRoundTrips()
{
    QFETCH(QString, text);
    QFETCH(QString, encoded);
    QCOMPARE(toPercentEncoding(text), encoded);
    QCOMPARE(fromPercentEncoding(encoded), text);
    const QStringList list {text, QString(), text};
    QCOMPARE(fromPercentEncodingList(toPercentEncodingList(list)), list);
}

void TestTextHelpers::brokenOrOversizedHexGivesNoPicture_data()
{
    QTest::addColumn<QString>("hex");
    QTest::addColumn<bool>("valid");
    QTest::newRow("round trip") << imageToHex(picture()) << true;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("not hexadecimal") << QStringLiteral("zzzz") << false;
    QTest::newRow("truncated") << imageToHex(picture()).left(40) << false;
    QTest::newRow("wider than allowed")
        << imageToHex(QImage(20000, 1, QImage::Format_Mono)) << false;
}

void TestTextHelpers::brokenOrOversizedHexGivesNoPicture()
{
    QFETCH(QString, hex);
    QFETCH(bool, valid);
    const QImage image = imageFromHex(hex, "PNG");
    QCOMPARE(!image.isNull(), valid);
    if (valid)
        QCOMPARE(image.convertToFormat(QImage::Format_ARGB32), picture());
}

void TestTextHelpers::keyForValueFindsTheNewIndex_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("result");
    QTest::newRow("found") << 3 << 1;
    QTest::newRow("missing") << 4 << -1;
    QTest::newRow("none stays") << 0 << 0;
    QTest::newRow("negative stays") << -1 << -1;
}

void TestTextHelpers::keyForValueFindsTheNewIndex()
{
    QFETCH(int, index);
    QFETCH(int, result);
    keyForValue(index, {{1, 3}, {2, 1}, {3, 2}});
    QCOMPARE(index, result);
}

void TestTextHelpers::textIsCutAtEncodedNewline_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("cut");
    QTest::newRow("lower case first") << "abc%0adef%0Aghi" << QStringLiteral("abc");
    QTest::newRow("none") << "abc%20def" << QStringLiteral("abc%20def");
    QTest::newRow("at start") << "%0Aabc" << QString();
}

void TestTextHelpers::textIsCutAtEncodedNewline()
{
    QFETCH(QString, text);
    QFETCH(QString, cut);
    cutAtEncodedNewline(text);
    QCOMPARE(text, cut);
}

void TestTextHelpers::pathsRoundTripThroughApplicationFolder_data()
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

void TestTextHelpers::pathsRoundTripThroughApplicationFolder()
{
    QFETCH(QString, path);
    QFETCH(QString, absolute);
    QCOMPARE(absolutePath(path), absolute);
    QCOMPARE(absolutePath(relativePath(absolute)), absolute);
}

TAVROLO_TEST_MAIN(TestTextHelpers)
#include "tst_texthelpers.moc"
