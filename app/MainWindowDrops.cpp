// Files and links dropped on the views, and the files the operating system asks the program to
// open: plans and CSV files are opened, pictures become card images, anything else card links.

#include "app/DropFilesEvent.h"
#include "app/MainWindow.h"
#include "common/app/Accessors.h"
#include "common/core/BusyCursor.h"
#include "common/core/TextHelpers.h"
#include "model/Document.h"
#include "model/Image.h"
#include "ui_MainWindow.h"

#include <QApplication>
#include <QFileInfo>

namespace {

// How often a request waiting for a dialog looks whether it has closed.
const int waitingDropsPollMs = 100;

} // namespace

void MainWindow::onDroppedFiles(const QList<QUrl> &urls, TaskIndex taskIndex,
                                const QList<PropertyIndexAndValue> &presets)
{
    QCoreApplication::postEvent(this,
                                new DropFilesEvent(urls, taskIndex, presets, m_cardsGeneration),
                                Qt::LowEventPriority);
}

void MainWindow::openDroppedFiles(const QList<QUrl> &urls, TaskIndex taskIndex,
                                  const QList<PropertyIndexAndValue> &presets)
{
    takeDropRequest({urls, taskIndex, presets, m_cardsGeneration});
}

// A whole plan read or restored, or cards deleted, gives old card indexes to other cards or to
// none.
void MainWindow::noteCardRenumbering(const Events &events)
{
    for (const Event &event : events.events) {
        if (event.type == EventType::AllChanged || event.type == EventType::TasksDeleted) {
            ++m_cardsGeneration;
            return;
        }
    }
}

// A dialog that is open may be about to change the plan, or be the card dialog of an earlier
// drop: the request waits, behind any that wait already, until no dialog is open.
void MainWindow::takeDropRequest(const DropRequest &request)
{
    if (m_runningDrop || QApplication::activeModalWidget() || !m_waitingDrops.isEmpty()) {
        m_waitingDrops.append(request);
        if (!m_waitingDropsTimer.isActive())
            m_waitingDropsTimer.start(waitingDropsPollMs);
        return;
    }
    runDropRequest(request);
}

void MainWindow::onWaitingDropsTimeOut()
{
    while (!m_waitingDrops.isEmpty() && !m_runningDrop && !QApplication::activeModalWidget())
        runDropRequest(m_waitingDrops.takeFirst());
    if (!m_waitingDrops.isEmpty() && !m_waitingDropsTimer.isActive())
        m_waitingDropsTimer.start(waitingDropsPollMs);
}

void MainWindow::runDropRequest(const DropRequest &request)
{
    m_runningDrop = true;
    TaskIndex task = request.taskIndex;
    if (task >= 0 && (request.generation != m_cardsGeneration || task >= doc()->taskCount()))
        task = -1;
    QStringList imagePaths;
    QList<HyperLink> links;
    for (const QUrl &url : request.urls) {
        if (!url.isLocalFile()) {
            links.append(HyperLink(url));
            continue;
        }
        const QString path = url.toLocalFile();
        const QFileInfo info(path);
        if (!info.exists())
            continue;
        const QString suffix = info.suffix().toLower();
        if (isImageFile(suffix)) {
            imagePaths.append(path);
        } else if (isOpenableFile(suffix)) {
            if (!maybeSave())
                continue;
            BusyCursor busy;
            m_ui->m_viewZoomFitAction->setChecked(true);
            openFile(path, false);
            m_runningDrop = false;
            return;
        } else {
            links.append(HyperLink(url));
        }
    }
    if (!imagePaths.isEmpty()) {
        if (task < 0) {
            // The pictures stay in the library when the card dialog is cancelled.
            int imageIndex = -1;
            for (const QString &path : qAsConst(imagePaths)) {
                const Image image(path);
                if (image.isNull())
                    continue;
                int index = doc()->findImage(image.pixmap());
                if (index < 0)
                    index = doc()->addImage(image, false);
                imageIndex = index;
            }
            addTask(request.presets, {}, imageIndex);
        } else {
            BusyCursor busy;
            doc()->addImages(imagePaths, task, true);
        }
    } else if (!links.isEmpty()) {
        if (task < 0) {
            addTask(request.presets, links, -1);
        } else {
            BusyCursor busy;
            doc()->addTaskLinks(task, links, true);
        }
    }
    m_runningDrop = false;
}
