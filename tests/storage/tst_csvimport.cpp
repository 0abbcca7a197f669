#include "harness/TestMain.h"
#include "storage/CsvImport.h"

#include <QRegExp>

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

} // namespace

class TestCsvImport : public QObject
{
    Q_OBJECT
private slots:
    void linesSplitIntoCleanedCells_data();
    void linesSplitIntoCleanedCells();
    void splittingFollowsTheQuoteRule();
    void longLineWithStrayQuoteSplitsInOnePass();
    void lineBreaksInsideQuotesBecomeBlanks_data();
    void lineBreaksInsideQuotesBecomeBlanks();
    void blankRowsAndColumns();
};

void TestCsvImport::linesSplitIntoCleanedCells_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QStringList>("cells");
    QTest::newRow("plain") << "a,b,,c"
                           << "," << QStringList {"a", "b", "", "c"};
    QTest::newRow("blanks kept") << " a , b"
                                 << "," << QStringList {" a ", " b"};
    QTest::newRow("quoted separator") << "\"a,b\",c"
                                      << "," << QStringList {"a,b", "c"};
    QTest::newRow("doubled quotes") << "\"a\"\"b\",x"
                                    << "," << QStringList {"a\"b", "x"};
    QTest::newRow("two quotes are empty") << "\"\",x"
                                          << "," << QStringList {"", "x"};
    QTest::newRow("text around quotes") << "pre\"mid\"post"
                                        << "," << QStringList {"mid"};
    QTest::newRow("only quote last") << "abc\""
                                     << "," << QStringList {""};
    QTest::newRow("only quote first") << "\"abc"
                                      << "," << QStringList {"abc"};
    QTest::newRow("semicolons") << "a;\"b;c\";d,e"
                                << ";" << QStringList {"a", "b;c", "d,e"};
    QTest::newRow("trailing separator") << "a,"
                                        << "," << QStringList {"a", ""};
}

void TestCsvImport::linesSplitIntoCleanedCells()
{
    QFETCH(QString, line);
    QFETCH(QString, separator);
    QFETCH(QStringList, cells);
    QCOMPARE(splitCsvLine(line, separator), cells);
}

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
    QTest::newRow("quoted break") << "\"a\nb\",c\nd"
                                  << "\"a b\",c\nd";
    QTest::newRow("escaped quote stays inside") << "\"a\"\"\nb\"\nc"
                                                << "\"a\"\" b\"\nc";
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

void TestCsvImport::blankRowsAndColumns()
{
    QVERIFY(isBlankRow(QStringList()));
    QVERIFY(isBlankRow(QStringList {" ", "\t", ""}));
    QVERIFY(!isBlankRow(QStringList {" ", "x"}));
    QCOMPARE(nonEmptyColumns(QStringList {"a", " ", "", "b "}), (QList<int> {0, 3}));
}

TAVROLO_TEST_MAIN(TestCsvImport)
#include "tst_csvimport.moc"
