#pragma once

#include "leftpane/LeftPaneWidget.h"
#include "model/Events.h"

namespace Ui {
class CardsShowPropertiesWidget;
}
class CardsScene;
class CardsView;

// The "Show Properties" section of the Cards left pane: how each property shows on the cards
// (as text, bold or italic text, a coloured symbol, or not at all), the labels, the notes and
// link icons, the card images with their position and size, and the re-order dialog. All of it
// belongs to the current view; each control is one undoable edit of the plan, and the section
// shows the plan again only from Document::changed.
//
// Listens to a whole plan, a view change and re-ordered properties (the rows are built again),
// to properties added, renamed and deleted (their rows follow) and to what cards show when
// another changed it (the controls show the plan again; its own change they show already).
class CardsShowPropertiesWidget : public LeftPaneWidget
{
    Q_OBJECT

public:
    static constexpr EventMask listensTo = EventFlag::AllChanged | EventFlag::ViewChanged
        | EventFlag::PropertiesReordered | EventFlag::PropertyAdded | EventFlag::PropertyChanged
        | EventFlag::PropertyDeleted | EventFlag::CardContentChanged;

    CardsShowPropertiesWidget(QWidget *parent, CardsScene *scene, CardsView *view);
    ~CardsShowPropertiesWidget() override;

public slots:
    void giveFocus() override;
    void onChangedDoc(const Events &events);

private slots:
    void onShowLabelsChanged();
    void onShowNotesIconChanged();
    void onShowHyperLinksIconChanged();
    void onShowImagesChanged();
    void onPropertyVisibilityChanged(int propertyIndex, int visibility);
    void onReOrderProperties();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void rebuild();
    void loadSwitches();
    void updateReorderButton();

    Ui::CardsShowPropertiesWidget *m_ui;
    // Kept for the pane's symmetry with the other sections; the section does not use them.
    CardsScene *m_scene;
    CardsView *m_view;
};
