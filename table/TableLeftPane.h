#pragma once

#include "leftpane/LeftPane.h"

class HeaderButton;
class TableAppearanceWidget;
class TableFilterWidget;
class TableView;

// The left pane of the Table tab: the Filter section over the table's rows and the Appearance
// section of the table's font and colours. The Filter header carries a "*" while a filter is
// in force.
class TableLeftPane : public LeftPane
{
    Q_OBJECT

public:
    TableLeftPane(QWidget *parent, TableView *tableView);

    TableFilterWidget *filterWidget() const { return m_filterWidget; }
    TableAppearanceWidget *appearanceWidget() const { return m_appearanceWidget; }
    // Called once by the main window when the plan exists; the sections follow the plan's
    // changes from then on.
    void connectToDocument();

public slots:
    void onFilteredOnOff(bool filtered);

private:
    HeaderButton *m_filterHeader;
    TableView *m_tableView;
    TableFilterWidget *m_filterWidget;
    TableAppearanceWidget *m_appearanceWidget;
};
