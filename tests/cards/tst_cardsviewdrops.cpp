#include "ShownCardsView.h"
#include "common/widgets/Settings.h"
#include "harness/DocumentRecorder.h"
#include "harness/TestMain.h"
#include "storage/HostilePlans.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QImageReader>
#include <QMimeData>
#include <QPainter>
#include <QTemporaryDir>

namespace {

struct Dropped
{
    QList<QUrl> urls;
    TaskIndex task = -2;
    QList<PropertyIndexAndValue> presets;
    int count = 0;
};

// Drops the data on the viewport point; what the view reported, and whether it took the drop.
Dropped dropOn(ShownView &shown, const QPoint &point, QMimeData *data, bool *accepted = nullptr)
{
    Dropped dropped;
    const QMetaObject::Connection connection = QObject::connect(
        &shown.view, &CardsView::droppedFiles,
        [&](const QList<QUrl> &urls, TaskIndex task, const QList<PropertyIndexAndValue> &presets) {
            dropped = {urls, task, presets, dropped.count + 1};
        });
    // The drop goes where the drag entered and was taken.
    QDragEnterEvent enter(point, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(shown.view.viewport(), &enter);
    QDropEvent event(point, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(shown.view.viewport(), &event);
    QObject::disconnect(connection);
    if (accepted)
        *accepted = enter.isAccepted() && event.isAccepted();
    return dropped;
}

QImage picture(const QColor &color)
{
    QImage image(6, 4, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

// The data of a drag from another program, as the window system hands it over: the bytes of each
// format offered and, when one of them is named "image/" and a format Qt reads, the image data,
// which Qt decodes from those bytes with any format it knows when it is asked for.
class OutsideDragData : public QMimeData
{
public:
    explicit OutsideDragData(const QList<QPair<QString, QByteArray>> &offered)
    {
        for (const auto &format : offered) {
            setData(format.first, format.second);
            const QByteArray name = format.first.mid(6).toLatin1();
            if (m_decoded.isEmpty() && format.first.startsWith(QLatin1String("image/"))
                && QImageReader::supportedImageFormats().contains(name))
                m_decoded = format.second;
        }
    }
    QStringList formats() const override
    {
        QStringList formats = QMimeData::formats();
        if (!m_decoded.isEmpty())
            formats << QStringLiteral("application/x-qt-image");
        return formats;
    }
    bool hasFormat(const QString &format) const override { return formats().contains(format); }

protected:
    QVariant retrieveData(const QString &format, QVariant::Type type) const override
    {
        if (format != QLatin1String("application/x-qt-image"))
            return QMimeData::retrieveData(format, type);
        return QImage::fromData(m_decoded);
    }

private:
    QByteArray m_decoded;
};

QImage rendered(ShownView &shown, bool plain)
{
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    if (plain)
        shown.view.GraphicsView::renderScene(&painter);
    else
        shown.view.renderScene(&painter);
    return image;
}

} // namespace

// Drops on the Cards view, sent to its viewport as the window system would, and the view drawn
// for printing and export.
class TestCardsViewDrops : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void dropsNameTheCardAndTheCell_data();
    void dropsNameTheCardAndTheCell();
    void pictureDataTravelsAsAFileOfThisProgramsOwn();
    void pictureDataIsReadAsTheRasterBytesItCarries_data();
    void pictureDataIsReadAsTheRasterBytesItCarries();
    void renderingForExportHidesTheSelectionAndKeepsThePlan();
};

void TestCardsViewDrops::init()
{
    doc()->clear(false);
    settings()->setAnimationDuration(0);
    fillCards({{"a", "r1"}, {"b", "r1"}, {"b", "r2"}});
}

void TestCardsViewDrops::dropsNameTheCardAndTheCell_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<TaskIndex>("task");
    QTest::addColumn<QStringList>("presets"); // Status, then Group
    QTest::newRow("on a card") << "card" << 1 << QStringList {"b", "r1"};
    QTest::newRow("in an empty cell") << "cell" << -1 << QStringList {"a", "r2"};
    QTest::newRow("on a header") << "header" << -1 << QStringList();
}

void TestCardsViewDrops::dropsNameTheCardAndTheCell()
{
    QFETCH(QString, where);
    QFETCH(TaskIndex, task);
    QFETCH(QStringList, presets);
    ShownView shown(Status, Group);
    const QPoint point = where == QLatin1String("card") ? shown.card(1)
        : where == QLatin1String("cell")                ? shown.cell(0, 1)
                                                        : shown.header(true, 0);
    QMimeData data;
    const QList<QUrl> urls {QUrl(QStringLiteral("https://example.com/a")),
                            QUrl::fromLocalFile(QStringLiteral("/plans/b.tv"))};
    data.setUrls(urls);
    bool accepted = false;
    const Dropped dropped = dropOn(shown, point, &data, &accepted);
    QVERIFY(accepted);
    QCOMPARE(dropped.count, 1);
    QCOMPARE(dropped.urls, urls);
    QCOMPARE(dropped.task, task);
    QList<PropertyIndexAndValue> expected;
    if (!presets.isEmpty())
        expected = {{Status, presets.at(0)}, {Group, presets.at(1)}};
    QCOMPARE(dropped.presets, expected);
    // Nothing usable is not taken.
    QMimeData text;
    text.setText(QStringLiteral("words"));
    QCOMPARE(dropOn(shown, point, &text, &accepted).count, 0);
    QVERIFY(!accepted);
}

// A picture dragged from a web page brings its address too; only the picture travels, as a file
// in a folder that no other user can reach, so a link planted under the fixed name in the shared
// temporary folder is never written through.
void TestCardsViewDrops::pictureDataTravelsAsAFileOfThisProgramsOwn()
{
    QTemporaryDir other;
    const QString victim = other.filePath(QStringLiteral("victim.txt"));
    {
        QFile file(victim);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("keep me");
    }
    const QString planted = QDir::temp().filePath(QStringLiteral("_TavroloTempDragImage.png"));
    const bool plantedHere = !QFileInfo(planted).exists() && QFile::link(victim, planted);
    ShownView shown(Status, Group);
    QList<QUrl> delivered;
    for (const QColor &color : {QColor(Qt::red), QColor(Qt::blue)}) {
        OutsideDragData data(
            {{QStringLiteral("image/png"), HostilePlans::encodedPicture(picture(color), "PNG")}});
        data.setUrls({QUrl(QStringLiteral("https://example.com/picture.png"))});
        const Dropped dropped = dropOn(shown, shown.card(0), &data);
        QCOMPARE(dropped.task, 0);
        QCOMPARE(dropped.urls.size(), 1);
        QVERIFY(dropped.urls.first().isLocalFile());
        // The second picture replaces the first under the same name.
        QCOMPARE(QImage(dropped.urls.first().toLocalFile()).pixelColor(0, 0), color);
        delivered << dropped.urls.first();
    }
    if (plantedHere)
        QFile::remove(planted);
    QCOMPARE(delivered.at(0), delivered.at(1));
    const QFileInfo file(delivered.at(0).toLocalFile());
    QCOMPARE(file.fileName(), QStringLiteral("_TavroloTempDragImage.png"));
    QVERIFY(file.absolutePath() != QFileInfo(QDir::tempPath()).absoluteFilePath());
    const QFileInfo folder(file.absolutePath());
    QCOMPARE(folder.permissions()
                 & (QFile::ReadOther | QFile::WriteOther | QFile::ExeOther | QFile::ReadGroup
                    | QFile::WriteGroup | QFile::ExeGroup),
             QFile::Permissions());
    QFile kept(victim);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("keep me"));
}

// The picture is read from the bytes the drag carries, as a picture file is: only PNG, JPEG, GIF
// and BMP, and within the bounds of their sizes and scans. The picture Qt decodes for the image
// data, from any format it knows and with no bound, is never asked for.
void TestCardsViewDrops::pictureDataIsReadAsTheRasterBytesItCarries_data()
{
    using namespace HostilePlans;
    QTest::addColumn<QStringList>("formats");
    QTest::addColumn<QList<QByteArray>>("pictures");
    QTest::addColumn<QSize>("size"); // of the picture delivered; invalid for none
    const QByteArray svgz = svgzInflatingTo(svgShowingData(blackPng(8, 8)), 1024);
    QTest::newRow("a png") << QStringList {"image/png"} << QList<QByteArray> {blackPng(30, 20)}
                           << QSize(30, 20);
    QTest::newRow("a jpeg") << QStringList {"image/jpeg"} << QList<QByteArray> {jpegPhoto(40, 30)}
                            << QSize(40, 30);
    QTest::newRow("a large jpeg, fitted")
        << QStringList {"image/jpeg"} << QList<QByteArray> {jpegPhoto(1000, 500)} << QSize(128, 64);
    QTest::newRow("a phone photo of 108 megapixels, fitted")
        << QStringList {"image/jpeg"} << QList<QByteArray> {baselineJpeg(12000, 9000)}
        << QSize(128, 96);
    QTest::newRow("a phone panorama of 30000 x 4000, fitted")
        << QStringList {"image/jpeg"} << QList<QByteArray> {baselineJpeg(30000, 4000)}
        << QSize(128, 17);
    QTest::newRow("an svg, then a png: the png")
        << QStringList {"image/svg", "image/png"}
        << QList<QByteArray> {svgShowingData(blackPng(8, 8)), blackPng(30, 20)} << QSize(30, 20);
    QTest::newRow("a jpeg of ten thousand scans")
        << QStringList {"image/jpeg"} << QList<QByteArray> {progressiveJpeg(64, 10000)} << QSize();
    // Summed as it is read, a blank page of more pixels than a picture held whole may have.
    QTest::newRow("a png of 81 megapixels, fitted")
        << QStringList {"image/png"} << QList<QByteArray> {blackPng(9000, 9000)} << QSize(128, 128);
    QTest::newRow("a png wider than any picture may be")
        << QStringList {"image/png"} << QList<QByteArray> {blackPng(65501, 1)} << QSize();
    QTest::newRow("an icon holding a png over the area limit")
        << QStringList {"image/ico"} << QList<QByteArray> {icoHolding(blackPng(9000, 9000))}
        << QSize();
    QTest::newRow("an svg holding a jpeg of ten thousand scans")
        << QStringList {"image/svg"}
        << QList<QByteArray> {svgShowingJpeg(progressiveJpeg(64, 10000))} << QSize();
    QTest::newRow("an svgz inflating to a gibibyte")
        << QStringList {"image/svgz"} << QList<QByteArray> {svgz} << QSize();
}

void TestCardsViewDrops::pictureDataIsReadAsTheRasterBytesItCarries()
{
    QFETCH(QStringList, formats);
    QFETCH(QList<QByteArray>, pictures);
    QFETCH(QSize, size);
    ShownView shown(Status, Group);
    QList<QPair<QString, QByteArray>> offered;
    for (int i = 0; i < formats.size(); ++i)
        offered.append({formats.at(i), pictures.at(i)});
    OutsideDragData data(offered);
    data.setUrls({QUrl(QStringLiteral("https://example.com/picture.png"))});
    QVERIFY(data.hasImage());
    const Dropped dropped = dropOn(shown, shown.card(0), &data);
    if (!size.isValid()) {
        // As for a picture Qt could not decode: the drag's address is not taken either.
        QCOMPARE(dropped.count, 0);
        return;
    }
    QCOMPARE(dropped.count, 1);
    QCOMPARE(dropped.urls.size(), 1);
    QVERIFY(dropped.urls.first().isLocalFile());
    QCOMPARE(QImage(dropped.urls.first().toLocalFile()).size(), size);
}

// Three cards selected and floating headers: the output shows neither the selection nor the
// floating headers, and afterwards the plan, its undo and the selection are as they were.
void TestCardsViewDrops::renderingForExportHidesTheSelectionAndKeepsThePlan()
{
    doc()->setCardsHeaderType(1, false);
    ShownView shown(Status, Group);
    const QImage unselected = rendered(shown, false);
    shown.scene.selectTasks({0, 1, 2});
    const QImage marked = rendered(shown, true);
    QVERIFY(marked != unselected);
    DocumentRecorder recorder(*doc());
    QCOMPARE(rendered(shown, false), unselected);
    QVERIFY(recorder.isSilent());
    QCOMPARE(doc()->cardsHeaderType(), 1);
    QList<TaskIndex> selected = shown.scene.selectedTaskIndexes();
    std::sort(selected.begin(), selected.end());
    QCOMPARE(selected, QList<TaskIndex>({0, 1, 2}));
}

TAVROLO_TEST_MAIN(TestCardsViewDrops)
#include "tst_cardsviewdrops.moc"
