// The main window's plan-file commands: opening, creating and importing plans, saving by
// itself, closing, the recent files and duplicating.

#include "app/Application.h"
#include "app/FileDialogs.h"
#include "app/HttpLoader.h"
#include "app/MainWindow.h"
#include "app/PlanFileNames.h"
#include "cards/CardsView.h"
#include "common/app/Accessors.h"
#include "common/core/FileHelpers.h"
#include "common/widgets/MessageBoxes.h"
#include "common/widgets/Settings.h"
#include "properties/NewPlanDialog.h"
#include "storage/CsvImport.h"
#include "storage/PlanFileReader.h"
#include "storage/PlanFileWriter.h"
#include "storage/SafeSave.h"
#include "ui_MainWindow.h"

#include <algorithm>

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPushButton>

namespace {

const char planExtension[] = "tv";
const char backupExtension[] = "tvb";
const char csvExtension[] = "csv";
const int maximumRecentDocs = 10;

QString planFilesFilter()
{
    return QStringLiteral("%1 Files (*.%2)").arg(QStringLiteral("Tavrolo"), planExtension);
}

QString csvFilesFilter()
{
    return QStringLiteral("%1 (*.%2)").arg(QStringLiteral("CSV Files"), csvExtension);
}

QString backupFilesFilter()
{
    return QStringLiteral("%1 Backup Files (*.%2)").arg(QStringLiteral("Tavrolo"), backupExtension);
}

QString tavroloFilter()
{
    return QStringLiteral("%1 (*.%2)").arg(QStringLiteral("Tavrolo"), planExtension);
}

} // namespace

// Opening and creating

bool MainWindow::openFile(const QString &path, bool readOnly)
{
    m_fileGuard->stopOutsideChecks();
    const QString fileName = absolutePath(path);
    bool opened = false;
    bool savedByLaterVersion = false;
    if (QFileInfo(fileName).suffix().toLower() == QLatin1String(csvExtension))
        opened = importCsv(fileName);
    else if (!QFileInfo::exists(fileName))
        criticalMessage(this, tr("Cannot find '%1'.").arg(fileName));
    else
        opened = readPlan(fileName, readOnly, &savedByLaterVersion);
    if (opened) {
        refreshAfterReplacingPlan();
        m_ui->m_fileDuplicateAction->setEnabled(true);
        // What is on disk is what is shown.
        m_fileGuard->notePlanRead();
        m_ui->m_viewZoomFitAction->setChecked(true);
        // Only now do the panes show the plan the warning is about.
        if (savedByLaterVersion)
            warningMessage(this,
                           tr("This plan was saved using a later version of %1. Making "
                              "changes with this version of %2 may lose some of the data.")
                               .arg(QStringLiteral("Tavrolo"), QStringLiteral("Tavrolo")));
    }
    m_fileGuard->resumeOutsideChecks();
    return opened;
}

// The reader leaves the plan alone when it fails, and so does the window: its file name,
// read-only state, undo list and modified mark change only with a plan read whole.
bool MainWindow::readPlan(const QString &fileName, bool readOnly, bool *savedByLaterVersion)
{
    QString error;
    if (!readPlanFile(*doc(), fileName, &error, savedByLaterVersion)) {
        criticalMessage(this, error);
        return false;
    }
    // A file that can't be written is opened read-only: its one warning points to Duplicate,
    // instead of an error at every pause.
    m_planFile.unwritableFile = !readOnly && !canReplaceFile(fileName);
    m_planFile.readOnly = readOnly || m_planFile.unwritableFile;
    m_planFile.readOnlyWarned = false;
    setCurrentFile(fileName);
    clearUndoHistory();
    return true;
}

// The panes learn of a plan read or imported without notifications.
void MainWindow::refreshAfterReplacingPlan()
{
    doc()->emitChanged(EventType::AllChanged);
    onSelectionChanged();
    m_cardsView->onAutoZoom();
    setWindowModified(false);
}

bool MainWindow::importCsv(const QString &fileName)
{
    QMessageBox box(QMessageBox::Information, QString(), QString(), QMessageBox::NoButton, nullptr);
    setMessageText(box,
                   tr("Do you wish to import the CSV file into the current plan or create a new "
                      "plan?"));
    QPushButton *newButton = box.addButton(tr("New"), QMessageBox::AcceptRole);
    QPushButton *currentButton = box.addButton(tr("Current"), QMessageBox::AcceptRole);
    box.addButton(tr("Cancel"), QMessageBox::RejectRole);
    box.exec();
    QCoreApplication::processEvents();
    if (box.clickedButton() == newButton)
        return importCsvAsNewPlan(fileName);
    if (box.clickedButton() == currentButton)
        return importCsvIntoCurrentPlan(fileName);
    return false;
}

bool MainWindow::importCsvAsNewPlan(const QString &fileName)
{
    // The importer leaves the plan alone when it fails; the copy makes sure of it, as the
    // plan is still saved under its own file's name.
    const Document kept(*doc());
    QString error;
    if (!importCsvFile(*doc(), fileName, true, &error)) {
        *doc() = kept;
        criticalMessage(this, error);
        return false;
    }
    refreshAfterReplacingPlan();
    // A plan always has a file: cancelling the dialog takes the proposed name.
    const QString proposal = uniqueFileName(QFileInfo(fileName).baseName(), planExtension);
    forever {
        FileDialogRequest request;
        request.mode = FileDialogRequest::Mode::Save;
        request.caption = tr("New plan");
        request.path = proposal;
        request.filters = QStringList {planFilesFilter()};
        request.defaultSuffix = planExtension;
        const QString chosen = runFileDialog(this, request).path;
        QCoreApplication::processEvents();
        // The new file is the user's own, whatever the state of the plan it replaces.
        m_planFile.readOnly = false;
        setCurrentFile(chosen.isEmpty() ? proposal : chosen);
        if (save())
            break;
    }
    clearUndoHistory();
    return true;
}

bool MainWindow::importCsvIntoCurrentPlan(const QString &fileName)
{
    saveUndoState(QStringLiteral("Import CSV"));
    QString error;
    if (!importCsvFile(*doc(), fileName, false, &error)) {
        criticalMessage(this, error);
        return false;
    }
    // The panes show the imported cards before any message of the save can repaint them.
    doc()->emitChanged(EventType::AllChanged);
    if (!save()) {
        onSelectionChanged();
        setWindowModified(true);
        return false;
    }
    m_planFile.readOnly = false;
    updateWindowTitle();
    return true;
}

bool MainWindow::openPlanDialog(bool preselectCsv)
{
    if (!maybeSave())
        return false;
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Open;
    request.path = defaultFolder();
    request.filters = QStringList {planFilesFilter(), csvFilesFilter(), backupFilesFilter()};
    if (preselectCsv)
        request.selectedFilter = csvFilesFilter();
    const QString chosen = runFileDialog(this, request).path;
    if (chosen.isEmpty())
        return false;
    return openFile(chosen, false);
}

void MainWindow::onFileOpenAction()
{
    openPlanDialog(false);
}

void MainWindow::onFileNewAction()
{
    if (!maybeSave())
        return;
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.caption = tr("New plan");
    request.path = uniqueFileName(QStringLiteral("unnamed"), planExtension);
    request.filters = QStringList {planFilesFilter()};
    request.defaultSuffix = planExtension;
    const QString chosen = runFileDialog(this, request).path;
    if (chosen.isEmpty())
        return;
    m_planFile.readOnly = false;
    setCurrentFile(chosen);
    clearUndoHistory();
    m_ui->m_viewZoomFitAction->setChecked(true);
    const bool suggest = settings()->suggestPropertiesNewPlan();
    doc()->clear(!suggest);
    refreshAfterReplacingPlan();
    if (suggest) {
        NewPlanDialog dialog(this, m_recentDocs);
        dialog.exec();
    }
    save();
    onUpdateRecentDocs();
}

QString MainWindow::uniqueFileName(const QString &base, const QString &extension) const
{
    const QString stem = defaultFolder() + QDir::separator() + base;
    for (int n = 0;; ++n) {
        const QString number = n == 0 ? QString() : QString::number(n);
        const QString candidate = QStringLiteral("%1%2.%3").arg(stem, number, extension);
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
}

QString MainWindow::defaultFolder() const
{
    if (m_planFile.fileName.isEmpty())
        return dataFolder(false);
    return QDir::toNativeSeparators(QFileInfo(m_planFile.fileName).absolutePath());
}

void MainWindow::setCurrentFile(const QString &path)
{
    const QString previous = m_planFile.fileName;
    m_planFile.fileName = path.isEmpty() ? QString() : nativeAbsolutePath(path);
    // What was seen belongs to the file it was seen on.
    if (m_planFile.fileName != previous)
        m_fileGuard->forgetFileOnDisk();
    app()->setPlanFileName(m_planFile.fileName);
    if (!m_planFile.fileName.isEmpty())
        addRecentDoc(m_planFile.fileName);
    updateWindowTitle();
}

// Saving, automatic saving and closing

bool MainWindow::save()
{
    if (m_planFile.fileName.isEmpty())
        return saveAs();
    return saveFile(m_planFile.fileName);
}

bool MainWindow::saveAs()
{
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.path = m_planFile.fileName.isEmpty()
        ? uniqueFileName(QStringLiteral("unnamed"), planExtension)
        : m_planFile.fileName;
    request.filters = QStringList {tavroloFilter()};
    request.defaultSuffix = planExtension;
    const QString chosen = runFileDialog(this, request).path;
    if (chosen.isEmpty())
        return false;
    return saveFile(chosen);
}

bool MainWindow::saveFile(const QString &path)
{
    if (m_planFile.isOpenPlanFile(path)) {
        if (m_planFile.readOnly) {
            criticalMessage(
                this,
                tr("Unable to save changes to read-only file '%1'.").arg(m_planFile.fileName));
            return false;
        }
        if (m_fileGuard->planFileChangedOutside()) {
            criticalMessage(this,
                            tr("The plan file '%1' has been changed by another application. "
                               "Your changes have not been saved over it.")
                                .arg(m_planFile.fileName));
            return false;
        }
        QString copy;
        if (!m_fileGuard->keepOutsideVersion(&copy)) {
            m_fileGuard->showBackupWriteFailure(copy);
            return false;
        }
    }
    m_fileGuard->stopOutsideChecks();
    if (!m_planFile.readOnly && settings()->backupEverySaveOn())
        m_fileGuard->makePerSaveCopy(path);
    QString error;
    const bool written = writePlanFile(*doc(), path, &error);
    if (written) {
        setWindowModified(false);
        setCurrentFile(path);
        // Only this window's own write moves the time on; anything else is another program's.
        m_fileGuard->notePlanFileOnDisk();
    } else {
        criticalMessage(this, error);
    }
    m_fileGuard->resumeOutsideChecks();
    return written;
}

bool MainWindow::maybeSave()
{
    if (!isWindowModified())
        return true;
    if (m_planFile.readOnly) {
        return criticalMessage(this,
                               tr("Unable to save changes to read-only file '%1'. Do you wish to "
                                  "exit and discard your changes?")
                                   .arg(m_planFile.fileName),
                               QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Cancel)
            == QMessageBox::Discard;
    }
    if (m_fileGuard->planFileChangedOutside()) {
        QMessageBox box(QMessageBox::Warning, QString(), QString(), QMessageBox::NoButton, this);
        setMessageText(box,
                       tr("The plan file '%1' has been changed by another application since it "
                          "was opened.\nDo you want to overwrite it with your changes or "
                          "discard your changes?")
                           .arg(m_planFile.fileName));
        QPushButton *overwrite = box.addButton(tr("Overwrite"), QMessageBox::AcceptRole);
        QPushButton *discard = box.addButton(QMessageBox::Discard);
        box.addButton(QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Cancel);
        box.exec();
        if (box.clickedButton() == discard)
            return true;
        if (box.clickedButton() != overwrite)
            return false;
        // The user has seen the outside change and chosen to write over it; the other version
        // is still copied aside first.
        m_fileGuard->acceptOutsideVersion();
    }
    if (save())
        return true;
    return criticalMessage(this,
                           tr("Unable to save changes to '%1'. Do you wish to exit and discard "
                              "your changes?")
                               .arg(m_planFile.fileName),
                           QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Cancel)
        == QMessageBox::Discard;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (maybeSave()) {
        event->accept();
        m_closeAccepted = true;
        // An update check still waiting ends without a word.
        m_updates->cancel();
    } else {
        event->ignore();
    }
    settings()->write(Settings::Key::Geometry, saveGeometry());
    settings()->write(Settings::Key::WindowState, saveState(0));
    QCoreApplication::processEvents();
    sleepMicroseconds(500);
}

void MainWindow::onFileExitAction()
{
    close();
}

// Recent files

void MainWindow::loadRecentDocs()
{
    m_recentDocs = settings()->read(Settings::Key::RecentDocs).toStringList();
}

// With the portable settings file, paths are kept relative to the application folder so that
// the list moves with the installation.
void MainWindow::addRecentDoc(const QString &path)
{
    QString entry = nativeAbsolutePath(path);
    // The same file may be listed in the other form, from before the preferences moved.
    const QString file = canonicalPath(entry);
    m_recentDocs.erase(std::remove_if(m_recentDocs.begin(), m_recentDocs.end(),
                                      [&file](const QString &listed) {
                                          return canonicalPath(absolutePath(listed)) == file;
                                      }),
                       m_recentDocs.end());
    if (settings()->isIniFormat())
        entry = relativePath(entry);
    m_recentDocs.prepend(entry);
    while (m_recentDocs.size() > maximumRecentDocs)
        m_recentDocs.removeLast();
    saveRecentDocs();
    onUpdateRecentDocs();
}

void MainWindow::saveRecentDocs()
{
    settings()->write(Settings::Key::RecentDocs, m_recentDocs);
}

void MainWindow::onUpdateRecentDocs()
{
    QMenu *menu = m_ui->m_fileRecentDocs;
    // The entry being chosen may be the one asking for the rebuild.
    const QList<QAction *> previous = menu->actions();
    for (QAction *action : previous) {
        menu->removeAction(action);
        action->deleteLater();
    }
    int added = 0;
    for (const QString &entry : qAsConst(m_recentDocs)) {
        // Entries may be relative to the application folder; the open plan is not offered.
        if (absolutePath(entry) == m_planFile.fileName)
            continue;
        // A "&" in a path is shown as it is, not taken for a shortcut marker.
        QAction *action = menu->addAction(
            QDir::toNativeSeparators(entry).replace(QLatin1Char('&'), QStringLiteral("&&")));
        // Some platform themes add shortcut markers to menu texts; the path travels apart.
        action->setData(entry);
        connect(action, &QAction::triggered, this, &MainWindow::onRecentDocSelected);
        ++added;
    }
    if (added > 0) {
        menu->addSeparator();
        QAction *clear = menu->addAction(tr("&Clear Menu"));
        connect(clear, &QAction::triggered, this, &MainWindow::onClearRecentDocSelected);
    }
    menu->setEnabled(added > 0);
}

void MainWindow::onRecentDocSelected()
{
    auto *action = qobject_cast<QAction *>(sender());
    if (!action)
        return;
    const QString path = action->data().toString();
    if (!maybeSave())
        return;
    m_ui->m_viewZoomFitAction->setChecked(true);
    if (!openFile(path, false))
        onUpdateRecentDocs();
}

void MainWindow::onClearRecentDocSelected()
{
    m_recentDocs.clear();
    saveRecentDocs();
    onUpdateRecentDocs();
}

// Duplicating

void MainWindow::onFileDuplicateAction()
{
    if (m_planFile.fileName.isEmpty()) {
        criticalMessage(this,
                        tr("You need to save this plan to a file before you can duplicate it."));
        return;
    }
    // Changes that may not go into the plan's own file (it is read-only, or another program
    // has rewritten it) go into the duplicate only; otherwise the plan is saved and its file
    // copied. A file that can't take the save (a full disk, a pulled stick, a locked file)
    // stays as it is, and the duplicate is the way to keep the changes: the save has said why.
    const bool modified = isWindowModified();
    bool changesToCopyOnly
        = modified && (m_planFile.readOnly || m_fileGuard->planFileChangedOutside());
    if (modified && !changesToCopyOnly && !save())
        changesToCopyOnly = true;
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.path = duplicateFileName(m_planFile.fileName);
    request.filters = QStringList {tavroloFilter()};
    request.defaultSuffix = planExtension;
    const QString chosen = runFileDialog(this, request).path;
    if (chosen.isEmpty())
        return;
    if (m_planFile.isOpenPlanFile(chosen)) {
        criticalMessage(this, tr("The duplicate cannot be saved over the current plan file."));
        return;
    }
    QString error;
    const bool made = changesToCopyOnly ? writePlanFile(*doc(), chosen, &error)
                                        : copyFile(m_planFile.fileName, chosen, true);
    if (!made) {
        criticalMessage(this, tr("Unable to create new file '%1'.").arg(chosen));
        return;
    }
    if (informationMessage(this, tr("Do you wish to open the new duplicate file?"),
                           QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
        != QMessageBox::Yes)
        return;
    if (!openFile(chosen, false))
        criticalMessage(this, tr("Unable to open duplicate file '%1'.").arg(chosen));
}
