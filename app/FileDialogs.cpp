#include "app/FileDialogs.h"

#include <QFileDialog>
#include <QPageSetupDialog>
#include <QPrintDialog>

namespace {

FileDialogFunction &currentFunction()
{
    static FileDialogFunction function;
    return function;
}

PrinterDialogFunction &currentPrinterFunction()
{
    static PrinterDialogFunction function;
    return function;
}

} // namespace

FileDialogAnswer runFileDialog(QWidget *parent, const FileDialogRequest &request)
{
    if (currentFunction())
        return currentFunction()(request);
    FileDialogAnswer answer;
    answer.selectedFilter = request.selectedFilter;
    const QString filters = request.filters.join(QStringLiteral(";;"));
    if (request.mode == FileDialogRequest::Mode::Open)
        answer.path = QFileDialog::getOpenFileName(parent, request.caption, request.path, filters,
                                                   &answer.selectedFilter);
    else
        answer.path = QFileDialog::getSaveFileName(parent, request.caption, request.path, filters,
                                                   &answer.selectedFilter);
    return answer;
}

FileDialogFunction setFileDialogFunction(FileDialogFunction function)
{
    FileDialogFunction previous = currentFunction();
    currentFunction() = std::move(function);
    return previous;
}

bool runPrinterDialog(QWidget *parent, PrinterDialogKind kind, QPrinter *printer)
{
    if (currentPrinterFunction())
        return currentPrinterFunction()(kind, printer);
    if (kind == PrinterDialogKind::Print) {
        QPrintDialog dialog(printer, parent);
        return dialog.exec() == QDialog::Accepted;
    }
    QPageSetupDialog dialog(printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

PrinterDialogFunction setPrinterDialogFunction(PrinterDialogFunction function)
{
    PrinterDialogFunction previous = currentPrinterFunction();
    currentPrinterFunction() = std::move(function);
    return previous;
}
