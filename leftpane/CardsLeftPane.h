#pragma once

#include "leftpane/LeftPane.h"

class CardsAppearanceWidget;
class CardsColorLayoutWidget;
class CardsFilterWidget;
class CardsScene;
class CardsSearchWidget;
class CardsShowPropertiesWidget;
class CardsSliceWidget;
class CardsView;
class HeaderButton;

// The left pane of the Cards tab, beside the Cards view: the six sections that set up the view,
// only "Layout/Color" open at first. The main window connects it to the plan once and reaches
// the sections through the accessors for its section keys, the stored-view keys, the layout
// tip and the transpose action. The Filter header carries a "*" while a filter is in force.
class CardsLeftPane : public LeftPane
{
    Q_OBJECT

public:
    CardsLeftPane(QWidget *parent, CardsScene *scene, CardsView *view);

    // Connects every section to Document::changed, in the order they must hear of a change:
    // Stored Views, Layout/Color, Search, Filter, Show Properties, Appearance.
    void connectToDocument();

    CardsColorLayoutWidget *colorLayoutWidget() const { return m_colorLayoutWidget; }
    CardsSearchWidget *searchWidget() const { return m_searchWidget; }
    CardsFilterWidget *filterWidget() const { return m_filterWidget; }
    CardsShowPropertiesWidget *showPropertiesWidget() const { return m_showPropertiesWidget; }
    CardsSliceWidget *sliceWidget() const { return m_sliceWidget; }
    CardsAppearanceWidget *appearanceWidget() const { return m_appearanceWidget; }

public slots:
    void onFilteredOnOff(bool filtered);

private:
    CardsColorLayoutWidget *m_colorLayoutWidget;
    CardsSearchWidget *m_searchWidget;
    CardsFilterWidget *m_filterWidget;
    HeaderButton *m_filterHeader;
    CardsShowPropertiesWidget *m_showPropertiesWidget;
    CardsSliceWidget *m_sliceWidget;
    CardsAppearanceWidget *m_appearanceWidget;
    // The Cards tab's scene and view; not owned.
    CardsScene *m_scene;
    CardsView *m_view;
};
