#include "app/ExportHandler.h"

#include "app/ExportRules.h"
#include "app/FileDialogs.h"
#include "app/PlanFileState.h"
#include "cards/CardsScene.h"
#include "cards/CardsView.h"
#include "charts/ChartsScene.h"
#include "charts/ChartsView.h"
#include "common/app/Accessors.h"
#include "common/core/BusyCursor.h"
#include "common/core/FileHelpers.h"
#include "common/widgets/MessageBoxes.h"
#include "common/widgets/Settings.h"
#include "dialogs/ExportCSVDialog.h"
#include "dialogs/ExportPDFDialog.h"
#include "model/Document.h"
#include "storage/CsvExport.h"

#include <algorithm>

#include <QAction>
#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QTemporaryFile>

namespace {

const double retryShrink = 0.75;
const double smallestScale = 0.05;
const int svgResolution = 300;

ExportHandler::ImageAllocator &imageAllocator()
{
    static ExportHandler::ImageAllocator allocator;
    return allocator;
}

// Opaque pixels: the views paint their own background, and the PNG and JPG writers take this
// format row by row as it is, without a converted copy of the whole image.
QImage allocateImage(const QSize &size)
{
    if (imageAllocator())
        return imageAllocator()(size);
    return QImage(size, QImage::Format_RGB32);
}

// The box for an export that could not be written: the name's own refusal where there is one.
void tellUnableToWrite(QWidget *window, const QString &fileName, const QString &reason)
{
    criticalMessage(window,
                    reason.isEmpty()
                        ? ExportHandler::tr("Unable to write to '%1'.\nFile may be open in another "
                                            "application.")
                              .arg(fileName)
                        : ExportHandler::tr("Unable to write to '%1'.\n%2.").arg(fileName, reason));
}

// The printer does not report a failed write; a PDF it finished ends with its end-of-file mark.
bool isWholePdf(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly) || file.size() < 16)
        return false;
    file.seek(file.size() - 16);
    return file.read(16).trimmed().endsWith("%%EOF");
}

bool copyFile(const QString &from, QSaveFile *to)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    QByteArray block;
    while (!(block = source.read(1 << 20)).isEmpty()) {
        if (to->write(block) != block.size())
            return false;
    }
    return source.error() == QFileDevice::NoError;
}

} // namespace

ExportHandler::ExportHandler(Document &plan, const PlanFileState &planFile,
                             const WindowPanes &panes, QAction *printAction, QMenu *exportMenu,
                             TaskList selectedTasks, TaskList visibleTasks, QWidget *window)
    : QObject(window),
      m_plan(plan),
      m_planFile(planFile),
      m_panes(panes),
      m_printAction(printAction),
      m_exportMenu(exportMenu),
      m_selectedTasks(std::move(selectedTasks)),
      m_visibleTasks(std::move(visibleTasks)),
      m_window(window),
      m_printer(new QPrinter(QPrinter::HighResolution))
{ }

ExportHandler::~ExportHandler()
{
    delete m_printer;
}

// Names and targets

// An export never takes the place of the plan it was made from.
bool ExportHandler::refuseOpenPlanAsTarget(const QString &fileName)
{
    if (!m_planFile.isOpenPlanFile(fileName))
        return false;
    criticalMessage(m_window,
                    tr("Unable to write to '%1'.\nIt is the open plan's own file; choose another "
                       "name for the export.")
                        .arg(fileName));
    return true;
}

bool ExportHandler::hasSomethingToExport(GraphicsView *view)
{
    if (!view || !view->scene())
        return false;
    const QRectF rect = view->scene()->sceneRect();
    if (rect.width() >= 1 && rect.height() >= 1)
        return true;
    informationMessage(m_window, tr("There is nothing to export."));
    return false;
}

// The dispatcher

bool ExportHandler::exportPlan(ExportKind kind, const QString &extension, GraphicsView *view)
{
    const bool table = kind == ExportKind::Csv || kind == ExportKind::Txt;
    if (!table && !hasSomethingToExport(view))
        return false;
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.caption = tr("Export");
    request.path = exportFileProposal(m_planFile.fileName, extension);
    request.filters = QStringList {
        QStringLiteral("%1 file (*.%2)").arg(extension.toUpper(), extension.toLower())};
    request.defaultSuffix = extension.toLower();
    const QString fileName = runFileDialog(m_window, request).path;
    if (fileName.isEmpty() || refuseOpenPlanAsTarget(fileName))
        return false;
    switch (kind) {
    case ExportKind::Png:
        return exportImage(fileName, "png", view);
    case ExportKind::Jpg:
        return exportImage(fileName, "jpg", view);
    case ExportKind::Pdf:
        return exportPdf(fileName, view);
    case ExportKind::Svg:
        return exportSvg(fileName, view);
    case ExportKind::Csv:
    case ExportKind::Txt:
        break;
    }
    QList<int> all;
    for (TaskIndex task = 0; task < m_plan.taskCount(); ++task)
        all.append(task);
    const QList<int> selected = m_selectedTasks();
    const QList<int> visible = m_visibleTasks();
    QList<int> tasks = all;
    const auto choice = [&all](const QList<int> &subset) {
        return !subset.isEmpty() && subset.size() != all.size();
    };
    if (choice(selected) || choice(visible)) {
        ExportCSVDialog dialog(m_window, all, selected, visible);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        tasks = dialog.tasks();
    }
    if (tasks.isEmpty())
        return false;
    bool unicode = false;
    QString error;
    if (!exportCsvFile(m_plan, fileName, tasks, &unicode, &error)) {
        criticalMessage(m_window, error);
        return false;
    }
    if (kind == ExportKind::Csv && unicode)
        warningMessageOnce(Settings::keyName(Settings::Key::ShowedEncodedExcelCsvWarning), m_window,
                           tr("Excel has problems reading UTF-8 and UTF-16 encoded CSV format "
                              "files on Mac.\nIf you have problems try exporting to TXT format "
                              "and 'File>Open' it from Excel."));
    return true;
}

void ExportHandler::warnPdfGradients(int gradient)
{
    if (gradient > 0)
        warningMessageOnce(Settings::keyName(Settings::Key::ShowedPdfGradientWarning), m_window,
                           tr("Some PDF viewers don't handle gradients correctly.\nIf your PDF "
                              "shows no colors, try setting the gradient effect to 0 before "
                              "exporting."));
}

// PDF

// The printer draws into a temporary file beside the target; the target is replaced by it
// only when the drawing is complete.
bool ExportHandler::writePdf(QPrinter *printer, const QString &fileName, GraphicsView *view,
                             QString *reason)
{
    QSaveFile target(fileName);
    if (!openSaveFile(&target, reason))
        return false;
    QTemporaryFile drawn(QFileInfo(fileName).absolutePath() + QStringLiteral("/.XXXXXX.pdf"));
    if (!drawn.open())
        return false;
    drawn.close();
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(drawn.fileName());
    QPainter painter;
    if (!painter.begin(printer))
        return false;
    view->renderScene(&painter);
    if (!painter.end() || !isWholePdf(drawn.fileName()))
        return false;
    return copyFile(drawn.fileName(), &target) && commitSaveFile(&target, reason);
}

bool ExportHandler::exportPdf(const QString &fileName, GraphicsView *view)
{
    if (!hasSomethingToExport(view))
        return false;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    ExportPDFDialog dialog(m_window, QPrinter::Landscape, settings()->pdfPageSize(),
                           QPrinter::Millimeter, &printer);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    bool written = false;
    QString reason;
    {
        BusyCursor busy;
        written = writePdf(&printer, fileName, view, &reason);
    }
    settings()->setPdfPageSize(dialog.paperSize());
    if (!written)
        tellUnableToWrite(m_window, fileName, reason);
    return written;
}

// SVG

bool ExportHandler::exportSvg(const QString &fileName, GraphicsView *view)
{
    if (!hasSomethingToExport(view))
        return false;
    QSaveFile file(fileName);
    QString reason;
    bool written = openSaveFile(&file, &reason);
    if (written) {
        BusyCursor busy;
        const QRectF rect = view->scene()->sceneRect();
        const QSize size(int(rect.width()), int(rect.height()));
        // Drawn whole first: the font families it names are escaped before it is written.
        QBuffer drawing;
        drawing.open(QIODevice::WriteOnly);
        QSvgGenerator generator;
        generator.setOutputDevice(&drawing);
        generator.setSize(size);
        generator.setViewBox(QRect(QPoint(0, 0), size));
        generator.setResolution(svgResolution);
        generator.setTitle(QStringLiteral("Tavrolo"));
        // The generator writes the description into the file as it is: a plan's path with "&"
        // or "<" in it would end the XML there.
        generator.setDescription(
            tr("Tavrolo export of %1 on %2.")
                .arg(m_planFile.fileName, QDateTime::currentDateTime().toString(Qt::TextDate))
                .toHtmlEscaped());
        QPainter painter;
        written = painter.begin(&generator);
        if (written) {
            view->renderScene(&painter);
            written = painter.end();
        }
        if (written) {
            // Every text of the views is drawn in the plan's card or chart font or, where they
            // set none, the application's.
            // The families are matched as the generator wrote them, before their characters
            // are replaced.
            const QByteArray svg = replaceCharactersXmlForbids(
                escapeSvgFontFamilies(drawing.data(),
                                      {m_plan.cardFont().family(), m_plan.chartFont().family(),
                                       QGuiApplication::font().family()}));
            written = file.write(svg) == svg.size() && commitSaveFile(&file, &reason);
        }
    }
    if (!written)
        tellUnableToWrite(m_window, fileName, reason);
    return written;
}

// PNG and JPG

ExportHandler::ImageAllocator ExportHandler::setExportImageAllocator(ImageAllocator allocator)
{
    ImageAllocator previous = imageAllocator();
    imageAllocator() = std::move(allocator);
    return previous;
}

// A smaller image is the answer to a shortage of memory: the export loses resolution before it
// gives up.
QImage ExportHandler::renderExportImage(GraphicsView *view)
{
    const QRectF rect = view->scene()->sceneRect();
    double scale = exportImageScale(rect.size());
    do {
        const QSize size(std::max(1, int(rect.width() * scale)),
                         std::max(1, int(rect.height() * scale)));
        QImage image = allocateImage(size);
        if (!image.isNull() && image.size() == size && image.constBits()) {
            image.fill(Qt::white);
            {
                QPainter painter(&image);
                view->renderScene(&painter);
            }
            return image;
        }
        scale *= retryShrink;
    } while (scale >= smallestScale);
    return QImage();
}

bool ExportHandler::exportImage(const QString &fileName, const char *format, GraphicsView *view)
{
    if (!hasSomethingToExport(view))
        return false;
    // Opened without truncation: the old file stays until the new image is whole.
    QSaveFile file(fileName);
    QString reason;
    if (!openSaveFile(&file, &reason)) {
        tellUnableToWrite(m_window, fileName, reason);
        return false;
    }
    QImage image;
    {
        BusyCursor busy;
        image = renderExportImage(view);
    }
    if (image.isNull()) {
        criticalMessage(m_window,
                        tr("Insufficient memory to create the pixmap.\nTry closing some other "
                           "applications."));
        return false;
    }
    // Encoded in memory first: the image writers leak when the file fails under them.
    bool saved = false;
    {
        BusyCursor busy;
        QByteArray encoded;
        QBuffer buffer(&encoded);
        saved = buffer.open(QIODevice::WriteOnly) && image.save(&buffer, format);
        image = QImage();
        saved = saved && file.write(encoded) == encoded.size() && commitSaveFile(&file, &reason);
    }
    if (!saved && !reason.isEmpty())
        tellUnableToWrite(m_window, fileName, reason);
    else if (!saved)
        criticalMessage(m_window,
                        tr("Unable to save to '%1' as a %2 format image.\nYou may have "
                           "insufficient memory.")
                            .arg(fileName, QString::fromLatin1(format).toUpper()));
    return saved;
}

// The export commands

void ExportHandler::exportTableCsv()
{
    exportPlan(ExportKind::Csv, QStringLiteral("csv"), nullptr);
}

void ExportHandler::exportTableTxt()
{
    exportPlan(ExportKind::Txt, QStringLiteral("txt"), nullptr);
}

void ExportHandler::exportCardsPdf()
{
    warnPdfGradients(m_plan.cardsGradient());
    exportPlan(ExportKind::Pdf, QStringLiteral("pdf"), m_panes.cardsView);
}

void ExportHandler::exportCardsSvg()
{
    exportPlan(ExportKind::Svg, QStringLiteral("svg"), m_panes.cardsView);
}

void ExportHandler::exportCardsPng()
{
    exportPlan(ExportKind::Png, QStringLiteral("png"), m_panes.cardsView);
}

void ExportHandler::exportCardsJpg()
{
    exportPlan(ExportKind::Jpg, QStringLiteral("jpg"), m_panes.cardsView);
}

void ExportHandler::exportChartsPdf()
{
    warnPdfGradients(m_plan.chartsGradient());
    exportPlan(ExportKind::Pdf, QStringLiteral("pdf"), m_panes.chartsView);
}

void ExportHandler::exportChartsSvg()
{
    exportPlan(ExportKind::Svg, QStringLiteral("svg"), m_panes.chartsView);
}

void ExportHandler::exportChartsPng()
{
    exportPlan(ExportKind::Png, QStringLiteral("png"), m_panes.chartsView);
}

void ExportHandler::exportChartsJpg()
{
    exportPlan(ExportKind::Jpg, QStringLiteral("jpg"), m_panes.chartsView);
}

// Printing

GraphicsView *ExportHandler::printableView() const
{
    if (m_panes.cardsView->isVisible())
        return m_panes.cardsView;
    if (m_panes.chartsView->isVisible())
        return m_panes.chartsView;
    return nullptr;
}

void ExportHandler::updatePrinterStatus()
{
    bool printable = false;
    if (m_panes.cardsView->isVisible()) {
        // A card's item answers at once; the list of all the scene's items is sorted first,
        // which for a large plan takes longer than the layout that asks.
        printable
            = m_panes.cardsScene->cardItemForTask(0) || !m_panes.cardsScene->items().isEmpty();
    } else if (m_panes.chartsView->isVisible())
        printable = !m_panes.chartsScene->chartItems().isEmpty();
    m_printAction->setEnabled(printable);
}

void ExportHandler::updateExportStatus()
{
    m_exportMenu->setEnabled(m_plan.taskCount() > 0);
}

// Without a printer installed the page goes to a PDF file the user names, laid out as the page
// set-up says.
void ExportHandler::print()
{
    GraphicsView *view = printableView();
    if (!view)
        return;
    if (m_printer && m_printer->isValid() && !QPrinterInfo::availablePrinters().isEmpty()) {
        if (!runPrinterDialog(m_window, PrinterDialogKind::Print, m_printer))
            return;
        QPainter painter;
        if (!painter.begin(m_printer)) {
            criticalMessage(m_window, tr("Can't access printer."));
            return;
        }
        view->renderScene(&painter);
        painter.end();
        return;
    }
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.caption = tr("Print");
    request.path = exportFileProposal(m_planFile.fileName, QStringLiteral("pdf"));
    request.filters = QStringList {QStringLiteral("PDF file (*.pdf)")};
    request.defaultSuffix = QStringLiteral("pdf");
    const QString fileName = runFileDialog(m_window, request).path;
    if (fileName.isEmpty() || refuseOpenPlanAsTarget(fileName))
        return;
    QPrinter pdf(QPrinter::HighResolution);
    if (m_printer)
        pdf.setPageLayout(m_printer->pageLayout());
    bool written = false;
    QString reason;
    {
        BusyCursor busy;
        written = writePdf(&pdf, fileName, view, &reason);
    }
    if (!written && !reason.isEmpty())
        tellUnableToWrite(m_window, fileName, reason);
    else if (!written)
        criticalMessage(m_window, tr("Can't access printer."));
}

void ExportHandler::pageSetup()
{
    if (!m_printer || !m_printer->isValid()) {
        criticalMessage(m_window, tr("Can't access printer."));
        return;
    }
    runPrinterDialog(m_window, PrinterDialogKind::PageSetup, m_printer);
}
