#include "PlanSamples.h"
#include "harness/FileFaults.h"
#include "harness/PlainTestMain.h"
#include "harness/TestPlanKey.h"
#include "storage/CsvExport.h"

#include <QBuffer>
#include <QTemporaryDir>

using namespace PlanSamples;

class TestCsvExport : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void fieldsAreQuoted_data();
    void fieldsAreQuoted();
    void asciiTableIsPlainWithoutByteOrderMark();
    void nonAsciiTableIsUtf16WithByteOrderMark();
    void cardColumnsGoBeforePropertiesOfTheirName_data();
    void cardColumnsGoBeforePropertiesOfTheirName();
    void failedExportKeepsOldFileAndSaysWhy();

private:
    QTemporaryDir m_dir;
    Document m_plan;
};

// Priority and Effort, with the cards a, b and c.
void TestCsvExport::init()
{
    Document &d = m_plan;
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

void TestCsvExport::fieldsAreQuoted_data()
{
    QTest::addColumn<bool>("always");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("quoted");
    const auto row = [](const char *name, bool always, const char *field, const char *quoted) {
        QTest::newRow(name) << always << QString(field) << QString(quoted);
    };
    row("quotes doubled", true, "say \"hi\"", "\"say \"\"hi\"\"\"");
    row("line feed and cr lf become blanks", true, "a\nb\r\nc", "\"a b c\"");
    row("not forced, separator", false, "a,b", "\"a,b\"");
    row("not forced, plain", false, "a b", "a b");
}

void TestCsvExport::fieldsAreQuoted()
{
    QFETCH(bool, always);
    QFETCH(QString, field);
    QFETCH(QString, quoted);
    QCOMPARE(quoteCsvField(always, field, QStringLiteral(",")), quoted);
}

// Cards chosen twice, out of order or unknown are written once in plan order; an image index
// outside the library (a plan file may hold one) writes no name.
void TestCsvExport::asciiTableIsPlainWithoutByteOrderMark()
{
    m_plan.setTaskNotes(0, QStringLiteral("line\nbreak"), false, nullptr);
    m_plan.setTaskLinks(
        0,
        {HyperLink(QStringLiteral("x"), QUrl(QStringLiteral("http://a.example/"))),
         HyperLink(QStringLiteral("y"), QUrl(QStringLiteral("http://b.example/p")))},
        false, nullptr);
    m_plan.setTaskImage(0, 0, false, nullptr);
    m_plan.setTaskImage(2, 5, false, nullptr);
    bool unicode = true;
    QString error;
    const QString path = m_dir.filePath(QStringLiteral("plan.csv"));
    QVERIFY(exportCsvFile(m_plan, path, {2, 0, 2, 17, -1}, &unicode, &error));
    QVERIFY(!unicode);
    QCOMPARE(readBytes(path),
             QByteArray("\"Priority\",\"Effort\",\"Notes\",\"Links\",\"Images\"\n"
                        "\"a\",\"0\",\"line break\",\"http://a.example/,http://b.example/p\","
                        "\"logo\"\n"
                        "\"c\",\"2\",\"\",\"\",\"\"\n"));
}

void TestCsvExport::nonAsciiTableIsUtf16WithByteOrderMark()
{
    m_plan.editableProperty(2, TestPlanKey::key()).setName(QStringLiteral("Aufwänd"));
    const QString path = m_dir.filePath(QStringLiteral("plan.csv"));
    bool unicode = false;
    QString error;
    QVERIFY(exportCsvFile(m_plan, path, QList<int>(), &unicode, &error));
    QVERIFY(unicode);
    const QByteArray bytes = readBytes(path);
    QVERIFY(bytes.startsWith("\xff\xfe"));
    const QString text = QString::fromUtf16(
        reinterpret_cast<const char16_t *>(bytes.constData() + 2), (bytes.size() - 2) / 2);
    QCOMPARE(text, QStringLiteral("\"Priority\",\"Aufwänd\",\"Notes\",\"Links\",\"Images\"\n"));
}

void TestCsvExport::cardColumnsGoBeforePropertiesOfTheirName_data()
{
    QTest::addColumn<QString>("effort");
    QTest::addColumn<QByteArray>("table");
    QTest::newRow("no such name")
        << "Effort"
        << QByteArray(
               "\"Priority\",\"Effort\",\"Notes\",\"Links\",\"Images\"\n"
               "\"a\",\"0\",\"n\",\"https://a.example/@1%2c2,mailto:b@c.example\",\"logo\"\n");
    QTest::newRow("blanks around links")
        << " links "
        << QByteArray(
               "\"Priority\",\"Links\",\" links \",\"Notes\",\"Images\"\n"
               "\"a\",\"https://a.example/@1%2c2,mailto:b@c.example\",\"0\",\"n\",\"logo\"\n");
    QTest::newRow("images in capitals")
        << "IMAGES"
        << QByteArray(
               "\"Priority\",\"Images\",\"IMAGES\",\"Notes\",\"Links\"\n"
               "\"a\",\"logo\",\"0\",\"n\",\"https://a.example/@1%2c2,mailto:b@c.example\"\n");
}

// The import takes the first column of each of the card's own names as the card's own, and
// splits a links cell at every comma.
void TestCsvExport::cardColumnsGoBeforePropertiesOfTheirName()
{
    QFETCH(QString, effort);
    QFETCH(QByteArray, table);
    m_plan.editableProperty(2, TestPlanKey::key()).setName(effort);
    m_plan.setTaskNotes(0, QStringLiteral("n"), false, nullptr);
    m_plan.setTaskLinks(0,
                        {HyperLink::fromUrlText(QStringLiteral("https://a.example/@1,2")),
                         HyperLink::fromUrlText(QStringLiteral("mailto:b@c.example"))},
                        false, nullptr);
    m_plan.setTaskImage(0, 0, false, nullptr);
    QBuffer written;
    written.open(QIODevice::WriteOnly);
    bool unicode = true;
    QVERIFY(writeCsvText(m_plan, &written, {0}, &unicode));
    QCOMPARE(written.data(), table);
}

void TestCsvExport::failedExportKeepsOldFileAndSaysWhy()
{
    const QString path = m_dir.filePath(QStringLiteral("plan.csv"));
    bool unicode = false;
    QString error;
    QVERIFY(exportCsvFile(m_plan, path, {0}, &unicode, &error));
    const QByteArray old = readBytes(path);
    fillLargePlan(m_plan, 500, 8);
    {
        FileSizeLimit limit(old.size() + 100);
        QVERIFY(!exportCsvFile(m_plan, path, m_plan.taskIndexes(), &unicode, &error));
    }
    QCOMPARE(error, QStringLiteral("Can't save '%1': File too large.").arg(path));
    QCOMPARE(readBytes(path), old);
    const QString missing = m_dir.filePath(QStringLiteral("missing/plan.csv"));
    QVERIFY(!exportCsvFile(m_plan, missing, {0}, &unicode, &error));
    QCOMPARE(
        error,
        QStringLiteral("Unable to write to '%1'.\nFile may be open in another application.\nNo "
                       "such file or directory.")
            .arg(missing));
}

TAVROLO_GUI_TEST_MAIN(TestCsvExport)
#include "tst_csvexport.moc"
