#include "FileFaults.h"
#include "PlanSamples.h"
#include "common/Accessors.h"
#include "harness/TestMain.h"
#include "storage/CsvExport.h"
#include "storage/CsvImport.h"

#include <QTemporaryDir>
#include <QTextCodec>

using namespace PlanSamples;

namespace {

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// Priority and Effort, with the cards a, b and c.
void smallPlan()
{
    Document &d = *doc();
    d.clear(false);
    d.addImage(picture(QStringLiteral("logo"), Qt::red, 4, 4), false);
    addProperty(d, QStringLiteral("Priority"));
    addProperty(d, QStringLiteral("Effort"));
    for (const QString &name : {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}) {
        const int card = d.addTask(false);
        setValue(d, card, 1, name);
        setValue(d, card, 2, QString::number(card));
    }
}

} // namespace

class TestCsvExport : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void fieldsAreQuoted_data();
    void fieldsAreQuoted();
    void asciiTableHasNoByteOrderMark();
    void nonAsciiTableIsUtf16WithByteOrderMark();
    void cardsAreWrittenOnceInPlanOrder();
    void unknownImageIndexWritesEmptyName();
    void exportedTableImportsBack();
    void unwritablePathGivesMessage();
    void failedWriteKeepsOldFile();

private:
    QTemporaryDir m_dir;
};

void TestCsvExport::init()
{
    QVERIFY(m_dir.isValid());
    smallPlan();
}

void TestCsvExport::fieldsAreQuoted_data()
{
    QTest::addColumn<bool>("always");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("quoted");
    QTest::newRow("plain") << true << "abc"
                           << "\"abc\"";
    QTest::newRow("quotes doubled") << true << "say \"hi\""
                                    << "\"say \"\"hi\"\"\"";
    QTest::newRow("line feed and cr lf become blanks") << true << "a\nb\r\nc"
                                                       << "\"a b c\"";
    QTest::newRow("lone cr stays") << true << "a\rb"
                                   << "\"a\rb\"";
    QTest::newRow("not forced, separator") << false << "a,b"
                                           << "\"a,b\"";
    QTest::newRow("not forced, quote") << false << "a\"b"
                                       << "\"a\"\"b\"";
    QTest::newRow("not forced, plain") << false << "a b"
                                       << "a b";
    QTest::newRow("not forced, only a line break") << false << "a\nb"
                                                   << "a b";
}

void TestCsvExport::fieldsAreQuoted()
{
    QFETCH(bool, always);
    QFETCH(QString, field);
    QFETCH(QString, quoted);
    QCOMPARE(quoteCsvField(always, field, QStringLiteral(",")), quoted);
    QCOMPARE(quoteCsvLine(always, {field, field}, QStringLiteral(";")),
             quoteCsvField(always, field, QStringLiteral(";")) + QLatin1Char(';')
                 + quoteCsvField(always, field, QStringLiteral(";")));
}

void TestCsvExport::asciiTableHasNoByteOrderMark()
{
    doc()->setTaskNotes(0, QStringLiteral("line\nbreak"), false, nullptr);
    doc()->setTaskLinks(
        0,
        {HyperLink(QStringLiteral("x"), QUrl(QStringLiteral("http://a.example/"))),
         HyperLink(QStringLiteral("y"), QUrl(QStringLiteral("http://b.example/p")))},
        false, nullptr);
    doc()->setTaskImage(0, 0, false, nullptr);
    const QString csv = m_dir.filePath(QStringLiteral("plan.csv"));
    const QString txt = m_dir.filePath(QStringLiteral("plan.txt"));
    bool unicode = true;
    QString error;
    QVERIFY(exportCsvFile(csv, {0, 2}, &unicode, &error));
    QVERIFY(!unicode);
    QCOMPARE(readBytes(csv),
             QByteArray("\"Priority\",\"Effort\",\"Notes\",\"Links\",\"Images\"\n"
                        "\"a\",\"0\",\"line break\",\"http://a.example/,http://b.example/p\","
                        "\"logo\"\n"
                        "\"c\",\"2\",\"\",\"\",\"\"\n"));
    QVERIFY(exportCsvFile(txt, {0, 2}, &unicode, &error));
    QCOMPARE(readBytes(txt), readBytes(csv));
}

void TestCsvExport::nonAsciiTableIsUtf16WithByteOrderMark()
{
    doc()->property(2).setName(QStringLiteral("Aufwänd"));
    const QString path = m_dir.filePath(QStringLiteral("plan.csv"));
    bool unicode = false;
    QString error;
    QVERIFY(exportCsvFile(path, QList<int>(), &unicode, &error));
    QVERIFY(unicode);
    const QByteArray bytes = readBytes(path);
    QVERIFY(bytes.startsWith("\xff\xfe"));
    const QString text = QString::fromUtf16(
        reinterpret_cast<const char16_t *>(bytes.constData() + 2), (bytes.size() - 2) / 2);
    QCOMPARE(text, QStringLiteral("\"Priority\",\"Aufwänd\",\"Notes\",\"Links\",\"Images\"\n"));
}

void TestCsvExport::cardsAreWrittenOnceInPlanOrder()
{
    const QString path = m_dir.filePath(QStringLiteral("plan.csv"));
    bool unicode = false;
    QString error;
    QVERIFY(exportCsvFile(path, {2, 0, 2, 17, -1}, &unicode, &error));
    const QList<QByteArray> lines = readBytes(path).split('\n');
    QCOMPARE(lines.size(), 4); // header, two cards, and the empty text after the last LF
    QVERIFY(lines.at(1).startsWith("\"a\""));
    QVERIFY(lines.at(2).startsWith("\"c\""));
}

void TestCsvExport::unknownImageIndexWritesEmptyName()
{
    doc()->setTaskImage(1, 5, false, nullptr); // a plan file may hold such an index
    const QString path = m_dir.filePath(QStringLiteral("plan.csv"));
    bool unicode = false;
    QString error;
    QVERIFY(exportCsvFile(path, {1}, &unicode, &error));
    QVERIFY(readBytes(path).endsWith("\"b\",\"1\",\"\",\"\",\"\"\n"));
}

void TestCsvExport::exportedTableImportsBack()
{
    Document original;
    fillVariedPlan(original);
    *doc() = original;
    const QString path = m_dir.filePath(QStringLiteral("plan.csv"));
    bool unicode = false;
    QString error;
    QVERIFY(exportCsvFile(path, doc()->taskIndexes(), &unicode, &error));
    QVERIFY(unicode);
    const QString seeds = qEnvironmentVariable("TAVROLO_FUZZ_SEEDS");
    if (!seeds.isEmpty())
        QFile::copy(path, seeds + QStringLiteral("/exported.csv"));
    QVERIFY(importCsvFile(path, true, &error));
    QCOMPARE(doc()->taskCount(), original.taskCount());
    QCOMPARE(doc()->propertyCount(), original.propertyCount());
    for (int card = 0; card < original.taskCount(); ++card) {
        for (int p = 1; p < original.propertyCount(); ++p) {
            // Line breaks become blanks on the way; everything else comes back.
            QString expected = original.value(card, p);
            expected.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
            expected.replace(QLatin1Char('\n'), QLatin1Char(' '));
            QCOMPARE(doc()->value(card, p), expected);
        }
    }
}

void TestCsvExport::unwritablePathGivesMessage()
{
    const QString path = m_dir.filePath(QStringLiteral("missing/plan.csv"));
    bool unicode = true;
    QString error;
    QVERIFY(!exportCsvFile(path, {0}, &unicode, &error));
    QVERIFY(!unicode);
    QCOMPARE(error,
             QStringLiteral("Unable to write to '%1'.\nFile may be open in another "
                            "application.")
                 .arg(path));
}

void TestCsvExport::failedWriteKeepsOldFile()
{
    const QString path = m_dir.filePath(QStringLiteral("plan.csv"));
    bool unicode = false;
    QString error;
    QVERIFY(exportCsvFile(path, {0}, &unicode, &error));
    const QByteArray old = readBytes(path);
    fillLargePlan(*doc(), 500, 8);
    {
        FileSizeLimit limit(old.size() + 100);
        QVERIFY(!exportCsvFile(path, doc()->taskIndexes(), &unicode, &error));
    }
    QCOMPARE(error,
             QStringLiteral("Can't save to file. Error code %1.").arg(QFileDevice::WriteError));
    QCOMPARE(readBytes(path), old);
}

TAVROLO_TEST_MAIN(TestCsvExport)
#include "tst_csvexport.moc"
