#pragma once

#include "leftpane/LeftPane.h"

class ChartsAppearanceWidget;
class ChartsDisplayWidget;
class ChartsFilterWidget;
class ChartsScene;
class ChartsView;
class HeaderButton;

// The left pane of the Charts tab: the "Display", "Filter" and "Appearance" sections. The main
// window creates it left of the ChartsView, calls connectToDocument once, and opens the
// sections through the accessors for its Ctrl+G, Ctrl+F and Ctrl+J keys. The Filter header
// carries a "*" while the charts follow the Cards pane's filter.
class ChartsLeftPane : public LeftPane
{
    Q_OBJECT

public:
    ChartsLeftPane(QWidget *parent, ChartsScene *scene, ChartsView *view);

    void connectToDocument();
    ChartsDisplayWidget *displayWidget() const { return m_displayWidget; }
    ChartsAppearanceWidget *appearanceWidget() const { return m_appearanceWidget; }
    ChartsFilterWidget *filterWidget() const { return m_filterWidget; }

public slots:
    void onFilteredOnOff(bool filtered);

private:
    ChartsDisplayWidget *m_displayWidget;
    ChartsAppearanceWidget *m_appearanceWidget;
    ChartsFilterWidget *m_filterWidget;
    HeaderButton *m_filterHeader;
};
