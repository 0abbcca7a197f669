#include "PlanSamples.h"
#include "harness/FileFaults.h"
#include "harness/PlainTestMain.h"
#include "storage/DomDocument.h"
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
    void textsSurviveTheirStoredForm_data();
    void textsSurviveTheirStoredForm();
    void writtenPlanReadsBackEqual();
    void olderVersionsAreConverted_data();
    void olderVersionsAreConverted();
    void failedReadLeavesPlanUntouched_data();
    void failedReadLeavesPlanUntouched();
    void handWrittenFaultsAreMendedOnRead();
    void failedWriteKeepsOldFile();
    void saveKeepsOldFileInLockedFolderAndFollowsLinks();

private:
    QTemporaryDir m_dir;
};

void TestPlanFile::textsSurviveTheirStoredForm_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored");
    const auto row = [](const char *name, const char *text, const char *stored) {
        QTest::newRow(name) << QString::fromUtf8(text) << QString(stored);
    };
    row("xml characters", "<a href=\"x\">&amp;</a>", "%3Ca%20href%3D%22x%22%3E%26amp%3B%3C%2Fa%3E");
    row("line breaks and tab", "one\ntwo\r\nthree\t", "one%0Atwo%0D%0Athree%09");
    row("outside the basic plane", "a\U0001F600b", "a%F0%9F%98%80b");
}

// Written as percent encoding and also as a plain attribute, through the program's own
// serialiser, so the XML escaping is checked as well.
void TestPlanFile::textsSurviveTheirStoredForm()
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

void TestPlanFile::writtenPlanReadsBackEqual()
{
    Document original;
    fillVariedPlan(original);
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
    // Nothing drifts from save to save; the text is ASCII and each view that keeps its own
    // appearance carries the version, as the meta block does.
    const QByteArray text = planFileText(original);
    QCOMPARE(planFileText(read), text);
    QVERIFY(
        text.startsWith("<!DOCTYPE tavrolo>\n<root>\n   <meta>\n      <version value=\"14\"/>"));
    QVERIFY(std::all_of(text.begin(), text.end(), [](char c) { return uchar(c) < 128; }));
    QCOMPARE(text.count("<version value=\"14\"/>"), 2);
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
    const QString path = QStringLiteral(TAVROLO_SOURCE_DIR "/tests/storage/data/") + file;
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
    QTest::newRow("document type in other case")
        << QByteArray("<!DOCTYPE Tavrolo>\n<root/>") << "Incorrect document type.";
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
    const QString path = text == "<missing>" ? m_dir.filePath(QStringLiteral("no/such.tv"))
                                             : writeBytes(m_dir.filePath("broken.tv"), text);
    QString error;
    bool later = true;
    QVERIFY(!readPlanFile(doc, path, &error, &later));
    QCOMPARE(error, message.contains(QLatin1String("%1")) ? message.arg(path) : message);
    QVERIFY(later);
    QVERIFY(doc == before);
}

// A bin size below 1 would bin nothing; a visibility list of another length than the properties
// would show the wrong ones, or none for the next property added; a few bytes of picture can
// declare gigabytes, so a side over the limit is no image.
void TestPlanFile::handWrittenFaultsAreMendedOnRead()
{
    const QString path = writeBytes(
        m_dir.filePath(QStringLiteral("hand.tv")),
        planWith("<properties><property><bin_size value=\"\"/></property><property/><property/>"
                 "</properties><view><property_visibility value=\"2\"/></view><stored_views>"
                 "<stored_view><property_visibility value=\"0,0,0,5,5\"/></stored_view>"
                 "</stored_views><images><image value=\""
                 + pngOfWidth(Image::MaxDecodedSide + 1).toHex() + "\"/></images>"));
    Document doc;
    QString error;
    bool later = false;
    QVERIFY2(readPlanFile(doc, path, &error, &later), qPrintable(error));
    QCOMPARE(doc.propertyAppearanceRef(1).binSize(), 10);
    QCOMPARE(doc.currentView().propertyVisibilities, (QList<int> {0, 2, 1, 1}));
    QCOMPARE(doc.storedViewsRef().value(0).propertyVisibilities, (QList<int> {0, 0, 0, 0}));
    QCOMPARE(doc.imageCount(), 1);
    QVERIFY(doc.image(0).pixmap().isNull());
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

void TestPlanFile::saveKeepsOldFileInLockedFolderAndFollowsLinks()
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
    // A save through a link writes the file it points to and keeps that file's permissions.
    const QString link = m_dir.filePath(QStringLiteral("link.tv"));
    const auto permissions
        = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    QVERIFY(QFile::setPermissions(path, permissions) && QFile::link(path, link));
    doc.addTask(false);
    QVERIFY(writePlanFile(doc, link, &error) && QFileInfo(link).isSymLink());
    QCOMPARE(readBytes(path), planFileText(doc));
    QCOMPARE(QFile::permissions(path) & QFileDevice::Permissions(0x7077), permissions);
}

TAVROLO_GUI_TEST_MAIN(TestPlanFile)
#include "tst_planfile.moc"
