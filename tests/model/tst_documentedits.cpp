#include "harness/PlainTestMain.h"
#include "storage/HostilePlans.h"
#include "tests/model/PlanFixture.h"

#include <QFile>
#include <QTemporaryDir>

using namespace PlanFixture;

namespace {

// One card for each number i: name ci, status si, notes ni.
void fillCards(Document &doc, const QList<int> &numbers)
{
    fillPlan(doc, {});
    for (const int i : numbers) {
        doc.addTaskWithValues(
            {{Name, QStringLiteral("c%1").arg(i)}, {Status, QStringLiteral("s%1").arg(i)}},
            QStringLiteral("n%1").arg(i), {}, -1, false);
    }
}

QList<int> upTo(int count)
{
    QList<int> numbers;
    for (int i = 0; i < count; ++i)
        numbers.append(i);
    return numbers;
}

QPixmap filledPixmap(int width, int height, const QColor &color)
{
    QPixmap pixmap(width, height);
    pixmap.fill(color);
    return pixmap;
}

Image pictureOf(Qt::GlobalColor color, const QString &name)
{
    return Image(filledPixmap(4, 4, color), name, QString());
}

// Pixels of one of a few kinds, 16 x 16: r red and b blue swatches, t a translucent swatch, g a
// grey gradient, m a 1-bit pattern; R, G and M show what r, g and m show.
QImage libraryPixels(char kind)
{
    switch (QChar::toLower(uint(kind))) {
    case 'r':
    case 'b': {
        QImage image(16, 16, kind == 'R' ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        image.fill(kind == 'b' ? Qt::blue : Qt::red);
        return image;
    }
    case 't': {
        QImage image(16, 16, QImage::Format_ARGB32);
        image.fill(QColor(0, 128, 255, 100));
        return image;
    }
    case 'g': {
        QImage image(16, 16, QImage::Format_Grayscale8);
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x)
                image.scanLine(y)[x] = uchar(x * 16 + y);
        }
        return image;
    }
    default: {
        QImage image(16, 16, QImage::Format_Mono);
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x)
                image.setPixel(x, y, uint(x / 4 + y / 4) % 2);
        }
        return image;
    }
    }
}

// A library entry made afresh, a pixmap of its own: lower-case kinds are held as the program
// holds the pictures it makes, upper-case ones in the format they were made in; k and K keep
// the same bytes as a plan file stored them, j other bytes.
Image libraryEntry(char kind, const QString &name)
{
    if (kind == 'k' || kind == 'K' || kind == 'j')
        return Image::keptAsStored(kind == 'j' ? "stored bytes B" : "stored bytes A", name,
                                   QString());
    return Image(
        QPixmap::fromImage(libraryPixels(kind),
                           QChar::isUpper(uint(kind)) ? Qt::NoFormatConversion : Qt::AutoColor),
        name, QString());
}

// A card for each entry of kinds, showing it.
void fillLibrary(Document &doc, const QString &kinds)
{
    fillCards(doc, upTo(kinds.size()));
    for (int i = 0; i < kinds.size(); ++i) {
        doc.addImage(libraryEntry(kinds.at(i).toLatin1(), QStringLiteral("e%1").arg(i)), false);
        doc.setTaskImage(i, i, false);
    }
}

QList<int> cardImages(const Document &doc)
{
    QList<int> images;
    for (int task = 0; task < doc.taskCount(); ++task)
        images.append(doc.taskImage(task));
    return images;
}

} // namespace

class TestDocumentEdits : public QObject
{
    Q_OBJECT
private slots:
    void deletingCardsIgnoresRepeatedAndStaleIndexes_data();
    void deletingCardsIgnoresRepeatedAndStaleIndexes();
    void duplicatingCopiesValuesAfterExistingCards_data();
    void duplicatingCopiesValuesAfterExistingCards();
    void deletingPropertiesSkipsPlaceholderAndStaleIndexes_data();
    void deletingPropertiesSkipsPlaceholderAndStaleIndexes();
    void imageFileTravelsInPlanAndIsFoundInLibrary();
    void oversizedImageFilesAreRefused_data();
    void oversizedImageFilesAreRefused();
    void samePictureJoinsLibraryOnce();
    void editingLibraryMovesCardsWithPictures();
    void editingLibraryMovesCardsToFirstEqualEntry_data();
    void editingLibraryMovesCardsToFirstEqualEntry();
    void editingLibraryRecordsOnlyWhatDiffers_data();
    void editingLibraryRecordsOnlyWhatDiffers();
    void replaceInValues_data();
    void replaceInValues();
    void previewListsCardsWithoutChangingAnything();
    void replaceInLinksAndNotesReportsEachCardOnce();
    void setValuesCarriesColourOfVanishedValue_data();
    void setValuesCarriesColourOfVanishedValue();
    void predefinedValueEditsKeepTheValueOrder_data();
    void predefinedValueEditsKeepTheValueOrder();
    void sortTasks_data();
    void sortTasks();
    void renameTakesTheStoredViewNamesAlong_data();
    void renameTakesTheStoredViewNamesAlong();
};

void TestDocumentEdits::renameTakesTheStoredViewNamesAlong_data()
{
    QTest::addColumn<bool>("follow");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("views");
    QTest::addColumn<QList<QList<int>>>("events");
    const QList<int> propertyChanged {EventType::PropertyChanged};
    QTest::newRow("follow") << true << "Price"
                            << QStringList {"High cost", "Price by Price", "Price by team"}
                            << QList<QList<int>> {
                                   {EventType::PropertyChanged, EventType::StoredViewsChanged}};
    QTest::newRow("keep") << false << "Price"
                          << QStringList {"Cost by Cost", "Cost by team", "High cost"}
                          << QList<QList<int>> {propertyChanged};
    QTest::newRow("no view names it")
        << true << "Sum" << QStringList {"Cost by Cost", "Cost by team", "High cost"}
        << QList<QList<int>> {propertyChanged};
}

// The case-sensitive occurrences of the old name, in the edit's one step.
void TestDocumentEdits::renameTakesTheStoredViewNamesAlong()
{
    QFETCH(bool, follow);
    QFETCH(QString, name);
    QFETCH(QStringList, views);
    QFETCH(QList<QList<int>>, events);
    Document doc;
    fillPlan(doc, {{"a", "open", "1", ""}});
    for (const char *view : {"Cost by team", "Cost by Cost", "High cost"}) {
        doc.setXProperty(doc.storedViews().size() + 1, false);
        doc.addStoredView(QLatin1String(view), false, false);
    }
    if (QByteArray(QTest::currentDataTag()) == "no view names it")
        doc.setPropertyName(Cost, QStringLiteral("Amount"), false);
    const Document before(doc);
    DocumentRecorder recorder(doc);
    doc.setPropertyName(Cost, name,
                        follow ? Document::ViewNames::Follow : Document::ViewNames::Keep, true);
    QCOMPARE(recorder.undoTexts, QStringList {"Edit Property"});
    QCOMPARE(recorder.eventTypes(), events);
    QVERIFY(*recorder.snapshots.front() == before);
    QStringList names;
    for (const Slice &view : doc.storedViews())
        names.append(view.name);
    std::sort(names.begin(), names.end());
    QCOMPARE(names, views);
    QCOMPARE(doc.propertyName(Cost), name);
}

void TestDocumentEdits::deletingCardsIgnoresRepeatedAndStaleIndexes_data()
{
    QTest::addColumn<QList<int>>("doomed");
    QTest::addColumn<QList<int>>("kept");
    QTest::addColumn<QString>("events");

    QTest::newRow("repeated index") << QList<int> {2, 2} << QList<int> {0, 1, 3, 4} << "2:2:-1";
    QTest::newRow("index past the end") << QList<int> {9, 1} << QList<int> {0, 2, 3, 4} << "2:1:-1";
    QTest::newRow("negative index") << QList<int> {-1, 4} << QList<int> {0, 1, 2, 3} << "2:4:-1";
    QTest::newRow("nothing valid") << QList<int> {5, 5} << QList<int> {0, 1, 2, 3, 4} << "";
    QTest::newRow("every card") << QList<int> {4, 3, 2, 1, 0, 0} << QList<int>()
                                << "2:4:-1 2:3:-1 2:2:-1 2:1:-1 2:0:-1";
}

// Afterwards the plan must equal one built from the surviving cards alone: no value may be
// lost, and nothing may linger past the last card.
void TestDocumentEdits::deletingCardsIgnoresRepeatedAndStaleIndexes()
{
    QFETCH(QList<int>, doomed);
    QFETCH(QList<int>, kept);
    QFETCH(QString, events);

    Document doc;
    fillCards(doc, upTo(5));
    DocumentRecorder recorder(doc);
    doc.deleteTasks(doomed, true);
    QCOMPARE(eventText(recorder), events);
    Document expected;
    fillCards(expected, kept);
    QVERIFY(doc == expected);
}

void TestDocumentEdits::duplicatingCopiesValuesAfterExistingCards_data()
{
    QTest::addColumn<QList<int>>("sources");
    QTest::addColumn<int>("copies");
    QTest::addColumn<QList<int>>("cards");

    QTest::newRow("two cards twice")
        << QList<int> {0, 3} << 2 << QList<int> {0, 1, 2, 3, 0, 0, 3, 3};
    QTest::newRow("stale card skipped") << QList<int> {7, 2} << 1 << QList<int> {0, 1, 2, 3, 2};
}

void TestDocumentEdits::duplicatingCopiesValuesAfterExistingCards()
{
    QFETCH(QList<int>, sources);
    QFETCH(int, copies);
    QFETCH(QList<int>, cards);

    Document doc;
    fillCards(doc, upTo(4));
    doc.setTaskImage(0, 0, false);
    doc.duplicateTasks(sources, copies, true);
    Document expected;
    fillCards(expected, cards);
    for (int task = 0; task < cards.size(); ++task)
        expected.setTaskImage(task, cards.at(task) == 0 ? 0 : -1, false);
    QVERIFY(doc == expected);
}

void TestDocumentEdits::deletingPropertiesSkipsPlaceholderAndStaleIndexes_data()
{
    QTest::addColumn<QList<int>>("doomed");
    QTest::addColumn<QStringList>("kept");

    QTest::newRow("placeholder") << QList<int> {0} << QStringList {"P1", "P2", "P3"};
    QTest::newRow("repeated") << QList<int> {2, 2} << QStringList {"P1", "P3"};
    QTest::newRow("past the end") << QList<int> {4, 7, -2, 1} << QStringList {"P2", "P3"};
}

void TestDocumentEdits::deletingPropertiesSkipsPlaceholderAndStaleIndexes()
{
    QFETCH(QList<int>, doomed);
    QFETCH(QStringList, kept);

    Document doc;
    fillProperties(doc, {"P1", "P2", "P3"});
    doc.deleteProperties(doomed, false);
    Document expected;
    fillProperties(expected, kept);
    QVERIFY(doc == expected);
}

// Only stock pictures are kept by their path: others travel in the plan. A picture read back
// from a file must be found among the same pixels in the library.
void TestDocumentEdits::imageFileTravelsInPlanAndIsFoundInLibrary()
{
    const QPixmap picture = filledPixmap(40, 30, QColor(10, 20, 30));
    QList<Image> library {pictureOf(Qt::white, QStringLiteral("white")),
                          Image(picture, QStringLiteral("dark"), QString())};
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dark.photo.png"));
    QVERIFY(picture.save(path, "PNG"));
    const Image loaded(path);
    QCOMPARE(loaded.name(), QStringLiteral("dark"));
    QCOMPARE(loaded.path(), QString());
    QCOMPARE(Image::indexOf(loaded.pixmap(), library), 1);
    QVERIFY(loaded == library.at(1));
    QCOMPARE(Image::indexOf(filledPixmap(40, 30, Qt::red), library), -1);
}

void TestDocumentEdits::oversizedImageFilesAreRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("loads");
    // Read fitted, never held at its full size, a PNG may be as wide as a JPEG may.
    QTest::newRow("declares 70000 pixels wide")
        << HostilePlans::blackPng(70000, 8).left(64) << false;
    QTest::newRow("complete picture 65501 pixels high")
        << HostilePlans::blackPng(1, 65501) << false;
    QTest::newRow("65500 pixels wide is allowed") << HostilePlans::blackPng(65500, 1) << true;
    QTest::newRow("not an image") << QByteArray("hello, this is text") << false;
    // A format whose bytes the bounds do not know is no picture, whatever its size.
    QTest::newRow("a portable pixmap")
        << (QByteArray("P6\n16384 1\n255\n") + QByteArray(16384 * 3, '\x7f')) << false;
}

void TestDocumentEdits::oversizedImageFilesAreRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, loads);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("picture.ppm"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();
    const Image image(path);
    QCOMPARE(!image.isNull(), loads);
    // Scaled to fit, a long and thin picture keeps a pixel.
    if (loads)
        QCOMPARE(image.pixmap().size(), QSize(128, 1));
}

void TestDocumentEdits::samePictureJoinsLibraryOnce()
{
    QTemporaryDir dir;
    QImage picture(8, 6, QImage::Format_ARGB32);
    picture.fill(Qt::red);
    const QString red = dir.filePath(QStringLiteral("red.png"));
    const QString alsoRed = dir.filePath(QStringLiteral("again.png"));
    QVERIFY(picture.save(red, "PNG") && picture.save(alsoRed, "PNG"));
    Document doc;
    fillCards(doc, upTo(2));
    DocumentRecorder recorder(doc);
    doc.addImages({red}, 0, true);
    doc.addImages({alsoRed}, 0, true);
    QCOMPARE(doc.imageCount(), 1);
    QCOMPARE(doc.image(0).name(), QStringLiteral("red"));
    QCOMPARE(cardImages(doc), (QList<int> {0, -1}));
    QCOMPARE(recorder.undoTexts, QStringList({"Add Images", "Add Images"}));
    QCOMPARE(eventText(recorder), QStringLiteral("17:-1:-1 18:0:-1 | 17:-1:-1 18:0:-1"));
}

void TestDocumentEdits::editingLibraryMovesCardsWithPictures()
{
    Document doc;
    fillCards(doc, upTo(5));
    doc.addImage(pictureOf(Qt::red, QStringLiteral("red")), false);
    doc.addImage(pictureOf(Qt::green, QStringLiteral("green")), false);
    doc.addImage(pictureOf(Qt::blue, QStringLiteral("blue")), false);
    // Red, green, blue, no picture, and an index the library never had.
    const QList<int> before {0, 1, 2, -1, 7};
    for (int task = 0; task < before.size(); ++task)
        doc.setTaskImage(task, before.at(task), false);

    QList<Image> library = doc.images();
    library.removeFirst();
    DocumentRecorder recorder(doc);
    doc.editImages(library, true);
    QCOMPARE(cardImages(doc), (QList<int> {-1, 0, 1, -1, -1}));
    QCOMPARE(recorder.undoTexts, QStringList {"Edit Images"});
    QCOMPARE(eventText(recorder), QStringLiteral("17:-1:-1 18:0:-1 18:1:-1 18:2:-1 18:4:-1"));
}

void TestDocumentEdits::editingLibraryMovesCardsToFirstEqualEntry_data()
{
    QTest::addColumn<QString>("kinds");
    // A digit: that entry of the library, renamed; a letter: an entry of that kind made afresh.
    QTest::addColumn<QString>("edited");
    QTest::addColumn<QList<int>>("cards");
    QTest::newRow("one renamed among all kinds") << "rgmtk"
                                                 << "01234" << QList<int> {0, 1, 2, 3, 4};
    QTest::newRow("equal pixels in other formats, the later first")
        << "rRgGmM"
        << "103254" << QList<int> {0, 0, 2, 2, 4, 4};
    QTest::newRow("equal pixels under other names") << "rbrb"
                                                    << "0123" << QList<int> {0, 1, 0, 1};
    QTest::newRow("each made again in another format") << "rgm"
                                                       << "RGM210" << QList<int> {0, 1, 2};
    QTest::newRow("kept bytes equal and different") << "kjKr"
                                                    << "3210" << QList<int> {1, 2, 1, 0};
    QTest::newRow("kept bytes kept again") << "kr"
                                           << "1K" << QList<int> {1, 0};
    QTest::newRow("kept entry and picture never match") << "kr"
                                                        << "1" << QList<int> {-1, 0};
    QTest::newRow("one removed") << "rgmt"
                                 << "023" << QList<int> {0, -1, 1, 2};
    QTest::newRow("one of two equal pictures removed") << "rRg"
                                                       << "12" << QList<int> {0, 0, 1};
    QTest::newRow("removed, an equal picture added") << "rg"
                                                     << "1R" << QList<int> {1, 0};
    QTest::newRow("reversed") << "rgmtk"
                              << "43210" << QList<int> {4, 3, 2, 1, 0};
}

// Cards follow their picture to the first entry that shows the same, whatever format holds its
// pixels, however the library is searched.
void TestDocumentEdits::editingLibraryMovesCardsToFirstEqualEntry()
{
    QFETCH(QString, kinds);
    QFETCH(QString, edited);
    QFETCH(QList<int>, cards);
    for (const char kind : {'r', 'g', 'm'}) {
        QVERIFY(libraryEntry(kind, QString()).toImage().format()
                != libraryEntry(char(QChar::toUpper(uint(kind))), QString()).toImage().format());
    }
    Document doc;
    fillLibrary(doc, kinds);
    QList<Image> library;
    for (const QChar token : edited) {
        if (token.isDigit()) {
            library.append(doc.image(token.digitValue()));
            library.last().setName(library.last().name() + QLatin1Char('\''));
        } else {
            library.append(libraryEntry(token.toLatin1(), QStringLiteral("new")));
        }
    }
    doc.editImages(library, true);
    QCOMPARE(cardImages(doc), cards);
}

void TestDocumentEdits::editingLibraryRecordsOnlyWhatDiffers_data()
{
    QTest::addColumn<QString>("kinds");
    // A digit: that entry of the library; a letter: an entry of that kind made afresh, named as
    // the entry it stands in for.
    QTest::addColumn<QString>("edited");
    QTest::addColumn<bool>("differs");
    QTest::newRow("the same entries in a list of their own") << "rk"
                                                             << "01" << false;
    QTest::newRow("kept bytes kept again") << "rk"
                                           << "0K" << false;
    QTest::newRow("pixels made again in other formats") << "rgm"
                                                        << "RGM" << false;
    QTest::newRow("other kept bytes") << "rk"
                                      << "0j" << true;
    QTest::newRow("other pixels") << "rk"
                                  << "bk" << true;
}

// The dialog hands back a list of its own: equal entries leave no undo step, and an entry whose
// kept bytes differ is an edit.
void TestDocumentEdits::editingLibraryRecordsOnlyWhatDiffers()
{
    QFETCH(QString, kinds);
    QFETCH(QString, edited);
    QFETCH(bool, differs);
    Document doc;
    fillLibrary(doc, kinds);
    QList<Image> library;
    for (int i = 0; i < edited.size(); ++i) {
        const QChar token = edited.at(i);
        library.append(token.isDigit()
                           ? doc.image(token.digitValue())
                           : libraryEntry(token.toLatin1(), QStringLiteral("e%1").arg(i)));
    }
    DocumentRecorder recorder(doc);
    doc.editImages(library, true);
    QCOMPARE(recorder.undoTexts, differs ? QStringList {"Edit Images"} : QStringList());
    QCOMPARE(recorder.changes.size(), differs ? 1 : 0);
}

void TestDocumentEdits::replaceInValues_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<QStringList>("replaced");
    QTest::addColumn<QList<int>>("matching");
    QTest::newRow("ignoring case")
        << QStringList {"Alpha", "Beta"} << "a"
        << "b" << false << QStringList {"blphb", "Betb"} << QList<int> {0, 1};
    QTest::newRow("longer replacement containing the find text")
        << QStringList {"aa"} << "a"
        << "aXa" << true << QStringList {"aXaaXa"} << QList<int> {0};
    QTest::newRow("empty find fills only empty values")
        << QStringList {"", "Beta", ""} << ""
        << "x" << true << QStringList {"x", "Beta", "x"} << QList<int> {0, 2};
}

void TestDocumentEdits::replaceInValues()
{
    QFETCH(QStringList, names);
    QFETCH(QString, find);
    QFETCH(QString, replacement);
    QFETCH(bool, caseSensitive);
    QFETCH(QStringList, replaced);
    QFETCH(QList<int>, matching);
    Document doc;
    fillPlan(doc, {});
    for (const QString &name : names)
        doc.addTaskWithValues({{Name, name}, {Status, "open"}}, QString(), {}, -1, false);
    const QList<TaskIndex> result = doc.replaceText(
        find, replacement, caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive, true, Name,
        false, false, false, true, true);
    QCOMPARE(result, matching);
    QCOMPARE(column(doc, Name), replaced);
    QCOMPARE(column(doc, Status).count(QStringLiteral("open")), names.size());
}

void TestDocumentEdits::previewListsCardsWithoutChangingAnything()
{
    Document doc;
    fillPlan(doc, {{"Alpha", "open"}, {"Beta", "closed"}, {"Gamma", ""}});
    doc.setTaskNotes(2, QStringLiteral("waiting for Al"), false);
    const Document before(doc);
    DocumentRecorder recorder(doc);
    const QList<TaskIndex> result
        = doc.replaceText("al", "x", Qt::CaseInsensitive, true, 0, true, true, true, false, false);
    QCOMPARE(result, (QList<TaskIndex> {0, 2}));
    QVERIFY(doc == before);
    QVERIFY(recorder.isSilent());
}

void TestDocumentEdits::replaceInLinksAndNotesReportsEachCardOnce()
{
    Document doc;
    fillPlan(doc, {{"Alpha"}, {"Beta"}});
    doc.setTaskLinks(0,
                     {HyperLink(QStringLiteral("old wiki"), QUrl("https://old.example/wiki")),
                      HyperLink(QStringLiteral("tracker"), QUrl("https://bugs.example"))},
                     false);
    doc.setTaskNotes(1, QStringLiteral("see old notes"), false);
    DocumentRecorder recorder(doc);
    const QList<TaskIndex> result
        = doc.replaceText("old", "new", Qt::CaseSensitive, true, 0, true, true, true, true, true);
    QCOMPARE(result, (QList<TaskIndex> {0, 1}));
    QCOMPARE(
        doc.taskLinks(0),
        (QList<HyperLink> {HyperLink(QStringLiteral("new wiki"), QUrl("https://new.example/wiki")),
                           HyperLink(QStringLiteral("tracker"), QUrl("https://bugs.example"))}));
    QCOMPARE(doc.taskNotes(1), QStringLiteral("see new notes"));
    QCOMPARE(eventText(recorder), QStringLiteral("14:0:-1 7:1:-1"));
}

void TestDocumentEdits::setValuesCarriesColourOfVanishedValue_data()
{
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("carried");
    QTest::newRow("only card of the value") << "Blue" << true;
    QTest::newRow("value still on another card") << "Red" << false;
}

void TestDocumentEdits::setValuesCarriesColourOfVanishedValue()
{
    QFETCH(QString, second);
    QFETCH(bool, carried);
    Document doc;
    fillPlan(doc, {{"Alpha", "Red"}, {"Beta", second}});
    const QColor red = doc.colorForValue(Status, QStringLiteral("Red"));
    const QColor blue = doc.colorForValue(Status, QStringLiteral("Blue"));
    doc.setValues({{ValueKey(0, Status), QStringLiteral("Crimson")}}, true);
    QCOMPARE(doc.value(0, Status), QStringLiteral("Crimson"));
    QCOMPARE(doc.colorForValue(Status, QStringLiteral("Crimson")) == red, carried);
    QCOMPARE(doc.colorForValue(Status, QStringLiteral("Blue")), blue);
}

void TestDocumentEdits::predefinedValueEditsKeepTheValueOrder_data()
{
    // The cards hold open, done, open; the value order is done first; "prepared" values are
    // predefined before the edit.
    QTest::addColumn<QStringList>("prepared");
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<QStringList>("predefined");
    QTest::addColumn<QStringList>("order");
    const auto insert = [](int position) {
        return Edit([position](Document &d, bool u) {
            d.insertPredefinedValue(Status, "waiting", position, u);
        });
    };
    QTest::newRow("insert inside the order")
        << QStringList() << insert(1) << QStringList {"waiting"}
        << QStringList {"done", "waiting", "open"};
    QTest::newRow("insert past the end") << QStringList() << insert(9) << QStringList {"waiting"}
                                         << QStringList {"done", "open", "waiting"};
    QTest::newRow("insert before the start")
        << QStringList() << insert(-1) << QStringList {"waiting"}
        << QStringList {"done", "open", "waiting"};
    QTest::newRow("add sorts by code units")
        << QStringList {"waiting"}
        << Edit([](Document &d, bool u) { d.addPredefinedValue(Status, "Blocked", u); })
        << QStringList {"Blocked", "waiting"} << QStringList {"done"};
    // Cards may still hold a removed value: it keeps its place in the order.
    QTest::newRow("remove keeps the place in the order")
        << QStringList {"later", "waiting"}
        << Edit([](Document &d, bool u) { d.removePredefinedValue(Status, "later", u); })
        << QStringList {"waiting"} << QStringList {"done", "later", "waiting", "open"};
}

void TestDocumentEdits::predefinedValueEditsKeepTheValueOrder()
{
    QFETCH(QStringList, prepared);
    QFETCH(Edit, edit);
    QFETCH(QStringList, predefined);
    QFETCH(QStringList, order);
    Document doc;
    fillPlan(doc, {{"a", "open"}, {"b", "done"}, {"c", "open"}});
    doc.setValueOrder(Status, {"done"}, false);
    for (const QString &value : qAsConst(prepared))
        doc.addPredefinedValue(Status, value, false);
    DocumentRecorder recorder(doc);
    edit(doc, true);
    QCOMPARE(recorder.undoTexts, QStringList {"Edit Property"});
    QCOMPARE(eventText(recorder), QStringLiteral("4:-1:2"));
    QCOMPARE(doc.predefinedValues(Status), predefined);
    QCOMPARE(doc.propertyAppearanceRef(Status).textOrder(), order);
}

void TestDocumentEdits::sortTasks_data()
{
    QTest::addColumn<int>("property");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<int>>("order");
    QTest::newRow("dates, empty last in given order")
        << int(Due) << QStringList {"3/3/2025", "", "1/1/2025", "", "2/2/2025"}
        << QList<int> {2, 4, 0, 1, 3};
    QTest::newRow("numbers differing after seven digits")
        << int(Cost) << QStringList {"123456789.5", "123456789.25", "7", ""}
        << QList<int> {3, 2, 1, 0};
    QTest::newRow("equal numbers keep their order")
        << int(Cost) << QStringList {"5", "2", "5", "2"} << QList<int> {1, 3, 0, 2};
}

void TestDocumentEdits::sortTasks()
{
    QFETCH(int, property);
    QFETCH(QStringList, texts);
    QFETCH(QList<int>, order);
    Document doc;
    fillPlan(doc, {});
    addCards(doc, property, texts);
    QCOMPARE(doc.sortTasks(upTo(texts.size()), property), order);
}

TAVROLO_GUI_TEST_MAIN(TestDocumentEdits)
#include "tst_documentedits.moc"
