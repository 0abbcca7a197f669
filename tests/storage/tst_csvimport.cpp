#include "PlanSamples.h"
#include "common/Accessors.h"
#include "harness/TestMain.h"
#include "storage/CsvImport.h"

#include <QRegExp>
#include <QTemporaryDir>

namespace {

// The splitting rule as a pattern with look-ahead: a separator splits when an even number
// of quotes follows it on the line. Slow on long lines, but the reference for the rule.
QStringList referenceSplit(const QString &line, const QString &separator)
{
    const QRegExp pattern(separator + QStringLiteral("(?=(?:[^\"]*\"[^\"]*\")*(?![^\"]*\"))"));
    QStringList cells = line.split(pattern, Qt::KeepEmptyParts);
    for (QString &cell : cells) {
        cell.remove(QRegExp(QStringLiteral("^[^\"]*\"")));
        cell.remove(QRegExp(QStringLiteral("\"[^\"]*$")));
        cell.replace(QStringLiteral("\"\""), QStringLiteral("\""));
        cell.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        cell.replace(QStringLiteral("\n"), QStringLiteral(" "));
    }
    return cells;
}

QString writeCsv(const QTemporaryDir &dir, const QByteArray &bytes,
                 const QString &name = QStringLiteral("cards.csv"))
{
    const QString path = dir.filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(bytes);
    return path;
}

// The plan in a few lines: the property names, then per card its values, notes, link
// addresses and image index.
QStringList describePlan(const Document &d)
{
    QStringList names;
    for (int p = 1; p < d.propertyCount(); ++p)
        names << d.propertyName(p);
    QStringList lines {names.join(QLatin1Char('|'))};
    for (int card = 0; card < d.taskCount(); ++card) {
        QStringList values;
        for (int p = 1; p < d.propertyCount(); ++p)
            values << d.value(card, p);
        QStringList links;
        for (const HyperLink &link : d.task(card).hyperLinks())
            links << link.displayUrl();
        lines << QStringLiteral("%1 / %2 / %3 / %4")
                     .arg(values.join(QLatin1Char('|')), d.task(card).notes(),
                          links.join(QLatin1Char(' ')))
                     .arg(d.task(card).imageIndex());
    }
    return lines;
}

QImage redSquare()
{
    QImage image(8, 8, QImage::Format_ARGB32);
    image.fill(Qt::red);
    return image;
}

} // namespace

class TestCsvImport : public QObject
{
    Q_OBJECT
private slots:
    void splittingFollowsTheQuoteRule();
    void longLineWithStrayQuoteSplitsInOnePass();
    void lineBreaksInsideQuotesBecomeBlanks_data();
    void lineBreaksInsideQuotesBecomeBlanks();
    void cardsAreImported_data();
    void cardsAreImported();
    void headerMapsToExistingPropertiesIgnoringCase();
    void missingFileLeavesPlanUntouched();
    void rowsNamingOnePictureShareOneImage();

private:
    QTemporaryDir m_dir;
};

void TestCsvImport::splittingFollowsTheQuoteRule()
{
    // Every line of up to seven characters from this alphabet, split both ways.
    const QString alphabet = QStringLiteral("a,;\"");
    QList<QString> lines {QString()};
    for (int length = 1; length <= 7; ++length) {
        QList<QString> longer;
        for (const QString &line : qAsConst(lines)) {
            if (line.size() == length - 1) {
                for (QChar c : alphabet)
                    longer << line + c;
            }
        }
        lines << longer;
    }
    for (const QString &line : qAsConst(lines)) {
        for (const QString &separator : {QStringLiteral(","), QStringLiteral(";")})
            QCOMPARE(splitCsvLine(line, separator), referenceSplit(line, separator));
    }
}

void TestCsvImport::longLineWithStrayQuoteSplitsInOnePass()
{
    // Each separator looks at the quotes after it on the line; a long line ending in a stray
    // quote must not cost the square of its length.
    QString line;
    for (int i = 0; i < 200000; ++i)
        line += QStringLiteral("ab,");
    QCOMPARE(splitCsvLine(line, QStringLiteral(",")).size(), 200001);
    const QChar quote(0x22);
    const QStringList cells = splitCsvLine(line + quote, QStringLiteral(","));
    QCOMPARE(cells, QStringList {QString()});
    const QStringList quoted
        = splitCsvLine(quote + line + quote + QStringLiteral(",x"), QStringLiteral(","));
    QCOMPARE(quoted, (QStringList {line, QStringLiteral("x")}));
}

void TestCsvImport::lineBreaksInsideQuotesBecomeBlanks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("protectedText");
    QTest::newRow("stray quote joins the rest") << "x\"a\nb\nc"
                                                << "x\"a b c";
    QTest::newRow("last character untouched") << "\"\n"
                                              << "\"\n";
    QTest::newRow("single character") << "\n"
                                      << "\n";
}

void TestCsvImport::lineBreaksInsideQuotesBecomeBlanks()
{
    QFETCH(QString, text);
    QFETCH(QString, protectedText);
    QCOMPARE(protectCharInQuotes(text, QLatin1Char('\n'), QLatin1Char(' ')), protectedText);
}

void TestCsvImport::cardsAreImported_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QStringList>("plan");
    QTest::newRow("commas") << QByteArray("Name,Cost\nx,1\r\ny,2\n")
                            << QStringList {"Name|Cost", "x|1 /  /  / -1", "y|2 /  /  / -1"};
    QTest::newRow("more semicolons than commas")
        << QByteArray("Name;Cost\nx;1,5\n") << QStringList {"Name|Cost", "x|1,5 /  /  / -1"};
    QTest::newRow("equal counts choose commas")
        << QByteArray("a;b,c\n1;2,3\n") << QStringList {"a;b|c", "1;2|3 /  /  / -1"};
    QTest::newRow("quoted semicolons still count")
        << QByteArray("Name;\"a;b\"\n1,2\n") << QStringList {"Name|a;b", "1,2| /  /  / -1"};
    QTest::newRow("doubled quotes")
        << QByteArray("Name\n\"a\"\"b\"\n\"\"\n") << QStringList {"Name", "a\"b /  /  / -1"};
    QTest::newRow("quoted line break is one row") << QByteArray("Name,Notes\n\"two\nlines\",x\n")
                                                  << QStringList {"Name", "two lines / x /  / -1"};
    QTest::newRow("notes header in capitals")
        << QByteArray("Title,NOTES\nx, hello \n") << QStringList {"Title", "x /  hello  /  / -1"};
    QTest::newRow("long header is cut to 30")
        << QByteArray("  1234567890123456789012345678901  \nv\n")
        << QStringList {"123456789012345678901234567890", "v /  /  / -1"};
    QTest::newRow("header cut before blanks")
        << QByteArray("Name                          X,Other\nv,w\n")
        << QStringList {"Name|Other", "v|w /  /  / -1"};
    QTest::newRow("blank row after header ends the import")
        << QByteArray("Name\na\n , \nb\n") << QStringList {"Name", "a /  /  / -1"};
    QTest::newRow("blank rows before header are skipped")
        << QByteArray("\n\n , ,\nName\n\nx\n") << QStringList {"Name", "x /  /  / -1"};
    QTest::newRow("ragged rows") << QByteArray("A,,C\n1\n1,2,3,4\n ,x\n")
                                 << QStringList {"A|C", "1| /  /  / -1", "1|3 /  /  / -1",
                                                 " | /  /  / -1"};
    QTest::newRow("cells keep their blanks")
        << QByteArray("Name\n  spaced  \n") << QStringList {"Name", "  spaced   /  /  / -1"};
    QTest::newRow("links split at commas")
        << QByteArray("Name,Links\nx,\"http://a.example/p,,http://b.example\"\n")
        << QStringList {"Name", "x /  / http://a.example/p http://b.example / -1"};
    QTest::newRow("special columns only")
        << QByteArray("Notes,Links,Images\nn1,,nowhere.png\n") << QStringList {"", " / n1 /  / -1"};
    QTest::newRow("second notes column is a property")
        << QByteArray("Notes,notes\na,b\n") << QStringList {"notes", "b / a /  / -1"};
    QTest::newRow("unmatched quote joins the rest")
        << QByteArray("Name\n\"a\nb\nc\n") << QStringList {"Name", "a b c /  /  / -1"};
    QTest::newRow("utf-8 byte-order mark") << QByteArray("\xef\xbb\xbfName\n\xc3\xa9t\xc3\xa9\n")
                                           << QStringList {"Name", "été /  /  / -1"};
    QTest::newRow("header only") << QByteArray("Name,Cost\n") << QStringList {"Name|Cost"};
    QTest::newRow("empty file") << QByteArray() << QStringList {""};
}

void TestCsvImport::cardsAreImported()
{
    QFETCH(QByteArray, csv);
    QFETCH(QStringList, plan);
    QString error;
    QVERIFY(importCsvFile(writeCsv(m_dir, csv), true, &error));
    QCOMPARE(describePlan(*doc()), plan);
}

void TestCsvImport::headerMapsToExistingPropertiesIgnoringCase()
{
    Document &d = *doc();
    d.clear(false);
    PlanSamples::addProperty(d, QStringLiteral("Status"), PropertyType::Automatic,
                             QStringLiteral("open"));
    d.addTask(false);
    PlanSamples::setValue(d, 0, 1, QStringLiteral("kept"));
    QString error;
    QVERIFY(importCsvFile(writeCsv(m_dir, "Name,status,Extra\nx,,e\ny,done,\n"), false, &error));
    QCOMPARE(describePlan(d),
             (QStringList {"Status|Name|Extra", "kept|| /  /  / -1", "open|x|e /  /  / -1",
                           "done|y| /  /  / -1"}));
    QCOMPARE(d.propertyVisibility(2), int(PropertyVisibility::Text));
    QCOMPARE(d.propertyVisibility(3), int(PropertyVisibility::Hidden));
    // When the first header cell names a known property, every new one starts hidden.
    QVERIFY(importCsvFile(writeCsv(m_dir, "STATUS,More\nz,m\n"), false, &error));
    QCOMPARE(d.propertyVisibility(4), int(PropertyVisibility::Hidden));
    QCOMPARE(d.value(3, 1), QStringLiteral("z"));
}

void TestCsvImport::missingFileLeavesPlanUntouched()
{
    Document original;
    PlanSamples::fillVariedPlan(original);
    *doc() = original;
    const QString path = m_dir.filePath(QStringLiteral("missing.csv"));
    QString error;
    QVERIFY(!importCsvFile(path, true, &error));
    QCOMPARE(error, QStringLiteral("Cannot open file '%1' to read.").arg(path));
    QVERIFY(*doc() == original);
}

void TestCsvImport::rowsNamingOnePictureShareOneImage()
{
    const QString picture = m_dir.filePath(QStringLiteral("red square.png"));
    QVERIFY(redSquare().save(picture));
    const QString notPicture = writeCsv(m_dir, "not a picture", QStringLiteral("fake.png"));
    // A few bytes that declare a picture of 400 megapixels are no picture either.
    const QString huge
        = writeCsv(m_dir, PlanSamples::pngDeclaring(20000, 20000), QStringLiteral("huge.png"));
    const QByteArray csv = "Name,Images\na," + picture.toUtf8() + "\nb, " + picture.toUtf8()
        + " \nc," + notPicture.toUtf8() + "\nd," + m_dir.filePath("gone.png").toUtf8() + "\ne,"
        + m_dir.path().toUtf8() + "\nf," + huge.toUtf8() + "\n";
    QString error;
    QVERIFY(importCsvFile(writeCsv(m_dir, csv), true, &error));
    QCOMPARE(doc()->imageCount(), 1);
    QCOMPARE(doc()->image(0).name(), QStringLiteral("red square"));
    QList<int> images;
    for (int card = 0; card < doc()->taskCount(); ++card)
        images << doc()->task(card).imageIndex();
    QCOMPARE(images, (QList<int> {0, 0, -1, -1, -1, -1}));
}

TAVROLO_TEST_MAIN(TestCsvImport)
#include "tst_csvimport.moc"
