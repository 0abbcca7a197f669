#include "PlanSamples.h"
#include "harness/FileFaults.h"
#include "harness/PlainTestMain.h"
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

// The plan in lines: the property names, then per card its values and, where there are
// any, its notes and link addresses.
QString describePlan(const Document &d)
{
    QStringList lines;
    for (int card = -1; card < d.taskCount(); ++card) {
        QStringList cells, links;
        for (int p = 1; p < d.propertyCount(); ++p)
            cells << (card < 0 ? d.propertyName(p) : d.value(card, p));
        lines << cells.join(QLatin1Char('|'));
        for (int i = 0; card >= 0 && i < d.task(card).hyperLinks().size(); ++i)
            links << d.task(card).hyperLinks().at(i).displayUrl();
        if (card >= 0 && (!d.task(card).notes().isEmpty() || !links.isEmpty()))
            lines.last() += QStringLiteral(" / %1 / %2").arg(d.task(card).notes(), links.join(' '));
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace

class TestCsvImport : public QObject
{
    Q_OBJECT
private slots:
    void splittingFollowsTheQuoteRule();
    void cardsAreImported_data();
    void cardsAreImported();
    void missingFileLeavesPlanUntouched();
    void rowsNamingOnePictureShareOneImage();

private:
    QString writeCsv(const QByteArray &bytes, const QString &name = QStringLiteral("cards.csv"));

    QTemporaryDir m_dir;
    Document m_plan;
};

QString TestCsvImport::writeCsv(const QByteArray &bytes, const QString &name)
{
    return writeBytes(m_dir.filePath(name), bytes);
}

void TestCsvImport::splittingFollowsTheQuoteRule()
{
    // Every line of up to seven characters from this alphabet, split both ways.
    QStringList lines {QString()};
    for (int i = 0; i < lines.size(); ++i) {
        for (int c = 0; lines.at(i).size() < 7 && c < 4; ++c)
            lines << lines.at(i) + QStringLiteral("a,;\"").at(c);
    }
    for (const QString &line : qAsConst(lines)) {
        for (const QString &separator : {QStringLiteral(","), QStringLiteral(";")})
            QCOMPARE(splitCsvLine(line, separator), referenceSplit(line, separator));
    }
    // A long line ending in a stray quote must not cost the square of its length.
    const QString longLine = QStringLiteral("ab,").repeated(200000) + QLatin1Char('"');
    QCOMPARE(splitCsvLine(longLine, QStringLiteral(",")), QStringList {QString()});
}

void TestCsvImport::cardsAreImported_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QString>("plan");
    QTest::newRow("commas") << QByteArray("Name,Cost\nx,1\r\ny,2\n") << "Name|Cost\nx|1\ny|2";
    QTest::newRow("more semicolons than commas")
        << QByteArray("Name;Cost\nx;1,5\n") << "Name|Cost\nx|1,5";
    QTest::newRow("equal counts choose commas") << QByteArray("a;b,c\n1;2,3\n") << "a;b|c\n1;2|3";
    QTest::newRow("doubled quotes") << QByteArray("Name\n\"a\"\"b\"\n\"\"\n") << "Name\na\"b";
    QTest::newRow("quoted line break is one row")
        << QByteArray("Name,Notes\n\"two\nlines\",x\n") << "Name\ntwo lines / x / ";
    QTest::newRow("notes header in capitals")
        << QByteArray("Title,NOTES\nx, hello \n") << "Title\nx /  hello  / ";
    QTest::newRow("long header is cut to 30")
        << QByteArray("  1234567890123456789012345678901  \nv\n")
        << "123456789012345678901234567890\nv";
    QTest::newRow("header cut before blanks")
        << QByteArray("Name                          X,Other\nv,w\n") << "Name|Other\nv|w";
    QTest::newRow("blank row after header ends the import")
        << QByteArray("Name\na\n , \nb\n") << "Name\na";
    QTest::newRow("ragged rows") << QByteArray("A,,C\n1\n1,2,3,4\n ,x\n") << "A|C\n1|\n1|3\n |";
    QTest::newRow("links split at commas")
        << QByteArray("Name,Links\nx,\"http://a.example/p,,http://b.example\"\n")
        << "Name\nx /  / http://a.example/p http://b.example";
    QTest::newRow("special columns only")
        << QByteArray("Notes,Links,Images\nn1,,nowhere.png\n") << "\n / n1 / ";
    QTest::newRow("utf-8 byte-order mark")
        << QByteArray("\xef\xbb\xbfName\n\xc3\xa9t\xc3\xa9\n") << QStringLiteral("Name\nété");
}

void TestCsvImport::cardsAreImported()
{
    QFETCH(QByteArray, csv);
    QFETCH(QString, plan);
    QString error;
    QVERIFY(importCsvFile(m_plan, writeCsv(csv), true, &error));
    QCOMPARE(describePlan(m_plan), plan);
}

void TestCsvImport::missingFileLeavesPlanUntouched()
{
    Document original;
    PlanSamples::fillVariedPlan(original);
    m_plan = original;
    const QString path = m_dir.filePath(QStringLiteral("missing.csv"));
    QString error;
    QVERIFY(!importCsvFile(m_plan, path, true, &error));
    QCOMPARE(error, QStringLiteral("Cannot open file '%1' to read.").arg(path));
    QVERIFY(m_plan == original);
}

// Files that are no picture or a picture wider than the limit give no image; a path named twice
// is one image.
void TestCsvImport::rowsNamingOnePictureShareOneImage()
{
    const QString picture = m_dir.filePath(QStringLiteral("red square.png"));
    QVERIFY(PlanSamples::picture({}, Qt::red, 8, 8).pixmap().save(picture));
    const QStringList paths {
        picture, QStringLiteral(" %1 ").arg(picture),
        writeCsv("not a picture", QStringLiteral("fake.png")),
        writeCsv(PlanSamples::pngOfWidth(Image::MaxDecodedSide + 1), "huge.png")};
    QString error;
    QVERIFY(importCsvFile(m_plan, writeCsv("Name,Images\nx," + paths.join("\nx,").toUtf8() + "\n"),
                          true, &error));
    QCOMPARE(m_plan.imageCount(), 1);
    QCOMPARE(m_plan.image(0).name(), QStringLiteral("red square"));
    QList<int> images;
    for (int card = 0; card < m_plan.taskCount(); ++card)
        images << m_plan.task(card).imageIndex();
    QCOMPARE(images, (QList<int> {0, 0, -1, -1}));
}

TAVROLO_GUI_TEST_MAIN(TestCsvImport)
#include "tst_csvimport.moc"
