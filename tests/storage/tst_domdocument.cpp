#include "PlanSamples.h"
#include "harness/TestMain.h"
#include "storage/DomDocument.h"

#include <QBuffer>

namespace {

// A field element holding the raw attribute text, as a hand-written file would.
QDomElement parentWithRawValue(DomDocument &dom, const QString &tag, const QString &raw)
{
    QDomElement parent = dom.createElement(QStringLiteral("parent"));
    QDomElement child = dom.createElement(tag);
    child.setAttribute(QStringLiteral("value"), raw);
    parent.appendChild(child);
    return parent;
}

// Parses the document's own text again, so values also pass the XML escaping.
QDomElement reparsed(const DomDocument &dom)
{
    DomDocument copy(QStringLiteral("tavrolo"));
    copy.setContent(dom.toString(3));
    return copy.documentElement();
}

} // namespace

class TestDomDocument : public QObject
{
    Q_OBJECT
private slots:
    void textsArePercentEncodedAndReadBack_data();
    void textsArePercentEncodedAndReadBack();
    void numbersKeepSixSignificantDigits_data();
    void numbersKeepSixSignificantDigits();
    void malformedOrMissingValuesGiveZeroOrDefault_data();
    void malformedOrMissingValuesGiveZeroOrDefault();
    void coloursTravelAsComponentText_data();
    void coloursTravelAsComponentText();
    void listsKeepCommasAndEmptyItems_data();
    void listsKeepCommasAndEmptyItems();
    void emptyListTextsReadAsEmptyOrOneEmptyItem();
    void imagesRoundTripAndOversizedImagesAreRefused();
    void textParsesBackToTheSameTree();
};

void TestDomDocument::textsArePercentEncodedAndReadBack_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored");
    QTest::newRow("blank comma percent") << "a b,c%"
                                         << "a%20b%2Cc%25";
    QTest::newRow("accented letter") << QStringLiteral("é") << "%C3%A9";
    QTest::newRow("xml characters") << "<a href=\"x\">&amp;</a>"
                                    << "%3Ca%20href%3D%22x%22%3E%26amp%3B%3C%2Fa%3E";
    QTest::newRow("line breaks") << "one\ntwo\r\nthree"
                                 << "one%0Atwo%0D%0Athree";
    QTest::newRow("unreserved kept") << "Az09-._~"
                                     << "Az09-._~";
    QTest::newRow("emoji") << QStringLiteral("\U0001F600") << "%F0%9F%98%80";
}

void TestDomDocument::textsArePercentEncodedAndReadBack()
{
    QFETCH(QString, text);
    QFETCH(QString, stored);
    DomDocument dom(QStringLiteral("tavrolo"));
    QDomElement root = dom.createElement(QStringLiteral("root"));
    dom.appendChild(root);
    const QDomElement field = dom.writeValueString(root, QStringLiteral("field"), text);
    QCOMPARE(field.attribute(QStringLiteral("value")), stored);
    QCOMPARE(DomDocument::readValueString(reparsed(dom), QStringLiteral("field")), text);
}

void TestDomDocument::numbersKeepSixSignificantDigits_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<double>("readBack");
    QTest::newRow("short") << 1.3 << "1.3" << 1.3;
    QTest::newRow("long fraction") << 0.123456789 << "0.123457" << 0.123457;
    QTest::newRow("aspect ratio") << 1.33333333 << "1.33333" << 1.33333;
    QTest::newRow("large") << 1234567.0 << "1.23457e%2B06" << 1234570.0;
    QTest::newRow("negative") << -2.5 << "-2.5" << -2.5;
}

void TestDomDocument::numbersKeepSixSignificantDigits()
{
    QFETCH(double, value);
    QFETCH(QString, stored);
    QFETCH(double, readBack);
    DomDocument dom(QStringLiteral("tavrolo"));
    QDomElement root = dom.createElement(QStringLiteral("root"));
    const QDomElement field = dom.writeValueDouble(root, QStringLiteral("ratio"), value);
    QCOMPARE(field.attribute(QStringLiteral("value")), stored);
    QCOMPARE(DomDocument::readValueDouble(root, QStringLiteral("ratio"), 9.0), readBack);
}

void TestDomDocument::malformedOrMissingValuesGiveZeroOrDefault_data()
{
    QTest::addColumn<QString>("raw"); // "<missing>" leaves the element out
    QTest::addColumn<int>("intValue");
    QTest::addColumn<bool>("boolValue");
    QTest::addColumn<double>("doubleValue");
    QTest::newRow("word") << "abc" << 0 << false << 0.0;
    QTest::newRow("two") << "2" << 2 << true << 2.0;
    QTest::newRow("empty value") << "" << 0 << false << 0.0;
    QTest::newRow("too large for int") << "99999999999" << 0 << false << 99999999999.0;
    QTest::newRow("not a number") << "nan" << 0 << false << 0.0;
    QTest::newRow("infinite") << "inf" << 0 << false << 0.0;
    QTest::newRow("missing element") << "<missing>" << 7 << true << 1.5;
}

void TestDomDocument::malformedOrMissingValuesGiveZeroOrDefault()
{
    QFETCH(QString, raw);
    QFETCH(int, intValue);
    QFETCH(bool, boolValue);
    QFETCH(double, doubleValue);
    DomDocument dom(QStringLiteral("tavrolo"));
    const QString tag
        = raw == QLatin1String("<missing>") ? QStringLiteral("other") : QStringLiteral("field");
    const QDomElement parent = parentWithRawValue(dom, tag, raw);
    QCOMPARE(DomDocument::readValueInt(parent, QStringLiteral("field"), 7), intValue);
    QCOMPARE(DomDocument::readValueBool(parent, QStringLiteral("field"), true), boolValue);
    QCOMPARE(DomDocument::readValueDouble(parent, QStringLiteral("field"), 1.5), doubleValue);
}

void TestDomDocument::coloursTravelAsComponentText_data()
{
    QTest::addColumn<QString>("raw");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("blue") << "0%2C0%2C255" << QColor(0, 0, 255);
    QTest::newRow("unencoded") << "235,235,235" << QColor(235, 235, 235);
    QTest::newRow("two components") << "1,2" << QColor();
    QTest::newRow("out of range") << "300,0,0" << QColor();
    QTest::newRow("words are zero") << "a,b,c" << QColor(0, 0, 0);
    QTest::newRow("doubled comma") << "10,,20,30" << QColor(10, 20, 30);
}

void TestDomDocument::coloursTravelAsComponentText()
{
    QFETCH(QString, raw);
    QFETCH(QColor, expected);
    DomDocument dom(QStringLiteral("tavrolo"));
    const QDomElement parent = parentWithRawValue(dom, QStringLiteral("color"), raw);
    QCOMPARE(DomDocument::readValueColor(parent, QStringLiteral("color"), Qt::green), expected);

    QDomElement written = dom.createElement(QStringLiteral("parent"));
    if (expected.isValid()) {
        dom.writeValueColor(written, QStringLiteral("color"), expected);
        QCOMPARE(DomDocument::readValueColor(written, QStringLiteral("color"), Qt::green),
                 expected);
    } else {
        // An invalid colour writes no value, so reading it again gives the default.
        const QDomElement field = dom.writeValueColor(written, QStringLiteral("color"), expected);
        QVERIFY(!field.hasAttribute(QStringLiteral("value")));
        QCOMPARE(DomDocument::readValueColor(written, QStringLiteral("color"), Qt::green),
                 QColor(Qt::green));
    }
}

void TestDomDocument::listsKeepCommasAndEmptyItems_data()
{
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QString>("stored");
    QTest::newRow("comma inside an item")
        << QStringList {QStringLiteral("x,y"), QString()} << "x%2Cy,";
    QTest::newRow("three empty items") << QStringList {QString(), QString(), QString()} << ",,";
    QTest::newRow("unicode and percent")
        << QStringList {QStringLiteral("ü 5%"), QStringLiteral("b")} << "%C3%BC%205%25,b";
}

void TestDomDocument::listsKeepCommasAndEmptyItems()
{
    QFETCH(QStringList, list);
    QFETCH(QString, stored);
    DomDocument dom(QStringLiteral("tavrolo"));
    QDomElement root = dom.createElement(QStringLiteral("root"));
    dom.appendChild(root);
    const QDomElement field = dom.writeValueStringList(root, QStringLiteral("items"), list);
    QCOMPARE(field.attribute(QStringLiteral("value")), stored);
    QCOMPARE(DomDocument::readValueStringList(reparsed(dom), QStringLiteral("items")), list);
    QDomElement card = dom.createElement(QStringLiteral("card"));
    DomDocument::setAttributeList(card, QStringLiteral("value"), list);
    QCOMPARE(DomDocument::readAttributeList(card, QStringLiteral("value")), list);
}

void TestDomDocument::emptyListTextsReadAsEmptyOrOneEmptyItem()
{
    DomDocument dom(QStringLiteral("tavrolo"));
    QDomElement root = dom.createElement(QStringLiteral("root"));
    const QDomElement field
        = dom.writeValueStringList(root, QStringLiteral("items"), QStringList {QString()});
    QVERIFY(!field.hasAttribute(QStringLiteral("value")));
    QCOMPARE(DomDocument::readValueStringList(root, QStringLiteral("items")), QStringList());
    const QDomElement blank = parentWithRawValue(dom, QStringLiteral("items"), "%20");
    QCOMPARE(DomDocument::readValueStringList(blank, QStringLiteral("items")), QStringList());
    QCOMPARE(DomDocument::readAttributeList(root, QStringLiteral("missing")),
             QStringList {QString()});
    QCOMPARE(DomDocument::readValueIntList(
                 parentWithRawValue(dom, QStringLiteral("ints"), "2,x,-1"), QStringLiteral("ints")),
             (QList<int> {2, 0, -1}));
}

void TestDomDocument::imagesRoundTripAndOversizedImagesAreRefused()
{
    QImage picture(3, 2, QImage::Format_ARGB32);
    picture.fill(QColor(10, 20, 30));
    picture.setPixel(0, 0, qRgba(200, 100, 50, 255));
    DomDocument dom(QStringLiteral("tavrolo"));
    QDomElement element = dom.createElement(QStringLiteral("image"));
    DomDocument::setAttributeImage(element, QStringLiteral("value"), picture);
    const QString hex = element.attribute(QStringLiteral("value"));
    QVERIFY(hex.startsWith(QLatin1String("89504e47"))); // lower-case hexadecimal PNG
    const QImage read
        = DomDocument::readAttributeImage(element, QStringLiteral("value"), QStringLiteral("PNG"));
    QCOMPARE(read.convertToFormat(QImage::Format_ARGB32), picture);

    QDomElement huge = dom.createElement(QStringLiteral("image"));
    huge.setAttribute(QStringLiteral("value"),
                      QString::fromLatin1(PlanSamples::pngDeclaring(20000, 20000).toHex()));
    QVERIFY(DomDocument::readAttributeImage(huge, QStringLiteral("value"), QStringLiteral("PNG"))
                .isNull());
    QDomElement garbage = dom.createElement(QStringLiteral("image"));
    garbage.setAttribute(QStringLiteral("value"), QStringLiteral("zz0102"));
    QVERIFY(DomDocument::readAttributeImage(garbage, QStringLiteral("value"), QStringLiteral("PNG"),
                                            picture)
                .isNull());
    QCOMPARE(DomDocument::readAttributeImage(dom.createElement(QStringLiteral("image")),
                                             QStringLiteral("value"), QStringLiteral("PNG"),
                                             picture),
             picture);
}

void TestDomDocument::textParsesBackToTheSameTree()
{
    DomDocument dom(QStringLiteral("tavrolo"));
    QDomElement root = dom.createElement(QStringLiteral("root"));
    dom.appendChild(root);
    QDomElement field = dom.writeValueString(root, QStringLiteral("field"), QStringLiteral("a b"));
    const QString raw = QStringLiteral("<&>\"\n\t é");
    DomDocument::setAttributeString(field, QStringLiteral("raw"), raw, true, false);
    DomDocument::setAttributeString(field, QStringLiteral("another"), QStringLiteral("x"));
    QDomElement empty = dom.createElement(QStringLiteral("empty"));
    root.appendChild(empty);
    const QByteArray text = dom.toText(3);
    QCOMPARE(text.left(38), QByteArray("<!DOCTYPE tavrolo>\n<root>\n   <field an"));
    QVERIFY(text.contains("\n   <empty/>\n</root>\n"));
    QCOMPARE(dom.toText(3), text); // the same bytes every time
    DomDocument copy(QStringLiteral("other"));
    QVERIFY(copy.setContent(text));
    QCOMPARE(copy.doctype().name(), QStringLiteral("tavrolo"));
    const QDomElement readField = copy.documentElement().firstChildElement();
    QCOMPARE(readField.attribute(QStringLiteral("raw")), raw);
    QCOMPARE(DomDocument::readValueString(copy.documentElement(), QStringLiteral("field")),
             QStringLiteral("a b"));
    QCOMPARE(copy.documentElement().childNodes().count(), 2);
}

TAVROLO_TEST_MAIN(TestDomDocument)
#include "tst_domdocument.moc"
