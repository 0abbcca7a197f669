#pragma once

#include "app/WindowPanes.h"
#include "model/ModelTypes.h"

#include <functional>

#include <QImage>
#include <QList>
#include <QObject>

class Document;
class GraphicsView;
class QAction;
class QMenu;
class QPrinter;
class QSize;
class QWidget;
struct PlanFileState;

// The plan taken out of the program: the cards as CSV or TXT tables, the Cards or Charts view
// as a PDF document, an SVG drawing or a PNG or JPG image, and on paper. The main window
// forwards its export and print commands here and keeps it told when the views redraw; it
// keeps the Print command and the Export menu enabled while there is something to take out.
// Every picture is drawn by the view's own renderScene. A writer draws first and replaces an
// existing file only once the new one is whole, so a failed export leaves the old file as it
// was; none writes over the open plan's own file.
class ExportHandler : public QObject
{
    Q_OBJECT

public:
    // The forms an export writes; the numbers are those the export commands have always used.
    enum class ExportKind : int { Csv = 0, Png = 1, Pdf = 2, Jpg = 3, Txt = 4, Svg = 5 };
    // The cards of the pane shown that a table export may be limited to: those selected, or
    // those the filter leaves visible.
    using TaskList = std::function<QList<TaskIndex>()>;

    // The window is the parent of the dialogs and messages.
    ExportHandler(Document &plan, const PlanFileState &planFile, const WindowPanes &panes,
                  QAction *printAction, QMenu *exportMenu, TaskList selectedTasks,
                  TaskList visibleTasks, QWidget *window);
    ~ExportHandler() override;

    // exportPlan asks for the file and returns whether a CSV or TXT export succeeded.
    bool exportPlan(ExportKind kind, const QString &extension, GraphicsView *view);
    bool exportPdf(const QString &fileName, GraphicsView *view);
    bool exportSvg(const QString &fileName, GraphicsView *view);
    bool exportImage(const QString &fileName, const char *format, GraphicsView *view);
    void warnPdfGradients(int gradient);

    // Makes the image an export draws into; a null image stands for memory refused. Tests set
    // one that refuses; an empty function restores the plain allocation. Returns the previous.
    using ImageAllocator = std::function<QImage(const QSize &size)>;
    static ImageAllocator setExportImageAllocator(ImageAllocator allocator);
    // The view's scene drawn into one image at the export scale; after each refused allocation
    // the scale shrinks to 0.75 of itself, down to 0.05. Null when nothing could be allocated.
    static QImage renderExportImage(GraphicsView *view);

    // The export commands.
    void exportTableCsv();
    void exportTableTxt();
    void exportCardsPdf();
    void exportCardsSvg();
    void exportCardsPng();
    void exportCardsJpg();
    void exportChartsPdf();
    void exportChartsSvg();
    void exportChartsPng();
    void exportChartsJpg();

    // Printing. The printer is kept for the whole run, so that the page set-up chosen once
    // applies to every print.
    void print();
    void pageSetup();

    // The enabled states: Print while the Cards or Charts view shows something, the Export
    // menu while the plan has cards.
    void updatePrinterStatus();
    void updateExportStatus();

private:
    bool refuseOpenPlanAsTarget(const QString &fileName);
    bool writePdf(QPrinter *printer, const QString &fileName, GraphicsView *view, QString *reason);
    bool hasSomethingToExport(GraphicsView *view);
    GraphicsView *printableView() const;

    Document &m_plan;
    const PlanFileState &m_planFile;
    const WindowPanes m_panes;
    QAction *m_printAction;
    QMenu *m_exportMenu;
    TaskList m_selectedTasks;
    TaskList m_visibleTasks;
    QWidget *m_window;
    QPrinter *m_printer;
};
