#pragma once

#include "leftpane/LeftPaneWidget.h"
#include "model/Events.h"

namespace Ui {
class CardsSearchWidget;
}

// The "Search" section of the Cards left pane: the cards showing the typed text get selected,
// and with "zoom to selected" the view zooms to them. The search is stored in the plan but is
// no edit of it: no undo step, and the plan is not marked modified. The Cards view does the
// selecting when the plan reports the new search.
//
// Listens to a whole plan (its stored search is run again), a search made elsewhere (shown in
// the field; its own comes back as a change it already shows) and the style.
class CardsSearchWidget : public LeftPaneWidget
{
    Q_OBJECT

public:
    static constexpr EventMask listensTo
        = EventFlag::AllChanged | EventFlag::SearchChanged | EventFlag::UiStyleChanged;

    explicit CardsSearchWidget(QWidget *parent = nullptr);
    ~CardsSearchWidget() override;

public slots:
    void giveFocus() override;
    // Applies the field's text and the zoom choice as the plan's search.
    void onDelayedValueChange();
    // Applies a text still waiting for its pause first, then empties the field.
    void onValueClear();
    void onChangedDoc(const Events &events);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void setIcons() override;
    // Shows the plan's search in the field and the check box, without running it.
    void showSearch();

    Ui::CardsSearchWidget *m_ui;
};
