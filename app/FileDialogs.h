#pragma once

#include <functional>

#include <QString>
#include <QStringList>

class QPrinter;
class QWidget;

// What a file command asks the user for: a plan to open, or a name to save under.
struct FileDialogRequest
{
    enum class Mode { Open, Save };

    Mode mode = Mode::Open;
    QString caption;
    // The folder to start in, or the proposed file.
    QString path;
    QStringList filters;
    // The filter shown first; empty for the first of the list.
    QString selectedFilter;
    // For a save: the suffix a name typed without one gets ("tv", "csv"), so that the file is
    // listed, opened and dropped as what it is. A name with any suffix stays as typed.
    QString defaultSuffix;
};

// The user's answer: the chosen file, empty when the dialog was cancelled, and its filter.
struct FileDialogAnswer
{
    QString path;
    QString selectedFilter;
};

// Every open and save dialog of the file commands runs through here, so that tests answer it
// with a function instead of a dialog waiting for clicks, as openUrl does for web pages. The
// default suffix is added to the answer whichever of them gave it.
FileDialogAnswer runFileDialog(QWidget *parent, const FileDialogRequest &request);

using FileDialogFunction = std::function<FileDialogAnswer(const FileDialogRequest &)>;
// Replaces the dialogs; an empty function brings them back. Returns the previous one.
FileDialogFunction setFileDialogFunction(FileDialogFunction function);

// The print and page set-up dialogs of the main window run through here for the same reason: a
// test answers them with a function that may change the printer, and returns whether the
// dialog was accepted.
enum class PrinterDialogKind { Print, PageSetup };
bool runPrinterDialog(QWidget *parent, PrinterDialogKind kind, QPrinter *printer);

using PrinterDialogFunction = std::function<bool(PrinterDialogKind kind, QPrinter *printer)>;
// Replaces the dialogs; an empty function brings them back. Returns the previous one.
PrinterDialogFunction setPrinterDialogFunction(PrinterDialogFunction function);
