#include "app/FileDialogs.h"

#include <QFileDialog>
#include <QFileInfo>
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

// The dialog knows the default suffix, so that it asks about replacing the file the name
// with the suffix stands for.
FileDialogAnswer runQtFileDialog(QWidget *parent, const FileDialogRequest &request)
{
    FileDialogAnswer answer;
    answer.selectedFilter = request.selectedFilter;
    const bool open = request.mode == FileDialogRequest::Mode::Open;
    QFileDialog dialog(parent, request.caption, request.path,
                       request.filters.join(QStringLiteral(";;")));
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!request.selectedFilter.isEmpty())
        dialog.selectNameFilter(request.selectedFilter);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (dialog.exec() == QDialog::Accepted) {
        answer.path = dialog.selectedFiles().value(0);
        answer.selectedFilter = dialog.selectedNameFilter();
    }
    return answer;
}

} // namespace

FileDialogAnswer runFileDialog(QWidget *parent, const FileDialogRequest &request)
{
    FileDialogAnswer answer
        = currentFunction() ? currentFunction()(request) : runQtFileDialog(parent, request);
    // As the dialog does it: a name without any dot gets the suffix.
    if (!request.defaultSuffix.isEmpty() && !answer.path.isEmpty()
        && !QFileInfo(answer.path).fileName().contains(QLatin1Char('.')))
        answer.path += QLatin1Char('.') + request.defaultSuffix;
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
