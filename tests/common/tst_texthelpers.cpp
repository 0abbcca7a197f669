#include "app/Application.h"
#include "common/app/Accessors.h"
#include "common/core/Colors.h"
#include "common/core/TextDrawing.h"
#include "common/core/TextHelpers.h"
#include "harness/TestMain.h"
#include "model/Image.h"

#include <QDir>

class TestTextHelpers : public QObject
{
    Q_OBJECT

private slots:
    void percentEncodingRoundTrips_data();
    void percentEncodingRoundTrips();
    void elidingKeepsWholeCharacters_data();
    void elidingKeepsWholeCharacters();
    void pathsRoundTripThroughApplicationFolder_data();
    void pathsRoundTripThroughApplicationFolder();
    void colourTextRoundTrips_data();
    void colourTextRoundTrips();
};

void TestTextHelpers::percentEncodingRoundTrips_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("encoded");
    QTest::newRow("blank and comma") << "a b,c" << QStringLiteral("a%20b%2Cc");
    QTest::newRow("accented letter") << QString::fromUtf8("caf\xc3\xa9") << "caf%C3%A9";
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

void TestTextHelpers::elidingKeepsWholeCharacters_data()
{
    const QString face = QString::fromUtf8("\xf0\x9f\x98\x80");
    const QString ellipsis(QChar(0x2026));
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("maxLength");
    QTest::addColumn<QString>("elided");
    QTest::newRow("fits") << "abcdefghij" << 10 << "abcdefghij";
    QTest::newRow("cut") << "abcdefghij" << 5 << QString("abcd" + ellipsis);
    QTest::newRow("one") << "abcdefghij" << 1 << "a";
    QTest::newRow("before a surrogate pair")
        << QString("abc" + face + "de") << 5 << QString("abc" + ellipsis);
    QTest::newRow("after a surrogate pair")
        << QString("abc" + face + "de") << 6 << QString("abc" + face + ellipsis);
    QTest::newRow("accent stays with its letter")
        << QString::fromUtf8("abe\xcc\x81xyz") << 4 << QString("ab" + ellipsis);
    QTest::newRow("one unit of a pair") << face << 1 << QString();
}

void TestTextHelpers::elidingKeepsWholeCharacters()
{
    QFETCH(QString, text);
    QFETCH(int, maxLength);
    QFETCH(QString, elided);
    QCOMPARE(elideText(text, maxLength), elided);
    // An image name is cut the same way, so that it survives a plan file, whose texts travel
    // as UTF-8.
    const QString name = QString(Image::MaxNameLength - maxLength, 'n') + text;
    const QString stored = Image(QPixmap(), name, QString()).name();
    QCOMPARE(fromPercentEncoding(toPercentEncoding(stored)), stored);
}

void TestTextHelpers::pathsRoundTripThroughApplicationFolder_data()
{
    const QString appFolder = app()->appDir().absolutePath();
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("absolute");
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

void TestTextHelpers::colourTextRoundTrips_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("color");
    QTest::newRow("two parts") << "10,20" << QColor();
    QTest::newRow("doubled comma ignored") << "10,,20,30" << QColor(10, 20, 30);
    QTest::newRow("component above 255") << "10,20,300" << QColor();
    QTest::newRow("words count as zero") << "a,b,c" << QColor(0, 0, 0);
}

void TestTextHelpers::colourTextRoundTrips()
{
    QFETCH(QString, text);
    QFETCH(QColor, color);
    QCOMPARE(stringToColor(text), color);
    QCOMPARE(stringToColor(colorToString(color)), color);
}

TAVROLO_TEST_MAIN(TestTextHelpers)
#include "tst_texthelpers.moc"
