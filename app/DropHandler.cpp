#include "app/DropHandler.h"

#include "app/DropFilesEvent.h"
#include "common/core/BusyCursor.h"
#include "common/core/TextHelpers.h"
#include "model/Document.h"
#include "model/Image.h"

#include <QApplication>
#include <QFileInfo>
#include <QWidget>

namespace {

// How often a request waiting for a dialog looks whether it has closed.
const int waitingDropsPollMs = 100;

} // namespace

DropHandler::DropHandler(Document &plan, Hooks hooks, QWidget *window)
    : QObject(window), m_plan(plan), m_hooks(std::move(hooks)), m_window(window)
{
    m_waitingDropsTimer.setObjectName(QStringLiteral("m_waitingDropsTimer"));
    m_waitingDropsTimer.setSingleShot(true);
    connect(&m_waitingDropsTimer, &QTimer::timeout, this, &DropHandler::onWaitingDropsTimeOut);
}

void DropHandler::postDrop(const QList<QUrl> &urls, TaskIndex taskIndex,
                           const QList<PropertyIndexAndValue> &presets)
{
    QCoreApplication::postEvent(m_window,
                                new DropFilesEvent(urls, taskIndex, presets, m_cardsGeneration),
                                Qt::LowEventPriority);
}

void DropHandler::openDroppedFiles(const QList<QUrl> &urls, TaskIndex taskIndex,
                                   const QList<PropertyIndexAndValue> &presets)
{
    takeDropRequest({urls, taskIndex, presets, m_cardsGeneration});
}

void DropHandler::takeDropEvent(const DropFilesEvent &event)
{
    takeDropRequest({event.paths, event.taskIndex, event.presets, event.generation});
}

void DropHandler::noteCardRenumbering(const Events &events)
{
    if (events.any(renumbersCards))
        ++m_cardsGeneration;
}

// A dialog that is open may be about to change the plan, or be the card dialog of an earlier
// drop: the request waits, behind any that wait already, until no dialog is open.
void DropHandler::takeDropRequest(const DropRequest &request)
{
    if (m_runningDrop || QApplication::activeModalWidget() || !m_waitingDrops.isEmpty()) {
        m_waitingDrops.append(request);
        if (!m_waitingDropsTimer.isActive())
            m_waitingDropsTimer.start(waitingDropsPollMs);
        return;
    }
    runDropRequest(request);
}

void DropHandler::onWaitingDropsTimeOut()
{
    while (!m_waitingDrops.isEmpty() && !m_runningDrop && !QApplication::activeModalWidget())
        runDropRequest(m_waitingDrops.takeFirst());
    if (!m_waitingDrops.isEmpty() && !m_waitingDropsTimer.isActive())
        m_waitingDropsTimer.start(waitingDropsPollMs);
}

void DropHandler::runDropRequest(const DropRequest &request)
{
    m_runningDrop = true;
    TaskIndex task = request.taskIndex;
    if (task >= 0 && (request.generation != m_cardsGeneration || task >= m_plan.taskCount()))
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
            if (!m_hooks.maybeSave())
                continue;
            BusyCursor busy;
            m_hooks.openPlan(path);
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
            const QList<Image> images = Image::fromNamedFiles(imagePaths);
            for (const Image &image : images) {
                if (image.isNull())
                    continue;
                int index = m_plan.findImage(image.pixmap());
                if (index < 0)
                    index = m_plan.addImage(image, false);
                imageIndex = index;
            }
            m_hooks.addTask(request.presets, {}, imageIndex);
        } else {
            BusyCursor busy;
            m_plan.addImages(imagePaths, task, true);
        }
    } else if (!links.isEmpty()) {
        if (task < 0) {
            m_hooks.addTask(request.presets, links, -1);
        } else {
            BusyCursor busy;
            m_plan.addTaskLinks(task, links, true);
        }
    }
    m_runningDrop = false;
}
