#include "HostileGifs.h"
#include "HostilePlans.h"
#include "PlanSamples.h"
#include "harness/FileFaults.h"
#include "harness/PlainTestMain.h"
#include "storage/CsvExport.h"
#include "storage/CsvImport.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QRegExp>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

// The splitting rule before quotes in unquoted cells became plain text, as a pattern with
// look-ahead: a separator splits when an even number of quotes follows it on the line. It still
// holds for lines in which every quote belongs to a closed quoted run.
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

// Lines of cells that are either free of quotes and separators, or a quoted run (opened after
// any blanks, "" inside, closed) followed by text without quotes or separators.
QRegularExpression closedRunsOnly(const QString &separator)
{
    const QString plain = QStringLiteral("[^\"%1]*").arg(separator);
    const QString cell = QStringLiteral("(?:\\s*\"(?:[^\"]|\"\")*\"%1|%1)").arg(plain);
    return QRegularExpression(QStringLiteral("^%1(?:%2%1)*$").arg(cell, separator));
}

QByteArray repeatedCells(const QByteArray &cell, int count, char separator = ',')
{
    QByteArray row;
    for (int i = 0; i < count; ++i)
        row += (i ? QByteArray(1, separator) : QByteArray()) + cell + QByteArray::number(i);
    return row;
}

// The bytes with a hole of the given size at the offset, in a file that states them all: false
// where the file system keeps no holes and the zeros take room on the disk.
bool writeWithHole(const QString &path, const QByteArray &bytes, int at, qint64 hole)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes.left(at)) != at
        || !file.resize(bytes.size() + hole) || !file.seek(at + hole)
        || file.write(bytes.mid(at)) != bytes.size() - at || !file.flush())
        return false;
    return ::lseek(file.handle(), 0, SEEK_HOLE) < file.size();
}

} // namespace

class TestCsvImport : public QObject
{
    Q_OBJECT
private slots:
    void splittingFollowsTheQuoteRule();
    void cardsAreImported_data();
    void cardsAreImported();
    void exportedPlanReadsBack_data();
    void exportedPlanReadsBack();
    void rowsBelowABlankRowAreToldOf_data();
    void rowsBelowABlankRowAreToldOf();
    void importIntoOpenPlanMatchesPropertiesIgnoringCase();
    void dateColumnsTakeTheUserFormat_data();
    void dateColumnsTakeTheUserFormat();
    void hostileShapesAreReadOrRefused_data();
    void hostileShapesAreReadOrRefused();
    void missingFileLeavesPlanUntouched();
    void rowsNamingOnePictureShareOneImage();
    void picturesTheFileNamesAreReadOnlyAsRasterData();
    void eachPictureIsPaidForOnceByWhatItHolds_data();
    void eachPictureIsPaidForOnceByWhatItHolds();
    void pathsThatAreNoFileAreRefusedUnopened_data();
    void pathsThatAreNoFileAreRefusedUnopened();

private:
    QString writeCsv(const QByteArray &bytes, const QString &name = QStringLiteral("cards.csv"));
    QStringList spendingTheAllowance();

    QTemporaryDir m_dir;
    Document m_plan;
};

QString TestCsvImport::writeCsv(const QByteArray &bytes, const QString &name)
{
    return writeBytes(m_dir.filePath(name), bytes);
}

// Five files of a few hundred bytes that each declare a picture of 16384 x 16384, whose blocks
// take some 48 million units of work: they come in, one library entry, and leave some thirty
// million of the work that the import's pictures share beyond what their bytes pay for.
QStringList TestCsvImport::spendingTheAllowance()
{
    QStringList paths;
    for (int i = 0; i < 5; ++i)
        paths << writeCsv(HostilePlans::baselineJpeg(16384, 16384),
                          QStringLiteral("spending %1.jpg").arg(i));
    return paths;
}

void TestCsvImport::splittingFollowsTheQuoteRule()
{
    // Every line of up to six characters from this alphabet whose quotes all stand in closed
    // quoted runs splits as it did before quotes in plain cells became text.
    QStringList lines {QString()};
    for (int i = 0; i < lines.size(); ++i) {
        for (int c = 0; lines.at(i).size() < 6 && c < 5; ++c)
            lines << lines.at(i) + QStringLiteral("a,;\" ").at(c);
    }
    int compared = 0;
    for (const QString &separator : {QStringLiteral(","), QStringLiteral(";")}) {
        const QRegularExpression wellFormed = closedRunsOnly(separator);
        for (const QString &line : qAsConst(lines)) {
            if (!wellFormed.match(line).hasMatch())
                continue;
            QCOMPARE(splitCsvLine(line, separator), referenceSplit(line, separator));
            ++compared;
        }
    }
    QVERIFY(compared > 5000);
    // A long line ending in an opening quote must not cost the square of its length.
    const QString longLine = QStringLiteral("ab,").repeated(200000) + QLatin1Char('"');
    const QStringList cells = splitCsvLine(longLine, QStringLiteral(","));
    QCOMPARE(cells.size(), 200001);
    QCOMPARE(cells.last(), QString());
}

void TestCsvImport::cardsAreImported_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QString>("plan");
    QTest::newRow("commas") << QByteArray("Name,Cost\nx,1\r\ny,2\n") << "Name|Cost\nx|1\ny|2";
    QTest::newRow("more semicolons than commas")
        << QByteArray("Name;Cost\nx;1,5\n") << "Name|Cost\nx|1,5";
    QTest::newRow("equal counts choose commas") << QByteArray("a;b,c\n1;2,3\n") << "a;b|c\n1;2|3";
    // Only separators outside quoted runs vote, with runs opened as the rows are read.
    QTest::newRow("quoted semicolons do not vote")
        << QByteArray("Recipe,Steps\nTea,\"boil; steep; pour\"\nRice,  \"rinse; soak; cook\"\n")
        << "Recipe|Steps\nTea|boil; steep; pour\nRice|rinse; soak; cook";
    QTest::newRow("quoted commas do not vote")
        << QByteArray("Name;Price\n\"Smith, Jo\";\"1,5\"\n\"Lee, Al\";\"2,25\"\n")
        << "Name|Price\nSmith, Jo|1,5\nLee, Al|2,25";
    QTest::newRow("quoted run across lines does not vote")
        << QByteArray("Name,Notes\n\"a;b;c\nd;e\",x\n") << "Name\na;b;c d;e / x / ";
    QTest::newRow("equal counts outside quotes choose commas")
        << QByteArray("A;B,C\n\"x;y;z\";1,2\n") << "A;B|C\nx;y;z|2";
    QTest::newRow("doubled quotes") << QByteArray("Name\n\"a\"\"b\"\n\"\"\n") << "Name\na\"b\n";
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
    QTest::newRow("row of empty quoted cells is an empty card")
        << QByteArray("Name,Notes\na,x\n\"\",\"\"\nc,y\n") << "Name\na / x / \n\nc / y / ";
    QTest::newRow("one quoted blank makes a row of blanks a card")
        << QByteArray("Name,Notes\n\" \", \nc,y\n") << "Name\n  /   / \nc / y / ";
    QTest::newRow("ragged rows") << QByteArray("A,,C\n1\n1,2,3,4\n ,x\n") << "A|C\n1|\n1|3\n |";
    QTest::newRow("links split at commas")
        << QByteArray("Name,Links\nx,\"http://a.example/p,,http://b.example\"\n")
        << "Name\nx /  / http://a.example/p http://b.example";
    QTest::newRow("links the URL parser rejects are kept")
        << QByteArray("Name,Links\nx,\"https://my server.example/doc,https://ex&mple.com/x\"\n")
        << "Name\nx /  / https://my server.example/doc https://ex&mple.com/x";
    QTest::newRow("special columns only")
        << QByteArray("Notes,Links,Images\nn1,,nowhere.png\n") << "\n / n1 / ";
    QTest::newRow("inch mark in a plain cell")
        << QByteArray("Name,Size,Price\nMargherita,12\" pizza,8\nPlain,10,6\n")
        << "Name|Size|Price\nMargherita|12\" pizza|8\nPlain|10|6";
    QTest::newRow("coordinates keep their seconds marks")
        << QByteArray("\xef\xbb\xbfPlace,Kind\n37\xc2\xb0"
                      "36'37.8\"N 121\xc2\xb0"
                      "2'17.9\"W,x\n")
        << QStringLiteral("Place|Kind\n37°36'37.8\"N 121°2'17.9\"W|x");
    QTest::newRow("quotes inside a plain cell")
        << QByteArray("A,B\na\"b\"c,d\n") << "A|B\na\"b\"c|d";
    QTest::newRow("doubled quotes inside a plain cell stay doubled")
        << QByteArray("A,B\n5\"\" x 7\"\",d\n") << "A|B\n5\"\" x 7\"\"|d";
    QTest::newRow("quote ending the last cell")
        << QByteArray("A,B\nx,y\"\nz,w\n") << "A|B\nx|y\"\nz|w";
    QTest::newRow("unclosed quote on the last line runs to the end")
        << QByteArray("A,B\nx,\"a,b\nc,d") << "A|B\nx|a,b c,d";
    QTest::newRow("blanks before an opening quote")
        << QByteArray("A,B\n  \"a,b\"  ,c\n") << "A|B\na,b|c";
    QTest::newRow("doubled quotes inside a quoted run")
        << QByteArray("A\n\"a \"\"b\"\" c\"\n") << "A\na \"b\" c";
    QTest::newRow("placeholder name is a new property")
        << QByteArray("<SELECT>,<select>\nx,y\n") << "<SELECT>1|<select>2\nx|y";
    QTest::newRow("long header is cut between whole characters")
        << ("\xef\xbb\xbf" + QByteArray(29, 'a') + "\xf0\x9f\x98\x80,b" + QByteArray(28, 'c')
            + "e\xcc\x81\nv,w\n")
        << QString(QString(29, 'a') + "|b" + QString(28, 'c') + "\nv|w");
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

void TestCsvImport::exportedPlanReadsBack_data()
{
    QTest::addColumn<QString>("plan");
    QTest::newRow("varied plan") << "varied";
    QTest::newRow("empty card between") << "cards A,,C,D";
    QTest::newRow("empty card first") << "cards ,A,C,D";
    QTest::newRow("only empty cards") << "cards ,";
    QTest::newRow("mail link with a line break")
        << "link mailto:ann@example.org?subject=Weekly%20report&body=Hello%0AThanks";
    QTest::newRow("link with a line break in the query")
        << "link https://example.org/search?q=a%0Ab&page=2";
    QTest::newRow("link with commas") << "link https://www.example.org/maps/@52.52,13.40,12z";
    QTest::newRow("link holding an encoded comma") << "link https://example.org/?tags=a%2Cb,c";
    QTest::newRow("rejected link with a comma") << "link https://my server.example/a,b%0Ac";
    QTest::newRow("properties named like the card's own columns")
        << "properties Title,Links,images,NOTES";
    QTest::newRow("first property named Notes") << "properties Notes,Title";
}

namespace {

// A plan of the row's kind: the varied sample; one card of a link; cards of the given titles,
// an empty one for an empty title; or properties of the given names, whose card has notes, a
// link and a picture file of its own.
void fillExportedPlan(Document &plan, const QString &kind, const QString &folder)
{
    if (kind == QLatin1String("varied")) {
        PlanSamples::fillVariedPlan(plan);
        return;
    }
    plan.clear(false);
    const QString rest = kind.section(QLatin1Char(' '), 1);
    if (kind.startsWith(QLatin1String("link "))) {
        plan.addTask(false);
        plan.setTaskLinks(0, {HyperLink::fromUrlText(rest)}, false, nullptr);
        return;
    }
    const QStringList names = rest.split(QLatin1Char(','));
    if (kind.startsWith(QLatin1String("cards "))) {
        PlanSamples::addProperty(plan, QStringLiteral("Title"));
        for (const QString &title : names) {
            const int card = plan.addTask(false);
            if (!title.isEmpty())
                PlanSamples::setValue(plan, card, 1, title);
        }
        return;
    }
    const QString file = QDir(folder).filePath(QStringLiteral("own picture.png"));
    QVERIFY(PlanSamples::picture(file, Qt::blue, 4, 4).pixmap().save(file));
    plan.addImage(PlanSamples::picture(file, Qt::blue, 4, 4), false);
    for (const QString &name : names)
        PlanSamples::addProperty(plan, name);
    plan.addTask(false);
    for (int p = 1; p < plan.propertyCount(); ++p)
        PlanSamples::setValue(plan, 0, p, QStringLiteral("value of %1.png").arg(names.at(p - 1)));
    plan.setTaskNotes(0, QStringLiteral("own notes"), false, nullptr);
    plan.setTaskLinks(0, {HyperLink::fromUrlText(QStringLiteral("https://own.example/"))}, false,
                      nullptr);
    plan.setTaskImage(0, 0, false, nullptr);
}

} // namespace

void TestCsvImport::exportedPlanReadsBack()
{
    QFETCH(QString, plan);
    Document original;
    fillExportedPlan(original, plan, m_dir.path());
    m_plan = original;
    const QString path = m_dir.filePath(QStringLiteral("exported.csv"));
    bool unicode = false;
    QString error;
    QVERIFY(exportCsvFile(m_plan, path, m_plan.taskIndexes(), &unicode, &error));
    QVERIFY(importCsvFile(m_plan, path, true, &error));
    // Line breaks inside a cell come back as blanks; link names as their addresses name them; a
    // picture when its name names a picture file; everything else as it was.
    const auto flat = [](QString text) {
        return text.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace('\n', ' ');
    };
    const auto urls = [](const Document &d, int card) {
        QStringList texts;
        for (const HyperLink &link : d.taskLinks(card))
            texts << link.urlText();
        return texts;
    };
    QCOMPARE(m_plan.taskCount(), original.taskCount());
    QCOMPARE(m_plan.propertyCount(), original.propertyCount());
    for (int p = 1; p < original.propertyCount(); ++p)
        QCOMPARE(m_plan.propertyName(p), original.propertyName(p));
    for (int card = 0; card < original.taskCount(); ++card) {
        for (int p = 1; p < original.propertyCount(); ++p)
            QCOMPARE(m_plan.value(card, p), flat(original.value(card, p)));
        QCOMPARE(m_plan.taskNotes(card), flat(original.taskNotes(card)));
        QCOMPARE(urls(m_plan, card), urls(original, card));
        for (int i = 0; i < original.taskLinks(card).size(); ++i) {
            const QString address = original.taskLinks(card).at(i).urlText();
            QVERIFY(m_plan.taskLinks(card).at(i) == HyperLink::fromUrlText(address));
        }
        const int image = original.taskImage(card);
        const bool pictureFile = image >= 0 && image < original.imageCount()
            && QFileInfo(original.image(image).name()).isFile();
        QCOMPARE(m_plan.taskImage(card) >= 0, pictureFile);
    }
}

void TestCsvImport::rowsBelowABlankRowAreToldOf_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<int>("cards");
    QTest::addColumn<QString>("notice");
    const QString many = QStringLiteral("A blank row in the file '%1' ended the import; the 3 "
                                        "rows after it were left out.");
    QTest::newRow("rows below bare separators")
        << QByteArray("Name,Notes\na,x\n,\nb,y\n \n\"\",\nc\n") << 1 << many;
    QTest::newRow("one row below blanks")
        << QByteArray("Name\na\n  \nb\n") << 1
        << QStringLiteral("A blank row in the file '%1' ended the import; the row after it was "
                          "left out.");
    QTest::newRow("blank rows only below") << QByteArray("Name\na\n,\n \n") << 1 << QString();
    QTest::newRow("empty quoted rows are no blank rows")
        << QByteArray("Name,Notes\n\"\",\"\"\na,x\n\"\",\"\"\n") << 3 << QString();
}

// The import ends at a blank row and says how many rows with something in them it left.
void TestCsvImport::rowsBelowABlankRowAreToldOf()
{
    QFETCH(QByteArray, csv);
    QFETCH(int, cards);
    QFETCH(QString, notice);
    const QString path = writeCsv(csv);
    QString error;
    QString told = QStringLiteral("untouched");
    QVERIFY(importCsvFile(m_plan, path, true, &error, &told));
    QCOMPARE(m_plan.taskCount(), cards);
    QCOMPARE(told, notice.isEmpty() ? QStringLiteral("untouched") : notice.arg(path));
}

// Into the open plan: header cells find the plan's properties ignoring case, an empty cell takes
// the property's default, the plan's cards get the empty text for new properties, and only a new
// property from the first header cell shows on cards.
void TestCsvImport::importIntoOpenPlanMatchesPropertiesIgnoringCase()
{
    Document &d = m_plan;
    d.clear(false);
    PlanSamples::addProperty(d, QStringLiteral("Status"), PropertyType::Text,
                             QStringLiteral("Open"));
    d.addTask(false);
    PlanSamples::setValue(d, 0, 1, QStringLiteral("Done"));
    QString error;
    QVERIFY(importCsvFile(m_plan, writeCsv("Name,status,Extra\nx,,e1\ny,Late,\n"), false, &error));
    QCOMPARE(describePlan(d), QStringLiteral("Status|Name|Extra\nDone||\nOpen|x|e1\nLate|y|"));
    QCOMPARE(d.propertyVisibility(2), int(PropertyVisibility::Text));
    QCOMPARE(d.propertyVisibility(3), int(PropertyVisibility::Hidden));
    QCOMPARE(d.propertyType(2), int(PropertyType::Automatic));
    // A first header cell that names a plan property leaves every new one hidden.
    QVERIFY(importCsvFile(m_plan, writeCsv("STATUS,More\nz,m\n"), false, &error));
    QCOMPARE(d.propertyName(4), QStringLiteral("More"));
    QCOMPARE(d.propertyVisibility(4), int(PropertyVisibility::Hidden));
    QCOMPARE(d.value(3, 1), QStringLiteral("z"));
}

void TestCsvImport::dateColumnsTakeTheUserFormat_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QString>("plan");
    QTest::newRow("every value of a date column, the first too")
        << QByteArray("Due,Size\n01/03/2024,1\n\n 2/03/24 ,2\n  ,3\n")
        << "Due|Size\n1/3/2024|1\n2/3/2024|2\n  |3";
    QTest::newRow("one text that is no date keeps the column as written")
        << QByteArray("Due\n01/03/2024\nsoon\n02/03/2024\n") << "Due\n01/03/2024\nsoon\n02/03/2024";
    QTest::newRow("later of two columns of one property decides")
        << QByteArray("Due,due\nnever,01/03/2024\n") << "Due\n1/3/2024";
}

void TestCsvImport::dateColumnsTakeTheUserFormat()
{
    QFETCH(QByteArray, csv);
    QFETCH(QString, plan);
    QString error;
    QVERIFY(importCsvFile(m_plan, writeCsv(csv), true, &error));
    QCOMPARE(describePlan(m_plan), plan);
}

// Shapes that once cost seconds and hundreds of megabytes for a few kilobytes of file: each is
// read in full, or refused before the plan changes.
void TestCsvImport::hostileShapesAreReadOrRefused_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<int>("planCards");
    QTest::addColumn<int>("cards");
    QTest::addColumn<int>("properties");
    QTest::addColumn<bool>("refused");
    QTest::newRow("short rows under a wide header")
        << repeatedCells("c", 2000) + "\n" + QByteArray("x\n").repeated(1100) << 0 << 0 << 0
        << true;
    QTest::newRow("wide header into a plan of many cards") << repeatedCells("c", 2000) + "\n"
                                                           << 7000 << 7000 << 10 << true;
    QTest::newRow("rows padded to a wide header")
        << repeatedCells("c", 500) + "\n" + ("x" + QByteArray(499, ',') + "\n").repeated(40) << 0
        << 40 << 500 << false;
    QTest::newRow("header only") << repeatedCells("c", 20000) << 0 << 0 << 20000 << false;
    QTest::newRow("names equal after the cut") << repeatedCells("Name" + QByteArray(26, ' '), 3000)
            + "\nx\n" << 0 << 1 << 3000 << false;
    QTest::newRow("placeholder names") << QByteArray("<select>,").repeated(3000) + "\nx\n"
                                       << 0 << 1 << 3000 << false;
    QTest::newRow("one long row") << "Name\n" + QByteArray("x,").repeated(100000) << 0 << 1 << 1
                                  << false;
    QTest::newRow("unclosed quote")
        << "A,B\n\"" + QByteArray("x,y\n").repeated(20000) << 0 << 1 << 2 << false;
    QTest::newRow("quote storm") << "A,B\n" + QByteArray("a\"b\",c\"\"d\n").repeated(20000) << 0
                                 << 20000 << 2 << false;
}

void TestCsvImport::hostileShapesAreReadOrRefused()
{
    QFETCH(QByteArray, csv);
    QFETCH(int, planCards);
    QFETCH(int, cards);
    QFETCH(int, properties);
    QFETCH(bool, refused);
    Document &d = m_plan;
    PlanSamples::fillLargePlan(d, planCards, 10);
    const Document before = d;
    const QString path = writeCsv(csv);
    QString error;
    QCOMPARE(importCsvFile(m_plan, path, planCards == 0, &error), !refused);
    if (refused) {
        QCOMPARE(error,
                 QStringLiteral("The file '%1' holds more cards and properties than can "
                                "be opened.")
                     .arg(path));
        QVERIFY(d == before);
        return;
    }
    QCOMPARE(d.taskCount(), cards);
    QCOMPARE(d.propertyCount() - 1, properties);
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

// Files that are no picture, a picture wider than the limit, one of more scans than an encoder
// writes or, once the import's pictures have taken what they share, more pixels than their own
// bytes pay for give no image; a path named twice is one image.
void TestCsvImport::rowsNamingOnePictureShareOneImage()
{
    const QString picture = m_dir.filePath(QStringLiteral("red square.png"));
    QVERIFY(PlanSamples::picture({}, Qt::red, 8, 8).pixmap().save(picture));
    const QStringList paths
        = QStringList {picture,
                       QStringLiteral(" %1 ").arg(picture),
                       writeCsv("not a picture", QStringLiteral("fake.png")),
                       writeCsv(PlanSamples::pngOfWidth(Image::MaxDecodedSide + 1), "huge.png"),
                       writeCsv(HostilePlans::progressiveJpeg(64, 10000), "scans.jpg"),
                       writeCsv(HostilePlans::progressiveJpeg(64, 10000).insert(
                                    2, "\xff\xe0\x00\x00", 4),
                                "scans behind an empty segment.jpg")}
        + spendingTheAllowance()
        + QStringList {
            writeCsv(HostilePlans::jpegWithComment(HostilePlans::baselineJpeg(16384, 16384), 10),
                     "many blocks.jpg"),
            writeCsv(HostileGifs::longData(20000), "long data.gif")};
    QString error;
    QVERIFY(importCsvFile(m_plan, writeCsv("Name,Images\nx," + paths.join("\nx,").toUtf8() + "\n"),
                          true, &error));
    QCOMPARE(m_plan.imageCount(), 2);
    QCOMPARE(m_plan.image(0).name(), QStringLiteral("red square"));
    QList<int> images;
    for (int card = 0; card < m_plan.taskCount(); ++card)
        images << m_plan.task(card).imageIndex();
    QCOMPARE(images,
             QList<int>({0, 0, -1, -1, -1, -1}) + QVector<int>(5, 1).toList()
                 + QList<int>({-1, -1}));
}

// The pictures are files the CSV file names, not ones the user chose: an SVG among them would
// load whatever it links to.
void TestCsvImport::picturesTheFileNamesAreReadOnlyAsRasterData()
{
    const QString red = m_dir.filePath(QStringLiteral("red.png"));
    QVERIFY(PlanSamples::picture({}, Qt::red, 8, 8).pixmap().save(red));
    const QString blue = m_dir.filePath(QStringLiteral("blue.bmp"));
    QVERIFY(PlanSamples::picture({}, Qt::blue, 8, 8).pixmap().save(blue));
    const QString linking
        = writeCsv(HostilePlans::svgShowing(QFile::encodeName(red)), QStringLiteral("red.svg"));
    QString error;
    QVERIFY(importCsvFile(
        m_plan,
        writeCsv(("Name,Images\na," + red + "\nb," + linking + "\nc," + blue + "\n").toUtf8()),
        true, &error));
    QCOMPARE(m_plan.imageCount(), 2);
    QList<int> images;
    for (int card = 0; card < m_plan.taskCount(); ++card)
        images << m_plan.task(card).imageIndex();
    QCOMPARE(images, (QList<int> {0, -1, 1}));
}

// A picture file is decoded and paid for once, however the rows reach it, and only the bytes of
// a picture that its decoder reads, and that are there, pay for its work: a large file of
// anything else, named under many spellings, the bytes past a picture's end or the holes of a
// file would otherwise buy decoding a picture of millions of pixels for each. What a picture's
// bytes do not pay for is taken from what the import's pictures share, so that the pictures
// below that must pay come after others have taken nearly all of it.
void TestCsvImport::eachPictureIsPaidForOnceByWhatItHolds_data()
{
    QTest::addColumn<QStringList>("paths"); // the picture cell of each row
    QTest::addColumn<QList<int>>("images"); // each card's library index
    // False where a file of the row was to hold a hole and the file system keeps none.
    QTest::addColumn<bool>("holesKept");
    // Two pictures of a few hundred bytes that each take more than an eighth of what the import's
    // pictures share: the second comes in only if the first was paid for once.
    const QString wide = writeCsv(HostilePlans::baselineJpeg(16384, 16384), "wide.jpg");
    const QString tall = writeCsv(HostilePlans::baselineJpeg(16000, 16384), "tall.jpg");
    const QString link = m_dir.filePath(QStringLiteral("link to wide.jpg"));
    QVERIFY(QFileInfo(link).isSymLink() || QFile::link(wide, link));
    QStringList spellings {link};
    for (int dots = 1; spellings.size() < 300; ++dots)
        spellings << m_dir.path() + QStringLiteral("/.").repeated(dots)
                + QStringLiteral("/wide.jpg");
    QTest::newRow("one picture under 300 spellings")
        << spellings + QStringList {tall} << QVector<int>(300, 0).toList() + QList<int> {1} << true;
    QStringList hardLinks;
    for (int i = 0; i < 200; ++i) {
        hardLinks << m_dir.filePath(QStringLiteral("hard link %1.jpg").arg(i));
        QVERIFY(QFileInfo::exists(hardLinks.last())
                || ::link(QFile::encodeName(wide).constData(),
                          QFile::encodeName(hardLinks.last()).constData())
                    == 0);
    }
    QTest::newRow("one picture under 200 hard links")
        << hardLinks + QStringList {tall} << QVector<int>(200, 0).toList() + QList<int> {1} << true;
    // Well compressed drawings, each paid for by its bytes, all come in.
    QStringList drawings;
    for (int i = 0; i < 100; ++i) {
        QImage drawing(800, 600, QImage::Format_RGB32);
        drawing.fill(QColor::fromHsv(i * 3, 200, 250));
        drawings << writeCsv(HostilePlans::encodedPicture(drawing, "PNG"),
                             QStringLiteral("drawing %1.png").arg(i));
    }
    QList<int> eachItsOwn;
    for (int i = 0; i < drawings.size(); ++i)
        eachItsOwn << i;
    QTest::newRow("a hundred drawings") << drawings << eachItsOwn << true;
    // Files of a few hundred bytes that each declare the work of 270 megapixels: a few come in on
    // what the import's pictures share, and then none. Pages scanned in black and white, which
    // pack some 700 pixels into a byte, blank ones, whose every byte inflates as far as deflate
    // goes, an A3 page and an empty desktop in a palette still pay for themselves.
    QStringList dense;
    for (int i = 0; i < 20; ++i)
        dense << writeCsv(HostilePlans::baselineJpeg(16384, 16384),
                          QStringLiteral("dense %1.jpg").arg(i));
    for (int i = 1; i <= 3; ++i)
        dense << writeCsv(HostilePlans::speckledPng(4096, 4096, 10, quint32(i)),
                          QStringLiteral("page %1.png").arg(i));
    dense << writeCsv(HostilePlans::blackPng(4960, 7016), "blank page.png")
          << writeCsv(HostilePlans::speckledPng(7016, 9921, 10, 9), "a3 page.png")
          << writeCsv(HostilePlans::blackPng(7680, 4320, 8, 3, false,
                                             HostilePlans::pngChunk("PLTE", QByteArray(768, 40))),
                      "desktop.png");
    QTest::newRow("tiny files declaring large pictures, then dense ordinary ones")
        << dense
        << QVector<int>(5, 0).toList() + QVector<int>(15, -1).toList()
            + QList<int> {1, 2, 3, 4, 5, 6}
        << true;
    const QStringList spending = spendingTheAllowance();
    const QList<int> spent = QVector<int>(5, 0).toList();
    // It takes some 48 million units beyond what its few hundred bytes pay for.
    const QString owing = writeCsv(
        HostilePlans::jpegWithComment(HostilePlans::baselineJpeg(16384, 16384), 20), "owing.jpg");
    const QString library = m_dir.filePath(QStringLiteral("library.so"));
    QFile sparse(library);
    QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(4 << 20));
    QTest::newRow("a large file that is no picture")
        << spending + QStringList {library, owing} << spent + QList<int> {-1, -1} << true;
    // A picture whose file states a quarter of a gibibyte, nearly all of it a hole with no bytes:
    // it pays only with the bytes its decoder reads.
    const QString sparsePicture = writeCsv(
        HostilePlans::jpegWithComment(HostilePlans::baselineJpeg(16384, 16384), 30), "sparse.jpg");
    QFile sparsePictureFile(sparsePicture);
    QVERIFY(sparsePictureFile.open(QIODevice::ReadWrite) && sparsePictureFile.resize(256 << 20));
    QTest::newRow("a sparse file paid for by the bytes read")
        << spending + QStringList {sparsePicture} << spent + QList<int> {-1} << true;
    // Small pictures followed by 8 MiB that their decoders never read: they pay for themselves
    // with what they read, and the rest pays for nothing after them.
    QImage small(10, 10, QImage::Format_RGB32);
    small.fill(Qt::darkCyan);
    const QByteArray unread(8 << 20, 0);
    QTest::newRow("a bmp paid for by its rows") << spending
            + QStringList {writeCsv(HostilePlans::encodedPicture(small, "BMP") + unread,
                                    "small.bmp"),
                           owing} << spent + QList<int> {1, -1}
                                                << true;
    QTest::newRow("a gif paid for by its picture") << spending
            + QStringList {writeCsv(HostilePlans::gifWithScreen(10, 10) + unread, "small.gif"),
                           owing} << spent + QList<int> {1, -1}
                                                   << true;
    // A JPEG whose 64 MiB before its frame are a hole: its decoder passes over the zeros between
    // its segments, and they take no room on the disk.
    const QByteArray jpeg
        = HostilePlans::jpegWithComment(HostilePlans::baselineJpeg(16384, 16384), 40);
    const int frame = jpeg.indexOf("\xff\xc0");
    const QString holedJpeg = m_dir.filePath(QStringLiteral("holed.jpg"));
    const bool kept = writeWithHole(holedJpeg, jpeg, frame, 64 << 20);
    QTest::newRow("a jpeg paid for by the bytes there, not its hole")
        << spending + QStringList {holedJpeg} << spent + QList<int> {-1} << kept;
    // A picture refused for its 67 megapixels, in 8 MB of bytes that are there, and one whose
    // file ends before its data, take nothing of what the pictures after them share.
    QImage overLimit(8193, 8193, QImage::Format_Mono);
    overLimit.fill(0);
    const QString refused
        = writeCsv(HostilePlans::encodedPicture(overLimit, "BMP"), "over the limit.bmp");
    const QString cut = writeCsv(HostilePlans::blackPng(8192, 4096).left(100), "cut.png");
    QTest::newRow("a refused picture pays nothing")
        << QStringList {refused, cut} + spending << QList<int> {-1, -1} + spent << true;
    // A picture of 42 megapixels that its own bytes pay for comes in with nothing else left.
    QTest::newRow("a picture paid for by its own bytes") << spending
            + QStringList {writeCsv(HostilePlans::blackPng(6144, 6840, 8, 2), "just over.png")}
                                                         << spent + QList<int> {1} << true;
}

void TestCsvImport::eachPictureIsPaidForOnceByWhatItHolds()
{
    QFETCH(QStringList, paths);
    QFETCH(QList<int>, images);
    QFETCH(bool, holesKept);
    if (!holesKept)
        QSKIP("The temporary folder keeps no holes in its files.");
    QString error;
    QVERIFY(importCsvFile(m_plan, writeCsv("Name,Images\nx," + paths.join("\nx,").toUtf8() + "\n"),
                          true, &error));
    QList<int> found;
    for (int card = 0; card < m_plan.taskCount(); ++card)
        found << m_plan.task(card).imageIndex();
    QCOMPARE(found, images);
}

// A device never ends and a pipe blocks the open until someone writes to it: neither is opened.
// Some files of the system pass for regular files of no length and read on for gigabytes: they
// are refused at the first byte past what they state.
void TestCsvImport::pathsThatAreNoFileAreRefusedUnopened_data()
{
    QTest::addColumn<QString>("path");
    const QString pipe = m_dir.filePath(QStringLiteral("pipe.csv"));
    QVERIFY(QFileInfo::exists(pipe) || mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
    const QString endless = QStringLiteral("/proc/self/pagemap");
    const QString linkToEndless = m_dir.filePath(QStringLiteral("cards from elsewhere.csv"));
    QVERIFY(QFileInfo(linkToEndless).isSymLink() || QFile::link(endless, linkToEndless));
    QTest::newRow("device") << QStringLiteral("/dev/zero");
    QTest::newRow("pipe") << pipe;
    QTest::newRow("endless file of size 0") << endless;
    QTest::newRow("link to an endless file") << linkToEndless;
}

void TestCsvImport::pathsThatAreNoFileAreRefusedUnopened()
{
    QFETCH(QString, path);
    Document original;
    PlanSamples::fillVariedPlan(original);
    m_plan = original;
    QString error;
    QVERIFY(!importCsvFile(m_plan, path, true, &error));
    QCOMPARE(error, QStringLiteral("Cannot open file '%1' to read.").arg(path));
    QVERIFY(m_plan == original);
}

TAVROLO_GUI_TEST_MAIN(TestCsvImport)
#include "tst_csvimport.moc"
