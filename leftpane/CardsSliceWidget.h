#pragma once

#include "leftpane/LeftPaneWidget.h"
#include "model/Events.h"

namespace Ui {
class CardsSliceWidget;
}

// The "Stored Views" section of the Cards left pane: named snapshots of the current view kept
// in the plan. '+' stores the current view, '-' deletes the chosen one, and choosing a name (or
// the main window's Ctrl+1 to Ctrl+9, Ctrl+[ and Ctrl+]) makes it the current view, each one
// undoable step. The combo names the stored view the current view equals, else shows its
// placeholder at index 0.
//
// Listens to a whole plan, property edits and the stored-view list (the combo is filled again),
// to every change of the current view's settings (the combo shows which stored view the view
// now equals) and to the style.
class CardsSliceWidget : public LeftPaneWidget
{
    Q_OBJECT

public:
    static constexpr EventMask listensTo = EventFlag::AllChanged | EventFlag::PropertyChanged
        | EventFlag::PropertyDeleted | EventFlag::StoredViewsChanged | EventFlag::CardsLayoutChanged
        | EventFlag::CardContentChanged | EventFlag::ViewChanged | EventFlag::FilterChanged
        | EventFlag::SearchChanged | EventFlag::CardsAppearanceChanged | EventFlag::UiStyleChanged;

    explicit CardsSliceWidget(QWidget *parent = nullptr);
    ~CardsSliceWidget() override;

    // Item n of the combo; 0 is the placeholder, out of range does nothing.
    void selectSlice(int n);
    // Step through the stored views, wrapping round and passing over the placeholder.
    void selectPreviousSlice();
    void selectNextSlice();
    // Shows which stored view the current view equals, without changing the plan.
    void syncCurrentSlice();

public slots:
    void giveFocus() override;
    void onChangedDoc(const Events &events);
    void onAddSlice();
    void onDeleteSlice();
    void onSliceSelected();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void rebuild();
    void updateDeleteButton();
    void setIcons() override;

    Ui::CardsSliceWidget *m_ui;
};
