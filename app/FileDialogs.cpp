#include "app/FileDialogs.h"

#include <QFileDialog>

namespace {

FileDialogFunction &currentFunction()
{
    static FileDialogFunction function;
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
