#include "MainWindowFixture.h"
#include "app/ExportRules.h"
#include "cards/CardsScene.h"
#include "cards/CardsView.h"
#include "charts/ChartsView.h"
#include "harness/DocumentRecorder.h"
#include "harness/FileFaults.h"
#include "harness/TestMain.h"

#include <algorithm>
#include <memory>
#include <sys/stat.h>

#include <QAction>
#include <QFont>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QImageReader>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSet>
#include <QSvgRenderer>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QXmlStreamReader>

namespace {

const QByteArray oldBytes("the old export");

// A view of a plain scene of the given size, with one rectangle to draw.
struct SceneOfSize
{
    explicit SceneOfSize(const QSizeF &size) : scene(QRectF(QPointF(0, 0), size))
    {
        view.setScene(&scene);
        if (!size.isEmpty())
            scene.addRect(QRectF(QPointF(0, 0), size / 2), QPen(Qt::red), QBrush(Qt::blue));
        view.resize(300, 200);
    }
    QGraphicsScene scene;
    GraphicsView view;
};

// Refuses the first allocations, as a machine short of memory would, and records the sizes asked.
struct ShortOfMemory
{
    explicit ShortOfMemory(int refusals)
    {
        previous = ExportHandler::setExportImageAllocator([this, refusals](const QSize &size) {
            requests << size;
            return requests.size() <= refusals ? QImage() : QImage(size, QImage::Format_RGB32);
        });
    }
    ~ShortOfMemory() { ExportHandler::setExportImageAllocator(previous); }
    QList<QSize> requests;
    ExportHandler::ImageAllocator previous;
};

int lines(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly | QIODevice::Text) ? file.readAll().count('\n') : -1;
}

} // namespace

// The File menu's exports and printing: names, sizes, formats, and files kept whole.
class TestExports : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void proposalReplacesAnySuffix_data();
    void proposalReplacesAnySuffix();
    void imagesKeepToTheCapAndShrinkWhenMemoryIsShort_data();
    void imagesKeepToTheCapAndShrinkWhenMemoryIsShort();
    void aFailedExportKeepsTheOldFile_data();
    void aFailedExportKeepsTheOldFile();
    void cardsExportsWriteTheirFormatAndKeepThePlan_data();
    void cardsExportsWriteTheirFormatAndKeepThePlan();
    void theOpenPlanIsNeverTheTarget();
    void svgStaysWellFormedWhateverThePlansPath_data();
    void svgStaysWellFormedWhateverThePlansPath();
    void svgStaysWellFormedWhateverTheFonts_data();
    void svgStaysWellFormedWhateverTheFonts();
    void tableExportAsksOnlyForARealSubset_data();
    void tableExportAsksOnlyForARealSubset();
    void printingWithoutAPrinterWritesAPdf();

private:
    QString path(const QString &name) const
    {
        return QDir::toNativeSeparators(m_folder->filePath(name));
    }
    void showWindow();

    std::unique_ptr<QTemporaryDir> m_folder;
    QString m_plan; // "Plan.tv": the property Name and 10 cards
    std::unique_ptr<MainWindow> m_window;
};

void TestExports::init()
{
    m_folder.reset(new QTemporaryDir);
    m_plan = path("Plan.tv");
    QVERIFY(writeTestPlan(m_plan, 10));
    presetQuietStartup(m_plan);
    settings()->write(Settings::Key::ShowedPdfGradientWarning, true);
}

void TestExports::cleanup()
{
    m_window.reset();
    m_folder.reset();
}

void TestExports::showWindow()
{
    m_window.reset(new MainWindow);
    m_window->resize(1000, 700);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestExports::proposalReplacesAnySuffix_data()
{
    QTest::addColumn<QString>("plan");
    QTest::addColumn<QString>("proposal");
    QTest::newRow("plan") << "/p/Plan.tv"
                          << "/p/Plan.pdf";
    QTest::newRow("capitals") << "/p/Plan.TV"
                              << "/p/Plan.pdf";
    QTest::newRow("backup") << "/p/Plan.tvb"
                            << "/p/Plan.pdf";
    QTest::newRow("no suffix") << "/p.d/Plan"
                               << "/p.d/Plan.pdf";
    QTest::newRow("dots in the name") << "/p/Plan.v2.tv"
                                      << "/p/Plan.v2.pdf";
}

void TestExports::proposalReplacesAnySuffix()
{
    QFETCH(QString, plan);
    QFETCH(QString, proposal);
    QCOMPARE(exportFileProposal(plan, QStringLiteral("PDF")), proposal);
}

void TestExports::imagesKeepToTheCapAndShrinkWhenMemoryIsShort_data()
{
    QTest::addColumn<QSizeF>("scene");
    QTest::addColumn<int>("refusals");
    QTest::addColumn<QSize>("firstRequest");
    QTest::addColumn<QSize>("written"); // empty: nothing written
    QTest::addColumn<int>("attempts"); // each at 0.75 of the last, down to a scale of 0.05
    QTest::newRow("twice the cap wide, a quarter as high")
        << QSizeF(20000, 5000) << 99 << QSize(10000, 2500) << QSize() << 9;
    QTest::newRow("too high") << QSizeF(4000, 20000) << 99 << QSize(2000, 10000) << QSize() << 9;
    QTest::newRow("two refusals") << QSizeF(400, 300) << 2 << QSize(400, 300) << QSize(225, 168)
                                  << 3;
    QTest::newRow("no memory at all") << QSizeF(400, 300) << 99 << QSize(400, 300) << QSize() << 11;
}

void TestExports::imagesKeepToTheCapAndShrinkWhenMemoryIsShort()
{
    QFETCH(QSizeF, scene);
    QFETCH(int, refusals);
    QFETCH(QSize, firstRequest);
    QFETCH(QSize, written);
    QFETCH(int, attempts);
    m_window.reset(new MainWindow);
    SceneOfSize shown(scene);
    const QString target = writeBytes(path("out.png"), oldBytes);
    ShortOfMemory memory(refusals);
    std::unique_ptr<ModalAnswer> box(written.isEmpty() ? new ModalAnswer("OK") : nullptr);
    QCOMPARE(m_window->exportImage(target, "png", &shown.view), !written.isEmpty());
    QCOMPARE(memory.requests.value(0), firstRequest);
    QCOMPARE(memory.requests.size(), attempts);
    if (written.isEmpty()) {
        QCOMPARE(box->shownText(),
                 QStringLiteral("Insufficient memory to create the pixmap.\nTry "
                                "closing some other applications."));
        QCOMPARE(readBytes(target), oldBytes);
    } else {
        QCOMPARE(QImageReader(target).size(), written);
    }
}

// Drawing fails, writing fails part way, or the folder takes no new file: the old file stays as
// it was, and the message names the cause.
void TestExports::aFailedExportKeepsTheOldFile_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("message");
    const QString unable = "Unable to write to '%1'.\nFile may be open in another application.";
    QTest::newRow("charts without a chart") << "png"
                                            << "no chart"
                                            << "There is nothing to export.";
    QTest::newRow("png written part way")
        << "png"
        << "limit"
        << "Unable to save to '%1' as a PNG format image.\nYou may have "
           "insufficient memory.";
    QTest::newRow("svg written part way") << "svg"
                                          << "limit" << unable;
    QTest::newRow("pdf written part way") << "pdf"
                                          << "limit" << unable;
    QTest::newRow("jpg in a closed folder") << "jpg"
                                            << "closed" << unable;
    // An export renamed over a pipe or a device would take its place for every program.
    const QString notAFile = "Unable to write to '%1'.\nIt is not a regular file.";
    QTest::newRow("png onto a pipe") << "png"
                                     << "pipe" << notAFile;
    QTest::newRow("pdf onto a pipe") << "pdf"
                                     << "pipe" << notAFile;
}

void TestExports::aFailedExportKeepsTheOldFile()
{
    QFETCH(QString, format);
    QFETCH(QString, fault);
    QFETCH(QString, message);
    m_window.reset(new MainWindow);
    SceneOfSize shown(QSizeF(3000, 2000));
    // The Charts tab of a plan with no property to chart draws nothing.
    GraphicsView *view = fault == QLatin1String("no chart")
        ? static_cast<GraphicsView *>(m_window->findChild<ChartsView *>())
        : &shown.view;
    const QString target = fault == QLatin1String("pipe")
        ? path("out.") + format
        : writeBytes(path("out.") + format, oldBytes);
    if (fault == QLatin1String("pipe"))
        QCOMPARE(mkfifo(QFile::encodeName(target).constData(), 0600), 0);
    std::unique_ptr<ModalAnswer> pageOptions(format == QLatin1String("pdf") ? new ModalAnswer("OK")
                                                                            : nullptr);
    ModalAnswer box(QStringLiteral("OK"));
    bool written = true;
    {
        std::unique_ptr<FileSizeLimit> limit(
            fault == QLatin1String("limit") ? new FileSizeLimit(oldBytes.size() + 50) : nullptr);
        std::unique_ptr<ImmutablePaths> closed(
            fault == QLatin1String("closed") ? new ImmutablePaths({m_folder->path()}) : nullptr);
        if (closed && !closed->isActive())
            QSKIP("the folder cannot be closed to new files here");
        if (format == QLatin1String("svg"))
            written = m_window->exportSvg(target, view);
        else if (format == QLatin1String("pdf"))
            written = m_window->exportPdf(target, view);
        else
            written = m_window->exportImage(target, format.toLatin1().constData(), view);
    }
    QVERIFY(!written);
    QCOMPARE(box.shownText(), message.contains("%1") ? message.arg(target) : message);
    if (fault == QLatin1String("pipe")) {
        QVERIFY(QFileInfo::exists(target) && !QFileInfo(target).isFile());
        return;
    }
    QCOMPARE(readBytes(target), oldBytes);
    QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

void TestExports::cardsExportsWriteTheirFormatAndKeepThePlan_data()
{
    QTest::addColumn<QString>("format");
    for (const char *format : {"png", "jpg", "svg", "pdf"})
        QTest::newRow(format) << format;
}

// From the menu, with a change to undo, the plan marked modified and three cards selected.
void TestExports::cardsExportsWriteTheirFormatAndKeepThePlan()
{
    QFETCH(QString, format);
    showWindow();
    QString changed = QStringLiteral("Changed");
    doc()->setValue(0, 1, changed, true);
    auto *scene = m_window->findChild<CardsScene *>();
    scene->selectTasks({1, 2, 3});
    const QString undo = m_window->undoHistory().undoName();
    ScriptedFileDialogs dialogs({QStringLiteral("=")});
    std::unique_ptr<ModalAnswer> pageOptions(format == QLatin1String("pdf") ? new ModalAnswer("OK")
                                                                            : nullptr);
    DocumentRecorder recorder(*doc());
    const QString name = QStringLiteral("m_fileExportCards%1Action").arg(format.toUpper());
    m_window->findChild<QAction *>(name)->trigger();
    QCOMPARE(dialogs.requests.size(), 1);
    const QString exported = path("Plan.") + format;
    QCOMPARE(dialogs.requests.first().path, exported);
    QCOMPARE(dialogs.requests.first().filters,
             QStringList {QStringLiteral("%1 file (*.%2)").arg(format.toUpper(), format)});
    if (format == QLatin1String("svg"))
        QVERIFY(QSvgRenderer(exported).isValid());
    else if (format == QLatin1String("pdf"))
        QVERIFY(readBytes(exported).startsWith("%PDF"));
    else
        QVERIFY(QImageReader(exported).size().width() > 100);
    QVERIFY(recorder.isSilent());
    QCOMPARE(m_window->undoHistory().undoName(), undo);
    QVERIFY(m_window->isWindowModified());
    QList<int> selected = scene->selectedTaskIndexes();
    std::sort(selected.begin(), selected.end());
    QCOMPARE(selected, QList<int>({1, 2, 3}));
}

// The plan's file, by its name or through a link, is refused as an export's target.
void TestExports::theOpenPlanIsNeverTheTarget()
{
    showWindow();
    const QByteArray plan = readBytes(m_plan);
    QVERIFY(QFile::link(m_plan, path("Link.png")));
    for (const QString &target : {m_plan, path("Link.png")}) {
        ScriptedFileDialogs dialogs({target});
        ModalAnswer refusal(QStringLiteral("OK"));
        QVERIFY(!m_window->exportPlan(MainWindow::ExportKind::Png, QStringLiteral("png"),
                                      m_window->findChild<CardsView *>()));
        QVERIFY(
            refusal.shownText().startsWith(QStringLiteral("Unable to write to '%1'.").arg(target)));
        QCOMPARE(readBytes(m_plan), plan);
    }
}

void TestExports::svgStaysWellFormedWhateverThePlansPath_data()
{
    QTest::addColumn<QString>("pane");
    QTest::newRow("cards") << "Cards";
    QTest::newRow("charts") << "Charts";
}

// The plan's path goes into the drawing's description, where its "&" and "<" must not end the
// file's XML.
void TestExports::svgStaysWellFormedWhateverThePlansPath()
{
    QFETCH(QString, pane);
    const QString plan = path(QStringLiteral("R&D <\"new\"> & 'old' plan.tv"));
    QVERIFY(writeTestPlan(plan, 10));
    presetQuietStartup(plan);
    showWindow();
    QCOMPARE(m_window->fileName(), plan);
    doc()->setChartShowProperty(doc()->propertyCount(), true);
    doc()->setChartByProperty(1, true);
    const QString exported = path("drawing.svg");
    ScriptedFileDialogs dialogs({exported});
    m_window->findChild<QAction *>(QStringLiteral("m_file%1%2SVGAction").arg("Export", pane))
        ->trigger();
    QFile file(exported);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QString title;
    QString description;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("title") && title.isNull())
            title = xml.readElementText();
        else if (xml.name() == QLatin1String("desc") && description.isNull())
            description = xml.readElementText();
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(title, QStringLiteral("Tavrolo"));
    const QString opening = QStringLiteral("Tavrolo export of %1 on ").arg(plan);
    QVERIFY2(description.startsWith(opening) && description.endsWith('.'), qPrintable(description));
}

void TestExports::svgStaysWellFormedWhateverTheFonts_data()
{
    QTest::addColumn<QString>("pane");
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("text"); // the cards' names and the titles; empty for the plan's own
    const QString script = QStringLiteral("X\" font-size=\"3\"><script>alert(1)</script><text "
                                          "font-size=\"");
    for (const QString &pane : {QStringLiteral("Cards"), QStringLiteral("Charts")}) {
        // Foundry-qualified names from the system's font list, and names only a plan file holds.
        QTest::addRow("%s, installed with its foundry", qPrintable(pane))
            << pane << "Nimbus Roman [urw]"
            << "Nimbus Roman" << QString();
        QTest::addRow("%s, foundry with an ampersand", qPrintable(pane))
            << pane << "Luxi Sans [B&H]"
            << "Luxi Sans" << QString();
        QTest::addRow("%s, quotes and markup", qPrintable(pane)) << pane << "Serif \"A&B<\""
                                                                 << "Serif \"A&B<\"" << QString();
        QTest::addRow("%s, the generator's own text", qPrintable(pane))
            << pane << script << script << QString();
        // Pasted from a terminal or imported from another program's CSV file.
        QTest::addRow("%s, control characters in values, titles and families", qPrintable(pane))
            << pane << QStringLiteral("Serif\x1b[1m\x01") << QStringLiteral("Serif\uFFFD[1m\uFFFD")
            << QStringLiteral("Rent\x01\x1f\x0b\uFFFF");
    }
}

// The font families of the plan's cards and charts go into the drawing's attributes, where their
// "&", "<" and quotes must not end the file's XML nor make elements of their own; a reader finds
// the family as it was typed, without the foundry that only Qt reads. The plan keeps the name.
void TestExports::svgStaysWellFormedWhateverTheFonts()
{
    QFETCH(QString, pane);
    QFETCH(QString, family);
    QFETCH(QString, written);
    QFETCH(QString, text);
    if (!text.isEmpty())
        QVERIFY(writeTestPlan(m_plan, 10, text));
    Document plan;
    QString error;
    bool later = false;
    QVERIFY(readPlanFile(plan, m_plan, &error, &later));
    plan.setCardFont(QFont(family), false);
    plan.setChartFont(QFont(family), false);
    if (!text.isEmpty()) {
        plan.setCardsTitle(text, false);
        plan.setChartsTitle(text, false);
    }
    QVERIFY(writePlanFile(plan, m_plan, &error));
    showWindow();
    QCOMPARE(doc()->cardFont().family(), family);
    doc()->setChartShowProperty(doc()->propertyCount(), true);
    doc()->setChartByProperty(1, true);
    const QString exported = path("drawing.svg");
    ScriptedFileDialogs dialogs({exported});
    m_window->findChild<QAction *>(QStringLiteral("m_fileExport%1SVGAction").arg(pane))->trigger();
    QFile file(exported);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QSet<QString> families;
    QSet<QString> elements;
    QString drawnText;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::Characters)
            drawnText += xml.text();
        if (!xml.isStartElement())
            continue;
        elements.insert(xml.name().toString());
        if (xml.attributes().hasAttribute(QLatin1String("font-family")))
            families.insert(xml.attributes().value(QLatin1String("font-family")).toString());
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QVERIFY2(families.contains(written), qPrintable(families.values().join(", ")));
    QVERIFY2(!families.contains(family) || family == written,
             qPrintable(families.values().join(", ")));
    QVERIFY2(!elements.contains(QStringLiteral("script")),
             qPrintable(elements.values().join(", ")));
    QCOMPARE(doc()->cardFont().family(), family);
    QCOMPARE(doc()->chartFont().family(), family);
    if (!text.isEmpty()) {
        // The title is drawn whole, each forbidden character in its place.
        QString title = text;
        for (QChar &c : title) {
            if (c < QChar(0x20) || c == QChar(0xffff))
                c = QChar(0xfffd);
        }
        QVERIFY2(drawnText.contains(title), qPrintable(drawnText));
        QCOMPARE(doc()->value(0, 1), text + " 0");
        QCOMPARE(doc()->cardsTitle(), text);
    }
}

void TestExports::tableExportAsksOnlyForARealSubset_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<bool>("asked");
    QTest::newRow("nothing selected") << 0 << QList<int>() << false;
    QTest::newRow("every card selected")
        << 0 << QList<int>({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}) << false;
    QTest::newRow("two of ten selected") << 0 << QList<int>({2, 5}) << true;
    QTest::newRow("two selected, Properties shown") << 3 << QList<int>({2, 5}) << false;
}

// Asked, the choice is cancelled: nothing is written.
void TestExports::tableExportAsksOnlyForARealSubset()
{
    QFETCH(int, tab);
    QFETCH(QList<int>, selected);
    QFETCH(bool, asked);
    showWindow();
    m_window->findChild<CardsScene *>()->selectTasks(selected);
    m_window->findChild<QTabWidget *>()->setCurrentIndex(tab);
    ScriptedFileDialogs dialogs({path("cards.csv")});
    ModalAnswer cancel(QStringLiteral("Cancel"));
    QCOMPARE(m_window->exportPlan(MainWindow::ExportKind::Csv, QStringLiteral("csv"), nullptr),
             !asked);
    QCOMPARE(cancel.answered(), asked);
    if (asked)
        QCOMPARE(cancel.shownClassName(), QStringLiteral("ExportCSVDialog"));
    QCOMPARE(lines(path("cards.csv")), asked ? -1 : 11);
}

// The page set-up applies to the PDF that stands in for the missing printer; a folder that takes
// no file leaves only the printer's message.
void TestExports::printingWithoutAPrinterWritesAPdf()
{
    if (!QPrinterInfo::availablePrinters().isEmpty())
        QSKIP("a printer is installed here");
    showWindow();
    QList<PrinterDialogKind> asked;
    const PrinterDialogFunction previous
        = setPrinterDialogFunction([&asked](PrinterDialogKind kind, QPrinter *printer) {
              asked << kind;
              printer->setPageOrientation(QPageLayout::Portrait);
              printer->setPageSize(QPageSize(QPageSize::A5));
              return true;
          });
    m_window->findChild<QAction *>("m_filePageSetup")->trigger();
    setPrinterDialogFunction(previous);
    QCOMPARE(asked, QList<PrinterDialogKind> {PrinterDialogKind::PageSetup});
    QAction *print = m_window->findChild<QAction *>("m_filePrintAction");
    QVERIFY(print->isEnabled());
    {
        ScriptedFileDialogs dialogs({path("Printed.pdf")});
        print->trigger();
        QCOMPARE(dialogs.requests.value(0).path, path("Plan.pdf"));
    }
    const QByteArray pdf = readBytes(path("Printed.pdf"));
    QVERIFY(pdf.startsWith("%PDF"));
    // A5 portrait: 420 x 595 points.
    QVERIFY(pdf.contains("/MediaBox [0 0 419.") || pdf.contains("/MediaBox [0 0 420"));
    ImmutablePaths closed({m_folder->path()});
    if (!closed.isActive())
        return;
    ScriptedFileDialogs dialogs({path("Again.pdf")});
    ModalAnswer failure(QStringLiteral("OK"));
    print->trigger();
    QCOMPARE(failure.shownText(), QStringLiteral("Can't access printer."));
}

TAVROLO_TEST_MAIN(TestExports)
#include "tst_exports.moc"
