#include "PlanSamples.h"
#include "harness/TestMain.h"
#include "storage/DomDocument.h"

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

} // namespace

class TestDomDocument : public QObject
{
    Q_OBJECT
private slots:
    void textsSurviveTheirStoredForm_data();
    void textsSurviveTheirStoredForm();
    void malformedOrMissingValuesGiveZeroOrDefault_data();
    void malformedOrMissingValuesGiveZeroOrDefault();
    void coloursReadFromComponentText_data();
    void coloursReadFromComponentText();
    void oversizedOrBrokenImagesReadAsNone();
};

void TestDomDocument::textsSurviveTheirStoredForm_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored");
    const auto row = [](const char *name, const char *text, const char *stored) {
        QTest::newRow(name) << QString::fromUtf8(text) << QString(stored);
    };
    row("blank comma percent", "a b,c%", "a%20b%2Cc%25");
    row("xml characters", "<a href=\"x\">&amp;</a>", "%3Ca%20href%3D%22x%22%3E%26amp%3B%3C%2Fa%3E");
    row("line breaks and tab", "one\ntwo\r\nthree\t", "one%0Atwo%0D%0Athree%09");
    row("unreserved kept", "Az09-._~", "Az09-._~");
    row("accent", "é", "%C3%A9");
    row("outside the basic plane", "a\U0001F600b", "a%F0%9F%98%80b");
}

// Written as percent encoding and also as a plain attribute, through the program's own
// serialiser, so the XML escaping is checked as well.
void TestDomDocument::textsSurviveTheirStoredForm()
{
    QFETCH(QString, text);
    QFETCH(QString, stored);
    DomDocument dom(QStringLiteral("tavrolo"));
    QDomElement root = dom.createElement(QStringLiteral("root"));
    dom.appendChild(root);
    QDomElement field = dom.writeValueString(root, QStringLiteral("field"), text);
    QCOMPARE(field.attribute(QStringLiteral("value")), stored);
    DomDocument::setAttributeString(field, QStringLiteral("raw"), text, true, false);
    const QByteArray bytes = dom.toText(3);
    QCOMPARE(dom.toText(3), bytes); // the same bytes every time
    DomDocument copy(QStringLiteral("other"));
    QVERIFY(copy.setContent(bytes));
    QCOMPARE(copy.doctype().name(), QStringLiteral("tavrolo"));
    const QDomElement readRoot = copy.documentElement();
    QCOMPARE(DomDocument::readValueString(readRoot, QStringLiteral("field")), text);
    QCOMPARE(readRoot.firstChildElement().attribute(QStringLiteral("raw")), text);
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
    const QString tag = raw == "<missing>" ? QStringLiteral("other") : QStringLiteral("field");
    const QDomElement parent = parentWithRawValue(dom, tag, raw);
    QCOMPARE(DomDocument::readValueInt(parent, QStringLiteral("field"), 7), intValue);
    QCOMPARE(DomDocument::readValueBool(parent, QStringLiteral("field"), true), boolValue);
    QCOMPARE(DomDocument::readValueDouble(parent, QStringLiteral("field"), 1.5), doubleValue);
}

void TestDomDocument::coloursReadFromComponentText_data()
{
    QTest::addColumn<QString>("raw");
    QTest::addColumn<QColor>("expected"); // invalid: no colour
    QTest::newRow("encoded") << "0%2C0%2C255" << QColor(0, 0, 255);
    QTest::newRow("unencoded") << "235,235,235" << QColor(235, 235, 235);
    QTest::newRow("two components") << "1,2" << QColor();
    QTest::newRow("out of range") << "300,0,0" << QColor();
    QTest::newRow("words are zero") << "a,b,c" << QColor(0, 0, 0);
    QTest::newRow("doubled comma") << "10,,20,30" << QColor(10, 20, 30);
}

void TestDomDocument::coloursReadFromComponentText()
{
    QFETCH(QString, raw);
    QFETCH(QColor, expected);
    DomDocument dom(QStringLiteral("tavrolo"));
    const QDomElement parent = parentWithRawValue(dom, QStringLiteral("color"), raw);
    QCOMPARE(DomDocument::readValueColor(parent, QStringLiteral("color"), Qt::green), expected);
    // What is written reads back; an invalid colour writes no value, so the default comes back.
    QDomElement written = dom.createElement(QStringLiteral("parent"));
    dom.writeValueColor(written, QStringLiteral("color"), expected);
    QCOMPARE(DomDocument::readValueColor(written, QStringLiteral("color"), Qt::green),
             expected.isValid() ? expected : QColor(Qt::green));
}

void TestDomDocument::oversizedOrBrokenImagesReadAsNone()
{
    DomDocument dom(QStringLiteral("tavrolo"));
    const QImage fallback(2, 2, QImage::Format_ARGB32);
    const QString huge = QString::fromLatin1(PlanSamples::pngDeclaring(20000, 20000).toHex());
    for (const QString &hex : {huge, QStringLiteral("zz0102")}) {
        QDomElement element = dom.createElement(QStringLiteral("image"));
        element.setAttribute(QStringLiteral("value"), hex);
        QVERIFY(DomDocument::readAttributeImage(element, QStringLiteral("value"), "PNG", fallback)
                    .isNull());
    }
}

TAVROLO_TEST_MAIN(TestDomDocument)
#include "tst_domdocument.moc"
