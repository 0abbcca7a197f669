#include "app/PlanFileCommands.h"

#include "app/Application.h"
#include "app/FileDialogs.h"
#include "app/MainLoop.h"
#include "app/PlanFileGuard.h"
#include "app/PlanFileNames.h"
#include "app/PlanFileState.h"
#include "app/RecentPlans.h"
#include "app/SessionEnd.h"
#include "common/app/Accessors.h"
#include "common/core/FileHelpers.h"
#include "common/widgets/MessageBoxes.h"
#include "common/widgets/Settings.h"
#include "model/Document.h"
#include "properties/NewPlanDialog.h"
#include "storage/CsvImport.h"
#include "storage/PlanFileReader.h"
#include "storage/PlanFileWriter.h"
#include "storage/SafeSave.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QSessionManager>
#include <QWidget>

namespace {

const char planExtension[] = "tv";
const char backupExtension[] = "tvb";
const char csvExtension[] = "csv";

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

// The command was the user's own: they are there to be asked.
bool userIsThere()
{
    return true;
}

// No one may be there to answer: a quit from outside.
bool noOneToAsk()
{
    return false;
}

// The plan cannot be kept: the user chooses between losing the changes and staying.
bool userDiscards(QWidget *parent, const QString &text)
{
    return criticalMessage(parent, text, QMessageBox::Discard | QMessageBox::Cancel,
                           QMessageBox::Cancel)
        == QMessageBox::Discard;
}

QString readOnlyDiscardQuestion(const QString &fileName)
{
    return PlanFileCommands::tr("Unable to save changes to read-only file '%1'. Do you wish to "
                                "exit and discard your changes?")
        .arg(fileName);
}

QString failedSaveDiscardQuestion(const QString &fileName)
{
    return PlanFileCommands::tr(
               "Unable to save changes to '%1'. Do you wish to exit and discard your changes?")
        .arg(fileName);
}

} // namespace

PlanFileCommands::PlanFileCommands(Document &plan, PlanFileState &planFile, PlanFileGuard &guard,
                                   RecentPlans &recentPlans, QAction *duplicateAction,
                                   QAction *zoomToFitAction, Hooks hooks, QWidget *window)
    : QObject(window),
      m_plan(plan),
      m_planFile(planFile),
      m_guard(guard),
      m_recentPlans(recentPlans),
      m_duplicateAction(duplicateAction),
      m_zoomToFitAction(zoomToFitAction),
      m_hooks(std::move(hooks)),
      m_window(window)
{
    // Direct, as the session manager waits for the answer within the signal.
    connect(
        qApp, &QGuiApplication::commitDataRequest, this,
        [this](QSessionManager &manager) {
            SessionManagerCalls calls;
            calls.allowsInteraction = [&manager] { return manager.allowsInteraction(); };
            calls.release = [&manager] { manager.release(); };
            calls.cancel = [&manager] { manager.cancel(); };
            answerSessionEnd(calls, [this](const std::function<bool()> &mayAsk) {
                return saveForSessionEnd(mayAsk);
            });
        },
        Qt::DirectConnection);
}

void PlanFileCommands::updateActions()
{
    m_duplicateAction->setEnabled(!m_planFile.fileName.isEmpty());
}

// Opening and creating

bool PlanFileCommands::openFile(const QString &path, bool readOnly)
{
    m_guard.stopOutsideChecks();
    const QString fileName = absolutePath(path);
    bool opened = false;
    bool savedByLaterVersion = false;
    QString notice;
    PlanFileGuard::Stamp seen;
    if (QFileInfo(fileName).suffix().toLower() == QLatin1String(csvExtension)) {
        opened = importCsv(fileName, &notice);
        seen = PlanFileGuard::stampOf(m_planFile.fileName);
    } else if (!QFileInfo::exists(fileName)) {
        criticalMessage(m_window, tr("Cannot find '%1'.").arg(fileName));
    } else {
        // Taken before reading: should another program write the file while it is read, the
        // version shown is not taken for the one on disk.
        seen = PlanFileGuard::stampOf(fileName);
        opened = readPlan(fileName, readOnly, &savedByLaterVersion, &notice);
    }
    if (opened) {
        m_hooks.refresh();
        m_duplicateAction->setEnabled(true);
        // What was on disk when it was read is what is shown.
        m_guard.notePlanRead(seen);
        m_zoomToFitAction->setChecked(true);
        // Only now do the panes show the plan the warning is about.
        if (savedByLaterVersion)
            warningMessage(m_window,
                           tr("This plan was saved using a later version of %1. Making "
                              "changes with this version of %2 may lose some of the data.")
                               .arg(QStringLiteral("Tavrolo"), QStringLiteral("Tavrolo")));
        if (!notice.isEmpty())
            warningMessage(m_window, notice);
    }
    m_guard.resumeOutsideChecks();
    return opened;
}

// The reader leaves the plan alone when it fails, and so does the window: its file name,
// read-only state, undo list and modified mark change only with a plan read whole.
bool PlanFileCommands::readPlan(const QString &fileName, bool readOnly, bool *savedByLaterVersion,
                                QString *notice)
{
    QString error;
    if (!readPlanFile(m_plan, fileName, &error, savedByLaterVersion, notice)) {
        criticalMessage(m_window, error);
        return false;
    }
    // A file that can't be written is opened read-only: its one warning points to Duplicate,
    // instead of an error at every pause.
    m_planFile.unwritableFile = !readOnly && !canReplaceFile(fileName);
    m_planFile.readOnly = readOnly || m_planFile.unwritableFile;
    m_planFile.readOnlyWarned = false;
    setCurrentFile(fileName);
    m_hooks.clearUndoHistory();
    return true;
}

bool PlanFileCommands::importCsv(const QString &fileName, QString *notice)
{
    QMessageBox box(QMessageBox::Information, QString(), QString(), QMessageBox::NoButton, nullptr);
    setMessageText(box,
                   tr("Do you wish to import the CSV file into the current plan or create a new "
                      "plan?"));
    QPushButton *newButton = box.addButton(tr("New"), QMessageBox::AcceptRole);
    QPushButton *currentButton = box.addButton(tr("Current"), QMessageBox::AcceptRole);
    box.addButton(tr("Cancel"), QMessageBox::RejectRole);
    execMessageBox(box);
    QCoreApplication::processEvents();
    if (box.clickedButton() == newButton)
        return importCsvAsNewPlan(fileName, notice);
    if (box.clickedButton() == currentButton)
        return importCsvIntoCurrentPlan(fileName, notice);
    return false;
}

bool PlanFileCommands::importCsvAsNewPlan(const QString &fileName, QString *notice)
{
    // The importer leaves the plan alone when it fails; the copy makes sure of it, as the
    // plan is still saved under its own file's name.
    const Document kept(m_plan);
    QString error;
    if (!importCsvFile(m_plan, fileName, true, &error, notice)) {
        m_plan = kept;
        criticalMessage(m_window, error);
        return false;
    }
    m_hooks.refresh();
    const PlanFileState keptFile = m_planFile;
    // A plan always has a file: cancelling the dialog takes the proposed name.
    const QString proposal = uniqueFileName(QFileInfo(fileName).baseName(), planExtension);
    forever {
        const QString chosen = askNewPlanName(proposal);
        QCoreApplication::processEvents();
        // The new file is the user's own, whatever the state of the plan it replaces.
        m_planFile.readOnly = false;
        setCurrentFile(chosen.isEmpty() ? proposal : chosen);
        // The user agreed to replace what is at the name: only a version that comes after this
        // is another program's.
        m_guard.notePlanFileOnDisk();
        if (save())
            break;
        // Asking again would never end once the program is ending: the dialogs return at
        // once. The import is given up, and the plan that was open is the plan again, so that
        // nothing of the CSV file is written over its file.
        if (m_hooks.windowClosed()) {
            m_plan = kept;
            m_planFile = keptFile;
            setCurrentFile(keptFile.fileName);
            m_hooks.refresh();
            return false;
        }
    }
    m_hooks.clearUndoHistory();
    return true;
}

bool PlanFileCommands::importCsvIntoCurrentPlan(const QString &fileName, QString *notice)
{
    m_hooks.saveUndoState(QStringLiteral("Import CSV"));
    QString error;
    if (!importCsvFile(m_plan, fileName, false, &error, notice)) {
        criticalMessage(m_window, error);
        return false;
    }
    // The panes show the imported cards before any message of the save can repaint them.
    m_plan.emitChanged(EventType::AllChanged);
    if (!save()) {
        m_hooks.selectionChanged();
        m_window->setWindowModified(true);
        return false;
    }
    m_planFile.readOnly = false;
    m_hooks.retitle();
    return true;
}

bool PlanFileCommands::openPlanDialog(bool preselectCsv)
{
    if (!maybeSave())
        return false;
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Open;
    request.path = defaultFolder();
    request.filters = QStringList {planFilesFilter(), csvFilesFilter(), backupFilesFilter()};
    if (preselectCsv)
        request.selectedFilter = csvFilesFilter();
    const QString chosen = runFileDialog(m_window, request).path;
    if (chosen.isEmpty())
        return false;
    return openFile(chosen, false);
}

void PlanFileCommands::newPlan()
{
    if (!maybeSave())
        return;
    const QString chosen = askNewPlanName(uniqueFileName(QStringLiteral("unnamed"), planExtension));
    if (chosen.isEmpty())
        return;
    m_planFile.readOnly = false;
    setCurrentFile(chosen);
    // As with an imported plan's name: what is there now the user agreed to replace.
    m_guard.notePlanFileOnDisk();
    m_hooks.clearUndoHistory();
    m_zoomToFitAction->setChecked(true);
    const bool suggest = settings()->suggestPropertiesNewPlan();
    m_plan.clear(!suggest);
    m_hooks.refresh();
    if (suggest) {
        NewPlanDialog dialog(m_window, m_recentPlans.entries());
        dialog.exec();
    }
    save();
    m_recentPlans.rebuildMenu();
}

// A new plan never takes the place of the open one: the dialog's own question about replacing
// an existing file would let it empty the plan's file.
QString PlanFileCommands::askNewPlanName(const QString &proposal)
{
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.caption = tr("New plan");
    request.path = proposal;
    request.filters = QStringList {planFilesFilter()};
    request.defaultSuffix = planExtension;
    forever {
        const QString chosen = runFileDialog(m_window, request).path;
        if (chosen.isEmpty() || !m_planFile.isOpenPlanFile(chosen))
            return chosen;
        criticalMessage(m_window,
                        tr("Unable to write to '%1'.\nIt is the open plan's own file; choose "
                           "another name for the new plan.")
                            .arg(chosen));
    }
}

QString PlanFileCommands::uniqueFileName(const QString &base, const QString &extension) const
{
    const QString stem = defaultFolder() + QDir::separator() + base;
    for (int n = 0;; ++n) {
        const QString number = n == 0 ? QString() : QString::number(n);
        const QString candidate = QStringLiteral("%1%2.%3").arg(stem, number, extension);
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
}

QString PlanFileCommands::defaultFolder() const
{
    if (m_planFile.fileName.isEmpty())
        return dataFolder(false);
    return QDir::toNativeSeparators(QFileInfo(m_planFile.fileName).absolutePath());
}

void PlanFileCommands::setCurrentFile(const QString &path)
{
    const QString previous = m_planFile.fileName;
    m_planFile.fileName = path.isEmpty() ? QString() : nativeAbsolutePath(path);
    // What was seen belongs to the file it was seen on.
    if (m_planFile.fileName != previous)
        m_guard.forgetFileOnDisk();
    app()->setPlanFileName(m_planFile.fileName);
    if (!m_planFile.fileName.isEmpty())
        m_recentPlans.add(m_planFile.fileName);
    m_hooks.retitle();
}

// A recent plan replaces this one once it is saved; one that can't be opened any more leaves
// the menu as it was.
void PlanFileCommands::openRecent(const QString &path)
{
    if (!maybeSave())
        return;
    m_zoomToFitAction->setChecked(true);
    if (!openFile(path, false))
        m_recentPlans.rebuildMenu();
}

// Saving

bool PlanFileCommands::save()
{
    if (m_planFile.fileName.isEmpty())
        return saveAs();
    return saveFile(m_planFile.fileName);
}

bool PlanFileCommands::saveAs()
{
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.path = m_planFile.fileName.isEmpty()
        ? uniqueFileName(QStringLiteral("unnamed"), planExtension)
        : m_planFile.fileName;
    request.filters = QStringList {tavroloFilter()};
    request.defaultSuffix = planExtension;
    const QString chosen = runFileDialog(m_window, request).path;
    if (chosen.isEmpty())
        return false;
    return saveFile(chosen);
}

bool PlanFileCommands::saveFile(const QString &path)
{
    QString error;
    if (writePlan(path, &error))
        return true;
    // A box would hold a quit from outside for good (an autosave can come while the window
    // closes).
    if (quitFromOutsideUnderway())
        qWarning().noquote() << error;
    else
        criticalMessage(m_window, error);
    return false;
}

bool PlanFileCommands::writePlan(const QString &path, QString *error)
{
    // Where the versions another program wrote were copied aside during this save.
    QString copy;
    QString unkeptCopy;
    QString replacedCopy;
    if (m_planFile.isOpenPlanFile(path)) {
        if (m_planFile.readOnly) {
            // A file that stopped taking writes is no read-only plan: the system says why.
            QString reason;
            if (m_planFile.unwritableFile && !canReplaceFile(m_planFile.fileName, &reason))
                *error = writeFailureMessage(m_planFile.fileName, reason);
            else
                *error
                    = tr("Unable to save changes to read-only file '%1'.").arg(m_planFile.fileName);
            return false;
        }
        if (m_guard.planFileChangedOutside()) {
            *error = tr("The plan file '%1' has been changed by another application. Your changes "
                        "have not been saved over it.")
                         .arg(m_planFile.fileName);
            return false;
        }
        if (!m_guard.keepOutsideVersion(&copy)) {
            *error = m_guard.backupWriteFailureText(copy);
            return false;
        }
    }
    m_guard.stopOutsideChecks();
    if (!m_planFile.readOnly && settings()->backupEverySaveOn())
        m_guard.makePerSaveCopy(path);
    SaveHooks hooks;
    // Another program may write the file while the plan is being written: a version that came
    // meanwhile is copied aside before the plan's text takes its place.
    bool keptMeanwhile = true;
    if (m_planFile.isOpenPlanFile(path)) {
        hooks.beforeReplacing = [this, &unkeptCopy, &keptMeanwhile](QString *) {
            keptMeanwhile = m_guard.keepVersionWrittenMeanwhile(&unkeptCopy);
            return keptMeanwhile;
        };
        // Even after that last look, up to the instant the bytes are in place.
        hooks.replaced = [this, &replacedCopy](const QString &replaced) {
            return m_guard.keepVersionReplaced(replaced, &replacedCopy);
        };
    }
    // Only this window's own bytes are its own: a write that lands after them, even before this
    // window could look at the file, is another program's.
    PlanFileGuard::Stamp ownBytes;
    hooks.written = [&ownBytes](const QDateTime &modified, qint64 size) {
        ownBytes.time = modified;
        ownBytes.size = size;
    };
    const bool written = writePlanFile(m_plan, path, error, hooks);
    if (!keptMeanwhile)
        *error = m_guard.backupWriteFailureText(unkeptCopy);
    if (written) {
        m_window->setWindowModified(false);
        setCurrentFile(path);
        m_guard.notePlanWritten(ownBytes);
    }
    m_guard.resumeOutsideChecks();
    if (written)
        for (const QString &kept : {copy, unkeptCopy, replacedCopy})
            if (!kept.isEmpty())
                m_guard.tellVersionKeptAside(kept);
    return written;
}

bool PlanFileCommands::maybeSave()
{
    // A quit from outside would wait for an answer for good, and a session's end may follow it
    // at any moment: it saves as the end of a session does where no one may be asked.
    if (quitFromOutsideUnderway())
        return saveForSessionEnd(noOneToAsk);
    // The plan is saved as the user sees it, before it is replaced or the window closes:
    // typing in progress included, which a file dialog or a menu would enter too late or never.
    m_hooks.enterTypedText(userIsThere);
    if (!m_window->isWindowModified())
        return true;
    if (m_planFile.readOnly)
        return userDiscards(m_window, readOnlyDiscardQuestion(m_planFile.fileName));
    if (m_guard.planFileChangedOutside()) {
        QMessageBox box(QMessageBox::Warning, QString(), QString(), QMessageBox::NoButton,
                        m_window);
        setMessageText(box,
                       tr("The plan file '%1' has been changed by another application since it "
                          "was opened.\nDo you want to overwrite it with your changes or "
                          "discard your changes?")
                           .arg(m_planFile.fileName));
        QPushButton *overwrite = box.addButton(tr("Overwrite"), QMessageBox::AcceptRole);
        QPushButton *discard = box.addButton(QMessageBox::Discard);
        box.addButton(QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Cancel);
        execMessageBox(box);
        if (box.clickedButton() == discard)
            return true;
        if (box.clickedButton() != overwrite)
            return false;
        // The user has seen the outside change and chosen to write over it; the other version
        // is still copied aside first.
        m_guard.acceptOutsideVersion();
    }
    if (save())
        return true;
    return userDiscards(m_window, failedSaveDiscardQuestion(m_planFile.fileName));
}

// The plan shown is written whole to the first of these folders that takes it: the backup
// folder, the program's data folder, the plan's own folder, the temporary folder. The file is
// made new, never over another: two copies of the program ended together, with plans of one
// name, keep a file each. The diagnostic output names it, and the next start says where it is,
// or that nothing would take it.
void PlanFileCommands::keepPlanShownAside(const QString &why)
{
    const QString plan = m_planFile.fileName.isEmpty()
        ? QStringLiteral("unnamed.%1").arg(planExtension)
        : m_planFile.fileName;
    const QString name
        = QStringLiteral("%1_unsaved.%2")
              .arg(timeStampedBaseName(plan, QDateTime::currentDateTime()), planExtension);
    QStringList folders {settings()->backupFolder(), dataFolder(true)};
    if (!m_planFile.fileName.isEmpty())
        folders << QFileInfo(m_planFile.fileName).absolutePath();
    folders << QDir::tempPath();
    for (QString &folder : folders)
        folder = QDir::toNativeSeparators(QDir::cleanPath(folder));
    folders.removeDuplicates();
    SaveHooks newFileOnly;
    newFileOnly.onlyAsNewFile = true;
    for (const QString &folder : qAsConst(folders)) {
        if (!QFileInfo(folder).isDir())
            continue;
        const QString first = folder + QDir::separator() + name;
        QString kept = first;
        for (int attempt = 0; attempt < 100; ++attempt) {
            QString error;
            if (writePlanFile(m_plan, kept, &error, newFileOnly)) {
                qWarning().noquote()
                    << why << QStringLiteral("The plan shown has been kept as '%1'.").arg(kept);
                settings()->write(Settings::Key::UnsavedPlanKeptAs, kept);
                // A session that ends may kill the program before the store is written at its
                // end.
                settings()->sync();
                return;
            }
            // Only a name taken meanwhile is tried again, with the next number.
            const QFileInfo taken(kept);
            if (!taken.exists() && !taken.isSymLink())
                break;
            kept = duplicateFileName(first);
        }
    }
    qWarning().noquote() << why
                         << QStringLiteral("The plan shown could not be kept in '%1' either.")
                                .arg(folders.join(QStringLiteral("' or '")));
    settings()->write(Settings::Key::UnsavedPlanLost, plan);
    settings()->sync();
}

// Once, at the start after a quit from outside whose plan its file would not take: where it was
// kept, and that of a plan kept nowhere (two copies of the program ended together may leave
// both). Each note stays until the user has answered its own box: a box that a quit from
// outside answered or closed, or a program killed while it is up, leaves it, and those after
// it, for the next start.
void PlanFileCommands::tellWherePlanWasKept()
{
    const QString kept = settings()->read(Settings::Key::UnsavedPlanKeptAs).toString();
    if (!kept.isEmpty()) {
        informationMessage(m_window,
                           tr("When %1 was last ended, the plan shown could not be saved to its "
                              "file.\nIt has been kept as '%2'.")
                               .arg(QStringLiteral("Tavrolo"), kept));
        if (quitFromOutsideUnderway())
            return;
        settings()->write(Settings::Key::UnsavedPlanKeptAs, QString());
    }
    const QString lost = settings()->read(Settings::Key::UnsavedPlanLost).toString();
    if (lost.isEmpty())
        return;
    criticalMessage(m_window,
                    tr("When %1 was last ended, the plan shown could not be saved to '%2', "
                       "nor kept in any other folder.\nIts last changes have been lost.")
                        .arg(QStringLiteral("Tavrolo"), lost));
    if (!quitFromOutsideUnderway())
        settings()->write(Settings::Key::UnsavedPlanLost, QString());
}

// No one may be there to answer, and a question without the session manager's leave would
// hold up the end of the session: a version another program wrote meanwhile is copied aside
// unasked, and a failed write (a read-only plan included) asks nothing unless the user may be
// asked; the plan shown then goes where the user will find it.
bool PlanFileCommands::saveForSessionEnd(const std::function<bool()> &mayAsk)
{
    m_hooks.enterTypedText(mayAsk);
    if (!m_window->isWindowModified())
        return true;
    return m_guard.endAcceptingOutsideVersion([this, &mayAsk] {
        QString error;
        if (writePlan(m_planFile.fileName, &error))
            return true;
        if (!mayAsk()) {
            keepPlanShownAside(error);
            return true;
        }
        return userDiscards(m_window,
                            m_planFile.readOnly ? readOnlyDiscardQuestion(m_planFile.fileName)
                                                : failedSaveDiscardQuestion(m_planFile.fileName));
    });
}

// Duplicating

void PlanFileCommands::duplicate()
{
    if (m_planFile.fileName.isEmpty()) {
        criticalMessage(m_window,
                        tr("You need to save this plan to a file before you can duplicate it."));
        return;
    }
    // Changes that may not go into the plan's own file (it is read-only, or another program
    // has rewritten it) go into the duplicate only; otherwise the plan is saved and its file
    // copied. A file that can't take the save (a full disk, a pulled stick, a locked file)
    // stays as it is, and the duplicate is the way to keep the changes: the save has said why.
    // The duplicate may replace this plan: it is made from what the user sees.
    m_hooks.enterTypedText(userIsThere);
    const bool modified = m_window->isWindowModified();
    bool changesToCopyOnly = modified && (m_planFile.readOnly || m_guard.planFileChangedOutside());
    if (modified && !changesToCopyOnly && !save())
        changesToCopyOnly = true;
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.path = duplicateFileName(m_planFile.fileName);
    request.filters = QStringList {tavroloFilter()};
    request.defaultSuffix = planExtension;
    const QString chosen = runFileDialog(m_window, request).path;
    if (chosen.isEmpty())
        return;
    if (m_planFile.isOpenPlanFile(chosen)) {
        criticalMessage(m_window, tr("The duplicate cannot be saved over the current plan file."));
        return;
    }
    // Another program may have written the file while the dialog was open: the duplicate is
    // still what the user sees, and that version stays in the file, asked about as any other.
    if (m_guard.planFileChangedOutside())
        changesToCopyOnly = true;
    QString error;
    QString reason;
    const bool made = changesToCopyOnly ? writePlanFile(m_plan, chosen, &error)
                                        : copyFile(m_planFile.fileName, chosen, true, &reason);
    if (!made) {
        criticalMessage(
            m_window, withFailureReason(tr("Unable to create new file '%1'.").arg(chosen), reason));
        return;
    }
    if (informationMessage(m_window, tr("Do you wish to open the new duplicate file?"),
                           QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
        != QMessageBox::Yes)
        return;
    if (!openFile(chosen, false))
        criticalMessage(m_window, tr("Unable to open duplicate file '%1'.").arg(chosen));
}
