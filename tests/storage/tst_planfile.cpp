#include "FileFaults.h"
#include "PlanSamples.h"
#include "harness/TestMain.h"
#include "storage/PlanFileReader.h"
#include "storage/PlanFileWriter.h"

#include <QTemporaryDir>

using namespace PlanSamples;

namespace {

QByteArray planWith(const QByteArray &body)
{
    return "<!DOCTYPE tavrolo>\n<root>\n" + body + "\n</root>\n";
}

} // namespace

class TestPlanFile : public QObject
{
    Q_OBJECT
private slots:
    void writtenPlanReadsBackEqual_data();
    void writtenPlanReadsBackEqual();
    void fileTextIsAsciiAndVersioned();
    void olderVersionsAreConverted_data();
    void olderVersionsAreConverted();
    void failedReadLeavesPlanUntouched_data();
    void failedReadLeavesPlanUntouched();
    void missingOrBadPartsTakeDefaults_data();
    void missingOrBadPartsTakeDefaults();
    void failedWriteKeepsOldFile();
    void saveIntoLockedFolderKeepsOldFile();
    void saveFollowsSymbolicLinkAndKeepsPermissions();

private:
    QTemporaryDir m_dir;
};

void TestPlanFile::writtenPlanReadsBackEqual_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("empty plan") << 0;
    QTest::newRow("new plan with one card") << 1;
    QTest::newRow("awkward texts, images, views and appearances") << 2;
    QTest::newRow("cards without properties") << 3;
}

void TestPlanFile::writtenPlanReadsBackEqual()
{
    QFETCH(int, kind);
    Document original;
    original.clear(kind == 1);
    if (kind == 1)
        original.addTask(false);
    if (kind == 2)
        fillVariedPlan(original);
    for (int i = 0; kind == 3 && i < 3; ++i)
        original.addTask(false);
    normalizeLikeFile(original);
    const QString path = m_dir.filePath(QStringLiteral("round.tv"));
    QString error;
    QVERIFY2(writePlanFile(original, path, &error), qPrintable(error));
    Document read;
    read.addTask(false);
    bool later = true;
    QVERIFY2(readPlanFile(read, path, &error, &later), qPrintable(error));
    QVERIFY(!later);
    QVERIFY(read == original);
    // Nothing drifts from save to save.
    QCOMPARE(planFileText(read), planFileText(original));
}

void TestPlanFile::fileTextIsAsciiAndVersioned()
{
    Document doc;
    fillVariedPlan(doc);
    const QByteArray text = planFileText(doc);
    QVERIFY(
        text.startsWith("<!DOCTYPE tavrolo>\n<root>\n   <meta>\n      <version value=\"14\"/>"));
    for (char c : text)
        QVERIFY(uchar(c) < 128);
    // The meta block and each view that keeps its own appearance carry the version.
    QCOMPARE(text.count("<version value=\"14\"/>"), 3);
}

void TestPlanFile::olderVersionsAreConverted_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QList<int>>(
        "sizes"); // title, header, rows orientation, view and stored view title
    QTest::addColumn<bool>("later");
    QTest::newRow("version 6 sizes are tripled")
        << "version6.tv" << QList<int> {150, 120, 0, -1, -1} << false;
    QTest::newRow("version 7 sizes are kept")
        << "version7.tv" << QList<int> {50, 40, 0, -1, -1} << false;
    // A view's own appearance was always written in the current scale, whatever the file.
    QTest::newRow("version 13 rows horizontal")
        << "version13.tv" << QList<int> {90, 150, 0, 60, 120} << false;
    QTest::newRow("version 14 rows vertical")
        << "version14.tv" << QList<int> {90, 150, 1, -1, -1} << false;
    QTest::newRow("no version means 14")
        << "noversion.tv" << QList<int> {50, 150, 1, -1, -1} << false;
    QTest::newRow("broken version means 0")
        << "badversion.tv" << QList<int> {150, 150, 0, -1, -1} << false;
    QTest::newRow("later version is read")
        << "version15.tv" << QList<int> {120, 150, 1, -1, -1} << true;
}

void TestPlanFile::olderVersionsAreConverted()
{
    QFETCH(QString, file);
    QFETCH(QList<int>, sizes);
    QFETCH(bool, later);
    Document doc;
    QString error;
    bool laterVersion = !later;
    const QString path = qEnvironmentVariable("TAVROLO_SOURCE_DIR") + "/tests/storage/data/" + file;
    QVERIFY2(readPlanFile(doc, path, &error, &laterVersion), qPrintable(error));
    QCOMPARE(laterVersion, later);
    const Slice &view = doc.currentView();
    const Slice stored = doc.storedViewsRef().value(0);
    QCOMPARE((QList<int> {doc.cardsTitleSize(), doc.cardsHeaderSize(),
                          doc.cardsRowHeaderTextOrientation(),
                          view.storeAppearance ? view.appearance.titleSize : -1,
                          stored.storeAppearance ? stored.appearance.titleSize : -1}),
             sizes);
}

void TestPlanFile::failedReadLeavesPlanUntouched_data()
{
    QTest::addColumn<QByteArray>("text"); // "<missing>" names no file
    QTest::addColumn<QString>("message");
    const QString formatError = "Format error '%1' detected at line %2 column %3.\n"
                                "Contact support if you are sure this a Tavrolo file.";
    QTest::newRow("missing file") << QByteArray("<missing>") << "Can't open file '%1'";
    QTest::newRow("not xml") << QByteArray("<!DOCTYPE tavrolo>\n<root>\n<meta>\n</root>")
                             << formatError.arg("tag mismatch").arg(4).arg(7);
    QTest::newRow("empty file") << QByteArray()
                                << formatError.arg("unexpected end of file").arg(1).arg(1);
    QTest::newRow("other document type")
        << QByteArray("<!DOCTYPE other>\n<root><cards><card/></cards></root>")
        << "Incorrect document type.";
    QTest::newRow("document type in other case")
        << QByteArray("<!DOCTYPE Tavrolo>\n<root/>") << "Incorrect document type.";
    QTest::newRow("no document type")
        << QByteArray("<root><cards><card/></cards></root>") << "Incorrect document type.";
    QTest::newRow("other root") << QByteArray("<!DOCTYPE tavrolo>\n<plan><card/></plan>")
                                << "Document root not found.";
    // A few KB of XML must not ask for billions of values.
    QTest::newRow("hostile value count")
        << planWith("<properties>" + QByteArray("<property/>").repeated(20000) + "</properties>"
                    + "<cards>" + QByteArray("<card/>").repeated(6000) + "</cards>")
        << "The file '%1' holds more cards and properties than can be opened.";
}

void TestPlanFile::failedReadLeavesPlanUntouched()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, message);
    Document doc;
    fillVariedPlan(doc);
    const Document before(doc);
    QString path = m_dir.filePath(QStringLiteral("broken.tv"));
    if (text == "<missing>")
        path = m_dir.filePath(QStringLiteral("no/such.tv"));
    else
        writeBytes(path, text);
    QString error;
    bool later = true;
    QVERIFY(!readPlanFile(doc, path, &error, &later));
    QCOMPARE(error, message.contains(QLatin1String("%1")) ? message.arg(path) : message);
    QVERIFY(later);
    QVERIFY(doc == before);
}

void TestPlanFile::missingOrBadPartsTakeDefaults_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("expected");
    const QByteArray properties = "<properties><property><name value=\"A\"/></property>"
                                  "<property><name value=\"B\"/><default value=\"dflt\"/>"
                                  "</property></properties>";
    QTest::newRow("no value attribute") << properties + "<cards><card/></cards>"
                                        << "values |dflt";
    QTest::newRow("extra value items ignored")
        << properties + "<cards><card value=\"x,y,z\"/></cards>"
        << "values x|y";
    QTest::newRow("image beyond the library")
        << QByteArray("<cards><card image=\"7\"/></cards>") << "image 7";
    const QByteArray binSize = "<properties><property><bin_size value=\"%1\"/></property>"
                               "</properties>";
    QTest::newRow("empty bin size") << QByteArray(binSize).replace("%1", "") << "bin 10";
    QTest::newRow("negative bin size") << QByteArray(binSize).replace("%1", "-4") << "bin 10";
    QTest::newRow("bare filter term")
        << QByteArray("<view><filter_terms><filter_term/></filter_terms></view>") << "terms 1";
    // Every view's list fits the property count, so the next property gets its own entry.
    QTest::newRow("short and long visibility lists")
        << QByteArray("<properties><property/><property/><property/></properties>"
                      "<view><property_visibility value=\"2\"/></view><stored_views><stored_view>"
                      "<property_visibility value=\"0,0,0,5,5\"/></stored_view></stored_views>")
        << "visible 0,2,1,1 0,0,0,0";
    QTest::newRow("stored view without name")
        << QByteArray("<stored_views><stored_view/><stored_view/></stored_views>")
        << "stored unnamed unnamed";
}

void TestPlanFile::missingOrBadPartsTakeDefaults()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, expected);
    Document doc;
    QString error;
    bool later = false;
    const QString path = writeBytes(m_dir.filePath(QStringLiteral("hand.tv")), planWith(body));
    QVERIFY2(readPlanFile(doc, path, &error, &later), qPrintable(error));
    const QString kind = expected.section(QLatin1Char(' '), 0, 0);
    QString actual = kind;
    if (kind == QLatin1String("values"))
        actual += QStringLiteral(" %1|%2").arg(doc.value(0, 1), doc.value(0, 2));
    else if (kind == QLatin1String("image"))
        actual += QStringLiteral(" %1").arg(doc.task(0).imageIndex());
    else if (kind == QLatin1String("bin"))
        actual += QStringLiteral(" %1").arg(doc.propertyAppearanceRef(1).binSize());
    else if (kind == QLatin1String("terms"))
        actual += QStringLiteral(" %1").arg(doc.currentView().filterTerms.size());
    for (int i = 0; kind == QLatin1String("visible") && i < 2; ++i) {
        const Slice view = i == 0 ? doc.currentView() : doc.storedViewsRef().value(0);
        QStringList visible;
        for (int visibility : view.propertyVisibilities)
            visible << QString::number(visibility);
        actual += QLatin1Char(' ') + visible.join(QLatin1Char(','));
    }
    for (int i = 0; kind == QLatin1String("stored") && i < doc.storedViewsRef().size(); ++i)
        actual += QLatin1Char(' ') + doc.storedViewsRef().at(i).name;
    QCOMPARE(actual, expected);
}

void TestPlanFile::failedWriteKeepsOldFile()
{
    const QString path = m_dir.filePath(QStringLiteral("full.tv"));
    Document doc;
    QString error;
    QVERIFY(writePlanFile(doc, path, &error));
    const QByteArray old = readBytes(path);
    fillLargePlan(doc, 400, 10);
    {
        // The disk fills up half way through the new text.
        FileSizeLimit limit(planFileText(doc).size() / 2);
        QVERIFY(!writePlanFile(doc, path, &error));
    }
    QCOMPARE(error,
             QStringLiteral("Can't save to file. Error code %1.").arg(QFileDevice::WriteError));
    QCOMPARE(readBytes(path), old);
    // No temporary file is left behind.
    QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("full.tv*")}, QDir::Files),
             QStringList {QStringLiteral("full.tv")});
    const QString missing = m_dir.filePath(QStringLiteral("missing/folder/plan.tv"));
    QVERIFY(!writePlanFile(doc, missing, &error));
    QCOMPARE(error, QStringLiteral("Can't open file '%1' to write.").arg(missing));
}

void TestPlanFile::saveIntoLockedFolderKeepsOldFile()
{
    const QString folder = m_dir.filePath(QStringLiteral("locked"));
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/plan.tv");
    Document doc;
    fillVariedPlan(doc);
    QString error;
    QVERIFY(writePlanFile(doc, path, &error));
    const QByteArray old = readBytes(path);
    doc.addTask(false);
    {
        ImmutablePaths locked({path, folder});
        if (!locked.isActive())
            QSKIP("The file system cannot lock the folder");
        QVERIFY(!writePlanFile(doc, path, &error));
        QCOMPARE(error, QStringLiteral("Can't open file '%1' to write.").arg(path));
    }
    QCOMPARE(readBytes(path), old);
    {
        // Where only the folder is locked, the plan is written in place.
        ImmutablePaths locked({folder});
        QVERIFY2(writePlanFile(doc, path, &error), qPrintable(error));
    }
    QCOMPARE(readBytes(path), planFileText(doc));
}

void TestPlanFile::saveFollowsSymbolicLinkAndKeepsPermissions()
{
    const QString target = m_dir.filePath(QStringLiteral("real.tv"));
    const QString link = m_dir.filePath(QStringLiteral("link.tv"));
    Document doc;
    QString error;
    QVERIFY(writePlanFile(doc, target, &error));
    const auto permissions
        = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    QVERIFY(QFile::setPermissions(target, permissions));
    QVERIFY(QFile::link(target, link));
    fillVariedPlan(doc);
    QVERIFY(writePlanFile(doc, link, &error));
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(readBytes(target), planFileText(doc));
    QCOMPARE(QFile::permissions(target) & QFileDevice::Permissions(0x7077), permissions);
}

TAVROLO_TEST_MAIN(TestPlanFile)
#include "tst_planfile.moc"
