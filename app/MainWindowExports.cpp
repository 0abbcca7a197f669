// The plan taken out of the program: the cards as CSV or TXT tables, the Cards or Charts view
// as a PDF document, an SVG drawing or a PNG or JPG image, and on paper. Every picture is drawn
// by the view's own renderScene. A writer draws first and replaces an existing file only once
// the new one is whole, so a failed export leaves the old file as it was.

#include "app/ExportRules.h"
#include "app/FileDialogs.h"
#include "app/MainWindow.h"
#include "cards/CardsScene.h"
#include "cards/CardsView.h"
#include "charts/ChartsScene.h"
#include "charts/ChartsView.h"
#include "common/app/Accessors.h"
#include "common/core/BusyCursor.h"
#include "common/widgets/MessageBoxes.h"
#include "common/widgets/Settings.h"
#include "dialogs/ExportCSVDialog.h"
#include "dialogs/ExportPDFDialog.h"
#include "model/Document.h"
#include "storage/CsvExport.h"
#include "ui_MainWindow.h"

#include <algorithm>

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
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

MainWindow::ImageAllocator &imageAllocator()
{
    static MainWindow::ImageAllocator allocator;
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

// QSaveFile::commit does not see a failure of its last buffered write; flushing first does.
bool commitWhole(QSaveFile *file)
{
    return file->flush() && file->commit();
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

// Names and targets

// An export never takes the place of the plan it was made from.
bool MainWindow::refuseOpenPlanAsTarget(const QString &fileName)
{
    if (!m_planFile.isOpenPlanFile(fileName))
        return false;
    criticalMessage(this,
                    tr("Unable to write to '%1'.\nIt is the open plan's own file; choose another "
                       "name for the export.")
                        .arg(fileName));
    return true;
}

bool MainWindow::hasSomethingToExport(GraphicsView *view)
{
    if (!view || !view->scene())
        return false;
    const QRectF rect = view->scene()->sceneRect();
    if (rect.width() >= 1 && rect.height() >= 1)
        return true;
    informationMessage(this, tr("There is nothing to export."));
    return false;
}

// The dispatcher

bool MainWindow::exportPlan(ExportKind kind, const QString &extension, GraphicsView *view)
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
    const QString fileName = runFileDialog(this, request).path;
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
    for (TaskIndex task = 0; task < doc()->taskCount(); ++task)
        all.append(task);
    const QList<int> selected = selectedTaskIndexes();
    const QList<int> visible = visibleTaskIndexes();
    QList<int> tasks = all;
    const auto choice = [&all](const QList<int> &subset) {
        return !subset.isEmpty() && subset.size() != all.size();
    };
    if (choice(selected) || choice(visible)) {
        ExportCSVDialog dialog(this, all, selected, visible);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        tasks = dialog.tasks();
    }
    if (tasks.isEmpty())
        return false;
    bool unicode = false;
    QString error;
    if (!exportCsvFile(*doc(), fileName, tasks, &unicode, &error)) {
        criticalMessage(this, error);
        return false;
    }
    if (kind == ExportKind::Csv && unicode)
        warningMessageOnce(Settings::keyName(Settings::Key::ShowedEncodedExcelCsvWarning), this,
                           tr("Excel has problems reading UTF-8 and UTF-16 encoded CSV format "
                              "files on Mac.\nIf you have problems try exporting to TXT format "
                              "and 'File>Open' it from Excel."));
    return true;
}

void MainWindow::warnPdfGradients(int gradient)
{
    if (gradient > 0)
        warningMessageOnce(Settings::keyName(Settings::Key::ShowedPdfGradientWarning), this,
                           tr("Some PDF viewers don't handle gradients correctly.\nIf your PDF "
                              "shows no colors, try setting the gradient effect to 0 before "
                              "exporting."));
}

// PDF

// The printer draws into a temporary file beside the target; the target is replaced by it
// only when the drawing is complete.
bool MainWindow::writePdf(QPrinter *printer, const QString &fileName, GraphicsView *view)
{
    QSaveFile target(fileName);
    if (!target.open(QIODevice::WriteOnly))
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
    return copyFile(drawn.fileName(), &target) && commitWhole(&target);
}

bool MainWindow::exportPdf(const QString &fileName, GraphicsView *view)
{
    if (!hasSomethingToExport(view))
        return false;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    ExportPDFDialog dialog(this, QPrinter::Landscape, settings()->pdfPageSize(),
                           QPrinter::Millimeter, &printer);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    bool written = false;
    {
        BusyCursor busy;
        written = writePdf(&printer, fileName, view);
    }
    settings()->setPdfPageSize(dialog.paperSize());
    if (!written)
        criticalMessage(
            this,
            tr("Unable to write to '%1'.\nFile may be open in another application.").arg(fileName));
    return written;
}

// SVG

bool MainWindow::exportSvg(const QString &fileName, GraphicsView *view)
{
    if (!hasSomethingToExport(view))
        return false;
    QSaveFile file(fileName);
    bool written = file.open(QIODevice::WriteOnly);
    if (written) {
        BusyCursor busy;
        const QRectF rect = view->scene()->sceneRect();
        const QSize size(int(rect.width()), int(rect.height()));
        QSvgGenerator generator;
        generator.setOutputDevice(&file);
        generator.setSize(size);
        generator.setViewBox(QRect(QPoint(0, 0), size));
        generator.setResolution(svgResolution);
        generator.setTitle(QStringLiteral("Tavrolo"));
        generator.setDescription(
            tr("Tavrolo export of %1 on %2.")
                .arg(m_planFile.fileName, QDateTime::currentDateTime().toString(Qt::TextDate)));
        QPainter painter;
        written = painter.begin(&generator);
        if (written) {
            view->renderScene(&painter);
            written = painter.end() && commitWhole(&file);
        }
    }
    if (!written)
        criticalMessage(
            this,
            tr("Unable to write to '%1'.\nFile may be open in another application.").arg(fileName));
    return written;
}

// PNG and JPG

MainWindow::ImageAllocator MainWindow::setExportImageAllocator(ImageAllocator allocator)
{
    ImageAllocator previous = imageAllocator();
    imageAllocator() = std::move(allocator);
    return previous;
}

// A smaller image is the answer to a shortage of memory: the export loses resolution before it
// gives up.
QImage MainWindow::renderExportImage(GraphicsView *view)
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

bool MainWindow::exportImage(const QString &fileName, const char *format, GraphicsView *view)
{
    if (!hasSomethingToExport(view))
        return false;
    // Opened without truncation: the old file stays until the new image is whole.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        criticalMessage(
            this,
            tr("Unable to write to '%1'.\nFile may be open in another application.").arg(fileName));
        return false;
    }
    QImage image;
    {
        BusyCursor busy;
        image = renderExportImage(view);
    }
    if (image.isNull()) {
        criticalMessage(this,
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
        saved = saved && file.write(encoded) == encoded.size() && commitWhole(&file);
    }
    if (!saved)
        criticalMessage(this,
                        tr("Unable to save to '%1' as a %2 format image.\nYou may have "
                           "insufficient memory.")
                            .arg(fileName, QString::fromLatin1(format).toUpper()));
    return saved;
}

// The export commands

void MainWindow::onExportTableCSV()
{
    exportPlan(ExportKind::Csv, QStringLiteral("csv"), nullptr);
}

void MainWindow::onExportTableTXT()
{
    exportPlan(ExportKind::Txt, QStringLiteral("txt"), nullptr);
}

void MainWindow::onExportCardsPDF()
{
    warnPdfGradients(doc()->cardsGradient());
    exportPlan(ExportKind::Pdf, QStringLiteral("pdf"), m_cardsView);
}

void MainWindow::onExportCardsSVG()
{
    exportPlan(ExportKind::Svg, QStringLiteral("svg"), m_cardsView);
}

void MainWindow::onExportCardsPNG()
{
    exportPlan(ExportKind::Png, QStringLiteral("png"), m_cardsView);
}

void MainWindow::onExportCardsJPG()
{
    exportPlan(ExportKind::Jpg, QStringLiteral("jpg"), m_cardsView);
}

void MainWindow::onExportChartsPDF()
{
    warnPdfGradients(doc()->chartsGradient());
    exportPlan(ExportKind::Pdf, QStringLiteral("pdf"), m_chartsView);
}

void MainWindow::onExportChartsSVG()
{
    exportPlan(ExportKind::Svg, QStringLiteral("svg"), m_chartsView);
}

void MainWindow::onExportChartsPNG()
{
    exportPlan(ExportKind::Png, QStringLiteral("png"), m_chartsView);
}

void MainWindow::onExportChartsJPG()
{
    exportPlan(ExportKind::Jpg, QStringLiteral("jpg"), m_chartsView);
}

// Printing

GraphicsView *MainWindow::printableView() const
{
    if (m_cardsView->isVisible())
        return m_cardsView;
    if (m_chartsView->isVisible())
        return m_chartsView;
    return nullptr;
}

void MainWindow::onUpdatePrinterStatus()
{
    bool printable = false;
    if (m_cardsView->isVisible()) {
        // A card's item answers at once; the list of all the scene's items is sorted first,
        // which for a large plan takes longer than the layout that asks.
        printable = m_cardsScene->cardItemForTask(0) || !m_cardsScene->items().isEmpty();
    } else if (m_chartsView->isVisible())
        printable = !m_chartsScene->chartItems().isEmpty();
    m_ui->m_filePrintAction->setEnabled(printable);
}

void MainWindow::onUpdateExportStatus()
{
    m_ui->m_fileExportMenu->setEnabled(doc()->taskCount() > 0);
}

// Without a printer installed the page goes to a PDF file the user names, laid out as the page
// set-up says.
void MainWindow::onFilePrintAction()
{
    GraphicsView *view = printableView();
    if (!view)
        return;
    if (m_printer && m_printer->isValid() && !QPrinterInfo::availablePrinters().isEmpty()) {
        if (!runPrinterDialog(this, PrinterDialogKind::Print, m_printer))
            return;
        QPainter painter;
        if (!painter.begin(m_printer)) {
            criticalMessage(this, tr("Can't access printer."));
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
    const QString fileName = runFileDialog(this, request).path;
    if (fileName.isEmpty() || refuseOpenPlanAsTarget(fileName))
        return;
    QPrinter pdf(QPrinter::HighResolution);
    if (m_printer)
        pdf.setPageLayout(m_printer->pageLayout());
    bool written = false;
    {
        BusyCursor busy;
        written = writePdf(&pdf, fileName, view);
    }
    if (!written)
        criticalMessage(this, tr("Can't access printer."));
}

void MainWindow::onFilePageSetupAction()
{
    if (!m_printer || !m_printer->isValid()) {
        criticalMessage(this, tr("Can't access printer."));
        return;
    }
    runPrinterDialog(this, PrinterDialogKind::PageSetup, m_printer);
}
