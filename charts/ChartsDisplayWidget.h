#pragma once

#include "leftpane/LeftPaneWidget.h"
#include "model/Events.h"

#include <QMap>

namespace Ui {
class ChartsDisplayWidget;
}

// The "Display" section of the Charts left pane: what is charted. Show offers the numeric
// properties and "<cards>" (the card count), By and Per the text properties; each choice and
// each of the two hiding flags is one undoable edit of the plan's chart settings. The combos
// list only some properties, so each keeps a map from its item to the property index.
//
// Listens to what can change which properties fit each combo (cards, values and properties,
// whose detected types follow the values, and a whole plan), to the chart settings and to the
// style.
class ChartsDisplayWidget : public LeftPaneWidget
{
    Q_OBJECT

public:
    static constexpr EventMask refillsOn = EventFlag::AllChanged | EventFlag::TaskAdded
        | EventFlag::TasksDeleted | EventFlag::PropertyAdded | EventFlag::PropertyChanged
        | EventFlag::PropertyDeleted | EventFlag::ValueChanged | EventFlag::PropertiesReordered
        | EventFlag::ChartsSettingsChanged;
    static constexpr EventMask listensTo = refillsOn | EventFlag::UiStyleChanged;

    explicit ChartsDisplayWidget(QWidget *parent = nullptr);
    ~ChartsDisplayWidget() override;

public slots:
    void giveFocus() override;
    void onChangedDoc(const Events &events);
    void onShowPropertyChanged(int comboIndex);
    void onByPropertyChanged(int comboIndex);
    void onPerPropertyChanged(int comboIndex);
    void onShowEdit();
    void onByEdit();
    void onPerEdit();
    void onHideZeroBarsFilterToggled();
    void onHideEmptyChartsFilterToggled();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void reload();
    void updateEditButtons();
    void setIcons() override;
    void editProperty(int property);

    Ui::ChartsDisplayWidget *m_ui;
    QMap<int, int> m_showIndexToProperty;
    // The By and Per combos always hold the same items.
    QMap<int, int> m_byIndexToProperty;
};
