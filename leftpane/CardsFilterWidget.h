#pragma once

#include "leftpane/LeftPaneWidget.h"
#include "model/Events.h"
#include "model/FilterTerm.h"

#include <QList>

namespace Ui {
class CardsFilterWidget;
}
class MouseWheelEventFilter;
class QTimer;

// The "Filter" section of the Cards left pane: the current view's filter, as words looked for
// in any property or the notes (basic) or as a table of terms (advanced), with Show/Hide and,
// in advanced mode, all or any. Each change is one "Change Filter" step of the plan; typed
// text waits for typing to pause. A grey line explains the filter in words, and
// filteredOnOff tells the pane whether any term is in force.
//
// Listens to a whole plan, a view change and a filter set elsewhere (the editors are filled
// again; its own filter comes back as a change the editor shows already, under the user's
// hands), to properties added, renamed, deleted and re-ordered (the rows' combos follow) and to
// the style.
class CardsFilterWidget : public LeftPaneWidget
{
    Q_OBJECT

public:
    static constexpr EventMask listensTo = EventFlag::AllChanged | EventFlag::ViewChanged
        | EventFlag::FilterChanged | EventFlag::PropertyAdded | EventFlag::PropertyChanged
        | EventFlag::PropertyDeleted | EventFlag::PropertiesReordered | EventFlag::UiStyleChanged;

    explicit CardsFilterWidget(QWidget *parent = nullptr);
    ~CardsFilterWidget() override;

    bool isBasic() const;
    bool isShow() const;
    // Always true in basic mode: a card matching any word is matched.
    bool isMatchAny() const;
    // The terms of the editor of the current mode: basic words as typed, advanced values
    // trimmed and in lower case (an empty value is still a term).
    QList<FilterTerm> filterTerms() const;
    // Fills both editors from the plan's filter without writing anything back.
    void loadFromDocument();
    // Applies at once a filter still waiting for the typing to pause, the basic field's own
    // pause included; nothing happens when none waits. The window calls it before it saves,
    // so that the file holds the filter the user sees.
    void flush();

signals:
    // Emitted on every rebuild of the explanation: whether a term is in force.
    void filteredOnOff(bool on);

public slots:
    void giveFocus() override;
    void onChangedDoc(const Events &events);

private slots:
    void onAddFilterRow();
    void onComboChanged();
    void onFiltersChanged();
    void onUpdateRows();
    void onUpdateSelection();
    void onUpdateBasicAdvanced();
    void onValueChange();
    void onDelayedValueChange();
    void onValueClear();
    void onTimeOut();
    void onDeleteFilter();
    void onDeleteAllFilter();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void addFilterRow(const FilterTerm &term, bool focus);
    void followReorderedProperties();
    void clearTable();
    void showModePanel();
    void updateExplainer();
    void setIcons() override;

    Ui::CardsFilterWidget *m_ui;
    // Waits for a second pause after the basic field's own, or for the one pause of an
    // advanced value, before the typed text is applied.
    QTimer *m_timer;
    // Shared by every combo of the section, rows included, so rows come and go freely.
    MouseWheelEventFilter *m_wheelFilter;
};
