#include "HostileGifs.h"
#include "HostilePlans.h"
#include "PlanSamples.h"
#include "common/core/FileHelpers.h"
#include "common/core/HeldPicture.h"
#include "common/core/PngPictureReader.h"
#include "common/core/TextHelpers.h"
#include "harness/FileFaults.h"
#include "harness/PlainTestMain.h"
#include "harness/TestPlanKey.h"
#include "storage/DomDocument.h"
#include "storage/PlanFileReader.h"
#include "storage/PlanFileWriter.h"
#include "storage/StoredAppearance.h"
#include "storage/ViewReaders.h"

#include <memory>
#include <sys/stat.h>

#include <QBuffer>
#include <QDirIterator>
#include <QPainter>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>

using namespace PlanSamples;

namespace {

QByteArray planWith(const QByteArray &body)
{
    return "<!DOCTYPE tavrolo>\n<root>\n" + body + "\n</root>\n";
}

QString dataPath(const QString &name)
{
    return QStringLiteral(TAVROLO_SOURCE_DIR "/tests/storage/data/") + name;
}

// The small corners of the format: no user property, a lone empty value, only empty values,
// colours of vanished values, an unnamed stored view, a ratio written with an exponent.
void fillEdgePlan(Document &doc, const QString &kind)
{
    doc.clear(false);
    doc.addTask(false);
    doc.addTask(false);
    doc.setTaskNotes(1, QStringLiteral("only notes"), false, nullptr);
    if (kind == QLatin1String("no properties"))
        return;
    PropertyAppearance vanished;
    vanished.setTextColor(QStringLiteral("Vanished"), Qt::red);
    vanished.setDateColor(DateBucket::Undefined, QColor(1, 2, 3));
    addProperty(doc, QStringLiteral("A"), PropertyType::Text, QString(), {}, vanished);
    if (kind == QLatin1String("one empty value"))
        return;
    addProperty(doc, QStringLiteral("B"), PropertyType::Date);
    addProperty(doc, QStringLiteral("C"), PropertyType::Automatic, QStringLiteral("1%"));
    setValue(doc, 1, 2, QStringLiteral("1/2/2024"));
    // Halves of surrogate pairs on their own, as a cut text can leave them.
    const QChar high(0xD83D);
    const QChar low(0xDE00);
    setValue(doc, 0, 1, QString(high) + "a" + low + low + high);
    doc.setTaskLinks(0,
                     {HyperLink(QString(), QUrl(QStringLiteral("https://example.com/x"))),
                      HyperLink(QStringLiteral("no address"), QUrl())},
                     false, nullptr);
    Slice unnamed = doc.currentView();
    unnamed.storeAppearance = true;
    unnamed.appearance.aspectRatio = 1234567;
    unnamed.appearance.title = QStringLiteral("+1e5 %");
    doc.storedViewsRef(TestPlanKey::key()) << unnamed;
}

// The plans whose written bytes are kept under tests/storage/data/written.
void fillGoldenPlan(Document &doc, const QString &name)
{
    if (name == QLatin1String("varied")) {
        fillVariedPlan(doc);
    } else if (name == QLatin1String("large")) {
        fillLargePlan(doc, 60, 7);
    } else {
        fillEdgePlan(doc, name);
    }
}

// Takes the given number of bytes, then refuses every write, as a full disk does.
class FailingDevice : public QIODevice
{
public:
    explicit FailingDevice(qint64 capacity) : m_capacity(capacity) { open(QIODevice::WriteOnly); }
    int writesAfterFailure = 0;

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 length) override
    {
        if (m_failed || m_written + length > m_capacity) {
            writesAfterFailure += m_failed ? 1 : 0;
            m_failed = true;
            return -1;
        }
        m_written += length;
        return length;
    }

private:
    qint64 m_capacity;
    qint64 m_written = 0;
    bool m_failed = false;
};

// The creator line holds today's date and the system's name.
QByteArray withoutCreator(QByteArray text)
{
    return text.replace(toPercentEncoding(lastSavedByText()).toLatin1(), "creator");
}

// What a read gave, in a few counts: cards, properties, stored views, the first view's
// filter terms, the first card's links, the pictures that were decoded.
QString summary(Document &doc)
{
    int pictures = 0;
    for (int i = 0; i < doc.imageCount(); ++i)
        pictures += doc.image(i).isNull() ? 0 : 1;
    const Slice firstView = doc.storedViews().value(0);
    return QStringLiteral("%1 cards, %2 properties, %3 views, %4 terms, %5 links, %6 pictures")
        .arg(doc.taskCount())
        .arg(doc.propertyCount() - 1)
        .arg(doc.storedViews().size())
        .arg(firstView.filterTerms.size())
        .arg(doc.taskCount() > 0 ? doc.taskLinks(0).size() : 0)
        .arg(pictures);
}

} // namespace

class TestPlanFile : public QObject
{
    Q_OBJECT
private slots:
    void textsSurviveTheirStoredForm_data();
    void textsSurviveTheirStoredForm();
    void writtenPlanReadsBackEqual_data();
    void writtenPlanReadsBackEqual();
    void linksComeBackWhole_data();
    void linksComeBackWhole();
    void writtenBytesStayTheSame_data();
    void writtenBytesStayTheSame();
    void samplePlansShowWhatTheyStore_data();
    void samplePlansShowWhatTheyStore();
    void storedAppearanceTextStaysTheSame();
    void olderVersionsAreConverted_data();
    void olderVersionsAreConverted();
    void failedReadLeavesPlanUntouched_data();
    void failedReadLeavesPlanUntouched();
    void handWrittenFaultsAreMendedOnRead();
    void hostileFilesAreReadOrRefused_data();
    void hostileFilesAreReadOrRefused();
    void filterTermsPastTheBoundAreLeftOutWithANotice_data();
    void filterTermsPastTheBoundAreLeftOutWithANotice();
    void filterTermsTestedOneByOneAreBoundedOverTheCards_data();
    void filterTermsTestedOneByOneAreBoundedOverTheCards();
    void largePlansThisProgramWritesAreRead();
    void streamedAndTreeReadingsAgree_data();
    void streamedAndTreeReadingsAgree();
    void failedWriteKeepsOldFile();
    void saveFailureNamesTheFileAndTheCause_data();
    void saveFailureNamesTheFileAndTheCause();
    void writeFailureAnywhereIsReported_data();
    void writeFailureAnywhereIsReported();
    void saveKeepsOldFileInLockedFolderAndFollowsLinks();
    void picturesAreReadOnlyAsTheRasterDataTheyHold_data();
    void picturesAreReadOnlyAsTheRasterDataTheyHold();
    void librariesOfAnySizeComeBackWhole_data();
    void librariesOfAnySizeComeBackWhole();
    void picturesNotTakenInAreWrittenBackAsRead_data();
    void picturesNotTakenInAreWrittenBackAsRead();
    void refusedStockPicturesKeepTheirResource();
    void picturesAreHeldWithinWhatTheFileAllows_data();
    void picturesAreHeldWithinWhatTheFileAllows();
    void picturesTakenInUnchangedAreSavedAsRead_data();
    void picturesTakenInUnchangedAreSavedAsRead();
    void picturesAddedAgainAfterAReopenFindTheirEntry_data();
    void picturesAddedAgainAfterAReopenFindTheirEntry();
    void pathsThatAreNoFileAreRefusedUnopened_data();
    void pathsThatAreNoFileAreRefusedUnopened();

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

void TestPlanFile::writtenPlanReadsBackEqual_data()
{
    QTest::addColumn<QString>("plan");
    QTest::addColumn<int>("versions"); // the meta block's and those of views' own appearances
    QTest::newRow("varied") << "varied" << 2;
    QTest::newRow("date words in a date property") << "date words in a date property" << 1;
    QTest::newRow("date words after a date in an automatic property")
        << "date words after a date in an automatic property" << 1;
}

void TestPlanFile::writtenPlanReadsBackEqual()
{
    QFETCH(QString, plan);
    QFETCH(int, versions);
    Document original;
    if (plan == QLatin1String("varied")) {
        fillVariedPlan(original);
    } else {
        // Values held as the words they were typed as: in a Text property whose type was then
        // set to Date, or in an Automatic one while no card held a date.
        const bool automatic = plan.contains(QLatin1String("automatic"));
        addProperty(original, QStringLiteral("When"),
                    automatic ? PropertyType::Automatic : PropertyType::Date);
        const QStringList words {"today", "Friday", "+3", "TBD", "tomorrow", "-2"};
        for (int card = 0; card <= words.size(); ++card)
            original.addTask(false);
        if (!automatic)
            original.setPropertyType(1, PropertyType::Text, false);
        for (int card = 1; card <= words.size(); ++card)
            setValue(original, card, 1, words.at(card - 1));
        if (!automatic)
            original.setPropertyType(1, PropertyType::Date, false);
        setValue(original, 0, 1, QStringLiteral("15/1/2027"));
        QCOMPARE(original.value(1, 1), QStringLiteral("today"));
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
    // Nothing drifts from save to save; the text is ASCII and each view that keeps its own
    // appearance carries the version, as the meta block does.
    const QByteArray text = planFileText(original);
    QCOMPARE(planFileText(read), text);
    QVERIFY(
        text.startsWith("<!DOCTYPE tavrolo>\n<root>\n   <meta>\n      <version value=\"14\"/>"));
    QVERIFY(std::all_of(text.begin(), text.end(), [](char c) { return uchar(c) < 128; }));
    QCOMPARE(text.count("<version value=\"14\"/>"), versions);
}

void TestPlanFile::linksComeBackWhole_data()
{
    QTest::addColumn<QString>("address");
    QTest::newRow("mail with a line break")
        << "mailto:ann@example.org?subject=Weekly%20report&body=Hello%0AThanks";
    QTest::newRow("line break in the query") << "https://example.org/search?q=a%0Ab&page=2";
    QTest::newRow("rejected address with a line break") << "https://my server.example/a%0Ab";
}

// The address is written whole, though it is shown cut before an encoded line break.
void TestPlanFile::linksComeBackWhole()
{
    QFETCH(QString, address);
    Document plan;
    plan.addTask(false);
    const HyperLink link = HyperLink::fromUrlText(QStringLiteral("Weekly"), address);
    plan.setTaskLinks(0, {link}, false, nullptr);
    Document read;
    QVERIFY(readBackAsFiled(plan, read));
    QCOMPARE(read.taskLinks(0).value(0).urlText(), link.urlText());
    QVERIFY(read.taskLinks(0) == plan.taskLinks(0));
}

void TestPlanFile::writtenBytesStayTheSame_data()
{
    QTest::addColumn<QString>("plan");
    QTest::addColumn<QString>("sample"); // a plan file read and written again
    QTest::addColumn<QString>("golden");
    for (const char *plan : {"no properties", "one empty value", "edge cases", "varied", "large"}) {
        QTest::newRow(plan) << QString(plan) << QString()
                            << QStringLiteral("written/%1.tv").arg(QString(plan).replace(' ', '_'));
    }
    QDirIterator samples(QStringLiteral(TAVROLO_SOURCE_DIR "/samples"), {QStringLiteral("*.tv")},
                         QDir::Files);
    while (samples.hasNext()) {
        const QString path = samples.next();
        const QString name = samples.fileName();
        QTest::newRow(qPrintable("sample " + name))
            << QString() << path << "written/sample_" + QString(name).replace(' ', '_');
    }
}

// Files written by earlier versions of the writer must come out byte for byte the same.
void TestPlanFile::writtenBytesStayTheSame()
{
    QFETCH(QString, plan);
    QFETCH(QString, sample);
    QFETCH(QString, golden);
    Document doc;
    if (sample.isEmpty()) {
        fillGoldenPlan(doc, plan);
    } else {
        QString error;
        bool later = false;
        QVERIFY2(readPlanFile(doc, sample, &error, &later), qPrintable(error));
    }
    const QString path = m_dir.filePath(QStringLiteral("golden.tv"));
    QString error;
    QVERIFY2(writePlanFile(doc, path, &error), qPrintable(error));
    const QByteArray expected = readBytes(dataPath(golden));
    QVERIFY(!expected.isEmpty());
    QCOMPARE(withoutCreator(readBytes(path)), expected);
    QCOMPARE(withoutCreator(planFileText(doc)), expected);
}

void TestPlanFile::samplePlansShowWhatTheyStore_data()
{
    QTest::addColumn<QString>("sample");
    QTest::addColumn<QStringList>("shown"); // each stored view: the number of cards it shows
    QTest::newRow("Project plan") << "Project plan.tv"
                                  << QStringList({"Work by owner: 12", "Open high priority: 4"});
    QTest::newRow("Household budget") << "Household budget.tv" << QStringList({"Still to pay: 4"});
    QTest::newRow("Reading list") << "Reading list.tv" << QStringList({"Finished, by rating: 4"});
}

// The first plans a user opens: each stored view filters as its Filter section shows it, and
// Edit Property, which lists a value order before the other values, leaves the grid's order as
// it was.
void TestPlanFile::samplePlansShowWhatTheyStore()
{
    QFETCH(QString, sample);
    QFETCH(QStringList, shown);
    Document doc;
    QString error;
    bool later = false;
    QVERIFY2(
        readPlanFile(doc, QStringLiteral(TAVROLO_SOURCE_DIR "/samples/") + sample, &error, &later),
        qPrintable(error));
    QStringList counted;
    for (const Slice &view : doc.storedViews()) {
        // The basic line shows words looked for anywhere, any one of them matching.
        for (int i = 0; view.filterBasic && i < view.filterTerms.size(); ++i) {
            const FilterTerm &term = view.filterTerms.at(i);
            QVERIFY2(term == FilterTerm(0, MatchType::Contains, term.value)
                         && !term.value.contains(QLatin1Char(' '))
                         && (view.filterMatchAny || view.filterTerms.size() == 1),
                     qPrintable(view.name));
        }
        doc.changeView(view.name, false);
        counted << QStringLiteral("%1: %2").arg(view.name).arg(doc.taskCount()
                                                               - doc.filteredOutTaskCount());
    }
    QCOMPARE(counted, shown);
    for (int p = 1; p < doc.propertyCount(); ++p) {
        if (!doc.predefinedValues(p).isEmpty())
            QCOMPARE(doc.propertyAppearance(p).textOrder(), doc.values(p));
    }
}

// The preferences keep named card appearances in the plan file's own field form.
void TestPlanFile::storedAppearanceTextStaysTheSame()
{
    CardsAppearance appearance = customCardsAppearance(awkwardTexts().join(QLatin1Char('|')));
    appearance.aspectRatio = 1.33333333;
    const QString text = storedAppearanceText(appearance);
    QCOMPARE(text.toUtf8() + '\n', readBytes(dataPath(QStringLiteral("written/appearance.txt"))));
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
    const Slice stored = doc.storedViews().value(0);
    QCOMPARE((QList<int> {doc.cardsTitleSize(), doc.cardsHeaderSize(),
                          doc.cardsRowHeaderTextOrientation(),
                          view.storeAppearance ? view.appearance.titleSize : -1,
                          stored.storeAppearance ? stored.appearance.titleSize : -1}),
             sizes);
}

void TestPlanFile::failedReadLeavesPlanUntouched_data()
{
    QTest::addColumn<QByteArray>("text"); // "<missing>" names no file, "<huge>" one too large
    QTest::addColumn<QString>("message");
    const QString formatError = "Format error '%1' detected at line %2 column %3.\n"
                                "Contact support if you are sure this a Tavrolo file.";
    QTest::newRow("missing file") << QByteArray("<missing>") << "Can't open file '%1'";
    QTest::newRow("a byte more than can be opened")
        << QByteArray("<huge>") << "The file '%1' is too large to be opened.";
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
    // A sparse file: it takes no room on disk, and it is refused before it is read.
    if (text == "<huge>")
        QVERIFY(QFile::resize(path, maximumTextFileBytes + 1));
    QString error;
    bool later = true;
    QVERIFY(!readPlanFile(doc, path, &error, &later));
    QCOMPARE(error, message.contains(QLatin1String("%1")) ? message.arg(path) : message);
    QVERIFY(later);
    QVERIFY(doc == before);
    // A caller that wants neither answer passes null for both.
    QVERIFY(!readPlanFile(doc, path, nullptr, nullptr));
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
    QCOMPARE(doc.storedViews().value(0).propertyVisibilities, (QList<int> {0, 0, 0, 0}));
    QCOMPARE(doc.imageCount(), 1);
    QVERIFY(doc.image(0).pixmap().isNull());
}

// Each shape a little past its limit: what was read, or the start of the refusal.
void TestPlanFile::hostileFilesAreReadOrRefused_data()
{
    using namespace HostilePlans;
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("outcome");
    const QString tooLarge = "holds more cards and properties than can be opened.";
    const QString formatError = "Format error '%1' detected at line 3 column %2.";
    QTest::newRow("cards x properties") << cardsTimesProperties(1100) << tooLarge;
    QTest::newRow("views x properties") << viewsTimesProperties(1100) << tooLarge;
    QTest::newRow("long lists") << longLists(5000)
                                << "4 cards, 2 properties, 4 views, 0 terms, 0 links, 0 pictures";
    QTest::newRow("deep nesting") << deepNesting(
        200) << formatError.arg("Elements are nested more than 100 deep.").arg(301);
    QTest::newRow("field among many siblings")
        << manyFieldSiblings(1001)
        << formatError.arg("An element holds more than 1000 others.").arg(4007);
    QTest::newRow("more nodes than bytes")
        << denseNodes(130000)
        << formatError.arg("More markup than the file's size explains.").arg(625003);
    // The current view keeps its 40,000, the stored view what is left of the file's allowance.
    QTest::newRow("many filter terms")
        << manyFilterTerms(40000)
        << "0 cards, 1 properties, 1 views, 16926 terms, 0 links, 0 pictures";
    QTest::newRow("views nested in filter terms")
        << nestedViews(40) << "0 cards, 1 properties, 40 views, 40 terms, 0 links, 0 pictures";
    QTest::newRow("cards nested in links")
        << nestedCards(40) << "40 cards, 0 properties, 0 views, 0 terms, 40 links, 0 pictures";
    QTest::newRow("entities doubling")
        << expandingEntities(24) << "Format error 'The document type holds declarations.'";
    QTest::newRow("entity repeated")
        << repeatedEntity(100) << "Format error 'The document type holds declarations.'";
    // Larger than the library keeps them, their work comes from what the plan's size allows,
    // however many bytes each holds: three of millions of pixels, fifteen of the tall ones.
    QTest::newRow("pictures of millions of pixels")
        << manyLargePictures(3) << "0 cards, 0 properties, 0 views, 0 terms, 0 links, 3 pictures";
    QTest::newRow("pictures owing more than their bytes")
        << manyTallPictures(40) << "0 cards, 0 properties, 0 views, 0 terms, 0 links, 15 pictures";
}

void TestPlanFile::hostileFilesAreReadOrRefused()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, outcome);
    const QString path = writeBytes(m_dir.filePath(QStringLiteral("hostile.tv")), text);
    Document doc;
    QString error;
    bool later = false;
    if (readPlanFile(doc, path, &error, &later))
        QCOMPARE(summary(doc), outcome);
    else
        QVERIFY2(error.contains(outcome), qPrintable(error));
}

void TestPlanFile::filterTermsPastTheBoundAreLeftOutWithANotice_data()
{
    QTest::addColumn<int>("terms");
    QTest::addColumn<bool>("crafted");
    QTest::newRow("50 terms") << 50 << false;
    QTest::newRow("as many as always allowed") << int(filterTermsAlwaysAllowed) << false;
    QTest::newRow("one more") << int(filterTermsAlwaysAllowed) + 1 << false;
    QTest::newRow("40,000 terms") << 40000 << false;
    QTest::newRow("40,000 terms of nothing, the smallest written") << -40000 << false;
    QTest::newRow("50 terms, crafted") << 50 << true;
    QTest::newRow("1,000 terms, crafted") << 1000 << true;
    QTest::newRow("10,000 terms, crafted") << 10000 << true;
}

// Every filter this program writes reads back whole, in the current view and in stored views
// alike, and passes the same cards. A crafted file holding more terms than its size explains
// (here each term follows one of no attributes, which no writer writes) keeps the first terms,
// the current view's first, in their order, and the reader says so.
void TestPlanFile::filterTermsPastTheBoundAreLeftOutWithANotice()
{
    QFETCH(int, terms);
    QFETCH(bool, crafted);
    // A negative count asks for terms of no property and no text, which match every card.
    const bool blank = terms < 0;
    terms = qAbs(terms);
    Document original;
    addProperty(original, QStringLiteral("Name"), PropertyType::Text);
    addProperty(original, QStringLiteral("Status"), PropertyType::Text);
    for (int card = 0; card < 120; ++card) {
        original.addTaskWithValues(
            {{1, QStringLiteral("card %1").arg(card)}, {2, QStringLiteral("s%1").arg(card % 3)}},
            QString(), {}, -1, false);
    }
    // Even cards up to twice the terms, the cards of status s2, and terms that match nothing.
    QList<FilterTerm> filter;
    for (int i = 0; i < terms; ++i) {
        if (blank)
            filter << FilterTerm();
        else if (i % 5 == 3)
            filter << FilterTerm(2, MatchType::Is, QStringLiteral("s2"));
        else if (i % 5 == 4)
            filter << FilterTerm(0, MatchType::Contains, QStringLiteral("zz%1").arg(i));
        else
            filter << FilterTerm(1, MatchType::Is, QStringLiteral("card %1").arg(2 * i));
    }
    original.setFilter(false, true, true, filter, false, false);
    Slice stored = original.currentView();
    stored.name = QStringLiteral("Stored");
    original.storedViewsRef(TestPlanKey::key()) << stored;
    const QString path = m_dir.filePath(QStringLiteral("terms.tv"));
    QString error;
    QVERIFY2(writePlanFile(original, path, &error), qPrintable(error));
    QList<FilterTerm> written = filter;
    if (crafted) {
        writeBytes(path, readBytes(path).replace("<filter_term ", "<filter_term/><filter_term "));
        written.clear();
        for (const FilterTerm &term : filter)
            written << FilterTerm() << term;
    }

    Document read;
    bool later = false;
    QString notice;
    QVERIFY2(readPlanFile(read, path, &error, &later, &notice), qPrintable(error));
    const qint64 allowed = filterTermsAllowed(QFileInfo(path).size());
    const int inView = int(qMin<qint64>(written.size(), allowed));
    const int inStored = int(qMin<qint64>(written.size(), allowed - inView));
    QCOMPARE(read.filterTerms(), written.mid(0, inView));
    QCOMPARE(read.storedViews().value(0).filterTerms, written.mid(0, inStored));
    QCOMPARE(read.filterMatchAny(), true);
    const bool cut = inStored < written.size();
    QCOMPARE(cut, crafted && terms >= 1000);
    const int leftOut = 2 * written.size() - inView - inStored;
    QCOMPARE(notice.contains(QStringLiteral("%1 of them were not read").arg(leftOut)), cut);
    QCOMPARE(notice.isEmpty(), !cut);
    // Terms of no text match every card.
    if (crafted || blank)
        return;
    int passing = 0;
    for (TaskIndex card = 0; card < original.taskCount(); ++card) {
        QCOMPARE(read.taskPassesFilter(card), original.taskPassesFilter(card));
        passing += read.taskPassesFilter(card) ? 1 : 0;
    }
    QVERIFY(passing > 0 && passing < read.taskCount());
}

void TestPlanFile::filterTermsTestedOneByOneAreBoundedOverTheCards_data()
{
    const int cards = 5000;
    const int perCard = int(filterTestsAllowed / cards);
    QTest::addColumn<int>("property");
    QTest::addColumn<int>("matchType");
    QTest::addColumn<int>("terms");
    QTest::addColumn<int>("kept");
    QTest::newRow("is not, a text property")
        << 1 << int(MatchType::IsNot) << perCard + 500 << perCard + 500;
    QTest::newRow("is, a text property")
        << 1 << int(MatchType::Is) << perCard + 500 << perCard + 500;
    QTest::newRow("contains, a text property")
        << 1 << int(MatchType::Contains) << perCard + 500 << perCard;
    QTest::newRow("is not, a numeric property")
        << 2 << int(MatchType::IsNot) << perCard + 500 << perCard;
    QTest::newRow("is not, any property") << 0 << int(MatchType::IsNot) << perCard + 500 << perCard;
}

// Terms each card is tested against one by one are kept as far as the tests they ask for stay
// within those of a thousand terms over ten thousand cards, in every view; terms looked up in a
// table are kept whatever their number.
void TestPlanFile::filterTermsTestedOneByOneAreBoundedOverTheCards()
{
    QFETCH(int, property);
    QFETCH(int, matchType);
    QFETCH(int, terms);
    QFETCH(int, kept);
    const int cards = 5000;
    Document original;
    // The rows name the text property 1 and the numeric one 2, after those a new plan has.
    const int name = original.propertyCount();
    addProperty(original, QStringLiteral("Name"), PropertyType::Text);
    addProperty(original, QStringLiteral("Cost"), PropertyType::Numeric);
    QList<Task> tasks;
    QVector<QVector<QString>> values(original.propertyCount());
    for (int card = 0; card < cards; ++card) {
        tasks << Task();
        values[name] << QString::number(card);
        values[name + 1] << QString::number(card);
    }
    original.appendCards(tasks, values);
    QList<FilterTerm> filter;
    for (int i = 0; i < terms; ++i) {
        filter << FilterTerm(property == 0 ? 0 : name + property - 1, matchType,
                             QString::number(2 * i));
    }
    original.setFilter(false, false, true, filter, false, false);
    Slice stored = original.currentView();
    stored.name = QStringLiteral("Stored");
    original.storedViewsRef(TestPlanKey::key()) << stored;
    const QString path = m_dir.filePath(QStringLiteral("costly.tv"));
    QString error;
    QVERIFY2(writePlanFile(original, path, &error), qPrintable(error));

    Document read;
    bool later = false;
    QString notice;
    QVERIFY2(readPlanFile(read, path, &error, &later, &notice), qPrintable(error));
    QCOMPARE(read.filterTerms(), filter.mid(0, kept));
    QCOMPARE(read.storedViews().value(0).filterTerms, filter.mid(0, kept));
    QCOMPARE(notice.isEmpty(), kept == terms);
    if (kept < terms)
        QVERIFY(
            notice.contains(QStringLiteral("%1 of them were not read").arg(2 * (terms - kept))));
}

// More values than the million always allowed, in the file this program writes for them.
void TestPlanFile::largePlansThisProgramWritesAreRead()
{
    Document original;
    for (int p = 0; p < 1100; ++p)
        addProperty(original, QStringLiteral("P%1").arg(p));
    for (int card = 0; card < 900; ++card)
        original.addTask(false);
    for (int view = 0; view < 100; ++view) {
        Slice slice = original.currentView();
        slice.name = QStringLiteral("View %1").arg(view);
        original.storedViewsRef(TestPlanKey::key()) << slice;
    }
    const QString path = m_dir.filePath(QStringLiteral("large.tv"));
    QString error;
    QVERIFY2(writePlanFile(original, path, &error), qPrintable(error));
    Document read;
    bool later = false;
    QVERIFY2(readPlanFile(read, path, &error, &later), qPrintable(error));
    QCOMPARE(summary(read), summary(original));
}

// Files as this program writes them are read as a stream; any other goes through a tree of the
// whole file. A letter beyond ASCII, here in a comment before the document type, sends a file
// to the tree: both readings must give the same plan, or the same refusal.
void TestPlanFile::streamedAndTreeReadingsAgree_data()
{
    QTest::addColumn<QByteArray>("text");
    Document varied;
    fillVariedPlan(varied);
    QTest::newRow("varied plan") << planFileText(varied);
    QTest::newRow("cards holding links and cards")
        << planWith("<properties><property/><property/></properties><cards>"
                    "<card value=\"a,b\" notes=\"n%20o\" image=\"\"><links><link value=\"u\" "
                    "link_name=\"l\"/><card value=\"inner\"/><links><link value=\"v\"/></links>"
                    "</links></card><x><card value=\"deep\"/></x><cards><card value=\"own\"/>"
                    "</cards><card/><card></card><card> <!-- c --> </card></cards>");
    QTest::newRow("odd escapes and lists")
        << planWith("<properties><property/><property/><property/></properties><cards>"
                    "<card value=\"%zz,%4,%00b\"/><card value=\"%C3%A9,%e9,a%\" image=\" 3\"/>"
                    "<card value=\",,,,\" notes=\"%41%\"/><card value=\"x\" image=\"1e2\"/>"
                    "</cards>");
    QTest::newRow("dates of date and automatic properties")
        << planWith("<properties><property><type value=\"3\"/></property><property><default "
                    "value=\"x\"/></property><property/></properties><cards>"
                    "<card value=\"today,today,5%2F3%2F2021\"/><card value=\"05%2F03%2F2021,"
                    "%2B1,tomorrow\"/></cards>");
    // Where the two parsers may differ: entity references, line breaks and tabs in a value,
    // names beyond ASCII.
    QTest::newRow("an entity reference in a value")
        << planWith("<properties><property><predefined_values value=\"5%2&foo;F3\"/>"
                    "</property></properties><cards><card value=\"a&amp;b\"/></cards>");
    QTest::newRow("a line break and a tab in a value")
        << planWith("<properties><property/></properties><cards><card value=\"a\nb\tc\"/>"
                    "</cards>");
    QTest::newRow("a name beyond ASCII")
        << planWith("<properties><property/></properties><cards><card v\xf0\x9f\x98\x80lue=\"x\"/>"
                    "</cards>");
    QTest::newRow("cards before properties")
        << planWith("<cards><card value=\"a\"/></cards><properties><property/></properties>");
    QTest::newRow("not well-formed in a card")
        << planWith("<properties><property/></properties><cards><card value=\"a\"><card>"
                    "</cards>");
    // The parser is handed a file a slice of 64 KiB at a time, and the end of the root at the
    // end of a slice ends the document for it, whatever follows.
    const QByteArray head = "<!DOCTYPE tavrolo>\n<root><properties/><cards/><!--";
    const QByteArray tail = "--></root>";
    QTest::newRow("markup after a root ending a slice")
        << head + QByteArray(64 * 1024 - head.size() - tail.size(), 'p') + tail + "junk";
}

void TestPlanFile::streamedAndTreeReadingsAgree()
{
    QFETCH(QByteArray, text);
    const QString streamedPath = writeBytes(m_dir.filePath(QStringLiteral("streamed.tv")), text);
    const QString treePath
        = writeBytes(m_dir.filePath(QStringLiteral("tree.tv")), "<!--\xc3\xa9-->" + text);
    Document streamed;
    Document tree;
    QString streamedError;
    QString treeError;
    bool later = false;
    const bool streamedRead = readPlanFile(streamed, streamedPath, &streamedError, &later);
    const bool treeRead = readPlanFile(tree, treePath, &treeError, &later);
    QCOMPARE(streamedRead, treeRead);
    QCOMPARE(
        streamedError.section(QLatin1Char('\n'), 0, 0).remove(QRegularExpression(" column \\d+")),
        treeError.section(QLatin1Char('\n'), 0, 0).remove(QRegularExpression(" column \\d+")));
    QVERIFY(streamed == tree);
    QCOMPARE(planFileText(streamed), planFileText(tree));
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
    QCOMPARE(error, QStringLiteral("Can't save '%1': File too large.").arg(path));
    QCOMPARE(readBytes(path), old);
    // No temporary file is left behind.
    QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("full.tv*")}, QDir::Files),
             QStringList {QStringLiteral("full.tv")});
    const QString missing = m_dir.filePath(QStringLiteral("missing/folder/plan.tv"));
    QVERIFY(!writePlanFile(doc, missing, &error));
    QCOMPARE(
        error,
        QStringLiteral("Can't open file '%1' to write.\nNo such file or directory.").arg(missing));
}

void TestPlanFile::saveFailureNamesTheFileAndTheCause_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("message"); // %1 is the file
    QTest::newRow("full disk") << "full"
                               << "Can't save '%1': No space left on device.";
    QTest::newRow("file size limit") << "limit"
                                     << "Can't save '%1': File too large.";
    QTest::newRow("folder under a regular file")
        << "under file"
        << "Can't open file '%1' to write.\nNot a directory.";
    const QString tooLarge = "Can't save '%1': the plan is too large to be saved.\nIts file would "
                             "be larger than can be opened again. Pictures and long texts are "
                             "what make a plan this large.";
    QTest::newRow("plan larger than can be opened") << "too large" << tooLarge;
    QTest::newRow("plan larger than can be opened, written in place")
        << "too large in place" << tooLarge;
}

// A full disk, a pulled stick or a locked file: the message says which file and why, and the
// plan that was on disk before stays whole.
void TestPlanFile::saveFailureNamesTheFileAndTheCause()
{
    QFETCH(QString, fault);
    QFETCH(QString, message);
    const QString folder = m_dir.filePath(QStringLiteral("disk-") + fault.left(5));
    QVERIFY(QDir().mkpath(folder));
    std::unique_ptr<SmallFileSystem> disk;
    if (fault == QLatin1String("full")) {
        disk.reset(new SmallFileSystem(folder, "size=1m"));
        if (!disk->isMounted())
            QSKIP(smallFileSystemRefused);
    }
    QString path = folder + QStringLiteral("/plan.tv");
    Document doc;
    fillVariedPlan(doc);
    QString error;
    QVERIFY(writePlanFile(doc, path, &error));
    const QByteArray old = readBytes(path);
    fillLargePlan(doc, 400, 10);
    bool written = true;
    if (fault == QLatin1String("full")) {
        QVERIFY(disk->fill());
        written = writePlanFile(doc, path, &error);
    } else if (fault == QLatin1String("limit")) {
        FileSizeLimit limit(old.size() + 100);
        written = writePlanFile(doc, path, &error);
    } else if (fault.startsWith(QLatin1String("too large"))) {
        const auto restore = qScopeGuard([] { setMaximumPlanFileBytes(maximumTextFileBytes); });
        setMaximumPlanFileBytes(old.size() + 100);
        std::unique_ptr<ImmutablePaths> locked;
        if (fault.endsWith(QLatin1String("in place"))) {
            locked.reset(new ImmutablePaths({folder}));
            if (!locked->isActive())
                QSKIP("The file system cannot lock the folder");
        }
        written = writePlanFile(doc, path, &error);
    } else {
        path = writeBytes(folder + QStringLiteral("/file"), "a file") + QStringLiteral("/plan.tv");
        written = writePlanFile(doc, path, &error);
    }
    QVERIFY(!written);
    QCOMPARE(error, message.arg(path));
    QCOMPARE(readBytes(folder + QStringLiteral("/plan.tv")), old);
    QCOMPARE(QDir(folder).entryList({QStringLiteral("plan.tv?*")}, QDir::Files | QDir::Hidden),
             QStringList());
}

void TestPlanFile::writeFailureAnywhereIsReported_data()
{
    QTest::addColumn<qint64>("capacity");
    QTest::newRow("first byte") << qint64(0);
    QTest::newRow("part of the first chunk") << qint64(1000);
    QTest::newRow("after the first chunk") << qint64(70000);
    QTest::newRow("last byte") << qint64(-1);
}

// The text goes out in chunks while it is made; a refused chunk anywhere, the last one too,
// must fail the save, and nothing is sent after it.
void TestPlanFile::writeFailureAnywhereIsReported()
{
    QFETCH(qint64, capacity);
    Document doc;
    fillLargePlan(doc, 1500, 10);
    const qint64 size = planFileText(doc).size();
    QVERIFY(size > 3 * 70000);
    FailingDevice device(capacity < 0 ? size - 1 : capacity);
    QVERIFY(!writePlanText(doc, &device));
    QCOMPARE(device.writesAfterFailure, 0);
    FailingDevice roomy(size);
    QVERIFY(writePlanText(doc, &roomy));
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
        QCOMPARE(
            error,
            QStringLiteral("Can't open file '%1' to write.\nOperation not permitted.").arg(path));
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

// A plan's picture is what its bytes are, whatever the element's "format" says, and only a
// PNG, JPEG, BMP or GIF: an SVG would load the files it links to (the user's own pictures, to
// be saved into the plan and shown to whoever sent it), wait on a pipe, or decode an embedded
// picture past the reader's budget.
void TestPlanFile::picturesAreReadOnlyAsTheRasterDataTheyHold_data()
{
    using HostilePlans::svgShowing;
    QTest::addColumn<QByteArray>("picture");
    QTest::addColumn<QString>("format"); // the element's "format" attribute
    QTest::addColumn<bool>("decoded");
    const QString own = m_dir.filePath(QStringLiteral("own.png"));
    QImage red(8, 8, QImage::Format_RGB32);
    red.fill(Qt::red);
    QVERIFY(red.save(own));
    const QString pipe = m_dir.filePath(QStringLiteral("pipe"));
    QVERIFY(QFileInfo::exists(pipe) || mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
    const QByteArray byPath = svgShowing(QFile::encodeName(own));
    QTest::newRow("svg naming a file, as SVG") << byPath << "SVG" << false;
    QTest::newRow("svg naming a file, as svg") << byPath << "svg" << false;
    QTest::newRow("svg naming a file, no format name") << byPath << "" << false;
    QTest::newRow("svg naming a file, unknown format") << byPath << "xyz" << false;
    QTest::newRow("svg naming a file by a relative path")
        << svgShowing("own.png") << "SVG" << false;
    QTest::newRow("svg naming a pipe") << svgShowing(QFile::encodeName(pipe)) << "SVG" << false;
    // 36 million pixels inside a few kilobytes, more than the plan's budget.
    QTest::newRow("svg carrying a large picture")
        << HostilePlans::svgShowingData(HostilePlans::blackPng(6000, 6000, 8, 0)) << "SVG" << false;
    QTest::newRow("a portable pixmap")
        << QByteArray("P6 2 2 255 ").append(12, '\x7f') << "PPM" << false;
    QTest::newRow("png under another name") << pngOfWidth(3) << "SVG" << true;
    QTest::newRow("jpeg") << HostilePlans::jpegPhoto(40, 30) << "PNG" << true;
    QByteArray bmp;
    QBuffer buffer(&bmp);
    QVERIFY(buffer.open(QIODevice::WriteOnly) && red.save(&buffer, "BMP"));
    QTest::newRow("bmp") << bmp << "" << true;
    QTest::newRow("gif") << QByteArray::fromHex(
        "47494638396101000100800000000000ffffff21f9040100000000"
        "2c000000000100010000020144003b")
                         << "xyz" << true;
    // The decoder runs every scan over the whole picture and allocates a GIF's whole screen,
    // neither of which the picture's size shows.
    using HostilePlans::progressiveJpeg;
    QTest::newRow("progressive jpeg") << progressiveJpeg(64) << "" << true;
    QTest::newRow("jpeg of ten thousand scans") << progressiveJpeg(64, 10000) << "" << false;
    QTest::newRow("jpeg with a thumbnail of a thousand scans")
        << HostilePlans::jpegWithThumbnail(progressiveJpeg(64), progressiveJpeg(8, 1000)) << ""
        << true;
    // The start marker holds no length: read as one, it would hide the scans of a small file.
    QTest::newRow("jpeg of a hundred scans") << progressiveJpeg(16, 100) << "" << true;
    QTest::newRow("jpeg of a hundred and one scans") << progressiveJpeg(16, 101) << "" << false;
    // Nor does the marker the decoder passes over as a mark of its own, with no length: read as
    // a segment, it would take the next marker for its length and hide every scan behind it.
    QTest::newRow("jpeg of a hundred scans behind a TEM marker")
        << progressiveJpeg(16, 100).insert(2, "\xff\x01", 2) << "" << true;
    QTest::newRow("jpeg of a hundred and one scans behind a TEM marker")
        << progressiveJpeg(16, 101).insert(2, "\xff\x01", 2) << "" << false;
    // The decoder stops at none of these: a segment too short to hold its own length skips
    // nothing more, and any number of 0xFF bytes may stand before a marker.
    const QByteArray scans = progressiveJpeg(64, 10000);
    QTest::newRow("jpeg of ten thousand scans behind an APP0 of length 0")
        << QByteArray(scans).insert(2, "\xff\xe0\x00\x00", 4) << "" << false;
    QTest::newRow("jpeg of ten thousand scans behind an APP5 of length 0")
        << QByteArray(scans).insert(2, "\xff\xe5\x00\x00", 4) << "" << false;
    QTest::newRow("jpeg of ten thousand scans behind a comment of length 0")
        << QByteArray(scans).insert(2, "\xff\xfe\x00\x00", 4) << "" << false;
    QTest::newRow("jpeg of ten thousand scans behind an APP1 of length 1")
        << QByteArray(scans).insert(2, "\xff\xe1\x00\x01", 4) << "" << false;
    QTest::newRow("jpeg of ten thousand scans, each behind fill bytes")
        << QByteArray(scans).replace("\xff\xda", "\xff\xff\xff\xda") << "" << false;
    // The data ends inside a segment's length.
    QTest::newRow("jpeg cut after a marker") << QByteArray("\xff\xd8\xff\xe0", 4) << "" << false;
    QTest::newRow("jpeg cut inside a length")
        << QByteArray("\xff\xd8\xff\xe0\x00", 5) << "" << false;
    QTest::newRow("gif of a screen within the budget")
        << HostilePlans::gifWithScreen(4000, 2000) << "" << true;
    // A screen far larger than its one picture is taken for the picture's, and is never held.
    QTest::newRow("gif of a large screen around one pixel")
        << HostilePlans::gifWithScreen(16384, 4096) << "" << true;
    QTest::newRow("gif of a tall screen around one pixel")
        << HostilePlans::gifWithScreen(4096, 16384) << "" << true;
    // Its codes give more pixels than the plan's bytes pay for, and its decoder walks each.
    QTest::newRow("gif of one pixel whose codes give millions")
        << HostileGifs::longData(20000) << "" << false;
}

void TestPlanFile::picturesAreReadOnlyAsTheRasterDataTheyHold()
{
    QFETCH(QByteArray, picture);
    QFETCH(QString, format);
    QFETCH(bool, decoded);
    // Where a relative link would be looked for.
    const QString folder = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
    const QString path = writeBytes(m_dir.filePath(QStringLiteral("pictured.tv")),
                                    planWith("<images><image format=\"" + format.toLatin1()
                                             + "\" value=\"" + picture.toHex() + "\"/></images>"));
    Document doc;
    QString error;
    bool later = false;
    const bool read = readPlanFile(doc, path, &error, &later);
    QDir::setCurrent(folder);
    QVERIFY2(read, qPrintable(error));
    QCOMPARE(doc.imageCount(), 1);
    QCOMPARE(!doc.image(0).isNull(), decoded);
    // A picture taken in is saved as PNG; a refused one keeps the bytes it was read from, which
    // nothing shows or reads, and is saved as it was.
    const QString saved = m_dir.filePath(QStringLiteral("saved.tv"));
    QVERIFY2(writePlanFile(doc, saved, &error), qPrintable(error));
    QVERIFY(readBytes(saved).contains(decoded ? QByteArray("value=\"89504e47")
                                              : "value=\"" + picture.toHex() + '"'));
}

// The library's pictures as users fill it: flat swatches, marker icons with alpha, the backs of
// scanned pages, each a few hundred bytes that decode to as many as 128 x 128 pixels.
QImage libraryPicture(const QString &kind, int number)
{
    if (kind == QLatin1String("swatches")) {
        QImage image(128, 128, QImage::Format_RGB32);
        image.fill(QColor::fromHsv(number * 7 % 360, 40 + number % 200, 255 - number % 100));
        return image;
    }
    if (kind == QLatin1String("icons")) {
        QImage image(128, 128, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor::fromHsv(number * 11 % 360, 200, 220));
        painter.drawEllipse(QPoint(64, 48), 40 + number % 20, 40);
        painter.drawPolygon(QPolygon({QPoint(34, 70), QPoint(94, 70), QPoint(64, 124)}));
        return image;
    }
    // A blank back fitted from a page scanned at 300 dots an inch: paper white, a little darker
    // towards one edge.
    QImage image(91, 128, QImage::Format_RGB32);
    for (int y = 0; y < 128; ++y) {
        const int level = 255 - (y * (number % 7 + 1)) / 128;
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < 91; ++x)
            line[x] = qRgb(level, level, level - number % 3);
    }
    return image;
}

void TestPlanFile::librariesOfAnySizeComeBackWhole_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("count");
    QTest::newRow("365 colour swatches") << "swatches" << 365;
    QTest::newRow("365 marker icons with alpha") << "icons" << 365;
    QTest::newRow("600 blank backs of scans") << "backs" << 600;
    // More than the plan's allowance would pay for, were its pictures not paid by their bytes.
    QTest::newRow("1000 colour swatches") << "swatches" << 1000;
}

// Each picture pays for itself with its own bytes, so a plan of any number comes back whole: a
// picture that did not would show on no card, and the next save would write it empty.
void TestPlanFile::librariesOfAnySizeComeBackWhole()
{
    QFETCH(QString, kind);
    QFETCH(int, count);
    Document doc;
    doc.addTask(false);
    for (int i = 0; i < count; ++i)
        doc.addImage(Image(QPixmap::fromImage(libraryPicture(kind, i)), kind, QString()), false);
    doc.setTaskImage(0, count - 1, false);
    const QString path = m_dir.filePath(QStringLiteral("library.tv"));
    QString error;
    bool later = false;
    for (int round = 0; round < 2; ++round) {
        QVERIFY2(writePlanFile(doc, path, &error), qPrintable(error));
        Document read;
        QVERIFY2(readPlanFile(read, path, &error, &later), qPrintable(error));
        QCOMPARE(read.imageCount(), count);
        for (int i = 0; i < count; ++i) {
            QVERIFY2(Image::samePixels(read.image(i).pixmap(), doc.image(i).pixmap()),
                     qPrintable(QStringLiteral("picture %1, round %2").arg(i).arg(round)));
        }
        QCOMPARE(read.taskImage(0), count - 1);
        doc = read;
    }
}

void TestPlanFile::picturesNotTakenInAreWrittenBackAsRead_data()
{
    QTest::addColumn<QByteArray>("refused");
    QTest::addColumn<QByteArray>("another");
    QTest::newRow("gif whose codes give millions of pixels")
        << HostileGifs::longData(20000) << HostileGifs::longData(20001);
    QTest::newRow("jpeg of ten thousand scans")
        << HostilePlans::progressiveJpeg(64, 10000) << HostilePlans::progressiveJpeg(64, 10001);
    QTest::newRow("png wider than any picture may be")
        << HostilePlans::blackPng(65501, 1) << HostilePlans::blackPng(65502, 1);
    QTest::newRow("no picture at all") << QByteArray("not a picture") << QByteArray("nor this");
}

// A picture the reader does not take (a bound refuses it, now or in a later version) keeps the
// bytes it was read from: saved, read and saved again, the file holds them as they were, on the
// cards that showed them, whatever else the library goes through.
void TestPlanFile::picturesNotTakenInAreWrittenBackAsRead()
{
    QFETCH(QByteArray, refused);
    QFETCH(QByteArray, another);
    const QByteArray good = pngOfWidth(3);
    const QString path = writeBytes(
        m_dir.filePath(QStringLiteral("kept.tv")),
        planWith("<images><image name=\"a\" value=\"" + refused.toHex()
                 + "\"/><image name=\"b\" value=\"" + good.toHex()
                 + "\"/><image name=\"c\" value=\"" + another.toHex()
                 + "\"/></images><cards><card image=\"2\"/><card image=\"0\"/></cards>"));
    Document doc;
    QString error;
    bool later = false;
    QVERIFY2(readPlanFile(doc, path, &error, &later), qPrintable(error));
    QVERIFY(doc.image(0).isNull() && !doc.image(1).isNull() && doc.image(2).isNull());
    // Renaming the picture that came in remaps the cards by what each entry shows.
    QList<Image> renamed = doc.images();
    renamed[1].setName(QStringLiteral("renamed"));
    doc.editImages(renamed, false);
    const QString saved = m_dir.filePath(QStringLiteral("kept again.tv"));
    for (int round = 0; round < 2; ++round) {
        QVERIFY2(writePlanFile(doc, saved, &error), qPrintable(error));
        const QByteArray text = readBytes(saved);
        QVERIFY(text.contains("name=\"a\" value=\"" + refused.toHex() + '"'));
        QVERIFY(text.contains("name=\"c\" value=\"" + another.toHex() + '"'));
        QVERIFY2(readPlanFile(doc, saved, &error, &later), qPrintable(error));
        QCOMPARE(doc.imageCount(), 3);
        QCOMPARE(doc.taskImage(0), 2);
        QCOMPARE(doc.taskImage(1), 0);
    }
}

// A stock picture the reader does not take stays the stock picture it was through saves.
void TestPlanFile::refusedStockPicturesKeepTheirResource()
{
    const QByteArray refused = HostilePlans::blackPng(65501, 1);
    const QByteArray element
        = "stock_resource=\"%3A%2Fstock%2Fflag.png\" value=\"" + refused.toHex() + '"';
    QString path = writeBytes(m_dir.filePath(QStringLiteral("stock.tv")),
                              planWith("<images><image name=\"flag\" " + element + "/></images>"));
    QString error;
    bool later = false;
    for (int round = 0; round < 2; ++round) {
        Document doc;
        QVERIFY2(readPlanFile(doc, path, &error, &later), qPrintable(error));
        QVERIFY(doc.image(0).isNull());
        QCOMPARE(doc.image(0).path(), QStringLiteral(":/stock/flag.png"));
        path = m_dir.filePath(QStringLiteral("stock %1.tv").arg(round));
        QVERIFY2(writePlanFile(doc, path, &error), qPrintable(error));
        QVERIFY(readBytes(path).contains(element));
    }
}

// A picture of the library's size in a hundred bytes or so: a ramp of colours, every pixel
// another, its first row stored as the differences from the pixel before, the others from the
// pixel above.
QByteArray colourRamp()
{
    QByteArray rows = QByteArray("\1\0\0\xff", 4) + QByteArray("\2\1\0", 3).repeated(127);
    for (int y = 1; y < 128; ++y)
        rows += '\2' + QByteArray("\1\0\xff", 3).repeated(128);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + HostilePlans::pngHeader(128, 128, 8, 2, false)
        + HostilePlans::pngChunk("IDAT", qCompress(rows, 9).mid(4))
        + HostilePlans::pngChunk("IEND", QByteArray());
}

void TestPlanFile::picturesAreHeldWithinWhatTheFileAllows_data()
{
    QTest::addColumn<QByteArray>("picture");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("allComeIn");
    // Held a byte a pixel, a library of thousands of the library's size comes back whole however
    // few bytes each takes; ramps of colours, held in 32 bits, come in as far as the file's size
    // allows, and the rest are kept as stored.
    QTest::newRow("5000 black and white patterns of 82 bytes")
        << HostilePlans::blackPng(128, 128) << 5000 << true;
    QImage swatch(128, 128, QImage::Format_RGB32);
    swatch.fill(qRgb(120, 160, 200));
    QTest::newRow("5000 swatches as the program writes them")
        << HostilePlans::encodedPicture(swatch, "PNG") << 5000 << true;
    QTest::newRow("5000 ramps of colours of a few hundred bytes") << colourRamp() << 5000 << true;
    QTest::newRow("8000 ramps of colours of a few hundred bytes") << colourRamp() << 8000 << false;
}

// What a plan's pictures hold in memory follows the size of its file: past it, a picture is kept
// as stored and written back unchanged.
void TestPlanFile::picturesAreHeldWithinWhatTheFileAllows()
{
    QFETCH(QByteArray, picture);
    QFETCH(int, count);
    QFETCH(bool, allComeIn);
    const QByteArray text = HostilePlans::plan(
        HostilePlans::container("images", HostilePlans::imageElement(picture), count));
    const QString path = writeBytes(m_dir.filePath(QStringLiteral("many.tv")), text);
    Document doc;
    QString error;
    bool later = false;
    QVERIFY2(readPlanFile(doc, path, &error, &later), qPrintable(error));
    QCOMPARE(doc.imageCount(), count);
    int taken = 0;
    qint64 held = 0;
    for (int i = 0; i < count; ++i) {
        if (!doc.image(i).isNull()) {
            ++taken;
            held += heldPictureBytes(doc.image(i).toImage());
        }
    }
    const qint64 bound = planHeldAllowance + planHeldPerFileByte * text.size();
    QVERIFY2(held <= bound, qPrintable(QStringLiteral("%1 of %2").arg(held).arg(bound)));
    if (allComeIn) {
        QCOMPARE(taken, count);
    } else {
        // Taken in until the next would not fit.
        QVERIFY2(taken > 0 && taken < count, qPrintable(QString::number(taken)));
        QVERIFY(held + heldPictureBytes(doc.image(0).toImage()) > bound);
    }
    const QString saved = m_dir.filePath(QStringLiteral("many again.tv"));
    QVERIFY2(writePlanFile(doc, saved, &error), qPrintable(error));
    QCOMPARE(readBytes(saved).count("value=\"" + picture.toHex() + '"'), count);
}

void TestPlanFile::picturesTakenInUnchangedAreSavedAsRead_data()
{
    QTest::addColumn<QByteArray>("picture");
    QTest::addColumn<bool>("asRead");
    QImage swatch(128, 128, QImage::Format_RGB32);
    swatch.fill(qRgb(120, 160, 200));
    const QByteArray swatchBytes = HostilePlans::encodedPicture(swatch, "PNG");
    QTest::newRow("a swatch as the program writes it") << swatchBytes << true;
    QTest::newRow("a ramp of colours of the library's size") << colourRamp() << true;
    QTest::newRow("a pattern with a palette") << HostilePlans::blackPng(
        64, 32, 2, 3, false, HostilePlans::pngChunk("PLTE", QByteArray(12, char(90))))
                                              << true;
    // Bytes that hold more than the picture, or are not what draws it as it came in, are encoded
    // afresh.
    QByteArray withText = swatchBytes;
    withText.insert(33, HostilePlans::pngChunk("tEXt", "Comment\0" + QByteArray(65536, 'c')));
    QTest::newRow("a swatch carrying a long text") << withText << false;
    // Others than this program's writer may put in chunks that show the picture otherwise, in
    // another viewer, than this program shows it: those are not kept, however short.
    const int dataAt = swatchBytes.indexOf("IDAT") - 4;
    QTest::newRow("a swatch carrying a short text")
        << QByteArray(swatchBytes)
               .insert(33, HostilePlans::pngChunk("tEXt", QByteArray("Title\0swatch", 12)))
        << false;
    QTest::newRow("a swatch of a gamma of 1.0")
        << QByteArray(swatchBytes)
               .insert(33, HostilePlans::pngChunk("gAMA", QByteArray("\0\1\x86\xa0", 4)))
        << false;
    // Nor where they stand in the density's place, in bytes that hold none.
    const QByteArray profile
        = QByteArray("sRGB\0\0", 6) + qCompress(QColorSpace(QColorSpace::SRgb).iccProfile()).mid(4);
    QTest::newRow("a ramp carrying a colour profile and no density")
        << colourRamp().insert(33, HostilePlans::pngChunk("iCCP", profile)) << false;
    QByteArray chromaticities(32, 0);
    const quint32 points[] = {31270, 32900, 64000, 33000, 30000, 60000, 15000, 6000};
    for (int i = 0; i < 8; ++i)
        qToBigEndian(points[i], chromaticities.data() + 4 * i);
    QTest::newRow("a ramp carrying chromaticities and no density")
        << colourRamp().insert(33, HostilePlans::pngChunk("cHRM", chromaticities)) << false;
    // As long as a density.
    QTest::newRow("a ramp carrying a compressed text and no density") << colourRamp().insert(
        33, HostilePlans::pngChunk("zTXt", QByteArray("Ti\0\0x\x9c\3\0\0", 9)))
                                                                      << false;
    // Two frames, played once, each of the whole picture: the swatch, then its data again.
    QByteArray animation(8, 0);
    animation[3] = 2;
    const auto frameControl = [](int sequence) {
        QByteArray control(26, 0);
        qToBigEndian(quint32(sequence), control.data());
        qToBigEndian(quint32(128), control.data() + 4);
        qToBigEndian(quint32(128), control.data() + 8);
        return HostilePlans::pngChunk("fcTL", control);
    };
    const int endAt = swatchBytes.size() - 12;
    const QByteArray data = swatchBytes.mid(dataAt + 8, endAt - dataAt - 12);
    QTest::newRow("a swatch as the first frame of an animation") << swatchBytes.left(dataAt)
            + HostilePlans::pngChunk("acTL", animation) + frameControl(0)
            + swatchBytes.mid(dataAt, endAt - dataAt) + frameControl(1)
            + HostilePlans::pngChunk("fdAT", QByteArray("\0\0\0\2", 4) + data)
            + swatchBytes.mid(endAt) << false;
    QTest::newRow("a picture larger than the library keeps")
        << HostilePlans::blackPng(256, 256) << false;
    QTest::newRow("a gif") << HostileGifs::encodedGif(swatch) << false;
}

// The first save after a plan opens writes the bytes each picture was read from, where it came in
// as they hold it and they hold nothing more, rather than encoding thousands of pictures afresh.
void TestPlanFile::picturesTakenInUnchangedAreSavedAsRead()
{
    QFETCH(QByteArray, picture);
    QFETCH(bool, asRead);
    const QString path = writeBytes(
        m_dir.filePath(QStringLiteral("read.tv")),
        planWith("<images><image name=\"a\" value=\"" + picture.toHex() + "\"/></images>"));
    Document doc;
    QString error;
    bool later = false;
    QVERIFY2(readPlanFile(doc, path, &error, &later), qPrintable(error));
    QVERIFY(!doc.image(0).isNull());
    const QString saved = m_dir.filePath(QStringLiteral("read again.tv"));
    QVERIFY2(writePlanFile(doc, saved, &error), qPrintable(error));
    QCOMPARE(readBytes(saved).contains("value=\"" + picture.toHex() + '"'), asRead);
    Document again;
    QVERIFY2(readPlanFile(again, saved, &error, &later), qPrintable(error));
    QVERIFY(Image::samePixels(again.image(0).pixmap(), doc.image(0).pixmap()));
}

void TestPlanFile::picturesAddedAgainAfterAReopenFindTheirEntry_data()
{
    QTest::addColumn<QByteArray>("picture");
    QImage checks(32, 32, QImage::Format_ARGB32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x)
            checks.setPixel(x, y,
                            (x / 8 + y / 8) % 2 ? qRgba(40, 90, 200, 255) : qRgba(255, 0, 0, 0));
    }
    QTest::newRow("a 32-bit bmp whose transparent pixels carry a colour")
        << HostilePlans::bmpWithAlpha(checks);
    const QImage indices = HostilePlans::everyIndex();
    QTest::newRow("an 8-bit bmp whose colour table is shorter than its indices")
        << HostilePlans::indexedBmp(indices, 8, {qRgb(255, 0, 0), qRgb(0, 160, 0)});
    QImage swatch(128, 128, QImage::Format_RGB32);
    swatch.fill(qRgb(120, 160, 200));
    QTest::newRow("a swatch") << HostilePlans::encodedPicture(swatch, "PNG");
    QTest::newRow("a photo") << HostilePlans::jpegPhoto(300, 200);
    // The system's decoder puts a photo's colour profile and comment on the picture.
    QTest::newRow("a photo carrying a colour profile")
        << HostilePlans::jpegPhoto(128, 96, HostilePlans::PhotoCarrying::ColourProfile);
    QTest::newRow("a photo carrying a comment")
        << HostilePlans::jpegPhoto(128, 96, HostilePlans::PhotoCarrying::Comment);
    QTest::newRow("a larger photo carrying a colour profile")
        << HostilePlans::jpegPhoto(300, 200, HostilePlans::PhotoCarrying::ColourProfile);
    QTest::newRow("a gif") << HostileGifs::encodedGif(swatch);
}

// Pictures already in the library are not added again, however the plan was saved and read in
// between: the entry read back shows what the file shows. Its picture is written with no chunk
// but those that draw it and its density, so that the bytes read back stand for it and are saved
// as read, not encoded afresh at the first save after every opening.
void TestPlanFile::picturesAddedAgainAfterAReopenFindTheirEntry()
{
    QFETCH(QByteArray, picture);
    const QString file = writeBytes(m_dir.filePath(QStringLiteral("dropped")), picture);
    Document doc;
    doc.addTask(false);
    doc.addImages({file}, 0, false);
    QCOMPARE(doc.imageCount(), 1);
    const QByteArray written = doc.image(0).storedBytes();
    const QList<QByteArray> own = {"IHDR", "PLTE", "tRNS", "pHYs", "IDAT", "IEND"};
    for (const QByteArray &type : HostilePlans::pngChunkTypes(written))
        QVERIFY2(own.contains(type), type.constData());
    QVERIFY(PngPictureReader::holdsOnlyItsPicture(written, doc.image(0).pixmap().size()));
    for (int round = 0; round < 2; ++round) {
        Document read;
        QVERIFY(readBackAsFiled(doc, read));
        QCOMPARE(read.image(0).storedBytes(), written);
        read.addImages({file}, 0, false);
        QCOMPARE(read.imageCount(), 1);
        QCOMPARE(read.taskImage(0), 0);
        doc = read;
    }
}

// A device never ends and a pipe blocks the open until someone writes to it: neither is opened.
// Some files of the system pass for regular files of no length and read on for gigabytes: they
// are refused at the first byte past what they state.
void TestPlanFile::pathsThatAreNoFileAreRefusedUnopened_data()
{
    QTest::addColumn<QString>("path");
    const QString pipe = m_dir.filePath(QStringLiteral("plan pipe.tv"));
    QVERIFY(QFileInfo::exists(pipe) || mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
    const QString link = m_dir.filePath(QStringLiteral("link to pipe.tv"));
    QVERIFY(QFileInfo(link).isSymLink() || QFile::link(pipe, link));
    const QString endless = QStringLiteral("/proc/self/pagemap");
    const QString linkToEndless = m_dir.filePath(QStringLiteral("shared.tv"));
    QVERIFY(QFileInfo(linkToEndless).isSymLink() || QFile::link(endless, linkToEndless));
    QTest::newRow("device") << QStringLiteral("/dev/zero");
    QTest::newRow("pipe") << pipe;
    QTest::newRow("link to a pipe") << link;
    QTest::newRow("folder") << m_dir.path();
    QTest::newRow("endless file of size 0") << endless;
    QTest::newRow("link to an endless file") << linkToEndless;
}

void TestPlanFile::pathsThatAreNoFileAreRefusedUnopened()
{
    QFETCH(QString, path);
    Document doc;
    fillVariedPlan(doc);
    const Document before(doc);
    QString error;
    bool later = true;
    QVERIFY(!readPlanFile(doc, path, &error, &later));
    QCOMPARE(error, QStringLiteral("Can't open file '%1'").arg(path));
    QVERIFY(later);
    QVERIFY(doc == before);
}

TAVROLO_GUI_TEST_MAIN(TestPlanFile)
#include "tst_planfile.moc"
