#pragma once

#include "leftpane/LeftPaneWidget.h"
#include "model/Events.h"

#include <QStringList>

namespace Ui {
class TableFilterWidget;
}
class TableView;

// The Table tab's Filter section: shows or hides the table's rows that contain any of the
// words typed, and says in words what it does. The filter belongs to the table alone: it is not
// stored with the plan and is not undone.
//
// Listens to a whole plan (the table starts unfiltered) and to the style.
class TableFilterWidget : public LeftPaneWidget
{
    Q_OBJECT

public:
    static constexpr EventMask listensTo = EventFlag::AllChanged | EventFlag::UiStyleChanged;

    TableFilterWidget(QWidget *parent, TableView *tableView);
    ~TableFilterWidget() override;

signals:
    void filteredOnOff(bool on);

public slots:
    void onChangedDoc(const Events &events);
    void onFilterChanged();
    void onValueChange();
    void onValueClear();
    void onRemoveFilter();
    void giveFocus() override;

private:
    void updateExplainer(bool show, const QStringList &terms);
    void setIcons() override;

    Ui::TableFilterWidget *m_ui;
    TableView *m_tableView;
};
