#include "FileFaults.h"
#include "PlanSamples.h"
#include "common/Colors.h"
#include "harness/TestMain.h"
#include "storage/DomDocument.h"
#include "storage/PlanFileReader.h"
#include "storage/PlanFileWriter.h"

#include <QTemporaryDir>

using namespace PlanSamples;

namespace {

QString dataFile(const QString &name)
{
    return qEnvironmentVariable("TAVROLO_SOURCE_DIR") + QStringLiteral("/tests/storage/data/")
        + name;
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(bytes);
}

// Reads a plan file written by hand into a fresh document.
bool readText(Document &doc, const QString &folder, const QByteArray &text,
              QString *error = nullptr, bool *later = nullptr)
{
    const QString path = folder + QStringLiteral("/hand.tv");
    writeBytes(path, text);
    QString message;
    bool laterVersion = false;
    const bool ok = readPlanFile(doc, path, &message, &laterVersion);
    if (error)
        *error = message;
    if (later)
        *later = laterVersion;
    return ok;
}

QByteArray planWith(const QByteArray &body)
{
    return "<!DOCTYPE tavrolo>\n<root>\n" + body + "\n</root>\n";
}

// The element of a written plan, found by tag in document order.
QDomElement writtenElement(const Document &doc, const QString &tag, int index = 0)
{
    static DomDocument dom(QStringLiteral("tavrolo"));
    dom.setContent(planFileText(doc));
    return dom.documentElement().elementsByTagName(tag).item(index).toElement();
}

} // namespace

class TestPlanFile : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void writtenPlanReadsBackEqual_data();
    void writtenPlanReadsBackEqual();
    void storedViewNamesSurviveAndEmptyNameBecomesUnnamed();
    void fileTextIsAsciiWithDoctypeAndNoDeclaration();
    void cardAttributesHoldEncodedValues_data();
    void cardAttributesHoldEncodedValues();
    void coloursOfVanishedValuesAreDropped();
    void olderVersionsAreConverted_data();
    void olderVersionsAreConverted();
    void viewAppearancesAreReadAsCurrentVersion();
    void failedReadLeavesPlanUntouched_data();
    void failedReadLeavesPlanUntouched();
    void missingPartsTakeDefaults_data();
    void missingPartsTakeDefaults();
    void shortOrLongVisibilityListsFitThePropertyCount();
    void hostileValueCountIsRefused();
    void saveToMissingFolderNamesTheFile();
    void failedWriteKeepsOldFile();
    void saveIntoLockedFolderKeepsOldFile();
    void saveFollowsSymbolicLinkAndKeepsPermissions();

private:
    QTemporaryDir m_dir;
};

void TestPlanFile::init()
{
    QVERIFY(m_dir.isValid());
}

void TestPlanFile::writtenPlanReadsBackEqual_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("empty plan") << 0;
    QTest::newRow("plan with title only") << 1;
    QTest::newRow("awkward texts, images, views and appearances") << 2;
    QTest::newRow("cards without properties") << 3;
    QTest::newRow("large plan") << 4;
}

void TestPlanFile::writtenPlanReadsBackEqual()
{
    QFETCH(int, kind);
    Document original;
    switch (kind) {
    case 0:
        original.clear(false);
        break;
    case 1:
        original.clear(true);
        original.addTask(false);
        break;
    case 2:
        fillVariedPlan(original);
        break;
    case 3:
        original.clear(false);
        for (int i = 0; i < 3; ++i)
            original.addTask(false);
        original.setTaskNotes(1, QStringLiteral("only notes"), false, nullptr);
        break;
    default:
        fillLargePlan(original, 300, 12);
        break;
    }
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
    // Writing what was read gives the same bytes: nothing drifts from save to save.
    QCOMPARE(planFileText(read), planFileText(original));
    // These files also seed the fuzzing of the reader (fuzz/corpus/plan_file).
    const QString seeds = qEnvironmentVariable("TAVROLO_FUZZ_SEEDS");
    if (!seeds.isEmpty() && kind < 4)
        QFile::copy(path, QStringLiteral("%1/round_trip_%2.tv").arg(seeds).arg(kind));
}

void TestPlanFile::storedViewNamesSurviveAndEmptyNameBecomesUnnamed()
{
    Document original;
    fillVariedPlan(original);
    Slice unnamed;
    unnamed.propertyVisibilities = original.currentView().propertyVisibilities;
    original.storedViewsRef().prepend(unnamed);
    const QString path = m_dir.filePath(QStringLiteral("views.tv"));
    QString error;
    QVERIFY(writePlanFile(original, path, &error));
    QVERIFY(!writtenElement(original, QStringLiteral("stored_view"))
                 .hasAttribute(QStringLiteral("value")));
    Document read;
    bool later = false;
    QVERIFY(readPlanFile(read, path, &error, &later));
    QCOMPARE(read.storedViewsRef().size(), 3);
    QCOMPARE(read.storedViewsRef().at(0).name, QStringLiteral("unnamed"));
    QCOMPARE(read.storedViewsRef().at(1).name, QStringLiteral("Plain view"));
    QCOMPARE(read.storedViewsRef().at(2).name, QStringLiteral("Styled, ü"));
    QVERIFY(!read.storedViewsRef().at(1).storeAppearance);
    QCOMPARE(read.storedViewsRef().at(2).appearance.title, QStringLiteral("Stored"));
}

void TestPlanFile::fileTextIsAsciiWithDoctypeAndNoDeclaration()
{
    Document doc;
    fillVariedPlan(doc);
    const QByteArray text = planFileText(doc);
    QVERIFY(
        text.startsWith("<!DOCTYPE tavrolo>\n<root>\n   <meta>\n      <version value=\"14\"/>"));
    QVERIFY(!text.contains("<?xml"));
    for (char c : text)
        QVERIFY(uchar(c) < 128);
    QVERIFY(text.contains("<image_size value=\"1\"/>"));
    // The meta block and each view that keeps its own appearance carry the version.
    QCOMPARE(text.count("<version value=\"14\"/>"), 3);
}

void TestPlanFile::cardAttributesHoldEncodedValues_data()
{
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QString>("notes");
    QTest::addColumn<int>("image");
    QTest::addColumn<QString>("valueAttribute"); // "<none>" when absent
    QTest::addColumn<QString>("notesAttribute");
    QTest::newRow("values, notes and image")
        << QStringList {"High", "5"} << "Call Bob" << 2 << "High,5"
        << "Call%20Bob";
    QTest::newRow("comma inside a value") << QStringList {"a,b", ""} << "" << -1 << "a%2Cb,"
                                          << "<none>";
    QTest::newRow("three empty values") << QStringList {"", "", ""} << "" << -1 << ",,"
                                        << "<none>";
    QTest::newRow("one empty value") << QStringList {""} << "" << -1 << "<none>"
                                     << "<none>";
    QTest::newRow("no property") << QStringList() << "" << -1 << "<none>"
                                 << "<none>";
}

void TestPlanFile::cardAttributesHoldEncodedValues()
{
    QFETCH(QStringList, values);
    QFETCH(QString, notes);
    QFETCH(int, image);
    QFETCH(QString, valueAttribute);
    QFETCH(QString, notesAttribute);
    Document doc;
    doc.clear(false);
    for (int i = 0; i < 3; ++i)
        doc.addImage(picture(QString::number(i), Qt::blue, 4, 4), false);
    for (int p = 0; p < values.size(); ++p)
        addProperty(doc, QStringLiteral("P%1").arg(p));
    doc.addTask(false);
    for (int p = 0; p < values.size(); ++p)
        setValue(doc, 0, p + 1, values.at(p));
    doc.setTaskNotes(0, notes, false, nullptr);
    doc.setTaskImage(0, image, false, nullptr);
    const QDomElement card = writtenElement(doc, QStringLiteral("card"));
    const auto attribute = [&card](const QString &name) {
        return card.hasAttribute(name) ? card.attribute(name) : QStringLiteral("<none>");
    };
    QCOMPARE(attribute(QStringLiteral("value")), valueAttribute);
    QCOMPARE(attribute(QStringLiteral("notes")), notesAttribute);
    QCOMPARE(attribute(QStringLiteral("image")), QString::number(image));
    QVERIFY(card.firstChildElement(QStringLiteral("links")).isNull());
}

void TestPlanFile::coloursOfVanishedValuesAreDropped()
{
    Document doc;
    doc.clear(false);
    addProperty(doc, QStringLiteral("Stage"), PropertyType::Automatic, QString(),
                {QStringLiteral("Planned")});
    addProperty(doc, QStringLiteral("Other"));
    doc.addTask(false);
    setValue(doc, 0, 1, QStringLiteral("Used"));
    PropertyAppearance &stage = doc.editablePropertyAppearance(1);
    stage.setTextColor(QStringLiteral("Used"), Qt::red);
    stage.setTextColor(QStringLiteral("Planned"), Qt::green);
    stage.setTextColor(QStringLiteral("Gone"), Qt::blue);
    doc.editablePropertyAppearance(2).setTextColor(QStringLiteral("Gone"), Qt::blue);
    const QDomElement first = writtenElement(doc, QStringLiteral("text_colors"), 0);
    const QDomNodeList entries = first.elementsByTagName(QStringLiteral("text_color"));
    QCOMPARE(entries.count(), 2);
    QCOMPARE(entries.item(0).toElement().attribute(QStringLiteral("value")),
             QStringLiteral("Planned"));
    QCOMPARE(entries.item(1).toElement().attribute(QStringLiteral("value")),
             QStringLiteral("Used"));
    QCOMPARE(entries.item(1).toElement().attribute(QStringLiteral("color")),
             QStringLiteral("255%2C0%2C0"));
    // Every colour of the second property vanished: the element stays, empty.
    const QDomElement second = writtenElement(doc, QStringLiteral("text_colors"), 1);
    QVERIFY(!second.isNull());
    QVERIFY(second.firstChildElement().isNull());
}

void TestPlanFile::olderVersionsAreConverted_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("titleSize");
    QTest::addColumn<int>("headerSize");
    QTest::addColumn<int>("orientation");
    QTest::addColumn<bool>("later");
    QTest::newRow("version 6 sizes are tripled") << "version6.tv" << 150 << 120 << 0 << false;
    QTest::newRow("version 7 sizes are kept") << "version7.tv" << 50 << 40 << 0 << false;
    QTest::newRow("version 13 rows horizontal") << "version13.tv" << 90 << 150 << 0 << false;
    QTest::newRow("version 14 rows vertical") << "version14.tv" << 90 << 150 << 1 << false;
    QTest::newRow("no version means 14") << "noversion.tv" << 50 << 150 << 1 << false;
    QTest::newRow("broken version means 0") << "badversion.tv" << 150 << 150 << 0 << false;
    QTest::newRow("later version is read") << "version15.tv" << 120 << 150 << 1 << true;
}

void TestPlanFile::olderVersionsAreConverted()
{
    QFETCH(QString, file);
    QFETCH(int, titleSize);
    QFETCH(int, headerSize);
    QFETCH(int, orientation);
    QFETCH(bool, later);
    Document doc;
    QString error;
    bool laterVersion = !later;
    QVERIFY2(readPlanFile(doc, dataFile(file), &error, &laterVersion), qPrintable(error));
    QCOMPARE(laterVersion, later);
    QCOMPARE(doc.cardsTitleSize(), titleSize);
    QCOMPARE(doc.cardsHeaderSize(), headerSize);
    QCOMPARE(doc.cardsRowHeaderTextOrientation(), orientation);
}

void TestPlanFile::viewAppearancesAreReadAsCurrentVersion()
{
    // A view's own appearance was always written in the current scale, whatever the file.
    Document doc;
    QString error;
    bool later = false;
    QVERIFY2(readPlanFile(doc, dataFile(QStringLiteral("version13.tv")), &error, &later),
             qPrintable(error));
    QVERIFY(doc.currentView().storeAppearance);
    QCOMPARE(doc.currentView().appearance.titleSize, 60);
    QCOMPARE(doc.currentView().appearance.rowHeaderTextOrientation, 1);
    QCOMPARE(doc.storedViewsRef().size(), 1);
    const Slice &stored = doc.storedViewsRef().first();
    QCOMPARE(stored.name, QStringLiteral("Costs"));
    QVERIFY(stored.storeAppearance);
    QVERIFY(stored.appearance == CardsAppearance());
    QCOMPARE(doc.propertyAppearanceRef(1).binSize(), 25);
    QCOMPARE(doc.value(0, 1), QStringLiteral("12"));

    QVERIFY(readPlanFile(doc, dataFile(QStringLiteral("version6.tv")), &error, &later));
    QCOMPARE(doc.cardsTitle(), QStringLiteral("Old plan"));
    QCOMPARE(doc.value(0, 1), QStringLiteral("Open"));
    QCOMPARE(doc.value(1, 1), QStringLiteral("Done"));
    QCOMPARE(doc.task(0).notes(), QStringLiteral("first card"));
    QCOMPARE(doc.propertyVisibility(1), int(PropertyVisibility::Square));
    QCOMPARE(doc.xProperty(), 1);
}

void TestPlanFile::failedReadLeavesPlanUntouched_data()
{
    QTest::addColumn<QByteArray>("text"); // "<missing>" names no file
    QTest::addColumn<QString>("message");
    QTest::newRow("missing file") << QByteArray("<missing>") << "Can't open file '%1'";
    QTest::newRow("not xml") << QByteArray("<!DOCTYPE tavrolo>\n<root>\n<meta>\n</root>")
                             << "Format error 'tag mismatch' detected at line 4 column 7.\n"
                                "Contact support if you are sure this a Tavrolo file.";
    QTest::newRow("empty file") << QByteArray()
                                << "Format error 'unexpected end of file' detected at line 1 "
                                   "column 1.\nContact support if you are sure this a Tavrolo "
                                   "file.";
    QTest::newRow("other document type")
        << QByteArray("<!DOCTYPE other>\n<root><cards><card/></cards></root>")
        << "Incorrect document type.";
    QTest::newRow("document type in other case")
        << QByteArray("<!DOCTYPE Tavrolo>\n<root/>") << "Incorrect document type.";
    QTest::newRow("no document type")
        << QByteArray("<root><cards><card/></cards></root>") << "Incorrect document type.";
    QTest::newRow("other root") << QByteArray(
        "<!DOCTYPE tavrolo>\n<plan><cards><card/></cards></plan>")
                                << "Document root not found.";
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
    QVERIFY(later); // untouched on failure
    QVERIFY(doc == before);
}

void TestPlanFile::missingPartsTakeDefaults_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("expected");
    const QByteArray properties = "<properties><property><name value=\"A\"/></property>"
                                  "<property><name value=\"B\"/><default value=\"dflt\"/>"
                                  "</property></properties>";
    QTest::newRow("single value item") << properties + "<cards><card value=\"a\"/></cards>"
                                       << "values a|dflt";
    QTest::newRow("no value attribute") << properties + "<cards><card/></cards>"
                                        << "values |dflt";
    QTest::newRow("extra value items ignored")
        << properties + "<cards><card value=\"x,y,z\"/></cards>"
        << "values x|y";
    QTest::newRow("unencoded texts") << properties
            + "<cards><card value=\"a b,c d\" "
              "notes=\"plain notes\"/></cards>"
                                     << "values a b|c d";
    QTest::newRow("image beyond the library")
        << QByteArray("<cards><card image=\"7\"/></cards>") << "image 7";
    QTest::newRow("empty bin size") << QByteArray("<properties><property><bin_size value=\"\"/>"
                                                  "</property></properties>")
                                    << "bin 10";
    QTest::newRow("negative bin size")
        << QByteArray("<properties><property><bin_size value=\"-4\"/></property>"
                      "</properties>")
        << "bin 10";
    QTest::newRow("missing bin size")
        << QByteArray("<properties><property/></properties>") << "bin 10";
    QTest::newRow("bin size kept")
        << QByteArray("<properties><property><bin_size value=\"3\"/></property>"
                      "</properties>")
        << "bin 3";
    QTest::newRow("min colour without max")
        << QByteArray("<properties><property><min_color value=\"1,2,3\"/></property>"
                      "</properties>")
        << "minmax 255,0,0 170,85,255";
    QTest::newRow("date colour without colour")
        << QByteArray("<properties><property><date_colors><date_color value=\"2\"/>"
                      "<date_color value=\"3\" color=\"1%2C2%2C3\"/></date_colors>"
                      "</property></properties>")
        << "dates 255,255,0 1,2,3";
    QTest::newRow("no view") << QByteArray() << "view labels 1 images 1 terms 0";
    QTest::newRow("bare filter term")
        << QByteArray("<view><filter_terms><filter_term/></filter_terms></view>")
        << "view labels 1 images 1 terms 1";
    QTest::newRow("stored view without name")
        << QByteArray("<stored_views><stored_view/><stored_view/></stored_views>")
        << "stored unnamed unnamed";
}

void TestPlanFile::missingPartsTakeDefaults()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, expected);
    Document doc;
    QString error;
    QVERIFY2(readText(doc, m_dir.path(), planWith(body), &error), qPrintable(error));
    const QString kind = expected.section(QLatin1Char(' '), 0, 0);
    QString actual;
    if (kind == QLatin1String("values")) {
        actual = QStringLiteral("values %1|%2").arg(doc.value(0, 1), doc.value(0, 2));
    } else if (kind == QLatin1String("image")) {
        actual = QStringLiteral("image %1").arg(doc.task(0).imageIndex());
    } else if (kind == QLatin1String("bin")) {
        actual = QStringLiteral("bin %1").arg(doc.propertyAppearanceRef(1).binSize());
    } else if (kind == QLatin1String("minmax")) {
        const PropertyAppearance &a = doc.propertyAppearanceRef(1);
        actual = QStringLiteral("minmax %1 %2")
                     .arg(colorToString(a.minColor()), colorToString(a.maxColor()));
    } else if (kind == QLatin1String("dates")) {
        const PropertyAppearance &a = doc.propertyAppearanceRef(1);
        actual = QStringLiteral("dates %1 %2")
                     .arg(colorToString(a.colorForDate(2)), colorToString(a.colorForDate(3)));
    } else if (kind == QLatin1String("view")) {
        actual = QStringLiteral("view labels %1 images %2 terms %3")
                     .arg(doc.showLabels())
                     .arg(doc.showImages())
                     .arg(doc.currentView().filterTerms.size());
    } else {
        actual = QStringLiteral("stored");
        for (const Slice &slice : doc.storedViewsRef())
            actual += QLatin1Char(' ') + slice.name;
    }
    QCOMPARE(actual, expected);
}

void TestPlanFile::shortOrLongVisibilityListsFitThePropertyCount()
{
    const QByteArray properties = "<properties><property><name value=\"A\"/></property>"
                                  "<property><name value=\"B\"/></property>"
                                  "<property><name value=\"C\"/></property></properties>";
    Document doc;
    QString error;
    QVERIFY(readText(doc, m_dir.path(),
                     planWith(properties
                              + "<view><property_visibility value=\"2\"/></view>"
                                "<stored_views><stored_view value=\"v\">"
                                "<property_visibility value=\"0,0,0,5,5\"/>"
                                "</stored_view></stored_views>"),
                     &error));
    QCOMPARE(doc.currentView().propertyVisibilities, (QList<int> {0, 2, 1, 1}));
    QCOMPARE(doc.storedViewsRef().at(0).propertyVisibilities, (QList<int> {0, 0, 0, 0}));
    // A property added next gets its own entry, not the place of a missing one.
    addProperty(doc, QStringLiteral("D"));
    QCOMPARE(doc.propertyVisibility(4), int(PropertyVisibility::Text));
    QCOMPARE(doc.propertyVisibility(1), int(PropertyVisibility::Square));
}

void TestPlanFile::hostileValueCountIsRefused()
{
    QByteArray body = "<properties>";
    for (int i = 0; i < 20000; ++i)
        body += "<property/>";
    body += "</properties><cards>";
    for (int i = 0; i < 6000; ++i)
        body += "<card/>";
    body += "</cards>";
    Document doc;
    fillVariedPlan(doc);
    const Document before(doc);
    QString error;
    QVERIFY(!readText(doc, m_dir.path(), planWith(body), &error));
    QVERIFY(error.contains(QLatin1String("more cards and properties")));
    QVERIFY(doc == before);
}

void TestPlanFile::saveToMissingFolderNamesTheFile()
{
    Document doc;
    const QString path = m_dir.filePath(QStringLiteral("missing/folder/plan.tv"));
    QString error = QStringLiteral("untouched");
    QVERIFY(!writePlanFile(doc, path, &error));
    QCOMPARE(error, QStringLiteral("Can't open file '%1' to write.").arg(path));
    QVERIFY(writePlanFile(doc, m_dir.filePath(QStringLiteral("ok.tv")), &error));
    QCOMPARE(error, QStringLiteral("Can't open file '%1' to write.").arg(path));
}

void TestPlanFile::failedWriteKeepsOldFile()
{
    const QString path = m_dir.filePath(QStringLiteral("full.tv"));
    Document small;
    QString error;
    QVERIFY(writePlanFile(small, path, &error));
    const QByteArray old = readBytes(path);
    Document large;
    fillLargePlan(large, 400, 10);
    {
        // The disk fills up half way through the new text.
        FileSizeLimit limit(planFileText(large).size() / 2);
        QVERIFY(!writePlanFile(large, path, &error));
    }
    QCOMPARE(error,
             QStringLiteral("Can't save to file. Error code %1.").arg(QFileDevice::WriteError));
    QCOMPARE(readBytes(path), old);
    // No temporary file is left behind.
    QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("full.tv*")}, QDir::Files),
             QStringList {QStringLiteral("full.tv")});
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
    QVERIFY(QFile::setPermissions(
        target, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup));
    QVERIFY(QFile::link(target, link));
    fillVariedPlan(doc);
    QVERIFY(writePlanFile(doc, link, &error));
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(readBytes(target), planFileText(doc));
    const QFileDevice::Permissions ownerGroupOther(0x7077);
    QCOMPARE(QFile::permissions(target) & ownerGroupOther,
             QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
}

TAVROLO_TEST_MAIN(TestPlanFile)
#include "tst_planfile.moc"
