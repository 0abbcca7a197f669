#include "cardedit/ImagesDialog.h"
#include "cardedit/ImagesWidget.h"
#include "cardedit/StockImagesDialog.h"
#include "common/app/Accessors.h"
#include "common/widgets/Settings.h"
#include "harness/DocumentRecorder.h"
#include "harness/FileFaults.h"
#include "harness/NamedChild.h"
#include "harness/TestMain.h"
#include "model/Document.h"
#include "storage/HostilePlans.h"

#include <QDir>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>

namespace {

// The smallest GIF: one white pixel. Qt reads GIF but cannot write it.
const QByteArray gifBytes = QByteArray::fromHex(
    "47494638396101000100800000000000ffffff21f90401000000002c00000000010001000002024401003b");

ImagesWidget *imageList(QWidget *dialog)
{
    return child<ImagesWidget>(dialog, "m_imagesTreeWidget");
}

QTreeWidgetItem *rowNamed(QWidget *dialog, const QString &name)
{
    const QList<QTreeWidgetItem *> found = imageList(dialog)->findItems(name, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

QStringList imageNames(const QList<Image> &images)
{
    QStringList names;
    for (const Image &image : images)
        names.append(image.name());
    return names;
}

// Lets queued work run: editors commit and the list is rebuilt after the event that changed it.
void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// Drops the URLs on the list the way a drag from a file manager does.
void drop(ImagesWidget *list, const QList<QUrl> &urls)
{
    QMimeData data;
    data.setUrls(urls);
    // A drop goes to the widget that accepted the drag when it entered.
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &event);
}

} // namespace

class TestImagesDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void addingPictures_data();
    void addingPictures();
    void dropsTakeExistingImageFilesOnly();
    void deletingAPictureTakesItOffItsCards_data();
    void deletingAPictureTakesItOffItsCards();
    void renamingInTheListEditor();
    void stockImagesAreOfferedUntilAllAreInThePlan();
    void unchangedOrCancelledRecordsNothing();

private:
    // A picture file of one colour in the temporary folder.
    QString picture(const QString &name, const QSize &size, const QColor &color,
                    const char *format = "PNG");

    QTemporaryDir m_files;
};

// A plan with three pictures "a" (red), "b" (green), "c" (blue) and a card on each of them.
void TestImagesDialog::init()
{
    settings()->clear();
    Document *plan = doc();
    plan->clear(true);
    const QList<QColor> colors {Qt::red, Qt::green, Qt::blue};
    for (int i = 0; i < colors.size(); ++i) {
        const QString name(QLatin1Char('a' + i));
        plan->addImage(Image(picture(name, QSize(8, 8), colors.at(i))), false);
        plan->addTaskWithValues({}, QString(), {}, i, false);
    }
}

QString TestImagesDialog::picture(const QString &name, const QSize &size, const QColor &color,
                                  const char *format)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(color);
    const QString path = m_files.filePath(name);
    image.save(path, format);
    return path;
}

void TestImagesDialog::addingPictures_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("addedNames");
    QTest::addColumn<QSize>("lastSize");
    const QString longName(200, QLatin1Char('n'));
    QTest::newRow("same pixels under another name and format")
        << QStringList {"yellow.png", "yellow again.bmp"} << QStringList {"yellow"} << QSize(8, 8);
    QTest::newRow("pixels already in the plan")
        << QStringList {"red.png"} << QStringList() << QSize();
    QTest::newRow("not a picture") << QStringList {"text.png"} << QStringList() << QSize();
    QTest::newRow("wide picture fitted")
        << QStringList {"wide.png"} << QStringList {"wide"} << QSize(128, 32);
    QTest::newRow("small picture kept")
        << QStringList {"square.bmp"} << QStringList {"square"} << QSize(100, 100);
    // Files of other formats that Qt reads, each carrying a picture no bound sees.
    QTest::newRow("an svgz inflating to a gibibyte")
        << QStringList {"inflating.png"} << QStringList() << QSize();
    QTest::newRow("an svg holding a jpeg of ten thousand scans")
        << QStringList {"scans.png"} << QStringList() << QSize();
    QTest::newRow("an icon holding a png over the area limit")
        << QStringList {"icon.png"} << QStringList() << QSize();
    QTest::newRow("long name cut") << QStringList {longName + ".png"}
                                   << QStringList {longName.left(127) + "\u2026"} << QSize(8, 8);
}

void TestImagesDialog::addingPictures()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, addedNames);
    QFETCH(QSize, lastSize);
    QStringList paths;
    for (const QString &file : files) {
        const char *format = file.endsWith(QLatin1String(".bmp")) ? "BMP" : "PNG";
        if (file.startsWith(QLatin1String("yellow")))
            paths.append(picture(file, QSize(8, 8), Qt::yellow, format));
        else if (file == QLatin1String("red.png"))
            paths.append(picture(file, QSize(8, 8), Qt::red, format));
        else if (file == QLatin1String("wide.png"))
            paths.append(picture(file, QSize(256, 64), Qt::gray, format));
        else if (file == QLatin1String("square.bmp"))
            paths.append(picture(file, QSize(100, 100), Qt::cyan, format));
        else if (file == QLatin1String("text.png"))
            paths.append(writeBytes(m_files.filePath(file), "no picture"));
        else if (file == QLatin1String("inflating.png"))
            paths.append(
                writeBytes(m_files.filePath(file),
                           HostilePlans::svgzInflatingTo(
                               HostilePlans::svgShowingData(HostilePlans::blackPng(8, 8)), 1024)));
        else if (file == QLatin1String("scans.png"))
            paths.append(
                writeBytes(m_files.filePath(file),
                           HostilePlans::svgShowingJpeg(HostilePlans::progressiveJpeg(64, 10000))));
        else if (file == QLatin1String("icon.png"))
            paths.append(writeBytes(m_files.filePath(file),
                                    HostilePlans::icoHolding(HostilePlans::blackPng(9000, 9000))));
        else
            paths.append(picture(file, QSize(8, 8), Qt::magenta, format));
    }
    DocumentRecorder recorder(*doc());
    ImagesDialog dialog(nullptr);
    emit imageList(&dialog)->droppedImageFiles(paths);
    QCOMPARE(imageList(&dialog)->topLevelItemCount(), 3 + addedNames.size());
    dialog.accept();
    const QList<Image> images = doc()->images();
    QCOMPARE(imageNames(images), QStringList({"a", "b", "c"}) + addedNames);
    QCOMPARE(recorder.undoTexts.size(), addedNames.isEmpty() ? 0 : 1);
    if (!addedNames.isEmpty()) {
        QCOMPARE(images.last().pixmap().size(), lastSize);
        QVERIFY(images.last().path().isEmpty());
    }
}

void TestImagesDialog::dropsTakeExistingImageFilesOnly()
{
    ImagesDialog dialog(nullptr);
    ImagesWidget *list = imageList(&dialog);
    QSignalSpy dropped(list, &ImagesWidget::droppedImageFiles);
    const QString gif = writeBytes(m_files.filePath(QStringLiteral("small.gif")), gifBytes);
    QVERIFY(!QImage(gif).isNull());
    QDir(m_files.path()).mkdir(QStringLiteral("folder.png"));
    drop(list,
         {QUrl::fromLocalFile(gif), QUrl::fromLocalFile(m_files.filePath("folder.png")),
          QUrl::fromLocalFile(m_files.filePath("missing.png")),
          QUrl(QStringLiteral("https://example.com/picture.png"))});
    QCOMPARE(dropped.count(), 0);
    const QString upper = picture(QStringLiteral("UPPER.PNG"), QSize(4, 4), Qt::yellow);
    drop(list, {QUrl::fromLocalFile(gif), QUrl::fromLocalFile(upper)});
    QCOMPARE(dropped.count(), 1);
    QCOMPARE(dropped.first().first().toStringList(), QStringList({upper}));
    QVERIFY(rowNamed(&dialog, QStringLiteral("UPPER")));
}

void TestImagesDialog::deletingAPictureTakesItOffItsCards_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Delete") << int(Qt::Key_Delete);
    QTest::newRow("Backspace") << int(Qt::Key_Backspace);
}

void TestImagesDialog::deletingAPictureTakesItOffItsCards()
{
    QFETCH(int, key);
    ImagesDialog dialog(nullptr);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    ImagesWidget *list = imageList(&dialog);
    auto *deleteButton = child<QToolButton>(&dialog, "m_deleteImageButton");
    QVERIFY(!deleteButton->isEnabled());
    // Rows are sorted by name: rename "a" to "z" so that row order and index differ.
    rowNamed(&dialog, QStringLiteral("a"))->setText(0, QStringLiteral("z"));
    settle();
    QCOMPARE(list->topLevelItem(2)->text(0), QStringLiteral("z"));
    list->setCurrentItem(rowNamed(&dialog, QStringLiteral("b")));
    QVERIFY(deleteButton->isEnabled());
    // A letter opens the name editor ("any key"); the key that deletes must not leave it
    // open on a row that is gone.
    QTest::keyClick(list, Qt::Key_A);
    QVERIFY(list->indexWidget(list->currentIndex()));
    QTest::keyClick(list, Qt::Key(key));
    QCOMPARE(list->topLevelItemCount(), 2);
    QVERIFY(!rowNamed(&dialog, QStringLiteral("b")));
    QVERIFY(!list->indexWidget(list->currentIndex()));
    settle();
    DocumentRecorder recorder(*doc());
    dialog.accept();
    QCOMPARE(recorder.undoTexts, QStringList({"Edit Images"}));
    QCOMPARE(imageNames(doc()->images()), QStringList({"z", "c"}));
    // The card on the deleted picture has none; the card on the later one follows it.
    QCOMPARE(doc()->taskImage(0), 0);
    QCOMPARE(doc()->taskImage(1), -1);
    QCOMPARE(doc()->taskImage(2), 1);
}

// The editor commits a name into the row it was opened on; the list was rebuilt at that
// moment, deleting the row under the editor.
void TestImagesDialog::renamingInTheListEditor()
{
    ImagesDialog dialog(nullptr);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    ImagesWidget *list = imageList(&dialog);
    for (const QString &name : {QString(), QString(150, QLatin1Char('x'))}) {
        QTreeWidgetItem *row = list->topLevelItem(0);
        list->setCurrentItem(row);
        list->editItem(row, 0);
        auto *editor = qobject_cast<QLineEdit *>(list->indexWidget(list->currentIndex()));
        QVERIFY(editor);
        editor->setText(name);
        QTest::keyClick(editor, Qt::Key_Return);
        settle();
        QVERIFY(dialog.isVisible());
        QCOMPARE(QApplication::focusWidget(), list);
        QVERIFY(!list->indexWidget(list->currentIndex()));
    }
    dialog.accept();
    // "b" and "c" sort before the long name; the empty name went first.
    QCOMPARE(imageNames(doc()->images()),
             QStringList({QString(127, QLatin1Char('x')) + "\u2026", "b", "c"}));
}

void TestImagesDialog::stockImagesAreOfferedUntilAllAreInThePlan()
{
    ImagesDialog dialog(nullptr);
    auto *stockButton = child<QPushButton>(&dialog, "m_addStockImagesButton");
    QVERIFY(stockButton->isEnabled());
    int offered = 0;
    bool checkAllOff = false;
    bool uncheckAllOn = false;
    ModalAnswer answer(QStringLiteral("OK"), {}, [&](QWidget *modal) {
        auto *stock = qobject_cast<StockImagesDialog *>(modal);
        if (!stock)
            return;
        offered = child<QTreeWidget>(stock, "m_treeWidget")->topLevelItemCount();
        child<QPushButton>(stock, "m_checkAllButton")->click();
        checkAllOff = !child<QPushButton>(stock, "m_checkAllButton")->isEnabled();
        uncheckAllOn = child<QPushButton>(stock, "m_uncheckAllButton")->isEnabled();
    });
    stockButton->click();
    QVERIFY(answer.answered());
    QCOMPARE(offered, 35);
    QVERIFY(checkAllOff && uncheckAllOn);
    QCOMPARE(imageList(&dialog)->topLevelItemCount(), 3 + 35);
    QVERIFY(!stockButton->isEnabled());
    // A deleted stock image is on offer again.
    imageList(&dialog)->setCurrentItem(rowNamed(&dialog, QStringLiteral("star")));
    child<QToolButton>(&dialog, "m_deleteImageButton")->click();
    QVERIFY(stockButton->isEnabled());
    dialog.accept();
    const QList<Image> images = doc()->images();
    QCOMPARE(images.size(), 3 + 34);
    QCOMPARE(images.at(3).path(), QStringLiteral(":/pngs/builtin/add.png"));
    QCOMPARE(images.at(3).pixmap().size(), QSize(48, 48));
    QVERIFY(!imageNames(images).contains(QStringLiteral("star")));
}

void TestImagesDialog::unchangedOrCancelledRecordsNothing()
{
    const Document before(*doc());
    DocumentRecorder recorder(*doc());
    {
        ImagesDialog dialog(nullptr);
        dialog.accept();
    }
    {
        ImagesDialog dialog(nullptr);
        emit imageList(&dialog)->droppedImageFiles(
            {picture(QStringLiteral("new.png"), QSize(4, 4), Qt::yellow)});
        imageList(&dialog)->setCurrentItem(rowNamed(&dialog, QStringLiteral("a")));
        child<QToolButton>(&dialog, "m_deleteImageButton")->click();
        dialog.reject();
    }
    QVERIFY(recorder.isSilent());
    QVERIFY(*doc() == before);
}

TAVROLO_TEST_MAIN(TestImagesDialog)
#include "tst_imagesdialog.moc"
