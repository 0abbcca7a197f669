#pragma once

#include "model/Events.h"
#include "model/HyperLink.h"
#include "model/ModelTypes.h"

#include <functional>

#include <QList>
#include <QObject>
#include <QTimer>
#include <QUrl>

class Document;
class DropFilesEvent;
class QWidget;

// Files and links dropped on the views, and the files the operating system asks the program to
// open: a plan or CSV file replaces the plan, pictures become card images, other files and web
// links card links, on the card given or on a new card with the preset values. The main window
// forwards drops and open requests here, hands back the drop events it posts itself, and tells
// it of every change that renumbers cards. A request that comes while a dialog is open waits
// until it closes; a card index that a reload, undo or deletion may have given to another card
// since the drop counts as no card.
//
// Listens, through the window, to a whole plan and to deleted cards (renumbersCards).
class DropHandler : public QObject
{
    Q_OBJECT

public:
    static constexpr EventMask renumbersCards = EventFlag::AllChanged | EventFlag::TasksDeleted;

    // What a drop needs of the window's other commands.
    struct Hooks
    {
        // Offers to save the plan before another replaces it; false when the user cancelled.
        std::function<bool()> maybeSave;
        // Shows the plan or CSV file in place of the plan shown.
        std::function<void(const QString &path)> openPlan;
        // Runs the card dialog for a new card from the presets, links and picture.
        std::function<void(const QList<PropertyIndexAndValue> &presets,
                           const QList<HyperLink> &links, int imageIndex)>
            addTask;
    };

    // The window is the parent of the dialogs and receives the drop events.
    DropHandler(Document &plan, Hooks hooks, QWidget *window);

    // A drop on a view: posted to the window as a DropFilesEvent, so that the drop returns at
    // once and the work runs once the event loop delivers it.
    void postDrop(const QList<QUrl> &urls, TaskIndex taskIndex,
                  const QList<PropertyIndexAndValue> &presets);
    // An open request, or a drop event the window hands back: run now, or once no dialog is
    // open.
    void openDroppedFiles(const QList<QUrl> &urls, TaskIndex taskIndex,
                          const QList<PropertyIndexAndValue> &presets);
    void takeDropEvent(const DropFilesEvent &event);
    // A whole plan read or restored, or cards deleted, gives old card indexes to other cards or
    // to none.
    void noteCardRenumbering(const Events &events);

private slots:
    void onWaitingDropsTimeOut();

private:
    // A request with the card-renumbering count it was made under.
    struct DropRequest
    {
        QList<QUrl> urls;
        TaskIndex taskIndex = -1;
        QList<PropertyIndexAndValue> presets;
        quint64 generation = 0;
    };
    void takeDropRequest(const DropRequest &request);
    void runDropRequest(const DropRequest &request);

    Document &m_plan;
    Hooks m_hooks;
    QWidget *m_window;
    // Drops and open requests that came while a dialog was open, in their order, and the timer
    // that looks for the dialog to close.
    QList<DropRequest> m_waitingDrops;
    QTimer m_waitingDropsTimer;
    bool m_runningDrop = false;
    // Raised by every change that renumbers cards (a whole plan replaced, cards deleted).
    quint64 m_cardsGeneration = 0;
};
