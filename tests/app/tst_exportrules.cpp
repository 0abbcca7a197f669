#include "app/ExportRules.h"
#include "harness/TestMain.h"

#include <QXmlStreamReader>

class TestExportRules : public QObject
{
    Q_OBJECT

private slots:
    void proposalKeepsTheFolderAndTheName_data();
    void proposalKeepsTheFolderAndTheName();
    void imageScaleKeepsBothSidesToTheCap_data();
    void imageScaleKeepsBothSidesToTheCap();
    void svgFontFamiliesAreEscapedWholeAndNamedWithoutFoundry_data();
    void svgFontFamiliesAreEscapedWholeAndNamedWithoutFoundry();
    void charactersXmlForbidsAreReplaced_data();
    void charactersXmlForbidsAreReplaced();
};

namespace {

// A group and a text drawn in each family, as Qt's SVG generator writes them: the family as it
// is, then the font's other attributes.
QByteArray drawing(const QList<QByteArray> &families)
{
    QByteArray svg("<svg>\n");
    for (const QByteArray &family : families) {
        const QByteArray font = "font-family=\"" + family
            + "\" font-size=\"12\" font-weight=\"400\" font-style=\"normal\" \n";
        svg += "<g fill=\"none\"\n" + font + ">\n<text x=\"1\" y=\"2\" " + font
            + " >R&amp;D &lt;plan&gt;</text>\n</g>\n";
    }
    return svg + "</svg>\n";
}

} // namespace

void TestExportRules::proposalKeepsTheFolderAndTheName_data()
{
    QTest::addColumn<QString>("plan");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("proposal");
    QTest::newRow("lower case extension") << "/p/Plan.tv"
                                          << "PNG"
                                          << "/p/Plan.png";
    QTest::newRow("name that is all suffix") << "/p/.tv"
                                             << "svg"
                                             << "/p/.tv.svg";
    QTest::newRow("spaces kept") << "/my plans/Big plan.tv"
                                 << "csv"
                                 << "/my plans/Big plan.csv";
    QTest::newRow("relative") << "Plan.tv"
                              << "txt"
                              << "Plan.txt";
    QTest::newRow("no plan") << ""
                             << "pdf"
                             << ".pdf";
}

void TestExportRules::proposalKeepsTheFolderAndTheName()
{
    QFETCH(QString, plan);
    QFETCH(QString, extension);
    QFETCH(QString, proposal);
    QCOMPARE(exportFileProposal(plan, extension), proposal);
}

void TestExportRules::imageScaleKeepsBothSidesToTheCap_data()
{
    QTest::addColumn<QSizeF>("scene");
    QTest::addColumn<double>("scale");
    QTest::newRow("small") << QSizeF(400, 300) << 1.0;
    QTest::newRow("at the cap") << QSizeF(10000, 10000) << 1.0;
    QTest::newRow("a fraction over") << QSizeF(10000.5, 200) << 1.0;
    QTest::newRow("wide") << QSizeF(40000, 100) << 0.25;
    QTest::newRow("tall") << QSizeF(100, 20000) << 0.5;
    QTest::newRow("wide, and taller still") << QSizeF(20000, 50000) << 0.2;
}

// No side of the image drawn at the scale exceeds the cap, and a scene that fits is drawn at
// its own size.
void TestExportRules::imageScaleKeepsBothSidesToTheCap()
{
    QFETCH(QSizeF, scene);
    QFETCH(double, scale);
    const double found = exportImageScale(scene);
    QCOMPARE(found, scale);
    QVERIFY(int(scene.width() * found) <= maximumExportSide);
    QVERIFY(int(scene.height() * found) <= maximumExportSide);
}

void TestExportRules::svgFontFamiliesAreEscapedWholeAndNamedWithoutFoundry_data()
{
    QTest::addColumn<QStringList>("families");
    QTest::addColumn<QByteArray>("svg");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray script("X\" font-size=\"3\"><script>alert(1)</script><text font-size=\"");
    QTest::newRow("ampersand") << QStringList {"R&D"} << drawing({"R&D"}) << drawing({"R&amp;D"});
    QTest::newRow("less than") << QStringList {"A<B"} << drawing({"A<B"}) << drawing({"A&lt;B"});
    QTest::newRow("greater than") << QStringList {"A>B"} << drawing({"A>B"}) << drawing({"A&gt;B"});
    QTest::newRow("quote") << QStringList {"Serif \"Bold\""} << drawing({"Serif \"Bold\""})
                           << drawing({"Serif &quot;Bold&quot;"});
    QTest::newRow("the generator's own text")
        << QStringList {QString::fromUtf8(script)} << drawing({script})
        << drawing({"X&quot; font-size=&quot;3&quot;&gt;&lt;script&gt;alert(1)&lt;/script&gt;&lt;"
                    "text font-size=&quot;"});
    QTest::newRow("plain") << QStringList {"Sans Serif", "DejaVu Sans"}
                           << drawing({"Sans Serif", "DejaVu Sans"})
                           << drawing({"Sans Serif", "DejaVu Sans"});
    QTest::newRow("only the second")
        << QStringList {"Sans Serif", "R&D"} << drawing({"Sans Serif", "R&D", "Sans Serif"})
        << drawing({"Sans Serif", "R&amp;D", "Sans Serif"});
    QTest::newRow("one family holds the other and the generator's text")
        << QStringList {"A", "A\" font-size=\"1"} << drawing({"A\" font-size=\"1", "A"})
        << drawing({"A&quot; font-size=&quot;1", "A"});
    QTest::newRow("foundry") << QStringList {"Nimbus Roman [urw]"}
                             << drawing({"Nimbus Roman [urw]"}) << drawing({"Nimbus Roman"});
    QTest::newRow("foundry with an ampersand")
        << QStringList {"Luxi Sans [B&H]"} << drawing({"Luxi Sans [B&H]"})
        << drawing({"Luxi Sans"});
    QTest::newRow("all foundry") << QStringList {"[urw]"} << drawing({"[urw]"})
                                 << drawing({"[urw]"});
    QTest::newRow("family not known, with a quote")
        << QStringList() << drawing({"Serif \"Bold\""}) << drawing({"Serif &quot;Bold&quot;"});
    QTest::newRow("family not known, with an ampersand and a foundry")
        << QStringList {"Sans Serif"} << drawing({"Sans Serif", "R&D [B&H]"})
        << drawing({"Sans Serif", "R&amp;D"});
}

// Every family comes out a well-formed attribute value that names it as typed, whatever it holds;
// a drawing that needs nothing is the drawing itself.
void TestExportRules::svgFontFamiliesAreEscapedWholeAndNamedWithoutFoundry()
{
    QFETCH(QStringList, families);
    QFETCH(QByteArray, svg);
    QFETCH(QByteArray, expected);
    const QByteArray escaped = escapeSvgFontFamilies(svg, families);
    QCOMPARE(escaped, expected);
    if (svg == expected)
        QCOMPARE(escaped.constData(), svg.constData());
    QXmlStreamReader xml(escaped);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement)
            QVERIFY(xml.name() == QLatin1String("svg") || xml.name() == QLatin1String("g")
                    || xml.name() == QLatin1String("text"));
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
}

void TestExportRules::charactersXmlForbidsAreReplaced_data()
{
    QTest::addColumn<QByteArray>("svg");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray mark("\xef\xbf\xbd"); // U+FFFD
    QByteArray controls;
    QByteArray controlsReplaced;
    for (char c = 0; c < 0x20; ++c) {
        controls += c;
        controlsReplaced += c == '\t' || c == '\n' || c == '\r' ? QByteArray(1, c) : mark;
    }
    QTest::newRow("plain") << drawing({"Sans Serif"}) << drawing({"Sans Serif"});
    QTest::newRow("every control character, tab and line breaks kept")
        << "<t>" + controls + "</t>"
        << "<t>" + controlsReplaced + "</t>";
    QTest::newRow("an escape sequence in a family")
        << drawing({"Serif\x1b[1m"}) << drawing({"Serif" + mark + "[1m"});
    QTest::newRow("U+FFFE and U+FFFF, beside U+FFFD, e acute and an emoji")
        << QByteArray("<t>\xef\xbf\xbe\xef\xbf\xbf\xef\xbf\xbd\xc3\xa9\xf0\x9f\x98\x80</t>")
        << "<t>" + mark + mark + mark + "\xc3\xa9\xf0\x9f\x98\x80</t>";
    QTest::newRow("the last byte") << QByteArray("<t/>\x01") << "<t/>" + mark;
    QTest::newRow("a cut sequence at the end")
        << QByteArray("<t/>\xef\xbf") << QByteArray("<t/>\xef\xbf");
}

// Whatever the plan's text holds, the drawing reads as XML; one that needs nothing is the
// drawing itself.
void TestExportRules::charactersXmlForbidsAreReplaced()
{
    QFETCH(QByteArray, svg);
    QFETCH(QByteArray, expected);
    const QByteArray replaced = replaceCharactersXmlForbids(svg);
    QCOMPARE(replaced, expected);
    if (svg == expected)
        QCOMPARE(replaced.constData(), svg.constData());
}

TAVROLO_TEST_MAIN(TestExportRules)
#include "tst_exportrules.moc"
