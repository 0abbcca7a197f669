#include "common/TextHelpers.h"
#include "common/UrlOpener.h"
#include "harness/TestMain.h"

#include <QPainter>

class TestTextHelpers : public QObject
{
    Q_OBJECT

private slots:
    void percentEncodingRoundTrips_data();
    void percentEncodingRoundTrips();
    void encodedListsKeepTheirOrder();
    void picturesTravelAsHex();
    void brokenOrOversizedHexGivesNoPicture_data();
    void brokenOrOversizedHexGivesNoPicture();
    void pagesOpenWithTheVersion();
};

void TestTextHelpers::percentEncodingRoundTrips_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("encoded");
    QTest::newRow("unreserved kept") << "aZ09-._~"
                                     << "aZ09-._~";
    QTest::newRow("blank and comma") << "a b,c"
                                     << "a%20b%2Cc";
    QTest::newRow("accented letter") << QString::fromUtf8("caf\xc3\xa9") << "caf%C3%A9";
    QTest::newRow("percent sign") << "100%"
                                  << "100%25";
    QTest::newRow("line break and quotes") << "a\n\"b\"<c>"
                                           << "a%0A%22b%22%3Cc%3E";
    QTest::newRow("beyond the basic plane")
        << QString::fromUtf8("\xf0\x9f\x93\x85") << "%F0%9F%93%85";
    QTest::newRow("empty") << ""
                           << "";
}

void TestTextHelpers::percentEncodingRoundTrips()
{
    QFETCH(QString, text);
    QFETCH(QString, encoded);
    QCOMPARE(toPercentEncoding(text), encoded);
    QCOMPARE(fromPercentEncoding(encoded), text);
}

void TestTextHelpers::encodedListsKeepTheirOrder()
{
    const QStringList texts {QStringLiteral("b c"), QString(), QStringLiteral("a,")};
    const QStringList encoded = toPercentEncodingList(texts);
    QCOMPARE(encoded, (QStringList {QStringLiteral("b%20c"), QString(), QStringLiteral("a%2C")}));
    QCOMPARE(fromPercentEncodingList(encoded), texts);
}

void TestTextHelpers::picturesTravelAsHex()
{
    QImage picture(7, 5, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    QPainter(&picture).fillRect(1, 1, 3, 2, QColor(10, 200, 30));
    const QString hex = imageToHex(picture);
    QVERIFY(hex.startsWith(QStringLiteral("89504e47"))); // PNG signature, lower case
    QCOMPARE(hex, hex.toLower());
    const QImage back = imageFromHex(hex, "PNG");
    QCOMPARE(back.convertToFormat(QImage::Format_ARGB32), picture);
}

void TestTextHelpers::brokenOrOversizedHexGivesNoPicture_data()
{
    QTest::addColumn<QString>("hex");
    QTest::newRow("empty") << QString();
    QTest::newRow("not hexadecimal") << QStringLiteral("zzzz");
    QTest::newRow("truncated") << imageToHex(QImage(4, 4, QImage::Format_RGB32)).left(40);
    QTest::newRow("wider than allowed") << imageToHex(QImage(20000, 1, QImage::Format_Mono));
}

void TestTextHelpers::brokenOrOversizedHexGivesNoPicture()
{
    QFETCH(QString, hex);
    QVERIFY(imageFromHex(hex, "PNG").isNull());
}

void TestTextHelpers::pagesOpenWithTheVersion()
{
    QList<QUrl> opened;
    const UrlOpenerFunction previous = setUrlOpener([&opened](const QUrl &url) {
        opened.append(url);
        return true;
    });
    QVERIFY(helpUrl().endsWith(QStringLiteral("/help/v24/index.html")));
    QVERIFY(tipsUrl().endsWith(QStringLiteral("/help/v24/tips.html")));
    QCOMPARE(quickStartUrl(), helpUrl());
    QVERIFY(openUrlWithVersion(helpUrl()));
    setUrlOpener(previous);
    QCOMPARE(opened.size(), 1);
    QCOMPARE(opened.first().toString(), helpUrl() + QStringLiteral("?v=2_4_1"));
}

TAVROLO_TEST_MAIN(TestTextHelpers)
#include "tst_texthelpers.moc"
