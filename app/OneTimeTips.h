#pragma once

#include "app/WindowPanes.h"

#include <QObject>

class Document;

namespace Ui {
class MainWindow;
}

// The one-time tips that follow a new user's first steps: each is shown once per user, beside
// the control it is about, and a key remembers that it was. A modal dialog that does not hold
// the control keeps the tip for later. The main window forwards its tips here.
class OneTimeTips : public QObject
{
    Q_OBJECT

public:
    OneTimeTips(const Document &plan, const WindowPanes &panes, Ui::MainWindow &ui,
                QObject *parent);

    // One tip after the card dialog, by how far the user has got; a tip seen already is not
    // replaced by another.
    void offerAfterAddingCard();
    void showTabsTip();
    void showAutoSaveTip();
    // Only while the Cards left pane is open: there is nothing to drag away otherwise.
    void showSplitterTip();
    void showLayoutTip();
    void showAddPropertyTip();
    void showAddCardTip();
    // Someone who has found the other tabs needs no tip about them.
    void tabChanged(int index);

private:
    const Document &m_plan;
    WindowPanes m_panes;
    Ui::MainWindow &m_ui;
};
